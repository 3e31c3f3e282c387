#include "app/ui/script/script_watchdog.h"

namespace kavelin::activex {

TScriptWatchdog::TScriptWatchdog(std::function<void()> onTimeout) : FOnTimeout(std::move(onTimeout)) {}

TScriptWatchdog::~TScriptWatchdog() {
    {
        std::lock_guard lock(FLock);
        FStop = true;
    }
    FWake.notify_all();
    if (FThread.joinable()) FThread.join();
}

void TScriptWatchdog::arm(std::chrono::milliseconds limit) {
    {
        std::lock_guard lock(FLock);
        FArmed = true;
        FFired = false;
        ++FGeneration;
        FDeadline = std::chrono::steady_clock::now() + limit;
        // The thread is started at the first run and then kept.
        if (!FThread.joinable()) FThread = std::thread([this] { run(); });
    }
    FWake.notify_all();
}

bool TScriptWatchdog::disarm() {
    std::lock_guard lock(FLock);
    FArmed = false;
    FWake.notify_all();
    return FFired;
}

void TScriptWatchdog::run() {
    std::unique_lock lock(FLock);
    while (!FStop) {
        if (!FArmed) {
            FWake.wait(lock);
            continue;
        }
        const unsigned generation = FGeneration;
        if (FWake.wait_until(lock, FDeadline, [&] { return FStop || !FArmed || FGeneration != generation; }))
            continue;
        FFired = true;
        FArmed = false;
        // Called under the lock so that a disarm() that follows sees FFired.
        FOnTimeout();
    }
}

}  // namespace kavelin::activex

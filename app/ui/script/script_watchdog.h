// A timer thread that calls a function when a run is not over in time. The
// script host uses it to interrupt an engine that loops; the function runs
// on the timer thread and must only do thread-safe things.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace kavelin::activex {

class TScriptWatchdog {
public:
    explicit TScriptWatchdog(std::function<void()> onTimeout);
    ~TScriptWatchdog();
    TScriptWatchdog(const TScriptWatchdog&) = delete;
    TScriptWatchdog& operator=(const TScriptWatchdog&) = delete;

    // Starts counting; onTimeout runs once when disarm() does not come
    // within the limit.
    void arm(std::chrono::milliseconds limit);
    // Stops counting; tells whether the time ran out (onTimeout was called).
    bool disarm();

private:
    void run();

    std::function<void()> FOnTimeout;
    std::mutex FLock;
    std::condition_variable FWake;
    bool FArmed = false;
    bool FFired = false;
    bool FStop = false;
    unsigned FGeneration = 0;
    std::chrono::steady_clock::time_point FDeadline;
    std::thread FThread;
};

}  // namespace kavelin::activex

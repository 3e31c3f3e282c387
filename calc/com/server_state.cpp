#include "calc/com/server_state.h"

#include <atomic>

namespace mirvo::com {

namespace {

// Objects are apartment-bound, but different apartments may share the
// library, so the counts are atomic.
std::atomic<long> gObjects{0};
std::atomic<long> gFactoryRefs{0};
std::atomic<long> gLocks{0};

}  // namespace

void objectCreated() { ++gObjects; }
void objectDestroyed() { --gObjects; }
void factoryReferenced() { ++gFactoryRefs; }
void factoryReleased() { --gFactoryRefs; }

void lockServer(bool lock) {
    if (lock) {
        ++gLocks;
        return;
    }
    // An unbalanced unlock must not make the count negative.
    long n = gLocks.load();
    while (n > 0 && !gLocks.compare_exchange_weak(n, n - 1)) {
    }
}

long liveObjects() { return gObjects; }

bool serverInUse() { return gObjects > 0 || gFactoryRefs > 0 || gLocks > 0; }

}  // namespace mirvo::com

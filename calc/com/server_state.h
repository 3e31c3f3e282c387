// What keeps the server loaded: live automation objects, references to
// class factories and LockServer locks.
#pragma once

namespace mirvo::com {

void objectCreated();
void objectDestroyed();
void factoryReferenced();
void factoryReleased();
void lockServer(bool lock);

// Automation objects alive now.
long liveObjects();

// True while any object, factory reference or lock is alive.
bool serverInUse();

}  // namespace mirvo::com

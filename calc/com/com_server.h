// The in-process automation server as the registration exports see it:
// class-factory lookup, the unload test and registration in the
// file-based store.
#pragma once

#include "mirvo32_com.h"

namespace mirvo::com {

// DllGetClassObject: CLASS_E_CLASSNOTAVAILABLE (null object) for a class
// without a factory, E_NOINTERFACE when the factory lacks the interface.
HRESULT getClassObject(const CLSID* clsid, const IID* iid, void** ppv);
// DllCanUnloadNow: S_FALSE while an object, a factory reference or a lock
// is alive.
HRESULT canUnloadNow();
// perUser: the current user's store rather than the machine-wide one.
// E_FAIL when anything fails.
HRESULT registerServer(bool perUser);
HRESULT unregisterServer(bool perUser);

}  // namespace mirvo::com

#include "calc/com/com_server.h"

namespace mirvo::com {

// No automation class is registered yet: every lookup misses and nothing is
// ever alive, so the library may always be unloaded.

HRESULT getClassObject(const CLSID*, const IID*, void** ppv) {
    if (ppv == nullptr) return E_POINTER_;
    *ppv = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE_;
}

HRESULT canUnloadNow() { return S_OK_; }

HRESULT registerServer(bool) { return S_OK_; }

HRESULT unregisterServer(bool) { return S_OK_; }

}  // namespace mirvo::com

#include "calc/com/com_server.h"

#include <dlfcn.h>

#include <stdexcept>

#include "calc/com/class_factory.h"
#include "calc/com/com_registration.h"
#include "calc/com/registration_store.h"
#include "calc/com/server_state.h"
#include "common/text/encoding.h"

namespace mirvo::com {

namespace {

// The file this code was loaded from (the library, or a program linking
// the server statically).
std::u16string libraryPath() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&registerServer), &info) || !info.dli_fname)
        throw std::runtime_error("library path unknown");
    std::error_code ec;
    std::filesystem::path path = std::filesystem::canonical(info.dli_fname, ec);
    return kavelin::text::fromUtf8((ec ? std::filesystem::path(info.dli_fname) : path).string());
}

template <class F>
HRESULT updateStore(bool perUser, bool create, F&& change) {
    try {
        TRegistrationStore store(registrationStoreFile(perUser));
        if (!create && !std::filesystem::exists(store.file())) return S_OK;
        store.load();
        change(store);
        store.save();
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

}  // namespace

HRESULT getClassObject(const CLSID* clsid, const IID* iid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!clsid || !iid) return E_INVALIDARG;
    IClassFactory* factory = factoryOf(*clsid);
    if (!factory) return CLASS_E_CLASSNOTAVAILABLE;
    return factory->QueryInterface(*iid, ppv);
}

HRESULT canUnloadNow() { return serverInUse() ? S_FALSE : S_OK; }

HRESULT registerServer(bool perUser) {
    return updateStore(perUser, true, [](TRegistrationStore& store) { writeRegistration(store, libraryPath()); });
}

HRESULT unregisterServer(bool perUser) {
    return updateStore(perUser, false, [](TRegistrationStore& store) { removeRegistration(store); });
}

}  // namespace mirvo::com

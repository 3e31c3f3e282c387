// The in-process automation server as the registration exports see it: the
// registry of class factories, the count of live objects and the
// registration store.
#pragma once

#include <cstdint>

#include "mirvo32.h"

namespace mirvo::com {

inline constexpr HRESULT S_OK_ = 0;
inline constexpr HRESULT S_FALSE_ = 1;
inline constexpr HRESULT E_FAIL_ = int32_t(0x80004005u);
inline constexpr HRESULT E_NOINTERFACE_ = int32_t(0x80004002u);
inline constexpr HRESULT E_POINTER_ = int32_t(0x80004003u);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE_ = int32_t(0x80040111u);

HRESULT getClassObject(const CLSID* clsid, const IID* iid, void** ppv);
HRESULT canUnloadNow();
// perUser: register in the current user's store rather than machine-wide.
HRESULT registerServer(bool perUser);
HRESULT unregisterServer(bool perUser);

}  // namespace mirvo::com

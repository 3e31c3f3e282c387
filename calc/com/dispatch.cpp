#include "calc/com/dispatch.h"

#include <cstring>

#include "calc/com/com_error.h"
#include "calc/com/ole_strings.h"
#include "calc/com/variant.h"
#include "common/text/casing.h"

namespace mirvo::com {

namespace {

constexpr uint8_t kMaxParams = 2;

const TDispMember* findMember(std::span<const TDispMember> members, DISPID id) {
    for (const auto& m : members)
        if (m.id == id) return &m;
    return nullptr;
}

void fillException(EXCEPINFO* excep, std::u16string_view source, const TFailure& failure) {
    if (!excep) return;
    std::memset(excep, 0, sizeof *excep);
    excep->scode = failure.hr;
    excep->bstrSource = allocString(source);
    excep->bstrDescription = allocString(failure.message);
}

}  // namespace

HRESULT dispIdsOfNames(std::span<const TDispMember> members, REFIID riid, LPOLESTR* names, UINT count,
                       DISPID* ids) {
    if (!IsEqualGUID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids || count == 0) return E_INVALIDARG;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    if (!names[0]) return DISP_E_UNKNOWNNAME;
    const std::u16string wanted = kavelin::text::upperCase(names[0]);
    for (const auto& m : members) {
        if (kavelin::text::upperCase(m.name) == wanted) {
            ids[0] = m.id;
            return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
        }
    }
    return DISP_E_UNKNOWNNAME;
}

HRESULT dispInvoke(std::span<const TDispMember> members, std::u16string_view source, DISPID id, REFIID riid,
                   WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep, UINT* argErr,
                   const TDispCall& call) {
    if (!IsEqualGUID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    const TDispMember* member = findMember(members, id);
    if (!member) return DISP_E_MEMBERNOTFOUND;
    // Hosts read properties with DISPATCH_METHOD | DISPATCH_PROPERTYGET.
    const WORD allowed = member->property ? (DISPATCH_PROPERTYGET | DISPATCH_METHOD) : DISPATCH_METHOD;
    if (!(flags & allowed)) return DISP_E_MEMBERNOTFOUND;

    const UINT count = params ? params->cArgs : 0;
    if (params && params->cNamedArgs > 0) return DISP_E_NONAMEDARGS;
    if (count != member->paramCount) return DISP_E_BADPARAMCOUNT;
    if (count > 0 && !params->rgvarg) return E_INVALIDARG;

    TVariant args[kMaxParams];
    for (UINT i = 0; i < count; ++i) {
        const UINT position = count - 1 - i;  // arguments arrive last first
        const VARIANT* src = &params->rgvarg[position];
        const VARTYPE type = member->params[i];
        HRESULT hr = type == VT_VARIANT ? variantCopyInd(&args[i].v, src)
                                        : variantChangeType(&args[i].v, src, member->coerceFlags, type);
        if (FAILED(hr)) {
            if (argErr) *argErr = position;
            return DISP_E_TYPEMISMATCH;
        }
    }

    TVariant out;
    VARIANT argValues[kMaxParams];
    for (UINT i = 0; i < count; ++i) argValues[i] = args[i].v;
    try {
        call(id, argValues, &out.v);
    } catch (...) {
        fillException(excep, source, currentFailure());
        return DISP_E_EXCEPTION;
    }
    if (result) {
        *result = out.v;
        out.v.vt = VT_EMPTY;
    }
    return S_OK;
}

}  // namespace mirvo::com

#include "app/ui/script/dispatch_object.h"

#include "common/text/encoding.h"

namespace kavelin::activex {

namespace {

void fillException(EXCEPINFO* excep, std::u16string_view description) {
    if (!excep) return;
    *excep = EXCEPINFO{};
    excep->scode = DISP_E_EXCEPTION;
    excep->bstrSource = SysAllocString(u"Kavelin.ActiveX");
    excep->bstrDescription = SysAllocStringLen(description.data(), UINT(description.size()));
}

}  // namespace

// ---- TDispatchObject ---------------------------------------------------------

HRESULT TDispatchObject::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDispatch)) {
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

HRESULT TDispatchObject::GetTypeInfoCount(UINT* count) {
    if (!count) return E_INVALIDARG;
    *count = 0;
    return S_OK;
}

HRESULT TDispatchObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT TDispatchObject::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!IsEqualGUID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids) return E_POINTER;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
        if (i > 0 || !names[i]) {
            hr = DISP_E_UNKNOWNNAME;  // named arguments are not offered
            continue;
        }
        int index = -1;
        try {
            index = memberIndex(std::u16string_view(names[i], text::wideLength(names[i])));
        } catch (...) {
            return E_FAIL;
        }
        if (index < 0) hr = DISP_E_UNKNOWNNAME;
        else ids[i] = index + 1;
    }
    return hr;
}

int TDispatchObject::memberIndex(std::u16string_view name) {
    for (size_t i = 0; i < FNames.size(); ++i)
        if (sameText(FNames[i], name)) return int(i);
    return -1;
}

std::u16string TDispatchObject::memberName(int index) const { return FNames.at(index); }

HRESULT TDispatchObject::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                EXCEPINFO* excep, UINT* argErr) {
    if (!IsEqualGUID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (id < 1 || id > memberCount()) return DISP_E_MEMBERNOTFOUND;
    if (result) VariantInit(result);
    try {
        std::vector<TOleVariant> args;
        const UINT total = params ? params->cArgs : 0;
        const UINT named = params ? params->cNamedArgs : 0;
        if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
            // The value is the one named argument DISPID_PROPERTYPUT.
            if (total != 1 || named != 1 || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
                return DISP_E_BADPARAMCOUNT;
            args.emplace_back(params->rgvarg[0]);
            flags = DISPATCH_PROPERTYPUT;
        } else {
            if (named > 0) return DISP_E_NONAMEDARGS;
            for (UINT i = total; i-- > 0;) args.emplace_back(params->rgvarg[i]);
            flags &= DISPATCH_METHOD | DISPATCH_PROPERTYGET;
            if (!flags) return DISP_E_MEMBERNOTFOUND;
        }
        TOleVariant r = invokeMember(id - 1, flags, args);
        if (result) r.moveTo(result);
        return S_OK;
    } catch (const EDispError& e) {
        if (argErr) *argErr = 0;
        return e.code();
    } catch (const utils::EKavelin& e) {
        fillException(excep, e.message());
    } catch (const std::exception& e) {
        fillException(excep, text::fromUtf8(e.what()));
    }
    return DISP_E_EXCEPTION;
}

// ---- TNameMapDispatch -------------------------------------------------------------

int TNameMapDispatch::memberIndex(std::u16string_view name) {
    int index = TDispatchObject::memberIndex(name);
    if (index >= 0) return index;
    FNames.emplace_back(name);
    return int(FNames.size()) - 1;
}

TOleVariant TNameMapDispatch::invokeMember(int index, WORD flags, std::span<const TOleVariant> args) {
    return invokeName(FNames.at(index), flags, args);
}

// ---- TAttachedPropertyList -----------------------------------------------------------

TOleVariant TAttachedPropertyList::invokeMember(int index, WORD flags, std::span<const TOleVariant> args) {
    if (flags & DISPATCH_PROPERTYPUT) {
        if (FList->isMethod(index)) throw EDispError(DISP_E_MEMBERNOTFOUND);
        FList->setValue(index, args[0].v);
        return {};
    }
    if (FList->isMethod(index)) {
        if (!(flags & DISPATCH_METHOD)) throw EDispError(DISP_E_MEMBERNOTFOUND);
        return FList->call(index, args);
    }
    // A property read may come as a combined call without arguments.
    if (!args.empty()) throw EDispError(DISP_E_BADPARAMCOUNT);
    return FList->getValue(index);
}

}  // namespace kavelin::activex

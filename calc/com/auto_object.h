// Base of every automation object: reference counting (the object frees
// itself at the last Release and counts as alive for DllCanUnloadNow until
// then), QueryInterface for IUnknown, IDispatch and its dual interface, and
// IDispatch over the object's member table.
//
// The dual interface is the only base, so its vtable (COM order) is the
// object's primary vtable; the virtual functions added here come after it.
#pragma once

#include <atomic>
#include <span>
#include <string_view>

#include "calc/com/dispatch.h"
#include "calc/com/server_state.h"
#include "mirvo32_com.h"

namespace mirvo::com {

template <class Interface, const IID& Iid>
class TAutoObject : public Interface {
public:
    TAutoObject(const TAutoObject&) = delete;
    TAutoObject& operator=(const TAutoObject&) = delete;

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDispatch) || IsEqualGUID(riid, Iid)) {
            *ppv = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }

    ULONG AddRef() override { return ++FRefs; }

    ULONG Release() override {
        const ULONG n = --FRefs;
        if (n == 0) delete this;
        return n;
    }

    HRESULT GetTypeInfoCount(UINT* count) override {
        if (!count) return E_INVALIDARG;
        *count = 0;
        return S_OK;
    }

    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return DISP_E_BADINDEX;
    }

    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        return dispIdsOfNames(members(), riid, names, count, ids);
    }

    HRESULT Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* excep, UINT* argErr) override {
        return dispInvoke(members(), progId(), id, riid, flags, params, result, excep, argErr,
                          [this](DISPID member, VARIANT* args, VARIANT* out) { invokeMember(member, args, out); });
    }

    // A reference for the caller, as an interface pointer.
    Interface* newReference() {
        AddRef();
        return this;
    }

protected:
    // The creator holds the first reference.
    TAutoObject() { objectCreated(); }
    virtual ~TAutoObject() { objectDestroyed(); }

    virtual std::span<const TDispMember> members() const = 0;
    // The program identifier, shown as the source of failures.
    virtual std::u16string_view progId() const = 0;
    // Runs one member with coerced arguments; throws on failure.
    virtual void invokeMember(DISPID id, VARIANT* args, VARIANT* result) = 0;

private:
    std::atomic<ULONG> FRefs{1};
};

// Holds one reference to an interface and releases it.
template <class T>
class TComPtr {
public:
    TComPtr() = default;
    // Takes over a reference the caller already holds.
    explicit TComPtr(T* p) : FPtr(p) {}
    TComPtr(const TComPtr& o) : FPtr(o.FPtr) {
        if (FPtr) FPtr->AddRef();
    }
    TComPtr(TComPtr&& o) noexcept : FPtr(o.FPtr) { o.FPtr = nullptr; }
    TComPtr& operator=(TComPtr o) noexcept {
        std::swap(FPtr, o.FPtr);
        return *this;
    }
    ~TComPtr() {
        if (FPtr) FPtr->Release();
    }

    T* get() const { return FPtr; }
    T* operator->() const { return FPtr; }
    // Hands the reference to the caller.
    T* detach() {
        T* p = FPtr;
        FPtr = nullptr;
        return p;
    }

private:
    T* FPtr = nullptr;
};

}  // namespace mirvo::com

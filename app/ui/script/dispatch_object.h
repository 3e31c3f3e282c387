// Late-bound objects that scripts see, on the automation IDispatch
// contract: each object keeps a list of member names, a name's DISPID is its
// position plus 1, and Invoke runs a member with its arguments in written
// order (the caller delivers them last first).
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/ui/script/variants.h"
#include "common/utils/error.h"
#include "mirvo32_com.h"

namespace kavelin::activex {

// Raised inside a member: the status code goes back to the caller of Invoke
// as it is.
class EDispError : public utils::EKavelin {
public:
    explicit EDispError(HRESULT code) : EKavelin(u"Invoke error"), FCode(code) {}
    HRESULT code() const { return FCode; }

private:
    HRESULT FCode;
};

// The IDispatch base. Unknown names answer DISP_E_UNKNOWNNAME; a failure
// inside a member other than EDispError answers DISP_E_EXCEPTION with the
// failure's text as the description. A property read of a method answers
// DISP_E_MEMBERNOTFOUND, so callers can tell methods from properties.
class TDispatchObject : public IDispatch, public TRefCountedObject {
public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override { return addRef(); }
    ULONG Release() override { return release(); }
    HRESULT GetTypeInfoCount(UINT* count) override;
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    HRESULT Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* excep, UINT* argErr) override;

    // The member's position, -1 when the object has no such member.
    virtual int memberIndex(std::u16string_view name);
    virtual std::u16string memberName(int index) const;
    virtual int memberCount() const { return int(FNames.size()); }

protected:
    // Runs one member: flags are DISPATCH_PROPERTYPUT (args[0] is the value)
    // or DISPATCH_PROPERTYGET and/or DISPATCH_METHOD.
    virtual TOleVariant invokeMember(int index, WORD flags, std::span<const TOleVariant> args) = 0;

    std::vector<std::u16string> FNames;
};

// Accepts any name: a name not seen before is appended to the list, and the
// member is resolved by name when it is used.
class TNameMapDispatch : public TDispatchObject {
public:
    int memberIndex(std::u16string_view name) override;

protected:
    TOleVariant invokeMember(int index, WORD flags, std::span<const TOleVariant> args) final;
    virtual TOleVariant invokeName(const std::u16string& name, WORD flags,
                                   std::span<const TOleVariant> args) = 0;
};

// An object whose members are the properties of a property list held by
// someone else (the list must outlive the object).
class TAttachedPropertyList : public TDispatchObject {
public:
    explicit TAttachedPropertyList(TAbstractPropertyList& list) : FList(&list) {}

    int memberIndex(std::u16string_view name) override { return FList->indexOf(name); }
    std::u16string memberName(int index) const override { return FList->name(index); }
    int memberCount() const override { return FList->count(); }

protected:
    TOleVariant invokeMember(int index, WORD flags, std::span<const TOleVariant> args) override;

private:
    TAbstractPropertyList* FList;
};

// An object that publishes its own fixed members (publish() in the
// derived class's constructor).
class TDispatchObjectNew : public TAttachedPropertyList {
public:
    TDispatchObjectNew() : TAttachedPropertyList(FProps) {}

protected:
    void publish(TPublishedInfo info) { FProps.publish(std::move(info)); }

private:
    TCustomPublishedPropertyList FProps;
};

}  // namespace kavelin::activex

// Values and name-indexed property lists that the late-bound object bridge
// is built on. VARIANT, BSTR and IDispatch are the automation types of
// mirvo32_com.h; the OLE helpers come from libmirvo32.so.
//
// Numbers written as text follow one rule, whatever the process locale:
// decimal comma, no thousands separator, up to 15 significant digits and no
// exponent (4.5 -> "4,5", 500000 -> "500000").
#pragma once

#include "common/text/casing.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "mirvo32_com.h"

namespace kavelin::activex {

// A number as value text (see above); not-a-number and infinities give "0".
std::u16string numberText(double v);

// Owns one VARIANT: copies are deep (a BSTR is duplicated, an interface
// gets a reference), VT_BYREF is resolved on copying.
class TOleVariant {
public:
    TOleVariant() { VariantInit(&v); }
    TOleVariant(const VARIANT& src) : TOleVariant() { assign(src); }
    TOleVariant(const TOleVariant& o) : TOleVariant() { assign(o.v); }
    TOleVariant& operator=(const TOleVariant& o);
    ~TOleVariant() { VariantClear(&v); }

    static TOleVariant fromText(std::u16string_view s);
    static TOleVariant fromDouble(double d);
    static TOleVariant fromInt(int32_t i);
    static TOleVariant fromBool(bool b);
    static TOleVariant fromDate(DATE d);
    static TOleVariant fromDispatch(IDispatch* d);  // adds a reference

    // Hands the value over into dest (which must be empty or cleared).
    void moveTo(VARIANT* dest);
    VARTYPE type() const { return v.vt; }
    bool isEmpty() const { return v.vt == VT_EMPTY || v.vt == VT_NULL; }

    VARIANT v;

private:
    void assign(const VARIANT& src);
};

// The value as text: numbers by numberText, Booleans "1"/"0", dates
// "DD.MM.YYYY", empty and null "". Fails with "Invalid property type: %d"
// for a type that has no text form.
std::u16string variantText(const VARIANT& v);
// The value as a number: numbers as they are, text read with "," or "." as
// decimal separator (empty text is 0); fails for text that is no number.
double variantNumber(const VARIANT& v);

// An intrusive reference count. Freeing an object whose count is not zero
// is a fault of its owner and is reported as "Feil RefCount!!" (std::cerr).
class TRefCountedObject {
public:
    TRefCountedObject() = default;
    TRefCountedObject(const TRefCountedObject&) = delete;
    TRefCountedObject& operator=(const TRefCountedObject&) = delete;

    ULONG addRef() { return ++FRefCount; }
    // Frees the object at the last reference.
    ULONG release();
    ULONG refCount() const { return FRefCount; }

protected:
    virtual ~TRefCountedObject();

private:
    std::atomic<ULONG> FRefCount{0};
};

// A list of named properties, each found by position. Writing dispatches
// on the value's type to one of the typed setters; the defaults pass the
// value on as a wider type and finally as text.
class TAbstractPropertyList {
public:
    virtual ~TAbstractPropertyList() = default;

    virtual int count() const = 0;
    virtual std::u16string name(int index) const = 0;
    // The position of a name (without regard to case), -1 when unknown.
    virtual int indexOf(std::u16string_view name);
    // Whether the member is called (with arguments) rather than read.
    virtual bool isMethod(int index) const { return false; }

    virtual TOleVariant getValue(int index) = 0;
    void setValue(int index, const VARIANT& value);
    // Runs a method with its arguments in written order.
    virtual TOleVariant call(int index, std::span<const TOleVariant> args);

protected:
    virtual void setInteger(int index, int32_t v) { setInt64(index, v); }
    virtual void setInt64(int index, int64_t v) { setFloat(index, double(v)); }
    virtual void setFloat(int index, double v) { setText(index, numberText(v)); }
    virtual void setDate(int index, DATE v);
    virtual void setBoolean(int index, bool v) { setInteger(index, v ? 1 : 0); }
    virtual void setText(int index, std::u16string_view v) = 0;
    // Writes a value of any other type (an interface, for example).
    virtual void setOther(int index, const VARIANT& v) { setText(index, variantText(v)); }
};

// Free-form properties: an unknown name is appended with an empty value.
class TNumerablePropertyList : public TAbstractPropertyList {
public:
    int count() const override { return int(FNames.size()); }
    std::u16string name(int index) const override { return FNames.at(index); }
    int indexOf(std::u16string_view name) override;
    TOleVariant getValue(int index) override { return FValues.at(index); }

protected:
    void setInteger(int index, int32_t v) override { FValues.at(index) = TOleVariant::fromInt(v); }
    void setFloat(int index, double v) override { FValues.at(index) = TOleVariant::fromDouble(v); }
    void setBoolean(int index, bool v) override { FValues.at(index) = TOleVariant::fromBool(v); }
    void setText(int index, std::u16string_view v) override { FValues.at(index) = TOleVariant::fromText(v); }
    void setOther(int index, const VARIANT& v) override { FValues.at(index) = TOleVariant(v); }

private:
    std::vector<std::u16string> FNames;
    std::vector<TOleVariant> FValues;
};

// One published member: a property with a getter (and a setter unless it
// is read-only) or a method.
struct TPublishedInfo {
    std::u16string name;
    std::function<TOleVariant()> get;                      // property read
    std::function<void(const VARIANT&)> set;               // property write; none = read-only
    std::function<TOleVariant(std::span<const TOleVariant>)> method;  // set for a method
};

// A fixed set of published members. Writing a read-only property fails
// with "Property %s is read-only".
class TCustomPublishedPropertyList : public TAbstractPropertyList {
public:
    void publish(TPublishedInfo info) { FInfos.push_back(std::move(info)); }

    int count() const override { return int(FInfos.size()); }
    std::u16string name(int index) const override { return FInfos.at(index).name; }
    bool isMethod(int index) const override { return bool(FInfos.at(index).method); }
    TOleVariant getValue(int index) override;
    TOleVariant call(int index, std::span<const TOleVariant> args) override;

protected:
    // Every type goes to the member's own setter, which converts it.
    void setInteger(int index, int32_t v) override { put(index, TOleVariant::fromInt(v).v); }
    void setFloat(int index, double v) override { put(index, TOleVariant::fromDouble(v).v); }
    void setBoolean(int index, bool v) override { put(index, TOleVariant::fromBool(v).v); }
    void setDate(int index, DATE v) override { put(index, TOleVariant::fromDate(v).v); }
    void setText(int index, std::u16string_view v) override { put(index, TOleVariant::fromText(v).v); }
    void setOther(int index, const VARIANT& v) override { put(index, v); }

private:
    void put(int index, const VARIANT& v);

    std::vector<TPublishedInfo> FInfos;
};

// Text equality without regard to case (names of members and objects).
using kavelin::text::sameText;

}  // namespace kavelin::activex

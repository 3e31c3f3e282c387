#include "app/ui/script/variants.h"

#include <cmath>
#include <iostream>

#include "app/ui/fmt/numtext.h"
#include "common/text/casing.h"
#include "common/text/numtext.h"
#include "common/utils/dates.h"
#include "common/utils/error.h"

namespace kavelin::activex {

std::u16string numberText(double v) {
    if (!std::isfinite(v)) return u"0";
    // Decimals that keep 15 significant digits in all.
    int intDigits = v == 0 ? 1 : int(std::floor(std::log10(std::fabs(v)))) + 1;
    int decimals = std::clamp(15 - intDigits, 0, 20);
    std::u16string s = fmt::writeNumberTrimmed(v, decimals, false);
    return s == u"-0" ? u"0" : s;
}

// ---- TOleVariant ------------------------------------------------------------

TOleVariant& TOleVariant::operator=(const TOleVariant& o) {
    if (this != &o) {
        TOleVariant copy(o);
        VariantClear(&v);
        v = copy.v;
        copy.v.vt = VT_EMPTY;
    }
    return *this;
}

void TOleVariant::assign(const VARIANT& src) {
    const VARIANT* s = &src;
    while (s->vt == (VT_BYREF | VT_VARIANT) && s->pvarVal) s = s->pvarVal;
    if (s->vt & VT_BYREF) {
        // Only the scalar types the bridge meets by reference.
        switch (s->vt & VT_TYPEMASK) {
            case VT_I4: *this = fromInt(*s->plVal); return;
            case VT_R8: *this = fromDouble(*s->pdblVal); return;
            case VT_BOOL: *this = fromBool(*s->pboolVal != 0); return;
            case VT_BSTR: *this = fromText(std::u16string_view(*s->pbstrVal ? *s->pbstrVal : u"",
                                                                SysStringLen(*s->pbstrVal))); return;
            case VT_DATE: *this = fromDate(*s->pdate); return;
            default: throw utils::EKavelin(u"Invalid property type: " + text::intText(s->vt));
        }
    }
    v = *s;
    if (v.vt == VT_BSTR) {
        v.bstrVal = SysAllocStringLen(s->bstrVal, SysStringLen(s->bstrVal));
        if (!v.bstrVal && s->bstrVal) {
            v.vt = VT_EMPTY;
            throw std::bad_alloc();
        }
    } else if ((v.vt == VT_DISPATCH || v.vt == VT_UNKNOWN) && v.punkVal) {
        v.punkVal->AddRef();
    }
}

TOleVariant TOleVariant::fromText(std::u16string_view s) {
    TOleVariant r;
    r.v.bstrVal = SysAllocStringLen(s.data(), UINT(s.size()));
    if (!r.v.bstrVal) throw std::bad_alloc();
    r.v.vt = VT_BSTR;
    return r;
}

TOleVariant TOleVariant::fromDouble(double d) {
    TOleVariant r;
    r.v.vt = VT_R8;
    r.v.dblVal = d;
    return r;
}

TOleVariant TOleVariant::fromInt(int32_t i) {
    TOleVariant r;
    r.v.vt = VT_I4;
    r.v.lVal = i;
    return r;
}

TOleVariant TOleVariant::fromBool(bool b) {
    TOleVariant r;
    r.v.vt = VT_BOOL;
    r.v.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
    return r;
}

TOleVariant TOleVariant::fromDate(DATE d) {
    TOleVariant r;
    r.v.vt = VT_DATE;
    r.v.date = d;
    return r;
}

TOleVariant TOleVariant::fromDispatch(IDispatch* d) {
    TOleVariant r;
    r.v.vt = VT_DISPATCH;
    r.v.pdispVal = d;
    if (d) d->AddRef();
    return r;
}

void TOleVariant::moveTo(VARIANT* dest) {
    *dest = v;
    v.vt = VT_EMPTY;
}

// ---- conversions ------------------------------------------------------------

namespace {

std::u16string dateText(DATE d) {
    auto day = utils::intdate2dato(finans::TIntDate(std::floor(d)));
    return utils::datostr(day, u"DD.MM.YYYY");
}

}  // namespace

std::u16string variantText(const VARIANT& v) {
    switch (v.vt) {
        case VT_EMPTY: case VT_NULL: return {};
        case VT_I1: return text::intText(v.cVal);
        case VT_UI1: return text::intText(v.bVal);
        case VT_I2: return text::intText(v.iVal);
        case VT_UI2: return text::intText(v.uiVal);
        case VT_I4: case VT_INT: return text::intText(v.lVal);
        case VT_UI4: case VT_UINT: return text::intText(v.ulVal);
        case VT_I8: return text::intText(v.llVal);
        case VT_UI8: return numberText(double(v.ullVal));
        case VT_R4: return numberText(v.fltVal);
        case VT_R8: return numberText(v.dblVal);
        case VT_CY: return numberText(double(v.cyVal.int64) / 10000.0);
        case VT_BOOL: return v.boolVal ? u"1" : u"0";
        case VT_DATE: return dateText(v.date);
        case VT_BSTR: return std::u16string(v.bstrVal ? v.bstrVal : u"", SysStringLen(v.bstrVal));
        default: break;
    }
    if (v.vt & VT_BYREF) return variantText(TOleVariant(v).v);
    throw utils::EKavelin(u"Invalid property type: " + text::intText(v.vt));
}

double variantNumber(const VARIANT& v) {
    switch (v.vt) {
        case VT_EMPTY: case VT_NULL: return 0;
        case VT_I1: return v.cVal;
        case VT_UI1: return v.bVal;
        case VT_I2: return v.iVal;
        case VT_UI2: return v.uiVal;
        case VT_I4: case VT_INT: return v.lVal;
        case VT_UI4: case VT_UINT: return v.ulVal;
        case VT_I8: return double(v.llVal);
        case VT_UI8: return double(v.ullVal);
        case VT_R4: return v.fltVal;
        case VT_R8: case VT_DATE: return v.dblVal;
        case VT_CY: return double(v.cyVal.int64) / 10000.0;
        case VT_BOOL: return v.boolVal ? 1 : 0;
        default: break;
    }
    std::u16string s = variantText(v);
    if (s.find_first_not_of(u' ') == std::u16string::npos) return 0;
    auto d = fmt::tryReadNumber(s);
    if (!d) throw utils::EKavelin(u"Ikke et tall: \"" + s + u"\"");
    return *d;
}

// ---- TRefCountedObject ---------------------------------------------------------

ULONG TRefCountedObject::release() {
    const ULONG n = --FRefCount;
    if (n == 0) delete this;
    return n;
}

TRefCountedObject::~TRefCountedObject() {
    if (FRefCount != 0) std::cerr << "Feil RefCount!!\n";
}

// ---- TAbstractPropertyList --------------------------------------------------------

int TAbstractPropertyList::indexOf(std::u16string_view n) {
    for (int i = 0; i < count(); ++i)
        if (sameText(name(i), n)) return i;
    return -1;
}

void TAbstractPropertyList::setValue(int index, const VARIANT& value) {
    switch (value.vt) {
        case VT_I1: case VT_UI1: case VT_I2: case VT_UI2: case VT_I4: case VT_INT:
            setInteger(index, int32_t(variantNumber(value)));
            break;
        case VT_UI4: case VT_UINT: case VT_I8: case VT_UI8:
            setInt64(index, value.vt == VT_I8 ? value.llVal : int64_t(variantNumber(value)));
            break;
        case VT_R4: case VT_R8: case VT_CY:
            setFloat(index, variantNumber(value));
            break;
        case VT_DATE: setDate(index, value.date); break;
        case VT_BOOL: setBoolean(index, value.boolVal != 0); break;
        case VT_BSTR: case VT_EMPTY: case VT_NULL: setText(index, variantText(value)); break;
        default:
            if (value.vt & VT_BYREF) setValue(index, TOleVariant(value).v);
            else setOther(index, value);
    }
}

TOleVariant TAbstractPropertyList::call(int index, std::span<const TOleVariant>) {
    throw utils::EKavelin(u"Not a method: " + name(index));
}

void TAbstractPropertyList::setDate(int index, DATE v) { setText(index, dateText(v)); }

// ---- TNumerablePropertyList ----------------------------------------------------------

int TNumerablePropertyList::indexOf(std::u16string_view n) {
    int i = TAbstractPropertyList::indexOf(n);
    if (i >= 0) return i;
    FNames.emplace_back(n);
    FValues.emplace_back();
    return int(FNames.size()) - 1;
}

// ---- TCustomPublishedPropertyList ------------------------------------------------------

TOleVariant TCustomPublishedPropertyList::getValue(int index) {
    const TPublishedInfo& info = FInfos.at(index);
    if (!info.get) throw utils::EKavelin(u"Property " + info.name + u" is write-only");
    return info.get();
}

TOleVariant TCustomPublishedPropertyList::call(int index, std::span<const TOleVariant> args) {
    const TPublishedInfo& info = FInfos.at(index);
    if (!info.method) return TAbstractPropertyList::call(index, args);
    return info.method(args);
}

void TCustomPublishedPropertyList::put(int index, const VARIANT& v) {
    const TPublishedInfo& info = FInfos.at(index);
    if (!info.set) throw utils::EKavelin(u"Property " + info.name + u" is read-only");
    info.set(v);
}

}  // namespace kavelin::activex

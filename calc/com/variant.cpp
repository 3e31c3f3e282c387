#include "calc/com/variant.h"

#include <cctype>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>

#include "calc/com/ole_strings.h"
#include "common/text/casing.h"
#include "common/text/numtext.h"
#include "common/utils/dates.h"

namespace mirvo::com {

namespace {

bool knownScalar(VARTYPE vt) { return (vt <= VT_UNKNOWN || vt == 14) || (vt >= VT_I1 && vt <= VT_UINT); }

// Bytes a VT_BYREF pointer refers to, by base type; 0 for an unknown type.
size_t byrefSize(VARTYPE base) {
    switch (base) {
        case VT_I1: case VT_UI1: return 1;
        case VT_I2: case VT_UI2: case VT_BOOL: return 2;
        case VT_I4: case VT_UI4: case VT_INT: case VT_UINT: case VT_R4: case VT_ERROR: return 4;
        case VT_I8: case VT_UI8: case VT_R8: case VT_CY: case VT_DATE: return 8;
        case VT_BSTR: case VT_DISPATCH: case VT_UNKNOWN: return sizeof(void*);
        default: return 0;
    }
}

// A non-owning view of src with VT_BYREF resolved.
HRESULT resolve(const VARIANT* src, VARIANT& view) {
    if (!src) return E_INVALIDARG;
    for (int depth = 0; depth < 2 && (src->vt & VT_BYREF); ++depth) {
        const VARTYPE base = src->vt & ~VT_BYREF;
        if (!src->byref) return E_INVALIDARG;
        if (base == VT_VARIANT) {
            src = src->pvarVal;
            continue;
        }
        const size_t size = byrefSize(base);
        if (size == 0) return DISP_E_BADVARTYPE;
        std::memset(&view, 0, sizeof view);
        view.vt = base;
        std::memcpy(&view.llVal, src->byref, size);
        return S_OK;
    }
    if (src->vt & VT_BYREF) return DISP_E_BADVARTYPE;
    view = *src;
    return S_OK;
}

// A numeric value: an exact integer or a real.
struct Number {
    bool exact = true;
    int64_t i = 0;
    double d = 0;

    double real() const { return exact ? double(i) : d; }
};

Number exactOf(int64_t i) { return Number{true, i, 0}; }
Number realOf(double d) { return Number{false, 0, d}; }

std::u16string_view trimmed(std::u16string_view s) {
    while (!s.empty() && (s.front() == u' ' || s.front() == u'\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == u' ' || s.back() == u'\t')) s.remove_suffix(1);
    return s;
}

// Reads "[+-]digits[.digits][E[+-]digits]"; nothing else.
HRESULT parseNumber(std::u16string_view text, Number& out) {
    std::u16string_view t = trimmed(text);
    std::string ascii;
    for (char16_t c : t) {
        if (c > 0x7F) return DISP_E_TYPEMISMATCH;
        ascii += char(c);
    }
    size_t start = !ascii.empty() && ascii[0] == '+' ? 1 : 0;
    const char* first = ascii.data() + start;
    const char* last = ascii.data() + ascii.size();
    const char* digits = first + (first != last && *first == '-' ? 1 : 0);
    if (digits == last || !(std::isdigit((unsigned char)*digits) || *digits == '.')) return DISP_E_TYPEMISMATCH;
    int64_t i = 0;
    auto ri = std::from_chars(first, last, i);
    if (ri.ec == std::errc() && ri.ptr == last) {
        out = exactOf(i);
        return S_OK;
    }
    double d = 0;
    auto rd = std::from_chars(first, last, d);
    if (rd.ec == std::errc::result_out_of_range) return DISP_E_OVERFLOW;
    if (rd.ec != std::errc() || rd.ptr != last) return DISP_E_TYPEMISMATCH;
    out = realOf(d);
    return S_OK;
}

HRESULT numberOf(const VARIANT& v, Number& out) {
    switch (v.vt) {
        case VT_EMPTY: out = exactOf(0); return S_OK;
        case VT_I1: out = exactOf(static_cast<signed char>(v.cVal)); return S_OK;
        case VT_UI1: out = exactOf(v.bVal); return S_OK;
        case VT_I2: out = exactOf(v.iVal); return S_OK;
        case VT_UI2: out = exactOf(v.uiVal); return S_OK;
        case VT_I4: out = exactOf(v.lVal); return S_OK;
        case VT_UI4: out = exactOf(v.ulVal); return S_OK;
        case VT_INT: out = exactOf(v.intVal); return S_OK;
        case VT_UINT: out = exactOf(v.uintVal); return S_OK;
        case VT_I8: out = exactOf(v.llVal); return S_OK;
        case VT_UI8:
            out = v.ullVal <= uint64_t(INT64_MAX) ? exactOf(int64_t(v.ullVal)) : realOf(double(v.ullVal));
            return S_OK;
        case VT_R4: out = realOf(v.fltVal); return S_OK;
        case VT_R8: out = realOf(v.dblVal); return S_OK;
        case VT_DATE: out = realOf(v.date); return S_OK;
        case VT_CY:
            out = v.cyVal.int64 % 10000 == 0 ? exactOf(v.cyVal.int64 / 10000) : realOf(double(v.cyVal.int64) / 10000.0);
            return S_OK;
        case VT_BOOL: out = exactOf(v.boolVal ? -1 : 0); return S_OK;
        case VT_BSTR: return parseNumber(stringView(v.bstrVal), out);
        default: return DISP_E_TYPEMISMATCH;
    }
}

// The integer nearest to n (ties to even, as automation rounds) within
// [lo, hi].
HRESULT integerOf(const Number& n, int64_t lo, int64_t hi, int64_t& out) {
    if (n.exact) {
        if (n.i < lo || n.i > hi) return DISP_E_OVERFLOW;
        out = n.i;
        return S_OK;
    }
    if (!std::isfinite(n.d)) return DISP_E_OVERFLOW;
    double r = n.d - std::floor(n.d) == 0.5 ? 2 * std::round(n.d / 2) : std::round(n.d);
    if (r < -9223372036854775808.0 || r >= 9223372036854775808.0) return DISP_E_OVERFLOW;
    const int64_t i = int64_t(r);
    if (i < lo || i > hi) return DISP_E_OVERFLOW;
    out = i;
    return S_OK;
}

std::u16string asciiText(const char* first, const char* last) { return std::u16string(first, last); }

std::u16string integerText(int64_t i) {
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, i);
    return asciiText(buf, r.ptr);
}

// A real with `significant` digits at most, trailing zeros dropped, an
// upper-case exponent only for very large or small magnitudes.
HRESULT realText(double d, int significant, std::u16string& out) {
    if (!std::isfinite(d)) return DISP_E_OVERFLOW;
    if (d == 0) d = 0;  // no "-0"
    char buf[40];
    auto r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::general, significant);
    out = asciiText(buf, r.ptr);
    for (char16_t& c : out)
        if (c == u'e') c = u'E';
    return S_OK;
}

std::u16string currencyText(int64_t cy) {
    std::u16string s = integerText(cy / 10000);
    int64_t frac = cy % 10000;
    if (frac == 0) return s;
    if (cy < 0 && cy / 10000 == 0) s = u"-0";
    std::u16string digits = kavelin::text::intText(frac < 0 ? -frac : frac, 4);
    while (digits.back() == u'0') digits.pop_back();
    return s + u'.' + digits;
}

// "DD.MM.YYYY", with " HH:MM:SS" when the time of day is not midnight.
HRESULT dateText(DATE date, std::u16string& out) {
    if (!std::isfinite(date) || date < -657434.0 || date >= 2958466.0) return DISP_E_OVERFLOW;
    double day = std::trunc(date);
    long seconds = std::lround(std::fabs(date - day) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        day += date < 0 ? -1 : 1;
    }
    try {
        out = kavelin::utils::datostr(kavelin::utils::intdate2dato(int32_t(day)), u"DD.MM.YYYY");
    } catch (...) {
        return DISP_E_OVERFLOW;
    }
    if (seconds) {
        using kavelin::text::intText;
        out += u' ' + intText(seconds / 3600, 2) + u':' + intText(seconds / 60 % 60, 2) + u':' +
               intText(seconds % 60, 2);
    }
    return S_OK;
}

HRESULT textOf(const VARIANT& v, USHORT flags, std::u16string& out) {
    switch (v.vt) {
        case VT_EMPTY: out.clear(); return S_OK;
        case VT_BSTR: out = stringView(v.bstrVal); return S_OK;
        case VT_BOOL:
            if (flags & VARIANT_ALPHABOOL) out = v.boolVal ? u"True" : u"False";
            else out = v.boolVal ? u"-1" : u"0";
            return S_OK;
        case VT_R4: return realText(v.fltVal, 7, out);
        case VT_R8: return realText(v.dblVal, 15, out);
        case VT_DATE: return dateText(v.date, out);
        case VT_CY: out = currencyText(v.cyVal.int64); return S_OK;
        case VT_UI8:
            if (v.ullVal > uint64_t(INT64_MAX)) {
                char buf[24];
                auto r = std::to_chars(buf, buf + sizeof buf, v.ullVal);
                out = asciiText(buf, r.ptr);
                return S_OK;
            }
            [[fallthrough]];
        default: {
            Number n;
            HRESULT hr = numberOf(v, n);
            if (FAILED(hr)) return hr;
            out = integerText(n.i);
            return S_OK;
        }
    }
}

HRESULT boolOf(const VARIANT& v, VARIANT_BOOL& out) {
    if (v.vt == VT_BSTR) {
        const std::u16string word = kavelin::text::upperCase(trimmed(stringView(v.bstrVal)));
        if (word == u"TRUE" || word == u"FALSE") {
            out = word == u"TRUE" ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        }
    }
    Number n;
    HRESULT hr = numberOf(v, n);
    if (FAILED(hr)) return hr;
    out = n.real() != 0 ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

// Converts a resolved value into a fresh variant `out` of type vt.
HRESULT convert(const VARIANT& v, USHORT flags, VARTYPE vt, VARIANT& out) {
    if (v.vt == vt) return variantCopy(&out, &v);
    out.vt = vt;
    if (vt == VT_BSTR) {
        std::u16string text;
        HRESULT hr = textOf(v, flags, text);
        if (FAILED(hr)) return hr;
        out.bstrVal = allocString(text);
        if (!out.bstrVal) {
            out.vt = VT_EMPTY;
            return E_OUTOFMEMORY;
        }
        return S_OK;
    }
    if (vt == VT_BOOL) return boolOf(v, out.boolVal);

    Number n;
    HRESULT hr = numberOf(v, n);
    if (FAILED(hr)) return hr;
    int64_t i = 0;
    switch (vt) {
        case VT_I2:
            hr = integerOf(n, INT16_MIN, INT16_MAX, i);
            out.iVal = int16_t(i);
            return hr;
        case VT_I4:
            hr = integerOf(n, INT32_MIN, INT32_MAX, i);
            out.lVal = int32_t(i);
            return hr;
        case VT_I8:
            hr = integerOf(n, INT64_MIN, INT64_MAX, i);
            out.llVal = i;
            return hr;
        case VT_R8:
            out.dblVal = n.real();
            return S_OK;
        case VT_R4: {
            const double d = n.real();
            if (std::isfinite(d) && std::fabs(d) > FLT_MAX) return DISP_E_OVERFLOW;
            out.fltVal = float(d);
            return S_OK;
        }
        default:
            return DISP_E_TYPEMISMATCH;
    }
}

}  // namespace

void variantInit(VARIANT* v) {
    if (v) v->vt = VT_EMPTY;
}

HRESULT variantClear(VARIANT* v) {
    if (!v) return E_INVALIDARG;
    if (v->vt & VT_BYREF) {
        if (!knownScalar(v->vt & ~VT_BYREF) && (v->vt & ~VT_BYREF) != VT_VARIANT) return DISP_E_BADVARTYPE;
    } else if (!knownScalar(v->vt) || v->vt == VT_VARIANT) {
        return DISP_E_BADVARTYPE;
    } else if (v->vt == VT_BSTR) {
        freeString(v->bstrVal);
    } else if ((v->vt == VT_DISPATCH || v->vt == VT_UNKNOWN) && v->punkVal) {
        v->punkVal->Release();
    }
    v->vt = VT_EMPTY;
    return S_OK;
}

HRESULT variantCopy(VARIANT* dest, const VARIANT* src) {
    if (!dest || !src) return E_INVALIDARG;
    VARIANT copy = *src;
    if (src->vt == VT_BSTR && src->bstrVal) {
        copy.bstrVal = allocString(stringView(src->bstrVal));
        if (!copy.bstrVal) return E_OUTOFMEMORY;
    } else if (!(src->vt & VT_BYREF) && (!knownScalar(src->vt) || src->vt == VT_VARIANT)) {
        return DISP_E_BADVARTYPE;
    }
    if ((src->vt == VT_DISPATCH || src->vt == VT_UNKNOWN) && src->punkVal) src->punkVal->AddRef();
    if (dest != src) {
        HRESULT hr = variantClear(dest);
        if (FAILED(hr)) {
            variantClear(&copy);
            return hr;
        }
    }
    *dest = copy;
    return S_OK;
}

HRESULT variantCopyInd(VARIANT* dest, const VARIANT* src) {
    if (!dest) return E_INVALIDARG;
    VARIANT view;
    HRESULT hr = resolve(src, view);
    if (FAILED(hr)) return hr;
    return variantCopy(dest, &view);
}

HRESULT variantChangeType(VARIANT* dest, const VARIANT* src, USHORT flags, VARTYPE vt) {
    if (!dest || !src) return E_INVALIDARG;
    if ((vt & (VT_BYREF | VT_ARRAY)) || !knownScalar(vt) || vt == VT_VARIANT) return DISP_E_BADVARTYPE;
    VARIANT view;
    HRESULT hr = resolve(src, view);
    if (FAILED(hr)) return hr;
    VARIANT out;
    out.vt = VT_EMPTY;
    out.wReserved1 = out.wReserved2 = out.wReserved3 = 0;
    out.llVal = 0;
    out.brecVal.pRecInfo = nullptr;
    hr = convert(view, flags, vt, out);
    if (FAILED(hr)) return hr;
    if (dest == src) {
        variantClear(dest);
    } else {
        hr = variantClear(dest);
        if (FAILED(hr)) {
            variantClear(&out);
            return hr;
        }
    }
    *dest = out;
    return S_OK;
}

}  // namespace mirvo::com

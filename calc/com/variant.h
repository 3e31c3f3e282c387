// VARIANT handling: initialise, clear, copy and convert. The exported
// Variant* functions forward here. Conversions never consult the process
// locale: numbers use "." as the decimal separator, dates "DD.MM.YYYY".
#pragma once

#include <string>

#include "mirvo32_com.h"

namespace mirvo::com {

void variantInit(VARIANT* v);
// Frees what the variant owns (a BSTR, an interface reference) and leaves
// it VT_EMPTY. DISP_E_BADVARTYPE for a type this layer does not know
// (arrays included); the variant is then left as it was.
HRESULT variantClear(VARIANT* v);
// Deep copy into dest, which is cleared first: a BSTR is duplicated, an
// interface gets a reference; a VT_BYREF value copies the pointer.
HRESULT variantCopy(VARIANT* dest, const VARIANT* src);
// As variantCopy, with VT_BYREF (and a VARIANT reached by reference)
// resolved to the value it refers to.
HRESULT variantCopyInd(VARIANT* dest, const VARIANT* src);
// Converts src (through VT_BYREF) to type vt into dest; dest may be src.
// On failure dest is left untouched. DISP_E_TYPEMISMATCH when no conversion
// exists, DISP_E_OVERFLOW when the value does not fit.
HRESULT variantChangeType(VARIANT* dest, const VARIANT* src, USHORT flags, VARTYPE vt);

// Owns one VARIANT for the length of a scope.
class TVariant {
public:
    TVariant() { variantInit(&v); }
    ~TVariant() { variantClear(&v); }
    TVariant(const TVariant&) = delete;
    TVariant& operator=(const TVariant&) = delete;

    VARIANT v;
};

}  // namespace mirvo::com

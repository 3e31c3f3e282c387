// The OLE helper functions a host of the automation server needs on a
// platform without COM: BSTR and VARIANT handling, forwarded to the
// server's own implementation so host and library share one allocator.
#include "calc/com/ole_strings.h"
#include "calc/com/variant.h"
#include "common/text/encoding.h"
#include "mirvo32_com.h"

namespace com = mirvo::com;

extern "C" {

BSTR SysAllocString(const OLECHAR* psz) {
    if (!psz) return nullptr;
    return com::allocString(std::u16string_view(psz, kavelin::text::wideLength(psz)));
}

BSTR SysAllocStringLen(const OLECHAR* strIn, UINT ui) {
    // A null source gives a string of ui characters to be filled in.
    if (!strIn) {
        try {
            return com::allocString(std::u16string(ui, u'\0'));
        } catch (...) {
            return nullptr;
        }
    }
    return com::allocString(std::u16string_view(strIn, ui));
}

void SysFreeString(BSTR bstrString) { com::freeString(bstrString); }

UINT SysStringLen(BSTR pbstr) { return com::stringLen(pbstr); }

void VariantInit(VARIANTARG* pvarg) { com::variantInit(pvarg); }

HRESULT VariantClear(VARIANTARG* pvarg) { return com::variantClear(pvarg); }

HRESULT VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, USHORT wFlags, VARTYPE vt) {
    try {
        return com::variantChangeType(pvargDest, pvarSrc, wFlags, vt);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

}  // extern "C"

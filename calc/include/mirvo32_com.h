/*
 * Mirvo32 automation server: a small COM-compatible layer for hosts on a
 * platform without COM.
 *
 * The types and interfaces below have the binary layout of their COM
 * counterparts (64-bit Windows layout of VARIANT, vtables in COM order, the
 * platform's default calling convention), so a host written against COM
 * works unchanged. C++ hosts see the interfaces as abstract classes; C hosts
 * (or C++ hosts that define CINTERFACE) see structs holding a pointer to a
 * table of function pointers whose first argument is the object.
 *
 * Objects are reached through DllGetClassObject with a class identifier
 * below; every interface pointer handed out carries one reference that the
 * host releases. Strings are BSTRs allocated with SysAllocString and freed by
 * whoever owns them with SysFreeString.
 */
#ifndef MIRVO32_COM_H
#define MIRVO32_COM_H

#include <stdint.h>

#include "mirvo32.h"

/* ---- Base types --------------------------------------------------------- */

typedef uint8_t  BYTE;
typedef uint16_t WORD;
typedef uint16_t USHORT;
typedef uint32_t DWORD;
typedef uint32_t ULONG;
typedef uint32_t UINT;
typedef int32_t  LONG;
typedef int32_t  BOOL;
typedef int32_t  SCODE;
typedef int32_t  DISPID;
typedef uint32_t LCID;
typedef uint16_t VARTYPE;
typedef int16_t  VARIANT_BOOL;
typedef double   DATE; /* days since 30 December 1899, time as fraction */
typedef char16_t OLECHAR;
typedef OLECHAR* LPOLESTR;
/* A BSTR points at UTF-16 text preceded by its 32-bit length in bytes and
 * followed by a zero character. A null BSTR is the empty text. */
typedef OLECHAR* BSTR;

typedef union tagCY {
    struct {
        uint32_t Lo;
        int32_t  Hi;
    } s;
    int64_t int64; /* currency value times 10,000 */
} CY;

#if defined(__cplusplus) && !defined(CINTERFACE)
typedef const IID& REFIID;
typedef const CLSID& REFCLSID;
#else
typedef const IID* REFIID;
typedef const CLSID* REFCLSID;
#endif

/* ---- Result codes ------------------------------------------------------- */

#define MIRVO_HR(x) ((HRESULT)(int32_t)(uint32_t)(x))
#define S_OK                       MIRVO_HR(0x00000000u)
#define S_FALSE                    MIRVO_HR(0x00000001u)
#define E_NOTIMPL                  MIRVO_HR(0x80004001u)
#define E_NOINTERFACE              MIRVO_HR(0x80004002u)
#define E_POINTER                  MIRVO_HR(0x80004003u)
#define E_FAIL                     MIRVO_HR(0x80004005u)
#define E_UNEXPECTED               MIRVO_HR(0x8000FFFFu)
#define E_OUTOFMEMORY              MIRVO_HR(0x8007000Eu)
#define E_INVALIDARG               MIRVO_HR(0x80070057u)
#define CLASS_E_NOAGGREGATION      MIRVO_HR(0x80040110u)
#define CLASS_E_CLASSNOTAVAILABLE  MIRVO_HR(0x80040111u)
#define DISP_E_UNKNOWNINTERFACE    MIRVO_HR(0x80020001u)
#define DISP_E_MEMBERNOTFOUND      MIRVO_HR(0x80020003u)
#define DISP_E_TYPEMISMATCH        MIRVO_HR(0x80020005u)
#define DISP_E_UNKNOWNNAME         MIRVO_HR(0x80020006u)
#define DISP_E_NONAMEDARGS         MIRVO_HR(0x80020007u)
#define DISP_E_BADVARTYPE          MIRVO_HR(0x80020008u)
#define DISP_E_EXCEPTION           MIRVO_HR(0x80020009u)
#define DISP_E_OVERFLOW            MIRVO_HR(0x8002000Au)
#define DISP_E_BADINDEX            MIRVO_HR(0x8002000Bu)
#define DISP_E_BADPARAMCOUNT       MIRVO_HR(0x8002000Eu)

#define SUCCEEDED(hr) ((HRESULT)(hr) >= 0)
#define FAILED(hr)    ((HRESULT)(hr) < 0)

/* ---- VARIANT ------------------------------------------------------------- */

enum VARENUM {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_CY = 6,
    VT_DATE = 7,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_I1 = 16,
    VT_UI1 = 17,
    VT_UI2 = 18,
    VT_UI4 = 19,
    VT_I8 = 20,
    VT_UI8 = 21,
    VT_INT = 22,
    VT_UINT = 23,
    VT_ARRAY = 0x2000,
    VT_BYREF = 0x4000,
    VT_TYPEMASK = 0x0FFF
};

#define VARIANT_TRUE  ((VARIANT_BOOL)-1)
#define VARIANT_FALSE ((VARIANT_BOOL)0)

/* VariantChangeType flags */
#define VARIANT_NOVALUEPROP 0x01
#define VARIANT_ALPHABOOL   0x02 /* VT_BOOL becomes "True"/"False", not "-1"/"0" */

#if defined(__cplusplus) && !defined(CINTERFACE)
struct IUnknown;
struct IDispatch;
#else
typedef struct IUnknown IUnknown;
typedef struct IDispatch IDispatch;
#endif
typedef struct ITypeInfo ITypeInfo; /* not offered: GetTypeInfo answers DISP_E_BADINDEX */

typedef struct tagVARIANT VARIANT;
typedef VARIANT VARIANTARG;

struct tagVARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        int64_t llVal;
        int32_t lVal;
        BYTE bVal;
        int16_t iVal;
        float fltVal;
        double dblVal;
        VARIANT_BOOL boolVal;
        SCODE scode;
        CY cyVal;
        DATE date;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        char cVal;
        uint16_t uiVal;
        uint32_t ulVal;
        uint64_t ullVal;
        int32_t intVal;
        uint32_t uintVal;
        BYTE* pbVal;
        int16_t* piVal;
        int32_t* plVal;
        int64_t* pllVal;
        float* pfltVal;
        double* pdblVal;
        VARIANT_BOOL* pboolVal;
        SCODE* pscode;
        CY* pcyVal;
        DATE* pdate;
        BSTR* pbstrVal;
        IUnknown** ppunkVal;
        IDispatch** ppdispVal;
        VARIANT* pvarVal;
        void* byref;
        char* pcVal;
        uint16_t* puiVal;
        uint32_t* pulVal;
        uint64_t* pullVal;
        int32_t* pintVal;
        uint32_t* puintVal;
        struct {
            void* pvRecord;
            void* pRecInfo;
        } brecVal;
    };
};

/* Arguments of IDispatch::Invoke, the last argument first. */
typedef struct tagDISPPARAMS {
    VARIANTARG* rgvarg;
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
} DISPPARAMS;

typedef struct tagEXCEPINFO {
    WORD wCode;
    WORD wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    DWORD dwHelpContext;
    void* pvReserved;
    HRESULT (*pfnDeferredFillIn)(struct tagEXCEPINFO*);
    SCODE scode;
} EXCEPINFO;

#define DISPID_UNKNOWN     (-1)
#define DISPID_VALUE       0
#define DISPID_PROPERTYPUT (-3)

#define DISPATCH_METHOD         0x1
#define DISPATCH_PROPERTYGET    0x2
#define DISPATCH_PROPERTYPUT    0x4
#define DISPATCH_PROPERTYPUTREF 0x8

/* ---- Identifiers ---------------------------------------------------------- */

#if defined(__cplusplus)
#define MIRVO_DEFINE_GUID(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8) \
    inline constexpr GUID name = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}
#else
#define MIRVO_DEFINE_GUID(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8) \
    static const GUID name = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}
#endif

MIRVO_DEFINE_GUID(IID_NULL, 0x00000000, 0x0000, 0x0000, 0, 0, 0, 0, 0, 0, 0, 0);
MIRVO_DEFINE_GUID(IID_IUnknown, 0x00000000, 0x0000, 0x0000, 0xC0, 0, 0, 0, 0, 0, 0, 0x46);
MIRVO_DEFINE_GUID(IID_IDispatch, 0x00020400, 0x0000, 0x0000, 0xC0, 0, 0, 0, 0, 0, 0, 0x46);
MIRVO_DEFINE_GUID(IID_IClassFactory, 0x00000001, 0x0000, 0x0000, 0xC0, 0, 0, 0, 0, 0, 0, 0x46);

/* Type library Mirvo32 1.0 */
MIRVO_DEFINE_GUID(LIBID_Mirvo32, 0x8B037571, 0x17B0, 0x4494, 0xB4, 0x82, 0x2F, 0xD9, 0x8F, 0xBE, 0x1D, 0x5D);

MIRVO_DEFINE_GUID(IID_IMirvo, 0x9B2F878D, 0x834D, 0x4899, 0xA2, 0xA2, 0x8D, 0xFA, 0xB5, 0x44, 0xB7, 0x43);
MIRVO_DEFINE_GUID(IID_IMirvoPortfolio, 0x640DA790, 0x5D01, 0x4F18, 0xAF, 0xC2, 0xA3, 0xFD, 0xB4, 0xC8, 0x97, 0xD6);
MIRVO_DEFINE_GUID(IID_IMirvoResult, 0xC741782B, 0xF0DF, 0x4BF6, 0xA8, 0xFA, 0x2C, 0x56, 0xC2, 0xA5, 0x4B, 0xD9);
MIRVO_DEFINE_GUID(IID_IMirvoError, 0x572B9538, 0xF47E, 0x4D22, 0x91, 0x95, 0x49, 0xF2, 0xE6, 0x63, 0x5C, 0x4B);

MIRVO_DEFINE_GUID(CLSID_Mirvo, 0xC0460199, 0x010D, 0x4790, 0x86, 0xD4, 0xEA, 0x20, 0x36, 0xBD, 0x38, 0x4A);
MIRVO_DEFINE_GUID(CLSID_MirvoPortfolio, 0x0194CB1B, 0xB16B, 0x4E7E, 0x9D, 0x34, 0xE2, 0x21, 0x3E, 0x3F, 0x25, 0xE0);
MIRVO_DEFINE_GUID(CLSID_MirvoResult, 0x0221622A, 0x2D91, 0x41CF, 0xBC, 0x54, 0x00, 0x1F, 0x4D, 0x1E, 0x2B, 0x19);
MIRVO_DEFINE_GUID(CLSID_MirvoError, 0x82443155, 0x8465, 0x4BBF, 0xA5, 0x70, 0xDD, 0x84, 0xAC, 0x79, 0xF1, 0x4C);
MIRVO_DEFINE_GUID(CLSID_KavRmln, 0x24545F28, 0x164D, 0x426F, 0xA6, 0xF2, 0x22, 0xFB, 0xDD, 0x46, 0x2D, 0x25);
MIRVO_DEFINE_GUID(CLSID_KavRmlnResult, 0xF4B36056, 0x160C, 0x4E2B, 0x85, 0xE0, 0x9E, 0x45, 0x58, 0x8E, 0x34, 0xC4);

/* Dispatch identifiers */
#define DISPID_IMIRVO_SETINPUT 201
#define DISPID_IMIRVO_GETRESULT 202
#define DISPID_IMIRVO_GETERROR 203
#define DISPID_IMIRVOPORTFOLIO_ADD 201
#define DISPID_IMIRVOPORTFOLIO_GETRESULT 202
#define DISPID_IMIRVORESULT_ERRORCODE 201
#define DISPID_IMIRVORESULT_ERRORMSG 202
#define DISPID_IMIRVORESULT_ASSTRING 203
#define DISPID_IMIRVORESULT_ASINT 204
#define DISPID_IMIRVORESULT_ASDOUBLE 205
#define DISPID_IMIRVORESULT_ASDATE 206
#define DISPID_IMIRVOERROR_ERRORCODE 201
#define DISPID_IMIRVOERROR_ERRORMSG 202

/* ---- Interfaces ----------------------------------------------------------- */

#if defined(__cplusplus) && !defined(CINTERFACE)
/* No virtual destructors: an object is freed by its last Release, and the
 * vtables hold exactly the COM methods in COM order. */
struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

struct IDispatch : IUnknown {
    virtual HRESULT GetTypeInfoCount(UINT* pctinfo) = 0;
    virtual HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) = 0;
    virtual HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                  DISPID* rgDispId) = 0;
    virtual HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                           DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                           UINT* puArgErr) = 0;

protected:
    ~IDispatch() = default;
};

struct IClassFactory : IUnknown {
    virtual HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) = 0;
    virtual HRESULT LockServer(BOOL fLock) = 0;

protected:
    ~IClassFactory() = default;
};

struct IMirvoResult : IDispatch {
    virtual HRESULT get_errorCode(LONG* value) = 0;
    virtual HRESULT get_errorMsg(BSTR* value) = 0;
    virtual HRESULT get_asString(BSTR* value) = 0;
    virtual HRESULT get_asInt(LONG* value) = 0;
    virtual HRESULT get_asDouble(double* value) = 0;
    virtual HRESULT get_asDate(DATE* value) = 0;

protected:
    ~IMirvoResult() = default;
};

struct IMirvoError : IDispatch {
    virtual HRESULT get_errorCode(LONG* value) = 0;
    virtual HRESULT get_errorMsg(BSTR* value) = 0;

protected:
    ~IMirvoError() = default;
};

struct IMirvo : IDispatch {
    virtual HRESULT setInput(BSTR field, VARIANT value) = 0;
    virtual HRESULT getResult(BSTR func, LONG param, IMirvoResult** value) = 0;
    virtual HRESULT getError(IMirvoError** value) = 0;

protected:
    ~IMirvo() = default;
};

struct IMirvoPortfolio : IDispatch {
    virtual HRESULT add(IMirvo** item) = 0;
    virtual HRESULT getResult(BSTR func, LONG param, IMirvoResult** value) = 0;

protected:
    ~IMirvoPortfolio() = default;
};

inline bool IsEqualGUID(const GUID& a, const GUID& b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i]) return false;
    return true;
}
inline bool operator==(const GUID& a, const GUID& b) { return IsEqualGUID(a, b); }

#else /* C view */

typedef struct IClassFactory IClassFactory;
typedef struct IMirvo IMirvo;
typedef struct IMirvoPortfolio IMirvoPortfolio;
typedef struct IMirvoResult IMirvoResult;
typedef struct IMirvoError IMirvoError;

#define MIRVO_IUNKNOWN_METHODS(T)                                             \
    HRESULT (*QueryInterface)(T * This, REFIID riid, void** ppvObject);       \
    ULONG (*AddRef)(T * This);                                                \
    ULONG (*Release)(T * This);

#define MIRVO_IDISPATCH_METHODS(T)                                            \
    MIRVO_IUNKNOWN_METHODS(T)                                                 \
    HRESULT (*GetTypeInfoCount)(T * This, UINT * pctinfo);                    \
    HRESULT (*GetTypeInfo)(T * This, UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo); \
    HRESULT (*GetIDsOfNames)(T * This, REFIID riid, LPOLESTR * rgszNames, UINT cNames, \
                             LCID lcid, DISPID * rgDispId);                   \
    HRESULT (*Invoke)(T * This, DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, \
                      DISPPARAMS * pDispParams, VARIANT * pVarResult, EXCEPINFO * pExcepInfo, \
                      UINT * puArgErr);

typedef struct IUnknownVtbl {
    MIRVO_IUNKNOWN_METHODS(IUnknown)
} IUnknownVtbl;
struct IUnknown {
    const IUnknownVtbl* lpVtbl;
};

typedef struct IDispatchVtbl {
    MIRVO_IDISPATCH_METHODS(IDispatch)
} IDispatchVtbl;
struct IDispatch {
    const IDispatchVtbl* lpVtbl;
};

typedef struct IClassFactoryVtbl {
    MIRVO_IUNKNOWN_METHODS(IClassFactory)
    HRESULT (*CreateInstance)(IClassFactory* This, IUnknown* pUnkOuter, REFIID riid, void** ppvObject);
    HRESULT (*LockServer)(IClassFactory* This, BOOL fLock);
} IClassFactoryVtbl;
struct IClassFactory {
    const IClassFactoryVtbl* lpVtbl;
};

typedef struct IMirvoResultVtbl {
    MIRVO_IDISPATCH_METHODS(IMirvoResult)
    HRESULT (*get_errorCode)(IMirvoResult* This, LONG* value);
    HRESULT (*get_errorMsg)(IMirvoResult* This, BSTR* value);
    HRESULT (*get_asString)(IMirvoResult* This, BSTR* value);
    HRESULT (*get_asInt)(IMirvoResult* This, LONG* value);
    HRESULT (*get_asDouble)(IMirvoResult* This, double* value);
    HRESULT (*get_asDate)(IMirvoResult* This, DATE* value);
} IMirvoResultVtbl;
struct IMirvoResult {
    const IMirvoResultVtbl* lpVtbl;
};

typedef struct IMirvoErrorVtbl {
    MIRVO_IDISPATCH_METHODS(IMirvoError)
    HRESULT (*get_errorCode)(IMirvoError* This, LONG* value);
    HRESULT (*get_errorMsg)(IMirvoError* This, BSTR* value);
} IMirvoErrorVtbl;
struct IMirvoError {
    const IMirvoErrorVtbl* lpVtbl;
};

typedef struct IMirvoVtbl {
    MIRVO_IDISPATCH_METHODS(IMirvo)
    HRESULT (*setInput)(IMirvo* This, BSTR field, VARIANT value);
    HRESULT (*getResult)(IMirvo* This, BSTR func, LONG param, IMirvoResult** value);
    HRESULT (*getError)(IMirvo* This, IMirvoError** value);
} IMirvoVtbl;
struct IMirvo {
    const IMirvoVtbl* lpVtbl;
};

typedef struct IMirvoPortfolioVtbl {
    MIRVO_IDISPATCH_METHODS(IMirvoPortfolio)
    HRESULT (*add)(IMirvoPortfolio* This, IMirvo** item);
    HRESULT (*getResult)(IMirvoPortfolio* This, BSTR func, LONG param, IMirvoResult** value);
} IMirvoPortfolioVtbl;
struct IMirvoPortfolio {
    const IMirvoPortfolioVtbl* lpVtbl;
};

#endif /* C view */

/* ---- OLE helpers ------------------------------------------------------------ */

#ifdef __cplusplus
extern "C" {
#endif

MIRVO32_API BSTR SysAllocString(const OLECHAR* psz);
MIRVO32_API BSTR SysAllocStringLen(const OLECHAR* strIn, UINT ui);
MIRVO32_API void SysFreeString(BSTR bstrString);
MIRVO32_API UINT SysStringLen(BSTR pbstr);

MIRVO32_API void VariantInit(VARIANTARG* pvarg);
MIRVO32_API HRESULT VariantClear(VARIANTARG* pvarg);
/* Converts to VT_BSTR, VT_I2, VT_I4, VT_I8, VT_R4, VT_R8 or VT_BOOL (or copies
 * a value of the same type). Numbers are written and read with "." as the
 * decimal separator and dates as "DD.MM.YYYY", whatever the process locale. */
MIRVO32_API HRESULT VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc,
                                      USHORT wFlags, VARTYPE vt);

#ifdef __cplusplus
}
#endif

#endif /* MIRVO32_COM_H */

// The automation server as a C host sees it: interfaces are structs with a
// pointer to a table of function pointers, called with the object first.
// Everything goes through libmirvo32.so and the public header.
#define CINTERFACE
#include "mirvo32_com.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

namespace {

static_assert(sizeof(GUID) == 16);
static_assert(sizeof(VARIANT) == (sizeof(void*) == 8 ? 24 : 16));
static_assert(offsetof(VARIANT, vt) == 0);
static_assert(offsetof(VARIANT, lVal) == 8);
static_assert(sizeof(DISPPARAMS) == 2 * sizeof(void*) + 8);
static_assert(offsetof(DISPPARAMS, cArgs) == 2 * sizeof(void*));
static_assert(offsetof(EXCEPINFO, bstrSource) == sizeof(void*));
static_assert(offsetof(EXCEPINFO, scode) == 7 * sizeof(void*));
// Function-pointer tables in COM order: IUnknown 3, IDispatch 4 more.
static_assert(offsetof(IDispatchVtbl, Invoke) == 6 * sizeof(void*));
static_assert(offsetof(IClassFactoryVtbl, LockServer) == 4 * sizeof(void*));
static_assert(offsetof(IMirvoVtbl, setInput) == 7 * sizeof(void*));
static_assert(offsetof(IMirvoVtbl, getError) == 9 * sizeof(void*));
static_assert(offsetof(IMirvoPortfolioVtbl, getResult) == 8 * sizeof(void*));
static_assert(offsetof(IMirvoResultVtbl, get_asDate) == 12 * sizeof(void*));
static_assert(offsetof(IMirvoErrorVtbl, get_errorMsg) == 8 * sizeof(void*));

std::u16string text(BSTR s) { return s ? std::u16string(s, SysStringLen(s)) : std::u16string(); }

IClassFactory* factory(const CLSID& clsid) {
    void* p = nullptr;
    EXPECT_EQ(DllGetClassObject(&clsid, &IID_IClassFactory, &p), S_OK);
    return static_cast<IClassFactory*>(p);
}

IMirvo* newLoan(const CLSID& clsid = CLSID_Mirvo) {
    IClassFactory* f = factory(clsid);
    void* p = nullptr;
    EXPECT_EQ(f->lpVtbl->CreateInstance(f, nullptr, &IID_IMirvo, &p), S_OK);
    f->lpVtbl->Release(f);
    return static_cast<IMirvo*>(p);
}

VARIANT textValue(const char16_t* s) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(s);
    return v;
}

TEST(ComCHost, LoanThroughFunctionTables) {
    ASSERT_EQ(DllCanUnloadNow(), S_OK);
    IMirvo* loan = newLoan();
    ASSERT_NE(loan, nullptr);
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE);

    VARIANT amount;
    VariantInit(&amount);
    amount.vt = VT_I4;
    amount.lVal = 1000000;
    BSTR field = SysAllocString(u"LBELOP");
    EXPECT_EQ(loan->lpVtbl->setInput(loan, field, amount), S_OK);

    BSTR func = SysAllocString(u"Versjon");
    IMirvoResult* result = nullptr;
    ASSERT_EQ(loan->lpVtbl->getResult(loan, func, 0, &result), S_OK);
    BSTR s = nullptr;
    EXPECT_EQ(result->lpVtbl->get_asString(result, &s), S_OK);
    EXPECT_EQ(text(s), u"3.00");
    SysFreeString(s);
    LONG code = -1;
    EXPECT_EQ(result->lpVtbl->get_errorCode(result, &code), S_OK);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(result->lpVtbl->Release(result), 0u);

    IMirvoError* error = nullptr;
    ASSERT_EQ(loan->lpVtbl->getError(loan, &error), S_OK);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->lpVtbl->Release(error), 0u);

    SysFreeString(field);
    SysFreeString(func);
    EXPECT_EQ(loan->lpVtbl->Release(loan), 0u);
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

TEST(ComCHost, LateBindingWithExcepInfo) {
    IMirvo* loan = newLoan();
    IDispatch* d = nullptr;
    ASSERT_EQ(loan->lpVtbl->QueryInterface(loan, &IID_IDispatch, reinterpret_cast<void**>(&d)), S_OK);
    loan->lpVtbl->Release(loan);

    LPOLESTR names[] = {const_cast<LPOLESTR>(u"SETinput"), nullptr};
    DISPID id = 0;
    ASSERT_EQ(d->lpVtbl->GetIDsOfNames(d, &IID_NULL, names, 1, 0, &id), S_OK);
    EXPECT_EQ(id, DISPID_IMIRVO_SETINPUT);

    // setInput("FOO", "1"): arguments last first.
    VARIANT args[2] = {textValue(u"1"), textValue(u"FOO")};
    DISPPARAMS params = {args, nullptr, 2, 0};
    EXPECT_EQ(d->lpVtbl->Invoke(d, id, &IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
    params.cArgs = 1;
    EXPECT_EQ(d->lpVtbl->Invoke(d, id, &IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
              DISP_E_BADPARAMCOUNT);
    VariantClear(&args[0]);
    VariantClear(&args[1]);

    names[0] = const_cast<LPOLESTR>(u"GetResult");
    ASSERT_EQ(d->lpVtbl->GetIDsOfNames(d, &IID_NULL, names, 1, 0, &id), S_OK);
    VARIANT getArgs[2];
    VariantInit(&getArgs[0]);
    getArgs[0].vt = VT_I2;  // a short is coerced to the declared long
    getArgs[0].iVal = 0;
    getArgs[1] = textValue(u"EFFRNT");
    params = {getArgs, nullptr, 2, 0};
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(d->lpVtbl->Invoke(d, id, &IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr), S_OK);
    VariantClear(&getArgs[1]);
    ASSERT_EQ(result.vt, VT_DISPATCH);
    IDispatch* r = result.pdispVal;

    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    VARIANT value;
    VariantInit(&value);
    ASSERT_EQ(r->lpVtbl->Invoke(r, DISPID_IMIRVORESULT_ERRORCODE, &IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &value,
                                nullptr, nullptr),
              S_OK);
    EXPECT_EQ(value.vt, VT_I4);
    EXPECT_EQ(value.lVal, 200);  // the unknown keyword FOO
    ASSERT_EQ(r->lpVtbl->Invoke(r, DISPID_IMIRVORESULT_ASSTRING, &IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &value,
                                nullptr, nullptr),
              S_OK);
    EXPECT_EQ(value.vt, VT_BSTR);
    EXPECT_EQ(text(value.bstrVal), u"");
    VariantClear(&value);

    EXCEPINFO excep;
    std::memset(&excep, 0, sizeof excep);
    EXPECT_EQ(r->lpVtbl->Invoke(r, DISPID_IMIRVORESULT_ASDATE, &IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &value,
                                &excep, nullptr),
              DISP_E_EXCEPTION);
    EXPECT_EQ(text(excep.bstrDescription), u"Kan ikke konvertere tomt resultat til datetime!");
    EXPECT_TRUE(FAILED(excep.scode));
    SysFreeString(excep.bstrSource);
    SysFreeString(excep.bstrDescription);

    EXPECT_EQ(VariantClear(&result), S_OK);  // releases the result object
    EXPECT_EQ(d->lpVtbl->Release(d), 0u);
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

TEST(ComCHost, FactoryLookupAndLocks) {
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(DllGetClassObject(&CLSID_MirvoError, &IID_IClassFactory, &p), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(p, nullptr);
    p = reinterpret_cast<void*>(1);
    EXPECT_EQ(DllGetClassObject(&CLSID_Mirvo, &IID_IMirvo, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);

    IClassFactory* f = factory(CLSID_KavRmln);
    EXPECT_EQ(f->lpVtbl->LockServer(f, 1), S_OK);
    f->lpVtbl->Release(f);
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
    f = factory(CLSID_KavRmln);
    EXPECT_EQ(f->lpVtbl->LockServer(f, 0), S_OK);
    f->lpVtbl->Release(f);
    EXPECT_EQ(DllCanUnloadNow(), S_OK);

    IMirvo* rl = newLoan(CLSID_KavRmln);
    IMirvoError* error = reinterpret_cast<IMirvoError*>(1);
    EXPECT_EQ(rl->lpVtbl->getError(rl, &error), S_OK);
    EXPECT_EQ(error, nullptr);
    rl->lpVtbl->Release(rl);
}

TEST(ComCHost, StringsAndVariants) {
    BSTR s = SysAllocStringLen(u"abcdef", 3);
    EXPECT_EQ(SysStringLen(s), 3u);
    uint32_t bytes;
    std::memcpy(&bytes, reinterpret_cast<const char*>(s) - 4, 4);
    EXPECT_EQ(bytes, 6u);
    EXPECT_EQ(s[3], 0);
    SysFreeString(s);
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    BSTR blank = SysAllocStringLen(nullptr, 2);
    EXPECT_EQ(SysStringLen(blank), 2u);
    SysFreeString(blank);

    VARIANT v;
    VariantInit(&v);
    EXPECT_EQ(v.vt, VT_EMPTY);
    v.vt = VT_R8;
    v.dblVal = 4.25;
    ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_BSTR), S_OK);
    EXPECT_EQ(text(v.bstrVal), u"4.25");
    ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_R8), S_OK);
    EXPECT_EQ(v.dblVal, 4.25);
    VARIANT nothing;
    VariantInit(&nothing);
    nothing.vt = VT_NULL;
    EXPECT_EQ(VariantChangeType(&v, &nothing, 0, VT_BSTR), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(VariantClear(&v), S_OK);
}

}  // namespace

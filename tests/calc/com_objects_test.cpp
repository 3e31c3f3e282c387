// The automation objects: factories and lifetime, the loan, portfolio and
// framework-loan objects, late binding through IDispatch.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "calc/com/class_factory.h"
#include "calc/com/com_server.h"
#include "calc/com/mirvo_objects.h"
#include "calc/com/ole_strings.h"
#include "calc/com/server_state.h"
#include "calc/com/variant.h"
#include "calc/errors/calc_errors.h"

using namespace mirvo::com;
using mirvo::beregning::loanErrorText;

namespace {

struct Bstr {
    explicit Bstr(std::u16string_view text) : s(allocString(text)) {}
    ~Bstr() { freeString(s); }
    Bstr(const Bstr&) = delete;
    BSTR s;
};

VARIANT textValue(BSTR s) {
    VARIANT v;
    std::memset(&v, 0, sizeof v);
    v.vt = VT_BSTR;
    v.bstrVal = s;
    return v;
}

VARIANT longValue(int32_t x) {
    VARIANT v;
    std::memset(&v, 0, sizeof v);
    v.vt = VT_I4;
    v.lVal = x;
    return v;
}

template <class I>
TComPtr<I> create(const CLSID& clsid, const IID& iid) {
    void* p = nullptr;
    EXPECT_EQ(factoryOf(clsid)->CreateInstance(nullptr, iid, &p), S_OK);
    return TComPtr<I>(static_cast<I*>(p));
}

TComPtr<IMirvo> newLoan() { return create<IMirvo>(CLSID_Mirvo, IID_IMirvo); }

TComPtr<IMirvoResult> resultOf(IMirvo* loan, std::u16string_view func, int32_t param = 0) {
    Bstr f(func);
    IMirvoResult* r = nullptr;
    EXPECT_EQ(loan->getResult(f.s, param, &r), S_OK);
    return TComPtr<IMirvoResult>(r);
}

void setInput(IMirvo* loan, std::u16string_view field, VARIANT value) {
    Bstr f(field);
    EXPECT_EQ(loan->setInput(f.s, value), S_OK);
}

int32_t codeOf(IMirvoResult* r) {
    LONG code = -1;
    EXPECT_EQ(r->get_errorCode(&code), S_OK);
    return code;
}

std::u16string textOf(IMirvoResult* r) {
    BSTR s = nullptr;
    EXPECT_EQ(r->get_asString(&s), S_OK);
    std::u16string text(stringView(s));
    freeString(s);
    return text;
}

// Invoke with the arguments in declared order (they are passed reversed).
HRESULT invoke(IDispatch* d, DISPID id, WORD flags, std::vector<VARIANT> args, VARIANT* result = nullptr,
               EXCEPINFO* excep = nullptr, UINT* argErr = nullptr) {
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.data(), nullptr, UINT(reversed.size()), 0};
    return d->Invoke(id, IID_NULL, 0, flags, &params, result, excep, argErr);
}

TEST(ComFactories, CreateQueryAndCountObjects) {
    const long before = liveObjects();
    for (const auto& c : comClasses()) {
        if (!c.create) {
            void* p = reinterpret_cast<void*>(1);
            EXPECT_EQ(getClassObject(&c.clsid, &IID_IClassFactory, &p), CLASS_E_CLASSNOTAVAILABLE);
            EXPECT_EQ(p, nullptr);
            continue;
        }
        void* p = nullptr;
        ASSERT_EQ(getClassObject(&c.clsid, &IID_IClassFactory, &p), S_OK);
        TComPtr<IClassFactory> factory(static_cast<IClassFactory*>(p));
        EXPECT_EQ(getClassObject(&c.clsid, &IID_IDispatch, &p), E_NOINTERFACE);
        EXPECT_EQ(p, nullptr);

        {
            IUnknown* object = nullptr;
            ASSERT_EQ(factory->CreateInstance(nullptr, c.iid, reinterpret_cast<void**>(&object)), S_OK);
            EXPECT_EQ(liveObjects(), before + 1);
            for (const IID* iid : {&IID_IUnknown, &IID_IDispatch, &c.iid}) {
                void* q = nullptr;
                ASSERT_EQ(object->QueryInterface(*iid, &q), S_OK);
                EXPECT_EQ(q, object);  // one vtable serves all three
                static_cast<IUnknown*>(q)->Release();
            }
            void* q = reinterpret_cast<void*>(1);
            EXPECT_EQ(object->QueryInterface(IID_IClassFactory, &q), E_NOINTERFACE);
            EXPECT_EQ(q, nullptr);
            EXPECT_EQ(object->AddRef(), 2u);
            EXPECT_EQ(object->Release(), 1u);
            EXPECT_EQ(object->Release(), 0u);
        }
        EXPECT_EQ(liveObjects(), before);

        void* q = reinterpret_cast<void*>(1);
        EXPECT_EQ(factory->CreateInstance(factory.get(), c.iid, &q), CLASS_E_NOAGGREGATION);
        EXPECT_EQ(q, nullptr);
    }
}

TEST(ComFactories, CanUnloadOnlyWithoutObjectsReferencesAndLocks) {
    ASSERT_EQ(canUnloadNow(), S_OK);
    void* p = nullptr;
    ASSERT_EQ(getClassObject(&CLSID_Mirvo, &IID_IClassFactory, &p), S_OK);
    auto* factory = static_cast<IClassFactory*>(p);
    EXPECT_EQ(canUnloadNow(), S_FALSE);  // a factory reference

    factory->LockServer(1);
    factory->Release();
    EXPECT_EQ(canUnloadNow(), S_FALSE);  // a lock
    factory->LockServer(0);
    factory->LockServer(0);  // an extra unlock does not go below zero
    EXPECT_EQ(canUnloadNow(), S_OK);

    {
        TComPtr<IMirvo> loan = newLoan();
        EXPECT_EQ(canUnloadNow(), S_FALSE);  // an object
        TComPtr<IMirvoResult> r = resultOf(loan.get(), u"VERSJON");
        loan = TComPtr<IMirvo>();
        EXPECT_EQ(canUnloadNow(), S_FALSE);  // its result is still alive
    }
    EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST(ComLoan, InputWorksLikeThePair) {
    auto loan = newLoan();
    setInput(loan.get(), u"lbelop", longValue(1000000));
    auto& mirvo = static_cast<TMirvo&>(*loan.get());
    EXPECT_EQ(mirvo.erc(), 0);
    EXPECT_EQ(mirvo.loan().extInputs().laanebelop[0], 1000000.0);

    auto version = resultOf(loan.get(), u"versjon");
    EXPECT_EQ(codeOf(version.get()), 0);
    EXPECT_EQ(textOf(version.get()), u"3.00");
    double d = 0;
    EXPECT_EQ(version->get_asDouble(&d), S_OK);
    EXPECT_EQ(d, 3.0);
    LONG i = -1;
    EXPECT_EQ(version->get_asInt(&i), S_OK);
    EXPECT_EQ(i, 0);  // "3.00" is not an integer
}

TEST(ComLoan, InputErrorsReachEveryLaterResult) {
    struct Case {
        std::u16string field;
        VARIANT value;
        int32_t code;
    } cases[] = {
        {u"FOO", longValue(1), 200},
        {u"LBELOP", longValue(0), 100},
    };
    for (const auto& c : cases) {
        auto loan = newLoan();
        setInput(loan.get(), c.field, c.value);  // the call itself succeeds
        for (auto func : {u"EFFRNT", u"VERSJON"}) {
            auto r = resultOf(loan.get(), func);
            EXPECT_EQ(codeOf(r.get()), c.code);
            EXPECT_EQ(textOf(r.get()), u"");
            BSTR msg = nullptr;
            EXPECT_EQ(r->get_errorMsg(&msg), S_OK);
            EXPECT_EQ(stringView(msg), loanErrorText(uint16_t(c.code)));
            freeString(msg);
        }
    }
}

TEST(ComLoan, FirstCodeOfTheObjectStays) {
    auto loan = newLoan();
    auto unknown = resultOf(loan.get(), u"NOSUCHRESULT");
    EXPECT_EQ(codeOf(unknown.get()), 203);
    auto version = resultOf(loan.get(), u"VERSJON");  // succeeds, still reports 203
    EXPECT_EQ(textOf(version.get()), u"3.00");
    EXPECT_EQ(codeOf(version.get()), 203);
}

TEST(ComLoan, ErrorObjectGivesTheCalculatorsCode) {
    auto loan = newLoan();
    IMirvoError* error = nullptr;
    ASSERT_EQ(loan->getError(&error), S_OK);
    TComPtr<IMirvoError> owned(error);
    mirvo::beregning::TCalcLoan fresh;
    const uint16_t expected = fresh.getErrorCode();
    LONG code = -1;
    EXPECT_EQ(error->get_errorCode(&code), S_OK);
    EXPECT_EQ(code, expected);
    BSTR msg = nullptr;
    EXPECT_EQ(error->get_errorMsg(&msg), S_OK);
    EXPECT_EQ(stringView(msg), loanErrorText(expected));
    freeString(msg);
    EXPECT_EQ(loan->getError(nullptr), E_POINTER);
}

TEST(ComLoan, ValuesOfEveryKindBecomeText) {
    auto loan = newLoan();
    auto& calc = static_cast<TMirvo&>(*loan.get()).loan();
    VARIANT real = longValue(0);
    real.vt = VT_R8;
    real.dblVal = 2500.5;
    setInput(loan.get(), u"LBELOP", real);
    EXPECT_EQ(calc.extInputs().laanebelop[0], 2500.5);

    VARIANT nothing = longValue(0);
    nothing.vt = VT_NULL;
    Bstr f(u"LBELOP");
    EXPECT_EQ(loan->setInput(f.s, nothing), DISP_E_TYPEMISMATCH);
}

TEST(ComDispatch, NamesAreFoundWithoutRegardToCase) {
    auto loan = newLoan();
    struct Case {
        const char16_t* name;
        DISPID id;
    } cases[] = {
        {u"setInput", 201}, {u"SETINPUT", 201}, {u"getresult", 202}, {u"GetError", 203},
    };
    for (const auto& c : cases) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(c.name)};
        DISPID id = 0;
        EXPECT_EQ(loan->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK) << c.id;
        EXPECT_EQ(id, c.id);
    }
    LPOLESTR unknown[] = {const_cast<LPOLESTR>(u"setOutput")};
    DISPID id = 0;
    EXPECT_EQ(loan->GetIDsOfNames(IID_NULL, unknown, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);

    LPOLESTR withParam[] = {const_cast<LPOLESTR>(u"getResult"), const_cast<LPOLESTR>(u"func")};
    DISPID ids[2] = {0, 0};
    EXPECT_EQ(loan->GetIDsOfNames(IID_NULL, withParam, 2, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], 202);
    EXPECT_EQ(ids[1], DISPID_UNKNOWN);

    auto result = resultOf(loan.get(), u"VERSJON");
    LPOLESTR prop[] = {const_cast<LPOLESTR>(u"ASDATE")};
    EXPECT_EQ(result->GetIDsOfNames(IID_NULL, prop, 1, 0, &id), S_OK);
    EXPECT_EQ(id, 206);
}

TEST(ComDispatch, InvokeReportsBadCallsWithStandardCodes) {
    auto loan = newLoan();
    Bstr func(u"VERSJON");
    Bstr notANumber(u"abc");
    Bstr five(u"5");

    EXPECT_EQ(invoke(loan.get(), 202, DISPATCH_METHOD, {textValue(func.s)}), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(invoke(loan.get(), 203, DISPATCH_METHOD, {longValue(1)}), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(invoke(loan.get(), 999, DISPATCH_METHOD, {}), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(invoke(loan.get(), 203, DISPATCH_PROPERTYPUT, {}), DISP_E_MEMBERNOTFOUND);

    UINT argErr = 99;
    EXPECT_EQ(invoke(loan.get(), 202, DISPATCH_METHOD, {textValue(func.s), textValue(notANumber.s)}, nullptr,
                     nullptr, &argErr),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 0u);  // the last argument comes first
    VARIANT nothing = longValue(0);
    nothing.vt = VT_NULL;
    argErr = 99;
    EXPECT_EQ(invoke(loan.get(), 201, DISPATCH_METHOD, {nothing, longValue(1)}, nullptr, nullptr, &argErr),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 1u);

    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_EQ(loan->Invoke(203, IID_IMirvo, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE);
    VARIANT arg = longValue(1);
    DISPID named = 0;
    DISPPARAMS withNamed{&arg, &named, 1, 1};
    EXPECT_EQ(loan->Invoke(203, IID_NULL, 0, DISPATCH_METHOD, &withNamed, nullptr, nullptr, nullptr),
              DISP_E_NONAMEDARGS);

    // A number given as text is coerced to the declared long.
    TVariant result;
    ASSERT_EQ(invoke(loan.get(), 202, DISPATCH_METHOD, {textValue(func.s), textValue(five.s)}, &result.v), S_OK);
    ASSERT_EQ(result.v.vt, VT_DISPATCH);
    TVariant text;
    ASSERT_EQ(invoke(result.v.pdispVal, 203, DISPATCH_PROPERTYGET | DISPATCH_METHOD, {}, &text.v), S_OK);
    ASSERT_EQ(text.v.vt, VT_BSTR);
    EXPECT_EQ(stringView(text.v.bstrVal), u"3.00");
}

TEST(ComDispatch, SetInputTakesValuesByReference) {
    auto loan = newLoan();
    Bstr field(u"LBELOP");
    BSTR amount = allocString(u"750000");
    VARIANT ref = longValue(0);
    ref.vt = VT_BSTR | VT_BYREF;
    ref.pbstrVal = &amount;
    ASSERT_EQ(invoke(loan.get(), 201, DISPATCH_METHOD, {textValue(field.s), ref}), S_OK);
    EXPECT_EQ(static_cast<TMirvo&>(*loan.get()).loan().extInputs().laanebelop[0], 750000.0);
    EXPECT_EQ(stringView(amount), u"750000");
    freeString(amount);
}

TEST(ComDispatch, FailuresFillExcepInfo) {
    auto loan = newLoan();
    auto empty = resultOf(loan.get(), u"NOSUCHRESULT");
    EXCEPINFO excep;
    std::memset(&excep, 0xAB, sizeof excep);
    TVariant out;
    EXPECT_EQ(invoke(empty.get(), 206, DISPATCH_PROPERTYGET, {}, &out.v, &excep), DISP_E_EXCEPTION);
    EXPECT_EQ(excep.wCode, 0);
    EXPECT_TRUE(FAILED(excep.scode));
    EXPECT_EQ(stringView(excep.bstrSource), u"Mirvo32.MirvoResult");
    EXPECT_EQ(stringView(excep.bstrDescription), u"Kan ikke konvertere tomt resultat til datetime!");
    EXPECT_EQ(excep.bstrHelpFile, nullptr);
    freeString(excep.bstrSource);
    freeString(excep.bstrDescription);

    DATE date = 123;
    EXPECT_TRUE(FAILED(empty->get_asDate(&date)));
    EXPECT_EQ(date, 0.0);
}

TEST(ComPortfolio, KeepsItsLoansAliveAfterTheHostReleasesThem) {
    const long before = liveObjects();
    auto portfolio = create<IMirvoPortfolio>(CLSID_MirvoPortfolio, IID_IMirvoPortfolio);
    for (int i = 0; i < 2; ++i) {
        IMirvo* item = nullptr;
        ASSERT_EQ(portfolio->add(&item), S_OK);
        setInput(item, u"LBELOP", longValue(100000 * (i + 1)));
        item->Release();
    }
    EXPECT_EQ(liveObjects(), before + 3);

    TVariant added;
    ASSERT_EQ(invoke(portfolio.get(), 201, DISPATCH_METHOD, {}, &added.v), S_OK);
    ASSERT_EQ(added.v.vt, VT_DISPATCH);
    void* asLoan = nullptr;
    EXPECT_EQ(added.v.pdispVal->QueryInterface(IID_IMirvo, &asLoan), S_OK);
    static_cast<IMirvo*>(asLoan)->Release();
    variantClear(&added.v);
    EXPECT_EQ(liveObjects(), before + 4);

    Bstr func(u"NOSUCHRESULT");
    IMirvoResult* r = nullptr;
    ASSERT_EQ(portfolio->getResult(func.s, 0, &r), S_OK);
    EXPECT_EQ(codeOf(r), 203);
    r->Release();
    portfolio = TComPtr<IMirvoPortfolio>();
    EXPECT_EQ(liveObjects(), before);
}

TEST(ComFrameworkLoan, ResultsErrorsAndNoErrorObject) {
    auto rl = create<IMirvo>(CLSID_KavRmln, IID_IMirvo);
    IMirvoError* error = reinterpret_cast<IMirvoError*>(1);
    EXPECT_EQ(rl->getError(&error), S_OK);
    EXPECT_EQ(error, nullptr);
    TVariant viaDispatch;
    ASSERT_EQ(invoke(rl.get(), 203, DISPATCH_METHOD, {}, &viaDispatch.v), S_OK);
    EXPECT_EQ(viaDispatch.v.vt, VT_DISPATCH);
    EXPECT_EQ(viaDispatch.v.pdispVal, nullptr);

    setInput(rl.get(), u"ORDBEVILGNING", longValue(1000));  // results need a grant
    auto version = resultOf(rl.get(), u"versjon");
    EXPECT_EQ(codeOf(version.get()), 0);
    EXPECT_EQ(textOf(version.get()), u"4.00");

    auto unknown = resultOf(rl.get(), u"NOSUCHRESULT");
    const int32_t code = codeOf(unknown.get());
    EXPECT_NE(code, 0);
    BSTR msg = nullptr;
    EXPECT_EQ(unknown->get_errorMsg(&msg), S_OK);
    EXPECT_EQ(stringView(msg), mirvo::beregning::frameworkErrorText(uint16_t(code)));
    freeString(msg);
    DATE date = 1;
    EXPECT_EQ(unknown->get_asDate(&date), S_OK);  // no date reading: always 0
    EXPECT_EQ(date, 0.0);
    EXPECT_EQ(codeOf(resultOf(rl.get(), u"VERSJON").get()), code);  // first code stays
}

TEST(ComResults, CreatedByAFactoryTheyAreEmpty) {
    struct Case {
        const CLSID& clsid;
        std::u16string message;  // the text of code 0 in the class's own table
    } cases[] = {
        {CLSID_MirvoResult, loanErrorText(0)},
        {CLSID_KavRmlnResult, mirvo::beregning::frameworkErrorText(0)},
    };
    for (const auto& c : cases) {
        auto r = create<IMirvoResult>(c.clsid, IID_IMirvoResult);
        EXPECT_EQ(codeOf(r.get()), 0);
        EXPECT_EQ(textOf(r.get()), u"");
        BSTR msg = nullptr;
        EXPECT_EQ(r->get_errorMsg(&msg), S_OK);
        EXPECT_EQ(stringView(msg), c.message);
        freeString(msg);
        EXPECT_EQ(r->get_asString(nullptr), E_POINTER);
    }
}

}  // namespace

#include "calc/com/mirvo_objects.h"

#include "calc/shared/calc_guard.h"
#include "calc/com/com_error.h"
#include "calc/com/ole_strings.h"
#include "calc/com/variant.h"

namespace mirvo::com {

namespace {

constexpr TDispMember kMirvoMembers[] = {
    {DISPID_IMIRVO_SETINPUT, u"setInput", false, 2, {VT_BSTR, VT_BSTR}, kInputTextFlags},
    {DISPID_IMIRVO_GETRESULT, u"getResult", false, 2, {VT_BSTR, VT_I4}},
    {DISPID_IMIRVO_GETERROR, u"getError", false, 0, {}},
};

constexpr TDispMember kPortfolioMembers[] = {
    {DISPID_IMIRVOPORTFOLIO_ADD, u"add", false, 0, {}},
    {DISPID_IMIRVOPORTFOLIO_GETRESULT, u"getResult", false, 2, {VT_BSTR, VT_I4}},
};

void keep(int32_t& erc, uint16_t code) {
    if (erc == 0) erc = code;
}

void setDispatch(VARIANT* v, IDispatch* object) {
    v->vt = VT_DISPATCH;
    v->pdispVal = object;
}

// Hands a new object to an out-parameter, cleared on failure.
template <class I, class F>
HRESULT handOut(I** out, F&& create) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return guarded([&] { *out = create(); });
}

}  // namespace

std::span<const TDispMember> imirvoMembers() { return kMirvoMembers; }

std::u16string inputText(const VARIANT& value) {
    TVariant text;
    HRESULT hr = variantChangeType(&text.v, &value, kInputTextFlags, VT_BSTR);
    if (FAILED(hr)) throw EAutomation(DISP_E_TYPEMISMATCH, u"Verdien kan ikke gjøres om til tekst!");
    return std::u16string(stringView(text.v.bstrVal));
}

// ---- TMirvo -----------------------------------------------------------------

TMirvo::TMirvo() : FLoan(std::make_unique<beregning::TCalcLoan>()) {}
TMirvo::~TMirvo() = default;

HRESULT TMirvo::setInput(BSTR field, VARIANT value) {
    return guarded([&] { input(stringView(field), inputText(value)); });
}

HRESULT TMirvo::getResult(BSTR func, LONG param, IMirvoResult** value) {
    return handOut(value, [&] { return result(stringView(func), param); });
}

HRESULT TMirvo::getError(IMirvoError** value) {
    return handOut(value, [&] { return error(); });
}

void TMirvo::input(std::u16string_view field, std::u16string_view text) {
    keep(FErc, callLoan(*FLoan, [&] { return FLoan->InputPairAlt(field, text); }));
}

TMirvoResult* TMirvo::result(std::u16string_view func, int32_t param) {
    std::vector<char16_t> buffer(kResultBufferChars, 0);
    keep(FErc, callLoan(*FLoan, [&] {
             return FLoan->getResult(func, uint16_t(param), {buffer.data(), kResultBufferChars});
         }));
    return new TMirvoResult(FErc, std::u16string(buffer.data()));
}

TMirvoError* TMirvo::error() {
    const uint16_t code = callLoan(*FLoan, [&] { return FLoan->getErrorCode(); });
    return new TMirvoError(code);
}

std::span<const TDispMember> TMirvo::members() const { return kMirvoMembers; }

void TMirvo::invokeMember(DISPID id, VARIANT* args, VARIANT* out) {
    switch (id) {
        case DISPID_IMIRVO_SETINPUT:
            input(stringView(args[0].bstrVal), stringView(args[1].bstrVal));
            break;
        case DISPID_IMIRVO_GETRESULT:
            setDispatch(out, result(stringView(args[0].bstrVal), args[1].lVal));
            break;
        case DISPID_IMIRVO_GETERROR:
            setDispatch(out, error());
            break;
    }
}

// ---- TMirvoPortfolio ---------------------------------------------------------

TMirvoPortfolio::TMirvoPortfolio() : FPortfolio(std::make_unique<beregning::TPortfolio>()) {}
TMirvoPortfolio::~TMirvoPortfolio() = default;

HRESULT TMirvoPortfolio::add(IMirvo** item) {
    return handOut(item, [&] { return addLoan(); });
}

HRESULT TMirvoPortfolio::getResult(BSTR func, LONG param, IMirvoResult** value) {
    return handOut(value, [&] { return result(stringView(func), param); });
}

TMirvo* TMirvoPortfolio::addLoan() {
    TComPtr<TMirvo> item(new TMirvo());
    FItems.reserve(FItems.size() + 1);
    FPortfolio->add(&item->loan());
    FItems.push_back(item);
    return item.detach();
}

TMirvoResult* TMirvoPortfolio::result(std::u16string_view func, int32_t param) {
    std::vector<char16_t> buffer(kResultBufferChars, 0);
    keep(FErc, callPortfolio(*FPortfolio, [&] {
             return FPortfolio->getResult(func, uint16_t(param), {buffer.data(), kResultBufferChars});
         }));
    return new TMirvoResult(FErc, std::u16string(buffer.data()));
}

std::span<const TDispMember> TMirvoPortfolio::members() const { return kPortfolioMembers; }

void TMirvoPortfolio::invokeMember(DISPID id, VARIANT* args, VARIANT* out) {
    if (id == DISPID_IMIRVOPORTFOLIO_ADD) setDispatch(out, addLoan());
    else setDispatch(out, result(stringView(args[0].bstrVal), args[1].lVal));
}

}  // namespace mirvo::com

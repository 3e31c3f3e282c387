#include "calc/com/kav_rmln.h"

#include <vector>

#include "calc/shared/calc_guard.h"
#include "calc/com/com_error.h"
#include "calc/com/mirvo_objects.h"
#include "calc/com/ole_strings.h"

namespace mirvo::com {

TKavRmln::TKavRmln() : FLoan(std::make_unique<beregning::TRMLN>()) {}
TKavRmln::~TKavRmln() = default;

HRESULT TKavRmln::setInput(BSTR field, VARIANT value) {
    return guarded([&] { input(stringView(field), inputText(value)); });
}

HRESULT TKavRmln::getResult(BSTR func, LONG param, IMirvoResult** value) {
    if (!value) return E_POINTER;
    *value = nullptr;
    return guarded([&] { *value = result(stringView(func), param); });
}

HRESULT TKavRmln::getError(IMirvoError** value) {
    if (!value) return E_POINTER;
    *value = nullptr;
    return S_OK;
}

void TKavRmln::input(std::u16string_view field, std::u16string_view text) {
    // One pair, passed as an input buffer of its own.
    std::u16string pair(field);
    pair += u'=';
    pair += text;
    const uint16_t code = callFramework(*FLoan, [&] { return FLoan->Input(pair); });
    if (FErc == 0) FErc = code;
}

TKavRmlnResult* TKavRmln::result(std::u16string_view func, int32_t param) {
    std::vector<char16_t> buffer(kResultBufferChars, 0);
    const uint16_t code = callFramework(
        *FLoan, [&] { return FLoan->getResult(func, param, {buffer.data(), kResultBufferChars}); });
    if (FErc == 0) FErc = code;
    return new TKavRmlnResult(FErc, std::u16string(buffer.data()));
}

std::span<const TDispMember> TKavRmln::members() const { return imirvoMembers(); }

void TKavRmln::invokeMember(DISPID id, VARIANT* args, VARIANT* out) {
    switch (id) {
        case DISPID_IMIRVO_SETINPUT:
            input(stringView(args[0].bstrVal), stringView(args[1].bstrVal));
            break;
        case DISPID_IMIRVO_GETRESULT:
            out->pdispVal = result(stringView(args[0].bstrVal), args[1].lVal);
            out->vt = VT_DISPATCH;
            break;
        case DISPID_IMIRVO_GETERROR:
            out->pdispVal = nullptr;
            out->vt = VT_DISPATCH;
            break;
    }
}

}  // namespace mirvo::com

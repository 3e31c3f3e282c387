#include "calc/loan/calc_loan.h"

#include "calc/errors/calc_errors.h"
#include "common/text/casing.h"

namespace mirvo::beregning {

namespace {
constexpr size_t kPrivateBuffer = 100000;
constexpr size_t kMaxErrorText = 1000;

// Codes that only answer the request: the object stays usable.
bool ikkeKritisk(uint16_t code) {
    return code == 203 || code == 415 || code == 417 || code == 500;
}
}  // namespace

uint16_t TCalcLoan::getResult(std::u16string_view funcID, uint16_t funcParam,
                              const TResultDest& dest) {
    if (FError != 0) return FError;
    dest.clear();
    FKodeFraKlone = false;
    uint16_t code;
    try {
        code = answer(kavelin::text::upperCase(funcID), funcParam, dest);
    } catch (...) {
        code = loanFailureCode(std::current_exception());
        FKodeFraKlone = false;
        dest.clear();
    }
    if (code != 0 && !ikkeKritisk(code) && !FKodeFraKlone) setCriticalError(code);
    return code;
}

uint16_t TCalcLoan::getErrorCode() {
    if (FError != 0) return FError;
    char16_t scratch[20];
    return getResult(u"EFFRNT", 0, TResultDest{scratch, 20});
}

std::u16string TCalcLoan::getErrorMsg() {
    if (FError == 0) return {};
    std::u16string t = loanErrorText(FError);
    if (t.size() > kMaxErrorText) t.resize(kMaxErrorText);
    return t;
}

uint16_t TCalcLoan::GetResult(std::u16string_view funcID, uint16_t funcParam, std::u16string& text) {
    std::u16string buf(kPrivateBuffer, u'\0');
    uint16_t code = getResult(funcID, funcParam, TResultDest{buf.data(), uint32_t(buf.size())});
    text = code == 0 ? std::u16string(buf.c_str()) : std::u16string();
    return code;
}

uint16_t TCalcLoan::GetResultFmt(std::u16string_view funcID, uint16_t funcParam, std::u16string& text) {
    const bool vorige = formatertOutput;
    formatertOutput = true;
    uint16_t code = GetResult(funcID, funcParam, text);
    formatertOutput = vorige;
    return code;
}

}  // namespace mirvo::beregning

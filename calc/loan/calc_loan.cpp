#include "calc/loan/calc_loan.h"

#include "calc/errors/calc_errors.h"
#include "common/text/casing.h"

namespace mirvo::beregning {

namespace {
constexpr uint16_t kUnknownFunction = 203;
}

uint16_t TCalcLoan::getResult(std::u16string_view funcID, uint16_t funcParam,
                              const TResultDest& dest) {
    if (FError != 0) return FError;
    dest.clear();
    return answer(kavelin::text::upperCase(funcID), funcParam, dest);
}

uint16_t TCalcLoan::answer(std::u16string_view funcID, uint16_t, const TResultDest& dest) {
    if (funcID == u"VERSJON" || funcID == u"VERSION") {
        dest.writeScalar(u"3.00");
        return 0;
    }
    return kUnknownFunction;
}

uint16_t TCalcLoan::getErrorCode() {
    if (FError != 0) return FError;
    char16_t scratch[20];
    return getResult(u"EFFRNT", 0, TResultDest{scratch, 20});
}

}  // namespace mirvo::beregning

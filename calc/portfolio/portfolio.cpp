#include "calc/portfolio/portfolio.h"

#include "common/text/casing.h"

namespace mirvo::beregning {

namespace {
constexpr uint16_t kUnknownFunction = 203;
constexpr size_t kInitialCapacity = 20;
}  // namespace

TPortfolio::TPortfolio() { FLoans.reserve(kInitialCapacity); }
TPortfolio::~TPortfolio() = default;

void TPortfolio::add(TCalcLoan* loan) {
    FLoans.push_back(loan);
    FPrepared = false;
}

uint16_t TPortfolio::getResult(std::u16string_view funcID, uint16_t funcParam,
                               const TResultDest& dest) {
    dest.clear();
    uint16_t code = answer(kavelin::text::upperCase(funcID), funcParam, dest);
    if (code != 0 && FErr == 0) FErr = code;
    return code;
}

uint16_t TPortfolio::answer(std::u16string_view, uint16_t, const TResultDest&) {
    return kUnknownFunction;
}

}  // namespace mirvo::beregning

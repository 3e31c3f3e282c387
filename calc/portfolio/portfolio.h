// A portfolio: several loan calculators taken together. It refers to its
// loans and never owns or frees them.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "calc/shared/result_dest.h"

namespace mirvo::beregning {

class TCalcLoan;

class TPortfolio {
public:
    TPortfolio();
    virtual ~TPortfolio();
    TPortfolio(const TPortfolio&) = delete;
    TPortfolio& operator=(const TPortfolio&) = delete;

    void add(TCalcLoan* loan);
    size_t count() const { return FLoans.size(); }
    TCalcLoan* loan(size_t i) const { return FLoans[i]; }

    uint16_t getResult(std::u16string_view funcID, uint16_t funcParam, const TResultDest& dest);

    uint16_t FErr = 0;
    bool FFormatertOutput = false;

protected:
    virtual uint16_t answer(std::u16string_view funcID, uint16_t funcParam, const TResultDest& dest);

    std::vector<TCalcLoan*> FLoans;
    bool FPrepared = false;
};

}  // namespace mirvo::beregning

// Calls into the calculators from the exports and the automation objects: a failure
// that is not a result code becomes a generated code, stored in the
// calculator (loan failures count as critical).
#pragma once

#include <cstdint>
#include <exception>

#include "calc/errors/calc_errors.h"
#include "calc/loan/calc_loan.h"
#include "calc/portfolio/portfolio.h"
#include "calc/rammelan/rmln.h"

namespace mirvo::beregning {

template <class F>
uint16_t callLoan(TCalcLoan& loan, F&& body) {
    try {
        return body();
    } catch (...) {
        const uint16_t code = loanFailureCode(std::current_exception());
        loan.setCriticalError(code);
        return code;
    }
}

template <class F>
uint16_t callPortfolio(TPortfolio& portfolio, F&& body) {
    try {
        return body();
    } catch (...) {
        const uint16_t code = loanFailureCode(std::current_exception());
        if (portfolio.FErr == 0) portfolio.FErr = code;
        return code;
    }
}

template <class F>
uint16_t callFramework(TRMLN& framework, F&& body) {
    try {
        return body();
    } catch (...) {
        const uint16_t code = frameworkFailureCode(std::current_exception());
        framework.setError(code);
        return code;
    }
}

}  // namespace mirvo::beregning

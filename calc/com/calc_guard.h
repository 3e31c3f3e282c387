// Calls into the calculators as the automation objects make them: a failure
// that is not a result code becomes a generated code, stored in the
// calculator the same way the plain exports store it.
#pragma once

#include <cstdint>
#include <exception>

#include "calc/errors/calc_errors.h"
#include "calc/loan/calc_loan.h"
#include "calc/portfolio/portfolio.h"
#include "calc/rammelan/rmln.h"

namespace mirvo::com {

template <class F>
uint16_t callLoan(beregning::TCalcLoan& loan, F&& body) {
    try {
        return body();
    } catch (...) {
        const uint16_t code = beregning::loanFailureCode(std::current_exception());
        loan.setCriticalError(code);
        return code;
    }
}

template <class F>
uint16_t callPortfolio(beregning::TPortfolio& portfolio, F&& body) {
    try {
        return body();
    } catch (...) {
        const uint16_t code = beregning::loanFailureCode(std::current_exception());
        if (portfolio.FErr == 0) portfolio.FErr = code;
        return code;
    }
}

template <class F>
uint16_t callFramework(beregning::TRMLN& framework, F&& body) {
    try {
        return body();
    } catch (...) {
        const uint16_t code = beregning::frameworkFailureCode(std::current_exception());
        framework.setError(code);
        return code;
    }
}

}  // namespace mirvo::com

// The loan calculator: one object is one installment loan.
//
// Input arrives as buffers of NAME=value pairs; results are asked for by
// identifier and written into the caller's buffer. The first critical error
// is kept in FError and answers every later request.
#pragma once

#include <cstdint>
#include <string_view>

#include "calc/shared/result_dest.h"

namespace mirvo::beregning {

class TCalcLoan {
public:
    TCalcLoan();
    virtual ~TCalcLoan();
    TCalcLoan(const TCalcLoan&) = delete;
    TCalcLoan& operator=(const TCalcLoan&) = delete;

    // Applies the pairs of a buffer; the code of the first failing pair.
    uint16_t Input(std::u16string_view buffer);

    // Answers one result request (raw, or formatted while formatertOutput).
    uint16_t getResult(std::u16string_view funcID, uint16_t funcParam, const TResultDest& dest);

    // The stored error, or the code of a trial request for "EFFRNT".
    uint16_t getErrorCode();

    uint16_t error() const { return FError; }
    // Records a critical error; the first one stays.
    void setCriticalError(uint16_t code) {
        if (FError == 0) FError = code;
    }

    bool formatertOutput = false;

protected:
    // Result requests once the stored-error test has passed.
    virtual uint16_t answer(std::u16string_view funcID, uint16_t funcParam, const TResultDest& dest);

    uint16_t FError = 0;
};

}  // namespace mirvo::beregning

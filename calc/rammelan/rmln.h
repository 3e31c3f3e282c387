// The framework-loan (credit line) calculator.
#pragma once

#include <cstdint>
#include <string_view>

#include "calc/shared/result_dest.h"

namespace mirvo::beregning {

class TRMLN {
public:
    TRMLN();
    virtual ~TRMLN();
    TRMLN(const TRMLN&) = delete;
    TRMLN& operator=(const TRMLN&) = delete;

    uint16_t Input(std::u16string_view buffer);
    uint16_t getResult(std::u16string_view funcID, int32_t funcParam, const TResultDest& dest);

    uint16_t error() const { return FError; }
    void setError(uint16_t code) {
        if (FError == 0) FError = code;
    }

    bool FFmtOutput = false;

protected:
    virtual uint16_t answer(std::u16string_view funcID, int32_t funcParam, const TResultDest& dest);

    uint16_t FError = 0;
    bool FInputModus = false;
};

}  // namespace mirvo::beregning

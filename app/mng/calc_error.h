// A failed request to the calculation library, with the library's result
// code and its Norwegian text.
#pragma once

#include <cstdint>
#include <string>

#include "common/utils/error.h"

namespace mirvo::dll {

class EBeregning : public kavelin::utils::EKavelin {
public:
    // Code 0 means the failure happened in the application, not the library.
    EBeregning(uint16_t code, std::u16string message);
    uint16_t code() const noexcept { return FCode; }

private:
    uint16_t FCode;
};

// The text shown for a code whose library text is empty.
std::u16string fallbackErrorText(uint16_t code);

}  // namespace mirvo::dll

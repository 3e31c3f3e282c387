// Rounding of amounts to a unit by the loan's rules.
#pragma once

#include <cstdint>

namespace mirvo::beregning {

enum : uint8_t { kAvrundNed = 0, kAvrundNaermeste = 1, kAvrundOpp = 2 };

// x rounded to a multiple of `enhet` (a non-positive unit counts as 1):
// 0 down (towards zero), 2 up (towards +infinity), otherwise to nearest with
// ties to even. A quotient within a hair of a whole number counts as whole,
// so that 123.45 / 0.01 rounds down to 12345, not 12344.
double avrund(double x, double enhet, uint8_t regel);

}  // namespace mirvo::beregning

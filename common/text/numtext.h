// Locale-independent number texts in UTF-16.
#pragma once

#include <string>

namespace kavelin::text {

// Decimal digits of n, zero-padded to at least minDigits digits.
std::u16string intText(long long n, int minDigits = 1);

// n fixed-point with `decimals` decimals and the given decimal separator.
std::u16string fixedText(double v, int decimals, char16_t decimalSep = u'.');

}  // namespace kavelin::text

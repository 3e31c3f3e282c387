// Locale-independent number texts in UTF-16.
#pragma once

#include <string>

namespace kavelin::text {

// Decimal digits of n, zero-padded to at least minDigits digits.
std::u16string intText(long long n, int minDigits = 1);
// The digits of n, with "-" when negative, written to end just before
// `end` (room for 20 characters); returns where they start.
char16_t* intChars(long long n, char16_t* end);
// The same with `sep` between groups of three digits ("-1 234 567"; room
// for 27 characters).
char16_t* groupedIntChars(long long n, char16_t sep, char16_t* end);

// v fixed-point with `decimals` (0..15) decimals and the given decimal
// separator; a value that rounds to zero has no minus sign.
std::u16string fixedText(double v, int decimals, char16_t decimalSep = u'.');

}  // namespace kavelin::text

// Number texts in the application's conventions, independent of the process
// locale: "," as decimal separator and a blank as thousands separator when
// writing; "," or "." accepted as decimal separator when reading.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kavelin::fmt {

inline constexpr char16_t kDecimalSep = u',';
inline constexpr char16_t kThousandSep = u' ';

// A number text ("12,5", "-3", "1.5e3"; blanks around are ignored). No value
// when it does not parse or is out of range.
std::optional<double> tryReadNumber(std::u16string_view text);
// The same, giving 0 for a text that does not parse.
double readNumber(std::u16string_view text);
// A whole number text; no value when it is not one or out of range.
std::optional<int64_t> tryReadInteger(std::u16string_view text);

// Fixed notation with exactly `decimals` decimals (rounded half away from
// zero on the shortest decimal form of v), optionally grouped.
std::u16string writeNumber(double v, int decimals, bool grouping);
// As writeNumber, then trailing zeros and a trailing "," removed.
std::u16string writeNumberTrimmed(double v, int maxDecimals, bool grouping);
// Blanks every three digits from the right of the integer digits.
std::u16string groupThousands(std::u16string_view digits);

// Displayed number from a value text (an empty text stays empty).
std::u16string makeNumStr(std::u16string_view text, int decimals, bool grouping, bool hideZero);
// Displayed number times factor, followed by a blank and the postfix.
std::u16string makeSpecialNumStr(std::u16string_view text, int decimals, bool grouping,
                                 std::u16string_view postfix, bool hideZero, double factor);
// Value text from a displayed number: only digits, "-" and ",".
std::u16string makeUnfmtNumStr(std::u16string_view text);
// Value text from a displayed number with postfix and factor.
std::u16string makeUnfmtSpecialNumStr(std::u16string_view text, std::u16string_view postfix,
                                      double factor);
std::u16string reformatNumStr(std::u16string_view text, int decimals, bool grouping,
                              bool hideZero);
// The editing form: a partly typed number ("-", "12,", "1 234,5") regrouped,
// its decimals kept as typed.
std::u16string reformatNumEdit(std::u16string_view text, bool grouping);
// Number of characters after the decimal separator (0 when there is none).
int getDecimalCountOfNumStr(std::u16string_view text);

// The text without a trailing " " + postfix (or postfix) when it ends so.
std::u16string_view stripPostfix(std::u16string_view text, std::u16string_view postfix);

}  // namespace kavelin::fmt

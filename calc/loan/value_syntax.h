// Readers for the value kinds of loan input pairs. Values arrive upper-cased.
// Each reader answers whether the text has its syntax; none throws.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace mirvo::beregning::verdi {

// "-", digits, and optionally any one separator character with the
// fractional digits (at least one): "4,5" and "4.5" are both 4.5.
std::optional<double> number(std::u16string_view v);
// The decimal separator a number text shows: the character after the
// optional "-" and the integer digits; 0 for an integer.
char16_t decimalSeparatorOf(std::u16string_view v);
// Digits with an optional sign, within 32 bits.
std::optional<int32_t> integer(std::u16string_view v);
// "1", "JA", "YES", "TRUE", "Y", "J", "SANN" / "0", "NEI", "NO", "N", "FALSE", "USANN".
std::optional<bool> yesNo(std::u16string_view v);

enum class Unit { Years, Months, Days };
// An integer, or an integer, optional blanks and a unit word of the kind.
std::optional<int32_t> countOf(std::u16string_view v, Unit unit);
// Term length in days: 1..12 are months (x 30), larger values are days.
std::optional<int32_t> termLength(std::u16string_view v);
// Terms a year as a term length: 360 div n.
std::optional<int32_t> perYear(std::u16string_view v);
// Months 1..16 separated by "," as a bit set.
std::optional<uint16_t> monthSet(std::u16string_view v);
// "365(6)", "366", "A" -> 366; "365"; "360".
std::optional<int32_t> daysPerYear(std::u16string_view v);

}  // namespace mirvo::beregning::verdi

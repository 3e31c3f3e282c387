// Reading and writing the date of a date field in its pattern. Small on
// purpose: days, months and years only, as the input fields need them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/finans/datorec.h"

namespace kavelin::fmt {

// Two-digit years below this are read as 20xx, the others as 19xx.
inline constexpr int kTwoDigitYearPivot = 50;

// A date text in a pattern such as "DD.MM.YYYY" or "YYYYMMDD". A blank text
// gives the missing date; a text that is no valid calendar date gives no value.
std::optional<finans::Datorec> readDateInPattern(std::u16string_view text,
                                                 std::u16string_view pattern);
// The date written in the pattern; the missing date gives the empty text.
std::u16string writeDateInPattern(finans::Datorec date, std::u16string_view pattern);

}  // namespace kavelin::fmt

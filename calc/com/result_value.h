// How a result object reads its text as a number or a date.
#pragma once

#include <cstdint>
#include <string_view>

#include "mirvo32_com.h"

namespace mirvo::com {

// The text as a decimal integer ("-12", "+7"); 0 when it is not one or does
// not fit 32 bits.
int32_t resultAsInt(std::u16string_view text);
// The text with every "," read as "."; 0 when it is not a finite number.
double resultAsDouble(std::u16string_view text);
// The text as a date by "DD.MM.YY" (a four-digit year as it is), as an
// automation DATE. Throws EAutomation for an empty or unreadable text.
DATE resultAsDate(std::u16string_view text);

}  // namespace mirvo::com

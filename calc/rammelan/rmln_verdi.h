// Readers for the value kinds of framework-loan input pairs. Values arrive
// upper-cased and without leading blanks. Each reader stores its result and
// answers whether the text had the kind's syntax; none throws.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace mirvo::beregning::rmlnverdi {

// Empty gives 0; otherwise a whole number within 32 bits. Unreadable: 0.
bool heltall(std::u16string_view v, int32_t& out);
// Empty gives 0; otherwise "-", digits and one "," or "." with decimals.
// Unreadable: 0.
bool tall(std::u16string_view v, double& out);
// Months: empty gives 3; only the digits count; above 12 they are days
// (whole months of 30); 0 gives 3. Outside 1..12 is stored but unreadable.
bool periode(std::u16string_view v, int32_t& out);
// Agreement period in months: empty gives 12; digits are months; otherwise
// a year group and/or a month group ("2Y 6M", "2 ÅR 6 MND", "2Å 6M", "2Y",
// "6 MND"). Unreadable: 0.
bool avtalePeriode(std::u16string_view v, int32_t& out);
// Stair threshold text: only the characters "%0123456789.,".
bool trappegrense(std::u16string_view v);

// The number formed by all digits of a text; none when it has no digits or
// the number does not fit in 32 bits.
std::optional<int32_t> sifre(std::u16string_view v);

}  // namespace mirvo::beregning::rmlnverdi

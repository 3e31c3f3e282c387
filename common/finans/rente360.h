// 30/360 arithmetic on calendar dates, independent of any convention
// object, and the reading of period texts such as "2Å 6M".
#pragma once

#include <cstdint>
#include <string_view>

#include "common/finans/datorec.h"

namespace kavelin::finans {

// Days a - b on the 30/360 basis; a 31st counts as the 30th on both sides.
// Wider than 16 bits so that spans beyond 91 years do not wrap negative.
int32_t Dager360(Datorec a, Datorec b);

// Month stepping with year carry; the day is left as it is.
void AddMndr360(int months, Datorec& d);

// Adds days in 30-day months; a 31st is first taken as the 30th. The day
// of the result is the 1st to the 30th.
void AddDager360(int days, Datorec& d);

// A period text in 360-basis days: a plain integer counts years, otherwise
// up to three groups "<digits><unit>" separated by blanks, unit Å/Y/A (year),
// M (month) or D (day), possibly as a whole word ("2år 6mnd 10dager").
// Failure gives false and 0 days, or 65535 when the sum is too big.
bool StrTilDager360(std::u16string_view text, uint16_t& days);

// Present value at `fra` of `belop` due at `til`, yearly rate in percent,
// discounted over 30/360 days.
double Naaverdi360(Datorec fra, Datorec til, double rentePst, double belop);

}  // namespace kavelin::finans

// Calendar operations on Datorec: serial day numbers, validity, text
// formatting and reading, week numbers, and the two-digit-year pivot.
#pragma once

#include <string>
#include <string_view>

#include "common/finans/datorec.h"

namespace kavelin::utils {

using finans::Datorec;
using finans::TIntDate;

bool skuddaar(int year);             // Gregorian leap year
int dagerimnd(int year, int month);  // month 1..12; 0 for another month
int dagerimnd(Datorec d);

// Calendar validity (month and day within the Gregorian calendar). The
// missing date is not valid.
bool okdato(Datorec d);

// Serial day number, day 0 = 30 December 1899. A missing date or a month
// value outside 0..11 gives 0.
TIntDate dato2intdate(Datorec d);
// 0 gives the missing date; serials outside the years 1..9999 throw
// EDatoUtenforOmraade.
Datorec intdate2dato(TIntDate serial);

// Today's local date.
Datorec dagensDato();

// Weekday of a serial day number, Monday 0 .. Sunday 6.
int ukedag(TIntDate serial);
// ISO 8601 week number (1..53).
int ukenr(Datorec d);

// Formats d: "DD"/"D" day, "MM"/"M" month, "YYY.."/"YY"/"Y" year, "Q", "H"
// and "W" quarter, half-year and week, each with its letter; every other
// character outside D..Y is copied. Other letters D..Y throw EKavelin.
// At most 20 characters; the missing date gives "".
std::u16string datostr(Datorec d, std::u16string_view fmt);
// The same text written into `ut`, which holds at least kDatoTekstMaks
// characters; returns its length. Allocates nothing.
inline constexpr size_t kDatoTekstMaks = 20;
size_t datoChars(Datorec d, std::u16string_view fmt, char16_t* ut);

// Reads a date by a format of runs "DD", "D", "MM", "M", "YYYY", "YY",
// "YYYYMMDD", "DDMMYYYY". A blank text reads as the missing date. The date
// is not checked for validity (okdato does that); numbers too big for
// their field make the reading fail. An unsupported format run throws.
bool StrTilDato(std::u16string_view text, std::u16string_view fmt, Datorec& result);
// As above; a failed reading throws "Ikke gyldig datostreng! (text)".
Datorec StrTilDato(std::u16string_view text, std::u16string_view fmt);

// Two-digit years n are read as 2000 + n when n is below the pivot, else
// 1900 + n. Process-wide; starts at (current year - 40) mod 100.
int twoDigitYearPivot();
void setTwoDigitYearPivot(int pivot);

}  // namespace kavelin::utils

// Calendar dates packed in four bytes, and the engine's day numbers.
#pragma once

#include <cstdint>

namespace kavelin::finans {

// A calendar date: day - 1, month - 1 and year packed so that comparing L
// compares dates. L == 0 means "no date".
struct Datorec {
    uint32_t L = 0;

    constexpr Datorec() = default;
    constexpr explicit Datorec(uint32_t packed) : L(packed) {}

    // From a 1-based day and month; no validity check.
    static constexpr Datorec ymd(int year, int month, int day) {
        return Datorec(uint32_t(uint16_t(year)) << 16 | uint32_t(uint8_t(month - 1)) << 8 |
                       uint32_t(uint8_t(day - 1)));
    }

    constexpr int8_t FDay() const { return int8_t(L & 0xFF); }
    constexpr int8_t FMnt() const { return int8_t((L >> 8) & 0xFF); }
    constexpr uint16_t FYear() const { return uint16_t(L >> 16); }
    constexpr void setFDay(int d) { L = (L & 0xFFFFFF00u) | uint8_t(d); }
    constexpr void setFMnt(int m) { L = (L & 0xFFFF00FFu) | uint32_t(uint8_t(m)) << 8; }
    constexpr void setFYear(int y) { L = (L & 0x0000FFFFu) | uint32_t(uint16_t(y)) << 16; }

    constexpr int day() const { return FDay() + 1; }
    constexpr int month() const { return FMnt() + 1; }
    constexpr int year() const { return FYear(); }

    constexpr bool missing() const { return L == 0 || FYear() == 0; }

    friend constexpr bool operator==(Datorec a, Datorec b) { return a.L == b.L; }
    friend constexpr auto operator<=>(Datorec a, Datorec b) { return a.L <=> b.L; }
};
static_assert(sizeof(Datorec) == 4);
static_assert(Datorec::ymd(2024, 3, 1) > Datorec::ymd(2024, 2, 29));

// Earliest / latest of two dates, ignoring a missing one.
constexpr Datorec minDato(Datorec a, Datorec b) {
    if (a.L == 0) return b;
    if (b.L == 0) return a;
    return a.L < b.L ? a : b;
}
constexpr Datorec maxDato(Datorec a, Datorec b) { return a.L > b.L ? a : b; }

// A day number in the loan's interest-day convention, counted from
// 1 March 1952. 0 = no date; kNever = later than every real date.
using TWordDate = uint16_t;
inline constexpr TWordDate kNoDate = 0;
inline constexpr TWordDate kNever = 0xFFFF;

// Serial day number, day 0 = 30 December 1899.
using TIntDate = int32_t;

// The interest-day convention of a TRntDato (its rdatomode).
enum class RDatoMode : int16_t {
    Dager360 = -1,  // 30/360
    Dager365 = 0,   // actual days, never a 29 February
    Kalender = 1,   // actual calendar days
};

// The two term dates around a given date.
struct TClosestResult {
    TWordDate beforeOrEqual = kNoDate;
    TWordDate afterOrEqual = kNoDate;
    friend constexpr bool operator==(TClosestResult, TClosestResult) = default;
};

// How a period between two dates is written as text.
enum TPeriodFmtOption : uint8_t {
    pfSystem_no = 0,  // "2år 6mdr 0dgr"
    pfSystem_en = 1,  // "2Y 6M 0D"
    pfText_en = 2,    // "2 years, 6 months and 3 days"
    pfText_no = 3,    // "2 år, 6 mnd og 3 dg"
};

}  // namespace kavelin::finans

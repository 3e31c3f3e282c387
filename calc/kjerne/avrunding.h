// Rounding of amounts to a unit by the loan's rules.
#pragma once

#include <cmath>
#include <cstdint>

namespace mirvo::beregning {

enum : uint8_t { kAvrundNed = 0, kAvrundNaermeste = 1, kAvrundOpp = 2 };

namespace detail {
// Round half to even without a library call; exact for |q| < 2^51, which
// covers every amount in øre the engine meets. Larger values are whole.
inline double tilNaermeste(double q) {
    constexpr double kMagisk = 6755399441055744.0;  // 1.5 * 2^52
    if (!(std::fabs(q) < 2251799813685248.0)) return q;
    return q >= 0 ? (q + kMagisk) - kMagisk : -((-q + kMagisk) - kMagisk);
}
inline double motNull(double q) {
    if (!(std::fabs(q) < 9.2e18)) return q;
    return double(int64_t(q));
}
}  // namespace detail

// x rounded to a multiple of `enhet` (a non-positive unit counts as 1):
// 0 down (towards zero), 2 up (towards +infinity), otherwise to nearest with
// ties to even. A quotient within a hair of a whole number counts as whole,
// so that 123.45 / 0.01 rounds down to 12345, not 12344.
inline double avrund(double x, double enhet, uint8_t regel) {
    if (!(enhet > 0)) enhet = 1;
    // A unit of 1 (the usual one) needs no division: x / 1 is x exactly.
    const bool hel = enhet == 1;
    double q = hel ? x : x / enhet;
    const double naermeste = detail::tilNaermeste(q);
    const double avvik = q - naermeste;
    const double grense = 1e-9 * (std::fabs(q) > 1 ? std::fabs(q) : 1.0);
    if (avvik <= grense && avvik >= -grense) {
        q = naermeste;
    } else if (regel == kAvrundNed) {
        q = detail::motNull(q);
    } else if (regel == kAvrundOpp) {
        const double t = detail::motNull(q);
        q = t < q ? t + 1 : t;
    } else {
        q = naermeste;
    }
    return (hel ? q : q * enhet) + 0.0;  // no negative zero
}

}  // namespace mirvo::beregning

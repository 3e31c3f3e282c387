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
    // Down to whole units, the usual rule, from the whole part t and the
    // exact fraction d = x - t: only a fraction a hair short of the next
    // whole number away from zero moves to it (1 - |d| is the distance to it,
    // exactly as x - (t ± 1) gives it). Below 5e8 the hair is under half a
    // unit; NaN and larger amounts take the general way.
    if (regel == kAvrundNed && enhet == 1 && std::fabs(x) < 5e8) {
        const double t = double(int64_t(x));
        const double d = x - t;
        if (d > 0.5 || d < -0.5) {
            const double grense = 1e-9 * (std::fabs(x) > 1 ? std::fabs(x) : 1.0);
            if (1 - std::fabs(d) <= grense) return d > 0 ? t + 1 : t - 1;
        }
        return t + 0.0;  // no negative zero
    }
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

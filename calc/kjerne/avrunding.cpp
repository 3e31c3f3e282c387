#include "calc/kjerne/avrunding.h"

#include <cmath>

namespace mirvo::beregning {

double avrund(double x, double enhet, uint8_t regel) {
    if (!(enhet > 0)) enhet = 1;
    double q = x / enhet;
    double hel = std::nearbyint(q);
    if (std::fabs(q - hel) <= 1e-9 * std::fmax(1.0, std::fabs(q))) q = hel;
    switch (regel) {
        case kAvrundNed: q = std::trunc(q); break;
        case kAvrundOpp: q = std::ceil(q); break;
        default: q = std::nearbyint(q); break;
    }
    return q * enhet + 0.0;  // no negative zero
}

}  // namespace mirvo::beregning

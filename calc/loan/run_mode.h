// The one-letter row kinds and yes/no words of payment schedules, in a
// Norwegian and an English set.
#pragma once

#include <cstdint>

namespace mirvo::beregning {

struct TRunMode {
    uint8_t FId = 0;  // 0 Norwegian, 1 English
    char16_t rc_open, rc_inst, rc_sepCap, rc_month, rc_year, rc_fee, rc_total, rc_change,
        rc_xPay, rc_Accr;
    const char16_t* yes;
    const char16_t* no;

    static constexpr TRunMode norsk() {
        return {0, u'D', u'T', u'K', u'M', u'A', u'G', u'S', u'E', u'X', u'P', u"Ja", u"Nei"};
    }
    static constexpr TRunMode engelsk() {
        return {1, u'O', u'I', u'C', u'M', u'Y', u'F', u'T', u'S', u'X', u'A', u"Y", u"N"};
    }
};

}  // namespace mirvo::beregning

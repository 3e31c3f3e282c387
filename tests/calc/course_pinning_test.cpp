// Pins the complete output of a table of varied loans: every schedule row of
// the payment plans and the key results. Guards changes that must not move
// any figure (speed work on the run loop, the term-amount search and the
// schedule writer); the expected fingerprints were taken once from the
// calculator as it stood before such work.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "calc/loan/calc_loan.h"

using namespace mirvo::beregning;

namespace {

struct Laan {
    const char16_t* input;
    const char* effrnt;         // "EFFRNT"
    const char* termbelop;      // "TERMBELOP"
    const char* innfridato;     // "INFRDTO"
    uint64_t fingerprint;       // every row of every plan and all key results
};

std::string narrow(const std::u16string& s) {
    std::string out;
    for (char16_t c : s) out += c < 0x80 ? char(c) : '?';
    return out;
}

std::u16string svar(TCalcLoan& l, std::u16string_view id, uint16_t param, bool fmt) {
    std::u16string text;
    const uint16_t code = fmt ? l.GetResultFmt(id, param, text) : l.GetResult(id, param, text);
    std::u16string kode;
    for (char c : std::to_string(code)) kode += char16_t(c);
    return u"[" + std::u16string(id) + u"]" + kode + u"=" + text;
}

uint64_t fnv(const std::u16string& s, uint64_t h = 1469598103934665603ull) {
    for (char16_t c : s) {
        h ^= uint16_t(c);
        h *= 1099511628211ull;
    }
    return h;
}

const Laan kLaan[] = {
#include "course_pinning_table.inc"
};

TEST(CoursePinning, EveryRowAndKeyResultUnchanged) {
    std::string ny;
    for (const Laan& t : kLaan) {
        SCOPED_TRACE(narrow(t.input));
        TCalcLoan l;
        const uint16_t inn = l.Input(t.input);
        std::u16string alt = u"input" + std::u16string(1, char16_t(u'0' + inn % 10)) +
                             std::u16string(1, char16_t(u'0' + inn / 10 % 10)) +
                             std::u16string(1, char16_t(u'0' + inn / 100 % 10));
        for (const char16_t* id : {u"NBPLAN", u"FORLOP", u"NBPLAN_REL", u"NBPLAN_SR"}) {
            alt += svar(l, id, 0, false);
            alt += svar(l, id, 99, true);
        }
        for (const char16_t* id : {u"TSUMINNB", u"TSUMRNT", u"TSUMGB", u"TOTANTTERM", u"LBELOP", u"INNBET1",
                                   u"INNBET2", u"SNITTRNT1", u"OBS", u"OBS_PRE", u"LOPETID"})
            alt += svar(l, id, 0, false);
        const std::string eff = narrow(svar(l, u"EFFRNT", 0, false));
        const std::string term = narrow(svar(l, u"TERMBELOP", 0, false));
        const std::string innfri = narrow(svar(l, u"INFRDTO", 0, false));
        const uint64_t fp = fnv(alt);
        EXPECT_EQ(eff, t.effrnt);
        EXPECT_EQ(term, t.termbelop);
        EXPECT_EQ(innfri, t.innfridato);
        EXPECT_EQ(fp, t.fingerprint);
        char hex[32];
        std::snprintf(hex, sizeof hex, "0x%016llxull", static_cast<unsigned long long>(fp));
        ny += "{u\"" + narrow(t.input) + "\", \"" + eff + "\", \"" + term + "\", \"" + innfri + "\", " + hex + "},\n";
    }
    // On a mismatch the table as the code now computes it, for inspection.
    if (HasFailure()) std::fprintf(stderr, "%s", ny.c_str());
}

}  // namespace

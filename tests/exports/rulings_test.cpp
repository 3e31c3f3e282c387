// Readings of the engine that a host sees through the exports.
#include <gtest/gtest.h>

#include <string>

#include "mirvo32.h"

namespace {

std::u16string resultat(void* loan, const char16_t* id, uint16_t param = 0) {
    std::u16string buf(200000, u'\0');
    const uint32_t code = MVgetresult_w(loan, id, param, buf.data(), uint32_t(buf.size()));
    EXPECT_EQ(code, 0u) << std::string(id, id + std::char_traits<char16_t>::length(id));
    return std::u16string(buf.c_str());
}

TEST(Rulings, DisbursementOnThe31stDueAtTheEndOfFebruary) {
    void* loan = MVinitialize();
    ASSERT_EQ(MVinput_w(loan, u"LBELOP=200000;RNTSATS=5;LOPETID=10;UTBDTO=31.01.2025"), 0u);
    const std::u16string plan = resultat(loan, u"NBPLAN", 99);
    // The first term row falls on the last day of February.
    EXPECT_NE(plan.find(u"\nT;28.02.2025;"), std::u16string::npos);
    // Later terms step from that first due date; ten years are 120 terms.
    EXPECT_EQ(resultat(loan, u"TOTANTTERM"), u"120");
    EXPECT_EQ(resultat(loan, u"INFRDTO"), u"28.01.2035");
    MVterminate(loan);
}

TEST(Rulings, SolvedAmountIsTheSmallestThatPaysAndTermsAreCountedOnce) {
    void* loan = MVinitialize();
    ASSERT_EQ(MVinput_w(loan, u"LBELOP=750000;RNTSATS=3,9;LOPETID=15;UTBDTO=10.03.2025;RNTBROEK=360/360"), 0u);
    // Textbook annuity 5510.03; 5510 leaves a larger last payment.
    EXPECT_EQ(resultat(loan, u"TERMBELOP"), u"5511");
    EXPECT_EQ(resultat(loan, u"TOTANTTERM"), u"180");
    MVterminate(loan);
}

}  // namespace

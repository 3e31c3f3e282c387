// Merging a schedule with its interest-margin twin, on hand-written texts.
#include <gtest/gtest.h>

#include "calc/errors/calc_errors.h"
#include "calc/loan/margin_merge.h"

using namespace mirvo::beregning;
using kavelin::finans::TReportOutput;

namespace {

TEST(MarginMerge, BaseMarginAndDifferencePerColumn) {
    TReportOutput w;
    TMarginFletting valg;
    valg.nokkelKolonne = 5;
    std::u16string ut;
    const std::u16string base = u"D;01.02.2025;0;0;;0;1000000\nT;01.03.2025;5558;3750;1808;50;998192\n";
    const std::u16string marg = u"D;01.02.2025;0;0;;0;1000000\nT;01.03.2025;6600;5417;1183;50;998817\n";
    ASSERT_EQ(flettMarginRader(base, marg, valg, w, 10000, ut), 0);
    EXPECT_EQ(ut,
              u"D;01.02.2025;0;0;0;0;0;0;;;;0;1000000;1000000;0\n"
              u"T;01.03.2025;5558;6600;+1042;3750;5417;+1667;1808;1183;-625;50;998192;998817;+625\n");

    // Decimals follow the base text; grouped numbers are read when formatted.
    valg.nokkelKolonne = -1;
    valg.identKolonner = 1;
    valg.formatert = true;
    ASSERT_EQ(flettMarginRader(u"2025;1 000,50;4,50\n", u"2025;1 200,75;6,50\n", valg, w, 10000, ut), 0);
    EXPECT_EQ(ut, u"2025;1 000,50;1 200,75;+200,25;4,50;6,50;+2,00\n");
}

TEST(MarginMerge, RowsMustAgree) {
    TReportOutput w;
    TMarginFletting valg;
    valg.nokkelKolonne = 5;
    std::u16string ut;
    const std::u16string base = u"T;01.03.2025;5558;3750;1808;50;998192\n";
    struct Case {
        const char16_t* klone;
    } cases[] = {
        {u"X;01.03.2025;5558;3750;1808;50;998192\n"},                                          // kind
        {u"T;02.03.2025;5558;3750;1808;50;998192\n"},                                          // date
        {u"T;01.03.2025;5558;3750;1808;60;998192\n"},                                          // key column
        {u"T;01.03.2025;5558;3750;1808;50;998192\nT;01.04.2025;5558;3750;1808;50;996000\n"},  // extra row
        {u""},                                                                                 // missing row
    };
    for (const auto& c : cases) EXPECT_EQ(flettMarginRader(base, c.klone, valg, w, 10000, ut), 417) << &c - cases;
}

TEST(MarginMerge, TooSmallBuffer) {
    TReportOutput w;
    std::u16string ut;
    EXPECT_THROW(flettMarginRader(u"T;01.03.2025;1\n", u"T;01.03.2025;2\n", {}, w, 20, ut), EMirvo);
}

}  // namespace

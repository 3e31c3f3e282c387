// The installment-loan wrapper against the real library.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "app/mng/mirvo_dll.h"
#include "app/ui/fmt/numtext.h"
#include "common/buffer/bufferparser.h"

using mirvo::dll::EBeregning;
using mirvo::dll::TNedbetLaan;

namespace {

const std::u16string kLaan = u"LBELOP=500000;LOPETID=20;RNTSATS=5;UTBDTO=15.01.2025";

// A result read as a number; formatted amounts are grouped with blanks.
double number(std::u16string text) {
    std::erase(text, u' ');
    auto v = kavelin::fmt::tryReadNumber(text);
    EXPECT_TRUE(v.has_value()) << std::string(text.begin(), text.end());
    return v.value_or(NAN);
}

// Code and text of the failure of a request; 0 and empty when it succeeds.
std::pair<uint16_t, std::u16string> failureOf(TNedbetLaan& laan, std::u16string_view id) {
    try {
        laan.getOutputFmt(id, 0);
    } catch (const EBeregning& e) {
        return {e.code(), e.message()};
    }
    return {0, u""};
}

}  // namespace

TEST(TNedbetLaan, AnnuityTermAmountFollowsTheFormula) {
    TNedbetLaan laan;
    laan.setInput(kLaan);
    // 500 000 over 240 monthly terms at 5 % / 12: P·r / (1 − (1 + r)^−n) = 3 299.78,
    // rounded by the loan's whole-unit rounding.
    const double r = 0.05 / 12;
    const double expected = 500000 * r / (1 - std::pow(1 + r, -240));
    EXPECT_NEAR(number(laan.getOutput(u"TERMBELOP3", 0)), expected, 1.0);
    EXPECT_EQ(laan.errorMsg(), u"OK");
    EXPECT_EQ(laan.error(), 0);
}

TEST(TNedbetLaan, InputBeforeAnyResultAddsUpAfterAResultStartsAfresh) {
    TNedbetLaan laan;
    laan.setInput(u"LBELOP=500000;LOPETID=20");
    laan.setInput(u"RNTSATS=5;UTBDTO=15.01.2025");
    EXPECT_EQ(number(laan.getOutput(u"TERMBELOP3", 0)), 3300);
    EXPECT_EQ(laan.input(), kLaan);

    // A new object knows only the rate: the amount and the term are missing.
    laan.setInput(u"RNTSATS=6");
    auto [code, text] = failureOf(laan, u"TERMBELOP3");
    EXPECT_EQ(code, 113);
    EXPECT_EQ(text, u"2 av de 3 parametrene lånebeløp, løpetid og terminbeløp må være angitt!");
}

TEST(TNedbetLaan, FailuresAreNorwegianExceptionsAndStayUntilNewInput) {
    TNedbetLaan laan;
    laan.setInput(u"LBELOP=500000;LOPETID=20;RNTSATS=5");
    EXPECT_EQ(laan.error(), 119);
    EXPECT_EQ(laan.errorMsg(), u"Utbetalingsdato mangler!");
    // Every later request raises the same failure, even one that would do.
    EXPECT_EQ(failureOf(laan, u"LBELOP"), std::make_pair(uint16_t(119), std::u16string(u"Utbetalingsdato mangler!")));

    laan.setInput(kLaan);
    EXPECT_EQ(laan.errorMsg(), u"OK");
    EXPECT_EQ(number(laan.getOutput(u"TERMBELOP3", 0)), 3300);

    // An unknown result is also kept.
    EXPECT_EQ(failureOf(laan, u"UKJENT"), std::make_pair(uint16_t(203), std::u16string(u"Ukjent funksjon!")));
    EXPECT_EQ(failureOf(laan, u"TERMBELOP3").first, 203);
    // what() carries the same text for generic handlers.
    try {
        laan.getOutput(u"EFFRNT", 0);
        FAIL();
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "Ukjent funksjon!");
    }
}

TEST(TNedbetLaan, LoanWithoutInputReportsWhatIsMissing) {
    TNedbetLaan laan;
    EXPECT_NE(laan.error(), 0);
    EXPECT_NE(laan.errorMsg(), u"OK");
    EXPECT_THROW(laan.getOutputFmt(u"EFFRNT", 0), EBeregning);
}

TEST(TNedbetLaan, ResultsThatRepeatTheInputAreHidden) {
    struct Case {
        const char16_t* input;
        const char16_t* id;
        bool hidden;
    };
    const Case cases[] = {
        {u"LBELOP=500000;TERMBELOP=5000;RNTSATS=5;UTBDTO=15.01.2025", u"TERMBELOP3", true},
        {u"LBELOP=500000;TERMBELOP=5000,00;RNTSATS=5;UTBDTO=15.01.2025", u"TERMBELOP3", true},
        // Whole-unit rounding makes the term amount 5 000, which is not what was given.
        {u"LBELOP=500000;TERMBELOP=5000,01;RNTSATS=5;UTBDTO=15.01.2025", u"TERMBELOP3", false},
        {kLaan.c_str(), u"TERMBELOP3", false},
        // The term is shown as "20 år" and "20 år og 6 mnd".
        {u"LBELOP=500000;LOPETID=20år;RNTSATS=5;UTBDTO=15.01.2025", u"LOPETID", true},
        {u"LBELOP=500000;LOPETID=20Å;RNTSATS=5;UTBDTO=15.01.2025", u"LOPETID", true},
        {u"LBELOP=500000;LOPETID=20år 6mnd;RNTSATS=5;UTBDTO=15.01.2025", u"LOPETID", true},
        {u"LBELOP=500000;LOPETID=20år 7mnd;RNTSATS=5;UTBDTO=15.01.2025", u"LOPETID", true},
        {kLaan.c_str(), u"LOPETID", false},  // "20" against "20 år"
        {kLaan.c_str(), u"SNITTRNT1", true},
        {u"LBELOP=500000;LOPETID=20;RNTSATS=5;RNTSATS2=6;RNTTRINN2=200000;UTBDTO=15.01.2025",
         u"SNITTRNT1", false},
    };
    for (const Case& c : cases) {
        TNedbetLaan laan;
        laan.setInput(c.input);
        std::u16string text = laan.getOutputFmt(c.id, 0);
        EXPECT_EQ(text.empty(), c.hidden) << std::string(c.input, c.input + 40).c_str() << " / "
                                          << std::string(text.begin(), text.end());
    }
}

TEST(TNedbetLaan, PaymentIsHiddenOnlyAfterTheEqualTermAmount) {
    TNedbetLaan laan;
    laan.setInput(kLaan);
    EXPECT_EQ(number(laan.getOutputFmt(u"INNBET2", 0)), 3300);
    EXPECT_EQ(number(laan.getOutputFmt(u"TERMBELOP3", 0)), 3300);
    EXPECT_EQ(laan.getOutputFmt(u"INNBET2", 0), u"");
}

TEST(TNedbetLaan, SteppedRateAverageIsBetweenTheSteps) {
    // 200 000 at 5 % and 300 000 at 6 %: 5.6 % on average in the first year.
    TNedbetLaan laan;
    laan.setInput(u"LBELOP=500000;LOPETID=20;RNTSATS=5;RNTSATS2=6;RNTTRINN2=200000;UTBDTO=15.01.2025");
    EXPECT_NEAR(number(laan.getOutput(u"SNITTRNT1", 0)), 5.6, 0.05);
}

TEST(TNedbetLaan, VersionText) { EXPECT_EQ(mirvo::dll::libraryVersionText(), u"3.0"); }

// The longest schedules the library writes (40 years of monthly terms) read
// through a wrapper whose first buffer is far too small: every attempt but
// the last is cut, and the answer must still come back whole.
class CutReport : public ::testing::TestWithParam<const char16_t*> {};

TEST_P(CutReport, ComesBackWholeWithOneRowPerTerm) {
    const std::u16string input = u"LBELOP=5000000;LOPETID=40;RNTSATS=5;UTBDTO=15.01.2025";
    TNedbetLaan small(2000);
    small.setInput(input);
    std::u16string plan = small.getOutputFmt(GetParam(), 99);

    kavelin::TBufferParser rows(plan.c_str());
    int terms = 0, all = 0;
    std::u16string lastKind;
    while (rows.ReadLn()) {
        ++all;
        lastKind = rows.getCol(0);
        if (lastKind == u"Innbetaling") ++terms;
    }
    EXPECT_EQ(terms, 40 * 12);
    EXPECT_EQ(lastKind, u"Totalsum");
    // 1 disbursement, 480 terms, 41 calendar-year sums and the total.
    EXPECT_EQ(all, 1 + 480 + 41 + 1);

    TNedbetLaan normal;
    normal.setInput(input);
    EXPECT_EQ(normal.getOutputFmt(GetParam(), 99), plan);
}

INSTANTIATE_TEST_SUITE_P(Schedules, CutReport, ::testing::Values(u"NBPLAN", u"FORLOP"));

// The portfolio wrapper: ownership of its loans and its failures.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "app/mng/mirvo_dll.h"
#include "common/text/numtext.h"

using mirvo::dll::EBeregning;
using mirvo::dll::TOutput;
using mirvo::dll::TPortefolje;

namespace {

const char16_t* const kLaan[] = {
    u"LBELOP=500000;LOPETID=20;RNTSATS=5;UTBDTO=15.01.2025",
    u"LBELOP=300000;LOPETID=10;RNTSATS=4;UTBDTO=15.01.2025",
    u"LBELOP=200000;LOPETID=5;RNTSATS=6;UTBDTO=15.01.2025",
};

// A result or the code it failed with, so that two ways to the same
// portfolio can be compared whatever the library answers.
std::u16string outcome(TOutput& out, std::u16string_view id) {
    try {
        return out.getOutputFmt(id, 0);
    } catch (const EBeregning& e) {
        return u"feil " + kavelin::text::intText(e.code()) + u": " + e.message();
    }
}

}  // namespace

TEST(TPortefolje, OwnsItsLoansInOrder) {
    TPortefolje pf(2);
    auto& third = pf.add();
    ASSERT_EQ(pf.count(), 3);
    EXPECT_EQ(&pf.getItem(2), &third);
    EXPECT_NE(&pf.getItem(0), &pf.getItem(1));
    EXPECT_THROW(pf.getItem(3), std::out_of_range);
    EXPECT_THROW(pf.getItem(-1), std::out_of_range);
    for (int i = 0; i < 3; ++i) pf.getItem(i).setInput(kLaan[i]);
    // The loans are calculated and then freed with the portfolio.
    EXPECT_EQ(pf.getItem(0).getOutput(u"LBELOP", 0), u"500000");
}

TEST(TPortefolje, FailureIsKeptUntilTheLoansChange) {
    TPortefolje pf(0);
    for (const char16_t* input : kLaan) pf.add().setInput(input);
    try {
        pf.getOutputFmt(u"UKJENT", 0);
        FAIL();
    } catch (const EBeregning& e) {
        EXPECT_EQ(e.code(), 203);
        EXPECT_EQ(e.message(), u"Ukjent funksjon!");
    }
    EXPECT_TRUE(pf.anyErrors());
    EXPECT_THROW(pf.getOutput(u"LBELOP", 0), EBeregning);

    // A loan without input makes the portfolio fail, not crash.
    pf.add();
    EXPECT_TRUE(pf.anyErrors());
}

TEST(TPortefolje, NewInputOfALoanRebuildsTheLibraryPortfolio) {
    // The same three loans, once given directly and once after a loan had
    // other input and the portfolio had answered: the answers must agree,
    // and the replaced library loan must never be used again.
    TPortefolje direct(3);
    for (int i = 0; i < 3; ++i) direct.getItem(i).setInput(kLaan[i]);

    TPortefolje changed(3);
    changed.getItem(0).setInput(u"LBELOP=900000;LOPETID=30;RNTSATS=3;UTBDTO=15.01.2025");
    changed.getItem(1).setInput(kLaan[1]);
    changed.getItem(2).setInput(kLaan[2]);
    outcome(changed, u"LBELOP");
    changed.getItem(0).getOutputFmt(u"TERMBELOP3", 0);  // the next input replaces the library loan
    changed.getItem(0).setInput(kLaan[0]);

    for (const char16_t* id : {u"LBELOP", u"EFFRNT", u"TERMBELOP"})
        EXPECT_EQ(outcome(changed, id), outcome(direct, id));
}

TEST(TPortefolje, AnswersForAllItsLoans) {
    TPortefolje pf(3);
    for (int i = 0; i < 3; ++i) pf.getItem(i).setInput(kLaan[i]);
    EXPECT_EQ(pf.getOutput(u"LBELOP", 0), u"1000000");
    EXPECT_FALSE(pf.anyErrors());
}

TEST(TPortefolje, MergedScheduleComesBackWholeFromASmallFirstBuffer) {
    // Two 40-year loans with the same dates: one detail row per term.
    const char16_t* input = u"LBELOP=5000000;LOPETID=40;RNTSATS=5;UTBDTO=15.01.2025";
    TPortefolje small(2, 2000), normal(2);
    for (TPortefolje* pf : {&small, &normal})
        for (int i = 0; i < 2; ++i) pf->getItem(i).setInput(input);
    std::u16string plan = small.getOutput(u"NBPLAN", 99);
    int terms = 0;
    for (size_t pos = 0; (pos = plan.find(u"\nT;", pos)) != std::u16string::npos; ++pos) ++terms;
    EXPECT_EQ(terms, 40 * 12);
    EXPECT_EQ(normal.getOutput(u"NBPLAN", 99), plan);
}

// The framework-loan wrapper against the real library.
#include <gtest/gtest.h>

#include <cmath>

#include "app/mng/mirvo_dll.h"
#include "app/ui/fmt/numtext.h"
#include "common/buffer/bufferparser.h"

using mirvo::dll::EBeregning;
using mirvo::dll::TRammelaan;

namespace {
const std::u16string kRamme = u"ORDBEVILGNING=1000000;ORDRENTESATS=6;TILLBEVILGNING=500000";
}

TEST(TRammelaan, UtilisationRowAddsUpByHand) {
    TRammelaan laan;
    laan.setInput(kRamme);
    // 50 % of 1 500 000 is 750 000, all drawn on the ordinary grant at 6 %:
    // 45 000 interest over the default 12 months, paid quarterly, so the
    // effective rate is 1.015^4 − 1.
    const std::u16string text = laan.getOutput(u"FORLOP", 50);
    kavelin::TBufferParser row(text.c_str());
    ASSERT_TRUE(row.ReadLn());
    ASSERT_EQ(row.colCount(), 8);
    EXPECT_EQ(row.getCol(0), u"50");
    EXPECT_EQ(row.getCol(1), u"750000");
    EXPECT_EQ(row.getCol(4), u"45000");
    const double rate = (std::pow(1.015, 4) - 1) * 100;
    EXPECT_NEAR(kavelin::fmt::readNumber(row.getCol(7)), rate, 0.0006);
    EXPECT_NEAR(kavelin::fmt::readNumber(laan.getOutputFmt(u"EFFRNT", 50)), rate, 0.0006);
    EXPECT_EQ(laan.errorMsg(), u"OK");
}

TEST(TRammelaan, RawResultsAreNotGrouped) {
    TRammelaan laan;
    laan.setInput(kRamme);
    EXPECT_EQ(laan.getOutput(u"BEVILGNINGNY", 0), u"1500000,000");
    EXPECT_EQ(laan.getOutputFmt(u"BEVILGNINGNY", 0), u"1 500 000,000");
}

TEST(TRammelaan, FailuresCarryTheFrameworkLoanTexts) {
    struct Case {
        const char16_t* input;
        uint16_t code;
        const char16_t* text;
    };
    const Case cases[] = {
        {u"ORDRENTESATS=6", 101, u"Bevilgning er ikke angitt!"},
        {u"ORDBEVILGNING=1000000;FOO=1", 100, u"Ukjent inputfelt!"},
    };
    for (const Case& c : cases) {
        TRammelaan laan;
        laan.setInput(c.input);
        EXPECT_EQ(laan.error(), c.code);
        EXPECT_EQ(laan.errorMsg(), c.text);
        try {
            laan.getOutputFmt(u"EFFRNT", 50);
            ADD_FAILURE() << "no exception";
        } catch (const EBeregning& e) {
            EXPECT_EQ(e.code(), c.code);
            EXPECT_EQ(e.message(), c.text);
        }
    }
    TRammelaan laan;
    laan.setInput(kRamme);
    EXPECT_THROW(laan.getOutput(u"UKJENT", 0), EBeregning);
    EXPECT_EQ(laan.errorMsg(), u"Ukjent funksjon!");
}

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "calc/loan/calc_loan.h"
#include "calc/loan/value_syntax.h"

using namespace mirvo::beregning;
using kavelin::finans::Datorec;

namespace {

struct Case {
    const char16_t* input;
    uint16_t code;
    std::function<bool(const TCalcLoan&)> holds;
};

TEST(LoanInput, KeywordTable) {
    const Case cases[] = {
        {u"LBELOP=1000000", 0, [](auto& c) { return c.extInputs().laanebelop[0] == 1000000; }},
        {u"loanamount=2500,50", 0, [](auto& c) { return c.extInputs().laanebelop[0] == 2500.5; }},
        {u"LBELOP=0", 100, nullptr},
        {u"LBELOP=", 100, nullptr},
        {u"LBELOP=<BLANK>", 100, nullptr},
        {u"LBELOP=12a", 201, nullptr},
        {u"LBELOP2=300000", 0, [](auto& c) { return c.extInputs().laanebelop[1] == 300000; }},
        {u"RNTSATS=", 0, [](auto& c) { return c.EL(0).rente[0].sats == 0; }},
        {u"RNTSATS=4,25", 0, [](auto& c) { return c.EL(0).rente[0].sats == 4.25; }},
        {u"INTRATE2=5.5", 0, [](auto& c) { return c.EL(0).rente[1].sats == 5.5; }},
        {u"RNTTRINN3=200000", 0, [](auto& c) { return c.EL(0).rente[2].grense == 200000; }},
        {u"LOPETID=25", 0, [](auto& c) { return c.IFO().loepetid == 9000; }},
        {u"LOPETID=2Å 6M", 0, [](auto& c) { return c.IFO().loepetid == 900; }},
        {u"LOPETID=200", 201, nullptr},
        {u"LOPETIDY=5 ÅR", 0, [](auto& c) { return c.extInputs().loepetidAar == 5; }},
        {u"LOPETIDY=5Y", 0, [](auto& c) { return c.extInputs().loepetidAar == 5; }},
        {u"LOPETIDY=5 A", 201, nullptr},
        {u"LOPETIDM=7 mnd", 0, [](auto& c) { return c.extInputs().loepetidMnd == 7; }},
        {u"NOREPAYPD=10D", 0, [](auto& c) { return c.extInputs().avdragsfriDager == 10; }},
        {u"TERMLEN=3", 0, [](auto& c) { return c.EL(0).termlengde == 90; }},
        {u"TERMLEN=3M", 0, [](auto& c) { return c.EL(0).termlengde == 90; }},
        {u"TERMLEN=91", 0, [](auto& c) { return c.EL(0).termlengde == 91; }},
        {u"TERMLEN=X", 201, nullptr},
        {u"TERMPRAAR=4", 0, [](auto& c) { return c.EL(0).termlengde == 90; }},
        {u"TERMPRAAR=12", 0, [](auto& c) { return c.EL(0).termlengde == 30; }},
        {u"TERMPRAAR=0", 201, nullptr},
        {u"KAPITPRAAR=1", 0, [](auto& c) { return c.EL(0).kapitperiode == 360; }},
        {u"OVERHOPP=7,12,20", 0, [](auto& c) { return c.EL(0).fasteoverhopp == ((1 << 6) | (1 << 11)); }},
        {u"OVERHOPP=7,X", 201, nullptr},
        {u"RNTBROEK=365(6)/360", 0, [](auto& c) { return c.IFO().rentebrteljar == 366 && c.IFO().rentebrnemnar == 360; }},
        {u"RNTBROEK=365", 201, nullptr},
        {u"RNTDAGPRAAR=A", 0, [](auto& c) { return c.IFO().rentebrteljar == 366; }},
        {u"RNTDIV=364", 201, nullptr},
        {u"LNTYPE=S", 0, [](auto& c) { return c.EL(0).laanetype == 0x10210; }},
        {u"LOANTYPE=annuity", 0, [](auto& c) { return c.EL(0).laanetype == 0x20220; }},
        {u"LNTYPE=X", 117, nullptr},
        {u"DRIFTSSYS=DN", 0, [](auto& c) { return c.DriftsSystem == 1; }},
        {u"CFGSET=FD", 0, [](auto& c) { return c.DriftsSystem == 0; }},
        {u"DRIFTSSYS=XX", 409, nullptr},
        {u"AVDRAGFRI=ja", 0, [](auto& c) { return c.EL(0).avdragsfri && c.EL(0).avdragsfriAngitt; }},
        {u"AVDRAGFRI=usann", 0, [](auto& c) { return !c.EL(0).avdragsfri && c.EL(0).avdragsfriAngitt; }},
        {u"AVDRAGFRI=kanskje", 201, nullptr},
        {u"TERMBELOP=5000", 0, [](auto& c) { return c.EL(0).terminbelop == 5000 && c.EL(0).terminbelopAngitt; }},
        {u"REPAYMENT=1200", 0, [](auto& c) { return c.EL(0).terminbelop == 1200; }},
        {u"RENTEBRGN=2", 0, [](auto& c) { return c.EL(0).renteb == renteberegning::ekteforskot; }},
        {u"RENTEBRGN=7", 201, nullptr},
        {u"RNTRNDREGEL=2", 0, [](auto& c) { return c.renteAvrunding == 2; }},
        {u"RNTRESFAKT=100", 0, [](auto& c) { return c.renteDesimalOpploesning == 100; }},
        {u"UTBDTO=15.01.2025", 0, [](auto& c) { return c.IFO().diskontdato == Datorec::ymd(2025, 1, 15); }},
        {u"UTBDTO=2025-01-15", 0, [](auto& c) { return c.IFO().diskontdato == Datorec::ymd(2025, 1, 15); }},
        {u"UTBDTO=15012025", 301, nullptr},
        {u"UTBDTO=32.01.2025", 301, nullptr},
        {u"UTBDTO=30.02.2025", 0, [](auto& c) { return c.IFO().diskontdato == Datorec::ymd(2025, 2, 30); }},
        {u"FORFDTO=31.02.2025", 311, nullptr},
        {u"FORFDTOAVDR=xx.01.2025", 312, nullptr},
        {u"AVDRFRIDTO=1.1.25", 313, nullptr},
        {u"OBSDATO=01.13.2025", 314, nullptr},
        {u"INFRDTO=01.01.2050", 0, [](auto& c) { return c.EL(0).innfrielsesdato == Datorec::ymd(2050, 1, 1); }},
        {u"INFRDTO=1/1/2050", 331, nullptr},
        {u"GARTILDTO=bad", 201, nullptr},
        {u"ENDRDTO=", 414, nullptr},
        {u"ENDRDTO=bad", 321, nullptr},
        {u"MODE=2", 201, nullptr},
        {u"FOO=1", 200, nullptr},
        {u"LBELOP", 100, nullptr},
        // Without "=" the value is empty, and an empty value is ignored.
        {u"FOO", 0, nullptr},
    };
    for (const auto& c : cases) {
        TCalcLoan loan;
        EXPECT_EQ(loan.Input(c.input), c.code) << std::string(c.input, c.input + std::char_traits<char16_t>::length(c.input)).c_str();
        if (c.holds) {
            EXPECT_TRUE(c.holds(loan)) << "field of case " << int(&c - cases);
        }
        EXPECT_EQ(loan.error(), c.code);
    }
}

TEST(LoanInput, BufferStopsAtFirstFailureAndKeepsEarlierPairs) {
    TCalcLoan loan;
    EXPECT_EQ(loan.Input(u"LBELOP=1000;\r\n;FOO=1;RNTSATS=5"), 200);
    EXPECT_EQ(loan.extInputs().laanebelop[0], 1000);
    EXPECT_EQ(loan.EL(0).rente[0].sats, 0);
    // Later input is still applied, but the first error stays.
    EXPECT_EQ(loan.Input(u"RNTSATS=5"), 0);
    EXPECT_EQ(loan.EL(0).rente[0].sats, 5);
    EXPECT_EQ(loan.Input(u"LNTYPE=Q"), 117);
    EXPECT_EQ(loan.error(), 200);
}

TEST(LoanInput, PairsAreSplitUpperCasedAndTrimmed) {
    TCalcLoan loan;
    EXPECT_EQ(loan.Input(u"lbelop = 1000;;\r\nrntsats=  4,5\nlntype=serie"), 0);
    const auto& in = loan.inputs();
    ASSERT_EQ(in.count(), 3);
    EXPECT_EQ(in.getName(0), u"LBELOP");
    EXPECT_EQ(in.getValueFromIndex(0), u"1000");
    EXPECT_EQ(in.getValueFromIndex(1), u"4,5");
    EXPECT_EQ(loan.EL(0).laanetype, 0x10210u);
    EXPECT_EQ(in.bookMarkLastIndex(), 0);

    // A blank after ";" belongs to the next name, which is then unknown.
    TCalcLoan blank;
    EXPECT_EQ(blank.Input(u"LBELOP=1000; RNTSATS=5"), 200);
    EXPECT_EQ(blank.inputs().getName(1), u" RNTSATS");

    TCalcLoan norsk;
    EXPECT_EQ(norsk.InputPairAlt(u"avdragfri", u"ja"), 0);
    EXPECT_TRUE(norsk.InputPair(u"datofmt", u"yyyy.mm.dd"));
    EXPECT_EQ(norsk.writer.dateFmt(), u"YYYY.MM.DD");
}

TEST(LoanInput, FirstFractionDecidesDecimalSeparator) {
    TCalcLoan loan;
    EXPECT_EQ(loan.Input(u"LBELOP=500000;RNTSATS=4,25;RNTSATS2=4.75"), 0);
    EXPECT_EQ(loan.writer.decimalSep(), u',');
    EXPECT_EQ(loan.EL(0).rente[1].sats, 4.75);

    TCalcLoan dot;
    EXPECT_EQ(dot.Input(u"LBELOP=500000;RNTSATS=4.25;ETBLGBYR=1,5"), 0);
    EXPECT_EQ(dot.writer.decimalSep(), u'.');
    EXPECT_EQ(dot.IFO().etablgebyr, 1.5);
}

TEST(LoanInput, FirstDateDecidesDateFormat) {
    TCalcLoan iso;
    EXPECT_EQ(iso.Input(u"UTBDTO=2025-01-15;FORFDTO=2025-02-15"), 0);
    EXPECT_EQ(iso.writer.dateFmt(), u"YYYY-MM-DD");
    EXPECT_EQ(iso.EL(0).forfallsdato, Datorec::ymd(2025, 2, 15));
    // The format chosen stays: a date in another shape fails.
    EXPECT_EQ(iso.Input(u"INFRDTO=15.01.2050"), 331);

    TCalcLoan shortYear;
    EXPECT_EQ(shortYear.Input(u"UTBDTO=15.01.25"), 0);
    EXPECT_EQ(shortYear.writer.dateFmt(), u"DD.MM.YY");
    EXPECT_EQ(shortYear.IFO().diskontdato, Datorec::ymd(2025, 1, 15));
}

TEST(LoanInput, ModeOneSwitchesToEnglishAndNewLayout) {
    TCalcLoan loan;
    EXPECT_EQ(loan.Input(u"MODE=1"), 0);
    EXPECT_EQ(loan.mode.FId, 1);
    EXPECT_EQ(loan.mode.rc_inst, u'I');
    EXPECT_EQ(loan.writer.mode(), kavelin::finans::TReportFmtMode::rmNew);
    EXPECT_EQ(loan.writer.dateFmt(), u"YYYY-MM-DD");
}

TEST(LoanInput, ChangeLines) {
    TCalcLoan loan;
    EXPECT_EQ(loan.Input(u"LBELOP=100000;RNTSATS=5;TERMBELOP=2000;FORFDTO=15.02.2025;XORDINB=500"), 0);
    EXPECT_EQ(loan.Input(u"ENDRDTO=01.01.2026;RNTSATS=6;ENDRDTO=01.01.2026;TERMLEN=1"), 0);
    EXPECT_EQ(loan.plEnr, 1);
    EXPECT_EQ(loan.EL(0).endringsdato, Datorec::ymd(2026, 1, 1));
    const endringtype& line = loan.EL(1);
    EXPECT_TRUE(line.erEndring);
    EXPECT_EQ(line.rente[0].sats, 6);
    EXPECT_EQ(line.termlengde, 30);
    // One-time items do not carry over.
    EXPECT_EQ(line.forfallsdato.L, 0u);
    EXPECT_EQ(line.xordinb, 0);
    EXPECT_EQ(line.terminbelop, 0);
    EXPECT_FALSE(line.terminbelopAngitt);
    EXPECT_EQ(loan.EL(0).rente[0].sats, 5);
    EXPECT_EQ(loan.inputs().bookmarkCount(), 3);

    // A term amount on a change line clears its payoff date, and back.
    EXPECT_EQ(loan.Input(u"INFRDTO=01.01.2040"), 0);
    EXPECT_EQ(loan.Input(u"TERMBELOP=3000"), 0);
    EXPECT_EQ(loan.EL(1).innfrielsesdato.L, 0u);
    EXPECT_EQ(loan.Input(u"INFRDTO=01.01.2040"), 0);
    EXPECT_EQ(loan.EL(1).terminbelop, 0);
}

TEST(LoanInput, FiftyChangeLinesAtMost) {
    TCalcLoan loan;
    for (int i = 0; i < 50; ++i) {
        int year = 2030 + i;
        std::u16string pair = u"ENDRDTO=01.01.";
        for (int div : {1000, 100, 10, 1}) pair += char16_t(u'0' + (year / div) % 10);
        ASSERT_EQ(loan.Input(pair), 0) << i;
    }
    EXPECT_EQ(loan.plEnr, 50);
    EXPECT_EQ(loan.Input(u"ENDRDTO=01.01.2099"), 416);
}

TEST(LoanInput, ChangeLineRefusedWithRepaymentStructure) {
    TCalcLoan loan;
    EXPECT_EQ(loan.Input(u"NBSTR=10;ENDRDTO=01.01.2026"), 340);
}

TEST(ValueSyntax, Numbers) {
    using verdi::number;
    EXPECT_EQ(number(u"4,5"), 4.5);
    EXPECT_EQ(number(u"4.5"), 4.5);
    EXPECT_EQ(number(u"-12"), -12);
    EXPECT_EQ(number(u",5"), 0.5);
    EXPECT_FALSE(number(u"-"));
    EXPECT_FALSE(number(u","));
    EXPECT_FALSE(number(u"4,5,6"));
    EXPECT_FALSE(number(u"4,"));
    EXPECT_FALSE(number(u"12A"));
    // Any one character after the integer digits is a decimal separator.
    EXPECT_EQ(number(u"1 5"), 1.5);
    EXPECT_EQ(verdi::decimalSeparatorOf(u"-10,25"), u',');
    EXPECT_EQ(verdi::decimalSeparatorOf(u"1025"), 0);
    EXPECT_FALSE(verdi::integer(u"99999999999"));
    EXPECT_EQ(verdi::integer(u"+7"), 7);
}

}  // namespace

// Result requests of the loan calculator.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "calc/loan/calc_loan.h"

using namespace mirvo::beregning;

namespace {

constexpr char16_t kAnnuitet[] = u"LBELOP=1000000;RNTSATS=4,5;LOPETID=25;UTBDTO=01.02.2025";

// A request into a buffer of the given capacity that starts out as "#".
struct Svar {
    uint16_t code;
    std::u16string text;
};
Svar be(TCalcLoan& l, std::u16string_view id, uint32_t cap = 200000, uint16_t param = 0) {
    std::u16string buf(cap ? cap : 1, u'\0');
    buf[0] = u'#';
    uint16_t code = l.getResult(id, param, TResultDest{buf.data(), cap});
    return {code, std::u16string(buf.c_str())};
}

std::vector<std::vector<std::u16string>> linjer(const std::u16string& text) {
    std::vector<std::vector<std::u16string>> out;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find(u'\n', pos);
        if (end == std::u16string::npos) end = text.size();
        std::vector<std::u16string> cols;
        size_t c = pos;
        while (true) {
            size_t e = text.find(u';', c);
            if (e == std::u16string::npos || e > end) {
                cols.push_back(text.substr(c, end - c));
                break;
            }
            cols.push_back(text.substr(c, e - c));
            c = e + 1;
        }
        out.push_back(cols);
        pos = end + 1;
    }
    return out;
}

double tall(const std::u16string& s) {
    std::string a;
    for (char16_t c : s) a += c == u',' ? '.' : char(c);
    return a.empty() ? 0 : std::stod(a);
}

// Days by 30/360 from DD.MM.YYYY a to b (the dates of these loans are not 31sts).
int dager360(const std::u16string& a, const std::u16string& b) {
    auto d = [](const std::u16string& s, size_t p, size_t n) { return int(tall(s.substr(p, n))); };
    return (d(b, 6, 4) - d(a, 6, 4)) * 360 + (d(b, 3, 2) - d(a, 3, 2)) * 30 + (d(b, 0, 2) - d(a, 0, 2));
}

TEST(LoanResults, RequestsWithoutCalculation) {
    TCalcLoan l;
    EXPECT_EQ(be(l, u"version").text, u"3.00");
    // A scalar as long as the buffer is not written; one character less is.
    EXPECT_EQ(be(l, u"VERSJON", 4).text, u"");
    EXPECT_EQ(be(l, u"VERSJON", 5).text, u"3.00");
    for (const char16_t* id : {u"XYZ", u"MXYZ", u"EFFRNT55", u"EFFRNT200", u"APR5", u"RB_FOO"}) {
        Svar s = be(l, id);
        EXPECT_EQ(s.code, 203) << std::string(id, id + 1);
        EXPECT_EQ(s.text, u"");
    }
    EXPECT_EQ(l.error(), 0) << "unknown identifiers leave the object usable";
    EXPECT_EQ(l.getErrorMsg(), u"");
}

TEST(LoanResults, StoredErrorAnswersEveryRequest) {
    TCalcLoan l;
    EXPECT_EQ(l.Input(u"FOO=1"), 200);
    Svar s = be(l, u"VERSJON");
    EXPECT_EQ(s.code, 200);
    EXPECT_EQ(s.text, u"#") << "the destination is not touched";
    EXPECT_EQ(l.getErrorCode(), 200);
    EXPECT_EQ(l.getErrorMsg(), u"Ukjent felt!");
    std::u16string t = u"x";
    EXPECT_EQ(l.GetResult(u"VERSJON", 0, t), 200);
    EXPECT_EQ(t, u"");
}

TEST(LoanResults, PrivateBufferForms) {
    TCalcLoan l;
    std::u16string t;
    EXPECT_EQ(l.GetResultFmt(u"VERSION", 0, t), 0);
    EXPECT_EQ(t, u"3.00");
    EXPECT_FALSE(l.formatertOutput);
}

class Calculated : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(l.Input(kAnnuitet), 0);
    }
    TCalcLoan l;
};

TEST_F(Calculated, AnnuityKeyFigures) {
    // 1,000,000 at 4.5 % over 300 months: 3750 / (1 - 1.00375^-300) = 5558.32.
    Svar t = be(l, u"TERMBELOP");
    ASSERT_EQ(t.code, 0);
    EXPECT_NEAR(tall(t.text), 5558.32, 1.5);
    EXPECT_EQ(t.text.find(u','), std::u16string::npos) << "whole units: no decimals";
    EXPECT_EQ(be(l, u"LBELOP").text, u"1000000");
    EXPECT_EQ(be(l, u"TOTANTTERM").text, u"300");
    EXPECT_EQ(be(l, u"INFRDTO").text, u"01.02.2050");
    // Monthly compounding of 4.5 %: 1.00375^12 - 1 = 4.594 %.
    EXPECT_NEAR(tall(be(l, u"EFFRNT").text), 4.594, 0.01);
}

TEST_F(Calculated, ScheduleAgreesWithTotalsAndEffectiveRate) {
    Svar plan = be(l, u"NBPLAN", 200000, 99);
    ASSERT_EQ(plan.code, 0);
    auto rows = linjer(plan.text);
    ASSERT_GT(rows.size(), 300u);

    double innb = 0, renter = 0, avdrag = 0;
    std::vector<std::pair<int, double>> flyt;  // days since disbursement, paid in
    std::u16string start = u"01.02.2025";
    for (const auto& r : rows) {
        ASSERT_EQ(r.size(), 7u);
        if (r[0] != u"T" && r[0] != u"X") continue;
        innb += tall(r[2]);
        renter += tall(r[3]);
        avdrag += tall(r[4]);
        flyt.emplace_back(dager360(start, r[1]), tall(r[2]));
    }
    EXPECT_NEAR(avdrag, 1000000, 0.5) << "repayments add up to the loan amount";
    EXPECT_NEAR(innb, tall(be(l, u"TSUMINNB").text), 0.5);
    EXPECT_NEAR(renter, tall(be(l, u"TSUMRNT").text), 0.5);
    EXPECT_EQ(rows.back()[0], u"S");
    EXPECT_NEAR(tall(rows.back()[2]), innb, 0.5);

    // The rate at which the schedule's own payments are worth the loan amount.
    auto nv = [&](double i) {
        double s = -1000000;
        for (auto [d, x] : flyt) s += x * std::pow(1 + i, -d / 360.0);
        return s;
    };
    double lo = 0.0, hi = 0.2;
    for (int k = 0; k < 100; ++k) (nv((lo + hi) / 2) > 0 ? lo : hi) = (lo + hi) / 2;
    EXPECT_NEAR(tall(be(l, u"EFFRNT").text), lo * 100, 0.001);
}

TEST_F(Calculated, FormattedAndEnglishForms) {
    l.formatertOutput = true;
    EXPECT_EQ(be(l, u"LBELOP").text, u"1 000 000");
    auto rows = linjer(be(l, u"NBPLAN", 200000, 1).text);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.front()[0], u"Utbetaling");
    l.formatertOutput = false;
    EXPECT_EQ(be(l, u"LOPETID").text.substr(0, 3), u"25å");
}

TEST_F(Calculated, AlternativeTermsAroundTwentyFiveYears) {
    Svar s = be(l, u"TERMBELOPVSLOPETID");
    ASSERT_EQ(s.code, 0);
    auto rows = linjer(s.text);
    ASSERT_FALSE(rows.empty());
    EXPECT_LE(rows.size(), 21u);
    EXPECT_EQ(rows.front()[0], u"15år");
    EXPECT_EQ(rows.back()[0], u"35år");
    for (size_t i = 1; i < rows.size(); ++i)
        EXPECT_LT(tall(rows[i][1]), tall(rows[i - 1][1])) << "longer terms pay less per term";
}

TEST_F(Calculated, ObservationLineAndTwelveMonths) {
    auto obs = linjer(be(l, u"OBS").text);
    ASSERT_EQ(obs.size(), 1u);
    EXPECT_EQ(obs[0].size(), 10u);
    auto tolv = linjer(be(l, u"12MND").text);
    ASSERT_EQ(tolv.size(), 2u);
    EXPECT_EQ(tolv[0][0], u"B");
    EXPECT_EQ(tolv[1][0], u"P");
    EXPECT_EQ(tolv[0][1], be(l, u"OSUM_BRNT").text);
}

TEST_F(Calculated, MarginComparisonKeepsRowsAndRaisesInterest) {
    ASSERT_EQ(l.Input(u"RNTMRG=2"), 0);
    Svar s = be(l, u"MFORLOPV30", 200000, 99);
    ASSERT_EQ(s.code, 0);
    auto rows = linjer(s.text);
    ASSERT_GT(rows.size(), 2u);
    // kind, date, paid-in x3, interest x3, repayment x3, fee once, balance x3
    EXPECT_EQ(rows[1].size(), 2u + 3 + 3 + 3 + 1 + 3);
    const auto& t = rows[1];
    EXPECT_GT(tall(t[6]), tall(t[5])) << "the clone pays more interest";
    EXPECT_NEAR(tall(t[7]), tall(t[6]) - tall(t[5]), 0.5);
}

// The rate at which dated payments (days by 30/360 from disbursement) are
// worth the amount paid out, by bisection.
double rente(const std::vector<std::pair<int, double>>& flyt, double utbetalt) {
    auto nv = [&](double i) {
        double s = -utbetalt;
        for (auto [d, x] : flyt) s += x * std::pow(1 + i, -d / 360.0);
        return s;
    };
    double lo = 0.0, hi = 0.2;
    for (int k = 0; k < 100; ++k) (nv((lo + hi) / 2) > 0 ? lo : hi) = (lo + hi) / 2;
    return lo * 100;
}

TEST_F(Calculated, ObservationSumsTheFirstTwelveMonths) {
    // The observation date defaults to twelve months after disbursement.
    auto rows = linjer(be(l, u"NBPLAN", 200000, 99).text);
    double renter = 0, avdrag = 0, saldo = 0;
    int n = 0;
    for (const auto& r : rows) {
        if (r[0] != u"T" || n == 12) continue;
        ++n;
        renter += tall(r[3]);
        avdrag += tall(r[4]);
        saldo = tall(r[6]);
    }
    ASSERT_EQ(n, 12);
    auto obs = linjer(be(l, u"OBS").text).at(0);
    EXPECT_EQ(tall(obs[0]), saldo);
    EXPECT_EQ(tall(obs[1]), renter);
    EXPECT_EQ(tall(obs[2]), avdrag);
    EXPECT_EQ(obs[8], u"Nei");
    EXPECT_EQ(tall(be(l, u"OSUM_AVDR").text), avdrag);
}

TEST_F(Calculated, RealRateIsTheRateAfterTaxDeduction) {
    ASSERT_EQ(l.Input(u"SKATTPRSNT=22"), 0);
    auto rows = linjer(be(l, u"NBPLAN", 200000, 99).text);
    std::vector<std::pair<int, double>> flyt;
    for (const auto& r : rows)
        if (r[0] == u"T") flyt.emplace_back(dager360(u"01.02.2025", r[1]), tall(r[2]) - 0.22 * tall(r[3]));
    // Deductions are rounded to whole units row by row: allow for that.
    EXPECT_NEAR(tall(be(l, u"REALRNT").text), rente(flyt, 1000000), 0.005);
    EXPECT_LT(tall(be(l, u"REALRNT").text), tall(be(l, u"EFFRNT").text));
}

TEST(LoanResultsOther, AmountsWithCentsAndFees) {
    TCalcLoan l;
    ASSERT_EQ(l.Input(u"LBELOP=1234,5;RNTSATS=5;LOPETID=2;UTBDTO=01.02.2025"), 0);
    EXPECT_EQ(be(l, u"LBELOP").text, u"1234,50");

    TCalcLoan g;
    ASSERT_EQ(g.Input(std::u16string(kAnnuitet) + u";GARTILDTO=01.02.2028;GARPROVSATS=0,5"), 0);
    EXPECT_EQ(be(g, u"GARPROV").text, u"5000");
    EXPECT_EQ(be(g, u"NETTOLBELOP").text, u"1000000");
}

TEST(LoanResultsOther, FrameworkRatesByUtilisation) {
    TCalcLoan l;
    ASSERT_EQ(l.Input(std::u16string(kAnnuitet) + u";RAMMELN=JA"), 0);
    Svar full = be(l, u"EFFRNT100");
    ASSERT_EQ(full.code, 0);
    EXPECT_EQ(full.text, be(l, u"EFFRNT").text) << "full drawing is the loan itself";
    EXPECT_EQ(be(l, u"APR50").code, 0);
    EXPECT_EQ(be(l, u"EFFRNT55").code, 203);
    EXPECT_EQ(l.error(), 0);
}

TEST(LoanResultsOther, EnglishRunMode) {
    TCalcLoan l;
    ASSERT_EQ(l.Input(std::u16string(kAnnuitet) + u";MODE=1"), 0);
    auto rows = linjer(be(l, u"NBPLAN", 200000, 1).text);
    ASSERT_GT(rows.size(), 2u);
    EXPECT_EQ(rows[0][0], u"O");
    EXPECT_EQ(rows[1][0], u"I");
    EXPECT_EQ(rows.back()[0], u"T");
    EXPECT_EQ(linjer(be(l, u"OBS").text).at(0).at(8), u"N");
}

TEST(LoanResultsChanges, AlternativeTermsRefuseChangeLines) {
    TCalcLoan l;
    ASSERT_EQ(l.Input(std::u16string(kAnnuitet) + u";ENDRDTO=01.02.2030;RNTSATS=5"), 0);
    EXPECT_EQ(be(l, u"TERMBELOPVSLOPETID").code, 415);
    EXPECT_EQ(l.error(), 0);
}

}  // namespace

namespace {

// The calculator with the receiver of its course rows opened.
struct MedMottaker : TCalcLoan {
    using TSimuler::FMedMottaker;
};

// A schedule asked for first is written by the calculation's own run; when
// that run fails half-way (here: its term dates run past the last date of
// the day-number range), the schedule's receiver is not left behind for
// later runs, and the caller gets the error, not half a schedule.
TEST(ScheduleInTheCalculation, AFailedRunDropsTheReceiver) {
    MedMottaker l;
    ASSERT_EQ(l.Input(u"LBELOP=1000000;RNTSATS=4,5;LOPETID=25;UTBDTO=01.01.2110"), 0);
    const Svar s = be(l, u"NBPLAN", 200000, 99);
    EXPECT_NE(s.code, 0);
    EXPECT_EQ(s.text, u"");
    EXPECT_EQ(l.FMedMottaker, nullptr);
}

}  // namespace

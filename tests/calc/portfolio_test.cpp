// The portfolio calculator against its loans' own results and against
// figures worked out independently.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "calc/errors/calc_errors.h"
#include "calc/loan/calc_loan.h"
#include "calc/portfolio/portfolio.h"
#include "common/utils/error.h"
#include "tests/support/plan_tekst.h"

using namespace mirvo::beregning;
using testplan::linjer;
using testplan::Rad;
using testplan::tall;

namespace {

constexpr char16_t kAnnuitet[] = u"LBELOP=500000;LOPETID=2;RNTSATS=5;UTBDTO=15.01.2025";
constexpr char16_t kSerieKvartal[] =
    u"LBELOP=300000;LOPETID=3;RNTSATS=3;UTBDTO=15.01.2025;LNTYPE=S;TERMPRAAR=4;PROVISJON=50";
// Same disbursement and first due date as kAnnuitet.
constexpr char16_t kAnnuitetKort[] = u"LBELOP=300000;LOPETID=1;RNTSATS=3;UTBDTO=15.01.2025";

std::unique_ptr<TCalcLoan> laan(std::u16string_view input) {
    auto l = kavelin::finans::TRntDato::create<TCalcLoan>();
    EXPECT_EQ(l->Input(input), 0);
    return l;
}

struct Svar {
    uint16_t code;
    std::u16string text;
};

Svar be(TPortfolio& p, std::u16string_view id, uint16_t param = 0, bool fmt = false, uint32_t cap = 400000) {
    std::u16string buf(cap, u'\0');
    buf[0] = u'#';
    p.FFormatertOutput = fmt;
    uint16_t code = p.getResult(id, param, TResultDest{buf.data(), cap});
    p.FFormatertOutput = false;
    return {code, std::u16string(buf.c_str())};
}

std::u16string eget(TCalcLoan& l, std::u16string_view id, uint16_t param = 0) {
    std::u16string t;
    EXPECT_EQ(l.GetResult(id, param, t), 0) << std::string(id.begin(), id.end());
    return t;
}

bool erSum(const Rad& r) { return r[0] == u"M" || r[0] == u"A" || r[0] == u"S"; }

std::vector<Rad> rader(const std::u16string& plan, bool summer) {
    std::vector<Rad> out;
    for (auto& r : linjer(plan))
        if (erSum(r) == summer) out.push_back(r);
    return out;
}

void sammeTall(const Rad& a, const Rad& b, size_t fra) {
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = fra; i < a.size(); ++i) EXPECT_NEAR(tall(a[i]), tall(b[i]), 1e-9) << i;
}

// ---- one loan ----------------------------------------------------------------

TEST(Portfolio, OneLoanGivesTheLoansOwnFigures) {
    for (const char16_t* input : {kAnnuitet, kSerieKvartal}) {
        SCOPED_TRACE(std::string(input, input + std::char_traits<char16_t>::length(input)));
        auto alene = laan(input);
        auto medlem = laan(input);
        TPortfolio p;
        p.add(medlem.get());

        for (const char16_t* id : {u"LBELOP", u"TSUMRNT", u"TSUMINNB", u"TSUMGB", u"EFFRNT", u"SNITTRNT1",
                                   u"TERMBELOP", u"INNBET1"}) {
            Svar s = be(p, id);
            ASSERT_EQ(s.code, 0);
            EXPECT_NEAR(tall(s.text), tall(eget(*alene, id)), 1e-9) << std::string(id, id + 6);
        }
        for (const char16_t* id : {u"INFRDTO", u"LOPETID"}) EXPECT_EQ(be(p, id).text, eget(*alene, id));

        // The schedule: the same lines, and sums of the same amounts.
        Svar plan = be(p, u"NBPLAN", 99);
        ASSERT_EQ(plan.code, 0);
        const std::u16string egen = eget(*alene, u"NBPLAN", 99);
        auto a = rader(plan.text, false), b = rader(egen, false);
        ASSERT_EQ(a.size(), b.size());
        for (size_t i = 0; i < a.size(); ++i) {
            EXPECT_EQ(a[i][0], b[i][0]);
            EXPECT_EQ(a[i][1], b[i][1]);
            sammeTall(a[i], b[i], 2);
        }
        auto sa = rader(plan.text, true), sb = rader(egen, true);
        ASSERT_EQ(sa.size(), sb.size());
        for (size_t i = 0; i < sa.size(); ++i) {
            EXPECT_EQ(sa[i][0], sb[i][0]);
            sammeTall(sa[i], sb[i], 2);
        }
    }
}

// ---- two loans -------------------------------------------------------------------

class ToLaan : public ::testing::Test {
protected:
    void SetUp() override {
        a = laan(kAnnuitet);
        b = laan(kSerieKvartal);
        p.add(a.get());
        p.add(b.get());
    }
    std::unique_ptr<TCalcLoan> a, b;
    TPortfolio p;
};

TEST_F(ToLaan, SumsAreTheLoansSums) {
    for (const char16_t* id : {u"LBELOP", u"LOANAMOUNT", u"TSUMRNT", u"SUMINT", u"TSUMINNB", u"TSUMGB"}) {
        Svar s = be(p, id);
        ASSERT_EQ(s.code, 0);
        EXPECT_NEAR(tall(s.text), tall(eget(*a, id)) + tall(eget(*b, id)), 1e-9);
    }
    EXPECT_EQ(be(p, u"LBELOP").text, u"800000");
    EXPECT_EQ(be(p, u"LBELOP", 0, true).text, u"800 000");
    // Term amounts of loans that pay on different days do not add up.
    Svar t = be(p, u"TERMBELOP");
    EXPECT_EQ(t.code, 0);
    EXPECT_EQ(t.text, u"");
}

TEST_F(ToLaan, RateOfTheMergedFlows) {
    auto flyt = testplan::flytFraPlan(eget(*a, u"NBPLAN", 99));
    auto fb = testplan::flytFraPlan(eget(*b, u"NBPLAN", 99));
    flyt.insert(flyt.end(), fb.begin(), fb.end());
    const double forventet = testplan::effRente(testplan::flett(flyt));
    Svar s = be(p, u"APR");
    ASSERT_EQ(s.code, 0);
    EXPECT_NEAR(tall(s.text), forventet, 0.0006);
    // Between the two loans' own rates.
    EXPECT_GT(tall(s.text), std::min(tall(eget(*a, u"EFFRNT")), tall(eget(*b, u"EFFRNT"))));
    EXPECT_LT(tall(s.text), std::max(tall(eget(*a, u"EFFRNT")), tall(eget(*b, u"EFFRNT"))));
}

TEST_F(ToLaan, SpanAndFirstYearRate) {
    // The serial loan runs three years from 15.01.2025.
    EXPECT_EQ(be(p, u"INFRDTO").text, u"15.01.2028");
    EXPECT_EQ(be(p, u"LOPETID").text, eget(*b, u"LOPETID"));
    // 500 000 at 5 % and 300 000 at 3 %: (25 000 + 9 000) / 800 000.
    EXPECT_EQ(be(p, u"SNITTRNT1").text, u"4,250");
}

TEST_F(ToLaan, AddingALoanLaterCountsIt) {
    TPortfolio en;
    en.add(a.get());
    const double alene = tall(be(en, u"EFFRNT").text);
    en.add(b.get());
    EXPECT_NE(tall(be(en, u"EFFRNT").text), alene);
    EXPECT_EQ(be(en, u"EFFRNT").text, be(p, u"EFFRNT").text);
}

// Month sums: one per calendar month under its last day, each holding that
// month's amounts; together they make the total.
TEST_F(ToLaan, MonthSumsCoverEveryMonth) {
    Svar plan = be(p, u"NBPLAN", 99);
    ASSERT_EQ(plan.code, 0);
    auto alle = linjer(plan.text);
    std::vector<Rad> mnd;
    for (auto& r : alle) {
        EXPECT_TRUE(erSum(r)) << "no detail lines when the first due dates differ";
        if (r[0] == u"M") mnd.push_back(r);
    }
    ASSERT_EQ(alle.back()[0], u"S");
    EXPECT_EQ(alle.back()[1], u"31.01.2028");
    // January 2025 .. January 2028.
    ASSERT_EQ(mnd.size(), 37u);
    int y = 2025, m = 1;
    double sum[4] = {0, 0, 0, 0};
    for (auto& r : mnd) {
        testplan::Dato d = testplan::dato(r[1]);
        EXPECT_EQ(d, (testplan::Dato{testplan::dagerIMnd(y, m), m, y}));
        if (++m > 12) m = 1, ++y;
        for (int j = 0; j < 4; ++j) sum[j] += tall(r[size_t(2 + j)]);
    }
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(sum[j], tall(alle.back()[size_t(2 + j)]), 1e-6) << j;
    // The paid-in total is both loans' paid-in sums; the balance ends at 0.
    EXPECT_NEAR(sum[0], tall(eget(*a, u"TSUMINNB")) + tall(eget(*b, u"TSUMINNB")), 1e-6);
    EXPECT_EQ(tall(alle.back()[6]), 0);
    // March 2025 has the annuity's row only: its balance is the two balances.
    const Rad& mars = mnd[2];
    auto ea = rader(eget(*a, u"NBPLAN", 99), false);
    EXPECT_NEAR(tall(mars[6]), tall(ea[2][6]) + 300000, 1e-6);
}

TEST_F(ToLaan, YearLimitKeepsYearSumsAndTotal) {
    auto plan = linjer(be(p, u"NBPLAN", 1).text);
    int mnd = 0, aar = 0;
    for (auto& r : plan) {
        mnd += r[0] == u"M";
        aar += r[0] == u"A";
    }
    EXPECT_EQ(mnd, 12);  // January to December 2025
    EXPECT_EQ(aar, 4);   // 2025, 2026, 2027 and January 2028
    EXPECT_EQ(plan.back()[0], u"S");
}

// Relative sums follow loan months counted from the first disbursement.
TEST_F(ToLaan, RelativeMonthsFromTheDisbursement) {
    auto plan = linjer(be(p, u"NBPLAN_REL", 99).text);
    ASSERT_GE(plan.size(), 3u);
    EXPECT_EQ(plan[0][0], u"M");
    EXPECT_EQ(plan[0][1], u"15.02.2025");
    EXPECT_EQ(plan[1][1], u"15.03.2025");
    Rad foersteAar;
    for (auto& r : plan)
        if (r[0] == u"A") {
            foersteAar = r;
            break;
        }
    ASSERT_FALSE(foersteAar.empty());
    EXPECT_EQ(foersteAar[1], u"15.01.2026");
    EXPECT_EQ(plan.back()[0], u"S");
    EXPECT_EQ(plan.back()[1], u"15.01.2028");
}

// ---- loans paying on the same days ----------------------------------------

TEST(Portfolio, SameDatesMergeDetailLines) {
    auto a = laan(kAnnuitet), b = laan(kAnnuitetKort);
    TPortfolio p;
    p.add(a.get());
    p.add(b.get());
    Svar plan = be(p, u"NBPLAN", 99);
    ASSERT_EQ(plan.code, 0);
    auto ra = rader(eget(*a, u"NBPLAN", 99), false), rb = rader(eget(*b, u"NBPLAN", 99), false);
    auto rp = rader(plan.text, false);
    // Every line of the shorter loan falls on a line of the longer one.
    ASSERT_EQ(rp.size(), ra.size());
    for (size_t i = 0; i < rp.size(); ++i) {
        EXPECT_EQ(rp[i][1], ra[i][1]);
        for (size_t j = 2; j < 7; ++j) {
            const double andre = i < rb.size() ? tall(rb[i][j]) : 0;
            // The balance column is the two balances; the others add.
            EXPECT_NEAR(tall(rp[i][j]), tall(ra[i][j]) + andre, 1e-6) << i << "/" << j;
        }
    }
    auto summer = rader(plan.text, true);
    ASSERT_FALSE(summer.empty());
    EXPECT_EQ(summer.back()[0], u"S");
    EXPECT_EQ(summer[0][0], u"A");
    EXPECT_EQ(summer[0][1], u"31.12.2025");
    EXPECT_EQ(tall(be(p, u"TERMBELOP").text), tall(eget(*a, u"TERMBELOP")) + tall(eget(*b, u"TERMBELOP")));

    Svar fmt = be(p, u"NBPLAN", 99, true);
    EXPECT_EQ(linjer(fmt.text)[0][0], u"Utbetaling");
    EXPECT_EQ(linjer(fmt.text).back()[0], u"Totalsum");
    EXPECT_EQ(linjer(fmt.text)[0][6], u"800 000");
}

// A month without any row between months with rows gets a zero row that
// shows the balances as they stood.
TEST(Portfolio, EmptyMonthBetweenRowsIsAZeroRow) {
    auto a = laan(u"LBELOP=100000;LOPETID=1;RNTSATS=4;UTBDTO=10.03.2025;TERMPRAAR=4");
    auto b = laan(u"LBELOP=100000;LOPETID=1;RNTSATS=4;UTBDTO=10.03.2025;TERMPRAAR=4;FORFDTO=10.05.2025");
    TPortfolio p;
    p.add(a.get());
    p.add(b.get());
    auto plan = linjer(be(p, u"NBPLAN", 99).text);
    std::vector<Rad> mnd;
    for (auto& r : plan)
        if (r[0] == u"M") mnd.push_back(r);
    ASSERT_GE(mnd.size(), 5u);
    EXPECT_EQ(mnd[0][1], u"31.03.2025");
    EXPECT_EQ(mnd[1][1], u"30.04.2025");  // no rows in April
    for (size_t j = 2; j < 6; ++j) EXPECT_EQ(tall(mnd[1][j]), 0) << j;
    EXPECT_EQ(tall(mnd[1][6]), 200000);
    EXPECT_EQ(mnd[2][1], u"31.05.2025");
    EXPECT_GT(tall(mnd[2][2]), 0);
}

// ---- failures and the empty portfolio -------------------------------------

TEST(Portfolio, EmptyPortfolio) {
    TPortfolio p;
    for (const char16_t* id : {u"LBELOP", u"TERMBELOP", u"TSUMRNT"}) {
        Svar s = be(p, id);
        EXPECT_EQ(s.code, 0);
        EXPECT_EQ(s.text, u"");
    }
    EXPECT_EQ(be(p, u"SNITTRNT1").text, u"0,000");
    EXPECT_EQ(be(p, u"EFFRNT").text, u"NAN");
    Svar plan = be(p, u"NBPLAN", 99);
    EXPECT_EQ(plan.code, 0);
    EXPECT_EQ(plan.text, u"S;\n");
}

TEST(Portfolio, UnknownIdentifierSticks) {
    auto a = laan(kAnnuitet);
    TPortfolio p;
    p.add(a.get());
    EXPECT_EQ(be(p, u"NOSUCH").code, 203);
    Svar s = be(p, u"LBELOP");
    EXPECT_EQ(s.code, 203);
    EXPECT_EQ(s.text, u"");
    EXPECT_EQ(p.FErr, 203);
    // The loan itself is untouched.
    EXPECT_EQ(eget(*a, u"LBELOP"), u"500000");
}

TEST(Portfolio, FailingLoanGivesItsCode) {
    auto a = laan(kAnnuitet);
    auto b = laan(u"LBELOP=100000;RNTSATS=5");  // no term, no date
    TPortfolio p;
    p.add(a.get());
    p.add(b.get());
    const uint16_t code = be(p, u"LBELOP").code;
    EXPECT_NE(code, 0);
    EXPECT_EQ(code, b->error());
    EXPECT_EQ(be(p, u"EFFRNT").code, code);
}

TEST(Portfolio, MarginScheduleTheLoansCannotMake) {
    // The loans compare only their own schedules: the portfolio ends with
    // their 203.
    for (const char16_t* id : {u"IRB_SCHEDULE_REL", u"MFORLOPR"}) {
        auto a = laan(kAnnuitet);
        TPortfolio p;
        p.add(a.get());
        EXPECT_EQ(be(p, id, 99).code, 203);
    }
}

TEST(Portfolio, ScheduleBufferFailuresCarryMessages) {
    auto a = laan(kAnnuitet), b = laan(kSerieKvartal);
    TPortfolio p;
    p.add(a.get());
    p.add(b.get());
    // Too small to start: the writer's own message.
    EXPECT_THROW(be(p, u"NBPLAN", 99, false, 1000), std::runtime_error);
    // Room to start but not for the whole schedule.
    try {
        be(p, u"NBPLAN", 99, false, 1300);
        ADD_FAILURE() << "no failure";
    } catch (const EMirvo& e) {
        EXPECT_STREQ(e.what(), "For liten beregningsbuffer!");
    }
    EXPECT_EQ(p.FErr, 0);
}

// A loan whose schedule shows a date that cannot be read.
class UleseligDato : public TCalcLoan {
protected:
    uint16_t answer(std::u16string_view id, uint16_t funcParam, const TResultDest& dest) override {
        if (id == u"NBPLAN") {
            dest.writeScalar(u"D;15.01.2025;0;0;0;0;100\nT;1x.02.2025;1;1;0;0;100\n");
            return 0;
        }
        return TCalcLoan::answer(id, funcParam, dest);
    }
};

TEST(Portfolio, UnreadableDateInALoansSchedule) {
    auto a = kavelin::finans::TRntDato::create<UleseligDato>();
    ASSERT_EQ(a->Input(kAnnuitet), 0);
    TPortfolio p;
    p.add(a.get());
    try {
        be(p, u"NBPLAN", 99);
        ADD_FAILURE() << "no failure";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "Ikke gyldig datostreng! (1x.02.2025)");
    }
}

TEST(Portfolio, PortfolioNeverFreesItsLoans) {
    auto a = laan(kAnnuitet);
    {
        TPortfolio p;
        p.add(a.get());
        EXPECT_EQ(be(p, u"LBELOP").text, u"500000");
    }
    EXPECT_EQ(eget(*a, u"LBELOP"), u"500000");
}

}  // namespace

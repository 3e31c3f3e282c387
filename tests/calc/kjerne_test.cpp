// The calculation core driven directly, against figures worked out by hand
// or from the textbook formulas.
#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <limits>
#include <random>
#include <cstring>
#include <vector>

#include "calc/kjerne/avrunding.h"
#include "calc/loan/calc_loan.h"
#include "common/finans/rente360.h"

using namespace mirvo::beregning;
using kavelin::finans::Datorec;
using kavelin::finans::TWordDate;

namespace {

// The inner core with its protected steps opened for testing.
struct Kjerne : TSimuler {
    using TInnerKjerne::renteberegn;
};

struct Rad {
    int type;
    TWordDate dato;
    utrectype r;
};

struct Opptak : TRadMottaker {
    std::vector<Rad> rader;
    void rad(int t, TWordDate d, const utrectype& r, const saldoar&) override { rader.push_back({t, d, r}); }
    std::vector<Rad> av(int type) const {
        std::vector<Rad> ut;
        for (const auto& r : rader)
            if (r.type == type) ut.push_back(r);
        return ut;
    }
};

// A loan through the input side, calculated, with its rows recorded.
struct Laan {
    TCalcLoan calc;
    Opptak opptak;
    uint16_t feil = 0;
    explicit Laan(std::u16string_view input) {
        feil = calc.Input(input);
        if (!feil) feil = calc.kalkuler();
        if (!feil) calc.Utlaanrapport(99, feil, &opptak);
    }
    const beregnatype& res() const { return calc.NBLN.nlberegna; }
};

double annuitet(double K, double r, int n) { return K * r * std::pow(1 + r, n) / (std::pow(1 + r, n) - 1); }

TEST(Avrunding, RulesAndRepresentation) {
    EXPECT_EQ(avrund(100.7, 1, kAvrundNed), 100);
    EXPECT_EQ(avrund(100.2, 1, kAvrundOpp), 101);
    EXPECT_EQ(avrund(101.0, 1, kAvrundOpp), 101);  // a whole amount stays
    EXPECT_EQ(avrund(100.5, 1, kAvrundNaermeste), 100);
    EXPECT_EQ(avrund(101.5, 1, kAvrundNaermeste), 102);
    EXPECT_DOUBLE_EQ(avrund(123.45, 0.01, kAvrundNed), 123.45);
    EXPECT_DOUBLE_EQ(avrund(0.29, 0.01, kAvrundOpp), 0.29);
}

// The rounding rule as written, without shortcuts: the nearest whole
// quotient when it is within a hair, else down, up or to nearest.
double avrundSomRegel(double x, double enhet, uint8_t regel) {
    if (!(enhet > 0)) enhet = 1;
    double q = x / enhet;
    const double naermeste = std::fabs(q) < 4503599627370496.0 ? std::nearbyint(q) : q;
    const double grense = 1e-9 * std::max(std::fabs(q), 1.0);
    if (std::fabs(q - naermeste) <= grense) q = naermeste;
    else if (regel == kAvrundNed) q = std::fabs(q) < 9.2e18 ? std::trunc(q) : q;
    else if (regel == kAvrundOpp) q = std::fabs(q) < 9.2e18 ? std::ceil(q) : q;
    else q = naermeste;
    return q * enhet + 0.0;
}

// Every rule and unit against the rule as written, bit for bit: random
// amounts of every size and sign, whole and half amounts, amounts a hair
// from a whole unit on either side, and amounts past the shortcuts' range.
TEST(Avrunding, SameAsTheRuleAsWritten) {
    std::mt19937_64 rng(20261211);
    std::vector<double> verdier = {0.0, -0.0, 0.5, -0.5, 1.5, 2.5, -2.5, 0.49999999999, 4.99999999999e8,
                                   5e8, 5e8 + 0.75, -5e8 - 0.75, 5e8 + 1.5, 1e9 + 1.5, -1e9 - 1.5,
                                   1e15 + 0.5, 3e18, 1e300,
                                   std::numeric_limits<double>::infinity(), std::nan("")};
    for (int i = 0; i < 20000; ++i) {
        const double storrelse = std::pow(10.0, std::uniform_real_distribution<double>(-3, 10)(rng));
        const double x = (rng() & 1 ? 1 : -1) * storrelse;
        verdier.push_back(x);
        const double hel = std::trunc(x);
        for (double haar : {1e-12, 1e-10, 1e-9, 2e-9})
            for (double v : {hel + haar * std::max(1.0, std::fabs(hel)), hel - haar * std::max(1.0, std::fabs(hel)),
                             hel + 1 - haar * std::max(1.0, std::fabs(hel))})
                verdier.push_back(v);
    }
    for (double enhet : {1.0, 0.01, 10.0, 0.0})
        for (uint8_t regel : {kAvrundNed, kAvrundNaermeste, kAvrundOpp})
            for (double x : verdier) {
                const double a = avrund(x, enhet, regel), b = avrundSomRegel(x, enhet, regel);
                ASSERT_TRUE(std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b)))
                    << x << " " << enhet << " " << int(regel) << ": " << a << " vs " << b;
            }
}

TEST(Renteberegning, RoundingAndCarriedRemainder) {
    Kjerne k;
    k.RntRndFaktor = 1;
    k.renteAvrunding = kAvrundNed;
    k.renteDesimalOpploesning = 65535;
    // 100000 at 5 % for 30 days on 360: 416.666...
    TRenteSaldo s;
    k.renteberegn(30, 3600, s, 5000, 100000);
    EXPECT_EQ(s.belop, 416);
    EXPECT_NEAR(s.rest, 2.0 / 3, 1.0 / 65535);
    // The remainder joins the next accrual: 416.666 + 0.666 = 417.33.
    k.renteberegn(30, 3600, s, 5000, 100000);
    EXPECT_EQ(s.belop, 416 + 417);

    // 100.7 booked as 100, 0.7 carried to 1/65535.
    TRenteSaldo t;
    k.renteberegn(360, 3600, t, 10070, 1000);
    EXPECT_EQ(t.belop, 100);
    EXPECT_NEAR(t.rest, 0.7, 1.0 / 65535);

    // Without resolution a remainder of exactly 1 (unit 2) is booked at once.
    k.renteDesimalOpploesning = 0;
    k.RntRndFaktor = 2;
    TRenteSaldo u;
    k.renteberegn(360, 3600, u, 10000, 1010);  // 101.0 -> 100 and 1
    EXPECT_DOUBLE_EQ(u.belop, 101);
    EXPECT_EQ(u.rest, 0);
}

TEST(Kjerne, AnnuityAgainstTextbookIn30360) {
    Laan l(u"LBELOP=1000000;RNTSATS=5;LOPETID=25;UTBDTO=15.01.2025;FORFDTO=15.02.2025;RNTBROEK=360/360");
    ASSERT_EQ(l.feil, 0);
    const double bok = annuitet(1e6, 0.05 / 12, 300);  // 5845.90
    EXPECT_EQ(l.res().termbelop3, 5846);
    EXPECT_NEAR(l.res().termbelop3, bok, 1);
    EXPECT_EQ(l.res().innfridato, Datorec::ymd(2050, 1, 15));
    EXPECT_EQ(l.calc.totantterm, 300);
    EXPECT_NEAR(l.res().effektivrente, (std::pow(1 + 0.05 / 12, 12) - 1) * 100, 0.001);

    // First term: 1000000 * 5 % / 12 = 4166.67, booked down to 4166.
    auto terminer = l.opptak.av(110);
    ASSERT_EQ(terminer.size(), 300u);
    EXPECT_EQ(terminer[0].r.renter, 4166);
    EXPECT_EQ(terminer[0].r.avdrag, 5846 - 4166);
    // The last payment closes the loan and is not above an ordinary one.
    EXPECT_EQ(terminer.back().r.ksaldo, 0);
    EXPECT_LE(terminer.back().r.innb, 5846);
    double avdrag = 0;
    for (const auto& t : terminer) avdrag += t.r.avdrag;
    EXPECT_NEAR(avdrag, 1e6, 1e-6);
}

TEST(Kjerne, SecantResultIsTheSmallestPayingAmount) {
    const std::u16string basis = u"LBELOP=750000;RNTSATS=3,9;UTBDTO=10.03.2025;RNTBROEK=360/360";
    Laan l(basis + u";LOPETID=15");
    ASSERT_EQ(l.feil, 0);
    const double A = l.res().termbelop3;
    EXPECT_NEAR(A, annuitet(750000, 0.039 / 12, 180), 1);
    // With the solved amount the last payment is no more than an ordinary
    // one; one unit less needs a larger last payment to close the loan.
    EXPECT_LE(l.opptak.av(110).back().r.innb, A);
    std::u16string tekst = basis + u";TERMBELOP=";
    for (char c : std::to_string(int(A) - 1)) tekst += char16_t(c);
    Laan mindre(tekst);
    ASSERT_EQ(mindre.feil, 0);
    EXPECT_GT(mindre.opptak.av(110).back().r.innb, A - 1);
}

TEST(Kjerne, ClosedFormulaAnnuity) {
    Laan l(u"LBELOP=600000;RNTSATS=6;LOPETID=10;UTBDTO=01.01.2025;TERMBRGN=1;RNTBROEK=360/360");
    ASSERT_EQ(l.feil, 0);
    EXPECT_EQ(l.res().termbelop3, std::nearbyint(annuitet(600000, 0.005, 120)));  // 6661.23
    Laan null(u"LBELOP=120000;RNTSATS=0;LOPETID=10;UTBDTO=01.01.2025;TERMBRGN=1");
    ASSERT_EQ(null.feil, 0);
    EXPECT_EQ(null.res().termbelop3, 1000);
    Laan slutt(u"LBELOP=600000;RNTSATS=6;LOPETID=10;UTBDTO=01.01.2025;TERMBRGN=1;SLUTTSALDO=1000");
    EXPECT_EQ(slutt.feil, 410);
}

TEST(Kjerne, SerialInstalmentWithSkippedMonth) {
    Laan l(u"LBELOP=120000;RNTSATS=5;LOPETID=1;LNTYPE=S;UTBDTO=01.01.2025;TERMRNDREGEL=1");
    ASSERT_EQ(l.feil, 0);
    EXPECT_EQ(l.res().termbelop3, 10000);
    Laan hopp(u"LBELOP=120000;RNTSATS=5;LOPETID=1;LNTYPE=S;UTBDTO=01.01.2025;TERMRNDREGEL=1;OVERHOPP=7");
    ASSERT_EQ(hopp.feil, 0);
    EXPECT_EQ(hopp.res().termbelop3, 10909);  // 120000 / 11
    Laan opp(u"LBELOP=120000;RNTSATS=5;LOPETID=1;LNTYPE=S;UTBDTO=01.01.2025;TERMRNDREGEL=2;OVERHOPP=7");
    EXPECT_EQ(opp.res().termbelop3, 10910);

    // The July term repays nothing, but its interest is still paid.
    for (const auto& t : hopp.opptak.av(110)) {
        if (hopp.calc.getMonth(t.dato) == 7) {
            EXPECT_EQ(t.r.avdrag, 0);
            EXPECT_GT(t.r.renter, 0);
            EXPECT_EQ(t.r.innb, t.r.renter);
        }
    }
}

TEST(Kjerne, UnpaidInterestOfAShortPayment) {
    // 100000 at 12 % on 360: 1000 interest a month; payments of 600 cover part.
    const char16_t* basis = u"LBELOP=100000;RNTSATS=12;TERMBELOP=600;UTBDTO=01.01.2025;RNTBROEK=360/360;ANNTERMKOR=0";
    TCalcLoan utenKorr;
    ASSERT_EQ(utenKorr.Input(basis), 0);
    // Without a payoff date the course never ends: error 2 after 30000 days.
    EXPECT_EQ(utenKorr.kalkuler(), 2);
}

TEST(Kjerne, ObservationRowsAroundADueDate) {
    Laan l(u"LBELOP=100000;RNTSATS=5;LOPETID=2;UTBDTO=15.01.2025;OBSDATO=15.06.2025");
    ASSERT_EQ(l.feil, 0);
    const TWordDate obs = l.calc.Dato2RDato(Datorec::ymd(2025, 6, 15));
    int foer = -1, termin = -1, etter = -1;
    for (size_t i = 0; i < l.opptak.rader.size(); ++i) {
        const auto& r = l.opptak.rader[i];
        if (r.dato != obs) continue;
        if (r.type == 190) foer = int(i);
        if (r.type == 110) termin = int(i);
        if (r.type == 191) etter = int(i);
    }
    ASSERT_GE(foer, 0);
    EXPECT_LT(foer, termin);
    EXPECT_LT(termin, etter);
}

TEST(Kjerne, RunsLeaveTheStateAndRepeat) {
    Laan l(u"LBELOP=300000;RNTSATS=4;LOPETID=10;UTBDTO=01.02.2025;ENDRDTO=01.02.2027;RNTSATS=6");
    ASSERT_EQ(l.feil, 0);
    const auto foer = l.opptak.rader;
    Opptak igjen;
    uint16_t feil = 0;
    l.calc.Utlaanrapport(99, feil, &igjen);
    ASSERT_EQ(feil, 0);
    ASSERT_EQ(igjen.rader.size(), foer.size());
    for (size_t i = 0; i < foer.size(); ++i) {
        EXPECT_EQ(igjen.rader[i].type, foer[i].type);
        EXPECT_EQ(igjen.rader[i].r.innb, foer[i].r.innb);
        EXPECT_EQ(igjen.rader[i].r.ksaldo, foer[i].r.ksaldo);
    }
    // The rate change gives a new, higher term amount from 2027.
    const auto t = l.opptak.av(110);
    EXPECT_GT(t.back().r.innb + t[t.size() - 2].r.innb, 0);
    EXPECT_GT(t[30].r.innb, t[0].r.innb);
}

TEST(Kjerne, ExtraRepaymentKeepsAmountAndShortensTheLoan) {
    Laan uten(u"LBELOP=500000;RNTSATS=5;LOPETID=20;UTBDTO=01.01.2025");
    Laan med(u"LBELOP=500000;RNTSATS=5;LOPETID=20;UTBDTO=01.01.2025;ENDRDTO=15.06.2026;XORDINB=100000");
    ASSERT_EQ(uten.feil, 0);
    ASSERT_EQ(med.feil, 0);
    EXPECT_EQ(med.res().termbelop3, uten.res().termbelop3);
    EXPECT_LT(med.res().innfridato.L, uten.res().innfridato.L);
    const auto ekstra = med.opptak.av(140);
    ASSERT_EQ(ekstra.size(), 1u);
    EXPECT_EQ(ekstra[0].r.innb, 100000);
}

TEST(Kjerne, RepeatedTermsOnATermDateLeaveTheCourseUnchanged) {
    Laan uten(u"LBELOP=400000;RNTSATS=4,5;LOPETID=15;UTBDTO=01.03.2025");
    Laan med(u"LBELOP=400000;RNTSATS=4,5;LOPETID=15;UTBDTO=01.03.2025;ENDRDTO=01.04.2027;RNTSATS=4,5");
    ASSERT_EQ(uten.feil, 0);
    ASSERT_EQ(med.feil, 0);
    const auto a = uten.opptak.av(110), b = med.opptak.av(110);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].dato, b[i].dato);
        EXPECT_EQ(a[i].r.innb, b[i].r.innb);
        EXPECT_EQ(a[i].r.ksaldo, b[i].r.ksaldo);
    }
}

TEST(Kjerne, DisbursementOnTheThirtyFirst) {
    // Day counts default to the calendar, so the 31st is a valid date and the
    // first due date falls on the last day of February.
    Laan l(u"LBELOP=200000;RNTSATS=5;LOPETID=10;UTBDTO=31.01.2025");
    ASSERT_EQ(l.feil, 0);
    EXPECT_EQ(l.calc.EL(0).forfallsdato, Datorec::ymd(2025, 2, 28));
    Laan m(u"LBELOP=200000;RNTSATS=5;LOPETID=10;UTBDTO=30.01.2025");
    ASSERT_EQ(m.feil, 0);
    EXPECT_EQ(m.calc.EL(0).forfallsdato, Datorec::ymd(2025, 2, 28));
}

}  // namespace

namespace {

// Effective yearly rate of dated flows on 30/360 days, by bisection.
double effektivRente(const std::vector<std::pair<Datorec, double>>& flows) {
    auto npv = [&](double r) {
        double s = 0;
        for (const auto& [d, x] : flows)
            s += x * std::pow(1 + r, -kavelin::finans::Dager360(d, flows.front().first) / 360.0);
        return s;
    };
    double lo = -0.5, hi = 1.0;
    for (int i = 0; i < 200; ++i) {
        const double mid = (lo + hi) / 2;
        (npv(mid) > 0 ? lo : hi) = mid;
    }
    return lo * 100;
}

TEST(Kjerne, FirstTermCorrectionIsPaidOnce) {
    // First term 44 days instead of 30: the correction is 14 days' interest,
    // 1000000 * 5 % * 14 / 360 = 1944.44, booked down to 1944.
    Laan l(u"LBELOP=1000000;RNTSATS=5;LOPETID=25;UTBDTO=01.01.2025;FORFDTO=15.02.2025;RNTBROEK=360/360");
    ASSERT_EQ(l.feil, 0);
    const auto terminer = l.opptak.av(110);
    ASSERT_FALSE(terminer.empty());
    EXPECT_EQ(terminer[0].r.innb, l.res().termbelop3 + 1944);
    EXPECT_EQ(terminer[1].r.innb, l.res().termbelop3);
    // 44 days of interest: 6111.11, booked as 6111.
    EXPECT_EQ(terminer[0].r.renter, 6111);
}

TEST(Kjerne, EffectiveRateIsTheRateOfTheBookedFlows) {
    for (const char16_t* input :
         {u"LBELOP=500000;RNTSATS=4,2;LOPETID=20;UTBDTO=15.03.2025;ETBLGBYR=2500;PROVISJON=50;RNTBROEK=360/360",
          u"LBELOP=300000;RNTSATS=6;LOPETID=8;LNTYPE=S;UTBDTO=01.06.2025;ETBLGBYR=1000;RNTBROEK=360/360",
          u"LBELOP=800000;RNTSATS=3,5;LOPETID=15;UTBDTO=01.02.2025;AVDRFRIHETY=2;PROVISJON=75;RNTBROEK=360/360"}) {
        Laan l(input);
        ASSERT_EQ(l.feil, 0);
        std::vector<std::pair<Datorec, double>> flows;
        for (const auto& r : l.opptak.rader) {
            // Sum rows and observation rows carry totals, not flows.
            if (r.type == 130 || r.type == 131 || r.type == 150 || r.type == 190 || r.type == 191) continue;
            const double netto = r.r.innb - r.r.utb;
            if (netto != 0) flows.emplace_back(l.calc.RDato2Dato(r.dato), netto);
        }
        EXPECT_NEAR(l.res().effektivrente, effektivRente(flows), 0.0005);
        // Fees paid at disbursement raise the rate above the nominal one.
        EXPECT_GT(l.res().effektivrente, l.calc.EL(0).rente[0].sats);
    }
}

TEST(Kjerne, DisbursementOnThe29thDueAtTheEndOfFebruary) {
    Laan l(u"LBELOP=200000;RNTSATS=5;LOPETID=10;UTBDTO=29.01.2025");
    ASSERT_EQ(l.feil, 0);
    EXPECT_EQ(l.calc.EL(0).forfallsdato, Datorec::ymd(2025, 2, 28));
    Laan skudd(u"LBELOP=200000;RNTSATS=5;LOPETID=10;UTBDTO=31.01.2024");
    ASSERT_EQ(skudd.feil, 0);
    EXPECT_EQ(skudd.calc.EL(0).forfallsdato, Datorec::ymd(2024, 2, 29));
}

}  // namespace

namespace {

TEST(Kjerne, HugePeriodPartsAreRefusedNotWrapped) {
    // 20,000,000 years do not wrap into a short period: the term is too long.
    TCalcLoan l;
    ASSERT_EQ(l.Input(u"LBELOP=300000;RNTSATS=3,5;UTBDTO=01.02.2011;LOPETIDY=20000000"), 0);
    EXPECT_NE(l.kalkuler(), 0);
    EXPECT_EQ(l.IFO().loepetid, 65535);
}

}  // namespace

namespace {

TEST(Kjerne, AbsurdSecondPaymentIsTooLargeAnAmount) {
    TCalcLoan l;
    ASSERT_EQ(l.Input(u"LBELOP=600000;RNTSATS=4,5;TERMBELOP2=3000000000000000000000000;UTBDTO=01.03.2024"), 0);
    EXPECT_EQ(l.kalkuler(), 25);
}

}  // namespace

namespace {

// A calculator that counts the trial runs of its term-amount search.
struct SoekLaan : TCalcLoan {
    using TYtterKjerne::FProeveLogg;
    using TYtterKjerne::FProevekjoeringer;
};

struct Soek {
    uint16_t feil;
    double termbelop;
    Datorec innfri;
    uint64_t proever;
};

Soek sok(const std::u16string& input) {
    SoekLaan l;
    Soek s{l.Input(input), 0, {}, 0};
    if (!s.feil) s.feil = l.kalkuler();
    s.termbelop = l.NBLN.nlberegna.termbelop3;
    s.innfri = l.NBLN.nlberegna.innfridato;
    s.proever = l.FProevekjoeringer;
    return s;
}

std::u16string u16(const std::string& s) { return std::u16string(s.begin(), s.end()); }

// The schedule of a loan with its term amount given.
struct Plan {
    Datorec innfri;
    double siste = 0, ordinaer = 0;  // the last payment and an ordinary one
    std::vector<Datorec> terminer;
};

Plan plan(const std::u16string& input, double termbelop) {
    Laan l(input + u";TERMBELOP=" + u16(std::to_string(int64_t(termbelop))));
    EXPECT_EQ(l.feil, 0);
    Plan p;
    p.innfri = l.res().innfridato;
    p.ordinaer = termbelop;  // a loan of one term has only the last payment
    for (const auto& t : l.opptak.av(110)) {
        if (!p.terminer.empty()) p.ordinaer = p.siste;
        p.terminer.push_back(l.calc.RDato2Dato(t.dato));
        p.siste = t.r.innb;
    }
    return p;
}

// Paid off by the target: closed by then, and either before the last term
// date up to it (the close-out rule may take the rest a term early) or with
// a last payment not above an ordinary one.
bool betalt(const Plan& p, Datorec sisteTermin, Datorec maal) {
    return p.innfri <= maal && (p.innfri < sisteTermin || p.siste <= p.ordinaer);
}

// The solved amount is the smallest whole amount that pays the loan off by
// its close-out date: checked by a second route, the same loan with that
// amount given and with one unit less. (A schedule tops a payment below a
// month's interest up with the interest, which the trial runs do not, so
// this route cannot judge loans whose payment is about the interest alone:
// the highest rate is not taken over 40 years.)
TEST(Kjerne, SolvedAmountIsTheSmallestThatPaysOff) {
    const char* belop[] = {"12000", "350000", "1000000", "3456789"};
    const char* satser[] = {"0,75", "2,5", "4,5", "7,9", "11,5"};
    const int tider[] = {1, 5, 25, 40};
    struct Variant {
        const char* tekst;
        int utbetalt;  // day of January or February the loan is paid out
        int mnd;
    };
    const Variant varianter[] = {{"", 1, 2},
                                 {";TERMLEN=3", 1, 2},
                                 {";TERMLEN=12", 31, 1},
                                 {";PROVISJON=45", 1, 2},
                                 {";RNTBROEK=366/366;FORFDTO=15.03.2025", 1, 2},
                                 {";DRIFTSSYS=DN", 1, 2},
                                 {";ETBLGBYR=2500;PROVISJON=60;PROVITERMB=1", 1, 2},
                                 {";ANNTERMKOR=2", 1, 2},
                                 {";TERMLEN=1;FORFDTO=20.02.2025", 1, 2}};
    int n = 0;
    for (const char* b : belop)
        for (const char* r : satser)
            for (int t : tider) {
                const Variant& v = varianter[n++ % std::size(varianter)];
                const std::string dag = (v.utbetalt < 10 ? "0" : "") + std::to_string(v.utbetalt);
                const std::u16string input = u16(std::string("LBELOP=") + b + ";RNTSATS=" + r + ";LOPETID=" +
                                                 std::to_string(t) + ";UTBDTO=" + dag + ".0" +
                                                 std::to_string(v.mnd) + ".2025" + v.tekst);
                if (t == 40 && r == satser[std::size(satser) - 1]) continue;
                SCOPED_TRACE(std::string(input.begin(), input.end()));
                const Soek s = sok(input);
                ASSERT_EQ(s.feil, 0);
                const Datorec maal = Datorec::ymd(2025 + t, v.mnd, v.utbetalt);
                // One unit less runs at least to the last term date up to the target.
                const Plan med = plan(input, s.termbelop), uten = plan(input, s.termbelop - 1);
                Datorec sisteTermin{};
                for (Datorec d : uten.terminer)
                    if (d <= maal) sisteTermin = d;
                EXPECT_TRUE(betalt(med, sisteTermin, maal));
                EXPECT_FALSE(betalt(uten, sisteTermin, maal));
                EXPECT_LE(s.proever, 6u);
            }
}

// Where the residual bends (a payment barely above the interest), a secant
// that stops once two amounts are a unit apart ended three units above the
// smallest amount, after 21 trials.
TEST(Kjerne, SolvedAmountWhereTheResidualBends) {
    const Soek s = sok(u"LBELOP=12000;UTBDTO=01.02.2025;RNTSATS=14,95;LOPETID=40;RNTBROEK=366/366;FORFDTO=15.03.2025");
    ASSERT_EQ(s.feil, 0);
    // 12000 at 14.95 % is 149.50 interest a month; 150 is the least amount
    // that repays anything after the interest rounded down, 149 is not.
    EXPECT_EQ(s.termbelop, 150);
    EXPECT_LE(s.proever, 4u);
}

// A term fee above one term's interest plus a straight share of the capital
// stalled the search from that start: every trial amount went to fees, the
// residuals were equal and the loan was refused as running too long. From
// the annuity amount plus the fee the loan is calculated.
TEST(Kjerne, TermFeeAboveTheAmountIsSolved) {
    const std::u16string input = u"LBELOP=12000;RNTSATS=2,5;LOPETID=40;UTBDTO=01.02.2025;PROVISJON=60;PROVITERMB=1";
    const Soek s = sok(input);
    ASSERT_EQ(s.feil, 0);
    // 12000 at 2.5 % over 480 months is 39.57 a month, plus the fee.
    EXPECT_NEAR(s.termbelop, 60 + annuitet(12000, 0.025 / 12, 480), 1.5);
    // Whole kroner of about 40 a month net of the fee: the last one falls
    // within the last year of the term.
    EXPECT_LE(s.innfri, Datorec::ymd(2065, 2, 1));
    EXPECT_GT(s.innfri, Datorec::ymd(2064, 2, 1));
}

// A plain 25-year annuity is found by two trial runs.
TEST(Kjerne, AnnuitySearchNeedsTwoTrials) {
    const Soek s = sok(u"LBELOP=1000000;RNTSATS=4,5;LOPETID=25;UTBDTO=01.02.2025");
    ASSERT_EQ(s.feil, 0);
    EXPECT_EQ(s.proever, 2u);
}

}  // namespace

namespace {

// The lean trial runs (amounts side by side, plain arithmetic after the
// first term) give every residual to the last bit as the general loop does.
TEST(Kjerne, LeanTrialsMatchTheGeneralLoop) {
    const char* belop[] = {"12000", "350000", "1000000", "3456789"};
    const char* satser[] = {"0,75", "4,5", "7,9", "14,95"};
    const char* varianter[] = {"",
                               ";TERMLEN=3",
                               ";TERMLEN=12;UTBDTO=31.01.2025",
                               ";PROVISJON=45",
                               ";PROVISJON=60;PROVISJON2=30;PROVTRINN2=200000",
                               ";RNTBROEK=366/366;FORFDTO=15.03.2025",
                               ";RNTBROEK=360/360;FORFDTO=15.03.2025",
                               ";RNTBROEK=365/365",
                               ";ETBLGBYR=2500;PROVISJON=60;PROVITERMB=1",
                               ";ANNTERMKOR=2",
                               ";SLUTTSALDO=5000",
                               ";RNTREST=0",
                               ";RNTRNDFAKT=0,01;RNTRNDREGEL=1",
                               ";TRRNTTYPE=1",
                               ";ENDRDTO=01.02.2027;RNTSATS=6,1",
                               ";AVDRFRIHETY=1",
                               ";DRIFTSSYS=DN"};
    int n = 0;
    for (const char* b : belop)
        for (const char* r : satser)
            for (const char* t : {"3", "25"})
                for (int k = 0; k < 2; ++k) {
                    const char* v = varianter[n++ % std::size(varianter)];
                    const std::u16string input = u16(std::string("LBELOP=") + b + ";RNTSATS=" + r + ";LOPETID=" + t +
                                                     ";UTBDTO=01.02.2025" + v);
                    SCOPED_TRACE(std::string(input.begin(), input.end()));
                    std::vector<std::pair<double, double>> logg[2];
                    double termbelop[2] = {};
                    uint16_t feil[2] = {};
                    for (int lean = 0; lean < 2; ++lean) {
                        SoekLaan l;
                        l.FEnkelTillatt = lean == 1;
                        l.FProeveLogg = &logg[lean];
                        feil[lean] = l.Input(input);
                        if (!feil[lean]) feil[lean] = l.kalkuler();
                        termbelop[lean] = l.NBLN.nlberegna.termbelop3;
                    }
                    EXPECT_EQ(feil[0], feil[1]);
                    EXPECT_EQ(termbelop[0], termbelop[1]);
                    ASSERT_EQ(logg[0].size(), logg[1].size());
                    for (size_t i = 0; i < logg[0].size(); ++i) {
                        EXPECT_EQ(logg[0][i].first, logg[1][i].first) << i;
                        EXPECT_EQ(logg[0][i].second, logg[1][i].second) << i;
                    }
                }
}

// The calculation keeps its totals and observation figures from interest
// rows on a short way (its collector takes no interest row without money
// moving); a course with every row in full gives the same figures.
TEST(Kjerne, CalculationFiguresMatchAFullCourse) {
    const char* varianter[] = {"",
                               ";OBSDATO=15.06.2027",
                               ";PROVISJON=45;ETBLGBYR=1500;OBSDATO=01.03.2026",
                               ";ENDRDTO=01.02.2027;RNTSATS=6,1;XORDINB=25000",
                               ";ENDRDTO=01.08.2026;XORDUTB=40000",
                               ";AVDRFRIHETY=2",
                               ";LNTYPE=S;PROVISJON=30",
                               ";RNTFRI=60;ANNTERMKOR=0",
                               ";TERMLEN=3;KAPITPER=3",
                               ";RNTSLDO=1234;RNTOVERFORT=50",
                               ";TERMLEN=6;RENTEBRGN=3;PROVISJON=75;DEPOTGEBYR=200",
                               ";DRIFTSSYS=DN"};
    for (const char* v : varianter)
        for (const char* basis : {"LBELOP=1000000;RNTSATS=4,5;LOPETID=25", "LBELOP=350000;RNTSATS=9,9;LOPETID=5"}) {
            const std::u16string input = u16(std::string(basis) + ";UTBDTO=01.02.2025" + v);
            SCOPED_TRACE(std::string(input.begin(), input.end()));
            TCalcLoan l;
            uint16_t feil = l.Input(input);
            if (!feil) feil = l.kalkuler();
            ASSERT_EQ(feil, 0);
            const double tall[] = {l.totsumINNB, l.totsumRNT, l.totsumGB};
            const TObsData obs[] = {l.obsBefore, l.obsAfter};

            Opptak opptak;
            l.Utlaanrapport(99, feil, &opptak);
            ASSERT_EQ(feil, 0);
            const auto total = opptak.av(trt::kTotal);
            ASSERT_EQ(total.size(), 1u);
            const double fraRader[] = {total[0].r.innb, total[0].r.renter + total[0].r.plrenteJustering,
                                       total[0].r.provisjon};
            EXPECT_EQ(0, std::memcmp(tall, fraRader, sizeof tall));
            const int obsTyper[] = {trt::kObsFoer, trt::kObsEtter};
            for (int i = 0; i < 2; ++i) {
                const auto rader = opptak.av(obsTyper[i]);
                if (rader.empty()) continue;
                const utrectype& r = rader.back().r;
                EXPECT_EQ(obs[i].saldo, r.ksaldo);
                EXPECT_EQ(obs[i].renter, r.renter + r.plrenteJustering);
                EXPECT_EQ(obs[i].avdrag, r.avdrag);
                EXPECT_EQ(obs[i].provisjon, r.provisjon);
                EXPECT_EQ(obs[i].plRenter.belop, r.plrenter.belop);
                EXPECT_EQ(obs[i].plRenter.rest, r.plrenter.rest);
                EXPECT_EQ(obs[i].plProvisjon, r.plprovisjon);
            }
        }
}

// Stretches of plain term dates and year ends run without the general
// loop's other tests; every row of the course, the calculation's figures
// and its effective rate stay the same to the last bit. The variants take
// the stretches to their edges: an observation date, change dates, a
// repayment-free period, capitalisation dates, interest-free days, skip
// months and interest in advance (the last ones keep the general loop).
TEST(Kjerne, PlainStretchesGiveTheGeneralLoopsRows) {
    const char* varianter[] = {"",
                               ";OBSDATO=15.06.2027",
                               ";ENDRDTO=01.02.2027;RNTSATS=6,1;ENDRDTO=01.08.2029;TERMBELOP=9000",
                               ";AVDRFRIHETY=2",
                               ";PROVISJON=45;ETBLGBYR=1500",
                               ";LNTYPE=S",
                               ";TERMLEN=3;FORFDTO=15.04.2025",
                               ";RNTBROEK=366/366;RNTRNDFAKT=0,01;RNTRNDREGEL=1",
                               ";TERMLEN=3;KAPITPER=3",
                               ";RNTFRI=60;ANNTERMKOR=0",
                               ";OVERHOPP=7",
                               ";RENTEBRGN=1",
                               ";RNTSATS2=12,5;RNTTRINN2=200000",
                               ";SLUTTSALDO=20000",
                               ";INSTDECR=10",
                               ";DRIFTSSYS=DN"};
    for (const char* v : varianter)
        for (const auto& [basis, alltidGyldig] :
             {std::pair{"LBELOP=1000000;RNTSATS=4,5;LOPETID=25", true},
              std::pair{"LBELOP=350000;RNTSATS=9,9;LOPETID=5", false},
              std::pair{"TERMBELOP=5558;RNTSATS=4,5;LOPETID=25", false}}) {
            const std::u16string input = u16(std::string(basis) + ";UTBDTO=01.02.2025" + v);
            SCOPED_TRACE(std::string(input.begin(), input.end()));
            std::vector<Rad> rader[2];
            beregnatype res[2];
            uint16_t feil[2] = {};
            double effrente[2] = {};
            for (int jevn = 0; jevn < 2; ++jevn) {
                TCalcLoan l;
                l.FEnkelTillatt = jevn == 1;
                Opptak opptak;
                feil[jevn] = l.Input(input);
                if (!feil[jevn]) feil[jevn] = l.kalkuler();
                res[jevn] = l.NBLN.nlberegna;
                l.beregnEffRente(effrente[jevn]);
                if (!feil[jevn]) l.Utlaanrapport(99, feil[jevn], &opptak);
                rader[jevn] = opptak.rader;
            }
            // Every variant runs on the first loan; others may refuse one
            // (no loan amount is solved in one profile).
            if (alltidGyldig) {
                ASSERT_EQ(feil[0], 0);
            }
            EXPECT_EQ(feil[0], feil[1]);
            for (auto felt : {&beregnatype::effektivrente, &beregnatype::terminbelop1, &beregnatype::innbet1,
                              &beregnatype::innbet2, &beregnatype::termbelop2, &beregnatype::termbelop3,
                              &beregnatype::snittrente1, &beregnatype::lbelop})
                EXPECT_EQ(0, std::memcmp(&(res[0].*felt), &(res[1].*felt), sizeof(double)));
            EXPECT_EQ(res[0].innfridato, res[1].innfridato);
            EXPECT_EQ(res[0].gyldig, res[1].gyldig);
            EXPECT_EQ(0, std::memcmp(&effrente[0], &effrente[1], sizeof(double)));
            ASSERT_EQ(rader[0].size(), rader[1].size());
            for (size_t i = 0; i < rader[0].size(); ++i) {
                EXPECT_EQ(rader[0][i].type, rader[1][i].type) << i;
                EXPECT_EQ(rader[0][i].dato, rader[1][i].dato) << i;
                EXPECT_EQ(0, std::memcmp(&rader[0][i].r, &rader[1][i].r, sizeof(utrectype))) << i;
            }
        }
}

}  // namespace

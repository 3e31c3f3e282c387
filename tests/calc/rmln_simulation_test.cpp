// Framework-loan simulation: the ten values of one utilisation, worked out
// by hand, and the effective rates against an independent computation.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

#include "calc/rammelan/rmln.h"
#include "calc/rammelan/rmln_simuler.h"

namespace mirvo::beregning {
namespace {

// Runs the check through a request, then one simulation.
TRmlnVerdier run(std::u16string_view input, int32_t u) {
    TRMLN rl;
    EXPECT_EQ(rl.Input(input), 0);
    char16_t out[16];
    EXPECT_EQ(rl.getResult(u"VERSJON", 0, {out, 16}), 0);
    return simulerRammelaan(rl.data(), u, rl);
}

// Yearly rate in percent at which flows by month (30/360: a month is 1/12
// of a year) have zero present value; by bisection.
double yearlyRate(const std::map<int, double>& flows) {
    auto npv = [&](double r) {
        double s = 0;
        for (auto [m, cf] : flows) s += cf / std::pow(1 + r, m / 12.0);
        return s;
    };
    double lo = -0.9, hi = 10;
    for (int i = 0; i < 200; ++i) {
        double mid = (lo + hi) / 2;
        (npv(mid) > 0 ? lo : hi) = mid;
    }
    return lo * 100;
}

// The same quarterly payment q (as a share of the drawn amount) four times.
double quarterly(double q) { return (std::pow(1 + q, 4) - 1) * 100; }

constexpr char16_t kOrd[] = u"ORDBEVILGNING=1000000;ORDRENTESATS=6;";

TEST(RmlnSimulation, HalfUsedOrdinaryGrantPaysInterestQuarterly) {
    TRmlnVerdier v = run(kOrd, 50);
    EXPECT_DOUBLE_EQ(v.utnyttet, 500000);
    EXPECT_NEAR(v.renter, 30000, 1e-6);
    EXPECT_NEAR(v.renterOrd, 30000, 1e-6);
    EXPECT_EQ(v.renterTill, 0);
    EXPECT_EQ(v.provisjon, 0);
    EXPECT_EQ(v.kontoholdsgebyr, 0);
    EXPECT_EQ(v.utnyttProvisjon, 0);
    EXPECT_EQ(v.etableringOgDepot, 0);
    // 7,500 at the end of each quarter: 1.5 % a quarter. Monthly payment
    // would give 1.005^12 - 1 = 6.168 % instead.
    EXPECT_NEAR(v.effRente, quarterly(0.015), 1e-6);
    EXPECT_NEAR(v.effRente, 6.1363550625, 1e-6);
    EXPECT_NEAR(v.effRenteMedKost, v.effRente, 1e-9);
}

TEST(RmlnSimulation, OverdraftAboveTheLimit) {
    // U = 1,200,000: D1 = 1,000,000 at 6 %, O = 200,000 at 10 %.
    TRmlnVerdier v = run(u"ORDBEVILGNING=1000000;ORDRENTESATS=6;ORDPROVISJON=0,25;"
                         u"OVERTRRENTE=10;OVERTRPROVISJON=1",
                         120);
    EXPECT_DOUBLE_EQ(v.utnyttet, 1200000);
    EXPECT_NEAR(v.renterOrd, 60000, 1e-6);
    EXPECT_EQ(v.renterTill, 0);
    EXPECT_NEAR(v.renter, 60000 + 20000, 1e-6);
    // Per quarter: 0.25 % of the grant and 1 % of the overdraft.
    EXPECT_NEAR(v.provisjon, 4 * (2500 + 2000), 1e-6);
    // Per quarter 15,000 + 5,000 interest and 4,500 commission.
    EXPECT_NEAR(v.effRente, quarterly(24500.0 / 1200000), 1e-6);
}

TEST(RmlnSimulation, DrawnAmountsFillTheTranchesInOrder) {
    // Grants 300,000 / 200,000 / 100,000 at 5 %, 7 % and (from tranche 2) 7 %.
    const std::u16string input =
        u"ORDBEVILGNING=300000;ORDRENTESATS=5;TILLBEVILGNING=200000;TILLRENTESATS=7;TILLBEVILGNING2=100000";
    struct Case {
        int32_t u;
        double ord, till;
    } cases[] = {
        {40, 0.05 * 240000, 0},
        {90, 0.05 * 300000, 0.07 * 200000 + 0.07 * 40000},
        {100, 0.05 * 300000, 0.07 * 300000},
        {150, 0.05 * 300000, 0.07 * 300000},  // the rest is overdraft
    };
    for (const auto& c : cases) {
        TRmlnVerdier v = run(input, c.u);
        EXPECT_NEAR(v.renterOrd, c.ord, 1e-6) << c.u;
        EXPECT_NEAR(v.renterTill, c.till, 1e-6) << c.u;
    }
}

TEST(RmlnSimulation, StairInterest) {
    struct Case {
        std::u16string input;
        int32_t u;
        double renter;
    } cases[] = {
        // Base: the utilised amount; above 40 % of it at 2 %.
        {u"TRAPPEGRENSE=40%;TRAPPERENTESATS=2", 100, 60000 + 0.02 * 600000},
        {u"TRAPPEGRENSE=250000;TRAPPERENTESATS=2", 100, 60000 + 0.02 * 750000},
        // Base: the granted amount of tranche 1; all-in 8 % less the ordinary 6 %.
        {u"TRAPPEGRENSE=250000;TRAPPERENTESATS=8;TRAPPEGRENSETYPE=3;TRAPPERENTETYPE=1", 50,
         30000 + 0.02 * 250000},
        // Below the threshold nothing.
        {u"TRAPPEGRENSE=600000;TRAPPERENTESATS=2", 50, 30000},
        // Base: the drawn amount of tranche 1, half of it; a second grant at 6 %.
        {u"TILLBEVILGNING=1000000;TRAPPEGRENSESATS=50;TRAPPERENTESATS=3;TRAPPEGRENSETYPE=1", 75,
         60000 + 30000 + 0.03 * 500000},
    };
    for (const auto& c : cases) {
        TRmlnVerdier v = run(kOrd + c.input, c.u);
        EXPECT_NEAR(v.renter, c.renter, 1e-6) << c.u;
    }
}

TEST(RmlnSimulation, UtilisationCommission) {
    struct Case {
        std::u16string input;
        int32_t u;
        double provisjon;
    } cases[] = {
        // 1 % a quarter of U, grown by u / 100.
        {u"", 50, 4 * 0.01 * 500000 * 0.5},
        {u"UTNYTTPROVISJONSTART=100", 50, 4 * 0.01 * 500000},
        {u"UTNYTTPROVISJONEFF=60", 50, 0},
        {u"UTNYTTPROVISJONEFF=50", 50, 4 * 0.01 * 500000 * 0.5},
        {u"UTNYTTPROVISJONSTART=80", 90, 4 * 0.01 * 900000 * 0.5},
        {u"UTNYTTPROVISJONSTART=80", 50, 0},  // below the start: nothing, not negative
        {u"", 120, 4 * 0.01 * 1200000},
        // Per month instead of per quarter.
        {u"UTNYTTPROVISJONPER=1", 50, 12 * 0.01 * 500000 * 0.5},
    };
    for (const auto& c : cases) {
        TRmlnVerdier v = run(kOrd + (u"UTNYTTPROVISJON=1;" + c.input), c.u);
        EXPECT_NEAR(v.utnyttProvisjon, c.provisjon, 1e-6) << c.u;
        EXPECT_EQ(v.provisjon, 0);
    }
}

TEST(RmlnSimulation, CommissionMinimumPerPeriod) {
    // 0.1 % of 1,000,000 is 1,000 a quarter; the minimum 1,500 wins.
    TRmlnVerdier v = run(u"ORDBEVILGNING=1000000;ORDPROVISJON=0,1;ORDPROVISJONMIN=1500", 50);
    EXPECT_NEAR(v.provisjon, 4 * 1500, 1e-6);
    // A commission period of 6 months paid every month: 1,000 / 6 a month.
    v = run(u"ORDBEVILGNING=1000000;ORDPROVISJON=0,1;ORDPROVISJONPER=6;ORDPROVISJONKAP=1", 50);
    EXPECT_NEAR(v.provisjon, 2000, 1e-6);
}

TEST(RmlnSimulation, FeesAndCostsWithTheirStreams) {
    TRmlnVerdier v = run(kOrd + std::u16string(u"KONTOHOLDSGEBYR=50;ETABLERINGSOMK=1000;DEPOTOMK=200"), 50);
    EXPECT_EQ(v.etableringOgDepot, 1200);
    EXPECT_NEAR(v.kontoholdsgebyr, 600, 1e-9);

    // Fee 50 every month, interest 7,500 every quarter; the costs, 100 a
    // month, are paid with the interest and only in the first stream.
    std::map<int, double> without{{0, -500000}}, with{{0, -500000}};
    for (int m = 1; m <= 12; ++m) {
        without[m] += 50;
        if (m % 3 == 0) without[m] += 7500;
        with[m] = without[m] + (m % 3 == 0 ? 300 : 0);
    }
    without[12] += 500000;
    with[12] += 500000;
    EXPECT_NEAR(v.effRente, yearlyRate(without), 1e-5);
    EXPECT_NEAR(v.effRenteMedKost, yearlyRate(with), 1e-5);
    EXPECT_GT(v.effRenteMedKost, v.effRente);
}

TEST(RmlnSimulation, AgreementPeriodEndsWithAPayment) {
    // Seven months paid quarterly: months 3, 6 and the last.
    TRmlnVerdier v = run(kOrd + std::u16string(u"AVTALEPER=7"), 50);
    EXPECT_NEAR(v.renter, 7 * 2500, 1e-6);
    EXPECT_NEAR(v.effRente, yearlyRate({{0, -500000}, {3, 7500}, {6, 7500}, {7, 2500 + 500000}}), 1e-5);

    v = run(kOrd + std::u16string(u"AVTALEPER=2Y"), 50);
    EXPECT_NEAR(v.renter, 60000, 1e-6);
    EXPECT_NEAR(v.effRente, quarterly(0.015), 1e-6);
}

TEST(RmlnSimulation, LongPeriodLosesNoPayment) {
    // Twenty years with eight kinds paid monthly: 1,922 payments.
    TRmlnVerdier v = run(u"ORDBEVILGNING=1000000;ORDRENTESATS=6;TILLBEVILGNING=1000000;TILLBEVILGNING2=1000000;"
                         u"ORDPROVISJON=0,1;TILLPROVISJON=0,1;TILLPROVISJON2=0,1;ORDPROVISJONKAP=1;"
                         u"RENTEKAPITALISERING=1;KONTOHOLDSGEBYR=10;ETABLERINGSOMK=2400;AVTALEPER=20 ÅR",
                         100);
    EXPECT_NEAR(v.renter, 20 * 180000, 1e-4);
    // Monthly (the commission period follows its payment period of 1):
    // 15,000 interest, 3 x 1,000 commission and the fee 10 on 3,000,000;
    // the costs add 10 a month to the first stream.
    EXPECT_NEAR(v.provisjon, 240 * 3000, 1e-4);
    EXPECT_NEAR(v.effRente, (std::pow(1 + 18010.0 / 3000000, 12) - 1) * 100, 1e-6);
    EXPECT_NEAR(v.effRenteMedKost, (std::pow(1 + 18020.0 / 3000000, 12) - 1) * 100, 1e-6);
}

TEST(RmlnSimulation, NothingWithoutALimit) {
    TRmlnData d;
    kavelin::finans::TRntDato kalender;
    TRmlnVerdier v = simulerRammelaan(d, 50, kalender);
    EXPECT_EQ(v.utnyttet, 0);
    EXPECT_EQ(v.effRente, 0);
}

TEST(RmlnSimulation, PeriodBeyondTheDateRangeThrows) {
    TRmlnData d;
    d.tranche[0].bevilgning = 1000;
    d.avtalePer = 12 * 150;
    kavelin::finans::TRntDato kalender;
    EXPECT_ANY_THROW(simulerRammelaan(d, 50, kalender));
    d.avtalePer = 2147483647;
    EXPECT_ANY_THROW(simulerRammelaan(d, 50, kalender));
}

}  // namespace
}  // namespace mirvo::beregning

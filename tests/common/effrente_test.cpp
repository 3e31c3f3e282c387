// Effective rate of dated cash flows; expected rates from closed formulas.
#include "common/finans/effrente.h"

#include <cmath>

#include <gtest/gtest.h>

#include "common/utils/error.h"

using namespace kavelin::finans;

namespace {

Datorec D(int y, int m, int d) { return Datorec::ymd(y, m, d); }

struct EffRente : ::testing::Test {
    TEffRente er;
    void SetUp() override { er.BgnEffRntCalc(1200); }
    double rate() {
        double r = -1;
        EXPECT_TRUE(er.beregnEffRente(r));
        return r;
    }
};

TEST_F(EffRente, OneYearAtFivePercent) {
    er.inserec(D(2024, 1, 1), -1000);
    er.inserec(D(2025, 1, 1), 1050);
    EXPECT_NEAR(rate(), 5.0, 1e-6);
    EXPECT_EQ(er.erArr()->getTotaltTidsrom(), 360);
    // The same daily factor on a 365-day year.
    double r365 = 0;
    EXPECT_TRUE(er.beregnEffRente(r365, 365));
    EXPECT_NEAR(r365, (std::pow(1.05, 365.0 / 360) - 1) * 100, 1e-6);
}

TEST_F(EffRente, QuarterlyAnnuity) {
    // 2 % a quarter (90 days): payment = 1000 * 0.02 / (1 - 1.02^-4).
    const double payment = 1000 * 0.02 / (1 - std::pow(1.02, -4));
    er.inserec(D(2024, 1, 1), 1000);  // signs the other way round work as well
    for (auto d : {D(2024, 4, 1), D(2024, 7, 1), D(2024, 10, 1), D(2025, 1, 1)}) er.inserec(d, -payment);
    EXPECT_NEAR(rate(), (std::pow(1.02, 4) - 1) * 100, 1e-6);  // 8.243216 %
}

TEST_F(EffRente, SameDateFlowsAddUp) {
    er.inserec(D(2024, 1, 1), -1000);
    er.inserec(D(2024, 1, 1), 0.0);  // ignored
    er.inserec(D(2025, 1, 1), 500);
    er.inserec(D(2025, 1, 1), 550);
    EXPECT_EQ(er.erArr()->numinb(), 3);
    EXPECT_EQ(er.erArr()->item(2).pd, 0);
    EXPECT_NEAR(rate(), 5.0, 1e-6);
}

TEST_F(EffRente, RateTakesRdatosInTheObjectsConvention) {
    er.InitRntDato(360, false);
    er.inserec(er.Dato2RDato(D(2024, 1, 31)), -1000);
    er.inserec(er.Dato2RDato(D(2025, 1, 31)), 1100);
    EXPECT_NEAR(rate(), 10.0, 1e-6);
}

TEST_F(EffRente, DatesOutOfOrderThrow) {
    er.inserec(D(2024, 6, 1), -1000);
    try {
        er.inserec(D(2024, 5, 1), 1050);
        FAIL();
    } catch (const kavelin::utils::EKavelin& e) {
        EXPECT_EQ(e.message(), u"Feil datorekkefølge på innmating av beløpsstrømmen til TEffRente.inserec-metoden");
    }
    EXPECT_TRUE(er.erArr()->effrerror());
}

TEST_F(EffRente, FullListLosesFlowsAndSaysSo) {
    er.BgnEffRntCalc(2);
    er.inserec(D(2024, 1, 1), -1000);
    er.inserec(D(2025, 1, 1), 1050);
    EXPECT_FALSE(er.erArr()->effrerror());
    er.inserec(D(2026, 1, 1), 10);
    EXPECT_TRUE(er.erArr()->effrerror());
    EXPECT_EQ(er.erArr()->numinb(), 2);
    EXPECT_NEAR(rate(), 5.0, 1e-6);
}

TEST_F(EffRente, UndefinedRatesAreNaN) {
    double r = 0;
    EXPECT_FALSE(er.beregnEffRente(r));  // no flows
    EXPECT_TRUE(std::isnan(r));
    EXPECT_TRUE(std::isnan(er.utregnetEffRnt()));

    er.inserec(D(2024, 1, 1), -1000);  // only money out: no rate makes it zero
    er.inserec(D(2025, 1, 1), -1000);
    EXPECT_FALSE(er.beregnEffRente(r));
    EXPECT_TRUE(std::isnan(r));

    er.BgnEffRntCalc(10);  // all flows on one date: zero derivative
    er.inserec(D(2024, 1, 1), -1000);
    er.inserec(D(2024, 1, 1), 1050);
    EXPECT_FALSE(er.beregnEffRente(r));

    er.BgnEffRntCalc(10);  // a rate far beyond a daily factor of 1.1
    er.inserec(D(2024, 1, 1), -1);
    er.inserec(D(2024, 1, 31), 1e6);
    EXPECT_FALSE(er.beregnEffRente(r));
    EXPECT_TRUE(std::isnan(r));
}

TEST_F(EffRente, NewFlowsInvalidateTheStoredRate) {
    er.inserec(D(2024, 1, 1), -1000);
    er.inserec(D(2025, 1, 1), 1050);
    EXPECT_NEAR(rate(), 5.0, 1e-6);
    er.inserec(D(2025, 1, 1), 50);
    EXPECT_NEAR(rate(), 10.0, 1e-6);
}

TEST_F(EffRente, CopyOfTheList) {
    er.inserec(D(2024, 1, 1), -1000);
    er.inserec(D(2025, 1, 1), 1050);
    TEffRente other;
    TEffRenteList copy(&other, *er.erArr());
    EXPECT_EQ(copy.owner(), &other);
    EXPECT_EQ(copy.numinb(), 2);
    EXPECT_EQ(copy.maxantinnbeffr(), 1200);
    EXPECT_EQ(copy.divisor(), 1000);
    EXPECT_EQ(copy.fdato(), D(2025, 1, 1));
    EXPECT_EQ(copy.item(1).innbet, 1050);
}

TEST_F(EffRente, ControlListing) {
    er.inserec(D(2024, 1, 1), -1000);
    er.inserec(D(2025, 1, 1), 1050);
    char16_t buf[400];
    int err = -1;
    er.LagEffrenteKontrollRapport(buf, 400, err);
    EXPECT_EQ(err, 0);
    EXPECT_EQ(std::u16string_view(buf),
              u"01.01.2024;0;-1000.00;-1000.00;-1000.00\n"
              u"01.01.2025;360;1050.00;1000.00;0.00\n");
}

TEST_F(EffRente, ControlListingInAShortBuffer) {
    er.inserec(D(2024, 1, 1), -1000);
    er.inserec(D(2025, 1, 1), 1050);
    char16_t buf[79];
    buf[0] = u'x';
    int err = 0;
    er.LagEffrenteKontrollRapport(buf, 79, err);
    EXPECT_EQ(err, 1000);
    EXPECT_EQ(buf[0], 0);

    // Room for the first line only.
    char16_t mid[120];
    er.LagEffrenteKontrollRapport(mid, 120, err);
    EXPECT_EQ(err, 1000);
    EXPECT_EQ(std::u16string_view(mid), u"01.01.2024;0;-1000.00;-1000.00;-1000.00\n");
}

TEST(EffRenteNoList, AddingBeforeStartIsAnError) {
    TEffRente er;
    EXPECT_THROW(er.inserec(Datorec::ymd(2024, 1, 1), 1.0), std::logic_error);
}

}  // namespace

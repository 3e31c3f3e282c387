// Framework-loan check: defaults, the missing grant and the stair settings.
#include <gtest/gtest.h>

#include <string>

#include "calc/rammelan/rmln.h"
#include "common/text/encoding.h"

namespace mirvo::beregning {
namespace {

std::string utf8(const std::u16string& s) { return kavelin::text::toUtf8(s); }

uint16_t request(TRMLN& rl, std::u16string_view id = u"VERSJON", int32_t param = 0) {
    char16_t out[64] = u"stale";
    return rl.getResult(id, param, {out, 64});
}

TEST(RmlnCheck, WithoutGrantEveryRequestFails) {
    TRMLN rl;
    char16_t out[64] = u"stale";
    for (const char16_t* id : {u"VERSJON", u"FORLOP", u"EFFRNT", u"NOSUCH"}) {
        EXPECT_EQ(rl.getResult(id, 50, {out, 64}), 101) << utf8(id);
        EXPECT_EQ(out[0], 0);  // the destination is emptied first
    }
    // The failed check is repeated, but the first error stays.
    ASSERT_EQ(rl.Input(u"ORDBEVILGNING=1000"), 0);
    EXPECT_EQ(request(rl), 101);
}

TEST(RmlnCheck, DefaultsOfRatesPeriodsAndDegrees) {
    TRMLN rl;
    ASSERT_EQ(rl.Input(u"ORDBEVILGNING=1000;ORDRENTESATS=6;TILLRENTESATS2=8;TILLPROVISJONPER=6;"
                       u"UTNYTTPROVISJONKAP=2"),
              0);
    ASSERT_EQ(request(rl), 0);
    const TRmlnData& d = rl.data();
    EXPECT_DOUBLE_EQ(d.tranche[1].rentesats, 6);
    EXPECT_DOUBLE_EQ(d.tranche[2].rentesats, 8);
    EXPECT_DOUBLE_EQ(d.overtrekk.rentesats, 8);

    auto periods = [](TRmlnPerioder p) { return std::pair(p.per, p.kap); };
    EXPECT_EQ(periods(d.tranche[0].provisjonPerioder), std::pair(3, 3));
    EXPECT_EQ(periods(d.tranche[1].provisjonPerioder), std::pair(6, 6));  // the missing one takes the other's
    EXPECT_EQ(periods(d.tranche[2].provisjonPerioder), std::pair(3, 3));
    EXPECT_EQ(periods(d.overtrekk.provisjonPerioder), std::pair(3, 3));
    EXPECT_EQ(periods(d.utnyttProvisjonPerioder), std::pair(2, 2));
    EXPECT_EQ(periods(d.kontoholdsgebyrPerioder), std::pair(1, 1));
    EXPECT_EQ(d.renteKapitalisering, 3);
    EXPECT_EQ(d.avtalePer, 12);
    for (int n = 0; n < TRmlnData::kAntUtnGrader; ++n) EXPECT_EQ(d.utnGrad[n], 10 * (n + 1));
}

TEST(RmlnCheck, LaterPeriodsFollowTheOrdinaryGrant) {
    TRMLN rl;
    ASSERT_EQ(rl.Input(u"ORDBEVILGNING=1000;ORDPROVISJONKAP=1;KONTOHOLDSGEBYRPER=12"), 0);
    ASSERT_EQ(request(rl), 0);
    const TRmlnData& d = rl.data();
    EXPECT_EQ(d.tranche[0].provisjonPerioder.per, 1);
    EXPECT_EQ(d.tranche[1].provisjonPerioder.kap, 1);
    EXPECT_EQ(d.utnyttProvisjonPerioder.per, 1);
    EXPECT_EQ(d.kontoholdsgebyrPerioder.kap, 12);
}

TEST(RmlnCheck, GivenDegreesAreKeptWhenDegreeZeroIsMissing) {
    TRMLN rl;
    ASSERT_EQ(rl.Input(u"ORDBEVILGNING=1000;UTNGRAD3=75"), 0);
    ASSERT_EQ(request(rl), 0);
    EXPECT_EQ(rl.data().utnGrad[0], 10);
    EXPECT_EQ(rl.data().utnGrad[3], 75);
    EXPECT_EQ(rl.data().utnGrad[4], 50);

    TRMLN own;
    ASSERT_EQ(own.Input(u"ORDBEVILGNING=1000;UTNGRAD0=50;UTNGRAD1=100"), 0);
    ASSERT_EQ(request(own), 0);
    EXPECT_EQ(own.data().utnGrad[2], 0);  // degree 0 given: no defaults
}

TEST(RmlnCheck, StairThresholdTextChoosesPercentageOrAmount) {
    struct Case {
        std::u16string text;
        double sats, belop;
    } cases[] = {
        {u"40%", 40, 0},     {u"250000", 0, 250000}, {u"99,5", 99.5, 0},
        {u"100", 0, 100},    {u"150%", 150, 0},      {u"12.5%", 12.5, 0},
    };
    for (const auto& c : cases) {
        TRMLN rl;
        ASSERT_EQ(rl.Input(u"ORDBEVILGNING=1000;TRAPPERENTESATS=2;TRAPPEGRENSE=" + c.text), 0);
        EXPECT_EQ(request(rl), 0) << utf8(c.text);
        EXPECT_DOUBLE_EQ(rl.data().trappegrenseSats, c.sats) << utf8(c.text);
        EXPECT_DOUBLE_EQ(rl.data().trappegrenseBelop, c.belop) << utf8(c.text);
    }
    TRMLN unreadable;
    ASSERT_EQ(unreadable.Input(u"ORDBEVILGNING=1000;TRAPPERENTESATS=2;TRAPPEGRENSE=1.2.3"), 0);
    EXPECT_EQ(request(unreadable), 107);
}

TEST(RmlnCheck, StairSettingErrors) {
    struct Case {
        std::u16string input;
        uint16_t code;
    } cases[] = {
        {u"TRAPPERENTETYPE=1;TRAPPEGRENSETYPE=0;TRAPPEGRENSEBELOP=1;TRAPPERENTESATS=9", 103},
        {u"TRAPPERENTETYPE=1;TRAPPEGRENSETYPE=2;TRAPPEGRENSEBELOP=1;TRAPPERENTESATS=9", 103},
        {u"TRAPPERENTETYPE=1;TRAPPEGRENSETYPE=1;TRAPPEGRENSEBELOP=1;TRAPPERENTESATS=5", 104},
        {u"TRAPPERENTETYPE=1;TRAPPEGRENSETYPE=3;TRAPPEGRENSESATS=50;TRAPPERENTESATS=5", 104},
        {u"TRAPPERENTETYPE=1;TRAPPEGRENSETYPE=3;TRAPPEGRENSESATS=50;TRAPPERENTESATS=6", 0},
        {u"TRAPPERENTETYPE=1;TRAPPEGRENSETYPE=1;TRAPPEGRENSE=40%;TRAPPERENTESATS=9", 0},
        {u"TRAPPERENTESATS=2", 105},
        {u"TRAPPEGRENSEBELOP=1000", 106},
        {u"TRAPPEGRENSE=40%", 106},
        {u"TRAPPEGRENSESATS=40;TRAPPERENTESATS=2", 0},
    };
    for (const auto& c : cases) {
        TRMLN rl;
        ASSERT_EQ(rl.Input(u"ORDBEVILGNING=1000;ORDRENTESATS=6;" + c.input), 0) << utf8(c.input);
        EXPECT_EQ(request(rl), c.code) << utf8(c.input);
        EXPECT_EQ(request(rl), c.code) << utf8(c.input);
    }
}

TEST(RmlnCheck, InputErrorAnswersEveryRequest) {
    TRMLN rl;
    EXPECT_EQ(rl.Input(u"ORDBEVILGNING=1000;ORDRENTESATS=6;AVTALEPER=ET AAR"), 107);
    char16_t out[64] = u"stale";
    EXPECT_EQ(rl.getResult(u"VERSJON", 0, {out, 64}), 107);
    EXPECT_EQ(out[0], 0);
}

TEST(RmlnCheck, RunsOnceThenLaterInputsStandAsGiven) {
    TRMLN rl;
    ASSERT_EQ(rl.Input(u"ORDBEVILGNING=1000000;ORDRENTESATS=6"), 0);
    ASSERT_EQ(request(rl), 0);
    // A rate of 0 would take tranche 1's at the check; after it, it stays 0.
    ASSERT_EQ(rl.Input(u"TILLBEVILGNING=1000000;TILLRENTESATS=0"), 0);
    char16_t out[64];
    ASSERT_EQ(rl.getResult(u"RNT12MDRTILL", 100, {out, 64}), 0);
    EXPECT_EQ(std::u16string(out), u"0,000");
    EXPECT_DOUBLE_EQ(rl.data().tranche[1].rentesats, 0);
}

}  // namespace
}  // namespace mirvo::beregning

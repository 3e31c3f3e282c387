// Framework-loan input: keywords, value kinds and their errors.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "calc/rammelan/rmln.h"
#include "common/text/encoding.h"

namespace mirvo::beregning {
namespace {

std::string utf8(const std::u16string& s) { return kavelin::text::toUtf8(s); }

struct PairCase {
    std::u16string pair;
    uint16_t code;
    std::function<double(const TRmlnData&)> field;
    double expected;
};

TEST(RmlnInput, ValueKinds) {
    auto b1 = [](const TRmlnData& d) { return double(d.tranche[0].bevilgning); };
    auto r1 = [](const TRmlnData& d) { return d.tranche[0].rentesats; };
    auto per1 = [](const TRmlnData& d) { return double(d.tranche[0].provisjonPerioder.per); };
    auto kap1 = [](const TRmlnData& d) { return double(d.tranche[0].provisjonPerioder.kap); };
    auto avtale = [](const TRmlnData& d) { return double(d.avtalePer); };
    auto grad = [](int n) { return [n](const TRmlnData& d) { return double(d.utnGrad[n]); }; };
    auto type = [](const TRmlnData& d) { return double(d.trappegrenseType); };

    const PairCase cases[] = {
        // integer
        {u"ORDBEVILGNING=1000000", 0, b1, 1000000},
        {u"ordbevilgning = 250", 0, b1, 250},
        {u"ORDBEVILGNING=", 0, b1, 0},
        {u"ORDBEVILGNING=1000,5", 107, b1, 0},
        {u"ORDBEVILGNING=12X", 107, b1, 0},
        // number: "," and "." both separate the decimals
        {u"ORDRENTESATS=6,25", 0, r1, 6.25},
        {u"ORDRENTESATS=6.25", 0, r1, 6.25},
        {u"ORDRENTESATS=", 0, r1, 0},
        {u"ORDRENTESATS=6/25", 107, r1, 0},
        {u"ORDRENTESATS=6,2,5", 107, r1, 0},
        // period: months, days above 12, 0 and empty give 3
        {u"ORDPROVISJONPER=6", 0, per1, 6},
        {u"ORDPROVISJONPER=6 MND", 0, per1, 6},
        {u"ORDPROVISJONPER=", 0, per1, 3},
        {u"ORDPROVISJONPER=0", 0, per1, 3},
        {u"ORDPROVISJONPER=90", 0, per1, 3},
        {u"ORDPROVISJONPER=360", 0, per1, 12},
        {u"ORDPROVISJONPER=400", 107, per1, 13},
        {u"PROVKAPITALISERING=2", 0, kap1, 2},
        // agreement period
        {u"AVTALEPER=", 0, avtale, 12},
        {u"AVTALEPER=24", 0, avtale, 24},
        {u"AVTALEPER=2Y 6M", 0, avtale, 30},
        {u"AVTALEPER=2 ÅR 6 MND", 0, avtale, 30},
        {u"AVTALEPER=2 år 6 mnd", 0, avtale, 30},
        {u"AVTALEPER=2Å 6M", 0, avtale, 30},
        {u"AVTALEPER=3Y", 0, avtale, 36},
        {u"AVTALEPER=3 ÅR", 0, avtale, 36},
        {u"AVTALEPER=9M", 0, avtale, 9},
        {u"AVTALEPER=9 MND", 0, avtale, 9},
        {u"AVTALEPER=6M 2Y", 107, avtale, 0},
        {u"AVTALEPER=2Y 6", 107, avtale, 0},
        {u"AVTALEPER=Y", 107, avtale, 0},
        {u"AVTALEPER=2 UKER", 107, avtale, 0},
        // utilisation degrees
        {u"UTNGRAD3=75", 0, grad(3), 75},
        {u"UTNYTTELSESGRAD11=95", 0, grad(11), 95},
        {u"UTNGRAD=35", 0, grad(0), 35},
        {u"UTNGRAD12=75", 100, grad(0), 75},
        {u"UTNGRAD4=X", 107, grad(4), 0},
        // stair base
        {u"TRAPPEGRENSETYPE=3", 0, type, 3},
        {u"TRAPPEGRENSETYPE=4", 107, type, 0},
        {u"TRAPPEGRENSETYPE=-1", 107, type, 0},
    };
    for (const auto& c : cases) {
        TRMLN rl;
        EXPECT_EQ(rl.Input(c.pair), c.code) << utf8(c.pair);
        EXPECT_DOUBLE_EQ(c.field(rl.data()), c.expected) << utf8(c.pair);
        EXPECT_EQ(rl.error(), c.code) << utf8(c.pair);
    }
}

TEST(RmlnInput, StairThresholdTextIsStoredAsGiven) {
    TRMLN rl;
    EXPECT_EQ(rl.Input(u"TRAPPEGRENSE=40%"), 0);
    EXPECT_EQ(rl.data().trappegrense, u"40%");
    TRMLN bad;
    EXPECT_EQ(bad.Input(u"TRAPPEGRENSE=40 %"), 107);
    EXPECT_EQ(bad.data().trappegrense, u"40 %");
}

TEST(RmlnInput, EveryKeywordAndSynonymIsKnown) {
    const char16_t* names[] = {
        u"ORDBEVILGNING", u"ORDRENTESATS", u"ORDPROVISJON", u"ORDPROVISJONMIN", u"ORDPROVISJONPER",
        u"ORDPROVISJONKAP", u"PROVKAPITALISERING", u"TILLBEVILGNING", u"TILLRENTESATS", u"TILLPROVISJON",
        u"TILLPROVISJONMIN", u"TILLPROVISJONPER", u"TILLPROVISJONKAP", u"TILLBEVILGNING2", u"TILLRENTESATS2",
        u"TILLPROVISJON2", u"TILLPROVISJONMIN2", u"TILLPROVISJONPER2", u"TILLPROVISJONKAP2", u"OVERTRRENTE",
        u"OVERTRPROVISJON", u"OVERTRPROVISJONMIN", u"OVERTRPROVISJONPER", u"OVERTRPROVISJONKAP",
        u"TRAPPEGRENSEBELOP", u"TRAPPEGRENSESATS", u"TRAPPEGRENSE", u"TRAPPERENTESATS", u"TRAPPERENTE",
        u"TRAPPEGRENSETYPE", u"TRAPPERENTETYPE", u"UTNYTTPROVISJON", u"UTNYTTPROVISJONPER",
        u"UTNYTTPROVISJONKAP", u"UTNYTTPROVISJONSTART", u"STARTBEREGN", u"UTNYTTPROVISJONEFF", u"EFFBEREGN",
        u"KONTOHOLDSGEBYR", u"KONTOHOLDSGEBYRPER", u"KONTOHOLDSGEBYRKAP", u"ETABLERINGSOMK", u"DEPOTOMK",
        u"RENTEKAPITALISERING", u"UTNGRAD5", u"UTNYTTELSESGRAD5", u"AVTALEPER", u"DATEFMT"};
    for (const char16_t* name : names) {
        TRMLN rl;
        EXPECT_EQ(rl.Input(std::u16string(name) + u"=1"), 0) << utf8(name);
    }
    TRMLN rl;
    EXPECT_EQ(rl.Input(u"ORDBEVILGNINGX=1"), 100);
    TRMLN noEquals;
    EXPECT_EQ(noEquals.Input(u"ORDBEVILGNING"), 0);  // the name alone: an empty value
    TRMLN leadingBlank;
    EXPECT_EQ(leadingBlank.Input(u"ORDBEVILGNING=1; ORDRENTESATS=2"), 100);  // blanks are not separators
}

TEST(RmlnInput, SynonymsFillTheSameField) {
    TRMLN rl;
    ASSERT_EQ(rl.Input(u"TRAPPERENTE=4,5;STARTBEREGN=20;EFFBEREGN=30"), 0);
    EXPECT_DOUBLE_EQ(rl.data().trapperenteSats, 4.5);
    EXPECT_EQ(rl.data().utnyttProvisjonStart, 20);
    EXPECT_EQ(rl.data().utnyttProvisjonEff, 30);
}

TEST(RmlnInput, SeparatorsAndTheFirstFailingPair) {
    TRMLN rl;
    EXPECT_EQ(rl.Input(u"ORDBEVILGNING=5\r\n\r\nORDRENTESATS=2;;TILLBEVILGNING=7\n"), 0);
    EXPECT_EQ(rl.data().tranche[0].bevilgning, 5);
    EXPECT_DOUBLE_EQ(rl.data().tranche[0].rentesats, 2);
    EXPECT_EQ(rl.data().tranche[1].bevilgning, 7);

    // The rest of the buffer after a failing pair is not read; the first
    // error stays for the life of the object.
    EXPECT_EQ(rl.Input(u"ORDBEVILGNING=9;NOSUCH=1;ORDRENTESATS=3"), 100);
    EXPECT_EQ(rl.data().tranche[0].bevilgning, 9);
    EXPECT_DOUBLE_EQ(rl.data().tranche[0].rentesats, 2);
    EXPECT_EQ(rl.Input(u"ORDRENTESATS=X"), 107);
    EXPECT_EQ(rl.Input(u"ORDRENTESATS=4"), 0);
    EXPECT_EQ(rl.error(), 100);
}

TEST(RmlnInput, DateFormatGoesToTheWriter) {
    TRMLN rl;
    ASSERT_EQ(rl.Input(u"DATEFMT=YYYY-MM-DD"), 0);
    EXPECT_EQ(rl.writer().dateFmt(), u"YYYY-MM-DD");
}

}  // namespace
}  // namespace mirvo::beregning

#include <gtest/gtest.h>

#include "calc/errors/calc_errors.h"
#include "calc/kjerne/laandef.h"

using namespace mirvo::beregning;
using kavelin::finans::Datorec;

namespace {

// A definition that passes every check: 1,000,000 over 25 years at 5 %.
class Definition : public ::testing::Test {
protected:
    void SetUp() override {
        auto& ifo = def.IFO();
        ifo.laanebeloep = 1000000;
        ifo.loepetid = 9000;
        ifo.diskontdato = Datorec::ymd(2025, 1, 15);
        auto& el = def.EL(0);
        el.laanetype = laanetyper::kAnnuitet;
        el.rente[0].sats = 5;
        el.termlengde = 30;
        el.forfallsdato = Datorec::ymd(2025, 2, 15);
    }
    TLaanDef def;
};

TEST_F(Definition, FreshDefinitionHasNothingSet) {
    TLaanDef fresh;
    EXPECT_EQ(fresh.maxLoepetid(), 18000);
    EXPECT_EQ(fresh.DriftsSystem, kIkkeSatt);
    EXPECT_EQ(fresh.renteDesimalOpploesning, -1);
    EXPECT_EQ(fresh.IFO().AnnuitetTermKorr, kIkkeSatt);
    EXPECT_EQ(fresh.IFO().lopendelaan, kIkkeSatt);
    EXPECT_TRUE(fresh.renterdiskontdag);
    EXPECT_TRUE(fresh.avdragfrisomserie);
}

TEST_F(Definition, ResetClearsEverything) {
    def.plEnr = 3;
    def.renteAvrunding = 1;
    def.reset();
    EXPECT_EQ(def.IFO().laanebeloep, 0);
    EXPECT_EQ(def.EL(0).laanetype, 0u);
    EXPECT_EQ(def.plEnr, 0);
    EXPECT_EQ(def.renteAvrunding, kIkkeSatt);
}

TEST_F(Definition, Feilkontroll) {
    EXPECT_EQ(def.Feilkontroll(0), 0);
    struct Case {
        const char* what;
        void (*change)(TLaanDef&);
        uint16_t code;
    } cases[] = {
        {"no loan type", [](TLaanDef& d) { d.EL(0).laanetype = 0; }, 118},
        {"no amount", [](TLaanDef& d) { d.IFO().laanebeloep = 0; }, 100},
        {"rate 50 passes", [](TLaanDef& d) { d.EL(0).rente[0].sats = 50; }, 0},
        {"rate 50.01", [](TLaanDef& d) { d.EL(0).rente[0].sats = 50.01; }, 102},
        {"step 2 rate", [](TLaanDef& d) { d.EL(0).rente[1].sats = 51; }, 105},
        {"step 3 rate", [](TLaanDef& d) { d.EL(0).rente[2].sats = 51; }, 106},
        {"no term length", [](TLaanDef& d) { d.EL(0).termlengde = 0; }, 103},
        {"separate capitalisation without period",
         [](TLaanDef& d) { d.EL(0).laanetype = 0x20221; }, 104},
        {"close-out 50 years on passes",
         [](TLaanDef& d) { d.EL(0).innfrielsesdato = Datorec::ymd(2075, 1, 15); }, 0},
        {"close-out one day later",
         [](TLaanDef& d) { d.EL(0).innfrielsesdato = Datorec::ymd(2075, 1, 16); }, 110},
        {"no term, amount or change date", [](TLaanDef& d) { d.IFO().loepetid = 0; }, 113},
        {"fee equal to amount",
         [](TLaanDef& d) {
             d.IFO().laanebeloep = 1000;
             d.IFO().etablgebyr = 1000;
         },
         115},
        {"guarantee commission rounds into the fees",
         [](TLaanDef& d) {
             d.IFO().laanebeloep = 1000;
             // 500.6 rounds to 501; 501 + 499 reaches the amount.
             d.IFO().rntGarantiProvPrsnt = 50.06;
             d.IFO().etablgebyr = 499;
         },
         115},
        {"no due date", [](TLaanDef& d) { d.EL(0).forfallsdato = Datorec(); }, 220},
        {"due before disbursement",
         [](TLaanDef& d) { d.EL(0).forfallsdato = Datorec::ymd(2025, 1, 14); }, 116},
        {"no disbursement",
         [](TLaanDef& d) {
             d.IFO().diskontdato = Datorec();
         },
         119},
        {"guarantee ends on disbursement",
         [](TLaanDef& d) { d.IFO().rntGarantiTilDato = Datorec::ymd(2025, 1, 15); }, 223},
    };
    for (const auto& c : cases) {
        TLaanDef copy;
        copy.NBLN = def.NBLN;
        c.change(copy);
        EXPECT_EQ(copy.Feilkontroll(0), c.code) << c.what;
    }
}

TEST_F(Definition, ProfileDefaults) {
    TLaanDef te;
    te.DriftsSystem = 0;
    te.resolveSettings(false, true);
    EXPECT_EQ(te.IFO().AnnuitetTermKorr, 1);
    EXPECT_EQ(te.restBehandles, 1);
    EXPECT_EQ(te.renteAvrunding, 0);
    EXPECT_EQ(te.RntRndFaktor, 1.0);
    EXPECT_EQ(te.termbelAvrunding, 2);  // serial rounds up
    EXPECT_EQ(te.renteDesimalOpploesning, 65535);
    EXPECT_EQ(te.Innfrielsesfaktor, 1.1);
    EXPECT_EQ(te.Trapperentetype, 0);

    TLaanDef dn;
    dn.DriftsSystem = 1;
    dn.renteAvrunding = 2;  // given by the caller: kept
    dn.resolveSettings(true, false);
    EXPECT_EQ(dn.IFO().AnnuitetTermKorr, 2);
    EXPECT_EQ(dn.renteAvrunding, 2);
    EXPECT_EQ(dn.RntRndFaktor, 0.01);
    EXPECT_EQ(dn.termbelAvrunding, 2);
    EXPECT_EQ(dn.annuitetBeregnType, 1);
    EXPECT_EQ(dn.termbelopReberegnHverTermin, 1);
    EXPECT_EQ(dn.Trapperentetype, 2);
    EXPECT_EQ(dn.relativKapitPer, 1);

    TLaanDef unknown;
    unknown.DriftsSystem = 7;
    try {
        unknown.resolveSettings(false, false);
        FAIL() << "no error for an unknown profile";
    } catch (const ECalcError& e) {
        EXPECT_EQ(e.code(), 409);
    }
}

TEST_F(Definition, NewChangeLineClearsOneTimeItems) {
    auto& el = def.EL(0);
    el.xordinb = 100;
    el.xordutb = 200;
    el.endromk = 300;
    el.terminbelop = 5000;
    el.terminbelopAngitt = true;
    el.avdragsforfall = Datorec::ymd(2026, 1, 15);
    el.endringsdato = Datorec::ymd(2027, 1, 1);
    el.endringsrdato = 1234;
    endringtype next = el.nyEndringslinje();
    EXPECT_TRUE(next.erEndring);
    EXPECT_EQ(next.rente[0].sats, 5);
    EXPECT_EQ(next.termlengde, 30);
    EXPECT_EQ(next.forfallsdato.L, 0u);
    EXPECT_EQ(next.avdragsforfall.L, 0u);
    EXPECT_EQ(next.endringsdato.L, 0u);
    EXPECT_EQ(next.endringsrdato, 0);
    EXPECT_EQ(next.xordinb + next.xordutb + next.endromk + next.terminbelop, 0);
    EXPECT_FALSE(next.terminbelopAngitt);
}

}  // namespace

// Schedule layouts fed with hand-made rows: filter, kinds, number rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calc/errors/calc_errors.h"
#include "calc/loan/calc_loan.h"

using namespace mirvo::beregning;
using kavelin::finans::Datorec;
using kavelin::finans::TReportFmtMode;

namespace {

struct Rad {
    int type;
    Datorec dato;
    utrectype r;
    saldoar s;
};

utrectype termin(double innb, double renter, double gebyr, double avdrag, double saldo) {
    utrectype r;
    r.innb = innb;
    r.nettoinnb = innb;
    r.renter = renter;
    r.provisjon = gebyr;
    r.avdrag = avdrag;
    r.ksaldo = saldo;
    return r;
}

class Layouts : public ::testing::Test {
protected:
    Layouts() {
        loan.RntRndFaktor = 1;
        loan.TermbelRndFaktor = 1;
        loan.aarsteljar = 99;
    }

    // Runs the rows through a layout into a buffer and returns the text.
    std::u16string kjor(TForlopMottaker& m, const std::vector<Rad>& rows) {
        std::u16string buf(4000, u'\0');
        loan.startOutput(buf.data(), ptrdiff_t(buf.size()));
        for (const auto& x : rows) {
            if (x.type == trt::kAarsslutt) --loan.aarsteljar;  // as the course does after the row
            m.rad(x.type, x.dato.L ? loan.Dato2RDato(x.dato) : 0, x.r, x.s);
        }
        loan.endOutput();
        return std::u16string(buf.c_str());
    }

    TCalcLoan loan;
    const Datorec feb15 = Datorec::ymd(2025, 2, 15);
    const Datorec des31 = Datorec::ymd(2025, 12, 31);
};

TEST_F(Layouts, ShortScheduleKindsAndColumns) {
    utrectype apning;
    apning.utb = 1000000;
    apning.ksaldo = 1000000;
    utrectype etabl;
    etabl.provisjon = 1500;
    utrectype tom;  // a term row with nothing paid gives no line
    utrectype aar = termin(61000, 41000, 600, 20000, 980000);
    utrectype total = termin(1300000, 300000, 15000, 1000000, 0);
    const std::u16string text = kjor(loan.v30Forlop, {{trt::kApningsSaldo, feb15, apning, {}},
                                                      {trt::kApning, feb15, etabl, {}},
                                                      {trt::kOppgjor, feb15, termin(5083, 3750, 50, 1333, 998667), {}},
                                                      {trt::kOppgjor, feb15, tom, {}},
                                                      {trt::kAarsslutt, des31, aar, {}},
                                                      {trt::kTotal, des31, total, {}}});
    EXPECT_EQ(text,
              u"D;15.02.2025;0;0;0;0;1000000\n"
              u"G;15.02.2025;0;0;0;1500;0\n"
              u"T;15.02.2025;5083;3750;1333;50;998667\n"
              u"A;31.12.2025;61000;41000;20000;600;980000\n"
              u"S;31.12.2025;1300000;300000;1000000;15000;0\n");
    // The totals row keeps the run's totals.
    EXPECT_EQ(loan.totsumINNB, 1300000);
    EXPECT_EQ(loan.totsumRNT, 300000);
    EXPECT_EQ(loan.totsumGB, 15000);
}

TEST_F(Layouts, FilterRules) {
    utrectype neg = termin(-10, 0, 0, 0, 500);  // negative paid-in shows 0 and, alone, no line
    utrectype kap = termin(900, 300, 0, 600, 1000);
    utrectype endring = termin(0, 0, 0, 0, 800);
    utrectype xpay = termin(200, 0, 0, 200, 600);
    utrectype obs = termin(0, 120, 10, 50, 700);
    obs.plrenteJustering = 5;
    obs.plrenter.belop = 30;
    obs.plprovisjon = 4;
    loan.SR.nestetermindato = loan.Dato2RDato(Datorec::ymd(2026, 3, 15));

    loan.LocEndringnr = 0;
    EXPECT_EQ(kjor(loan.v30Forlop, {{trt::kOppgjor, feb15, neg, {}}, {trt::kEkstra, feb15, endring, {}}}),
              u"");
    loan.LocEndringnr = 1;
    EXPECT_EQ(kjor(loan.v30Forlop, {{trt::kKapitalisering, feb15, kap, {}},
                                    {trt::kEkstra, feb15, endring, {}},
                                    {trt::kEkstra, feb15, xpay, {}},
                                    {trt::kObsEtter, feb15, obs, {}},
                                    {trt::kStart, feb15, kap, {}}}),
              u"K;15.02.2025;0;300;0;0;1000\n"
              u"E;15.02.2025;0;0;0;0;800\n"
              u"X;15.02.2025;200;0;200;0;600\n");
    EXPECT_EQ(loan.obsAfter.saldo, 700);
    EXPECT_EQ(loan.obsAfter.renter, 125);
    EXPECT_EQ(loan.obsAfter.plRenter.belop, 30);
    EXPECT_EQ(loan.obsAfter.plProvisjon, 4);
    EXPECT_EQ(loan.obsAfter.NesteRntForf, loan.Dato2RDato(Datorec::ymd(2026, 3, 15)));

    loan.visForlopEndring = false;
    EXPECT_EQ(kjor(loan.v30Forlop, {{trt::kEkstra, feb15, endring, {}}}), u"");
}

TEST_F(Layouts, YearEndsLimitTheDetails) {
    // Two year ends wanted: after the second one only opening, year-end,
    // loan-year-end and total rows still come through.
    loan.aarsteljar = 2;
    utrectype t = termin(100, 40, 0, 60, 900);
    const Datorec y1 = Datorec::ymd(2025, 12, 31), y2 = Datorec::ymd(2026, 12, 31),
                  y3 = Datorec::ymd(2027, 12, 31);
    const std::u16string text = kjor(loan.v30Forlop, {{trt::kOppgjor, feb15, t, {}},
                                                      {trt::kAarsslutt, y1, t, {}},
                                                      {trt::kOppgjor, feb15, t, {}},
                                                      {trt::kAarsslutt, y2, t, {}},
                                                      {trt::kOppgjor, feb15, t, {}},
                                                      {trt::kApning, feb15, t, {}},
                                                      {trt::kAarsslutt, y3, t, {}},
                                                      {trt::kTotal, y3, t, {}}});
    EXPECT_EQ(text,
              u"T;15.02.2025;100;40;60;0;900\n"
              u"A;31.12.2025;100;40;60;0;900\n"
              u"T;15.02.2025;100;40;60;0;900\n"
              u"A;31.12.2026;100;40;60;0;900\n"
              u"A;31.12.2027;100;40;60;0;900\n"
              u"S;31.12.2027;100;40;60;0;900\n");
}

TEST_F(Layouts, DecimalsFollowTheRoundingUnits) {
    loan.RntRndFaktor = 0.01;
    utrectype t = termin(5083.456, 3750.5, 50.4, 1333, 998667);
    EXPECT_EQ(kjor(loan.v30Forlop, {{trt::kOppgjor, feb15, t, {}}}),
              u"T;15.02.2025;5083,46;3750,50;1333,00;50;998667,00\n");
    loan.formatertOutput = true;
    EXPECT_EQ(kjor(loan.v30Forlop, {{trt::kOppgjor, feb15, t, {}}}),
              u"Innbetaling;15.02.2025;5 083,46;3 750,50;1 333,00;50;998 667,00\n");
}

TEST_F(Layouts, SeparateCapitalisationLeavesZerosAndRepaymentEmpty) {
    loan.separatkapit = true;
    utrectype t = termin(0, 300, 0, 600, 1000);
    EXPECT_EQ(kjor(loan.v30Forlop, {{trt::kKapitalisering, feb15, t, {}}}), u"K;15.02.2025;;300;;;1000\n");
}

TEST_F(Layouts, FullScheduleAndRelativeYears) {
    saldoar s;
    s.snittRente = 4.567;
    utrectype t = termin(5000, 3700, 50, 1250, 990000);
    t.plrenteJustering = 10;
    EXPECT_EQ(kjor(loan.utrpndll, {{trt::kOppgjor, feb15, t, s}}),
              u"T;15.02.2025;5000;990000;3710;50;1250;0;4,57\n");
    // The loan-year end replaces the calendar year end.
    EXPECT_EQ(kjor(loan.RelAarsRapport, {{trt::kAarsslutt, des31, t, s}, {trt::kLaaneaarSlutt, feb15, t, s}}),
              u"A;15.02.2025;5000;990000;3700;50;1250;0\n");
}

TEST_F(Layouts, YearlyLayoutsTakeYearEndsOnly) {
    saldoar s;
    s.snittRente = 5.126;
    utrectype t = termin(60000, 40000, 600, 20000, 980000);
    EXPECT_EQ(kjor(loan.v30Aarsum, {{trt::kOppgjor, feb15, t, s}, {trt::kAarsslutt, des31, t, s}}),
              u"31.12.2025;31.12.2025;40000;20000;600\n");
    EXPECT_EQ(kjor(loan.v30Snittrente, {{trt::kOppgjor, feb15, t, s}, {trt::kAarsslutt, des31, t, s}}),
              u"2025;60000;40000;980000;5,13\n");
    t.skattfrdr = 11200;
    t.naaverdi = 47000;
    EXPECT_EQ(kjor(loan.v30ForlopNV, {{trt::kKapitalisering, feb15, t, s}, {trt::kAarsslutt, des31, t, s}}),
              u"A;31.12.2025;60000;11200;48800;47000\n");
}

TEST_F(Layouts, UnitLoanParts) {
    loan.MVF_rente[1].grense = 600000;
    loan.MVF_rente[2].grense = 900000;
    struct Case {
        double saldo;
        const char16_t* deler;  // part 1, part 2, part 3, balance
    } cases[] = {
        {1000000, u"600000;300000;100000;1000000"},
        {900000, u"600000;300000;0;900000"},
        {700000, u"600000;100000;0;700000"},
        {500000, u"500000;0;0;500000"},
    };
    for (const auto& c : cases) {
        utrectype t = termin(5000, 3000, 0, 2000, c.saldo);
        t.VeietRente = 4.5;
        EXPECT_EQ(kjor(loan.enhetslanrapp, {{trt::kOppgjor, feb15, t, {}}}),
                  u"T;15.02.2025;3000;2000;0;5000;" + std::u16string(c.deler) + u";4,50\n")
            << c.saldo;
    }
    // Without a step-2 limit everything is part 1; a zero weighted rate is empty.
    loan.MVF_rente[1].grense = 0;
    loan.MVF_rente[2].grense = 0;
    EXPECT_EQ(kjor(loan.enhetslanrapp, {{trt::kOppgjor, feb15, termin(5000, 3000, 0, 2000, 800000), {}}}),
              u"T;15.02.2025;3000;2000;0;5000;800000;0;0;800000;\n");
}

TEST_F(Layouts, EnglishKindsAndUnknownTexts) {
    loan.mode = TRunMode::engelsk();
    utrectype apning;
    apning.ksaldo = 1000;
    EXPECT_EQ(kjor(loan.v30Forlop, {{trt::kApningsSaldo, feb15, apning, {}}}), u"O;15.02.2025;0;0;0;0;1000\n");
    // Kind texts belong to the Norwegian letters.
    loan.formatertOutput = true;
    EXPECT_THROW(kjor(loan.v30Forlop, {{trt::kApningsSaldo, feb15, apning, {}}}), EMirvo);
    EXPECT_EQ(TForlopRapport::kodeTekst(u'A'), u"Årssum");
    EXPECT_EQ(TForlopRapport::kodeTekst(u'P'), u"Påløpt");
}

TEST_F(Layouts, JsonRows) {
    loan.initReportMode(TReportFmtMode::rmJSON);
    EXPECT_EQ(kjor(loan.v30Forlop, {{trt::kOppgjor, feb15, termin(5083, 3750, 50, 1333, 998667), {}}}),
              u"[[\"T\",\"2025-02-15\",5083,3750,1333,50,998667]]");
    loan.formatertOutput = true;
    EXPECT_EQ(kjor(loan.v30Forlop, {{trt::kOppgjor, feb15, termin(5083, 3750, 50, 1333, 998667), {}}}),
              u"[[\"Innbetaling\",\"2025-02-15\",\"5 083\",\"3 750\",\"1 333\",\"50\",\"998 667\"]]");
}

TEST_F(Layouts, OutputSettings) {
    EXPECT_EQ(loan.getOutputDecimalCount(), 0);
    loan.TermbelRndFaktor = 0.01;
    EXPECT_EQ(loan.getOutputDecimalCount(), 2);
    EXPECT_EQ(loan.getOutputDateFmt(), u"DD.MM.YYYY");
    EXPECT_EQ(loan.getPeriodFmtOption(false), kavelin::finans::pfSystem_no);
    EXPECT_EQ(loan.getPeriodFmtOption(true), kavelin::finans::pfText_no);
    loan.mode = TRunMode::engelsk();
    EXPECT_EQ(loan.getPeriodFmtOption(false), kavelin::finans::pfSystem_en);
    EXPECT_EQ(loan.getPeriodFmtOption(true), kavelin::finans::pfText_en);
}

}  // namespace

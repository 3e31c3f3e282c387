#include "app/ui/config/produkt_oppsett.h"

#include <gtest/gtest.h>

using namespace mirvo::oppsett;

namespace {

struct Expected {
    std::u16string id, caption;
    bool mini, std, print;
    std::u16string postfix;
};

void expectElement(const TBeregnetOppsettListe& list, const Expected& x) {
    int i = list.indexOf(x.id);
    ASSERT_GE(i, 0) << std::string(x.id.begin(), x.id.end());
    const TBeregnetElementOppsett& e = list[i];
    EXPECT_EQ(e.Beskrivelse(), x.caption);
    EXPECT_EQ(e.VisibleInMiniView(), x.mini);
    EXPECT_EQ(e.VisibleInStdView(), x.std);
    EXPECT_EQ(e.VisibleInPrint(), x.print);
    EXPECT_EQ(e.OutputPrefix(), u"");
    EXPECT_EQ(e.OutputPostfix(), x.postfix);
}

std::vector<std::u16string> ids(const TBeregnetOppsettListe& l) {
    std::vector<std::u16string> out;
    for (size_t i = 0; i < l.count(); ++i) out.push_back(l[i].ID());
    return out;
}

}  // namespace

TEST(BuiltInReports, InstallmentProduct) {
    TProduktOppsett p(1);
    p.SetProduktgruppe(TProduktGruppe::pgNedbetlån);
    TProduktRapporterListe& r = p.RapportOppsettListe();
    ASSERT_EQ(r.count(), 5u);
    const std::u16string listIds[] = {u"Nøkkeltall", u"StdForløp", u"RentemrgForløp", u"NåverdiForløp",
                                      u"TerminbeløpAnalyse"};
    const std::u16string titles[] = {u"Nøkkeltall", u"Nedbetalingsplan", u"Forløp med rentebuffer",
                                     u"Forløp med skatteeffekt/nåverdi", u"Terminbeløp vs nedbet.tid"};
    const std::u16string commands[] = {u"", u"FORLOPv30", u"MFORLOPv30", u"FORLOPNV", u"TERMBELOPvsLOPETID"};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(r[i].ID(), listIds[i]);
        EXPECT_EQ(r[i].Beskrivelse(), titles[i]);
        EXPECT_EQ(r[i].Command(), commands[i]);
    }
    EXPECT_EQ(ids(r[0]), (std::vector<std::u16string>{u"EFFRNT", u"TERMBELOP3", u"INNBET2", u"INFRDTO", u"LOPETID",
                                                      u"TOTANTTERM", u"TSUMINNB", u"TSUMRNT", u"TSUMGB", u"SNITTRNT1",
                                                      u"12MNDAVDRAG", u"12MNDBRNT", u"12MNDBPROV"}));
    expectElement(r[0], {u"EFFRNT", u"Effektiv rente", 1, 1, 1, u"%"});
    expectElement(r[0], {u"TOTANTTERM", u"Totalt antall terminer", 0, 1, 1, u""});
    expectElement(r[0], {u"SNITTRNT1", u"Snittrente 1. termin", 0, 0, 0, u"%"});
    expectElement(r[0], {u"12MNDBRNT", u"12 mnd. sum betalte renter", 0, 1, 0, u""});
    EXPECT_EQ(ids(r[1]), (std::vector<std::u16string>{u"KODE", u"DATO", u"INNBET", u"RENTE", u"AVDRAG", u"GEBYR",
                                                      u"SALDO"}));
    expectElement(r[1], {u"SALDO", u"Restgjeld", 1, 1, 1, u""});
    EXPECT_EQ(ids(r[2]), (std::vector<std::u16string>{u"KODE", u"DATO", u"INNBET", u"INNBETM", u"INNBETD", u"RENTE",
                                                      u"RENTEM", u"RENTED", u"AVDRAG", u"AVDRAGM", u"AVDRAGD",
                                                      u"GEBYR", u"SALDO", u"SALDOM", u"SALDOD"}));
    expectElement(r[2], {u"INNBET", u"Innbet. ord.", 0, 1, 1, u""});
    expectElement(r[2], {u"RENTEM", u"Renter alt.", 0, 1, 0, u""});
    expectElement(r[2], {u"GEBYR", u"Gebyr", 0, 1, 0, u""});
    expectElement(r[2], {u"SALDOD", u"Saldo diff", 0, 1, 1, u""});
    EXPECT_EQ(ids(r[3]), (std::vector<std::u16string>{u"KODE", u"DATO", u"INNBET", u"SKATT", u"NETTO", u"NV"}));
    expectElement(r[3], {u"NV", u"Realkostnad (NV)", 0, 1, 1, u""});
    EXPECT_EQ(ids(r[4]), (std::vector<std::u16string>{u"LOPETID", u"TERMBELOP", u"TOTRNT", u"TOTINNB",
                                                      u"TOTINNBNV"}));
    expectElement(r[4], {u"TOTINNB", u"Totalt innbet.", 0, 1, 1, u""});
}

TEST(BuiltInReports, FrameworkProductAndGroupChangesAppend) {
    TProduktOppsett p(1);
    p.SetProduktgruppe(TProduktGruppe::pgRammelån);
    ASSERT_EQ(p.RapportOppsettListe().count(), 1u);
    const TBeregnetOppsettListe& l = p.RapportOppsettListe()[0];
    EXPECT_EQ(l.ID(), u"StdRapport");
    EXPECT_EQ(l.Beskrivelse(), u"Effektivrenterapport");
    EXPECT_EQ(l.Command(), u"FORLOPA");
    EXPECT_EQ(ids(l), (std::vector<std::u16string>{u"UTNGRAD", u"UTTAK", u"ETABLOMK", u"PROV", u"RNT", u"UTNPROV",
                                                   u"EFFRNTMGB", u"EFFRNTUGB"}));
    expectElement(l, {u"UTTAK", u"Uttak", 1, 1, 1, u""});
    expectElement(l, {u"UTNPROV", u"Utn.prov", 0, 1, 1, u""});
    expectElement(l, {u"EFFRNTUGB", u" u/etabl.gbr", 1, 1, 1, u""});
    EXPECT_EQ(p.GetProduktgruppeStr(), u"Rammekreditt");

    p.SetProduktgruppe(TProduktGruppe::pgNedbetlån);
    EXPECT_EQ(p.RapportOppsettListe().count(), 6u);
    p.SetProduktgruppe(TProduktGruppe::pgNone);
    EXPECT_EQ(p.RapportOppsettListe().count(), 6u);
    EXPECT_EQ(p.GetProduktgruppeStr(), u"");
}

TEST(BuiltInReports, CommonConfiguration) {
    TFellesOppsett c;
    EXPECT_EQ(c.ID(), 999999);
    EXPECT_EQ(c.Produktgruppe(), TProduktGruppe::pgNedbetlån);
    EXPECT_FALSE(c.isChanged());
    TProduktRapporterListe& r = c.RapportOppsettListe();
    ASSERT_EQ(r.count(), 5u);
    EXPECT_EQ(r[1].Command(), u"FORLOPv30");
    EXPECT_EQ(ids(r[0]), (std::vector<std::u16string>{u"LBELOP", u"SNITTRNT1", u"EFFRNT", u"INNBET2", u"INFRDTO",
                                                      u"LOPETID", u"TSUMINNB", u"TSUMRNT", u"TSUMGB", u"12MNDAVDRAG",
                                                      u"12MNDBRNT", u"12MNDBPROV"}));
    expectElement(r[0], {u"LBELOP", u"Samlet lånebeløp", 1, 1, 1, u""});
    expectElement(r[0], {u"SNITTRNT1", u"Snittrente 1. termin", 1, 1, 1, u"%"});
    expectElement(r[0], {u"INFRDTO", u"Innfrielsesdato", 0, 1, 1, u""});
    expectElement(r[1], {u"INNBET", u"Innbetalt", 1, 1, 1, u""});
    expectElement(r[1], {u"RENTE", u"Renter", 0, 1, 1, u""});
    expectElement(r[1], {u"SALDO", u"Restgjeld", 1, 1, 1, u""});
    expectElement(r[2], {u"RENTED", u"Renter diff.", 0, 1, 1, u""});
    expectElement(r[2], {u"SALDO", u"Saldo", 0, 1, 0, u""});
    expectElement(r[2], {u"SALDOD", u"Saldo diff", 0, 1, 0, u""});
    EXPECT_EQ(r[3].count(), 6u);
    EXPECT_EQ(r[4].ID(), u"TerminbeløpAnalyse");
    EXPECT_EQ(r[4].count(), 0u);
    // Whatever the new group, the common lists are appended again.
    c.SetProduktgruppe(TProduktGruppe::pgRammelån);
    EXPECT_EQ(r.count(), 10u);
}

TEST(ReportLists, ItemByIdGetsOrAppends) {
    TProduktRapporterListe r;
    TBeregnetOppsettListe& a = r.itemByID(u"A");
    EXPECT_EQ(&r.itemByID(u"A"), &a);
    EXPECT_EQ(r.indexOf(u"a"), -1);  // exact comparison
    r.add(u"A");
    EXPECT_EQ(r.count(), 2u);
    TBeregnetElementOppsett& e = a.addElement(u"EFFRNT", u"Eff", true, false, true, u"<", u">");
    EXPECT_EQ(&a.itemByID(u"EFFRNT"), &e);
    EXPECT_EQ(e.OutputPrefix(), u"<");
}

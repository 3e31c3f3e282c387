#include "app/ui/config/produkt_liste.h"
#include "app/ui/config/similarity.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <map>

using namespace mirvo::oppsett;
using mirvo::test::readBytes;
using mirvo::test::TempDir;
using mirvo::test::writeBytes;
namespace fs = std::filesystem;

namespace {

class CfgFileTest : public ::testing::Test {
protected:
    TempDir FDir;
    fs::path FIn = FDir / "Configurations.xml";
    fs::path FOut = FDir / "custom_Configurations.xml";

    std::unique_ptr<TProduktOppsettListe> open(std::string_view xml) {
        writeBytes(FIn, xml);
        return openFile();
    }
    std::unique_ptr<TProduktOppsettListe> openFile() {
        return std::make_unique<TProduktOppsettListe>(
            [this](bool forSave) { return (forSave ? FOut : FIn).u16string(); });
    }
    std::u16string loadError(std::string_view xml) {
        try {
            open(xml);
        } catch (const EOppsett& e) {
            return e.message();
        }
        return u"(no error)";
    }
};

bool contains(const std::u16string& s, std::u16string_view part) { return s.find(part) != std::u16string::npos; }

// A product with every kind of element and value, for write/read cycles.
void fillProduct(TProduktOppsett& p) {
    p.SetBeskrivelse(u"Boliglån «flex» & <mer>");
    p.SetProduktgruppe(TProduktGruppe::pgNedbetlån);
    TInputOppsett& w = p.InputOppsettListe().add();
    w.SetID(u"Initial");
    auto& place = w.addInputAltListe();
    TInputElementOppsett& a = place.add();
    a.SetID(u"LBELOP");
    a.Setkind(TCtrlKind::ckNum);
    a.SetinputFmt(u"T2-h");
    a.SetisDLLCalcField(true);
    a.SetshowInDefaultValuesDlg(true);
    a.SetlabelText(u"Lånebeløp");
    a.SetlabelPos({6, 5});
    a.SetinputPos({-3, 7});
    a.SetinputDim({90, 21});
    a.SetinputAlign(TAlignment::taRightJustify);
    a.SetunitText(u"kr");
    a.SetunitPos({370, 4});
    a.SetdefaultValue(u"2500000");
    a.SeteventScript(u"if (event == \"change\") {\r\n  f.value = 1;\r\n}");
    a.Sethint(u"Beløpet kunden låner");
    a.SethelpID(u"hlpLbelop");
    a.SetgroupID(u"G1");
    a.SetpanelFlow(TFlowKind::flAuto);
    a.Setstate(TCtrlState::csReadonly);
    TInputElementOppsett& b = place.add();
    b.SetID(u"TERMBELOP");
    b.Setkind(TCtrlKind::ckYesNo);
    w.addSeparator().SetID(u"skille1");
    TInputElementOppsett& c = w.addInputAltListe().add();
    c.SetID(u"LNTYPE");
    c.Setkind(TCtrlKind::ckDropDown);
    c.SetinputChoices({u"ANNUITET=Annuitetslån", u"SERIE=Serielån"});
    c.SetdefaultValue(u"ANNUITET");
    TInputElementOppsett& d = w.addInputAltListe().add();
    d.SetID(u"LOPETID");
    d.Setkind(TCtrlKind::ckPeriod);
    d.SetinputFmt(u"__ år __ mnd");
    TInputOppsett& ch = p.InputOppsettListe().add();
    ch.SetID(u"Changes");
    ch.Setkind(TWndKind::wkChangesArray);
    ch.addInputAltListe().add().SetID(u"RNTSATS");
    TBeregnetOppsettListe& extra = p.RapportOppsettListe().add(u"Egen");
    extra.SetBeskrivelse(u"Egen liste");
    extra.addElement(u"TERMBELOP", u"Terminbeløp", true, false, true, u"ca. ", u" kr");
}

std::string savedText(TProduktOppsettListe& l, const fs::path& file) {
    l.changed();
    l.save();
    return readBytes(file);
}

}  // namespace

TEST_F(CfgFileTest, AnEmptyRootGivesNoProductsAndWritesNothing) {
    auto l = open("<?xml version=\"1.0\"?>\r\n<Oppsett/>");
    EXPECT_EQ(l->count(), 0u);
    EXPECT_EQ(l->common().RapportOppsettListe().count(), 5u);
    EXPECT_FALSE(l->isChanged());
    l->save();
    EXPECT_FALSE(fs::exists(FOut));
}

TEST_F(CfgFileTest, StoredReportsMergeIntoTheBuiltInOnes) {
    auto l = open(R"(<?xml version="1.0" encoding="UTF-8"?><Oppsett><Produkt ID="3"><Beskrivelse>Lån</Beskrivelse><Produktgruppe>1</Produktgruppe>
<RapportOppsettListe>
 <Item ID="Nøkkeltall"><Beskrivelse>Tall</Beskrivelse><Command></Command>
  <Item ID="EFFRNT"><Beskrivelse></Beskrivelse><VisibleInPrint>True</VisibleInPrint><OutputPostfix><![CDATA[ %]]></OutputPostfix></Item>
  <Item ID="NYTT"><Beskrivelse>Nytt tall</Beskrivelse><VisibleInMiniView>True</VisibleInMiniView></Item>
 </Item>
 <Item ID="Egen"><Beskrivelse>Egen</Beskrivelse><Command>FORLOPv30</Command></Item>
</RapportOppsettListe></Produkt>
<Produkt ID="9"><Beskrivelse>Uten gruppe</Beskrivelse></Produkt></Oppsett>)");
    ASSERT_EQ(l->count(), 2u);
    TProduktOppsett& p = l->getProduktOppsett(0);
    EXPECT_EQ(p.ID(), 3);
    TProduktRapporterListe& r = p.RapportOppsettListe();
    ASSERT_EQ(r.count(), 6u);
    EXPECT_EQ(r[0].Beskrivelse(), u"Tall");
    const TBeregnetElementOppsett& eff = r[0][0];
    EXPECT_EQ(eff.ID(), u"EFFRNT");
    EXPECT_EQ(eff.Beskrivelse(), u"Effektiv rente");  // kept
    EXPECT_FALSE(eff.VisibleInMiniView());            // missing reads false
    EXPECT_TRUE(eff.VisibleInPrint());
    EXPECT_EQ(eff.OutputPostfix(), u" %");
    ASSERT_EQ(r[0].count(), 14u);
    EXPECT_EQ(r[0][13].ID(), u"NYTT");
    EXPECT_EQ(r[5].ID(), u"Egen");
    EXPECT_EQ(r[5].Command(), u"FORLOPv30");
    EXPECT_EQ(r[1].count(), 7u);  // not mentioned: as built in

    TProduktOppsett& bare = l->getProduktOppsett(1);
    EXPECT_EQ(bare.Produktgruppe(), TProduktGruppe::pgNone);
    EXPECT_EQ(bare.RapportOppsettListe().count(), 0u);
    EXPECT_FALSE(l->isChanged());
}

TEST_F(CfgFileTest, StoredValuesOverrideKindDefaults) {
    auto l = open(R"(<Oppsett><Produkt ID="1"><InputOppsettListe><Oppsett ID="Initial" Type="Std">
<Item Type="input"><Alt ID="A"><Kind>num</Kind><InputFmt/></Alt></Item>
<Item Type="INPUT"><Alt ID="B"><Kind>period</Kind></Alt></Item>
<Item Type="Input"><Alt ID="C"><Kind>Num</Kind><InputFmt>T0</InputFmt></Alt></Item>
<Item Type="Input"><Alt ID="D"><Kind>yesno</Kind><InputFmt>x</InputFmt></Alt></Item>
<Item ID="S" Type="separator"><Kind>spacedline</Kind><PanelDim>380,12</PanelDim></Item>
</Oppsett></InputOppsettListe></Produkt></Oppsett>)");
    TInputOppsett& w = l->getProduktOppsett(0).InputOppsettListe()[0];
    TInputElementOppsett& a = *w.getInputElement(u"A");
    EXPECT_EQ(a.kind(), TCtrlKind::ckNum);
    EXPECT_EQ(a.inputFmt(), u"");
    EXPECT_EQ(a.inputMaxLength(), 0);
    EXPECT_EQ(a.labelText(), u"");  // missing text reads empty
    EXPECT_EQ(a.labelPos(), (TPunkt{0, 0}));
    EXPECT_EQ(w.getInputElement(u"B")->inputFmt(), u"__ år  __ mnd");
    EXPECT_EQ(w.getInputElement(u"C")->kind(), TCtrlKind::ckNone);
    TInputElementOppsett& d = *w.getInputElement(u"D");
    EXPECT_EQ(d.inputFmt(), u"");
    EXPECT_TRUE(d.inputChoices().empty());
    ASSERT_NE(w.separator(4), nullptr);
    EXPECT_EQ(w.separator(4)->ID(), u"S");
    EXPECT_EQ(w.separator(4)->panelDim(), (TDimension{380, 12}));
}

TEST_F(CfgFileTest, AnUnknownItemTypeFailsTheLoad) {
    for (const char* type : {"Type=\"Felt\"", ""}) {
        std::string xml = std::string("<Oppsett><Produkt ID=\"1\"/><Produkt ID=\"2\"><InputOppsettListe>"
                                      "<Oppsett ID=\"Initial\"><Item ") +
                          type + "/></Oppsett></InputOppsettListe></Produkt></Oppsett>";
        std::u16string msg = loadError(xml);
        EXPECT_TRUE(contains(msg, u"Ukjent type element i XML!")) << type;
        EXPECT_TRUE(contains(msg, u"Configurations.xml"));
    }
}

TEST_F(CfgFileTest, WriteAndReadBackGiveTheSameTree) {
    auto l = open("<Oppsett/>");
    fillProduct(l->add());
    l->add().SetProduktgruppe(TProduktGruppe::pgRammelån);
    l->common().RapportOppsettListe()[0][0].SetBeskrivelse(u"Samlet beløp");
    ASSERT_TRUE(l->isChanged());
    l->save();
    EXPECT_FALSE(l->isChanged());
    std::string first = readBytes(FOut);
    EXPECT_NE(first.find("\r\n<FellesOppsett ID=\"999999\">\r\n<Beskrivelse/>\r\n<Produktgruppe>1</Produktgruppe>"),
              std::string::npos);

    FIn = FOut;
    FOut = FDir / "second.xml";
    auto back = openFile();
    ASSERT_EQ(back->count(), 2u);
    EXPECT_EQ(savedText(*back, FOut), first);

    TProduktOppsett& p = back->getProduktOppsett(0);
    EXPECT_EQ(p.Beskrivelse(), u"Boliglån «flex» & <mer>");
    TInputElementOppsett& a = *p.InputOppsettListe()[0].getInputElement(u"LBELOP");
    EXPECT_EQ(a.inputFmt(), u"T2-h");
    EXPECT_EQ(a.inputMaxLength(), 15);
    EXPECT_EQ(a.inputPos(), (TPunkt{-3, 7}));
    EXPECT_EQ(a.inputAlign(), TAlignment::taRightJustify);
    EXPECT_EQ(a.eventScript(), u"if (event == \"change\") {\r\n  f.value = 1;\r\n}");
    EXPECT_EQ(back->getProduktOppsett(1).RapportOppsettListe()[0][7].Beskrivelse(), u" u/etabl.gbr");
    EXPECT_EQ(a.state(), TCtrlState::csReadonly);
    EXPECT_EQ(a.panelFlow(), TFlowKind::flAuto);
    EXPECT_TRUE(a.isDLLCalcField());
    EXPECT_TRUE(a.showInDefaultValuesDlg());
    EXPECT_EQ(p.InputOppsettListe()[0].getInputElement(u"TERMBELOP")->inputChoices(),
              (std::vector<std::u16string>{u"1=Ja", u"0=Nei"}));
    EXPECT_EQ(p.InputOppsettListe()[1].kind(), TWndKind::wkChangesArray);
    EXPECT_EQ(back->common().RapportOppsettListe()[0][0].Beskrivelse(), u"Samlet beløp");
    EXPECT_EQ(back->getProduktOppsett(1).RapportOppsettListe().count(), 1u);
}

TEST_F(CfgFileTest, ARepeatedFieldIdFailsTheSaveAndWritesNothing) {
    auto l = open("<Oppsett/>");
    TInputOppsett& w = l->add().InputOppsettListe().add();
    w.addInputAltListe().add().SetID(u"RntSats");
    w.addInputAltListe().add().SetID(u"RNTSATS");
    try {
        l->save();
        FAIL();
    } catch (const EOppsett& e) {
        EXPECT_EQ(e.message(), u"Multiple instanser av felt \"RNTSATS\" registrert. Rydd opp i overlapping / konflikt!");
    }
    EXPECT_FALSE(fs::exists(FOut));
    EXPECT_TRUE(l->isChanged());
}

TEST_F(CfgFileTest, DamagedFilesGiveANorwegianErrorAndAreNeverOverwritten) {
    auto good = open("<Oppsett/>");
    fillProduct(good->add());
    fillProduct(good->add());
    good->save();
    std::string full = readBytes(FOut);
    const std::string cases[] = {
        full.substr(0, full.size() / 2),                // cut short in the middle
        full.substr(0, full.rfind("</Oppsett>")),       // cut just before the end
        "",                                             // empty file
        "<Oppsett><Produkt ID=\"1\">> </Produkt></Oppsett>",  // not well-formed
        "<Konfig/>",                                    // another root
    };
    for (const std::string& bytes : cases) {
        writeBytes(FOut, bytes);
        FIn = FOut;
        try {
            openFile();
            ADD_FAILURE() << "loaded: " << bytes.size();
            continue;
        } catch (const EOppsett& e) {
            EXPECT_TRUE(contains(e.message(), u"Kan ikke lese konfigurasjonsfilen")) << bytes.size();
        }
    }
}

TEST_F(CfgFileTest, AFailedReloadKeepsTheFileAndRefusesToSave) {
    auto l = open("<Oppsett/>");
    fillProduct(l->add());
    l->save();
    std::string full = readBytes(FOut);
    FIn = FOut;
    writeBytes(FOut, full.substr(0, full.size() - 40));
    EXPECT_THROW(l->load(), EOppsett);
    EXPECT_TRUE(l->loadFailed());
    l->add().SetBeskrivelse(u"Ny");
    EXPECT_THROW(l->save(), EOppsett);
    EXPECT_EQ(readBytes(FOut), full.substr(0, full.size() - 40));
    // A good file clears the state again.
    writeBytes(FOut, full);
    l->load();
    EXPECT_FALSE(l->loadFailed());
    EXPECT_EQ(l->count(), 1u);
    EXPECT_EQ(l->common().RapportOppsettListe().count(), 5u);
}

TEST_F(CfgFileTest, ProductIdsLookupsAndLists) {
    auto l = open(R"(<?xml version="1.0" encoding="UTF-8"?><Oppsett><Produkt ID="7"><Beskrivelse>Ramme</Beskrivelse><Produktgruppe>2</Produktgruppe></Produkt>
<Produkt ID="2"><Beskrivelse>Serielån</Beskrivelse><Produktgruppe>1</Produktgruppe></Produkt>
<Produkt ID="3"><Produktgruppe>1</Produktgruppe></Produkt></Oppsett>)");
    EXPECT_EQ(l->add().ID(), 8);
    EXPECT_EQ(l->indexOf(2), 1);
    EXPECT_EQ(l->itemById(5), nullptr);
    EXPECT_EQ(l->firstIdOf(TProduktGruppe::pgNedbetlån), 2);
    EXPECT_EQ(l->firstIdOf(TProduktGruppe::pgNone), 7);
    std::vector<std::u16string> lines;
    l->getProduktListe(lines, TProduktGruppe::pgNedbetlån);
    EXPECT_EQ(lines, (std::vector<std::u16string>{u"2=Serielån"}));
    l->getProduktListe(lines, TProduktGruppe::pgNone);
    EXPECT_EQ(lines, (std::vector<std::u16string>{u"7=Ramme", u"2=Serielån"}));
    l->clearChangeFlags();
    l->deleteProdukt(7);
    EXPECT_TRUE(l->isChanged());
    EXPECT_EQ(l->firstIdOf(TProduktGruppe::pgRammelån), -1);
    EXPECT_THROW(l->deleteProdukt(7), EOppsett);
}

TEST_F(CfgFileTest, ImportedLoanFindsItsProductByLoanType) {
    auto l = open("<Oppsett/>");
    l->add();  // no "Initial" window
    TProduktOppsett& serie = l->add();
    serie.InputOppsettListe().itemByID(u"Initial").addInputAltListe().add().SetID(u"LnType");
    serie.InputOppsettListe()[0].getInputElement(u"LNTYPE")->SetdefaultValue(u"SERIE");
    l->clearChangeFlags();
    kavelin::xml::TXMLDoc doc;
    doc.setText(u"<loan><lntype>serie</lntype></loan>");
    EXPECT_EQ(l->findClosestProductID(*doc.root()), 2);
    doc.setText(u"<loan><lntype>annuitet</lntype></loan>");
    EXPECT_EQ(l->findClosestProductID(*doc.root()), 0);
    EXPECT_FALSE(l->isChanged());
}

TEST_F(CfgFileTest, ProductByNameUsesTheLongestCommonRuns) {
    auto l = open("<Oppsett/>");
    l->add().SetBeskrivelse(u"Flytende rente");
    l->add().SetBeskrivelse(u"Fastrente 5 år");
    EXPECT_EQ(similarity(u"Fastrentelån 5 år", u"Fastrente 5 år"), 14);
    EXPECT_EQ(similarity(u"Fastrentelån 5 år", u"Flytende rente"), 5);
    EXPECT_EQ(similarity(u"BSU-lån", u"bsu-LÅN"), 7);
    EXPECT_EQ(l->findClosestProductID(u"Fastrentelån 5 år"), 2);
    EXPECT_EQ(l->findClosestProductID(u"Billån"), -1);
}

namespace {

struct FakeAction : TCfgMenuAction {
    std::u16string caption;
    int tag = -1;
    bool visible = true;
    void setCaption(std::u16string_view c) override { caption = c; }
    void setTag(int t) override { tag = t; }
    void setVisible(bool v) override { visible = v; }
};
struct FakeWindow : TCfgMenuWindow {
    std::map<std::u16string, FakeAction> actions;
    FakeWindow() {
        for (int n = 1; n <= 15; ++n) actions[u"actionOppsettProdukt" + formatInt(n)];
    }
    TCfgMenuAction* findAction(std::u16string_view name) override {
        auto it = actions.find(std::u16string(name));
        return it == actions.end() ? nullptr : &it->second;
    }
};

}  // namespace

TEST_F(CfgFileTest, ProductMenuShowsOneActionPerProduct) {
    auto l = open(R"(<Oppsett><Produkt ID="5"><Beskrivelse>Ramme</Beskrivelse></Produkt>
<Produkt ID="2"><Beskrivelse>Serie</Beskrivelse></Produkt></Oppsett>)");
    FakeWindow w;
    l->initCfgMenu(w);
    EXPECT_EQ(w.actions[u"actionOppsettProdukt1"].caption, u"Ramme");
    EXPECT_EQ(w.actions[u"actionOppsettProdukt1"].tag, 0);
    EXPECT_EQ(w.actions[u"actionOppsettProdukt2"].tag, 1);
    EXPECT_TRUE(w.actions[u"actionOppsettProdukt2"].visible);
    EXPECT_FALSE(w.actions[u"actionOppsettProdukt3"].visible);

    while (l->count() < 15) l->add();
    l->initCfgMenu(w);
    for (auto& [name, a] : w.actions) EXPECT_TRUE(a.visible);
    l->add();
    try {
        l->initCfgMenu(w);
        FAIL();
    } catch (const EOppsett& e) {
        EXPECT_EQ(e.message(), u"For mange produkter konfigurert! Kontakt Kavelin!");
    }
}

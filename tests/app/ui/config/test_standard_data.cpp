// The data the program ships: the standard configuration, the predefined
// fields of the input-window editor and the standard configuration number.
#include "app/ui/config/produkt_liste.h"
#include "app/ui/fmt/textfmt.h"
#include "calc/loan/calc_loan.h"

#include "tests/support/temp_dir.h"
#include "tests/support/source_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <set>

using namespace mirvo::oppsett;
using mirvo::test::readBytes;
using mirvo::test::TempDir;
namespace fs = std::filesystem;

namespace {

using mirvo::test::dataFile;

std::string narrow(const std::u16string& s) { return std::string(s.begin(), s.end()); }

// The framework-loan calculator's input keywords; "UTNGRAD" and
// "UTNYTTELSESGRAD" take the degree number in the name.
bool isFrameworkKeyword(const std::u16string& id) {
    static const std::set<std::u16string> keys = {
        u"ORDBEVILGNING", u"ORDRENTESATS", u"ORDPROVISJON", u"ORDPROVISJONMIN", u"ORDPROVISJONPER",
        u"ORDPROVISJONKAP", u"PROVKAPITALISERING", u"TILLBEVILGNING", u"TILLRENTESATS", u"TILLPROVISJON",
        u"TILLPROVISJONMIN", u"TILLPROVISJONPER", u"TILLPROVISJONKAP", u"TILLBEVILGNING2", u"TILLRENTESATS2",
        u"TILLPROVISJON2", u"TILLPROVISJONMIN2", u"TILLPROVISJONPER2", u"TILLPROVISJONKAP2", u"OVERTRRENTE",
        u"OVERTRPROVISJON", u"OVERTRPROVISJONMIN", u"OVERTRPROVISJONPER", u"OVERTRPROVISJONKAP",
        u"TRAPPEGRENSEBELOP", u"TRAPPEGRENSESATS", u"TRAPPEGRENSE", u"TRAPPERENTESATS", u"TRAPPERENTE",
        u"TRAPPEGRENSETYPE", u"TRAPPERENTETYPE", u"UTNYTTPROVISJON", u"UTNYTTPROVISJONPER", u"UTNYTTPROVISJONKAP",
        u"UTNYTTPROVISJONSTART", u"STARTBEREGN", u"UTNYTTPROVISJONEFF", u"EFFBEREGN", u"KONTOHOLDSGEBYR",
        u"KONTOHOLDSGEBYRPER", u"KONTOHOLDSGEBYRKAP", u"ETABLERINGSOMK", u"DEPOTOMK", u"RENTEKAPITALISERING",
        u"AVTALEPER", u"DATEFMT"};
    if (keys.count(id)) return true;
    static const std::regex degree("(UTNGRAD|UTNYTTELSESGRAD)(1[01]|[0-9])");
    return std::regex_match(narrow(id), degree);
}

// A value the field could hold: its default, else one of its kind.
std::u16string sampleValue(const TInputElementOppsett& f) {
    if (!f.defaultValue().empty()) return f.defaultValue();
    if (f.kind() == TCtrlKind::ckDatetime) return u"01.02.2025";
    if (hasChoices(f.kind()) && !f.inputChoices().empty()) {
        const std::u16string& line = f.inputChoices().front();
        return line.substr(0, line.find(u'='));
    }
    return u"1";
}

// Checks every field of a window; `group` decides the calculator.
void checkWindow(const TInputOppsett& w, TProduktGruppe group, const std::string& where) {
    EXPECT_NO_THROW(w.validate()) << where;
    for (size_t i = 0; i < w.count(); ++i) {
        TInputElementAltOppsettListe* place = w.place(i);
        if (!place) continue;
        ASSERT_GT(place->count(), 0u) << where;
        for (size_t j = 0; j < place->count(); ++j) {
            const TInputElementOppsett& f = (*place)[j];
            std::string at = where + "/" + narrow(f.ID());
            EXPECT_FALSE(f.labelText().empty()) << at;
            EXPECT_FALSE(f.hint().empty()) << at;
            if (f.kind() == TCtrlKind::ckNum) {
                EXPECT_TRUE(kavelin::fmt::TTextFmt(f.inputFmt()).isNumber()) << at;
            }
            if (f.kind() == TCtrlKind::ckDatetime) {
                EXPECT_EQ(kavelin::fmt::TTextFmt(f.inputFmt()).kind(), kavelin::fmt::TTextFmtKind::fkDatetime) << at;
            }
            if (hasChoices(f.kind())) {
                EXPECT_FALSE(f.inputChoices().empty()) << at;
            }
            if (!f.isDLLCalcField()) continue;
            if (group == TProduktGruppe::pgRammelån) {
                EXPECT_TRUE(isFrameworkKeyword(f.ID())) << at;
            } else {
                mirvo::beregning::TCalcLoan loan;
                EXPECT_EQ(loan.InputPairAlt(f.ID(), sampleValue(f)), 0) << at << "=" << narrow(sampleValue(f));
            }
        }
    }
}

}  // namespace

TEST(StandardData, ConfigurationLoadsValidatesAndFeedsTheLibrary) {
    TempDir dir;
    fs::path out = dir / "Configurations.xml";
    TProduktOppsettListe l([&](bool forSave) { return (forSave ? out : dataFile("Configurations.xml")).u16string(); });
    ASSERT_GE(l.count(), 4u);
    std::set<TProduktGruppe> groups;
    bool changes = false;
    for (size_t i = 0; i < l.count(); ++i) {
        const TProduktOppsett& p = l.getProduktOppsett(i);
        EXPECT_FALSE(p.Beskrivelse().empty());
        EXPECT_NO_THROW(p.validate());
        groups.insert(p.Produktgruppe());
        const TInputOppsettListe& ws = p.InputOppsettListe();
        if (p.Produktgruppe() == TProduktGruppe::pgRammelån) {
            for (int n = 1; n <= 8; ++n) EXPECT_GE(ws.indexOf(u"Part" + formatInt(n)), 0) << n;
        } else {
            EXPECT_GE(ws.indexOf(u"Initial"), 0);
            int c = ws.indexOf(u"Changes");
            if (c >= 0) {
                EXPECT_EQ(ws[c].kind(), TWndKind::wkChangesArray);
                changes = changes || ws[c].count() > 0;
            }
        }
        for (size_t w = 0; w < ws.count(); ++w)
            checkWindow(ws[w], p.Produktgruppe(), narrow(p.Beskrivelse()) + "/" + narrow(ws[w].ID()));
    }
    EXPECT_TRUE(groups.count(TProduktGruppe::pgNedbetlån));
    EXPECT_TRUE(groups.count(TProduktGruppe::pgRammelån));
    EXPECT_TRUE(changes);
    EXPECT_GT(l.findClosestProductID(u"Serielån"), 0);

    // What the program writes from it reads back the same.
    l.changed();
    l.save();
    std::string first = readBytes(out);
    fs::path again = dir / "again.xml";
    TProduktOppsettListe back([&](bool forSave) { return (forSave ? again : out).u16string(); });
    back.changed();
    back.save();
    EXPECT_EQ(readBytes(again), first);
}

TEST(StandardData, AvailableFieldsOfferValidWindows) {
    kavelin::xml::TXMLDoc doc;
    doc.Load(dataFile("AvailableFields.xml"));
    const std::pair<const char16_t*, std::vector<std::u16string>> types[] = {
        {u"NBLN", {u"Initial", u"Changes", u"Details"}},
        {u"RMLN", {u"Part1", u"Part2", u"Part3", u"Part4", u"Part5", u"Part6", u"Part7", u"Part8"}},
    };
    for (const auto& [type, windows] : types) {
        for (const std::u16string& id : windows) {
            std::u16string path = u"Available\\" + std::u16string(type) + u"\\" + id;
            ASSERT_TRUE(doc.Exists(path)) << narrow(path);
            TInputOppsett w;
            w.load(doc.getElement(path));
            EXPECT_GT(w.count(), 0u) << narrow(path);
            checkWindow(w, type == std::u16string(u"RMLN") ? TProduktGruppe::pgRammelån : TProduktGruppe::pgNedbetlån,
                        narrow(path));
        }
    }
}

TEST(StandardData, StandardConfigurationNumber) {
    std::string bytes = readBytes(dataFile("stdCfg.id"));
    ASSERT_EQ(bytes.size(), 4u);
    EXPECT_EQ(bytes, std::string("\x01\x00\x00\x00", 4));
}

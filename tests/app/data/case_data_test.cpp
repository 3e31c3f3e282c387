// The case data model on the standard configuration of data/ and on small
// configurations of its own (scripts).
#include "app/mng/data_mng.h"
#include "app/mng/data_item.h"
#include "app/mng/mirvo_dll.h"
#include "mirvo32.h"
#include "common/text/encoding.h"
#include "common/utils/dates.h"
#include "tests/support/core_app.h"
#include "tests/support/temp_dir.h"
#include "tests/support/source_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>

using namespace mirvo::mng;
using kavelin::activex::TOleVariant;
using kavelin::activex::variantText;
using kavelin::text::toUtf8;
using mirvo::test::dataFile;
using mirvo::test::TempDir;
namespace fs = std::filesystem;
namespace op = mirvo::oppsett;

namespace {

std::string bytesOf(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const fs::path& p, std::string_view bytes) {
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

std::u16string today() { return kavelin::utils::datostr(kavelin::utils::dagensDato(), u"DD.MM.YYYY"); }

// A fresh data manager over a configuration file, with its own user folder.
class CaseData : public ::testing::Test {
protected:
    static void SetUpTestSuite() { mirvo::test::ensureCoreApp(); }

    void useConfig(const fs::path& file) {
        cfg = std::make_unique<op::TProduktOppsettListe>([file](bool) { return file.u16string(); });
        restart();
    }
    void restart() {
        mng.reset();
        mng = std::make_unique<TDataMng>(*cfg, dir / "Defaults.xml", dir / "Saker",
                                         [this](const std::u16string& caption, const std::u16string& text) {
                                             errors.push_back(toUtf8(caption) + " | " + toUtf8(text));
                                         });
    }
    void SetUp() override { useConfig(dataFile("Configurations.xml")); }

    TPortfolioData& sak() { return mng->current(); }
    static TDataItem& item(TProductData& loan, std::u16string_view section, std::u16string_view id) {
        TDataSection* s = loan.getSection(section);
        TDataItem* i = s ? s->getData(id) : nullptr;
        if (!i) throw std::runtime_error("no item " + toUtf8(id));
        return *i;
    }

    TempDir dir;
    std::unique_ptr<op::TProduktOppsettListe> cfg;
    std::unique_ptr<TDataMng> mng;
    std::vector<std::string> errors;
};

}  // namespace

TEST_F(CaseData, EveryProductGivesANewLoanItsDefaultsAndInitScriptsAndTheLibraryCalculatesIt) {
    ASSERT_GT(cfg->count(), 0u);
    for (size_t p = 0; p < cfg->count(); ++p) {
        const op::TProduktOppsett& product = cfg->getProduktOppsett(p);
        TProductData& loan = sak().add(product.ID());
        SCOPED_TRACE(toUtf8(product.Beskrivelse()));
        EXPECT_FALSE(loan.changed());
        for (size_t s = 0; s < loan.count(); ++s)
            for (size_t i = 0; i < loan.getItem(s).count(); ++i) {
                TDataItem& it = loan.getItem(s).getItem(i);
                if (!it.cfg().eventScript().empty()) continue;
                EXPECT_EQ(variantText(it.storedValue().v), it.cfg().defaultValue()) << toUtf8(it.id());
            }
        std::u16string input = loan.GetcalcDataStr();
        if (loan.productGroup() == op::TProduktGruppe::pgNedbetlån) {
            // The init scripts: payout today, first due date a month later.
            const std::u16string utbetalt = item(loan, u"Initial", u"UTBDTO").valueText();
            EXPECT_EQ(utbetalt, today());
            auto d = kavelin::utils::StrTilDato(utbetalt, u"DD.MM.YYYY");
            int m = d.month() % 12 + 1, y = d.year() + (d.month() == 12);
            auto expected = kavelin::finans::Datorec::ymd(y, m, std::min(d.day(), kavelin::utils::dagerimnd(y, m)));
            EXPECT_EQ(item(loan, u"Initial", u"FORFDTO").valueText(), kavelin::utils::datostr(expected, u"DD.MM.YYYY"));
            EXPECT_NE(input.find(u"LBELOP=2000000;RNTSATS=5,25;LOPETIDY=25;UTBDTO=" + utbetalt + u";"),
                      std::u16string::npos)
                << toUtf8(input);
            mirvo::dll::TNedbetLaan calc;
            calc.setInput(input);
            EXPECT_EQ(calc.error(), 0) << toUtf8(calc.errorMsg()) << "\n" << toUtf8(input);
            EXPECT_FALSE(calc.getOutput(u"TERMBELOP", 0).empty());
        } else {
            EXPECT_NE(input.find(u"ORDBEVILGNING=500000;ORDRENTESATS=8,9;"), std::u16string::npos) << toUtf8(input);
            mirvo::dll::TRammelaan calc;
            calc.setInput(input);
            EXPECT_EQ(calc.error(), 0) << toUtf8(calc.errorMsg()) << "\n" << toUtf8(input);
        }
    }
    EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(CaseData, AnnuityTermAmountOfTheCalculationText) {
    TProductData& loan = sak().add(1);
    item(loan, u"Initial", u"LBELOP").setValue(TOleVariant::fromText(u"1200000"));
    item(loan, u"Initial", u"RNTSATS").setValue(TOleVariant::fromText(u"6"));
    item(loan, u"Initial", u"LOPETIDY").setValue(TOleVariant::fromText(u"10"));
    item(loan, u"Initial", u"PROVISJON").setValue(TOleVariant::fromText(u"0"));
    item(loan, u"Initial", u"ETBLGBYR").setValue(TOleVariant::fromText(u"0"));
    mirvo::dll::TNedbetLaan calc;
    calc.setInput(loan.GetcalcDataStr());
    // 1 200 000 * r / (1 - (1 + r)^-120), r = 0,5 % a month: 13 322,46.
    const double r = 0.005, expected = 1200000 * r / (1 - std::pow(1 + r, -120));
    std::u16string text = calc.getOutput(u"TERMBELOP", 0);
    for (auto& c : text)
        if (c == u',') c = u'.';
    EXPECT_NEAR(std::stod(toUtf8(text)), expected, 1.0) << toUtf8(loan.GetcalcDataStr());
}

TEST_F(CaseData, ValuesDisplayValuesAndCalculationText) {
    TProductData& loan = sak().add(1);
    TDataItem& lopetidm = item(loan, u"Initial", u"LOPETIDM");
    EXPECT_EQ(lopetidm.value().type(), VT_EMPTY);
    lopetidm.setValue(TOleVariant::fromText(u"7"));
    lopetidm.setValue(TOleVariant::fromText(u""));
    EXPECT_EQ(lopetidm.value().type(), VT_R8) << "an empty numeric text reads as 0";
    EXPECT_EQ(lopetidm.valueText(), u"0");
    EXPECT_TRUE(loan.changed());

    TDataItem& rente = item(loan, u"Initial", u"RNTSATS");
    rente.setValue(TOleVariant::fromDouble(4.5));
    EXPECT_EQ(rente.valueText(), u"4,5");
    EXPECT_EQ(rente.fmtValue(), u"4,50");
    EXPECT_EQ(item(loan, u"Initial", u"LBELOP").fmtValue(), u"2 000 000");
    EXPECT_EQ(item(loan, u"Initial", u"TERMPRAAR").value().type(), VT_I4);
    EXPECT_EQ(item(loan, u"Initial", u"TERMPRAAR").fmtValue(), u"Månedlig");

    // Change rows come last, each after its date; inactive items, fields
    // outside the calculation and empty values are left out.
    item(loan, u"Initial", u"KUNDENAVN").setValue(TOleVariant::fromText(u"Kari"));
    item(loan, u"Initial", u"ETBLGBYR").setActive(false);
    item(loan, u"Initial", u"FORFDTO").setValue(TOleVariant::fromText(u""));
    auto& changes = static_cast<TChangesDataSection&>(*loan.getSection(u"Changes"));
    TChangeDataItem* row = changes.appendRow(u"RNTSATS");
    row->setValue(TOleVariant::fromText(u"5"));
    row->setDate(u"01.01.2026");
    const std::u16string text = loan.GetcalcDataStr();
    const std::u16string expected = u"LNTYPE=ANNUITET;LBELOP=2000000;RNTSATS=4,5;LOPETIDY=25;LOPETIDM=0;UTBDTO=" +
                                    today() + u";TERMPRAAR=12;PROVISJON=50;ENDRDTO=01.01.2026;RNTSATS=5;";
    EXPECT_EQ(toUtf8(text.substr(0, expected.find(u"ENDRDTO"))), toUtf8(expected.substr(0, expected.find(u"ENDRDTO"))));
    EXPECT_TRUE(text.ends_with(u"INFLASJON=2,5;ENDRDTO=01.01.2026;RNTSATS=5;")) << toUtf8(text);
}

TEST_F(CaseData, NewLoansTakeTheProductOfTheLastLoan) {
    EXPECT_EQ(sak().add(0).productID(), cfg->getProduktOppsett(0).ID());
    sak().add(4);
    EXPECT_EQ(sak().add(0).productID(), 4);
    EXPECT_THROW(sak().add(77), EData);
    EXPECT_EQ(sak().count(), 3u);
}

TEST_F(CaseData, UserDefaultsReplaceConfiguredDefaultsOfUntouchedValues) {
    TProductData& entry = *mng->defaults().itemByID(1);
    EXPECT_EQ(entry.getSection(u"Initial")->getData(u"KUNDENAVN"), nullptr) << "only fields of the defaults dialog";
    item(entry, u"Initial", u"LBELOP").setValue(TOleVariant::fromText(u"1500000"));
    mng->defaults().save();
    EXPECT_FALSE(entry.changed());

    TProductData& touched = sak().add(1);
    item(touched, u"Initial", u"RNTSATS").setValue(TOleVariant::fromText(u"3"));
    restart();
    TProductData& loan = sak().add(1);
    EXPECT_EQ(item(loan, u"Initial", u"LBELOP").valueText(), u"1500000");
    EXPECT_EQ(variantText(item(loan, u"Initial", u"LBELOP").defaultValue().v), u"1500000");

    // A value the user changed keeps it when the defaults change.
    item(loan, u"Initial", u"LBELOP").setValue(TOleVariant::fromText(u"900000"));
    item(*mng->defaults().itemByID(1), u"Initial", u"RNTSATS").setValue(TOleVariant::fromText(u"4"));
    item(*mng->defaults().itemByID(1), u"Initial", u"LBELOP").setValue(TOleVariant::fromText(u"1000000"));
    sak().refreshConfigAndDefaults();
    EXPECT_EQ(item(sak().getItem(0), u"Initial", u"LBELOP").valueText(), u"900000");
    EXPECT_EQ(item(sak().getItem(0), u"Initial", u"RNTSATS").valueText(), u"4");
}

TEST_F(CaseData, AProductChangeKeepsWhatTheUserEnteredAndBringsItBack) {
    TProductData& loan = sak().add(1);
    item(loan, u"Initial", u"LBELOP").setValue(TOleVariant::fromText(u"750000"));
    item(loan, u"Details", u"RNTMRG").setValue(TOleVariant::fromText(u"2"));
    loan.setProductID(2);
    EXPECT_EQ(item(loan, u"Initial", u"LBELOP").valueText(), u"750000");
    EXPECT_EQ(item(loan, u"Initial", u"LNTYPE").valueText(), u"SERIE") << "untouched values follow the new product";
    loan.setProductID(4);
    EXPECT_EQ(loan.getSection(u"Initial"), nullptr);
    EXPECT_EQ(loan.copyFailed().count(), 3u);
    EXPECT_EQ(item(loan, u"Part1", u"ORDBEVILGNING").valueText(), u"500000");
    loan.setProductID(1);
    EXPECT_EQ(item(loan, u"Initial", u"LBELOP").valueText(), u"750000");
    EXPECT_EQ(item(loan, u"Details", u"RNTMRG").valueText(), u"2");
    EXPECT_EQ(item(loan, u"Initial", u"LNTYPE").valueText(), u"ANNUITET");
    EXPECT_THROW(loan.setProductID(77), EData);
    EXPECT_EQ(loan.productID(), 1);
}

TEST_F(CaseData, ChangeRowsAreKeptInDateOrder) {
    TProductData& loan = sak().add(1);
    auto& changes = static_cast<TChangesDataSection&>(*loan.getSection(u"Changes"));
    EXPECT_THROW(changes.addChangeElement(), EData);
    TChangeDataItem* a = changes.appendRow(u"RNTSATS");
    TChangeDataItem* b = changes.appendRow(u"TERMBELOP");
    TChangeDataItem* c = changes.appendRow(u"XORDINB");
    a->setDate(u"01.03.2025");
    b->setDate(u"01.06.2025");
    c->setDate(u"01.04.2025");
    EXPECT_EQ(changes.rowIndex(*c), 1u);
    EXPECT_EQ(c->GetlistID(), u"ENDRING[1]");
    a->setDate(u"01.01.2026");
    EXPECT_EQ(changes.rowIndex(*a), 2u);
    EXPECT_EQ(changes.rowIndex(*c), 0u);
    EXPECT_EQ(changes.appendRow(u"NOSUCH"), nullptr);
}

TEST_F(CaseData, CaseFilesRoundTrip) {
    TProductData& first = sak().add(1);
    item(first, u"Initial", u"KUNDENAVN").setValue(TOleVariant::fromText(u"Åse Ωmega € <&>"));
    item(first, u"Initial", u"LBELOP").setValue(TOleVariant::fromDouble(1234567.5));
    item(first, u"Initial", u"ETBLGBYR").setActive(false);
    auto& changes = static_cast<TChangesDataSection&>(*first.getSection(u"Changes"));
    changes.appendRow(u"RNTSATS")->setValue(TOleVariant::fromText(u"4,75"));
    changes.getItem(0).setActive(true);
    static_cast<TChangeDataItem&>(changes.getItem(0)).setDate(u"01.02.2027");
    TProductData& second = sak().add(4);
    item(second, u"Part2", u"TILLBEVILGNING").setValue(TOleVariant::fromText(u"100000"));
    const std::u16string text1 = first.GetcalcDataStr(), text2 = second.GetcalcDataStr();

    const fs::path file = dir / "Saker" / "min sak.mvs";
    sak().save(file);
    EXPECT_FALSE(sak().changed());
    EXPECT_EQ(sak().filename(), file);
    const std::string bytes = bytesOf(file);
    EXPECT_NE(bytes.find("&#937;mega"), std::string::npos) << "characters outside the encoding as references";
    EXPECT_NE(bytes.find("<LBELOP Active=\"1\">1234567,5</LBELOP>"), std::string::npos) << bytes;

    restart();
    sak().load(file);
    ASSERT_EQ(sak().count(), 2u);
    EXPECT_EQ(item(sak().getItem(0), u"Initial", u"KUNDENAVN").valueText(), u"Åse Ωmega € <&>");
    EXPECT_FALSE(item(sak().getItem(0), u"Initial", u"ETBLGBYR").active());
    EXPECT_EQ(sak().getItem(0).GetcalcDataStr(), text1);
    EXPECT_EQ(sak().getItem(1).GetcalcDataStr(), text2);
    EXPECT_FALSE(sak().changed());
    // Saving again gives the same bytes.
    sak().save();
    EXPECT_EQ(bytesOf(file), bytes);
}

TEST_F(CaseData, ItemsWithoutActiveAttributeAreInactive) {
    const fs::path file = dir / "gammel.mvs";
    writeBytes(file, "<file><product><header><produktgruppeID>1</produktgruppeID><produktID>1</produktID></header>"
                     "<content><Initial><LBELOP>900000</LBELOP><RNTSATS Active=\"1\"></RNTSATS></Initial></content>"
                     "</product></file>");
    sak().load(file);
    TProductData& loan = sak().getItem(0);
    EXPECT_FALSE(item(loan, u"Initial", u"LBELOP").active());
    EXPECT_TRUE(item(loan, u"Initial", u"RNTSATS").active());
    EXPECT_EQ(item(loan, u"Initial", u"RNTSATS").storedValue().type(), VT_EMPTY);
}

TEST_F(CaseData, DamagedFilesFailAndLeaveCaseAndFileAsTheyWere) {
    TProductData& loan = sak().add(1);
    item(loan, u"Initial", u"LBELOP").setValue(TOleVariant::fromText(u"321"));
    const fs::path good = dir / "god.mvs";
    sak().save(good);
    const std::string full = bytesOf(good);

    const std::pair<const char*, std::string> cases[] = {
        {"half written", full.substr(0, full.size() / 2)},
        {"not XML", "\x01\x02 dette er ikke xml >"},
        {"other root", "<Oppsett></Oppsett>"},
        {"unknown product", "<file><product><header><produktgruppeID>1</produktgruppeID><produktID>77</produktID>"
                            "</header><content/></product></file>"},
        {"other group", "<file><product><header><produktgruppeID>2</produktgruppeID><produktID>1</produktID>"
                        "</header><content/></product></file>"},
        {"no product id", "<file><product><content/></product></file>"},
    };
    for (const auto& [what, bytes] : cases) {
        const fs::path bad = dir / "skadet.mvs";
        writeBytes(bad, bytes);
        try {
            sak().load(bad);
            ADD_FAILURE() << what << ": loaded";
        } catch (const EData& e) {
            EXPECT_NE(toUtf8(e.message()).find("skadet.mvs"), std::string::npos) << what << ": " << e.what();
        }
        EXPECT_EQ(bytesOf(bad), bytes) << what;
        ASSERT_EQ(sak().count(), 1u) << what;
        EXPECT_EQ(item(sak().getItem(0), u"Initial", u"LBELOP").valueText(), u"321") << what;
        EXPECT_EQ(sak().filename(), good) << what;
    }
    EXPECT_THROW(sak().load(dir / "finnes ikke.mvs"), EData);
}

TEST_F(CaseData, AFailedSaveLeavesTheLoansChanged) {
    sak().add(1).markChanged();
    writeBytes(dir / "fil", "x");
    EXPECT_THROW(sak().save(dir / "fil" / "sak.mvs"), EData);
    EXPECT_TRUE(sak().changed());
}

TEST_F(CaseData, ADamagedDefaultsFileKeepsTheConfiguredDefaults) {
    writeBytes(dir / "Defaults.xml", "<file><product><header><produktID>1</produktID></header><content>");
    restart();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("Defaults.xml"), std::string::npos) << errors[0];
    EXPECT_EQ(item(sak().add(1), u"Initial", u"LBELOP").valueText(), u"2000000");
}

// ---- scripts on a configuration of their own ----------------------------------------------

namespace {

std::string field(const char* id, const char* kind, const char* fmt, const char* def, const char* script) {
    return std::string("<Item Type=\"Input\"><Alt ID=\"") + id + "\"><Kind>" + kind +
           "</Kind><State>input</State><LabelText>" + id + "</LabelText><IsDLLCalcField>True</IsDLLCalcField><InputFmt>" + fmt +
           "</InputFmt><DefaultValue>" + def + "</DefaultValue><EventScript><![CDATA[" + script +
           "]]></EventScript></Alt></Item>";
}

}  // namespace

class CaseScripts : public CaseData {
protected:
    void SetUp() override {
        const std::string fields =
            field("TELLER", "num", "T0", "0", "if (event == 'change') f.value = f.value + 1;") +
            field("LOOP", "num", "T0", "0", "if (event == 'change') while (true) {}") +
            field("YTRE", "num", "T0", "0",
                  "if (event == 'change') { Initial.INDRE.value = f.value * 2; $.SPOR.value = event + ':' + f.caption; }") +
            field("INDRE", "num", "T0", "0", "if (event == 'change') Initial.SPOR2.value = event + ':' + f.caption;") +
            field("SPOR", "text", "A", "", "") + field("SPOR2", "text", "A", "", "") +
            field("DATO", "datetime", "DD.MM.YYYY", "31.01.2025", "if (event == 'init') f.addMonths(1);") +
            field("FEIL", "num", "T0", "0", "if (event == 'change') {\n  nosuch();\n}");
        const fs::path file = dir / "Configurations.xml";
        writeBytes(file, "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Oppsett><Produkt ID=\"1\"><Beskrivelse>Test"
                         "</Beskrivelse><Produktgruppe>1</Produktgruppe><InputOppsettListe><Oppsett ID=\"Initial\" "
                         "Type=\"Std\">" + fields + "</Oppsett></InputOppsettListe></Produkt></Oppsett>");
        useConfig(file);
        sak().setScriptTimeLimit(std::chrono::milliseconds(200));
    }

    // A value set as the user does, with its "change" scripts.
    void edit(TProductData& loan, std::u16string_view id, TOleVariant value) {
        TDataItem& it = item(loan, u"Initial", id);
        it.setValue(value);
        loan.notifyEditChange(&it);
    }
};

TEST_F(CaseScripts, ScriptsChangingOtherFieldsRunNestedWithTheirOwnVariables) {
    TProductData& loan = sak().add(1);
    edit(loan, u"YTRE", TOleVariant::fromInt(21));
    EXPECT_EQ(item(loan, u"Initial", u"INDRE").valueText(), u"42");
    EXPECT_EQ(item(loan, u"Initial", u"SPOR2").valueText(), u"change:INDRE");
    // After the nested script, event and f are the outer script's again.
    EXPECT_EQ(item(loan, u"Initial", u"SPOR").valueText(), u"change:YTRE");
    // The init script moved the default date a month, to the month's end.
    EXPECT_EQ(item(loan, u"Initial", u"DATO").valueText(), u"28.02.2025");
    EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(CaseScripts, RecursionLoopsAndErrorsAreReportedAndValuesKept) {
    TProductData& loan = sak().add(1);
    edit(loan, u"TELLER", TOleVariant::fromInt(1));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("Scriptfeil i felt \"TELLER\""), std::string::npos) << errors[0];
    EXPECT_NE(errors[0].find("32"), std::string::npos) << errors[0];
    EXPECT_EQ(item(loan, u"Initial", u"TELLER").valueText(), u"33");

    errors.clear();
    edit(loan, u"LOOP", TOleVariant::fromInt(5));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("avbrutt"), std::string::npos) << errors[0];
    EXPECT_EQ(item(loan, u"Initial", u"LOOP").valueText(), u"5");

    errors.clear();
    edit(loan, u"FEIL", TOleVariant::fromInt(1));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Scriptfeil i felt \"FEIL\" | Scriptfeil: ReferenceError: nosuch is not defined i linje 2 pos. 0"
                         "\n\nScript:\nif (event == 'change') {\n  nosuch();\n}");
    // The loan still works.
    edit(loan, u"YTRE", TOleVariant::fromInt(1));
    EXPECT_EQ(item(loan, u"Initial", u"INDRE").valueText(), u"2");
}

namespace {

// Period fields reach the library in the form its period reader takes,
// and the library calculates the same term from them.
TEST(PeriodeForBeregning, DisplayTextsBecomeLibraryPeriods) {
    using mirvo::mng::periodeForBeregning;
    struct Case {
        std::u16string_view inn, ut;
    } cases[] = {
        {u"25 år  6 mnd", u"25Å 6M"}, {u"25 år", u"25Å"},   {u"3 mnd", u"3M"},
        {u"2aar 6mnd 10dgr", u"2Å 6M 10D"}, {u"20", u"20"}, {u"", u""},
        {u"__ år  6 mnd", u"6M"},
    };
    for (const auto& c : cases) EXPECT_EQ(periodeForBeregning(c.inn), c.ut);

    char16_t ut[64];
    void* a = MVinitialize();
    ASSERT_EQ(MVinput_w(a, u"LBELOP=500000;RNTSATS=5;UTBDTO=15.01.2025;LOPETID=20Å 6M"), 0u);
    ASSERT_EQ(MVgetresult_w(a, u"TOTANTTERM", 0, ut, 64), 0u);
    EXPECT_EQ(std::u16string(ut), u"246");
    MVterminate(a);
}

}  // namespace

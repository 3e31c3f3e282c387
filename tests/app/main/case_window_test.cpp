// The main window over a real case: loans of every standard product, edits
// that recompute, the whole-case calculation, saving and reopening, the
// question before a case is dropped, the loan list's messages and the
// default values dialog.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <fstream>

#include <cmath>
#include <map>

#include "app/dlg/file_dlg.h"
#include "app/dlg/form_std_verdi.h"
#include "app/dlg/msgbox.h"
#include "app/frame/frame_reports.h"
#include "app/frame/input/frame_input.h"
#include "app/frame/input/input_wnd.h"
#include "app/frame/laan_list.h"
#include "app/main/main_mng.h"
#include "app/mng/mirvo_dll.h"
#include "app/ui/fmt/numtext.h"
#include "common/text/encoding.h"
#include "tests/app/main/main_window_fixture.h"

namespace mirvo::main {
namespace {

using kavelin::activex::TOleVariant;
using mirvo::test::makeMainWindow;
using oppsett::TProduktGruppe;
namespace fs = std::filesystem;

// The input windows as the case sees them: one control per field, whose
// value the test "types".
struct TTypedControl : mng::TDataControl {
    std::u16string id;
    TOleVariant value;
    std::u16string controlID() const override { return id; }
    TOleVariant controlValue() const override { return value; }
    void showValue(const TOleVariant&) override {}
    void showReadonly(bool) override {}
    void showCaption(std::u16string_view) override {}
    void showVisible(bool) override {}
};

struct TTypingWindow : mng::TSectionWindow {
    std::map<std::u16string, std::unique_ptr<TTypedControl>> controls;
    std::vector<std::unique_ptr<TTypedControl>> rows;
    mng::TDataControl* findControl(std::u16string_view id) override {
        auto& c = controls[std::u16string(id)];
        if (!c) {
            c = std::make_unique<TTypedControl>();
            c->id = id;
        }
        return c.get();
    }
    mng::TDataControl* addRowControl(mng::TChangeDataItem&) override {
        rows.push_back(std::make_unique<TTypedControl>());
        return rows.back().get();
    }
    void moveRow(size_t, size_t) override {}
};

void typeInto(QWidget* w, const QString& text) {
    w->setFocus();
    QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(w, Qt::Key_Delete);
    QTest::keyClicks(w, text);
}

// Types a value into a field of a loan: into the input frame showing it, or,
// for a loan not shown, as an input window would.
void type(mng::TProductData& loan, std::u16string_view section, std::u16string_view id, std::u16string_view text) {
    mng::TDataSection* s = loan.getSection(section);
    ASSERT_NE(s, nullptr);
    if (auto* shown = dynamic_cast<mng::TWndElements*>(s->window())) {
        mng::TLabelAndField* f = shown->inputFieldByID(id);
        ASSERT_NE(f, nullptr) << kavelin::text::toUtf8(id);
        typeInto(f->fieldCtrl(), QString::fromStdU16String(std::u16string(text)));
        return;
    }
    TTypingWindow w;
    s->attachWindow(&w);
    TTypedControl& c = *w.controls.at(std::u16string(id));
    c.value = TOleVariant::fromText(text);
    s->editChanged(c);
    s->attachWindow(nullptr);
}

double number(const QString& text) {
    QString t = text.trimmed();
    t.remove(' ');
    t.remove(QChar(0xA0));
    return kavelin::fmt::readNumber(t.toStdU16String());
}

// The key figure under a caption; empty when it is not shown.
QString keyFigure(frame::TFrameReports& f, const QString& caption) {
    for (int i = 0; i < f.keyFigureCount(); ++i)
        if (f.keyFigureCaption(i) == caption + ":") return f.keyFigureText(i).trimmed();
    return {};
}

// Answers every message box with the button given and records it.
struct TBoxes {
    std::vector<dlg::TMsgBox> shown;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    TBoxes() {
        dlg::setMsgResponder([this](const dlg::TMsgBox& b) {
            shown.push_back(b);
            return answer;
        });
    }
    ~TBoxes() { dlg::setMsgResponder({}); }
};

// Answers the file dialogs with a name.
struct TFileAnswers {
    std::vector<dlg::TFileDlgRequest> asked;
    QString answer;
    TFileAnswers() {
        dlg::setFileDlgResponder([this](const dlg::TFileDlgRequest& r) {
            asked.push_back(r);
            return answer;
        });
    }
    ~TFileAnswers() { dlg::setFileDlgResponder({}); }
};

int32_t productOf(TProduktGruppe g, int nth = 0) {
    auto& cfg = oppsett::produktOppsett();
    for (size_t i = 0; i < cfg.count(); ++i)
        if (cfg[i].Produktgruppe() == g && nth-- == 0) return cfg[i].ID();
    return -1;
}

// A monthly annuity's term amount by its formula.
double annuity(double amount, double ratePct, int months) {
    const double r = ratePct / 100 / 12;
    return amount * r / (1 - std::pow(1 + r, -months));
}

TEST(CaseWindow, EveryStandardProductCalculatesAndAnEditUpdatesKeyFiguresAndGrid) {
    TBoxes boxes;
    auto h = makeMainWindow();
    TformMain& w = *h->window;
    frame::TLånListCtrlMng& list = w.lånList();
    ASSERT_EQ(list.count(), 1);
    ASSERT_EQ(w.sak().count(), 1u);
    EXPECT_FALSE(w.caseChanged());

    auto& cfg = oppsett::produktOppsett();
    // The product choice offers every standard product: "ID=description".
    std::vector<std::u16string> offered;
    list.FOnGetProductList(offered);
    ASSERT_EQ(offered.size(), cfg.count());
    EXPECT_EQ(offered[0], u"1=Annuitetslån");
    for (size_t p = 0; p < cfg.count(); ++p) {
        const auto& product = cfg[p];
        SCOPED_TRACE(QString::fromStdU16String(product.Beskrivelse()).toStdString());
        list.chooseProduct(list.getItem(0), product.ID());
        EXPECT_EQ(w.sak().getItem(0).productID(), product.ID());
        EXPECT_EQ(list.getItem(0).Beskrivelse(), product.Beskrivelse());
        EXPECT_EQ(list.getItem(0).ErrorMsg(), u"OK");
        if (product.Produktgruppe() == TProduktGruppe::pgNedbetlån) {
            EXPECT_GT(w.frameReports().keyFigureCount(), 0);
            EXPECT_GT(w.frameReports().grid(frame::rpNedbet)->rowCount(), 1);
        } else {
            EXPECT_EQ(w.frameReports().activePageIndex(), frame::rpEffrnt);
            EXPECT_FALSE(w.frameReports().keyFiguresVisible());
        }
    }
    EXPECT_TRUE(boxes.shown.empty());

    // An annuity loan: 1 000 000 over 20 years at 5 %, then 10 years.
    list.chooseProduct(list.getItem(0), productOf(TProduktGruppe::pgNedbetlån));
    mng::TProductData& loan = w.sak().getItem(0);
    type(loan, u"Initial", u"ETBLGBYR", u"0");
    type(loan, u"Initial", u"LBELOP", u"1000000");
    type(loan, u"Initial", u"RNTSATS", u"5");
    type(loan, u"Initial", u"LOPETIDY", u"20");
    EXPECT_EQ(list.getItem(0).Lånebeløp(), 1000000);  // "LBELOP" refreshes the list entry
    EXPECT_EQ(list.getItem(0).frame()->txBelop->text(), "1 000 000,-");
    EXPECT_EQ(list.getItem(0).frame()->txRente->text(), "5%");
    frame::TFrameReports& f = w.frameReports();
    f.SetactivePageIndex(frame::rpNedbet);  // the framework loan left its own tab active
    const QString term20 = keyFigure(f, "Terminbeløp");
    ASSERT_FALSE(term20.isEmpty());
    EXPECT_NEAR(number(term20), annuity(1000000, 5, 240), 1.0);
    QTableWidget* grid = f.grid(frame::rpNedbet);
    const int rows20 = grid->rowCount();
    EXPECT_GE(rows20, 240);
    type(loan, u"Initial", u"LOPETIDY", u"10");
    EXPECT_NEAR(number(keyFigure(f, "Terminbeløp")), annuity(1000000, 5, 120), 1.0);
    EXPECT_LT(grid->rowCount(), rows20);
    EXPECT_GE(grid->rowCount(), 120);
    EXPECT_TRUE(w.caseChanged());
}

TEST(CaseWindow, SecondLoanAndTheWholeCaseCalculation) {
    TBoxes boxes;
    auto h = makeMainWindow();
    TformMain& w = *h->window;
    frame::TFrameReports& f = w.frameReports();
    EXPECT_TRUE(f.findChild<QWidget*>("pnSamlet")->isHidden());
    w.action("actionSakLeggTil")->trigger();
    ASSERT_EQ(w.sak().count(), 2u);
    ASSERT_EQ(w.lånList().count(), 2);
    EXPECT_EQ(w.lånList().selectedIndex(), 1);
    EXPECT_TRUE(w.caseChanged());  // a loan added is a change
    EXPECT_FALSE(f.findChild<QWidget*>("pnSamlet")->isHidden());
    // The "+" entry adds a third loan and selects it; its delete button
    // removes it again and the new last entry is selected.
    QTest::mouseClick(w.lånList().addEntry(), Qt::LeftButton);
    ASSERT_EQ(w.sak().count(), 3u);
    EXPECT_EQ(w.lånList().selectedIndex(), 2);
    w.lånList().getItem(2).frame()->btnDelete->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w.sak().count(), 2u);
    EXPECT_EQ(w.lånList().selectedIndex(), 1);
    EXPECT_EQ(w.lånList().getItem(1).frame()->txNr->text(), "2 :");
    type(w.sak().getItem(1), u"Initial", u"LBELOP", u"300000");
    f.setSamletBeregning(true);
    EXPECT_TRUE(w.lånList().multiCalculationEnabled());
    EXPECT_EQ(w.lånList().getItem(0).ErrorMsg(), u"OK");
    EXPECT_EQ(w.lånList().getItem(1).ErrorMsg(), u"OK");
    EXPECT_GT(f.keyFigureCount(), 0);
    EXPECT_FALSE(f.getTabPageVisible(frame::rpTermbelop));

    // The framework-loan product is refused while the case has two loans.
    w.lånList().chooseProduct(w.lånList().getItem(0), productOf(TProduktGruppe::pgRammelån));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].caption, "Advarsel!");
    EXPECT_TRUE(boxes.shown[0].text.startsWith("Kan ikke velge et rammekredittprodukt"));
    EXPECT_EQ(w.sak().getItem(0).productGroup(), TProduktGruppe::pgNedbetlån);

    // Deleting the selected last entry selects the new last one; deleting
    // the only one adds a new loan at once.
    w.lånList().getItem(1).frame()->btnDelete->click();
    EXPECT_EQ(w.sak().count(), 1u);
    EXPECT_EQ(w.lånList().selectedIndex(), 0);
    EXPECT_TRUE(f.findChild<QWidget*>("pnSamlet")->isHidden());
    w.lånList().deleteItem(w.lånList().getItem(0));
    EXPECT_EQ(w.sak().count(), 1u);
    EXPECT_EQ(w.lånList().count(), 1);
    EXPECT_EQ(w.lånList().selectedIndex(), 0);
}

TEST(CaseWindow, FrameworkLoanCaseIsOneLoanWithItsMessageShown) {
    TBoxes boxes;
    auto h = makeMainWindow();
    TformMain& w = *h->window;
    frame::TLånListCtrlMng& list = w.lånList();
    EXPECT_NE(list.addEntry(), nullptr);
    list.chooseProduct(list.getItem(0), productOf(TProduktGruppe::pgRammelån));
    EXPECT_FALSE(list.severalLoansMode());
    EXPECT_EQ(list.addEntry(), nullptr);  // no "+" entry
    EXPECT_TRUE(list.getItem(0).frame()->btnDelete->isHidden());
    EXPECT_TRUE(list.getItem(0).frame()->txNr->isHidden());
    EXPECT_FALSE(list.msgPanel()->isHidden());  // always visible for one loan
    EXPECT_FALSE(w.action("actionSakLeggTil")->isEnabled());
    w.cmdLeggTil();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Kan bare legge til flere lån i en sak med nedbetalingslån!");
    EXPECT_EQ(w.sak().count(), 1u);
}

TEST(CaseWindow, ABadLoanShowsTheLibraryErrorInTheMessageColumn) {
    TBoxes boxes;
    auto h = makeMainWindow();
    TformMain& w = *h->window;
    frame::TLånListCtrlMng& list = w.lånList();
    EXPECT_TRUE(list.msgPanel()->isHidden());  // all well: no column
    mng::TProductData& loan = w.sak().getItem(0);
    type(loan, u"Initial", u"LBELOP", u"0");
    // The library's own text for the same input.
    dll::TNedbetLaan lib;
    lib.setInput(w.mainMng().getBeregningsgrunnlag(0));
    const std::u16string expected = lib.errorMsg();
    ASSERT_NE(expected, u"OK");
    EXPECT_EQ(list.getItem(0).ErrorMsg(), expected);
    EXPECT_FALSE(list.msgPanel()->isHidden());
    ASSERT_NE(list.messageFrame(0), nullptr);
    EXPECT_EQ(list.messageFrame(0)->laMsg->text(), "  " + QString::fromStdU16String(expected));
    EXPECT_FALSE(list.messageFrame(0)->icon->ok());
    EXPECT_FALSE(w.frameReports().keyFiguresVisible());
    EXPECT_EQ(w.frameReports().grid(frame::rpNedbet)->rowCount(), 0);
    EXPECT_TRUE(boxes.shown.empty());  // no box, no crash
    type(loan, u"Initial", u"LBELOP", u"500000");
    EXPECT_EQ(list.getItem(0).ErrorMsg(), u"OK");
    EXPECT_TRUE(list.msgPanel()->isHidden());
}

TEST(CaseWindow, CtrlSSavesAndReopeningGivesTheSameValues) {
    TBoxes boxes;
    TFileAnswers files;
    auto h = makeMainWindow();
    TformMain& w = *h->window;
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    type(w.sak().getItem(0), u"Initial", u"LBELOP", u"750000");
    w.cmdLeggTil();
    type(w.sak().getItem(1), u"Initial", u"RNTSATS", u"4,25");
    const fs::path file = h->dir / "Mine saker" / "Kunde.mvs";
    files.answer = QString::fromStdU16String(file.u16string());
    QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(files.asked.size(), 1u);
    EXPECT_TRUE(files.asked[0].save);
    EXPECT_EQ(files.asked[0].caption, "Mirvo -  Lagre som");
    EXPECT_TRUE(files.asked[0].fileName.startsWith("Sak"));
    ASSERT_TRUE(fs::exists(file));
    EXPECT_FALSE(w.caseChanged());
    EXPECT_TRUE(w.windowTitle().endsWith(QString::fromStdU16String(file.u16string())));
    // No temporary file is left beside the case.
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()), 1);

    // Saving again writes to the same file without a dialog.
    type(w.sak().getItem(0), u"Initial", u"LBELOP", u"800000");
    QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(files.asked.size(), 1u);

    w.newCase();
    EXPECT_EQ(w.sak().count(), 1u);
    w.openCase(QString::fromStdU16String(file.u16string()));
    ASSERT_EQ(w.sak().count(), 2u);
    ASSERT_EQ(w.lånList().count(), 2);
    EXPECT_EQ(w.lånList().getItem(0).Lånebeløp(), 800000);
    EXPECT_EQ(w.lånList().getItem(1).getRentesats(1), 4.25);
    EXPECT_EQ(w.lånList().getItem(1).frame()->txRente->text(), "4,25%");
    EXPECT_EQ(w.lånList().selectedIndex(), 0);
    EXPECT_FALSE(w.caseChanged());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(CaseWindow, ADamagedCaseFileIsReportedAndTheCaseStays) {
    TBoxes boxes;
    auto h = makeMainWindow();
    TformMain& w = *h->window;
    type(w.sak().getItem(0), u"Initial", u"LBELOP", u"123000");
    const fs::path bad = h->dir / "Skadet.mvs";
    {
        std::ofstream out(bad, std::ios::binary);
        out << "<?xml version=\"1.0\"?><file><product><header><produktID>1</produktID>";
    }
    w.openCase(QString::fromStdU16String(bad.u16string()));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].kind, dlg::TMsgKind::Error);
    EXPECT_TRUE(boxes.shown[0].text.startsWith("Kan ikke lese filen")) << boxes.shown[0].text.toStdString();
    ASSERT_EQ(w.lånList().count(), 1);  // the list shows the case that stayed
    EXPECT_EQ(w.lånList().getItem(0).Lånebeløp(), 123000);
    EXPECT_EQ(w.lånList().selectedIndex(), 0);
}

TEST(CaseWindow, AskSaveChangesAlsoForANeverSavedCase) {
    TBoxes boxes;
    TFileAnswers files;
    auto h = makeMainWindow();
    TformMain& w = *h->window;
    // An untouched new case closes silently.
    EXPECT_TRUE(w.askSaveChanges());
    EXPECT_TRUE(boxes.shown.empty());

    // Typed into, never saved: the question comes; Avbryt keeps the case.
    type(w.sak().getItem(0), u"Initial", u"LBELOP", u"450000");
    boxes.answer = QMessageBox::Cancel;
    w.cmdNy();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].caption, "Advarsel!");
    EXPECT_EQ(boxes.shown[0].text, "Lagre endringer?");
    EXPECT_EQ(boxes.shown[0].buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(w.lånList().getItem(0).Lånebeløp(), 450000);

    // Ja with a cancelled save dialog keeps the case as well.
    boxes.answer = QMessageBox::Yes;
    files.answer.clear();
    EXPECT_FALSE(w.askSaveChanges());
    EXPECT_EQ(files.asked.size(), 1u);

    // Ja and a file: saved, then the new case.
    const fs::path file = h->dir / "Lagret.mvs";
    files.answer = QString::fromStdU16String(file.u16string());
    w.cmdNy();
    EXPECT_TRUE(fs::exists(file));
    EXPECT_NE(w.lånList().getItem(0).Lånebeløp(), 450000);
    EXPECT_FALSE(w.caseChanged());

    // Nei drops the changes.
    type(w.sak().getItem(0), u"Initial", u"LBELOP", u"99000");
    boxes.answer = QMessageBox::No;
    const size_t before = boxes.shown.size();
    EXPECT_TRUE(w.askSaveChanges());
    EXPECT_EQ(boxes.shown.size(), before + 1);
}

TEST(CaseWindow, ClosingAChangedCaseCanBeCancelled) {
    TBoxes boxes;
    auto h = makeMainWindow();
    TformMain& w = *h->window;
    w.show();
    type(w.sak().getItem(0), u"Initial", u"LBELOP", u"450000");
    boxes.answer = QMessageBox::Cancel;
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
    boxes.answer = QMessageBox::No;
    EXPECT_TRUE(w.close());
}

TEST(CaseWindow, DefaultValuesDialogSavesDefaultsXmlAndNewLoansUseThem) {
    TBoxes boxes;
    auto h = makeMainWindow();
    TformMain& w = *h->window;
    const auto& product = oppsett::produktOppsett()[0];
    mng::TProductsDefaultData& defaults = h->data->defaults();
    // Avbryt leaves the values as they were and writes nothing.
    {
        dlg::TFormStdVerdi dlg(product, defaults, {}, &w);
        EXPECT_EQ(dlg.windowTitle(), "Mirvo  -  Std.verdier: " + QString::fromStdU16String(product.Beskrivelse()));
        ASSERT_NE(dlg.data(), nullptr);
        mng::TDataItem* rate = dlg.data()->getSection(u"Initial")->getData(u"RNTSATS");
        ASSERT_NE(rate, nullptr);
        const std::u16string before = rate->valueText();
        type(*dlg.data(), u"Initial", u"RNTSATS", u"7,75");
        dlg.btnCancel->click();
        EXPECT_EQ(rate->valueText(), before);
        EXPECT_FALSE(fs::exists(h->defaultsFile()));
    }
    // OK saves Defaults.xml.
    {
        dlg::TFormStdVerdi dlg(product, defaults, {}, &w);
        type(*dlg.data(), u"Initial", u"RNTSATS", u"7,75");
        dlg.btnOK->click();
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
    }
    ASSERT_TRUE(fs::exists(h->defaultsFile()));
    const std::string xml = mirvo::test::readBytes(h->defaultsFile());
    EXPECT_NE(xml.find("7,75"), std::string::npos) << xml;
    // The case takes the new defaults after the refresh; a new loan starts with them.
    w.refreshAfterCfgChange();
    w.lånList().chooseProduct(w.lånList().getItem(0), product.ID());
    EXPECT_EQ(w.lånList().getItem(0).getRentesats(1), 7.75);
    // A read-only configuration shows the values with one button, "Lukk".
    dlg::TStdVerdiSetup ro;
    ro.readOnly = true;
    dlg::TFormStdVerdi dlg(product, defaults, ro, &w);
    EXPECT_EQ(dlg.btnOK, nullptr);
    EXPECT_EQ(dlg.btnCancel->text(), "Lukk");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(CaseWindow, NamedControlsCarryTheirNames) {
    auto h = makeMainWindow();
    TformMain& w = *h->window;
    for (const char* name : {"pnMainLeft", "pnLaanList", "pnInput", "pnMainRight", "pnLaanListError", "pnReports",
                             "frameReports", "pnReg", "listItem1", "txNr", "txProdukt", "txBelop", "txRente",
                             "btnDropDown", "btnDelete", "laListItemWrapper", "lnItemPoint", "lnMsg", "pnAddItem"}) {
        QWidget* c = w.findChild<QWidget*>(name);
        ASSERT_NE(c, nullptr) << name;
        EXPECT_EQ(c->accessibleName(), name);
    }
}

}  // namespace
}  // namespace mirvo::main

namespace mirvo::main {
namespace {

// Pictures of the three views with a calculated case, for looking at; set
// MIRVO_SCREENSHOT_DIR to the folder to write them to.
TEST(CaseWindowPictures, ThreeViews) {
    const char* out = std::getenv("MIRVO_SCREENSHOT_DIR");
    if (!out) GTEST_SKIP() << "MIRVO_SCREENSHOT_DIR not set";
    TBoxes boxes;
    TFormMainSetup s;
    s.cfgSaved = false;
    auto h = makeMainWindow(s);
    TformMain& w = *h->window;
    w.show();
    type(w.sak().getItem(0), u"Initial", u"KUNDENAVN", u"Kari Nordmann");
    type(w.sak().getItem(0), u"Initial", u"LBELOP", u"2500000");
    type(w.sak().getItem(0), u"Initial", u"RNTSATS", u"4,9");
    w.cmdLeggTil();
    type(w.sak().getItem(1), u"Initial", u"LBELOP", u"0");
    w.lånList().selectIndex(0);
    const QString dir = QString::fromUtf8(out);
    for (auto [mode, name] : {std::pair{TShowMode::smStd, "std"}, std::pair{TShowMode::smMini, "mini"},
                              std::pair{TShowMode::smMaxi, "maxi"}}) {
        w.setView(mode);
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
        w.grab().save(dir + "/mirvo_" + name + ".png");
    }
    // The whole case with a loan the library refuses: the message column.
    w.setView(TShowMode::smStd);
    w.frameReports().setSamletBeregning(true);
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    w.grab().save(dir + "/mirvo_messages.png");
}

}  // namespace
}  // namespace mirvo::main

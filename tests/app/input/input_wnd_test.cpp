// The input windows and frames on the standard configuration of data/ (and
// on copies of it changed for alternatives and hidden parts), offscreen.
#include "app/dlg/msgbox.h"
#include "app/frame/input/frame_input.h"
#include "app/frame/input/input_controls.h"
#include "app/frame/input/input_wnd.h"
#include "app/mng/data_mng.h"
#include "common/text/encoding.h"
#include "common/text/numtext.h"
#include "tests/app/main/widgets_app.h"
#include "tests/support/temp_dir.h"
#include "tests/support/source_dir.h"
#include "app/ui/qt_text.h"

#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace mirvo::mng;
using kavelin::activex::TOleVariant;
using kavelin::activex::variantText;
using kavelin::text::toUtf8;
using mirvo::frame::TFrameLoanInput;
using mirvo::frame::TFrameNblnInput;
using mirvo::frame::TFrameRmlnInput;
using mirvo::test::dataFile;
using mirvo::test::TempDir;
namespace fs = std::filesystem;
namespace op = mirvo::oppsett;
namespace kf = kavelin::fmt;

namespace {

using kavelin::text::qs;

op::TInputElementAltOppsettListe& placeOf(op::TProduktOppsettListe& cfg, int product, std::u16string_view window,
                                          std::u16string_view id) {
    op::TInputOppsett& w = cfg.itemById(product)->InputOppsettListe().itemByID(window);
    for (size_t i = 0; i < w.count(); ++i)
        if (auto* p = w.place(i); p && (*p)[0].ID() == id) return *p;
    throw std::runtime_error("no place " + toUtf8(id));
}

class InputWnd : public ::testing::Test {
protected:
    void SetUp() override {
        mirvo::test::ensureWidgetsApp();
        mirvo::dlg::setMsgResponder([this](const mirvo::dlg::TMsgBox& box) {
            boxes.push_back(box.caption + " | " + box.text);
            return QMessageBox::Ok;
        });
        cfg = std::make_unique<op::TProduktOppsettListe>([](bool) { return dataFile("Configurations.xml").u16string(); });
    }
    void TearDown() override {
        frame.reset();  // before the loans it shows
        mng.reset();
        mirvo::dlg::setMsgResponder({});
    }
    // The data manager over the (possibly changed) configuration; script
    // errors go to a logged box as in the program.
    void start() {
        mng = std::make_unique<TDataMng>(*cfg, dir / "Defaults.xml", dir / "Saker",
                                         [](const std::u16string& caption, const std::u16string& text) {
                                             mirvo::dlg::showError(nullptr, qs(caption), qs(text));
                                         });
    }
    TFrameLoanInput& show(TProductData& loan) {
        frame = mirvo::frame::createInputFrame(loan);
        frame->resize(520, 700);
        frame->setLoan(&loan);
        QObject::connect(frame.get(), &TFrameLoanInput::edited, [this] { ++edits; });
        return *frame;
    }
    TLabelAndField& field(std::u16string_view section, std::u16string_view id) {
        TWndElements* w = frame->sectionWnd(section);
        TLabelAndField* f = w ? w->inputFieldByID(id) : nullptr;
        if (!f) throw std::runtime_error("no field " + toUtf8(id));
        return *f;
    }
    static TDataItem& item(TProductData& loan, std::u16string_view section, std::u16string_view id) {
        TDataItem* i = loan.getSection(section)->getData(id);
        if (!i) throw std::runtime_error("no item " + toUtf8(id));
        return *i;
    }
    static void typeInto(QWidget* w, const QString& text) {
        w->setFocus();
        QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(w, Qt::Key_Delete);
        QTest::keyClicks(w, text);
    }

    TempDir dir;
    std::unique_ptr<op::TProduktOppsettListe> cfg;
    std::unique_ptr<TDataMng> mng;
    std::unique_ptr<TFrameLoanInput> frame;
    std::vector<QString> boxes;
    int edits = 0;
};

// The control class a field kind is shown with.
bool controlFits(op::TCtrlKind kind, QWidget* w) {
    switch (kind) {
        case op::TCtrlKind::ckText: return dynamic_cast<kf::TAlfaEdit*>(w);
        case op::TCtrlKind::ckNum: return dynamic_cast<kf::TNumEdit*>(w);
        case op::TCtrlKind::ckMask:
        case op::TCtrlKind::ckPeriod: return dynamic_cast<kf::TMalEdit*>(w);
        case op::TCtrlKind::ckDatetime: return dynamic_cast<kf::TDatetimeEdit*>(w);
        case op::TCtrlKind::ckDropDown: return dynamic_cast<kf::TDropDownMenuEdit*>(w);
        case op::TCtrlKind::ckRadioGroup:
        case op::TCtrlKind::ckYesNo: return dynamic_cast<kf::TRadioGroupEdit*>(w);
        case op::TCtrlKind::ckMemo: return dynamic_cast<kf::TMemoEdit*>(w);
        default: return false;
    }
}

}  // namespace

TEST_F(InputWnd, EveryProductShowsEachFieldWithItsControlLabelUnitHintAndValue) {
    start();
    for (size_t p = 0; p < cfg->count(); ++p) {
        TProductData& loan = mng->current().add(cfg->getProduktOppsett(p).ID());
        SCOPED_TRACE(toUtf8(loan.description()));
        TFrameLoanInput& f = show(loan);
        const bool nbln = loan.productGroup() == op::TProduktGruppe::pgNedbetlån;
        EXPECT_EQ(f.objectName(), nbln ? "frameNblnInput" : "frameRmlnInput");
        EXPECT_EQ(f.accessibleName(), f.objectName());
        int checked = 0;
        for (size_t s = 0; s < loan.count(); ++s) {
            TDataSection& section = loan.getItem(s);
            TWndElements* w = f.sectionWnd(section.ID());
            ASSERT_NE(w, nullptr) << toUtf8(section.ID());
            if (section.kind() == op::TWndKind::wkChangesArray) {
                EXPECT_TRUE(w->fields().empty());  // a new loan has no change rows
                continue;
            }
            for (TLabelAndField* lf : w->fields()) {
                const op::TInputElementOppsett& e = lf->field();
                SCOPED_TRACE(toUtf8(e.ID()));
                EXPECT_TRUE(controlFits(e.kind(), lf->fieldCtrl()));
                EXPECT_TRUE(lf->fieldCtrl()->objectName().endsWith(qs(e.ID())));
                EXPECT_EQ(lf->fieldCtrl()->accessibleName(), lf->fieldCtrl()->objectName());
                EXPECT_EQ(lf->labelCtrl()->text(), qs(e.labelText()));
                EXPECT_EQ(lf->labelCtrl()->pos(), QPoint(e.labelPos().X, e.labelPos().Y));
                EXPECT_EQ(lf->fieldCtrl()->geometry(),
                          QRect(e.inputPos().X, e.inputPos().Y, e.inputDim().w, e.inputDim().h));
                EXPECT_EQ(lf->unitCtrl()->text(), qs(e.unitText()));
                EXPECT_EQ(lf->unitCtrl()->isVisibleTo(lf->contentPanel()), !e.unitText().empty());
                EXPECT_EQ(lf->fieldCtrl()->toolTip(), qs(e.hint()));
                EXPECT_EQ(lf->fieldCtrl()->property("helpKeyword").toString(), qs(e.helpID()));
                EXPECT_EQ(lf->contentPanel()->height(), e.panelDim().h + 1);
                EXPECT_EQ(lf->readonly(), e.state() == op::TCtrlState::csReadonly);
                // The control shows the item's value.
                EXPECT_EQ(variantText(lf->value().v), item(loan, section.ID(), e.ID()).valueText().empty() &&
                                                                  e.kind() == op::TCtrlKind::ckNum
                                                              ? u"0"
                                                              : item(loan, section.ID(), e.ID()).valueText());
                ++checked;
            }
        }
        EXPECT_GT(checked, 10);
        if (nbln) {
            auto& n = static_cast<TFrameNblnInput&>(f);
            EXPECT_TRUE(f.area(u"Changes")->isVisibleTo(&f));
            EXPECT_TRUE(n.btnNyEndring()->isVisibleTo(&f));
            EXPECT_FALSE(n.changesHeader()->isVisibleTo(&f));
            EXPECT_TRUE(n.btnVisDetaljer()->isVisibleTo(&f));
            EXPECT_FALSE(f.findChild<QWidget*>("pnDetails")->isVisibleTo(&f));
            n.btnVisDetaljer()->click();
            EXPECT_TRUE(f.findChild<QWidget*>("pnDetails")->isVisibleTo(&f));
            EXPECT_TRUE(n.btnSkjulDetaljer()->isVisibleTo(&f));
            EXPECT_EQ(n.btnSkjulDetaljer()->text(), " Skjul detaljer");
        }
        frame.reset();
    }
    EXPECT_TRUE(boxes.empty()) << boxes.front().toStdString();
}

TEST_F(InputWnd, TypingIntoANumberFieldSetsTheItemAndTheCalculationText) {
    start();
    TProductData& loan = mng->current().add(1);
    show(loan);
    int caseEdits = 0;
    mng->current().FOnEditChange = [&](TDataItem*) { ++caseEdits; };
    QWidget* amount = field(u"Initial", u"LBELOP").fieldCtrl();
    typeInto(amount, "750000");
    EXPECT_EQ(item(loan, u"Initial", u"LBELOP").valueText(), u"750000");
    EXPECT_NE(loan.GetcalcDataStr().find(u"LBELOP=750000;"), std::u16string::npos);
    EXPECT_TRUE(loan.changed());
    EXPECT_GT(edits, 0);
    EXPECT_GT(caseEdits, 0);
    // Leaving the field only regroups the text: no further edit.
    const int before = edits;
    amount->clearFocus();
    EXPECT_EQ(static_cast<QLineEdit*>(amount)->text(), "750 000");
    EXPECT_EQ(edits, before);
    // A value set by the data is shown, not reported back.
    item(loan, u"Initial", u"RNTSATS").setValue(TOleVariant::fromDouble(3.75));
    EXPECT_EQ(static_cast<QLineEdit*>(field(u"Initial", u"RNTSATS").fieldCtrl())->text(), "3,75");
    EXPECT_EQ(edits, before);
}

TEST_F(InputWnd, NumberFormatsSignDecimalsAndHiddenZero) {
    placeOf(*cfg, 1, u"Initial", u"RNTSATS")[0].SetinputFmt(u"N2-");
    placeOf(*cfg, 1, u"Initial", u"ETBLGBYR")[0].SetinputFmt(u"T0h");
    start();
    TProductData& loan = mng->current().add(1);
    show(loan);
    TLabelAndField& rate = field(u"Initial", u"RNTSATS");
    typeInto(rate.fieldCtrl(), "-12,5");
    EXPECT_DOUBLE_EQ(kavelin::activex::variantNumber(item(loan, u"Initial", u"RNTSATS").value().v), -12.5);
    rate.setValue(TOleVariant::fromDouble(-3));
    EXPECT_EQ(static_cast<QLineEdit*>(rate.fieldCtrl())->text(), "-3,00");
    TLabelAndField& fee = field(u"Initial", u"ETBLGBYR");
    fee.setValue(TOleVariant::fromDouble(0));
    EXPECT_EQ(static_cast<QLineEdit*>(fee.fieldCtrl())->text(), "");
    fee.setValue(TOleVariant::fromText(u"abc"));  // no number: shows 0 (hidden here)
    EXPECT_DOUBLE_EQ(kavelin::activex::variantNumber(fee.value().v), 0);
}

TEST_F(InputWnd, AlternativesShowAChooserAndSwitchTheActiveItem) {
    {
        op::TInputElementAltOppsettListe& place = placeOf(*cfg, 1, u"Initial", u"LBELOP");
        op::TInputElementOppsett& alt = place.add();
        alt.assign(place[0]);
        alt.SetID(u"LBELOPX");
        alt.SetlabelText(u"Utbetalt beløp");
        // A second alternative that is hidden leaves a plain row with a label.
        op::TInputElementAltOppsettListe& years = placeOf(*cfg, 1, u"Initial", u"LOPETIDY");
        op::TInputElementOppsett& hidden = years.add();
        hidden.assign(years[0]);
        hidden.SetID(u"LOPETIDX");
        hidden.Setstate(op::TCtrlState::csHide);
    }
    start();
    TProductData& loan = mng->current().add(1);
    show(loan);
    TWndElements& w = *frame->sectionWnd(u"Initial");
    TLabelAndFieldExt* place = nullptr;
    TLabelAndFieldExt* yearsPlace = nullptr;
    for (size_t i = 0; i < w.count(); ++i)
        if (auto* p = dynamic_cast<TLabelAndFieldExt*>(&w.item(i))) {
            if (p->place()[0].ID() == u"LBELOP") place = p;
            if (p->place()[0].ID() == u"LOPETIDY") yearsPlace = p;
        }
    ASSERT_TRUE(place && yearsPlace);
    EXPECT_TRUE(place->hasAlternatives());
    ASSERT_NE(place->labelChoicesEdit(), nullptr);
    EXPECT_EQ(place->labelChoicesEdit()->count(), 2);
    EXPECT_EQ(place->labelChoicesEdit()->itemText(1), "Utbetalt beløp");
    EXPECT_EQ(place->labelChoicesEdit()->focusPolicy(), Qt::ClickFocus);
    EXPECT_FALSE(place->activeAlt()->labelCtrl()->isVisibleTo(place->contentPanel()));
    EXPECT_EQ(place->activeAlt()->ID(), u"LBELOP");
    EXPECT_EQ(place->contentPanel()->sizeHint().height(), 24);  // one row of 23 + 1

    EXPECT_FALSE(yearsPlace->hasAlternatives());
    EXPECT_TRUE(yearsPlace->activeAlt()->labelCtrl()->isVisibleTo(yearsPlace->contentPanel()));

    place->labelChoicesEdit()->setCurrentIndex(1);  // as the user picks it
    EXPECT_EQ(place->activeAlt()->ID(), u"LBELOPX");
    EXPECT_FALSE(item(loan, u"Initial", u"LBELOP").active());
    EXPECT_TRUE(item(loan, u"Initial", u"LBELOPX").active());
    const std::u16string calc = loan.GetcalcDataStr();
    EXPECT_EQ(calc.find(u"LBELOP="), std::u16string::npos) << toUtf8(calc);
    EXPECT_NE(calc.find(u"LBELOPX=2000000;"), std::u16string::npos) << toUtf8(calc);
    EXPECT_GT(edits, 0);

    // Shown again, the place opens on the active alternative; a caption
    // change reaches the chooser line.
    frame->setLoan(&loan);
    TLabelAndFieldExt* again = nullptr;
    TWndElements& w2 = *frame->sectionWnd(u"Initial");
    for (size_t i = 0; i < w2.count(); ++i)
        if (auto* p = dynamic_cast<TLabelAndFieldExt*>(&w2.item(i)); p && p->place()[0].ID() == u"LBELOP") again = p;
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->activeAltInx(), 1);
    item(loan, u"Initial", u"LBELOPX").setCaption(u"Netto utbetalt");
    EXPECT_EQ(again->labelChoicesEdit()->itemText(1), "Netto utbetalt");
}

TEST_F(InputWnd, ChangeRowsAreAddedRemovedAndKeptInDateOrder) {
    start();
    TProductData& loan = mng->current().add(1);
    auto& f = static_cast<TFrameNblnInput&>(show(loan));
    auto& rows = dynamic_cast<TChangeWndElements&>(*f.sectionWnd(u"Changes"));
    f.btnNyEndring()->click();
    EXPECT_TRUE(f.changesHeader()->isVisibleTo(&f));
    ASSERT_EQ(rows.count(), 1u);
    EXPECT_EQ(rows.row(0)->ID(), u"RNTSATS");  // the window's first field
    EXPECT_EQ(rows.row(0)->labelChoicesEdit()->currentText(), "Ny rentesats");
    EXPECT_EQ(rows.row(0)->delBtnCtrl()->text(), "X");

    auto date = [&](size_t i) { return rows.row(i)->dateCtrl(); };
    typeInto(date(0), "01.03.2025");
    f.btnNyEndring()->click();
    typeInto(date(1), "01.06.2025");
    f.btnNyEndring()->click();
    date(2)->setFocus();
    QTest::keyClick(date(2), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(date(2), Qt::Key_Delete);  // the third row without date
    ASSERT_EQ(rows.count(), 3u);
    auto* section = static_cast<TChangesDataSection*>(loan.getSection(u"Changes"));
    auto dates = [&] {
        std::vector<std::u16string> d;
        for (size_t i = 0; i < section->count(); ++i) d.push_back(static_cast<TChangeDataItem&>(section->getItem(i)).date());
        return d;
    };
    EXPECT_EQ(dates(), (std::vector<std::u16string>{u"01.03.2025", u"01.06.2025", u""}));

    // Mark the third row by its value, then date it between the others.
    typeInto(rows.row(2)->fieldCtrl(), "7");
    typeInto(date(2), "01.04.2025");
    EXPECT_EQ(dates(), (std::vector<std::u16string>{u"01.03.2025", u"01.04.2025", u"01.06.2025"}));
    EXPECT_EQ(rows.row(1)->changeDate(), u"01.04.2025");
    EXPECT_EQ(variantText(rows.row(1)->value().v), u"7");
    EXPECT_EQ(section->getItem(1).control(), rows.row(1));
    // The window shows the rows in the same order.
    EXPECT_LT(rows.wnd()->layout()->indexOf(rows.row(0)->contentPanel()),
              rows.wnd()->layout()->indexOf(rows.row(1)->contentPanel()));

    // The first row moves to the end.
    typeInto(date(0), "01.01.2026");
    EXPECT_EQ(dates(), (std::vector<std::u16string>{u"01.04.2025", u"01.06.2025", u"01.01.2026"}));
    EXPECT_NE(loan.GetcalcDataStr().find(u"ENDRDTO=01.04.2025;RNTSATS=7;"), std::u16string::npos)
        << toUtf8(loan.GetcalcDataStr());

    // Another field for a row: its control follows the field's kind.
    rows.row(0)->labelChoicesEdit()->setCurrentIndex(rows.row(0)->labelChoicesEdit()->findText("Avdragsfri"));
    EXPECT_EQ(section->getItem(0).id(), u"AVDRAGFRI");
    EXPECT_TRUE(dynamic_cast<kf::TRadioGroupEdit*>(rows.row(0)->fieldCtrl()));
    rows.row(0)->fieldCtrl()->findChild<QRadioButton*>("valg0")->click();
    EXPECT_EQ(section->getItem(0).valueText(), u"1");

    // Deleting a row removes its item.
    rows.row(1)->delBtnCtrl()->click();
    EXPECT_EQ(dates(), (std::vector<std::u16string>{u"01.04.2025", u"01.01.2026"}));
    EXPECT_EQ(rows.count(), 2u);
    EXPECT_TRUE(boxes.empty()) << boxes.front().toStdString();
}

TEST_F(InputWnd, DefaultValuesModeShowsTheOfferedFieldsAndWritesTheProductDefaults) {
    start();
    TProductData& defaults = *mng->defaults().itemByID(1);
    auto& f = static_cast<TFrameNblnInput&>(show(defaults));
    EXPECT_EQ(f.mode(), TWndMode::wmDefaultsInput);
    EXPECT_FALSE(f.area(u"Changes")->isVisibleTo(&f));
    EXPECT_TRUE(f.findChild<QWidget*>("pnDetails")->isVisibleTo(&f));
    EXPECT_FALSE(f.btnVisDetaljer()->isVisibleTo(&f));
    EXPECT_FALSE(f.btnSkjulDetaljer()->isVisibleTo(&f));
    TWndElements& w = *f.sectionWnd(u"Initial");
    EXPECT_EQ(w.inputFieldByID(u"KUNDENAVN"), nullptr);  // not offered in the dialog
    TLabelAndField& amount = field(u"Initial", u"LBELOP");
    EXPECT_EQ(amount.fieldCtrl()->property("helpKeyword").toString(), "hlpLBELOP_Default");
    EXPECT_FALSE(amount.readonly());
    typeInto(amount.fieldCtrl(), "1500000");
    EXPECT_EQ(item(defaults, u"Initial", u"LBELOP").valueText(), u"1500000");
    // A new loan of the case starts with the new default.
    mng->defaults().save();
    TProductData& loan = mng->current().add(1);
    EXPECT_EQ(item(loan, u"Initial", u"LBELOP").valueText(), u"1500000");
}

TEST_F(InputWnd, ReadonlyFieldsAreGreyAndEditableOnlyInTheDefaultsDialog) {
    placeOf(*cfg, 1, u"Initial", u"LNTYPE")[0].SetshowInDefaultValuesDlg(true);
    start();
    TProductData& loan = mng->current().add(1);
    show(loan);
    TLabelAndField& type = field(u"Initial", u"LNTYPE");
    EXPECT_TRUE(type.visible());
    EXPECT_TRUE(type.readonly());
    EXPECT_EQ(type.fieldCtrl()->palette().color(QPalette::Base), QColor(231, 239, 245));
    EXPECT_EQ(type.fieldCtrl()->focusPolicy(), Qt::ClickFocus);  // skipped by Tab
    frame.reset();
    show(*mng->defaults().itemByID(1));
    TLabelAndField& def = field(u"Initial", u"LNTYPE");
    EXPECT_FALSE(def.readonly());
    EXPECT_EQ(def.fieldCtrl()->palette().color(QPalette::Base), QColor(Qt::white));
}

TEST_F(InputWnd, FrameworkLoanFrameShowsPartsWithVisibleFields) {
    {
        op::TInputOppsett& part3 = cfg->itemById(4)->InputOppsettListe().itemByID(u"Part3");
        for (size_t i = 0; i < part3.count(); ++i)
            if (auto* p = part3.place(i)) (*p)[0].Setstate(op::TCtrlState::csHide);
    }
    start();
    TProductData& loan = mng->current().add(4);
    auto& f = static_cast<TFrameRmlnInput&>(show(loan));
    const char* titles[] = {"Ordinær bevilgning", "Tilleggsbevilgning", "Tilleggsbevilgning 2 ", "Utnyttelsesprovisjon",
                            "Trapperente", "Overtrekk", "Kontohold", "Beregn for utnyttelsesgrader"};
    for (int i = 1; i <= 8; ++i) {
        const std::u16string part = u"Part" + kavelin::text::intText(i);
        SCOPED_TRACE(i);
        QWidget* area = f.area(part);
        ASSERT_NE(area, nullptr);
        EXPECT_EQ(area->isVisibleTo(&f), i != 3);
        auto* title = f.findChild<QWidget*>(QString("pnPart%1Tittel").arg(i))->findChild<QLabel*>();
        EXPECT_EQ(title->text(), QString::fromUtf8(titles[i - 1]));
    }
    typeInto(field(u"Part1", u"ORDBEVILGNING").fieldCtrl(), "800000");
    EXPECT_NE(loan.GetcalcDataStr().find(u"ORDBEVILGNING=800000;"), std::u16string::npos);
    f.clear();
    EXPECT_EQ(item(loan, u"Part1", u"ORDBEVILGNING").control(), nullptr);  // detached
    EXPECT_FALSE(f.isVisible());
}

TEST_F(InputWnd, ScriptErrorIsShownAndTheEditStays) {
    placeOf(*cfg, 1, u"Initial", u"LBELOP")[0].SeteventScript(u"if (event == \"change\") throw new Error(\"feil\");");
    start();
    TProductData& loan = mng->current().add(1);
    show(loan);
    typeInto(field(u"Initial", u"LBELOP").fieldCtrl(), "9");
    ASSERT_FALSE(boxes.empty());
    EXPECT_TRUE(boxes.front().contains("Scriptfeil i felt \"LBELOP\"")) << boxes.front().toStdString();
    EXPECT_EQ(item(loan, u"Initial", u"LBELOP").valueText(), u"9");
}

TEST_F(InputWnd, DesignViewDrawsEveryElementReadOnly) {
    start();
    QWidget panel;
    panel.resize(480, 600);
    op::TInputOppsett& window = cfg->itemById(1)->InputOppsettListe().itemByID(u"Initial");
    auto wnd = TWndElements::create(op::TWndKind::wkStd, &panel, TWndMode::wmDesigning);
    wnd->initCfgSetupSync(window);
    EXPECT_EQ(wnd->count(), window.count());
    for (TLabelAndField* lf : wnd->fields()) {
        EXPECT_TRUE(lf->visible());
        EXPECT_TRUE(lf->readonly());
        EXPECT_NE(lf->fieldCtrl()->palette().color(QPalette::Base), QColor(231, 239, 245));
    }
    auto* line = dynamic_cast<TSpacedLine*>(&wnd->item(1));
    ASSERT_NE(line, nullptr);
    EXPECT_THROW(line->setVisible(false), EData);
    auto changes = TWndElements::create(op::TWndKind::wkChangesArray, &panel, TWndMode::wmDesigning);
    changes->initCfgSetupSync(cfg->itemById(1)->InputOppsettListe().itemByID(u"Changes"));
    auto* row = static_cast<TChangeWndElements&>(*changes).row(0);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->dateCtrl()->text(), "Endr.dato");
    EXPECT_FALSE(row->delBtnCtrl()->isEnabled());
}

TEST_F(InputWnd, UnknownElementsAndFlowsFail) {
    start();
    QWidget panel;
    op::TInputOppsett window;
    window.addInputAltListe().add().SetpanelFlow(op::TFlowKind::flAuto);
    auto wnd = TWndElements::create(op::TWndKind::wkStd, &panel, TWndMode::wmNormalInput);
    try {
        wnd->loadFromConfig(window);
        FAIL();
    } catch (const EData& e) {
        EXPECT_EQ(e.message(), u"Ikke implementert!");
    }
    op::TInputOppsett other;
    auto& e = other.addInputAltListe().add();
    e.Setkind(op::TCtrlKind::ckPanel);
    try {
        wnd->loadFromConfig(other);
        FAIL();
    } catch (const EData& ex) {
        EXPECT_EQ(ex.message(), u"Ukjent type element! (11");
    }
}

// Pictures of the frames for a look at them (MIRVO_GRAB_DIR set).
TEST_F(InputWnd, GrabFrames) {
    const char* out = std::getenv("MIRVO_GRAB_DIR");
    if (!out) GTEST_SKIP();
    start();
    TProductData& loan = mng->current().add(1);
    auto& f = static_cast<TFrameNblnInput&>(show(loan));
    f.btnNyEndring()->click();
    f.btnNyEndring()->click();
    f.btnVisDetaljer()->click();
    typeInto(static_cast<TChangeWndElements&>(*f.sectionWnd(u"Changes")).row(1)->dateCtrl(), "01.06.2026");
    f.show();
    QApplication::processEvents();
    f.adjustSize();
    f.grab().save(QString::fromUtf8(out) + "/nbln.png");
    TProductData& rml = mng->current().add(4);
    frame.reset();
    show(rml).resize(480, frame->sizeHint().height());
    frame->show();
    frame->grab().save(QString::fromUtf8(out) + "/rmln.png");
}

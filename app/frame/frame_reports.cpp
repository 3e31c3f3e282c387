#include "app/frame/frame_reports.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/dlg/widget_names.h"
#include "app/frame/kavelin_edit.h"
#include "app/ui/fmt/numtext.h"
#include "app/ui/qt_text.h"

namespace mirvo::frame {
namespace {

using kavelin::fmt::TCustomKavelinEdit;
using mirvo::dlg::setName;

const char* const kTabCaptions[kReportPageCount] = {
    "  &Nedbetalingsplan", "     &Rentebuffer   ", "  Skatte&effekt og nåverdi", "  Effektiv rente",
    "  &Terminbeløp vs nedbet.tid"};
const char* const kGridNames[kReportPageCount] = {"grNedbet", "grRentemargin", "grNaverdi", "grEffrnt",
                                                  "grTermbelop"};

using kavelin::text::qs;

}  // namespace

std::vector<std::u16string> rentemarginEntries() {
    std::vector<std::u16string> out;
    for (int q = -8; q <= 20; ++q) {
        double v = q * 0.25;
        std::u16string value = kavelin::fmt::writeNumberTrimmed(v, 2, false);
        std::u16string digits = kavelin::fmt::writeNumber(v < 0 ? -v : v, 2, false);
        std::u16string text(1, v < 0 ? u'-' : v > 0 ? u'+' : u' ');
        text += std::u16string(digits.size() < 6 ? 6 - digits.size() : 0, u' ') + digits + u" %";
        out.push_back(value + u"=" + text);
    }
    return out;
}

TFrameReports::TFrameReports(QWidget* parent) : QWidget(parent) {
    setName(this, "frameReports");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);

    // Whole case or the selected loan.
    FSamletBox = new QWidget(this);
    setName(FSamletBox, "pnSamlet");
    auto* samlet = new QHBoxLayout(FSamletBox);
    samlet->setContentsMargins(6, 2, 6, 2);
    FRbEnkelt = new QRadioButton(QStringLiteral("Beregn enkeltlån"), FSamletBox);
    setName(FRbEnkelt, "rbEnkeltlaan");
    FRbSamlet = new QRadioButton(QStringLiteral("Samlet beregning"), FSamletBox);
    setName(FRbSamlet, "rbSamlet");
    FRbEnkelt->setChecked(true);
    samlet->addWidget(FRbEnkelt);
    samlet->addWidget(FRbSamlet);
    samlet->addStretch();
    layout->addWidget(FSamletBox);

    // Key figures.
    FPnKeyFigures = new QFrame(this);
    setName(FPnKeyFigures, "pnKeyFigures");
    FPnKeyFigures->setFrameShape(QFrame::StyledPanel);
    FPnKeyFigures->setAutoFillBackground(true);
    QPalette kp = FPnKeyFigures->palette();
    kp.setColor(QPalette::Window, QColor(0xFF, 0xFB, 0xF0));
    FPnKeyFigures->setPalette(kp);
    // The figures take as many columns as fit; they never widen the window.
    FPnKeyFigures->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    FPnKeyFigures->installEventFilter(this);
    FKeyLayout = new QGridLayout(FPnKeyFigures);
    FKeyLayout->setContentsMargins(10, 6, 10, 6);
    FKeyLayout->setHorizontalSpacing(6);
    FKeyLayout->setVerticalSpacing(2);
    layout->addWidget(FPnKeyFigures);

    // Options of the schedules.
    FPnOptions = new QFrame(this);
    setName(FPnOptions, "pnOptions");
    auto* options = new QHBoxLayout(FPnOptions);
    options->setContentsMargins(6, 0, 6, 0);
    FForlopBox = new QWidget(FPnOptions);
    setName(FForlopBox, "pnForlop");
    auto* forlop = new QHBoxLayout(FForlopBox);
    forlop->setContentsMargins(0, 0, 0, 0);
    FRbFullt = new QRadioButton(QStringLiteral("Fullt forløp"), FForlopBox);
    setName(FRbFullt, "rbFulltForlop");
    FRbFra = new QRadioButton(QStringLiteral("Årssummer fra"), FForlopBox);
    setName(FRbFra, "rbArssummerFra");
    FEdAntAr = new TCustomKavelinEdit(FForlopBox, u"N0");
    setName(FEdAntAr, "edAntAar");
    FEdAntAr->filter().setMaxLength(1);
    FEdAntAr->setValue(u"2");
    FEdAntAr->setFixedWidth(28);
    auto* fraTail = new QLabel(QStringLiteral(". årsskifte"), FForlopBox);
    FRbArssummer = new QRadioButton(QStringLiteral("Årssummer"), FForlopBox);
    setName(FRbArssummer, "rbArssummer");
    FRbFullt->setChecked(true);
    auto* forlopGroup = new QButtonGroup(this);
    for (QRadioButton* b : {FRbFullt, FRbFra, FRbArssummer}) forlopGroup->addButton(b);
    forlop->addWidget(FRbFullt);
    forlop->addSpacing(8);
    forlop->addWidget(FRbFra);
    forlop->addWidget(FEdAntAr);
    forlop->addWidget(fraTail);
    forlop->addSpacing(8);
    forlop->addWidget(FRbArssummer);
    options->addWidget(FForlopBox);

    FRentemarginBox = new QWidget(FPnOptions);
    setName(FRentemarginBox, "pnRentemargin");
    auto* rm = new QHBoxLayout(FRentemarginBox);
    rm->setContentsMargins(12, 0, 0, 0);
    rm->addWidget(new QLabel(QStringLiteral("Endring av rentenivå"), FRentemarginBox));
    FCbRentemargin = new QComboBox(FRentemarginBox);
    setName(FCbRentemargin, "cbRentemargin");
    for (const std::u16string& e : rentemarginEntries()) {
        size_t eq = e.find(u'=');
        FCbRentemargin->addItem(qs(e.substr(eq + 1)), qs(e.substr(0, eq)));
    }
    FCbRentemargin->setCurrentIndex(FCbRentemargin->findData(QStringLiteral("3")));
    rm->addWidget(FCbRentemargin);
    options->addWidget(FRentemarginBox);

    FInflasjonBox = new QWidget(FPnOptions);
    setName(FInflasjonBox, "pnInflasjon");
    auto* inf = new QHBoxLayout(FInflasjonBox);
    inf->setContentsMargins(12, 0, 0, 0);
    inf->addWidget(new QLabel(QStringLiteral("Inflasjon/avkastn.krav"), FInflasjonBox));
    FEdInflasjon = new TCustomKavelinEdit(FInflasjonBox, u"N1;1;%");
    setName(FEdInflasjon, "edInflasjon");
    FEdInflasjon->setValue(u"2");
    FEdInflasjon->setFixedWidth(70);
    inf->addWidget(FEdInflasjon);
    options->addWidget(FInflasjonBox);
    options->addStretch();
    // The mini view is narrower than the options: they are cut, not the window widened.
    FPnOptions->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    layout->addWidget(FPnOptions);

    // The schedules.
    FTabs = new QTabWidget(this);
    setName(FTabs, "pcReports");
    for (int i = 0; i < kReportPageCount; ++i) {
        FPages[size_t(i)] = new QWidget(FTabs);
        auto* pl = new QVBoxLayout(FPages[size_t(i)]);
        pl->setContentsMargins(0, 0, 0, 0);
        auto* g = new QTableWidget(FPages[size_t(i)]);
        setName(g, kGridNames[i]);
        g->setEditTriggers(QAbstractItemView::NoEditTriggers);
        g->verticalHeader()->setVisible(false);
        g->verticalHeader()->setDefaultSectionSize(g->fontMetrics().height() + 6);
        g->setAlternatingRowColors(false);
        g->setSelectionBehavior(QAbstractItemView::SelectRows);
        pl->addWidget(g);
        FGrids[size_t(i)] = g;
        FTabs->addTab(FPages[size_t(i)], QString::fromUtf8(kTabCaptions[i]));
    }
    layout->addWidget(FTabs, 1);

    connect(FTabs, &QTabWidget::currentChanged, this, &TFrameReports::pageChanged);
    for (QRadioButton* b : {FRbFullt, FRbFra, FRbArssummer})
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on) emitOptions();
        });
    connect(FRbSamlet, &QRadioButton::toggled, this, [this] {
        updateSamletFonts();
        emitOptions();
    });
    connect(FCbRentemargin, &QComboBox::currentIndexChanged, this, &TFrameReports::emitOptions);
    connect(FEdAntAr, &QLineEdit::textChanged, this, [this] {
        if (FRbFra->isChecked()) emitOptions();
    });
    connect(FEdInflasjon, &QLineEdit::editingFinished, this, &TFrameReports::emitOptions);
    updateSamletFonts();
    updateOptionVisibility();
    // Shown by the main manager once there is something to calculate.
    FSamletBox->hide();
    FPnKeyFigures->hide();
}

void TFrameReports::emitOptions() {
    if (!FLoading) emit optionsChanged();
}

void TFrameReports::updateSamletFonts() {
    for (QRadioButton* b : {FRbEnkelt, FRbSamlet}) {
        QFont f = b->font();
        f.setBold(b->isChecked());
        b->setFont(f);
    }
}

void TFrameReports::pageChanged(int index) {
    updateOptionVisibility();
    if (!FLoading) emit tabChanged(index);
}

void TFrameReports::updateOptionVisibility() {
    int page = FTabs->currentIndex();
    FForlopBox->setVisible(page >= rpNedbet && page <= rpEffrnt);
    FInflasjonBox->setVisible(page == rpNaverdi || page == rpTermbelop);
    FRentemarginBox->setVisible(page == rpRentemargin);
}

void TFrameReports::setVisibleTabs(const std::array<bool, kReportPageCount>& flags) {
    FLoading = true;
    FVisible = flags;
    for (int i = 0; i < kReportPageCount; ++i) FTabs->setTabVisible(i, flags[size_t(i)]);
    int active = FTabs->currentIndex();
    if (active < 0 || !flags[size_t(active)]) {
        for (int i = kReportPageCount - 1; i >= 0; --i)
            if (flags[size_t(i)]) {
                FTabs->setCurrentIndex(i);
                break;
            }
    }
    FLoading = false;
    updateOptionVisibility();
}

QString TFrameReports::getTabPageCaption(int index) const { return FTabs->tabText(index); }

bool TFrameReports::getTabPageVisible(int index) const {
    return index >= 0 && index < kReportPageCount && FVisible[size_t(index)];
}

void TFrameReports::SetactivePageIndex(int index) {
    if (getTabPageVisible(index)) FTabs->setCurrentIndex(index);
}

int TFrameReports::activePageIndex() const { return FTabs->currentIndex(); }

int TFrameReports::forlopOption() const {
    if (FRbFullt->isChecked()) return kFulltForlop;
    if (FRbArssummer->isChecked()) return kKunArssummer;
    auto n = kavelin::fmt::tryReadInteger(FEdAntAr->value());
    return n && *n >= 0 && *n <= 9 ? int(*n) : 2;
}

bool TFrameReports::arssummerChosen() const { return FRbArssummer->isChecked(); }
bool TFrameReports::fulltForlopChosen() const { return FRbFullt->isChecked(); }
void TFrameReports::chooseFulltForlop() { FRbFullt->setChecked(true); }

std::u16string TFrameReports::rentemarginValue() const {
    return FCbRentemargin->currentData().toString().toStdU16String();
}

std::u16string TFrameReports::inflasjonText() const {
    double v = kavelin::fmt::readNumber(FEdInflasjon->value());
    return kavelin::fmt::writeNumber(v, 1, false);
}

bool TFrameReports::samletBeregning() const { return FRbSamlet->isChecked() && FSamletBox->isVisibleTo(this); }

void TFrameReports::setSamletBeregning(bool on) { (on ? FRbSamlet : FRbEnkelt)->setChecked(true); }

void TFrameReports::setSamletChoiceVisible(bool visible) { FSamletBox->setVisible(visible); }
void TFrameReports::setOptionsVisible(bool visible) { FPnOptions->setVisible(visible); }
void TFrameReports::setKeyFiguresVisible(bool visible) { FPnKeyFigures->setVisible(visible); }
bool TFrameReports::keyFiguresVisible() const { return FPnKeyFigures->isVisibleTo(this); }

void TFrameReports::clearKeyFigures() {
    while (QLayoutItem* item = FKeyLayout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    FKeyLabels.clear();
    FKeyCount = 0;
}

void TFrameReports::addKeyFigure(const QString& caption, const QString& text) {
    auto* cap = new QLabel(caption + QStringLiteral(":"), FPnKeyFigures);
    cap->setObjectName(QStringLiteral("keyCaption%1").arg(FKeyCount));
    QFont f = cap->font();
    f.setBold(true);
    cap->setFont(f);
    auto* val = new QLabel(text + QStringLiteral("        "), FPnKeyFigures);
    val->setObjectName(QStringLiteral("keyText%1").arg(FKeyCount));
    val->setTextInteractionFlags(Qt::TextSelectableByMouse);
    FKeyLabels.push_back({cap, val});
    ++FKeyCount;
    layoutKeyFigures();
}

int TFrameReports::keyFigureColumnsFor(int width) const {
    int widest = 1;
    for (auto [cap, val] : FKeyLabels)
        widest = std::max(widest, cap->sizeHint().width() + val->sizeHint().width() + 2 * FKeyLayout->horizontalSpacing());
    int columns = std::max(1, (width - 20) / widest);
    if (FKeyColumns > 0) columns = std::min(columns, FKeyColumns);
    return std::min(columns, std::max(1, FKeyCount));
}

void TFrameReports::layoutKeyFigures() {
    // As many columns as the panel's width holds (at most the limit); the
    // figures go column by column, so each column reads top to bottom.
    const int columns = keyFigureColumnsFor(FPnKeyFigures->width() > 50 ? FPnKeyFigures->width() : width() - 12);
    for (auto [cap, val] : FKeyLabels) {
        FKeyLayout->removeWidget(cap);
        FKeyLayout->removeWidget(val);
    }
    const int rows = (FKeyCount + columns - 1) / std::max(1, columns);
    for (int i = 0; i < FKeyCount; ++i) {
        const int row = i % std::max(1, rows), col = i / std::max(1, rows) * 2;
        FKeyLayout->addWidget(FKeyLabels[size_t(i)].first, row, col);
        FKeyLayout->addWidget(FKeyLabels[size_t(i)].second, row, col + 1);
    }
    FKeyLayoutColumns = columns;
}

bool TFrameReports::eventFilter(QObject* watched, QEvent* event) {
    // The panel's own width decides the columns, once its parent laid it out.
    if (watched == FPnKeyFigures && event->type() == QEvent::Resize && FKeyCount > 0 &&
        keyFigureColumnsFor(FPnKeyFigures->width()) != FKeyLayoutColumns)
        layoutKeyFigures();
    return QWidget::eventFilter(watched, event);
}

QString TFrameReports::keyFigureCaption(int index) const {
    auto* l = findChild<QLabel*>(QStringLiteral("keyCaption%1").arg(index));
    return l ? l->text() : QString();
}

QString TFrameReports::keyFigureText(int index) const {
    auto* l = findChild<QLabel*>(QStringLiteral("keyText%1").arg(index));
    return l ? l->text() : QString();
}

void TFrameReports::beginUpdate() {
    if (FUpdating++ == 0) setUpdatesEnabled(false);
}

void TFrameReports::endUpdate() {
    if (FUpdating > 0 && --FUpdating == 0) setUpdatesEnabled(true);
}

}  // namespace mirvo::frame

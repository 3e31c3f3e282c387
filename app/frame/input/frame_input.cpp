#include "app/frame/input/frame_input.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dlg/msgbox.h"
#include "app/frame/input/input_wnd.h"
#include "app/mng/product_data.h"
#include "app/dlg/widget_names.h"
#include "app/ui/script/variants.h"
#include "app/ui/qt_text.h"

namespace mirvo::frame {

using mng::TWndMode;

namespace {

using kavelin::text::qs;

QPushButton* barButton(QWidget* parent, const QString& text, const char* name) {
    auto* b = new QPushButton(text, parent);
    dlg::setName(b, name);
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

}  // namespace

// ---- TFrameLoanInput ---------------------------------------------------------------

TWndMode TFrameLoanInput::mode() const { return TWndMode(FMode); }

TFrameLoanInput::TFrameLoanInput(QWidget* parent) : QWidget(parent) {
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(4);
    l->addStretch(1);
}

TFrameLoanInput::~TFrameLoanInput() {
    // The sections are detached before the panels they are shown on go.
    if (FLoan) FLoan->releaseInputConnections();
    for (auto& a : FAreas) a->view.reset();
}

TFrameLoanInput::TArea& TFrameLoanInput::addArea(std::u16string_view sectionID, const QString& title,
                                                 const char* headerName, const char* bodyName) {
    auto a = std::make_unique<TArea>();
    a->sectionID = sectionID;
    a->box = new QWidget(this);
    auto* v = new QVBoxLayout(a->box);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    a->header = new QFrame(a->box);
    dlg::setName(a->header, headerName);
    a->header->setFixedHeight(26);
    auto* h = new QHBoxLayout(a->header);
    h->setContentsMargins(8, 2, 4, 2);
    a->title = new QLabel(title, a->header);
    QFont f = a->title->font();
    f.setBold(true);
    a->title->setFont(f);
    h->addWidget(a->title);
    h->addStretch(1);
    v->addWidget(a->header);
    a->body = new QWidget(a->box);
    dlg::setName(a->body, bodyName);
    v->addWidget(a->body);
    auto* frameLayout = static_cast<QVBoxLayout*>(layout());
    frameLayout->insertWidget(frameLayout->count() - 1, a->box);
    styleHeader(*a);
    FAreas.push_back(std::move(a));
    return *FAreas.back();
}

void TFrameLoanInput::styleHeader(TArea& a) {
    // Header bar in $E1CBB3 with a left border in $F5EFE7; no border in the
    // default-values mode.
    const QString border = mode() == TWndMode::wmDefaultsInput ? QStringLiteral("none")
                                                               : QStringLiteral("4px solid rgb(231,239,245)");
    a.header->setStyleSheet(QStringLiteral("QFrame#%1 { background-color: rgb(179,203,225); border: none; "
                                           "border-left: %2; }")
                                .arg(a.header->objectName(), border));
}

void TFrameLoanInput::setLoan(mng::TProductData* loan) {
    hide();
    if (FLoan) FLoan->releaseInputConnections();
    for (auto& a : FAreas) a->view.reset();
    FLoan = loan;
    FMode = loan ? int(mng::wndModeOf(loan->GetneededWndMode())) : 0;
    for (auto& a : FAreas) {
        styleHeader(*a);
        mng::TDataSection* section = loan ? loan->getSection(a->sectionID) : nullptr;
        if (!section) continue;
        try {
            a->view = std::make_unique<mng::TSectionView>(*section, a->body);
            a->view->FOnEdited = [this] { afterEdit(); };
        } catch (const std::exception& e) {
            a->view.reset();
            showFailure(e);
        }
    }
    arrange();
    relayout();
    if (loan) show();
}

mng::TWndElements* TFrameLoanInput::sectionWnd(std::u16string_view sectionID) const {
    for (const auto& a : FAreas)
        if (a->view && kavelin::activex::sameText(a->sectionID, sectionID)) return &a->view->wnd();
    return nullptr;
}

QWidget* TFrameLoanInput::area(std::u16string_view sectionID) const {
    for (const auto& a : FAreas)
        if (kavelin::activex::sameText(a->sectionID, sectionID)) return a->box;
    return nullptr;
}

void TFrameLoanInput::afterEdit() {
    arrange();
    relayout();
    emit edited();
}

void TFrameLoanInput::relayout() {
    // Rows added or shown inside a hidden or update-suspended panel do not
    // always reach the areas' cached sizes.
    for (auto& a : FAreas) {
        if (a->body->layout()) a->body->layout()->invalidate();
        a->box->layout()->invalidate();
        a->body->updateGeometry();
        a->box->updateGeometry();
    }
    layout()->invalidate();
    updateGeometry();
}

void TFrameLoanInput::showFailure(const std::exception& e) {
    QString text = QString::fromUtf8(e.what());
    if (auto* k = dynamic_cast<const kavelin::utils::EKavelin*>(&e)) text = qs(k->message());
    dlg::showError(this, QStringLiteral("Feil"), text);
}

// ---- TFrameNblnInput -----------------------------------------------------------------

TFrameNblnInput::TFrameNblnInput(QWidget* parent) : TFrameLoanInput(parent) {
    dlg::setName(this, "frameNblnInput");
    addArea(u"Initial", QStringLiteral("Forutsetninger"), "pnForutsetninger", "pnInitial");

    TArea& changes = addArea(u"Changes", QStringLiteral("Endringer"), "pnEndringer", "pnChanges");
    FBtnNyEndring = barButton(changes.header, QStringLiteral(" Ny endring"), "btnNyEndring");
    changes.header->layout()->addWidget(FBtnNyEndring);
    connect(FBtnNyEndring, &QPushButton::clicked, this, &TFrameNblnInput::addChange);
    // The column header sits between the bar and the rows.
    FChangesHeader = new QWidget(changes.box);
    dlg::setName(FChangesHeader, "pnEndringerKolonner");
    FChangesHeader->setFixedHeight(18);
    FHdrDato = new QLabel(QStringLiteral("Endringsdato"), FChangesHeader);
    FHdrHva = new QLabel(QStringLiteral("Hva skal endres"), FChangesHeader);
    FHdrVerdi = new QLabel(QStringLiteral("Settes til"), FChangesHeader);
    for (QLabel* l : {FHdrDato, FHdrHva, FHdrVerdi}) {
        QFont f = l->font();
        f.setItalic(true);
        l->setFont(f);
        l->setForegroundRole(QPalette::PlaceholderText);
    }
    static_cast<QVBoxLayout*>(changes.box->layout())->insertWidget(1, FChangesHeader);

    TArea& details = addArea(u"Details", QStringLiteral("Detaljer"), "pnDetaljer", "pnDetails");
    FBtnVisDetaljer = barButton(details.header, QStringLiteral("Vis detaljer"), "btnVisDetaljer");
    FBtnSkjulDetaljer = barButton(details.header, QStringLiteral(" Skjul detaljer"), "btnSkjulDetaljer");
    details.header->layout()->addWidget(FBtnVisDetaljer);
    details.header->layout()->addWidget(FBtnSkjulDetaljer);
    connect(FBtnVisDetaljer, &QPushButton::clicked, this, [this] { showDetails(true); });
    connect(FBtnSkjulDetaljer, &QPushButton::clicked, this, [this] { showDetails(false); });
    arrange();
}

void TFrameNblnInput::addChange() {
    auto* changes = FLoan ? dynamic_cast<mng::TChangesDataSection*>(FLoan->getSection(u"Changes")) : nullptr;
    if (!changes) return;
    FChangesOpened = true;
    updateChangesArea();
    try {
        changes->addChangeElement();
    } catch (const std::exception& e) {
        showFailure(e);
    }
    afterEdit();
}

void TFrameNblnInput::showDetails(bool on) {
    FDetailsShown = on;
    arrange();
}

void TFrameNblnInput::updateChangesArea() {
    TArea& a = *FAreas[1];
    const bool rows = a.view && (a.view->section().count() > 0 || FChangesOpened);
    FChangesHeader->setVisible(rows);
    a.body->setVisible(rows);
    if (auto* wnd = a.view ? dynamic_cast<mng::TChangeWndElements*>(&a.view->wnd()) : nullptr) {
        const auto c = wnd->columns();
        FHdrDato->move(c.date, 2);
        FHdrHva->move(c.field, 2);
        FHdrVerdi->move(c.value, 2);
        for (QLabel* l : {FHdrDato, FHdrHva, FHdrVerdi}) l->adjustSize();
    }
}

void TFrameNblnInput::arrange() {
    const bool defaults = mode() == TWndMode::wmDefaultsInput;
    TArea& initial = *FAreas[0];
    initial.box->setVisible(initial.view != nullptr);

    TArea& changes = *FAreas[1];
    changes.box->setVisible(changes.view && !defaults);
    if (!FLoan) FChangesOpened = false;
    updateChangesArea();

    TArea& details = *FAreas[2];
    const bool hasDetails = details.view && details.view->section().count() > 0;
    details.box->setVisible(hasDetails);
    const bool shown = defaults || FDetailsShown;
    details.body->setVisible(hasDetails && shown);
    FBtnVisDetaljer->setVisible(!defaults && !FDetailsShown);
    FBtnSkjulDetaljer->setVisible(!defaults && FDetailsShown);
}

// ---- TFrameRmlnInput -----------------------------------------------------------------

TFrameRmlnInput::TFrameRmlnInput(QWidget* parent) : TFrameLoanInput(parent) {
    dlg::setName(this, "frameRmlnInput");
    static const char* const kTitles[] = {"Ordinær bevilgning",   "Tilleggsbevilgning", "Tilleggsbevilgning 2 ",
                                          "Utnyttelsesprovisjon", "Trapperente",        "Overtrekk",
                                          "Kontohold",            "Beregn for utnyttelsesgrader"};
    for (int i = 0; i < 8; ++i) {
        const std::string part = "Part" + std::to_string(i + 1);
        const std::string header = "pn" + part + "Tittel";
        const std::string body = "pn" + part;
        addArea(std::u16string(part.begin(), part.end()), QString::fromUtf8(kTitles[i]), header.c_str(), body.c_str());
    }
    arrange();
}

void TFrameRmlnInput::arrange() {
    for (size_t i = 0; i < FAreas.size(); ++i) {
        TArea& a = *FAreas[i];
        const bool shown = a.view && (i == 0 || a.view->wnd().anyVisibleFields());
        a.box->setVisible(shown);
    }
}

std::unique_ptr<TFrameLoanInput> createInputFrame(const mng::TProductData& loan, QWidget* parent) {
    if (loan.productGroup() == oppsett::TProduktGruppe::pgRammelån) return std::make_unique<TFrameRmlnInput>(parent);
    return std::make_unique<TFrameNblnInput>(parent);
}

}  // namespace mirvo::frame

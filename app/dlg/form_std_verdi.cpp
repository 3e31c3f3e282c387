#include "app/dlg/form_std_verdi.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "app/dlg/msgbox.h"
#include "app/dlg/widget_names.h"
#include "app/frame/input/frame_input.h"
#include "app/mng/data_mng.h"
#include "app/ui/xml/xml_doc.h"
#include "common/utils/error.h"

namespace mirvo::dlg {

// The values as they were when the dialog opened, for Avbryt.
struct TFormStdVerdi::TSnapshot {
    kavelin::xml::TXMLDoc doc;
    bool changed = false;
};

TFormStdVerdi::TFormStdVerdi(const oppsett::TProduktOppsett& product, mng::TProductsDefaultData& defaults,
                             TStdVerdiSetup setup, QWidget* parent)
    : QDialog(parent), FDefaults(defaults), FSetup(std::move(setup)) {
    setName(this, "TFormStdVerdi");
    setWindowTitle(QStringLiteral("Mirvo  -  Std.verdier: ") + QString::fromStdU16String(product.Beskrivelse()));
    FData = defaults.itemByID(product.ID());
    if (!FData) throw kavelin::utils::EKavelin(u"Ukjent produktID! Kan ikke laste inn data!");
    FSnapshot = std::make_unique<TSnapshot>();
    FData->save(FSnapshot->doc.getElement(u"product"));
    FSnapshot->changed = FData->changed();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    pnInputParent = new QScrollArea(this);
    setName(pnInputParent, "pnInputParent");
    pnInputParent->setWidgetResizable(true);
    pnInputParent->setFrameShape(QFrame::NoFrame);
    layout->addWidget(pnInputParent, 1);
    // The frame follows the product group; the default data puts it in its
    // default-values mode.
    FFrame = frame::createInputFrame(*FData, pnInputParent);
    setName(FFrame.get(), "frameInput");
    pnInputParent->setWidget(FFrame.get());
    FFrame->setLoan(FData);

    pnButtons = new QFrame(this);
    setName(pnButtons, "pnButtons");
    pnButtons->setFrameShape(QFrame::StyledPanel);
    auto* buttons = new QHBoxLayout(pnButtons);
    buttons->setContentsMargins(10, 8, 10, 8);
    if (FSetup.readOnly) {
        // The values are shown, not edited: a banner and one button.
        FFrame->setEnabled(false);
        auto* banner = new QLabel(QStringLiteral("Konfigurasjonen er skrivebeskyttet - standardverdiene kan ikke endres."),
                                  pnButtons);
        setName(banner, "laReadOnly");
        banner->setAlignment(Qt::AlignCenter);
        banner->setStyleSheet(QStringLiteral("QLabel { color: #8B0000; font-weight: bold; }"));
        btnCancel = new QPushButton(QStringLiteral("Lukk"), pnButtons);
        setName(btnCancel, "btnCancel");
        buttons->addStretch();
        buttons->addWidget(banner);
        buttons->addSpacing(12);
        buttons->addWidget(btnCancel);
        buttons->addStretch();
    } else {
        btnOK = new QPushButton(QStringLiteral("OK"), pnButtons);
        setName(btnOK, "btnOK");
        btnOK->setDefault(true);
        btnCancel = new QPushButton(QStringLiteral("Avbryt"), pnButtons);
        setName(btnCancel, "btnCancel");
        buttons->addStretch();
        buttons->addWidget(btnOK);
        buttons->addWidget(btnCancel);
        connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    }
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(pnButtons);
    resize(440, 500);
}

TFormStdVerdi::~TFormStdVerdi() {
    if (FFrame) FFrame->clear();
    if (FData) FData->releaseInputConnections();
    if (FFrame) pnInputParent->takeWidget();
}

void TFormStdVerdi::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    int h = FFrame->sizeHint().height() + 2 * pnButtons->sizeHint().height();
    if (FSetup.mainWindowHeight > 0) h = std::min(h, FSetup.mainWindowHeight * 4 / 5);
    resize(width(), std::max(h, 200));
}

void TFormStdVerdi::restore() {
    FFrame->clear();
    FData->load(*FSnapshot->doc.root());
    if (FSnapshot->changed) FData->markChanged();
}

void TFormStdVerdi::accept() {
    if (FSetup.readOnly) return reject();
    if (FData->changed()) {
        try {
            FDefaults.save();
        } catch (const kavelin::utils::EKavelin& e) {
            showError(this, QStringLiteral("Std.verdier"), QString::fromStdU16String(e.message()));
            return;  // the dialog stays open with the values typed
        }
        if (FSetup.onSaved) FSetup.onSaved();
    }
    QDialog::accept();
}

void TFormStdVerdi::reject() {
    restore();
    QDialog::reject();
}

bool editStdVerdier(const oppsett::TProduktOppsett& product, mng::TProductsDefaultData& defaults,
                    TStdVerdiSetup setup, QWidget* parent) {
    TFormStdVerdi dlg(product, defaults, std::move(setup), parent);
    return dlg.exec() == QDialog::Accepted;
}

}  // namespace mirvo::dlg

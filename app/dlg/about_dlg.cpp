#include "app/dlg/about_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dlg/widget_names.h"
#include "app/main/app_globals.h"
#include "app/mng/mirvo_dll.h"
#include "common/text/numtext.h"
#include "app/ui/qt_text.h"

namespace mirvo::dlg {
namespace {

using kavelin::text::qs;

}  // namespace

QString configIdText(int32_t cfgID, int32_t stdCfgID) {
    QString text = qs(kavelin::text::intText(cfgID, 6));
    if (cfgID == 0) text += QStringLiteral(" (Standard ver. ") + qs(kavelin::text::intText(stdCfgID)) + ")";
    return text;
}

TFormAbout::TFormAbout(int32_t cfgID, int32_t stdCfgID, std::function<void(const QString&)> showHelp,
                       QWidget* parent)
    : QDialog(parent) {
    setName(this, "TFormAbout");
    setWindowTitle(QStringLiteral("Om Kavelin Lånemodell"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);

    auto* title = new QLabel(QStringLiteral("Mirvo ") + qs(main::programVersion()), this);
    setName(title, "laProgram");
    QFont f = title->font();
    f.setPointSizeF(f.pointSizeF() * 1.6);
    f.setBold(true);
    title->setFont(f);
    layout->addWidget(title);

    auto addLine = [&](const char* name, const QString& text) {
        auto* l = new QLabel(text, this);
        setName(l, name);
        l->setTextInteractionFlags(Qt::TextBrowserInteraction);
        layout->addWidget(l);
        return l;
    };
    addLine("laFilversjon", QStringLiteral("Filversjon ") + qs(main::fileVersion()));
    addLine("laKonfigurasjon", QStringLiteral("Konfigurasjons-ID: ") + configIdText(cfgID, stdCfgID));
    addLine("laBibliotek", QStringLiteral("Mirvo32.dll - versjon ") + qs(dll::libraryVersionText()));
    layout->addSpacing(10);
    QString mail = qs(main::kKavelinEpost), url = qs(main::kKavelinURL);
    QLabel* links = addLine("laKavelin", QStringLiteral("Kavelin AS<br><a href=\"mailto:%1\">%1</a><br><a href=\"%2\">%2</a>")
                                             .arg(mail, url));
    links->setOpenExternalLinks(true);
    layout->addSpacing(10);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* mer = buttons->addButton(QStringLiteral("Mer om Mirvo"), QDialogButtonBox::HelpRole);
    setName(mer, "btnMerOmMirvo");
    mer->setEnabled(bool(showHelp));
    connect(mer, &QPushButton::clicked, this, [showHelp] {
        if (showHelp) showHelp(QStringLiteral("hlpOmMirvo"));
    });
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    setName(ok, "btnOK");
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

}  // namespace mirvo::dlg

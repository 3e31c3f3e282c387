#include "app/main/form_main.h"

#include "app/main/main_mng.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

#include "app/dlg/about_dlg.h"
#include "app/dlg/form_kalkulator.h"
#include "app/dlg/widget_names.h"
#include "app/frame/frame_reports.h"
#include "app/frame/kavelin_edit.h"
#include "app/ui/config/produkt_liste.h"
#include "app/ui/fmt/numtext.h"
#include "common/utils/app_mng.h"
#include "common/utils/dates.h"

namespace mirvo::main {
namespace {

using kavelin::utils::TAppMode;
using mirvo::dlg::setName;

QString qs(const std::u16string& s) { return QString::fromStdU16String(s); }

// The loan list's entries as the main manager sees them: one line per loan
// with its product, amount and rates, and the message column beside it.
class TLaanListe : public TLoanListView {
public:
    TLaanListe(QWidget* listPanel, QWidget* msgPanel) : FMsgPanel(msgPanel) {
        auto* l = new QVBoxLayout(listPanel);
        l->setContentsMargins(0, 0, 0, 0);
        FList = new QListWidget(listPanel);
        setName(FList, "lbLaanListe");
        FList->setFrameShape(QFrame::NoFrame);
        l->addWidget(FList);
        auto* m = new QVBoxLayout(msgPanel);
        m->setContentsMargins(2, 0, 2, 0);
        FMsgs = new QListWidget(msgPanel);
        setName(FMsgs, "lbLaanListeMsg");
        FMsgs->setFrameShape(QFrame::NoFrame);
        m->addWidget(FMsgs);
        msgPanel->hide();
    }
    int count() const override { return FList->count(); }
    int selectedIndex() const override { return FList->currentRow(); }
    void setShortInfo(int index, const TShortInfo& info) override {
        if (QListWidgetItem* item = FList->item(index)) item->setText(entryText(index, info));
    }
    void setErrorMsg(int index, const std::u16string& message) override {
        while (FMsgs->count() < FList->count()) FMsgs->addItem(QString());
        if (QListWidgetItem* item = FMsgs->item(index)) item->setText(QStringLiteral("  ") + qs(message.empty() ? u"OK" : message));
        bool anyError = false;
        for (int i = 0; i < FMsgs->count(); ++i) {
            QString t = FMsgs->item(i)->text().trimmed();
            anyError |= !t.isEmpty() && t != "OK";
        }
        FMsgPanel->setVisible(anyError);
    }
    void setMultiCalculationEnabled(bool) override {}

    static QString entryText(int index, const TShortInfo& info) {
        QString rates;
        for (double r : {info.rente1, info.rente2, info.rente3})
            if (r != 0) rates += (rates.isEmpty() ? "" : "/") + qs(kavelin::fmt::writeNumberTrimmed(r, 3, false));
        rates = (rates.isEmpty() ? QStringLiteral("0") : rates) + "%";
        return QStringLiteral("%1 :  %2   %3,-   %4")
            .arg(index + 1)
            .arg(qs(info.beskrivelse), qs(kavelin::fmt::writeNumber(info.beløp, 0, true)), rates);
    }

private:
    QWidget* FMsgPanel;
    QListWidget* FList;
    QListWidget* FMsgs;
};

// The product actions as the product configuration fills them.
class TMenuAction : public oppsett::TCfgMenuAction {
public:
    explicit TMenuAction(QAction* a) : FAction(a) {}
    void setCaption(std::u16string_view caption) override { FAction->setText(qs(std::u16string(caption))); }
    void setTag(int tag) override { FAction->setData(tag); }
    void setVisible(bool visible) override { FAction->setVisible(visible); }

private:
    QAction* FAction;
};

class TMenuWindow : public oppsett::TCfgMenuWindow {
public:
    explicit TMenuWindow(const TformMain& w) : FWindow(w) {}
    oppsett::TCfgMenuAction* findAction(std::u16string_view name) override {
        QAction* a = FWindow.action(qs(std::u16string(name)));
        if (!a) return nullptr;
        FActions.push_back(std::make_unique<TMenuAction>(a));
        return FActions.back().get();
    }

private:
    const TformMain& FWindow;
    std::vector<std::unique_ptr<TMenuAction>> FActions;
};

TformMain::THelpHandler& helpHandlerRef() {
    static TformMain::THelpHandler h;
    return h;
}

}  // namespace

QString mainCaption(const std::u16string& version, const TCommandLine& cl, const std::u16string& caseFile,
                    bool caseFileExists) {
    QString caption = QStringLiteral(" M i r v o   ") + qs(version);
    if (!cl.importOutputFile.empty())
        caption += QStringLiteral("  -  Import/Eksport referanse ID: ") + qs(cl.importRefID);
    else if (caseFileExists)
        caption += QStringLiteral("  -  ") + qs(caseFile);
    return caption;
}

void TformMain::setHelpHandler(THelpHandler handler) { helpHandlerRef() = std::move(handler); }
const TformMain::THelpHandler& TformMain::helpHandler() { return helpHandlerRef(); }

TformMain::TformMain(TFormMainSetup setup, QWidget* parent) : QMainWindow(parent), FSetup(std::move(setup)) {
    setName(this, "TformMain");
    // 1. Views undefined while the window is made.
    FPreviousViewState = FVisningsmodus = TShowMode::smUndefined;
    FCreating = true;
    // 2. The program path and the case files' association.
    if (FSetup.registerShell) {
        auto& mng = kavelin::utils::appMng();
        mng.registerAppPath();
        mng.registerFileAssociation(u"mvs", u"Mirvo saksdata");
    }
    buildActions();
    buildMenus();
    buildToolbars();
    buildPanels();
    // 3. The calculator button follows the focused control.
    connect(qApp, &QApplication::focusChanged, this, [this] { updateKalkulatorButton(); });
    kavelin::calculator::installKalkulator();
    // 4. Two-digit years below 50 are 20xx.
    kavelin::utils::setTwoDigitYearPivot(50);
    // 5. Caption.
    updateCaption();
    // 6. Menus by application state.
    applyAppState();
    // 7. Products, loan list, main manager.
    setUpdatesEnabled(false);
    try {
        fillProductActions();
    } catch (...) {
        setUpdatesEnabled(true);
        throw;
    }
    FMainMng = std::make_unique<TMainMng>(*FLånList, *FFrameReports);
    FMainMng->setMultiColumn(FSetup.multiColumnKeyFigures);
    setUpdatesEnabled(true);
    // 8. The standard view.
    setView(TShowMode::smStd);
    updateKalkulatorButton();
    FCreating = false;
}

TformMain::~TformMain() {
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
    kavelin::fmt::installCalculator(nullptr);
}

QAction* TformMain::action(const QString& name) const { return findChild<QAction*>(name); }

QMenu* TformMain::menu(const QString& name) const { return findChild<QMenu*>(name); }

QWidget* TformMain::pnReg() const { return FPnReg; }
QWidget* TformMain::pnInput() const { return FPnInput; }

QAction* TformMain::addAction(const char* name, const QString& caption, const QString& hint,
                              const QKeySequence& shortcut) {
    auto* a = new QAction(caption, this);
    a->setObjectName(QString::fromUtf8(name));
    QString plain = caption;
    plain.remove('&');
    a->setIconText(plain);
    if (!hint.isEmpty()) {
        a->setToolTip(hint);
        a->setStatusTip(hint);
    }
    if (!shortcut.isEmpty()) a->setShortcut(shortcut);
    return a;
}

void TformMain::buildActions() {
    QStyle* st = style();
    auto icon = [st](QStyle::StandardPixmap p) { return st->standardIcon(p); };
    addAction("actionSakLeggTil", QStringLiteral("L&egg til lån i saken"), {}, QKeySequence(Qt::CTRL | Qt::Key_L));
    addAction("actionSakNy", QStringLiteral("&Ny sak"), QStringLiteral("Ny sak  (Ctrl+N)"), QKeySequence(Qt::CTRL | Qt::Key_N))
        ->setIcon(icon(QStyle::SP_FileIcon));
    addAction("actionSakHent", QStringLiteral("&Hent sak"), QStringLiteral("Åpne sak fra fil  (Ctrl+O)"),
              QKeySequence(Qt::CTRL | Qt::Key_O))
        ->setIcon(icon(QStyle::SP_DialogOpenButton));
    addAction("actionSakLagre", QStringLiteral("&Lagre sak"), QStringLiteral("Lagre sak til fil  (Ctrl+S)"),
              QKeySequence(Qt::CTRL | Qt::Key_S))
        ->setIcon(icon(QStyle::SP_DialogSaveButton));
    addAction("actionSakLagreSom", QStringLiteral("Lagre sak som"));
    addAction("actionRapportPrint", QStringLiteral("&Utskrift"), {}, QKeySequence(Qt::CTRL | Qt::Key_P))
        ->setIcon(icon(QStyle::SP_FileDialogDetailedView));
    addAction("actionRapportPDF", QStringLiteral("Generer &PDF"), QStringLiteral("Generer PDF  (Ctrl+D)"),
              QKeySequence(Qt::CTRL | Qt::Key_D))
        ->setIcon(icon(QStyle::SP_FileDialogContentsView));
    addAction("actionRapportEpost", QStringLiteral("Generer PDF-vedlegg til &epost"),
              QStringLiteral("Generer PDF-vedlegg til epost  (Ctrl+E)"), QKeySequence(Qt::CTRL | Qt::Key_E))
        ->setIcon(icon(QStyle::SP_DriveNetIcon));
    QAction* eksp = addAction("actionRapportEksporter", QStringLiteral("E&ksporter forløp"),
                              QStringLiteral("Eksporter forløp til fil"));
    eksp->setIcon(icon(QStyle::SP_ArrowRight));
    for (auto [name, caption, hint, pix] :
         {std::tuple{"actionVisningMini", "&Mini (760 x 550)", "Aktiver minste skjermoppsett", QStyle::SP_TitleBarMinButton},
          std::tuple{"actionVisningStd", "Standard (980 x 700)", "Aktiver standard skjermoppsett", QStyle::SP_TitleBarNormalButton},
          std::tuple{"actionVisningMaxi", "&Zoom - Hele skjermen", "Aktiver maksimert skjermbilde med stor tekst",
                     QStyle::SP_TitleBarMaxButton}}) {
        QAction* a = addAction(name, QString::fromUtf8(caption), QString::fromUtf8(hint));
        a->setCheckable(true);
        a->setIcon(icon(pix));
    }
    action("actionVisningMini")->setIconText(QStringLiteral("Mini"));
    action("actionVisningStd")->setIconText(QStringLiteral("Standard"));
    action("actionVisningMaxi")->setIconText(QStringLiteral("Zoom"));
    for (int n = 1; n <= int(oppsett::TProduktOppsettListe::kMaxMenuProducts); ++n)
        addAction(("actionOppsettProdukt" + std::to_string(n)).c_str(), QString())->setVisible(false);
    addAction("actionOppsettAppCfg", QStringLiteral("Egen konfigurasjon"));
    addAction("actionOppsettTilpassProdukter", QStringLiteral("Tilpass &produkter"));
    addAction("actionOppsettTilpassHjelp", QStringLiteral("Tilpass &hjelpetekster"));
    addAction("actionOppsettBackup", QStringLiteral("Registrer på Kavelin server (Backup)"));
    addAction("actionOppsettRestore", QStringLiteral("Hent fra Kavelin-server"));
    addAction("actionOppsettReset", QStringLiteral("Gjenopprett standard konfigurasjon"));
    addAction("actionOppsettOppdater", QStringLiteral("&Oppdatering til siste versjon"));
    addAction("actionHjelpF1", QStringLiteral("Mirvo &Hjelp"), QStringLiteral("Hjelp (F1)"))
        ->setIcon(icon(QStyle::SP_DialogHelpButton));
    addAction("actionHjelpAppDok", QStringLiteral("&Innhold og stikkordsregister"),
              QStringLiteral("Innhold og stikkordsregister  (Ctrl+F1)"), QKeySequence(Qt::CTRL | Qt::Key_F1))
        ->setIcon(icon(QStyle::SP_FileDialogInfoView));
    action("actionHjelpAppDok")->setIconText(QStringLiteral("Innhold"));
    addAction("actionHjelpSupport", QStringLiteral("&Brukerstøtte - Epost til Kavelin"),
              QStringLiteral("Brukerstøtte - Epost til Kavelin"))
        ->setIcon(icon(QStyle::SP_MessageBoxQuestion));
    action("actionHjelpSupport")->setIconText(QStringLiteral("Brukerstøtte"));
    action("actionRapportPDF")->setIconText(QStringLiteral("PDF"));
    action("actionRapportEpost")->setIconText(QStringLiteral("Epost"));
    action("actionRapportEksporter")->setIconText(QStringLiteral("Eksporter"));
    action("actionHjelpF1")->setIconText(QStringLiteral("Hjelp"));
    addAction("actionHjelpAppInfo", QStringLiteral("&Om Mirvo"));
    addAction("actionHjelpKavelinProdukt", QStringLiteral("&Andre Kavelin-produkt"));
    addAction("actionHjelpKavelinURL", qs(kKavelinURL));
    QAction* kalk = addAction("actionKalkulator", QStringLiteral("Kalkulator"), QStringLiteral("Kalkulator"));
    kalk->setIcon(icon(QStyle::SP_ComputerIcon));

    // Commands whose units are not in the program yet: the case model, the
    // print manager, the help window, the configuration dialogs and server,
    // the update manager.
    FUnwired = {"actionSakLeggTil", "actionSakNy", "actionSakHent", "actionSakLagre", "actionSakLagreSom",
                "actionRapportPrint", "actionRapportPDF", "actionRapportEpost", "actionRapportEksporter",
                "actionOppsettTilpassProdukter", "actionOppsettTilpassHjelp", "actionOppsettBackup",
                "actionOppsettRestore", "actionOppsettReset", "actionOppsettOppdater", "actionHjelpAppDok",
                "actionHjelpSupport", "actionHjelpKavelinProdukt"};
    for (int n = 1; n <= int(oppsett::TProduktOppsettListe::kMaxMenuProducts); ++n)
        FUnwired.insert(QStringLiteral("actionOppsettProdukt%1").arg(n));
    for (const QString& name : FUnwired) action(name)->setEnabled(false);

    connect(action("actionVisningMini"), &QAction::triggered, this, [this] { setView(TShowMode::smMini); });
    connect(action("actionVisningStd"), &QAction::triggered, this, [this] { setView(TShowMode::smStd); });
    connect(action("actionVisningMaxi"), &QAction::triggered, this, [this] { setView(TShowMode::smMaxi); });
    connect(action("actionHjelpF1"), &QAction::triggered, this, &TformMain::helpF1);
    connect(action("actionHjelpAppInfo"), &QAction::triggered, this, &TformMain::showAbout);
    connect(action("actionHjelpKavelinURL"), &QAction::triggered, this,
            [] { QDesktopServices::openUrl(QUrl(qs(kKavelinURL))); });
    connect(kalk, &QAction::triggered, this, &TformMain::kalkulator);
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, &TformMain::helpF1);
}

void TformMain::buildMenus() {
    QMenuBar* bar = menuBar();
    auto addMenu = [&](const char* name, const char* caption) {
        QMenu* m = bar->addMenu(QString::fromUtf8(caption));
        m->setObjectName(QString::fromUtf8(name));
        return m;
    };
    QMenu* sak = addMenu("menuSak", "&Sak");
    sak->addAction(action("actionSakLeggTil"));
    sak->addSeparator();
    for (const char* n : {"actionSakNy", "actionSakHent", "actionSakLagre", "actionSakLagreSom"}) sak->addAction(action(n));
    QMenu* rapport = addMenu("menuRapport", "&Rapport");
    for (const char* n : {"actionRapportPrint", "actionRapportPDF", "actionRapportEpost", "actionRapportEksporter"})
        rapport->addAction(action(n));
    QMenu* visning = addMenu("menuVisning", "&Visning");
    for (const char* n : {"actionVisningMini", "actionVisningStd", "actionVisningMaxi"}) visning->addAction(action(n));
    QMenu* oppsett = addMenu("menuOppsett", "&Oppsett");
    for (int n = 1; n <= int(oppsett::TProduktOppsettListe::kMaxMenuProducts); ++n)
        oppsett->addAction(action(QStringLiteral("actionOppsettProdukt%1").arg(n)));
    oppsett->addSeparator();
    FMenuAppCfg = new QMenu(action("actionOppsettAppCfg")->text(), oppsett);
    FMenuAppCfg->setObjectName(QStringLiteral("menuAppCfg"));
    QAction* appCfg = action("actionOppsettAppCfg");
    appCfg->setMenu(FMenuAppCfg);
    oppsett->addAction(appCfg);
    FMenuAppCfg->addAction(action("actionOppsettTilpassProdukter"));
    FMenuAppCfg->addAction(action("actionOppsettTilpassHjelp"));
    FMenuAppCfg->addSeparator();
    FMenuAppCfg->addAction(action("actionOppsettBackup"));
    FMenuAppCfg->addAction(action("actionOppsettRestore"));
    FMenuAppCfg->addSeparator();
    FMenuAppCfg->addAction(action("actionOppsettReset"));
    oppsett->addSeparator();
    oppsett->addAction(action("actionOppsettOppdater"));
    QMenu* hjelp = addMenu("menuHjelp", "&Hjelp");
    for (const char* n : {"actionHjelpF1", "actionHjelpAppDok", "actionHjelpSupport"}) hjelp->addAction(action(n));
    hjelp->addSeparator();
    for (const char* n : {"actionHjelpAppInfo", "actionHjelpKavelinProdukt", "actionHjelpKavelinURL"})
        hjelp->addAction(action(n));
}

void TformMain::buildToolbars() {
    FToolBarLeft = addToolBar(QStringLiteral("Verktøylinje"));
    setName(FToolBarLeft, "tbMain");
    FToolBarLeft->setMovable(false);
    FToolBarLeft->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    FToolBarLeft->setIconSize(QSize(22, 22));
    auto add = [&](QToolBar* tb, const char* name, const char* buttonName) {
        tb->addAction(action(QString::fromUtf8(name)));
        if (QWidget* w = tb->widgetForAction(action(QString::fromUtf8(name)))) setName(w, buttonName);
    };
    add(FToolBarLeft, "actionSakNy", "btnSakNy");
    add(FToolBarLeft, "actionSakHent", "btnSakHent");
    add(FToolBarLeft, "actionSakLagre", "btnSakLagre");
    FToolBarLeft->addSeparator();
    add(FToolBarLeft, "actionRapportPrint", "btnRapportPrint");
    add(FToolBarLeft, "actionRapportPDF", "btnRapportPDF");
    add(FToolBarLeft, "actionRapportEpost", "btnRapportEpost");
    add(FToolBarLeft, "actionRapportEksporter", "btnRapportEksporter");
    FToolBarLeft->addSeparator();
    add(FToolBarLeft, "actionVisningMini", "btnVisningMini");
    add(FToolBarLeft, "actionVisningStd", "btnVisningStd");
    add(FToolBarLeft, "actionVisningMaxi", "btnVisningMaxi");
    FToolBarLeft->addSeparator();
    add(FToolBarLeft, "actionKalkulator", "btnKalkulator");

    auto* spacer = new QWidget(FToolBarLeft);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    FToolBarLeft->addWidget(spacer);
    FPnUpdate = new QLabel(FToolBarLeft);
    setName(FPnUpdate, "pnUpdate");
    FPnUpdate->setStyleSheet(QStringLiteral("QLabel { color: #8B0000; font-weight: bold; padding: 0 8px; }"));
    FToolBarLeft->addWidget(FPnUpdate)->setVisible(false);
    // The right-hand group: help, contents, support.
    add(FToolBarLeft, "actionHjelpF1", "btnHjelpF1");
    add(FToolBarLeft, "actionHjelpAppDok", "btnHjelpAppDok");
    add(FToolBarLeft, "actionHjelpSupport", "btnHjelpSupport");
    FToolBarRight = FToolBarLeft;
}

void TformMain::buildPanels() {
    auto* central = new QWidget(this);
    setName(central, "pnMain");
    auto* h = new QHBoxLayout(central);
    h->setContentsMargins(4, 4, 4, 4);
    h->setSpacing(4);

    auto* left = new QFrame(central);
    setName(left, "pnMainLeft");
    left->setFixedWidth(412);
    auto* lv = new QVBoxLayout(left);
    lv->setContentsMargins(0, 0, 0, 0);
    lv->setSpacing(4);
    auto* pnLaanList = new QFrame(left);
    setName(pnLaanList, "pnLaanList");
    pnLaanList->setFrameShape(QFrame::StyledPanel);
    pnLaanList->setFixedHeight(110);
    pnLaanList->setAutoFillBackground(true);
    QPalette lp = pnLaanList->palette();
    lp.setColor(QPalette::Base, QColor(0xFF, 0xFB, 0xF0));  // $F0FBFF
    lp.setColor(QPalette::Window, QColor(0xFF, 0xFB, 0xF0));
    pnLaanList->setPalette(lp);
    FPnInput = new QScrollArea(left);
    setName(FPnInput, "pnInput");
    FPnInput->setWidgetResizable(true);
    FPnInput->setFrameShape(QFrame::StyledPanel);
    lv->addWidget(pnLaanList);
    lv->addWidget(FPnInput, 1);

    auto* right = new QFrame(central);
    setName(right, "pnMainRight");
    auto* rh = new QHBoxLayout(right);
    rh->setContentsMargins(0, 0, 0, 0);
    rh->setSpacing(4);
    auto* pnLaanListError = new QFrame(right);
    setName(pnLaanListError, "pnLaanListError");
    pnLaanListError->setFixedWidth(160);
    auto* pnReports = new QFrame(right);
    setName(pnReports, "pnReports");
    auto* rv = new QVBoxLayout(pnReports);
    rv->setContentsMargins(0, 0, 0, 0);
    FFrameReports = new frame::TFrameReports(pnReports);
    rv->addWidget(FFrameReports, 1);

    FPnReg = new QFrame(pnReports);
    setName(FPnReg, "pnReg");
    FPnReg->setAutoFillBackground(true);
    QPalette yp = FPnReg->palette();
    yp.setColor(QPalette::Window, QColor(0xFF, 0xFF, 0xC0));
    FPnReg->setPalette(yp);
    FPnReg->setFrameShape(QFrame::StyledPanel);
    auto* regl = new QHBoxLayout(FPnReg);
    auto* regText = new QLabel(QStringLiteral(
        "Produktkonfigurasjonen er blitt endret, men er enda ikke blitt registrert.\n"
        "Med registrering har man backup av oppsettet som kan hentes tilbake,\n"
        "også fra annen PC. Samtidig garanterer Kavelin at det registrerte\n"
        "oppsettet holdes oppdatert dersom det i fremtidig versjon av Mirvo\n"
        "er gjort endringer som krever vedlikehold av oppsettet."), FPnReg);
    setName(regText, "laReg");
    regl->addWidget(regText, 1);
    auto* regButtons = new QVBoxLayout;
    auto* btnRegistrer = new QPushButton(QStringLiteral("  Registrer"), FPnReg);
    setName(btnRegistrer, "btnRegistrer");
    // Registering on the server belongs to the configuration backup, which
    // the program does not have yet.
    btnRegistrer->setEnabled(false);
    auto* btnIkkeNaa = new QPushButton(QStringLiteral("   Ikke nå    "), FPnReg);
    setName(btnIkkeNaa, "btnIkkeNaa");
    connect(btnIkkeNaa, &QPushButton::clicked, FPnReg, &QWidget::hide);
    regButtons->addWidget(btnRegistrer);
    regButtons->addWidget(btnIkkeNaa);
    regButtons->addStretch();
    regl->addLayout(regButtons);
    FPnReg->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    rv->addWidget(FPnReg);

    rh->addWidget(pnLaanListError);
    rh->addWidget(pnReports, 1);
    h->addWidget(left);
    h->addWidget(right, 1);
    setCentralWidget(central);
    FLånList = std::make_unique<TLaanListe>(pnLaanList, pnLaanListError);
}

void TformMain::setActionEnabled(const char* name, bool rule) {
    QAction* a = action(QString::fromUtf8(name));
    a->setEnabled(rule && !FUnwired.contains(a->objectName()));
}

void TformMain::applyAppState() {
    const TAppMode mode = FSetup.appMode;
    FPnReg->setVisible(!FSetup.cfgSaved && mode != TAppMode::Developer);
    setActionEnabled("actionOppsettBackup", !FSetup.cfgSaved);
    menu(QStringLiteral("menuOppsett"))->menuAction()->setEnabled(mode != TAppMode::Restricted);
    if (mode == TAppMode::Developer)
        action("actionOppsettAppCfg")->setText(QStringLiteral("Rediger standard konfigurasjon (utviklingsversjon)"));
    setActionEnabled("actionOppsettOppdater", mode != TAppMode::Restricted);
    setActionEnabled("actionOppsettReset", FSetup.cfgID != 0 || !FSetup.cfgSaved);
}

void TformMain::fillProductActions() {
    if (!oppsett::hasProduktOppsett()) return;
    TMenuWindow window(*this);
    oppsett::produktOppsett().initCfgMenu(window);
}

void TformMain::refreshAfterCfgChange() {
    setUpdatesEnabled(false);
    struct Resume {
        TformMain* w;
        ~Resume() { w->setUpdatesEnabled(true); }
    } resume{this};
    fillProductActions();
    FMainMng->oppdaterBeregning();
    FMainMng->oppdaterLåneListe();
    FPnReg->setVisible(!FSetup.cfgSaved && FSetup.appMode < TAppMode::Developer);
    setActionEnabled("actionOppsettBackup", !FSetup.cfgSaved);
}

void TformMain::updateCaption() {
    setWindowTitle(mainCaption(programVersion(), FSetup.commandLine, u"", false));
}

void TformMain::setView(TShowMode mode) {
    if (mode == FVisningsmodus || mode == TShowMode::smUndefined) {
        // Keeps the check marks right when a checkable action was clicked again.
        if (mode == FVisningsmodus && mode != TShowMode::smUndefined) {
            action("actionVisningMini")->setChecked(mode == TShowMode::smMini);
            action("actionVisningStd")->setChecked(mode == TShowMode::smStd);
            action("actionVisningMaxi")->setChecked(mode == TShowMode::smMaxi);
        }
        return;
    }
    FInResize = true;
    FPreviousViewState = FVisningsmodus;
    FVisningsmodus = mode;
    if (mode == TShowMode::smMaxi) {
        showMaximized();
        setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
        if (FPreviousViewState == TShowMode::smUndefined || FPreviousViewState == TShowMode::smMini ||
            mode == TShowMode::smMini) {
            FPendingOuterSize = mode == TShowMode::smMini ? kMiniSize : kStdSize;
            applyOuterSize();
        }
    }
    FMainMng->SetVisningsModus(mode == TShowMode::smMini ? TVisningsmodus::vmMini : TVisningsmodus::vmStd);
    action("actionOppsettAppCfg")->setEnabled(mode != TShowMode::smMaxi);
    action("actionVisningMini")->setChecked(mode == TShowMode::smMini);
    action("actionVisningStd")->setChecked(mode == TShowMode::smStd);
    action("actionVisningMaxi")->setChecked(mode == TShowMode::smMaxi);
    FInResize = false;
}

void TformMain::applyOuterSize() {
    if (FPendingOuterSize.isEmpty()) return;
    QSize outer = FPendingOuterSize;
    QSize frameExtra = frameGeometry().size() - geometry().size();
    if (QScreen* s = screen()) outer = outer.boundedTo(s->availableGeometry().size());
    resize(outer - frameExtra);
    // The frame is known only once the window is shown: applied again then.
    if (isVisible()) FPendingOuterSize = QSize();
}

void TformMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!isMaximized()) applyOuterSize();
}

void TformMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) updateKalkulatorButton();
    if (event->type() != QEvent::WindowStateChange || FInResize || FCreating) return;
    // The title bar's maximise and restore buttons switch views.
    if (isMaximized() && FVisningsmodus != TShowMode::smMaxi) setView(TShowMode::smMaxi);
    else if (!isMaximized() && FVisningsmodus == TShowMode::smMaxi)
        setView(FPreviousViewState == TShowMode::smMini ? TShowMode::smMini : TShowMode::smStd);
}

void TformMain::closeEvent(QCloseEvent* event) { event->accept(); }

void TformMain::updateKalkulatorButton() {
    auto* edit = qobject_cast<kavelin::fmt::TCustomKavelinEdit*>(QApplication::focusWidget());
    bool numeric = edit && edit->isNumber() && edit->window() == this;
    action("actionKalkulator")->setEnabled(isActiveWindow() && numeric);
}

void TformMain::kalkulator() {
    if (auto* edit = qobject_cast<kavelin::fmt::TCustomKavelinEdit*>(QApplication::focusWidget());
        edit && edit->isNumber()) {
        edit->openCalculator(u"");
        return;
    }
    double value = 0;
    kavelin::calculator::KalkulatorDlg(value, u"", this);
}

void TformMain::helpF1() {
    QWidget* focus = QApplication::focusWidget();
    for (QWidget* w = focus; w; w = w->parentWidget()) {
        QString keyword = w->property("helpKeyword").toString();
        if (!keyword.isEmpty() && helpHandler()) {
            helpHandler()(keyword);
            return;
        }
    }
    // No help topic: the key goes on to the focused control.
    if (focus) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        QCoreApplication::sendEvent(focus, &press);
    }
}

void TformMain::showAbout() {
    std::function<void(const QString&)> help;
    if (helpHandler()) help = helpHandler();
    dlg::TFormAbout about(FSetup.cfgID, FSetup.stdCfgID, help, this);
    about.exec();
}

}  // namespace mirvo::main

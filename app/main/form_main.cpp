#include "app/main/form_main.h"

#include "app/main/main_mng.h"

#include "app/main/case_source.h"

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

#include <utility>

#include "app/dlg/about_dlg.h"
#include "app/dlg/file_dlg.h"
#include "app/dlg/form_kalkulator.h"
#include "app/dlg/form_std_verdi.h"
#include "app/dlg/msgbox.h"
#include "app/dlg/widget_names.h"
#include "app/frame/frame_reports.h"
#include "app/frame/input/frame_input.h"
#include "app/frame/kavelin_edit.h"
#include "app/frame/laan_list.h"
#include "app/mng/data_mng.h"
#include "app/ui/config/produkt_liste.h"
#include "app/ui/fmt/numtext.h"
#include "common/utils/app_mng.h"
#include "common/utils/dates.h"
#include "common/utils/error.h"
#include "app/ui/qt_text.h"

#include <filesystem>

namespace mirvo::main {
namespace {

using kavelin::utils::TAppMode;
using mirvo::dlg::setName;
using oppsett::TProduktGruppe;

using kavelin::text::qs;

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
    FMainMng->setErrorHandler([this](const std::u16string& text) {
        dlg::showError(this, QStringLiteral("Mirvo"), qs(text));
    });
    wireCase();
    if (!FSetup.commandLine.startFile.empty()) {
        openCase(qs(FSetup.commandLine.startFile));
        if (FLånList->count() > 0 && FSetup.commandLine.importMode) {
            for (const char* n : {"actionSakNy", "actionSakHent", "actionSakLagreSom"}) action(n)->setEnabled(false);
        }
    }
    if (FLånList->count() == 0) newCase();
    setUpdatesEnabled(true);
    // 8. The standard view.
    setView(TShowMode::smStd);
    updateKalkulatorButton();
    FCreating = false;
}

TformMain::~TformMain() {
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
    if (FSetup.data) {
        releaseInput();
        auto& c = sak();
        c.FOnEditChange = nullptr;
        c.FOnFileLoaded = nullptr;
        c.FOnFilenameChange = nullptr;
        c.FOnCanLoadSection = nullptr;
    }
    FFrameInput.reset();
    FLånList.reset();
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
    FUnwired = {"actionRapportPrint", "actionRapportPDF", "actionRapportEpost", "actionRapportEksporter",
                "actionOppsettTilpassProdukter", "actionOppsettTilpassHjelp", "actionOppsettBackup",
                "actionOppsettRestore", "actionOppsettReset", "actionOppsettOppdater", "actionHjelpAppDok",
                "actionHjelpSupport", "actionHjelpKavelinProdukt"};
    for (const QString& name : FUnwired) action(name)->setEnabled(false);

    connect(action("actionVisningMini"), &QAction::triggered, this, [this] { setView(TShowMode::smMini); });
    connect(action("actionVisningStd"), &QAction::triggered, this, [this] { setView(TShowMode::smStd); });
    connect(action("actionVisningMaxi"), &QAction::triggered, this, [this] { setView(TShowMode::smMaxi); });
    connect(action("actionHjelpF1"), &QAction::triggered, this, &TformMain::helpF1);
    connect(action("actionHjelpAppInfo"), &QAction::triggered, this, &TformMain::showAbout);
    connect(action("actionHjelpKavelinURL"), &QAction::triggered, this,
            [] { QDesktopServices::openUrl(QUrl(qs(kKavelinURL))); });
    connect(kalk, &QAction::triggered, this, &TformMain::kalkulator);
    connect(action("actionSakNy"), &QAction::triggered, this, &TformMain::cmdNy);
    connect(action("actionSakHent"), &QAction::triggered, this, &TformMain::cmdHent);
    connect(action("actionSakLagre"), &QAction::triggered, this, [this] { cmdLagre(); });
    connect(action("actionSakLagreSom"), &QAction::triggered, this, [this] { cmdLagreSom(); });
    connect(action("actionSakLeggTil"), &QAction::triggered, this, &TformMain::cmdLeggTil);
    for (int n = 1; n <= int(oppsett::TProduktOppsettListe::kMaxMenuProducts); ++n) {
        QAction* a = action(QStringLiteral("actionOppsettProdukt%1").arg(n));
        connect(a, &QAction::triggered, this, [this, a] { editDefaults(a->data().toInt()); });
    }
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
    pnLaanListError->setFixedWidth(200);
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
    FLånList = std::make_unique<frame::TLånListCtrlMng>(this, pnLaanList, pnLaanListError);
    FLånList->setImportMode(FSetup.commandLine.importMode);
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
    FAutoFocusDirty = true;
    guarded(QStringLiteral("Mirvo"), [&] {
        fillProductActions();
        releaseInput();
        sak().refreshConfigAndDefaults();
    });
    selectLoan(FLånList->selectedIndex());
    guarded(QStringLiteral("Mirvo"), [&] { FMainMng->oppdaterLåneListe(); });
    FPnReg->setVisible(!FSetup.cfgSaved && FSetup.appMode < TAppMode::Developer);
    setActionEnabled("actionOppsettBackup", !FSetup.cfgSaved);
}

void TformMain::updateCaption() {
    std::u16string file;
    bool exists = false;
    if (FSetup.data) {
        file = sak().filename().u16string();
        std::error_code ec;
        exists = !file.empty() && std::filesystem::is_regular_file(sak().filename(), ec);
    }
    setWindowTitle(mainCaption(programVersion(), FSetup.commandLine, file, exists));
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

void TformMain::closeEvent(QCloseEvent* event) {
    if (!FSetup.data) return event->accept();
    if (FSetup.commandLine.importMode && !FSetup.commandLine.importOutputFile.empty()) {
        // The hand-over: the case goes back to the calling program without a question.
        try {
            sak().dump(std::filesystem::path(FSetup.commandLine.importOutputFile));
        } catch (const kavelin::utils::EKavelin& e) {
            dlg::showError(this, QStringLiteral("Mirvo"), qs(e.message()));
        }
        return event->accept();
    }
    if (askSaveChanges()) event->accept();
    else event->ignore();
}

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

// ---- the case ----------------------------------------------------------------------

template <class F>
void TformMain::guarded(const QString& caption, F&& step) {
    try {
        step();
    } catch (const kavelin::utils::EKavelin& e) {
        dlg::showError(this, caption, qs(e.message()));
    } catch (const std::exception& e) {
        dlg::showError(this, caption, QString::fromUtf8(e.what()));
    }
}

mng::TPortfolioData& TformMain::sak() { return FSetup.data->current(); }

void TformMain::wireCase() {
    if (!FSetup.data) throw kavelin::utils::EKavelin(u"Mirvo: ingen saksdata");
    mng::TPortfolioData& c = sak();
    FCaseSource = std::make_unique<TPortfolioCaseSource>(c);
    FMainMng->setCase(FCaseSource.get());

    // The loan list.
    FLånList->FOnGetProductList = [this](std::vector<std::u16string>& lines) {
        if (!oppsett::hasProduktOppsett()) return;
        oppsett::produktOppsett().getProduktListe(
            lines, FSetup.commandLine.importMode ? TProduktGruppe::pgNedbetlån : TProduktGruppe::pgNone);
    };
    FLånList->FOnAddItem = [this](frame::TLånItemCtrlLink&) {
        FAutoFocusDirty = true;
        if (FLoading) return;
        guarded(QStringLiteral("Mirvo"), [&] {
            sak().add(0);
            FMainMng->oppdaterLåneListe();
        });
    };
    FLånList->FOnItemChanged = [this](int32_t produktID, frame::TLånItemCtrlLink& entry) {
        const int index = entry.Indeks();
        guarded(QStringLiteral("Mirvo"), [&] {
            releaseInput();
            sak().getItem(size_t(index)).setProductID(produktID);
            FStructureChanged = true;
        });
        selectLoan(index);
        guarded(QStringLiteral("Mirvo"), [&] { FMainMng->oppdaterLåneListe(); });
    };
    FLånList->FOnFocusItem = [this](frame::TLånItemCtrlLink& entry) {
        if (!FLoading) selectLoan(entry.Indeks());
    };
    FLånList->FOnDeleteItem = [this](frame::TLånItemCtrlLink& entry) {
        const int index = entry.Indeks();
        if (index == FLånList->selectedIndex()) releaseInput();
        guarded(QStringLiteral("Mirvo"), [&] {
            if (index >= 0 && size_t(index) < sak().count()) {
                sak().deleteItem(size_t(index));
                FStructureChanged = true;
            }
        });
    };

    // The case.
    c.FOnFileLoaded = [this] { fillListFromCase(); };
    c.FOnFilenameChange = [this] { updateCaption(); };
    c.FOnCanLoadSection = [this](std::u16string_view section, bool& allowed) {
        if (FSetup.commandLine.importMode && section == u"Changes") allowed = false;
    };
    c.FOnEditChange = [this](mng::TDataItem* item) {
        recalc(item);
        FEditRecomputed = true;
    };
}

void TformMain::recalc(const mng::TDataItem* item) {
    guarded(QStringLiteral("Mirvo"), [&] {
        if (!item) return FMainMng->recompute();
        const int loan = FCaseSource->loanOf(*item);
        FMainMng->recompute(item->id(), loan >= 0 ? std::optional<int>(loan) : std::nullopt);
    });
}

void TformMain::fillListFromCase() {
    FLånList->beginUpdate();
    FLoading = true;
    FLånList->clear();
    for (size_t i = 0; i < sak().count(); ++i) FLånList->addItem();
    FLoading = false;
    guarded(QStringLiteral("Mirvo"), [&] { FMainMng->oppdaterLåneListe(); });
    FLånList->update();
    FLånList->endUpdate();
    FStructureChanged = false;
    if (FLånList->count() > 0) selectLoan(0);
}

void TformMain::releaseInput() {
    if (FFrameInput) FFrameInput->clear();
    if (FSetup.data) sak().releaseInputConnections();
}

void TformMain::selectLoan(int index) {
    if (index < 0 || index >= FLånList->count() || size_t(index) >= sak().count()) return;
    QWidget* left = findChild<QWidget*>(QStringLiteral("pnMainLeft"));
    left->setUpdatesEnabled(false);
    struct Resume {
        QWidget* w;
        ~Resume() { w->setUpdatesEnabled(true); }
    } resume{left};
    // 1-2. A new input frame for the loan's product group.
    releaseInput();
    if (FFrameInput) FPnInput->takeWidget();
    FFrameInput.reset();
    mng::TProductData& loan = sak().getItem(size_t(index));
    const TProduktGruppe group = loan.productGroup();
    FFrameInput = frame::createInputFrame(loan, FPnInput);
    dlg::setName(FFrameInput.get(), "frameInput");
    FPnInput->setWidget(FFrameInput.get());
    // Edits the case does not report (another alternative, a deleted change
    // row) are recomputed here; the list shows amount and rates again.
    connect(FFrameInput.get(), &frame::TFrameLoanInput::edited, this, [this] {
        if (std::exchange(FEditRecomputed, false)) return;
        recalc(nullptr);
        guarded(QStringLiteral("Mirvo"), [&] { FMainMng->oppdaterLåneListe(); });
    });
    guarded(QStringLiteral("Mirvo"), [&] { FFrameInput->setLoan(&loan); });
    // 3. Actions for the product group.
    const bool nedbet = group == TProduktGruppe::pgNedbetlån;
    setActionEnabled("actionRapportEksporter", nedbet);
    setActionEnabled("actionSakLeggTil", nedbet && !FSetup.commandLine.importMode);
    setActionEnabled("actionOppsettReset", FSetup.cfgID != 0 || !FSetup.cfgSaved);
    // 4. The results.
    recalc(nullptr);
    // 5. The focus to the first edit field of the new frame.
    if (FAutoFocusDirty) {
        FAutoFocusDirty = false;
        for (auto* edit : FFrameInput->findChildren<kavelin::fmt::TCustomKavelinEdit*>())
            if (edit->isVisibleTo(FFrameInput.get()) && edit->isEnabled()) {
                edit->setFocus(Qt::OtherFocusReason);
                break;
            }
    }
}

void TformMain::newCase() {
    releaseInput();
    FLånList->clear();
    guarded(QStringLiteral("Mirvo"), [&] { sak().reset(true, false); });
    FLånList->addItem();  // adds the loan to the case and selects it
    FStructureChanged = false;
    updateCaption();
}

bool TformMain::caseChanged() const { return FStructureChanged || FSetup.data->current().changed(); }

bool TformMain::askSaveChanges() {
    // A case with changes is offered for saving also when it was never
    // saved: the loans typed in would otherwise be lost without a word.
    if (!caseChanged()) return true;
    switch (dlg::askQuestion(this, QStringLiteral("Advarsel!"), QStringLiteral("Lagre endringer?"), true)) {
        case QMessageBox::Yes: return cmdLagre();  // a cancelled save keeps the case open
        case QMessageBox::No: return true;
        default: return false;
    }
}

void TformMain::cmdNy() {
    if (!askSaveChanges()) return;
    newCase();
    updateCaption();
}

void TformMain::cmdHent() {
    if (!askSaveChanges()) return;
    const QString name = dlg::openCaseDialog(this, qs(sak().docDir().u16string()));
    if (!name.isEmpty()) openCase(name);
}

void TformMain::openCase(const QString& fileName) {
    releaseInput();
    FLånList->clear();
    try {
        sak().load(std::filesystem::path(fileName.toStdU16String()));  // fills the list (OnFileLoaded)
    } catch (const kavelin::utils::EKavelin& e) {
        dlg::showError(this, QStringLiteral("Mirvo - Åpne fil"), qs(e.message()));
        // The case is unchanged: the list shows it again.
        fillListFromCase();
    }
    updateCaption();
}

bool TformMain::lagreTil(const std::filesystem::path& file) {
    bool ok = false;
    guarded(QStringLiteral("Mirvo - Lagre sak"), [&] {
        sak().save(file);
        FStructureChanged = false;
        ok = true;
    });
    updateCaption();
    return ok;
}

bool TformMain::cmdLagre() {
    std::error_code ec;
    const std::filesystem::path file = sak().filename();
    if (!file.empty() && std::filesystem::is_regular_file(file, ec)) return lagreTil(file);
    const QString name = dlg::saveCaseDialog(this, qs(sak().docDir().u16string()), qs(file.filename().u16string()));
    if (name.isEmpty()) return false;
    return lagreTil(std::filesystem::path(name.toStdU16String()));
}

bool TformMain::cmdLagreSom() {
    const QString name = dlg::saveCaseDialog(this, qs(sak().docDir().u16string()), QString());
    if (name.isEmpty()) return false;
    return lagreTil(std::filesystem::path(name.toStdU16String()));
}

void TformMain::cmdLeggTil() {
    if (sak().count() > 0 && sak().getItem(0).productGroup() != TProduktGruppe::pgNedbetlån) {
        dlg::showError(this, QStringLiteral("Advarsel!"),
                       QStringLiteral("Kan bare legge til flere lån i en sak med nedbetalingslån!"));
        return;
    }
    const int before = FLånList->count();
    frame::TLånItemCtrlLink& entry = FLånList->addItem();
    if (int(sak().count()) > before) FStructureChanged = true;
    FLånList->setSelectedItem(&entry);
}

void TformMain::editDefaults(int productIndex) {
    if (!oppsett::hasProduktOppsett()) return;
    auto& cfg = oppsett::produktOppsett();
    if (productIndex < 0 || size_t(productIndex) >= cfg.count()) return;
    dlg::TStdVerdiSetup setup;
    setup.readOnly = FSetup.cfgReadOnly;
    setup.mainWindowHeight = height();
    const int32_t cfgID = FSetup.cfgID;
    const bool admin = FSetup.appMode == TAppMode::Admin || FSetup.appMode == TAppMode::Developer;
    setup.onSaved = [cfgID, admin, this] {
        // The configuration backup hears of the change; the registration
        // prompt of the user modes belongs to the product dialogs.
        if (cfgID != 0 && admin && kavelin::utils::appState().saveCfgState(cfgID, false)) FSetup.cfgSaved = false;
    };
    bool ok = false;
    guarded(QStringLiteral("Mirvo  -  Std.verdier"), [&] {
        ok = dlg::editStdVerdier(cfg.getProduktOppsett(size_t(productIndex)), FSetup.data->defaults(), setup, this);
    });
    if (ok) refreshAfterCfgChange();
}

}  // namespace mirvo::main

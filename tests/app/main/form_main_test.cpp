#include "app/main/form_main.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QMenu>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QScreen>

#include <filesystem>

#include "app/dlg/about_dlg.h"
#include "app/dlg/msgbox.h"
#include "app/frame/frame_reports.h"
#include "app/log/logfile.h"
#include "app/main/main_mng.h"
#include "app/ui/config/produkt_liste.h"
#include "tests/app/main/main_window_fixture.h"
#include "tests/app/main/widgets_app.h"
#include "tests/support/temp_dir.h"

namespace mirvo::main {
namespace {

using kavelin::utils::TAppMode;

std::unique_ptr<mirvo::test::TWindowHolder> makeWindow(TAppMode mode = TAppMode::Normal, bool cfgSaved = true,
                                                      int cfgID = 0) {
    TFormMainSetup s;
    s.appMode = mode;
    s.cfgSaved = cfgSaved;
    s.cfgID = cfgID;
    return mirvo::test::makeMainWindow(s);
}

TEST(TformMain, ActionsCarryTheirCaptionsShortcutsAndHints) {
    auto hw = makeWindow();
    auto& w = hw->window;
    struct Case { const char* name; const char* text; const char* shortcut; const char* hint; };
    const Case cases[] = {
        {"actionSakLeggTil", "L&egg til lån i saken", "Ctrl+L", ""},
        {"actionSakNy", "&Ny sak", "Ctrl+N", "Ny sak  (Ctrl+N)"},
        {"actionSakHent", "&Hent sak", "Ctrl+O", "Åpne sak fra fil  (Ctrl+O)"},
        {"actionSakLagre", "&Lagre sak", "Ctrl+S", "Lagre sak til fil  (Ctrl+S)"},
        {"actionSakLagreSom", "Lagre sak som", "", ""},
        {"actionRapportPrint", "&Utskrift", "Ctrl+P", ""},
        {"actionRapportPDF", "Generer &PDF", "Ctrl+D", "Generer PDF  (Ctrl+D)"},
        {"actionRapportEpost", "Generer PDF-vedlegg til &epost", "Ctrl+E", "Generer PDF-vedlegg til epost  (Ctrl+E)"},
        {"actionRapportEksporter", "E&ksporter forløp", "", "Eksporter forløp til fil"},
        {"actionVisningMini", "&Mini (760 x 550)", "", "Aktiver minste skjermoppsett"},
        {"actionVisningStd", "Standard (980 x 700)", "", "Aktiver standard skjermoppsett"},
        {"actionVisningMaxi", "&Zoom - Hele skjermen", "", "Aktiver maksimert skjermbilde med stor tekst"},
        {"actionOppsettAppCfg", "Egen konfigurasjon", "", ""},
        {"actionOppsettTilpassProdukter", "Tilpass &produkter", "", ""},
        {"actionOppsettTilpassHjelp", "Tilpass &hjelpetekster", "", ""},
        {"actionOppsettBackup", "Registrer på Kavelin server (Backup)", "", ""},
        {"actionOppsettRestore", "Hent fra Kavelin-server", "", ""},
        {"actionOppsettReset", "Gjenopprett standard konfigurasjon", "", ""},
        {"actionOppsettOppdater", "&Oppdatering til siste versjon", "", ""},
        {"actionHjelpF1", "Mirvo &Hjelp", "", "Hjelp (F1)"},
        {"actionHjelpAppDok", "&Innhold og stikkordsregister", "Ctrl+F1", "Innhold og stikkordsregister  (Ctrl+F1)"},
        {"actionHjelpSupport", "&Brukerstøtte - Epost til Kavelin", "", "Brukerstøtte - Epost til Kavelin"},
        {"actionHjelpAppInfo", "&Om Mirvo", "", ""},
        {"actionHjelpKavelinProdukt", "&Andre Kavelin-produkt", "", ""},
        {"actionKalkulator", "Kalkulator", "", "Kalkulator"},
    };
    for (const Case& c : cases) {
        QAction* a = w->action(c.name);
        ASSERT_NE(a, nullptr) << c.name;
        EXPECT_EQ(a->text(), QString::fromUtf8(c.text)) << c.name;
        EXPECT_EQ(a->shortcut().toString(QKeySequence::PortableText), c.shortcut) << c.name;
        if (*c.hint) {
            EXPECT_EQ(a->toolTip(), QString::fromUtf8(c.hint)) << c.name;
        }
    }
    EXPECT_EQ(w->action("actionRapportEksporter")->iconText(), "Eksporter");
    EXPECT_EQ(w->objectName(), "TformMain");
}

TEST(TformMain, MenusHoldTheirActionsInOrder) {
    auto hw = makeWindow();
    auto& w = hw->window;
    auto names = [&](const char* menu) {
        QStringList out;
        for (QAction* a : w->menu(menu)->actions()) out << (a->isSeparator() ? "|" : a->objectName());
        return out.join(' ');
    };
    EXPECT_EQ(names("menuSak"), "actionSakLeggTil | actionSakNy actionSakHent actionSakLagre actionSakLagreSom");
    EXPECT_EQ(names("menuRapport"), "actionRapportPrint actionRapportPDF actionRapportEpost actionRapportEksporter");
    EXPECT_EQ(names("menuVisning"), "actionVisningMini actionVisningStd actionVisningMaxi");
    EXPECT_EQ(names("menuAppCfg"),
              "actionOppsettTilpassProdukter actionOppsettTilpassHjelp | actionOppsettBackup actionOppsettRestore | "
              "actionOppsettReset");
    EXPECT_TRUE(names("menuOppsett").endsWith("| actionOppsettAppCfg | actionOppsettOppdater"));
    EXPECT_EQ(names("menuHjelp"),
              "actionHjelpF1 actionHjelpAppDok actionHjelpSupport | actionHjelpAppInfo actionHjelpKavelinProdukt "
              "actionHjelpKavelinURL");
    QStringList tops;
    for (QAction* a : w->menuBar()->actions()) tops << a->text();
    EXPECT_EQ(tops.join(' '), "&Sak &Rapport &Visning &Oppsett &Hjelp");
}

TEST(TformMain, ProductActionsFollowTheConfiguration) {
    auto hw = makeWindow();
    auto& w = hw->window;
    auto& cfg = oppsett::produktOppsett();
    for (size_t n = 1; n <= 15; ++n) {
        QAction* a = w->action(QStringLiteral("actionOppsettProdukt%1").arg(n));
        EXPECT_EQ(a->isVisible(), n <= cfg.count()) << n;
        if (n <= cfg.count()) {
            EXPECT_EQ(a->text(), QString::fromStdU16String(cfg[n - 1].Beskrivelse()));
            EXPECT_EQ(a->data().toInt(), int(n - 1));
        }
    }
}

TEST(TformMain, AppStateDecidesMenusAndTheRegistrationPanel) {
    {
        auto hw = makeWindow(TAppMode::Restricted);
        auto& w = hw->window;
        EXPECT_FALSE(w->menu("menuOppsett")->menuAction()->isEnabled());
        EXPECT_TRUE(w->pnReg()->isHidden());
    }
    {
        auto hw = makeWindow(TAppMode::Normal, false);
        auto& w = hw->window;
        EXPECT_FALSE(w->pnReg()->isHidden());
        EXPECT_TRUE(w->menu("menuOppsett")->menuAction()->isEnabled());
        w->pnReg()->findChild<QPushButton*>("btnIkkeNaa")->click();
        EXPECT_TRUE(w->pnReg()->isHidden());
    }
    {
        auto hw = makeWindow(TAppMode::Developer, false);
        auto& w = hw->window;
        EXPECT_TRUE(w->pnReg()->isHidden());
        EXPECT_EQ(w->action("actionOppsettAppCfg")->text(), "Rediger standard konfigurasjon (utviklingsversjon)");
    }
}

TEST(TformMain, ViewsSizeTheWindowAndZoomReturnsToTheEarlierSize) {
    auto hw = makeWindow();
    auto& w = hw->window;
    w->show();
    // Sizes are kept inside the screen's work area.
    const QSize work = w->screen()->availableGeometry().size();
    const QSize std = kStdSize.boundedTo(work), mini = kMiniSize.boundedTo(work);
    EXPECT_EQ(w->view(), TShowMode::smStd);
    EXPECT_EQ(w->frameGeometry().size(), std);
    EXPECT_TRUE(w->action("actionVisningStd")->isChecked());
    w->action("actionVisningMini")->trigger();
    EXPECT_EQ(w->frameGeometry().size(), mini);
    EXPECT_EQ(w->mainMng().visningsModus(), TVisningsmodus::vmMini);
    w->action("actionVisningStd")->trigger();
    EXPECT_EQ(w->frameGeometry().size(), std);
    w->resize(790, 720);
    w->action("actionVisningMaxi")->trigger();
    EXPECT_TRUE(w->isMaximized());
    EXPECT_FALSE(w->action("actionOppsettAppCfg")->isEnabled());
    EXPECT_TRUE(w->action("actionVisningMaxi")->isChecked());
    EXPECT_FALSE(w->action("actionVisningStd")->isChecked());
    w->action("actionVisningStd")->trigger();
    EXPECT_FALSE(w->isMaximized());
    EXPECT_TRUE(w->action("actionOppsettAppCfg")->isEnabled());
    EXPECT_EQ(w->size(), QSize(790, 720));  // the size before zoom, not the standard size
}

TEST(TformMain, CaptionAndAboutBox) {
    TCommandLine cl;
    EXPECT_EQ(mainCaption(u"3.0", cl, u"/x/Sak1.mvs", false), " M i r v o   3.0");
    EXPECT_EQ(mainCaption(u"3.0", cl, u"/x/Sak1.mvs", true), " M i r v o   3.0  -  /x/Sak1.mvs");
    cl.importRefID = u"A17";
    cl.importOutputFile = u"/tmp/mirvo_output.xml";
    EXPECT_EQ(mainCaption(u"3.0", cl, u"/x/Sak1.mvs", true), " M i r v o   3.0  -  Import/Eksport referanse ID: A17");
    EXPECT_EQ(dlg::configIdText(0, 42), "000000 (Standard ver. 42)");
    EXPECT_EQ(dlg::configIdText(1234, 42), "001234");
    auto hw = makeWindow();
    auto& w = hw->window;
    EXPECT_EQ(w->windowTitle(), " M i r v o   " + QString::fromStdU16String(programVersion()));
    mirvo::test::ensureWidgetsApp();
    dlg::TFormAbout about(0, 42, {});
    EXPECT_EQ(about.windowTitle(), "Om Kavelin Lånemodell");
    QStringList texts;
    for (QLabel* l : about.findChildren<QLabel*>()) texts << l->text();
    QString all = texts.join('\n');
    EXPECT_TRUE(all.contains("Konfigurasjons-ID: 000000 (Standard ver. 42)")) << all.toStdString();
    EXPECT_TRUE(all.contains("Mirvo32.dll - versjon 3.0")) << all.toStdString();
    EXPECT_FALSE(about.findChild<QWidget*>("btnMerOmMirvo")->isEnabled());  // no help window
}

TEST(TformMain, F1ShowsTheHelpTopicOfTheFocusedControl) {
    auto hw = makeWindow();
    auto& w = hw->window;
    w->show();
    QString shown;
    TformMain::setHelpHandler([&](const QString& k) { shown = k; });
    w->pnInput()->setProperty("helpKeyword", "hlpInput");
    auto* edit = new QLineEdit(w->pnInput());
    edit->show();
    edit->setFocus();
    QApplication::setActiveWindow(w.get());
    w->helpF1();
    EXPECT_EQ(shown, "hlpInput");
    TformMain::setHelpHandler({});
}

TEST(MessageBoxes, EveryBoxIsWrittenToTheLog) {
    mirvo::test::ensureWidgetsApp();
    mirvo::test::TempDir dir;
    kavelin::log::startLog(u"Mirvo", {dir.path()});
    dlg::TMsgBox seen;
    dlg::setMsgResponder([&](const dlg::TMsgBox& b) {
        seen = b;
        return QMessageBox::No;
    });
    EXPECT_EQ(dlg::askQuestion(nullptr, "Advarsel!", "Lagre endringer?", true), QMessageBox::No);
    dlg::setMsgResponder({});
    kavelin::log::stopLog();
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    std::string log = mirvo::test::readBytes(dir / "Mirvo.log");
    EXPECT_NE(log.find("] Meldingsboks (Spørsmål) \"Advarsel!\": Lagre endringer?\n"), std::string::npos) << log;
}

}  // namespace
}  // namespace mirvo::main

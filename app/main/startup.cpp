#include "app/main/startup.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>

#include "app/dlg/msgbox.h"
#include "app/log/logfile.h"
#include "app/main/app_globals.h"
#include "app/main/form_main.h"
#include "app/mng/data_mng.h"
#include "app/ui/config/produkt_liste.h"
#include "app/ui/settings/app_state.h"
#include "app/ui/settings/user_settings.h"
#include "common/text/encoding.h"
#include "common/utils/app_mng.h"
#include "common/utils/error.h"

namespace mirvo::main {
namespace {

const char kNoDisplay[] =
    "Mirvo: finner ingen skjerm å vise vinduet på (verken DISPLAY eller WAYLAND_DISPLAY er satt).\n"
    "Start Mirvo fra et skrivebord, eller sett QT_QPA_PLATFORM (for eksempel offscreen) for kjøring uten skjerm.\n";

QString textOf(const std::exception& e) {
    if (auto* k = dynamic_cast<const kavelin::utils::EKavelin*>(&e)) return QString::fromStdU16String(k->message());
    return QString::fromUtf8(e.what());
}

// A window system that cannot be reached stops Qt with a fatal message; it
// then ends the program with a clear text and an exit code instead of a crash.
QtMessageHandler previousHandler = nullptr;
void messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "Mirvo: vindussystemet kan ikke brukes: %s\n", message.toLocal8Bit().constData());
        kavelin::log::logLine(u"Vindussystemet kan ikke brukes: " + message.toStdU16String());
        std::fflush(stderr);
        std::_Exit(kExitNoDisplay);
    }
    if (previousHandler) previousHandler(type, context, message);
}

std::vector<std::u16string> argsOf(int argc, char** argv) {
    std::vector<std::u16string> args;
    for (int i = 0; i < argc; ++i) args.push_back(kavelin::text::fromUtf8(argv[i]));
    return args;
}

int fail(const QString& text) {
    dlg::showError(nullptr, QStringLiteral("Mirvo"), text);
    kavelin::log::logLine(u"Programmet avsluttes.");
    return kExitStartupFailed;
}

// The product configuration. A damaged "custom_" copy is reported and the
// standard configuration is used instead, so the program still starts; the
// copy is written again only when the configuration is changed.
void loadProduktOppsett() {
    try {
        oppsett::installProduktOppsett(std::make_unique<oppsett::TProduktOppsettListe>());
        return;
    } catch (const std::exception& e) {
        auto& state = kavelin::utils::appState();
        const std::u16string read = state.getCfgFileName(u"Configurations.xml", false);
        const std::u16string standard = kavelin::utils::appMng().getCfgFile(u"Configurations.xml");
        if (read == standard) throw;
        dlg::showError(nullptr, QStringLiteral("Mirvo"),
                       textOf(e) + QStringLiteral("\n\nStandardkonfigurasjonen brukes i stedet."));
    }
    const std::u16string standard = kavelin::utils::appMng().getCfgFile(u"Configurations.xml");
    oppsett::installProduktOppsett(std::make_unique<oppsett::TProduktOppsettListe>([standard](bool forSave) {
        return forSave ? kavelin::utils::appState().getCfgFileName(u"Configurations.xml", true) : standard;
    }));
}

}  // namespace

bool displayAvailable(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strncmp(argv[i], "-platform=", 10) == 0) return true;
    for (const char* var : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* v = std::getenv(var);
        if (v && *v) return true;
    }
    return false;
}

int runMirvo(int argc, char** argv) {
    if (!displayAvailable(argc, argv)) {
        std::fputs(kNoDisplay, stderr);
        return kExitNoDisplay;
    }
    previousHandler = qInstallMessageHandler(messageHandler);

    // 1. The folder manager with the command line.
    std::vector<std::u16string> args = argsOf(argc, argv);
    kavelin::utils::TAppMngSetup setup;
    setup.args = args;
    kavelin::utils::installAppMng(std::make_unique<kavelin::utils::TAppMng>(setup));
    auto& mng = kavelin::utils::appMng();
    if (kavelin::log::hasLogSwitch(args)) {
        std::error_code ec;
        kavelin::log::startLog(mng.getAppName(), {std::filesystem::path(mng.getAppDir()),
                                                  std::filesystem::path(mng.getDocumentsDir()),
                                                  std::filesystem::temp_directory_path(ec)});
        kavelin::log::logLine(u"Mirvo " + programVersion() + u" starter");
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mirvo"));
    QApplication::setApplicationVersion(QString::fromStdU16String(programVersion()));
    QApplication::setWindowIcon(QApplication::style()->standardIcon(QStyle::SP_ComputerIcon));

    if (const auto& w = mng.startupWarning())
        dlg::showWarning(nullptr, QString::fromStdU16String(w->caption), QString::fromStdU16String(w->text));

    std::unique_ptr<mng::TDataMng> data;
    std::unique_ptr<TformMain> window;
    try {
        // 2. Application state and command line.
        std::error_code ec;
        commandLine() = readCommandLine(args, std::filesystem::temp_directory_path(ec).u16string());
        kavelin::utils::appState().load();
        // 3. Product configuration, user settings.
        loadProduktOppsett();
        kavelin::log::logLine(u"Produktkonfigurasjonen er lest");
        // The data manager with the product default values, then the user settings.
        data = std::make_unique<mng::TDataMng>(
            oppsett::produktOppsett(), std::filesystem::path(mng.getAppUserFile(u"Defaults.xml")),
            std::filesystem::path(kavelin::utils::appState().getCaseFolder()),
            [](const std::u16string& caption, const std::u16string& text) {
                dlg::showError(QApplication::activeWindow(), QString::fromStdU16String(caption),
                               QString::fromStdU16String(text));
            });
        auto& user = kavelin::utils::userSettings();
        // 4. The main window.
        auto& state = kavelin::utils::appState();
        TFormMainSetup ws;
        ws.appMode = state.appMode;
        ws.cfgID = state.cfgID;
        ws.cfgSaved = state.cfgSaved;
        ws.stdCfgID = state.stdCfgID;
        ws.commandLine = commandLine();
        ws.multiColumnKeyFigures = user.MainCalcMultiCol();
        ws.data = data.get();
        ws.cfgReadOnly = state.isCfgReadOnly();
        window = std::make_unique<TformMain>(ws);
    } catch (const std::exception& e) {
        return fail(textOf(e));
    }
    window->show();
    kavelin::log::logLine(u"Hovedvinduet er vist");
    int rc = app.exec();
    window.reset();
    data.reset();
    try {
        oppsett::freeProduktOppsett();
    } catch (const std::exception& e) {
        dlg::showError(nullptr, QStringLiteral("Mirvo"), textOf(e));
        rc = kExitStartupFailed;
    }
    kavelin::log::logLine(u"Mirvo avsluttes");
    kavelin::log::stopLog();
    return rc;
}

}  // namespace mirvo::main

// The program started as a user starts it, in a program folder of its own.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include <filesystem>

#include "app/main/app_globals.h"
#include "tests/support/temp_dir.h"
#include "tests/support/source_dir.h"

namespace mirvo::main {
namespace {

namespace fs = std::filesystem;
using mirvo::test::readBytes;
using mirvo::test::TempDir;

struct TRun {
    int exitCode = -1;
    std::string errors;
    std::string log;
};

// Copies the program into its own folder with the given data files and runs
// it headless with the log switched on.
// untilShown: the program is ended once its log says the main window is shown.
TRun runProgram(const TempDir& dir, const std::vector<const char*>& dataFiles, QStringList args,
                bool untilShown = false) {
    fs::copy_file(MIRVO_EXE, dir / "Mirvo");
    for (const char* f : dataFiles) fs::copy_file(mirvo::test::dataFile(f), dir / f);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", QString::fromStdString((dir / "home").string()));
    env.insert("XDG_CONFIG_HOME", QString::fromStdString((dir / "home/.config").string()));
    env.insert("XDG_DATA_HOME", QString::fromStdString((dir / "home/.local/share").string()));
    p.setProcessEnvironment(env);
    args << "/LOGG";
    p.start(QString::fromStdString((dir / "Mirvo").string()), args);
    TRun r;
    if (untilShown) {
        for (int i = 0; i < 200 && readBytes(dir / "Mirvo.log").find("Hovedvinduet er vist") == std::string::npos; ++i)
            p.waitForFinished(100);
        r.log = readBytes(dir / "Mirvo.log");
        r.exitCode = p.state() == QProcess::Running ? 0 : -3;  // 0: still running
        p.kill();
        p.waitForFinished();
        r.errors = p.readAllStandardError().toStdString();
        return r;
    }
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.errors = p.readAllStandardError().toStdString();
    r.log = readBytes(dir / "Mirvo.log");
    return r;
}

TEST(Startup, MissingStdCfgIdStopsWithItsMessage) {
    TempDir dir;
    TRun r = runProgram(dir, {"Configurations.xml"}, {});
    EXPECT_EQ(r.exitCode, 1) << r.errors;
    EXPECT_NE(r.log.find("\"Mirvo\": Mirvo finner ikke filen StdCfg.id"), std::string::npos) << r.log;
    EXPECT_EQ(r.log.rfind("StartTime ", 0), 0u);
}

TEST(Startup, BadPathWarnsAndAMissingConfigurationStops) {
    TempDir dir;
    TRun r = runProgram(dir, {"stdCfg.id"}, {"/path=" + QString::fromStdString((dir / "no-such-folder").string())});
    EXPECT_EQ(r.exitCode, 1) << r.errors;
    EXPECT_NE(r.log.find("Mirvo - ADVARSEL\": Angitt katalog for applikasjonskonfigurasjon eksisterer ikke!"),
              std::string::npos)
        << r.log;
    EXPECT_NE(r.log.find("Kan ikke lese konfigurasjonsfilen"), std::string::npos) << r.log;
    EXPECT_NE(r.errors.find("Kan ikke lese konfigurasjonsfilen"), std::string::npos);
}

TEST(Startup, DamagedOwnConfigurationAndCaseFileAreReportedAndTheProgramRuns) {
    TempDir dir;
    mirvo::test::writeBytes(dir / "custom_Configurations.xml", "<?xml version=\"1.0\"?><Oppsett><Produkt ID=\"1\">");
    mirvo::test::writeBytes(dir / "Skadet.mvs", "<?xml version=\"1.0\"?><file><product>");
    TRun r = runProgram(dir, {"Configurations.xml", "stdCfg.id"},
                        {QString::fromStdString((dir / "Skadet.mvs").string())}, true);
    EXPECT_EQ(r.exitCode, 0) << r.errors << r.log;
    EXPECT_NE(r.log.find("Standardkonfigurasjonen brukes i stedet."), std::string::npos) << r.log;
    EXPECT_NE(r.log.find("Kan ikke lese filen"), std::string::npos) << r.log;
    EXPECT_NE(r.log.find("Skadet.mvs"), std::string::npos) << r.log;
    EXPECT_NE(r.log.find("Hovedvinduet er vist"), std::string::npos) << r.log;
}

TEST(Startup, WithoutAnyDisplayTheProgramSaysSo) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* v : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) env.remove(v);
    p.setProcessEnvironment(env);
    p.start(MIRVO_EXE, {});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_TRUE(p.readAllStandardError().contains("finner ingen skjerm"));
}

TEST(CommandLine, CaseFileImportAndPath) {
    TempDir dir;
    mirvo::test::writeBytes(dir / "sak.mvs", "x");
    std::u16string sak = (dir / "sak.mvs").u16string(), tmp = dir.path().u16string();
    struct Case { std::vector<std::u16string> args; std::u16string start, ref; bool import; };
    const Case cases[] = {
        {{u"Mirvo"}, u"", u"", false},
        {{u"Mirvo", sak}, sak, u"", false},
        {{u"Mirvo", sak + u".nei"}, u"", u"", false},
        {{u"Mirvo", u"/path=/tmp"}, u"", u"", false},  // the only argument: a case file that does not exist
        {{u"Mirvo", u"/IMPORT=ref1"}, u"", u"", false},  // no hand-over file: not import mode
    };
    for (const Case& c : cases) {
        TCommandLine cl = readCommandLine(c.args, tmp);
        EXPECT_EQ(cl.startFile, c.start);
        EXPECT_EQ(cl.importRefID, c.ref);
        EXPECT_EQ(cl.importMode, c.import);
    }
    mirvo::test::writeBytes(dir / "mirvo_input.xml", "<x/>");
    TCommandLine cl = readCommandLine({u"Mirvo", u"/LOGG", u"/Import=ref 7"}, tmp);
    EXPECT_TRUE(cl.importMode);
    EXPECT_EQ(cl.importRefID, u"ref 7");
    EXPECT_EQ(cl.startFile, (dir / "mirvo_input.xml").u16string());
    EXPECT_EQ(cl.importOutputFile, (dir / "mirvo_output.xml").u16string());
}

}  // namespace
}  // namespace mirvo::main

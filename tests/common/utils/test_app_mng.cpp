#include "common/utils/app_mng.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace kavelin::utils;
using mirvo::test::readBytes;
using mirvo::test::TempDir;
using mirvo::test::writeBytes;
namespace fs = std::filesystem;

namespace {

std::u16string u16(const fs::path& p) { return p.u16string(); }
std::u16string dirText(const fs::path& p) { return p.u16string() + u"/"; }

// A program folder, a home with XDG folders and a place for "system"
// installations, all in one temporary folder.
class AppMngTest : public ::testing::Test {
protected:
    AppMngTest() {
        for (const char* d : {"prog", "cfg", "sys/Mirvo", "home/.config", "home/.local/share", "home/Documents"})
            fs::create_directories(FDir / d);
        FKnown.roamingAppData = FDir / "home/.config";
        FKnown.localAppData = FDir / "home/.local/share";
        FKnown.documents = FDir / "home/Documents";
        FKnown.programFiles = {FDir / "sys"};
    }

    std::unique_ptr<TAppMng> make(const fs::path& exe, std::vector<std::u16string> args = {}) {
        writeBytes(exe, "");
        if (!args.empty()) args.insert(args.begin(), exe.u16string());
        return std::make_unique<TAppMng>(TAppMngSetup{exe, args, FKnown});
    }
    std::unique_ptr<TAppMng> local(std::vector<std::u16string> args = {}) { return make(FDir / "prog/Mirvo", args); }
    std::unique_ptr<TAppMng> installed() { return make(FDir / "sys/Mirvo/Mirvo"); }

    TempDir FDir;
    TKnownFolders FKnown;
};

}  // namespace

TEST_F(AppMngTest, Identity) {
    auto m = make(FDir / "prog/Mirvo.bin", {u"sak.mvs", u"/Path=/x", u"/import=42"});
    EXPECT_EQ(m->getExeFile(), u16(FDir / "prog/Mirvo.bin"));
    EXPECT_EQ(m->getExeName(), u"Mirvo.bin");
    EXPECT_EQ(m->getAppName(), u"Mirvo");
    EXPECT_EQ(m->getAppDir(), dirText(FDir / "prog"));
    EXPECT_EQ(m->getAppFile(u"stdCfg.id"), u16(FDir / "prog/stdCfg.id"));
    EXPECT_EQ(m->getParam(size_t(1)), u"sak.mvs");
    EXPECT_EQ(m->getParam(size_t(9)), u"");
    EXPECT_EQ(m->getParam(u"/IMPORT="), u"42");
    EXPECT_EQ(m->getParam(u"/none="), u"");
}

TEST_F(AppMngTest, OutsideProgramFilesOnlyDocumentsServesTheUser) {
    auto m = local();
    EXPECT_FALSE(m->isExeOnProgramFilesFolder());
    EXPECT_FALSE(m->getDir(TDirKind::dRoaming));
    EXPECT_FALSE(m->getDir(TDirKind::dLocal));
    EXPECT_FALSE(m->getDir(TDirKind::dVirtualStore));
    EXPECT_EQ(m->getUserIniFile(), u16(FDir / "home/Documents/Kavelin/Mirvo/Mirvo.ini"));
    EXPECT_TRUE(fs::is_directory(FDir / "home/Documents/Kavelin/Mirvo"));
    EXPECT_FALSE(fs::exists(FDir / "home/.config/Kavelin"));
    // The program folder is writable, so new per-user files go there first.
    EXPECT_EQ(m->getAppUserFile(u"Defaults.xml"), u16(FDir / "prog/Defaults.xml"));
    EXPECT_EQ(m->getAppIniFile(), u16(FDir / "prog/Mirvo.ini"));
}

TEST_F(AppMngTest, WithoutAnyUserFolderTheBareNameIsAnswered) {
    fs::remove_all(FDir / "home/Documents");
    auto m = local();
    EXPECT_EQ(m->getUserIniFile(), u"Mirvo.ini");
    EXPECT_FALSE(fs::exists(FDir / "home/Documents"));
}

TEST_F(AppMngTest, UnderProgramFilesTheRoamingFolderComesFirst) {
    auto m = installed();
    EXPECT_TRUE(m->isExeOnProgramFilesFolder());
    EXPECT_EQ(m->getDir(TDirKind::dRoaming), dirText(FDir / "home/.config/Kavelin/Mirvo"));
    EXPECT_EQ(m->getDir(TDirKind::dLocal), dirText(FDir / "home/.local/share/Kavelin/Mirvo"));
    EXPECT_FALSE(m->getDir(TDirKind::dVirtualStore));
    EXPECT_EQ(m->getUserIniFile(), u16(FDir / "home/.config/Kavelin/Mirvo/Mirvo.ini"));
    // An existing file wins over a writable folder earlier in the list.
    writeBytes(FDir / "home/.local/share/Kavelin/Mirvo/Defaults.xml", "");
    EXPECT_EQ(m->getAppUserFile(u"Defaults.xml"), u16(FDir / "home/.local/share/Kavelin/Mirvo/Defaults.xml"));
}

TEST_F(AppMngTest, SystemPrefixMatchesWholeFolderNames) {
    FKnown.programFiles = {FDir / "sy"};
    EXPECT_FALSE(installed()->isExeOnProgramFilesFolder());
    FKnown.programFiles = {FDir / "sys/"};
    EXPECT_TRUE(installed()->isExeOnProgramFilesFolder());
    TKnownFolders defaults;
    EXPECT_EQ(defaults.programFiles, (std::vector<fs::path>{"/usr", "/opt"}));
}

TEST_F(AppMngTest, CfgFileLookupOrderAndMemory) {
    auto m = local({u"/path=" + u16(FDir / "cfg")});
    writeBytes(FDir / "prog/Configurations.xml", "");
    EXPECT_EQ(m->getCfgFile(u"Configurations.xml"), u16(FDir / "prog/Configurations.xml"));
    // Kept for the run, even once the file appears in the first folder.
    writeBytes(FDir / "cfg/Configurations.xml", "");
    EXPECT_EQ(m->getCfgFile(u"Configurations.xml"), u16(FDir / "prog/Configurations.xml"));
    writeBytes(FDir / "cfg/HelpConfig.xml", "");
    writeBytes(FDir / "prog/HelpConfig.xml", "");
    EXPECT_EQ(m->getCfgFile(u"HelpConfig.xml"), u16(FDir / "cfg/HelpConfig.xml"));
    EXPECT_EQ(m->getCfgFile(u"new.xml"), u16(FDir / "cfg/new.xml"));
    try {
        m->getCfgFile(u"*.xml");
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Ekstakt filoppslag kan ikke innholde * for søkemønster");
    }
}

TEST_F(AppMngTest, ConfigurationFolderSources) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> files;  // under the temp folder
        std::vector<std::u16string> args;
        fs::path expected;
        bool warned;
    };
    const std::string root = FDir.path().string();
    fs::create_directories(FDir / "cfg2");
    std::vector<Case> cases = {
        {"nothing: program folder", {}, {}, FDir / "prog", false},
        {"/path= argument", {}, {u"/PATH=" + u16(FDir / "cfg")}, FDir / "cfg", false},
        {"/path= missing, falls back", {}, {u"/path=" + u16(FDir / "nowhere")}, FDir / "prog", true},
        {".dir LocalPath", {{"prog/Mirvo.dir", "[Path]\r\nLocalPath = " + root + "/cfg \r\n"}}, {}, FDir / "cfg",
         false},
        {"w.dir before .dir",
         {{"prog/Mirvo.dir", "[Path]\nLocalPath=" + root + "/cfg\n"},
          {"prog/Mirvow.dir", "[path]\nlocalpath=\"" + root + "/cfg2\"\n"}},
         {},
         FDir / "cfg2",
         false},
        {"LocalConfigFile names a second file",
         {{"prog/Mirvo.dir", "[Path]\nLocalConfigFile=" + root + "/second.ini\nLocalPath=" + root + "/cfg\n"},
          {"second.ini", "[Path]\nLocalPath=" + root + "/cfg2\n"}},
         {},
         FDir / "cfg2",
         false},
        {"second file's folder missing: the first file's LocalPath",
         {{"prog/Mirvo.dir", "[Path]\nLocalConfigFile=" + root + "/second.ini\nLocalPath=" + root + "/cfg\n"},
          {"second.ini", "[Path]\nLocalPath=" + root + "/gone\n"}},
         {},
         FDir / "cfg",
         true},
        {"/path= wins over a redirect file",
         {{"prog/Mirvo.dir", "[Path]\nLocalPath=" + root + "/cfg\n"}},
         {u"/path=" + u16(FDir / "cfg2") + u"/"},
         FDir / "cfg2",
         false},
    };
    for (const auto& c : cases) {
        for (const char* f : {"prog/Mirvo.dir", "prog/Mirvow.dir", "second.ini"}) fs::remove(FDir / f);
        for (const auto& [file, text] : c.files) writeBytes(FDir / file, text);
        auto m = local(c.args);
        EXPECT_EQ(m->getDefaultCfgDir(), dirText(c.expected)) << c.name;
        EXPECT_EQ(m->getCfgIniFile(), dirText(c.expected) + u"Mirvo.ini") << c.name;
        EXPECT_EQ(m->hasCustomCfg(), c.expected != FDir / "prog") << c.name;
        ASSERT_EQ(m->startupWarning().has_value(), c.warned) << c.name;
        if (c.warned) {
            EXPECT_EQ(m->startupWarning()->text, u"Angitt katalog for applikasjonskonfigurasjon eksisterer ikke!");
            EXPECT_EQ(m->startupWarning()->caption, u"Mirvo - ADVARSEL");
        }
    }
}

TEST_F(AppMngTest, MisinstallationIsCleanedUpKeepingConfiguration) {
    writeBytes(FDir / "prog/libmirvo32.so", "lib");
    for (const char* f : {"cfg/Mirvo", "cfg/libmirvo32.so", "cfg/Configurations.xml", "cfg/Mirvo.ini", "cfg/sak.mvs",
                          "cfg/libother.so"})
        writeBytes(FDir / f, "x");
    auto m = local({u"/path=" + u16(FDir / "cfg")});
    ASSERT_TRUE(m->startupWarning());
    EXPECT_EQ(m->startupWarning()->text,
              u"Det er funnet en feilinstallasjon plassert på " + dirText(FDir / "cfg") +
                  u". Det vil bli foretatt automatisk opprydding for at den sentrale installasjonen skal fungere "
                  u"korrekt");
    EXPECT_FALSE(fs::exists(FDir / "cfg/Mirvo"));
    EXPECT_FALSE(fs::exists(FDir / "cfg/libmirvo32.so"));
    for (const char* f : {"cfg/Configurations.xml", "cfg/Mirvo.ini", "cfg/sak.mvs", "cfg/libother.so"})
        EXPECT_TRUE(fs::exists(FDir / f)) << f;
    EXPECT_EQ(m->cleanedUpFiles().size(), 2u);
    // The program folder itself is never a misinstallation.
    writeBytes(FDir / "prog/Configurations.xml", "");
    EXPECT_FALSE(local()->startupWarning());
}

TEST_F(AppMngTest, Writability) {
    auto m = local();
    writeBytes(FDir / "prog/existing.txt", "x");
    EXPECT_TRUE(m->canWriteToFile(u16(FDir / "prog/existing.txt")));
    EXPECT_TRUE(m->canWriteToFile(u16(FDir / "prog/new.txt")));
    EXPECT_FALSE(m->canWriteToFile(u16(FDir / "missing/new.txt")));
    EXPECT_TRUE(m->canUserPerformInstallation());
    EXPECT_FALSE(local({u"/path=" + u16(FDir / "cfg")})->canUserPerformInstallation());
    EXPECT_EQ(m->getWritableDir(TDirKind::dExe), dirText(FDir / "prog"));
}

TEST_F(AppMngTest, RegistrationsWriteADesktopFileAndAMimeType) {
    auto m = local();
    m->registerAppPath();
    fs::path desktop = FDir / "home/.local/share/applications/kavelin-mirvo.desktop";
    std::string exe = (FDir / "prog/Mirvo").string();
    EXPECT_EQ(readBytes(desktop), "[Desktop Entry]\nType=Application\nName=Mirvo\nExec=\"" + exe + "\" %f\nPath=" +
                                      (FDir / "prog").string() + "/\nTerminal=false\n");
    EXPECT_TRUE(m->registerFileAssociation(u"mvs", u"Mirvo saksdata & mer"));
    EXPECT_NE(readBytes(desktop).find("MimeType=application/x-mirvo-mvs;\n"), std::string::npos);
    std::string package = readBytes(FDir / "home/.local/share/mime/packages/kavelin-mirvo-mvs.xml");
    EXPECT_NE(package.find("<mime-type type=\"application/x-mirvo-mvs\">"), std::string::npos);
    EXPECT_NE(package.find("<comment>Mirvo saksdata &amp; mer</comment>"), std::string::npos);
    EXPECT_NE(package.find("<glob pattern=\"*.mvs\"/>"), std::string::npos);
    // Registering the path again keeps the association.
    m->registerAppPath();
    EXPECT_NE(readBytes(desktop).find("MimeType=application/x-mirvo-mvs;\n"), std::string::npos);
    // A data folder that cannot be made: the association fails.
    FKnown.localAppData = FDir / "prog/Mirvo/blocked";
    EXPECT_FALSE(local()->registerFileAssociation(u".mvs", u"x"));
}

TEST(KnownFolders, FromTheEnvironment) {
    TempDir dir;
    struct Env {
        const char* name;
        std::string old;
        bool had;
    };
    std::vector<Env> saved;
    auto set = [&](const char* name, const std::string& value) {
        const char* old = std::getenv(name);
        saved.push_back({name, old ? old : "", old != nullptr});
        if (value.empty()) unsetenv(name);
        else setenv(name, value.c_str(), 1);
    };
    set("HOME", dir.path().string());
    set("XDG_CONFIG_HOME", "");
    set("XDG_DATA_HOME", (dir / "data").string());
    set("XDG_DOCUMENTS_DIR", "");
    TKnownFolders k = knownFoldersFromEnvironment();
    EXPECT_EQ(k.roamingAppData, dir / ".config");
    EXPECT_EQ(k.localAppData, dir / "data");
    EXPECT_EQ(k.documents, dir / "Documents");
    fs::create_directories(dir / ".config");
    writeBytes(dir / ".config/user-dirs.dirs", "# comment\nXDG_DESKTOP_DIR=\"$HOME/Skrivebord\"\n"
                                               "XDG_DOCUMENTS_DIR=\"$HOME/Dokumenter\"\n");
    EXPECT_EQ(knownFoldersFromEnvironment().documents, dir.path().string() + "/Dokumenter");
    for (auto it = saved.rbegin(); it != saved.rend(); ++it) {
        if (it->had) setenv(it->name, it->old.c_str(), 1);
        else unsetenv(it->name);
    }
}

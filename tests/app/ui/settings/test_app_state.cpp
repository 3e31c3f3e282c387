#include "app/ui/settings/app_state.h"
#include "app/ui/settings/user_settings.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

using namespace kavelin::utils;
using mirvo::test::readBytes;
using mirvo::test::TempDir;
using mirvo::test::writeBytes;
namespace fs = std::filesystem;

namespace {

class AppStateTest : public ::testing::Test {
protected:
    AppStateTest() {
        for (const char* d : {"prog", "cfg", "docs"}) fs::create_directories(FDir / d);
        writeBytes(FDir / "prog/Mirvo", "");
        writeBytes(FDir / "prog/stdCfg.id", std::string("\x01\x02\x00\x00\xFF", 5));
        TKnownFolders known;
        known.roamingAppData = FDir / "none";
        known.localAppData = FDir / "none";
        known.documents = FDir / "docs";
        FMng = std::make_unique<TAppMng>(
            TAppMngSetup{FDir / "prog/Mirvo", {u"Mirvo", u"/path=" + (FDir / "cfg").u16string()}, known});
    }

    std::u16string path(const char* rel) const { return (FDir / rel).u16string(); }

    TempDir FDir;
    std::unique_ptr<TAppMng> FMng;
};

}  // namespace

TEST(AppMode, ParsedWithoutRegardToCase) {
    EXPECT_EQ(parseAppMode(u"restricted"), TAppMode::Restricted);
    EXPECT_EQ(parseAppMode(u"ADMIN"), TAppMode::Admin);
    EXPECT_EQ(parseAppMode(u"Developer"), TAppMode::Developer);
    EXPECT_EQ(parseAppMode(u"Normal"), TAppMode::Normal);
    EXPECT_EQ(parseAppMode(u"Superuser"), TAppMode::Normal);
    EXPECT_EQ(parseAppMode(u""), TAppMode::Normal);
}

TEST_F(AppStateTest, LoadReadsTheConfigurationFolderFile) {
    writeBytes(FDir / "cfg/Mirvo.ini", "[Application]\rMode=admin\r[Config]\rID=77\rSaved=Nei\r");
    TAppState s(*FMng);
    s.load();
    EXPECT_EQ(s.appMode, TAppMode::Admin);
    EXPECT_EQ(s.cfgID, 77);
    EXPECT_FALSE(s.cfgSaved);
    EXPECT_EQ(s.stdCfgID, 0x0201);  // little-endian, only the first 4 bytes
    EXPECT_TRUE(s.isAdminMode());
    EXPECT_TRUE(s.isCfgNotRegistered());
}

TEST_F(AppStateTest, DefaultsWithoutASettingsFile) {
    TAppState s(*FMng);
    s.appMode = TAppMode::Admin;
    s.cfgID = 5;
    s.load();
    EXPECT_EQ(s.appMode, TAppMode::Normal);
    EXPECT_EQ(s.cfgID, 0);
    EXPECT_TRUE(s.cfgSaved);
    EXPECT_TRUE(s.isUserMode());
    EXPECT_FALSE(s.isCfgNotRegistered());
}

TEST_F(AppStateTest, MissingOrShortStdCfgIdFailsOutsideDeveloperMode) {
    writeBytes(FDir / "prog/stdCfg.id", "abc");
    TAppState s(*FMng);
    try {
        s.load();
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Mirvo finner ikke filen StdCfg.id");
    }
    fs::remove(FDir / "prog/stdCfg.id");
    writeBytes(FDir / "cfg/Mirvo.ini", "[Application]\nMode=Developer\n");
    s.stdCfgID = 9;
    EXPECT_NO_THROW(s.load());
    EXPECT_EQ(s.stdCfgID, 0);
}

TEST_F(AppStateTest, SaveCfgState) {
    TAppState s(*FMng);
    EXPECT_TRUE(s.saveCfgState(1234, false));
    EXPECT_EQ(s.cfgID, 1234);
    EXPECT_FALSE(s.cfgSaved);
    EXPECT_EQ(readBytes(FDir / "cfg/Mirvo.ini"), "[Config]\rID=1234\rSaved=Nei\r\r");
    TAppState again(*FMng);
    again.load();
    EXPECT_EQ(again.cfgID, 1234);
    EXPECT_FALSE(again.cfgSaved);
}

TEST_F(AppStateTest, CfgFileNameByMode) {
    TAppState s(*FMng);
    s.appMode = TAppMode::Normal;
    EXPECT_EQ(s.getCfgFileName(u"Configurations.xml", false), path("cfg/Configurations.xml"));
    EXPECT_EQ(s.getCfgFileName(u"Configurations.xml", true), path("cfg/custom_Configurations.xml"));
    writeBytes(FDir / "cfg/custom_Configurations.xml", "");
    EXPECT_EQ(s.getCfgFileName(u"Configurations.xml", false), path("cfg/custom_Configurations.xml"));
    s.appMode = TAppMode::Admin;
    EXPECT_EQ(s.getCfgFileName(u"Configurations.xml", false), path("cfg/Configurations.xml"));
    EXPECT_EQ(s.getCfgFileName(u"Configurations.xml", true), path("cfg/Configurations.xml"));
}

TEST_F(AppStateTest, ReadOnlyInRestrictedModeEvenWhenWritable) {
    TAppState restricted(*FMng);
    restricted.appMode = TAppMode::Restricted;
    EXPECT_TRUE(restricted.isCfgReadOnly());
    TAppState normal(*FMng);
    EXPECT_FALSE(normal.isCfgReadOnly());
    normal.appMode = TAppMode::Restricted;
    EXPECT_FALSE(normal.isCfgReadOnly());  // computed once and kept
}

TEST_F(AppStateTest, NumberedNamesInTheCaseFolder) {
    TAppState s(*FMng);
    EXPECT_EQ(s.getCaseFolder(), path("docs") + u"/Kavelin/Mirvo/");
    EXPECT_EQ(s.newCaseFileName(), path("docs/Kavelin/Mirvo/Sak1.mvs"));
    writeBytes(FDir / "docs/Kavelin/Mirvo/Sak1.mvs", "");
    EXPECT_EQ(s.newCaseFileName(), path("docs/Kavelin/Mirvo/Sak2.mvs"));
    EXPECT_EQ(s.newExportFileName(), path("docs/Kavelin/Mirvo/FilEksport1.csv"));
}

TEST_F(AppStateTest, UserSettings) {
    const fs::path ini = FDir / "docs/Kavelin/Mirvo/Mirvo.ini";
    {
        TUserSettings settings(*FMng);
        EXPECT_TRUE(settings.defaults());
        EXPECT_TRUE(settings.MainCalcMultiCol());
        settings.setMainCalcMultiCol(true);  // unchanged: nothing written
        EXPECT_FALSE(fs::exists(ini));
        settings.setMainCalcMultiCol(false);
        EXPECT_EQ(readBytes(ini), "[LayoutSettings]\rMainCalcMultiCol=Nei\r\r");
    }
    TUserSettings reloaded(*FMng);
    EXPECT_FALSE(reloaded.defaults());
    EXPECT_FALSE(reloaded.MainCalcMultiCol());
}

#include "app/ui/ini/kav_ini.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

using namespace kavelin::ini;
using mirvo::test::readBytes;
using mirvo::test::TempDir;
using mirvo::test::writeBytes;

namespace {

class KavIniTest : public ::testing::Test {
protected:
    std::filesystem::path file(std::string_view bytes) {
        auto p = FDir / "Mirvo.ini";
        writeBytes(p, bytes);
        return p;
    }
    TempDir FDir;
};

}  // namespace

TEST_F(KavIniTest, KeyLookup) {
    TKavIni ini(file("[S]\r\n  Key=1\r\nKey = 2\r\nother=3\r\n"), TIniOpenMode::imOpen);
    ASSERT_TRUE(ini.SeekSection(u"s"));
    EXPECT_EQ(ini.GetInt(u"KEY"), 2);
    EXPECT_EQ(ini.GetStr(u"Other"), u"3");
    int v = 99;
    EXPECT_FALSE(ini.SeekInt(u"missing", v));
    EXPECT_EQ(v, 99);
    EXPECT_EQ(ini.GetStr(u"missing"), u"");
    EXPECT_EQ(ini.GetFloat(u"missing"), 0.0);
    EXPECT_FALSE(ini.GetBool(u"missing"));
    EXPECT_FALSE(ini.SeekSection(u"none"));
    EXPECT_EQ(ini.Section(), u"S");
}

TEST_F(KavIniTest, SectionHeaders) {
    auto p = file("top=0\n[Config]\nID=1\n[ Config ]\nID=2\n[CONFIG]\nID=3\n[Other] trailing\nk=v\n[Open\nk=w\n");
    TKavIni ini(p, TIniOpenMode::imOpen);
    EXPECT_EQ(ini.GetInt(u"top"), 0);
    EXPECT_EQ(ini.GetStr(u"top"), u"0");
    ASSERT_TRUE(ini.SeekSection(u"config"));
    EXPECT_EQ(ini.GetInt(u"ID"), 1);
    ASSERT_TRUE(ini.SeekSection(u" Config "));
    EXPECT_EQ(ini.GetInt(u"ID"), 2);
    ASSERT_TRUE(ini.SeekSection(u"Other"));
    EXPECT_EQ(ini.GetStr(u"k"), u"v");
    ASSERT_TRUE(ini.SeekSection(u"Open"));
    EXPECT_EQ(ini.GetStr(u"k"), u"w");
    // Writes go to the first of the repeated sections.
    ini.setSection(u"Config");
    ini.SetInt(u"ID", 7);
    ini.Flush();
    EXPECT_EQ(readBytes(p),
              "top=0\r\r[Config]\rID=7\r\r[ Config ]\rID=2\r\r[CONFIG]\rID=3\r\r[Other]\rk=v\r\r[Open]\rk=w\r\r");
}

TEST_F(KavIniTest, RoundTripOfEveryType) {
    auto p = FDir / "new.ini";
    {
        TKavIni ini(p, TIniOpenMode::imOpenCreate);
        EXPECT_TRUE(std::filesystem::exists(p));  // created at once
        ini.setSection(u"LayoutSettings");
        ini.SetBool(u"MainCalcMultiCol", false);
        ini.SetBool(u"Other", true);
        ini.setSection(u"Tall");
        ini.SetFloat(u"Rente", 2.5);
        ini.SetFloat(u"Belop", 1000000);
        ini.SetInt(u"ID", -12);
        ini.SetStr(u"Tekst", u"linje 1\r\nlinje 2\n");
        ini.SetStr(u"Navn", u"Lån æøå");
    }
    EXPECT_EQ(readBytes(p),
              "[LayoutSettings]\rMainCalcMultiCol=Nei\rOther=Ja\r\r"
              "[Tall]\rRente=2,5\rBelop=1000000\rID=-12\rTekst=linje 1 \\n linje 2 \\n \rNavn=L\xE5n \xE6\xF8\xE5\r\r");
    TKavIni ini(p, TIniOpenMode::imOpen);
    ini.SeekSection(u"LayoutSettings");
    bool b = true;
    EXPECT_TRUE(ini.SeekBool(u"MainCalcMultiCol", b));
    EXPECT_FALSE(b);
    EXPECT_TRUE(ini.GetBool(u"Other"));
    ini.SeekSection(u"Tall");
    EXPECT_EQ(ini.GetFloat(u"Rente"), 2.5);
    EXPECT_EQ(ini.GetFloat(u"Belop"), 1000000.0);
    EXPECT_EQ(ini.GetInt(u"ID"), -12);
    EXPECT_EQ(ini.GetStr(u"Tekst"), u"linje 1\r\nlinje 2");
    EXPECT_EQ(ini.GetStr(u"Navn"), u"Lån æøå");
}

TEST_F(KavIniTest, ReplacingAValueKeepsTheLineInPlace) {
    auto p = file("[S]\r\na=1\r\nKey =old\r\nz=2\r\n");
    {
        TKavIni ini(p, TIniOpenMode::imOpen);
        ini.setSection(u"S");
        ini.SetStr(u"KEY", u"new");
        ini.SetStr(u"Added", u"x");
    }
    EXPECT_EQ(readBytes(p), "[S]\ra=1\rKey =new\rz=2\rAdded=x\r\r");
}

TEST_F(KavIniTest, AnyLineEndReadsTheSame) {
    for (std::string_view bytes : {"[A]\r\nk=1\r\n\r\n[B]\r\nk=2", "[A]\nk=1\n\n[B]\nk=2\n", "[A]\rk=1\r\r[B]\rk=2\r"}) {
        TKavIni ini(file(bytes), TIniOpenMode::imOpen);
        ini.SeekSection(u"A");
        EXPECT_EQ(ini.GetInt(u"k"), 1);
        ini.SeekSection(u"B");
        EXPECT_EQ(ini.GetInt(u"k"), 2);
        std::vector<std::u16string> lines;
        ini.SectionToStrings(u"a", lines);
        EXPECT_EQ(lines, std::vector<std::u16string>{u"k=1"});
    }
}

TEST_F(KavIniTest, EncodingsOfTheFile) {
    {
        TKavIni ini(file("\xEF\xBB\xBF[S]\nk=\xC5\x91\n"), TIniOpenMode::imOpen);
        ini.SeekSection(u"S");
        EXPECT_EQ(ini.GetStr(u"k"), u"ő");
    }
    {
        TKavIni ini(file(std::string("\xFF\xFE[\0S\0]\0\n\0k\0=\0\xE6\0", 16)), TIniOpenMode::imOpen);
        ini.SeekSection(u"S");
        EXPECT_EQ(ini.GetStr(u"k"), u"æ");
    }
    // A value without a Windows-1252 byte is not lost: the file becomes UTF-8.
    auto p = file("");
    {
        TKavIni ini(p, TIniOpenMode::imOpen);
        ini.setSection(u"S");
        ini.SetStr(u"k", u"ő€");
    }
    EXPECT_EQ(readBytes(p), "\xEF\xBB\xBF[S]\rk=\xC5\x91\xE2\x82\xAC\r\r");
    TKavIni ini(p, TIniOpenMode::imOpen);
    ini.SeekSection(u"S");
    EXPECT_EQ(ini.GetStr(u"k"), u"ő€");
}

TEST_F(KavIniTest, HandlesShareOneCopyAndTheLastCloseWrites) {
    auto p = file("[S]\rk=1\r");
    auto a = std::make_unique<TKavIni>(p, TIniOpenMode::imOpen);
    auto b = std::make_unique<TKavIni>(FDir.path() / "." / "Mirvo.ini", TIniOpenMode::imOpenCreate);
    a->setSection(u"S");
    b->setSection(u"S");
    a->SetInt(u"k", 2);
    EXPECT_EQ(b->GetInt(u"k"), 2);
    a.reset();
    EXPECT_EQ(readBytes(p), "[S]\rk=1\r");
    b.reset();
    EXPECT_EQ(readBytes(p), "[S]\rk=2\r\r");
    EXPECT_EQ(TIniFileList::instance().openFileCount(), 0u);
}

TEST_F(KavIniTest, UnchangedFilesAreNotWritten) {
    auto p = file("[S]\nk=1\n");
    {
        TKavIni ini(p, TIniOpenMode::imOpen);
        ini.SeekSection(u"S");
        EXPECT_EQ(ini.GetInt(u"k"), 1);
        ini.Flush();
    }
    EXPECT_EQ(readBytes(p), "[S]\nk=1\n");
}

TEST_F(KavIniTest, DeleteSectionMovesOtherHandlesToTheUnnamedSection) {
    auto p = file("top=t\r[A]\rk=a\r[B]\rk=b\r");
    TKavIni one(p, TIniOpenMode::imOpen);
    TKavIni two(p, TIniOpenMode::imOpen);
    two.SeekSection(u"A");
    EXPECT_TRUE(one.DeleteSection(u"a"));
    EXPECT_FALSE(one.DeleteSection(u"a"));
    EXPECT_FALSE(one.DeleteSection(u""));
    EXPECT_EQ(two.Section(), u"");
    EXPECT_EQ(two.GetStr(u"top"), u"t");
    one.Flush();
    EXPECT_EQ(readBytes(p), "top=t\r\r[B]\rk=b\r\r");
    std::vector<std::u16string> lines{u"stale"};
    one.SectionToStrings(u"A", lines);
    EXPECT_TRUE(lines.empty());
}

TEST_F(KavIniTest, OpenFailures) {
    auto missing = FDir / "missing.ini";
    try {
        TKavIni ini(missing, TIniOpenMode::imOpen);
        FAIL();
    } catch (const EIniOpenError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + missing.string());
        EXPECT_EQ(e.code(), ENOENT);
    }
    EXPECT_THROW(TKavIni(FDir / "no" / "dir.ini", TIniOpenMode::imOpenCreate), EIniCreateError);
    std::unique_ptr<TKavIni> ini;
    EXPECT_FALSE(openIni(ini, missing));
    EXPECT_EQ(ini, nullptr);
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_TRUE(openOrCreateIni(ini, missing));
    EXPECT_TRUE(std::filesystem::exists(missing));
}

TEST_F(KavIniTest, FailedWriteKeepsTheErrorAndTheOldFile) {
    auto p = file("[S]\rk=1\r");
    TKavIni ini(p, TIniOpenMode::imOpen);
    ini.setSection(u"S");
    ini.SetStr(u"k", std::u16string(2000, u'x'));
    {
        mirvo::test::FileSizeLimit limit(100);
        ini.Flush();
    }
    EXPECT_EQ(ini.error(), EFBIG);
    EXPECT_EQ(readBytes(p), "[S]\rk=1\r");
    ini.Flush();  // still changed: written now
    EXPECT_EQ(ini.error(), 0);
    EXPECT_EQ(readBytes(p), "[S]\rk=" + std::string(2000, 'x') + "\r\r");
}

TEST_F(KavIniTest, SingleValueHelpers) {
    auto p = FDir / "one.ini";
    EXPECT_EQ(readIniString(p, u"Path", u"LocalPath", u"def"), u"def");
    EXPECT_TRUE(writeIniString(p, u"Path", u"LocalPath", u"/srv/mirvo"));
    EXPECT_EQ(readIniString(p, u"path", u"localpath", u"def"), u"/srv/mirvo");
    EXPECT_EQ(readIniString(p, u"Path", u"Other", u"def"), u"def");
    EXPECT_FALSE(writeIniString(FDir / "no" / "x.ini", u"S", u"k", u"v"));
}

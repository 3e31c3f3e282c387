#include "common/utils/file_utils.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

using namespace kavelin::utils;
using mirvo::test::TempDir;
using mirvo::test::writeBytes;

TEST(FileUtils, OpenWithRetryReadsAndReportsMissingFiles) {
    TempDir dir;
    writeBytes(dir / "f.txt", "abc");
    EXPECT_EQ(readFileWithRetry(dir / "f.txt"), "abc");
    try {
        // Not a busy file: fails at once, without waiting.
        openFileWithRetry(dir / "none.txt", TFileMode::fmOpenRead, 600000);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.code(), ENOENT);
        EXPECT_NE(std::string(e.what()).find("none.txt"), std::string::npos);
    }
}

TEST(FileUtils, DecodeTextFileByMark) {
    EXPECT_EQ(decodeTextFile("a\xE6\x80"), u"aæ€");
    EXPECT_EQ(decodeTextFile("\xEF\xBB\xBF\xC3\xA6"), u"æ");
    EXPECT_EQ(decodeTextFile(std::string("\xFF\xFE\xE6\x00\xAC\x20", 6)), u"æ€");
    EXPECT_EQ(decodeTextFile(std::string("\xFE\xFF\x00\xE6\x20\xAC", 6)), u"æ€");
}

TEST(FileUtils, DirWritable) {
    TempDir dir;
    EXPECT_TRUE(isDirWritable(dir.path()));
    EXPECT_FALSE(std::filesystem::exists(dir / "TESTXXXX.TMP"));
    EXPECT_FALSE(isDirWritable(dir / "missing"));
    EXPECT_FALSE(isDirWritable(""));
}

TEST(FileUtils, NextFreeFileName) {
    TempDir dir;
    auto cases = dir / "Kavelin" / "Mirvo";
    EXPECT_EQ(nextFreeFileName(cases, u"Sak", u".mvs"), cases / "Sak1.mvs");
    EXPECT_TRUE(std::filesystem::is_directory(cases));
    for (int i = 1; i <= 4; ++i) writeBytes(cases / ("Sak" + std::to_string(i) + ".mvs"), "");
    EXPECT_EQ(nextFreeFileName(cases, u"Sak", u".mvs"), cases / "Sak5.mvs");
    for (int i : {1, 3, 4}) std::filesystem::remove(cases / ("Sak" + std::to_string(i) + ".mvs"));
    EXPECT_EQ(nextFreeFileName(cases, u"Sak", u".mvs"), cases / "Sak1.mvs");
    EXPECT_EQ(nextFreeFileName(cases, u"FilEksport", u".csv"), cases / "FilEksport1.csv");
}

TEST(FileUtils, TrailingSeparator) {
    EXPECT_EQ(withTrailingSeparator("/a/b"), u"/a/b/");
    EXPECT_EQ(withTrailingSeparator("/a/b//"), u"/a/b/");
    EXPECT_EQ(withTrailingSeparator("/"), u"/");
}

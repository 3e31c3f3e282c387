#include "app/log/logfile.h"

#include <gtest/gtest.h>

#include <regex>

#include "tests/support/temp_dir.h"

namespace kavelin::log {
namespace {

using namespace std::chrono_literals;
using mirvo::test::readBytes;
using mirvo::test::TempDir;

TEST(LogFile, ElapsedPrefixHasTwoDigitFieldsAndHundredths) {
    struct Case { std::chrono::nanoseconds t; const char* text; };
    for (Case c : {Case{0ns, "[00:00:00:00] "}, Case{1234ms, "[00:00:01:23] "},
                   Case{1h + 2min + 3s + 990ms, "[01:02:03:99] "}, Case{59min + 59s + 999ms, "[00:59:59:99] "},
                   Case{100h, "[100:00:00:00] "}})
        EXPECT_EQ(elapsedPrefix(c.t), c.text);
}

TEST(LogFile, StartLineIsLocalDateAndTime) {
    std::tm t{};
    t.tm_year = 2024 - 1900;
    t.tm_mon = 1;
    t.tm_mday = 29;
    t.tm_hour = 7;
    t.tm_min = 5;
    t.tm_sec = 9;
    t.tm_isdst = -1;
    EXPECT_EQ(startLine(std::mktime(&t)), "StartTime 29.02.2024 07:05:09");
}

TEST(LogFile, RewritesAtFirstWriteAndStampsEveryLine) {
    TempDir dir;
    auto file = dir / "Mirvo.log";
    mirvo::test::writeBytes(file, "old run\n");
    auto start = TLogFile::TClock::now();
    TLogFile log(file, std::time(nullptr), start);
    EXPECT_EQ(readBytes(file), "old run\n");  // nothing happens before the first line
    log.write(u"Første linje", start + 61s + 500ms);
    log.write(u"to\r\nlinjer", start + 2h);
    std::string text = readBytes(file);
    std::regex expected(
        "StartTime \\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d\n"
        "\\[00:01:01:50\\] Første linje\n"
        "\\[02:00:00:00\\] to \\| linjer\n");
    EXPECT_TRUE(std::regex_match(text, expected)) << text;
}

TEST(LogFile, AppendsWhenRewriteIsSwitchedOff) {
    TempDir dir;
    auto file = dir / "Mirvo.log";
    mirvo::test::writeBytes(file, "old run\n");
    TLogFile log(file);
    log.setInitRewrite(false);
    log.write(u"ny");
    EXPECT_EQ(readBytes(file).rfind("old run\nStartTime ", 0), 0u);
}

TEST(LogFile, RewriteOptionCannotChangeOnceWritten) {
    TempDir dir;
    TLogFile log(dir / "Mirvo.log");
    log.setInitRewrite(true);
    log.write(u"x");
    try {
        log.setInitRewrite(false);
        FAIL();
    } catch (const ELogFile& e) {
        EXPECT_STREQ(e.what(), "Kan ikke sette TLogFile property InitRewrite etter at logg er påbegynt");
    }
    EXPECT_TRUE(log.InitRewrite());
}

TEST(LogFile, StopsSilentlyWhenTheFileCannotBeWritten) {
    TempDir dir;
    TLogFile log(dir / "no" / "such" / "Mirvo.log");
    log.write(u"x");
    log.write(u"y");
    EXPECT_TRUE(log.failed());
}

TEST(LogFile, SwitchNeedsASwitchCharacterAndIgnoresCase) {
    EXPECT_TRUE(hasLogSwitch({u"Mirvo", u"/logg"}));
    EXPECT_TRUE(hasLogSwitch({u"Mirvo", u"sak.mvs", u"-LoGg"}));
    EXPECT_FALSE(hasLogSwitch({u"/LOGG"}));  // the program itself
    EXPECT_FALSE(hasLogSwitch({u"Mirvo", u"/LOGGER", u"LOGG.mvs"}));
}

TEST(LogFile, GoesToTheFirstWritableFolder) {
    TempDir a, b;
    mirvo::test::writeBytes(a / "plain-file", "");
    TLogFile* log = startLog(u"Mirvo", {a / "missing", a / "plain-file", {}, b.path()});
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log->fileName(), b.path() / "Mirvo.log");
    logLine(u"hei");
    stopLog();
    EXPECT_NE(readBytes(b / "Mirvo.log").find("] hei\n"), std::string::npos);
    logLine(u"no log: nothing happens");
}

}  // namespace
}  // namespace kavelin::log

// The framework-loan calculator as a host program sees it: only the public header.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "mirvo32.h"

namespace {

class Rammelaan : public ::testing::Test {
protected:
    void SetUp() override { rl = RLinitialize(); }
    void TearDown() override { RLterminate(rl); }

    std::u16string result(const char16_t* id, int32_t param, uint32_t& code, bool fmt = false,
                          uint32_t len = 6000) {
        std::vector<char16_t> buf(len, u'#');
        code = fmt ? RLgetfmtresult_w(rl, id, param, buf.data(), len) : RLgetresult_w(rl, id, param, buf.data(), len);
        return std::u16string(buf.data());
    }

    static std::u16string errorText(uint16_t code) {
        char16_t buf[512];
        RLgeterror_w(code, buf, 512);
        return buf;
    }

    void* rl = nullptr;
};

TEST_F(Rammelaan, OrdinaryGrantHalfUsed) {
    ASSERT_EQ(RLinput_w(rl, u"ORDBEVILGNING=1000000;ORDRENTESATS=6"), 0u);
    uint32_t code = 99;
    EXPECT_EQ(result(u"FORLOP", 50, code), u"50;500000;0;0;30000;0;6,136;6,136");
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(result(u"FORLOP", 50, code, true), u"50;500 000;0;0;30 000;0;6,136;6,136");
    EXPECT_EQ(code, 0u);
    // The formatted flag lasts one call only.
    EXPECT_EQ(result(u"RNT12MDRORD", 50, code), u"30000,000");
    EXPECT_EQ(result(u"VERSJON", 0, code), u"4.00");
    EXPECT_EQ(RLgetVersion(), 400);
}

TEST_F(Rammelaan, NoGrantFailsWithItsText) {
    uint32_t code = 0;
    EXPECT_EQ(result(u"FORLOP", 50, code), u"");
    EXPECT_EQ(code, 101u);
    EXPECT_EQ(errorText(101), u"Bevilgning er ikke angitt!");
}

TEST_F(Rammelaan, InputErrorIsKept) {
    EXPECT_EQ(RLinput_w(rl, u"ORDBEVILGNING=1000000;TRAPPEGRENSETYPE=7"), 107u);
    EXPECT_EQ(errorText(107), u"Ugyldig format på inputfelt!");
    EXPECT_EQ(RLinput_w(rl, u"TRAPPEGRENSETYPE=1"), 0u);
    uint32_t code = 0;
    result(u"VERSJON", 0, code);
    EXPECT_EQ(code, 107u);
}

TEST_F(Rammelaan, StairCheckErrors) {
    ASSERT_EQ(RLinput_w(rl, u"ORDBEVILGNING=1000000;TRAPPERENTESATS=3"), 0u);
    uint32_t code = 0;
    result(u"EFFRNT", 50, code);
    EXPECT_EQ(code, 105u);
    EXPECT_EQ(errorText(105), u"Trappegrense må være angitt når trapperentesats er satt!");
}

TEST_F(Rammelaan, TooSmallReportBufferGivesAGeneratedCode) {
    ASSERT_EQ(RLinput_w(rl, u"ORDBEVILGNING=1000000;ORDRENTESATS=6"), 0u);
    uint32_t code = 0;
    result(u"FORLOPA", 0, code, false, 1000);
    EXPECT_GE(code, 1000u);
    EXPECT_EQ(errorText(uint16_t(code)),
              u"Tovik32.DLL Exception!Probably too small calculation output buffer! Due to internal buffer "
              u"writing optimalization, the buffer size should to be 1 k larger than actually needed.");
    // Kept as the object's error.
    uint32_t later = 0;
    result(u"VERSJON", 0, later);
    EXPECT_EQ(later, code);
}

TEST_F(Rammelaan, AgreementBeyondTheDateRangeGivesAGeneratedCode) {
    ASSERT_EQ(RLinput_w(rl, u"ORDBEVILGNING=1000000;AVTALEPER=200 ÅR"), 0u);
    uint32_t code = 0;
    result(u"EFFRNT", 50, code);
    EXPECT_GE(code, 1000u);
    EXPECT_EQ(errorText(uint16_t(code)), u"Tovik32.DLL Exception!Datoen ligger utenfor gyldig datoområde!");
}

TEST_F(Rammelaan, ReportOfAllDegrees) {
    ASSERT_EQ(RLinput_w(rl, u"ORDBEVILGNING=1000000\r\nORDRENTESATS=6\r\n"), 0u);
    uint32_t code = 99;
    std::u16string text = result(u"FORLOPA", 0, code);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(text.substr(0, 34), u"10;100000;0;0;6000;0;6,136;6,136\n2");
    EXPECT_EQ(std::count(text.begin(), text.end(), u'\n'), 12);
}

}  // namespace

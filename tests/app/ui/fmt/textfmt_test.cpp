#include "app/ui/fmt/textfmt.h"

#include <gtest/gtest.h>

#include "app/ui/fmt/fmterror.h"
#include "common/text/encoding.h"

namespace kavelin::fmt {
namespace {

std::string u8(std::u16string_view s) { return text::toUtf8(s); }

struct Case {
    const char16_t* mask;
    const char16_t* input;
    const char16_t* expected;
};

TEST(TextFmt, ShowsValueTexts) {
    const Case cases[] = {
        {u"T0", u"1234567", u"1 234 567"},
        {u"T0", u"-1234", u"-1 234"},
        {u"T0", u"-123456", u"-123 456"},
        {u"T0", u"0", u"0"},
        {u"T0", u"007", u"7"},
        {u"T0", u"", u""},
        {u"T0", u"abc", u"0"},
        {u"T0", u"1234,6", u"1 235"},
        {u"T0", u"12345678901234567890123", u"12 345 678 901 234 567 890 123"},
        {u"N0", u"1234567", u"1234567"},
        {u"T0H0", u"0", u""},
        {u"T0H0", u"5", u"5"},
        {u"N2", u"2,5", u"2,50"},
        {u"N2", u"2.675", u"2,68"},
        {u"N2", u"0,125", u"0,13"},
        {u"N2", u"-0,001", u"0,00"},
        {u"N2H0", u"0,001", u""},
        {u"T2", u"1234567,891", u"1 234 567,89"},
        {u"T2", u"999,999", u"1 000,00"},
        {u"N2-", u"-3", u"-3,00"},
        {u"T2;100;%", u"0,05", u"5,00 %"},
        {u"T2;100;%", u"0,1234", u"12,34 %"},
        {u"T2H0;100;%", u"0", u""},
        {u"T0;kr", u"1500", u"1 500 kr"},
        {u"N1;0,001", u"2500", u"2,5"},
        {u"##.##", u"1234", u"12.34"},
        {u"##.##", u"12", u"12"},
        {u"##.##", u"123", u"12.3"},
        {u"##.##", u"12.34", u"12.34"},
        {u"{0123456789}###-###", u"123456", u"123-456"},
        {u"###-###{0123456789}", u"123456", u"123-456"},
        {u"DD.MM.YYYY", u"15012024", u"15.01.2024"},
        {u"__ år  __ mnd", u"25 år 6 mnd", u"25 år  6 mnd"},
        {u"__ år  __ mnd", u"10 år", u"10 år"},
        {u"__ år  __ mnd", u"6 mnd", u"6 mnd"},
        {u"__ år  __ mnd", u"", u""},
        {u"__aar __mnd __dgr", u"2aar 6mnd", u"2aar 6mnd"},
        {u"__aar __mnd __dgr", u"2 aar 6 mnd 3 dgr", u"2aar 6mnd 3dgr"},
        {u"A", u"abc", u"abc"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(u8(TTextFmt(c.mask).getMaskedStr(c.input)), u8(c.expected))
            << u8(c.mask) << " / " << u8(c.input);
}

TEST(TextFmt, ReadsDisplayedTextsBack) {
    const Case cases[] = {
        {u"T0", u"1 234 567", u"1234567"},
        {u"T2", u"-1 234,50", u"-1234,50"},
        {u"N2", u"2,50", u"2,50"},
        {u"T2;100;%", u"5,00 %", u"0,05"},
        {u"T2;100;%", u"12,34 %", u"0,1234"},
        {u"T2;100;%", u"", u""},
        {u"T0;m2", u"12 m2", u"12"},
        {u"##.##", u"12.34", u"1234"},
        {u"{ABC}##-##", u"a1-B2", u"aB"},
        {u"{*}###", u"a-1", u"a1"},
        {u"DD.MM.YYYY", u"15.01.2024", u"15012024"},
        {u"__ år  __ mnd", u"5 år", u"5 år"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(u8(TTextFmt(c.mask).getUnmaskedStr(c.input)), u8(c.expected))
            << u8(c.mask) << " / " << u8(c.input);
}

TEST(TextFmt, ValueTextsSurviveARoundTrip) {
    const Case cases[] = {
        {u"T0", u"1234567", nullptr},   {u"T0", u"-5", nullptr},
        {u"T2;100;%", u"0,05", nullptr}, {u"T2;100;%", u"0,1234", nullptr},
        {u"N2", u"2,50", nullptr},       {u"##.##", u"1234", nullptr},
        {u"DD.MM.YYYY", u"31122024", nullptr},
        {u"{0123456789}###-###", u"123456", nullptr},
    };
    for (const Case& c : cases) {
        TTextFmt f(c.mask);
        EXPECT_EQ(u8(f.getUnmaskedStr(f.getMaskedStr(c.input))), u8(c.input)) << u8(c.mask);
    }
}

TEST(TextFmt, ReadsTheMaskLanguage) {
    struct M {
        const char16_t* mask;
        TTextFmtKind kind;
        int decimals;
        TNumAllow allow;
        bool sep, hide0;
        double factor;
        const char16_t* postfix;
    };
    using K = TTextFmtKind;
    using A = TNumAllow;
    const M cases[] = {
        {u"T0", K::fkNum, 0, A::allowPositiveOnly, true, false, 1, u""},
        {u"N", K::fkNum, 0, A::allowPositiveOnly, false, false, 1, u""},
        {u"N2-", K::fkNum, 2, A::allowAll, false, false, 1, u""},
        {u"T2--H0", K::fkNum, 2, A::allowNegativeOnly, true, true, 1, u""},
        {u"T2;100;%", K::fkNumExt, 2, A::allowPositiveOnly, true, false, 100, u"%"},
        {u"T0;kr", K::fkNumExt, 0, A::allowPositiveOnly, true, false, 1, u"kr"},
        {u"T0;;2x", K::fkNumExt, 0, A::allowPositiveOnly, true, false, 1, u"2x"},
        {u"N2;0,01", K::fkNumExt, 2, A::allowPositiveOnly, false, false, 0.01, u""},
        {u"T0;0;%", K::fkNumExt, 0, A::allowPositiveOnly, true, false, 1, u"%"},
        // A postfix with a minus does not open for negative numbers.
        {u"T0;,-", K::fkNumExt, 0, A::allowPositiveOnly, true, false, 1, u",-"},
        {u"##.##", K::fkMasked, 0, A::allowPositiveOnly, false, false, 1, u""},
        {u"{09}##", K::fkMasked, 0, A::allowPositiveOnly, false, false, 1, u""},
        {u"DD.MM.YYYY", K::fkDatetime, 0, A::allowPositiveOnly, false, false, 1, u""},
        {u"hh:nn", K::fkDatetime, 0, A::allowPositiveOnly, false, false, 1, u""},
        {u"__ år", K::fkFillOut, 0, A::allowPositiveOnly, false, false, 1, u""},
        {u"A", K::fkNone, 0, A::allowPositiveOnly, false, false, 1, u""},
        {u"X", K::fkNone, 0, A::allowPositiveOnly, false, false, 1, u""},
    };
    for (const M& c : cases) {
        TTextFmt f(c.mask);
        SCOPED_TRACE(u8(c.mask));
        EXPECT_EQ(f.kind(), c.kind);
        EXPECT_EQ(f.decimals(), c.decimals);
        EXPECT_EQ(f.numAllow(), c.allow);
        EXPECT_EQ(f.numSep(), c.sep);
        EXPECT_EQ(f.numHide0(), c.hide0);
        EXPECT_DOUBLE_EQ(f.numFactor(), c.factor);
        EXPECT_EQ(u8(f.numPostfix()), u8(c.postfix));
    }
    EXPECT_TRUE(TTextFmt(u"A").allowsFreeText());
    EXPECT_FALSE(TTextFmt(u"X").allowsFreeText());
}

TEST(TextFmt, SettingAMaskResetsEverything) {
    TTextFmt f(u"T2--H0;100;%");
    f.setMaxLength(5);
    f.setMask(u"N");
    EXPECT_EQ(f.decimals(), 0);
    EXPECT_EQ(f.numAllow(), TNumAllow::allowPositiveOnly);
    EXPECT_FALSE(f.numHide0());
    EXPECT_EQ(f.numFactor(), 1);
    EXPECT_TRUE(f.numPostfix().empty());
    EXPECT_EQ(f.maxLength(), 0);
}

TEST(TextFmt, NumericControlsBuildMasksThatReadBack) {
    EXPECT_EQ(u8(TTextFmt::numEditMask(true, 0, TNumAllow::allowPositiveOnly, false, 1, u"")), "T0");
    EXPECT_EQ(u8(TTextFmt::numEditMask(false, 2, TNumAllow::allowAll, true, 1, u"")), "N2-H0");
    EXPECT_EQ(u8(TTextFmt::numEditMask(true, 2, TNumAllow::allowPositiveOnly, false, 100, u"%")),
              "T2;100;%");
    EXPECT_EQ(u8(TTextFmt::numEditMask(true, 0, TNumAllow::allowNegativeOnly, false, 1, u"kr")),
              "T0--;kr");
    EXPECT_EQ(u8(TTextFmt::numEditMask(false, 1, TNumAllow::allowPositiveOnly, false, 0.5, u"")),
              "N1;0,5");
    TTextFmt f(TTextFmt::numEditMask(true, 0, TNumAllow::allowPositiveOnly, false, 1, u"2x"));
    EXPECT_EQ(u8(f.numPostfix()), "2x");
    EXPECT_EQ(f.numFactor(), 1);
}

TEST(TextFmt, NormalisesTimePatterns) {
    const Case cases[] = {
        {u"hh.nn", nullptr, u"hh:nn"},
        {u"hh:mm", nullptr, u"hh:nn"},
        {u"hh.mm", nullptr, u"hh:nn"},
        {u"mm:ss", nullptr, u"nn:ss"},
        {u"hhmmss", nullptr, u"hhnnss"},
        {u"DD.MM.YYYY hh:mm", nullptr, u"DD.MM.YYYY hh:nn"},
        {u"MM.YYYY", nullptr, u"MM.YYYY"},
    };
    for (const Case& c : cases) EXPECT_EQ(u8(TTextFmt(c.mask).mask()), u8(c.expected));
}

TEST(TextFmt, DisplayLengths) {
    EXPECT_EQ(TTextFmt(u"T0").calcEditMaxLength(7), 9);          // 1 111 111
    EXPECT_EQ(TTextFmt(u"N2").calcEditMaxLength(3), 6);          // 111,00
    EXPECT_EQ(TTextFmt(u"T2;100;%").calcEditMaxLength(2), 10);   // 1 100,00 %
    EXPECT_EQ(TTextFmt(u"{09}##.##").calcEditMaxLength(9), 5);
    EXPECT_EQ(TTextFmt(u"##.##{09}").calcEditMaxLength(9), 5);
    EXPECT_EQ(TTextFmt(u"DD.MM.YYYY").calcEditMaxLength(3), 10);
    EXPECT_EQ(TTextFmt(u"__ år  __ mnd").calcEditMaxLength(3), 13);
    EXPECT_EQ(TTextFmt(u"A").calcEditMaxLength(12), 12);
    EXPECT_GT(TTextFmt(u"N2").calcEditMaxLength(100000), 300);
}

TEST(TextFmt, RejectsFillOutMasksWithoutPairs) {
    for (auto mask : {u"__ år__", u"__", u"___ år ____"}) {
        try {
            TTextFmt f(mask);
            ADD_FAILURE() << u8(mask);
        } catch (const EFmtError& e) {
            EXPECT_STREQ(e.what(),
                         "Fill out mask must always contains pairs of filler indicator (underscore) "
                         "and fixed mask text");
        }
    }
}

TEST(TextFmt, BaseFormatOffersNoConversion) {
    TCustomFmt base;
    try {
        base.getMaskedStr(u"1");
        ADD_FAILURE();
    } catch (const EFmtError& e) {
        EXPECT_STREQ(e.what(), "Not supported! ");
    }
    EXPECT_THROW(base.getUnmaskedStr(u"1"), EFmtError);
}

TEST(TextFmt, ClassLevelConversions) {
    EXPECT_EQ(u8(getMaskedStr(u"1234", u"T0")), "1 234");
    EXPECT_EQ(u8(getUnmaskedStr(u"1 234", u"T0")), "1234");
}

}  // namespace
}  // namespace kavelin::fmt

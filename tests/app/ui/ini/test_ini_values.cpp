#include "app/ui/ini/ini_values.h"

#include "common/text/encoding.h"

#include <gtest/gtest.h>

using namespace kavelin::ini;

TEST(IniValues, FloatsAreWrittenWithADecimalComma) {
    struct Case {
        double v;
        std::u16string_view text;
    } cases[] = {{2.5, u"2,5"},          {3, u"3"},       {-0.125, u"-0,125"}, {1000000, u"1000000"},
                 {0.1 + 0.2, u"0,3"},    {1e-7, u"0"},    {-1e-7, u"0"},       {123.4567891, u"123,456789"},
                 {0.000001, u"0,000001"}};
    for (const auto& c : cases) EXPECT_EQ(formatIniFloat(c.v), c.text) << c.v;
}

TEST(IniValues, FloatsAreReadWithCommaOrPoint) {
    struct Case {
        std::u16string_view text;
        double v;
    } cases[] = {{u"2,5", 2.5},   {u"2.5", 2.5}, {u" -0,125 ", -0.125}, {u"1 234,5", 0}, {u"abc", 0},
                 {u"", 0},        {u"1e3", 1000}, {u"+4", 4},           {u"2,5x", 0},    {u"inf", 0}};
    for (const auto& c : cases) EXPECT_EQ(parseIniFloat(c.text), c.v) << kavelin::text::toUtf8(c.text);
}

TEST(IniValues, Integers) {
    EXPECT_EQ(parseIniInt(u"12"), 12);
    EXPECT_EQ(parseIniInt(u"-7"), -7);
    EXPECT_EQ(parseIniInt(u"1x"), 0);
    EXPECT_EQ(parseIniInt(u""), 0);
    EXPECT_EQ(parseIniInt(u"99999999999"), 0);
    EXPECT_EQ(formatIniInt(-42), u"-42");
}

TEST(IniValues, Booleans) {
    for (std::u16string_view t : {u"Ja", u"J", u"Yes", u"x", u"True", u"1", u"sann", u"ja"})
        EXPECT_TRUE(parseIniBool(t)) << kavelin::text::toUtf8(t);
    for (std::u16string_view t : {u"Nei", u"No", u"0", u"Usann", u"False", u"", u"?"})
        EXPECT_FALSE(parseIniBool(t)) << kavelin::text::toUtf8(t);
    EXPECT_EQ(formatIniBool(true), u"Ja");
    EXPECT_EQ(formatIniBool(false), u"Nei");
}

TEST(IniValues, LineBreaksInStrings) {
    EXPECT_EQ(encodeIniString(u"a\r\nb\rc\nd"), u"a \\n b \\n c \\n d");
    EXPECT_EQ(decodeIniString(u"a \\n b \\n c"), u"a\r\nb\r\nc");
    EXPECT_EQ(decodeIniString(encodeIniString(u"end\r\n")), u"end");
    EXPECT_EQ(decodeIniString(u"  C:\\nye  "), u"C:\\nye");
}

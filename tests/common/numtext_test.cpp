#include <gtest/gtest.h>

#include "common/text/numtext.h"

#include <climits>
#include <string>

using kavelin::text::fixedText;
using kavelin::text::intText;

TEST(NumText, FixedPointRoundsHalfToEvenAndDropsTheSignOfZero) {
    struct Case {
        double v;
        int des;
        std::u16string_view ut;
    } cases[] = {
        {2.5, 0, u"2"},          {3.5, 0, u"4"},       {-2.5, 0, u"-2"},    {-0.4, 0, u"0"},
        {1234567.5, 0, u"1234568"}, {1e16, 0, u"10000000000000000"},      {0.125, 2, u"0,12"},
        {2.675, 2, u"2,67"},     {-0.001, 2, u"0,00"}, {1234.5, 2, u"1234,50"}, {4.5, 3, u"4,500"},
    };
    for (const auto& c : cases) EXPECT_EQ(fixedText(c.v, c.des, u','), c.ut) << c.v;
    EXPECT_EQ(intText(-42), u"-42");
    EXPECT_EQ(intText(7, 3), u"007");
    EXPECT_EQ(intText(-9223372036854775807LL - 1), u"-9223372036854775808");
}

TEST(NumText, GroupedDigits) {
    struct Tilfelle {
        long long n;
        const char16_t* tekst;
    };
    const Tilfelle tilfeller[] = {{0, u"0"},
                                  {7, u"7"},
                                  {999, u"999"},
                                  {1000, u"1 000"},
                                  {-1000, u"-1 000"},
                                  {-999, u"-999"},
                                  {1234567, u"1 234 567"},
                                  {100000, u"100 000"},
                                  {LLONG_MIN, u"-9 223 372 036 854 775 808"}};
    for (const auto& t : tilfeller) {
        char16_t buf[32];
        char16_t* end = buf + 32;
        const char16_t* p = kavelin::text::groupedIntChars(t.n, u' ', end);
        EXPECT_EQ(std::u16string(p, size_t(end - p)), std::u16string(t.tekst)) << t.n;
    }
}

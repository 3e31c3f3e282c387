#include "app/ui/fmt/numtext.h"

#include <gtest/gtest.h>

namespace kavelin::fmt {
namespace {

TEST(NumText, ReadsCommaOrPointAndGivesNothingForJunk) {
    EXPECT_EQ(tryReadNumber(u"2,5"), 2.5);
    EXPECT_EQ(tryReadNumber(u" -1.25 "), -1.25);
    EXPECT_EQ(tryReadNumber(u"1e3"), 1000.0);
    for (auto bad : {u"", u"-", u",", u"1,2,3", u"1 234", u"inf", u"nan", u"12a", u"1e", u"1e999"})
        EXPECT_FALSE(tryReadNumber(bad)) << std::string(bad, bad + std::char_traits<char16_t>::length(bad));
    EXPECT_EQ(readNumber(u"abc"), 0.0);
}

}  // namespace
}  // namespace kavelin::fmt

#include "app/ui/calculator/kalkulator.h"

#include <gtest/gtest.h>

#include "common/text/encoding.h"

namespace kavelin::calculator {
namespace {

std::string u8(std::u16string_view s) { return text::toUtf8(s); }

struct KalkulatorTest : ::testing::Test {
    TKalkulator k;
    void type(std::u16string_view keys) {
        for (char16_t c : keys) k.keyPress(c);
    }
};

TEST(KalkulatorFormat, ResultTexts) {
    const std::pair<double, const char*> cases[] = {
        {7, "7"},           {2.5, "2,5"},          {1.0 / 3, "0,3333"},
        {-2.00004, "-2"},   {-0.00001, "0"},       {9999.5, "9999,5"},
        {12345.6, "12 345,6"}, {-1234567.891, "-1 234 567,891"},
        {1e14, "100 000 000 000 000"}, {1e15, "OVERFLOW"},  // 21 characters
    };
    for (auto [v, text] : cases) EXPECT_EQ(u8(formatResult(v)), text) << v;
    EXPECT_EQ(u8(kalkulatorCaption(u"Mirvo")), "Mirvo  -  Kalkulator");
}

TEST_F(KalkulatorTest, LiveResultAndItsColour) {
    type(u"1+2*3");
    EXPECT_EQ(u8(k.expression()), "1+2•3");
    EXPECT_EQ(u8(k.resultText()), "7");
    EXPECT_EQ(k.resultState(), TResultState::Normal);
    k.press(TKnapp::BlankUt);
    type(u"(1+2");
    EXPECT_EQ(u8(k.resultText()), "3");
    EXPECT_EQ(k.resultState(), TResultState::Warning);
    type(u")");
    EXPECT_EQ(k.resultState(), TResultState::Normal);
    k.press(TKnapp::BlankUt);
    type(u"1+2)");
    EXPECT_EQ(u8(k.resultText()), "ERROR");
    EXPECT_EQ(k.resultState(), TResultState::Error);
    EXPECT_FALSE(k.result());
    k.press(TKnapp::BlankUt);
    type(u"1+2");
    EXPECT_EQ(u8(k.resultText()), "3");
    EXPECT_EQ(k.resultState(), TResultState::Normal);
    type(u"+");
    EXPECT_EQ(u8(k.resultText()), "3");  // completed: the trailing "+" is left out
    EXPECT_EQ(k.resultState(), TResultState::Warning);
    type(u"/0");
    EXPECT_EQ(u8(k.resultText()), "ERROR");
}

TEST_F(KalkulatorTest, TypingRules) {
    type(u",5+x");
    EXPECT_EQ(u8(k.expression()), "0,5•");  // "+" replaced by "x" entered as "•"
    EXPECT_EQ(k.resultState(), TResultState::Warning);
    type(u"4.");
    EXPECT_EQ(u8(k.expression()), "0,5•4,");
    EXPECT_EQ(u8(k.resultText()), "2");
    EXPECT_FALSE(k.keyPress(u'a'));
    EXPECT_FALSE(k.keyPress(u'='));
    EXPECT_EQ(u8(k.expression()), "0,5•4,");
    type(u"\b\b");
    EXPECT_EQ(u8(k.expression()), "0,5•");
    k.setSelection(0, 3);
    type(u"7");
    EXPECT_EQ(u8(k.expression()), "7•");
    k.press(TKnapp::Slett);
    EXPECT_EQ(u8(k.expression()), "7");
    EXPECT_EQ(k.caret(), 1);
}

TEST_F(KalkulatorTest, PercentStep) {
    type(u"200+10");
    EXPECT_TRUE(k.prosentEnabled());
    EXPECT_TRUE(k.keyPress(u'%'));
    EXPECT_EQ(u8(k.expression()), "200+20");
    EXPECT_EQ(u8(k.resultText()), "220");
    k.setSelection(2, 0);
    EXPECT_FALSE(k.press(TKnapp::Prsnt));  // caret not at the end
    k.setSelection(6, 0);
    type(u"+");
    EXPECT_FALSE(k.press(TKnapp::Prsnt));  // ends with an operator
    k.press(TKnapp::BlankUt);
    type(u"2^3");
    EXPECT_FALSE(k.press(TKnapp::Prsnt));
    k.press(TKnapp::BlankUt);
    EXPECT_FALSE(k.press(TKnapp::Prsnt));
    type(u"50000+1,5");
    EXPECT_TRUE(k.press(TKnapp::Prsnt));
    EXPECT_EQ(u8(k.expression()), "50000+750");
}

TEST_F(KalkulatorTest, EqualsAndHandBack) {
    type(u"12345,6789+1");
    EXPECT_EQ(u8(k.resultText()), "12 346,6789");
    EXPECT_TRUE(k.press(TKnapp::ErLik));
    EXPECT_EQ(u8(k.expression()), "12346,6789");
    EXPECT_EQ(k.caret(), 10);
    EXPECT_DOUBLE_EQ(*k.result(), 12346.6789);
    k.press(TKnapp::BlankUt);
    type(u"1/0");
    EXPECT_FALSE(k.press(TKnapp::ErLik));
    EXPECT_EQ(u8(k.expression()), "1/0");
}

TEST_F(KalkulatorTest, StartsWithTheFieldsValueAndOperator) {
    k.start(1234.5, u"*");
    EXPECT_EQ(u8(k.expression()), "1234,5•");
    EXPECT_EQ(u8(k.resultText()), "1234,5");
    type(u"2");
    EXPECT_DOUBLE_EQ(*k.result(), 2469);
    k.start(0, u"+");
    EXPECT_EQ(u8(k.expression()), "");
    EXPECT_EQ(u8(k.resultText()), "0");
}

TEST_F(KalkulatorTest, ButtonsAndHugeInput) {
    k.pressDigit(4);
    k.press(TKnapp::Mult);
    k.press(TKnapp::PrntsStart);
    k.pressDigit(1);
    k.press(TKnapp::Pkt);
    k.pressDigit(5);
    k.press(TKnapp::Sub);
    k.pressDigit(1);
    k.press(TKnapp::PrntsStopp);
    k.press(TKnapp::Div);
    k.pressDigit(2);
    EXPECT_EQ(u8(k.expression()), "4•(1,5-1)/2");
    EXPECT_EQ(u8(k.resultText()), "1");
    k.setEditText(std::u16string(400, u'9'), 400);
    EXPECT_EQ(k.resultState(), TResultState::Error);
    k.setEditText(std::u16string(5000, u'(') + u"1", 5001);
    EXPECT_EQ(u8(k.resultText()), "ERROR");
    k.setEditText(u"99999999*99999999", 17);
    EXPECT_EQ(u8(k.resultText()), "OVERFLOW");
    EXPECT_FALSE(k.result());
}

}  // namespace
}  // namespace kavelin::calculator

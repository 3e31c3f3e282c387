#include "app/ui/fmt/editfilter.h"

#include <gtest/gtest.h>

#include "common/text/encoding.h"

namespace kavelin::fmt {
namespace {

std::string u8(std::u16string_view s) { return text::toUtf8(s); }

struct FakeEdit : TEditOwner {
    std::u16string t;
    int start = 0, length = 0;
    std::u16string clipboard;
    int width = 0;
    std::u16string text() const override { return t; }
    void setText(const std::u16string& s) override { t = s; }
    int selStart() const override { return start; }
    int selLength() const override { return length; }
    void setSelection(int s, int l) override { start = s, length = l; }
    void copyToClipboard(const std::u16string& s) override { clipboard = s; }
    int widthInChars() const override { return width; }
};

struct EditFilterTest : ::testing::Test {
    FakeEdit edit;
    TEditFilter filter{&edit};
    void TearDown() override { installCalculator(nullptr); }
    void type(std::u16string_view keys) {
        for (char16_t c : keys) filter.KeyPress(c);
    }
};

TEST_F(EditFilterTest, NewFilterTakesAnyTextWithoutLimit) {
    EXPECT_EQ(u8(filter.mask()), "A");
    EXPECT_TRUE(filter.enabled());
    EXPECT_EQ(filter.maxLength(), 0);
    type(u"Lån 1");
    EXPECT_EQ(u8(edit.t), "Lån 1");
    filter.setEnabled(false);
    EXPECT_FALSE(filter.KeyPress(u'x'));
}

TEST_F(EditFilterTest, TypingReplacesTheSelection) {
    filter.setMask(u"T0");
    type(u"1234");
    EXPECT_EQ(u8(edit.t), "1 234");
    edit.setSelection(0, 5);
    type(u"9");
    EXPECT_EQ(u8(edit.t), "9");
    EXPECT_EQ(edit.start, 1);
    EXPECT_EQ(u8(filter.str()), "9");
}

TEST_F(EditFilterTest, ShiftDeleteCopiesTheSelection) {
    filter.setMask(u"T0");
    filter.setValue(u"1234567");
    EXPECT_EQ(u8(edit.t), "1 234 567");
    edit.setSelection(2, 3);
    EXPECT_TRUE(filter.KeyDown(TEditKey::Delete, true, false));
    EXPECT_EQ(u8(edit.clipboard), "234");
    EXPECT_EQ(u8(edit.t), "1 567");
}

TEST_F(EditFilterTest, TabWalksTheNumberFieldsOfAPeriod) {
    filter.setMask(u"__ år  __ mnd");
    type(u"5");
    EXPECT_EQ(u8(edit.t), "5 år  _ mnd");
    EXPECT_TRUE(filter.KeyDown(TEditKey::Tab, false, false));
    EXPECT_EQ(edit.start, 6);
    EXPECT_EQ(edit.length, 1);
    type(u"3");
    EXPECT_EQ(u8(edit.t), "5 år  3 mnd");
    EXPECT_FALSE(filter.KeyDown(TEditKey::Tab, false, false));  // leaves the control
    EXPECT_TRUE(filter.KeyDown(TEditKey::Tab, true, false));
    EXPECT_EQ(edit.start, 0);
    filter.KillFocus();
    EXPECT_EQ(u8(edit.t), "5 år  3 mnd");
    EXPECT_FALSE(TEditFilter(&edit).KeyDown(TEditKey::Tab, false, false));
}

TEST_F(EditFilterTest, NarrowControlLimitsTypingButNeverCutsAValue) {
    edit.width = 3;
    filter.setMask(u"N0");
    filter.setValue(u"123456");
    EXPECT_EQ(u8(edit.t), "123456");
    edit.setSelection(6, 0);
    type(u"7");
    EXPECT_EQ(u8(edit.t), "123456");
}

TEST_F(EditFilterTest, CtrlKeyOpensTheCalculatorWithTheShownNumber) {
    filter.setMask(u"T2;100;%");
    filter.setValue(u"0,05");
    EXPECT_EQ(u8(edit.t), "5,00 %");
    EXPECT_FALSE(filter.KeyDown(TEditKey::Other, false, true, 107));  // none installed
    double seen = 0;
    std::u16string op;
    installCalculator([&](double& v, std::u16string_view o) {
        seen = v;
        op = o;
        v = 7.5;
        return true;
    });
    EXPECT_TRUE(filter.KeyDown(TEditKey::Other, false, true, 107));
    EXPECT_DOUBLE_EQ(seen, 5);
    EXPECT_EQ(u8(op), "+");
    EXPECT_EQ(u8(edit.t), "7,50 %");
    EXPECT_EQ(u8(filter.str()), "0,075");
    EXPECT_FALSE(filter.KeyDown(TEditKey::Other, false, true, 65));  // Ctrl+A is no operator
    installCalculator([](double& v, std::u16string_view) { v = 99; return false; });
    EXPECT_TRUE(filter.KeyDown(TEditKey::Other, false, true, 123));
    EXPECT_EQ(u8(edit.t), "7,50 %");  // cancelled: unchanged
}

TEST(CalculatorKeys, VirtualKeysToOperators) {
    const std::pair<int, const char*> cases[] = {{47, "/"},  {55, "/"},  {111, "/"}, {106, "*"},
                                                 {191, "*"}, {107, "+"}, {187, "+"}, {109, "-"},
                                                 {189, "-"}, {123, ""}};
    for (auto [vk, op] : cases) EXPECT_EQ(u8(calculatorOperatorForKey(vk).value()), op) << vk;
    EXPECT_FALSE(calculatorOperatorForKey(65));
}

}  // namespace
}  // namespace kavelin::fmt

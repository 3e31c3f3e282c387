#include "app/ui/fmt/textfilter.h"

#include <gtest/gtest.h>

#include "app/ui/fmt/fillout.h"
#include "app/ui/fmt/masktext.h"
#include "common/text/encoding.h"

namespace kavelin::fmt {
namespace {

std::string u8(std::u16string_view s) { return text::toUtf8(s); }

// Types the characters one by one at the end; stops at the first refusal.
std::string typed(const TTextFilter& f, std::u16string_view keys, std::u16string start = u"") {
    std::u16string t = std::move(start);
    for (char16_t c : keys) {
        int caret = int(t.size());
        if (!f.validateCharInsert(t, c, caret)) break;
        EXPECT_LE(caret, int(t.size()));
    }
    return u8(t);
}

TEST(TextFilterTyping, BuildsTheEditingFormWhileTyping) {
    struct C {
        const char16_t* mask;
        const char16_t* keys;
        const char* expected;
    };
    const C cases[] = {
        {u"T0", u"1234567", "1 234 567"},
        {u"T0", u"0005", "5"},
        {u"N2", u"12.5", "12,5"},
        {u"N2", u",5", "0,5"},
        {u"N2", u"12,555", "12,55"},          // a third decimal is refused
        {u"N2", u"1,2,", "1,2"},              // so is a second separator
        {u"T0", u"12,5", "12"},               // no decimals at all
        {u"T0", u"-5", ""},                   // positive only
        {u"N0-", u"-5", "-5"},
        {u"T2--", u"5", "-5"},
        {u"T2;100;%", u"12,5", "12,5 %"},
        {u"##.##", u"12345", "12.34"},        // the fifth character has no place
        {u"{AB}##", u"aBc", "aB"},
        {u"DD.MM.YYYY", u"150120245", "15.01.2024"},
        {u"DD.MM.YYYY", u"1.5.2024", "15.20.24"},  // separators not kept: digits only
        {u"DD.MM.YYYY", u"15x", "15."},
        {u"hh:nn", u"0930", "09:30"},
        {u"__ år  __ mnd", u"5", "5 år  _ mnd"},
        {u"__ år  __ mnd", u"5a", "5 år  _ mnd"},
        {u"A", u"Hei på deg!", "Hei på deg!"},
        {u"X", u"abc", ""},
    };
    for (const C& c : cases) EXPECT_EQ(typed(TTextFilter(c.mask), c.keys), c.expected) << u8(c.mask);
}

TEST(TextFilterTyping, DatePatternBuildsItsPointsDigitByDigit) {
    TTextFilter f(u"DD.MM.YYYY");
    f.setSaveLiterals(true);
    const char* steps[] = {"1", "15.", "15.0", "15.01.", "15.01.2", "15.01.20", "15.01.202", "15.01.2024"};
    std::u16string t;
    int caret = 0;
    const char16_t digits[] = u"15012024";
    for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE(f.validateCharInsert(t, digits[i], caret));
        EXPECT_EQ(u8(t), steps[i]);
    }
    t.clear();
    caret = 0;
    for (char16_t c : std::u16string_view(u"1.5.2024")) ASSERT_TRUE(f.validateCharInsert(t, c, caret));
    EXPECT_EQ(u8(t), "1.5.2024");
    EXPECT_TRUE(f.validateCharInsert(t = u"15", u'.', caret = 2));
    EXPECT_FALSE(f.validateCharInsert(t = u"15", u'a', caret = 2));
}

TEST(TextFilterTyping, SignsAndSeparatorsInTheMiddle) {
    TTextFilter f(u"N2-");
    std::u16string t = u"12";
    int caret = 1;
    EXPECT_FALSE(f.validateCharInsert(t, u'-', caret));  // not first
    caret = 0;
    EXPECT_TRUE(f.validateCharInsert(t, u'-', caret));
    EXPECT_EQ(u8(t), "-12");
    caret = 0;
    EXPECT_FALSE(f.validateCharInsert(t, u'-', caret));  // not the only one
    t = u"12,5";
    caret = 4;
    EXPECT_FALSE(f.validateCharInsert(t, u',', caret));
    EXPECT_EQ(u8(t), "12,5");  // refused: text unchanged
    t = u"";
    caret = 0;
    EXPECT_TRUE(f.validateCharInsert(t, u',', caret));
    EXPECT_EQ(u8(t), "0,");
    EXPECT_EQ(caret, 2);
}

TEST(TextFilterTyping, CaretFollowsTheGrouping) {
    TTextFilter f(u"T0");
    std::u16string t = u"1 234";
    int caret = 4;  // after the 3
    ASSERT_TRUE(f.validateCharInsert(t, u'5', caret));
    EXPECT_EQ(u8(t), "12 354");
    EXPECT_EQ(caret, 5);  // still after the 5
    TTextFilter pct(u"T2;100;%");
    t = u"5 %";
    caret = 3;  // in the postfix: typing goes to the number's end
    ASSERT_TRUE(pct.validateCharInsert(t, u'0', caret));
    EXPECT_EQ(u8(t), "50 %");
    EXPECT_EQ(caret, 2);
}

TEST(TextFilterTyping, LengthLimits) {
    TTextFilter f(u"N0");
    f.setMaxLength(3);
    EXPECT_EQ(typed(f, u"12345"), "123");
    f.setMaxLength(-3);  // counts by its absolute value
    EXPECT_EQ(typed(f, u"12345"), "123");
    TTextFilter g(u"T0");
    g.setMaxLength(4);
    EXPECT_EQ(typed(g, u"12345"), "123");  // "1 234" would be five characters
    TTextFilter h(u"A");
    std::u16string t = u"abc";
    int caret = 3;
    EXPECT_FALSE(h.validateCharInsert(t, u'd', caret, 3));  // the control's limit
}

TEST(TextFilterDeleting, ReformatsAndKeepsTheCaretAtTheDeletedPlace) {
    struct C {
        const char16_t* mask;
        const char16_t* text;
        int selStart, selLength;
        bool backspace;
        const char* expected;
        int caret;
    };
    const C cases[] = {
        {u"T0", u"1 234 567", 7, 0, true, "123 467", 5},
        {u"T0", u"1 234", 2, 0, true, "234", 0},        // over the blank: the digit goes
        {u"T0", u"1 234", 1, 0, false, "134", 1},
        {u"N2", u"12,5", 3, 0, true, "125", 2},
        {u"T0", u"1 234 567", 0, 5, false, "567", 0},
        {u"T2;100;%", u"5,25 %", 0, 6, false, "", 0},   // the postfix is never kept alone
        {u"T2;100;%", u"5,25 %", 6, 0, true, "5,25 %", 4},
        {u"##.##", u"12.34", 0, 0, false, "23.4", 0},
        {u"__ år  __ mnd", u"5 år  6 mnd", 7, 0, true, "5 år  _ mnd", 6},
        {u"__ år  __ mnd", u"12 år", 0, 0, false, "2 år  _ mnd", 0},
        {u"__ år  __ mnd", u"5 år  6 mnd", 3, 0, true, "5 år  6 mnd", 2},  // units stay
        {u"T0", u"", 0, 0, true, "", 0},
    };
    for (const C& c : cases) {
        TEditResult r = TTextFilter(c.mask).deleteChars(c.text, c.selStart, c.selLength, c.backspace);
        EXPECT_EQ(u8(r.text), c.expected) << u8(c.mask) << " / " << u8(c.text);
        EXPECT_EQ(r.caret, c.caret) << u8(c.mask) << " / " << u8(c.text);
    }
}

TEST(TextFilterFocus, EnteringAndLeaving) {
    EXPECT_EQ(u8(TTextFilter(u"T0H0").focusLeaveText(u"0")), "");
    EXPECT_EQ(u8(TTextFilter(u"N2").focusLeaveText(u"2,5")), "2,50");
    EXPECT_EQ(u8(TTextFilter(u"N2").focusLeaveText(u"0,")), "0,00");
    EXPECT_EQ(u8(TTextFilter(u"N2").focusLeaveText(u"")), "");
    EXPECT_EQ(u8(TTextFilter(u"__ år  __ mnd").focusEnterText(u"10 år")), "10 år  _ mnd");
    EXPECT_EQ(u8(TTextFilter(u"__ år  __ mnd").focusLeaveText(u"5 år  _ mnd")), "5 år");
}

TEST(TextFilterValues, NumbersThroughFactorAndPostfix) {
    TTextFilter f(u"T2;100;%");
    f.setStr(u"0,05");
    EXPECT_EQ(u8(f.fmtStr()), "5,00 %");
    EXPECT_DOUBLE_EQ(f.asFloat(), 0.05);
    f.setAsFloat(0.0525);
    EXPECT_EQ(u8(f.fmtStr()), "5,25 %");
    EXPECT_EQ(u8(f.str()), "0,0525");
    f.setDisplayedNumber(7.254);
    EXPECT_EQ(u8(f.fmtStr()), "7,25 %");
    EXPECT_EQ(u8(f.str()), "0,0725");
    EXPECT_DOUBLE_EQ(f.displayedNumber(), 7.25);

    TTextFilter t(u"T0");
    t.setAsInteger(-1234567);
    EXPECT_EQ(u8(t.fmtStr()), "-1 234 567");
    EXPECT_EQ(t.asInteger(), -1234567);
    t.setFmtStr(u"12 345");
    EXPECT_EQ(t.asInteger(), 12345);
    TTextFilter n(u"N2");
    n.setAsFloat(2.5);
    EXPECT_EQ(u8(n.str()), "2,50");
}

TEST(TextFilterValues, DatesInTheMask) {
    using finans::Datorec;
    TTextFilter f(u"DD.MM.YYYY");
    f.setSaveLiterals(true);
    f.setAsDate(Datorec::ymd(2024, 2, 29));
    EXPECT_EQ(u8(f.fmtStr()), "29.02.2024");
    EXPECT_EQ(u8(f.str()), "29.02.2024");
    struct C {
        const char16_t* text;
        std::optional<Datorec> date;
    };
    const C cases[] = {
        {u"15.01.2024", Datorec::ymd(2024, 1, 15)},
        {u"1.5.2024", Datorec::ymd(2024, 5, 1)},
        {u"15012024", Datorec::ymd(2024, 1, 15)},
        {u"15.01.24", Datorec::ymd(2024, 1, 15)},
        {u"15.01.75", Datorec::ymd(1975, 1, 15)},
        {u"29.02.2023", std::nullopt},
        {u"31.04.2024", std::nullopt},
        {u"15.13.2024", std::nullopt},
        {u"15.01", std::nullopt},
        {u"aa.01.2024", std::nullopt},
        {u"1501202", std::nullopt},
        {u"", Datorec()},
        {u"   ", Datorec()},
    };
    for (const C& c : cases) {
        f.setFmtStr(c.text);
        EXPECT_EQ(f.asDate(), c.date) << u8(c.text);
    }
    TTextFilter iso(u"YYYYMMDD");
    iso.setFmtStr(u"20241231");
    EXPECT_EQ(iso.asDate(), Datorec::ymd(2024, 12, 31));
    iso.setFmtStr(u"2024123");
    EXPECT_EQ(iso.asDate(), std::nullopt);
}

TEST(FillOut, NumbersAreFoundBeforeTheirUnits) {
    EXPECT_EQ(u8(makeFillOutStr(u"25 år 6 mnd", u"__ år  __ mnd", false)), "25 år  6 mnd");
    EXPECT_EQ(u8(makeFillOutStr(u"25 år", u"__ år  __ mnd", true)), "25 år  _ mnd");
    EXPECT_EQ(u8(makeFillOutStr(u"7", u"__ år  __ mnd", true)), "7 år  _ mnd");
    EXPECT_EQ(u8(makeFillOutStr(u"7", u"__ år  __ mnd", false)), "");
    EXPECT_EQ(u8(makeFillOutStr(u"_ år  _ mnd", u"__ år  __ mnd", true)), "_ år  _ mnd");
    EXPECT_EQ(u8(makeFillOutStr(u"1_ år", u"__ år  __ mnd", false)), "1 år");
    ASSERT_EQ(splitFillOutMask(u"__aar __mnd __dgr").size(), 3u);
    EXPECT_EQ(u8(splitFillOutMask(u"__aar __mnd __dgr")[1].unit), "mnd ");
}

TEST(DatetimeEditing, SpreadsDigitsOverTheParts) {
    struct C {
        const char16_t* text;
        const char* expected;
    };
    const C cases[] = {
        {u"1", "1"},           {u"15", "15."},       {u"1501", "15.01."},
        {u"15012024", "15.01.2024"}, {u"1203.", "12.03."}, {u"1.5.", "1.5."},
        {u"15..", "15."},      {u"", ""},
    };
    for (const C& c : cases)
        EXPECT_EQ(u8(makeDatetimeStr(c.text, u"DD.MM.YYYY", true, true)), c.expected) << u8(c.text);
    EXPECT_EQ(u8(makeDatetimeStr(u"15012024", u"DD.MM.YYYY", false, false)), "15.01.2024");
    EXPECT_EQ(u8(makeDatetimeStr(u"15.01.2024", u"DD.MM.YYYY", true, false)), "15.01.2024");
}

}  // namespace
}  // namespace kavelin::fmt

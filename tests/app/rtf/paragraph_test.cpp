#include "app/rtf/paragraph.h"

#include <gtest/gtest.h>

#include "fixedsurface.h"

namespace kavelin::rtf {
namespace {

using test::FixedSurface;

// Default font: 240 twips high, so 120 wide per character, ascent 180, descent 60.
struct Laid {
    FixedSurface s;
    TAttributedText p;
    void layout(int width) {
        p.SetWidth(width);
        p.Format(s, 0);
        p.Draw(s, {0, 0});
    }
    std::vector<TTextLine*> lines() const { return p.lines(); }
    std::string text(size_t i) const { return s.texts.at(i).text; }
};

TEST(ParagraphLayout, BreaksAfterTheSpaceWhichStaysOnTheFirstLine) {
    Laid l;
    l.p.TextOut("a b");
    l.layout(300);  // "a" fits, "a b" does not
    auto lines = l.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]->LineBgnInx, 0u);
    EXPECT_EQ(lines[0]->LineEndInx, 2u);
    EXPECT_EQ(lines[1]->LineBgnInx, 2u);
    ASSERT_EQ(l.s.texts.size(), 2u);
    EXPECT_EQ(l.text(0), "a");
    EXPECT_EQ(l.s.texts[0].y, 180);
    EXPECT_EQ(l.text(1), "b");
    EXPECT_EQ(l.s.texts[1].x, 0);
    EXPECT_EQ(l.s.texts[1].y, 240 + 180);
    EXPECT_EQ(l.p.GetHeight(), 480);
}

TEST(ParagraphLayout, SplitsAWordWiderThanTheLineWithHyphens) {
    struct Case {
        int width;
        std::vector<std::string> drawn;
    };
    // 120 per character and 120 for "-": 500 holds three characters and "-".
    for (const Case& c : {Case{500, {"abc", "-", "def", "-", "gh"}},
                          Case{100, {"a", "-", "b", "-", "c"}}}) {
        Laid l;
        l.p.TextOut(c.width == 500 ? "abcdefgh" : "abc");
        l.layout(c.width);
        std::vector<std::string> drawn;
        for (const auto& t : l.s.texts) drawn.push_back(t.text);
        EXPECT_EQ(drawn, c.drawn) << c.width;
        for (TTextLine* line : l.lines()) EXPECT_GT(line->LineEndInx, line->LineBgnInx);
    }
}

TEST(ParagraphLayout, LineSpacingExactOrAtLeast) {
    struct Case {
        int lineSpace, fontHeight, lineHeight;
    };
    for (const Case& c : {Case{-300, 240, 300}, Case{-300, 480, 300}, Case{300, 240, 300}, Case{300, 480, 480},
                          Case{0, 240, 240}}) {
        Laid l;
        l.p.FStartStatus.FHeight = c.fontHeight;
        l.p.LineSpace = c.lineSpace;
        l.p.TextOut("aa aa aa aa");
        l.layout(800);
        auto lines = l.lines();
        ASSERT_GE(lines.size(), 2u);
        for (TTextLine* line : lines) EXPECT_EQ(line->GetHeight(), c.lineHeight) << c.lineSpace << " " << c.fontHeight;
    }
}

TEST(ParagraphLayout, JustifiedParagraphWidensAllButTheLastLine) {
    Laid l;
    l.p.FAlign = TTextAlign::taJustify;
    l.p.TextOut("aa bb cc dd");
    // "aa bb cc" is 960 wide; 40 twips are shared over its two spaces.
    l.layout(1000);
    ASSERT_EQ(l.s.texts.size(), 4u);
    EXPECT_EQ(l.s.texts[0].x, 0);
    EXPECT_EQ(l.s.texts[1].x, 240 + 120 + 20);
    EXPECT_EQ(l.s.texts[2].x, 380 + 240 + 120 + 20);
    EXPECT_EQ(l.text(3), "dd");
    EXPECT_EQ(l.s.texts[3].x, 0);
}

TEST(ParagraphLayout, AlignmentAndIndents) {
    struct Case {
        TTextAlign align;
        int li, ri, fi;
        int x;
    };
    // "abc" is 360 wide in a paragraph 2000 wide.
    for (const Case& c : {Case{TTextAlign::taLeft, 300, 0, 200, 500}, Case{TTextAlign::taRight, 0, 400, 0, 1240},
                          Case{TTextAlign::taCentered, 0, 0, 0, 820}}) {
        Laid l;
        l.p.FAlign = c.align;
        l.p.Borders.FIndent = {c.li, c.ri};
        l.p.FFirstLineIndent = c.fi;
        l.p.TextOut("abc");
        l.layout(2000);
        ASSERT_EQ(l.s.texts.size(), 1u);
        EXPECT_EQ(l.s.texts[0].x, c.x);
    }
}

TEST(ParagraphLayout, TabStops) {
    struct Case {
        TTextAlign align;
        int x;  // where "123" (360 wide) starts after a stop at 5000
    };
    for (const Case& c : {Case{TTextAlign::taRight, 4640}, Case{TTextAlign::taLeft, 5000},
                          Case{TTextAlign::taCentered, 4820}}) {
        Laid l;
        l.p.FTabs.add({5000, c.align, TTabLeader::tlNone});
        l.p.TextOut("a");
        l.p.Tabulator();
        l.p.TextOut("123");
        l.layout(9000);
        ASSERT_EQ(l.s.texts.size(), 2u);
        EXPECT_EQ(l.text(1), "123");
        EXPECT_EQ(l.s.texts[1].x, c.x);
    }
    // Without stops the default distance applies.
    Laid l;
    l.p.FTabs.FDefaultTab = 720;
    l.p.TextOut("a");
    l.p.Tabulator();
    l.p.TextOut("b");
    l.p.Tabulator();
    l.p.TextOut("c");
    l.layout(9000);
    ASSERT_EQ(l.s.texts.size(), 3u);
    EXPECT_EQ(l.s.texts[1].x, 720);
    EXPECT_EQ(l.s.texts[2].x, 1440);
}

TEST(ParagraphLayout, FormatCommandsChangeMeasuringAndAreNotText) {
    Laid l;
    l.p.TextOut("ab");
    l.p.ChangeFontHeight(480);
    l.p.SetAttribute(attr::bold, true);
    l.p.TextOut("cd");
    l.p.SetAttribute(attr::bold, false);
    l.p.TextOut("e");
    l.layout(9000);
    ASSERT_EQ(l.s.texts.size(), 3u);
    EXPECT_EQ(l.s.texts[1].x, 240);
    EXPECT_TRUE(l.s.texts[1].state.has(attr::bold));
    EXPECT_EQ(l.s.texts[2].x, 240 + 480);
    EXPECT_FALSE(l.s.texts[2].state.has(attr::bold));
    // The tallest font decides the line: ascent 360, descent 120.
    EXPECT_EQ(l.lines()[0]->GetHeight(), 480);
    EXPECT_EQ(l.s.texts[0].y, 360);
}

TEST(ParagraphLayout, HyphensBreakAndSpecialCharacters) {
    Laid l;
    l.p.TextOut("ab-cd");
    l.layout(500);  // "ab-" fits, the whole word does not
    ASSERT_EQ(l.lines().size(), 2u);
    EXPECT_EQ(l.text(0), "ab-");

    Laid soft;
    soft.p.TextOut("abc");
    soft.p.OptionalHyphen();
    soft.p.TextOut("def");
    soft.layout(600);
    std::vector<std::string> drawn;
    for (const auto& t : soft.s.texts) drawn.push_back(t.text);
    EXPECT_EQ(drawn, (std::vector<std::string>{"abc", "-", "def"}));

    Laid nb;
    nb.p.TextOut("a");
    nb.p.NonBreakingSpace();
    nb.p.TextOut("b");
    nb.p.NonBreakingHyphen();
    nb.p.TextOut("c");
    nb.layout(400);  // no break opportunity: the word is split instead
    EXPECT_EQ(nb.text(0), "a ");
}

TEST(ParagraphLayout, BordersSpacingAndPageBreaks) {
    Laid l;
    l.p.FSpaceBefore = 100;
    l.p.FSpaceAfter = 50;
    l.p.Borders.modify(biBox, [](TBorderSide& s) { s.LineWidth = 20; });
    l.p.TextOut("a");
    l.layout(1000);
    // top border 20 + space before 100 + line 240 + bottom border 20 + space after 50
    EXPECT_EQ(l.p.GetHeight(), 430);
    EXPECT_EQ(l.p.ItemCount(), 5);

    Laid pb;
    pb.p.TextOut("a");
    pb.p.PageBreak();
    pb.p.TextOut("b");
    pb.layout(1000);
    auto lines = pb.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_FALSE(lines[0]->PageBreak);
    EXPECT_TRUE(lines[1]->PageBreak);

    Laid trailing;
    trailing.p.TextOut("a");
    trailing.p.PageBreak();
    trailing.layout(1000);
    ASSERT_EQ(trailing.lines().size(), 2u);
    EXPECT_TRUE(trailing.lines()[1]->PageBreak);
    EXPECT_EQ(trailing.lines()[1]->GetHeight(), 0);

    Laid empty;
    empty.layout(1000);
    EXPECT_EQ(empty.p.GetHeight(), 240);
}

TEST(ParagraphLayout, ControlBytesInTextAreDropped) {
    TAttributedText p;
    p.TextOut(std::string_view("a\x05\x06\x09z", 5));
    EXPECT_EQ(p.Buff, "az");
}

}  // namespace
}  // namespace kavelin::rtf

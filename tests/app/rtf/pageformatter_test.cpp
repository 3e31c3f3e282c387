#include "app/rtf/pageformatter.h"

#include <gtest/gtest.h>

#include "app/rtf/paragraph.h"
#include "app/rtf/table.h"
#include "fixedsurface.h"

namespace kavelin::rtf {
namespace {

using test::FixedSurface;

// Pages of 3000 x 1400 twips with margins of 100 all round: the text area is
// 1200 high, five lines of the default 240-twip font.
struct Doc {
    TDocument doc;
    TTextSection* sec;
    Doc() {
        doc.papersize = {3000, 1400};
        doc.marg = {100, 100, 100, 100};
        sec = &doc.NewSection();
    }
    TAttributedText& para(const std::string& text, TTextSection* in = nullptr) {
        auto p = std::make_unique<TAttributedText>();
        p->TextOut(text);
        auto& ref = *p;
        (in ? in : sec)->IList.Add(std::move(p));
        return ref;
    }
    // Paragraph of n lines "l1" ... (each word fills a line of the 2800 text width).
    TAttributedText& lines(const std::string& prefix, int n) {
        std::string t;
        for (int i = 1; i <= n; ++i) t += (i > 1 ? " " : "") + prefix + std::to_string(i) + std::string(20, 'x');
        return para(t);
    }
    TTextSection& section(int breakKind) {
        sec = &doc.NewSection();
        sec->Break = breakKind;
        return *sec;
    }
};

std::vector<std::string> textsOn(const FixedSurface& s, int page) {
    std::vector<std::string> out;
    for (const auto& t : s.onPage(page)) out.push_back(t.text.substr(0, 2));
    return out;
}

TEST(PageFormatter, FillsPagesFromTheTextAreaTop) {
    Doc d;
    d.lines("a", 7);
    FixedSurface s;
    TPageFormatter f(s);
    f.PrintDocument(d.doc);
    EXPECT_EQ(s.pages, 2);
    EXPECT_EQ(s.pageOpen, 0);
    EXPECT_EQ(textsOn(s, 1), (std::vector<std::string>{"a1", "a2", "a3", "a4", "a5"}));
    EXPECT_EQ(textsOn(s, 2), (std::vector<std::string>{"a6", "a7"}));
    EXPECT_EQ(s.onPage(1)[0].y, 100 + 180);
    EXPECT_EQ(s.onPage(1)[0].x, 100);
}

TEST(PageFormatter, WidowControlMovesATwoLineParagraph) {
    for (bool widow : {true, false}) {
        Doc d;
        d.lines("a", 4);
        d.lines("b", 2).FWidCtrl = widow;
        FixedSurface s;
        TPageFormatter f(s);
        f.PrintDocument(d.doc);
        if (widow) {
            EXPECT_EQ(textsOn(s, 2), (std::vector<std::string>{"b1", "b2"}));
        }
        else EXPECT_EQ(textsOn(s, 2), (std::vector<std::string>{"b2"}));
    }
}

TEST(PageFormatter, WidowControlKeepsTheLastTwoLinesTogether) {
    Doc d;
    d.lines("a", 2);
    d.lines("b", 4).FWidCtrl = true;  // b1..b3 fit; b4 alone would be a widow
    FixedSurface s;
    TPageFormatter f(s);
    f.PrintDocument(d.doc);
    EXPECT_EQ(textsOn(s, 1), (std::vector<std::string>{"a1", "a2", "b1", "b2"}));
    EXPECT_EQ(textsOn(s, 2), (std::vector<std::string>{"b3", "b4"}));
}

std::unique_ptr<TTableParagraph> table(const std::vector<std::string>& rows, bool header) {
    auto t = std::make_unique<TTableParagraph>();
    TRowDef& hd = t->newRowDef();
    hd.IsHeader = header;
    hd.addCellDef([] { TCellDef c; c.Width = 2000; return c; }());
    TRowDef& body = t->newRowDef();
    body.addCellDef(hd.FCellDefs[0]);
    for (size_t i = 0; i < rows.size(); ++i) {
        auto r = std::make_unique<TTableRow>();
        auto p = std::make_unique<TAttributedText>();
        p->TextOut(rows[i]);
        r->AddText(std::move(p));
        r->addDef(i == 0 ? &hd : &body);
        t->add(std::move(r));
    }
    return t;
}

TEST(PageFormatter, KeepWithNextJoinsTheTablesFirstTwoRows) {
    Doc d;
    d.lines("a", 3);
    d.para("k1").FKeepWithNext = true;
    d.sec->IList.Add(table({"r1", "r2", "r3"}, false));
    FixedSurface s;
    TPageFormatter f(s);
    f.PrintDocument(d.doc);
    EXPECT_EQ(textsOn(s, 1), (std::vector<std::string>{"a1", "a2", "a3"}));
    EXPECT_EQ(textsOn(s, 2), (std::vector<std::string>{"k1", "r1", "r2", "r3"}));
}

TEST(PageFormatter, HeaderRowIsRepeatedOnTheNextPage) {
    Doc d;
    d.sec->IList.Add(table({"hd", "r1", "r2", "r3", "r4", "r5"}, true));
    FixedSurface s;
    TPageFormatter f(s);
    f.PrintDocument(d.doc);
    EXPECT_EQ(textsOn(s, 1), (std::vector<std::string>{"hd", "r1", "r2", "r3", "r4"}));
    EXPECT_EQ(textsOn(s, 2), (std::vector<std::string>{"hd", "r5"}));
}

std::unique_ptr<TTextSequence> pageNumberText(const char* before) {
    auto seq = std::make_unique<TTextSequence>();
    auto p = std::make_unique<TAttributedText>();
    p->TextOut(before);
    p->AddGraphic(std::make_unique<TPageNumber>());
    p->TextOut("/");
    p->AddGraphic(std::make_unique<TNumPages>());
    seq->Add(std::move(p));
    return seq;
}

std::vector<std::string> joinedPerPage(const FixedSurface& s, int pages) {
    std::vector<std::string> out;
    for (int p = 1; p <= pages; ++p) {
        std::string line;
        for (const auto& t : s.onPage(p)) line += t.text;
        out.push_back(line);
    }
    return out;
}

TEST(PageFormatter, FooterOnlyOnPagesWithContentAndPageCount) {
    Doc d;
    d.sec->FooterY = 0;
    d.sec->hdrftr[hf_footer] = pageNumberText("F");
    auto& p = d.para("a");
    p.PageBreak();  // the second page receives nothing
    FixedSurface s;
    TPageFormatter f(s);
    f.PrintDocument(d.doc);
    EXPECT_EQ(s.pages, 2);
    EXPECT_EQ(joinedPerPage(s, 2), (std::vector<std::string>{"aF1/2", ""}));
    // The footer stands on the page bottom: 1400 - 240 + ascent 180.
    EXPECT_EQ(s.onPage(1).back().y, 1400 - 240 + 180);
}

TEST(PageFormatter, OddPageSectionInsertsABlankPage) {
    Doc d;
    d.sec->hdrftr[hf_header] = pageNumberText("H");
    auto& p = d.para("a");
    p.PageBreak();
    p.TextOut("b");
    p.PageBreak();
    p.TextOut("c");
    TTextSection& odd = d.section(4);
    odd.marg = d.doc.marg;
    d.para("d");
    FixedSurface s;
    TPageFormatter f(s);
    f.PrintDocument(d.doc);
    EXPECT_EQ(s.pages, 5);
    EXPECT_EQ(textsOn(s, 4), (std::vector<std::string>{"H", "4", "/", "5"}));  // header only
    EXPECT_EQ(textsOn(s, 5).back(), "d");
}

TEST(PageFormatter, PageNumbersRestartInASection) {
    Doc d;
    d.sec->hdrftr[hf_header] = pageNumberText("H");
    d.sec->HeaderY = 0;
    d.lines("a", 5);
    TTextSection& second = d.section(2);
    second.marg = d.doc.marg;
    second.PgnRestart = true;
    second.PgnStarts = 1;
    second.HeaderY = 0;
    second.hdrftr[hf_header] = pageNumberText("S");
    d.para("b");
    FixedSurface s;
    TPageFormatter f(s);
    f.OnPageNumber = [](int n) { return u"p" + std::u16string(1, char16_t(u'0' + n)); };
    f.PrintDocument(d.doc);
    ASSERT_EQ(s.pages, 3);
    std::string third;
    for (const auto& t : s.onPage(3)) third += t.text;
    EXPECT_EQ(third.substr(0, 6), "Sp1/2b");
}

TEST(PageFormatter, ColumnsAndPageRelativeObjects) {
    Doc d;
    d.sec->NumCols = 2;
    d.sec->colspace = 200;  // columns 1300 wide at x 100 and 1600
    std::string t;
    for (int i = 1; i <= 7; ++i) t += (i > 1 ? " " : "") + std::string("c") + char('0' + i) + "xxxxxxxx";
    d.para(t);
    FixedSurface s;
    TPageFormatter f(s);
    f.PrintDocument(d.doc);
    ASSERT_EQ(s.pages, 1);
    auto page = s.onPage(1);
    ASSERT_EQ(page.size(), 7u);
    EXPECT_EQ(page[4].x, 100);
    EXPECT_EQ(page[5].x, 1600);
    EXPECT_EQ(page[5].y, 100 + 180);

    // A frame that text flows around pushes the text below it.
    Doc fr;
    TPosFrame pos;
    pos.height = -500;
    pos.width = 1000;
    pos.hasY = true;
    pos.y = 0;
    pos.vert = TVertReference::vaMargin;
    auto frame = std::make_unique<TTextFrame>(pos);
    auto inner = std::make_unique<TAttributedText>();
    inner->TextOut("in");
    frame->Innhald.Add(std::move(inner));
    fr.sec->IList.Add(std::move(frame));
    fr.para("out");
    FixedSurface s2;
    TPageFormatter f2(s2);
    f2.PrintDocument(fr.doc);
    ASSERT_EQ(s2.texts.size(), 2u);
    EXPECT_EQ(s2.texts[0].text, "out");
    EXPECT_EQ(s2.texts[0].y, 100 + 500 + 180);
    EXPECT_EQ(s2.texts[1].text, "in");  // drawn when the page ends
    EXPECT_EQ(s2.texts[1].y, 100 + 180);
}

}  // namespace
}  // namespace kavelin::rtf

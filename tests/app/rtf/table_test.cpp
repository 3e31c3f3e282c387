#include "app/rtf/table.h"

#include <gtest/gtest.h>

#include "app/rtf/paragraph.h"
#include "fixedsurface.h"

namespace kavelin::rtf {
namespace {

using test::FixedSurface;

std::unique_ptr<TAttributedText> para(const char* text) {
    auto p = std::make_unique<TAttributedText>();
    p->TextOut(text);
    return p;
}

// A table of rows with the given cell texts, each cell 1000 wide.
struct Table {
    TTableParagraph t;
    TRowDef& def(int want, int cells) {
        TRowDef& d = t.newRowDef();
        d.WantHeight = want;
        for (int i = 0; i < cells; ++i) {
            TCellDef c;
            c.Width = 1000;
            d.addCellDef(c);
        }
        return d;
    }
    void row(const TRowDef& d, std::vector<const char*> cells) {
        auto r = std::make_unique<TTableRow>();
        for (size_t i = 0; i < cells.size(); ++i) {
            if (i) r->endCell();
            r->AddText(para(cells[i]));
        }
        r->addDef(&d);
        t.add(std::move(r));
    }
};

TEST(TableLayout, WantedRowHeightExactOrAtLeast) {
    struct Case {
        int want;
        int height;
    };
    // "aaaa aaaa aaaa" in a 1000-wide cell takes three lines of 240 = 720.
    for (const Case& c : {Case{-500, 500}, Case{500, 720}, Case{1000, 1000}, Case{0, 720}}) {
        FixedSurface s;
        Table tb;
        tb.row(tb.def(c.want, 1), {"aaaa aaaa aaaa"});
        tb.t.SetWidth(5000);
        tb.t.Format(s, 0);
        EXPECT_EQ(tb.t.FRows[0]->GetHeight(), c.height) << c.want;
        EXPECT_EQ(tb.t.GetHeight(), c.height);
    }
}

TEST(TableLayout, CellsUseTheirWidthLessTheGaps) {
    FixedSurface s;
    Table tb;
    TRowDef& d = tb.def(0, 2);
    d.CellGaph = 100;
    d.CellPaddL = 150;
    tb.row(d, {"aaaaaa", "b"});  // 720 wide: fits 1000 - 150 - 100 = 750
    tb.t.SetWidth(5000);
    tb.t.Format(s, 0);
    EXPECT_EQ(tb.t.GetHeight(), 240);
    tb.t.Draw(s, {0, 0});
    ASSERT_EQ(s.texts.size(), 2u);
    EXPECT_EQ(s.texts[0].x, 150);
    EXPECT_EQ(s.texts[1].x, 1150);
}

TEST(TableLayout, BordersAndVerticalMerge) {
    FixedSurface s;
    Table tb;
    TRowDef& first = tb.def(0, 2);
    first.FCellDefs[0].Mode = TCellMode::cmMerged;
    first.FBorders.modify(biHor, [](TBorderSide& b) { b.LineWidth = 20; });
    TRowDef& second = tb.def(0, 2);
    second.FCellDefs[0].Mode = TCellMode::cmHidden;
    // The merged cell holds four lines (960) spread over two rows of one line.
    tb.row(first, {"aaaaaaa aaaaaaa aaaaaaa aaaaaaa", "b"});
    tb.row(second, {"", "c"});
    tb.t.SetWidth(5000);
    tb.t.Format(s, 0);
    const TTableRow& r0 = *tb.t.FRows[0];
    const TTableRow& r1 = *tb.t.FRows[1];
    EXPECT_EQ(r0.MaxTopLW, 20);
    EXPECT_EQ(r0.GetHeight(), 240 + 20);
    // Second row: its top border is the first row's bottom border (20); it
    // carries the merge: 960 + 20, and as last row its bottom border.
    EXPECT_EQ(r1.GetHeight(), 960 + 20);
    EXPECT_EQ(tb.t.GetHeight(), 260 + 980);
}

}  // namespace
}  // namespace kavelin::rtf

#include "app/rtf/rtfreport.h"

#include <gtest/gtest.h>

#include "app/rtf/pageformatter.h"
#include "app/rtf/paragraph.h"
#include "app/rtf/rtfdocparser.h"
#include "app/rtf/table.h"
#include "fixedsurface.h"

namespace kavelin::rtf {
namespace {

// The application's start values for the shared styles; restored after each test.
class Report : public ::testing::Test {
protected:
    Report() : saved(reportStyles()) {
        TReportStyles& s = reportStyles();
        s.defaultBrush.Color = rgb(250, 250, 250);
        s.titleFont.Color = clBlack;
        s.titleBrush.Color = clWhite;
        s.headerFont.Color = clWhite;
        s.headerFont.Italic = false;
        s.headerBrush.Color = rgb(128, 128, 128);
    }
    ~Report() override { reportStyles() = saved; }

    static std::string oneLine(std::string s) {
        std::string out;
        for (char c : s)
            if (c != '\r' && c != '\n') out += c;
        return out;
    }
    TReportStyles saved;
    TRtfReport r;
};

TEST_F(Report, EmptyReport) {
    EXPECT_EQ(r.RtfText(),
              "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl}{\\colortbl;}"
              "\\paperw11906\\paperh16838\\margl1417\\margr1417\\margt1417\\margb1417\\deftab708\r\n"
              "\\pard\\par }");
    EXPECT_NO_THROW(TRtfDocumentParser::LoadRTFDocument(r.RtfText()));
}

TEST_F(Report, DefaultRowsShareOneFontAndTwoColours) {
    for (int i = 0; i < 2; ++i) {
        TReportRow& row = r.addAndGetRow();
        TReportCell& a = row.addAndGetCell();
        a.Text = "Lån";
        a.Width = 2.54;
        TReportCell& b = row.addAndGetCell();
        b.Text = "1 000,00";
        b.Width = 2.54;
        b.Alignment = TAlignment::taRightJustify;
        b.VertAlignment = TVertAlignment::vaBottom;
    }
    std::string rtf = oneLine(r.RtfText());
    EXPECT_NE(rtf.find("{\\fonttbl{\\f0\\fnil\\fcharset1 Arial;}}"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("{\\colortbl;\\red0\\green0\\blue0;\\red250\\green250\\blue250;}"), std::string::npos);
    EXPECT_NE(rtf.find("{\\trowd\\trgaph70\\trleft-70\\clvertalt\\clcbpat2\\cellx1440\\clvertalb\\clcbpat2\\cellx2880"
                       "\\intbl\\ql\\f0\\fs16\\cf1 Lån\\cell\\intbl\\qr\\f0\\fs16\\cf1 1 000,00\\cell\\row}\\ql"),
              std::string::npos)
        << rtf;
}

TEST_F(Report, RowBordersGoToTheCellsThatDoNotOverride) {
    TReportRow& row = r.addAndGetRow();
    row.Borders = brdTop | brdLeft | brdRight | brdBtm;
    for (int i = 0; i < 3; ++i) row.addAndGetCell().Width = 1;
    r.RtfText();
    EXPECT_EQ(row.getCells(0).Borders(), brdTop | brdLeft | brdBtm);
    EXPECT_EQ(row.getCells(1).Borders(), brdTop | brdBtm);
    EXPECT_EQ(row.getCells(2).Borders(), brdTop | brdBtm | brdRight);
    EXPECT_FALSE(row.getCells(0).OverrideRowBorders());

    TReportRow& own = r.addAndGetRow();
    own.Borders = brdTop;
    own.addAndGetCell().setBorders(brdLeft);
    own.AddCell();
    own.setStyle(TRowStyle::rsSum);
    r.RtfText();
    EXPECT_EQ(own.getCells(0).Borders(), brdLeft);
    EXPECT_EQ(own.getCells(1).Borders(), brdTop);  // the last of two: without left
}

TEST_F(Report, RowAndCellSettings) {
    TReportRow& row = r.addAndGetRow();
    row.Height = 0.5;
    TReportCell& hidden = row.addAndGetCell();
    hidden.Width = 3;
    hidden.Visible = false;
    hidden.Text = "usynlig";
    TReportCell& c = row.addAndGetCell();
    c.Width = 2.54;
    c.Text = "A\r\nB\tC{x}";
    c.setBackGround({clWhite});
    r.addPageBreak();
    r.AddRow();
    r.AddRow();
    r.PaperWidth = 29.7;
    r.PaperHeight = 21.001;
    std::string rtf = oneLine(r.RtfText());
    EXPECT_NE(rtf.find("\\trrh-283"), std::string::npos);
    EXPECT_EQ(rtf.find("usynlig"), std::string::npos);
    EXPECT_NE(rtf.find("\\clvertalt\\cellx1440\\intbl"), std::string::npos) << rtf;  // no \clcbpat for white
    EXPECT_NE(rtf.find("A\\par B\\tab C\\{x\\}\\cell"), std::string::npos);
    EXPECT_NE(rtf.find("\\margb1417\\deftab708\\landscape"), std::string::npos);
    EXPECT_TRUE(r.getReportRows(1).PageBreakBefore);
    EXPECT_FALSE(r.getReportRows(2).PageBreakBefore);
    EXPECT_THROW(r.getReportRows(3), std::out_of_range);
    EXPECT_THROW(row.getCells(-1), std::out_of_range);
}

TEST_F(Report, LinesBreakOnlyBetweenPieces) {
    for (int i = 0; i < 40; ++i) {
        TReportRow& row = r.addAndGetRow();
        for (int k = 0; k < 4; ++k) {
            TReportCell& c = row.addAndGetCell();
            c.Width = 2;
            c.Text = "Tekst " + std::to_string(i * 4 + k);
        }
    }
    std::string rtf = r.RtfText();
    size_t start = 0;
    while (start < rtf.size()) {
        size_t end = rtf.find("\r\n", start);
        if (end == std::string::npos) end = rtf.size();
        EXPECT_LE(end - start, 80u + 40u);
        std::string line = rtf.substr(start, end - start);
        EXPECT_NE(line.front(), ' ');
        start = end + 2;
    }
}

TEST_F(Report, ReadBackAndLaidOut) {
    r.PageNumberEnabled = true;
    TReportRow& title = r.addAndGetRow();
    title.setStyle(TRowStyle::rsDocTitle);
    title.addAndGetCell().Text = "Nedbetalingsplan";
    title.getCells(0).Width = 10;
    TReportRow& head = r.addAndGetRow();
    head.setStyle(TRowStyle::rsHeader);
    head.newTable = true;
    for (const char* t : {"Termin", "Bel\xF8p"}) {
        TReportCell& c = head.addAndGetCell();
        c.Text = t;
        c.Width = 5;
    }
    for (int i = 1; i <= 3; ++i) {
        TReportRow& row = r.addAndGetRow();
        TReportCell& a = row.addAndGetCell();
        a.Text = std::to_string(i);
        a.Width = 5;
        TReportCell& b = row.addAndGetCell();
        b.Text = std::to_string(i * 100) + ",00";
        b.Width = 5;
        b.Alignment = TAlignment::taRightJustify;
    }
    auto doc = TRtfDocumentParser::LoadRTFDocument(r.RtfText());
    EXPECT_EQ(doc->papersize, (TSize{11906, 16838}));
    EXPECT_EQ(doc->marg.left, 1417);
    TTextSequence& body = doc->sectionList()[0]->IList;
    // The title table, an empty paragraph that starts a new table, the table of four rows.
    std::vector<TTableParagraph*> tables;
    for (auto& item : body.FTextItems)
        if (auto* t = dynamic_cast<TTableParagraph*>(item.get())) tables.push_back(t);
    ASSERT_EQ(tables.size(), 2u);
    ASSERT_EQ(tables[1]->ItemCount(), 4);
    auto* header = static_cast<TTableRow*>(tables[1]->Item(0));
    EXPECT_TRUE(header->def().IsHeader);
    EXPECT_EQ(header->def().FCellDefs.size(), 2u);
    EXPECT_EQ(header->def().FCellDefs[0].Width, 70 + 2835);  // from -70 to 5 cm
    EXPECT_EQ(header->def().FCellDefs[0].backgrColor, rgb(128, 128, 128));
    ASSERT_NE(doc->sectionList()[0]->footer(), nullptr);

    test::FixedSurface s;
    TPageFormatter f(s);
    f.PrintDocument(*doc);
    EXPECT_EQ(s.pages, 1);
    std::vector<std::string> shown;
    for (const auto& t : s.texts) shown.push_back(t.text);
    for (const char* t : {"Nedbetalingsplan", "Termin", "Beløp", "300,00", "Side", "1"})
        EXPECT_NE(std::find(shown.begin(), shown.end(), t), shown.end()) << t;
    // The amounts are right-aligned at the same right edge.
    int right100 = 0, right300 = 0;
    for (const auto& t : s.texts) {
        int w = static_cast<int>(t.text.size()) * t.state.FHeight / 2;
        if (t.text == "100,00") right100 = t.x + w;
        if (t.text == "300,00") right300 = t.x + w;
    }
    EXPECT_GT(right100, 0);
    EXPECT_EQ(right100, right300);
}

TEST_F(Report, MergeAndAutoSize) {
    TRtfReport other;
    for (int i = 0; i < 3; ++i) other.addAndGetRow().addAndGetCell().Text = "o" + std::to_string(i);
    r.addAndGetRow().addAndGetCell().Width = 4;
    r.Merge(other);
    ASSERT_EQ(r.RowCount(), 3);
    EXPECT_EQ(r.getReportRows(0).CellCount(), 3);
    EXPECT_DOUBLE_EQ(r.getReportRows(0).getCells(1).Width, 0.7);
    EXPECT_DOUBLE_EQ(r.getReportRows(1).getCells(0).Width, 4.7);
    EXPECT_EQ(r.getReportRows(2).getCells(1).Text, "o2");

    std::array<int, 256> widths{};
    widths.fill(60);
    widths[' '] = 30;
    fontHelper().setCharWidths(widths);
    TRtfReport a;
    a.addAndGetRow().addAndGetCell().Text = "ab";
    a.addAndGetRow().addAndGetCell().Text = "abcd\r\nx";
    a.AutoSize();
    // 8 points x (4 x 60 + 30) x 2.54 / 7200 = 0.762 cm.
    EXPECT_DOUBLE_EQ(a.getReportRows(0).getCells(0).Width, 0.762);
    EXPECT_DOUBLE_EQ(a.getReportRows(1).getCells(0).Width, 0.762);
    EXPECT_DOUBLE_EQ(fontHelper().getTextWidth('a', 10, 10), 2.117);  // 10 x 10 x 60 x 2.54 / 7200 = 2.1167
    fontHelper().setFontName("Other");  // back to measured widths
}

}  // namespace
}  // namespace kavelin::rtf

#include "app/rtf/documentbuilder.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/rtf/pageformatter.h"
#include "app/rtf/qtsurface.h"
#include "app/rtf/rtfdocparser.h"
#include "app/rtf/rtfreport.h"
#include "qtapp.h"
#include "tests/support/temp_dir.h"
#include "tests/support/source_dir.h"

namespace kavelin::rtf {
namespace {

using mirvo::test::readBytes;
using mirvo::test::TempDir;
using mirvo::test::writeBytes;

// The test data beside this file (also when the test runs outside CTest).
std::filesystem::path dataDir() { return mirvo::test::sourceDir() / "tests/app/rtf/data"; }

int countOf(const std::string& s, const std::string& what) {
    int n = 0;
    for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + what.size())) ++n;
    return n;
}

// Page objects of a PDF (the page tree itself is "/Type /Pages").
int pdfPages(const std::filesystem::path& pdf) {
    std::string b = readBytes(pdf);
    return countOf(b, "/Type /Page\n") + countOf(b, "/Type /Page ") + countOf(b, "/Type /Page/") +
           countOf(b, "/Type /Page>");
}

bool havePdfToText() { return std::system("command -v pdftotext >/dev/null 2>&1") == 0; }

// The text of every page, through pdftotext (pages end with a form feed).
std::vector<std::string> pdfPageTexts(const std::filesystem::path& pdf) {
    std::string cmd = "pdftotext -enc UTF-8 '" + pdf.string() + "' -";
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    std::vector<std::string> pages;
    size_t start = 0;
    for (size_t ff = out.find('\f'); ff != std::string::npos; ff = out.find('\f', start)) {
        pages.push_back(out.substr(start, ff - start));
        start = ff + 1;
    }
    return pages;
}

bool hasLine(const std::string& page, const std::string& line) {
    return ("\n" + page + "\n").find("\n" + line + "\n") != std::string::npos;
}

std::string amount(long v) {
    std::string s = std::to_string(v);
    for (int i = static_cast<int>(s.size()) - 3; i > 0; i -= 3) s.insert(static_cast<size_t>(i), " ");
    return s;
}

// A serial-loan plan as the print manager lays it out: title, a header row
// repeated on every page, one row per month, page numbers.
void buildPlan(TRtfReport& r, int months) {
    r.PageNumberEnabled = true;
    TReportRow& title = r.addAndGetRow();
    title.setStyle(TRowStyle::rsDocTitle);
    TReportCell& t = title.addAndGetCell();
    t.Text = "Nedbetalingsplan";
    t.Width = 12;
    TReportRow& head = r.addAndGetRow();
    head.setStyle(TRowStyle::rsHeader);
    head.newTable = true;
    for (const char* h : {"Termin", "Avdrag", "Restgjeld"}) {
        TReportCell& c = head.addAndGetCell();
        c.Text = h;
        c.Width = 4;
    }
    long rest = 1200L * months;
    for (int m = 1; m <= months; ++m) {
        rest -= 1200;
        TReportRow& row = r.addAndGetRow();
        for (std::string text : {std::to_string(m), amount(1200), amount(rest)}) {
            TReportCell& c = row.addAndGetCell();
            c.Text = text;
            c.Width = 4;
            c.Alignment = TAlignment::taRightJustify;
        }
    }
}

class PdfOutput : public ::testing::Test {
protected:
    PdfOutput() { test::ensureGuiApp(); }
    TempDir dir;
};

TEST_F(PdfOutput, TemplateWithFieldsLongTableAndPageNumbers) {
    TMergeValueMap data;
    data.SetValue(u"Kunde", u"Kari Nordmann");
    data.SetValue(u"BELOP", u"250 000");
    auto dest = dir / "plan.pdf";
    TRtfToPDF::makeFileFrom(dataDir() / "betalingsplan_mal.rtf", dest, &data);
    // 60 rows of 12 pt after four paragraphs need more than the 13 964 twips of an A4 text area.
    ASSERT_EQ(pdfPages(dest), 2);
    if (!havePdfToText()) GTEST_SKIP() << "pdftotext mangler";
    auto pages = pdfPageTexts(dest);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_TRUE(hasLine(pages[0], "Betalingsplan for Kari Nordmann")) << pages[0];
    EXPECT_TRUE(hasLine(pages[0], "Lånebeløp: 250 000 kr"));
    EXPECT_TRUE(hasLine(pages[0], "Blått, grønt og Ærlig"));
    EXPECT_TRUE(hasLine(pages[0], "Side 1 av 2"));
    EXPECT_TRUE(hasLine(pages[1], "Side 2 av 2"));
    EXPECT_TRUE(hasLine(pages[1], "Slutt på planen."));
    // The header row heads both pages; every row is printed once.
    for (const auto& p : pages) EXPECT_EQ(countOf(p, "Forfall\n"), 1);
    for (int i = 1; i <= 60; ++i) {
        std::string row = "Termin " + std::to_string(i) + "\n";
        EXPECT_EQ(countOf(pages[0] + pages[1], row), 1) << row;
    }
    EXPECT_EQ(countOf(pages[1], "Termin 1\n"), 0);
    EXPECT_EQ(countOf(pages[0], "Termin 60\n"), 0);
}

TEST_F(PdfOutput, ReportBuilderPlanOverSeveralPages) {
    TRtfReport r;
    buildPlan(r, 120);
    auto dest = dir / "rapport.pdf";
    r.SaveToPDF(dest);
    int n = pdfPages(dest);
    ASSERT_GE(n, 2);
    if (!havePdfToText()) GTEST_SKIP() << "pdftotext mangler";
    auto pages = pdfPageTexts(dest);
    ASSERT_EQ(static_cast<int>(pages.size()), n);
    EXPECT_TRUE(hasLine(pages[0], "Nedbetalingsplan"));
    std::string all;
    for (int p = 0; p < n; ++p) {
        EXPECT_EQ(countOf(pages[static_cast<size_t>(p)], "Termin\n"), 1) << "side " << p + 1;
        EXPECT_TRUE(hasLine(pages[static_cast<size_t>(p)], "Side " + std::to_string(p + 1)));
        all += pages[static_cast<size_t>(p)];
    }
    // First and last month with their remaining debt (1 200 a month of 144 000).
    EXPECT_NE(all.find("142 800"), std::string::npos);
    EXPECT_TRUE(hasLine(all, "0"));
}

TEST_F(PdfOutput, OneJobForSeveralDocumentsAndCopies) {
    auto dest = dir / "jobb.pdf";
    TRtfDocumentBuilder b;
    b.OverrideOptions().SetPrinterDevice(std::u16string(PdfPrinterDevice));
    b.OverrideOptions().FPrinterPath = dest.u16string();
    b.BeginPrinting(u"Jobb");
    b.LoadFromStream("{\\rtf1 En\\par}");
    b.PrintDocument();
    b.LoadFromStream("{\\rtf1 To\\page Tre\\par}");
    b.PrintDocument();
    EXPECT_FALSE(std::filesystem::exists(dest));  // written when the job ends
    b.EndPrinting();
    EXPECT_EQ(pdfPages(dest), 3);

    // Two copies print the whole document twice, not page by page.
    b.OverrideOptions().SetCopyCount(2);
    b.PrintRTFStream("{\\rtf1 Forside\\page Bakside\\par}");
    EXPECT_EQ(pdfPages(dest), 4);
    if (!havePdfToText()) GTEST_SKIP() << "pdftotext mangler";
    auto pages = pdfPageTexts(dest);
    ASSERT_EQ(pages.size(), 4u);
    const char* expected[] = {"Forside", "Bakside", "Forside", "Bakside"};
    for (size_t i = 0; i < 4; ++i) EXPECT_TRUE(hasLine(pages[i], expected[i])) << i;
}

TEST_F(PdfOutput, FailedJobLeavesTheOldFile) {
    auto dest = dir / "gammel.pdf";
    writeBytes(dest, "gammel");
    TRtfToPDF b;
    b.OverrideOptions().SetPrinterDevice(std::u16string(PdfPrinterDevice));
    b.OverrideOptions().FPrinterPath = dest.u16string();
    int pages = 0;
    b.FOnPagePostPaint = [&](TDrawingSurface&, const TRect&) {
        if (++pages == 2) throw std::runtime_error("skriverfeil");
    };
    EXPECT_THROW(b.PrintRTFStream("{\\rtf1 En\\page To\\par}"), std::runtime_error);
    EXPECT_FALSE(b.isPrinting());
    EXPECT_EQ(readBytes(dest), "gammel");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    // Not RTF: nothing is written either.
    EXPECT_THROW(TRtfToPDF::makeFile("ikke rtf", dest), ERtfError);
    EXPECT_EQ(readBytes(dest), "gammel");
    // The PDF device needs a destination.
    TRtfDocumentBuilder noPath;
    noPath.OverrideOptions().SetPrinterDevice(u"microsoft print to pdf");
    EXPECT_THROW(noPath.PrintRTFStream("{\\rtf1 x}"), std::runtime_error);
}

TEST_F(PdfOutput, ReportPrintsThroughATemporaryRtfFile) {
    // The temporary folder of this test only.
    const char* old = std::getenv("TMPDIR");
    std::string saved = old ? old : "";
    setenv("TMPDIR", dir.path().c_str(), 1);
    TRtfReport r;
    buildPlan(r, 3);
    r.PrintOptions().SetPrinterName(u"Mirvo testskriver som ikke finnes");
    try {
        r.Print();
        ADD_FAILURE() << "skrev ut på en skriver som ikke finnes";
    } catch (const EPrinterNotFound& e) {
        EXPECT_STREQ(e.what(), "Printer \"Mirvo testskriver som ikke finnes\" not found");
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "report.rtf"));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    if (old) setenv("TMPDIR", saved.c_str(), 1);
    else unsetenv("TMPDIR");
}

TEST(FontSubstitutes, WindowsFontsUseLiberation) {
    test::ensureGuiApp();
    TQtSurface::installFontSubstitutes();
    const std::pair<std::u16string, QString> cases[] = {
        {u"Arial", "Liberation Sans"}, {u"Times New Roman", "Liberation Serif"}, {u"Courier New", "Liberation Mono"}};
    for (const auto& [name, family] : cases) {
        TCharStatus s;
        s.FName = name;
        s.FHeight = 240;
        EXPECT_EQ(QFontInfo(TQtSurface::fontFor(s)).family(), family) << family.toStdString();
    }
}

// Draws every page on its own image at 72 dpi (one pixel is 20 twips).
class PageImages : public TQtSurface {
public:
    PageImages() : TQtSurface(nullptr, 72, 72) {}
    std::vector<QImage> pages;

    void BeginPage(const TSize& paper) override {
        pages.emplace_back(paper.cx / 20, paper.cy / 20, QImage::Format_RGB32);
        pages.back().fill(Qt::white);
        FPainter.begin(&pages.back());
        setPainter(&FPainter);
        setMapMode();
    }
    void EndPage() override {
        FPainter.end();
        setPainter(nullptr);
    }

private:
    QPainter FPainter;
};

bool isHeaderGrey(QRgb p) { return qRed(p) == 128 && qGreen(p) == 128 && qBlue(p) == 128; }

// Rows of pixels (y) where column x shows the header's grey background.
std::vector<int> greyRows(const QImage& img, int x) {
    std::vector<int> ys;
    for (int y = 0; y < img.height(); ++y)
        if (isHeaderGrey(img.pixel(x, y))) ys.push_back(y);
    return ys;
}

TEST(ReportOnImages, HeaderRowAtTheTopOfEveryPageAndNothingBelowTheTextArea) {
    test::ensureGuiApp();
    TReportStyles saved = reportStyles();
    reportStyles().headerBrush.Color = rgb(128, 128, 128);
    TRtfReport r;
    buildPlan(r, 120);
    reportStyles() = saved;
    auto doc = TRtfDocumentParser::LoadRTFDocument(r.RtfText());
    PageImages s;
    TPageFormatter f(s);
    f.PrintDocument(*doc);
    ASSERT_GE(s.pages.size(), 2u);
    // Margins of 1417 twips: the text area starts at pixel 70.85 from the top and the left.
    const int x = 1417 / 20 + 40;
    for (size_t p = 0; p < s.pages.size(); ++p) {
        std::vector<int> ys = greyRows(s.pages[p], x);
        ASSERT_FALSE(ys.empty()) << "side " << p + 1;
        if (p > 0) {
            EXPECT_NEAR(ys.front(), 71, 1) << "side " << p + 1;
        }
        else EXPECT_GT(ys.front(), 80);  // below the title row
        // One band: the header row only.
        EXPECT_EQ(ys.back() - ys.front() + 1, static_cast<int>(ys.size()));
    }
    // Between the text area's bottom (16838 - 1417 twips) and the footer (two
    // lines of 8 pt above 720 twips from the paper's bottom) nothing is drawn.
    const QImage& first = s.pages[0];
    for (int y = (16838 - 1417) / 20 + 1; y < (16838 - 720 - 2 * 240) / 20; ++y)
        for (int px = 0; px < first.width(); ++px)
            ASSERT_EQ(first.pixel(px, y), qRgb(255, 255, 255)) << px << "," << y;
}

}  // namespace
}  // namespace kavelin::rtf

#include "app/rtf/printoptions.h"

#include <gtest/gtest.h>

#include <QPdfWriter>
#include <fstream>
#include <sstream>

#include "app/rtf/docprinter.h"
#include "app/rtf/mediaformatter.h"
#include "app/rtf/rtfdocparser.h"
#include "fixedsurface.h"
#include "qtapp.h"

namespace kavelin::rtf {
namespace {

TEST(PrintOptions, DeviceModesApplyFromTheirPageOn) {
    TPrintOptions o;
    EXPECT_EQ(o.getPaperSource(1), 0);
    o.SetPaperSource(3, 7);
    o.SetOrientation(1, 2);
    o.SetPaperSource(1, 4);
    EXPECT_EQ(o.getPaperSource(1), 4);
    EXPECT_EQ(o.getPaperSource(2), 4);
    EXPECT_EQ(o.getPaperSource(9), 7);
    EXPECT_EQ(o.getOrientation(2), 2);
    EXPECT_EQ(o.getOrientation(5), 0);  // page 3's record was made before page 1's
    EXPECT_THROW(o.SetPaperSource(0, 1), std::invalid_argument);
    ASSERT_EQ(o.FDeviceModes.items().size(), 2u);
    EXPECT_EQ(o.FDeviceModes.items()[0].FPagenr, 1);
}

TEST(PrintOptions, MissingPrinters) {
    TPrintOptions o;
    o.SetPrinterName(u"Ingen slik skriver");
    try {
        o.GetPrinterName();
        FAIL();
    } catch (const EPrinterNotFound& e) {
        EXPECT_STREQ(e.what(), "Printer \"Ingen slik skriver\" not found");
    }
    if (defaultPrinterName().empty()) {
        TPrintOptions none;
        EXPECT_THROW(none.GetPrinterName(), EPrinterNotFound);
    }
    EXPECT_EQ(EnumPaperBins(u"Ingen slik skriver").front(), u"Standard=0");
}

class Setup : public ::testing::Test {
protected:
    Setup() {
        dir = std::filesystem::temp_directory_path() / ("mirvo_prnsetup_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
    }
    ~Setup() override { std::filesystem::remove_all(dir); }
    std::string file(const char* name) {
        std::ifstream in(dir / name);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::filesystem::path dir;
};

TEST_F(Setup, SettingsKeptPerJobKindAndPrinter) {
    {
        TPrinterSetup setup(dir / "Mirvo_app.ini", dir / "Mirvo_user.ini");
        EXPECT_EQ(setup.setupFileName(), dir / "Mirvo_user.ini");
        TPrintJobOptions& o = setup.addJobKind(2, u"Nedbetalingsplan");
        EXPECT_TRUE(setup.jobKindExists(2));
        EXPECT_EQ(setup.getPrintOptions(5), nullptr);
        o.SetPrinterName(u"Skriver A");
        o.SetCopyCount(2);
        o.FWaterMark = u"x";
        o.FScale = 0.5;
        o.SetPaperSource(2, 260);
        o.SetOrientation(2, 2);
        setup.Save();
        setup.selectPrinter(2, u"Skriver B");
        setup.getPrintOptions(2)->SetCopyCount(5);
        setup.Save();
    }
    std::string user = file("Mirvo_user.ini");
    EXPECT_NE(user.find("[PrinterSetup 2 Skriver A]"), std::string::npos) << user;
    EXPECT_NE(user.find("Source2=260"), std::string::npos);
    EXPECT_NE(user.find("Scale1=0,5"), std::string::npos);

    TPrinterSetup again(dir / "Mirvo_app.ini", dir / "Mirvo_user.ini");
    TPrintJobOptions& o = again.addJobKind(2, u"Nedbetalingsplan");
    EXPECT_EQ(o.FPrinterName, u"Skriver B");
    EXPECT_EQ(o.FCopyCount, 5);
    again.selectPrinter(2, u"Skriver A");
    TPrintJobOptions& a = *again.getPrintOptions(2);
    EXPECT_EQ(a.FCopyCount, 2);
    EXPECT_EQ(a.FWaterMark, u"x");
    EXPECT_DOUBLE_EQ(a.FScale, 0.5);
    EXPECT_EQ(a.getPaperSource(2), 260);
    EXPECT_EQ(a.getOrientation(3), 2);

    // A shared setup lives in the application settings file.
    again.FSharedSetup = true;
    again.Save();
    EXPECT_EQ(again.setupFileName(), dir / "Mirvo_app.ini");
    TPrinterSetup shared(dir / "Mirvo_app.ini", dir / "Mirvo_user.ini");
    EXPECT_TRUE(shared.FSharedSetup);
    EXPECT_EQ(shared.addJobKind(2, u"").FPrinterName, u"Skriver A");
}

TEST(MediaFormatter, WatermarkCornerMarksAndTimeStamp) {
    auto doc = TRtfDocumentParser::LoadRTFDocument(
        "{\\rtf1\\paperw6000\\paperh8000\\margl500\\margr500\\margt500\\margb500 \\pard Tekst\\page Mer\\par}");
    TPrintOptions o;
    o.FWaterMark = u"ja";
    o.FTimeStamp = true;
    o.FPosMarks = {100, 100, 900, 1200};  // tenths of a millimetre
    test::FixedSurface s;
    TMediaFormatter f(s, &o);
    f.Now = [] { return 45356 + (14 * 3600 + 7 * 60 + 9) / 86400.0; };
    f.PrintDocument(*doc);
    ASSERT_EQ(s.pages, 2);
    for (int page = 1; page <= 2; ++page) {
        auto texts = s.onPage(page);
        int marks = 0;
        for (const auto& t : texts) marks += t.text == "Forslag";
        EXPECT_EQ(marks, 5);
        EXPECT_EQ(texts.front().text, "Forslag");  // under the content
        EXPECT_EQ(texts.back().text, "05.03.2024 14:07:09");
        EXPECT_EQ(texts.back().x, 300);  // a twentieth of the page width
        EXPECT_EQ(texts.back().y, 4000);
    }
    ASSERT_EQ(s.lines.size(), 16u);  // two arms at four corners on two pages
    // 100 tenths of a millimetre = 567 twips.
    EXPECT_EQ(s.lines[0], (std::pair<TPoint, TPoint>{{517, 567}, {617, 567}}));
}

int pdfPages(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    std::string pdf = s.str();
    int n = 0;
    for (size_t at = pdf.find("/Type /Page"); at != std::string::npos; at = pdf.find("/Type /Page", at + 1))
        if (pdf.compare(at, 12, "/Type /Pages") != 0) ++n;
    return n;
}

TEST(PagedOutput, SeveralLogicalPagesOnOneSheet) {
    test::ensureGuiApp();
    auto dir = std::filesystem::temp_directory_path() / ("mirvo_sheets_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    auto doc = TRtfDocumentParser::LoadRTFDocument(
        "{\\rtf1\\paperw11906\\paperh8000\\margl500\\margr500\\margt500\\margb500 \\pard a\\page b\\page c\\par}");
    TPrintOptions o;
    o.FPaperWidth = 2100;
    o.FPaperHeight = 2970;  // A4: two logical pages of 8000 twips fit on 16838
    for (bool optimise : {false, true}) {
        auto file = dir / (optimise ? "opt.pdf" : "plain.pdf");
        {
            QPdfWriter w(QString::fromStdString(file.string()));
            PrintDocument(*doc, w, 1, &o, optimise);
        }
        EXPECT_EQ(pdfPages(file), optimise ? 2 : 3);
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace kavelin::rtf

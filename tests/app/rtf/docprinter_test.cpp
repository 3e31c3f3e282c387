#include "app/rtf/documentbuilder.h"

#include "app/rtf/rtfparser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "qtapp.h"

namespace kavelin::rtf {
namespace {

std::string readAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int countOf(const std::string& s, const std::string& what) {
    int n = 0;
    for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
    return n;
}

TEST(RtfToPdf, WritesAPdfIntoANewFolder) {
    test::ensureGuiApp();
    auto root = std::filesystem::temp_directory_path() / "mirvo_rtf_pdf_test";
    std::filesystem::remove_all(root);
    auto dest = root / "sub" / "report.pdf";
    std::string rtf = "{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}}\\paperw11906\\paperh16838 Side en\\page Side to\\par}";
    TRtfToPDF::makeFile(rtf, dest);
    ASSERT_TRUE(std::filesystem::exists(dest));
    EXPECT_FALSE(std::filesystem::exists(dest.string() + ".tmp"));
    std::string pdf = readAll(dest);
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    EXPECT_EQ(countOf(pdf, "/Type /Page\n") + countOf(pdf, "/Type /Page\r") + countOf(pdf, "/Type /Page "), 2);
    // A4 in points: 595.3 x 841.9.
    EXPECT_NE(pdf.find("/MediaBox [0 0 595"), std::string::npos);

    EXPECT_THROW(TRtfToPDF::makeFile("not rtf", root / "bad.pdf"), ERtfError);
    EXPECT_FALSE(std::filesystem::exists(root / "bad.pdf"));
    std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace kavelin::rtf

// Framework-loan result requests: identifiers, raw and grouped output and
// the rules of the caller's buffer.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <string>
#include <vector>

#include "calc/rammelan/rmln.h"
#include "common/text/encoding.h"

namespace mirvo::beregning {
namespace {

std::string utf8(const std::u16string& s) { return kavelin::text::toUtf8(s); }

struct Answer {
    uint16_t code;
    std::string text;
};

class RmlnResults : public ::testing::Test {
protected:
    void input(std::u16string_view s) { ASSERT_EQ(rl.Input(s), 0); }

    Answer get(std::u16string_view id, int32_t param = 0, uint32_t len = 8000, bool fmt = false) {
        std::u16string buf(len + 1, u'#');
        rl.FFmtOutput = fmt;
        uint16_t code = rl.getResult(id, param, {buf.data(), len});
        rl.FFmtOutput = false;
        return {code, utf8(buf.c_str())};
    }

    TRMLN rl;
};

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> out(1);
    for (char c : s) {
        if (c == sep) out.emplace_back();
        else out.back() += c;
    }
    return out;
}

double number(std::string s) {
    for (char& c : s)
        if (c == ',') c = '.';
    double d = NAN;
    std::from_chars(s.data(), s.data() + s.size(), d);
    return d;
}

double quarterly(double q) { return (std::pow(1 + q, 4) - 1) * 100; }

constexpr char16_t kOrd[] = u"ORDBEVILGNING=1000000;ORDRENTESATS=6";

TEST_F(RmlnResults, ForlopRawAndGrouped) {
    input(kOrd);
    EXPECT_EQ(get(u"FORLOP", 50).text, "50;500000;0;0;30000;0;6,136;6,136");
    EXPECT_EQ(get(u"forlop", 50, 8000, true).text, "50;500 000;0;0;30 000;0;6,136;6,136");
    EXPECT_EQ(get(u"FORLOP", 50).code, 0);
}

TEST_F(RmlnResults, ForlopJoinsOrSplitsTheFees) {
    input(kOrd);
    input(u"KONTOHOLDSGEBYR=50;ETABLERINGSOMK=1000;DEPOTOMK=200;ORDPROVISJON=0,25");
    auto one = split(get(u"FORLOP", 50).text, ';');
    auto two = split(get(u"FORLOP2", 50).text, ';');
    ASSERT_EQ(one.size(), 8u);
    ASSERT_EQ(two.size(), 9u);
    EXPECT_EQ(std::vector(one.begin(), one.begin() + 6),
              (std::vector<std::string>{"50", "500000", "1800", "10000", "30000", "0"}));
    EXPECT_EQ(std::vector(two.begin(), two.begin() + 7),
              (std::vector<std::string>{"50", "500000", "1200", "600", "10000", "30000", "0"}));
    EXPECT_EQ(one[6], two[7]);
    EXPECT_EQ(one[7], two[8]);
    EXPECT_GT(number(one[6]), number(one[7]));  // the first rate carries the costs
}

TEST_F(RmlnResults, ForlopaRowForEveryDegree) {
    input(kOrd);
    std::string text = get(u"FORLOPA", 0).text;
    auto lines = split(text, '\n');
    ASSERT_EQ(lines.size(), 13u);  // twelve rows, each ended by a line feed
    EXPECT_EQ(lines.back(), "");
    for (int k = 0; k < 12; ++k) {
        auto cols = split(lines[size_t(k)], ';');
        ASSERT_EQ(cols.size(), 8u);
        EXPECT_EQ(cols[0], std::to_string(10 * (k + 1)));
        EXPECT_EQ(cols[1], std::to_string(100000 * (k + 1)));
    }
    EXPECT_EQ(lines[4], "50;500000;0;0;30000;0;6,136;6,136");

    TRMLN own;
    ASSERT_EQ(own.Input(u"ORDBEVILGNING=1000;UTNGRAD0=50;UTNGRAD1=100"), 0);
    char16_t buf[4000];
    ASSERT_EQ(own.getResult(u"FORLOPA", 0, {buf, 4000}), 0);
    auto ownLines = split(utf8(buf), '\n');
    ASSERT_EQ(ownLines.size(), 3u);
    EXPECT_EQ(ownLines[0].substr(0, 7), "50;500;");
    EXPECT_EQ(ownLines[1].substr(0, 9), "100;1000;");
}

TEST_F(RmlnResults, ForlopaNeedsRoomForAReport) {
    input(kOrd);
    char16_t buf[1000];
    EXPECT_THROW(rl.getResult(u"FORLOPA", 0, {buf, 1000}), std::exception);
}

TEST_F(RmlnResults, EffectiveRatesByParameterAndByDegree) {
    // Fixed commission 2,500 a quarter, so the rate depends on the utilisation.
    input(kOrd);
    input(u"ORDPROVISJON=0,25;ETABLERINGSOMK=1200");
    // Degree 3 is 40 %: U = 400,000, per quarter 6,000 + 2,500 (+ 300 costs).
    Answer byDegree = get(u"EFFRNT3");
    EXPECT_EQ(byDegree.code, 0);
    EXPECT_NEAR(number(byDegree.text), quarterly(8500.0 / 400000), 0.0005);
    EXPECT_EQ(get(u"EFFRNT", 40).text, byDegree.text);
    EXPECT_EQ(get(u"effrnt", 40).text, byDegree.text);

    Answer withCosts = get(u"EFFRNTETB3");
    EXPECT_NEAR(number(withCosts.text), quarterly(8800.0 / 400000), 0.0005);
    EXPECT_EQ(get(u"EFFRNTETB", 40).text, withCosts.text);
}

TEST_F(RmlnResults, DegreeOutOfRangeUsesDegreeZero) {
    input(kOrd);
    input(u"ORDPROVISJON=0,25");
    // Degree 0 is 10 %: U = 100,000, per quarter 1,500 + 2,500.
    Answer a = get(u"EFFRNT12");
    EXPECT_EQ(a.code, 108);
    EXPECT_EQ(a.text, "16,986");
    EXPECT_NEAR(number(a.text), quarterly(0.04), 0.0005);
    EXPECT_EQ(rl.error(), 108);
}

TEST_F(RmlnResults, DegreePrefixWithoutDigitsFails) {
    input(kOrd);
    EXPECT_EQ(get(u"EFFRNTETBX").code, 108);
}

TEST_F(RmlnResults, DegreePrefixIsCaseSensitive) {
    input(kOrd);
    EXPECT_EQ(get(u"effrnt3").code, 109);
}

TEST_F(RmlnResults, SingleValues) {
    input(kOrd);
    input(u"TILLBEVILGNING=500000");
    struct Case {
        std::u16string id;
        int32_t param;
        bool fmt;
        std::string text;
    } cases[] = {
        {u"RNT12MDRORD", 50, false, "45000,000"},   // U = 750,000
        {u"RNT12MDRORD", 50, true, "45 000,000"},
        {u"RNT12MDRTILL", 100, false, "30000,000"},
        {u"RNT12MDRTILL", 50, false, "0,000"},
        {u"BEVILGNINGNY", 0, false, "1500000,000"},
        {u"bevilgningny", 0, true, "1 500 000,000"},
        {u"EFFRNT", 50, false, "6,136"},
        {u"EFFRNT", 0, false, "NAN"},  // nothing drawn, nothing paid
        {u"VERSJON", 0, false, "4.00"},
    };
    for (const auto& c : cases) {
        Answer a = get(c.id, c.param, 8000, c.fmt);
        EXPECT_EQ(a.code, 0) << utf8(c.id);
        EXPECT_EQ(a.text, c.text) << utf8(c.id);
    }
}

TEST_F(RmlnResults, UnknownIdentifierIsKept) {
    input(kOrd);
    EXPECT_EQ(get(u"NOSUCH").code, 109);
    Answer later = get(u"VERSJON");
    EXPECT_EQ(later.code, 109);
    EXPECT_EQ(later.text, "");
}

TEST_F(RmlnResults, BufferRules) {
    input(kOrd);
    const std::string row = "50;500000;0;0;30000;0;6,136;6,136";
    Answer tight = get(u"FORLOP", 50, uint32_t(row.size()));
    EXPECT_EQ(tight.code, 0);
    EXPECT_EQ(tight.text, "");  // a value that does not fit is left out whole
    EXPECT_EQ(get(u"FORLOP", 50, uint32_t(row.size() + 1)).text, row);
    EXPECT_EQ(get(u"EFFRNT", 50, 5).text, "");
    EXPECT_EQ(get(u"EFFRNT", 50, 6).text, "6,136");

    EXPECT_EQ(rl.getResult(u"FORLOP", 50, {nullptr, 0}), 0);
    char16_t one = u'#';
    EXPECT_EQ(rl.getResult(u"FORLOPA", 0, {&one, 0}), 0);
    EXPECT_EQ(one, u'#');
}

TEST_F(RmlnResults, JsonMode) {
    input(kOrd);
    input(u"UTNGRAD0=50;UTNGRAD1=100");
    rl.initReportMode(kavelin::finans::TReportFmtMode::rmJSON);
    EXPECT_EQ(get(u"FORLOP", 50).text, "[50,500000,0,0,30000,0,6.136,6.136]");
    EXPECT_EQ(get(u"FORLOPA", 0).text,
              "[[50,500000,0,0,30000,0,6.136,6.136],[100,1000000,0,0,60000,0,6.136,6.136]]");
    EXPECT_EQ(get(u"VERSJON").text, "\"4.00\"");
}

}  // namespace
}  // namespace mirvo::beregning

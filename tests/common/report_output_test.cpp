#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/finans/report_output.h"

using namespace kavelin::finans;

namespace {

class Writer : public ::testing::Test {
protected:
    // Writes rows of (text, amount, date) into a buffer of the given size.
    std::u16string report(TReportOutput& w, size_t cap, int rows) {
        buffer.assign(cap, u'#');
        w.initDestBuffer(buffer.data(), ptrdiff_t(cap));
        w.bgnArrayOutput();
        for (int i = 0; i < rows; ++i) {
            if (!w.bgnAddRow()) break;
            w.addCol(u"T");
            w.addCol(5000.0 + i, 2);
            w.addCol_Date(Datorec::ymd(2025, 2, 15));
            w.addCol_Null();
            w.endAddRow();
        }
        w.endArrayOutput();
        return std::u16string(buffer.data());
    }
    std::vector<char16_t> buffer;
};

TEST_F(Writer, ModesSetSeparatorsAndDateFormats) {
    TReportOutput w;
    EXPECT_EQ(w.dateFmt(), u"DD.MM.YYYY");
    EXPECT_EQ(w.decimalSep(), u',');
    EXPECT_EQ(w.monthFmt(), u"MM.YYYY");
    EXPECT_EQ(w.weekFmt(), u"W.YYYY");
    EXPECT_EQ(w.quarterFmt(), u"Q.YYYY");
    EXPECT_EQ(w.halfYearFmt(), u"H.YYYY");
    EXPECT_EQ(w.yearFmt(), u"YYYY");

    w.Setmode(TReportFmtMode::rmNew);
    EXPECT_EQ(w.dateFmt(), u"YYYY-MM-DD");
    EXPECT_EQ(w.decimalSep(), u'.');
    EXPECT_EQ(w.monthFmt(), u"YYYY-MM");
    EXPECT_EQ(w.weekFmt(), u"YYYY-W");
    EXPECT_TRUE(w.hasDefaultDatefmt());

    w.SetdateFmt(u"YYYYMMDD");
    EXPECT_EQ(w.monthFmt(), u"YYYYMM");
    EXPECT_EQ(w.weekFmt(), u"YYYYW");
    EXPECT_FALSE(w.hasDefaultDatefmt());
    w.SetdateFmt(u"DD.MM.YY");
    EXPECT_EQ(w.yearFmt(), u"YY");
}

TEST_F(Writer, CallerChoicesSurviveModeChanges) {
    TReportOutput w;
    w.SetdecimalSep(u',');  // same as the default: still a default
    EXPECT_TRUE(w.hasDefaultDecimalSep());
    w.Setmode(TReportFmtMode::rmNew);
    w.SetdecimalSep(u',');
    w.SetdateFmt(u"DD/MM/YYYY");
    w.Setmode(TReportFmtMode::rmClassic);
    w.Setmode(TReportFmtMode::rmNew);
    EXPECT_EQ(w.decimalSep(), u',');
    EXPECT_EQ(w.dateFmt(), u"DD/MM/YYYY");
}

TEST_F(Writer, NumbersAsText) {
    TReportOutput w;
    EXPECT_EQ(w.valAsFmtStr(2, 1234567.891), u"1 234 567,89");
    EXPECT_EQ(w.valAsFmtStr(0, 999.0), u"999");
    EXPECT_EQ(w.valAsFmtStr(0, -1000.0), u"-1 000");
    EXPECT_EQ(w.valAsFmtStr(2, -123456.5), u"-123 456,50");
    EXPECT_EQ(w.valAsStr(2, 1234.5), u"1234,50");
    EXPECT_EQ(w.valAsStr(2, -0.001), u"0,00");
    EXPECT_EQ(w.valAsStr_SYS(3, 4.5), u"4.500");
    EXPECT_EQ(w.valAsStrNZ(2, 0.0001), u"");
    EXPECT_EQ(w.valAsStrNZ(2, 0.01), u"0,01");
    EXPECT_EQ(w.valAsStr(int64_t(-42)), u"-42");
    EXPECT_EQ(w.valAsStr(TDivResult{true, 1}, 2), u"");
    w.Setmode(TReportFmtMode::rmJSON);
    EXPECT_EQ(w.valAsFmtStr(2, 1234567.891), u"\"1 234 567.89\"");
    EXPECT_EQ(w.valAsStr(TDivResult{true, 1}, 2), u"null");
    EXPECT_EQ(w.valAsStr(2, std::nan("")), u"null");
}

TEST_F(Writer, ClassicAndJsonRows) {
    TReportOutput w;
    EXPECT_EQ(report(w, 2000, 2), u"T;5000,00;15.02.2025;\nT;5001,00;15.02.2025;\n");

    TReportOutput j;
    j.Setmode(TReportFmtMode::rmJSON);
    EXPECT_EQ(report(j, 2000, 2),
              u"[[\"T\",5000.00,\"2025-02-15\",null],[\"T\",5001.00,\"2025-02-15\",null]]");
}

TEST_F(Writer, MissingDateIsAnEmptyColumnOrNull) {
    TReportOutput w;
    std::vector<char16_t> buf(2000);
    w.initDestBuffer(buf.data(), 2000);
    w.bgnArrayOutput();
    w.bgnAddRow();
    w.addCol(u"A");
    w.addCol_Date(Datorec());
    w.addCol(u"B");
    w.endAddRow();
    w.endArrayOutput();
    EXPECT_EQ(std::u16string(buf.data()), u"A;;B\n");
}

TEST_F(Writer, BufferLimits) {
    TReportOutput w;
    EXPECT_THROW(report(w, 1251, 1), std::runtime_error);
    EXPECT_EQ(report(w, 1252, 1), u"T;5000,00;15.02.2025;\n");
    // Nothing written, nothing raised.
    EXPECT_NO_THROW(w.initDestBuffer(nullptr, 0));
    EXPECT_NO_THROW(w.bgnArrayOutput());
    EXPECT_FALSE(w.bgnAddRow());
    w.endArrayOutput();
    for (size_t cap : {1u, 2u}) EXPECT_EQ(report(w, cap, 3), u"");
}

TEST_F(Writer, FullReportStopsAfterLastWholeRow) {
    TReportOutput w;
    const std::u16string row = u"T;5000,00;15.02.2025;\n";  // 22 characters
    std::u16string text = report(w, 1300, 1000);
    // Usable end: 1300 - 2 - 1000 = 298 characters; rows start while below it.
    size_t rows = (298 + row.size() - 1) / row.size();
    EXPECT_EQ(text.size() % row.size(), 0u);
    EXPECT_EQ(text.size() / row.size(), rows);
    EXPECT_EQ(buffer[text.size()], 0);

    TReportOutput j;
    j.Setmode(TReportFmtMode::rmJSON);
    std::u16string json = report(j, 1300, 1000);
    EXPECT_EQ(json.front(), u'[');
    EXPECT_EQ(json.substr(json.size() - 2), u"]]");
}

TEST_F(Writer, CallerTextsAreEscapedInJson) {
    TReportOutput w;
    w.Setmode(TReportFmtMode::rmJSON);
    EXPECT_EQ(w.checkQuoted(u"a\"b\\c\nd\x01"), u"\"a\\\"b\\\\c\\nd\\u0001\"");
    w.SetdateFmt(u"DD\"MM\"YYYY");
    EXPECT_EQ(w.datoAsFmtStr(Datorec::ymd(2025, 2, 15)), u"\"15\\\"02\\\"2025\"");
}

TEST_F(Writer, PeriodCodesChooseTheDateFormat) {
    TReportOutput w;
    Datorec d = Datorec::ymd(2025, 5, 15);
    std::vector<char16_t> buf(2000);
    w.initDestBuffer(buf.data(), 2000);
    w.bgnArrayOutput();
    w.bgnAddRow();
    for (char16_t code : {u'D', u'M', u'Q', u'H', u'Y'}) w.addCol_Date(d, code);
    w.endAddRow();
    w.endArrayOutput();
    EXPECT_EQ(std::u16string(buf.data()), u"15.05.2025;05.2025;Q2.2025;H1.2025;2025\n");
    EXPECT_THROW(w.addCol_Date(d, u'X'), std::runtime_error);
}

TEST_F(Writer, SubListsAndLines) {
    TReportOutput w;
    EXPECT_EQ(w.makelineOfColumns({u"a", u"b"}), u"a;b");
    EXPECT_EQ(w.subListStr({u"1", u"2", u"3"}, 2), u"1|2");
    w.Setmode(TReportFmtMode::rmJSON);
    EXPECT_EQ(w.makelineOfColumns({u"1", u"2"}), u"[1,2]");
    EXPECT_EQ(w.subListStr({u"1", u"2"}, 2), u"[1,2]");

    std::vector<char16_t> buf(2000);
    w.initDestBuffer(buf.data(), 2000);
    w.bgnArrayOutput();
    w.bgnAddRow();
    w.addCol(int64_t(1));
    w.bgnAddSubCols();
    w.addCol(int64_t(2));
    w.addCol(int64_t(3));
    w.endAddSubCols();
    w.addCol(int64_t(4));
    w.endAddRow();
    w.endArrayOutput();
    EXPECT_EQ(std::u16string(buf.data()), u"[[1,[2,3],4]]");
}

}  // namespace

namespace {

// Grouped amounts as columns: whole amounts take their own path there.
TEST_F(Writer, GroupedAmountColumns) {
    struct Sak {
        double v;
        int des;
        const char16_t* classic;
        const char16_t* json;
    };
    const Sak saker[] = {
        {0.0, 0, u"0", u"\"0\""},
        {-0.4, 0, u"0", u"\"0\""},
        {12.0, 0, u"12", u"\"12\""},
        {999.5, 0, u"1 000", u"\"1 000\""},      // ties to even
        {-1000.0, 0, u"-1 000", u"\"-1 000\""},
        {1234567.0, 0, u"1 234 567", u"\"1 234 567\""},
        {-123456.5, 2, u"-123 456,50", u"\"-123 456.50\""},
        {1234.5, 1, u"1 234,5", u"\"1 234.5\""},
    };
    for (const Sak& s : saker) {
        for (bool json : {false, true}) {
            TReportOutput w;
            if (json) w.Setmode(TReportFmtMode::rmJSON);
            buffer.assign(2000, u'#');
            w.initDestBuffer(buffer.data(), 2000);
            w.bgnArrayOutput();
            ASSERT_TRUE(w.bgnAddRow());
            w.addCol_Fmt(s.v, s.des);
            w.endAddRow();
            w.endArrayOutput();
            const std::u16string ventet =
                json ? u"[[" + std::u16string(s.json) + u"]]" : std::u16string(s.classic) + u"\n";
            EXPECT_EQ(std::u16string(buffer.data()), ventet) << s.v << (json ? " json" : "");
        }
    }
}

}  // namespace

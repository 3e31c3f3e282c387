// Text buffer reader, name/value list and buffer writer.
#include <gtest/gtest.h>

#include <vector>

#include "common/buffer/bufferoutput.h"
#include "common/buffer/bufferparser.h"
#include "common/buffer/namevaluelist.h"
#include "common/utils/error.h"

using namespace kavelin;

namespace {

std::vector<std::u16string> columns(const TBufferParser& p) {
    std::vector<std::u16string> cols;
    for (int i = 0; i < p.colCount(); ++i) cols.push_back(p.getCol(i));
    return cols;
}

using Cols = std::vector<std::u16string>;

TEST(BufferParser, SplitsColumns) {
    struct Case {
        const char16_t* line;
        Cols cols;
    } cases[] = {
        {u"a;b;;c", {u"a", u"b", u"", u"c"}},
        {u"x;", {u"x", u""}},
        {u" a ; b", {u" a ", u" b"}},
        {u";", {u"", u""}},
    };
    for (auto c : cases) {
        TBufferParser p(c.line);
        ASSERT_TRUE(p.ReadLn());
        EXPECT_EQ(columns(p), c.cols);
        EXPECT_FALSE(p.ReadLn());
    }
}

TEST(BufferParser, LineEnds) {
    TBufferParser p(u"l1\r\nl2\nl3\rl4\n\r");
    Cols lines;
    while (p.ReadLn()) lines.push_back(p.getCol(0));
    // LF CR ends a line and leaves an empty line behind it.
    EXPECT_EQ(lines, (Cols{u"l1", u"l2", u"l3", u"l4", u""}));
    EXPECT_TRUE(p.hasLineBreaks());
    EXPECT_FALSE(TBufferParser(u"a;b").hasLineBreaks());
}

TEST(BufferParser, AfterTheLastLine) {
    TBufferParser p(u"a;b;c;d\n");
    ASSERT_TRUE(p.ReadLn());
    EXPECT_EQ(p.get(1, 3), u"b;c;d");
    EXPECT_TRUE(p.endOfBuff());
    EXPECT_FALSE(p.ReadLn());
    EXPECT_TRUE(p.eof());
    EXPECT_EQ(p.getCol(0), u"");
    EXPECT_EQ(p.get(1, 3), u";;");
}

TEST(BufferParser, LastLineAndRestart) {
    TBufferParser p(u"a;b\r\nc;d\r\n\r\n");
    ASSERT_TRUE(p.ReadLastLn());
    EXPECT_EQ(columns(p), (Cols{u"c", u"d"}));
    EXPECT_FALSE(p.ReadLn());
    p.gotoStart();
    EXPECT_FALSE(p.eof());
    ASSERT_TRUE(p.ReadLn());
    EXPECT_EQ(columns(p), (Cols{u"a", u"b"}));

    TBufferParser single(u"only");
    ASSERT_TRUE(single.ReadLastLn());
    EXPECT_EQ(single.getCol(0), u"only");
}

TEST(BufferParser, EmptyBuffers) {
    TBufferParser empty(u"");
    EXPECT_TRUE(empty.eof());
    EXPECT_FALSE(empty.ReadLn());
    EXPECT_FALSE(empty.ReadLastLn());
    TBufferParser none(static_cast<const char16_t*>(nullptr));
    EXPECT_FALSE(none.ReadLn());
}

TEST(BufferParser, OwnedBufferIsFilledByTheCaller) {
    TBufferParser p(size_t(16));
    EXPECT_TRUE(p.eof());
    std::u16string_view report = u"k;1\nm;2";
    std::copy(report.begin(), report.end(), p.buffer());
    ASSERT_TRUE(p.ReadLn());
    EXPECT_EQ(columns(p), (Cols{u"k", u"1"}));
    ASSERT_TRUE(p.ReadLn());
    EXPECT_EQ(p.getCol(1), u"2");
}

TEST(BufferParser, ExtraColumnsAreIgnored) {
    std::u16string line;
    for (int i = 0; i < 30; ++i) line += (i ? u";" : u"") + std::u16string(1, char16_t(u'A' + i % 26));
    line += u"\nnext";
    TBufferParser p(line.c_str());
    ASSERT_TRUE(p.ReadLn());
    EXPECT_EQ(p.colCount(), TBufferParser::kMaxCols);
    EXPECT_EQ(p.getCol(20), u"U");
    EXPECT_EQ(p.getCol(21), u"");
    EXPECT_EQ(p.get(19, 25), u"T;U");
    ASSERT_TRUE(p.ReadLn());  // the rest of the long line was skipped
    EXPECT_EQ(p.getCol(0), u"next");
}

TEST(BufferParser, ColumnsBeyondTheLineAreEmpty) {
    TBufferParser p(u"a;b;c\nd");
    p.ReadLn();
    p.ReadLn();
    EXPECT_EQ(p.getCol(1), u"");
    EXPECT_EQ(p.getCol(-1), u"");
}

TEST(NameAndValueList, ItemsAndBookmarks) {
    TNameAndValueList list(1);
    EXPECT_EQ(list.bookMarkLastIndex(), -1);
    EXPECT_EQ(list.add(u"RNTSATS", u"5"), 0);
    EXPECT_EQ(list.add(u"LAANEBELOP", u"1000"), 1);
    list.putBookMarkOnLastItem();
    EXPECT_EQ(list.add(u"RNTSATS", u"6"), 2);
    EXPECT_EQ(list.getValueByID(u"RNTSATS"), u"5");
    EXPECT_EQ(list.getValueByID(u"rntsats"), u"");
    EXPECT_EQ(list.getName(2), u"RNTSATS");
    EXPECT_EQ(list.getValueFromIndex(2), u"6");
    EXPECT_EQ(list.count(), 3);

    list.putBookmarkTags(0, u"ENDRDTO", u"01.01.2025");
    list.putBookMarkOnLastItem();
    EXPECT_EQ(list.bookmarkCount(), 2);
    EXPECT_EQ(list.bookMarkLastIndex(), 1);
    EXPECT_EQ(list.getBookmark(0).atIndex, 1);
    EXPECT_EQ(list.getBookmark(0).tag1, u"ENDRDTO");
    EXPECT_EQ(list.getBookmark(0).tag2, u"01.01.2025");
    EXPECT_EQ(list.getBookmark(1).atIndex, 2);
    EXPECT_EQ(list.getBookmark(1).tag1, u"");
    EXPECT_THROW(list.getItem(3), std::out_of_range);
    EXPECT_THROW(list.getBookmark(2), std::out_of_range);
}

TEST(BufferOutput, ColumnsAndLinesInACallersBuffer) {
    char16_t buf[32];
    TBufferOutput out(buf, 32);
    EXPECT_EQ(buf[0], 0);
    out.addCol(u"a");
    out.addCol(u"b");
    out.newLn();
    out.addCol(u"c");
    out.addLn(u"d");
    out.addCol(u"e");
    EXPECT_EQ(std::u16string_view(buf), u"a;b\nc\nd;e");
    EXPECT_EQ(out.text(), u"a;b\nc\nd;e");
}

TEST(BufferOutput, FirstLineHasNoSeparator) {
    char16_t buf[8];
    TBufferOutput out(buf, 8);
    out.addLn(u"x");
    out.addLn(u"y");
    EXPECT_EQ(out.text(), u"x\ny");
}

TEST(BufferOutput, FullFixedBufferThrowsAndKeepsItsText) {
    char16_t buf[6];
    TBufferOutput out(buf, 6);
    out.add(u"abcde");  // five characters and the terminating zero
    EXPECT_THROW(out.add(u"f"), utils::EKavelin);
    EXPECT_EQ(std::u16string_view(buf), u"abcde");
    TBufferOutput owned(4L);
    EXPECT_THROW(owned.add(u"abcd"), utils::EKavelin);
}

TEST(BufferOutput, OwnedBufferHasNoSeparators) {
    TBufferOutput out(100L);
    out.addCol(u"a");
    out.addCol(u"b");
    out.addLn(u"c");
    out.add(u"\r\n");
    EXPECT_EQ(out.text(), u"abc\r\n");
}

TEST(BufferOutput, GrowingBufferTakesEverything) {
    TBufferOutput out(TBufferOutput::kGrowing);
    EXPECT_EQ(out.maxLen(), 200'000u);
    out.add(u"<");
    std::u16string big(250'000, u'x');
    out.add(big);
    out.add(u">");
    EXPECT_EQ(out.text().size(), 250'002u);
    EXPECT_EQ(out.text().substr(0, 2), u"<x");
    EXPECT_EQ(out.text().back(), u'>');
    EXPECT_EQ(out.buffer()[250'002], 0);
    EXPECT_EQ(out.maxLen(), 300'000u);
}

}  // namespace

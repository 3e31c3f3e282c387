// Reading a result through a growing buffer, against a stand-in for the
// library's report writer.
#include <gtest/gtest.h>

#include <string>

#include "app/mng/calc_error.h"
#include "app/mng/result_buffer.h"

using mirvo::dll::readResult;

namespace {

// Writes `rows` rows of 49 characters and a line feed the way the library
// does: a row is started only while fewer than capacity − 1,002 characters
// are written, and a started row is completed.
struct FakeReport {
    int rows;
    int calls = 0;
    uint32_t operator()(char16_t* buffer, uint32_t capacity) {
        ++calls;
        if (capacity < 1252) return 10001;
        const size_t usable = capacity - 2 - 1000;
        size_t pos = 0;
        for (int r = 0; r < rows && pos < usable; ++r) {
            for (int k = 0; k < 49; ++k) buffer[pos++] = char16_t(u'0' + r % 10);
            buffer[pos++] = u'\n';
        }
        buffer[pos] = 0;
        return 0;
    }
};

}  // namespace

TEST(ReadResult, CutReportIsAskedAgainUntilWhole) {
    struct Case {
        int rows;
        uint32_t start;
        int calls;
    };
    // 3 000 rows are 150 000 characters: cut at 100 000, whole at 400 000.
    const Case cases[] = {{3000, 100000, 2}, {1000, 100000, 1}, {3000, 2000, 5}, {0, 2000, 1}};
    for (const Case& c : cases) {
        FakeReport fake{c.rows};
        std::u16string text;
        EXPECT_EQ(readResult(c.start, std::ref(fake), text), 0u);
        EXPECT_EQ(text.size(), size_t(c.rows) * 50);
        EXPECT_EQ(fake.calls, c.calls) << c.rows << " rows from " << c.start;
    }
}

TEST(ReadResult, ReportJustShortOfTheReserveIsNotAskedAgain) {
    // 98 850 characters in 100 000 leave 1 150 free: surely whole.
    FakeReport fake{1977};
    std::u16string text;
    EXPECT_EQ(readResult(100000, std::ref(fake), text), 0u);
    EXPECT_EQ(fake.calls, 1);
}

TEST(ReadResult, FailureCodeIsReturnedAtOnce) {
    FakeReport fake{10};
    std::u16string text = u"old";
    EXPECT_EQ(readResult(1000, std::ref(fake), text), 10001u);
    EXPECT_EQ(fake.calls, 1);
    EXPECT_TRUE(text.empty());
}

TEST(ReadResult, ReportTooLargeForTheLargestBufferIsRefused) {
    FakeReport fake{200000};  // 10 million characters
    std::u16string text;
    EXPECT_THROW(readResult(100000, std::ref(fake), text), mirvo::dll::EBeregning);
    EXPECT_TRUE(text.empty());
}

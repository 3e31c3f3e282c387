// 30/360 routines; expected values worked out by hand.
#include "common/finans/rente360.h"

#include <gtest/gtest.h>

using namespace kavelin::finans;

namespace {

Datorec D(int y, int m, int d) { return Datorec::ymd(y, m, d); }

TEST(Rente360, Dager360) {
    struct Case {
        Datorec a, b;
        int days;
    } cases[] = {
        {D(2024, 3, 31), D(2024, 2, 28), 32},   // one month + (30 - 28)
        {D(2024, 1, 31), D(2024, 1, 30), 0},    // 31st counts as the 30th
        {D(2024, 2, 1), D(2024, 1, 31), 1},
        {D(1996, 2, 2), D(1995, 2, 2), 360},
        {D(2023, 12, 15), D(2024, 1, 15), -30},
        {D(2100, 1, 1), D(2000, 1, 1), 36000},  // beyond 16 bits signed
    };
    for (auto c : cases) EXPECT_EQ(Dager360(c.a, c.b), c.days) << c.a.year() << "-" << c.a.month();
}

TEST(Rente360, AddMonthsKeepsTheDay) {
    Datorec d = D(2024, 1, 15);
    AddMndr360(-1, d);
    EXPECT_EQ(d, D(2023, 12, 15));
    d = D(2024, 1, 31);
    AddMndr360(13, d);
    EXPECT_EQ(d, D(2025, 2, 31));
    d = D(2024, 3, 10);
    AddMndr360(-25, d);
    EXPECT_EQ(d, D(2022, 2, 10));
}

TEST(Rente360, AddDaysInThirtyDayMonths) {
    struct Case {
        int n;
        Datorec from, to;
    } cases[] = {
        {0, D(2024, 1, 31), D(2024, 1, 30)},
        {1, D(2024, 1, 31), D(2024, 2, 1)},
        {45, D(2023, 12, 20), D(2024, 2, 5)},
        {360, D(2023, 6, 15), D(2024, 6, 15)},
        {10, D(2024, 2, 25), D(2024, 3, 5)},  // February has 30 days here
    };
    for (auto c : cases) {
        Datorec d = c.from;
        AddDager360(c.n, d);
        EXPECT_EQ(d, c.to) << c.n;
    }
}

TEST(Rente360, PeriodTexts) {
    struct Case {
        std::u16string_view text;
        bool ok;
        int days;
    } cases[] = {
        {u"25", true, 9000},
        {u"2Å 6M", true, 900},
        {u"2Å6M", true, 720},  // rest of a group up to a blank is skipped
        {u"2år 6mnd 10dager", true, 910},
        {u"3y 2m 1d", true, 1141},
        {u"2a", true, 720},
        {u"1D 1D 1D 1D", true, 3},  // groups after the third are ignored
        {u"180M", true, 5400},
        {u"1 Å", false, 0},
        {u"2Å 6", false, 0},
        {u"2X", false, 0},
        {u"", false, 0},
        {u"abc", false, 0},
        {u"-1", false, 0},
        {u"200", false, 65535},
        {u"100Å 100Å", false, 65535},
    };
    for (auto c : cases) {
        uint16_t days = 4711;
        EXPECT_EQ(StrTilDager360(c.text, days), c.ok) << std::string(c.text.begin(), c.text.end());
        EXPECT_EQ(days, c.days) << std::string(c.text.begin(), c.text.end());
    }
}

TEST(Rente360, PresentValue) {
    EXPECT_DOUBLE_EQ(Naaverdi360(D(2024, 1, 1), D(2025, 1, 1), 0, 1234.5), 1234.5);
    EXPECT_NEAR(Naaverdi360(D(2024, 1, 1), D(2025, 1, 1), 5, 1050), 1000, 1e-9);
    EXPECT_NEAR(Naaverdi360(D(2024, 1, 31), D(2024, 7, 31), 10.25, 1050), 1000, 1e-9);
}

}  // namespace

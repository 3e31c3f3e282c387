// Day numbers and calendar periods in the three conventions. Day numbers
// are days since 1 March 1952 counted from the calendar (365: without the
// 29 Februaries; 30/360: years of 360 and months of 30 days).
#include "common/finans/rntdato.h"

#include <cmath>

#include <gtest/gtest.h>

#include "common/utils/error.h"

using namespace kavelin::finans;
using kavelin::utils::EDatoUtenforOmraade;

namespace {

Datorec D(int y, int m, int d) { return Datorec::ymd(y, m, d); }

TRntDato conv(RDatoMode mode) {
    TRntDato r;
    switch (mode) {
        case RDatoMode::Dager360: r.InitRntDato(360, false); break;
        case RDatoMode::Dager365: r.InitRntDato(365, false); break;
        case RDatoMode::Kalender: r.InitRntDato(365, true); break;
    }
    return r;
}

const TRntDato kal = conv(RDatoMode::Kalender);
const TRntDato d365 = conv(RDatoMode::Dager365);
const TRntDato d360 = conv(RDatoMode::Dager360);

TEST(RntDato, ConventionFromInit) {
    EXPECT_EQ(TRntDato().rdatomode(), RDatoMode::Kalender);
    TRntDato r;
    r.InitRntDato(360, true);
    EXPECT_TRUE(r.rd360());
    r.InitRntDato(365, false);
    EXPECT_EQ(r.rdatomode(), RDatoMode::Dager365);
    r.InitRntDato(366, true);
    EXPECT_EQ(r.rdatomode(), RDatoMode::Kalender);
}

struct HookProbe : TRntDato {
    bool ran = false;

protected:
    void initHook() override { ran = true; }
};

TEST(RntDato, CreateRunsTheInitHook) { EXPECT_TRUE(TRntDato::create<HookProbe>()->ran); }

TEST(RntDato, DayNumbers) {
    struct Case {
        const TRntDato* c;
        Datorec d;
        int rd;
        bool roundTrip;
    } cases[] = {
        {&kal, D(1952, 3, 2), 1, true},      {&kal, D(2000, 1, 1), 17472, true},
        {&kal, D(2024, 2, 28), 26296, true}, {&kal, D(2024, 3, 1), 26298, true},
        {&kal, D(2131, 8, 5), 65535, true},  {&d365, D(2000, 1, 1), 17461, true},
        {&d365, D(2024, 2, 28), 26279, true}, {&d365, D(2024, 2, 29), 26280, false},
        {&d365, D(2024, 3, 1), 26280, true}, {&d365, D(2131, 9, 17), 65535, true},
        {&d360, D(2024, 1, 31), 25890, false}, {&d360, D(2024, 2, 1), 25890, true},
        {&d360, D(2024, 2, 28), 25917, true}, {&d360, D(2024, 2, 30), 25919, true},
        {&d360, D(2024, 3, 1), 25920, true}, {&d360, D(2134, 3, 16), 65535, true},
    };
    for (auto c : cases) {
        EXPECT_EQ(c.c->Dato2RDato(c.d), c.rd) << c.d.year() << "-" << c.d.month() << "-" << c.d.day();
        if (c.roundTrip) {
            EXPECT_EQ(c.c->RDato2Dato(TWordDate(c.rd)), c.d) << c.rd;
        }
    }
    for (const TRntDato* c : {&kal, &d365, &d360}) {
        EXPECT_EQ(c->Dato2RDato(D(1952, 3, 1)), 0);  // the epoch looks like no date
        EXPECT_EQ(c->Dato2RDato(Datorec()), 0);
        EXPECT_EQ(c->RDato2Dato(0), Datorec());
    }
}

TEST(RntDato, OutOfRangeIsCaughtNotAliased) {
    struct Case {
        const TRntDato* c;
        Datorec last;  // day number 65535
        Datorec after;
    } cases[] = {
        {&kal, D(2131, 8, 5), D(2131, 8, 6)},
        {&d365, D(2131, 9, 17), D(2131, 9, 18)},
        {&d360, D(2134, 3, 16), D(2134, 3, 17)},
    };
    for (auto c : cases) {
        EXPECT_TRUE(c.c->okrdato(c.last));
        EXPECT_FALSE(c.c->okrdato(c.after));
        EXPECT_THROW(c.c->Dato2RDato(c.after), EDatoUtenforOmraade);
        EXPECT_TRUE(c.c->okrdato(D(1952, 3, 2)));
        EXPECT_FALSE(c.c->okrdato(D(1952, 3, 1)));
        EXPECT_FALSE(c.c->okrdato(D(1952, 1, 15)));
        EXPECT_THROW(c.c->Dato2RDato(D(1952, 1, 15)), EDatoUtenforOmraade);
        EXPECT_THROW(c.c->Dato2RDato(D(2352, 6, 1)), EDatoUtenforOmraade);  // 400 years on
        EXPECT_THROW(c.c->AddrMndr(1, 65535), EDatoUtenforOmraade);
        EXPECT_THROW(c.c->AddrDager(-2, 1), EDatoUtenforOmraade);
        EXPECT_THROW(c.c->Dato2RDato(D(2024, 13, 1)), EDatoUtenforOmraade);
    }
    EXPECT_THROW(kal.intdate2rdato(84590), EDatoUtenforOmraade);
}

TEST(RntDato, CalendarDaysAcross2100) {
    // 2100 is no leap year: day numbers stay equal to calendar days.
    EXPECT_EQ(kal.Dato2RDato(D(2100, 3, 1)), 73110 - 19054);
    EXPECT_EQ(kal.Dato2RDato(D(2100, 3, 1)) - kal.Dato2RDato(D(2100, 2, 28)), 1);
    EXPECT_EQ(kal.intdate2rdato(73110), kal.Dato2RDato(D(2100, 3, 1)));
    EXPECT_EQ(kal.RDato2Dato(kal.AddrMndr(1, kal.Dato2RDato(D(2100, 1, 31)))), D(2100, 2, 28));
    EXPECT_EQ(kal.getDaysInYear(kal.Dato2RDato(D(2100, 6, 1))), 365);
    EXPECT_FALSE(kal.okrdato(D(2100, 2, 29)));
}

// Every day number of the range is the day after the one before it, counted
// with the Gregorian month lengths, and converts back to itself.
TEST(RntDato, EveryCalendarDayOfTheRange) {
    auto skuddaar = [](int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; };
    int y = 1952, m = 3, d = 1;
    for (int rd = 1; rd <= 0xFFFF; ++rd) {
        const int lengde[] = {31, skuddaar(y) ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        if (++d > lengde[m - 1]) {
            d = 1;
            if (++m > 12) m = 1, ++y;
        }
        ASSERT_EQ(kal.RDato2Dato(TWordDate(rd)), D(y, m, d)) << rd;
        ASSERT_EQ(kal.Dato2RDato(D(y, m, d)), rd);
    }
}

TEST(RntDato, ValidityPerConvention) {
    EXPECT_FALSE(d360.okrdato(D(2024, 1, 31)));
    EXPECT_TRUE(d360.okrdato(D(2023, 2, 30)));
    EXPECT_FALSE(d365.okrdato(D(2024, 2, 29)));
    EXPECT_TRUE(d365.okrdato(D(2024, 2, 28)));
    EXPECT_TRUE(d365.okrdato(D(2024, 12, 31)));
    EXPECT_TRUE(kal.okrdato(D(2024, 2, 29)));
    EXPECT_FALSE(kal.okrdato(D(2023, 2, 29)));
    EXPECT_FALSE(kal.okrdato(D(2024, 4, 31)));
    EXPECT_FALSE(kal.okrdato(Datorec()));
}

TEST(RntDato, SerialsAndDateTimes) {
    EXPECT_EQ(kal.intdate2rdato(45352), 26298);  // 1 March 2024
    EXPECT_EQ(kal.rdato2intdate(26298), 45352);
    EXPECT_EQ(d365.intdate2rdato(45352), 26280);
    EXPECT_EQ(d365.rdato2intdate(26280), 45352);
    EXPECT_EQ(d360.intdate2rdato(45352), 25920);
    EXPECT_EQ(kal.intdate2rdato(0), 0);
    EXPECT_EQ(d365.rdato2intdate(0), 0);
    EXPECT_EQ(kal.datetime2rdato(45351.9999995), 26298);
    EXPECT_EQ(kal.datetime2rdato(45352.75), 26298);
    EXPECT_DOUBLE_EQ(kal.rdato2datetime(26298), 45352.0);
    EXPECT_THROW(kal.datetime2rdato(NAN), EDatoUtenforOmraade);
}

TEST(RntDato, AddMonthsWithEndOfMonthRule) {
    struct Case {
        const TRntDato* c;
        Datorec from;
        int n;
        Datorec to;
    } cases[] = {
        {&kal, D(2024, 1, 31), 1, D(2024, 2, 29)},  {&kal, D(2023, 1, 31), 1, D(2023, 2, 28)},
        {&kal, D(2023, 3, 31), -1, D(2023, 2, 28)}, {&kal, D(2023, 1, 30), 1, D(2023, 2, 28)},
        {&kal, D(2024, 1, 29), 1, D(2024, 2, 29)},  {&kal, D(2023, 3, 31), 1, D(2023, 4, 30)},
        {&kal, D(2024, 2, 29), 12, D(2025, 2, 28)}, {&kal, D(2023, 8, 31), -6, D(2023, 2, 28)},
        {&kal, D(2023, 12, 31), 2, D(2024, 2, 29)}, {&kal, D(2023, 11, 15), 3, D(2024, 2, 15)},
        {&kal, D(2024, 5, 15), -17, D(2022, 12, 15)}, {&kal, D(2024, 1, 31), 0, D(2024, 1, 31)},
        {&d365, D(2024, 1, 31), 1, D(2024, 2, 28)}, {&d365, D(2024, 3, 31), 6, D(2024, 9, 30)},
    };
    for (auto c : cases) {
        EXPECT_EQ(c.c->RDato2Dato(c.c->AddrMndr(c.n, c.c->Dato2RDato(c.from))), c.to)
            << c.from.year() << "-" << c.from.month() << "-" << c.from.day() << " + " << c.n;
    }
    for (int rd : {1, 25890, 40000}) EXPECT_EQ(d360.AddrMndr(1, TWordDate(rd)), rd + 30);
    EXPECT_EQ(d360.AddrMndr(-12, 25920), 25920 - 360);
}

TEST(RntDato, PeriodBetweenDates) {
    int d, m, y;
    kal.calcTidsrom(D(2023, 1, 15), D(2025, 3, 20), d, m, y);
    EXPECT_EQ((std::array{y, m, d}), (std::array{2, 2, 5}));
    // Day borrow: 20 Jan to 15 Mar is 1 month (to 20 Feb) and the days from there.
    kal.calcTidsrom(D(2023, 1, 20), D(2023, 3, 15), d, m, y);
    EXPECT_EQ((std::array{y, m, d}), (std::array{0, 1, 23}));
    d360.calcTidsrom(D(2023, 1, 20), D(2023, 3, 15), d, m, y);
    EXPECT_EQ((std::array{y, m, d}), (std::array{0, 1, 25}));
    kal.calcTidsrom(D(2023, 12, 20), D(2024, 1, 10), d, m, y);
    EXPECT_EQ((std::array{y, m, d}), (std::array{0, 0, 21}));

    kal.calcTidsrom(kal.Dato2RDato(D(2023, 1, 15)), kal.Dato2RDato(D(2025, 3, 20)), d, m);
    EXPECT_EQ(m, 26);
    EXPECT_EQ(d, 5);
    EXPECT_EQ(kal.calcTidsrom(TWordDate(100), TWordDate(130)), 30);
    EXPECT_EQ(kal.calcTidsrom(TWordDate(0), TWordDate(130)), 0);
}

TEST(RntDato, CalendarPeriods) {
    const TWordDate aug15 = kal.Dato2RDato(D(2024, 8, 15));
    EXPECT_EQ(kal.RDato2Dato(kal.rd_1stjanuar(aug15)), D(2024, 1, 1));
    EXPECT_EQ(kal.RDato2Dato(kal.rd_1stimnd(aug15)), D(2024, 8, 1));
    EXPECT_EQ(kal.RDato2Dato(kal.rd_1stiKvartal(aug15)), D(2024, 7, 1));
    EXPECT_EQ(kal.RDato2Dato(kal.rd_1stiHalvaar(aug15)), D(2024, 7, 1));
    EXPECT_EQ(kal.RDato2Dato(kal.rd_1stiHalvaar(kal.Dato2RDato(D(2024, 2, 15)))), D(2024, 1, 1));
    EXPECT_EQ(kal.RDato2Dato(kal.nesteNyttaar(aug15)), D(2025, 1, 1));
    EXPECT_EQ(d360.RDato2Dato(d360.nesteNyttaar(d360.Dato2RDato(D(2024, 12, 30)))), D(2025, 1, 1));
    EXPECT_EQ(kal.getYear(aug15), 2024);
    EXPECT_EQ(kal.getMonth(aug15), 8);
    EXPECT_EQ(kal.getQuarter(aug15), 7);
    EXPECT_EQ(kal.getHalfYear(aug15), 2);

    const TWordDate sep30 = kal.Dato2RDato(D(2024, 9, 30));
    const TWordDate lastYear = kal.Dato2RDato(D(2023, 8, 15));
    EXPECT_FALSE(kal.isSameMonth(aug15, sep30));
    EXPECT_TRUE(kal.isSameQuarter(aug15, sep30));
    EXPECT_TRUE(kal.isSameHalfYear(aug15, sep30));
    EXPECT_TRUE(kal.isSameYear(aug15, sep30));
    EXPECT_FALSE(kal.isSameMonth(aug15, lastYear));
    EXPECT_FALSE(kal.isSameQuarter(aug15, lastYear));
    EXPECT_FALSE(kal.isSameHalfYear(aug15, lastYear));
    EXPECT_FALSE(kal.isSameYear(aug15, lastYear));
}

TEST(RntDato, PeriodLengths) {
    struct Case {
        Datorec d;
        int mnd[3], kv[3], halv[3], aar[3];  // 30/360, 365, calendar
    } cases[] = {
        {D(2024, 2, 10), {30, 28, 29}, {90, 90, 91}, {180, 181, 182}, {360, 365, 366}},
        {D(2023, 2, 10), {30, 28, 28}, {90, 90, 90}, {180, 181, 181}, {360, 365, 365}},
        {D(2024, 5, 31), {30, 31, 31}, {90, 91, 91}, {180, 181, 182}, {360, 365, 366}},
        {D(2024, 8, 1), {30, 31, 31}, {90, 92, 92}, {180, 184, 184}, {360, 365, 366}},
        {D(2024, 11, 30), {30, 30, 30}, {90, 92, 92}, {180, 184, 184}, {360, 365, 366}},
    };
    const TRntDato* convs[3] = {&d360, &d365, &kal};
    for (auto c : cases) {
        for (int i = 0; i < 3; ++i) {
            const TWordDate rd = convs[i]->Dato2RDato(c.d);
            EXPECT_EQ(convs[i]->getDaysInMonth(rd), c.mnd[i]) << i << " " << c.d.month();
            EXPECT_EQ(convs[i]->getDaysInQuarter(rd), c.kv[i]) << i << " " << c.d.month();
            EXPECT_EQ(convs[i]->getDaysInHalfYear(rd), c.halv[i]) << i << " " << c.d.month();
            EXPECT_EQ(convs[i]->getDaysInYear(rd), c.aar[i]) << i << " " << c.d.month();
        }
    }
}

TEST(RntDato, MeanPeriodLengths) {
    auto rd = [](const TRntDato& c, int y, int m, int d) { return c.Dato2RDato(D(y, m, d)); };
    EXPECT_DOUBLE_EQ(kal.getAverageDaysPrMonth(rd(kal, 2024, 2, 1), rd(kal, 2024, 3, 1)), 29);
    EXPECT_DOUBLE_EQ(d365.getAverageDaysPrMonth(rd(d365, 2024, 2, 1), rd(d365, 2024, 3, 1)), 28);
    EXPECT_DOUBLE_EQ(kal.getAverageDaysPrMonth(rd(kal, 2024, 1, 1), rd(kal, 2024, 3, 1)), 30);
    // 17 of January's 31 days and 14 of February's 29.
    EXPECT_DOUBLE_EQ(kal.getAverageDaysPrMonth(rd(kal, 2024, 1, 15), rd(kal, 2024, 2, 15)),
                     31 / (17.0 / 31 + 14.0 / 29));
    EXPECT_DOUBLE_EQ(kal.getAverageDaysPrQuarter(rd(kal, 2024, 1, 1), rd(kal, 2024, 7, 1)), 91);
    EXPECT_DOUBLE_EQ(kal.getAverageDaysPrHalfYear(rd(kal, 2024, 1, 1), rd(kal, 2025, 1, 1)), 183);
    EXPECT_DOUBLE_EQ(kal.getAverageDaysPrYear(rd(kal, 2024, 1, 1), rd(kal, 2025, 1, 1)), 366);
    EXPECT_DOUBLE_EQ(kal.getAverageDaysPrYear(rd(kal, 2023, 7, 1), rd(kal, 2024, 7, 1)),
                     366 / (184.0 / 365 + 182.0 / 366));
    EXPECT_DOUBLE_EQ(d365.getAverageDaysPrYear(rd(d365, 2023, 7, 1), rd(d365, 2024, 7, 1)), 365);
    EXPECT_DOUBLE_EQ(d360.getAverageDaysPrMonth(100, 200), 30);
    EXPECT_DOUBLE_EQ(d360.getAverageDaysPrQuarter(100, 200), 90);
    EXPECT_DOUBLE_EQ(d360.getAverageDaysPrHalfYear(100, 200), 180);
    EXPECT_DOUBLE_EQ(d360.getAverageDaysPrYear(100, 200), 360);
    EXPECT_THROW(kal.getAverageDaysPrMonth(200, 200), std::invalid_argument);
}

TEST(RntDato, YearsBetweenDates) {
    auto rd = [](const TRntDato& c, int y, int m, int d) { return c.Dato2RDato(D(y, m, d)); };
    EXPECT_DOUBLE_EQ(kal.calcAntAar(rd(kal, 2023, 1, 1), rd(kal, 2025, 1, 1)), 2);
    EXPECT_DOUBLE_EQ(kal.calcAntAar(rd(kal, 2023, 7, 1), rd(kal, 2024, 7, 1)), 184.0 / 365 + 182.0 / 366);
    EXPECT_DOUBLE_EQ(d360.calcAntAar(rd(d360, 2023, 7, 1), rd(d360, 2024, 7, 1)), 1);
    EXPECT_DOUBLE_EQ(kal.calcAntAar(rd(kal, 2023, 7, 1), rd(kal, 2023, 7, 1)), 0);
    // Near the end of the range the next new year is past 65535.
    EXPECT_DOUBLE_EQ(kal.calcAntAar(rd(kal, 2131, 1, 1), rd(kal, 2131, 7, 2)), 182.0 / 365);
}

TEST(RntDato, TermDatesAroundADate) {
    auto rd = [](int y, int m, int d) { return kal.Dato2RDato(D(y, m, d)); };
    EXPECT_EQ(kal.naermesteTerminDato(rd(2024, 1, 31), rd(2024, 4, 15), 30),
              (TClosestResult{rd(2024, 3, 31), rd(2024, 4, 30)}));
    EXPECT_EQ(kal.naermesteTerminDato(rd(2024, 1, 31), rd(2024, 8, 1), 90),
              (TClosestResult{rd(2024, 7, 31), rd(2024, 10, 31)}));
    EXPECT_EQ(kal.naermesteTerminDato(rd(2024, 1, 31), rd(2024, 1, 10), 30),
              (TClosestResult{rd(2024, 1, 31), rd(2024, 1, 31)}));
    EXPECT_THROW(kal.naermesteTerminDato(rd(2024, 1, 31), rd(2024, 4, 15), 29), std::invalid_argument);
    // "Never" lies beyond every candidate: an error, not an endless loop.
    EXPECT_THROW(kal.naermesteTerminDato(rd(2024, 1, 31), kNever, 30), EDatoUtenforOmraade);
}

TEST(RntDato, PeriodTexts) {
    struct Case {
        Datorec from, to;
        std::u16string_view sysNo, sysEn, no, en;
    } cases[] = {
        {D(2023, 1, 15), D(2025, 3, 20), u"2år 2mdr 5dgr", u"2Y 2M 5D", u"2 år, 2 mnd og 5 dg",
         u"2 years, 2 months and 5 days"},
        {D(2023, 1, 15), D(2024, 1, 15), u"1år 0mdr 0dgr", u"1Y 0M 0D", u"1 år", u"1 year"},
        {D(2023, 1, 15), D(2024, 4, 15), u"1år 3mdr 0dgr", u"1Y 3M 0D", u"1 år og 3 mnd", u"1 year and 3 months"},
        {D(2023, 1, 15), D(2024, 1, 19), u"1år 0mdr 4dgr", u"1Y 0M 4D", u"1 år, 0 mnd og 4 dg",
         u"1 year, 0 month and 4 days"},
        {D(2024, 1, 15), D(2024, 4, 16), u"0år 3mdr 1dgr", u"0Y 3M 1D", u"3 mnd og 1 dg", u"3 months and 1 day"},
        {D(2024, 1, 15), D(2024, 1, 25), u"0år 0mdr 10dgr", u"0Y 0M 10D", u"10 dager", u"10 days"},
        {D(2024, 1, 15), D(2024, 1, 16), u"0år 0mdr 1dgr", u"0Y 0M 1D", u"1 dag", u"1 day"},
        {D(2024, 1, 15), D(2024, 3, 15), u"0år 2mdr 0dgr", u"0Y 2M 0D", u"2 måneder", u"2 months"},
        {D(2024, 1, 15), D(2024, 2, 15), u"0år 1mdr 0dgr", u"0Y 1M 0D", u"1 måned", u"1 month"},
    };
    for (auto c : cases) {
        EXPECT_EQ(kal.periodToStr(c.from, c.to, pfSystem_no), c.sysNo);
        EXPECT_EQ(kal.periodToStr(c.from, c.to, pfSystem_en), c.sysEn);
        EXPECT_EQ(kal.periodToStr(c.from, c.to, pfText_no), c.no);
        EXPECT_EQ(kal.periodToStr(c.from, c.to, pfText_en), c.en);
    }
}

TEST(RntDato, DateText) {
    EXPECT_EQ(kal.rdatostr(26298, u"DD.MM.YYYY"), u"01.03.2024");
    EXPECT_EQ(kal.rdatostr(0, u"DD.MM.YYYY"), u"");
}

}  // namespace

// Calendar operations on Datorec; expected values from the calendar.
#include "common/utils/dates.h"

#include <gtest/gtest.h>

#include "common/utils/error.h"

using kavelin::finans::Datorec;
using namespace kavelin::utils;

namespace {

Datorec D(int y, int m, int d) { return Datorec::ymd(y, m, d); }

// Restores the process-wide pivot after a test changes it.
struct PivotGuard {
    int saved = twoDigitYearPivot();
    ~PivotGuard() { setTwoDigitYearPivot(saved); }
};

TEST(Dates, SerialNumbersBothWays) {
    struct Case {
        Datorec d;
        int serial;
    } cases[] = {
        {D(1900, 1, 1), 2},         {D(1952, 3, 1), 19054},      {D(2000, 1, 1), 36526},
        {D(2024, 2, 29), 45351},    {D(2131, 8, 5), 84589},      {D(1800, 1, 1), -36522},
        {D(2100, 3, 1), 73110},
    };
    for (auto c : cases) {
        EXPECT_EQ(dato2intdate(c.d), c.serial) << c.d.year();
        EXPECT_EQ(intdate2dato(c.serial), c.d) << c.serial;
    }
    EXPECT_EQ(dato2intdate(Datorec()), 0);
    EXPECT_EQ(dato2intdate(D(2024, 13, 1)), 0);
    EXPECT_EQ(intdate2dato(0), Datorec());
    EXPECT_THROW(intdate2dato(3'000'000), EDatoUtenforOmraade);
}

TEST(Dates, CalendarValidity) {
    EXPECT_TRUE(okdato(D(2024, 2, 29)));
    EXPECT_TRUE(okdato(D(2000, 2, 29)));
    EXPECT_FALSE(okdato(D(2023, 2, 29)));
    EXPECT_FALSE(okdato(D(1900, 2, 29)));
    EXPECT_FALSE(okdato(D(2024, 4, 31)));
    EXPECT_TRUE(okdato(D(2024, 12, 31)));
    EXPECT_FALSE(okdato(D(2024, 1, 0)));
    EXPECT_FALSE(okdato(D(2024, 13, 1)));
    EXPECT_FALSE(okdato(Datorec()));
    EXPECT_EQ(dagerimnd(2024, 2), 29);
    EXPECT_EQ(dagerimnd(2100, 2), 28);
    EXPECT_EQ(dagerimnd(D(2023, 11, 5)), 30);
}

TEST(Dates, IsoWeekNumbers) {
    struct Case {
        Datorec d;
        int week;
    } cases[] = {
        {D(2024, 6, 15), 24}, {D(2022, 1, 1), 52},  {D(2021, 1, 3), 53}, {D(2012, 12, 31), 1},
        {D(2020, 12, 31), 53}, {D(2024, 12, 30), 1}, {D(2026, 1, 1), 1},  {D(2015, 12, 31), 53},
        {D(2024, 1, 1), 1},
    };
    for (auto c : cases) EXPECT_EQ(ukenr(c.d), c.week) << c.d.year() << "-" << c.d.month() << "-" << c.d.day();
}

TEST(Dates, FormatDates) {
    const Datorec d = D(2024, 3, 5);
    EXPECT_EQ(datostr(d, u"DD.MM.YYYY"), u"05.03.2024");
    EXPECT_EQ(datostr(d, u"D.M.YY"), u"5.3.24");
    EXPECT_EQ(datostr(d, u"YYYYMMDD"), u"20240305");
    EXPECT_EQ(datostr(d, u"Y-Q H W"), u"24-Q1 H1 W10");
    EXPECT_EQ(datostr(D(2024, 11, 30), u"YYYY Q H"), u"2024 Q4 H2");
    EXPECT_EQ(datostr(Datorec(), u"DD.MM.YYYY"), u"");
    EXPECT_EQ(datostr(d, u"DD.MM.YYYY and more text"), u"05.03.2024 and more ");
    try {
        datostr(d, u"DD.XX");
        FAIL();
    } catch (const EKavelin& e) {
        EXPECT_EQ(e.message(), u"Date format not supported! (DD.XX)");
    }
}

TEST(Dates, ReadDates) {
    PivotGuard g;
    setTwoDigitYearPivot(50);
    struct Case {
        std::u16string_view text, fmt;
        bool ok;
        Datorec d;
    } cases[] = {
        {u"15.01.2024", u"DD.MM.YYYY", true, D(2024, 1, 15)},
        {u"5.1.2024", u"dd.mm.yyyy", true, D(2024, 1, 5)},
        {u" 15/01/24 ", u"DD/MM/YY", true, D(2024, 1, 15)},
        {u"15.01.67", u"DD.MM.YYYY", true, D(1967, 1, 15)},
        {u"20241231", u"YYYYMMDD", true, D(2024, 12, 31)},
        {u"31122024", u"DDMMYYYY", true, D(2024, 12, 31)},
        {u"2024123", u"YYYYMMDD", false, Datorec()},
        {u"15.01", u"DD.MM.YYYY", false, Datorec()},
        {u"15.01.2024.3", u"DD.MM.YYYY", false, Datorec()},
        {u"15.1A.2024", u"DD.MM.YYYY", false, Datorec()},
        {u"15..2024", u"DD.MM.YYYY", false, Datorec()},
        // Values that would wrap their byte into another, valid date.
        {u"257.01.2024", u"DD.MM.YYYY", false, Datorec()},
        {u"", u"DD.MM.YYYY", true, Datorec()},
        {u"   ", u"DD.MM.YYYY", true, Datorec()},
    };
    for (auto c : cases) {
        Datorec d(123);
        EXPECT_EQ(StrTilDato(c.text, c.fmt, d), c.ok) << std::string(c.text.begin(), c.text.end());
        EXPECT_EQ(d, c.d) << std::string(c.text.begin(), c.text.end());
    }
    // Validity is the caller's business.
    EXPECT_EQ(StrTilDato(u"31.02.2024", u"DD.MM.YYYY"), D(2024, 2, 31));
}

TEST(Dates, TwoDigitYearPivot) {
    PivotGuard g;
    setTwoDigitYearPivot(25);
    EXPECT_EQ(StrTilDato(u"15.01.24", u"DD.MM.YYYY"), D(2024, 1, 15));
    setTwoDigitYearPivot(24);
    EXPECT_EQ(StrTilDato(u"15.01.24", u"DD.MM.YYYY"), D(1924, 1, 15));
}

TEST(Dates, PivotStartsFortyYearsBack) {
    EXPECT_EQ(twoDigitYearPivot(), (dagensDato().year() - 40) % 100);
}

TEST(Dates, ReadingErrors) {
    try {
        StrTilDato(u"abc", u"DD.MM.YYYY");
        FAIL();
    } catch (const EKavelin& e) {
        EXPECT_EQ(e.message(), u"Ikke gyldig datostreng! (abc)");
    }
    try {
        Datorec d;
        StrTilDato(u"15.01.2024", u"DD.MMM.YYYY", d);
        FAIL();
    } catch (const EKavelin& e) {
        EXPECT_EQ(e.message(), u"Ikke støttet datoformat i Datorec.create! (MMM)");
    }
}

}  // namespace

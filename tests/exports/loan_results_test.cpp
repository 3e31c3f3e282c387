// Loan results as a host program reads them through the exports.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "mirvo32.h"

namespace {

constexpr char16_t kAnnuitet[] = u"LBELOP=1000000;RNTSATS=4,5;LOPETID=25;UTBDTO=01.02.2025";

std::u16string feiltekst(uint32_t code) {
    char16_t buf[1024];
    MVgeterror_w(uint16_t(code), buf, 1024);
    return buf;
}

double tall(const std::u16string& s) {
    std::string a;
    for (char16_t c : s)
        if (c != u' ') a += c == u',' ? '.' : char(c);
    return a.empty() ? 0 : std::stod(a);
}

class Exported : public ::testing::Test {
protected:
    void SetUp() override {
        h = MVinitialize();
        ASSERT_EQ(MVinput_w(h, kAnnuitet), 0u);
        char16_t probe[64];
        ASSERT_EQ(MVgetresult_w(h, u"EFFRNT", 0, probe, 64), 0u) << "EFFRNT";
    }
    void TearDown() override { MVterminate(h); }

    std::u16string get(const char16_t* id, bool fmt = false, uint16_t param = 0, uint32_t cap = 200000) {
        std::u16string buf(cap, u'\0');
        last = fmt ? MVgetfmtresult_w(h, id, param, buf.data(), cap) : MVgetresult_w(h, id, param, buf.data(), cap);
        return buf.c_str();
    }

    void* h = nullptr;
    uint32_t last = 0;
};

TEST_F(Exported, RawFormattedAndNarrow) {
    EXPECT_EQ(get(u"LBELOP"), u"1000000");
    EXPECT_EQ(get(u"LBELOP", true), u"1 000 000");
    EXPECT_EQ(get(u"LBELOP"), u"1000000") << "the formatted flag lasts one call";
    char narrow[64];
    EXPECT_EQ(MVgetresult(h, "loanamount", 0, narrow, 64), 0u);
    EXPECT_STREQ(narrow, "1000000");
}

TEST_F(Exported, TotalsMatchTheScheduleTotalRow) {
    std::u16string plan = get(u"NBPLAN", false, 99);
    ASSERT_EQ(last, 0u);
    size_t s = plan.rfind(u"\nS;");
    ASSERT_NE(s, std::u16string::npos);
    std::vector<std::u16string> cols;
    for (size_t p = s + 1, e; p < plan.size(); p = e + 1) {
        e = plan.find_first_of(u";\n", p);
        cols.push_back(plan.substr(p, e - p));
        if (plan[e] == u'\n') break;
    }
    ASSERT_EQ(cols.size(), 7u);
    EXPECT_NEAR(tall(cols[2]), tall(get(u"TSUMINNB")), 0.5);
    EXPECT_NEAR(tall(cols[3]), tall(get(u"TSUMRNT")), 0.5);
    EXPECT_NEAR(tall(cols[4]), 1000000, 0.5);
}

TEST_F(Exported, TooSmallReportBufferIsAStoredGeneratedError) {
    std::u16string t = get(u"NBPLAN", false, 99, 1251);
    EXPECT_GE(last, 10000u);
    EXPECT_EQ(feiltekst(last).substr(0, 40), u"Probably too small calculation output bu");
    EXPECT_EQ(MVgeterrorcode(h), last);
}

TEST_F(Exported, ReportStopsAtTheBufferEnd) {
    std::u16string kort = get(u"NBPLAN", false, 99, 2000);
    ASSERT_EQ(last, 0u);
    EXPECT_LE(kort.size(), 1999u);
    ASSERT_FALSE(kort.empty());
    EXPECT_EQ(kort.back(), u'\n') << "only whole rows";
    EXPECT_EQ(get(u"NBPLAN", false, 99).substr(0, kort.size()), kort);
}

}  // namespace

namespace {

// A schedule asked for first is written by the calculation's own run; it
// must be the schedule that a run after the calculation writes.
struct Utdata {
    uint32_t kode;
    std::u16string tekst;
};

Utdata hent(void* h, const char16_t* id, bool fmt, uint16_t param, uint32_t cap) {
    std::u16string buf(cap, u'\0');
    const uint32_t kode = fmt ? MVgetfmtresult_w(h, id, param, buf.data(), cap) : MVgetresult_w(h, id, param, buf.data(), cap);
    return {kode, buf.c_str()};
}

TEST(ScheduleFirst, SameAsAfterTheCalculation) {
    const char16_t* laan[] = {
        kAnnuitet,
        u"LBELOP=1000000;RNTSATS=4,5;LOPETID=25;UTBDTO=01.02.2025;LNTYPE=S;PROVISJON=45;ETBLGBYR=2500",
        u"LBELOP=800000;RNTSATS=3,9;LOPETID=20;UTBDTO=15.03.2025;AVDRFRIHETY=2;ENDRDTO=15.03.2030;RNTSATS=5,2",
        u"LBELOP=500000;RNTSATS=6;LOPETID=10;UTBDTO=31.01.2025;DRIFTSSYS=DN;ENDRDTO=01.06.2026;XORDINB=50000",
        u"LBELOP=2000000;RNTSATS=4;LOPETID=30;UTBDTO=01.02.2025;RNTSATS2=5;RNTTRINN2=1000000;OBSDATO=01.01.2027",
    };
    struct Foresp {
        const char16_t* id;
        bool fmt;
        uint16_t param;
        uint32_t cap;
    };
    const Foresp foresp[] = {{u"NBPLAN", true, 99, 200000}, {u"NBPLAN", false, 2, 200000},
                             {u"FORLOP", false, 99, 200000}, {u"AARSSUMMER", true, 99, 200000},
                             {u"NBPLAN", true, 99, 300}};
    for (const char16_t* input : laan)
        for (const Foresp& f : foresp) {
            SCOPED_TRACE(std::string(f.id, f.id + std::char_traits<char16_t>::length(f.id)) + " " +
                         std::to_string(f.param) + " " + std::to_string(f.cap));
            void* foerst = MVinitialize();
            void* etter = MVinitialize();
            ASSERT_EQ(MVinput_w(foerst, input), 0u);
            ASSERT_EQ(MVinput_w(etter, input), 0u);
            const Utdata a = hent(foerst, f.id, f.fmt, f.param, f.cap);
            const Utdata b0 = hent(etter, u"EFFRNT", false, 0, 64);
            const Utdata b = hent(etter, f.id, f.fmt, f.param, f.cap);
            if (a.kode >= 10000) {
                // Failures outside the coded ones are numbered as they happen.
                EXPECT_GE(b.kode, 10000u);
                EXPECT_TRUE(feiltekst(a.kode) == feiltekst(b.kode));
            } else {
                EXPECT_EQ(a.kode, b.kode);
            }
            EXPECT_TRUE(a.tekst == b.tekst);
            // The figures after the schedule are those of the calculation.
            if (a.kode == 0) {
                EXPECT_TRUE(hent(foerst, u"EFFRNT", false, 0, 64).tekst == b0.tekst);
                EXPECT_TRUE(hent(foerst, u"TSUMRNT", false, 0, 64).tekst == hent(etter, u"TSUMRNT", false, 0, 64).tekst);
                EXPECT_TRUE(hent(foerst, u"INFRDTO", false, 0, 64).tekst == hent(etter, u"INFRDTO", false, 0, 64).tekst);
            }
            MVterminate(foerst);
            MVterminate(etter);
        }
}

}  // namespace

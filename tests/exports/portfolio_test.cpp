// The portfolio as a host program sees it: only the public header.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mirvo32.h"
#include "../support/plan_tekst.h"

namespace {

using testplan::linjer;
using testplan::tall;

constexpr char16_t kA[] = u"LBELOP=500000;LOPETID=2;RNTSATS=5;UTBDTO=15.01.2025";
constexpr char16_t kB[] = u"LBELOP=300000;LOPETID=3;RNTSATS=3;UTBDTO=15.01.2025;LNTYPE=S;TERMPRAAR=4";

class Portefolje : public ::testing::Test {
protected:
    void SetUp() override {
        a = MVinitialize();
        b = MVinitialize();
        ASSERT_EQ(MVinput_w(a, kA), 0u);
        ASSERT_EQ(MVinput_w(b, kB), 0u);
        pf = PFinitialize();
        PFadd(pf, a);
        PFadd(pf, b);
    }
    void TearDown() override {
        PFterminate(pf);
        MVterminate(a);
        MVterminate(b);
    }

    std::u16string pf_(const char16_t* id, uint32_t& code, uint16_t param = 0, bool fmt = false,
                       uint32_t cap = 200000) {
        std::vector<char16_t> buf(cap, u'#');
        code = fmt ? PFgetfmtresult_w(pf, id, param, buf.data(), cap) : PFgetresult_w(pf, id, param, buf.data(), cap);
        return std::u16string(buf.data());
    }
    static std::u16string mv(void* l, const char16_t* id, uint16_t param = 0) {
        std::vector<char16_t> buf(200000, u'#');
        EXPECT_EQ(MVgetresult_w(l, id, param, buf.data(), 200000), 0u);
        return std::u16string(buf.data());
    }
    std::u16string feil() {
        char16_t buf[512];
        PFgeterror_w(pf, buf, 512);
        return buf;
    }

    void *a = nullptr, *b = nullptr, *pf = nullptr;
};

TEST_F(Portefolje, SumsRateAndSpan) {
    uint32_t code = 99;
    EXPECT_EQ(pf_(u"LBELOP", code), u"800000");
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(pf_(u"lbelop", code, 0, true), u"800 000");
    EXPECT_NEAR(tall(pf_(u"TSUMRNT", code)), tall(mv(a, u"TSUMRNT")) + tall(mv(b, u"TSUMRNT")), 1e-9);
    EXPECT_EQ(pf_(u"INFRDTO", code), u"15.01.2028");

    auto flyt = testplan::flytFraPlan(mv(a, u"NBPLAN", 99));
    auto fb = testplan::flytFraPlan(mv(b, u"NBPLAN", 99));
    flyt.insert(flyt.end(), fb.begin(), fb.end());
    EXPECT_NEAR(tall(pf_(u"EFFRNT", code)), testplan::effRente(testplan::flett(flyt)), 0.0006);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(feil(), u"");
}

TEST_F(Portefolje, MergedScheduleSumsAreColumnSums) {
    uint32_t code = 99;
    auto plan = linjer(pf_(u"NBPLAN", code, 99));
    ASSERT_EQ(code, 0u);
    ASSERT_EQ(plan.back()[0], u"S");
    double mnd[4] = {0, 0, 0, 0}, aar[4] = {0, 0, 0, 0};
    for (auto& r : plan)
        for (int j = 0; j < 4; ++j) {
            if (r[0] == u"M") mnd[j] += tall(r[size_t(j + 2)]);
            if (r[0] == u"A") aar[j] += tall(r[size_t(j + 2)]);
        }
    for (int j = 0; j < 4; ++j) {
        EXPECT_NEAR(mnd[j], tall(plan.back()[size_t(j + 2)]), 1e-6);
        EXPECT_NEAR(aar[j], tall(plan.back()[size_t(j + 2)]), 1e-6);
    }
    EXPECT_NEAR(mnd[0], tall(mv(a, u"TSUMINNB")) + tall(mv(b, u"TSUMINNB")), 1e-6);
}

TEST_F(Portefolje, UnknownIdentifierIsKept) {
    uint32_t code = 0;
    EXPECT_EQ(pf_(u"NOSUCH", code), u"");
    EXPECT_EQ(code, 203u);
    EXPECT_EQ(feil(), u"Ukjent funksjon!");
    pf_(u"LBELOP", code);
    EXPECT_EQ(code, 203u);
    // ANSI bridge: an empty text on failure.
    char narrow[64] = "xx";
    EXPECT_EQ(PFgetresult(pf, "LBELOP", 0, narrow, 64), 203u);
    EXPECT_STREQ(narrow, "");
}

// The full-buffer failure carries only a message: it comes back as a
// generated code whose text is that message.
TEST_F(Portefolje, FullBufferGivesAGeneratedCode) {
    uint32_t code = 0;
    pf_(u"NBPLAN", code, 99, false, 1300);
    EXPECT_GE(code, 10001u);
    EXPECT_EQ(feil(), u"For liten beregningsbuffer!");

    void* annen = PFinitialize();
    PFadd(annen, a);
    std::vector<char16_t> buf(600, u'#');
    code = PFgetresult_w(annen, u"NBPLAN", 99, buf.data(), 600);
    EXPECT_GE(code, 10001u);
    char16_t text[512];
    PFgeterror_w(annen, text, 512);
    EXPECT_EQ(std::u16string(text).rfind(u"Probably too small calculation output buffer!", 0), 0u);
    PFterminate(annen);
}

TEST(PortefoljeTom, EmptyPortfolio) {
    void* pf = PFinitialize();
    char16_t buf[2000];
    EXPECT_EQ(PFgetresult_w(pf, u"LBELOP", 0, buf, 2000), 0u);
    EXPECT_EQ(std::u16string(buf), u"");
    EXPECT_EQ(PFgetresult_w(pf, u"TERMBELOP", 0, buf, 2000), 0u);
    EXPECT_EQ(std::u16string(buf), u"");
    EXPECT_EQ(PFgetresult_w(pf, u"NBPLAN", 99, buf, 2000), 0u);
    EXPECT_EQ(std::u16string(buf), u"S;\n");
    PFterminate(pf);
}

TEST(PortefoljeEn, OneLoanGivesItsOwnFigures) {
    void* alene = MVinitialize();
    void* medlem = MVinitialize();
    ASSERT_EQ(MVinput_w(alene, kA), 0u);
    ASSERT_EQ(MVinput_w(medlem, kA), 0u);
    void* pf = PFinitialize();
    PFadd(pf, medlem);
    std::vector<char16_t> p(200000), l(200000);
    for (const char16_t* id : {u"EFFRNT", u"TSUMRNT", u"TERMBELOP", u"INFRDTO", u"LOPETID", u"SNITTRNT1"}) {
        ASSERT_EQ(PFgetfmtresult_w(pf, id, 0, p.data(), 200000), 0u);
        ASSERT_EQ(MVgetfmtresult_w(alene, id, 0, l.data(), 200000), 0u);
        EXPECT_EQ(std::u16string(p.data()), std::u16string(l.data()));
    }
    ASSERT_EQ(PFgetresult_w(pf, u"NBPLAN", 99, p.data(), 200000), 0u);
    ASSERT_EQ(MVgetresult_w(alene, u"NBPLAN", 99, l.data(), 200000), 0u);
    auto rp = linjer(p.data()), rl = linjer(l.data());
    ASSERT_EQ(rp.size(), rl.size());
    for (size_t i = 0; i < rp.size(); ++i) {
        EXPECT_EQ(rp[i][0], rl[i][0]);
        if (rl[i][0] != u"A" && rl[i][0] != u"S") {
            EXPECT_EQ(rp[i][1], rl[i][1]) << i;
        }
        for (size_t j = 2; j < rl[i].size(); ++j) EXPECT_EQ(tall(rp[i][j]), tall(rl[i][j]));
    }
    PFterminate(pf);
    // The loan outlives the portfolio.
    ASSERT_EQ(MVgetresult_w(medlem, u"LBELOP", 0, p.data(), 100), 0u);
    EXPECT_EQ(std::u16string(p.data()), u"500000");
    MVterminate(alene);
    MVterminate(medlem);
}

}  // namespace

// The library as a host program sees it: only the public header.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "mirvo32.h"

namespace {

std::u16string loanError(uint16_t code, uint32_t capacity = 512) {
    std::u16string buf(capacity, u'#');
    MVgeterror_w(code, buf.data(), capacity);
    return std::u16string(buf.c_str());
}

TEST(Versions, NumbersAndTexts) {
    EXPECT_EQ(MVgetversion(), 300);
    EXPECT_EQ(RLgetVersion(), 400);

    void* loan = MVinitialize();
    char16_t out[16];
    for (const char16_t* id : {u"VERSJON", u"version", u"VeRsIoN"}) {
        EXPECT_EQ(MVgetresult_w(loan, id, 0, out, 16), 0u);
        EXPECT_EQ(std::u16string(out), u"3.00");
    }
    MVterminate(loan);

    void* rl = RLinitialize();
    ASSERT_EQ(RLinput_w(rl, u"ORDBEVILGNING=1000"), 0u);  // results need a grant
    EXPECT_EQ(RLgetresult_w(rl, u"VERSJON", 0, out, 16), 0u);
    EXPECT_EQ(std::u16string(out), u"4.00");
    RLterminate(rl);
}

TEST(ErrorTexts, LoanTable) {
    struct Case {
        uint16_t code;
        std::u16string text;
    } cases[] = {
        {0, u""},
        {100, u"Lånebeløp er ikke angitt!"},
        {2, u"Lånet løper for lenge! For lavt terminbeløp!"},
        {202, u"\"=\" mangler!"},
        {417, u"Feil! Kan ikke sammenstille rentemarginforløp med opprinnelig forløp grunnet avvikende forløpsutvikling!"},
        {342, u"Kan ikke beregne lån med kombinasjonen forskuddsrente og rentefri periode.!"},
        {999, u"Feil nr. 999!"},
        {409, u"Feil nr. 409!"},
        {416, u"Feil nr. 416!"},
    };
    for (const auto& c : cases) EXPECT_EQ(loanError(c.code), c.text) << c.code;
}

TEST(ErrorTexts, FrameworkTable) {
    char16_t buf[200];
    RLgeterror_w(101, buf, 200);
    EXPECT_EQ(std::u16string(buf), u"Bevilgning er ikke angitt!");
    RLgeterror_w(108, buf, 200);
    EXPECT_EQ(std::u16string(buf), u"Ugyldig angivelse av utnyttingsgrad!");
    RLgeterror_w(42, buf, 200);
    EXPECT_EQ(std::u16string(buf), u"Tovik32.DLL Exception!");
}

TEST(ErrorTexts, CutToCapacity) {
    EXPECT_EQ(loanError(100, 1), u"");
    EXPECT_EQ(loanError(100, 5), u"Låne");
    char16_t buf[4] = {u'x', u'x', u'x', u'x'};
    RLgeterror_w(101, buf, 3);
    EXPECT_EQ(std::u16string(buf), u"Be");
}

TEST(ErrorTexts, NarrowIsWindows1252) {
    char buf[64];
    MVgeterror(100, buf, sizeof buf);
    EXPECT_STREQ(buf, "L\xE5nebel\xF8p er ikke angitt!");
    RLgeterror(104, buf, 12);
    EXPECT_STREQ(buf, "Trapperente");
    MVgeterror(100, buf, 1);
    EXPECT_STREQ(buf, "");
}

TEST(Results, ScalarOnlyWhenShorterThanBuffer) {
    void* loan = MVinitialize();
    char16_t out[8] = {u'z', u'z', u'z', u'z', u'z', u'z', u'z', 0};
    EXPECT_EQ(MVgetresult_w(loan, u"VERSJON", 0, out, 4), 0u);
    EXPECT_EQ(std::u16string(out), u"");
    EXPECT_EQ(MVgetresult_w(loan, u"VERSJON", 0, out, 5), 0u);
    EXPECT_EQ(std::u16string(out), u"3.00");
    // No room at all: nothing is written, nothing crashes.
    EXPECT_EQ(MVgetresult_w(loan, u"VERSJON", 0, out, 0), 0u);
    EXPECT_EQ(MVgetresult_w(loan, u"VERSJON", 0, nullptr, 0), 0u);
    MVterminate(loan);
}

TEST(Results, UnknownIdentifierIsNotSticky) {
    void* loan = MVinitialize();
    char16_t out[16] = u"old";
    EXPECT_EQ(MVgetresult_w(loan, u"XYZ", 0, out, 16), 203u);
    EXPECT_EQ(std::u16string(out), u"");
    EXPECT_EQ(MVgetresult_w(loan, u"VERSJON", 0, out, 16), 0u);
    EXPECT_EQ(std::u16string(out), u"3.00");
    MVterminate(loan);
}

TEST(NarrowBridge, ResultsAndFailures) {
    void* loan = MVinitialize();
    char out[32];
    std::strcpy(out, "stale");
    EXPECT_EQ(MVgetresult(loan, "versjon", 0, out, sizeof out), 0u);
    EXPECT_STREQ(out, "3.00");
    EXPECT_EQ(MVgetfmtresult(loan, "VERSJON", 0, out, sizeof out), 0u);
    EXPECT_STREQ(out, "3.00");

    std::strcpy(out, "stale");
    EXPECT_EQ(MVgetresult(loan, "XYZ", 0, out, sizeof out), 203u);
    EXPECT_STREQ(out, "");

    // 70000 is cut to its low 16 bits (4464) and still fits the text.
    EXPECT_EQ(MVgetresult(loan, "VERSJON", 0, out, 70000), 0u);
    EXPECT_STREQ(out, "3.00");
    // 65536 is cut to 0: nothing fits.
    std::strcpy(out, "stale");
    EXPECT_EQ(MVgetresult(loan, "VERSJON", 0, out, 65536), 0u);
    EXPECT_STREQ(out, "");

    // A 150-character identifier is cut to 100 characters before lookup.
    std::string longId = "VERSJON" + std::string(143, 'X');
    EXPECT_EQ(MVgetresult(loan, longId.c_str(), 0, out, sizeof out), 203u);
    MVterminate(loan);

    void* rl = RLinitialize();
    ASSERT_EQ(RLinput(rl, "ORDBEVILGNING=1000"), 0u);
    EXPECT_EQ(RLgetresult(rl, "VERSJON", 0, out, sizeof out), 0u);
    EXPECT_STREQ(out, "4.00");
    EXPECT_EQ(RLgetfmtresult(rl, "NOSUCH", 0, out, sizeof out), 109u);
    EXPECT_STREQ(out, "");
    RLterminate(rl);
}

TEST(Portfolio, KeepsFirstErrorAndNeverOwnsLoans) {
    void* loan = MVinitialize();
    void* pf = PFinitialize();
    char16_t text[64] = u"x";
    PFgeterror_w(pf, text, 64);
    EXPECT_EQ(std::u16string(text), u"");

    PFadd(pf, loan);
    char16_t out[16];
    EXPECT_EQ(PFgetresult_w(pf, u"NOSUCH", 0, out, 16), 203u);
    PFgeterror_w(pf, text, 64);
    EXPECT_EQ(std::u16string(text), u"Ukjent funksjon!");
    char narrow[64];
    PFgeterror(pf, narrow, sizeof narrow);
    EXPECT_STREQ(narrow, "Ukjent funksjon!");

    PFterminate(pf);
    // The loan outlives its portfolio.
    EXPECT_EQ(MVgetresult_w(loan, u"VERSJON", 0, out, 16), 0u);
    EXPECT_EQ(std::u16string(out), u"3.00");
    MVterminate(loan);
}

TEST(Lifecycle, NullHandlesToTerminateAreIgnored) {
    MVterminate(nullptr);
    PFterminate(nullptr);
    RLterminate(nullptr);
}

TEST(Automation, NoClassRegisteredYet) {
    GUID clsid{};
    GUID iid{};
    void* obj = reinterpret_cast<void*>(1);
    EXPECT_EQ(DllGetClassObject(&clsid, &iid, &obj), int32_t(0x80040111u));
    EXPECT_EQ(obj, nullptr);
    EXPECT_EQ(DllCanUnloadNow(), 0);
}

}  // namespace

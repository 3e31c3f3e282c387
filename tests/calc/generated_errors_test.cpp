#include <gtest/gtest.h>

#include <new>

#include "calc/errors/calc_errors.h"

using namespace mirvo::beregning;

namespace {

std::exception_ptr thrown(auto&& make) {
    try {
        make();
    } catch (...) {
        return std::current_exception();
    }
    return nullptr;
}

TEST(GeneratedErrors, LoanCodesWrapPast20000) {
    GeneratedErrors list(GeneratedErrors::Wrap::Loan);
    EXPECT_EQ(list.add(u"first"), 10001);
    EXPECT_EQ(list.message(10001), u"first");
    for (int code = 10002; code <= 20000; ++code) list.add(u"m");
    // The code that passes 20000 is handed out once, then numbering restarts;
    // the older messages are gone.
    EXPECT_EQ(list.add(u"past"), 20001);
    EXPECT_EQ(list.message(10001), u"");
    EXPECT_EQ(list.message(20001), u"past");
    EXPECT_EQ(list.add(u"again"), 10001);
    EXPECT_EQ(list.message(10001), u"again");
}

TEST(GeneratedErrors, FrameworkCodesWrapAt65535) {
    GeneratedErrors list(GeneratedErrors::Wrap::Framework);
    EXPECT_EQ(list.add(u"a"), 1001);
    for (int code = 1002; code <= 65535; ++code) list.add(u"m");
    EXPECT_EQ(list.add(u"b"), 1000);
    EXPECT_EQ(list.add(u"c"), 1001);
    EXPECT_EQ(list.message(1001), u"c");
}

TEST(GeneratedErrors, MessagesOfFailures) {
    EXPECT_EQ(failureMessage(thrown([] { throw EAbort(); })), u"Avbrudd");
    EXPECT_EQ(failureMessage(thrown([] { throw EMirvo("Delt på null"); })), u"Delt på null");
    EXPECT_EQ(failureMessage(thrown([] { throw 42; })),
              u"Ukjent Exception-klasse. Kan ikke hente ut feilmelding");
}

TEST(GeneratedErrors, CodedFailuresKeepTheirCode) {
    EXPECT_EQ(loanFailureCode(thrown([] { throw ECalcError(301); })), 301);
    uint16_t code = loanFailureCode(thrown([] { throw EMirvo("Probably too small"); }));
    EXPECT_GE(code, 10001);
    EXPECT_EQ(loanErrorText(code), u"Probably too small!");
    uint16_t rl = frameworkFailureCode(thrown([] { throw EMirvo("Overflow"); }));
    EXPECT_GE(rl, 1000);
    EXPECT_EQ(frameworkErrorText(rl), u"Tovik32.DLL Exception!Overflow");
}

}  // namespace

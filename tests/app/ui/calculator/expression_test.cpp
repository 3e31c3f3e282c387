#include "app/ui/calculator/expression.h"

#include <gtest/gtest.h>

#include "common/text/encoding.h"

namespace kavelin::expressionscript {
namespace {

std::string u8(std::u16string_view s) { return text::toUtf8(s); }

double eval(std::u16string_view text, TMergeEvent merge = nullptr) {
    TExpression e;
    e.FOnMerge = std::move(merge);
    e.setExpression(text);
    return e.GetValue();
}

TExprErrorKind errorOf(std::u16string_view text) {
    try {
        eval(text);
    } catch (const EExpressionError& e) {
        return e.kind();
    }
    ADD_FAILURE() << "no error for " << u8(text);
    return TExprErrorKind::Unbalanced;
}

TEST(Expression, PrecedenceAndSyntax) {
    const std::pair<const char16_t*, double> cases[] = {
        {u"1+2•3", 7},        {u"(1+2)•3", 9},       {u"2(3+4)", 14},
        {u"(1+2)(3+4)", 21},  {u"10-2-3", 5},        {u"8/4/2", 1},
        {u"2^3^2", 512},      {u"2•3^2", 18},        {u"2^3*2", 16},
        {u"2*3", 6},          {u"2x3", 6},           {u"2 X 3", 6},
        {u"1,5+1", 2.5},      {u"1.5+1", 2.5},       {u",5+1", 1.5},
        {u"-5+2", -3},        {u"2*-3", -6},         {u"2^-1", 0.5},
        {u"(1+2", 3},         {u"", 0},              {u"((2))", 2},
        {u"1 234,5 + 0,5", 1235},
        {u"IF(0;5;7)", 7},    {u"IF(1;5;7)", 5},     {u"if(2>1;10;20)", 10},
        {u"MINMAX(15;0;10)", 10}, {u"MINMAX(-5;0;10)", 0}, {u"MINMAX(5;0;10)", 5},
        {u"MAX(3;9;4)", 9},   {u"MIN(3;9;4)", 3},    {u"POW(2;10)", 1024},
        {u"MAX(1;2)*3", 6},   {u"2MAX(1;3)", 6}, {u"MAX(MIN(4;8);2)", 4},
        {u"1<2", 1},          {u"2<1", 0},           {u"1+2=3", 1},
        {u"3<>3", 0},         {u"3!=4", 1},          {u"2>=2", 1},  {u"2<=1", 0},
        {u"1&0", 0},          {u"1|0", 1},           {u"0|0", 0},   {u"1<2&2<3", 1},
        // The side that decides is enough: no division by zero is met.
        {u"0&1/0", 0},        {u"1|1/0", 1},         {u"IF(1;5;1/0)", 5},
    };
    for (auto [text, expected] : cases) EXPECT_DOUBLE_EQ(eval(text), expected) << u8(text);
    EXPECT_NEAR(eval(u"0,1+0,2"), 0.3, 1e-15);
}

TEST(Expression, ErrorsCarryTheirTexts) {
    try {
        eval(u"1+2)");
        ADD_FAILURE();
    } catch (const EExpressionError& e) {
        EXPECT_EQ(e.kind(), TExprErrorKind::Unbalanced);
        EXPECT_EQ(u8(e.message()), "KavExpr - Unballanced parantees in 1+2)");
        EXPECT_STREQ(e.what(), "KavExpr - Unballanced parantees in 1+2)");
    }
    try {
        eval(u"7 / (2-2)");
        ADD_FAILURE();
    } catch (const EExpressionError& e) {
        EXPECT_EQ(u8(e.message()), "KavExpr - Divisjon med null i 7/(2-2)");
    }
    using K = TExprErrorKind;
    EXPECT_EQ(errorOf(u"(1))+(2"), K::Unbalanced);
    EXPECT_EQ(errorOf(u"1/0"), K::DivisionByZero);
    EXPECT_EQ(errorOf(u"0^-1"), K::DivisionByZero);
    EXPECT_EQ(errorOf(u"POW(0;-2)"), K::DivisionByZero);
    EXPECT_EQ(errorOf(u"(0-8)^0,5"), K::InvalidOperation);
    EXPECT_EQ(errorOf(u"10^400"), K::Overflow);
    EXPECT_EQ(errorOf(u"1" + std::u16string(300, u'0') + u"*1" + std::u16string(300, u'0')), K::Overflow);
    EXPECT_EQ(errorOf(std::u16string(400, u'9')), K::Overflow);
    EXPECT_EQ(errorOf(u"1,2,3"), K::InvalidNumber);
    EXPECT_EQ(errorOf(u"."), K::InvalidNumber);
}

TEST(Expression, HostileInputEndsInAnErrorNotACrash) {
    std::u16string deep = std::u16string(100000, u'(') + u"1" + std::u16string(100000, u')');
    EXPECT_EQ(errorOf(deep), TExprErrorKind::TooDeep);
    std::u16string powers = u"2";
    for (int i = 0; i < 5000; ++i) powers += u"^2";
    EXPECT_THROW(eval(powers), EExpressionError);
    std::u16string compares = u"1";
    for (int i = 0; i < 5000; ++i) compares += u"<1";
    EXPECT_THROW(eval(compares), EExpressionError);
    std::u16string sum = u"1";
    for (int i = 0; i < 20000; ++i) sum += u"+1";
    EXPECT_DOUBLE_EQ(eval(sum), 20001);  // long but flat is fine
    for (auto junk : {u"+-*/", u"((((", u"))))", u";;;", u"*", u"^", u"IF(", u"MAX(;;)", u"!", u"===",
                      u"•••", u"1(", u"a(b(c(", u"\u00e6\u00f8\u00e5"}) {
        try {
            eval(junk);
        } catch (const EExpressionError&) {
        }
    }
    TExpression e;  // a failed evaluation leaves the evaluator usable
    e.setExpression(u"1+2)");
    EXPECT_THROW(e.GetValue(), EExpressionError);
    e.setExpression(u"1+2");
    EXPECT_DOUBLE_EQ(e.GetValue(), 3);
}

TEST(Expression, NamesAreAskedOfTheMergeHandler) {
    std::vector<std::string> asked;
    auto merge = [&](std::u16string_view name) -> std::u16string {
        asked.push_back(u8(name));
        if (name == u"RENTE") return u"3,5";
        if (name == u"LÅN") return u"1 000 000";
        if (name == u"VERDI(2)") return u"(1+1)";
        if (name == u"SEG") return u"SEG+1";
        return u"";
    };
    EXPECT_DOUBLE_EQ(eval(u"rente*2", merge), 7);
    EXPECT_DOUBLE_EQ(eval(u"LÅN/1000", merge), 1000);
    EXPECT_DOUBLE_EQ(eval(u"VERDI(2)^3", merge), 8);
    EXPECT_DOUBLE_EQ(eval(u"UKJENT+1", merge), 1);
    EXPECT_DOUBLE_EQ(eval(u"2RENTE", merge), 7);
    EXPECT_DOUBLE_EQ(eval(u"RENTE+1"), 1);  // no handler: names are 0
    EXPECT_EQ(asked.front(), "RENTE");
    try {
        eval(u"SEG", merge);  // refers to itself
        ADD_FAILURE();
    } catch (const EExpressionError& e) {
        EXPECT_EQ(e.kind(), TExprErrorKind::TooDeep);
    }
}

}  // namespace
}  // namespace kavelin::expressionscript

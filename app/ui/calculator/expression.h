// The expression evaluator: a small recursive-descent evaluator of UTF-16
// arithmetic text with a decimal comma, "+ - * x • / ^", parentheses with
// implicit multiplication ("2(3+4)"), comparisons, "&" and "|", the functions
// IF, MIN, MAX, MINMAX and POW (arguments separated by ";"), and named values
// answered by a merge handler.
//
// Precedence, loosest first: "|", "&", comparisons ("=", "<>", "!=", "<",
// "<=", ">", ">="), "+" and "-", then "*", "/" and "^" (the right side of
// "^" reaching over further "^", so 2^3^2 = 2^9).
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kavelin::expressionscript {

enum class TExprErrorKind {
    Unbalanced,        // a ")" without its "("
    DivisionByZero,
    Overflow,          // a number or result too large for a double
    InvalidOperation,  // no real result, such as (-8)^0.5
    InvalidNumber,     // "1.2.3"
    TooDeep,           // nesting beyond what the evaluator follows
};

class EExpressionError : public std::runtime_error {
public:
    EExpressionError(TExprErrorKind kind, std::u16string message);
    TExprErrorKind kind() const { return FKind; }
    const std::u16string& message() const { return FMessage; }

private:
    TExprErrorKind FKind;
    std::u16string FMessage;
};

// A name (with any parenthesised parts after it) -> its value as text.
using TMergeEvent = std::function<std::u16string(std::u16string_view name)>;

// Blanks removed, "," made ".", a to z made capitals.
std::u16string prepareExpression(std::u16string_view text);

class TExpressionLL {
public:
    virtual ~TExpressionLL() = default;
    TMergeEvent FOnMerge;

    // Sets the text (prepared as above).
    void setExpression(std::u16string_view text) { FExpression = prepareExpression(text); }
    const std::u16string& expression() const { return FExpression; }

    // The value; raises EExpressionError with a Norwegian text on an
    // unbalanced ")", division by zero and the other arithmetic faults.
    double GetValue();

protected:
    std::u16string FExpression;

private:
    double evalFull(std::u16string_view s);
    double evalOr(std::u16string_view s);
    double evalAnd(std::u16string_view s);
    double evalCompare(std::u16string_view s);
    double evalSum(std::u16string_view s);
    double operand(std::u16string_view s, size_t& i);
    double atom(std::u16string_view s, size_t& i);
    double number(std::u16string_view run);
    double function(std::u16string_view name, std::u16string_view args);
    double merge(std::u16string_view name);
    double checked(double v);
    [[noreturn]] void fail(TExprErrorKind kind) const;

    struct DepthGuard;
    bool FUnbalanced = false;
    int FDepth = 0;
};

class TExpression : public TExpressionLL {};

}  // namespace kavelin::expressionscript

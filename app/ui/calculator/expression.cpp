#include "app/ui/calculator/expression.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "common/text/encoding.h"

namespace kavelin::expressionscript {
namespace {

constexpr char16_t kDot = u'\u2022';  // "•", the calculator's multiplication sign
constexpr int kMaxDepth = 200;

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool isOperatorChar(char16_t c) {
    switch (c) {
        case u'+': case u'-': case u'*': case u'/': case u'^': case u'(': case u')':
        case u'<': case u'>': case u'=': case u'&': case u'|': case u';': case kDot:
            return true;
        default: return false;
    }
}

// Index of the ")" closing the "(" at `open`, or the text's end when none does.
size_t matching(std::u16string_view s, size_t open) {
    int depth = 0;
    for (size_t i = open; i < s.size(); ++i) {
        if (s[i] == u'(') ++depth;
        else if (s[i] == u')' && --depth == 0) return i;
    }
    return s.size();
}

// The text cut at every top-level occurrence of `sep`.
std::vector<std::u16string_view> splitTopLevel(std::u16string_view s, char16_t sep) {
    std::vector<std::u16string_view> parts;
    int depth = 0;
    size_t start = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == u'(') ++depth;
        else if (s[i] == u')') --depth;
        else if (s[i] == sep && depth == 0) {
            parts.push_back(s.substr(start, i - start));
            start = i + 1;
        }
    }
    parts.push_back(s.substr(start));
    return parts;
}

std::u16string errorText(TExprErrorKind kind) {
    switch (kind) {
        case TExprErrorKind::Unbalanced: return u"KavExpr - Unballanced parantees in ";
        case TExprErrorKind::DivisionByZero: return u"KavExpr - Divisjon med null i ";
        case TExprErrorKind::Overflow: return u"KavExpr - For stort tall i ";
        case TExprErrorKind::InvalidOperation: return u"KavExpr - Ugyldig regneoperasjon i ";
        case TExprErrorKind::InvalidNumber: return u"KavExpr - Ugyldig tall i ";
        case TExprErrorKind::TooDeep: return u"KavExpr - For mange nivåer i ";
    }
    return u"KavExpr - ";
}

}  // namespace

EExpressionError::EExpressionError(TExprErrorKind kind, std::u16string message)
    : std::runtime_error(text::toUtf8(message)), FKind(kind), FMessage(std::move(message)) {}

std::u16string prepareExpression(std::u16string_view text) {
    std::u16string out;
    for (char16_t c : text) {
        if (c == u' ' || c == u'\t' || c == u'\u00A0' || c == u'\u202F') continue;
        if (c == u',') c = u'.';
        else if (c >= u'a' && c <= u'z') c = char16_t(c - 32);
        out += c;
    }
    return out;
}

// Counts nesting so that deep or self-referring input ends in an error, not
// in a stack overflow.
struct TExpressionLL::DepthGuard {
    TExpressionLL& e;
    explicit DepthGuard(TExpressionLL& owner) : e(owner) {
        if (++e.FDepth > kMaxDepth) {
            --e.FDepth;
            e.fail(TExprErrorKind::TooDeep);
        }
    }
    ~DepthGuard() { --e.FDepth; }
};

void TExpressionLL::fail(TExprErrorKind kind) const {
    throw EExpressionError(kind, errorText(kind) + FExpression);
}

double TExpressionLL::checked(double v) {
    if (std::isnan(v)) fail(TExprErrorKind::InvalidOperation);
    if (std::isinf(v)) fail(TExprErrorKind::Overflow);
    return v;
}

double TExpressionLL::GetValue() {
    FUnbalanced = false;
    FDepth = 0;
    double v = evalFull(FExpression);
    if (FUnbalanced) fail(TExprErrorKind::Unbalanced);
    return v;
}

double TExpressionLL::evalFull(std::u16string_view s) {
    DepthGuard guard(*this);
    // A ")" that closes no group of this text ends it.
    int depth = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == u'(') ++depth;
        else if (s[i] == u')' && depth-- == 0) {
            FUnbalanced = true;
            s = s.substr(0, i);
            break;
        }
    }
    return evalOr(s);
}

double TExpressionLL::evalOr(std::u16string_view s) {
    auto parts = splitTopLevel(s, u'|');
    if (parts.size() == 1) return evalAnd(s);
    for (auto p : parts)
        if (evalAnd(p) != 0) return 1;  // the rest is not evaluated
    return 0;
}

double TExpressionLL::evalAnd(std::u16string_view s) {
    auto parts = splitTopLevel(s, u'&');
    if (parts.size() == 1) return evalCompare(s);
    for (auto p : parts)
        if (evalCompare(p) == 0) return 0;
    return 1;
}

double TExpressionLL::evalCompare(std::u16string_view s) {
    DepthGuard guard(*this);
    int depth = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        char16_t c = s[i];
        if (c == u'(') ++depth;
        else if (c == u')') --depth;
        if (depth != 0) continue;
        char16_t next = i + 1 < s.size() ? s[i + 1] : 0;
        std::u16string_view op;
        if ((c == u'<' && (next == u'>' || next == u'=')) || (c == u'>' && next == u'=') ||
            (c == u'!' && next == u'='))
            op = s.substr(i, 2);
        else if (c == u'<' || c == u'>' || c == u'=')
            op = s.substr(i, 1);
        else
            continue;
        double l = evalSum(s.substr(0, i));
        double r = evalCompare(s.substr(i + op.size()));
        bool res = op == u"=" ? l == r
                 : op == u"<>" || op == u"!=" ? l != r
                 : op == u"<" ? l < r
                 : op == u"<=" ? l <= r
                 : op == u">" ? l > r
                 : l >= r;
        return res ? 1 : 0;
    }
    return evalSum(s);
}

double TExpressionLL::evalSum(std::u16string_view s) {
    double sum = 0, term = 0;
    char16_t sign = u'+';
    bool haveTerm = false;
    size_t i = 0;
    auto fold = [&] { sum = checked(sign == u'+' ? sum + term : sum - term); };
    while (i < s.size()) {
        char16_t c = s[i];
        if (c == u'+' || c == u'-') {
            fold();
            sign = c;
            term = 0;
            haveTerm = false;
            ++i;
            continue;
        }
        bool mulOp = c == u'*' || c == kDot || c == u'/' || c == u'^' || (haveTerm && c == u'X');
        if (mulOp) {
            ++i;
            double v = operand(s, i);
            if (c == u'/') {
                if (v == 0) fail(TExprErrorKind::DivisionByZero);
                term = checked(term / v);
            } else if (c == u'^') {
                if (term == 0 && v < 0) fail(TExprErrorKind::DivisionByZero);
                term = checked(std::pow(term, v));
            } else {
                term = checked(term * v);
            }
            haveTerm = true;
            continue;
        }
        // An operand right after another one multiplies it: 2(3+4), (1+2)(3+4).
        double v = atom(s, i);
        term = haveTerm ? checked(term * v) : v;
        haveTerm = true;
    }
    fold();
    return sum;
}

double TExpressionLL::operand(std::u16string_view s, size_t& i) {
    DepthGuard guard(*this);
    bool negative = false;
    while (i < s.size() && (s[i] == u'+' || s[i] == u'-')) negative ^= s[i++] == u'-';
    double v = atom(s, i);
    if (i < s.size() && s[i] == u'^') {
        ++i;
        double e = operand(s, i);
        if (v == 0 && e < 0) fail(TExprErrorKind::DivisionByZero);
        v = checked(std::pow(v, e));
    }
    return negative ? -v : v;
}

double TExpressionLL::atom(std::u16string_view s, size_t& i) {
    if (i >= s.size()) return 0;
    if (s[i] == u'(') {
        size_t close = matching(s, i);
        double v = evalFull(s.substr(i + 1, close - i - 1));
        i = std::min(close + 1, s.size());
        return v;
    }
    if (isDigit(s[i]) || s[i] == u'.') {
        size_t start = i;
        while (i < s.size() && (isDigit(s[i]) || s[i] == u'.')) ++i;
        return number(s.substr(start, i - start));
    }
    // A name: at least one character, so every step moves on.
    size_t start = i++;
    while (i < s.size() && !isOperatorChar(s[i])) ++i;
    std::u16string_view name = s.substr(start, i - start);
    if (i < s.size() && s[i] == u'(' &&
        (name == u"IF" || name == u"MIN" || name == u"MAX" || name == u"POW" || name == u"MINMAX")) {
        size_t close = matching(s, i);
        std::u16string_view args = s.substr(i + 1, close - i - 1);
        i = std::min(close + 1, s.size());
        return function(name, args);
    }
    while (i < s.size() && s[i] == u'(') i = std::min(matching(s, i) + 1, s.size());
    return merge(s.substr(start, i - start));
}

double TExpressionLL::number(std::u16string_view run) {
    std::string ascii(run.begin(), run.end());
    if (std::count(ascii.begin(), ascii.end(), '.') > 1 || ascii == ".")
        fail(TExprErrorKind::InvalidNumber);
    if (ascii.front() == '.') ascii.insert(ascii.begin(), '0');
    double v = 0;
    auto res = std::from_chars(ascii.data(), ascii.data() + ascii.size(), v);
    if (res.ec == std::errc::result_out_of_range) fail(TExprErrorKind::Overflow);
    if (res.ec != std::errc() || res.ptr != ascii.data() + ascii.size())
        fail(TExprErrorKind::InvalidNumber);
    return v;
}

double TExpressionLL::function(std::u16string_view name, std::u16string_view argText) {
    auto args = splitTopLevel(argText, u';');
    auto arg = [&](size_t k) { return k < args.size() ? evalFull(args[k]) : 0.0; };
    if (name == u"IF") return arg(0) != 0 ? arg(1) : arg(2);
    if (name == u"MIN" || name == u"MAX") {
        double best = arg(0);
        for (size_t k = 1; k < args.size(); ++k) {
            double v = arg(k);
            best = name == u"MIN" ? std::min(best, v) : std::max(best, v);
        }
        return best;
    }
    if (name == u"MINMAX") {
        double x = arg(0), lo = arg(1), hi = arg(2);
        return std::min(std::max(x, lo), hi);
    }
    double a = arg(0), b = arg(1);  // POW
    if (a == 0 && b < 0) fail(TExprErrorKind::DivisionByZero);
    return checked(std::pow(a, b));
}

double TExpressionLL::merge(std::u16string_view name) {
    if (!FOnMerge) return 0;
    std::u16string answer = FOnMerge(name);
    if (answer.empty()) return 0;
    // As an expression text: decimal commas and grouping blanks are allowed.
    std::u16string prepared = prepareExpression(answer);
    return evalFull(prepared);
}

}  // namespace kavelin::expressionscript

#include "app/ui/calculator/kalkulator.h"

#include <algorithm>
#include <cmath>

#include "app/ui/calculator/expression.h"
#include "app/ui/fmt/numtext.h"

namespace kavelin::calculator {
namespace {

constexpr char16_t kDot = u'\u2022';

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool isOperator(char16_t c) {
    return c == u'+' || c == u'-' || c == kDot || c == u'/' || c == u'^';
}

// The expression made evaluable: trailing operators, commas and "(" cut off,
// missing ")" added.
std::u16string completed(std::u16string_view expr) {
    std::u16string copy(expr);
    while (!copy.empty() && !isDigit(copy.back()) && copy.back() != u')') copy.pop_back();
    auto open = std::count(copy.begin(), copy.end(), u'(');
    auto close = std::count(copy.begin(), copy.end(), u')');
    if (open > close) copy.append(size_t(open - close), u')');
    return copy;
}

double evaluate(std::u16string_view text) {
    expressionscript::TExpression e;
    e.setExpression(text);
    return e.GetValue();
}

std::u16string withoutBlanks(std::u16string s) {
    s.erase(std::remove(s.begin(), s.end(), u' '), s.end());
    return s;
}

}  // namespace

std::u16string kalkulatorCaption(std::u16string_view productName) {
    return std::u16string(productName) + u"  -  Kalkulator";
}

std::u16string formatResult(double v) {
    if (!std::isfinite(v)) return u"OVERFLOW";
    std::u16string s = fmt::writeNumberTrimmed(v, 4, std::fabs(v) >= 10000);
    if (s.size() >= 21 || s.find(u'E') != std::u16string::npos) return u"OVERFLOW";
    return s;
}

void TKalkulator::start(double value, std::u16string_view initialOp) {
    FExpression.clear();
    std::u16string shown = formatResult(value);
    if (value != 0 && shown != u"OVERFLOW") {
        FExpression = withoutBlanks(shown);
        for (char16_t c : initialOp) FExpression += (c == u'*' || c == u'x') ? kDot : c;
    }
    caretToEnd();
    changed(false);
}

void TKalkulator::caretToEnd() {
    FSelStart = int(FExpression.size());
    FSelLength = 0;
}

void TKalkulator::setSelection(int start, int length) {
    FSelStart = std::clamp(start, 0, int(FExpression.size()));
    FSelLength = std::clamp(length, 0, int(FExpression.size()) - FSelStart);
    FProsentEnabled = caret() == int(FExpression.size()) && !FExpression.empty() &&
                      isDigit(FExpression.back()) && FExpression.find(u'^') == std::u16string::npos;
}

void TKalkulator::setEditText(std::u16string_view text, int caret) {
    FExpression = text;
    setSelection(caret, 0);
    changed(true);
}

void TKalkulator::insert(std::u16string_view s) {
    FExpression.replace(size_t(FSelStart), size_t(FSelLength), s);
    FSelStart += int(s.size());
    FSelLength = 0;
    changed(true);
}

void TKalkulator::changed(bool mayReplaceOperator) {
    bool replaced = false;
    size_t n = FExpression.size();
    if (mayReplaceOperator && caret() == int(n) && n >= 2 && isOperator(FExpression[n - 1]) &&
        isOperator(FExpression[n - 2])) {
        // A newly typed operator replaces the one before it.
        FExpression.erase(n - 2, 1);
        replaced = true;
        caretToEnd();
    }
    setSelection(FSelStart, FSelLength);
    std::u16string copy = completed(FExpression);
    try {
        FResult = formatResult(evaluate(copy));
        bool balanced = std::count(FExpression.begin(), FExpression.end(), u'(') ==
                        std::count(FExpression.begin(), FExpression.end(), u')');
        if (FResult == u"OVERFLOW") FState = TResultState::Error;
        else if (copy != FExpression || !balanced || replaced) FState = TResultState::Warning;
        else FState = TResultState::Normal;
    } catch (const expressionscript::EExpressionError&) {
        FResult = u"ERROR";
        FState = TResultState::Error;
    }
}

bool TKalkulator::keyPress(char16_t c) {
    switch (c) {
        case u'\b':
            if (FSelLength > 0) {
                insert(u"");
            } else if (FSelStart > 0) {
                FExpression.erase(size_t(--FSelStart), 1);
                changed(false);
            }
            return true;
        case u'\t': return true;
        case u'(': case u')': case u'+': case u'-': case u'/': case u'^':
            insert(std::u16string(1, c));
            return true;
        case u'*': case u'x': case u'X': case kDot:
            insert(std::u16string(1, kDot));
            return true;
        case u',': case u'.':
            insert(FSelStart > 0 && isDigit(FExpression[size_t(FSelStart) - 1]) ? u"," : u"0,");
            return true;
        case u'%': return percent();
        default:
            if (isDigit(c)) {
                insert(std::u16string(1, c));
                return true;
            }
            return false;
    }
}

void TKalkulator::pressDigit(int digit) {
    if (digit >= 0 && digit <= 9) keyPress(char16_t(u'0' + digit));
}

bool TKalkulator::press(TKnapp knapp) {
    switch (knapp) {
        case TKnapp::Add: return keyPress(u'+');
        case TKnapp::Sub: return keyPress(u'-');
        case TKnapp::Mult: return keyPress(u'*');
        case TKnapp::Div: return keyPress(u'/');
        case TKnapp::PrntsStart: return keyPress(u'(');
        case TKnapp::PrntsStopp: return keyPress(u')');
        case TKnapp::Pkt: return keyPress(u',');
        case TKnapp::Prsnt: return percent();
        case TKnapp::ErLik: return equals();
        case TKnapp::BlankUt:
            FExpression.clear();
            caretToEnd();
            changed(false);
            return true;
        case TKnapp::Slett:
            if (!FExpression.empty()) FExpression.pop_back();
            caretToEnd();
            changed(false);
            return true;
    }
    return false;
}

bool TKalkulator::percent() {
    if (!FProsentEnabled) return false;
    size_t k = FExpression.size();
    while (k > 0 && (isDigit(FExpression[k - 1]) || FExpression[k - 1] == u',')) --k;
    auto n = fmt::tryReadNumber(std::u16string_view(FExpression).substr(k));
    std::u16string rest = FExpression.substr(0, k);
    if (!n) return false;
    std::u16string part;
    try {
        part = formatResult(evaluate(completed(rest)) * *n / 100);
    } catch (const expressionscript::EExpressionError&) {
        return false;
    }
    if (part == u"OVERFLOW") return false;
    // Written without grouping blanks, so the text stays one number to later steps.
    FExpression = rest + withoutBlanks(part);
    caretToEnd();
    changed(false);
    return true;
}

bool TKalkulator::equals() {
    if (FState == TResultState::Error) return false;
    FExpression = withoutBlanks(FResult);
    caretToEnd();
    changed(false);
    return true;
}

std::optional<double> TKalkulator::result() const {
    if (FState == TResultState::Error) return std::nullopt;
    return fmt::tryReadNumber(withoutBlanks(FResult));
}

}  // namespace kavelin::calculator

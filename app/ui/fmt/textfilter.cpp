#include "app/ui/fmt/textfilter.h"

#include <algorithm>
#include <cmath>

#include "app/ui/fmt/datetext.h"
#include "app/ui/fmt/fillout.h"
#include "app/ui/fmt/numtext.h"

namespace kavelin::fmt {
namespace {

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

std::u16string toText(int64_t v) {
    bool neg = v < 0;
    uint64_t u = neg ? uint64_t(0) - uint64_t(v) : uint64_t(v);
    std::u16string s;
    do {
        s.insert(s.begin(), char16_t(u'0' + u % 10));
        u /= 10;
    } while (u);
    return neg ? u"-" + s : s;
}

}  // namespace

std::u16string TTextFilter::str() const { return FSaveLiterals ? FText : getUnmaskedStr(FText); }

void TTextFilter::setStr(std::u16string_view value) { FText = getMaskedStr(value); }

int64_t TTextFilter::asInteger() const {
    std::u16string s = str();
    if (auto v = tryReadInteger(s)) return *v;
    double d = std::round(readNumber(s));
    return std::fabs(d) < 9.2e18 ? int64_t(d) : 0;
}

void TTextFilter::setAsInteger(int64_t v) { setStr(toText(v)); }

double TTextFilter::asFloat() const { return readNumber(str()); }

void TTextFilter::setAsFloat(double v) {
    if (FKind == TTextFmtKind::fkNumExt && FNumFactor != 1) setStr(writeNumberTrimmed(v, 10, false));
    else setStr(writeNumber(v, FDecimals, false));
}

std::optional<finans::Datorec> TTextFilter::asDate() const {
    return readDateInPattern(FText, FMask);
}

void TTextFilter::setAsDate(finans::Datorec d) { FText = writeDateInPattern(d, FMask); }

double TTextFilter::displayedNumber() const {
    return readNumber(makeUnfmtNumStr(stripPostfix(FText, FNumPostfix)));
}

void TTextFilter::setDisplayedNumber(double shown) {
    // Rounded as shown first, so the value matches the text the user sees.
    double rounded = readNumber(writeNumber(shown, FDecimals, false));
    double factor = FKind == TTextFmtKind::fkNumExt ? FNumFactor : 1;
    setStr(writeNumberTrimmed(rounded / factor, 10, false));
}

bool TTextFilter::charSuits(char16_t c) const {
    switch (FKind) {
        case TTextFmtKind::fkMasked: return filterAcceptsTyped(splitMask(FMask), c);
        case TTextFmtKind::fkDatetime:
            return isDigit(c) || (!isDatetimeLetter(c) && FMask.find(c) != std::u16string::npos);
        case TTextFmtKind::fkNum:
        case TTextFmtKind::fkNumExt:
            if (isDigit(c)) return true;
            if (c == u'-') return FNumAllow != TNumAllow::allowPositiveOnly;
            if (c == u',') return FDecimals > 0;
            if (c == u'.') return FDecimals > 0 && !(FNumSep && kThousandSep == u'.');
            return false;
        case TTextFmtKind::fkFillOut: return isDigit(c);
        case TTextFmtKind::fkNone: return FAnyText && c >= u' ';
    }
    return false;
}

bool TTextFilter::isSignificant(char16_t c) const {
    switch (FKind) {
        case TTextFmtKind::fkNum:
        case TTextFmtKind::fkNumExt: return isDigit(c) || c == u'-' || c == kDecimalSep;
        case TTextFmtKind::fkMasked:
            return FSaveLiterals ? true : filterKeepsInValue(splitMask(FMask), c);
        case TTextFmtKind::fkDatetime: return isDigit(c);
        case TTextFmtKind::fkFillOut: return isDigit(c) || c == u'_';
        case TTextFmtKind::fkNone: return true;
    }
    return true;
}

int TTextFilter::placeCaret(std::u16string_view text, int significantBefore) const {
    if (significantBefore <= 0) return 0;
    int seen = 0, lastSig = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (!isSignificant(text[i])) continue;
        lastSig = int(i) + 1;
        if (++seen == significantBefore) return lastSig;
    }
    return lastSig;
}

bool TTextFilter::validateCharInsert(std::u16string& text, char16_t c, int& caret,
                                     int extraLimit) const {
    size_t limit = size_t(lengthLimit() ? lengthLimit() : std::max(extraLimit, 0));
    caret = std::clamp(caret, 0, int(text.size()));
    if (limit && text.size() + 1 > limit) return false;
    if (!charSuits(c)) return false;

    std::u16string result;
    int newCaret = 0;
    if (isNumber()) {
        std::u16string num(stripPostfix(text, FNumPostfix));
        int pos = std::min(caret, int(num.size()));
        if (c == u'-' && (pos != 0 || num.find(u'-') != std::u16string::npos)) return false;
        if (c == u'.' || c == u',') {
            if (num.find(kDecimalSep) != std::u16string::npos) return false;
            c = kDecimalSep;
        }
        num.insert(size_t(pos), 1, c);
        if (getDecimalCountOfNumStr(makeUnfmtNumStr(num)) > FDecimals) return false;
        std::u16string withPostfix = FNumPostfix.empty() ? num : num + u' ' + FNumPostfix;
        result = reformatEdit(withPostfix);
        newCaret = pos + 1 + int(result.size()) - int(withPostfix.size());
        int numEnd = int(stripPostfix(result, FNumPostfix).size());
        newCaret = std::clamp(newCaret, 0, numEnd);
    } else {
        std::u16string inserted = text;
        inserted.insert(size_t(caret), 1, c);
        result = reformatEdit(inserted);
        if (FKind == TTextFmtKind::fkFillOut) {
            int sig = 0;
            for (int i = 0; i <= caret; ++i) sig += isSignificant(inserted[size_t(i)]) ? 1 : 0;
            // Underscores the number no longer needs drop out of the count.
            int underscores = 0;
            for (int i = 0; i <= caret; ++i) underscores += inserted[size_t(i)] == u'_' ? 1 : 0;
            newCaret = placeCaret(result, sig - underscores);
        } else {
            newCaret = caret + 1 + int(result.size()) - int(inserted.size());
        }
        if (FKind == TTextFmtKind::fkMasked &&
            getUnmaskedStr(result).size() < getUnmaskedStr(inserted).size())
            return false;  // the mask is full: the character would be lost
        if (FKind == TTextFmtKind::fkDatetime && result.size() > FMask.size()) return false;
        if (FKind == TTextFmtKind::fkFillOut &&
            std::count_if(result.begin(), result.end(), isDigit) <
                std::count_if(inserted.begin(), inserted.end(), isDigit))
            return false;  // typed where no number can stand
    }
    if (limit && result.size() > limit) return false;
    text = std::move(result);
    caret = std::clamp(newCaret, 0, int(text.size()));
    return true;
}

TEditResult TTextFilter::deleteChars(std::u16string_view text, int selStart, int selLength,
                                     bool backspace) const {
    TEditResult r{std::u16string(text), std::clamp(selStart, 0, int(text.size())), {}};
    int numEnd = isNumber() ? int(stripPostfix(text, FNumPostfix).size()) : int(text.size());
    std::u16string after(text);
    int pos = 0;
    if (selLength > 0) {
        pos = r.caret;
        int len = std::min(selLength, int(text.size()) - pos);
        if (isNumber()) len = std::max(0, std::min(len, numEnd - pos));  // the postfix stays
        r.removed = after.substr(size_t(pos), size_t(len));
        after.erase(size_t(pos), size_t(len));
    } else {
        pos = backspace ? r.caret - 1 : r.caret;
        if (isNumber() && pos < int(text.size()) && pos >= 0 && text[size_t(pos)] == kThousandSep)
            pos += backspace ? -1 : 1;  // a grouping blank: take the digit beyond it
        if (pos < 0 || pos >= numEnd) {
            r.caret = std::min(r.caret, numEnd);
            return r;
        }
        char16_t c = after[size_t(pos)];
        if (FKind == TTextFmtKind::fkFillOut) {
            if (!isDigit(c)) {
                r.caret = backspace ? pos : pos + 1;
                return r;
            }
            bool digitLeft = pos > 0 && isDigit(after[size_t(pos) - 1]);
            bool digitRight = pos + 1 < int(after.size()) && isDigit(after[size_t(pos) + 1]);
            if (!digitLeft && !digitRight) after[size_t(pos)] = u'_';
            else after.erase(size_t(pos), 1);
        } else {
            r.removed = std::u16string(1, c);
            after.erase(size_t(pos), 1);
        }
    }
    int sig = 0;
    for (int i = 0; i < pos && i < int(after.size()); ++i) sig += isSignificant(after[size_t(i)]) ? 1 : 0;
    r.text = reformatEdit(after);
    // Fill-out texts keep their layout, so the caret stays where the digit was.
    bool byCount = sig > 0 && FKind != TTextFmtKind::fkFillOut;
    r.caret = byCount ? placeCaret(r.text, sig) : std::min(pos, int(r.text.size()));
    if (isNumber()) r.caret = std::min(r.caret, int(stripPostfix(r.text, FNumPostfix).size()));
    return r;
}

std::u16string TTextFilter::focusEnterText(std::u16string_view text) const {
    if (FKind == TTextFmtKind::fkFillOut) return makeFillOutStr(text, FMask, true);
    return std::u16string(text);
}

std::u16string TTextFilter::focusLeaveText(std::u16string_view text) const {
    if (text.empty()) return {};
    if (isNumber()) {
        std::u16string value = getUnmaskedStr(text);
        if (FNumHide0 && readNumber(value) == 0) return {};
        return getMaskedStr(value);
    }
    if (FKind == TTextFmtKind::fkFillOut) return makeFillOutStr(text, FMask, false);
    return std::u16string(text);
}

std::vector<std::pair<int, int>> TTextFilter::fillOutFields(std::u16string_view text) {
    std::vector<std::pair<int, int>> out;
    for (int i = 0; i < int(text.size());) {
        if (!isDigit(text[size_t(i)]) && text[size_t(i)] != u'_') {
            ++i;
            continue;
        }
        int start = i;
        while (i < int(text.size()) && (isDigit(text[size_t(i)]) || text[size_t(i)] == u'_')) ++i;
        out.emplace_back(start, i);
    }
    return out;
}

}  // namespace kavelin::fmt

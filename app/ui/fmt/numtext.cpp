#include "app/ui/fmt/numtext.h"

#include <charconv>
#include <cmath>

namespace kavelin::fmt {
namespace {

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

std::u16string_view trimBlanks(std::u16string_view s) {
    while (!s.empty() && (s.front() == u' ' || s.front() == u'\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == u' ' || s.back() == u'\t')) s.remove_suffix(1);
    return s;
}

std::u16string widen(std::string_view s) { return std::u16string(s.begin(), s.end()); }

// Unsigned decimal digits of |v| rounded half away from zero to `decimals`,
// as "int.frac" (no "." when decimals is 0). Rounding works on the shortest
// text that reads back as v, so 2.675 gives 2.68 as a person expects.
std::string fixedDigits(double v, int decimals) {
    char buf[512];
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::fixed);
    std::string s(buf, res.ptr);
    std::string ip = s, fp;
    if (auto dot = s.find('.'); dot != std::string::npos) {
        ip = s.substr(0, dot);
        fp = s.substr(dot + 1);
    }
    bool roundUp = int(fp.size()) > decimals && fp[size_t(decimals)] >= '5';
    fp.resize(size_t(decimals), '0');
    if (roundUp) {
        std::string all = ip + fp;
        int i = int(all.size()) - 1;
        while (i >= 0 && all[size_t(i)] == '9') all[size_t(i--)] = '0';
        if (i < 0) all.insert(all.begin(), '1');
        else ++all[size_t(i)];
        ip = all.substr(0, all.size() - size_t(decimals));
        fp = all.substr(all.size() - size_t(decimals));
    }
    return decimals > 0 ? ip + "." + fp : ip;
}

bool allZero(std::string_view digits) {
    for (char c : digits)
        if (c >= '1' && c <= '9') return false;
    return true;
}

// Digits of a whole-number text without leading zeros, or no value.
std::optional<std::u16string> integerDigits(std::u16string_view s, bool& negative) {
    s = trimBlanks(s);
    negative = false;
    if (!s.empty() && (s[0] == u'-' || s[0] == u'+')) {
        negative = s[0] == u'-';
        s.remove_prefix(1);
    }
    if (s.empty()) return std::nullopt;
    for (char16_t c : s)
        if (!isDigit(c)) return std::nullopt;
    while (s.size() > 1 && s[0] == u'0') s.remove_prefix(1);
    if (s == u"0") negative = false;
    return std::u16string(s);
}

bool isZeroText(std::u16string_view s) {
    for (char16_t c : s)
        if (c >= u'1' && c <= u'9') return false;
    return true;
}

std::u16string withPostfix(std::u16string s, std::u16string_view postfix) {
    if (!postfix.empty()) {
        s += u' ';
        s += postfix;
    }
    return s;
}

}  // namespace

std::optional<double> tryReadNumber(std::u16string_view text) {
    text = trimBlanks(text);
    // Only the plain decimal syntax; "inf", "nan" and hex are not numbers here.
    std::string s;
    size_t i = 0;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        if (text[i] == u'-') s += '-';
        ++i;
    }
    bool digits = false, point = false;
    for (; i < text.size(); ++i) {
        char16_t c = text[i];
        if (isDigit(c)) {
            digits = true;
            s += char(c);
        } else if ((c == u',' || c == u'.') && !point) {
            point = true;
            s += '.';
        } else {
            break;
        }
    }
    if (!digits) return std::nullopt;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        s += 'e';
        ++i;
        if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) s += char(text[i++]);
        bool expDigits = false;
        for (; i < text.size() && isDigit(text[i]); ++i) {
            expDigits = true;
            s += char(text[i]);
        }
        if (!expDigits) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    double v = 0;
    auto res = std::from_chars(s.data(), s.data() + s.size(), v);
    if (res.ec != std::errc() || res.ptr != s.data() + s.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

double readNumber(std::u16string_view text) { return tryReadNumber(text).value_or(0.0); }

std::optional<int64_t> tryReadInteger(std::u16string_view text) {
    bool neg = false;
    auto digits = integerDigits(text, neg);
    if (!digits || digits->size() > 19) return std::nullopt;
    std::string s = neg ? "-" : "";
    for (char16_t c : *digits) s += char(c);
    int64_t v = 0;
    auto res = std::from_chars(s.data(), s.data() + s.size(), v);
    if (res.ec != std::errc()) return std::nullopt;
    return v;
}

std::u16string groupThousands(std::u16string_view digits) {
    std::u16string out;
    size_t n = digits.size();
    for (size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += kThousandSep;
        out += digits[i];
    }
    return out;
}

std::u16string writeNumber(double v, int decimals, bool grouping) {
    if (!std::isfinite(v)) v = 0;
    if (decimals < 0) decimals = 0;
    std::string d = fixedDigits(v, decimals);
    bool neg = v < 0 && !allZero(d);
    std::u16string ip = widen(d.substr(0, d.find('.')));
    std::u16string out = neg ? u"-" : u"";
    out += grouping ? groupThousands(ip) : ip;
    if (decimals > 0) {
        out += kDecimalSep;
        out += widen(d.substr(d.find('.') + 1));
    }
    return out;
}

std::u16string writeNumberTrimmed(double v, int maxDecimals, bool grouping) {
    std::u16string s = writeNumber(v, maxDecimals, grouping);
    if (s.find(kDecimalSep) != std::u16string::npos) {
        while (s.back() == u'0') s.pop_back();
        if (s.back() == kDecimalSep) s.pop_back();
    }
    return s;
}

std::u16string makeNumStr(std::u16string_view text, int decimals, bool grouping, bool hideZero) {
    if (text.empty()) return {};
    std::u16string out;
    bool neg = false;
    if (decimals <= 0) {
        if (auto digits = integerDigits(text, neg)) {
            // Whole-number texts keep every digit, however long.
            out = (neg ? u"-" : u"") + (grouping ? groupThousands(*digits) : *digits);
        } else {
            out = writeNumber(readNumber(text), 0, grouping);
        }
    } else {
        out = writeNumber(readNumber(text), decimals, grouping);
    }
    if (hideZero && isZeroText(out)) return {};
    return out;
}

std::u16string makeSpecialNumStr(std::u16string_view text, int decimals, bool grouping,
                                 std::u16string_view postfix, bool hideZero, double factor) {
    if (text.empty()) return {};
    double v = readNumber(text);
    if (v == 0 && hideZero) return {};
    if (factor != 1) {
        double shown = v * factor;
        if (!std::isfinite(shown)) return std::u16string(text);
        std::u16string num = writeNumber(shown, decimals, grouping);
        if (hideZero && isZeroText(num)) return {};
        return withPostfix(num, postfix);
    }
    std::u16string num = makeNumStr(text, decimals, grouping, hideZero);
    return num.empty() ? num : withPostfix(num, postfix);
}

std::u16string makeUnfmtNumStr(std::u16string_view text) {
    std::u16string out;
    for (char16_t c : text)
        if (isDigit(c) || c == u'-' || c == kDecimalSep) out += c;
    return out;
}

std::u16string_view stripPostfix(std::u16string_view text, std::u16string_view postfix) {
    if (postfix.empty() || text.size() < postfix.size() ||
        text.substr(text.size() - postfix.size()) != postfix)
        return text;
    text.remove_suffix(postfix.size());
    if (!text.empty() && text.back() == u' ') text.remove_suffix(1);
    return text;
}

std::u16string makeUnfmtSpecialNumStr(std::u16string_view text, std::u16string_view postfix,
                                      double factor) {
    // The postfix goes first, so that digits in it ("m2") never join the number.
    std::u16string s = makeUnfmtNumStr(stripPostfix(text, postfix));
    if (factor == 1 || factor == 0 || s.empty()) return s;
    auto v = tryReadNumber(s);
    if (!v) return s;
    return writeNumberTrimmed(*v / factor, 10, false);
}

std::u16string reformatNumStr(std::u16string_view text, int decimals, bool grouping,
                              bool hideZero) {
    return makeNumStr(makeUnfmtNumStr(text), decimals, grouping, hideZero);
}

std::u16string reformatNumEdit(std::u16string_view text, bool grouping) {
    std::u16string s = makeUnfmtNumStr(text);
    bool neg = !s.empty() && s[0] == u'-';
    std::u16string ip, fp;
    bool comma = false;
    for (char16_t c : s) {
        if (c == kDecimalSep) comma = true;
        else if (isDigit(c)) (comma ? fp : ip) += c;
    }
    bool hadDigits = !ip.empty();
    size_t nz = ip.find_first_not_of(u'0');
    ip = nz == std::u16string::npos ? u"" : ip.substr(nz);
    if (ip.empty() && (comma || hadDigits)) ip = u"0";
    std::u16string out = neg ? u"-" : u"";
    out += grouping ? groupThousands(ip) : ip;
    if (comma) {
        out += kDecimalSep;
        out += fp;
    }
    return out;
}

int getDecimalCountOfNumStr(std::u16string_view text) {
    size_t p = text.find(kDecimalSep);
    return p == std::u16string_view::npos ? 0 : int(text.size() - p - 1);
}

}  // namespace kavelin::fmt

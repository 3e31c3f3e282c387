#include "calc/loan/value_syntax.h"

#include <charconv>
#include <string>

namespace mirvo::beregning::verdi {

namespace {

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

size_t digitsFrom(std::u16string_view v, size_t i) {
    while (i < v.size() && isDigit(v[i])) ++i;
    return i;
}

std::string ascii(std::u16string_view v) { return std::string(v.begin(), v.end()); }

bool oneOf(std::u16string_view v, std::initializer_list<std::u16string_view> words) {
    for (auto w : words)
        if (v == w) return true;
    return false;
}

std::u16string_view trimLeft(std::u16string_view v) {
    while (!v.empty() && v.front() == u' ') v.remove_prefix(1);
    return v;
}

}  // namespace

std::optional<double> number(std::u16string_view v) {
    size_t i = !v.empty() && v[0] == u'-' ? 1 : 0;
    size_t intEnd = digitsFrom(v, i);
    std::string text = ascii(v.substr(0, intEnd));
    size_t end = intEnd;
    if (end < v.size()) {
        size_t fracEnd = digitsFrom(v, end + 1);
        text += '.';
        text += ascii(v.substr(end + 1, fracEnd - end - 1));
        end = fracEnd;
    }
    // A separator must be followed by at least one fractional digit.
    if (end != v.size() || end == intEnd + 1) return std::nullopt;
    if (intEnd == i && end == intEnd) return std::nullopt;
    if (intEnd == i) text.insert(i, "0");  // ",5" reads as 0.5
    double d = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), d);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
    return d;
}

char16_t decimalSeparatorOf(std::u16string_view v) {
    size_t i = !v.empty() && v[0] == u'-' ? 1 : 0;
    i = digitsFrom(v, i);
    return i < v.size() ? v[i] : char16_t(0);
}

std::optional<int32_t> integer(std::u16string_view v) {
    std::string text = ascii(v);
    size_t start = !text.empty() && text[0] == '+' ? 1 : 0;
    int32_t n = 0;
    auto r = std::from_chars(text.data() + start, text.data() + text.size(), n);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || start == text.size())
        return std::nullopt;
    return n;
}

std::optional<bool> yesNo(std::u16string_view v) {
    if (oneOf(v, {u"1", u"JA", u"YES", u"TRUE", u"Y", u"J", u"SANN"})) return true;
    if (oneOf(v, {u"0", u"NEI", u"NO", u"N", u"FALSE", u"USANN"})) return false;
    return std::nullopt;
}

std::optional<int32_t> countOf(std::u16string_view v, Unit unit) {
    size_t i = !v.empty() && (v[0] == u'-' || v[0] == u'+') ? 1 : 0;
    size_t end = digitsFrom(v, i);
    auto n = integer(v.substr(0, end));
    if (!n) return std::nullopt;
    std::u16string_view word = trimLeft(v.substr(end));
    if (word.empty()) return n;
    bool ok = false;
    switch (unit) {
        case Unit::Years: ok = word[0] == u'Å' || word[0] == u'Y' || word == u"AAR"; break;
        case Unit::Months: ok = word[0] == u'M'; break;
        case Unit::Days: ok = word[0] == u'D'; break;
    }
    return ok ? n : std::nullopt;
}

std::optional<int32_t> termLength(std::u16string_view v) {
    auto n = integer(v.substr(0, v.find(u'M')));
    if (!n || *n < 0 || *n > 65535) return std::nullopt;
    return *n >= 1 && *n <= 12 ? *n * 30 : *n;
}

std::optional<int32_t> perYear(std::u16string_view v) {
    auto n = integer(v);
    if (!n || *n <= 0) return std::nullopt;
    return 360 / *n;
}

std::optional<uint16_t> monthSet(std::u16string_view v) {
    uint16_t set = 0;
    while (true) {
        size_t comma = v.find(u',');
        auto n = integer(v.substr(0, comma));
        if (!n) return std::nullopt;
        if (*n >= 1 && *n <= 16) set |= uint16_t(1u << (*n - 1));
        if (comma == std::u16string_view::npos) return set;
        v.remove_prefix(comma + 1);
    }
}

std::optional<int32_t> daysPerYear(std::u16string_view v) {
    if (v == u"365(6)" || v == u"366" || v == u"A") return 366;
    if (v == u"365") return 365;
    if (v == u"360") return 360;
    return std::nullopt;
}

}  // namespace mirvo::beregning::verdi

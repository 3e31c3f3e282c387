#include "calc/rammelan/rmln_verdi.h"

#include <limits>

#include "calc/loan/value_syntax.h"

namespace mirvo::beregning::rmlnverdi {

namespace {

using V = std::u16string_view;

constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

V trimBlanks(V v) {
    while (!v.empty() && v.front() == u' ') v.remove_prefix(1);
    while (!v.empty() && v.back() == u' ') v.remove_suffix(1);
    return v;
}

// Digits at the front of v, consumed; saturates above 32 bits so that a long
// run still reads as "too large".
std::optional<int64_t> takeNumber(V& v) {
    if (v.empty() || !isDigit(v.front())) return std::nullopt;
    int64_t n = 0;
    while (!v.empty() && isDigit(v.front())) {
        n = n > kInt32Max ? n : n * 10 + (v.front() - u'0');
        v.remove_prefix(1);
    }
    return n;
}

bool takeWord(V& v, V word) {
    if (v.substr(0, word.size()) != word) return false;
    v.remove_prefix(word.size());
    return true;
}

void skipBlanks(V& v) {
    while (!v.empty() && v.front() == u' ') v.remove_prefix(1);
}

}  // namespace

bool heltall(V v, int32_t& out) {
    out = 0;
    if (v.empty()) return true;
    auto n = verdi::integer(v);
    if (!n) return false;
    out = *n;
    return true;
}

bool tall(V v, double& out) {
    out = 0;
    if (v.empty()) return true;
    // The shared number reader takes any separator; here only "," and ".".
    for (size_t i = 0; i < v.size(); ++i) {
        char16_t c = v[i];
        if (!isDigit(c) && c != u',' && c != u'.' && !(c == u'-' && i == 0)) return false;
    }
    auto n = verdi::number(v);
    if (!n) return false;
    out = *n;
    return true;
}

bool periode(V v, int32_t& out) {
    int64_t n = 0;
    for (char16_t c : v)
        if (isDigit(c)) n = n > kInt32Max ? n : n * 10 + (c - u'0');
    if (n > 12) n /= 30;
    if (n > kInt32Max) n = kInt32Max;
    if (n == 0) n = 3;
    out = int32_t(n);
    return n >= 1 && n <= 12;
}

bool avtalePeriode(V v, int32_t& out) {
    out = 0;
    v = trimBlanks(v);
    if (v.empty()) {
        out = 12;
        return true;
    }
    int64_t years = 0, months = 0;
    bool hasYears = false, hasMonths = false;
    V rest = v;
    while (!rest.empty()) {
        auto n = takeNumber(rest);
        if (!n) return false;
        if (rest.empty() && !hasYears && !hasMonths) {
            months = *n;  // digits only
            hasMonths = true;
            break;
        }
        skipBlanks(rest);
        // Longer markers first: "ÅR" before "Å", "MND" before "M".
        if (!hasYears && !hasMonths &&
            (takeWord(rest, u"ÅR") || takeWord(rest, u"Å") || takeWord(rest, u"Y"))) {
            years = *n;
            hasYears = true;
        } else if (!hasMonths && (takeWord(rest, u"MND") || takeWord(rest, u"M"))) {
            months = *n;
            hasMonths = true;
        } else {
            return false;
        }
        skipBlanks(rest);
    }
    const int64_t total = 12 * years + months;
    if (total > kInt32Max) return false;
    out = int32_t(total);
    return true;
}

bool trappegrense(V v) {
    for (char16_t c : v)
        if (!isDigit(c) && c != u'%' && c != u'.' && c != u',') return false;
    return true;
}

std::optional<int32_t> sifre(V v) {
    int64_t n = 0;
    bool any = false;
    for (char16_t c : v) {
        if (!isDigit(c)) continue;
        any = true;
        n = n * 10 + (c - u'0');
        if (n > kInt32Max) return std::nullopt;
    }
    if (!any) return std::nullopt;
    return int32_t(n);
}

}  // namespace mirvo::beregning::rmlnverdi

#include "common/text/numtext.h"

#include <charconv>
#include <cmath>

namespace kavelin::text {

namespace {
char16_t* siffer(unsigned long long v, char16_t* end) {
    char16_t* p = end;
    do {
        *--p = char16_t(u'0' + v % 10);
        v /= 10;
    } while (v != 0);
    return p;
}
unsigned long long absolutt(long long n) {
    return n < 0 ? 0ULL - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
}
}  // namespace

char16_t* groupedIntChars(long long n, char16_t sep, char16_t* end) {
    unsigned long long v = absolutt(n);
    char16_t* p = end;
    for (int i = 0;; ++i) {
        if (i > 0 && i % 3 == 0) *--p = sep;
        *--p = char16_t(u'0' + v % 10);
        v /= 10;
        if (v == 0) break;
    }
    if (n < 0) *--p = u'-';
    return p;
}

char16_t* intChars(long long n, char16_t* end) {
    char16_t* p = siffer(absolutt(n), end);
    if (n < 0) *--p = u'-';
    return p;
}

std::u16string intText(long long n, int minDigits) {
    char16_t buf[48];
    char16_t* end = buf + sizeof buf / sizeof buf[0];
    char16_t* p = siffer(absolutt(n), end);
    if (minDigits > 40) minDigits = 40;
    while (end - p < minDigits) *--p = u'0';
    if (n < 0) *--p = u'-';
    return std::u16string(p, size_t(end - p));
}

std::u16string fixedText(double v, int decimals, char16_t decimalSep) {
    decimals = decimals < 0 ? 0 : decimals > 15 ? 15 : decimals;
    // Whole numbers: rounding to nearest (ties to even, as the general path
    // does) is exact below 2^53.
    if (decimals == 0 && std::fabs(v) < 9.0e15) return intText(static_cast<long long>(std::nearbyint(v)));
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    if (res.ec != std::errc()) return u"NAN";
    std::u16string s;
    bool allZero = true;
    for (const char* p = buf; p != res.ptr; ++p) {
        s += *p == '.' ? decimalSep : char16_t(*p);
        if (*p >= '1' && *p <= '9') allZero = false;
    }
    // A value that rounds to zero is written without its sign.
    if (allZero && !s.empty() && s[0] == u'-') s.erase(0, 1);
    return s;
}

}  // namespace kavelin::text

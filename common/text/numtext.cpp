#include "common/text/numtext.h"

#include <charconv>

namespace kavelin::text {

std::u16string intText(long long n, int minDigits) {
    const bool neg = n < 0;
    unsigned long long v = neg ? 0ULL - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
    std::u16string s;
    do {
        s.insert(s.begin(), char16_t(u'0' + v % 10));
        v /= 10;
    } while (v != 0);
    while (s.size() < size_t(minDigits)) s.insert(s.begin(), u'0');
    if (neg) s.insert(s.begin(), u'-');
    return s;
}

std::u16string fixedText(double v, int decimals, char16_t decimalSep) {
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    std::u16string s;
    bool nonZero = false;
    for (const char* p = buf; p != res.ptr; ++p) {
        if (*p >= '1' && *p <= '9') nonZero = true;
        s += *p == '.' ? decimalSep : char16_t(*p);
    }
    // A tiny negative value rounds to zero: no "-0.00".
    if (!nonZero && !s.empty() && s[0] == u'-') s.erase(0, 1);
    return s;
}

}  // namespace kavelin::text

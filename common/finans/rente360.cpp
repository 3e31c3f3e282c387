#include "common/finans/rente360.h"

#include <algorithm>
#include <cmath>

#include "common/text/casing.h"

namespace kavelin::finans {
namespace {

constexpr int64_t kMaxDays = 0xFFFF;

// Floor division, so that negative month sums borrow whole years.
int floorDiv(int a, int b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Whole text as a signed decimal integer (optional sign, digits only).
bool readInteger(std::u16string_view s, int64_t& value) {
    size_t i = 0;
    bool neg = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) neg = s[i++] == u'-';
    if (i == s.size()) return false;
    int64_t v = 0;
    for (; i < s.size(); ++i) {
        if (!isDigit(s[i])) return false;
        v = std::min<int64_t>(v * 10 + (s[i] - u'0'), 1'000'000'000);
    }
    value = neg ? -v : v;
    return true;
}

}  // namespace

int32_t Dager360(Datorec a, Datorec b) {
    const int months = (a.year() - b.year()) * 12 + (a.FMnt() - b.FMnt());
    return months * 30 + (std::min<int>(a.FDay(), 29) - std::min<int>(b.FDay(), 29));
}

void AddMndr360(int months, Datorec& d) {
    const int m = d.FMnt() + months;
    const int carry = floorDiv(m, 12);
    d.setFYear(d.year() + carry);
    d.setFMnt(m - carry * 12);
}

void AddDager360(int days, Datorec& d) {
    const int total = std::min<int>(d.FDay(), 29) + days;
    const int carry = floorDiv(total, 30);
    d.setFDay(total - carry * 30);
    AddMndr360(carry, d);
}

bool StrTilDager360(std::u16string_view text, uint16_t& days) {
    days = 0;
    if (text.empty()) return false;

    int64_t value = 0;
    if (readInteger(text, value)) {
        if (value < 0) return false;
        if (value * 360 > kMaxDays) {
            days = uint16_t(kMaxDays);
            return false;
        }
        days = uint16_t(value * 360);
        return true;
    }

    int64_t sum = 0;
    bool anyDigits = false;
    size_t p = 0;
    for (int group = 0; group < 3 && p < text.size(); ++group) {
        int64_t n = 0;
        size_t start = p;
        while (p < text.size() && isDigit(text[p])) n = std::min<int64_t>(n * 10 + (text[p++] - u'0'), 1'000'000);
        if (p > start) {
            anyDigits = true;
            if (p == text.size()) return false;
            switch (text::upperChar(text[p])) {
                case u'Å':
                case u'Y':
                case u'A': sum += n * 360; break;
                case u'M': sum += n * 30; break;
                case u'D': sum += n; break;
                default: return false;
            }
        }
        // The rest of the group, up to and including the next blank.
        while (p < text.size() && text[p] != u' ') ++p;
        if (p < text.size()) ++p;
    }
    // A text without any number is not a period (rather than a silent 0).
    if (!anyDigits) return false;
    if (sum > kMaxDays) {
        days = uint16_t(kMaxDays);
        return false;
    }
    days = uint16_t(sum);
    return true;
}

double Naaverdi360(Datorec fra, Datorec til, double rentePst, double belop) {
    if (rentePst == 0) return belop;
    return belop / std::pow(1 + rentePst / 100, Dager360(til, fra) / 360.0);
}

}  // namespace kavelin::finans

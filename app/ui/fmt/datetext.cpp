#include "app/ui/fmt/datetext.h"

#include <vector>

#include "app/ui/fmt/masktext.h"

namespace kavelin::fmt {
namespace {

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

int daysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

std::u16string padded(int v, int width) {
    std::u16string s;
    for (int x = v; x > 0 || s.empty(); x /= 10) s.insert(s.begin(), char16_t(u'0' + x % 10));
    while (int(s.size()) < width) s.insert(s.begin(), u'0');
    return s;
}

}  // namespace

std::optional<finans::Datorec> readDateInPattern(std::u16string_view text,
                                                 std::u16string_view pattern) {
    std::vector<std::u16string> runs;
    bool blank = true;
    for (size_t i = 0; i < text.size();) {
        if (text[i] != u' ') blank = false;
        if (!isDigit(text[i])) {
            char16_t c = text[i];
            if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c >= 0x80)
                return std::nullopt;
            ++i;
            continue;
        }
        std::u16string run;
        while (i < text.size() && isDigit(text[i])) run += text[i++];
        runs.push_back(std::move(run));
    }
    if (blank) return finans::Datorec();
    std::vector<DatetimePart> parts = splitDatetimePattern(pattern);
    if (runs.size() == 1 && parts.size() > 1) {
        // An unseparated text ("15012024") is cut by the pattern's widths.
        std::u16string all = runs[0];
        runs.clear();
        size_t at = 0;
        for (const DatetimePart& p : parts) {
            if (at + size_t(p.width) > all.size()) return std::nullopt;
            runs.push_back(all.substr(at, size_t(p.width)));
            at += size_t(p.width);
        }
        if (at != all.size()) return std::nullopt;
    }
    if (runs.size() != parts.size()) return std::nullopt;
    int day = 0, month = 0, year = -1;
    for (size_t k = 0; k < parts.size(); ++k) {
        if (runs[k].size() > 4) return std::nullopt;
        int v = 0;
        for (char16_t c : runs[k]) v = v * 10 + (c - u'0');
        switch (parts[k].letter) {
            case u'D': day = v; break;
            case u'M': month = v; break;
            case u'Y':
                year = runs[k].size() <= 2 ? (v < kTwoDigitYearPivot ? 2000 + v : 1900 + v) : v;
                break;
            default: break;  // time parts have no place in a date
        }
    }
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month))
        return std::nullopt;
    return finans::Datorec::ymd(year, month, day);
}

std::u16string writeDateInPattern(finans::Datorec date, std::u16string_view pattern) {
    if (date.missing()) return {};
    std::u16string out;
    for (size_t i = 0; i < pattern.size();) {
        char16_t c = pattern[i];
        size_t n = 0;
        while (i + n < pattern.size() && pattern[i + n] == c) ++n;
        if (!isDatetimeLetter(c)) {
            out.append(pattern.substr(i, n));
        } else if (c == u'D') {
            out += padded(date.day(), int(n));
        } else if (c == u'M') {
            out += padded(date.month(), int(n));
        } else if (c == u'Y') {
            out += n <= 2 ? padded(date.year() % 100, 2) : padded(date.year(), int(n));
        } else {
            out += padded(0, int(n));
        }
        i += n;
    }
    return out;
}

}  // namespace kavelin::fmt

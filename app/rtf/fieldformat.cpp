#include "app/rtf/fieldformat.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "common/text/encoding.h"
#include "common/text/numtext.h"
#include "common/utils/dates.h"

namespace kavelin::rtf::fieldfmt {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

// Splits a pattern at ";" outside quotes.
std::vector<std::string> sections(std::string_view pattern) {
    std::vector<std::string> out(1);
    char quote = 0;
    for (char c : pattern) {
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';') {
            out.emplace_back();
            continue;
        }
        out.back().push_back(c);
    }
    return out;
}

// One section: literal text before and after the digit part, and the digit part's rules.
struct NumberSection {
    std::string prefix, suffix;
    int minInt = 0, minDec = 0, maxDec = 0;
    bool grouping = false;
    bool hasDigits = false;
};

NumberSection analyse(std::string_view s) {
    NumberSection r;
    bool inNumber = false, afterPoint = false, done = false;
    char quote = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (quote) {
            if (c == quote) quote = 0;
            else (done ? r.suffix : r.prefix).push_back(c);
            continue;
        }
        bool placeholder = c == '0' || c == '#';
        bool numberChar = placeholder || ((c == '.' || c == ',') && inNumber && !done);
        if (placeholder && done) numberChar = true;  // digits after literals still count
        if (numberChar) {
            inNumber = true;
            r.hasDigits = r.hasDigits || placeholder;
            if (c == '.') afterPoint = true;
            else if (c == ',') r.grouping = r.grouping || !afterPoint;
            else if (afterPoint) {
                ++r.maxDec;
                if (c == '0') r.minDec = r.maxDec;
            } else if (c == '0') ++r.minInt;
            continue;
        }
        if (inNumber) done = true;
        if (c == '"' || c == '\'') {
            quote = c;
            continue;
        }
        if (c == '.' && !inNumber && i + 1 < s.size() && (s[i + 1] == '0' || s[i + 1] == '#')) {
            inNumber = afterPoint = true;
            continue;
        }
        (done ? r.suffix : r.prefix).push_back(c);
    }
    return r;
}

std::string formatSection(double v, const NumberSection& s, char decimalSep) {
    // Halves round away from zero.
    int decimals = std::min(s.maxDec, 15);
    double scale = std::pow(10.0, decimals);
    double a = std::fabs(v);
    if (a * scale < 1e17) a = std::round(a * scale) / scale;
    std::string digits = kavelin::text::toUtf8(kavelin::text::fixedText(a, decimals, u'.'));
    std::string intPart = digits, decPart;
    if (size_t p = digits.find('.'); p != std::string::npos) {
        intPart = digits.substr(0, p);
        decPart = digits.substr(p + 1);
    }
    while (static_cast<int>(decPart.size()) > s.minDec && !decPart.empty() && decPart.back() == '0') decPart.pop_back();
    if (intPart == "0" && s.minInt == 0) intPart.clear();
    while (static_cast<int>(intPart.size()) < s.minInt) intPart.insert(intPart.begin(), '0');
    if (s.grouping)
        for (int i = static_cast<int>(intPart.size()) - 3; i > 0; i -= 3) intPart.insert(static_cast<size_t>(i), 1, ThousandSeparator);
    std::string out = s.prefix + intPart;
    if (!decPart.empty()) out += decimalSep + decPart;
    if (intPart.empty() && decPart.empty()) out += '0';
    return out + s.suffix;
}

const char* const dayNames[] = {"s\xF8ndag", "mandag", "tirsdag", "onsdag", "torsdag", "fredag", "l\xF8rdag"};
const char* const monthNames[] = {"januar", "februar", "mars",    "april",   "mai",      "juni",
                                  "juli",   "august",  "september", "oktober", "november", "desember"};

std::string two(int v) {
    std::string s = kavelin::text::toUtf8(kavelin::text::intText(v, 2));
    return s;
}
std::string one(int v) { return kavelin::text::toUtf8(kavelin::text::intText(v, 1)); }

// Reads an unsigned number of at most maxDigits digits at pos.
bool readInt(std::string_view s, size_t& pos, int maxDigits, int& v) {
    size_t start = pos;
    v = 0;
    while (pos < s.size() && isDigit(s[pos]) && static_cast<int>(pos - start) < maxDigits) v = v * 10 + (s[pos++] - '0');
    return pos > start && (pos >= s.size() || !isDigit(s[pos]));
}

bool readTime(std::string_view s, size_t& pos, double& frac) {
    int h, m, sec = 0;
    if (!readInt(s, pos, 2, h) || pos >= s.size() || s[pos] != ':') return false;
    ++pos;
    if (!readInt(s, pos, 2, m)) return false;
    if (pos < s.size() && s[pos] == ':') {
        ++pos;
        if (!readInt(s, pos, 2, sec)) return false;
    }
    if (h > 23 || m > 59 || sec > 59) return false;
    frac = (h * 3600 + m * 60 + sec) / 86400.0;
    return true;
}

}  // namespace

std::optional<double> readNumber(std::string_view text) {
    std::string_view s = trim(text);
    size_t pos = 0;
    bool negative = false;
    if (pos < s.size() && (s[pos] == '-' || s[pos] == '+')) negative = s[pos++] == '-';
    double v = 0;
    int digits = 0;
    for (; pos < s.size() && isDigit(s[pos]); ++pos, ++digits) v = v * 10 + (s[pos] - '0');
    if (pos < s.size() && s[pos] == DecimalSeparator) {
        ++pos;
        double scale = 0.1;
        for (; pos < s.size() && isDigit(s[pos]); ++pos, ++digits) v += (s[pos] - '0') * scale, scale /= 10;
    }
    if (digits == 0 || pos != s.size() || !std::isfinite(v)) return std::nullopt;
    return negative ? -v : v;
}

std::optional<std::string> formatNumber(double v, std::string_view pattern, char decimalSep) {
    if (!std::isfinite(v) || std::fabs(v) >= 1e18) return std::nullopt;
    std::vector<std::string> secs = sections(pattern);
    if (secs.size() > 3) return std::nullopt;
    NumberSection pos = analyse(secs[0]);
    if (!pos.hasDigits) return std::nullopt;
    if (v < 0 && secs.size() >= 2 && !secs[1].empty()) {
        NumberSection neg = analyse(secs[1]);
        if (neg.hasDigits) return formatSection(v, neg, decimalSep);
    }
    if (v == 0 && secs.size() >= 3 && !secs[2].empty()) {
        NumberSection zero = analyse(secs[2]);
        if (zero.hasDigits) return formatSection(v, zero, decimalSep);
        return zero.prefix + zero.suffix;
    }
    std::string out = formatSection(v, pos, decimalSep);
    // A value that shows only zeros has no minus sign.
    bool nonZero = false;
    for (char c : out) nonZero = nonZero || (c >= '1' && c <= '9');
    if (v < 0 && nonZero) out.insert(pos.prefix.size(), 1, '-');
    return out;
}

std::optional<TDateTime> readDateTime(std::string_view text) {
    std::string_view s = trim(text);
    size_t pos = 0;
    double frac = 0;
    if (readTime(s, pos, frac)) return pos == s.size() ? std::optional<TDateTime>(frac) : std::nullopt;
    pos = 0;
    int d, m, y;
    if (!readInt(s, pos, 2, d) || pos >= s.size() || s[pos++] != '.') return std::nullopt;
    if (!readInt(s, pos, 2, m) || pos >= s.size() || s[pos++] != '.') return std::nullopt;
    size_t ystart = pos;
    if (!readInt(s, pos, 4, y)) return std::nullopt;
    if (pos - ystart == 2) {
        int pivot = kavelin::utils::twoDigitYearPivot();
        y += y < pivot ? 2000 : 1900;
    } else if (pos - ystart != 4) {
        return std::nullopt;
    }
    finans::Datorec date = finans::Datorec::ymd(y, m, d);
    if (y < 1 || !kavelin::utils::okdato(date)) return std::nullopt;
    double serial = kavelin::utils::dato2intdate(date);
    while (pos < s.size() && s[pos] == ' ') ++pos;
    if (pos < s.size()) {
        if (!readTime(s, pos, frac) || pos != s.size()) return std::nullopt;
    }
    return serial + frac;
}

std::string formatDateTime(TDateTime t, std::string_view pattern) {
    if (!std::isfinite(t) || t < -693593 || t > 2958465) return {};
    double dayPart = std::floor(t);
    long secs = std::lround((t - dayPart) * 86400.0);
    if (secs >= 86400) secs = 86399;
    finans::Datorec date = kavelin::utils::intdate2dato(static_cast<finans::TIntDate>(dayPart));
    int year = date.year(), month = date.month(), day = date.day();
    int hour = static_cast<int>(secs / 3600), minute = static_cast<int>(secs / 60 % 60), second = static_cast<int>(secs % 60);
    int weekday = (kavelin::utils::ukedag(static_cast<finans::TIntDate>(dayPart)) + 1) % 7;  // Sunday 0

    std::string out;
    bool afterHour = false;
    for (size_t i = 0; i < pattern.size();) {
        char c = lowerByte(pattern[i]);
        if (pattern[i] == '"' || pattern[i] == '\'') {
            size_t end = pattern.find(pattern[i], i + 1);
            if (end == std::string_view::npos) end = pattern.size();
            out.append(pattern.substr(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        size_t n = 1;
        while (i + n < pattern.size() && lowerByte(pattern[i + n]) == c) ++n;
        switch (c) {
        case 'd':
            out += n == 1 ? one(day) : n == 2 ? two(day) : n == 3 ? std::string(dayNames[weekday]).substr(0, 3) : dayNames[weekday];
            break;
        case 'm':
            if (afterHour && n <= 2) out += n == 1 ? one(minute) : two(minute);
            else out += n == 1 ? one(month) : n == 2 ? two(month) : n == 3 ? std::string(monthNames[month - 1]).substr(0, 3) : monthNames[month - 1];
            break;
        case 'y': out += n <= 2 ? two(year % 100) : kavelin::text::toUtf8(kavelin::text::intText(year, 4)); break;
        case 'h': out += n == 1 ? one(hour) : two(hour); break;
        case 'n': out += n == 1 ? one(minute) : two(minute); break;
        case 's': out += n == 1 ? one(second) : two(second); break;
        default: out.append(pattern.substr(i, n));
        }
        if (c == 'h') afterHour = true;
        else if (c != ':' && c != ' ' && c != '.') afterHour = false;
        i += n;
    }
    return out;
}

char upperByte(char c) {
    auto b = static_cast<unsigned char>(c);
    if (b >= 'a' && b <= 'z') return static_cast<char>(b - 32);
    if (b >= 0xE0 && b <= 0xFE && b != 0xF7) return static_cast<char>(b - 32);
    if (b == 0x9A || b == 0x9C || b == 0x9E) return static_cast<char>(b - 16);
    if (b == 0xFF) return static_cast<char>(0x9F);
    return c;
}

char lowerByte(char c) {
    auto b = static_cast<unsigned char>(c);
    if (b >= 'A' && b <= 'Z') return static_cast<char>(b + 32);
    if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return static_cast<char>(b + 32);
    if (b == 0x8A || b == 0x8C || b == 0x8E) return static_cast<char>(b + 16);
    if (b == 0x9F) return static_cast<char>(0xFF);
    return c;
}

std::string convertCase(std::string_view rtf, TCaseMode mode) {
    std::string s(rtf);
    if (mode == TCaseMode::none) return s;
    auto isWordEnd = [](char c) { return static_cast<unsigned char>(c) <= 32 || c == '\\' || c == '{' || c == '}'; };
    size_t i = 0;
    while (i < s.size()) {
        char c = s[i];
        if (static_cast<unsigned char>(c) <= 32 || c == '{' || c == '}') {
            ++i;
            continue;
        }
        if (c == '\\') {
            i += 2;
            while (i < s.size() && ((s[i] >= 'a' && s[i] <= 'z') || isDigit(s[i]) || s[i] == '-')) ++i;
            continue;
        }
        bool asciiLetter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (asciiLetter) s[i] = mode == TCaseMode::lower ? lowerByte(c) : upperByte(c);
        ++i;
        if (mode == TCaseMode::firstcap) break;
        for (; i < s.size() && !isWordEnd(s[i]); ++i) s[i] = mode == TCaseMode::upper ? upperByte(s[i]) : lowerByte(s[i]);
    }
    return s;
}

}  // namespace kavelin::rtf::fieldfmt

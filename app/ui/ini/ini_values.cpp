#include "app/ui/ini/ini_values.h"

#include "common/text/casing.h"

#include <charconv>
#include <cmath>

namespace kavelin::ini {
namespace {

// The text as plain ASCII bytes, or empty when it holds anything else.
std::string asciiOf(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char16_t c : s) {
        if (c == 0 || c > 0x7F) return {};
        out += char(c);
    }
    return out;
}

std::u16string widen(std::string_view s) { return std::u16string(s.begin(), s.end()); }

}  // namespace

std::u16string_view trimIni(std::u16string_view s) {
    while (!s.empty() && s.front() <= 32) s.remove_prefix(1);
    while (!s.empty() && s.back() <= 32) s.remove_suffix(1);
    return s;
}

std::u16string encodeIniString(std::u16string_view s) {
    std::u16string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == u'\r' || s[i] == u'\n') {
            if (s[i] == u'\r' && i + 1 < s.size() && s[i + 1] == u'\n') ++i;
            out += u" \\n ";
        } else {
            out += s[i];
        }
    }
    return out;
}

std::u16string restoreLineBreaks(std::u16string_view s) {
    constexpr std::u16string_view kBreak = u" \\n ";
    std::u16string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        if (s.substr(i, kBreak.size()) == kBreak) {
            out += u"\r\n";
            i += kBreak.size();
        } else {
            out += s[i++];
        }
    }
    return out;
}

std::u16string decodeIniString(std::u16string_view raw) {
    // Line breaks first, so that a value ending in a line break loses it.
    if (raw.find(u'\\') == std::u16string_view::npos) return std::u16string(trimIni(raw));
    return std::u16string(trimIni(restoreLineBreaks(raw)));
}

int parseIniInt(std::u16string_view s) {
    std::string a = asciiOf(trimIni(s));
    if (!a.empty() && a[0] == '+') a.erase(0, 1);
    int v = 0;
    auto [end, ec] = std::from_chars(a.data(), a.data() + a.size(), v);
    return (ec == std::errc() && end == a.data() + a.size() && !a.empty()) ? v : 0;
}

std::u16string formatIniInt(long long v) { return widen(std::to_string(v)); }

double parseIniFloat(std::u16string_view s) {
    std::string a = asciiOf(trimIni(s));
    for (char& c : a)
        if (c == ',') c = '.';
    if (!a.empty() && a[0] == '+') a.erase(0, 1);
    double v = 0;
    auto [end, ec] = std::from_chars(a.data(), a.data() + a.size(), v);
    if (ec != std::errc() || end != a.data() + a.size() || a.empty() || !std::isfinite(v)) return 0.0;
    return v;
}

std::u16string formatIniFloat(double v) {
    if (!std::isfinite(v)) return u"0";
    char buf[400];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 6);
    std::string s(buf, ec == std::errc() ? end : buf);
    size_t dot = s.find('.');
    if (dot != std::string::npos) {
        s[dot] = ',';
        while (s.back() == '0') s.pop_back();
        if (s.back() == ',') s.pop_back();
    }
    if (s == "-0") s = "0";
    return widen(s);
}

bool parseIniBool(std::u16string_view s) {
    if (s.empty()) return false;
    switch (text::upperChar(s[0])) {
    case u'Y': case u'J': case u'X': case u'S': case u'T': case u'1': return true;
    default: return false;
    }
}

std::u16string_view formatIniBool(bool v) { return v ? u"Ja" : u"Nei"; }

}  // namespace kavelin::ini

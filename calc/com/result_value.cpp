#include "calc/com/result_value.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <string>

#include "calc/com/com_error.h"
#include "common/utils/dates.h"

namespace mirvo::com {

namespace {

// The ASCII form of the text, or "" when it holds anything else.
std::string ascii(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) {
        if (c > 0x7F) return {};
        out += char(c);
    }
    return out;
}

template <class T>
bool readWhole(std::string_view s, T& value) {
    if (!s.empty() && s[0] == '+') s.remove_prefix(1);
    if (s.empty() || !(std::isdigit((unsigned char)s[0]) || s[0] == '-' || s[0] == '.')) return false;
    auto r = std::from_chars(s.data(), s.data() + s.size(), value);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

}  // namespace

int32_t resultAsInt(std::u16string_view text) {
    int32_t value = 0;
    return readWhole(ascii(text), value) ? value : 0;
}

double resultAsDouble(std::u16string_view text) {
    std::string s = ascii(text);
    for (char& c : s)
        if (c == ',') c = '.';
    double value = 0;
    return readWhole(s, value) && std::isfinite(value) ? value : 0;
}

DATE resultAsDate(std::u16string_view text) {
    using namespace kavelin::utils;
    if (text.empty()) throw EAutomation(E_FAIL, u"Kan ikke konvertere tomt resultat til datetime!");
    Datorec d;
    bool ok = false;
    try {
        ok = StrTilDato(text, u"DD.MM.YY", d) && okdato(d);
    } catch (const std::exception&) {
        ok = false;
    }
    if (!ok)
        throw EAutomation(E_FAIL, u"Kan ikke konvertere \"" + std::u16string(text) + u"\" til datetime verdi!");
    return DATE(dato2intdate(d));
}

}  // namespace mirvo::com

#include "common/text/casing.h"

#include <cwctype>
#include <locale.h>
#include <wctype.h>

namespace kavelin::text {
namespace {

locale_t utf8Locale() {
    static const locale_t loc = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(0));
        return l;
    }();
    return loc;
}

}  // namespace

char16_t upperChar(char16_t c) {
    if (c < 0x80) return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
    // Surrogate halves are not characters on their own; leave them be.
    if (c >= 0xD800 && c <= 0xDFFF) return c;
    locale_t loc = utf8Locale();
    if (loc == locale_t(0)) return c;
    wint_t u = towupper_l(wint_t(c), loc);
    return u <= 0xFFFF ? char16_t(u) : c;
}

std::u16string upperCase(std::u16string_view s) {
    std::u16string out(s);
    for (auto& c : out) c = upperChar(c);
    return out;
}

bool sameText(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && upperChar(a[i]) != upperChar(b[i])) return false;
    return true;
}

}  // namespace kavelin::text

#include "app/ui/fmt/fillout.h"

#include "app/ui/fmt/fmterror.h"

namespace kavelin::fmt {
namespace {

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

std::u16string_view trimRight(std::u16string_view s) {
    while (!s.empty() && s.back() == u' ') s.remove_suffix(1);
    return s;
}

// The number that stands before position `end` in the text, blanks skipped:
// the run of digits and "_" ending there, without the "_".
std::u16string numberBefore(std::u16string_view text, size_t end) {
    size_t i = end;
    while (i > 0 && text[i - 1] == u' ') --i;
    std::u16string num;
    size_t stop = i;
    while (i > 0 && (isDigit(text[i - 1]) || text[i - 1] == u'_')) --i;
    for (size_t k = i; k < stop; ++k)
        if (text[k] != u'_') num += text[k];
    return num;
}

}  // namespace

std::vector<FillOutPair> splitFillOutMask(std::u16string_view mask) {
    std::vector<FillOutPair> pairs;
    size_t i = 0;
    while (i < mask.size()) {
        FillOutPair p;
        while (i < mask.size() && mask[i] == u'_') p.filler += mask[i++];
        while (i < mask.size() && mask[i] != u'_') p.unit += mask[i++];
        if (p.filler.empty() || p.unit.empty()) pairs.clear(), i = mask.size() + 1;
        else pairs.push_back(std::move(p));
    }
    if (pairs.empty())
        throw EFmtError(
            "Fill out mask must always contains pairs of filler indicator (underscore) and fixed "
            "mask text");
    return pairs;
}

std::u16string makeFillOutStr(std::u16string_view text, std::u16string_view mask, bool editing) {
    std::vector<FillOutPair> pairs = splitFillOutMask(mask);
    if (text.empty()) return {};
    std::u16string out;
    bool anyNumber = false, anyUnit = false;
    for (const FillOutPair& p : pairs) {
        std::u16string_view unit = trimRight(p.unit);
        size_t at = unit.empty() ? std::u16string_view::npos : text.find(unit);
        // The number is read from just before the unit, so units written
        // without a leading blank ("__aar") find their numbers too.
        std::u16string num = at == std::u16string_view::npos ? u"" : numberBefore(text, at);
        anyUnit = anyUnit || at != std::u16string_view::npos;
        if (!num.empty()) {
            anyNumber = true;
            out += num;
            out += p.unit;
        } else if (editing) {
            out += u'_';
            out += p.unit;
        }
    }
    if (editing && !anyNumber && !anyUnit) {
        // A first digit typed into an empty field becomes the first number.
        std::u16string rest(mask);
        for (size_t k = rest.find(u"__"); k != std::u16string::npos; k = rest.find(u"__", k + 1))
            rest.erase(k, 1);
        out = std::u16string(text) + rest.substr(1);
    }
    return std::u16string(trimRight(out));
}

}  // namespace kavelin::fmt

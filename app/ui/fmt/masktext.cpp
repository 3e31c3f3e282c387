#include "app/ui/fmt/masktext.h"

#include "common/text/casing.h"

namespace kavelin::fmt {
namespace {

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace

MaskParts splitMask(std::u16string_view mask) {
    MaskParts m;
    size_t open = mask.find(u'{');
    if (open == std::u16string_view::npos) {
        m.mask = mask;
        return m;
    }
    size_t close = mask.find(u'}', open);
    size_t end = close == std::u16string_view::npos ? mask.size() : close + 1;
    m.hasFilter = true;
    m.filter = mask.substr(open + 1, (close == std::u16string_view::npos ? mask.size() : close) - open - 1);
    // The filter may stand before or after the mask ("{09}##" or "##{09}").
    m.mask = std::u16string(mask.substr(0, open)) + std::u16string(mask.substr(end));
    if (m.filter.empty()) m.hasFilter = false;
    return m;
}

bool filterAcceptsTyped(const MaskParts& m, char16_t c) {
    if (!m.hasFilter) return isDigit(c);
    if (m.filter.find(u'*') != std::u16string::npos) return true;
    char16_t uc = text::upperChar(c);
    for (char16_t f : m.filter)
        if (text::upperChar(f) == uc) return true;
    return false;
}

bool filterKeepsInValue(const MaskParts& m, char16_t c) {
    if (!m.hasFilter) return isDigit(c);
    if (m.filter.find(u'*') != std::u16string::npos) return isDigit(c) || c >= u'A';
    return filterAcceptsTyped(m, c);
}

bool isMaskPosition(char16_t c) { return c == u'#' || isDatetimeLetter(c); }

bool isDatetimeLetter(char16_t c) {
    return c == u'Y' || c == u'D' || c == u'M' || c == u'h' || c == u'n' || c == u'm' ||
           c == u's';
}

std::u16string makeMaskedStr(std::u16string_view text, std::u16string_view mask,
                             bool textHasLiterals, bool editing) {
    std::u16string m = splitMask(mask).mask;
    if (m.empty() || (textHasLiterals && !editing)) return std::u16string(text);
    std::u16string out;
    size_t v = 0;
    for (size_t i = 0; i < m.size() && v < text.size(); ++i) {
        if (isMaskPosition(m[i]) || m[i] == text[v]) out += text[v++];
        else out += m[i];
    }
    return out;
}

std::u16string makeUnfmtMaskedStr(std::u16string_view text, std::u16string_view mask,
                                   bool saveLiterals) {
    if (saveLiterals) return std::u16string(text);
    MaskParts m = splitMask(mask);
    std::u16string out;
    for (char16_t c : text)
        if (filterKeepsInValue(m, c)) out += c;
    return out;
}

std::u16string reformatMaskedStr(std::u16string_view text, std::u16string_view mask,
                                 bool saveLiterals) {
    return makeMaskedStr(makeUnfmtMaskedStr(text, mask, saveLiterals), mask, false, false);
}

std::u16string reformatMaskedEdit(std::u16string_view text, std::u16string_view mask,
                                  bool saveLiterals) {
    return makeMaskedStr(makeUnfmtMaskedStr(text, mask, saveLiterals), mask, saveLiterals, true);
}

std::vector<DatetimePart> splitDatetimePattern(std::u16string_view pattern) {
    std::vector<DatetimePart> parts;
    size_t i = 0;
    while (i < pattern.size() && !isDatetimeLetter(pattern[i])) ++i;
    while (i < pattern.size()) {
        DatetimePart p;
        p.letter = pattern[i];
        while (i < pattern.size() && pattern[i] == p.letter) {
            ++p.width;
            ++i;
        }
        while (i < pattern.size() && !isDatetimeLetter(pattern[i])) p.sepAfter += pattern[i++];
        parts.push_back(std::move(p));
    }
    return parts;
}

std::u16string normaliseDatetimePattern(std::u16string_view pattern) {
    std::u16string s(pattern);
    for (auto [from, to] : {std::pair{u"hh.", u"hh:"}, std::pair{u"nn.", u"nn:"}}) {
        for (size_t p = s.find(from); p != std::u16string::npos; p = s.find(from, p + 3))
            s.replace(p, 3, to);
    }
    static const std::u16string_view minutes[][2] = {
        {u"hh:mm", u"hh:nn"}, {u"hhmm", u"hhnn"}, {u"mm:ss", u"nn:ss"}, {u"mmss", u"nnss"}};
    for (auto& [from, to] : minutes) {
        if (size_t p = s.find(from); p != std::u16string::npos) {
            s.replace(p, from.size(), to);
            break;
        }
    }
    return s;
}

std::u16string makeDatetimeStr(std::u16string_view text, std::u16string_view mask,
                               bool literalsStored, bool editing) {
    if (!editing) return makeMaskedStr(text, mask, literalsStored, false);
    std::vector<DatetimePart> parts = splitDatetimePattern(mask);
    if (parts.empty()) return std::u16string(text);
    std::vector<std::u16string> digits(parts.size());
    std::vector<bool> closed(parts.size(), false);
    size_t p = 0;
    auto full = [&](size_t k) { return parts[k].letter != u'Y' && digits[k].size() >= 2; };
    for (char16_t c : text) {
        if (p >= parts.size()) break;
        if (isDigit(c)) {
            if (full(p)) {
                closed[p] = true;
                if (++p >= parts.size()) break;
            }
            digits[p] += c;
            if (full(p)) {
                closed[p] = true;
                ++p;
            }
        } else if (!digits[p].empty()) {
            // A separator typed after one digit ends the part ("1.5.2024").
            closed[p] = true;
            ++p;
        }
    }
    std::u16string out;
    for (size_t k = 0; k < parts.size(); ++k) {
        out += digits[k];
        bool later = false;
        for (size_t j = k + 1; j < parts.size(); ++j) later = later || !digits[j].empty();
        if (closed[k] || later) out += parts[k].sepAfter;
        if (!later) break;
    }
    return out;
}

std::u16string reformatDatetimeEdit(std::u16string_view text, std::u16string_view mask,
                                    bool literalsStored) {
    std::u16string value(text);
    if (!literalsStored) value = makeUnfmtMaskedStr(text, mask, false);
    return makeDatetimeStr(value, mask, literalsStored, true);
}

}  // namespace kavelin::fmt

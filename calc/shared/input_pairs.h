// Splitting a calculator's input buffer into NAME=value pairs.
#pragma once

#include <cstdint>
#include <string_view>

namespace mirvo::beregning {

struct TInputPair {
    std::u16string_view name;
    std::u16string_view value;
    bool hasEquals = false;
};

inline bool isInputPairEnd(char16_t c) { return c == u';' || c == u'\r' || c == u'\n'; }

// Calls apply(pairText) for each pair of the buffer. Pairs are separated by
// ";", CR or LF (a run of them counts as one; blanks are not separators);
// the buffer ends at its size or at a zero character. Stops at the first
// pair whose code is not 0 and returns that code.
template <class Apply>
uint16_t forEachInputPair(std::u16string_view buffer, Apply&& apply) {
    size_t pos = 0;
    while (pos < buffer.size() && buffer[pos] != 0) {
        size_t end = pos;
        while (end < buffer.size() && buffer[end] != 0 && !isInputPairEnd(buffer[end])) ++end;
        if (uint16_t code = apply(buffer.substr(pos, end - pos))) return code;
        pos = end;
        while (pos < buffer.size() && isInputPairEnd(buffer[pos])) ++pos;
    }
    return 0;
}

// Splits at the first "=": the name without trailing blanks and control
// characters, the value without leading ones. Without "=" the whole text is
// the name and the value is empty.
inline TInputPair splitInputPair(std::u16string_view pair) {
    size_t eq = pair.find(u'=');
    if (eq == std::u16string_view::npos) return {pair, {}, false};
    std::u16string_view name = pair.substr(0, eq), value = pair.substr(eq + 1);
    while (!name.empty() && name.back() <= u' ') name.remove_suffix(1);
    while (!value.empty() && value.front() <= u' ') value.remove_prefix(1);
    return {name, value, true};
}

}  // namespace mirvo::beregning

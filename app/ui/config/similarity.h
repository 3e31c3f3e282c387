// Fuzzy matching of names: the score of two texts by their common runs of
// characters, and the best match of a name in a list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mirvo::oppsett {

// Equal texts (case ignored) score their length. Otherwise the total length
// of the non-overlapping runs of at least minRun characters of the shorter
// text, taken from left to right, that occur somewhere in the other (case
// ignored).
int similarity(std::u16string_view a, std::u16string_view b, int minRun = 4);

struct TFindMatchResult {
    int inx = -1;  // best entry, -1 when none scores above 0
    std::u16string str;
};

// The first entry with the highest score above 0.
TFindMatchResult findClosestMatch(std::u16string_view name, const std::vector<std::u16string>& entries);

}  // namespace mirvo::oppsett

#include "app/ui/config/similarity.h"

#include "common/text/casing.h"

namespace mirvo::oppsett {

int similarity(std::u16string_view a, std::u16string_view b, int minRun) {
    std::u16string ua = kavelin::text::upperCase(a), ub = kavelin::text::upperCase(b);
    if (ua == ub) return static_cast<int>(a.size());
    const std::u16string& s = ua.size() < ub.size() ? ua : ub;
    const std::u16string& t = ua.size() < ub.size() ? ub : ua;
    // 0-based form of the scan: a run starts at p and may not start at the
    // last character.
    int score = 0;
    size_t n = s.size();
    size_t p = 1;
    while (p < n) {
        size_t e = p;
        while (e < n && t.find(std::u16string_view(s).substr(p - 1, e - p + 2)) != std::u16string::npos) ++e;
        size_t run = e - p + 1;
        if (run < static_cast<size_t>(minRun)) {
            ++p;
        } else {
            score += static_cast<int>(run);
            p = e + 1;
        }
    }
    return score;
}

TFindMatchResult findClosestMatch(std::u16string_view name, const std::vector<std::u16string>& entries) {
    TFindMatchResult best;
    int bestScore = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        int score = similarity(name, entries[i]);
        if (score > bestScore) {
            bestScore = score;
            best.inx = static_cast<int>(i);
            best.str = entries[i];
        }
    }
    return best;
}

}  // namespace mirvo::oppsett

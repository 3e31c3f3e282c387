// Test helpers for schedule texts: lines split into columns, numbers and
// dates read without the process locale, and an effective rate worked out
// by bisection, independently of the library's Newton solver.
#pragma once

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace testplan {

using Rad = std::vector<std::u16string>;

// Lines at "\n", columns at ";"; no empty last line.
inline std::vector<Rad> linjer(std::u16string_view text) {
    std::vector<Rad> out;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find(u'\n', pos);
        if (end == std::u16string_view::npos) end = text.size();
        std::u16string_view line = text.substr(pos, end - pos);
        Rad cols;
        size_t c = 0;
        while (true) {
            size_t e = line.find(u';', c);
            cols.emplace_back(line.substr(c, e == std::u16string_view::npos ? e : e - c));
            if (e == std::u16string_view::npos) break;
            c = e + 1;
        }
        out.push_back(std::move(cols));
        pos = end + 1;
    }
    return out;
}

// A number with "," or "." as decimal separator and blanks grouping
// thousands; an empty text is 0, an unreadable one NaN.
inline double tall(std::u16string_view s) {
    std::string a;
    for (char16_t c : s) {
        if (c == u' ' || c == u'+') continue;
        a += c == u',' ? '.' : char(c);
    }
    if (a.empty()) return 0;
    double v = 0;
    auto r = std::from_chars(a.data(), a.data() + a.size(), v);
    return r.ec == std::errc() && r.ptr == a.data() + a.size() ? v : std::nan("");
}

struct Dato {
    int d = 0, m = 0, y = 0;
    friend bool operator==(const Dato&, const Dato&) = default;
};

// "DD.MM.YYYY".
inline Dato dato(std::u16string_view s) {
    auto num = [&](size_t from, size_t len) {
        int v = 0;
        for (size_t i = from; i < from + len && i < s.size(); ++i) v = v * 10 + (s[i] - u'0');
        return v;
    };
    return {num(0, 2), num(3, 2), num(6, 4)};
}

inline bool skuddaar(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }
inline int dagerIMnd(int y, int m) {
    static const int d[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && skuddaar(y) ? 29 : d[m - 1];
}

// 30/360 days from a to b (days past the 30th count as the 30th).
inline int dager360(Dato a, Dato b) {
    auto d = [](int x) { return x > 30 ? 30 : x; };
    return (b.y - a.y) * 360 + (b.m - a.m) * 30 + d(b.d) - d(a.d);
}

// The yearly rate in percent at which the dated flows' present value is
// zero, days counted 30/360 on a 360-day year; flows in date order.
inline double effRente(const std::vector<std::pair<Dato, double>>& flows) {
    auto nv = [&](double r) {
        double s = 0;
        for (const auto& [d, a] : flows) s += a * std::pow(1 + r / 100, -dager360(flows.front().first, d) / 360.0);
        return s;
    };
    double lo = -50, hi = 200;
    const bool stigende = nv(lo) < nv(hi);
    for (int i = 0; i < 200; ++i) {
        double mid = (lo + hi) / 2;
        ((nv(mid) < 0) == stigende ? lo : hi) = mid;
    }
    return (lo + hi) / 2;
}

// Flows of one schedule in the classic "NBPLAN" layout: the amount paid out
// on a "D" line (its balance), and what is paid in on every other line
// except the sums "M", "A" and "S".
inline std::vector<std::pair<Dato, double>> flytFraPlan(std::u16string_view plan) {
    std::vector<std::pair<Dato, double>> out;
    for (const Rad& r : linjer(plan)) {
        if (r.size() < 7 || r[0] == u"M" || r[0] == u"A" || r[0] == u"S") continue;
        if (r[0] == u"D")
            out.emplace_back(dato(r[1]), -tall(r[6]));
        else if (tall(r[2]) != 0)
            out.emplace_back(dato(r[1]), tall(r[2]));
    }
    return out;
}

// Flows of several schedules merged in date order (equal dates added).
inline std::vector<std::pair<Dato, double>> flett(std::vector<std::pair<Dato, double>> flows) {
    auto key = [](Dato d) { return d.y * 10000 + d.m * 100 + d.d; };
    std::vector<std::pair<Dato, double>> out;
    std::stable_sort(flows.begin(), flows.end(), [&](auto& a, auto& b) { return key(a.first) < key(b.first); });
    for (auto& f : flows) {
        if (!out.empty() && out.back().first == f.first) out.back().second += f.second;
        else out.push_back(f);
    }
    return out;
}

}  // namespace testplan

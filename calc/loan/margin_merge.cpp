#include "calc/loan/margin_merge.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "calc/errors/calc_errors.h"
#include "calc/loan/value_syntax.h"

namespace mirvo::beregning {

namespace {

constexpr uint16_t kMarginMismatch = 417;
using V = std::u16string_view;
using Rad = std::vector<std::u16string>;

std::vector<Rad> rader(V text, char16_t sep) {
    std::vector<Rad> out;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find(u'\n', pos);
        if (end == V::npos) end = text.size();
        V line = text.substr(pos, end - pos);
        Rad cols;
        for (size_t c = 0;;) {
            size_t e = line.find(sep, c);
            cols.emplace_back(line.substr(c, e == V::npos ? V::npos : e - c));
            if (e == V::npos) break;
            c = e + 1;
        }
        out.push_back(std::move(cols));
        pos = end + 1;
    }
    return out;
}

std::u16string kolonne(const Rad& r, size_t i) { return i < r.size() ? r[i] : std::u16string(); }

// A number as the writer wrote it; false when the text is not one. The
// decimals the text shows come back in `des`.
bool les(const std::u16string& s, const kavelin::finans::TReportOutput& w, bool formatert, double& v,
         int& des) {
    std::u16string t;
    des = 0;
    bool etter = false;
    for (char16_t c : s) {
        if (formatert && c == w.thousandSep()) continue;
        if (c == w.decimalSep()) {
            etter = true;
            t += u'.';
            continue;
        }
        if (etter) ++des;
        t += c;
    }
    v = 0;
    if (t.empty()) return true;
    auto n = verdi::number(t);
    if (!n) return false;
    v = *n;
    return true;
}

}  // namespace

uint16_t flettMarginRader(V base, V klone, const TMarginFletting& valg,
                          const kavelin::finans::TReportOutput& w, size_t kapasitet, std::u16string& ut) {
    const char16_t sep = w.colSep();
    const auto a = rader(base, sep);
    const auto b = rader(klone, sep);
    auto tekst = [&](double v, int des) {
        return valg.formatert ? w.valAsFmtStr(des, v) : w.valAsStr(des, v);
    };
    const size_t nokkel = valg.nokkelKolonne < 0 ? size_t(-1) : size_t(valg.nokkelKolonne);

    ut.clear();
    for (size_t r = 0; r < std::max(a.size(), b.size()); ++r) {
        if (r >= a.size() || r >= b.size()) return kMarginMismatch;
        const Rad& ra = a[r];
        const Rad& rb = b[r];
        for (size_t i = 0; i < valg.identKolonner; ++i)
            if (kolonne(ra, i) != kolonne(rb, i)) return kMarginMismatch;
        if (nokkel != size_t(-1) && kolonne(ra, nokkel) != kolonne(rb, nokkel)) return kMarginMismatch;

        Rad cols(ra.begin(), ra.begin() + ptrdiff_t(std::min(valg.identKolonner, ra.size())));
        for (size_t i = valg.identKolonner; i < std::max(ra.size(), rb.size()); ++i) {
            const std::u16string ta = kolonne(ra, i), tb = kolonne(rb, i);
            if (i == nokkel) {
                cols.push_back(ta);
                continue;
            }
            double va, vb;
            int des, ubrukt;
            if (!les(ta, w, valg.formatert, va, des) || !les(tb, w, valg.formatert, vb, ubrukt))
                return kMarginMismatch;
            if (ta.empty() && tb.empty()) {
                cols.insert(cols.end(), 3, std::u16string());
                continue;
            }
            const double diff = vb - va;
            std::u16string d = tekst(diff, des);
            if (diff >= 0.5 * std::pow(10.0, -des)) d.insert(0, 1, u'+');
            cols.push_back(tekst(va, des));
            cols.push_back(tekst(vb, des));
            cols.push_back(d);
        }
        std::u16string linje = w.makelineOfColumns(cols);
        if (ut.size() + linje.size() + 1 >= kapasitet) throw EMirvo("For liten beregningsbuffer!");
        ut += linje;
        ut += u'\n';
    }
    return 0;
}

}  // namespace mirvo::beregning

// The merged payment schedule of a portfolio: the loans' own schedules read
// back row by row, taken in date order, and written again with the
// portfolio's own detail, month, year and total sums.
//
// Every month or year sum row carries the sums of its own period under its
// own date. A period without rows between two periods with rows is written
// as a row of zero amounts (balances as they stood), so the sums show no
// gap; empty periods before the first row or after the last are not written.
#include <array>
#include <bitset>
#include <cmath>
#include <memory>
#include <optional>

#include "calc/errors/calc_errors.h"
#include "calc/kjerne/forlop_rapport.h"
#include "calc/loan/calc_loan.h"
#include "calc/loan/value_syntax.h"
#include "calc/portfolio/portfolio.h"
#include "common/buffer/bufferparser.h"
#include "common/utils/dates.h"
#include "common/utils/error.h"

namespace mirvo::beregning {

using kavelin::TBufferParser;
using kavelin::finans::Datorec;
using kavelin::finans::RDatoMode;
using V = std::u16string_view;

namespace {

constexpr size_t kLoanBuffer = 65000;
constexpr uint16_t kAlleAar = 99;
constexpr int kMaxCols = TBufferParser::kMaxCols;
constexpr Datorec kAldri = Datorec::ymd(2999, 12, 31);

// Numeric columns of a schedule: balance b, second balance b2 (its
// difference to b follows it) and the key column of margin schedules.
struct TPlanKolonner {
    std::optional<int> b, b2, k;
};

std::optional<TPlanKolonner> planKolonner(V id) {
    auto in = [&](std::initializer_list<V> ids) {
        for (V s : ids)
            if (s == id) return true;
        return false;
    };
    if (in({u"NBPLAN", u"SCHEDULE", u"FORLOPV30"})) return TPlanKolonner{4, {}, 3};
    if (in({u"NBPLAN_REL", u"SCHEDULE_REL", u"FORLOP", u"FORLOPR"})) return TPlanKolonner{1, {}, 3};
    if (in({u"NBPLAN_NV", u"SCHEDULE_PV", u"FORLOPNV", u"IRB_SCHEDULE_NV", u"MFORLOPNV"}))
        return TPlanKolonner{};
    if (in({u"IRB_SCHEDULE", u"IRB_SCHEDULE_REL", u"MFORLOPV30"})) return TPlanKolonner{10, 11, 9};
    if (in({u"MFORLOP", u"MFORLOPR"})) return TPlanKolonner{3, 4, 9};
    return std::nullopt;
}

struct TDatoExt {
    RDatoMode rntModus = RDatoMode::Kalender;
    Datorec d;
};

// One schedule line read back as values; kode 0 means no row.
struct TRow {
    char16_t kode = 0;
    TDatoExt dto;
    std::array<double, kMaxCols> cols{};
    std::bitset<kMaxCols> satt;  // the column had a text
    int colCount = 0;
};

// The day clamped to the month's length: a 30/360 row on 29 or 30 February
// counts as the last day of that February.
Datorec sammenlignbar(Datorec d) {
    const int dim = kavelin::utils::dagerimnd(d.year(), d.month());
    if (dim > 0 && d.day() > dim) return Datorec::ymd(d.year(), d.month(), dim);
    return d;
}

Datorec sisteIMnd(int year, int month) {
    while (month > 12) {
        month -= 12;
        ++year;
    }
    return Datorec::ymd(year, month, kavelin::utils::dagerimnd(year, month));
}

struct TLaanPlan {
    TCalcLoan* loan;
    std::unique_ptr<TBufferParser> parser;
    TRow row;
    double sisteB = 0, sisteB2 = 0;
};

struct TSum {
    int teller = 0;
    TRow row;
    bool harRader = false;
};

}  // namespace

bool TPortfolio::erPlan(std::u16string_view id) { return planKolonner(id).has_value(); }

void TPortfolio::flettetPlan(std::u16string_view id, uint16_t funcParam, const TResultDest& dest) {
    const TPlanKolonner kol = *planKolonner(id);
    const bool margin = id.substr(0, 1) == u"M" || id.substr(0, 3) == u"IRB";
    const bool relativ = (id.size() >= 4 && id.substr(id.size() - 4) == u"_REL") || id.back() == u'R';
    const int aarGrense = funcParam;

    FWriter.initDestBuffer(dest.buffer, dest.buffer ? ptrdiff_t(dest.buffLen) : 0);
    FWriter.bgnArrayOutput();

    // Order numbers of the row kinds; the sum kinds follow, no kind is last.
    auto orden = [&](char16_t k) {
        static constexpr char16_t kNo[] = u"DPEKGTX";
        static constexpr char16_t kEn[] = u"OASCFIX";
        if (k == 0) return 99;
        if (k == FMode.rc_month) return 8;
        if (k == FMode.rc_year) return 9;
        if (k == FMode.rc_total) return 10;
        const char16_t* sett = FMode.FId == 1 ? kEn : kNo;
        for (int i = 0; i < 7; ++i)
            if (sett[i] == k) return i + 1;
        return 7;
    };
    auto foer = [&](const TRow& a, const TRow& b) {
        if (a.dto.d != b.dto.d) return a.dto.d < b.dto.d;
        return orden(a.kode) < orden(b.kode);
    };

    auto lesRad = [&](TLaanPlan& lp) {
        TBufferParser& p = *lp.parser;
        TRow r;
        while (p.ReadLn()) {
            const std::u16string k = p.getCol(0);
            const char16_t c = k.empty() ? 0 : k[0];
            if (c != 0 && (c == FMode.rc_month || c == FMode.rc_year || c == FMode.rc_total)) continue;
            r.kode = c;
            break;
        }
        if (r.kode != 0) {
            r.dto.rntModus = lp.loan->rdatomode();
            const std::u16string t = p.getCol(1);
            Datorec d = kavelin::utils::StrTilDato(t, lp.loan->getOutputDateFmt());
            if (d.L != 0) {
                d = sammenlignbar(d);
                if (!kavelin::utils::okdato(d))
                    throw kavelin::utils::EKavelin(u"Ikke gyldig datostreng! (" + t + u")");
            }
            r.dto.d = d;
            r.colCount = std::max(0, p.colCount() - 2);
            for (int j = 0; j < r.colCount && j + 2 < kMaxCols; ++j) {
                const std::u16string v = p.getCol(j + 2);
                r.satt[size_t(j)] = !v.empty();
                r.cols[size_t(j)] = verdi::number(v).value_or(0);
            }
        }
        lp.row = r;
    };

    // ---- the loans' schedules
    std::vector<TLaanPlan> planer;
    Datorec t0;
    for (TCalcLoan* l : FLoans) {
        TLaanPlan lp{l, std::make_unique<TBufferParser>(kLoanBuffer), {}, 0, 0};
        const uint16_t code = l->getResult(id, kAlleAar, TResultDest{lp.parser->buffer(), uint32_t(kLoanBuffer)});
        if (code != 0) {
            fail(code);
            FWriter.endArrayOutput();
            return;
        }
        lp.parser->gotoStart();
        t0 = kavelin::finans::minDato(t0, l->IFO().diskontdato);
        if (t0.day() == 30 && l->rdatomode() == RDatoMode::Dager360) t0 = sisteIMnd(t0.year(), t0.month());
        lesRad(lp);
        planer.push_back(std::move(lp));
    }

    oppdaterAntDes();
    sammenlignDatoer();
    Datorec e;
    if (!sisteInnfrielse(e)) {
        FWriter.endArrayOutput();
        return;
    }

    // ---- the sums
    const int n = planer.empty() ? 0 : std::min(planer.front().row.colCount, kMaxCols);
    auto addMnd = [&](Datorec d, int mnd) { return RDato2Dato(AddrMndr(mnd, Dato2RDato(d))); };
    TSum detalj, maaned, aar, total;
    detalj.row.dto.d = kAldri;
    total.row.kode = FMode.rc_total;
    total.row.dto.d = e.L == 0 || relativ ? e : sisteIMnd(e.year(), e.month());
    auto senk = [&](TSum& s) {
        if (s.row.dto.d > total.row.dto.d) s.row.dto.d = total.row.dto.d;
    };
    if (t0.L != 0) {
        maaned.teller = 1;
        maaned.row.kode = FMode.rc_month;
        maaned.row.dto.d = relativ ? addMnd(t0, 1) : sisteIMnd(t0.year(), t0.month());
        aar.teller = 12;
        aar.row.kode = FMode.rc_year;
        aar.row.dto.d = relativ ? addMnd(t0, 12) : Datorec::ymd(t0.year(), 12, 31);
    } else {
        maaned.row.kode = FMode.rc_month;
        aar.row.kode = FMode.rc_year;
    }
    senk(maaned);
    senk(aar);

    int aarSkrevet = 0;
    bool noenRader = false;

    auto skrivSum = [&](const TSum& s) {
        if (!FWriter.bgnAddRow()) throw EMirvo("For liten beregningsbuffer!");
        if (FFormatertOutput)
            FWriter.addCol(TForlopRapport::kodeTekst(s.row.kode));
        else
            FWriter.addCol(std::u16string_view(&s.row.kode, 1));
        FWriter.addCol_Date(s.row.dto.d);
        int teller = 0;
        for (int j = 0; j < n; ++j) {
            const double v = s.row.cols[size_t(j)];
            std::u16string t = FFormatertOutput ? FWriter.valAsFmtStr(FRapportAntDes, v)
                                                : FWriter.valAsStr(FRapportAntDes, v);
            if (margin && kol.k != j) {
                const bool differanse = teller++ % 3 == 2;
                if (differanse && v >= 0.5 * std::pow(10.0, -FRapportAntDes)) t.insert(0, 1, u'+');
            }
            FWriter.addCol(t);
        }
        FWriter.endAddRow();
    };
    // After a sum: amounts to zero; the balances stay as they stood, which
    // is what an empty period that follows shows.
    auto nullstill = [&](TSum& s) {
        for (int j = 0; j < kMaxCols; ++j) {
            const bool saldo = j == kol.b || j == kol.b2 || (kol.b2 && j == *kol.b2 + 1);
            if (!saldo) s.row.cols[size_t(j)] = 0;
        }
        s.harRader = false;
    };
    auto skrivForfalte = [&](const TRow& mot) {
        if (foer(detalj.row, mot)) {
            if (FSammeDskOgForf && aarSkrevet < aarGrense) skrivSum(detalj);
            nullstill(detalj);
            detalj.row.kode = 0;
            detalj.row.dto.d = kAldri;
        }
        auto periode = [&](TSum& s, int steg, auto&& skrives) {
            while (foer(s.row, mot)) {
                // An empty period after the last row ends the sums; one
                // between rows is written as a zero row.
                if (!s.harRader && mot.kode == 0) break;
                if ((s.harRader || noenRader) && skrives()) skrivSum(s);
                nullstill(s);
                const Datorec forrige = s.row.dto.d;
                s.teller += steg;
                s.row.dto.d = relativ ? addMnd(t0, s.teller)
                                      : sisteIMnd(forrige.year(), forrige.month() + steg);
                senk(s);
                if (s.row.dto.d == forrige) break;
            }
        };
        periode(maaned, 1, [&] { return !FSammeDskOgForf && aarSkrevet < aarGrense; });
        periode(aar, 12, [&] {
            ++aarSkrevet;
            return true;
        });
    };

    auto leggTil = [&](const TRow& r) {
        double sumB = 0, sumB2 = 0;
        for (const TLaanPlan& lp : planer) {
            sumB += lp.sisteB;
            sumB2 += lp.sisteB2;
        }
        detalj.row.kode = r.kode;
        detalj.row.dto.d = r.dto.d;
        for (TSum* s : {&detalj, &maaned, &aar, &total}) {
            for (int j = 0; j < r.colCount && j < kMaxCols; ++j) {
                if (j == kol.b || j == kol.b2 || (kol.b2 && j == *kol.b2 + 1)) continue;
                s->row.cols[size_t(j)] += r.cols[size_t(j)];
            }
            if (kol.b && *kol.b < kMaxCols) s->row.cols[size_t(*kol.b)] = sumB;
            if (kol.b2 && *kol.b2 + 1 < kMaxCols) {
                s->row.cols[size_t(*kol.b2)] = sumB2;
                s->row.cols[size_t(*kol.b2 + 1)] = sumB2 - sumB;
            }
            s->harRader = true;
        }
        noenRader = true;
    };

    // ---- merging
    while (true) {
        TLaanPlan* neste = nullptr;
        for (TLaanPlan& lp : planer)
            if (lp.row.kode != 0 && (!neste || foer(lp.row, neste->row))) neste = &lp;
        if (!neste) break;
        const TRow r = neste->row;
        if (kol.b && *kol.b < r.colCount && r.satt[size_t(*kol.b)]) neste->sisteB = r.cols[size_t(*kol.b)];
        if (kol.b2 && *kol.b2 < r.colCount && r.satt[size_t(*kol.b2)]) neste->sisteB2 = r.cols[size_t(*kol.b2)];
        lesRad(*neste);
        skrivForfalte(r);
        leggTil(r);
    }
    TRow slutt;
    slutt.dto.d = kAldri;
    skrivForfalte(slutt);
    skrivSum(total);
    FWriter.endArrayOutput();
}

}  // namespace mirvo::beregning

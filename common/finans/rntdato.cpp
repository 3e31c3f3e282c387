#include "common/finans/rntdato.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

#include "common/finans/rente360.h"
#include "common/text/numtext.h"
#include "common/utils/dates.h"
#include "common/utils/error.h"

namespace kavelin::finans {
namespace {

using utils::EDatoUtenforOmraade;

constexpr int kEpochYear = 1952;        // day number 0 is 1 March 1952
constexpr TIntDate kEpochSerial = 19054;  // serial of 1 March 1952

constexpr int32_t floorDiv(int32_t a, int32_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Calendar days counted from 1 March of year 0 (Gregorian, with the 400-year
// rule, so that 2100 has no 29 February).
constexpr int32_t gregorianDays(int32_t yearFromMarch, int32_t mnd, int32_t dag) {
    const int32_t era = floorDiv(yearFromMarch, 400);
    const int32_t yoe = yearFromMarch - era * 400;
    return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + (153 * mnd + 2) / 5 + dag;
}
constexpr int32_t kEpochDays = gregorianDays(kEpochYear, 0, 0);

// Day numbers of 1 March of the March-based years 0..kAarITabell from the
// epoch: every date of the 16-bit range and a margin around it, looked up
// instead of worked out through the 400-year cycle.
constexpr int kAarITabell = 200;
constexpr auto kMarsStart = [] {
    std::array<int32_t, kAarITabell + 1> t{};
    for (int c = 0; c <= kAarITabell; ++c) t[size_t(c)] = gregorianDays(kEpochYear + c, 0, 0) - kEpochDays;
    return t;
}();

std::u16string padLeft2(std::u16string s) {
    while (s.size() < 2) s.insert(s.begin(), u' ');
    return s;
}

}  // namespace

TRntDato::TRntDato() { InitRntDato(365, true); }

void TRntDato::InitRntDato(int16_t dagerPrAar, bool medSkuddag) {
    if (dagerPrAar <= 360)
        FRdatomode = RDatoMode::Dager360;
    else
        FRdatomode = medSkuddag ? RDatoMode::Kalender : RDatoMode::Dager365;
}

// --- Day numbers --------------------------------------------------------

int32_t TRntDato::encode(MarchDate m) const {
    switch (FRdatomode) {
        case RDatoMode::Dager360: return m.c * 360 + m.mnd * 30 + m.dag;
        case RDatoMode::Dager365: return (153 * m.mnd + 2) / 5 + 365 * m.c + m.dag;
        case RDatoMode::Kalender: break;
    }
    if (m.c >= 0 && m.c < kAarITabell) return kMarsStart[size_t(m.c)] + (153 * m.mnd + 2) / 5 + m.dag;
    return gregorianDays(m.c + kEpochYear, m.mnd, m.dag) - kEpochDays;
}

TRntDato::MarchDate TRntDato::decode(int32_t rd) const {
    int32_t c = 0, r = 0;
    switch (FRdatomode) {
        case RDatoMode::Dager360:
            c = floorDiv(rd, 360);
            r = rd - c * 360;
            return {c, r / 30, r % 30};
        case RDatoMode::Dager365:
            c = floorDiv(rd, 365);
            r = rd - c * 365;
            break;
        case RDatoMode::Kalender: {
            if (rd >= 0 && rd < kMarsStart[kAarITabell]) {
                // A year is at least 365 days: start from the estimate and step back.
                c = std::min(rd / 365, kAarITabell - 1);
                while (kMarsStart[size_t(c)] > rd) --c;
                r = rd - kMarsStart[size_t(c)];
                break;
            }
            const int32_t z = rd + kEpochDays;
            const int32_t era = floorDiv(z, 146097);
            const int32_t doe = z - era * 146097;
            const int32_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
            c = era * 400 + yoe - kEpochYear;
            r = doe - (365 * yoe + yoe / 4 - yoe / 100);
            break;
        }
    }
    return {c, (5 * r + 2) / 153, ((5 * r + 2) % 153) / 5};
}

int32_t TRntDato::wideFromDate(int year, int month0, int day0) const {
    // Years run from March so that a leap day is the last day of its year.
    if (month0 >= 2) return encode({year - kEpochYear, month0 - 2, day0});
    return encode({year - 1 - kEpochYear, month0 + 10, day0});
}

Datorec TRntDato::wideToDate(int32_t rd) const {
    const MarchDate m = decode(rd);
    if (m.mnd + 2 < 12) return Datorec::ymd(m.c + kEpochYear, m.mnd + 3, m.dag + 1);
    return Datorec::ymd(m.c + kEpochYear + 1, m.mnd - 9, m.dag + 1);
}

TWordDate TRntDato::checked(int64_t rd) {
    if (rd < 0 || rd > 0xFFFF) throw EDatoUtenforOmraade();
    return TWordDate(rd);
}

TWordDate TRntDato::Dato2RDato(Datorec d) const {
    if (d.missing()) return kNoDate;
    if (d.FMnt() < 0 || d.FMnt() > 11 || d.FDay() < 0 || d.FDay() > 30) throw EDatoUtenforOmraade();
    return checked(wideFromDate(d.year(), d.FMnt(), d.FDay()));
}

Datorec TRntDato::RDato2Dato(TWordDate rd) const {
    if (rd == kNoDate) return Datorec();
    return wideToDate(rd);
}

TWordDate TRntDato::intdate2rdato(TIntDate serial) const {
    if (serial == 0) return kNoDate;
    if (FRdatomode == RDatoMode::Kalender) return checked(int64_t(serial) - kEpochSerial);
    return Dato2RDato(utils::intdate2dato(serial));
}

TIntDate TRntDato::rdato2intdate(TWordDate rd) const {
    if (rd == kNoDate) return 0;
    if (FRdatomode == RDatoMode::Kalender) return TIntDate(rd) + kEpochSerial;
    return utils::dato2intdate(RDato2Dato(rd));
}

TWordDate TRntDato::datetime2rdato(double dt) const {
    const double day = std::floor(dt + 0.000001);
    if (!(std::fabs(day) < 1e9)) throw EDatoUtenforOmraade();
    return intdate2rdato(TIntDate(day));
}

double TRntDato::rdato2datetime(TWordDate rd) const { return double(rdato2intdate(rd)); }

TWordDate TRntDato::getrsysdato() const { return Dato2RDato(utils::dagensDato()); }

// --- Arithmetic ---------------------------------------------------------

TWordDate TRntDato::AddrDager(int dager, TWordDate rd) const { return checked(int64_t(rd) + dager); }

TWordDate TRntDato::AddrMndr(int maaneder, TWordDate rd) const {
    return AddrMndrFra(mndRef(rd), maaneder);
}

TRntDato::TMndRef TRntDato::mndRef(TWordDate rd) const {
    TMndRef ref;
    ref.rd = rd;
    ref.mode = FRdatomode;
    if (!rd360()) {
        const MarchDate m = decode(rd);
        ref.c = m.c;
        ref.mnd = m.mnd;
        ref.dag = m.dag;
    }
    return ref;
}

TWordDate TRntDato::AddrMndrFra(const TMndRef& ref, int maaneder) const {
    if (ref.mode != FRdatomode) return AddrMndr(maaneder, ref.rd);
    if (rd360()) return checked(int64_t(ref.rd) + 30 * int64_t(maaneder));
    MarchDate m{ref.c, ref.mnd, ref.dag};
    const int total = m.mnd + maaneder;
    const int carry = floorDiv(total, 12);
    m.mnd = total - carry * 12;
    m.c += carry;
    int32_t r = encode(m);
    // A 29th-31st may have run past the end of a shorter month: step back
    // to that month's last day.
    const bool tilFebruar = m.mnd == 11;
    if ((m.dag >= 28 && tilFebruar) || m.dag == 30) {
        const int dag = decode(r).dag;
        if (dag <= 10) r -= dag + 1;
    }
    return checked(r);
}

void TRntDato::calcTidsrom(Datorec fra, Datorec til, int& dager, int& mnd, int& aar) const {
    aar = til.year() - fra.year();
    mnd = til.FMnt() - fra.FMnt();
    dager = til.FDay() - fra.FDay();
    if (mnd < 0) {
        --aar;
        mnd += 12;
    }
    if (dager < 0) {
        if (--mnd < 0) {
            --aar;
            mnd += 12;
        }
        Datorec flyttet = fra;
        AddMndr360(aar * 12 + mnd, flyttet);
        dager = int(Dato2RDato(til)) - int(Dato2RDato(flyttet));
    }
}

void TRntDato::calcTidsrom(TWordDate fra, TWordDate til, int& dager, int& mnd) const {
    int aar = 0;
    calcTidsrom(RDato2Dato(fra), RDato2Dato(til), dager, mnd, aar);
    mnd += 12 * aar;
}

int TRntDato::calcTidsrom(TWordDate fra, TWordDate til) const {
    if (fra == kNoDate || til == kNoDate) return 0;
    return int(til) - int(fra);
}

// --- Calendar periods ---------------------------------------------------

int32_t TRntDato::firstOf(Periode p, int32_t rd) const {
    const Datorec d = wideToDate(rd);
    int m0 = d.FMnt();
    switch (p) {
        case Periode::Maaned: break;
        case Periode::Kvartal: m0 = m0 / 3 * 3; break;
        case Periode::Halvaar: m0 = m0 / 6 * 6; break;
        case Periode::Aar: m0 = 0; break;
    }
    return wideFromDate(d.year(), m0, 0);
}

int TRntDato::daysIn(Periode p, int32_t rd) const {
    const Datorec d = wideToDate(rd);
    const bool kalender = FRdatomode == RDatoMode::Kalender;
    const int skuddag = kalender && utils::skuddaar(d.year()) ? 1 : 0;
    switch (p) {
        case Periode::Maaned:
            if (rd360()) return 30;
            return d.month() == 2 ? 28 + skuddag : utils::dagerimnd(d);
        case Periode::Kvartal:
            if (rd360()) return 90;
            switch (d.FMnt() / 3 + 1) {
                case 1: return 90 + skuddag;
                case 2: return 91;
                case 3:
                case 4: return 92;
                default: throw utils::EKavelin(u"Feil kvartalsnr!");
            }
        case Periode::Halvaar:
            if (rd360()) return 180;
            return d.FMnt() < 6 ? 181 + skuddag : 184;
        case Periode::Aar:
            if (rd360()) return 360;
            return 365 + skuddag;
    }
    return 0;
}

TWordDate TRntDato::rd_1stjanuar(TWordDate rd) const { return checked(firstOf(Periode::Aar, rd)); }
TWordDate TRntDato::rd_1stimnd(TWordDate rd) const { return checked(firstOf(Periode::Maaned, rd)); }
TWordDate TRntDato::rd_1stiKvartal(TWordDate rd) const { return checked(firstOf(Periode::Kvartal, rd)); }
TWordDate TRntDato::rd_1stiHalvaar(TWordDate rd) const { return checked(firstOf(Periode::Halvaar, rd)); }

TWordDate TRntDato::nesteNyttaar(TWordDate rd) const {
    return checked(wideFromDate(wideToDate(rd).year() + 1, 0, 0));
}

int TRntDato::getYear(TWordDate rd) const { return wideToDate(rd).year(); }
int TRntDato::getMonth(TWordDate rd) const { return wideToDate(rd).month(); }
int TRntDato::getQuarter(TWordDate rd) const { return wideToDate(rd).FMnt() / 3 * 3 + 1; }
int TRntDato::getHalfYear(TWordDate rd) const { return wideToDate(rd).FMnt() / 6 + 1; }

bool TRntDato::isSameMonth(TWordDate a, TWordDate b) const {
    return getYear(a) == getYear(b) && getMonth(a) == getMonth(b);
}
bool TRntDato::isSameQuarter(TWordDate a, TWordDate b) const {
    return getYear(a) == getYear(b) && getQuarter(a) == getQuarter(b);
}
bool TRntDato::isSameHalfYear(TWordDate a, TWordDate b) const {
    return getYear(a) == getYear(b) && getHalfYear(a) == getHalfYear(b);
}
bool TRntDato::isSameYear(TWordDate a, TWordDate b) const { return getYear(a) == getYear(b); }

int TRntDato::getDaysInMonth(TWordDate rd) const { return daysIn(Periode::Maaned, rd); }
int TRntDato::getDaysInQuarter(TWordDate rd) const { return daysIn(Periode::Kvartal, rd); }
int TRntDato::getDaysInHalfYear(TWordDate rd) const { return daysIn(Periode::Halvaar, rd); }
int TRntDato::getDaysInYear(TWordDate rd) const { return daysIn(Periode::Aar, rd); }

double TRntDato::averageDays(Periode p, TWordDate fra, TWordDate til) const {
    if (til <= fra) throw std::invalid_argument("getAverageDays: til must be after fra");
    if (rd360()) return daysIn(p, fra);
    if (p == Periode::Aar && FRdatomode == RDatoMode::Dager365) return 365;
    // Each period touched counts with the share of it that the interval covers.
    int32_t start = firstOf(p, fra), c = fra;
    double andeler = 0;
    while (c != til) {
        const int f = daysIn(p, c);
        start += f;
        const int32_t m = std::min<int32_t>(start, til);
        andeler += double(m - c) / f;
        c = m;
    }
    return double(til - fra) / andeler;
}

double TRntDato::getAverageDaysPrMonth(TWordDate fra, TWordDate til) const {
    return averageDays(Periode::Maaned, fra, til);
}
double TRntDato::getAverageDaysPrQuarter(TWordDate fra, TWordDate til) const {
    return averageDays(Periode::Kvartal, fra, til);
}
double TRntDato::getAverageDaysPrHalfYear(TWordDate fra, TWordDate til) const {
    return averageDays(Periode::Halvaar, fra, til);
}
double TRntDato::getAverageDaysPrYear(TWordDate fra, TWordDate til) const {
    return averageDays(Periode::Aar, fra, til);
}

double TRntDato::calcAntAar(TWordDate fra, TWordDate til) const {
    double aar = 0;
    for (int32_t a = fra; a < til;) {
        const int32_t neste = wideFromDate(wideToDate(a).year() + 1, 0, 0);
        const int32_t del = a == kNoDate ? 0 : std::min<int32_t>(til, neste) - a;
        aar += double(del) / daysIn(Periode::Aar, a);
        a = neste;
    }
    return aar;
}

bool TRntDato::okrdato(Datorec d) const {
    if (d.missing() || d.FMnt() < 0 || d.FMnt() > 11 || d.FDay() < 0) return false;
    switch (FRdatomode) {
        case RDatoMode::Dager360:
            if (d.FDay() > 29) return false;
            break;
        case RDatoMode::Dager365:
            if (!utils::okdato(d) || (d.month() == 2 && d.day() == 29)) return false;
            break;
        case RDatoMode::Kalender:
            if (!utils::okdato(d)) return false;
            break;
    }
    const int32_t rd = wideFromDate(d.year(), d.FMnt(), d.FDay());
    return rd >= 1 && rd <= 0xFFFF;
}

TClosestResult TRntDato::naermesteTerminDato(TWordDate ref, TWordDate target, int termLengde) const {
    if (termLengde < 30) throw std::invalid_argument("naermesteTerminDato: term shorter than a month");
    TClosestResult r{ref, ref};
    const int steg = termLengde / 30;
    // Each candidate is computed from ref so that end-of-month steps do not drift.
    for (int k = 1; r.afterOrEqual < target; ++k) {
        r.beforeOrEqual = r.afterOrEqual;
        r.afterOrEqual = AddrMndr(k * steg, ref);
    }
    return r;
}

std::u16string TRntDato::rdatostr(TWordDate rd, std::u16string_view fmt) const {
    return utils::datostr(RDato2Dato(rd), fmt);
}

// --- Period text --------------------------------------------------------

std::u16string TRntDato::periodToStr(Datorec fra, Datorec til, TPeriodFmtOption opt) const {
    int d = 0, m = 0, y = 0;
    calcTidsrom(fra, til, d, m, y);

    if (opt == pfSystem_no || opt == pfSystem_en) {
        const bool no = opt == pfSystem_no;
        return padLeft2(text::intText(y) + (no ? u"år" : u"Y")) + u' ' + padLeft2(text::intText(m) + (no ? u"mdr" : u"M")) +
               u' ' + padLeft2(text::intText(d) + (no ? u"dgr" : u"D"));
    }

    const bool no = opt == pfText_no;
    auto word = [](int n, std::u16string_view one, std::u16string_view many) {
        return text::intText(n) + u' ' + std::u16string(n <= 1 ? one : many);
    };
    const std::u16string og = no ? u" og " : u" and ";
    const std::u16string aar = no ? word(y, u"år", u"år") : word(y, u"year", u"years");
    const std::u16string mndKort = no ? word(m, u"mnd", u"mnd") : word(m, u"month", u"months");
    const std::u16string dgKort = no ? word(d, u"dg", u"dg") : word(d, u"day", u"days");

    if (y > 0) {
        if (m > 0 && d == 0) return aar + og + mndKort;
        if (d > 0) return aar + u", " + mndKort + og + dgKort;
        return aar;
    }
    if (m > 0 && d > 0) return mndKort + og + dgKort;
    if (m <= 0 || d != 0) return no ? word(d, u"dag", u"dager") : word(d, u"day", u"days");
    return no ? word(m, u"måned", u"måneder") : word(m, u"month", u"months");
}

}  // namespace kavelin::finans

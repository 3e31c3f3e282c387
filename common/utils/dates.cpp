#include "common/utils/dates.h"

#include <atomic>
#include <ctime>

#include "common/text/casing.h"
#include "common/text/numtext.h"
#include "common/utils/error.h"

namespace kavelin::utils {
namespace {

constexpr int kCumDays[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
// Days from 1 January of year 1 to 30 December 1899.
constexpr long kDateDelta = 693594;

int currentYear() { return dagensDato().year(); }

std::atomic<int> gPivot{(currentYear() - 40) % 100};

// Characters from '0' to 'Y': digits, a few signs and the capitals A..Y.
bool isRunChar(char16_t c) { return c >= u'0' && c <= u'Y'; }

std::u16string_view takeRun(std::u16string_view s, size_t& pos) {
    size_t start = pos;
    while (pos < s.size() && isRunChar(s[pos])) ++pos;
    return s.substr(start, pos - start);
}

// Value of an all-digit text of at most 9 digits; -1 otherwise.
long wholeNumber(std::u16string_view s) {
    if (s.empty() || s.size() > 9) return -1;
    long v = 0;
    for (char16_t c : s) {
        if (c < u'0' || c > u'9') return -1;
        v = v * 10 + (c - u'0');
    }
    return v;
}

int fullYear(long n) {
    if (n >= 100) return int(n);
    return n < twoDigitYearPivot() ? int(2000 + n) : int(1900 + n);
}

// Stores day/month/year read from text; false when a value cannot be held
// by its field (so that it cannot wrap into a different, valid date).
bool storeDay(Datorec& d, long n) {
    if (n > 99) return false;
    d.setFDay(int(n) - 1);
    return true;
}
bool storeMonth(Datorec& d, long n) {
    if (n > 99) return false;
    d.setFMnt(int(n) - 1);
    return true;
}
bool storeYear(Datorec& d, long n) {
    int y = fullYear(n);
    if (y > 0xFFFF) return false;
    d.setFYear(y);
    return true;
}

std::u16string_view trimBlanks(std::u16string_view s) {
    while (!s.empty() && s.front() <= u' ') s.remove_prefix(1);
    while (!s.empty() && s.back() <= u' ') s.remove_suffix(1);
    return s;
}

}  // namespace

bool skuddaar(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int dagerimnd(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && skuddaar(year) ? 29 : kDays[month - 1];
}

int dagerimnd(Datorec d) { return dagerimnd(d.year(), d.month()); }

bool okdato(Datorec d) {
    if (d.missing()) return false;
    if (d.FMnt() < 0 || d.FMnt() > 11) return false;
    return d.FDay() >= 0 && d.FDay() < dagerimnd(d);
}

TIntDate dato2intdate(Datorec d) {
    if (d.missing() || d.FMnt() < 0 || d.FMnt() >= 12) return 0;
    long y = d.FYear() - 1;
    long days = y * 365 + y / 4 - y / 100 + y / 400 + kCumDays[d.FMnt()] + d.FDay() + 1;
    if (d.FMnt() >= 2 && skuddaar(d.FYear())) ++days;
    return TIntDate(days - kDateDelta);
}

Datorec intdate2dato(TIntDate serial) {
    if (serial == 0) return Datorec();
    // Civil date from a day count (proleptic Gregorian, years from March);
    // serial 25569 is 1 January 1970, 719468 days after 1 March of year 0.
    const long z = long(serial) - 25569 + 719468;
    long era = (z >= 0 ? z : z - 146096) / 146097;
    long doe = z - era * 146097;
    long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    long mp = (5 * doy + 2) / 153;
    long day = doy - (153 * mp + 2) / 5 + 1;
    long month = mp < 10 ? mp + 3 : mp - 9;
    long year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    if (year < 1 || year > 9999) throw EDatoUtenforOmraade();
    return Datorec::ymd(int(year), int(month), int(day));
}

Datorec dagensDato() {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return Datorec::ymd(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
}

int ukedag(TIntDate serial) {
    // Serial 0 (30 December 1899) was a Saturday.
    int w = (serial + 5) % 7;
    return w < 0 ? w + 7 : w;
}

int ukenr(Datorec d) {
    const int year = d.year();
    const TIntDate jan1 = dato2intdate(Datorec::ymd(year, 1, 1));
    const int w0 = ukedag(jan1);
    int w = (dato2intdate(d) - jan1 + w0) / 7;
    if (w0 < 4)
        ++w;
    else if (w == 0)
        // Days before the first Monday belong to the last week of the year before.
        return ukenr(Datorec::ymd(year - 1, 12, 31));
    if (w == 53 && ukedag(dato2intdate(Datorec::ymd(year + 1, 1, 1))) < 4) w = 1;
    return w;
}

size_t datoChars(Datorec d, std::u16string_view fmt, char16_t* ut) {
    if (d.L == 0) return 0;
    // Past the limit the text is cut, but the format is still read to the
    // end so that an unsupported letter throws wherever it stands.
    size_t n = 0;
    auto tegn = [&](char16_t c) {
        if (n < kDatoTekstMaks) ut[n++] = c;
    };
    // Date fields are not negative: zeros pad the digits on the left.
    auto tall = [&](int v, int minSiffer) {
        char16_t siffer[24];
        char16_t* const slutt = siffer + 24;
        char16_t* p = text::intChars(v, slutt);
        while (slutt - p < minSiffer) *--p = u'0';
        while (p < slutt) tegn(*p++);
    };
    size_t i = 0;
    while (i < fmt.size()) {
        const char16_t c = fmt[i];
        if (c < u'D' || c > u'Y') {
            tegn(c);
            ++i;
            continue;
        }
        size_t run = 1;
        while (i + run < fmt.size() && fmt[i + run] == c) ++run;
        switch (c) {
            case u'D':
            case u'M': {
                const bool two = run >= 2;
                tall(c == u'D' ? d.day() : d.month(), two ? 2 : 1);
                i += two ? 2 : 1;
                break;
            }
            case u'Y':
                if (run >= 3)
                    tall(d.year(), 4);
                else
                    tall(d.year() % 100, 2);
                i += run;
                break;
            case u'Q':
                tegn(u'Q');
                tall(d.FMnt() / 3 + 1, 1);
                ++i;
                break;
            case u'H':
                tegn(u'H');
                tall(d.FMnt() / 6 + 1, 1);
                ++i;
                break;
            case u'W':
                tegn(u'W');
                tall(ukenr(d), 1);
                ++i;
                break;
            default:
                throw EKavelin(u"Date format not supported! (" + std::u16string(fmt) + u")");
        }
    }
    return n;
}

std::u16string datostr(Datorec d, std::u16string_view fmt) {
    char16_t buf[kDatoTekstMaks];
    return std::u16string(buf, datoChars(d, fmt, buf));
}

bool StrTilDato(std::u16string_view text, std::u16string_view fmt, Datorec& result) {
    result = Datorec();
    const std::u16string_view t = trimBlanks(text);
    if (t.empty()) return true;
    const std::u16string f = text::upperCase(fmt);
    size_t ti = 0, fi = 0;
    for (;;) {
        const std::u16string_view tr = takeRun(t, ti);
        const std::u16string_view fr = takeRun(f, fi);
        if (tr.empty() || fr.empty()) {
            if (tr.empty() && fr.empty() && ti == t.size() && fi == f.size()) return true;
            result = Datorec();
            return false;
        }
        if (ti < t.size()) ++ti;  // separator
        if (fi < f.size()) ++fi;

        const long n = wholeNumber(tr);
        bool ok = n >= 0;
        if (fr == u"DD" || fr == u"D") {
            ok = ok && storeDay(result, n);
        } else if (fr == u"MM" || fr == u"M") {
            ok = ok && storeMonth(result, n);
        } else if (fr == u"YYYY" || fr == u"YY") {
            ok = ok && storeYear(result, n);
        } else if (fr == u"YYYYMMDD" || fr == u"DDMMYYYY") {
            const bool ymd = fr == u"YYYYMMDD";
            ok = ok && tr.size() == fr.size() &&
                 storeYear(result, wholeNumber(tr.substr(ymd ? 0 : 4, 4))) &&
                 storeMonth(result, wholeNumber(tr.substr(ymd ? 4 : 2, 2))) &&
                 storeDay(result, wholeNumber(tr.substr(ymd ? 6 : 0, 2)));
        } else {
            throw EKavelin(u"Ikke støttet datoformat i Datorec.create! (" + std::u16string(fr) + u")");
        }
        if (!ok) {
            result = Datorec();
            return false;
        }
    }
}

Datorec StrTilDato(std::u16string_view text, std::u16string_view fmt) {
    Datorec d;
    if (!StrTilDato(text, fmt, d)) throw EKavelin(u"Ikke gyldig datostreng! (" + std::u16string(text) + u")");
    return d;
}

int twoDigitYearPivot() { return gPivot.load(std::memory_order_relaxed); }

void setTwoDigitYearPivot(int pivot) { gPivot.store(pivot, std::memory_order_relaxed); }

}  // namespace kavelin::utils

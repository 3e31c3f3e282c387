#include "common/finans/report_output.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>

#include "common/text/numtext.h"
#include "common/utils/dates.h"

namespace kavelin::finans {

namespace {

constexpr char kTooSmall[] =
    "Probably too small calculation output buffer! Due to internal buffer writing "
    "optimalization, the buffer size should to be 1 k larger than actually needed.";

void replaceFirst(std::u16string& s, std::u16string_view what, std::u16string_view with) {
    auto pos = s.find(what);
    if (pos != std::u16string::npos) s.replace(pos, what.size(), with);
}

bool nearZero(double v) { return std::fabs(v) <= 0.0001; }

}  // namespace

TReportOutput::TReportOutput(const TRntDato* datoMng) : FRntDatoMng(datoMng) {
    if (!FRntDatoMng) {
        FInternalCreatedDatoMng = std::make_unique<TRntDato>();
        FRntDatoMng = FInternalCreatedDatoMng.get();
    }
    Setmode(TReportFmtMode::rmClassic);
}

TReportOutput::~TReportOutput() = default;

// ---- settings ---------------------------------------------------------------

void TReportOutput::Setmode(TReportFmtMode m) {
    if (m == FMode) return;
    FMode = m;
    if (m == TReportFmtMode::rmUnknown) return;
    FInternalUpdating = true;
    if (FHasDefaultDatefmt)
        SetdateFmt(m == TReportFmtMode::rmClassic ? u"DD.MM.YYYY" : u"YYYY-MM-DD");
    if (FHasDefaultDecimalSep) SetdecimalSep(m == TReportFmtMode::rmClassic ? u',' : u'.');
    FThousandSep = u' ';
    FSubListSep = json() ? u',' : u'|';
    FSep = json() ? u',' : u';';
    FInternalUpdating = false;
}

void TReportOutput::SetdateFmt(std::u16string_view fmt) {
    if (fmt == FDateFmt) return;
    if (!FInternalUpdating) FHasDefaultDatefmt = false;
    FDateFmt = fmt;

    std::u16string month = FDateFmt;
    replaceFirst(month, u"DD", u"");
    auto trimmable = [](char16_t c) { return c == u'-' || c == u'/' || c == u'.'; };
    while (!month.empty() && trimmable(month.front())) month.erase(0, 1);
    while (!month.empty() && trimmable(month.back())) month.pop_back();
    FMonthFmt = month;
    FWeekFmt = month;
    replaceFirst(FWeekFmt, u"MM", u"W");
    FQuarterFmt = month;
    replaceFirst(FQuarterFmt, u"MM", u"Q");
    FHalfYearFmt = month;
    replaceFirst(FHalfYearFmt, u"MM", u"H");
    FYearFmt = FDateFmt.find(u"YYYY") != std::u16string::npos ? u"YYYY" : u"YY";
}

void TReportOutput::SetdecimalSep(char16_t c) {
    if (c == FDecimalSep) return;
    if (!FInternalUpdating) FHasDefaultDecimalSep = false;
    FDecimalSep = c;
}

// ---- buffer -----------------------------------------------------------------

void TReportOutput::initDestBuffer(char16_t* buf, ptrdiff_t maxLen) {
    FBuffer = buf;
    FCap = buf ? std::max<ptrdiff_t>(maxLen, 0) : 0;
    FCurr = 0;
    FEnd = FCap > 0 ? FCap - 2 : 0;
    FFirstLine = true;
    FFirstCol = true;
    FArrayOpen = false;
    if (FCap > 0) FBuffer[0] = 0;
}

void TReportOutput::bgnArrayOutput() {
    if (!room()) return;
    if (FEnd - kMinUsable < 0) throw std::runtime_error(kTooSmall);
    FEnd -= kReserve;
    FArrayOpen = true;
    if (json()) put(u"[");
}

void TReportOutput::endArrayOutput() {
    // The closing bracket may use the reserve: JSON must stay well-formed
    // even when the rows stopped at the usable end.
    if (FArrayOpen && json()) put(u"]");
    FArrayOpen = false;
    if (FCap > 0) FBuffer[std::min(FCurr, FCap - 1)] = 0;
}

void TReportOutput::clearContent() {
    FCurr = 0;
    FFirstLine = true;
    FFirstCol = true;
    if (FCap > 0) FBuffer[0] = 0;
}

void TReportOutput::put(std::u16string_view text) {
    // Never past the caller's capacity, whatever a row holds.
    ptrdiff_t space = FCap - 1 - FCurr;
    if (space <= 0) return;
    size_t n = std::min<size_t>(text.size(), size_t(space));
    // Columns are a few characters: copied here rather than through a call.
    char16_t* ut = FBuffer + FCurr;
    for (size_t i = 0; i < n; ++i) ut[i] = text[i];
    FCurr += ptrdiff_t(n);
    FBuffer[FCurr] = 0;
}

// ---- rows and columns -------------------------------------------------------

bool TReportOutput::bgnAddRow() {
    if (!room()) return false;
    FFirstCol = true;
    if (json()) {
        if (!FFirstLine) put(u",");
        put(u"[");
    }
    FFirstLine = false;
    return true;
}

void TReportOutput::endAddRow() {
    if (FCurr >= FCap - 1) return;
    put(json() ? u"]" : u"\n");
}

void TReportOutput::separator() {
    if (!FFirstCol) put(std::u16string_view(&FSep, 1));
    FFirstCol = false;
}

void TReportOutput::column(std::u16string_view text) {
    separator();
    put(text);
}

void TReportOutput::bgnAddSubCols() {
    separator();
    FPushed = FSep;
    FSep = FSubListSep;
    FFirstCol = true;
    if (json()) put(u"[");
}

void TReportOutput::endAddSubCols() {
    if (json()) put(u"]");
    FSep = FPushed;
    FFirstCol = false;
}

void TReportOutput::quotedColumn(std::u16string_view text) {
    // Only JSON needs a quoted copy; plain text goes straight to the buffer.
    if (json())
        column(checkQuoted(text));
    else
        column(text);
}

void TReportOutput::addCol(std::u16string_view text) {
    if (text.empty()) return addCol_Null();
    quotedColumn(text);
}

void TReportOutput::addCol(int64_t value) { column(valAsStr(value)); }
void TReportOutput::addCol(double value, int desimaler) { column(valAsStr(desimaler, value)); }

void TReportOutput::addCol_NZ(double value, int desimaler) {
    if (nearZero(value)) return addCol_Null();
    addCol(value, desimaler);
}

void TReportOutput::addCol_RAW(double value, int desimaler) {
    column(number(value, desimaler, u'.'));
}

void TReportOutput::addCol_NN(double value, int desimaler) {
    if (std::isnan(value)) return addCol_Null();
    addCol(value, desimaler);
}

void TReportOutput::addCol_Fmt(double value, int desimaler) {
    if (desimaler <= 0 && std::fabs(value) < 9.0e15) {
        // Whole amounts, the bulk of a schedule, as number() writes them.
        char16_t siffer[32];
        char16_t* const slutt = siffer + 32;
        const char16_t* start =
            text::groupedIntChars(static_cast<long long>(std::nearbyint(value)), FThousandSep, slutt);
        return quotedColumn(std::u16string_view(start, size_t(slutt - start)));
    }
    const std::u16string s = number(value, desimaler, FDecimalSep);
    if (!std::isfinite(value)) return column(s);
    constexpr size_t kPlass = 64;
    char16_t gruppert[kPlass];
    if (s.size() * 2 > kPlass) return column(valAsFmtStr(desimaler, value));
    quotedColumn(std::u16string_view(gruppert, medTusenskille(s, desimaler, gruppert)));
}

void TReportOutput::addCol_FmtNZ(double value, int desimaler) {
    if (nearZero(value)) return addCol_Null();
    addCol_Fmt(value, desimaler);
}

void TReportOutput::addCol_Null() { column(nullStr()); }

void TReportOutput::addCol_Date(Datorec date) { addCol_Date(date, std::u16string_view(FDateFmt)); }

void TReportOutput::addCol_Date(Datorec date, std::u16string_view fmt) {
    if (date.L == 0) return addCol_Null();
    char16_t tekst[utils::kDatoTekstMaks];
    quotedColumn(std::u16string_view(tekst, utils::datoChars(date, fmt, tekst)));
}

void TReportOutput::addCol_Date(Datorec date, char16_t periodCode) {
    addCol_Date(date, std::u16string_view(fmtForPeriod(periodCode)));
}

void TReportOutput::addCol_RDate(TWordDate rdato) { addCol_Date(datoMng().RDato2Dato(rdato)); }
void TReportOutput::addCol_RDate(TWordDate rdato, std::u16string_view fmt) {
    addCol_Date(datoMng().RDato2Dato(rdato), fmt);
}
void TReportOutput::addCol_RDate(TWordDate rdato, char16_t periodCode) {
    addCol_Date(datoMng().RDato2Dato(rdato), periodCode);
}

const std::u16string& TReportOutput::fmtForPeriod(char16_t periodCode) const {
    switch (periodCode) {
        case u'D':
        case u'E':
        case u'S': return FDateFmt;
        case u'W': return FWeekFmt;
        case u'M': return FMonthFmt;
        case u'Q': return FQuarterFmt;
        case u'H': return FHalfYearFmt;
        case u'Y': return FYearFmt;
    }
    throw std::runtime_error("Ukjent periodekode for datoformatering");
}

void TReportOutput::wr(std::u16string_view text) {
    if (room()) put(text.empty() ? nullStr() : checkQuoted(text));
}
void TReportOutput::wr(int64_t value) {
    if (room()) put(valAsStr(value));
}
void TReportOutput::wr(double value, int desimaler) {
    if (room()) put(valAsStr(desimaler, value));
}
void TReportOutput::wr_NZ(double value, int desimaler) {
    if (room()) put(valAsStrNZ(desimaler, value));
}
void TReportOutput::wr_RAW(double value, int desimaler) {
    if (room()) put(number(value, desimaler, u'.'));
}
void TReportOutput::wr_NN(double value, int desimaler) {
    if (room()) put(std::isnan(value) ? nullStr() : valAsStr(desimaler, value));
}
void TReportOutput::wr_Date(Datorec date) { wr_Date(date, std::u16string_view(FDateFmt)); }
void TReportOutput::wr_Date(Datorec date, std::u16string_view fmt) {
    if (room()) put(date.L == 0 ? nullStr() : datoAsFmtStr(date, fmt));
}
void TReportOutput::wr_RDate(TWordDate rdato) { wr_Date(datoMng().RDato2Dato(rdato)); }
void TReportOutput::wr_Null() {
    if (room()) put(nullStr());
}

void TReportOutput::add(char16_t c) {
    if (room()) put(std::u16string_view(&c, 1));
}

void TReportOutput::add(std::u16string_view text) {
    if (room()) put(text.empty() ? nullStr() : std::u16string(text));
}

void TReportOutput::addRow(std::u16string_view text) {
    if (!bgnAddRow()) return;
    put(text);
    endAddRow();
}

void TReportOutput::addRow(const std::vector<std::u16string>& cols) {
    if (!bgnAddRow()) return;
    for (const auto& c : cols) addCol(c);
    endAddRow();
}

// ---- texts ------------------------------------------------------------------

std::u16string TReportOutput::number(double v, int desimaler, char16_t decimal) const {
    if (!std::isfinite(v)) return json() ? u"null" : u"NAN";
    return text::fixedText(v, desimaler, decimal);
}

std::u16string TReportOutput::valAsStr(int64_t value) const { return text::intText(value); }

std::u16string TReportOutput::valAsStr(TDivResult r, int desimaler) const {
    return r.udefinert ? nullStr() : valAsStr(desimaler, r.resultat);
}

std::u16string TReportOutput::valAsStr(int desimaler, double v) const {
    return number(v, desimaler, FDecimalSep);
}

std::u16string TReportOutput::valAsStrNZ(int desimaler, double v) const {
    return nearZero(v) ? nullStr() : valAsStr(desimaler, v);
}

std::u16string TReportOutput::valAsStr_SYS(int desimaler, double v) const {
    return number(v, desimaler, u'.');
}

std::u16string TReportOutput::valAsFmtStr(int desimaler, double v) const {
    const std::u16string s = number(v, desimaler, FDecimalSep);
    if (!std::isfinite(v)) return s;
    std::u16string gruppert(s.size() * 2, u'\0');
    gruppert.resize(medTusenskille(s, desimaler, gruppert.data()));
    return checkQuoted(gruppert);
}

size_t TReportOutput::medTusenskille(std::u16string_view s, int desimaler, char16_t* ut) const {
    const size_t start = !s.empty() && s.front() == u'-' ? 1 : 0;
    size_t intEnd = s.find(FDecimalSep, start);
    if (intEnd == std::u16string_view::npos || desimaler == 0) intEnd = s.size();
    size_t n = 0;
    for (size_t i = 0; i < start; ++i) ut[n++] = s[i];
    // Digits before the first separator, then groups of three.
    size_t igjen = (intEnd - start) % 3 == 0 ? 3 : (intEnd - start) % 3;
    for (size_t i = start; i < intEnd; ++i) {
        if (igjen == 0) {
            ut[n++] = FThousandSep;
            igjen = 3;
        }
        ut[n++] = s[i];
        --igjen;
    }
    for (size_t i = intEnd; i < s.size(); ++i) ut[n++] = s[i];
    return n;
}

std::u16string TReportOutput::valAsFmtStrNZ(int desimaler, double v) const {
    return nearZero(v) ? nullStr() : valAsFmtStr(desimaler, v);
}

std::u16string TReportOutput::datoAsFmtStr(Datorec date) const { return datoAsFmtStr(date, FDateFmt); }

std::u16string TReportOutput::datoAsFmtStr(Datorec date, std::u16string_view fmt) const {
    return checkQuoted(utils::datostr(date, fmt));
}

std::u16string TReportOutput::rdatoAsFmtStr(TWordDate rdato) const {
    return datoAsFmtStr(datoMng().RDato2Dato(rdato));
}

std::u16string TReportOutput::rdatoAsFmtStr(TWordDate rdato, std::u16string_view fmt) const {
    return datoAsFmtStr(datoMng().RDato2Dato(rdato), fmt);
}

std::u16string TReportOutput::periodeAsFmtStr(Datorec from, Datorec to, TPeriodFmtOption option) const {
    return checkQuoted(datoMng().periodToStr(from, to, option));
}

std::u16string TReportOutput::rPeriodeAsFmtStr(TWordDate from, TWordDate to,
                                               TPeriodFmtOption option) const {
    return periodeAsFmtStr(datoMng().RDato2Dato(from), datoMng().RDato2Dato(to), option);
}

std::u16string TReportOutput::makelineOfColumns(const std::vector<std::u16string>& cols) const {
    std::u16string s = json() ? u"[" : u"";
    for (size_t i = 0; i < cols.size(); ++i) {
        if (i) s += FSep;
        s += cols[i];
    }
    if (json()) s += u']';
    return s;
}

std::u16string TReportOutput::subListStr(const std::vector<std::u16string>& subCols,
                                         size_t count) const {
    std::u16string s = json() ? u"[" : u"";
    count = std::min(count, subCols.size());
    for (size_t i = 0; i < count; ++i) {
        if (i) s += FSubListSep;
        s += subCols[i];
    }
    if (json()) s += u']';
    return s;
}

std::u16string TReportOutput::nullStr() const { return json() ? u"null" : u""; }

std::u16string TReportOutput::checkQuoted(std::u16string_view s) const {
    if (!json()) return std::u16string(s);
    std::u16string out = u"\"";
    for (char16_t c : s) {
        switch (c) {
            case u'"': out += u"\\\""; break;
            case u'\\': out += u"\\\\"; break;
            case u'\n': out += u"\\n"; break;
            case u'\r': out += u"\\r"; break;
            case u'\t': out += u"\\t"; break;
            default:
                if (c < 0x20) {
                    static constexpr char16_t hex[] = u"0123456789abcdef";
                    out += u"\\u00";
                    out += hex[c >> 4];
                    out += hex[c & 15];
                } else {
                    out += c;
                }
        }
    }
    out += u'"';
    return out;
}

bool TReportOutput::strAsDato(std::u16string_view s, Datorec& date) const {
    return strAsDato(s, FDateFmt, date);
}

bool TReportOutput::strAsDato(std::u16string_view s, std::u16string_view fmt, Datorec& date) const {
    return utils::StrTilDato(s, fmt, date);
}

bool TReportOutput::strAsRDato(std::u16string_view s, TWordDate& rdato) const {
    return strAsRDato(s, FDateFmt, rdato);
}

bool TReportOutput::strAsRDato(std::u16string_view s, std::u16string_view fmt, TWordDate& rdato) const {
    Datorec d;
    if (!strAsDato(s, fmt, d)) return false;
    rdato = datoMng().Dato2RDato(d);
    return true;
}

}  // namespace kavelin::finans

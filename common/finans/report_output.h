// The result writer of every calculator: numbers, dates and periods as text,
// and report rows written into a caller's fixed-size UTF-16 buffer in one of
// three layouts (classic semicolon, new semicolon with ISO dates, JSON).
//
// Report pattern: initDestBuffer, bgnArrayOutput; per row bgnAddRow (stop
// when it returns false), columns, endAddRow; endArrayOutput. A row begun
// before the usable end may complete in the 1,000-character reserve; the
// text is always terminated and never runs past the buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/finans/datorec.h"
#include "common/finans/rntdato.h"

namespace kavelin::finans {

enum class TReportFmtMode : uint8_t { rmUnknown = 0, rmClassic = 1, rmNew = 2, rmJSON = 3 };

struct TDivResult {
    bool udefinert = false;
    double resultat = 0;
};

class TReportOutput {
public:
    // Without a date converter the writer makes and owns one.
    explicit TReportOutput(const TRntDato* datoMng = nullptr);
    ~TReportOutput();
    TReportOutput(const TReportOutput&) = delete;
    TReportOutput& operator=(const TReportOutput&) = delete;

    // ---- settings
    void Setmode(TReportFmtMode m);
    TReportFmtMode mode() const { return FMode; }
    void SetdateFmt(std::u16string_view fmt);
    void SetdecimalSep(char16_t c);
    char16_t decimalSep() const { return FDecimalSep; }
    char16_t thousandSep() const { return FThousandSep; }
    char16_t colSep() const { return FSep; }
    bool hasDefaultDatefmt() const { return FHasDefaultDatefmt; }
    bool hasDefaultDecimalSep() const { return FHasDefaultDecimalSep; }
    const std::u16string& dateFmt() const { return FDateFmt; }
    const std::u16string& weekFmt() const { return FWeekFmt; }
    const std::u16string& monthFmt() const { return FMonthFmt; }
    const std::u16string& quarterFmt() const { return FQuarterFmt; }
    const std::u16string& halfYearFmt() const { return FHalfYearFmt; }
    const std::u16string& yearFmt() const { return FYearFmt; }

    // ---- buffer
    void initDestBuffer(char16_t* buf, ptrdiff_t maxLen);
    // Throws EReportBuffer when fewer than 1,250 usable characters remain.
    void bgnArrayOutput();
    void endArrayOutput();
    void clearContent();
    // Characters written so far.
    size_t written() const { return size_t(FCurr); }

    // ---- rows and columns
    bool bgnAddRow();
    void endAddRow();
    void bgnAddSubCols();
    void endAddSubCols();
    void addCol(std::u16string_view text);
    void addCol(int64_t value);
    void addCol(double value, int desimaler);
    void addCol_NZ(double value, int desimaler);
    void addCol_RAW(double value, int desimaler);
    void addCol_NN(double value, int desimaler);
    // The value grouped by valAsFmtStr (quoted once in rmJSON); the NZ form
    // writes a null column when |value| <= 0.0001.
    void addCol_Fmt(double value, int desimaler);
    void addCol_FmtNZ(double value, int desimaler);
    void addCol_Null();
    void addCol_Date(Datorec date);
    void addCol_Date(Datorec date, std::u16string_view fmt);
    void addCol_Date(Datorec date, char16_t periodCode);
    void addCol_RDate(TWordDate rdato);
    void addCol_RDate(TWordDate rdato, std::u16string_view fmt);
    void addCol_RDate(TWordDate rdato, char16_t periodCode);

    // The same values without a column separator, each only while there is room.
    void wr(std::u16string_view text);
    void wr(int64_t value);
    void wr(double value, int desimaler);
    void wr_3(double value) { wr(value, 3); }
    void wr_NZ(double value, int desimaler);
    void wr_RAW(double value, int desimaler);
    void wr_NN(double value, int desimaler);
    void wr_Date(Datorec date);
    void wr_Date(Datorec date, std::u16string_view fmt);
    void wr_RDate(TWordDate rdato);
    void wr_Null();

    void add(char16_t c);
    void add(std::u16string_view text);
    void addRow(std::u16string_view text);
    void addRow(const std::vector<std::u16string>& cols);

    // ---- texts
    std::u16string valAsStr(int64_t value) const;
    std::u16string valAsStr(TDivResult r, int desimaler) const;
    std::u16string valAsStr(int desimaler, double v) const;
    std::u16string valAsStrNZ(int desimaler, double v) const;
    std::u16string valAsStr_SYS(int desimaler, double v) const;
    std::u16string valAsFmtStr(int desimaler, double v) const;
    std::u16string valAsFmtStrNZ(int desimaler, double v) const;
    std::u16string datoAsFmtStr(Datorec date) const;
    std::u16string datoAsFmtStr(Datorec date, std::u16string_view fmt) const;
    std::u16string rdatoAsFmtStr(TWordDate rdato) const;
    std::u16string rdatoAsFmtStr(TWordDate rdato, std::u16string_view fmt) const;
    std::u16string periodeAsFmtStr(Datorec from, Datorec to, TPeriodFmtOption option) const;
    std::u16string rPeriodeAsFmtStr(TWordDate from, TWordDate to, TPeriodFmtOption option) const;
    std::u16string makelineOfColumns(const std::vector<std::u16string>& cols) const;
    std::u16string subListStr(const std::vector<std::u16string>& subCols, size_t count) const;
    std::u16string nullStr() const;
    // The text as a JSON string in rmJSON (quoted and escaped), else as it is.
    std::u16string checkQuoted(std::u16string_view s) const;
    bool strAsDato(std::u16string_view s, Datorec& date) const;
    bool strAsDato(std::u16string_view s, std::u16string_view fmt, Datorec& date) const;
    bool strAsRDato(std::u16string_view s, TWordDate& rdato) const;
    bool strAsRDato(std::u16string_view s, std::u16string_view fmt, TWordDate& rdato) const;

    // The date format for a period code ("D", "E", "S", "W", "M", "Q", "H", "Y").
    const std::u16string& fmtForPeriod(char16_t periodCode) const;

    static constexpr ptrdiff_t kReserve = 1000;
    static constexpr ptrdiff_t kMinUsable = 1250;

private:
    bool json() const { return FMode == TReportFmtMode::rmJSON; }
    bool room() const { return FCurr < FEnd; }
    void put(std::u16string_view text);  // bounded by the real capacity
    void separator();
    void column(std::u16string_view text);  // separator, then the text
    void quotedColumn(std::u16string_view text);  // column(checkQuoted(text))
    // `s`, a number as number() writes it, with the thousands separator
    // between groups of three whole digits, into `ut` (room for 2 * s.size()).
    size_t medTusenskille(std::u16string_view s, int desimaler, char16_t* ut) const;
    std::u16string number(double v, int desimaler, char16_t decimal) const;
    const TRntDato& datoMng() const { return *FRntDatoMng; }

    const TRntDato* FRntDatoMng;
    std::unique_ptr<TRntDato> FInternalCreatedDatoMng;
    bool FInternalUpdating = false;
    TReportFmtMode FMode = TReportFmtMode::rmUnknown;
    char16_t FDecimalSep = u',';
    char16_t FThousandSep = u' ';
    char16_t FSep = u';';
    char16_t FSubListSep = u'|';
    char16_t FPushed = u';';
    bool FHasDefaultDatefmt = true;
    bool FHasDefaultDecimalSep = true;
    std::u16string FDateFmt, FWeekFmt, FMonthFmt, FQuarterFmt, FHalfYearFmt, FYearFmt;

    char16_t* FBuffer = nullptr;
    ptrdiff_t FCap = 0;   // characters the caller gave, terminator included
    ptrdiff_t FCurr = 0;  // next write position
    ptrdiff_t FEnd = 0;   // end of the usable part
    bool FArrayOpen = false;
    bool FFirstLine = true;
    bool FFirstCol = true;
};

}  // namespace kavelin::finans

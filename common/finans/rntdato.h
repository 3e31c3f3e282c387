// Day numbers (rdatos) in a loan's interest-day convention: conversions to
// and from calendar dates, month stepping, calendar periods and period texts.
// Base class of every calculator, so each calculator is its own converter.
#pragma once

#include <concepts>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "common/finans/datorec.h"

namespace kavelin::finans {

class TRntDato {
public:
    // Calendar convention. The initialisation hook cannot run from here (a
    // C++ constructor does not dispatch to derived classes): make objects
    // whose hook matters with create<T>(), which runs it once built.
    TRntDato();
    virtual ~TRntDato() = default;

    template <std::derived_from<TRntDato> T, class... Args>
    static std::unique_ptr<T> create(Args&&... args) {
        auto p = std::make_unique<T>(std::forward<Args>(args)...);
        static_cast<TRntDato*>(p.get())->initHook();  // named via the base: T may keep it protected
        return p;
    }

    // Convention: 30/360 when days per year <= 360, else 365 with or
    // without 29 February.
    void InitRntDato(int16_t dagerPrAar, bool medSkuddag);
    RDatoMode rdatomode() const { return FRdatomode; }
    bool rd360() const { return FRdatomode == RDatoMode::Dager360; }

    // In the calendar convention day numbers are true calendar days (so
    // 2100 has no 29 February); 365 leaves out every 29 February.
    // Missing date <-> 0. A date that is not a date at all (month outside
    // 0..11, day outside 0..30) or whose day number falls outside 0..65535
    // throws EDatoUtenforOmraade instead of aliasing another date; 1 March
    // 1952 gives 0 like the missing date (okrdato rejects it).
    TWordDate Dato2RDato(Datorec d) const;
    Datorec RDato2Dato(TWordDate rd) const;

    // Serial day numbers and date-times; 0 stays 0 (no date).
    TWordDate intdate2rdato(TIntDate serial) const;
    TIntDate rdato2intdate(TWordDate rd) const;
    TWordDate datetime2rdato(double dt) const;
    double rdato2datetime(TWordDate rd) const;
    TWordDate getrsysdato() const;  // today

    // Arithmetic; a result outside 0..65535 throws EDatoUtenforOmraade.
    TWordDate AddrDager(int dager, TWordDate rd) const;
    // Months with the end-of-month rule: 31 January + 1 = end of February.
    TWordDate AddrMndr(int maaneder, TWordDate rd) const;

    // A reference date decoded once, for stepping many times from it:
    // AddrMndr(n, ref.rd) == AddrMndrFra(ref, n).
    struct TMndRef {
        TWordDate rd = 0;
        RDatoMode mode = RDatoMode::Kalender;
        int c = 0, mnd = 0, dag = 0;
    };
    TMndRef mndRef(TWordDate rd) const;
    TWordDate AddrMndrFra(const TMndRef& ref, int maaneder) const;

    // Period between two dates: (a) years, months, days; (b) months (with
    // the years folded in) and days; (c) plain difference, 0 if either is 0.
    void calcTidsrom(Datorec fra, Datorec til, int& dager, int& mnd, int& aar) const;
    void calcTidsrom(TWordDate fra, TWordDate til, int& dager, int& mnd) const;
    int calcTidsrom(TWordDate fra, TWordDate til) const;

    // First day of the year / month / quarter / half-year containing rd.
    TWordDate rd_1stjanuar(TWordDate rd) const;
    TWordDate rd_1stimnd(TWordDate rd) const;
    TWordDate rd_1stiKvartal(TWordDate rd) const;
    TWordDate rd_1stiHalvaar(TWordDate rd) const;
    TWordDate nesteNyttaar(TWordDate rd) const;  // 1 January of the next year

    int getYear(TWordDate rd) const;
    int getMonth(TWordDate rd) const;     // 1..12
    int getQuarter(TWordDate rd) const;   // first month of the quarter: 1, 4, 7, 10
    int getHalfYear(TWordDate rd) const;  // 1 or 2

    bool isSameMonth(TWordDate a, TWordDate b) const;
    bool isSameQuarter(TWordDate a, TWordDate b) const;
    bool isSameHalfYear(TWordDate a, TWordDate b) const;
    bool isSameYear(TWordDate a, TWordDate b) const;

    // Length of the period containing rd in the active convention.
    int getDaysInMonth(TWordDate rd) const;
    int getDaysInQuarter(TWordDate rd) const;
    int getDaysInHalfYear(TWordDate rd) const;
    int getDaysInYear(TWordDate rd) const;

    // Mean length of the periods touched by [fra, til); til must be after
    // fra (std::invalid_argument otherwise).
    double getAverageDaysPrMonth(TWordDate fra, TWordDate til) const;
    double getAverageDaysPrQuarter(TWordDate fra, TWordDate til) const;
    double getAverageDaysPrHalfYear(TWordDate fra, TWordDate til) const;
    double getAverageDaysPrYear(TWordDate fra, TWordDate til) const;

    // Years between the dates, each calendar year weighted by its length.
    double calcAntAar(TWordDate fra, TWordDate til) const;

    // Valid date in the active convention and inside the day-number range
    // (2 March 1952 up to the last date of day number 65535).
    bool okrdato(Datorec d) const;

    // Term dates around target, stepping whole months (termLengde div 30)
    // from ref. termLengde must be at least 30 (std::invalid_argument).
    TClosestResult naermesteTerminDato(TWordDate ref, TWordDate target, int termLengde) const;

    // datostr of the date; at most 20 characters.
    std::u16string rdatostr(TWordDate rd, std::u16string_view fmt) const;

    virtual std::u16string periodToStr(Datorec fra, Datorec til, TPeriodFmtOption opt) const;

protected:
    // Runs once after construction through create<T>(); does nothing here.
    virtual void initHook() {}

private:
    // A date counted from 1 March: c = years since 1952 (March-based), month
    // 0 = March, day 0-based. Day numbers here are wide (no 16-bit limit) so
    // that intermediate steps near the range ends stay exact.
    struct MarchDate {
        int c, mnd, dag;
    };
    enum class Periode { Maaned, Kvartal, Halvaar, Aar };

    int32_t encode(MarchDate m) const;
    MarchDate decode(int32_t rd) const;
    int32_t wideFromDate(int year, int month0, int day0) const;
    Datorec wideToDate(int32_t rd) const;
    static TWordDate checked(int64_t rd);

    int32_t firstOf(Periode p, int32_t rd) const;
    int daysIn(Periode p, int32_t rd) const;
    double averageDays(Periode p, TWordDate fra, TWordDate til) const;

    RDatoMode FRdatomode = RDatoMode::Kalender;
};

}  // namespace kavelin::finans

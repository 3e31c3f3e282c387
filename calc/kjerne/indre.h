// The inner core: runs a loan from disbursement forward one event date at a
// time, accruing interest in the loan's convention, capitalising, settling
// terms, and reporting every booking through a callback with a row type.
//
// A run leaves the stored state untouched: the running balance, the
// simulation record and the accrual list are saved at its start and restored
// at its end. Runs do not allocate.
#pragma once

#include <array>
#include <cstdint>

#include "calc/kjerne/avrunding.h"
#include "calc/kjerne/laandef.h"

namespace mirvo::beregning {

// Row types reported through the callback.
namespace trt {
inline constexpr int kApning = 101;          // opening, interest in arrears
inline constexpr int kStart = 103;           // start, before fees
inline constexpr int kApningsSaldo = 104;    // opening balance, after fees
inline constexpr int kRente = 105;           // interest brought up to date
inline constexpr int kOppgjor = 110;         // a term settled
inline constexpr int kKapitalisering = 120;  // interest added to capital
inline constexpr int kGarantiJustering = 125;
inline constexpr int kAarsslutt = 130;       // calendar year end
inline constexpr int kLaaneaarSlutt = 131;   // loan-year end
inline constexpr int kEkstra = 140;          // extra payment at a change date
inline constexpr int kTotal = 150;           // end of a full run
inline constexpr int kObsFoer = 190;
inline constexpr int kObsEtter = 191;
inline constexpr int kEndring = 400;         // load the next change line
inline constexpr int kTerminBelop = 401;     // set the term amount
}  // namespace trt

// Options of a run.
namespace simopt {
inline constexpr int kNegAvdrag = 0x04;      // a term may repay less than its interest
inline constexpr int kTilInnfrielse = 0x10;  // run to close-out
inline constexpr int kStoppVedEndring = 0x40;
inline constexpr int kSpoerTermin = 0x80;    // ask for the term amount at the first term date
}  // namespace simopt

// Errors of a run.
namespace kjernefeil {
inline constexpr uint16_t kNegativInnbetaling = 1;
inline constexpr uint16_t kForLenge = 2;
inline constexpr uint16_t kNegativSaldo = 4;
inline constexpr uint16_t kTerminlengde = 23;
}  // namespace kjernefeil

struct TRntKapPost {
    bool nyTermin = false;
    double saldo = 0;
    TRenteSaldo rente;
    uint16_t antdager = 0;
    uint16_t antDagerPrAar = 0;
};

inline constexpr int kRntKapKapasitet = 611;
inline constexpr int kRntKapMaks = 600;
using TRntKap = std::array<TRntKapPost, kRntKapKapasitet>;

struct simrec {
    TWordDate forr_rntbrgn = 0;
    int32_t terminteljar = 0;
    int32_t relkapteljar = 0;
    TWordDate nestetermindato = 0;
    TWordDate nestenyttaar = 0;
    TWordDate nesteLnAarsskifte = 0;
    TWordDate obsdato = 0;
    double forrigeaarssaldo = 0;
    bool avsluttlaan = false;
    TWordDate rentefrislutt = 0;
    bool terminbelopberegna = false;
    double termb1korr = 0;
    double sisteinnbetaling = 0;
    double sisteinnbetdecr = 0;
    bool forfalt = false;
    bool forfaltEtterStart = false;
    bool currAvdragsfrihet = false;
    double saldoendring = 0;
    TWordDate idag = 0;
    TWordDate nesteabskapitdato = 0;
    TWordDate nesterelkapitdato = 0;
    bool tilrapp = false;
    bool kalenderrentenemnar = false;
    int32_t iRntTilKapAarStart = 0;
    int32_t iRntTilKapStart = 0;
    int32_t antRntTilKap = 0;
};

struct TObsData {
    double saldo = 0;
    double renter = 0;
    double avdrag = 0;
    double provisjon = 0;
    double plProvisjon = 0;
    TRenteSaldo plRenter;
    TWordDate NesteAvdrForf = 0;
    TWordDate NesteRntForf = 0;
    double nesteInnbet = 0;
    bool nesteInnbetAvdrFri = false;
    double NesteTermBelop = 0;
};

class TInnerKjerne;
// The row callback: (report date, row type) -> error code.
using slMeldProc = uint16_t (TInnerKjerne::*)(TWordDate dato, int radtype);

class TInnerKjerne : public TLaanDef {
public:
    TInnerKjerne();

    void initsimulering();
    void initsimdato(int32_t teljar, int32_t nemnar);
    void startlaan(TWordDate utbetaling, double garantiprov, double etablgebyrer, slMeldProc callback,
                   double inngProvisjon, double inngRente, double laanebelop);
    // Returns the run's error; the balance, close-out date and yearly change
    // of the balance at its end are handed back.
    uint16_t simuleringsloop(int options, saldoar& sluttsaldo, TWordDate& innfridato,
                             double& aarsendring, slMeldProc callback);

    // One accrual of `dager` days on `kapital` into `s`, with interest steps.
    void reknrente(int dager, TRenteSaldo& s, double kapital);
    // One year's interest on the capital in percent (0 capital: step-1 rate).
    double snittrentesats(double kapital);

    double beregnVeietRentePrAar();
    double beregnVeietRentePrTotal();
    double beregnVeietRentePrTermin();

    void settforfallsdato(TWordDate dato);
    void oppdaterforfallsdato();
    void xordinaere(double endromk, double netto);
    uint16_t nullsendtrp(TWordDate dato, int radtype);
    double provisjonForSaldo() const;

    // Trial runs between these two calls start from the same state and stop
    // at the same date, so their event dates do not depend on the amount
    // tried: the first lean trial records them and the rest replay them.
    void bgnProeveOpptak() { FOpptak = TOpptak::Ta; }
    void endProeveOpptak() { FOpptak = TOpptak::Av; }

    // A second amount for the next lean trial run: both amounts run side by
    // side over the same events (independent chains of arithmetic, so the
    // processor works on both at once). The second one's closing balance is
    // taken with parSluttsaldo; false when the run was not a lean one and
    // the second amount has to be tried on its own.
    void settParBelop(double belop) {
        FParBelop = belop;
        FParStatus = TPar::Venter;
    }
    bool parSluttsaldo(saldoar& s) {
        const bool kjoert = FParStatus == TPar::Kjoert;
        FParStatus = TPar::Av;
        if (kjoert) s = FParSaldo;
        return kjoert;
    }

    // Rounding by the interest rule and unit.
    double avrundRente(double x) const { return avrund(x, RntRndFaktor, renteAvrunding); }
    double avrundRentePluss(double x) const;  // always up by the unit

    int32_t periode = 0;
    uint16_t forlfeilkode = 0;
    bool TillatNegAvdrag = false;
    slMeldProc loksendtrp = &TInnerKjerne::nullsendtrp;
    uint16_t dgpraarx10 = 3600;
    int32_t LocEndringnr = 0;
    simrec SR;
    TObsData obsBefore, obsAfter;
    double totsumINNB = 0, totsumRNT = 0, totsumGB = 0;
    bool separatkapit = false;
    LaaneStatus Laanet;
    TRntKap rntTilKap{};

protected:
    uint16_t melde(TWordDate dato, int radtype) {
        // Trial runs report to the null callback at every event; spare them the call.
        if (loksendtrp == &TInnerKjerne::nullsendtrp) {
            SR.tilrapp = false;
            return 0;
        }
        return (this->*loksendtrp)(dato, radtype);
    }

    // Algorithms of the course, in the order a run uses them.
    void renteberegn(int dager, int dx10, TRenteSaldo& s, double sats, double kapital);
    // renteberegn, built into the loops that accrue at every event.
    [[gnu::always_inline]] inline void rentesteg(int dager, int dx10, TRenteSaldo& s, double sats, double kapital);
    void ajourfoerRente(TWordDate t);
    void simulertForskudd();
    void oppgjorRest(TRenteSaldo& s) {
        if (restBehandles == 0) {
            s.belop = avrundRente(s.belop + s.rest);
            s.rest = 0;
        }
        s.kapIkkeBet = 0;
    }
    void kapitaliser();
    void absKapitalisering();
    void relKapitalisering();
    void renteForPeriode(TWordDate fra, TWordDate til, double kapital, TRenteSaldo& s);
    double forsteTerminKorr();
    double terminOppgjor();
    void serieForskuddTermin(TWordDate dato);
    void settNemnarForAar(TWordDate dato);
    TWordDate nesteRelKapitDato();
    TWordDate nesteAbsKapitDato(TWordDate etter) const;
    bool stegvis() const { return trappeRenteLaan; }
    void nyttRntKapRecord(double kapital, int dager);
    double veietRente(int fra);
    int terminMnd() const { return MVF_termlengde / 30; }
    TWordDate terminDato(int n) const;
    void betalTermin(TWordDate idag, double sluttSaldo);

    // The steps of one event date, shared by the general loop and plain stretches.
    bool spoerTerminbelop();  // row 401; false on error
    void laaneaarSlutt(TWordDate idag);
    void renteVedTermin();  // interest brought to the term date, remainder settled
    // The year ending before idag; false when the run stops on an error.
    bool aarsslutt(TWordDate idag, TWordDate stopp);
    // The term due at idag settled and paid; false when the run stops on an error.
    bool terminForfall(TWordDate idag, int options, TWordDate& stopp, double sluttSaldo, bool& ferdig);
    bool jevnStrekningMulig(int options) const;
    void jevnStrekning(int options, TWordDate& stopp, double sluttSaldo, int& hendelser, bool& ferdig);
    bool enkelProeve(int options, slMeldProc callback, TWordDate stopp) const;
    // The lean trial run; false when its events could not be recorded and
    // the general loop has to run.
    bool enkelLoop(TWordDate stopp, double sluttSaldo);
    double provisjonForKapital(double k) const {
        if (MVF_provisjon[2].grense != 0 && k <= MVF_provisjon[2].grense) return MVF_provisjon[2].belop;
        if (MVF_provisjon[1].grense != 0 && k <= MVF_provisjon[1].grense) return MVF_provisjon[1].belop;
        return MVF_provisjon[0].belop;
    }

private:
    // The reference due date decoded once for stepping term dates, and the
    // term dates already stepped from it.
    mutable TMndRef FTerminRef;
    mutable decltype(MVF_termlengde) FTerminLengde{};
    mutable std::array<TWordDate, 1024> FTerminDatoer{};
    // The year ends and loan-year ends a run steps to, twelve months on,
    // again in every trial run of a search.
    struct TAarSenere {
        bool brukt = false;
        kavelin::finans::RDatoMode mode{};
        TWordDate fra = 0, til = 0;
    };
    mutable std::array<TAarSenere, 128> FAarSenere{};
    TWordDate aarSenere(TWordDate dato) const;

    // The recorded events of a lean trial run: a date and what falls on it.
    enum : uint8_t { kHTermin = 1, kHNyttAar = 2, kHStopp = 4 };
    struct THendelse {
        TWordDate dato;
        uint8_t art;
    };
    enum class TOpptak : uint8_t { Av, Ta, Tatt };
    TOpptak FOpptak = TOpptak::Av;
    int FAntHendelser = 0;
    std::array<THendelse, 4096> FHendelser;  // written before it is read
    bool enkelOpptak(TWordDate stopp);
    void enkelAvspilling(double sluttSaldo);
    // One recorded event of the lean run on the stored state; true at the stop.
    bool enkelHendelse(const THendelse& h, double sluttSaldo);
    // The events from `fra` on for balances that have settled their first
    // term, in plain arithmetic on the given balances.
    struct TBane;
    bool kanBaneLoep(int fra) const;
    void baneLoep(int fra, TBane* baner, int antall);

public:
    // Off: every run, trial or full, takes the general loop throughout (for
    // comparing the lean trials and plain stretches with it).
    bool FEnkelTillatt = true;

private:
    enum class TPar : uint8_t { Av, Venter, Kjoert };
    TPar FParStatus = TPar::Av;
    double FParBelop = 0;
    saldoar FParSaldo;
};

}  // namespace mirvo::beregning

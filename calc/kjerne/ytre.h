// The outer core: drives a whole calculation. It loads change lines into the
// working fields when the course reaches their dates, answers the inner
// core's requests for a term amount (closed formula or trial runs), and turns
// the balance movements into rows of sums for a row receiver.
#pragma once

#include <utility>
#include <vector>

#include <cstdint>

#include "calc/kjerne/indre.h"

namespace mirvo::beregning {

// Row types whose net amount is a flow of the effective rate.
inline bool bokfoeringsrad(int radtype) {
    switch (radtype) {
        case trt::kApning:
        case trt::kStart:
        case trt::kApningsSaldo:
        case trt::kRente:
        case trt::kOppgjor:
        case trt::kKapitalisering:
        case trt::kEkstra:
            return true;
    }
    return false;
}

// Receives the rows of a full course: (row type, date, row, balance).
class TRadMottaker {
public:
    // The rows a receiver acts on; a sender may spare it the others.
    enum class TUtvalg : uint8_t {
        Alle,
        // The run's totals and snapshots only (rows 150 and later).
        SluttTall,
        // Those, settlements, the opening balance and booking rows that move money.
        Bokfoeringer,
    };

    virtual void rad(int radtype, TWordDate dato, const utrectype& r, const saldoar& s) = 0;

    TUtvalg utvalg() const { return FUtvalg; }
    bool tar(int radtype, const utrectype& r) const {
        switch (FUtvalg) {
            case TUtvalg::Alle: return true;
            case TUtvalg::SluttTall: return radtype >= trt::kTotal;
            case TUtvalg::Bokfoeringer:
                return radtype >= trt::kTotal || radtype == trt::kOppgjor || radtype == trt::kApningsSaldo ||
                       (bokfoeringsrad(radtype) && r.innb - r.utb != 0);
        }
        return true;
    }

protected:
    explicit TRadMottaker(TUtvalg utvalg = TUtvalg::Alle) : FUtvalg(utvalg) {}
    ~TRadMottaker() = default;
    void settUtvalg(TUtvalg utvalg) { FUtvalg = utvalg; }

private:
    TUtvalg FUtvalg;
};

class TYtterKjerne : public TInnerKjerne {
public:
    TYtterKjerne();

    // One full run with rows to the receiver; the close-out date comes back.
    void Simuler_rapport(uint16_t& feil, TWordDate& innfridato, TRadMottaker* mottaker);
    // Row 400: the next change line comes into force.
    uint16_t EndrProc();
    // Row 401: the term amount for the line in force.
    void NyttTerminBelop(TWordDate dato, uint16_t& feil);
    void InvaliderTermb();
    bool SluttAvdragsfrihet() const { return LocEndringnr == 0; }

    // The callback the outer core gives the inner core.
    uint16_t kjerneMelding(TWordDate dato, int radtype);

    // Term rounding by the loan's rule and unit.
    double termAvrunding(double x) const;
    // Close-out date of a term of L days (30/360 basis) counted by the
    // loan's rule; the repayment-free end with the same rule.
    Datorec innfrielseFraLoepetid(uint16_t L) const;
    Datorec avdragsfriSluttFraPeriode(uint16_t avdragsfriheit) const;

    TRadMottaker* utrec2string = nullptr;
    Datorec MVF_innfrielsesdato;
    saldoar stsaldo;
    utrectype sasum;
    utrectype rsasum;
    double renterStartAarJustert = 0;
    double renterSluttAarJustert = 0;
    bool kommendeTerminEtterAarsskifte = false;
    utrectype sum;
    int32_t aarsteljar = 0;

protected:
    // The working fields a trial run may change, saved and restored around it.
    struct TMvfKopi {
        int32_t kapitperiode;
        uint16_t fasteoverhopp;
        TMvfRentetrinn rente;
        TProvisjonstrinn provisjon;
        renteberegning renteb;
        uint32_t laanetype;
        int32_t termlengde;
        double enhetslnNyttTermBelop, terminbelop, terminbdecr;
        TWordDate forfallsdato, refForfallsdato, endringsdato;
        double rentertilkap;
        int32_t locEndringnr;
        uint16_t forlfeilkode;
    };
    TMvfKopi mvfKopi() const;
    void mvfHent(const TMvfKopi& k);

    // Loads change line k into the working fields; `igjen` when line 0
    // comes into force again after a repayment-free period.
    uint16_t lastEndringslinje(int k, bool igjen);
    bool erEkteEndring(int k) const;
    void lagRad(int radtype, TWordDate dato);
    // A row with everything a receiver may read (kept out of line: the
    // short way for interest rows in lagRad stays small).
    [[gnu::noinline]] void lagFullRad(int radtype, TWordDate dato);
    void bokfoerRente(const saldoar& p, const saldoar& c);
    // The interest rows the receiver of the run under way takes: every one,
    // those in which money moved (a collector of bookings), or none; the
    // others only add to the sums.
    enum class TRenteRad : uint8_t { Alle, MedBevegelse, Ingen };
    TRenteRad FRenteRad = TRenteRad::Alle;
    uint16_t loesTerminbelop(TWordDate maal, TWordDate idag, double& belop, double& decr);
    int antallTerminer(TWordDate fra, TWordDate til) const;
    // The residual of a trial run with the given amount; with parBelop a
    // second amount's residual comes back in parResidual from the same run.
    double proevekjoering(double belop, TWordDate stopp, int options, double sluttsaldo,
                          const double* parBelop = nullptr, double* parResidual = nullptr);
    double sekantStart(TWordDate maal, TWordDate idag, double sluttsaldo) const;
    uint16_t sekantSoek(TWordDate maal, TWordDate idag, double sluttsaldo, double& belop);
    double renteKunBelop();

    // Present-value and tax-deduction state of the rows.
    double FSamletSkatt = 0;
    double FSamletNaaverdiSkatt = 0;
    double FGarantiprovisjon = 0;
    uint64_t FProevekjoeringer = 0;
    // When set, every trial's amount and residual in the order tried.
    std::vector<std::pair<double, double>>* FProeveLogg = nullptr;
};

}  // namespace mirvo::beregning

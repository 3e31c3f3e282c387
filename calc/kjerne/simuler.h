// The layer the result readers call: one plain calculation that fills the
// result block and feeds the effective-rate solver, and the inverse searches
// (loan amount, term amount by the second payment, unit-loan term) plus the
// effective rates of a framework loan at ten drawing levels.
#pragma once

#include <cstdint>

#include "calc/kjerne/ytre.h"

namespace mirvo::beregning {

class TSimuler : public TYtterKjerne, private TRadMottaker {
public:
    TSimuler();

    // The plain calculation; marks the results valid, also on error.
    void beregnlaan(uint16_t& feil);
    // A full course with rows to the receiver, after the definition check.
    void LaanRapport(uint16_t& feil, TRadMottaker* mottaker);
    // As LaanRapport with the number of year ends wanted.
    void Utlaanrapport(int aar, uint16_t& feil, TRadMottaker* mottaker);

    void BeregnLBelop(uint16_t& feil);
    void BeregnVhaTermbelop2(uint16_t& feil);
    void BeregnEnhetslnVhaTermbelop(uint16_t& feil);
    void BeregnRammelnEffektivRenter(uint16_t& feil);

    // A receiver that also gets every row of the plain calculation, so that
    // one run can fill the result block and another layer's figures.
    TRadMottaker* FMedMottaker = nullptr;

    int32_t innbnr = 0;
    double innbet1 = 0;
    double innbet2 = 0;
    double termbelop2 = 0;

private:
    // The result collector.
    void rad(int radtype, TWordDate dato, const utrectype& r, const saldoar& s) override;
    void nullstillResultater();
};

}  // namespace mirvo::beregning

// Placeholder until the simulation layer lands: keeps the library linkable;
// every course fails.
#include "calc/kjerne/simuler.h"

#include "calc/errors/calc_errors.h"

namespace mirvo::beregning {
TSimuler::TSimuler() = default;
void TSimuler::rad(int, TWordDate, const utrectype&, const saldoar&) {}
void TSimuler::beregnlaan(uint16_t&) { throw EMirvo("engine pending"); }
void TSimuler::LaanRapport(uint16_t&, TRadMottaker*) { throw EMirvo("engine pending"); }
void TSimuler::Utlaanrapport(int, uint16_t&, TRadMottaker*) { throw EMirvo("engine pending"); }
}  // namespace mirvo::beregning

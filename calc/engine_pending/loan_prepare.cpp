// Placeholder until input preparation lands: keeps the library linkable.
#include "calc/errors/calc_errors.h"
#include "calc/loan/calc_loan.h"

namespace mirvo::beregning {
uint16_t TCalcLoan::kalkuler() { throw EMirvo("engine pending"); }
}  // namespace mirvo::beregning

// One month-by-month run of a framework loan's agreement period for a given
// utilisation of the limit.
#pragma once

#include <cstdint>

#include "calc/rammelan/rmln_data.h"
#include "common/finans/rntdato.h"

namespace mirvo::beregning {

// The ten values of one run. Amounts are totals paid over the agreement
// period; the rates are percent a year (NaN when undefined).
struct TRmlnVerdier {
    double utnyttet = 0;           // U, the utilised amount
    double etableringOgDepot = 0;  // establishment + custody costs
    double kontoholdsgebyr = 0;    // account fees paid
    double provisjon = 0;          // tranche commissions and overdraft commission paid
    double renter = 0;             // interest paid: tranches, stair and overdraft
    double renterOrd = 0;          // interest of tranche 1
    double renterTill = 0;         // interest of tranches 2 and 3
    double utnyttProvisjon = 0;    // utilisation commission paid
    double effRenteMedKost = 0;    // first stream: with establishment and custody
    double effRente = 0;           // second stream: without them
};

// Runs the agreement period for a utilisation of u percent (above 100 is
// overdraft). `kalender` steps the dates by calendar months. The payments
// are dated from 1 January 2010; a period beyond the day-number range
// throws EDatoUtenforOmraade.
TRmlnVerdier simulerRammelaan(const TRmlnData& data, int32_t u, const kavelin::finans::TRntDato& kalender);

}  // namespace mirvo::beregning

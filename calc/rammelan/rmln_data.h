// The input record of the framework-loan calculator.
#pragma once

#include <cstdint>
#include <string>

namespace mirvo::beregning {

// A commission period and the period in which it is paid, in months;
// 0 = not given.
struct TRmlnPerioder {
    int32_t per = 0;
    int32_t kap = 0;

    bool angitt() const { return per != 0 || kap != 0; }
};

// One tranche of the limit (also the overdraft, whose granted amount is unused).
struct TRmlnTranche {
    int32_t bevilgning = 0;    // granted amount
    double rentesats = 0;      // percent a year
    double provisjon = 0;      // percent of the granted amount per commission period
    int32_t provisjonMin = 0;  // amount per commission period
    TRmlnPerioder provisjonPerioder;
};

struct TRmlnData {
    static constexpr int kAntTrancher = 3;
    static constexpr int kAntUtnGrader = 12;

    TRmlnTranche tranche[kAntTrancher];  // ordinary grant, additional grants 1 and 2
    TRmlnTranche overtrekk;

    double trappegrenseBelop = 0;
    double trappegrenseSats = 0;       // percent of the stair base
    std::u16string trappegrense;       // either of the two, as given
    double trapperenteSats = 0;        // percent a year
    int32_t trappegrenseType = 0;      // base: 0 utilised, 1 drawn on tranche 1, 2 limit, 3 granted tranche 1
    int32_t trapperenteType = 0;       // 1: all-in rate, the ordinary rate is deducted

    double utnyttProvisjon = 0;        // percent of the utilised amount per period
    TRmlnPerioder utnyttProvisjonPerioder;
    int32_t utnyttProvisjonStart = 0;  // utilisation (percent) where the commission starts to grow
    int32_t utnyttProvisjonEff = 0;    // utilisation (percent) from which it is charged

    int32_t kontoholdsgebyr = 0;       // per fee period
    TRmlnPerioder kontoholdsgebyrPerioder;

    int32_t etableringsomk = 0;
    int32_t depotomk = 0;
    int32_t renteKapitalisering = 0;   // interest payment period, months

    int32_t utnGrad[kAntUtnGrader] = {};  // utilisation degrees, percent
    int32_t avtalePer = 0;                // agreement period, months

    // The total limit: the three granted amounts added.
    double ramme() const {
        double sum = 0;
        for (const auto& t : tranche) sum += t.bevilgning;
        return sum;
    }
};

}  // namespace mirvo::beregning

#include "calc/rammelan/rmln_simuler.h"

#include <algorithm>
#include <array>
#include <limits>

#include "common/finans/effrente.h"
#include "common/utils/error.h"

namespace mirvo::beregning {

namespace {

using kavelin::finans::Datorec;
using kavelin::finans::TEffRente;
using kavelin::finans::TWordDate;

constexpr int kStroemKapasitet = 1200;
// Kinds of payment per month: three tranche commissions and interests,
// stair/overdraft interest, overdraft commission, utilisation commission,
// account fee, costs.
constexpr int kAntBetalingsslag = 11;
// Far beyond the day-number range (about 1,450 months from 2010); keeps
// the month arithmetic away from integer overflow.
constexpr int32_t kMaksMaaneder = 12 * 200;

constexpr Datorec kStartDato = Datorec::ymd(2010, 1, 1);

// A period of 0 months counts as 3.
int32_t perioden(int32_t maaneder) { return maaneder > 0 ? maaneder : 3; }

// One kind of payment: a monthly amount that runs up until its payment month.
struct Betalingsslag {
    double perMaaned = 0;
    int32_t kapitalisering = 3;  // payment period, months
    bool bareMedKost = false;    // enters the first stream only
    double loepende = 0;
    double betalt = 0;
};

// Monthly commission of a tranche for its granted (or overdrawn) amount.
double maanedsProvisjon(const TRmlnTranche& t, double belop) {
    return std::max<double>(t.provisjonMin, belop * t.provisjon / 100) / perioden(t.provisjonPerioder.per);
}

double maanedsRente(double rentesats, double belop) { return rentesats * belop / 100 / 12; }

// Stair interest per month for the utilised amount U and the drawn amount D1.
double maanedsTrapperente(const TRmlnData& d, double U, double D1, double L) {
    if (d.trappegrenseBelop == 0 && d.trappegrenseSats == 0 && d.trapperenteSats == 0) return 0;
    const double B1 = d.tranche[0].bevilgning;
    double X = U;
    switch (d.trappegrenseType) {
        case 1: X = D1; break;
        case 2: X = L; break;
        case 3: X = B1; break;
        default: break;
    }
    const double T = d.trappegrenseSats > 0 ? d.trappegrenseSats * X / 100 : d.trappegrenseBelop;
    double R = d.trapperenteSats;
    if (d.trapperenteType != 0) R -= d.tranche[0].rentesats;
    return maanedsRente(R, std::max(0.0, std::min(U, X) - T));
}

// The share of the utilisation commission that is charged: it grows from
// nothing at the start utilisation to the whole at 100 %. Below the start
// it is nothing rather than negative.
double utnyttAndel(const TRmlnData& d, int32_t u) {
    if (d.utnyttProvisjonStart == 100) return 1;
    const double f = (std::min(u, 100) - double(d.utnyttProvisjonStart)) / (100 - double(d.utnyttProvisjonStart));
    return std::clamp(f, 0.0, 1.0);
}

double effektivRente(TEffRente& stroem) {
    double rate = 0;
    stroem.beregnEffRente(rate, 360);
    return rate;  // NaN when undefined
}

}  // namespace

TRmlnVerdier simulerRammelaan(const TRmlnData& d, int32_t u, const kavelin::finans::TRntDato& kalender) {
    TRmlnVerdier r;
    const double L = d.ramme();
    if (L == 0) return r;
    const int32_t N = d.avtalePer > 0 ? d.avtalePer : 12;
    if (N > kMaksMaaneder) throw kavelin::utils::EDatoUtenforOmraade();

    // Utilised, overdrawn and drawn amounts.
    const double B1 = d.tranche[0].bevilgning, B2 = d.tranche[1].bevilgning;
    const double U = L * u / 100;
    const double O = std::max(0.0, U - L);
    double D[TRmlnData::kAntTrancher];
    D[0] = std::min(U, B1);
    D[2] = std::max(0.0, U - O - B1 - B2);
    D[1] = std::max(0.0, U - O - B1 - D[2]);

    // The kinds of payment in the order they are paid within a month.
    const int32_t renteKap = d.renteKapitalisering;
    std::array<Betalingsslag, kAntBetalingsslag> slag{};
    enum { kProv0 = 0, kTrapp = 6, kOvertrProv, kUtnytt, kGebyr, kKost };
    for (int i = 0; i < TRmlnData::kAntTrancher; ++i) {
        const TRmlnTranche& t = d.tranche[i];
        slag[2 * i] = {t.bevilgning > 0 ? maanedsProvisjon(t, t.bevilgning) : 0, t.provisjonPerioder.kap};
        slag[2 * i + 1] = {maanedsRente(t.rentesats, D[i]), renteKap};
    }
    slag[kTrapp] = {maanedsTrapperente(d, U, D[0], L) + (O > 0 ? maanedsRente(d.overtrekk.rentesats, O) : 0),
                    renteKap};
    slag[kOvertrProv] = {O > 0 ? maanedsProvisjon(d.overtrekk, O) : 0, d.overtrekk.provisjonPerioder.kap};
    const bool utnyttBelastes = u >= d.utnyttProvisjonEff && U > 0;
    slag[kUtnytt] = {utnyttBelastes ? U * d.utnyttProvisjon * utnyttAndel(d, u) / 100 /
                                          perioden(d.utnyttProvisjonPerioder.per)
                                    : 0,
                     d.utnyttProvisjonPerioder.kap};
    slag[kGebyr] = {double(d.kontoholdsgebyr) / perioden(d.kontoholdsgebyrPerioder.per),
                    d.kontoholdsgebyrPerioder.kap};
    r.etableringOgDepot = double(d.etableringsomk) + d.depotomk;
    slag[kKost] = {r.etableringOgDepot / N, renteKap, true};

    // The day-number range is checked for the last date before anything is
    // collected. Each stream has room for every payment the period can
    // make, so none is lost on a long period.
    TWordDate dato = kalender.Dato2RDato(kStartDato);
    kalender.AddrMndr(N, dato);
    const int kapasitet = std::max(kStroemKapasitet, 2 + kAntBetalingsslag * N);
    TEffRente medKost, utenKost;
    medKost.BgnEffRntCalc(kapasitet);
    utenKost.BgnEffRntCalc(kapasitet);
    medKost.inserec(kStartDato, -U);
    utenKost.inserec(kStartDato, -U);

    Datorec betalingsdato = kStartDato;
    for (int32_t m = 1; m <= N; ++m) {
        dato = kalender.AddrMndr(1, dato);
        betalingsdato = kalender.RDato2Dato(dato);
        for (Betalingsslag& s : slag) {
            s.loepende += s.perMaaned;
            if (m % perioden(s.kapitalisering) != 0 && m != N) continue;
            medKost.inserec(betalingsdato, s.loepende);
            if (!s.bareMedKost) utenKost.inserec(betalingsdato, s.loepende);
            s.betalt += s.loepende;
            s.loepende = 0;
        }
    }
    medKost.inserec(betalingsdato, U);
    utenKost.inserec(betalingsdato, U);

    r.utnyttet = U;
    r.kontoholdsgebyr = slag[kGebyr].betalt;
    r.provisjon = slag[kOvertrProv].betalt;
    for (int i = 0; i < TRmlnData::kAntTrancher; ++i) {
        r.provisjon += slag[kProv0 + 2 * i].betalt;
        r.renter += slag[2 * i + 1].betalt;
    }
    r.renterOrd = slag[1].betalt;
    r.renterTill = slag[3].betalt + slag[5].betalt;
    r.renter += slag[kTrapp].betalt;
    r.utnyttProvisjon = slag[kUtnytt].betalt;
    r.effRenteMedKost = effektivRente(medKost);
    r.effRente = effektivRente(utenKost);
    return r;
}

}  // namespace mirvo::beregning

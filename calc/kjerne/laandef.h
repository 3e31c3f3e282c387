// The loan definition: initial assumptions, up to 51 change lines, the term
// amounts worked out per line, the result block, and the settings that hold a
// "not set" value until the bank's system profile resolves them.
//
// Every record here is a plain value: the whole definition is cleared with one
// assignment and copied with one assignment.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <type_traits>

#include "common/finans/datorec.h"
#include "common/finans/effrente.h"

namespace mirvo::beregning {

using kavelin::finans::Datorec;
using kavelin::finans::TWordDate;

// How interest is charged.
enum class renteberegning : uint8_t {
    etterskot = 0,          // in arrears
    simulertforskot = 1,    // in advance, simulated on top of arrears
    ekteforskot = 2,        // true advance interest
    serieEnkelForskudd = 3, // simple advance interest for serial loans
};

// Loan-type codes and the bits the engine tests.
namespace laanetyper {
inline constexpr uint32_t kSeparatKapit = 0x01;
inline constexpr uint32_t kSerieForm = 0x10;
inline constexpr uint32_t kFoersteTerminKorr = 0x20;
inline constexpr uint32_t kOrdinaerGebyr = 0x200;
inline constexpr uint32_t kSerieFamilie = 0x10000;
inline constexpr uint32_t kAnnuitetFamilie = 0x20000;

inline constexpr uint32_t kAnnuitet = 0x20220;
inline constexpr uint32_t kSerie = 0x10210;
inline constexpr uint32_t kAnnuitetUtenKorr = 0x20200;
}  // namespace laanetyper

// Values meaning "not set" until the profile's defaults are applied.
inline constexpr uint8_t kIkkeSatt = 255;

struct TRenteSaldo {
    double kapIkkeBet = 0;  // capitalised, not yet paid, itself bearing interest
    double belop = 0;       // rounded interest accrued and not yet settled
    double rest = 0;        // rounding remainder carried to the next accrual
};

struct TProvisjonstrinnPost {
    double grense = 0;
    double belop = 0;
};
using TProvisjonstrinn = std::array<TProvisjonstrinnPost, 3>;

struct TRentetrinnPost {
    double grense = 0;  // balance from which the step applies (unused for step 1)
    double sats = 0;    // percent a year
};
using rentetrinn = std::array<TRentetrinnPost, 3>;

// The interest steps in force during a course, rates in thousandths of a percent.
// A rate far outside any real one is held at the ends of the range (such a
// loan fails its checks; the conversion itself must stay defined).
inline int32_t tusendelsProsent(double sats) {
    const double t = std::nearbyint(sats * 1000);
    if (!(t > -2e9)) return -2000000000;
    if (!(t < 2e9)) return 2000000000;
    return int32_t(t);
}

struct TMvfRentetrinnPost {
    double grense = 0;
    int32_t sats = 0;
};
using TMvfRentetrinn = std::array<TMvfRentetrinnPost, 3>;

struct saldoar {
    double kapital = 0;
    double innbsum = 0;
    double utbsum = 0;
    double provisjon = 0;
    TRenteSaldo rente;
    int32_t ajourdato = 0;  // rdato up to which interest has been accrued
    double snittRente = 0;
    double veietRente = 0;
};

struct utrectype {
    double innb = 0;
    double utb = 0;
    double nettoinnb = 0;
    double renter = 0;
    double plrenteJustering = 0;
    TRenteSaldo plrenter;
    double provisjon = 0;
    double plprovisjon = 0;
    double avdrag = 0;
    double ksaldo = 0;
    double skattfrdr = 0;
    double naaverdi = 0;
    double plskattfrdr = 0;
    double plnaaverdiskattfrdr = 0;
    double snittRente = 0;
    double VeietRente = 0;
};

struct LaaneStatus {
    TWordDate diskontdato = 0;
    saldoar saldo;
};

struct initforutstype {
    int32_t rentebrteljar = 0;
    int32_t rentebrnemnar = 0;
    double inng_rentesaldo = 0;
    double inng_renteoverfoert = 0;
    double inng_provisjonssaldo = 0;
    double inng_rentetilgode = 0;
    double inng_rentedeltilkap = 0;
    double inng_varslettermbel1 = 0;
    double inng_godskrevet = 0;
    double laanebeloep = 0;
    double underkurs = 0;
    double sluttSaldo = 0;
    double innbetalthittiliaar = 0;
    double depotgebyr = 0;
    double etablgebyr = 0;
    double etablGebyrPrsnt = 0;
    double ekstKostnader = 0;
    double offentligGb = 0;
    Datorec diskontdato;
    int32_t forfallAntDager = 0;
    bool diskontDato31Fixed = false;
    bool diskontDato29Fixed = false;
    Datorec inng_rentesaldo_start;
    uint16_t loepetid = 0;
    uint16_t nedbetstrTid = 0;
    uint16_t avdragsfriheit = 0;
    int32_t antDagerRentefri = 0;
    uint8_t AnnuitetTermKorr = 0;
    double rentemargin = 0;
    double skattprsnt = 0;
    double Inflasjon = 0;
    Datorec rntGarantiTilDato;
    double rntGarantiProvPrsnt = 0;
    uint8_t lopendelaan = 0;
};

struct endringtype {
    Datorec forfallsdato;
    Datorec avdragsforfall;
    Datorec endringsdato;
    TWordDate endringsrdato = 0;
    int32_t termlengde = 0;
    int32_t terminerPrAar = 0;
    int32_t kapitperiode = 0;
    uint16_t fasteoverhopp = 0;
    rentetrinn rente{};
    TProvisjonstrinn provisjon{};
    renteberegning renteb = renteberegning::etterskot;
    double xordinb = 0;
    double xordutb = 0;
    double endromk = 0;
    uint32_t laanetype = 0;
    bool rammelaan = false;
    double terminbelop = 0;
    double terminbdecr = 0;
    double terminbelop2 = 0;
    double enhetslnNyttTermBelop = 0;
    bool erEndring = false;
    Datorec innfrielsesdato;
    bool avdragsfri = false;
    bool avdragsfriAngitt = false;
    bool terminbelopAngitt = false;
    bool automatiskEndring = false;

    // The copy a new change line starts from: one-time items cleared.
    endringtype nyEndringslinje() const;
};

inline constexpr int kMaxEndringer = 50;  // change lines 1..50 after line 0

struct beregnetTermin {
    bool beregnet = false;
    double terminbelop = 0;
    double terminbdecr = 0;
};

// Term amounts per change line; index -1 is the repayment-free period before
// line 0.
struct beregnatermbtype {
    std::array<beregnetTermin, kMaxEndringer + 2> FTermin{};
    beregnetTermin& termin(int i) { return FTermin[size_t(i + 1)]; }
    const beregnetTermin& termin(int i) const { return FTermin[size_t(i + 1)]; }
};

struct beregnatype {
    bool gyldig = false;
    bool forlopberegna = false;
    Datorec innfridato;
    double effektivrente = 0;
    double terminbelop1 = 0;
    double nedtrapping = 0;
    double innbet1 = 0;
    double innbet2 = 0;
    double termbelop2 = 0;
    double termbelop3 = 0;
    double snittrente1 = 0;
    double lbelop = 0;
    std::array<double, 10> rammelnEffrnt{};  // drawn 10 %, 20 % ... 100 %
};

struct nlforutstype {
    initforutstype IFO;
    std::array<endringtype, kMaxEndringer + 1> EL{};
};

struct NBLNrectype {
    nlforutstype nlf;
    beregnatermbtype nlberegnatermb;
    beregnatype nlberegna;
};

static_assert(std::is_trivially_copyable_v<NBLNrectype>);

// The bank's system profile.
enum class TDriftsSystem : uint8_t { TeFd = 0, Dn = 1, IkkeSatt = kIkkeSatt };

class TLaanDef : public kavelin::finans::TEffRente {
public:
    TLaanDef();

    // Back to an empty definition with every setting not set.
    void reset();

    // Fills every setting still not set with the default of the profile
    // (stepped: interest steps or part amounts; serial: the line in force is
    // serial);
    // throws ECalcError(409) when a default is needed for an unknown profile.
    void resolveSettings(bool stepped, bool serial);

    // Checks change line k; 0 when it can be calculated, else the error code.
    uint16_t Feilkontroll(int k) const;

    static void initRenteSaldo(TRenteSaldo& s) { s = TRenteSaldo{}; }
    int32_t maxLoepetid() const { return FMaxLoepetid; }

    // True when the loan has interest steps or part amounts.
    bool harTrinnEllerDeler(double lbelop2, double lbelop3) const;

    int32_t FMaxLoepetid = 0;
    uint8_t DriftsSystem = kIkkeSatt;
    NBLNrectype NBLN{};
    bool renterdiskontdag = true;
    uint8_t kapitetablgb = kIkkeSatt;
    uint8_t forfall_31 = kIkkeSatt;
    uint8_t provisjon_i_termbelop = kIkkeSatt;
    bool avdragfrisomserie = true;
    uint8_t Trapperentetype = kIkkeSatt;
    bool BeregnNaaverdi = false;
    TWordDate ForutsAvdragsfriSlutt = 0;
    double renteDesimalOpploesning = -1;
    double RntRndFaktor = 0;
    double TermbelRndFaktor = 0;
    uint8_t renteAvrunding = kIkkeSatt;
    uint8_t termbelAvrunding = kIkkeSatt;
    uint8_t restBehandles = kIkkeSatt;
    Datorec observeringsDato;
    uint8_t relativKapitPer = kIkkeSatt;
    uint8_t lopetidRelativForfall = kIkkeSatt;
    bool trappeRenteLaan = false;
    bool visForlopEndring = true;
    uint8_t termbelopReberegnHverTermin = kIkkeSatt;
    uint8_t annuitetBeregnType = kIkkeSatt;
    double Innfrielsesfaktor = 0;
    int32_t totantterm = 0;
    int32_t plEnr = 0;
    bool inSimTermBelop = false;

    // Working copy of the change line in force during a course.
    int32_t MVF_kapitperiode = 0;
    uint16_t MVF_fasteoverhopp = 0;
    TMvfRentetrinn MVF_rente{};
    TProvisjonstrinn MVF_provisjon{};
    renteberegning MVF_renteb = renteberegning::etterskot;
    uint32_t MVF_laanetype = 0;
    int32_t MVF_termlengde = 0;
    double MVF_enhetslnNyttTermBelop = 0;
    double MVF_terminbelop = 0;
    double MVF_terminbdecr = 0;
    TWordDate MVF_forfallsdato = 0;
    TWordDate MVF_refForfallsdato = 0;
    TWordDate MVF_endringsdato = 0;
    double MVF_rentertilkap = 0;

    // Convenience views of the definition.
    initforutstype& IFO() { return NBLN.nlf.IFO; }
    const initforutstype& IFO() const { return NBLN.nlf.IFO; }
    endringtype& EL(int k) { return NBLN.nlf.EL[size_t(k)]; }
    const endringtype& EL(int k) const { return NBLN.nlf.EL[size_t(k)]; }
};

}  // namespace mirvo::beregning

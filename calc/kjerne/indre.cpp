#include "calc/kjerne/indre.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "calc/kjerne/avrunding.h"

namespace mirvo::beregning {

namespace {

constexpr int kMaksDagerUtenStopp = 30000;
// A run that passes this many event dates is runaway; the dates of a
// 16-bit day range cannot need more.
constexpr int kMaksHendelser = 200000;
constexpr double kSisteBetaling = 2e9;

// Saves the accrual records a run may overwrite, without touching the rest.
struct RntKapKopi {
    alignas(TRntKapPost) unsigned char data[sizeof(TRntKapPost) * kRntKapKapasitet];
    int antall = 0;

    void lagre(const TRntKap& liste, int brukt) {
        antall = std::min(brukt + 2, kRntKapKapasitet);
        std::memcpy(data, liste.data(), sizeof(TRntKapPost) * size_t(antall));
    }
    void hent(TRntKap& liste) const {
        std::memcpy(static_cast<void*>(liste.data()), data, sizeof(TRntKapPost) * size_t(antall));
    }
};

}  // namespace

TInnerKjerne::TInnerKjerne() = default;

// ---- set-up -------------------------------------------------------------------

void TInnerKjerne::initsimulering() {
    // Records are written before they are read; only the zero record that
    // the first one is measured against must be clean.
    rntTilKap[0] = TRntKapPost{};
    SR = simrec{};
    SR.iRntTilKapAarStart = 1;
    SR.iRntTilKapStart = 1;
    MVF_forfallsdato = 0;
    MVF_refForfallsdato = 0;
    MVF_terminbelop = 0;
    MVF_terminbdecr = 0;
}

void TInnerKjerne::initsimdato(int32_t teljar, int32_t nemnar) {
    if (teljar == 365)
        InitRntDato(365, false);
    else if (teljar == 366)
        InitRntDato(365, true);
    else
        InitRntDato(360, false);
    dgpraarx10 = 3600;
    SR.kalenderrentenemnar = false;
    if (nemnar == 365) dgpraarx10 = 3650;
    if (nemnar == 366) SR.kalenderrentenemnar = true;
}

void TInnerKjerne::settNemnarForAar(TWordDate dato) {
    if (SR.kalenderrentenemnar) dgpraarx10 = getYear(dato) % 4 == 0 ? 3660 : 3650;
}

// ---- rounding and accrual -----------------------------------------------------

double TInnerKjerne::avrundRentePluss(double x) const { return avrund(x, RntRndFaktor, kAvrundOpp); }

void TInnerKjerne::renteberegn(int dager, int dx10, TRenteSaldo& s, double sats, double kapital) {
    rentesteg(dager, dx10, s, sats, kapital);
}

inline void TInnerKjerne::rentesteg(int dager, int dx10, TRenteSaldo& s, double sats, double kapital) {
    const double x = kapital / 10000 * sats * dager / dx10 + s.rest;
    const double avrundet = avrundRente(x);
    s.belop += avrundet;
    const double r = x - avrundet;
    const double t = renteDesimalOpploesning;
    // A remainder of a whole unit (within representation noise).
    const bool helEnhet = std::fabs(std::fabs(r) - 1) < 1e-9;
    if (t != 0) {
        s.rest = detail::tilNaermeste(t * r) / t;
        if (DriftsSystem == 1 && helEnhet) s.belop += r;
    } else if (helEnhet) {
        s.belop += r;
        s.rest = 0;
    } else {
        s.rest = r;
    }
}

void TInnerKjerne::reknrente(int dager, TRenteSaldo& s, double kapital) {
    double k = kapital + s.kapIkkeBet;
    const auto& trinn = MVF_rente;
    switch (Trapperentetype) {
        case 0:
            if (trinn[1].sats == 0 && trinn[2].sats == 0) {
                // One rate: what the band loop below comes to, without it.
                if (k > 0 && trinn[0].sats != 0) rentesteg(dager, dgpraarx10, s, trinn[0].sats, k);
                break;
            }
            for (int n = 2; n >= 0; --n) {
                const double grense = n == 0 ? 0 : trinn[size_t(n)].grense;
                if (k > grense && trinn[size_t(n)].sats != 0) {
                    rentesteg(dager, dgpraarx10, s, trinn[size_t(n)].sats, k - grense);
                    k = grense;
                }
            }
            break;
        case 1: {
            int n = 0;
            if (trinn[2].sats != 0 && k > trinn[2].grense) n = 2;
            else if (trinn[1].sats != 0 && k > trinn[1].grense) n = 1;
            rentesteg(dager, dgpraarx10, s, trinn[size_t(n)].sats, k);
            break;
        }
        default: {
            double sats = trinn[0].sats;
            if (stegvis() && k > 0) {
                // One averaged rate: a year's banded interest on the capital.
                TRenteSaldo aar;
                double rest = k;
                for (int n = 2; n >= 0; --n) {
                    const double grense = n == 0 ? 0 : trinn[size_t(n)].grense;
                    if (rest > grense && trinn[size_t(n)].sats != 0) {
                        rentesteg(360, 3600, aar, trinn[size_t(n)].sats, rest - grense);
                        rest = grense;
                    }
                }
                const double prosent = std::trunc((aar.belop + aar.rest) * 100 / k * 100000) / 100000;
                sats = prosent * 1000;
            }
            rentesteg(dager, dgpraarx10, s, sats, k);
            break;
        }
    }
}

double TInnerKjerne::snittrentesats(double kapital) {
    if (kapital == 0) return MVF_rente[0].sats / 1000.0;
    TRenteSaldo s;
    const uint16_t lagret = dgpraarx10;
    dgpraarx10 = 3600;
    reknrente(360, s, kapital);
    dgpraarx10 = lagret;
    return (s.belop + s.rest) * 100 / kapital;
}

void TInnerKjerne::nyttRntKapRecord(double kapital, int dager) {
    if (SR.antRntTilKap >= kRntKapMaks) {
        forlfeilkode = kjernefeil::kForLenge;
        return;
    }
    TRntKapPost& p = rntTilKap[size_t(++SR.antRntTilKap)];
    p.nyTermin = SR.iRntTilKapStart == SR.antRntTilKap;
    p.saldo = kapital;
    p.rente = Laanet.saldo.rente;
    p.antdager = uint16_t(dager);
    p.antDagerPrAar = uint16_t(dgpraarx10 / 10);
}

void TInnerKjerne::ajourfoerRente(TWordDate t) {
    periode = std::max(0, int(t) - Laanet.saldo.ajourdato);
    const bool rentefri = SR.rentefrislutt != 0 && SR.rentefrislutt >= Laanet.saldo.ajourdato;
    if (!rentefri && periode > 0) {
        reknrente(periode, Laanet.saldo.rente, Laanet.saldo.kapital);
        if (stegvis()) nyttRntKapRecord(Laanet.saldo.kapital, periode);
    }
    Laanet.saldo.ajourdato = t;
}

void TInnerKjerne::simulertForskudd() {
    if (MVF_renteb != renteberegning::simulertforskot) return;
    const double i = MVF_rente[0].sats / 3.6e7 * (Laanet.saldo.ajourdato - SR.forr_rntbrgn);
    auto& rente = Laanet.saldo.rente;
    rente.belop += avrund(i / (1 - i) * rente.belop, RntRndFaktor, kAvrundNaermeste);
}

// ---- settling and capitalising ------------------------------------------------

void TInnerKjerne::kapitaliser() {
    auto& saldo = Laanet.saldo;
    saldo.kapital += saldo.rente.belop;
    saldo.rente.belop = 0;
    if (restBehandles == 0) {
        saldo.rente.belop = avrundRente(saldo.rente.rest);
        saldo.rente.rest = 0;
    }
    SR.forr_rntbrgn = TWordDate(saldo.ajourdato);
}

TWordDate TInnerKjerne::nesteAbsKapitDato(TWordDate etter) const {
    const int mnd = MVF_kapitperiode / 30;
    if (mnd <= 0) return kavelin::finans::kNever;
    TWordDate start = rd_1stjanuar(etter);
    TWordDate d = start;
    for (int k = 1; d <= etter; ++k) d = AddrMndr(k * mnd, start);
    return d;
}

void TInnerKjerne::absKapitalisering() {
    const TWordDate dato = SR.idag;
    ajourfoerRente(dato);
    simulertForskudd();
    melde(dato - 1, trt::kRente);
    if (Laanet.saldo.rente.belop > 0) {
        kapitaliser();
        melde(dato - 1, trt::kKapitalisering);
    }
    SR.nesteabskapitdato = AddrMndr(MVF_kapitperiode / 30, dato);
}

TWordDate TInnerKjerne::nesteRelKapitDato() {
    const int mnd = MVF_kapitperiode / 30;
    if (mnd <= 0 || MVF_refForfallsdato == 0) return kavelin::finans::kNever;
    TWordDate d;
    do {
        d = AddrMndr(SR.relkapteljar * mnd, MVF_refForfallsdato);
        SR.relkapteljar += 1;
    } while (d <= Laanet.saldo.ajourdato && SR.relkapteljar < 100000);
    return d;
}

void TInnerKjerne::relKapitalisering() {
    SR.forr_rntbrgn = SR.idag;
    ajourfoerRente(SR.idag);
    simulertForskudd();
    SR.nesterelkapitdato = nesteRelKapitDato();
    Laanet.saldo.rente.kapIkkeBet = Laanet.saldo.rente.belop;
}

void TInnerKjerne::renteForPeriode(TWordDate fra, TWordDate til, double kapital, TRenteSaldo& s) {
    if (til <= fra) return;
    const uint16_t lagretNemnar = dgpraarx10;
    if (relativKapitPer == 1) {
        const int mnd = MVF_kapitperiode / 30;
        int k = 1;
        TWordDate kap = mnd > 0 ? AddrMndr(mnd, fra) : kavelin::finans::kNever;
        TWordDate a = fra;
        settNemnarForAar(a);
        while (a < til) {
            const TWordDate nyttaar = nesteNyttaar(a);
            const TWordDate b = std::min({til, nyttaar, kap});
            reknrente(b - a, s, kapital);
            if (b == kap) {
                s.kapIkkeBet = s.belop;
                kap = mnd > 0 ? AddrMndr(++k * mnd, fra) : kavelin::finans::kNever;
            }
            if (b == nyttaar) settNemnarForAar(b);
            a = b;
        }
    } else {
        reknrente(til - fra, s, kapital);
    }
    dgpraarx10 = lagretNemnar;
}

// ---- terms --------------------------------------------------------------------

TWordDate TInnerKjerne::terminDato(int n) const {
    // The table holds the dates of one reference date, mode and term length
    // (compared as stored, so no division on the way to a hit).
    if (FTerminRef.rd != MVF_refForfallsdato || FTerminRef.mode != rdatomode() ||
        FTerminLengde != MVF_termlengde) {
        FTerminRef = mndRef(MVF_refForfallsdato);
        FTerminLengde = MVF_termlengde;
        FTerminDatoer.fill(0);
    }
    // Trial runs step through the same term dates again and again; 0 marks
    // a date not stepped yet (no real date has day number 0).
    const bool iTabell = n >= 0 && n < int(FTerminDatoer.size());
    if (iTabell && FTerminDatoer[size_t(n)] != 0) return FTerminDatoer[size_t(n)];
    const TWordDate d = AddrMndrFra(FTerminRef, n * terminMnd());
    if (iTabell) FTerminDatoer[size_t(n)] = d;
    return d;
}

TWordDate TInnerKjerne::aarSenere(TWordDate dato) const {
    TAarSenere& e = FAarSenere[dato % FAarSenere.size()];
    if (!e.brukt || e.fra != dato || e.mode != rdatomode()) e = {true, rdatomode(), dato, AddrMndr(12, dato)};
    return e.til;
}

double TInnerKjerne::provisjonForSaldo() const { return provisjonForKapital(Laanet.saldo.kapital); }


double TInnerKjerne::forsteTerminKorr() {
    double korr = 0;
    const auto& ifo = IFO();
    const double kapital = Laanet.saldo.kapital;
    if (!SR.forfalt && (MVF_laanetype & laanetyper::kFoersteTerminKorr) &&
        MVF_renteb == renteberegning::etterskot) {
        const TWordDate start =
            ifo.inng_rentesaldo_start.L != 0 ? Dato2RDato(ifo.inng_rentesaldo_start) : Laanet.diskontdato;
        if (ifo.AnnuitetTermKorr == 1) {
            const TWordDate b = AddrMndr(-terminMnd(), MVF_forfallsdato);
            TRenteSaldo s;
            reknrente(std::abs(int(b) - int(start)), s, kapital);
            korr = b < start ? -s.belop : s.belop;
        } else {
            TRenteSaldo aar;
            const uint16_t lagret = dgpraarx10;
            dgpraarx10 = 3600;
            reknrente(360, aar, kapital);
            dgpraarx10 = lagret;
            const double terminerPrAar = 360.0 / MVF_termlengde;
            korr = Laanet.saldo.rente.belop - avrundRentePluss((aar.belop + aar.rest) / terminerPrAar);
        }
    }
    if (!SR.forfaltEtterStart) {
        if (ifo.inng_varslettermbel1 != 0)
            korr = ifo.inng_varslettermbel1 - MVF_terminbelop;
        else
            korr += ifo.inng_renteoverfoert - ifo.inng_godskrevet;
    }
    return korr;
}

double TInnerKjerne::terminOppgjor() {
    auto& saldo = Laanet.saldo;
    double p = SR.sisteinnbetaling;

    saldo.veietRente = beregnVeietRentePrTermin();
    SR.termb1korr = forsteTerminKorr();
    SR.forfalt = SR.forfaltEtterStart = true;
    if (SR.termb1korr != 0 && (MVF_laanetype & laanetyper::kFoersteTerminKorr)) p += SR.termb1korr;

    const bool gebyrIBetaling =
        (provisjon_i_termbelop == 1 && (MVF_laanetype & laanetyper::kAnnuitetFamilie)) ||
        !(MVF_laanetype & laanetyper::kOrdinaerGebyr);
    if (gebyrIBetaling) {
        p -= saldo.provisjon;
        if (p < 0) {
            saldo.innbsum += -p;
            p = 0;
        }
    } else {
        saldo.innbsum += saldo.provisjon;
    }
    saldo.provisjon = 0;

    double avdrag;
    if (MVF_laanetype & laanetyper::kSeparatKapit) {
        avdrag = p;
    } else {
        if (MVF_renteb != renteberegning::serieEnkelForskudd) oppgjorRest(saldo.rente);
        if (MVF_laanetype & laanetyper::kSerieForm) {
            saldo.innbsum += saldo.rente.belop;
            saldo.rente.belop = 0;
            avdrag = p;
        } else if (TillatNegAvdrag || p > saldo.rente.belop) {
            avdrag = p - saldo.rente.belop;
            saldo.rente.belop = 0;
        } else {
            saldo.rente.belop -= p;
            avdrag = 0;
        }
    }
    SR.iRntTilKapStart = SR.antRntTilKap + 1;
    return avdrag;
}

// ---- weighted rates -----------------------------------------------------------

double TInnerKjerne::veietRente(int fra) {
    if (!stegvis()) return MVF_rente[0].sats / 1000.0;
    fra = std::max(fra, 1);
    double sumDager = 0;
    for (int i = fra; i <= SR.antRntTilKap; ++i) sumDager += rntTilKap[size_t(i)].antdager;
    if (sumDager == 0) return MVF_rente[0].sats / 1000.0;
    double sum = 0;
    for (int i = fra; i <= SR.antRntTilKap; ++i) {
        const TRntKapPost& p = rntTilKap[size_t(i)];
        const TRntKapPost& forr = rntTilKap[size_t(i - 1)];
        if (p.saldo == 0 || p.antdager == 0) continue;
        double rente = p.rente.belop + p.rente.rest;
        if (p.nyTermin)
            rente -= restBehandles == 1 ? forr.rente.rest : 0;
        else
            rente -= forr.rente.belop + forr.rente.rest;
        sum += rente / p.saldo * p.antDagerPrAar / sumDager;
    }
    return sum * 100;
}

double TInnerKjerne::beregnVeietRentePrAar() { return veietRente(SR.iRntTilKapAarStart); }
double TInnerKjerne::beregnVeietRentePrTotal() { return veietRente(1); }

double TInnerKjerne::beregnVeietRentePrTermin() {
    if (stegvis() && !SR.forfalt && IFO().inng_rentesaldo != 0)
        return snittrentesats(Laanet.saldo.kapital);
    return veietRente(SR.iRntTilKapStart);
}

// ---- due dates, extra payments, callbacks -------------------------------------

void TInnerKjerne::settforfallsdato(TWordDate dato) {
    if (dato < SR.idag) return;
    MVF_forfallsdato = MVF_refForfallsdato = SR.nestetermindato = dato;
    SR.terminteljar = 0;
    SR.relkapteljar = 0;
}

void TInnerKjerne::oppdaterforfallsdato() {
    MVF_refForfallsdato = SR.nestetermindato = MVF_forfallsdato;
    SR.terminteljar = 0;
    SR.relkapteljar = 0;
}

void TInnerKjerne::xordinaere(double endromk, double netto) {
    auto& saldo = Laanet.saldo;
    melde(SR.idag, trt::kRente);
    if (netto > 0)
        saldo.innbsum += netto;
    else
        saldo.utbsum += -netto;
    saldo.kapital -= netto;
    if (MVF_laanetype & laanetyper::kOrdinaerGebyr)
        saldo.provisjon += endromk;
    else
        saldo.kapital += endromk;
    melde(SR.idag, trt::kEkstra);
}

uint16_t TInnerKjerne::nullsendtrp(TWordDate, int) {
    SR.tilrapp = false;
    return 0;
}

// ---- start of a loan ----------------------------------------------------------

void TInnerKjerne::startlaan(TWordDate utbetaling, double garantiprov, double etablgebyrer,
                             slMeldProc callback, double inngProvisjon, double inngRente,
                             double laanebelop) {
    Laanet = LaaneStatus{};
    auto& saldo = Laanet.saldo;
    settNemnarForAar(utbetaling);
    const double inngRenteAvrundet = avrundRente(inngRente);
    saldo.kapital = laanebelop;
    saldo.rente.belop = inngRenteAvrundet;
    saldo.rente.rest = inngRente - inngRenteAvrundet;
    saldo.utbsum = laanebelop + inngRenteAvrundet + inngProvisjon;
    saldo.provisjon = inngProvisjon;
    Laanet.diskontdato = utbetaling;
    saldo.ajourdato = utbetaling;
    SR.idag = utbetaling;
    loksendtrp = callback;

    melde(utbetaling, trt::kStart);
    const double gebyrer = etablgebyrer + garantiprov;
    saldo.provisjon += gebyrer;
    melde(utbetaling, trt::kApningsSaldo);
    melde(utbetaling, trt::kRente);
    if (kapitetablgb == 1)
        saldo.kapital += gebyrer;
    else
        saldo.innbsum += gebyrer;
    saldo.provisjon -= gebyrer;

    if (MVF_renteb == renteberegning::ekteforskot || MVF_renteb == renteberegning::serieEnkelForskudd) {
        TRenteSaldo forskudd;
        renteForPeriode(utbetaling, MVF_forfallsdato, saldo.kapital, forskudd);
        oppgjorRest(forskudd);
        saldo.innbsum += forskudd.belop;
        saldo.rente.belop -= forskudd.belop;
        if (MVF_renteb == renteberegning::serieEnkelForskudd) saldo.rente.belop = 0;
        melde(utbetaling, trt::kOppgjor);
    } else {
        melde(utbetaling, trt::kApning);
    }
    SR.forfalt = IFO().lopendelaan == 1;
    SR.forr_rntbrgn = utbetaling;
    SR.nestenyttaar = nesteNyttaar(utbetaling);
    SR.nesteLnAarsskifte = AddrMndr(12, utbetaling + 1);
}

// ---- simple advance interest for serial loans ---------------------------------

void TInnerKjerne::serieForskuddTermin(TWordDate dato) {
    auto& saldo = Laanet.saldo;
    if (!SR.terminbelopberegna) {
        uint16_t feil = melde(dato, trt::kTerminBelop);
        if (feil) {
            forlfeilkode = feil;
            return;
        }
        SR.terminbelopberegna = true;
        SR.sisteinnbetaling = MVF_terminbelop;
        SR.sisteinnbetdecr = MVF_terminbdecr;
    }
    TRenteSaldo kommende;
    kommende.rest = saldo.rente.rest;
    renteForPeriode(dato, AddrMndr(terminMnd(), dato), saldo.kapital - SR.sisteinnbetaling, kommende);
    oppgjorRest(kommende);
    saldo.rente.belop = kommende.belop;
    saldo.rente.rest = kommende.rest;
    saldo.ajourdato = dato;
}

// ---- the run ------------------------------------------------------------------

// The payment of the term due at `idag`, or capitalisation before the first due date.
void TInnerKjerne::betalTermin(TWordDate idag, double sluttSaldo) {
    auto& saldo = Laanet.saldo;
    double betaling = SR.sisteinnbetaling;
    if (idag < MVF_forfallsdato) {
        if (!(MVF_laanetype & laanetyper::kSeparatKapit)) kapitaliser();
        if (MVF_forfallsdato < SR.nestetermindato) SR.nestetermindato = MVF_forfallsdato;
        return;
    }
    if (MVF_fasteoverhopp != 0 && (MVF_fasteoverhopp & (1u << (getMonth(idag) - 1)))) {
        betaling = 0;
        SR.sisteinnbetaling = 0;
    }
    const double avdrag = terminOppgjor();
    if (TillatNegAvdrag || betaling < saldo.kapital - sluttSaldo) {
        saldo.innbsum += betaling;
        saldo.kapital -= avdrag;
        if (!(MVF_laanetype & laanetyper::kSeparatKapit) && MVF_laanetype != laanetyper::kAnnuitetUtenKorr) {
            saldo.innbsum += saldo.rente.belop;
            saldo.rente.belop = 0;
        }
        if (MVF_laanetype & laanetyper::kFoersteTerminKorr) {
            saldo.innbsum += SR.termb1korr;
            SR.termb1korr = 0;
        }
    } else {
        saldo.innbsum += saldo.kapital + (betaling - avdrag);
        saldo.kapital = 0;
        SR.avsluttlaan = true;
    }
    if (MVF_renteb == renteberegning::ekteforskot && !SR.avsluttlaan) {
        TRenteSaldo forskudd;
        renteForPeriode(idag, SR.nestetermindato, saldo.kapital, forskudd);
        oppgjorRest(forskudd);
        saldo.innbsum += forskudd.belop;
        saldo.rente.belop -= forskudd.belop;
    }
}

// A trial run of the term-amount search on a plain loan: the general loop
// of simuleringsloop with every branch such a run cannot take left out
// (no reports, no close-out, no capitalisation dates, interest in arrears,
// no skip months, no observation date, a change date to stop at).
bool TInnerKjerne::enkelProeve(int options, slMeldProc callback, TWordDate stopp) const {
    using kavelin::finans::kNever;
    return callback == &TInnerKjerne::nullsendtrp && inSimTermBelop &&
           (options & simopt::kStoppVedEndring) && !(options & (simopt::kTilInnfrielse | simopt::kSpoerTermin)) &&
           stopp != kNever && termbelopReberegnHverTermin != 1 && MVF_renteb == renteberegning::etterskot &&
           !(MVF_laanetype & laanetyper::kSeparatKapit) && SR.nesterelkapitdato == kNever &&
           SR.nesteabskapitdato == kNever && SR.rentefrislutt == 0 && MVF_rentertilkap == 0 &&
           MVF_fasteoverhopp == 0 && DriftsSystem != 1 && SR.obsdato == kNever && !stegvis();
}

// The event dates of a lean run: its date steps without the bookings (no
// date depends on the amounts). The stored state is left as it was; false
// when the events do not fit the record.
bool TInnerKjerne::enkelOpptak(TWordDate stopp) {
    const simrec lagret = SR;
    FAntHendelser = 0;
    bool ferdig = false;
    while (FAntHendelser < int(FHendelser.size())) {
        const TWordDate idag = std::min({stopp, SR.nestetermindato, SR.nestenyttaar, SR.nesteLnAarsskifte});
        const bool termindag = idag == SR.nestetermindato;
        const bool nyttAar = idag == SR.nestenyttaar;
        FHendelser[size_t(FAntHendelser++)] = {
            idag, uint8_t((termindag ? kHTermin : 0) | (nyttAar ? kHNyttAar : 0) | (idag == stopp ? kHStopp : 0))};
        if (idag == SR.nesteLnAarsskifte) SR.nesteLnAarsskifte = aarSenere(SR.nesteLnAarsskifte);
        if (nyttAar) SR.nestenyttaar = aarSenere(SR.nestenyttaar);
        if (idag == stopp) {
            ferdig = true;
            break;
        }
        if (termindag) {
            SR.terminteljar += 1;
            SR.nestetermindato = terminDato(SR.terminteljar);
            // A term date before the first due date pulls the next one back to it.
            if (idag < MVF_forfallsdato && MVF_forfallsdato < SR.nestetermindato)
                SR.nestetermindato = MVF_forfallsdato;
        }
    }
    SR = lagret;
    return ferdig;
}

bool TInnerKjerne::enkelLoop(TWordDate stopp, double sluttSaldo) {
    SR.tilrapp = false;
    if (FOpptak != TOpptak::Tatt) {
        if (!enkelOpptak(stopp)) return false;
        if (FOpptak == TOpptak::Ta) FOpptak = TOpptak::Tatt;
    }
    enkelAvspilling(sluttSaldo);
    return true;
}

bool TInnerKjerne::enkelHendelse(const THendelse& h, double sluttSaldo) {
    auto& saldo = Laanet.saldo;
    SR.idag = h.dato;
    ajourfoerRente(h.dato);
    if (h.art & kHTermin) {
        SR.forr_rntbrgn = TWordDate(saldo.ajourdato);
        oppgjorRest(saldo.rente);
    }
    if (h.art & kHNyttAar) {
        settNemnarForAar(h.dato);
        SR.saldoendring = saldo.kapital - SR.forrigeaarssaldo;
        SR.forrigeaarssaldo = saldo.kapital;
        SR.iRntTilKapAarStart = SR.antRntTilKap + 1;
    }
    if (h.art & kHStopp) return true;
    if (h.art & kHTermin) {
        saldo.provisjon += provisjonForSaldo();
        SR.terminteljar += 1;
        const double lagretBetaling = SR.sisteinnbetaling;
        betalTermin(h.dato, sluttSaldo);
        SR.sisteinnbetaling = lagretBetaling;
        SR.sisteinnbetaling -= SR.sisteinnbetdecr;
    }
    return false;
}

// What a trial run's residual is made of, for a balance run in plain arithmetic.
struct TInnerKjerne::TBane {
    double kapital;
    TRenteSaldo rente;
    double provisjon;
    double betaling;
    int32_t ajourdato;
};

// Once the first term is settled (no first-term correction is left), the
// events of a plain annuity trial are accrual, settlement and payment only.
bool TInnerKjerne::kanBaneLoep(int fra) const {
    if (!SR.forfalt || !SR.forfaltEtterStart || !TillatNegAvdrag) return false;
    if (MVF_laanetype & (laanetyper::kSerieForm | laanetyper::kSeparatKapit)) return false;
    if (MVF_rente[1].sats != 0 || MVF_rente[2].sats != 0) return false;
    for (int i = fra; i < FAntHendelser; ++i)
        if (FHendelser[size_t(i)].art & kHTermin) return FHendelser[size_t(i)].dato >= MVF_forfallsdato;
    return true;
}

// The same bookings as enkelHendelse makes for such a run (the same
// operations in the same order, so the same amounts to the last bit), with
// everything that does not reach the residual left out. Several balances
// go through each event together.
void TInnerKjerne::baneLoep(int fra, TBane* baner, int antall) {
    const double sats = MVF_rente[0].sats;
    const bool kunPositiv = Trapperentetype == 0;
    const bool gebyrIBetaling =
        (provisjon_i_termbelop == 1 && (MVF_laanetype & laanetyper::kAnnuitetFamilie)) ||
        !(MVF_laanetype & laanetyper::kOrdinaerGebyr);
    const double decr = SR.sisteinnbetdecr;
    for (int i = fra; i < FAntHendelser; ++i) {
        const THendelse h = FHendelser[size_t(i)];
        const int nemnar = dgpraarx10;
        for (int b = 0; b < antall; ++b) {
            TBane& x = baner[b];
            const int periode = int(h.dato) - x.ajourdato;
            if (periode > 0) {
                const double k = x.kapital + x.rente.kapIkkeBet;
                if (!kunPositiv || (k > 0 && sats != 0)) rentesteg(periode, nemnar, x.rente, sats, k);
            }
            x.ajourdato = h.dato;
            if (h.art & kHTermin) oppgjorRest(x.rente);
        }
        SR.idag = h.dato;
        if (h.art & kHNyttAar) settNemnarForAar(h.dato);
        if (h.art & kHStopp) return;
        if (!(h.art & kHTermin)) continue;
        for (int b = 0; b < antall; ++b) {
            TBane& x = baner[b];
            x.provisjon += provisjonForKapital(x.kapital);
            double p = x.betaling;
            if (gebyrIBetaling) {
                p -= x.provisjon;
                if (p < 0) p = 0;
            }
            x.provisjon = 0;
            oppgjorRest(x.rente);
            const double avdrag = p - x.rente.belop;
            x.rente.belop = 0;
            x.kapital -= avdrag;
            x.betaling -= decr;
        }
    }
}

// The recorded events again, for the amount in force and, when one is
// waiting, a second amount side by side.
void TInnerKjerne::enkelAvspilling(double sluttSaldo) {
    const bool par = FParStatus == TPar::Venter;
    LaaneStatus parLaan = Laanet;
    simrec parSR = SR;
    parSR.sisteinnbetaling = FParBelop;
    // The second balance on the stored state for one event, from the same
    // denominator as the first had.
    auto parHendelse = [&](const THendelse& h, uint16_t nemnar) {
        const uint16_t nemnarEtter = dgpraarx10;
        const double belop = MVF_terminbelop;
        std::swap(Laanet, parLaan);
        std::swap(SR, parSR);
        dgpraarx10 = nemnar;
        MVF_terminbelop = FParBelop;
        enkelHendelse(h, sluttSaldo);
        std::swap(Laanet, parLaan);
        std::swap(SR, parSR);
        dgpraarx10 = nemnarEtter;
        MVF_terminbelop = belop;
    };

    int i = 0;
    bool stopp = false;
    auto hendelse = [&] {
        const THendelse h = FHendelser[size_t(i++)];
        const uint16_t nemnar = dgpraarx10;
        stopp = enkelHendelse(h, sluttSaldo);
        if (par) parHendelse(h, nemnar);
    };
    // Up to the first settled term on the stored state, then the plain run.
    while (!stopp && i < FAntHendelser && !kanBaneLoep(i)) hendelse();
    if (!stopp && i < FAntHendelser) {
        auto& a = Laanet.saldo;
        auto& b = parLaan.saldo;
        TBane baner[2] = {{a.kapital, a.rente, a.provisjon, SR.sisteinnbetaling, a.ajourdato},
                          {b.kapital, b.rente, b.provisjon, parSR.sisteinnbetaling, b.ajourdato}};
        baneLoep(i, baner, par ? 2 : 1);
        auto tilbake = [](const TBane& x, saldoar& s, simrec& sr) {
            s.kapital = x.kapital;
            s.rente = x.rente;
            s.provisjon = x.provisjon;
            s.ajourdato = x.ajourdato;
            sr.sisteinnbetaling = x.betaling;
        };
        tilbake(baner[0], a, SR);
        tilbake(baner[1], b, parSR);
    }
    if (par) {
        FParSaldo = parLaan.saldo;
        FParStatus = TPar::Kjoert;
    }
}

// ---- the steps of one event date ---------------------------------------------

bool TInnerKjerne::spoerTerminbelop() {
    if (uint16_t feil = melde(SR.idag, trt::kTerminBelop)) {
        forlfeilkode = feil;
        return false;
    }
    SR.terminbelopberegna = true;
    SR.sisteinnbetaling = MVF_terminbelop;
    SR.sisteinnbetdecr = MVF_terminbdecr;
    return true;
}

void TInnerKjerne::laaneaarSlutt(TWordDate idag) {
    melde(idag - 1, trt::kLaaneaarSlutt);
    SR.nesteLnAarsskifte = aarSenere(SR.nesteLnAarsskifte);
}

void TInnerKjerne::renteVedTermin() {
    simulertForskudd();
    SR.forr_rntbrgn = TWordDate(Laanet.saldo.ajourdato);
    if (MVF_renteb != renteberegning::serieEnkelForskudd) oppgjorRest(Laanet.saldo.rente);
}

bool TInnerKjerne::aarsslutt(TWordDate idag, TWordDate stopp) {
    auto& saldo = Laanet.saldo;
    SR.saldoendring = saldo.kapital - SR.forrigeaarssaldo;
    SR.forrigeaarssaldo = saldo.kapital;
    if (!inSimTermBelop) {
        saldo.snittRente = snittrentesats(saldo.kapital);
        saldo.veietRente = beregnVeietRentePrAar();
    }
    if (stopp == kavelin::finans::kNever && int(idag) - int(Laanet.diskontdato) > kMaksDagerUtenStopp)
        forlfeilkode = kjernefeil::kForLenge;
    melde(idag - 1, trt::kAarsslutt);
    SR.iRntTilKapAarStart = SR.antRntTilKap + 1;
    SR.nestenyttaar = aarSenere(SR.nestenyttaar);
    if (DriftsSystem == 1 && (getDaysInYear(idag) == 366 || getDaysInYear(idag - 1) == 366))
        oppgjorRest(saldo.rente);
    return forlfeilkode == 0;
}

bool TInnerKjerne::terminForfall(TWordDate idag, int options, TWordDate& stopp, double sluttSaldo, bool& ferdig) {
    using kavelin::finans::kNever;
    auto& saldo = Laanet.saldo;
    const bool tilInnfrielse = options & simopt::kTilInnfrielse;
    saldo.provisjon += provisjonForSaldo();
    melde(idag, trt::kRente);
    if ((!SR.terminbelopberegna && (options & simopt::kSpoerTermin)) || termbelopReberegnHverTermin == 1) {
        if (!spoerTerminbelop()) return false;
    }
    SR.terminteljar += 1;
    if (!inSimTermBelop) totantterm += 1;
    SR.nestetermindato = terminDato(SR.terminteljar);

    const double lagretBetaling = SR.sisteinnbetaling;
    if (tilInnfrielse && (Innfrielsesfaktor * SR.sisteinnbetaling + sluttSaldo >= saldo.kapital + saldo.rente.belop ||
                          SR.avsluttlaan)) {
        SR.sisteinnbetaling = kSisteBetaling;
        stopp = kNever;
        if (MVF_laanetype & laanetyper::kSeparatKapit) kapitaliser();
        if (saldo.kapital < 0) {
            forlfeilkode = kjernefeil::kNegativSaldo;
            return false;
        }
    }
    betalTermin(idag, sluttSaldo);
    SR.sisteinnbetaling = lagretBetaling;

    melde(idag, trt::kOppgjor);
    SR.sisteinnbetaling -= SR.sisteinnbetdecr;
    if (tilInnfrielse) {
        if (saldo.kapital + saldo.rente.belop <= 0) ferdig = true;
        else if (SR.sisteinnbetaling < 0) forlfeilkode = kjernefeil::kNegativInnbetaling;
    }
    if (!inSimTermBelop && !SR.currAvdragsfrihet) {
        if (obsBefore.NesteAvdrForf == 0) obsBefore.NesteAvdrForf = SR.nestetermindato;
        if (obsAfter.NesteAvdrForf == 0) obsAfter.NesteAvdrForf = SR.nestetermindato;
    }
    return true;
}

// ---- the run ------------------------------------------------------------------

// A stretch of a run has only term dates, year ends and loan-year ends on
// it when no capitalisation date, interest-free period, interest to add to
// capital or question of the term amount is pending, and interest is paid
// in arrears; the profile with its own leap-year settling is left out.
bool TInnerKjerne::jevnStrekningMulig(int options) const {
    using kavelin::finans::kNever;
    return FEnkelTillatt && (SR.terminbelopberegna || !(options & simopt::kSpoerTermin)) &&
           termbelopReberegnHverTermin != 1 && MVF_renteb == renteberegning::etterskot &&
           !(MVF_laanetype & laanetyper::kSeparatKapit) && SR.nesterelkapitdato == kNever &&
           SR.nesteabskapitdato == kNever && SR.rentefrislutt == 0 && MVF_rentertilkap == 0 &&
           DriftsSystem != 1;
}

// The general loop's steps for such a stretch, with the tests that cannot
// come true there left out, up to the next date of another kind (a change
// date, the observation date) or the end of the run.
void TInnerKjerne::jevnStrekning(int options, TWordDate& stopp, double sluttSaldo, int& hendelser, bool& ferdig) {
    for (;;) {
        const TWordDate idag = std::min(SR.nestetermindato, std::min(SR.nestenyttaar, SR.nesteLnAarsskifte));
        if (idag >= std::min(stopp, SR.obsdato)) return;
        if (++hendelser > kMaksHendelser) {
            forlfeilkode = kjernefeil::kForLenge;
            return;
        }
        SR.idag = idag;
        const bool termindag = idag == SR.nestetermindato;
        const bool nyttAar = idag == SR.nestenyttaar;
        if (idag == SR.nesteLnAarsskifte) laaneaarSlutt(idag);
        ajourfoerRente(idag);
        if (forlfeilkode) return;
        if (termindag) renteVedTermin();
        if (nyttAar) settNemnarForAar(idag);
        melde(idag, trt::kRente);
        if (nyttAar && !aarsslutt(idag, stopp)) return;
        if (termindag && !terminForfall(idag, options, stopp, sluttSaldo, ferdig)) return;
        if (ferdig || forlfeilkode) return;
    }
}

uint16_t TInnerKjerne::simuleringsloop(int options, saldoar& sluttsaldo, TWordDate& innfridato,
                                       double& aarsendring, slMeldProc callback) {
    using kavelin::finans::kNever;
    // Everything a run changes in the stored state is restored at its end.
    const slMeldProc lagretCallback = loksendtrp;
    const simrec lagretSR = SR;
    const LaaneStatus lagretLaanet = Laanet;
    const uint16_t lagretNemnar = dgpraarx10;
    const bool lagretNegAvdrag = TillatNegAvdrag;
    RntKapKopi lagretListe;
    if (stegvis()) lagretListe.lagre(rntTilKap, SR.antRntTilKap);

    loksendtrp = callback;
    SR.tilrapp = true;
    TillatNegAvdrag = options & simopt::kNegAvdrag;
    forlfeilkode = 0;
    auto& saldo = Laanet.saldo;
    const double sluttSaldo = IFO().sluttSaldo;
    const bool tilInnfrielse = options & simopt::kTilInnfrielse;
    auto serieForskudd = [&] { return MVF_renteb == renteberegning::serieEnkelForskudd; };

    TWordDate stopp = kNever;
    auto settOpp = [&]() -> bool {
        stopp = (MVF_endringsdato == 0 || MVF_endringsdato == kNever) ? kNever : MVF_endringsdato;
        if (MVF_termlengde == 0 || terminMnd() == 0) {
            forlfeilkode = kjernefeil::kTerminlengde;
            return false;
        }
        SR.sisteinnbetaling = MVF_terminbelop;
        SR.sisteinnbetdecr = MVF_terminbdecr;
        SR.terminbelopberegna = false;
        SR.nesteabskapitdato = kNever;
        if (MVF_laanetype & laanetyper::kSeparatKapit) {
            SR.nesteabskapitdato = nesteAbsKapitDato(TWordDate(saldo.ajourdato));
        } else if (relativKapitPer == 1 && MVF_renteb != renteberegning::serieEnkelForskudd) {
            if (SR.nesterelkapitdato == 0 || SR.nesterelkapitdato <= saldo.ajourdato)
                SR.nesterelkapitdato = nesteRelKapitDato();
        } else {
            SR.nesterelkapitdato = kNever;
        }
        return true;
    };
    const bool klar = settOpp();
    if (SR.nesterelkapitdato == 0) SR.nesterelkapitdato = kNever;

    bool standardObs = false;
    if (options & simopt::kStoppVedEndring) {
        SR.obsdato = kNever;
    } else if (observeringsDato.L != 0) {
        SR.obsdato = Dato2RDato(observeringsDato);
    } else {
        SR.obsdato = AddrMndr(12, Laanet.diskontdato);
        standardObs = true;
    }
    if (SR.obsdato < saldo.ajourdato) SR.obsdato = kNever;

    int hendelser = 0;
    bool ferdig = !klar;
    if (klar && FEnkelTillatt && enkelProeve(options, callback, stopp) && enkelLoop(stopp, sluttSaldo))
        ferdig = true;
    while (!ferdig && forlfeilkode == 0) {
        if (jevnStrekningMulig(options)) {
            jevnStrekning(options, stopp, sluttSaldo, hendelser, ferdig);
            if (ferdig || forlfeilkode) break;
        }
        if (++hendelser > kMaksHendelser) {
            forlfeilkode = kjernefeil::kForLenge;
            break;
        }
        TWordDate idag = std::min(stopp, SR.nestetermindato);
        idag = std::min(idag, std::min(SR.nesterelkapitdato, SR.nesteabskapitdato));
        idag = std::min(idag, std::min(SR.nestenyttaar, SR.nesteLnAarsskifte));
        idag = std::min(idag, SR.obsdato);
        if (SR.rentefrislutt != 0) idag = std::min(idag, SR.rentefrislutt);
        if (idag == kNever) break;
        SR.idag = idag;
        const bool termindag = idag == SR.nestetermindato;

        if (idag == SR.nesteLnAarsskifte) laaneaarSlutt(idag);

        if (serieForskudd() && termindag)
            serieForskuddTermin(idag);
        else
            ajourfoerRente(idag);
        if (forlfeilkode) break;
        if (idag == SR.nesterelkapitdato && !serieForskudd()) relKapitalisering();

        if (termindag) {
            if (MVF_rentertilkap != 0) {
                melde(idag, trt::kRente);
                saldo.rente.belop -= MVF_rentertilkap;
                saldo.kapital += MVF_rentertilkap;
                MVF_rentertilkap = 0;
                melde(idag, trt::kOppgjor);
            }
            if (!(MVF_laanetype & laanetyper::kSeparatKapit)) renteVedTermin();
        }

        if (idag == SR.nestenyttaar) settNemnarForAar(idag);
        melde(idag, trt::kRente);

        if (idag == SR.nesteabskapitdato) {
            absKapitalisering();
            if (!TillatNegAvdrag && sluttSaldo > saldo.kapital) forlfeilkode = kjernefeil::kTerminlengde;
        }

        if (idag == SR.nestenyttaar && !aarsslutt(idag, stopp)) break;

        if (idag == stopp) {
            if (options & simopt::kStoppVedEndring) break;
            MVF_forfallsdato = terminDato(SR.terminteljar);
            if (uint16_t feil = melde(idag, trt::kEndring)) {
                forlfeilkode = feil;
                break;
            }
            if (!settOpp()) break;
        }

        if (idag == SR.obsdato && !inSimTermBelop) melde(idag, trt::kObsFoer);

        if (idag == SR.nestetermindato && !terminForfall(idag, options, stopp, sluttSaldo, ferdig)) break;

        if (idag == SR.obsdato) {
            if (!inSimTermBelop) melde(idag, trt::kObsEtter);
            SR.obsdato = kNever;
            standardObs = false;
        }
        if (SR.rentefrislutt != 0 && idag == SR.rentefrislutt) SR.rentefrislutt = 0;
    }

    if (standardObs && SR.obsdato != kNever && !inSimTermBelop) melde(SR.idag, trt::kObsEtter);
    if (tilInnfrielse) {
        SR.saldoendring = saldo.kapital - SR.forrigeaarssaldo;
        saldo.snittRente = snittrentesats(saldo.kapital);
        saldo.veietRente = beregnVeietRentePrAar();
        melde(SR.nesteLnAarsskifte - 1, trt::kLaaneaarSlutt);
        melde(SR.nestenyttaar - 1, trt::kAarsslutt);
        saldo.veietRente = beregnVeietRentePrTotal();
        melde(SR.idag, trt::kTotal);
    }

    sluttsaldo = saldo;
    innfridato = SR.idag;
    aarsendring = SR.saldoendring;
    const uint16_t feil = forlfeilkode;

    if (stegvis()) lagretListe.hent(rntTilKap);
    Laanet = lagretLaanet;
    SR = lagretSR;
    loksendtrp = lagretCallback;
    dgpraarx10 = lagretNemnar;
    TillatNegAvdrag = lagretNegAvdrag;
    return feil;
}

}  // namespace mirvo::beregning

#include "calc/kjerne/ytre.h"

#include <algorithm>
#include <cmath>

#include "calc/kjerne/avrunding.h"
#include "common/finans/rente360.h"
#include "common/utils/dates.h"

namespace mirvo::beregning {

namespace {

using kavelin::finans::kNever;

constexpr uint16_t kUgyldigUtbetaling = 301;
constexpr uint16_t kUgyldigForfall = 311;
constexpr uint16_t kUgyldigEndring = 321;
constexpr uint16_t kUgyldigInnfrielse = 331;
constexpr uint16_t kForLangLoepetid = 110;
constexpr uint16_t kForKortLoepetid = 111;
constexpr uint16_t kForLangAvdragsfri = 112;
constexpr uint16_t kMaalPassert = 221;
constexpr uint16_t kSluttsaldoFormel = 410;
constexpr double kFeilResidual = 3e9;
constexpr int kMaksSekantSteg = 200;

// The terms of a line with the one-time items cleared, for comparison.
bool sammeVilkaar(const endringtype& a, const endringtype& b, bool medGebyr) {
    auto likeTrinn = [](const rentetrinn& x, const rentetrinn& y) {
        for (size_t i = 0; i < x.size(); ++i)
            if (x[i].grense != y[i].grense || x[i].sats != y[i].sats) return false;
        return true;
    };
    auto likeGebyr = [](const TProvisjonstrinn& x, const TProvisjonstrinn& y) {
        for (size_t i = 0; i < x.size(); ++i)
            if (x[i].grense != y[i].grense || x[i].belop != y[i].belop) return false;
        return true;
    };
    return a.termlengde == b.termlengde && a.terminerPrAar == b.terminerPrAar &&
           a.kapitperiode == b.kapitperiode && a.fasteoverhopp == b.fasteoverhopp &&
           likeTrinn(a.rente, b.rente) && (!medGebyr || likeGebyr(a.provisjon, b.provisjon)) &&
           a.renteb == b.renteb && a.laanetype == b.laanetype && a.rammelaan == b.rammelaan &&
           a.terminbelop2 == b.terminbelop2 && a.avdragsfri == b.avdragsfri;
}

// Tax rate on interest by year when none is given.
double skattesats(int aar) {
    if (aar < 2014) return 28;
    if (aar <= 2015) return 27;
    if (aar == 2016) return 25;
    if (aar == 2017) return 24;
    if (aar == 2018) return 23;
    return 22;
}

// A row's own amounts: what moved between the last row's balance and this one's.
void bevegelse(const saldoar& p, const saldoar& c, utrectype& r) {
    r.renter = std::max(0.0, p.rente.belop - c.rente.belop);
    r.provisjon = std::max(0.0, p.provisjon - c.provisjon);
    r.innb = c.innbsum - p.innbsum;
    r.utb = c.utbsum - p.utbsum;
    r.nettoinnb = r.innb - r.utb;
    r.avdrag = p.kapital - c.kapital + r.utb;
    r.ksaldo = c.kapital;
}

void leggTil(utrectype& sum, const utrectype& r) {
    sum.innb += r.innb;
    sum.utb += r.utb;
    sum.nettoinnb += r.nettoinnb;
    sum.renter += r.renter;
    sum.provisjon += r.provisjon;
    sum.avdrag += r.avdrag;
    sum.skattfrdr += r.skattfrdr;
    sum.naaverdi += r.naaverdi;
}

}  // namespace

TYtterKjerne::TYtterKjerne() = default;

double TYtterKjerne::termAvrunding(double x) const {
    return avrund(x, TermbelRndFaktor, termbelAvrunding);
}

// ---- dates from terms ---------------------------------------------------------

Datorec TYtterKjerne::innfrielseFraLoepetid(uint16_t L) const {
    const auto& ifo = IFO();
    TWordDate start;
    int mnd;
    if (lopetidRelativForfall == 1) {
        start = Dato2RDato(EL(0).forfallsdato);
        mnd = std::max(0, (int(L) - EL(0).termlengde) / 30);
    } else {
        start = Dato2RDato(ifo.diskontdato);
        mnd = L / 30;
    }
    return RDato2Dato(AddrDager(L % 30, AddrMndr(mnd, start)));
}

Datorec TYtterKjerne::avdragsfriSluttFraPeriode(uint16_t avdragsfriheit) const {
    const int L = avdragsfriheit + 1;
    TWordDate start = Dato2RDato(IFO().diskontdato);
    if (lopetidRelativForfall == 1 && EL(0).forfallsdato.L != 0)
        start = AddrMndr(-(EL(0).termlengde / 30), Dato2RDato(EL(0).forfallsdato));
    return RDato2Dato(AddrDager(L % 30, AddrMndr(L / 30, start)));
}

// ---- a full run ----------------------------------------------------------------

void TYtterKjerne::Simuler_rapport(uint16_t& feil, TWordDate& innfridato, TRadMottaker* mottaker) {
    const auto& ifo = IFO();
    utrec2string = mottaker;
    // Interest rows with present values always take the full way.
    using TUtvalg = TRadMottaker::TUtvalg;
    if (BeregnNaaverdi || (mottaker && mottaker->utvalg() == TUtvalg::Alle)) FRenteRad = TRenteRad::Alle;
    else if (mottaker && mottaker->utvalg() == TUtvalg::Bokfoeringer) FRenteRad = TRenteRad::MedBevegelse;
    else FRenteRad = TRenteRad::Ingen;
    feil = 0;
    innfridato = 0;
    LocEndringnr = 0;
    initsimulering();
    initsimdato(ifo.rentebrteljar, ifo.rentebrnemnar);

    if (!okrdato(ifo.diskontdato)) {
        feil = kUgyldigUtbetaling;
        return;
    }
    MVF_innfrielsesdato = Datorec();
    if ((feil = lastEndringslinje(0, false)) != 0) return;

    const Datorec utbetaling = ifo.diskontdato;
    if (EL(0).innfrielsesdato.L != 0) {
        MVF_innfrielsesdato = EL(0).innfrielsesdato;
    } else if (ifo.loepetid > FMaxLoepetid) {
        feil = kForLangLoepetid;
    } else if (ifo.loepetid != 0) {
        MVF_innfrielsesdato = innfrielseFraLoepetid(ifo.loepetid);
        if (kavelin::finans::Dager360(MVF_innfrielsesdato, utbetaling) > FMaxLoepetid)
            feil = kForLangLoepetid;
        else if (MVF_innfrielsesdato.L < EL(0).forfallsdato.L)
            feil = kForKortLoepetid;
    }
    if (feil) return;

    if (ifo.avdragsfriheit > FMaxLoepetid) {
        feil = kForLangAvdragsfri;
        return;
    }
    if (ifo.avdragsfriheit != 0) {
        ForutsAvdragsfriSlutt = Dato2RDato(avdragsfriSluttFraPeriode(ifo.avdragsfriheit));
        if (MVF_endringsdato == 0 || ForutsAvdragsfriSlutt < MVF_endringsdato) {
            MVF_endringsdato = ForutsAvdragsfriSlutt;
            LocEndringnr = -1;
        }
    }

    totantterm = 0;
    FGarantiprovisjon = std::nearbyint(ifo.rntGarantiProvPrsnt * ifo.laanebeloep / 100);
    const double etablering = ifo.etablgebyr + ifo.depotgebyr;
    const slMeldProc melding = static_cast<slMeldProc>(&TYtterKjerne::kjerneMelding);
    startlaan(Dato2RDato(utbetaling), FGarantiprovisjon, etablering, melding, ifo.inng_provisjonssaldo,
              ifo.inng_rentesaldo, ifo.laanebeloep);
    saldoar slutt;
    double aarsendring = 0;
    feil = simuleringsloop(simopt::kSpoerTermin | simopt::kTilInnfrielse, slutt, innfridato, aarsendring,
                           melding);
}

// ---- change lines ----------------------------------------------------------------

bool TYtterKjerne::erEkteEndring(int k) const {
    const endringtype& linje = EL(k);
    const endringtype& forrige = EL(k - 1);
    if (linje.terminbelop != 0 || linje.terminbdecr != forrige.terminbdecr ||
        linje.innfrielsesdato != forrige.innfrielsesdato)
        return true;
    return !sammeVilkaar(linje, forrige, provisjon_i_termbelop != 1);
}

uint16_t TYtterKjerne::EndrProc() {
    if (LocEndringnr >= plEnr) return kUgyldigEndring;
    LocEndringnr += 1;
    // From the repayment-free period (-1) line 0 comes into force again.
    return lastEndringslinje(LocEndringnr, LocEndringnr == 0);
}

uint16_t TYtterKjerne::lastEndringslinje(int k, bool igjen) {
    const auto& ifo = IFO();
    endringtype& linje = EL(k);
    const bool forsteGang = !igjen;
    bool beregnInnfrielse = false;

    if (k >= 1 && linje.innfrielsesdato.L == 0) {
        if (!erEkteEndring(k)) {
            linje.erEndring = false;
            beregnInnfrielse = true;
        } else if (provisjon_i_termbelop == 1 && linje.terminbelop == 0 &&
                   linje.innfrielsesdato == EL(k - 1).innfrielsesdato) {
            MVF_terminbelop += linje.provisjon[0].belop - EL(k - 1).provisjon[0].belop;
        }
    }

    if (linje.forfallsdato.L != 0) {
        if (!okrdato(linje.forfallsdato) || (linje.forfallsdato.day() == 31 && forfall_31 == 0))
            return kUgyldigForfall;
        settforfallsdato(Dato2RDato(linje.forfallsdato));
    } else if (k > 0 && linje.termlengde != 0 && linje.termlengde != MVF_termlengde) {
        oppdaterforfallsdato();
    }

    if (k == 0 || linje.termlengde != 0) MVF_termlengde = linje.termlengde;
    if (k == 0 && forsteGang) MVF_rentertilkap = ifo.inng_rentedeltilkap;
    if (k > 0 && linje.innfrielsesdato.L != 0) MVF_innfrielsesdato = linje.innfrielsesdato;

    MVF_enhetslnNyttTermBelop = linje.enhetslnNyttTermBelop;
    if (!okrdato(ifo.diskontdato)) return kUgyldigUtbetaling;
    if (linje.endringsdato.L != 0 && !okrdato(linje.endringsdato)) return kUgyldigEndring;
    MVF_endringsdato = linje.endringsdato.L != 0 ? Dato2RDato(linje.endringsdato) : 0;
    if (linje.innfrielsesdato.L != 0 && !kavelin::utils::okdato(linje.innfrielsesdato))
        return kUgyldigInnfrielse;

    if (k == 0 || linje.kapitperiode != 0) MVF_kapitperiode = linje.kapitperiode;
    MVF_fasteoverhopp = linje.fasteoverhopp;
    for (size_t i = 0; i < 3; ++i) {
        MVF_rente[i].sats = tusendelsProsent(linje.rente[i].sats);
        MVF_rente[i].grense = i == 0 ? 0 : linje.rente[i].grense;
    }
    MVF_provisjon = linje.provisjon;
    MVF_renteb = linje.renteb;
    MVF_laanetype = linje.laanetype;

    if (k == 0 && forsteGang && ifo.antDagerRentefri != 0) {
        using namespace kavelin::utils;
        const Datorec slutt = intdate2dato(dato2intdate(ifo.diskontdato) + ifo.antDagerRentefri);
        SR.rentefrislutt = Dato2RDato(slutt);
    }

    if (k > 0) xordinaere(linje.endromk, linje.xordinb - linje.xordutb);

    if (beregnInnfrielse) {
        // Not a change of terms: the amount in force stays and the close-out
        // date follows from it.
        const TWordDate stopp = MVF_endringsdato;
        MVF_endringsdato = kNever;
        saldoar slutt;
        TWordDate dato = 0;
        double endring = 0;
        const bool lagretSim = inSimTermBelop;
        inSimTermBelop = true;
        const slMeldProc null = &TInnerKjerne::nullsendtrp;
        const auto mvf = mvfKopi();
        uint16_t feil = simuleringsloop(simopt::kTilInnfrielse | simopt::kStoppVedEndring, slutt, dato, endring, null);
        mvfHent(mvf);
        inSimTermBelop = lagretSim;
        MVF_endringsdato = stopp;
        if (feil == 0 && dato != 0) MVF_innfrielsesdato = RDato2Dato(dato);
    }
    return 0;
}

void TYtterKjerne::InvaliderTermb() { NBLN.nlberegnatermb = beregnatermbtype{}; }

// ---- rows ------------------------------------------------------------------------

uint16_t TYtterKjerne::kjerneMelding(TWordDate dato, int radtype) {
    if (radtype > 198) {
        if (radtype == trt::kEndring) return EndrProc();
        if (radtype == trt::kTerminBelop) {
            uint16_t feil = 0;
            NyttTerminBelop(dato, feil);
            return feil;
        }
        return 0;
    }
    lagRad(radtype, dato);
    return 0;
}

// The interest booked by an interest row (105): the accrual since the last
// row rounded by the interest rule, the remainder kept, and fees accrued.
inline void TYtterKjerne::bokfoerRente(const saldoar& p, const saldoar& c) {
    const double x = c.rente.belop + c.rente.rest - p.rente.belop;
    const double bokfoert = avrundRente(x);
    sum.plrenter.belop += bokfoert;
    sum.plrenter.rest = x - bokfoert;
    sum.plprovisjon += c.provisjon - p.provisjon;
}

void TYtterKjerne::lagRad(int radtype, TWordDate dato) {
    if (radtype == trt::kRente && FRenteRad != TRenteRad::Alle) {
        // Most rows of a course are interest rows; one the receiver would not
        // take (it takes them only when money moved) just adds to the sums.
        const saldoar& c = Laanet.saldo;
        const saldoar& p = stsaldo;
        utrectype r;
        bevegelse(p, c, r);
        if (FRenteRad == TRenteRad::Ingen || r.innb - r.utb == 0) {
            leggTil(sum, r);
            bokfoerRente(p, c);
            stsaldo = c;
            return;
        }
    }
    lagFullRad(radtype, dato);
}

void TYtterKjerne::lagFullRad(int radtype, TWordDate dato) {
    const auto& ifo = IFO();
    const saldoar& c = Laanet.saldo;
    if (radtype == trt::kStart) stsaldo = saldoar{};
    const saldoar& p = stsaldo;

    utrectype r;
    bevegelse(p, c, r);
    if (radtype == trt::kOppgjor || radtype == trt::kAarsslutt || radtype == trt::kLaaneaarSlutt ||
        radtype == trt::kTotal)
        r.VeietRente = c.veietRente;

    if (BeregnNaaverdi) {
        const TWordDate radDato = dato;
        const double sats = ifo.skattprsnt != 0 ? ifo.skattprsnt : skattesats(getYear(radDato));
        const double enhet = (RntRndFaktor < 1 || TermbelRndFaktor < 1) ? 0.01 : 1;
        auto avrundBelop = [&](double x) { return avrund(x, enhet, kAvrundNaermeste); };
        const double skatt = avrundBelop((r.renter + r.provisjon) * sats / 100);
        const bool separat = MVF_laanetype & laanetyper::kSeparatKapit;
        if (radtype == trt::kKapitalisering && separat) {
            FSamletSkatt += skatt;
            FSamletNaaverdiSkatt +=
                kavelin::finans::Naaverdi360(ifo.diskontdato, RDato2Dato(radDato), ifo.Inflasjon, skatt);
        } else {
            r.skattfrdr = skatt;
            r.naaverdi = avrundBelop(kavelin::finans::Naaverdi360(ifo.diskontdato, RDato2Dato(radDato),
                                                                   ifo.Inflasjon, r.nettoinnb - r.skattfrdr));
            if (radtype == trt::kOppgjor && separat) {
                r.skattfrdr += FSamletSkatt;
                r.naaverdi -= FSamletNaaverdiSkatt;
                FSamletSkatt = FSamletNaaverdiSkatt = 0;
            }
        }
    }
    leggTil(sum, r);

    switch (radtype) {
        case trt::kStart:
            sum = utrectype{};
            sasum = utrectype{};
            rsasum = utrectype{};
            FSamletSkatt = FSamletNaaverdiSkatt = 0;
            renterStartAarJustert = renterSluttAarJustert = 0;
            kommendeTerminEtterAarsskifte = false;
            sum.plrenter.belop = avrundRente(ifo.inng_rentesaldo);
            break;
        case trt::kApningsSaldo:
            sasum.ksaldo = rsasum.ksaldo = c.kapital;
            break;
        case trt::kRente:
            bokfoerRente(p, c);
            break;
        case trt::kOppgjor:
            if (FGarantiprovisjon != 0 && kommendeTerminEtterAarsskifte) r.renter += renterStartAarJustert;
            break;
        case trt::kAarsslutt:
        case trt::kLaaneaarSlutt: {
            utrectype& snap = radtype == trt::kAarsslutt ? sasum : rsasum;
            r.innb = sum.innb - snap.innb;
            r.utb = sum.utb - snap.utb;
            r.nettoinnb = sum.nettoinnb - snap.nettoinnb;
            r.renter = sum.renter - snap.renter;
            r.plrenter.belop = avrundRente(sum.plrenter.belop - snap.plrenter.belop);
            r.plprovisjon = sum.plprovisjon - snap.plprovisjon;
            r.provisjon = sum.provisjon - snap.provisjon;
            r.avdrag = sum.avdrag - snap.avdrag;
            if (BeregnNaaverdi) {
                r.skattfrdr = sum.skattfrdr - snap.skattfrdr;
                r.naaverdi = sum.naaverdi - snap.naaverdi;
            }
            if (radtype == trt::kAarsslutt && FGarantiprovisjon != 0) {
                renterSluttAarJustert = r.plrenter.belop - r.renter;
                r.plrenteJustering = renterStartAarJustert + renterSluttAarJustert;
            }
            r.snittRente = c.snittRente;
            snap = sum;
            snap.ksaldo = c.kapital;
            break;
        }
        case trt::kTotal:
        case trt::kObsFoer:
        case trt::kObsEtter: {
            const double veiet = r.VeietRente;
            r = sum;
            r.ksaldo = c.kapital;
            r.VeietRente = veiet;
            r.snittRente = c.snittRente;
            break;
        }
        default:
            break;
    }

    if (radtype == trt::kAarsslutt && FGarantiprovisjon != 0 && renterSluttAarJustert != 0 && utrec2string) {
        utrectype just;
        just.renter = renterSluttAarJustert;
        just.ksaldo = c.kapital;
        utrec2string->rad(trt::kGarantiJustering, dato, just, c);
    }
    if (utrec2string && utrec2string->tar(radtype, r)) utrec2string->rad(radtype, dato, r, c);

    if (radtype == trt::kAarsslutt) {
        if (FGarantiprovisjon != 0) {
            renterStartAarJustert = -renterSluttAarJustert;
            renterSluttAarJustert = 0;
        }
        aarsteljar -= 1;
        kommendeTerminEtterAarsskifte = true;
    }
    if (radtype == trt::kOppgjor) {
        kommendeTerminEtterAarsskifte = false;
        for (TObsData* obs : {&obsBefore, &obsAfter}) {
            if (obs->NesteRntForf != 0 && obs->nesteInnbet == 0 && obs->NesteTermBelop == 0) {
                obs->nesteInnbet = r.innb;
                obs->nesteInnbetAvdrFri = SR.currAvdragsfrihet;
                obs->NesteTermBelop = MVF_terminbelop;
            }
        }
    }
    stsaldo = c;
}

// ---- term amounts -------------------------------------------------------------------

TYtterKjerne::TMvfKopi TYtterKjerne::mvfKopi() const {
    return TMvfKopi{MVF_kapitperiode, MVF_fasteoverhopp, MVF_rente,        MVF_provisjon,
                    MVF_renteb,       MVF_laanetype,     MVF_termlengde,   MVF_enhetslnNyttTermBelop,
                    MVF_terminbelop,  MVF_terminbdecr,   MVF_forfallsdato, MVF_refForfallsdato,
                    MVF_endringsdato, MVF_rentertilkap,  LocEndringnr,     forlfeilkode};
}

void TYtterKjerne::mvfHent(const TMvfKopi& k) {
    MVF_kapitperiode = k.kapitperiode;
    MVF_fasteoverhopp = k.fasteoverhopp;
    MVF_rente = k.rente;
    MVF_provisjon = k.provisjon;
    MVF_renteb = k.renteb;
    MVF_laanetype = k.laanetype;
    MVF_termlengde = k.termlengde;
    MVF_enhetslnNyttTermBelop = k.enhetslnNyttTermBelop;
    MVF_terminbelop = k.terminbelop;
    MVF_terminbdecr = k.terminbdecr;
    MVF_forfallsdato = k.forfallsdato;
    MVF_refForfallsdato = k.refForfallsdato;
    MVF_endringsdato = k.endringsdato;
    MVF_rentertilkap = k.rentertilkap;
    LocEndringnr = k.locEndringnr;
    forlfeilkode = k.forlfeilkode;
}

int TYtterKjerne::antallTerminer(TWordDate fra, TWordDate til) const {
    int n = 0;
    for (int k = SR.terminteljar;; ++k) {
        const TWordDate d = terminDato(k);
        if (d > til) break;
        if (d < fra) continue;
        if (MVF_fasteoverhopp == 0 || !(MVF_fasteoverhopp & (1u << (getMonth(d) - 1)))) ++n;
        if (k - SR.terminteljar > 5000) break;
    }
    return std::max(n, 1);
}

double TYtterKjerne::proevekjoering(double belop, TWordDate stopp, int options, double sluttsaldo,
                                    const double* parBelop, double* parResidual) {
    const auto mvf = mvfKopi();
    const bool lagretSim = inSimTermBelop;
    const double lagretGebyr = Laanet.saldo.provisjon;
    inSimTermBelop = true;
    MVF_terminbelop = belop;
    MVF_endringsdato = stopp;
    if (provisjon_i_termbelop == 1) Laanet.saldo.provisjon -= provisjonForSaldo();
    if (parBelop) settParBelop(*parBelop);

    saldoar slutt, parSlutt;
    TWordDate dato = 0;
    double aarsendring = 0;
    ++FProevekjoeringer;
    const uint16_t feil =
        simuleringsloop(options, slutt, dato, aarsendring, &TInnerKjerne::nullsendtrp);
    const bool parKjoert = parSluttsaldo(parSlutt) && feil == 0;

    Laanet.saldo.provisjon = lagretGebyr;
    inSimTermBelop = lagretSim;
    mvfHent(mvf);
    auto residual = [&](const saldoar& s) {
        return s.kapital + s.rente.belop + s.rente.kapIkkeBet + s.provisjon - sluttsaldo;
    };
    const double d = feil ? kFeilResidual : (options & simopt::kTilInnfrielse) ? aarsendring : residual(slutt);
    if (FProeveLogg) FProeveLogg->emplace_back(belop, d);
    if (parBelop) {
        if (parKjoert) {
            ++FProevekjoeringer;
            *parResidual = residual(parSlutt);
            if (FProeveLogg) FProeveLogg->emplace_back(*parBelop, *parResidual);
        } else {
            *parResidual = proevekjoering(*parBelop, stopp, options, sluttsaldo);
        }
    }
    return d;
}

// Where the term-amount search starts: the amount that repays the balance
// by the target when interest accrues unrounded over each term's own days
// (the loan's day count, a broken first term, the year's denominator, skip
// months). The balance after the last term is then A − B·x, so the amount
// is (A − end balance)/B; with rounding the answer lies within a unit or
// so. Loans with a step-down start at one term's interest plus a straight
// share of the capital.
double TYtterKjerne::sekantStart(TWordDate maal, TWordDate idag, double sluttsaldo) const {
    const auto& saldo = Laanet.saldo;
    const double rente = MVF_rente[0].sats / 3.6e7 * saldo.kapital * MVF_termlengde;
    const int dagerIgjen = int(maal) - int(MVF_forfallsdato);
    const double enkel = rente + (dagerIgjen > 0 ? saldo.kapital / dagerIgjen * MVF_termlengde : saldo.kapital);
    if (MVF_terminbdecr != 0 || MVF_rente[0].sats <= 0) return enkel;

    const double aarsrente = MVF_rente[0].sats / 1e5;
    // The interest accrued so far is paid with the first term.
    double A = saldo.kapital + saldo.rente.belop, B = 0;
    TWordDate forrige = TWordDate(saldo.ajourdato);
    // The calendar year's denominator, looked up again only at a new year.
    TWordDate nyttaar = 0;
    int nemnar = dgpraarx10 / 10;
    for (int k = SR.terminteljar, n = 0; n <= 5000; ++k, ++n) {
        const TWordDate d = terminDato(k);
        if (d > maal) break;
        if (d < idag || d < forrige) continue;
        if (SR.kalenderrentenemnar && forrige >= nyttaar) {
            nemnar = getYear(forrige) % 4 == 0 ? 366 : 365;
            nyttaar = nesteNyttaar(forrige);
        }
        const double vekst = 1 + aarsrente * (int(d) - int(forrige)) / nemnar;
        A *= vekst;
        B *= vekst;
        const bool betaler = d >= MVF_forfallsdato &&
                             (MVF_fasteoverhopp == 0 || !(MVF_fasteoverhopp & (1u << (getMonth(d) - 1))));
        if (betaler) B += 1;
        forrige = d;
    }
    double x = (A - sluttsaldo) / B;
    if (provisjon_i_termbelop == 1) x += provisjonForSaldo();
    return std::isfinite(x) && x > 0 ? x : enkel;
}

// The term amount is the smallest amount on the rounding unit's grid whose
// trial run leaves a residual of at most 0 at the target. The secant
// proposes amounts; the search keeps the largest amount found too small and
// the smallest found large enough, never proposes outside them, and ends
// when the two are one unit apart. (A secant that stops as soon as two
// amounts are a unit apart can end units above the answer where the
// residual bends, at a high rate over a long term.) Started beside the
// answer, the usual search is two or three trials.
uint16_t TYtterKjerne::sekantSoek(TWordDate maal, TWordDate idag, double sluttsaldo, double& belop) {
    const TWordDate stopp = maal + 1;
    const int options = simopt::kStoppVedEndring | simopt::kNegAvdrag;
    const double f = TermbelRndFaktor > 0 ? TermbelRndFaktor : 1;
    auto rutenett = [&](double x) { return avrund(x, f, kAvrundNaermeste); };

    // Every trial of this search starts from the same state and stops at the same date.
    struct Opptak {
        TInnerKjerne& k;
        explicit Opptak(TInnerKjerne& kjerne) : k(kjerne) { k.bgnProeveOpptak(); }
        ~Opptak() { k.endProeveOpptak(); }
    } opptak(*this);

    // Too small: the largest amount with a residual above 0 (a failed trial,
    // or one without a residual, counts as too small); large enough: the
    // smallest with a residual of at most 0.
    bool harLav = false, harHoy = false;
    double lav = 0, dLav = 0, hoy = 0, dHoy = 0;
    double xp = 0, dp = 0, xc = 0, dc = 0;
    int proever = 0;
    auto merk = [&](double x, double d) {
        if (!(d <= 0)) {
            if (!harLav || x > lav) lav = x, dLav = d;
            harLav = true;
        } else {
            if (!harHoy || x < hoy) hoy = x, dHoy = d;
            harHoy = true;
        }
        xp = xc, dp = dc, xc = x, dc = d;
        ++proever;
    };
    auto proev = [&](double x) { merk(x, proevekjoering(x, stopp, options, sluttsaldo)); };
    auto sekant = [](double xa, double da, double xb, double db) {
        return da != db && da != kFeilResidual && db != kFeilResidual ? xb - db * (xb - xa) / (db - da)
                                                                      : std::nan("");
    };

    const double x0 = std::max(0.0, avrund(sekantStart(maal, idag, sluttsaldo), f, kAvrundNed));
    // The first two amounts run side by side.
    double d0 = 0;
    const double d1 = proevekjoering(x0 + f, stopp, options, sluttsaldo, &x0, &d0);
    merk(x0 + f, d1);
    merk(x0, d0);
    double steg = f;  // doubles while the secant cannot lead beyond every amount tried
    for (;;) {
        if (harLav && harHoy && hoy - lav <= f * (1 + 1e-9)) break;
        if (harHoy && !harLav && hoy <= 0) break;  // nothing to pay
        if (proever >= kMaksSekantSteg) return kjernefeil::kForLenge;
        double x;
        if (harLav && harHoy) {
            // Between the two: the straight line through them. A line that
            // lands on one of them (a residual of 0, a flat stretch) steps
            // one unit in from it.
            x = rutenett(sekant(lav, dLav, hoy, dHoy));
            if (x >= hoy) x = hoy - f;
            else if (x <= lav) x = lav + f;
            if (!(x > lav && x < hoy)) x = rutenett((lav + hoy) / 2);
            if (!(x > lav && x < hoy)) x = lav + f;
        } else {
            // On one side only: the secant of the last two trials, else a
            // step beyond the nearest amount tried.
            x = rutenett(sekant(xp, dp, xc, dc));
            if (harHoy) {
                if (!(x < hoy)) x = hoy - steg, steg *= 2;
                x = std::max(0.0, x);
            } else if (!(x > lav)) {
                x = lav + steg, steg *= 2;
            }
        }
        proev(x);
    }
    belop = harHoy && !harLav ? 0 : hoy;
    return 0;
}

double TYtterKjerne::renteKunBelop() {
    const auto& saldo = Laanet.saldo;
    const TWordDate stopp = AddrMndr(60, TWordDate(saldo.ajourdato));
    const int options = simopt::kStoppVedEndring | simopt::kNegAvdrag | simopt::kTilInnfrielse;
    const double lagretDecr = MVF_terminbdecr;
    MVF_terminbdecr = 0;
    const double rente = MVF_rente[0].sats / 3.6e7 * saldo.kapital * MVF_termlengde;

    auto D = [&](double x) { return proevekjoering(std::nearbyint(x), stopp, options, 0); };
    double xc = rente + 2, dc = D(xc);
    double xn = rente, xp, dp;
    for (int steg = 0;; ++steg) {
        if (steg >= kMaksSekantSteg) break;
        const double dn = D(xn);
        xp = xc;
        dp = dc;
        xc = xn;
        dc = dn;
        if (dc == dp) break;
        xn = xc - dc * (xc - xp) / (dc - dp);
        if (!std::isfinite(xn)) break;
        if (std::fabs(xn - xc) <= 0.1) break;
    }
    MVF_terminbdecr = lagretDecr;
    return std::nearbyint(xc);
}

uint16_t TYtterKjerne::loesTerminbelop(TWordDate maal, TWordDate idag, double& belop, double& decr) {
    const auto& saldo = Laanet.saldo;
    const double sluttsaldo = IFO().sluttSaldo;
    decr = 0;
    if (maal == 0) {
        belop = MVF_terminbelop;
        decr = MVF_terminbdecr;
        return 0;
    }
    if (maal < idag) return kMaalPassert;
    const bool gebyrIBetaling = provisjon_i_termbelop == 1;

    if (MVF_laanetype & laanetyper::kSerieForm) {
        const int n = antallTerminer(idag, maal);
        belop = termAvrunding((saldo.kapital - sluttsaldo) / n);
        if (!(MVF_laanetype & laanetyper::kOrdinaerGebyr)) belop += provisjonForSaldo();
        return 0;
    }
    if (annuitetBeregnType == 1) {
        if (sluttsaldo != 0) return kSluttsaldoFormel;
        const double r = beregnVeietRentePrTermin() / 100 / (360.0 / MVF_termlengde);
        const int n = antallTerminer(idag, maal);
        const double x = r == 0 ? saldo.kapital / n
                                : saldo.kapital * r * std::pow(1 + r, n) / (std::pow(1 + r, n) - 1);
        if (DriftsSystem == 1 && !SR.forfalt)
            belop = avrund(x, RntRndFaktor, termbelAvrunding);
        else
            belop = termAvrunding(x);
        if (gebyrIBetaling) belop += provisjonForSaldo();
        return 0;
    }
    if (MVF_laanetype == 0x10003) {
        const double renteKun = renteKunBelop();
        decr = std::trunc(renteKun / ((int(maal) - int(idag)) / double(MVF_termlengde) + 1));
    }
    const double lagretDecr = MVF_terminbdecr;
    MVF_terminbdecr = decr;
    const uint16_t feil = sekantSoek(maal, idag, sluttsaldo, belop);
    MVF_terminbdecr = lagretDecr;
    return feil;
}

void TYtterKjerne::NyttTerminBelop(TWordDate dato, uint16_t& feil) {
    feil = 0;
    const int k = LocEndringnr;
    const bool linjeAvdragsfri = k == -1 || (k >= 0 && EL(k).avdragsfri);
    if (avdragfrisomserie && linjeAvdragsfri && !(MVF_laanetype & laanetyper::kSeparatKapit)) {
        MVF_laanetype = (MVF_laanetype | laanetyper::kSerieForm) & ~laanetyper::kFoersteTerminKorr;
        SR.currAvdragsfrihet = true;
    } else {
        SR.currAvdragsfrihet = false;
    }

    beregnetTermin& lagret = NBLN.nlberegnatermb.termin(k);
    if (termbelopReberegnHverTermin == 1) lagret.beregnet = false;
    if (lagret.beregnet) {
        MVF_terminbelop = lagret.terminbelop;
        MVF_terminbdecr = lagret.terminbdecr;
        return;
    }
    if (k >= 2) lagret = NBLN.nlberegnatermb.termin(k - 1);

    double belop = MVF_terminbelop;
    double decr = MVF_terminbdecr;
    if (linjeAvdragsfri) {
        decr = 0;
        belop = (MVF_laanetype & laanetyper::kSerieForm) ? 0 : renteKunBelop();
    } else if (EL(k).terminbelop == 0) {
        if (k == 0 || EL(k).erEndring) {
            feil = loesTerminbelop(Dato2RDato(MVF_innfrielsesdato), dato, belop, decr);
            if (feil) return;
        }
    } else {
        belop = EL(k).terminbelop;
        decr = (MVF_laanetype & laanetyper::kSeparatKapit) ? EL(k).terminbdecr : 0;
    }
    MVF_terminbelop = belop;
    MVF_terminbdecr = decr;
    if (!(termbelopReberegnHverTermin == 1 && lagret.beregnet && lagret.terminbelop != 0)) {
        lagret.beregnet = true;
        lagret.terminbelop = belop;
        lagret.terminbdecr = decr;
    }
}

}  // namespace mirvo::beregning

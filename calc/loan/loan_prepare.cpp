// Input preparation: completes and checks the definition before a
// calculation and up to a change date, opens the change lines the course
// needs, and chooses what to solve.
#include <algorithm>
#include <cmath>

#include "calc/errors/calc_errors.h"
#include "calc/loan/calc_loan.h"
#include "calc/shared/beholde.h"
#include "common/finans/rente360.h"
#include "common/utils/dates.h"

namespace mirvo::beregning {

namespace {

constexpr uint16_t kOk = 0;
constexpr double kLoeseBelop = 2e9;  // stands for the loan amount while it is solved
constexpr int kAlleAar = 99;         // year ends wanted in a course without output

uint16_t perioden(int aar, int mnd, int dager) {
    const int64_t d = int64_t(aar) * 360 + int64_t(mnd) * 30 + dager;
    return uint16_t(std::clamp<int64_t>(d, 0, 65535));
}

bool satt(Datorec d) { return d.L != 0; }

Datorec plussDager(Datorec d, int dager) {
    using namespace kavelin::utils;
    return intdate2dato(dato2intdate(d) + dager);
}

}  // namespace

void TCalcLoan::forberedTilEndring(Datorec endringsdato) {
    if (uint16_t code = forbered(false, endringsdato)) throw ECalcError(code);
}

Datorec TCalcLoan::sisteForfall(int fra, bool avdrag) const {
    for (int k = fra; k >= 0; --k) {
        const endringtype& l = EL(k);
        if (avdrag && satt(l.avdragsforfall)) return l.avdragsforfall;
        if (!avdrag && satt(l.forfallsdato)) return l.forfallsdato;
    }
    return Datorec();
}

TWordDate TCalcLoan::foersteTerminPaaEllerEtter(Datorec dato) const {
    const Datorec ref = sisteForfall(plEnr, false);
    const int termlengde = EL(plEnr).termlengde;
    if (!satt(ref) || termlengde < 30) return 0;
    return naermesteTerminDato(Dato2RDato(ref), Dato2RDato(dato), termlengde).afterOrEqual;
}

void TCalcLoan::settLaanetype(endringtype& linje) {
    using namespace laanetyper;
    if (linje.laanetype == 0) linje.laanetype = kAnnuitet;
    const bool separat = linje.kapitperiode != 0 && relativKapitPer == 0;
    uint32_t t = linje.laanetype;
    // Back to the base code, then the variants the settings call for.
    if (t == 0x20221 || t == 0x20201 || t == kAnnuitetUtenKorr) t = kAnnuitet;
    if (t == 0x10003) t = kSerie;
    if (t == kAnnuitet && IFO().AnnuitetTermKorr == 0) t = kAnnuitetUtenKorr;
    if (separat) {
        if (t == kAnnuitet) t = 0x20221;
        else if (t == kAnnuitetUtenKorr) t = 0x20201;
        else if (t == kSerie) t = 0x10003;
    }
    linje.laanetype = t;
}

// ---- one preparation ------------------------------------------------------------

uint16_t TCalcLoan::forbered(bool alle, Datorec grense) {
    auto& ifo = IFO();
    endringtype& linje = line();
    const bool linje0 = plEnr == 0;
    const Datorec linjeStart = linje0 ? ifo.diskontdato : EL(plEnr - 1).endringsdato;

    // Day fractions first: the convention follows from them.
    if (DriftsSystem == kIkkeSatt) DriftsSystem = 0;
    if (ifo.rentebrteljar == 0 || ifo.rentebrnemnar == 0) {
        if (DriftsSystem > 1) return 409;
        if (ifo.rentebrteljar == 0) ifo.rentebrteljar = 366;
        if (ifo.rentebrnemnar == 0) ifo.rentebrnemnar = 366;
    }
    initsimdato(ifo.rentebrteljar, ifo.rentebrnemnar);

    auto okEllerTom = [&](Datorec d) { return !satt(d) || okrdato(d); };
    if (!okEllerTom(ifo.diskontdato)) return 301;
    if (!okEllerTom(linje.forfallsdato)) return 311;
    if (!okEllerTom(linje.avdragsforfall)) return 312;
    if (!okEllerTom(FExtInputs.avdragsfriSlutt)) return 313;
    if (!okEllerTom(observeringsDato)) return 314;

    if (linje0) {
        const auto& x = FExtInputs;
        if (x.loepetidAar || x.loepetidMnd || x.loepetidDager)
            ifo.loepetid = perioden(x.loepetidAar, x.loepetidMnd, x.loepetidDager);
        if (x.nedbetstrAar || x.nedbetstrMnd || x.nedbetstrDager)
            ifo.nedbetstrTid = perioden(x.nedbetstrAar, x.nedbetstrMnd, x.nedbetstrDager);
    }

    // Term length and signs.
    if (linje.terminerPrAar != 0) linje.termlengde = (12 / linje.terminerPrAar) * 30;
    if (linje0) ifo.laanebeloep = std::fabs(ifo.laanebeloep);
    linje.terminbelop = std::fabs(linje.terminbelop);
    for (auto& t : linje.rente) t.grense = std::fabs(t.grense);
    if (linje0) {
        if (linje.termlengde == 0) linje.termlengde = 30;
        if (!satt(linje.forfallsdato) && satt(ifo.diskontdato))
            linje.forfallsdato = RDato2Dato(AddrMndr(linje.termlengde / 30, Dato2RDato(ifo.diskontdato)));
    }

    // Loan amount and its parts.
    const auto& del = FExtInputs.laanebelop;
    const bool deler = del[1] != 0 || del[2] != 0;
    if (deler) {
        if (linje0) {
            ifo.laanebeloep = del[0] + del[1] + del[2];
            linje.rente[1].grense = del[0];
            linje.rente[2].grense = del[0] + del[1];
        } else {
            for (size_t i = 0; i < 3; ++i) linje.rente[i].grense = EL(plEnr - 1).rente[i].grense;
        }
    } else if (linje0) {
        ifo.laanebeloep = del[0];
    }

    if (DriftsSystem == 1 && linje.rente[1].sats != 0 && linje.terminbelop != 0) {
        linje.enhetslnNyttTermBelop = linje.terminbelop;
        linje.terminbelop = 0;
    }

    const bool trinn = linje.rente[1].grense != 0 || linje.rente[2].grense != 0 || deler;
    if (linje0 && linje.laanetype == 0) linje.laanetype = laanetyper::kAnnuitet;
    resolveSettings(trinn, linje.laanetype & laanetyper::kSerieForm);
    settLaanetype(linje);

    // Repayment-free period.
    if (!linje0) {
        if (satt(linje.avdragsforfall) && linje.avdragsforfall == linjeStart) {
            linje.avdragsfri = false;
            FCurrAvdragsfriSlutt = Datorec();
        } else if (satt(linje.avdragsforfall)) {
            FCurrAvdragsfriSlutt = RDato2Dato(Dato2RDato(linje.avdragsforfall) - 1);
        }
    } else {
        auto& x = FExtInputs;
        if (ifo.avdragsfriheit == 0) {
            if (satt(linje.avdragsforfall) && satt(ifo.diskontdato)) {
                int d = 0, m = 0, a = 0;
                calcTidsrom(ifo.diskontdato, RDato2Dato(Dato2RDato(linje.avdragsforfall) - 1), d, m, a);
                ifo.avdragsfriheit = perioden(std::max(a, 0), std::max(m, 0), std::max(d, 0));
            } else {
                const Datorec slutt = satt(x.avdragsfriSlutt) ? x.avdragsfriSlutt : ifo.rntGarantiTilDato;
                if (satt(slutt) && satt(ifo.diskontdato) && slutt.L > ifo.diskontdato.L)
                    calcTidsrom(ifo.diskontdato, slutt, x.avdragsfriDager, x.avdragsfriMnd, x.avdragsfriAar);
                if (x.avdragsfriAar || x.avdragsfriMnd || x.avdragsfriDager)
                    ifo.avdragsfriheit = perioden(x.avdragsfriAar, x.avdragsfriMnd, x.avdragsfriDager);
            }
        }
        FCurrAvdragsfriSlutt =
            ifo.avdragsfriheit != 0 ? avdragsfriSluttFraPeriode(ifo.avdragsfriheit) : Datorec();
    }
    if (!satt(linje.avdragsforfall) && satt(FCurrAvdragsfriSlutt) && linje.termlengde >= 30) {
        if (TWordDate d = foersteTerminPaaEllerEtter(FCurrAvdragsfriSlutt)) linje.avdragsforfall = RDato2Dato(d);
    }
    if (!linje0 && (linje.terminbelopAngitt || linje.avdragsfriAngitt)) {
        if (linje.terminbelopAngitt) linje.avdragsfri = false;
        FCurrAvdragsfriSlutt = Datorec();
    }

    // Capitalisation.
    if (relativKapitPer == 1 && linje.kapitperiode == 0) linje.kapitperiode = linje.termlengde;
    const int forrigeKapit = linje0 ? 0 : EL(plEnr - 1).kapitperiode;
    if (linje.kapitperiode != 0 && linje.kapitperiode != forrigeKapit && linje.termlengde % linje.kapitperiode != 0)
        return 339;

    // The first repayment date must fall on an ordinary due date.
    {
        const int fra = (satt(FJustertInnfrielseDato) && plEnr > 0) ? plEnr - 1 : plEnr;
        const Datorec F = sisteForfall(fra, false);
        Datorec A = sisteForfall(fra, true);
        if (!satt(A)) A = F;
        if (satt(F) && linje.termlengde > 0) {
            const int mnd = ((A.month() - F.month()) % 12 + 12) % 12;
            if (A.day() != F.day() || (mnd * 30) % linje.termlengde != 0) return 229;
        }
    }

    if (relativKapitPer == 1 && linje.renteb == renteberegning::ekteforskot &&
        linje.kapitperiode != linje.termlengde) {
        if (!linje0) return 330;
        linje.renteb = renteberegning::serieEnkelForskudd;
        if ((linje.laanetype & ~laanetyper::kSeparatKapit) != laanetyper::kSerie &&
            linje.laanetype != 0x10003)
            return 334;
    }

    if (ifo.etablGebyrPrsnt != 0 && ifo.laanebeloep != kLoeseBelop)
        ifo.etablgebyr = std::nearbyint(ifo.etablGebyrPrsnt * ifo.laanebeloep / 100);

    if (!FSjekkSisteEndringLockState) {
        bool endret = false;
        FSjekkSisteEndringLockState = true;
        const uint16_t code = automatiskeEndringer(alle, grense, endret);
        FSjekkSisteEndringLockState = false;
        if (code) return code;
        if (alle && endret) return forbered(true, Datorec());
    }

    if (line().xordinb != 0 || line().xordutb != 0) line().automatiskEndring = false;
    return kOk;
}

uint16_t TCalcLoan::automatiskeEndringer(bool alle, Datorec grense, bool& endret) {
    endringtype& linje = line();
    const bool linje0 = plEnr == 0;

    // A payoff date between two term dates gets a shortened last term of
    // its own, in a change line that starts the day after the term before.
    Datorec P, S;
    Datorec innfri = satt(FJustertInnfrielseDato) ? FJustertInnfrielseDato : linje.innfrielsesdato;
    FJustertInnfrielseDato = Datorec();
    if (satt(innfri) && linje.terminbelop == 0 && linje.termlengde >= 30) {
        const Datorec ref = sisteForfall(plEnr, false);
        if (satt(ref) && okrdato(innfri)) {
            const auto naer = naermesteTerminDato(Dato2RDato(ref), Dato2RDato(innfri), linje.termlengde);
            const TWordDate p = Dato2RDato(innfri);
            if (naer.afterOrEqual != p && naer.beforeOrEqual != p) {
                const bool avdragSamme = linje.avdragsforfall == linje.innfrielsesdato;
                linje.innfrielsesdato = RDato2Dato(naer.afterOrEqual);
                if (avdragSamme) linje.avdragsforfall = linje.innfrielsesdato;
                P = innfri;
                S = RDato2Dato(naer.beforeOrEqual + 1);
            }
        }
    }

    bool aapnet = false;
    if (satt(FCurrAvdragsfriSlutt)) {
        if (!alle && grense.L < FCurrAvdragsfriSlutt.L) {
            if (!linje.terminbelopAngitt && !linje.avdragsfriAngitt) linje.avdragsfri = true;
        } else if (linje0) {
            FCurrAvdragsfriSlutt = Datorec();
        } else {
            linje.avdragsfri = true;
            const Datorec slutt = FCurrAvdragsfriSlutt;
            if (uint16_t code = aapneEndringslinje(slutt)) return code;
            if (satt(S) && S.L < slutt.L) S = slutt;
            line().avdragsfri = false;
            line().automatiskEndring = true;
            FCurrAvdragsfriSlutt = Datorec();
            aapnet = endret = true;
        }
    }

    if (satt(P)) {
        if (aapnet) {
            if (uint16_t code = forbered(false, S)) return code;
        }
        if (uint16_t code = aapneEndringslinje(S)) return code;
        endringtype& ny = line();
        ny.forfallsdato = ny.avdragsforfall = ny.innfrielsesdato = P;
        ny.erEndring = true;
        ny.automatiskEndring = true;
        if (alle && satt(FCurrAvdragsfriSlutt) && P.L < FCurrAvdragsfriSlutt.L) FCurrAvdragsfriSlutt = P;
        FJustertInnfrielseDato = P;
        endret = true;
    }
    return kOk;
}

// ---- structure term ---------------------------------------------------------------

uint16_t TCalcLoan::strukturTermin() {
    auto& ifo = IFO();
    if (ifo.nedbetstrTid == 0 || FStrukturBehandlet) return kOk;
    if (ifo.sluttSaldo != 0) return 338;
    if (EL(0).terminbelop != 0) return 341;
    FStrukturBehandlet = true;

    TWordDate D = 0;
    const endringtype& linje = line();
    if (ifo.loepetid != 0) {
        const Datorec slutt = innfrielseFraLoepetid(ifo.loepetid);
        if (satt(linje.forfallsdato) && linje.termlengde >= 30)
            D = naermesteTerminDato(Dato2RDato(linje.forfallsdato), Dato2RDato(slutt), linje.termlengde)
                    .beforeOrEqual;
    } else if (satt(EL(0).innfrielsesdato)) {
        D = Dato2RDato(EL(0).innfrielsesdato);
    }
    ifo.loepetid = ifo.nedbetstrTid;
    EL(0).innfrielsesdato = Datorec();
    if (D != 0 && !satt(FJustertInnfrielseDato)) {
        const Datorec start = plEnr == 0 ? ifo.diskontdato : EL(plEnr - 1).endringsdato;
        if (Dato2RDato(start) < D) {
            const Datorec dagFoer = RDato2Dato(D - 1);
            if (uint16_t code = forbered(false, dagFoer)) return code;
            if (uint16_t code = aapneEndringslinje(dagFoer)) return code;
        }
        endringtype& ny = line();
        ny.innfrielsesdato = RDato2Dato(D);
        ny.erEndring = true;
        ny.automatiskEndring = true;
        return forbered(true, Datorec());
    }
    return kOk;
}

// ---- checks of the interest steps -----------------------------------------------------

uint16_t TCalcLoan::sjekkTrinn() {
    const auto& ifo = IFO();
    const endringtype& linje = line();
    const auto& del = FExtInputs.laanebelop;
    const bool deler = del[1] != 0 || del[2] != 0;
    if (!deler && DriftsSystem == 0) {
        const auto& r = linje.rente;
        if (ifo.laanebeloep == 0) return 100;
        if (r[1].sats > 0 && r[1].grense == 0) return 400;
        if (r[2].sats > 0 && r[2].grense == 0) return 401;
        if (r[1].grense != 0 && r[1].grense >= ifo.laanebeloep) return 402;
        if (r[2].grense != 0 && r[2].grense >= ifo.laanebeloep) return 403;
        if (r[2].grense != 0 && r[2].grense <= r[1].grense) return 404;
        if (r[1].grense != 0 && r[1].sats <= r[0].sats) return 405;
        if (r[2].grense != 0 && r[2].sats <= r[1].sats) return 406;
    }
    trappeRenteLaan = linje.rente[1].grense != 0 || linje.rente[2].grense != 0 || deler;
    if (trappeRenteLaan) {
        if (linje.renteb != renteberegning::etterskot) return 227;
        if (linje.laanetype & laanetyper::kSeparatKapit) return 228;
    }
    return kOk;
}

// ---- the calculation ---------------------------------------------------------------------

uint16_t TCalcLoan::kalkuler() {
    if (FError) return FError;
    const uint16_t code = beregn();
    if (code) setCriticalError(code);
    return code;
}

uint16_t TCalcLoan::beregn() {
    auto& ifo = IFO();
    auto& res = NBLN.nlberegna;

    if (ifo.forfallAntDager != 0 && satt(ifo.diskontdato))
        EL(0).forfallsdato = plussDager(ifo.diskontdato, ifo.forfallAntDager);
    if (uint16_t code = forbered(true, Datorec())) return code;

    if (ifo.lopendelaan == kIkkeSatt && FRentesaldoInput != 0) ifo.lopendelaan = 1;
    if (ifo.underkurs > 100) return 412;
    if (ifo.etablGebyrPrsnt > 50) return 413;
    ifo.inng_rentesaldo = FRentesaldoInput + ifo.inng_renteoverfoert - ifo.inng_rentetilgode;
    if (uint16_t code = strukturTermin()) return code;

    const endringtype& l0 = EL(0);
    separatkapit = l0.laanetype & laanetyper::kSeparatKapit;

    const bool harBelop = ifo.laanebeloep != 0;
    const bool harTermin = l0.terminbelop != 0;
    const bool harTermin2 = l0.terminbelop2 != 0;
    const bool harLoepetid = ifo.loepetid != 0;
    const bool harInnfrielse = satt(l0.innfrielsesdato);
    if (DriftsSystem == 0) {
        if (int(harBelop) + int(harTermin) + int(harTermin2) + int(harLoepetid || harInnfrielse) < 2)
            return 113;
    } else {
        if (!harBelop) return harTermin && harLoepetid ? 222 : 100;
        if (!harTermin && !harTermin2 && l0.enhetslnNyttTermBelop == 0 && !harLoepetid && !harInnfrielse)
            return 113;
    }
    if (!satt(ifo.diskontdato)) return 119;
    if (!satt(l0.forfallsdato)) return 220;
    if (l0.termlengde == 0) return 103;
    if (ifo.rntGarantiProvPrsnt != 0 && !satt(ifo.rntGarantiTilDato)) return 225;
    if (satt(ifo.rntGarantiTilDato) && ifo.rntGarantiProvPrsnt == 0) return 226;
    for (int k = 0; k <= plEnr; ++k)
        if (EL(k).termlengde % 30 != 0) return 201;
    if (ifo.AnnuitetTermKorr != 0 && ifo.AnnuitetTermKorr != kIkkeSatt && ifo.antDagerRentefri != 0 &&
        (l0.laanetype & laanetyper::kFoersteTerminKorr))
        return 343;
    if (l0.renteb != renteberegning::etterskot && ifo.antDagerRentefri != 0) return 342;

    uint16_t feil = 0;
    if (!harBelop && (harTermin || harTermin2) && (harLoepetid || harInnfrielse)) {
        if (ifo.underkurs != 0) return 411;
        ifo.laanebeloep = kLoeseBelop;
        if (uint16_t code = sjekkTrinn()) return code;
        ifo.laanebeloep = 0;
        BeregnLBelop(feil);
        if (feil == 0) ifo.laanebeloep = res.lbelop;
    } else if (DriftsSystem == 1 && l0.enhetslnNyttTermBelop != 0 && !harLoepetid) {
        if (uint16_t code = sjekkTrinn()) return code;
        BeregnEnhetslnVhaTermbelop(feil);
    } else if (harTermin2 && harBelop && !harLoepetid && !harTermin) {
        if (uint16_t code = sjekkTrinn()) return code;
        BeregnVhaTermbelop2(feil);
    } else {
        if (uint16_t code = sjekkTrinn()) return code;
    }
    if (feil) return feil;

    // The final calculation also runs the course for the totals and
    // observation figures, so a result request needs no second run.
    {
        // A report waiting for this calculation takes the course figures'
        // place: its filter keeps the same totals and snapshots. Framework
        // loans run further calculations afterwards, so their report runs
        // on its own. The receiver is dropped again even when the run fails.
        ::mirvo::beregning::TRadMottaker* med = &utrpNoBuffer;
        aarsteljar = kAlleAar;
        if (FRapportIKalk.mottaker && !l0.rammelaan) {
            aarsteljar = FRapportIKalk.aar;
            med = FRapportIKalk.mottaker;
            FRapportIKalk.skrevet = true;
        }
        Beholde<::mirvo::beregning::TRadMottaker*> medMottaker(FMedMottaker, med);
        beregnlaan(feil);
    }
    if (feil) return feil;
    res.forlopberegna = true;
    if (harLoepetid && l0.enhetslnNyttTermBelop != 0 && res.termbelop3 != 0) {
        const double forhold = l0.enhetslnNyttTermBelop / res.termbelop3;
        if (forhold < 0.995 || forhold > 1.005) return 332;
    }

    res.gyldig = true;
    res.lbelop = ifo.laanebeloep;
    if (l0.rammelaan) {
        res.forlopberegna = false;
        BeregnRammelnEffektivRenter(feil);
        if (feil) return feil;
        res.gyldig = true;
        res.lbelop = ifo.laanebeloep;
    }
    return kOk;
}

}  // namespace mirvo::beregning

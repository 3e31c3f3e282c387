#include "calc/kjerne/simuler.h"

#include <cmath>
#include <limits>

#include "common/finans/rente360.h"

namespace mirvo::beregning {

namespace {

constexpr uint16_t kForLangLoepetid = 110;
constexpr uint16_t kForLenge = 2;
constexpr uint16_t kRammeMedEndring = 336;
constexpr uint16_t kForStortBelop = 25;
constexpr int kMaksSoekeSteg = 200;
constexpr int kMaksEnhetslanTerm = 14400;
// Upper bounds of the searches stop doubling here: no amount or term is
// larger, and the bound must stay a whole number.
constexpr int64_t kMaksGrense = int64_t(1) << 50;

int64_t doble(int64_t x) { return x < kMaksGrense ? 2 * x : x; }

// Errors that mean "this trial runs too long" and steer a search.
bool forLang(uint16_t feil) { return feil == kForLangLoepetid || feil == kForLenge; }

}  // namespace

TSimuler::TSimuler() = default;

// Acts on the rows of TUtvalg::Bokfoeringer only (settlements, the opening
// balance, bookings that move money, rows 150 on); a sender may skip the rest.
void TSimuler::rad(int radtype, TWordDate dato, const utrectype& r, const saldoar& s) {
    if (radtype == trt::kOppgjor) {
        ++innbnr;
        if (innbnr == 1) {
            innbet1 = r.innb;
        } else if (innbnr == 2) {
            innbet2 = r.innb;
            const bool gebyrITermin =
                provisjon_i_termbelop == 1 && (MVF_laanetype & laanetyper::kAnnuitetFamilie);
            termbelop2 = gebyrITermin ? r.innb : r.innb - r.provisjon;
        }
    }
    if (FMedMottaker && FMedMottaker->tar(radtype, r)) FMedMottaker->rad(radtype, dato, r, s);
    if (!bokfoeringsrad(radtype)) return;
    const double netto = r.innb - r.utb;
    if (netto != 0) inserec(dato, netto);
    if (radtype == trt::kApningsSaldo && IFO().underkurs != 0)
        inserec(IFO().diskontdato,
                std::nearbyint((100 - IFO().underkurs) * IFO().laanebeloep / 100));
}

void TSimuler::nullstillResultater() {
    const auto ramme = NBLN.nlberegna.rammelnEffrnt;
    NBLN.nlberegna = beregnatype{};
    NBLN.nlberegna.rammelnEffrnt = ramme;
    InvaliderTermb();
}

void TSimuler::beregnlaan(uint16_t& feil) {
    InvaliderTermb();
    auto& res = NBLN.nlberegna;
    feil = Feilkontroll(0);
    innbnr = 0;
    innbet1 = innbet2 = termbelop2 = 0;
    BgnEffRntCalc(1200);
    // The collector acts on bookings only; so does a companion keeping only
    // the run's figures.
    settUtvalg(!FMedMottaker || FMedMottaker->utvalg() == TUtvalg::SluttTall ? TUtvalg::Bokfoeringer
                                                                              : TUtvalg::Alle);
    if (feil == 0) {
        TWordDate innfri = 0;
        Simuler_rapport(feil, innfri, this);
        res.innfridato = RDato2Dato(innfri);
        if (feil == 0 &&
            kavelin::finans::Dager360(res.innfridato, IFO().diskontdato) > FMaxLoepetid)
            feil = kForLangLoepetid;
    }
    res.innbet1 = innbet1;
    res.innbet2 = innbet2;
    res.termbelop2 = termbelop2;

    const auto& termin = NBLN.nlberegnatermb;
    const beregnetTermin* foerste = nullptr;
    for (int k = 0; k < kMaxEndringer && !foerste; ++k)
        if (termin.termin(k).terminbelop != 0) foerste = &termin.termin(k);
    res.termbelop3 = foerste ? foerste->terminbelop : 0;
    res.nedtrapping = foerste ? foerste->terminbdecr : 0;
    if (IFO().avdragsfriheit != 0 && termin.termin(-1).beregnet) {
        res.terminbelop1 = termin.termin(-1).terminbelop;
        if (avdragfrisomserie && (EL(0).laanetype & laanetyper::kAnnuitetFamilie))
            res.terminbelop1 = termbelop2;
    } else {
        res.terminbelop1 = res.termbelop3;
    }

    // The first year's average rate is taken on line 0's rates.
    const auto lagretRente = MVF_rente;
    for (size_t i = 0; i < 3; ++i) {
        MVF_rente[i].sats = tusendelsProsent(EL(0).rente[i].sats);
        MVF_rente[i].grense = i == 0 ? 0 : EL(0).rente[i].grense;
    }
    res.snittrente1 = snittrentesats(IFO().laanebeloep);
    MVF_rente = lagretRente;

    if (feil == 0) {
        double rate = 0;
        res.effektivrente = beregnEffRente(rate) ? rate : std::numeric_limits<double>::quiet_NaN();
    }
    res.gyldig = true;
}

void TSimuler::LaanRapport(uint16_t& feil, TRadMottaker* mottaker) {
    feil = Feilkontroll(0);
    if (feil) return;
    TWordDate innfri = 0;
    Simuler_rapport(feil, innfri, mottaker);
}

void TSimuler::Utlaanrapport(int aar, uint16_t& feil, TRadMottaker* mottaker) {
    aarsteljar = aar;
    LaanRapport(feil, mottaker);
}

void TSimuler::BeregnLBelop(uint16_t& feil) {
    auto& ifo = IFO();
    const uint16_t W = ifo.loepetid;
    ifo.loepetid = 0;
    int64_t a = 200000, b = 1000000;
    bool oevreFunnet = false;
    double forsoekt = 0;
    for (int runde = 0; runde < kMaksSoekeSteg; ++runde) {
        nullstillResultater();
        const int64_t belop = a + (b - a) / 2;
        forsoekt = double(belop);
        ifo.laanebeloep = forsoekt;
        beregnlaan(feil);
        const int32_t f = kavelin::finans::Dager360(NBLN.nlberegna.innfridato, ifo.diskontdato);
        if (feil != 0 && !forLang(feil)) break;
        if (forLang(feil) || f > W) {
            if (belop == b) break;
            if (runde == 0) a = 0;
            b = belop;
            oevreFunnet = true;
        } else {
            if (belop == a) break;
            a = belop;
            if (!oevreFunnet) b = doble(b);
        }
        if (f == W && feil == 0) break;
        if (a == b) break;
    }
    ifo.loepetid = W;
    if (forLang(feil)) feil = 0;
    NBLN.nlberegna.lbelop = feil ? 0 : forsoekt;
}

void TSimuler::BeregnVhaTermbelop2(uint16_t& feil) {
    endringtype& linje = EL(0);
    const double P = linje.terminbelop2;
    if (!(std::fabs(P) < double(kMaksGrense))) {
        feil = kForStortBelop;
        return;
    }
    int64_t c = int64_t(std::nearbyint(P));
    int64_t b = c / 3;
    bool nedFlyttet = false;
    for (int runde = 0; runde < kMaksSoekeSteg && c != b; ++runde) {
        nullstillResultater();
        const int64_t t = b + (c - b) / 2;
        linje.terminbelop = double(t);
        beregnlaan(feil);
        if (feil != 0 && !forLang(feil)) break;
        const double x = provisjon_i_termbelop == 1 ? NBLN.nlberegna.innbet2
                                                     : NBLN.nlberegna.innbet2 - linje.provisjon[0].belop;
        const double e = std::nearbyint(x - P);
        if (forLang(feil) || e < 0) {
            if (t == b) break;
            b = t;
            if (!nedFlyttet) c = doble(c);
        } else {
            if (t == c) break;
            c = t;
            if (runde == 0) b = 0;
            nedFlyttet = true;
        }
        if (feil == 0 && e == 0) break;
    }
    if (forLang(feil) && NBLN.nlberegna.innbet2 != 0) feil = 0;
    IFO().loepetid = 0;
}

void TSimuler::BeregnEnhetslnVhaTermbelop(uint16_t& feil) {
    auto& ifo = IFO();
    const double A = EL(0).enhetslnNyttTermBelop;
    int64_t a = 7200, b = 1800;
    bool forkortet = false;
    int64_t forsoekt = 0;
    for (int runde = 0; runde < kMaksSoekeSteg && a != b; ++runde) {
        nullstillResultater();
        forsoekt = b + (a - b) / 2;
        ifo.loepetid = uint16_t(std::min<int64_t>(forsoekt, 65535));
        beregnlaan(feil);
        if (feil != 0 && !forLang(feil)) break;
        const double t = NBLN.nlberegna.termbelop3;
        if (forLang(feil) || t < A) {
            if (a == forsoekt) break;
            a = forsoekt;
            b = runde > 0 ? b : 0;
            forkortet = true;
        } else {
            if (b == forsoekt) break;
            b = forsoekt;
            if (!forkortet) a = doble(a);
        }
        if (feil == 0 && t == A) break;
    }
    if (feil == 0 && forsoekt > kMaksEnhetslanTerm) feil = kForLenge;
}

void TSimuler::BeregnRammelnEffektivRenter(uint16_t& feil) {
    auto& ifo = IFO();
    endringtype& linje = EL(0);
    if (linje.endringsdato.L != 0) {
        feil = kRammeMedEndring;
        return;
    }
    feil = 0;
    const double F = ifo.laanebeloep;
    const uint16_t lagretLoepetid = ifo.loepetid;
    if (ifo.loepetid == 0 && NBLN.nlberegna.innfridato.L != 0)
        ifo.loepetid = uint16_t(kavelin::finans::Dager360(NBLN.nlberegna.innfridato, ifo.diskontdato));
    const double lagretTermin = linje.terminbelop;
    const double lagretTermin2 = linje.terminbelop2;
    const bool lagretAngitt = linje.terminbelopAngitt;
    auto& ramme = NBLN.nlberegna.rammelnEffrnt;
    for (int i = 1; i <= 9 && feil == 0; ++i) {
        ifo.laanebeloep = i * F / 10;
        linje.terminbelop = 0;
        linje.terminbelop2 = 0;
        linje.terminbelopAngitt = false;
        beregnlaan(feil);
        ramme[size_t(i - 1)] = NBLN.nlberegna.effektivrente;
    }
    linje.terminbelop = lagretTermin;
    linje.terminbelop2 = lagretTermin2;
    linje.terminbelopAngitt = lagretAngitt;
    ifo.laanebeloep = F;
    ifo.loepetid = lagretLoepetid;
    if (feil == 0) {
        beregnlaan(feil);
        ramme[9] = NBLN.nlberegna.effektivrente;
    }
}

}  // namespace mirvo::beregning

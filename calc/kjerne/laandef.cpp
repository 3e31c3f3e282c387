#include "calc/kjerne/laandef.h"

#include <cmath>

#include "calc/errors/calc_errors.h"
#include "common/finans/rente360.h"

namespace mirvo::beregning {

namespace {

constexpr double kMaxRentesats = 50.0;

// Fills a not-set 8-bit setting with the profile's default.
void fill(uint8_t& setting, uint8_t value) {
    if (setting == kIkkeSatt) setting = value;
}

}  // namespace

endringtype endringtype::nyEndringslinje() const {
    endringtype next = *this;
    next.forfallsdato = Datorec();
    next.avdragsforfall = Datorec();
    next.endringsdato = Datorec();
    next.endringsrdato = 0;
    next.xordinb = 0;
    next.xordutb = 0;
    next.endromk = 0;
    next.terminbelop = 0;
    next.terminbelopAngitt = false;
    next.erEndring = true;
    return next;
}

TLaanDef::TLaanDef() {
    using kavelin::finans::Dager360;
    FMaxLoepetid = 50 * Dager360(Datorec::ymd(1996, 2, 2), Datorec::ymd(1995, 2, 2));
    renterdiskontdag = true;
    reset();
}

void TLaanDef::reset() {
    NBLN = NBLNrectype{};
    plEnr = 0;
    DriftsSystem = kIkkeSatt;
    visForlopEndring = true;
    avdragfrisomserie = true;
    renteDesimalOpploesning = -1;
    RntRndFaktor = 0;
    TermbelRndFaktor = 0;
    Trapperentetype = kIkkeSatt;
    renteAvrunding = kIkkeSatt;
    termbelAvrunding = kIkkeSatt;
    restBehandles = kIkkeSatt;
    NBLN.nlf.IFO.AnnuitetTermKorr = kIkkeSatt;
    NBLN.nlf.IFO.lopendelaan = kIkkeSatt;
    forfall_31 = kIkkeSatt;
    relativKapitPer = kIkkeSatt;
    lopetidRelativForfall = kIkkeSatt;
    annuitetBeregnType = kIkkeSatt;
    termbelopReberegnHverTermin = kIkkeSatt;
    provisjon_i_termbelop = kIkkeSatt;
    kapitetablgb = kIkkeSatt;
}

bool TLaanDef::harTrinnEllerDeler(double lbelop2, double lbelop3) const {
    const auto& rente = EL(plEnr).rente;
    return rente[1].grense != 0 || rente[2].grense != 0 || lbelop2 != 0 || lbelop3 != 0;
}

void TLaanDef::resolveSettings(bool stepped, bool serial) {
    const bool dn = DriftsSystem == uint8_t(TDriftsSystem::Dn);
    if (DriftsSystem != uint8_t(TDriftsSystem::TeFd) && !dn) {
        // Only an error if some default is actually needed.
        const bool needed =
            NBLN.nlf.IFO.AnnuitetTermKorr == kIkkeSatt || restBehandles == kIkkeSatt ||
            relativKapitPer == kIkkeSatt || provisjon_i_termbelop == kIkkeSatt ||
            renteDesimalOpploesning == -1 || renteAvrunding == kIkkeSatt || RntRndFaktor == 0 ||
            TermbelRndFaktor == 0 || termbelAvrunding == kIkkeSatt || forfall_31 == kIkkeSatt ||
            lopetidRelativForfall == kIkkeSatt || annuitetBeregnType == kIkkeSatt ||
            termbelopReberegnHverTermin == kIkkeSatt || Trapperentetype == kIkkeSatt ||
            Innfrielsesfaktor == 0 || kapitetablgb == kIkkeSatt;
        if (needed) throw ECalcError(409);
        return;
    }
    fill(NBLN.nlf.IFO.AnnuitetTermKorr, dn ? 2 : 1);
    fill(restBehandles, dn ? 0 : 1);
    fill(relativKapitPer, dn ? 1 : 0);
    fill(provisjon_i_termbelop, dn ? 1 : 0);
    if (renteDesimalOpploesning == -1) renteDesimalOpploesning = 65535;
    fill(renteAvrunding, dn ? 1 : 0);
    if (RntRndFaktor == 0) RntRndFaktor = dn ? 0.01 : 1.0;
    if (TermbelRndFaktor == 0) TermbelRndFaktor = 1.0;
    if (dn)
        fill(termbelAvrunding, stepped ? (serial ? 1 : 2) : (serial ? 0 : 1));
    else
        fill(termbelAvrunding, serial ? 2 : 1);
    fill(forfall_31, 1);
    fill(lopetidRelativForfall, 0);
    fill(annuitetBeregnType, dn && stepped ? 1 : 0);
    fill(termbelopReberegnHverTermin, dn && stepped && !serial ? 1 : 0);
    fill(Trapperentetype, dn ? 2 : 0);
    if (Innfrielsesfaktor == 0) Innfrielsesfaktor = 1.1;
    fill(kapitetablgb, 0);
}

uint16_t TLaanDef::Feilkontroll(int k) const {
    const initforutstype& ifo = IFO();
    const endringtype& el = EL(k);

    if (el.laanetype == 0) return 118;
    if (ifo.laanebeloep == 0) return 100;
    if (el.rente[0].sats > kMaxRentesats) return 102;
    if (el.rente[1].sats > kMaxRentesats) return 105;
    if (el.rente[2].sats > kMaxRentesats) return 106;
    if (el.termlengde == 0) return 103;
    if (el.kapitperiode == 0 && (el.laanetype & laanetyper::kSeparatKapit)) return 104;

    if (el.innfrielsesdato.L != 0) {
        if (kavelin::finans::Dager360(el.innfrielsesdato, ifo.diskontdato) > FMaxLoepetid) return 110;
    } else if (el.terminbelop == 0 && k == 0 && ifo.loepetid == 0) {
        if (el.endringsdato.L == 0 || el.endringsdato.L > el.forfallsdato.L) return 113;
    }

    const double garantiProv = std::nearbyint(ifo.rntGarantiProvPrsnt * ifo.laanebeloep / 100);
    if (ifo.laanebeloep <= garantiProv + ifo.etablgebyr + ifo.depotgebyr) return 115;

    if (el.forfallsdato.L == 0) return 220;
    if (el.forfallsdato.L < ifo.diskontdato.L) return 116;
    if (ifo.diskontdato.L == 0) return 119;

    if (ifo.rntGarantiTilDato.L != 0 && ifo.rntGarantiTilDato.L <= ifo.diskontdato.L) return 223;
    return 0;
}

}  // namespace mirvo::beregning

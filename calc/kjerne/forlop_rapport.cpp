#include "calc/kjerne/forlop_rapport.h"

#include <cmath>

#include "calc/errors/calc_errors.h"

namespace mirvo::beregning {

using kavelin::finans::TPeriodFmtOption;

namespace {
bool naerNull(double v) { return std::fabs(v) <= 0.0001; }
}  // namespace

TForlopMottaker::TForlopMottaker(TForlopRapport& rapport, Skriver skriv)
    : TRadMottaker(skriv == &TForlopRapport::skrivIngenting ? TUtvalg::SluttTall : TUtvalg::Alle),
      FRapport(rapport),
      FSkriv(skriv) {}

void TForlopMottaker::rad(int radtype, TWordDate dato, const utrectype& r, const saldoar& s) {
    // Without a layout only the totals and snapshots are kept.
    if (FSkriv == &TForlopRapport::skrivIngenting) return FRapport.merkTall(radtype, r);
    utrectype vist = r;
    if (!FRapport.filtrer(radtype, vist)) return;
    (FRapport.*FSkriv)(radtype, dato, vist, s);
}

TForlopRapport::TForlopRapport() : writer(this) {}

// ---- output -----------------------------------------------------------------

void TForlopRapport::startOutput(char16_t* buffer, ptrdiff_t size) {
    writer.initDestBuffer(buffer, size);
    writer.bgnArrayOutput();
}

void TForlopRapport::endOutput() { writer.endArrayOutput(); }

int TForlopRapport::getOutputDecimalCount() const {
    return (RntRndFaktor < 1 || TermbelRndFaktor < 1) ? 2 : 0;
}

TPeriodFmtOption TForlopRapport::getPeriodFmtOption(bool formatted) const {
    if (formatted) return mode.FId == 1 ? kavelin::finans::pfText_en : kavelin::finans::pfText_no;
    return mode.FId == 1 ? kavelin::finans::pfSystem_en : kavelin::finans::pfSystem_no;
}

// ---- filter and kinds -------------------------------------------------------

bool TForlopRapport::filtrer(int radtype, utrectype& r) {
    const bool aarOensket = aarsteljar > 0;
    switch (radtype) {
        case trt::kApning:
            return aarOensket && r.renter + r.plrenteJustering + r.provisjon != 0;
        case trt::kApningsSaldo:
            return true;
        case trt::kOppgjor:
            if (r.innb < 0) r.innb = 0;
            return aarOensket && (r.innb > 0 || r.renter != 0 || r.provisjon != 0);
        case trt::kKapitalisering:
            if (!aarOensket) return false;
            r.innb = 0;
            r.avdrag = 0;
            return true;
        case trt::kGarantiJustering:
            return aarOensket;
        case trt::kAarsslutt:
        case trt::kLaaneaarSlutt:
            return true;
        case trt::kEkstra:
            if (r.innb < 0) r.innb = 0;
            return aarOensket && LocEndringnr != 0;
        case trt::kTotal:
            merkTall(radtype, r);
            return true;
        case trt::kObsFoer:
        case trt::kObsEtter:
            merkTall(radtype, r);
            return false;
        default:
            return false;
    }
}

void TForlopRapport::merkTall(int radtype, const utrectype& r) {
    switch (radtype) {
        case trt::kTotal:
            totsumINNB = r.innb;
            totsumRNT = r.renter + r.plrenteJustering;
            totsumGB = r.provisjon;
            break;
        case trt::kObsFoer:
        case trt::kObsEtter: {
            TObsData& o = radtype == trt::kObsFoer ? obsBefore : obsAfter;
            o.saldo = r.ksaldo;
            o.renter = r.renter + r.plrenteJustering;
            o.avdrag = r.avdrag;
            o.provisjon = r.provisjon;
            o.plRenter = r.plrenter;
            o.plProvisjon = r.plprovisjon;
            o.NesteRntForf = SR.nestetermindato;
            o.NesteAvdrForf = 0;  // set at the next term with repayment
            break;
        }
        default:
            break;
    }
}

char16_t TForlopRapport::radKode(int radtype, const utrectype& r) const {
    switch (radtype) {
        case trt::kApning: return mode.rc_fee;
        case trt::kApningsSaldo: return mode.rc_open;
        case trt::kOppgjor: return mode.rc_inst;
        case trt::kKapitalisering: return mode.rc_sepCap;
        case trt::kGarantiJustering: return mode.rc_Accr;
        case trt::kAarsslutt: return mode.rc_year;
        case trt::kEkstra:
            if (r.innb > 0) return mode.rc_xPay;
            return visForlopEndring ? mode.rc_change : char16_t(0);
        case trt::kTotal: return mode.rc_total;
        default: return 0;
    }
}

std::u16string_view TForlopRapport::kodeTekst(char16_t kode) {
    switch (kode) {
        case u'D': return u"Utbetaling";
        case u'G': return u"Gebyr";
        case u'T': return u"Innbetaling";
        case u'P': return u"Påløpt";
        case u'K': return u"Kapitalisering";
        case u'E': return u"Endring";
        case u'X': return u"Innbetaling";
        case u'M': return u"Månedssum";
        case u'A': return u"Årssum";
        case u'S': return u"Totalsum";
        default: throw EMirvo("Ukjent rapportkode");
    }
}

// ---- columns ----------------------------------------------------------------

void TForlopRapport::kode(char16_t k) {
    if (formatertOutput)
        writer.addCol(kodeTekst(k));
    else
        writer.addCol(std::u16string_view(&k, 1));
}

void TForlopRapport::dato(TWordDate d) {
    if (d == 0)
        writer.addCol_Null();
    else
        writer.addCol_RDate(d);
}

void TForlopRapport::belop(double v) {
    const int des = getOutputDecimalCount();
    if (separatkapit && naerNull(v)) return writer.addCol_Null();
    if (formatertOutput)
        writer.addCol_Fmt(v, des);
    else
        writer.addCol(v, des);
}

void TForlopRapport::gebyr(double v) {
    if (separatkapit && naerNull(v)) return writer.addCol_Null();
    if (formatertOutput)
        writer.addCol_Fmt(v, 0);
    else
        writer.addCol(v, 0);
}

void TForlopRapport::sats(double v) {
    if (formatertOutput)
        writer.addCol_Fmt(v, 2);
    else
        writer.addCol(v, 2);
}

void TForlopRapport::heltall(int64_t v) {
    if (formatertOutput)
        writer.addCol_Fmt(double(v), 0);
    else
        writer.addCol(v);
}

void TForlopRapport::avdrag(double v) {
    if (separatkapit) return writer.addCol_Null();
    belop(v);
}

// ---- layouts ----------------------------------------------------------------

void TForlopRapport::skrivUtrpndll(int radtype, TWordDate d, const utrectype& r, const saldoar& s) {
    const char16_t k = radKode(radtype, r);
    if (k == 0 || !writer.bgnAddRow()) return;
    kode(k);
    dato(d);
    belop(r.innb);
    belop(r.ksaldo);
    belop(r.renter + r.plrenteJustering);
    gebyr(r.provisjon);
    avdrag(r.avdrag);
    heltall(0);
    sats(s.snittRente);
    writer.endAddRow();
}

void TForlopRapport::skrivV30Forlop(int radtype, TWordDate d, const utrectype& r, const saldoar&) {
    const char16_t k = radKode(radtype, r);
    if (k == 0 || !writer.bgnAddRow()) return;
    kode(k);
    dato(d);
    belop(r.innb);
    belop(r.renter);
    avdrag(r.avdrag);
    gebyr(r.provisjon);
    belop(r.ksaldo);
    writer.endAddRow();
}

void TForlopRapport::skrivV30ForlopNV(int radtype, TWordDate d, const utrectype& r, const saldoar&) {
    switch (radtype) {
        case trt::kApning:
        case trt::kOppgjor:
        case trt::kAarsslutt:
        case trt::kEkstra:
        case trt::kTotal: break;
        default: return;
    }
    const char16_t k = radKode(radtype, r);
    if (k == 0 || !writer.bgnAddRow()) return;
    kode(k);
    dato(d);
    belop(r.innb);
    belop(r.skattfrdr);
    belop(r.innb - r.skattfrdr);
    belop(r.naaverdi);
    writer.endAddRow();
}

void TForlopRapport::skrivV30Aarsum(int radtype, TWordDate d, const utrectype& r, const saldoar&) {
    if (radtype != trt::kAarsslutt || !writer.bgnAddRow()) return;
    dato(d);
    dato(d);
    belop(r.renter);
    avdrag(r.avdrag);
    gebyr(r.provisjon);
    writer.endAddRow();
}

void TForlopRapport::skrivV30Snittrente(int radtype, TWordDate d, const utrectype& r,
                                        const saldoar& s) {
    if (radtype != trt::kAarsslutt || !writer.bgnAddRow()) return;
    if (d == 0)
        writer.addCol_Null();
    else
        writer.addCol_RDate(d, std::u16string_view(u"YYYY"));
    belop(r.innb);
    belop(r.renter);
    belop(r.ksaldo);
    sats(s.snittRente);
    writer.endAddRow();
}

void TForlopRapport::skrivEnhetslan(int radtype, TWordDate d, const utrectype& r, const saldoar&) {
    const char16_t k = radKode(radtype, r);
    if (k == 0 || !writer.bgnAddRow()) return;
    const double b = r.ksaldo;
    const double l2 = MVF_rente[1].grense;
    const double l3 = MVF_rente[2].grense;
    const bool utenTrinn2 = l2 == 0 || l2 > b;
    const double del1 = utenTrinn2 ? b : l2;
    const double del2 = utenTrinn2 ? 0 : ((l3 != 0 && l3 < b) ? l3 - l2 : b - l2);
    const double del3 = (l3 != 0 && l3 <= b) ? b - l3 : 0;
    kode(k);
    dato(d);
    belop(r.renter);
    avdrag(r.avdrag);
    gebyr(r.provisjon);
    belop(r.innb);
    belop(del1);
    belop(del2);
    belop(del3);
    belop(b);
    if (naerNull(r.VeietRente))
        writer.addCol_Null();
    else
        sats(r.VeietRente);
    writer.endAddRow();
}

void TForlopRapport::skrivRelAar(int radtype, TWordDate d, const utrectype& r, const saldoar&) {
    char16_t k = 0;
    if (radtype == trt::kLaaneaarSlutt)
        k = mode.rc_year;
    else if (radtype != trt::kAarsslutt)
        k = radKode(radtype, r);
    if (k == 0 || !writer.bgnAddRow()) return;
    kode(k);
    dato(d);
    belop(r.innb);
    belop(r.ksaldo);
    belop(r.renter);
    gebyr(r.provisjon);
    avdrag(r.avdrag);
    heltall(0);
    writer.endAddRow();
}

}  // namespace mirvo::beregning

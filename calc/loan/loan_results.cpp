// The loan calculator's result identifiers: which preparation each needs and
// how its value or report is written.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "calc/errors/calc_errors.h"
#include "calc/loan/calc_loan.h"
#include "calc/shared/beholde.h"
#include "calc/loan/margin_merge.h"
#include "calc/loan/value_syntax.h"
#include "common/finans/effrente.h"
#include "common/text/casing.h"
#include "common/text/numtext.h"

namespace mirvo::beregning {

using kavelin::finans::TReportFmtMode;
using V = std::u16string_view;

namespace {

constexpr uint16_t kUnknownFunction = 203;
constexpr uint16_t kTermsWithChanges = 415;
constexpr uint16_t kNoJson = 500;
constexpr size_t kPrivateBuffer = 100000;
constexpr int kAlleAar = 99;

bool starts(V s, V prefix) { return s.substr(0, prefix.size()) == prefix; }

bool oneOf(V s, std::initializer_list<V> ids) {
    return std::find(ids.begin(), ids.end(), s) != ids.end();
}

// Pairs a temporary calculator must not inherit: the term, amount and
// instalment are given to it separately.
bool lopetidEllerBelop(V name) {
    for (V p : {V(u"TERMBELOP"), V(u"INSTALMENT"), V(u"LOPETID"), V(u"LOANTERM"), V(u"LBELOP"),
                V(u"LOANAMOUNT")})
        if (starts(name, p)) return true;
    return false;
}

bool harBrok(double v) { return std::fabs(v - std::nearbyint(v)) >= 0.005; }

std::u16string lower(V s) {
    std::u16string out(s);
    for (auto& c : out) {
        if (c >= u'A' && c <= u'Z') c = char16_t(c + 32);
        else if (c == u'Å') c = u'å';
        else if (c == u'Æ') c = u'æ';
        else if (c == u'Ø') c = u'ø';
    }
    return out;
}

}  // namespace

// ---- preparation --------------------------------------------------------------

uint16_t TCalcLoan::kalk() {
    if (NBLN.nlberegna.gyldig) return 0;
    return kalkuler();
}

uint16_t TCalcLoan::kalkOgForlop() {
    if (uint16_t code = kalk()) return code;
    if (NBLN.nlberegna.forlopberegna) return 0;
    uint16_t feil = 0;
    Utlaanrapport(kAlleAar, feil, &utrpNoBuffer);
    if (feil == 0) NBLN.nlberegna.forlopberegna = true;
    return feil;
}

uint16_t TCalcLoan::rapport(TForlopMottaker& mottaker, uint16_t funcParam, const TResultDest& dest) {
    uint16_t feil = 0;
    try {
        startOutput(dest.buffer, dest.buffer ? ptrdiff_t(dest.buffLen) : 0);
        if (!NBLN.nlberegna.gyldig) {
            FRapportIKalk = {&mottaker, funcParam, false};
            feil = kalkuler();
            const bool skrevet = FRapportIKalk.skrevet;
            FRapportIKalk = {};
            if (feil == 0 && !skrevet) Utlaanrapport(funcParam, feil, &mottaker);
        } else {
            Utlaanrapport(funcParam, feil, &mottaker);
        }
        endOutput();
    } catch (...) {
        FRapportIKalk = {};
        dest.clear();
        throw;
    }
    if (feil != 0) dest.clear();
    return feil;
}

// ---- value texts ----------------------------------------------------------------

std::u16string TCalcLoan::tallTekst(double v, int des) const {
    return formatertOutput ? writer.valAsFmtStr(des, v) : writer.valAsStr(des, v);
}

int TCalcLoan::amountDecimals(double v) const {
    int d = getOutputDecimalCount();
    return (d == 0 && harBrok(v)) ? 2 : d;
}

int TCalcLoan::wholeOrCents(double v) const { return harBrok(v) ? 2 : 0; }

std::u16string TCalcLoan::belopTekst(double v, int des) const { return tallTekst(v, des); }

std::u16string TCalcLoan::heltallTekst(int64_t v) const {
    std::u16string s = writer.valAsStr(v);
    if (!formatertOutput) return s;
    size_t start = (!s.empty() && s[0] == u'-') ? 1 : 0;
    for (ptrdiff_t pos = ptrdiff_t(s.size()) - 3; pos > ptrdiff_t(start); pos -= 3)
        s.insert(size_t(pos), 1, writer.thousandSep());
    return s;
}

std::u16string TCalcLoan::datoTekst(Datorec d) const { return writer.datoAsFmtStr(d); }

uint16_t TCalcLoan::skalar(uint16_t kode, const std::u16string& tekst, const TResultDest& dest) {
    if (kode == 0) dest.writeScalar(tekst);
    return kode;
}

// ---- the identifiers ----------------------------------------------------------

uint16_t TCalcLoan::answer(std::u16string_view id, uint16_t funcParam, const TResultDest& dest) {
    const beregnatype& B = NBLN.nlberegna;
    // Output decimals depend on rounding units that preparation resolves.
    auto od = [&] { return getOutputDecimalCount(); };
    auto amount = [&](double v) { return belopTekst(v, amountDecimals(v)); };
    auto medForlop = [&](auto&& tekst) -> uint16_t {
        if (uint16_t code = kalkOgForlop()) return code;
        return skalar(0, tekst(), dest);
    };
    auto medKalk = [&](auto&& tekst) -> uint16_t {
        if (uint16_t code = kalk()) return code;
        return skalar(0, tekst(), dest);
    };

    if (oneOf(id, {u"EFFRNT", u"APR"})) return medForlop([&] { return tallTekst(B.effektivrente, 3); });
    if (oneOf(id, {u"TERMINBELOP", u"INSTALMENT", u"AVDRAG", u"REPAYMENT"}))
        return medForlop([&] { return tallTekst(B.termbelop3, od()); });
    if (oneOf(id, {u"INNBET1", u"PAYMENT1"})) return medForlop([&] { return tallTekst(B.innbet1, od()); });
    if (oneOf(id, {u"INNBET2", u"PAYMENT2"})) return medForlop([&] { return tallTekst(B.innbet2, od()); });
    if (oneOf(id, {u"INFRDTO", u"ENDDATE"})) return medForlop([&] { return datoTekst(B.innfridato); });
    if (oneOf(id, {u"TSUMINNB", u"SUMPAYD"})) return medForlop([&] { return amount(totsumINNB); });
    if (oneOf(id, {u"TSUMRNT", u"SUMINT"})) return medForlop([&] { return amount(totsumRNT); });
    if (oneOf(id, {u"LOPETID", u"LOANTERM"})) return lopetid(dest);
    if (oneOf(id, {u"TSUMGB", u"SUMFEE"})) return medForlop([&] { return tallTekst(totsumGB, od()); });
    if (oneOf(id, {u"TOTANTTERM", u"INSTCOUNT"})) return medKalk([&] { return heltallTekst(totantterm); });
    if (oneOf(id, {u"SNITTRNT1", u"AVGINTRATE1"})) return medForlop([&] { return tallTekst(B.snittrente1, 3); });
    if (oneOf(id, {u"LBELOP", u"LOANAMOUNT"}))
        return medForlop([&] { return tallTekst(B.lbelop, wholeOrCents(B.lbelop)); });
    if (oneOf(id, {u"NBPLAN", u"SCHEDULE"})) return rapport(v30Forlop, funcParam, dest);
    if (oneOf(id, {u"NBPLAN_SR", u"SCHEDULE_AIR"})) return snittrentePlan(funcParam, dest);
    if (oneOf(id, {u"NBPLAN_NV", u"SCHEDULE_PV"})) return naaverdiPlan(funcParam, dest);
    if (oneOf(id, {u"NBPLAN_REL", u"SCHEDULE_REL"})) return rapport(RelAarsRapport, funcParam, dest);
    if (id == u"OSUM_BRNT") return medForlop([&] { return amount(obsAfter.renter); });
    if (id == u"OSUM_PRNT")
        return medForlop([&] { return amount(obsAfter.plRenter.belop + obsAfter.plRenter.rest); });
    if (id == u"OSUM_BPROV") return medForlop([&] { return tallTekst(obsAfter.provisjon, od()); });
    if (id == u"OSUM_PPROV") return medForlop([&] { return tallTekst(obsAfter.plProvisjon, od()); });
    if (id == u"OSUM_AVDR") return medForlop([&] { return amount(obsAfter.avdrag); });
    if (id == u"OBS") return obsLinje(obsAfter, dest);
    if (id == u"OBS_PRE") return obsLinje(obsBefore, dest);
    if (starts(id, u"RB_")) return rentemargin(id.substr(3), funcParam, dest);
    if (starts(id, u"IRB_")) return rentemargin(id.substr(4), funcParam, dest);
    if (oneOf(id, {u"TERMBELOPVSLOPETID", u"INST_VS_TERM"})) return alternativeTerminer(dest);
    if (oneOf(id, {u"VERSJON", u"VERSION"})) return skalar(0, u"3.00", dest);
    if (starts(id, u"INSTVSTERM_LN")) return alternativLinje(dest);
    if (id == u"APR_REPORT") return aprRapport(dest);
    if (id == u"NETTOLBELOP")
        return medForlop([&] {
            double netto = B.lbelop;
            if (kapitetablgb == 2) {
                const auto& f = IFO();
                double rabatt = f.underkurs != 0 ? std::nearbyint((100 - f.underkurs) * B.lbelop / 100) : 0;
                netto = B.lbelop - f.etablgebyr - f.offentligGb - rabatt;
            }
            return tallTekst(netto, wholeOrCents(netto));
        });
    if (oneOf(id, {u"REALRNT", u"APR_PV"})) return realRente(dest);
    if (oneOf(id, {u"GARPROV", u"IRGFEE"}))
        return medForlop([&] {
            double g = std::nearbyint(IFO().rntGarantiProvPrsnt / 100 * IFO().laanebeloep);
            return tallTekst(g, wholeOrCents(g));
        });
    if (starts(id, u"EFFRNT")) return rammeEffRente(id.substr(6), dest);
    if (starts(id, u"APR")) return rammeEffRente(id.substr(3), dest);
    if (id == u"FORLOP") return rapport(utrpndll, funcParam, dest);
    if (id == u"FORLOPENH") return rapport(enhetslanrapp, funcParam, dest);
    if (id == u"FORLOPV30") return rapport(v30Forlop, funcParam, dest);
    if (id == u"RPSNRNT") return snittrentePlan(funcParam, dest);
    if (id == u"FORLOPR") return rapport(RelAarsRapport, funcParam, dest);
    if (id == u"TERMBELOP") return medForlop([&] { return tallTekst(B.terminbelop1, od()); });
    if (id == u"TERMBELOP2") return medForlop([&] { return tallTekst(B.termbelop2, od()); });
    if (id == u"TERMBELOP3") return medForlop([&] { return tallTekst(B.termbelop3, od()); });
    if (id == u"FORLOPNV") return naaverdiPlan(funcParam, dest);
    if (id == u"AARSSUMMER") return rapport(v30Aarsum, funcParam, dest);
    if (id == u"TOTSUM")
        return medForlop([&] { return writer.makelineOfColumns({amount(totsumINNB), amount(totsumRNT)}); });
    if (id == u"PREOBS") return obsLinje(obsBefore, dest);
    if (id == u"POSTOBS") return obsLinje(obsAfter, dest);
    if (id == u"12MND") return tolvMnd(dest);
    if (id == u"12MNDBRNT" || id == u"POSTOBS.SUMRNT") return answer(u"OSUM_BRNT", funcParam, dest);
    if (id == u"12MNDBPROV") return answer(u"OSUM_BPROV", funcParam, dest);
    if (id == u"12MNDPRNT") return answer(u"OSUM_PRNT", funcParam, dest);
    if (id == u"12MNDPPROV") return answer(u"OSUM_PPROV", funcParam, dest);
    if (id == u"12MNDAVDRAG") return answer(u"OSUM_AVDR", funcParam, dest);
    if (starts(id, u"M")) return rentemargin(id.substr(1), funcParam, dest);
    return kUnknownFunction;
}

// ---- single results with their own rules -------------------------------------

uint16_t TCalcLoan::lopetid(const TResultDest& dest) {
    if (uint16_t code = kalkOgForlop()) return code;
    Datorec fra = IFO().diskontdato;
    if (lopetidRelativForfall == 1) {
        const endringtype& l0 = EL(0);
        fra = RDato2Dato(AddrMndr(-(l0.termlengde / 30), Dato2RDato(l0.forfallsdato)));
    }
    return skalar(0, writer.periodeAsFmtStr(fra, NBLN.nlberegna.innfridato,
                                           getPeriodFmtOption(formatertOutput)),
                  dest);
}

uint16_t TCalcLoan::rammeEffRente(std::u16string_view rest, const TResultDest& dest) {
    auto u = verdi::integer(rest);
    if (rest.empty() || !u || *u < 10 || *u > 100 || *u % 10 != 0) return kUnknownFunction;
    if (uint16_t code = kalkOgForlop()) return code;
    return skalar(0, tallTekst(NBLN.nlberegna.rammelnEffrnt[size_t(*u / 10 - 1)], 3), dest);
}

uint16_t TCalcLoan::obsLinje(const TObsData& o, const TResultDest& dest) {
    if (uint16_t code = kalkOgForlop()) return code;
    const int od = getOutputDecimalCount();
    auto amount = [&](double v) { return belopTekst(v, amountDecimals(v)); };
    auto rdato = [&](TWordDate d) { return d == 0 ? writer.nullStr() : writer.rdatoAsFmtStr(d); };
    const double paaloept = o.plRenter.belop + o.plRenter.rest - o.renter;
    std::vector<std::u16string> cols{
        amount(o.saldo),
        amount(o.renter),
        amount(o.avdrag),
        tallTekst(o.provisjon, od),
        amount(paaloept),
        rdato(o.NesteRntForf),
        rdato(o.NesteAvdrForf),
        amount(o.nesteInnbet),
        writer.checkQuoted(o.nesteInnbetAvdrFri ? mode.yes : mode.no),
        tallTekst(o.NesteTermBelop, od),
    };
    return skalar(0, writer.makelineOfColumns(cols), dest);
}

uint16_t TCalcLoan::tolvMnd(const TResultDest& dest) {
    if (uint16_t code = kalkOgForlop()) return code;
    const int od = getOutputDecimalCount();
    auto amount = [&](double v) { return belopTekst(v, amountDecimals(v)); };
    const double plRenter = obsAfter.plRenter.belop + obsAfter.plRenter.rest;
    std::u16string b = writer.makelineOfColumns(
        {writer.checkQuoted(u"B"), amount(obsAfter.renter), tallTekst(obsAfter.provisjon, od)});
    std::u16string p = writer.makelineOfColumns(
        {writer.checkQuoted(u"P"), amount(plRenter), tallTekst(obsAfter.plProvisjon, od)});
    std::u16string text = writer.mode() == TReportFmtMode::rmJSON ? u"[" + b + u"," + p + u"]"
                                                                  : b + u"\n" + p;
    return skalar(0, text, dest);
}

uint16_t TCalcLoan::aprRapport(const TResultDest& dest) {
    if (uint16_t code = kalkOgForlop()) return code;
    if (!dest.usable()) return 0;
    int feil = 0;
    // A listing that does not fit stops like any report; the code stays 0.
    LagEffrenteKontrollRapport(dest.buffer, dest.buffLen, feil);
    return 0;
}

// ---- reports with their own rules ---------------------------------------------

uint16_t TCalcLoan::snittrentePlan(uint16_t funcParam, const TResultDest& dest) {
    bool harTrinn = false;
    for (int k = 0; k <= plEnr; ++k)
        harTrinn = harTrinn || EL(k).rente[1].sats != 0 || EL(k).rente[2].sats != 0;
    const bool deler = FExtInputs.laanebelop[1] != 0 || FExtInputs.laanebelop[2] != 0;
    if (deler || !harTrinn) {
        if (uint16_t code = kalk()) return code;
        startOutput(dest.buffer, dest.buffer ? ptrdiff_t(dest.buffLen) : 0);
        endOutput();
        return 0;
    }
    return rapport(v30Snittrente, funcParam, dest);
}

uint16_t TCalcLoan::naaverdiPlan(uint16_t funcParam, const TResultDest& dest) {
    Beholde<bool> nv(BeregnNaaverdi, true);
    return rapport(v30ForlopNV, funcParam, dest);
}

// The real rate: the effective rate of the present values of the fee and
// term rows of the present-value schedule.
uint16_t TCalcLoan::realRente(const TResultDest& dest) {
    if (uint16_t code = kalk()) return code;

    class Samler final : public mirvo::beregning::TRadMottaker {
    public:
        explicit Samler(TCalcLoan& l) : L(l) {}
        void rad(int radtype, TWordDate dato, const utrectype& r, const saldoar&) override {
            utrectype vist = r;
            if (!L.filtrer(radtype, vist)) return;
            const char16_t k = L.radKode(radtype, vist);
            if (k != L.mode.rc_fee && k != L.mode.rc_inst) return;
            const double skala = std::pow(10.0, L.getOutputDecimalCount());
            flyt.emplace_back(L.RDato2Dato(dato), std::nearbyint(vist.naaverdi * skala) / skala);
        }
        TCalcLoan& L;
        std::vector<std::pair<Datorec, double>> flyt;
    } samler(*this);

    uint16_t feil = 0;
    {
        Beholde<bool> nv(BeregnNaaverdi, true);
        Utlaanrapport(kAlleAar, feil, &samler);
    }
    if (feil != 0) return feil;

    kavelin::finans::TEffRente er;
    er.BgnEffRntCalc(1200);
    er.inserec(IFO().diskontdato, -IFO().laanebeloep);
    for (size_t i = 0; i < samler.flyt.size() && i + 1 < 1200; ++i)
        er.inserec(samler.flyt[i].first, samler.flyt[i].second);
    double rate = 0;
    if (!er.beregnEffRente(rate)) rate = std::nan("");
    return skalar(0, std::isnan(rate) ? writer.nullStr() : tallTekst(rate, 3), dest);
}

// ---- terms against term amounts -----------------------------------------------

std::unique_ptr<TCalcLoan> TCalcLoan::nyKalkulator() const {
    auto c = kavelin::finans::TRntDato::create<TCalcLoan>();
    c->writer.Setmode(writer.mode());
    c->mode = mode;
    c->formatertOutput = formatertOutput;
    c->writer.SetdateFmt(writer.dateFmt());
    return c;
}

uint16_t TCalcLoan::alternativLinje(const TResultDest& dest) {
    std::vector<std::u16string> cols{writer.checkQuoted(lower(FInputs.getValueByID(u"LOPETID")))};
    // After the first failing result the remaining columns are null.
    bool feilet = false;
    for (V id : {V(u"TERMBELOP3"), V(u"TSUMRNT"), V(u"TSUMINNB")}) {
        std::u16string t;
        feilet = feilet || GetResult(id, 0, t) != 0;
        cols.push_back(feilet ? writer.nullStr() : t);
    }
    uint16_t feil = feilet ? 1 : kalk();
    if (feil == 0) {
        Beholde<bool> nv(BeregnNaaverdi, true);
        Utlaanrapport(kAlleAar, feil, &utrpNoBuffer);
    }
    cols.push_back(feil != 0 ? writer.nullStr() : belopTekst(sum.naaverdi, amountDecimals(sum.naaverdi)));
    return skalar(0, writer.makelineOfColumns(cols), dest);
}

uint16_t TCalcLoan::alternativeTerminer(const TResultDest& dest) {
    if (uint16_t code = kalk()) return code;
    for (int k = 1; k <= plEnr; ++k)
        if (EL(k).erEndring && !EL(k).automatiskEndring) return kTermsWithChanges;

    int dager = 0, mnd = 0, aar = 0;
    calcTidsrom(IFO().diskontdato, NBLN.nlberegna.innfridato, dager, mnd, aar);
    const double x = aar + mnd / 12.0 + dager / 365.0;
    int steg, fra, til;
    if (x > 4) {
        const int r = int(std::nearbyint(x));
        steg = 12;
        fra = std::max(1, r - 10) * 12;
        til = std::min(r + 10, 35) * 12;
    } else {
        steg = x > 2 ? 6 : (x >= 1 ? 3 : 1);
        fra = steg;
        til = 24 * steg;
    }

    const double lbelop = IFO().laanebeloep;
    std::u16string belopTxt = kavelin::text::fixedText(lbelop, harBrok(lbelop) ? 2 : 0, u',');
    startOutput(dest.buffer, dest.buffer ? ptrdiff_t(dest.buffLen) : 0);
    std::u16string forrige;
    for (int t = fra; t <= til; t += steg) {
        auto c = nyKalkulator();
        for (int i = 0; i < FInputs.count(); ++i) {
            if (lopetidEllerBelop(FInputs.getName(i))) continue;
            c->InputPairAlt(FInputs.getName(i), FInputs.getValueFromIndex(i));
        }
        // The term reader takes no blank between a number and its unit.
        std::u16string txt = kavelin::text::intText(t / 12) + u"ÅR";
        if (!(steg == 12 && t % 12 == 0)) txt += u" " + kavelin::text::intText(t % 12) + u"MND";
        c->InputPairAlt(u"LOPETID", txt);
        c->InputPairAlt(u"LBELOP", belopTxt);
        std::u16string rad;
        if (c->GetResult(u"INSTVSTERM_LN", 0, rad) != 0 || rad == forrige) continue;
        writer.addRow(rad);
        forrige = rad;
    }
    endOutput();
    return 0;
}

// ---- interest-margin comparison ----------------------------------------------

uint16_t TCalcLoan::byggMarginKlone() {
    // Term and payoff date of the loan up to the end of every segment.
    const int marks = FInputs.bookmarkCount();
    std::vector<std::pair<std::u16string, std::u16string>> slutt(size_t(std::max(marks, 1)));
    auto unquote = [](std::u16string s) {
        if (s.size() >= 2 && s.front() == u'"' && s.back() == u'"') s = s.substr(1, s.size() - 2);
        return s;
    };
    Beholde<bool> raa(formatertOutput, false);
    for (int b = 0; b < marks; ++b) {
        TCalcLoan* kilde = this;
        std::unique_ptr<TCalcLoan> del;
        if (b + 1 < marks) {
            del = nyKalkulator();
            del->formatertOutput = false;
            for (int i = 0; i < FInputs.getBookmark(b + 1).atIndex; ++i)
                del->InputPairAlt(FInputs.getName(i), FInputs.getValueFromIndex(i));
            kilde = del.get();
        }
        std::u16string lop, infr;
        if (uint16_t code = kilde->GetResult(u"LOPETID", 0, lop)) return code;
        if (uint16_t code = kilde->GetResult(u"INFRDTO", 0, infr)) return code;
        slutt[size_t(b)] = {unquote(lop), unquote(infr)};
        FInputs.putBookmarkTags(b, slutt[size_t(b)].first, slutt[size_t(b)].second);
    }

    auto klone = kavelin::finans::TRntDato::create<TCalcLoan>();
    klone->writer.Setmode(writer.mode());
    klone->mode = mode;
    klone->writer.SetdateFmt(writer.dateFmt());
    const double lbelop = IFO().laanebeloep;
    const std::u16string belopTxt = kavelin::text::fixedText(lbelop, harBrok(lbelop) ? 2 : 0, u',');
    auto lukk = [&](int seg) {
        if (seg == 0) {
            klone->InputPairAlt(u"LOPETID", slutt[0].first);
            klone->InputPairAlt(u"LBELOP", belopTxt);
        } else {
            klone->InputPairAlt(u"CLOSEDATE", slutt[size_t(seg)].second);
        }
    };
    int seg = 0;
    for (int i = 0; i < FInputs.count(); ++i) {
        if (seg + 1 < marks && i == FInputs.getBookmark(seg + 1).atIndex) lukk(seg++);
        V name = FInputs.getName(i);
        V value = FInputs.getValueFromIndex(i);
        if (lopetidEllerBelop(name)) continue;
        if (starts(name, u"RNTSATS") || starts(name, u"INTRATE")) {
            auto n = verdi::number(value);
            if (n) {
                klone->InputPairAlt(name, kavelin::text::fixedText(*n + IFO().rentemargin, 3,
                                                                   writer.decimalSep()));
                continue;
            }
        }
        klone->InputPairAlt(name, value);
    }
    lukk(seg);
    FRntMrgKlone = std::move(klone);
    return 0;
}

uint16_t TCalcLoan::rentemargin(std::u16string_view plan, uint16_t funcParam, const TResultDest& dest) {
    const bool medNokkel = oneOf(plan, {u"NBPLAN", u"SCHEDULE", u"NBPLAN_SR", u"SCHEDULE_AIR", u"FORLOP",
                                        u"FORLOPV30"});
    if (!medNokkel && !oneOf(plan, {u"NBPLAN_NV", u"SCHEDULE_PV", u"FORLOPNV"})) return kUnknownFunction;
    if (writer.mode() == TReportFmtMode::rmJSON) return kNoJson;
    // The average-rate layout has no kind or date: its year alone identifies a row.
    const bool bareAar = oneOf(plan, {u"NBPLAN_SR", u"SCHEDULE_AIR"});
    if (uint16_t code = kalk()) return code;

    std::u16string base(kPrivateBuffer, u'\0');
    if (uint16_t code = answer(plan, funcParam, TResultDest{base.data(), uint32_t(base.size())}))
        return code;
    base.resize(std::char_traits<char16_t>::length(base.c_str()));

    if (!FRntMrgKlone) {
        if (uint16_t code = byggMarginKlone()) {
            FKodeFraKlone = true;
            return code;
        }
    }
    std::u16string klone;
    FRntMrgKlone->formatertOutput = formatertOutput;
    uint16_t code = FRntMrgKlone->GetResult(plan, funcParam, klone);
    FRntMrgKlone->formatertOutput = false;
    if (code != 0) {
        FKodeFraKlone = true;
        return code;
    }

    TMarginFletting valg;
    valg.identKolonner = bareAar ? 1 : 2;
    valg.nokkelKolonne = medNokkel ? 5 : -1;
    valg.formatert = formatertOutput;
    std::u16string ut;
    if (uint16_t feil = flettMarginRader(base, klone, valg, writer, dest.buffLen, ut)) return feil;
    dest.writeScalar(ut);
    return 0;
}

}  // namespace mirvo::beregning

#include "calc/portfolio/portfolio.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "calc/loan/calc_loan.h"
#include "calc/loan/value_syntax.h"
#include "common/text/casing.h"
#include "common/utils/dates.h"

namespace mirvo::beregning {

using kavelin::finans::Datorec;
using kavelin::finans::TReportFmtMode;
using V = std::u16string_view;

namespace {

constexpr uint16_t kUnknownFunction = 203;
constexpr size_t kInitialCapacity = 20;
constexpr uint32_t kSumBuffer = 30;
constexpr uint32_t kDateBuffer = 20;
constexpr int kPaymentsPerLoan = 1200;
constexpr double kNull = 1e-12;

bool starts(V s, V prefix) { return s.substr(0, prefix.size()) == prefix; }

bool oneOf(V s, std::initializer_list<V> ids) {
    return std::find(ids.begin(), ids.end(), s) != ids.end();
}

// A loan's answer into a private buffer of `cap` characters.
uint16_t spoer(TCalcLoan& loan, V funcID, uint32_t cap, std::u16string& text) {
    std::u16string buf(cap, u'\0');
    uint16_t code = loan.getResult(funcID, 0, TResultDest{buf.data(), cap});
    text = code == 0 ? std::u16string(buf.c_str()) : std::u16string();
    return code;
}

}  // namespace

TPortfolio::TPortfolio() : FWriter(this) {
    InitRntDato(365, true);
    FLoans.reserve(kInitialCapacity);
    FWriter.Setmode(TReportFmtMode::rmClassic);
}

TPortfolio::~TPortfolio() = default;

void TPortfolio::add(TCalcLoan* loan) {
    FLoans.push_back(loan);
    FPrepared = false;
    // A stream built before would leave the new loan out.
    FEffRnt.reset();
}

void TPortfolio::oppdaterAntDes() {
    FRapportAntDes = 0;
    for (const TCalcLoan* l : FLoans) FRapportAntDes = std::max(FRapportAntDes, l->getOutputDecimalCount());
}

void TPortfolio::prepare() {
    if (FPrepared) return;
    if (!FLoans.empty()) {
        FMode = FLoans.front()->mode;
        FWriter.SetdateFmt(FLoans.front()->getOutputDateFmt());
    }
    for (TCalcLoan* l : FLoans) l->initReportMode(TReportFmtMode::rmClassic);
    oppdaterAntDes();
    sammenlignDatoer();
    if (FSammeDskOgForf)
        for (TCalcLoan* l : FLoans) l->observeringsDato = l->EL(0).forfallsdato;
    FPrepared = true;
}

void TPortfolio::sammenlignDatoer() {
    FSammeDskOgForf = true;
    FSammeTermin = true;
    for (size_t i = 1; i < FLoans.size(); ++i) {
        const TCalcLoan& a = *FLoans[i - 1];
        const TCalcLoan& b = *FLoans[i];
        FSammeDskOgForf = FSammeDskOgForf && a.IFO().diskontdato == b.IFO().diskontdato &&
                          a.EL(0).forfallsdato == b.EL(0).forfallsdato;
        FSammeTermin = FSammeTermin && a.EL(0).termlengde == b.EL(0).termlengde;
    }
}

uint16_t TPortfolio::getResult(std::u16string_view funcID, uint16_t funcParam,
                               const TResultDest& dest) {
    dest.clear();
    const std::u16string id = kavelin::text::upperCase(funcID);
    prepare();
    if (FErr == 0) answer(id, funcParam, dest);
    return FErr;
}

// ---- the identifiers ----------------------------------------------------------

void TPortfolio::answer(std::u16string_view id, uint16_t funcParam, const TResultDest& dest) {
    auto summen = [&] {
        double total = 0;
        if (sum(id, total)) dest.writeScalar(belopTekst(total));
    };

    if (oneOf(id, {u"EFFRNT", u"APR"})) {
        double rate = 0;
        if (!effRente(rate)) return;
        if (std::isnan(rate)) dest.writeScalar(u"NAN");
        else dest.writeScalar(std::fabs(rate) <= kNull ? FWriter.nullStr() : FWriter.valAsStr(3, rate));
    } else if (oneOf(id, {u"INFRDTO", u"ENDDATE"})) {
        Datorec e;
        if (!sisteInnfrielse(e)) return;
        dest.writeScalar(e.L == 0 ? FWriter.nullStr() : FWriter.datoAsFmtStr(e));
    } else if (oneOf(id, {u"LOPETID", u"LOANTERM"})) {
        Datorec e;
        if (!sisteInnfrielse(e) || FLoans.empty()) return;
        Datorec fra;
        for (const TCalcLoan* l : FLoans) fra = kavelin::finans::minDato(fra, l->IFO().diskontdato);
        const TCalcLoan& first = *FLoans.front();
        dest.writeScalar(first.periodToStr(fra, e, first.getPeriodFmtOption(FFormatertOutput)));
    } else if (oneOf(id, {u"SNITTRNT1", u"AVGINTRATE1"})) {
        double rate = 0;
        if (!snittRente1(rate)) return;
        dest.writeScalar(FWriter.valAsStr(3, rate));
    } else if (oneOf(id, {u"INNBET1", u"PAYMENT1", u"INNBET2", u"PAYMENT2", u"TERMINBELOP",
                          u"INSTALMENT", u"TERMBELOP", u"TERMBELOP2"})) {
        // Term amounts add up only when the loans pay on the same days; the
        // dates are compared again once the loans have calculated.
        double total = 0;
        if (!sum(id, total)) return;
        sammenlignDatoer();
        if (FSammeDskOgForf && FSammeTermin) dest.writeScalar(belopTekst(total));
    } else if (starts(id, u"LBELOP") || id == u"LOANAMOUNT" || starts(id, u"TSUM") ||
               starts(id, u"SUM") || starts(id, u"12MND") || starts(id, u"YSUM")) {
        summen();
    } else if (erPlan(id)) {
        flettetPlan(id, funcParam, dest);
    } else {
        FErr = kUnknownFunction;
    }
}

std::u16string TPortfolio::belopTekst(double v) const {
    if (std::fabs(v) <= kNull) return FWriter.nullStr();
    return FFormatertOutput ? FWriter.valAsFmtStr(FRapportAntDes, v) : FWriter.valAsStr(FRapportAntDes, v);
}

// ---- values over all loans ------------------------------------------------------

bool TPortfolio::sum(std::u16string_view id, double& total) {
    total = 0;
    for (TCalcLoan* l : FLoans) {
        std::u16string t;
        if (uint16_t code = spoer(*l, id, kSumBuffer, t)) {
            fail(code);
            return false;
        }
        // Either decimal separator; an unreadable text counts 0.
        total += verdi::number(t).value_or(0);
    }
    oppdaterAntDes();
    return true;
}

bool TPortfolio::effRente(double& rate) {
    if (!FEffRnt) {
        auto er = std::make_unique<kavelin::finans::TEffRente>();
        er->BgnEffRntCalc(kPaymentsPerLoan * int(FLoans.size()));
        // Each loan's own calculation fills its stream.
        for (TCalcLoan* l : FLoans) {
            std::u16string t;
            if (uint16_t code = spoer(*l, u"EFFRNT", kDateBuffer, t)) {
                fail(code);
                return false;
            }
        }
        // Merge in date order, adding the amounts of equal dates.
        std::vector<int> pos(FLoans.size(), 0);
        while (true) {
            Datorec neste;
            for (size_t i = 0; i < FLoans.size(); ++i) {
                const auto* arr = FLoans[i]->erArr();
                if (arr && pos[i] < arr->numinb()) neste = kavelin::finans::minDato(neste, arr->item(pos[i]).dato);
            }
            if (neste.L == 0) break;
            double belop = 0;
            for (size_t i = 0; i < FLoans.size(); ++i) {
                const auto* arr = FLoans[i]->erArr();
                while (arr && pos[i] < arr->numinb() && arr->item(pos[i]).dato == neste)
                    belop += arr->item(pos[i]++).innbet;
            }
            er->inserec(neste, belop);
        }
        FEffRnt = std::move(er);
    }
    if (!FEffRnt->beregnEffRente(rate, 360)) rate = std::nan("");
    return true;
}

bool TPortfolio::sisteInnfrielse(Datorec& dato) {
    dato = Datorec();
    for (TCalcLoan* l : FLoans) {
        std::u16string t;
        if (uint16_t code = spoer(*l, u"INFRDTO", kDateBuffer, t)) {
            fail(code);
            return false;
        }
        Datorec d;
        if (kavelin::utils::StrTilDato(t, l->getOutputDateFmt(), d)) dato = kavelin::finans::maxDato(dato, d);
    }
    return true;
}

bool TPortfolio::snittRente1(double& rate) {
    // One interest state for all loans, each accruing a year on its amount
    // at its first line's rates. The loans are calculated first so that
    // their amounts, day counts and rounding rules are settled.
    TRenteSaldo s;
    double total = 0;
    for (TCalcLoan* l : FLoans) {
        std::u16string t;
        if (uint16_t code = spoer(*l, u"SNITTRNT1", kSumBuffer, t)) {
            fail(code);
            return false;
        }
        const double belop = l->IFO().laanebeloep;
        total += belop;
        const auto lagret = l->MVF_rente;
        for (size_t i = 0; i < lagret.size(); ++i) {
            l->MVF_rente[i].sats = tusendelsProsent(l->EL(0).rente[i].sats);
            l->MVF_rente[i].grense = i == 0 ? 0 : l->EL(0).rente[i].grense;
        }
        l->reknrente(l->dgpraarx10 / 10, s, belop);
        l->MVF_rente = lagret;
    }
    rate = total == 0 ? 0 : (s.belop + s.rest) * 100 / total;
    return true;
}

}  // namespace mirvo::beregning

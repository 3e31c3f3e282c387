// Loan input: splitting buffers into pairs and applying each keyword.
#include <array>
#include <optional>
#include <string>
#include <unordered_map>

#include "calc/errors/calc_errors.h"
#include "calc/loan/calc_loan.h"
#include "calc/loan/value_syntax.h"
#include "common/finans/rente360.h"
#include "common/text/casing.h"
#include "common/utils/dates.h"
#include "common/utils/error.h"

namespace mirvo::beregning {

namespace {

using V = std::u16string_view;

constexpr uint16_t kOk = 0;
constexpr uint16_t kNoAmount = 100;
constexpr uint16_t kUnknownField = 200;
constexpr uint16_t kBadInput = 201;
constexpr uint16_t kNoChangeDate = 414;
constexpr uint16_t kTooManyChanges = 416;
constexpr uint16_t kChangeWithStructure = 340;
constexpr uint16_t kBadChangeDate = 321;

bool isPairEnd(char16_t c) { return c == u';' || c == u'\r' || c == u'\n'; }
bool isBlankOrControl(char16_t c) { return c <= u' '; }

V trimRight(V s) {
    while (!s.empty() && isBlankOrControl(s.back())) s.remove_suffix(1);
    return s;
}
V trimLeft(V s) {
    while (!s.empty() && isBlankOrControl(s.front())) s.remove_prefix(1);
    return s;
}
V trim(V s) { return trimLeft(trimRight(s)); }

// Reads an integer value into a field of another width; 201 when it does not fit.
template <class T>
uint16_t readCode(V v, T& out, int32_t lo, int32_t hi) {
    auto n = verdi::integer(v);
    if (!n || *n < lo || *n > hi) return kBadInput;
    out = T(*n);
    return kOk;
}

uint16_t readFlag(V v, bool& out) {
    auto b = verdi::yesNo(v);
    if (!b) return kBadInput;
    out = *b;
    return kOk;
}

uint16_t readFlag(V v, uint8_t& out) {
    auto b = verdi::yesNo(v);
    if (!b) return kBadInput;
    out = *b ? 1 : 0;
    return kOk;
}

uint16_t readPeriod(V v, uint16_t& out) {
    uint16_t days = 0;
    if (!kavelin::finans::StrTilDager360(v, days)) return kBadInput;
    out = days;
    return kOk;
}

uint16_t readCount(V v, verdi::Unit unit, int32_t& out) {
    auto n = verdi::countOf(v, unit);
    if (!n) return kBadInput;
    out = *n;
    return kOk;
}

template <class F>
uint16_t readWith(F&& reader, V v, int32_t& out) {
    auto n = reader(v);
    if (!n) return kBadInput;
    out = *n;
    return kOk;
}

// The format that the shape of a first date chooses, or empty.
std::u16string_view formatOfShape(V v) {
    auto at = [&](size_t i, char16_t c) { return v.size() > i && v[i] == c; };
    if (v.size() == 8 && at(2, u'.') && at(5, u'.')) return u"DD.MM.YY";
    if (v.size() == 10 && at(2, u'.') && at(5, u'.')) return u"DD.MM.YYYY";
    if (v.size() == 10 && at(4, u'-') && at(7, u'-')) return u"YYYY-MM-DD";
    if (v.size() == 10 && at(4, u'.') && at(7, u'.')) return u"YYYY.MM.DD";
    return {};
}

}  // namespace

TCalcLoan::TCalcLoan() : FInputs(100) {}
TCalcLoan::~TCalcLoan() = default;

// ---- buffers and pairs ------------------------------------------------------

uint16_t TCalcLoan::Input(std::u16string_view buffer) {
    size_t pos = 0;
    while (pos < buffer.size() && buffer[pos] != 0) {
        size_t end = pos;
        while (end < buffer.size() && buffer[end] != 0 && !isPairEnd(buffer[end])) ++end;
        uint16_t code = handlePair(kavelin::text::upperCase(buffer.substr(pos, end - pos)));
        if (code != kOk) return code;
        pos = end;
        while (pos < buffer.size() && isPairEnd(buffer[pos])) ++pos;
    }
    return kOk;
}

bool TCalcLoan::InputPair(std::u16string_view fld, std::u16string_view val) {
    return InputPairAlt(fld, val) == kOk;
}

uint16_t TCalcLoan::InputPairAlt(std::u16string_view fld, std::u16string_view val) {
    std::u16string pair(fld);
    pair += u'=';
    pair += val;
    return handlePair(kavelin::text::upperCase(pair));
}

uint16_t TCalcLoan::handlePair(std::u16string_view pair) {
    NBLN.nlberegna.gyldig = false;
    NBLN.nlberegna.forlopberegna = false;

    V name = pair;
    V value;
    size_t eq = pair.find(u'=');
    if (eq != V::npos) {
        name = trimRight(pair.substr(0, eq));
        value = trimLeft(pair.substr(eq + 1));
    }
    FInputs.add(std::u16string(name), std::u16string(value));
    if (FInputs.count() == 1) FInputs.putBookMarkOnLastItem();

    uint16_t code = kOk;
    if (value.empty() || value == u"<BLANK>") {
        if (name == u"LBELOP" || name == u"LOANAMOUNT") code = kNoAmount;
        else if (name == u"ENDRDTO" || name == u"CHANGEDATE") code = kNoChangeDate;
    } else {
        code = applyKeyword(name, value);
    }
    if (code != kOk) setCriticalError(code);
    return code;
}

// ---- value readers that touch the writer's settings -------------------------

uint16_t TCalcLoan::readNumber(std::u16string_view value, double& out, bool nonZero) {
    auto n = verdi::number(value);
    if (!n) return kBadInput;
    if (nonZero && *n == 0) return kNoAmount;
    if (!FFmtDecided[1]) {
        if (writer.mode() == kavelin::finans::TReportFmtMode::rmJSON || !writer.hasDefaultDecimalSep()) {
            FFmtDecided[1] = true;
        } else if (char16_t sep = verdi::decimalSeparatorOf(value)) {
            writer.SetdecimalSep(sep);
            FFmtDecided[1] = true;
        }
    }
    out = *n;
    return kOk;
}

uint16_t TCalcLoan::readDate(std::u16string_view value, uint16_t code, Datorec& out) {
    V v = trim(value);
    if (!FFmtDecided[0]) {
        V fmt = formatOfShape(v);
        if (fmt.empty()) return code;
        writer.SetdateFmt(fmt);
        FFmtDecided[0] = true;
    }
    Datorec d;
    // An unsupported format run throws; it becomes a generated code.
    if (!kavelin::utils::StrTilDato(v, writer.dateFmt(), d)) return code;
    if (d.L != 0 && !kavelin::utils::okdato(d)) {
        // Day 1..30 of any month is accepted for the 30/360 convention.
        if (d.FDay() < 0 || d.FDay() > 29 || d.FMnt() < 0 || d.FMnt() > 11) return code;
    }
    out = d;
    return kOk;
}

// ---- change lines -----------------------------------------------------------

uint16_t TCalcLoan::openChangeLine(std::u16string_view value) {
    FInputs.putBookMarkOnLastItem();
    if (IFO().nedbetstrTid != 0) return kChangeWithStructure;
    Datorec date;
    if (uint16_t code = readDate(value, kBadChangeDate, date)) return code;
    if (date.L == 0) return kNoChangeDate;
    if (FError != 0) return kOk;
    return aapneEndringslinje(date);
}

uint16_t TCalcLoan::aapneEndringslinje(Datorec date) {
    if (plEnr >= kMaxEndringer) return kTooManyChanges;
    if (plEnr > 0 && EL(plEnr - 1).endringsdato == date) return kOk;
    TWordDate rdato = 0;
    try {
        rdato = Dato2RDato(date);
    } catch (const kavelin::utils::EDatoUtenforOmraade&) {
        return kBadChangeDate;
    }

    forberedTilEndring(date);
    int prev = plEnr;
    if (FJustertInnfrielseDato.L == 0) ++plEnr;
    EL(prev).endringsdato = date;
    EL(prev).endringsrdato = rdato;
    if (plEnr != prev) EL(plEnr) = EL(prev).nyEndringslinje();
    return kOk;
}


// ---- the keyword table ------------------------------------------------------

uint16_t TCalcLoan::applyKeyword(std::u16string_view name, std::u16string_view v) {
    using Handler = uint16_t (*)(TCalcLoan&, V);
    struct Entry {
        std::array<V, 3> names;
        Handler handle;
    };
    using verdi::Unit;

    static const Entry kTable[] = {
        {{u"MODE"}, [](TCalcLoan& c, V v) -> uint16_t {
             if (v == u"0") c.mode = TRunMode::norsk();
             else if (v == u"1") {
                 c.mode = TRunMode::engelsk();
                 c.writer.Setmode(kavelin::finans::TReportFmtMode::rmNew);
             } else return kBadInput;
             return kOk;
         }},
        {{u"DATOFMT", u"DATEFMT"}, [](TCalcLoan& c, V v) -> uint16_t {
             c.writer.SetdateFmt(v);
             c.FFmtDecided[0] = true;
             return kOk;
         }},
        {{u"DRIFTSSYS", u"CFGSET"}, [](TCalcLoan& c, V v) -> uint16_t {
             if (v == u"TE" || v == u"FD") c.DriftsSystem = 0;
             else if (v == u"DN") c.DriftsSystem = 1;
             else return 409;
             return kOk;
         }},
        {{u"LNTYPE", u"LOANTYPE"}, [](TCalcLoan& c, V v) -> uint16_t {
             if (v == u"ANNUITET" || v == u"ANNUITY" || v == u"A") c.line().laanetype = laanetyper::kAnnuitet;
             else if (v == u"SERIE" || v == u"SERIAL" || v == u"S") c.line().laanetype = laanetyper::kSerie;
             else return 117;
             return kOk;
         }},
        {{u"LBELOP", u"LOANAMOUNT"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.FExtInputs.laanebelop[0], true); }},
        {{u"LBELOP2", u"LOANAMOUNT2"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.FExtInputs.laanebelop[1]); }},
        {{u"LBELOP3", u"LOANAMOUNT3"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.FExtInputs.laanebelop[2]); }},
        {{u"LOPETID", u"LOANTERM"}, [](TCalcLoan& c, V v) { return readPeriod(v, c.IFO().loepetid); }},
        {{u"LOPETIDY", u"LOANTERMY"}, [](TCalcLoan& c, V v) { return readCount(v, Unit::Years, c.FExtInputs.loepetidAar); }},
        {{u"LOPETIDM", u"LOANTERMM"}, [](TCalcLoan& c, V v) { return readCount(v, Unit::Months, c.FExtInputs.loepetidMnd); }},
        {{u"LOPETIDD", u"LOANTERMD"}, [](TCalcLoan& c, V v) { return readCount(v, Unit::Days, c.FExtInputs.loepetidDager); }},
        {{u"UTBDTO", u"OPENDATE", u"DSKDTO"}, [](TCalcLoan& c, V v) { return c.readDate(v, 301, c.IFO().diskontdato); }},
        {{u"ETBLGBYR", u"OPENFEE"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.IFO().etablgebyr); }},
        {{u"ETBLGBPR", u"OPENCOM"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.IFO().etablGebyrPrsnt); }},
        {{u"AVDRFRIHET", u"NOREPAYP"}, [](TCalcLoan& c, V v) { return readPeriod(v, c.IFO().avdragsfriheit); }},
        {{u"AVDRFRIHETY", u"NOREPAYPY"}, [](TCalcLoan& c, V v) { return readCount(v, Unit::Years, c.FExtInputs.avdragsfriAar); }},
        {{u"AVDRFRIHETM", u"NOREPAYPM"}, [](TCalcLoan& c, V v) { return readCount(v, Unit::Months, c.FExtInputs.avdragsfriMnd); }},
        {{u"AVDRFRIHETD", u"NOREPAYPD"}, [](TCalcLoan& c, V v) { return readCount(v, Unit::Days, c.FExtInputs.avdragsfriDager); }},
        {{u"SLUTTSALDO", u"ENDBALANCE"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.IFO().sluttSaldo); }},
        {{u"NBSTR", u"CLOANTERM"}, [](TCalcLoan& c, V v) { return readPeriod(v, c.IFO().nedbetstrTid); }},
        {{u"NBSTRY", u"CLOANTERMY"}, [](TCalcLoan& c, V v) { return readCount(v, Unit::Years, c.FExtInputs.nedbetstrAar); }},
        {{u"NBSTRM", u"CLOANTERMM"}, [](TCalcLoan& c, V v) { return readCount(v, Unit::Months, c.FExtInputs.nedbetstrMnd); }},
        {{u"NBSTRD", u"CLOANTERMD"}, [](TCalcLoan& c, V v) { return readCount(v, Unit::Days, c.FExtInputs.nedbetstrDager); }},
        {{u"RNTFRI"}, [](TCalcLoan& c, V v) { return readCount(v, Unit::Days, c.IFO().antDagerRentefri); }},
        {{u"TERMBELOP2", u"INSTALMENT2"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.line().terminbelop2); }},
        {{u"OFFGB"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.IFO().offentligGb); }},
        {{u"EKSTKOSTN"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.IFO().ekstKostnader); }},
        {{u"DEPOTGEBYR", u"CUSTFEE"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.IFO().depotgebyr); }},
        {{u"UNDERKURS"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.IFO().underkurs); }},
        {{u"GARTILDTO", u"IRGEND"}, [](TCalcLoan& c, V v) { return c.readDate(v, kBadInput, c.IFO().rntGarantiTilDato); }},
        {{u"GARPROVSATS", u"IRGCOM"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.IFO().rntGarantiProvPrsnt); }},
        {{u"ENDRDTO", u"CHANGEDATE"}, [](TCalcLoan& c, V v) { return c.openChangeLine(v); }},
        {{u"FORFDTO", u"INSTDATE"}, [](TCalcLoan& c, V v) { return c.readDate(v, 311, c.line().forfallsdato); }},
        {{u"FORFANTDGR"}, [](TCalcLoan& c, V v) { return readCount(v, Unit::Days, c.IFO().forfallAntDager); }},
        {{u"TERMLEN", u"INSTFREQP"}, [](TCalcLoan& c, V v) { return readWith(verdi::termLength, v, c.line().termlengde); }},
        {{u"TERMPRAAR", u"INSTFREQ"}, [](TCalcLoan& c, V v) { return readWith(verdi::perYear, v, c.line().termlengde); }},
        {{u"KAPITPER", u"CAPFREQP"}, [](TCalcLoan& c, V v) { return readWith(verdi::termLength, v, c.line().kapitperiode); }},
        {{u"KAPITPRAAR", u"CAPFREQ"}, [](TCalcLoan& c, V v) { return readWith(verdi::perYear, v, c.line().kapitperiode); }},
        {{u"TERMBELOP", u"INSTALMENT"}, [](TCalcLoan& c, V v) { return c.applyTermAmount(v); }},
        {{u"AVDRAG", u"REPAYMENT"}, [](TCalcLoan& c, V v) { return c.applyTermAmount(v); }},
        {{u"NTRAP", u"INSTDECR"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.line().terminbdecr); }},
        {{u"RNTSATS", u"INTRATE"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.line().rente[0].sats); }},
        {{u"RNTSATS2", u"INTRATE2"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.line().rente[1].sats); }},
        {{u"RNTSATS3"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.line().rente[2].sats); }},
        {{u"RNTTRINN2", u"INTTRIG2"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.line().rente[1].grense); }},
        {{u"RNTTRINN3", u"INTTRIG3"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.line().rente[2].grense); }},
        {{u"INFRDTO", u"CLOSEDATE"}, [](TCalcLoan& c, V v) -> uint16_t {
             Datorec d;
             if (uint16_t code = c.readDate(v, 331, d)) return code;
             if (c.plEnr > 0) {
                 c.line().terminbelop = 0;
                 c.FJustertInnfrielseDato = Datorec();
             }
             c.line().innfrielsesdato = d;
             return kOk;
         }},
        {{u"PROVISJON", u"INSTFEE"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.line().provisjon[0].belop); }},
        {{u"PROVISJON2", u"INSTFEE2"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.line().provisjon[1].belop); }},
        {{u"PROVISJON3", u"INSTFEE3"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.line().provisjon[2].belop); }},
        {{u"PROVTRINN2", u"FEETRIG2"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.line().provisjon[1].grense); }},
        {{u"PROVTRINN3", u"FEETRIG3"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.line().provisjon[2].grense); }},
        {{u"ENDROMK", u"CHANGEFEE"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.line().endromk); }},
        {{u"FORFDTOAVDR", u"REPAYDATE"}, [](TCalcLoan& c, V v) { return c.readDate(v, 312, c.line().avdragsforfall); }},
        {{u"AVDRAGFRI", u"NOREPAY"}, [](TCalcLoan& c, V v) -> uint16_t {
             if (uint16_t code = readFlag(v, c.line().avdragsfri)) return code;
             c.line().avdragsfriAngitt = true;
             return kOk;
         }},
        {{u"AVDRFRIDTO", u"NOREPAYEND"}, [](TCalcLoan& c, V v) { return c.readDate(v, 313, c.FExtInputs.avdragsfriSlutt); }},
        {{u"OVERHOPP", u"REPAYSKIP"}, [](TCalcLoan& c, V v) -> uint16_t {
             auto set = verdi::monthSet(v);
             if (!set) return kBadInput;
             c.line().fasteoverhopp = *set;
             return kOk;
         }},
        {{u"XORDINB", u"EXTRAREPAY"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.line().xordinb); }},
        {{u"XORDUTB", u"EXTRALOAN"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.line().xordutb); }},
        {{u"RNTBROEK", u"INTCONV"}, [](TCalcLoan& c, V v) -> uint16_t {
             size_t slash = v.find(u'/');
             if (slash == V::npos) return kBadInput;
             auto teljar = verdi::daysPerYear(v.substr(0, slash));
             auto nemnar = verdi::daysPerYear(v.substr(slash + 1));
             if (!teljar || !nemnar) return kBadInput;
             c.IFO().rentebrteljar = *teljar;
             c.IFO().rentebrnemnar = *nemnar;
             return kOk;
         }},
        {{u"RNTDAGPRAAR", u"INTCONVN"}, [](TCalcLoan& c, V v) { return readWith(verdi::daysPerYear, v, c.IFO().rentebrteljar); }},
        {{u"RNTDIV", u"INTCONVD"}, [](TCalcLoan& c, V v) { return readWith(verdi::daysPerYear, v, c.IFO().rentebrnemnar); }},
        {{u"RENTEBRGN", u"INTADV"}, [](TCalcLoan& c, V v) { return readCode(v, c.line().renteb, 0, 3); }},
        {{u"ANNTERMKOR", u"INSTADJ"}, [](TCalcLoan& c, V v) { return readCode(v, c.IFO().AnnuitetTermKorr, 0, 255); }},
        {{u"KAPITREL", u"CAPREL"}, [](TCalcLoan& c, V v) { return readFlag(v, c.relativKapitPer); }},
        {{u"RAMMELN", u"FRAMEWORK"}, [](TCalcLoan& c, V v) { return readFlag(v, c.line().rammelaan); }},
        {{u"ADDETBLSALDO", u"OPENFEECAP"}, [](TCalcLoan& c, V v) { return readCode(v, c.kapitetablgb, 0, 255); }},
        {{u"RNTDISKONTD"}, [](TCalcLoan& c, V v) { return readFlag(v, c.renterdiskontdag); }},
        {{u"PROVITERMB", u"INSTINCLFEE"}, [](TCalcLoan& c, V v) { return readFlag(v, c.provisjon_i_termbelop); }},
        {{u"AVDRFRISOMSERIE"}, [](TCalcLoan& c, V v) { return readFlag(v, c.avdragfrisomserie); }},
        {{u"OKFORFALL31", u"ACCEPT31"}, [](TCalcLoan& c, V v) { return readFlag(v, c.forfall_31); }},
        {{u"TRRNTTYPE", u"INTSTEPTYPE"}, [](TCalcLoan& c, V v) { return readCode(v, c.Trapperentetype, 0, 255); }},
        {{u"RNTRNDFAKT", u"INTRNDFACT"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.RntRndFaktor); }},
        {{u"RNTRNDREGEL", u"INTRNDOPT"}, [](TCalcLoan& c, V v) { return readCode(v, c.renteAvrunding, 0, 255); }},
        {{u"RNTREST", u"INTRESTKEEP"}, [](TCalcLoan& c, V v) { return readCode(v, c.restBehandles, 0, 255); }},
        {{u"RNTRESFAKT", u"INTFRACRES"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.renteDesimalOpploesning); }},
        {{u"TERMRNDFAKT", u"INSTRNDFACT"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.TermbelRndFaktor); }},
        {{u"TERMRNDREGEL", u"INSTRNDOPT"}, [](TCalcLoan& c, V v) { return readCode(v, c.termbelAvrunding, 0, 255); }},
        {{u"LOPETIDREL", u"LOANTERMREL"}, [](TCalcLoan& c, V v) { return readFlag(v, c.lopetidRelativForfall); }},
        {{u"TERMBRGN", u"ANNUITYOPT"}, [](TCalcLoan& c, V v) { return readCode(v, c.annuitetBeregnType, 0, 255); }},
        {{u"TERMREBEREGN", u"INSTRECALC"}, [](TCalcLoan& c, V v) { return readFlag(v, c.termbelopReberegnHverTermin); }},
        {{u"RNTFRADTO"}, [](TCalcLoan& c, V v) { return c.readDate(v, kBadInput, c.IFO().inng_rentesaldo_start); }},
        {{u"RNTSLDO"}, [](TCalcLoan& c, V v) -> uint16_t {
             if (uint16_t code = c.readNumber(v, c.FRentesaldoInput)) return code;
             c.IFO().inng_rentesaldo = c.FRentesaldoInput;
             return kOk;
         }},
        {{u"RNTTILGODE"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.IFO().inng_rentetilgode); }},
        {{u"RNTOVERFORT"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.IFO().inng_renteoverfoert); }},
        {{u"RNTTILKAP"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.IFO().inng_rentedeltilkap); }},
        {{u"PRVSLDO"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.IFO().inng_provisjonssaldo); }},
        {{u"INNBHITTIL"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.IFO().innbetalthittiliaar); }},
        {{u"LOPENDE"}, [](TCalcLoan& c, V v) { return readFlag(v, c.IFO().lopendelaan); }},
        {{u"VARSLETTERMBEL"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.IFO().inng_varslettermbel1); }},
        {{u"GODSKREVET"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.IFO().inng_godskrevet); }},
        {{u"OBSDATO"}, [](TCalcLoan& c, V v) { return c.readDate(v, 314, c.observeringsDato); }},
        {{u"SKATTPRSNT"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.IFO().skattprsnt); }},
        {{u"RNTMRG", u"INTRATEBUFF"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.IFO().rentemargin); }},
        {{u"INFLASJON", u"FCINFLATION"}, [](TCalcLoan& c, V v) { return c.readNumber(v, c.IFO().Inflasjon); }},
    };

    static const std::unordered_map<V, Handler> kByName = [] {
        std::unordered_map<V, Handler> map;
        for (const auto& e : kTable)
            for (V n : e.names)
                if (!n.empty()) map.emplace(n, e.handle);
        return map;
    }();

    auto it = kByName.find(name);
    if (it == kByName.end()) return kUnknownField;
    return it->second(*this, v);
}

uint16_t TCalcLoan::applyTermAmount(std::u16string_view v) {
    double amount = 0;
    if (uint16_t code = readNumber(v, amount)) return code;
    if (plEnr > 0) {
        line().innfrielsesdato = Datorec();
        FJustertInnfrielseDato = Datorec();
    }
    line().terminbelop = amount;
    line().terminbelopAngitt = true;
    return kOk;
}

}  // namespace mirvo::beregning

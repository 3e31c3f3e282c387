// The loan calculator: one object is one installment loan.
//
// Input arrives as buffers of NAME=value pairs; results are asked for by
// identifier and written into the caller's buffer. The first critical error
// is kept in FError and answers every later request.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "calc/kjerne/forlop_rapport.h"
#include "calc/loan/run_mode.h"
#include "calc/shared/result_dest.h"
#include "common/buffer/namevaluelist.h"
#include "common/finans/report_output.h"

namespace mirvo::beregning {

// Inputs that preparation converts before use.
struct TExtInputs {
    double laanebelop[3] = {0, 0, 0};
    int32_t loepetidAar = 0, loepetidMnd = 0, loepetidDager = 0;
    int32_t avdragsfriAar = 0, avdragsfriMnd = 0, avdragsfriDager = 0;
    int32_t nedbetstrAar = 0, nedbetstrMnd = 0, nedbetstrDager = 0;
    Datorec avdragsfriSlutt;
};

class TCalcLoan : public TForlopRapport {
public:
    TCalcLoan();
    ~TCalcLoan() override;
    TCalcLoan(const TCalcLoan&) = delete;
    TCalcLoan& operator=(const TCalcLoan&) = delete;

    // ---- input
    // Applies the pairs of a buffer; the code of the first failing pair.
    uint16_t Input(std::u16string_view buffer);
    bool InputPair(std::u16string_view fld, std::u16string_view val);
    uint16_t InputPairAlt(std::u16string_view fld, std::u16string_view val);

    // ---- results
    // Answers one result request (raw, or formatted while formatertOutput).
    uint16_t getResult(std::u16string_view funcID, uint16_t funcParam, const TResultDest& dest);
    // The stored error, or the code of a trial request for "EFFRNT".
    uint16_t getErrorCode();
    // The text of the stored error; empty without one.
    std::u16string getErrorMsg();
    // The same request into a private buffer of 100,000 characters; the text
    // is empty unless the code is 0. The Fmt form is formatted for the call.
    uint16_t GetResult(std::u16string_view funcID, uint16_t funcParam, std::u16string& text);
    uint16_t GetResultFmt(std::u16string_view funcID, uint16_t funcParam, std::u16string& text);

    // Prepares, checks and calculates stale results; 0 or the error code.
    uint16_t kalkuler();

    uint16_t error() const { return FError; }
    // Records a critical error; the first one stays.
    void setCriticalError(uint16_t code) {
        if (FError == 0) FError = code;
    }

    const kavelin::TNameAndValueList& inputs() const { return FInputs; }
    const TExtInputs& extInputs() const { return FExtInputs; }

protected:
    // Result requests once the stored-error test has passed.
    virtual uint16_t answer(std::u16string_view funcID, uint16_t funcParam, const TResultDest& dest);
    // Brings the definition up to a change date before a new line opens.
    virtual void forberedTilEndring(Datorec endringsdato);

    uint16_t FError = 0;
    kavelin::TNameAndValueList FInputs;
    bool FFmtDecided[2] = {false, false};  // [0] date format, [1] decimal separator
    TExtInputs FExtInputs;
    Datorec FCurrAvdragsfriSlutt;
    Datorec FJustertInnfrielseDato;
    bool FSjekkSisteEndringLockState = false;

    // The same loan with every rate raised by the interest margin, built
    // once per object by the margin comparison.
    std::unique_ptr<TCalcLoan> FRntMrgKlone;
    // The code of the request in progress came from a private calculator of
    // the margin comparison and is not stored.
    bool FKodeFraKlone = false;

private:
    // ---- results (loan_results.cpp)
    uint16_t kalk();          // calc
    uint16_t kalkOgForlop();  // calc+course
    uint16_t rapport(TForlopMottaker& mottaker, uint16_t funcParam, const TResultDest& dest);
    // A report asked for before the calculation: the calculation's own run
    // writes it (the rows of that run are the report's rows), so the course
    // is run once, not twice.
    struct TRapportIKalk {
        TForlopMottaker* mottaker = nullptr;
        int aar = 0;
        bool skrevet = false;
    };
    TRapportIKalk FRapportIKalk;
    uint16_t skalar(uint16_t kode, const std::u16string& tekst, const TResultDest& dest);
    std::u16string belopTekst(double v, int des) const;
    std::u16string tallTekst(double v, int des) const;
    std::u16string heltallTekst(int64_t v) const;
    std::u16string datoTekst(Datorec d) const;
    int amountDecimals(double v) const;
    int wholeOrCents(double v) const;
    uint16_t obsLinje(const TObsData& o, const TResultDest& dest);
    uint16_t tolvMnd(const TResultDest& dest);
    uint16_t realRente(const TResultDest& dest);
    uint16_t naaverdiPlan(uint16_t funcParam, const TResultDest& dest);
    uint16_t snittrentePlan(uint16_t funcParam, const TResultDest& dest);
    uint16_t alternativeTerminer(const TResultDest& dest);
    uint16_t alternativLinje(const TResultDest& dest);
    uint16_t rentemargin(std::u16string_view plan, uint16_t funcParam, const TResultDest& dest);
    uint16_t byggMarginKlone();
    uint16_t lopetid(const TResultDest& dest);
    uint16_t rammeEffRente(std::u16string_view rest, const TResultDest& dest);
    uint16_t aprRapport(const TResultDest& dest);
    // A new calculator with this one's report mode, run mode, formatted flag
    // and date format.
    std::unique_ptr<TCalcLoan> nyKalkulator() const;

    uint16_t handlePair(std::u16string_view pair);
    uint16_t applyKeyword(std::u16string_view name, std::u16string_view value);
    uint16_t readNumber(std::u16string_view value, double& out, bool nonZero = false);
    uint16_t readDate(std::u16string_view value, uint16_t code, Datorec& out);
    uint16_t openChangeLine(std::u16string_view value);
    uint16_t applyTermAmount(std::u16string_view value);
    endringtype& line() { return EL(plEnr); }

    // ---- preparation (loan_prepare.cpp)
    uint16_t beregn();
    // Completes and checks the current line; up to `grense`, or for the
    // calculation itself when `alle`.
    uint16_t forbered(bool alle, Datorec grense);
    uint16_t automatiskeEndringer(bool alle, Datorec grense, bool& endret);
    uint16_t strukturTermin();
    uint16_t sjekkTrinn();
    void settLaanetype(endringtype& linje);
    // Opens a change line on the date, after preparing up to it.
    uint16_t aapneEndringslinje(Datorec dato);
    Datorec sisteForfall(int fra, bool avdrag) const;
    TWordDate foersteTerminPaaEllerEtter(Datorec dato) const;

    double FRentesaldoInput = 0;  // "RNTSLDO" as given, before adjustments
    bool FStrukturBehandlet = false;
};

}  // namespace mirvo::beregning

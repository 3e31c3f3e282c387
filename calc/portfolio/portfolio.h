// A portfolio: several loan calculators taken together. It answers for all
// their payments as one stream, their summed amounts, their joint span and
// one payment schedule merged from theirs. It talks to its loans only
// through their result requests, refers to them and never owns or frees them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "calc/loan/run_mode.h"
#include "calc/shared/result_dest.h"
#include "common/finans/effrente.h"
#include "common/finans/report_output.h"
#include "common/finans/rntdato.h"

namespace mirvo::beregning {

class TCalcLoan;

class TPortfolio : public kavelin::finans::TRntDato {
public:
    // Calendar convention, no loans, a classic writer.
    TPortfolio();
    ~TPortfolio() override;
    TPortfolio(const TPortfolio&) = delete;
    TPortfolio& operator=(const TPortfolio&) = delete;

    // Appends a loan; the next request prepares all loans again.
    void add(TCalcLoan* loan);
    size_t count() const { return FLoans.size(); }
    TCalcLoan* loan(size_t i) const { return FLoans[i]; }

    // Answers one request into the caller's buffer (formatted while
    // FFormatertOutput is set) and returns FErr as it stands afterwards.
    // The merged schedule throws EMirvo / runtime_error for the failures that
    // carry only a message (full buffer, buffer too small to start,
    // unreadable date in a loan's schedule); the exports turn them into
    // generated codes.
    uint16_t getResult(std::u16string_view funcID, uint16_t funcParam, const TResultDest& dest);

    uint16_t FErr = 0;  // the first error; every later request returns it
    bool FFormatertOutput = false;

protected:
    // The request after preparation, with FErr still 0; sets FErr on failure.
    virtual void answer(std::u16string_view funcID, uint16_t funcParam, const TResultDest& dest);

    std::vector<TCalcLoan*> FLoans;  // in the order added; not owned
    bool FPrepared = false;

    // The merged payment stream; built at the first rate request after the
    // list last changed.
    std::unique_ptr<kavelin::finans::TEffRente> FEffRnt;
    TRunMode FMode = TRunMode::norsk();  // row-kind letters of the first loan
    bool FSammeDskOgForf = true;  // same disbursement and first due date
    bool FSammeTermin = true;     // same term length
    int FRapportAntDes = 0;       // decimals of amounts the portfolio writes
    kavelin::finans::TReportOutput FWriter;

private:
    void prepare();
    // FSammeDskOgForf and FSammeTermin from the loans' disbursement dates and
    // first lines. A loan completes its first due date and term length when
    // it calculates, so requests that depend on them compare again once the
    // loans have answered.
    void sammenlignDatoer();
    // The largest output decimal count among the loans. A loan's rounding
    // is settled only once it has calculated, so this is taken again after
    // the loans have answered.
    void oppdaterAntDes();
    // Records a loan's failing code (the first error stays).
    void fail(uint16_t code) {
        if (FErr == 0) FErr = code;
    }

    // ---- answers (portfolio.cpp)
    // The sum of one identifier over all loans; false when a loan failed.
    bool sum(std::u16string_view funcID, double& total);
    // The merged stream's rate; false when a loan failed. NaN when undefined.
    bool effRente(double& rate);
    // The latest close-out date; false when a loan failed.
    bool sisteInnfrielse(kavelin::finans::Datorec& dato);
    // The first year's interest of all loans over their amounts, in percent.
    bool snittRente1(double& rate);
    std::u16string belopTekst(double v) const;

    // ---- merged schedule (portfolio_plan.cpp)
    // Whether the identifier names a schedule the portfolio merges.
    static bool erPlan(std::u16string_view funcID);
    void flettetPlan(std::u16string_view funcID, uint16_t funcParam, const TResultDest& dest);
};

}  // namespace mirvo::beregning

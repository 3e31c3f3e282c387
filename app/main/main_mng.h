// TMainMng: recomputes the selected loan (or the whole case) with new
// calculator objects of the library binding on every change and shows key
// figures and schedules in the result frame.
//
// The case and the loan list are reached through two small interfaces, so
// that the manager works with any case model: TCaseSource gives each loan's
// product, short facts and calculation input text; TLoanListView takes each
// loan's message and short facts.
#pragma once

#include <QObject>

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/main/loan_list_view.h"
#include "app/ui/config/oppsett_types.h"

class QTableWidget;

namespace mirvo::dll {
class TOutput;
}
namespace mirvo::oppsett {
class TBeregnetOppsettListe;
class TProduktRapporterListe;
}
namespace mirvo::frame {
class TFrameReports;
}

namespace mirvo::main {

using oppsett::TProduktGruppe;

// The case as the main manager needs it; loans by index in case order.
class TCaseSource {
public:
    virtual ~TCaseSource() = default;
    virtual int loanCount() const = 0;
    virtual TShortInfo shortInfo(int index) const = 0;
    // The loan's calculation input text: "ID=value;" per calculation field,
    // change rows introduced by "ENDRDTO=".
    virtual std::u16string calculationInput(int index) const = 0;
    // Whether the loan has change items (rows of its "Changes" section).
    virtual bool hasChangeItems(int index) const = 0;
};

enum class TVisningsmodus { vmStd, vmMini };

// The report lists of a product (by ID) or, for the whole case, of the
// common configuration; none when there are none.
using TReportLookup = std::function<oppsett::TProduktRapporterListe*(std::optional<int32_t> produktID)>;
// The product configuration's lists.
TReportLookup configReportLookup();

class TMainMng {
public:
    TMainMng(TLoanListView& lånListMng, frame::TFrameReports& frameReports, TReportLookup reports = configReportLookup());

    void setCase(TCaseSource* source) { FCase = source; }
    TCaseSource* caseSource() const { return FCase; }
    // Whether the key figures may use more than two columns.
    void setMultiColumn(bool on) { FMultiColumn = on; }
    // Told of a failure of a recompute started by the result frame (an
    // option or tab change), which has no caller to raise it to.
    void setErrorHandler(std::function<void(const std::u16string&)> handler) { FOnError = std::move(handler); }

    void oppdaterLåneListe();
    TVisningsmodus visningsModus() const { return FVisningsmodus; }
    void SetVisningsModus(TVisningsmodus value);
    // The loan's input for the library; installment loans get "RNTMRG=" and
    // "INFLASJON=" from the result frame's options.
    std::u16string getBeregningsgrunnlag(int index) const;
    // Recomputes; changedItem is the ID of the data item an edit changed.
    void recompute(std::optional<std::u16string_view> changedItem = std::nullopt, std::optional<int> changedLoan = std::nullopt);
    void oppdaterBeregning() { recompute(); }

    // Showing results (used by recompute and by the print manager).
    void showKeyFigures(dll::TOutput& output, const oppsett::TBeregnetOppsettListe& list);
    void showGrid(QTableWidget& grid, dll::TOutput& output, const oppsett::TBeregnetOppsettListe& list,
                  int option) const;
    bool visibleInView(bool mini, bool std) const;

private:
    void recomputeNedbetlån(std::optional<std::u16string_view> changedItem);
    void recomputeRammelån(std::optional<std::u16string_view> changedItem);
    void clearDisplays();
    void showResults(dll::TOutput& output, oppsett::TProduktRapporterListe& lists);

    TLoanListView& FLånListMng;
    frame::TFrameReports& FFrameReports;
    TReportLookup FReports;
    TCaseSource* FCase = nullptr;
    TVisningsmodus FVisningsmodus = TVisningsmodus::vmStd;
    bool FMultiColumn = true;
    std::function<void(const std::u16string&)> FOnError;
    void recomputeReported();
    QObject FContext;  // ends the frame's connections with the manager
};

// "Feil i oppslag av rapportoppsett!"
class ERapportOppsett : public std::runtime_error {
public:
    ERapportOppsett();
};

}  // namespace mirvo::main

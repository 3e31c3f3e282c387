#include "app/main/main_mng.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QTableWidget>

#include "app/frame/frame_reports.h"
#include "app/mng/mirvo_dll.h"
#include "app/ui/config/produkt_liste.h"
#include "app/ui/fmt/numtext.h"
#include "common/buffer/bufferparser.h"
#include "common/text/casing.h"
#include "common/text/encoding.h"
#include "common/utils/error.h"
#include "app/ui/qt_text.h"

namespace mirvo::main {
namespace {

using frame::TFrameReports;
using oppsett::TBeregnetOppsettListe;
using oppsett::TProduktRapporterListe;

constexpr int kStartRows = 663;
constexpr int kGrowRows = 200;
constexpr int kRammeRows = 13;
const QColor kSumRowColour(0xEF, 0xEF, 0xEF);  // $EFEFEF

// Suspends the frame's painting for a whole step, also when it fails.
struct TUpdateGuard {
    TFrameReports& f;
    explicit TUpdateGuard(TFrameReports& frame) : f(frame) { f.beginUpdate(); }
    ~TUpdateGuard() { f.endUpdate(); }
};

using kavelin::text::qs;

const TBeregnetOppsettListe* findList(TProduktRapporterListe& lists, std::u16string_view id) {
    return lists.indexOf(id) >= 0 ? &lists.itemByID(id) : nullptr;
}

// The grid of each installment-loan tab with the report list it shows; tab 3
// shows nothing for installment loans.
const char16_t* gridListOf(int page) {
    switch (page) {
        case frame::rpNedbet: return u"StdForløp";
        case frame::rpRentemargin: return u"RentemrgForløp";
        case frame::rpNaverdi: return u"NåverdiForløp";
        case frame::rpTermbelop: return u"TerminbeløpAnalyse";
        default: return nullptr;
    }
}

}  // namespace

ERapportOppsett::ERapportOppsett() : std::runtime_error("Feil i oppslag av rapportoppsett!") {}

TReportLookup configReportLookup() {
    return [](std::optional<int32_t> id) -> TProduktRapporterListe* {
        if (!oppsett::hasProduktOppsett()) return nullptr;
        auto& cfg = oppsett::produktOppsett();
        if (!id) return &cfg.common().RapportOppsettListe();
        oppsett::TProduktOppsett* p = cfg.itemById(*id);
        return p ? &p->RapportOppsettListe() : nullptr;
    };
}

TMainMng::TMainMng(TLoanListView& lånListMng, TFrameReports& frameReports, TReportLookup reports)
    : FLånListMng(lånListMng), FFrameReports(frameReports), FReports(std::move(reports)) {
    FFrameReports.SetactivePageIndex(0);
    QObject::connect(&FFrameReports, &TFrameReports::optionsChanged, &FContext, [this] {
        FLånListMng.setMultiCalculationEnabled(FFrameReports.samletBeregning());
        recomputeReported();
    });
    QObject::connect(&FFrameReports, &TFrameReports::tabChanged, &FContext, [this] { recomputeReported(); });
}

void TMainMng::recomputeReported() {
    try {
        recompute();
    } catch (const kavelin::utils::EKavelin& e) {
        if (FOnError) FOnError(e.message());
    } catch (const std::exception& e) {
        if (FOnError) FOnError(kavelin::text::fromUtf8(e.what()));
    }
}

void TMainMng::oppdaterLåneListe() {
    if (!FCase) return;
    int n = std::min(FLånListMng.count(), FCase->loanCount());
    for (int i = 0; i < n; ++i) FLånListMng.setShortInfo(i, FCase->shortInfo(i));
}

void TMainMng::SetVisningsModus(TVisningsmodus value) {
    if (value == FVisningsmodus) return;
    FVisningsmodus = value;
    recompute();
}

std::u16string TMainMng::getBeregningsgrunnlag(int index) const {
    std::u16string text = FCase ? FCase->calculationInput(index) : std::u16string();
    if (!FCase || FCase->shortInfo(index).produktgruppe != TProduktGruppe::pgNedbetlån) return text;
    if (!text.empty() && text.back() != u';') text += u';';
    return text + u"RNTMRG=" + FFrameReports.rentemarginValue() + u";" + u"INFLASJON=" +
           FFrameReports.inflasjonText();
}

bool TMainMng::visibleInView(bool mini, bool std) const {
    return FVisningsmodus == TVisningsmodus::vmMini ? mini : std;
}

void TMainMng::recompute(std::optional<std::u16string_view> changedItem, std::optional<int> changedLoan) {
    TUpdateGuard guard(FFrameReports);
    int selected = FLånListMng.selectedIndex();
    if (!FCase || selected < 0 || selected >= FCase->loanCount()) return;
    int owner = changedLoan && *changedLoan >= 0 && *changedLoan < FCase->loanCount() ? *changedLoan : selected;
    if (FCase->shortInfo(owner).produktgruppe == TProduktGruppe::pgNedbetlån) recomputeNedbetlån(changedItem);
    else recomputeRammelån(changedItem);
}

void TMainMng::clearDisplays() {
    FFrameReports.clearKeyFigures();
    FFrameReports.setKeyFiguresVisible(false);
    for (int page : {frame::rpNedbet, frame::rpRentemargin, frame::rpNaverdi, frame::rpTermbelop}) {
        QTableWidget* g = FFrameReports.grid(page);
        g->clear();
        g->setRowCount(0);
        g->setColumnCount(0);
    }
}

void TMainMng::recomputeNedbetlån(std::optional<std::u16string_view> changedItem) {
    const int selected = FLånListMng.selectedIndex();
    const int count = FLånListMng.count();
    const bool std = FVisningsmodus == TVisningsmodus::vmStd;

    FFrameReports.setOptionsVisible(true);
    FFrameReports.setKeyFiguresVisible(true);
    FFrameReports.setSamletChoiceVisible(FCase->loanCount() > 1);
    const bool samlet = FFrameReports.samletBeregning();
    FFrameReports.setVisibleTabs({true, std, std, false, std && !samlet && !FCase->hasChangeItems(selected)});

    if (changedItem) {
        std::u16string name = kavelin::text::upperCase(*changedItem);
        if (name.rfind(u"LBELOP", 0) == 0 || name.find(u"RNT") != std::u16string::npos) oppdaterLåneListe();
    }

    FFrameReports.clearKeyFigures();
    TProduktRapporterListe* lists = FReports(FCase->shortInfo(selected).produktID);
    if (!lists) throw ERapportOppsett();

    if (!samlet) {
        dll::TNedbetLaan laan;
        laan.setInput(getBeregningsgrunnlag(selected));
        FLånListMng.setErrorMsg(selected, laan.errorMsg());
        if (laan.error() != 0) return clearDisplays();
        try {
            showResults(laan, *lists);
        } catch (const dll::EBeregning& e) {
            FLånListMng.setErrorMsg(selected, e.message());
            clearDisplays();
        }
        return;
    }

    TProduktRapporterListe* common = FReports(std::nullopt);
    if (!common) throw ERapportOppsett();
    dll::TPortefolje portefolje;
    bool anyError = false;
    for (int i = 0; i < count && i < FCase->loanCount(); ++i) {
        dll::TNedbetLaan& laan = portefolje.add();
        laan.setInput(getBeregningsgrunnlag(i));
        FLånListMng.setErrorMsg(i, laan.errorMsg());
        anyError |= laan.error() != 0;
    }
    if (anyError) return clearDisplays();
    try {
        showResults(portefolje, *common);
    } catch (const dll::EBeregning& e) {
        FLånListMng.setErrorMsg(selected, e.message());
        clearDisplays();
    }
}

void TMainMng::recomputeRammelån(std::optional<std::u16string_view> changedItem) {
    FFrameReports.setSamletChoiceVisible(false);
    FFrameReports.setOptionsVisible(false);
    FFrameReports.setKeyFiguresVisible(false);
    FFrameReports.setVisibleTabs({false, false, false, true, false});
    FFrameReports.SetactivePageIndex(frame::rpEffrnt);

    if (changedItem) {
        std::u16string name = kavelin::text::upperCase(*changedItem);
        if (name.find(u"BEVILGNING") != std::u16string::npos || name.find(u"RENTESATS") != std::u16string::npos)
            oppdaterLåneListe();
    }

    QTableWidget& grid = *FFrameReports.grid(frame::rpEffrnt);
    grid.clear();
    grid.setColumnCount(0);
    grid.setRowCount(kRammeRows);
    dll::TRammelaan laan;
    laan.setInput(FCase->calculationInput(0));
    std::u16string message = laan.errorMsg();
    if (laan.error() == 0) {
        TProduktRapporterListe* lists = FReports(FCase->shortInfo(0).produktID);
        if (!lists) throw ERapportOppsett();
        if (const TBeregnetOppsettListe* list = findList(*lists, u"StdRapport")) {
            try {
                showGrid(grid, laan, *list, 0);
                if (grid.rowCount() < kRammeRows) grid.setRowCount(kRammeRows);
            } catch (const dll::EBeregning& e) {
                message = e.message();
            }
        }
    }
    if (FLånListMng.count() > 0) FLånListMng.setErrorMsg(0, message);
}

void TMainMng::showResults(dll::TOutput& output, TProduktRapporterListe& lists) {
    if (const TBeregnetOppsettListe* keys = findList(lists, u"Nøkkeltall")) showKeyFigures(output, *keys);
    int page = FFrameReports.activePageIndex();
    if (const char16_t* id = gridListOf(page))
        if (const TBeregnetOppsettListe* list = findList(lists, id))
            showGrid(*FFrameReports.grid(page), output, *list, FFrameReports.forlopOption());
}

void TMainMng::showKeyFigures(dll::TOutput& output, const TBeregnetOppsettListe& list) {
    FFrameReports.clearKeyFigures();
    FFrameReports.setKeyFigureColumns(FMultiColumn ? 0 : 2);
    FFrameReports.setKeyFiguresVisible(true);
    for (size_t i = 0; i < list.count(); ++i) {
        const auto& e = list[i];
        if (!visibleInView(e.VisibleInMiniView(), e.VisibleInStdView())) continue;
        std::u16string text = output.getOutputFmt(e.ID(), 0);
        if (text.empty()) continue;
        if (!e.OutputPrefix().empty()) text = e.OutputPrefix() + u" " + text;
        if (!e.OutputPostfix().empty()) text += u" " + e.OutputPostfix();
        FFrameReports.addKeyFigure(qs(e.Beskrivelse()), qs(text));
    }
}

void TMainMng::showGrid(QTableWidget& grid, dll::TOutput& output, const TBeregnetOppsettListe& list,
                        int option) const {
    grid.setUpdatesEnabled(false);
    grid.clear();
    grid.setRowCount(0);
    const int columns = int(list.count());
    grid.setColumnCount(columns);
    for (int c = 0; c < columns; ++c) {
        const auto& e = list[size_t(c)];
        auto* title = new QTableWidgetItem(qs(e.Beskrivelse()));
        title->setTextAlignment(c < 2 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
        grid.setHorizontalHeaderItem(c, title);
        grid.setColumnHidden(c, !visibleInView(e.VisibleInMiniView(), e.VisibleInStdView()));
    }
    const std::u16string text = output.getOutputFmt(list.Command(), uint16_t(option));
    const bool arssummer = option == 0;
    const bool fullt = option == frame::kFulltForlop;

    kavelin::TBufferParser parser(text.c_str());
    int rows = 0;
    grid.setRowCount(kStartRows);
    while (parser.ReadLn()) {
        std::u16string first = parser.getCol(0);
        if (!first.empty() && first[0] == u'E') {
            auto third = kavelin::fmt::tryReadNumber(parser.getCol(2));
            if (third && *third == 0) continue;
        }
        if (rows == grid.rowCount()) grid.setRowCount(rows + kGrowRows);
        const bool sumRow = !arssummer && !first.empty() && (first[0] == u'Å' || first[0] == u'T');
        const int n = std::min(columns, parser.colCount());
        for (int c = 0; c < n; ++c) {
            auto* item = new QTableWidgetItem(qs(parser.getCol(c)));
            item->setTextAlignment(c < 2 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
            if (sumRow && c < 2) {
                QFont f = grid.font();
                f.setBold(true);
                item->setFont(f);
            }
            if (sumRow && fullt) item->setBackground(QBrush(kSumRowColour));
            grid.setItem(rows, c, item);
        }
        ++rows;
    }
    grid.setRowCount(rows);
    grid.resizeColumnsToContents();
    grid.setUpdatesEnabled(true);
}

}  // namespace mirvo::main

// A 30-year monthly payment plan (about 400 table rows) built with the
// report builder and converted to PDF by the document engine. The RTF and
// PDF of the last run stay in $TMPDIR/mirvo_bench for comparison with other
// converters.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cmath>
#include <filesystem>
#include <string>

#include "app/rtf/documentbuilder.h"
#include "app/rtf/rtfdocparser.h"
#include "app/rtf/rtfreport.h"

namespace {

using namespace kavelin::rtf;

void ensureApp() {
    static int argc = 1;
    static char name[] = "rtf_pdf_bench";
    static char* argv[] = {name, nullptr};
    if (QGuiApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
}

std::string money(double v) {
    long cents = std::lround(v * 100);
    std::string s = std::to_string(cents / 100);
    for (int i = static_cast<int>(s.size()) - 3; i > 0; i -= 3) s.insert(static_cast<size_t>(i), " ");
    std::string c = std::to_string(cents % 100);
    return s + "," + (c.size() < 2 ? "0" : "") + c;
}

void addCells(TReportRow& row, std::initializer_list<std::string> texts) {
    bool first = true;
    for (const std::string& t : texts) {
        TReportCell& c = row.addAndGetCell();
        c.Text = t;
        c.Width = first ? 2.0 : 2.8;
        if (!first) c.Alignment = TAlignment::taRightJustify;
        first = false;
    }
}

// An annuity loan of 3 000 000 at 5 % over 30 years: one row per month and a
// sum row per year.
void buildPlan(TRtfReport& r) {
    r.PageNumberEnabled = true;
    TReportRow& title = r.addAndGetRow();
    title.setStyle(TRowStyle::rsDocTitle);
    addCells(title, {"Nedbetalingsplan"});
    title.getCells(0).Width = 14;
    TReportRow& head = r.addAndGetRow();
    head.setStyle(TRowStyle::rsHeader);
    head.newTable = true;
    addCells(head, {"Termin", "Dato", "Terminbel\xF8p", "Renter", "Avdrag", "Restgjeld"});
    const double i = 0.05 / 12;
    double rest = 3000000;
    const double term = rest * i / (1 - std::pow(1 + i, -360));
    for (int year = 0; year < 30; ++year) {
        double sumInterest = 0, sumPrincipal = 0;
        for (int m = 1; m <= 12; ++m) {
            double interest = rest * i, principal = term - interest;
            rest -= principal;
            sumInterest += interest, sumPrincipal += principal;
            std::string date = "15." + std::string(m < 10 ? "0" : "") + std::to_string(m) + "." + std::to_string(2025 + year);
            addCells(r.addAndGetRow(), {std::to_string(year * 12 + m), date, money(term), money(interest),
                                        money(principal), money(std::max(rest, 0.0))});
        }
        TReportRow& sum = r.addAndGetRow();
        sum.setStyle(TRowStyle::rsSum);
        addCells(sum, {"Sum", std::to_string(2025 + year), money(12 * term), money(sumInterest), money(sumPrincipal), ""});
    }
}

std::filesystem::path benchDir() {
    auto d = std::filesystem::temp_directory_path() / "mirvo_bench";
    std::filesystem::create_directories(d);
    return d;
}

// What a user waits for: the report written as RTF, read, laid out and saved as PDF.
void BM_PaymentPlanToPdf(benchmark::State& state) {
    ensureApp();
    TRtfReport r;
    buildPlan(r);
    auto dir = benchDir();
    r.SaveToFile(dir / "betalingsplan_30aar.rtf");
    for (auto _ : state) r.SaveToPDF(dir / "betalingsplan_30aar.pdf");
    state.counters["rader"] = r.RowCount();
}
BENCHMARK(BM_PaymentPlanToPdf)->Unit(benchmark::kMillisecond);

// The reading part alone.
void BM_PaymentPlanReadRtf(benchmark::State& state) {
    ensureApp();
    TRtfReport r;
    buildPlan(r);
    std::string rtf = r.RtfText();
    for (auto _ : state) benchmark::DoNotOptimize(TRtfDocumentParser::LoadRTFDocument(rtf));
}
BENCHMARK(BM_PaymentPlanReadRtf)->Unit(benchmark::kMillisecond);

}  // namespace

// The main window's recompute of a 30-year monthly annuity loan: a new
// calculator, the key figures and the grid of the active tab, as after every
// edit. The target is one frame (about 16 ms).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTableWidget>

#include <cstdlib>
#include <filesystem>

#include "app/frame/frame_reports.h"
#include "app/main/form_main.h"
#include "app/main/main_mng.h"
#include "app/mng/data_mng.h"
#include "app/ui/config/produkt_liste.h"

namespace {

namespace fs = std::filesystem;
using kavelin::activex::TOleVariant;

void setValue(mirvo::mng::TProductData& loan, std::u16string_view id, std::u16string_view text) {
    loan.getSection(u"Initial")->getData(id)->setValue(TOleVariant::fromText(text));
}

// The window with one loan, shown offscreen; kept for all runs.
struct TSetup {
    fs::path dir;
    std::unique_ptr<mirvo::mng::TDataMng> data;
    std::unique_ptr<mirvo::main::TformMain> window;

    TSetup() {
        static int argc = 1;
        static char name[] = "recompute_bench";
        static char* argv[] = {name, nullptr};
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static QApplication* app = new QApplication(argc, argv);
        (void)app;
        dir = fs::temp_directory_path() / "mirvo_recompute_bench";
        fs::create_directories(dir);
        const std::u16string cfg = (fs::path(MIRVO_SOURCE_DIR) / "data" / "Configurations.xml").u16string();
        mirvo::oppsett::installProduktOppsett(
            std::make_unique<mirvo::oppsett::TProduktOppsettListe>([cfg](bool) { return cfg; }));
        data = std::make_unique<mirvo::mng::TDataMng>(mirvo::oppsett::produktOppsett(), dir / "Defaults.xml",
                                                      dir / "Saker", nullptr);
        mirvo::main::TFormMainSetup s;
        s.registerShell = false;
        s.data = data.get();
        window = std::make_unique<mirvo::main::TformMain>(s);
        window->show();
        auto& loan = data->current().getItem(0);
        setValue(loan, u"LBELOP", u"3000000");
        setValue(loan, u"RNTSATS", u"5,1");
        setValue(loan, u"LOPETIDY", u"30");
        setValue(loan, u"TERMPRAAR", u"12");
    }
};

TSetup& setup() {
    static TSetup s;
    return s;
}

void recompute(benchmark::State& state, int option) {
    auto& w = *setup().window;
    auto& frame = w.frameReports();
    frame.SetactivePageIndex(mirvo::frame::rpNedbet);
    if (option == mirvo::frame::kFulltForlop) frame.chooseFulltForlop();
    for (auto _ : state) {
        w.mainMng().oppdaterBeregning();
        QApplication::processEvents();  // the repaint the user waits for
    }
    state.counters["rows"] = frame.grid(mirvo::frame::rpNedbet)->rowCount();
    state.counters["keyFigures"] = frame.keyFigureCount();
}

void BM_RecomputeFulltForlop(benchmark::State& state) { recompute(state, mirvo::frame::kFulltForlop); }
BENCHMARK(BM_RecomputeFulltForlop)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

#include "app/rtf/docprinter.h"

#include <QPageLayout>
#include <QPrinter>
#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace kavelin::rtf {

TPagedSurface::TPagedSurface(QPagedPaintDevice& device)
    : TQtSurface(nullptr, device.logicalDpiX(), device.logicalDpiY()), FDevice(device) {}

TPagedSurface::~TPagedSurface() { finish(); }

void TPagedSurface::BeginPage(const TSize& paper) {
    if (OptimizePageOutput && FPages > 0 && FSheetUsed + paper.cy <= FSheet.cy + 60) {
        // The next logical page goes below the previous one on this sheet.
        setMapMode();
        FPainter.translate(0, FSheetUsed);
        FSheetUsed += paper.cy;
        return;
    }
    TSize sheet = paper;
    if (Options && Options->FPaperWidth > 0 && Options->FPaperHeight > 0) {
        // The options name the paper (tenths of a millimetre); logical pages are laid on it.
        sheet = {static_cast<int>(std::lround(Options->FPaperWidth * 1440.0 / 254.0)),
                 static_cast<int>(std::lround(Options->FPaperHeight * 1440.0 / 254.0))};
    }
    QPageSize size(QSizeF(sheet.cx / 20.0, sheet.cy / 20.0), QPageSize::Point, QString(), QPageSize::ExactMatch);
    QPageLayout layout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
    layout.setMode(QPageLayout::FullPageMode);
    if (auto* printer = dynamic_cast<QPrinter*>(&FDevice); printer && Options) {
        int bin = Options->getPaperSource(FLogicalPage);
        if (bin > 0) printer->setPaperSource(static_cast<QPrinter::PaperSource>(bin));
        int orientation = Options->getOrientation(FLogicalPage);
        if (orientation == 2) layout.setOrientation(QPageLayout::Landscape);
        if (Options->FDuplexCode > 1) printer->setDuplex(QPrinter::DuplexAuto);
    }
    FDevice.setPageLayout(layout);
    if (FPages == 0) {
        if (!FPainter.begin(&FDevice)) throw std::runtime_error("Kan ikke starte utskrift");
        setPainter(&FPainter);
    } else {
        FDevice.newPage();
    }
    ++FPages;
    FSheet = sheet;
    FSheetUsed = paper.cy;
    setMapMode();
}

void TPagedSurface::finish() {
    if (FPainter.isActive()) FPainter.end();
    setPainter(nullptr);
}

TPrintJob::TPrintJob(QPagedPaintDevice& device, const TPrintOptions* options, bool optimizePageOutput)
    : Surface(device), Formatter(Surface, options), FOptions(options) {
    Surface.Options = options;
    Surface.OptimizePageOutput = optimizePageOutput;
}

void TPrintJob::print(TDocument& doc, int copies) {
    if (FOptions && FOptions->FPaperHeight > 0 && FOptions->FPageHeight > 0) {
        // The options force the page height (tenths of a millimetre).
        int h = static_cast<int>(std::lround(FOptions->FPageHeight * 1440.0 / 254.0));
        doc.papersize.cy = h;
        if (!doc.sectionList().empty()) doc.sectionList().front()->papersize.cy = h;
    }
    if (FOptions && FOptions->FCopyCount > 0) copies = FOptions->FCopyCount;
    for (int i = 0; i < std::max(1, copies); ++i) Formatter.PrintDocument(doc);
}

void PrintDocument(TDocument& doc, QPagedPaintDevice& device, int copies, const TPrintOptions* options,
                   bool optimizePageOutput) {
    TPrintJob job(device, options, optimizePageOutput);
    job.print(doc, copies);
    job.finish();
}

}  // namespace kavelin::rtf

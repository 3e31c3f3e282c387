#include "app/rtf/docprinter.h"

#include <QPageLayout>
#include <algorithm>
#include <QPdfWriter>
#include <QPrinter>
#include <cmath>
#include <stdexcept>
#include <system_error>

#include "app/rtf/mediaformatter.h"
#include "app/rtf/pageformatter.h"
#include "app/rtf/rtfdocparser.h"

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

void PrintDocument(TDocument& doc, QPagedPaintDevice& device, int copies, const TPrintOptions* options,
                   bool optimizePageOutput) {
    TPagedSurface surface(device);
    surface.Options = options;
    surface.OptimizePageOutput = optimizePageOutput;
    if (options && options->FPaperHeight > 0 && options->FPageHeight > 0) {
        // The options force the page height (tenths of a millimetre).
        int h = static_cast<int>(std::lround(options->FPageHeight * 1440.0 / 254.0));
        doc.papersize.cy = h;
        if (!doc.sectionList().empty()) doc.sectionList().front()->papersize.cy = h;
    }
    if (options && options->FCopyCount > 0) copies = options->FCopyCount;
    TMediaFormatter formatter(surface, options);
    for (int i = 0; i < std::max(1, copies); ++i) formatter.PrintDocument(doc);
    surface.finish();
}

void TRtfToPDF::makeFile(std::string_view sourceRtf, const std::filesystem::path& dest, TFieldComputer* fields) {
    auto doc = TRtfDocumentParser::LoadRTFDocument(sourceRtf, false, fields);
    std::filesystem::path folder = dest.parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder);
    std::filesystem::path temp = dest;
    temp += ".tmp";
    try {
        {
            QPdfWriter writer(QString::fromStdString(temp.string()));
            writer.setResolution(1200);
            writer.setTitle(QString::fromStdU16String(doc->info.title));
            writer.setCreator(QStringLiteral("Mirvo"));
            PrintDocument(*doc, writer);
        }
        std::filesystem::rename(temp, dest);
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        throw;
    }
}

}  // namespace kavelin::rtf

#include "app/rtf/docprinter.h"

#include <QPageLayout>
#include <algorithm>
#include <QPdfWriter>
#include <stdexcept>
#include <system_error>

#include "app/rtf/pageformatter.h"
#include "app/rtf/rtfdocparser.h"

namespace kavelin::rtf {

TPagedSurface::TPagedSurface(QPagedPaintDevice& device)
    : TQtSurface(nullptr, device.logicalDpiX(), device.logicalDpiY()), FDevice(device) {}

TPagedSurface::~TPagedSurface() { finish(); }

void TPagedSurface::BeginPage(const TSize& paper) {
    QPageSize size(QSizeF(paper.cx / 20.0, paper.cy / 20.0), QPageSize::Point, QString(), QPageSize::ExactMatch);
    QPageLayout layout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
    layout.setMode(QPageLayout::FullPageMode);
    FDevice.setPageLayout(layout);
    if (FPages == 0) {
        if (!FPainter.begin(&FDevice)) throw std::runtime_error("Kan ikke starte utskrift");
        setPainter(&FPainter);
    } else {
        FDevice.newPage();
    }
    ++FPages;
    setMapMode();
}

void TPagedSurface::finish() {
    if (FPainter.isActive()) FPainter.end();
    setPainter(nullptr);
}

void PrintDocument(TDocument& doc, QPagedPaintDevice& device, int copies) {
    TPagedSurface surface(device);
    TPageFormatter formatter(surface);
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

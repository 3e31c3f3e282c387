// Printing laid-out documents on paged Qt devices (a QPrinter or a
// QPdfWriter) and converting RTF to PDF files.
#pragma once

#include <QPagedPaintDevice>
#include <filesystem>
#include <string_view>

#include "app/rtf/document.h"
#include "app/rtf/qtsurface.h"

namespace kavelin::rtf {

class TFieldComputer;
class TPrintOptions;

// A surface on a paged device: every page gets the section's paper size,
// without margins, so that twips are measured from the paper's top left.
class TPagedSurface : public TQtSurface {
public:
    explicit TPagedSurface(QPagedPaintDevice& device);
    ~TPagedSurface() override;

    // With page-output optimisation a logical page continues below the
    // previous one on the same sheet while it ends at most 60 twips below
    // the sheet's bottom.
    bool OptimizePageOutput = false;
    // Per page: paper bin and orientation (on printers).
    const TPrintOptions* Options = nullptr;

    void BeginPage(const TSize& paper) override;
    void EndPage() override { ++FLogicalPage; }
    // Ends the job; a job without pages leaves the device untouched.
    void finish();
    int pagesPrinted() const { return FPages; }

private:
    QPagedPaintDevice& FDevice;
    QPainter FPainter;
    int FPages = 0;
    int FLogicalPage = 1;
    TSize FSheet;
    int FSheetUsed = 0;
};

// Lays out and prints the whole document once per copy, in one job; with
// options their copy count, scale, page settings and page marks apply.
void PrintDocument(TDocument& doc, QPagedPaintDevice& device, int copies = 1, const TPrintOptions* options = nullptr,
                   bool optimizePageOutput = false);

class TRtfToPDF {
public:
    // Reads the RTF and writes it as a PDF file; the destination folder is
    // created, and the file appears whole or not at all.
    static void makeFile(std::string_view sourceRtf, const std::filesystem::path& destPdfFilename,
                         TFieldComputer* fields = nullptr);
};

}  // namespace kavelin::rtf

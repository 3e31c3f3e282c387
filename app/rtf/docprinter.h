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

// A surface on a paged device: every page gets the section's paper size,
// without margins, so that twips are measured from the paper's top left.
class TPagedSurface : public TQtSurface {
public:
    explicit TPagedSurface(QPagedPaintDevice& device);
    ~TPagedSurface() override;

    void BeginPage(const TSize& paper) override;
    // Ends the job; a job without pages leaves the device untouched.
    void finish();
    int pagesPrinted() const { return FPages; }

private:
    QPagedPaintDevice& FDevice;
    QPainter FPainter;
    int FPages = 0;
};

// Lays out and prints the whole document once per copy, in one job.
void PrintDocument(TDocument& doc, QPagedPaintDevice& device, int copies = 1);

class TRtfToPDF {
public:
    // Reads the RTF and writes it as a PDF file; the destination folder is
    // created, and the file appears whole or not at all.
    static void makeFile(std::string_view sourceRtf, const std::filesystem::path& destPdfFilename,
                         TFieldComputer* fields = nullptr);
};

}  // namespace kavelin::rtf

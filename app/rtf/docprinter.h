// Printing laid-out documents on paged Qt devices (a QPrinter or a
// QPdfWriter): the page surface and the print job that lays documents on it.
#pragma once

#include <QPagedPaintDevice>

#include "app/rtf/document.h"
#include "app/rtf/mediaformatter.h"
#include "app/rtf/qtsurface.h"

namespace kavelin::rtf {

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

// One print job on a paged device: every document printed through it
// continues on the same device, with one page formatter for the whole job.
class TPrintJob {
public:
    TPrintJob(QPagedPaintDevice& device, const TPrintOptions* options, bool optimizePageOutput);

    TPagedSurface Surface;
    TMediaFormatter Formatter;

    // Lays out and prints the whole document once per copy (the options'
    // copy count replaces copies when above 0); options that set a paper
    // height force the document's page height.
    void print(TDocument& doc, int copies = 1);
    // Ends the job on the device.
    void finish() { Surface.finish(); }

private:
    const TPrintOptions* FOptions;
};

// A job of one document on the device.
void PrintDocument(TDocument& doc, QPagedPaintDevice& device, int copies = 1, const TPrintOptions* options = nullptr,
                   bool optimizePageOutput = false);

}  // namespace kavelin::rtf

#include "app/rtf/documentbuilder.h"

#include <QBuffer>
#include <QPdfWriter>
#include <QPrinter>
#include <stdexcept>

#include "app/rtf/docprinter.h"
#include "common/text/encoding.h"
#include "common/utils/atomic_file.h"
#include "app/ui/qt_text.h"

namespace kavelin::rtf {

namespace {

using kavelin::text::qs;

bool isPdfDevice(const TPrintOptions* o) {
    return o && QString::compare(qs(o->FPrinterDevice), qs(PdfPrinterDevice), Qt::CaseInsensitive) == 0;
}

}  // namespace

// The open job: its device (a printer, or a PDF writer into memory whose
// bytes are written to the file only when the job ends well) and the
// formatter that lays the documents on it.
struct TDocumentBuilder::Job {
    QBuffer pdfBytes;
    std::unique_ptr<QPdfWriter> pdf;
    std::filesystem::path pdfPath;
    std::unique_ptr<QPrinter> printer;
    std::unique_ptr<TPrintJob> print;
    bool failed = false;
};

TDocumentBuilder::TDocumentBuilder() = default;

TDocumentBuilder::~TDocumentBuilder() {
    if (FSkrivar) {
        // A job left open by a caller is discarded, not half written.
        FSkrivar->failed = true;
        FBeginPrintCounter = 1;
        try {
            EndPrinting();
        } catch (...) {
            // Nothing is left to report to.
        }
    }
}

void TDocumentBuilder::openDevice(Job& job, const std::u16string& title) {
    const TPrintOptions* options = FOverrideOptions.get();
    QPagedPaintDevice* device = nullptr;
    if (isPdfDevice(options)) {
        if (options->FPrinterPath.empty()) throw std::runtime_error("Ingen PDF-fil er angitt");
        job.pdfPath = std::filesystem::path(options->FPrinterPath);
        job.pdfBytes.open(QIODevice::WriteOnly);
        job.pdf = std::make_unique<QPdfWriter>(&job.pdfBytes);
        job.pdf->setResolution(1200);
        job.pdf->setTitle(qs(title));
        job.pdf->setCreator(QStringLiteral("Mirvo"));
        device = job.pdf.get();
    } else {
        // Without options: the platform's default printer and its settings.
        std::u16string name = options ? options->GetPrinterName() : TPrintOptions().GetPrinterName();
        job.printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        job.printer->setPrinterName(qs(name));
        if (!job.printer->isValid()) throw EPrinterNotFound("Printer \"" + kavelin::text::toUtf8(name) + "\" not found");
        job.printer->setFullPage(true);
        job.printer->setDocName(QStringLiteral("RTF"));
        // Copies are printed by the job, the whole document each time.
        job.printer->setCopyCount(1);
        device = job.printer.get();
    }
    job.print = std::make_unique<TPrintJob>(*device, options, FOptimizePageOutput);
    job.print->Surface.FontAlt = FontAlt;
    job.print->Formatter.OnPagePrePaint = FOnPagePrePaint;
    job.print->Formatter.OnPagePostPaint = FOnPagePostPaint;
    job.print->Formatter.ShowHeaderFooter = true;
    if (FOnPageNumber) job.print->Formatter.OnPageNumber = FOnPageNumber;
}

void TDocumentBuilder::BeginPrinting(const std::u16string& title) {
    if (FBeginPrintCounter++ > 0) return;
    try {
        FSkrivar = std::make_unique<Job>();
        openDevice(*FSkrivar, title);
    } catch (...) {
        FSkrivar.reset();
        FBeginPrintCounter = 0;
        throw;
    }
}

void TDocumentBuilder::EndPrinting() {
    if (FBeginPrintCounter == 0 || --FBeginPrintCounter > 0) return;
    std::unique_ptr<Job> job = std::move(FSkrivar);
    FDocument.reset();
    if (!job) return;
    if (job->failed && job->printer) job->printer->abort();
    job->print->finish();
    job->print.reset();
    if (job->pdf) {
        job->pdf.reset();  // completes the PDF in memory
        if (job->failed) return;
        const QByteArray& bytes = job->pdfBytes.data();
        if (bytes.isEmpty()) throw std::runtime_error("Dokumentet har ingen sider");
        std::filesystem::path folder = job->pdfPath.parent_path();
        if (!folder.empty()) std::filesystem::create_directories(folder);
        kavelin::utils::writeFileAtomic(job->pdfPath, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    }
}

int TDocumentBuilder::pagesPrinted() const { return FSkrivar ? FSkrivar->print->Surface.pagesPrinted() : 0; }

void TDocumentBuilder::LoadFromFile(const std::filesystem::path& file, TMergeValueSource* data) {
    std::filesystem::path name = FindIncludeFile(file);
    FDocument = data ? ReadRTFFile(name, *data) : ReadRTFFile(name);
}

void TDocumentBuilder::LoadFromStream(std::string_view rtf, TMergeValueSource* data) {
    FDocument = data ? ReadRTFStream(rtf, *data) : ReadRTFStream(rtf);
}

void TDocumentBuilder::PrintDocument() {
    if (!FDocument) throw std::logic_error("Ingen dokument er lastet");
    BeginPrinting(FDocument->info.title);
    try {
        FSkrivar->print->print(*FDocument);
    } catch (...) {
        FSkrivar->failed = true;
        EndPrinting();
        throw;
    }
    EndPrinting();
}

void TDocumentBuilder::PrintRTFFile(const std::filesystem::path& file, TMergeValueSource* data) {
    LoadFromFile(file, data);
    PrintDocument();
    if (!isPrinting()) FDocument.reset();
}

void TDocumentBuilder::PrintRTFStream(std::string_view rtf, const std::u16string& title) {
    LoadFromStream(rtf);
    if (!title.empty()) FDocument->info.title = title;
    PrintDocument();
    if (!isPrinting()) FDocument.reset();
}

// ---- TRtfDocumentBuilder -----------------------------------------------------

TPrintOptions& TRtfDocumentBuilder::OverrideOptions() {
    if (!FOverrideOptions) FOverrideOptions = std::make_unique<TPrintOptions>();
    return *FOverrideOptions;
}

void TRtfDocumentBuilder::setOverrideOptions(const TPrintOptions* options) {
    if (!options) {
        FOverrideOptions.reset();
        return;
    }
    OverrideOptions().Assign(*options);
}

// ---- TRtfToPDF ---------------------------------------------------------------

TRtfToPDF::TRtfToPDF() { FOverrideOptions = std::make_unique<TPrintOptions>(); }

void TRtfToPDF::setDestination(const std::filesystem::path& dest) {
    FOverrideOptions->SetPrinterDevice(std::u16string(PdfPrinterDevice));
    FOverrideOptions->FPrinterPath = dest.u16string();
}

void TRtfToPDF::makeFile(std::string_view sourceRtf, const std::filesystem::path& dest, TMergeValueSource* data) {
    TRtfToPDF converter;
    converter.setDestination(dest);
    converter.LoadFromStream(sourceRtf, data);
    converter.PrintDocument();
}

void TRtfToPDF::makeFileFrom(const std::filesystem::path& rtfFile, const std::filesystem::path& dest,
                             TMergeValueSource* data) {
    TRtfToPDF converter;
    converter.setDestination(dest);
    converter.PrintRTFFile(rtfFile, data);
}

}  // namespace kavelin::rtf

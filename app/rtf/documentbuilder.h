// Turns RTF into printed pages: the document builder reads RTF with field
// evaluation into a document and prints it in a print job on a printer
// (QPrinter, through the platform's print system) or, for the PDF printer
// device, on a PDF writer whose file appears whole or not at all.
#pragma once

#include <QPagedPaintDevice>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/rtf/document.h"
#include "app/rtf/fieldcomputer.h"
#include "app/rtf/printoptions.h"

namespace kavelin::rtf {

class TPrintJob;

// The device name of the PDF printer; options naming it write a PDF file
// to their output path (FPrinterPath).
inline constexpr std::u16string_view PdfPrinterDevice = u"MICROSOFT PRINT TO PDF";

class TDocumentBuilder : public TKVFieldComputer {
public:
    TDocumentBuilder();
    ~TDocumentBuilder() override;
    TDocumentBuilder(const TDocumentBuilder&) = delete;
    TDocumentBuilder& operator=(const TDocumentBuilder&) = delete;

    // Given the surface and the logical page rectangle, before and after each page's content.
    std::function<void(TDrawingSurface&, const TRect&)> FOnPagePrePaint, FOnPagePostPaint;
    std::function<std::u16string(int)> FOnPageNumber;
    bool FOptimizePageOutput = false;
    // Font substitutions (name, alternative) handed to the job's surface.
    std::vector<std::pair<std::u16string, std::u16string>> FontAlt;

    // Resolves the name as includes do, loads the document (fields
    // evaluated with data, which may be null), prints it, and frees it
    // unless a job is still open.
    void PrintRTFFile(const std::filesystem::path& file, TMergeValueSource* data = nullptr);
    void PrintRTFStream(std::string_view rtf, const std::u16string& title = {});
    void LoadFromFile(const std::filesystem::path& file, TMergeValueSource* data = nullptr);
    void LoadFromStream(std::string_view rtf, TMergeValueSource* data = nullptr);
    // Prints the loaded document; throws when none is loaded.
    void PrintDocument();
    // Bracket several documents into one job; only the outermost pair
    // starts and ends it. EndPrinting also runs after a failure, and a job
    // that failed is discarded (no PDF file).
    void BeginPrinting(const std::u16string& title);
    void EndPrinting();
    bool isPrinting() const { return FBeginPrintCounter > 0; }
    // Pages printed in the open job (sheets of paper).
    int pagesPrinted() const;
    TDocument* document() const { return FDocument.get(); }
    std::unique_ptr<TDocument> transferLoadedDocument() { return std::move(FDocument); }

protected:
    std::unique_ptr<TPrintOptions> FOverrideOptions;

private:
    struct Job;
    void openDevice(Job& job, const std::u16string& title);

    int FBeginPrintCounter = 0;
    std::unique_ptr<Job> FSkrivar;
    std::unique_ptr<TDocument> FDocument;
};

// A builder whose override options replace the printer's defaults.
class TRtfDocumentBuilder : public TDocumentBuilder {
public:
    // Created empty on first use.
    TPrintOptions& OverrideOptions();
    // Copies the options; null removes them.
    void setOverrideOptions(const TPrintOptions* options);
};

// Converts RTF to a PDF file through the PDF printer device.
class TRtfToPDF : public TDocumentBuilder {
public:
    TRtfToPDF();
    TPrintOptions& OverrideOptions() { return *FOverrideOptions; }

    // The destination folder is created; the file appears whole or not at all.
    static void makeFile(std::string_view sourceRtf, const std::filesystem::path& destPdfFilename,
                         TMergeValueSource* data = nullptr);
    static void makeFileFrom(const std::filesystem::path& rtfFile, const std::filesystem::path& destPdfFilename,
                             TMergeValueSource* data = nullptr);

private:
    void setDestination(const std::filesystem::path& dest);
};

}  // namespace kavelin::rtf

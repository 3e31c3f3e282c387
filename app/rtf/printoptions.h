// Per-job print settings (printer, copies, duplex, paper bins and
// orientation per page, watermark, scale, corner marks, time stamp) and the
// printer setup that keeps them per job kind and printer in a settings file.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/rtf/geometry.h"

namespace kavelin::ini {
class TKavIni;
}
namespace kavelin::utils {
class TAppMng;
}

namespace kavelin::rtf {

class EPrinterNotFound : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The page-dependent part of a device mode; 0 means "the printer's default".
struct TDevModeRecord {
    int paperBin = 0;
    int orientation = 0;  // 1 portrait, 2 landscape
};

struct TDevModeObject {
    int FPagenr = 1;
    TDevModeRecord FData;
};

// Records sorted by page number; a record applies from its page on.
class TDevModeList {
public:
    // The record with the largest page number not above page (the first when none is); null when empty.
    TDevModeObject* findClosest(int page);
    const TDevModeObject* findClosest(int page) const;
    // The record for exactly this page, inserted (as a copy of the closest) when missing.
    TDevModeObject& addNew(int page);
    const std::vector<TDevModeObject>& items() const { return FItems; }
    void clear() { FItems.clear(); }

private:
    std::vector<TDevModeObject> FItems;
};

class TPrintOptions {
public:
    virtual ~TPrintOptions() = default;

    std::u16string FPrinterName;
    std::u16string FPrinterDevice;
    std::u16string FPrinterPath;  // port or output file
    TDevModeList FDeviceModes;
    int FCopyCount = 0;
    int FDuplexCode = 1;
    bool FChanged = false;
    std::u16string FWaterMark;
    int FDeltaX = 0, FDeltaY = 0;  // tenths of a millimetre
    double FScale = 1.0;
    int FPaperHeight = 0, FPaperWidth = 0;  // tenths of a millimetre, 0: the printer's
    int FPageHeight = 0;                    // tenths of a millimetre
    bool FDeviceDefaultFont = false;
    std::u16string FDeviceFontChrMaps;
    TRect FPosMarks;  // tenths of a millimetre; empty: no corner marks
    bool FTimeStamp = false;

    // The printer, the system's default when none is set. Throws EPrinterNotFound.
    std::u16string GetPrinterName() const;
    void SetPrinterName(const std::u16string& name);
    void SetPrinterDevice(const std::u16string& device) { FPrinterDevice = device, FChanged = true; }
    int getPaperSource(int page) const;
    void SetPaperSource(int page, int bin);
    int getOrientation(int page) const;
    void SetOrientation(int page, int code);
    void SetCopyCount(int n) { FCopyCount = n, FChanged = true; }
    void Assign(const TPrintOptions& source);

    // The settings of one job kind and printer (current section of ini).
    void LoadFrom(const ini::TKavIni& ini);
    void SaveTo(ini::TKavIni& ini) const;
};

class TPrinterSetup;

class TPrintJobOptions : public TPrintOptions {
public:
    TPrintJobOptions(TPrinterSetup& owner, int id, std::u16string name) : FOwner(owner), FID(id), FName(std::move(name)) {}
    TPrinterSetup& FOwner;
    int FID;
    std::u16string FName;
};

// Print options per job kind, kept in the shared application settings file
// (section "Network", key "CommonPrnSetup") or, when a user overrides the
// shared setup ("User", "OverrideCommonPrnSetup"), in the user's own file.
class TPrinterSetup {
public:
    TPrinterSetup(std::filesystem::path appSettingsFile, std::filesystem::path userSettingsFile);
    ~TPrinterSetup();

    bool FSharedSetup = false;
    bool FOverrideSharedSetup = false;
    const std::filesystem::path& setupFileName() const { return FSetupFileName; }

    // Adds a job kind and loads its settings.
    TPrintJobOptions& addJobKind(int id, const std::u16string& name);
    bool jobKindExists(int id) const { return FOptions.count(id) != 0; }
    TPrintJobOptions* getPrintOptions(int id);
    // Switches a job kind to another printer, loading that printer's last settings.
    void selectPrinter(int id, const std::u16string& printerName);
    // Writes the shared/override flags and every job kind.
    void Save();

private:
    void chooseFile();
    void load(TPrintJobOptions& o);
    static std::u16string sectionOf(int id);

    std::filesystem::path FAppFile, FUserFile, FSetupFileName;
    std::map<int, std::unique_ptr<TPrintJobOptions>> FOptions;
};

// The process's one printer setup, made on first use from the folder
// manager's application and user settings files.
TPrinterSetup& printerSetup(kavelin::utils::TAppMng& app);

// Installed printers (through the platform's print system).
std::vector<std::u16string> installedPrinterNames();
std::u16string defaultPrinterName();
// "name=code" entries of a printer's paper sources, "Standard=0" first.
std::vector<std::u16string> EnumPaperBins(const std::u16string& printerName);

}  // namespace kavelin::rtf

#include "app/rtf/printoptions.h"

#include <QPrinterInfo>
#include <algorithm>

#include "app/ui/ini/kav_ini.h"
#include "common/utils/app_mng.h"
#include "common/text/encoding.h"
#include "common/text/numtext.h"

namespace kavelin::rtf {

using kavelin::ini::TIniOpenMode;
using kavelin::ini::TKavIni;
using kavelin::text::intText;

// ---- device modes ----------------------------------------------------------

const TDevModeObject* TDevModeList::findClosest(int page) const {
    if (FItems.empty()) return nullptr;
    const TDevModeObject* best = &FItems.front();
    for (const auto& d : FItems)
        if (d.FPagenr <= page) best = &d;
    return best;
}

TDevModeObject* TDevModeList::findClosest(int page) {
    return const_cast<TDevModeObject*>(static_cast<const TDevModeList*>(this)->findClosest(page));
}

TDevModeObject& TDevModeList::addNew(int page) {
    if (page < 1) throw std::invalid_argument("Cannot add device mode object for page numbers less than 1");
    auto it = std::lower_bound(FItems.begin(), FItems.end(), page,
                               [](const TDevModeObject& d, int p) { return d.FPagenr < p; });
    if (it != FItems.end() && it->FPagenr == page) return *it;
    TDevModeObject obj;
    if (const TDevModeObject* closest = findClosest(page)) obj = *closest;
    obj.FPagenr = page;
    return *FItems.insert(it, obj);
}

// ---- options ---------------------------------------------------------------

std::u16string TPrintOptions::GetPrinterName() const {
    if (FPrinterName.empty()) {
        std::u16string d = defaultPrinterName();
        if (d.empty()) throw EPrinterNotFound("No default printer found");
        return d;
    }
    auto names = installedPrinterNames();
    if (std::find(names.begin(), names.end(), FPrinterName) == names.end())
        throw EPrinterNotFound("Printer \"" + kavelin::text::toUtf8(FPrinterName) + "\" not found");
    return FPrinterName;
}

void TPrintOptions::SetPrinterName(const std::u16string& name) {
    if (name == FPrinterName) return;
    FPrinterName = name;
    FChanged = true;
}

int TPrintOptions::getPaperSource(int page) const {
    const TDevModeObject* d = FDeviceModes.findClosest(page);
    return d ? d->FData.paperBin : 0;
}

void TPrintOptions::SetPaperSource(int page, int bin) {
    FDeviceModes.addNew(page).FData.paperBin = bin;
    FChanged = true;
}

int TPrintOptions::getOrientation(int page) const {
    const TDevModeObject* d = FDeviceModes.findClosest(page);
    return d ? d->FData.orientation : 0;
}

void TPrintOptions::SetOrientation(int page, int code) {
    FDeviceModes.addNew(page).FData.orientation = code;
    FChanged = true;
}

void TPrintOptions::Assign(const TPrintOptions& s) {
    TPrintOptions::operator=(s);
}

void TPrintOptions::LoadFrom(const TKavIni& ini) {
    ini.SeekInt(u"CopyCount", FCopyCount);
    ini.SeekBool(u"DeviceDefaultFont", FDeviceDefaultFont);
    ini.SeekStr(u"ChrMaps", FDeviceFontChrMaps);
    ini.SeekInt(u"Duplex", FDuplexCode);
    ini.SeekStr(u"Watermark1", FWaterMark);
    ini.SeekInt(u"DeltaX1", FDeltaX);
    ini.SeekInt(u"DeltaY1", FDeltaY);
    std::u16string scale;
    if (ini.SeekStr(u"Scale1", scale)) FScale = ini.GetFloat(u"Scale1");
    if (!(FScale > 0.05 && FScale < 20)) FScale = 1.0;
    ini.SeekInt(u"PaperH1", FPaperHeight);
    ini.SeekInt(u"PaperW1", FPaperWidth);
    ini.SeekInt(u"PageH1", FPageHeight);
    int maxPage = std::clamp(ini.GetInt(u"MaxPageNumber"), 0, 1000);
    FDeviceModes.clear();
    for (int p = 1; p <= maxPage; ++p) {
        int bin = 0, orientation = 0;
        bool hasBin = ini.SeekInt(u"Source" + intText(p), bin);
        bool hasOrientation = ini.SeekInt(u"Orientation" + intText(p), orientation);
        if (!hasBin && !hasOrientation) continue;
        TDevModeObject& d = FDeviceModes.addNew(p);
        d.FData = {bin, orientation};
    }
}

void TPrintOptions::SaveTo(TKavIni& ini) const {
    ini.SetInt(u"CopyCount", FCopyCount);
    ini.SetBool(u"DeviceDefaultFont", FDeviceDefaultFont);
    ini.SetStr(u"ChrMaps", FDeviceFontChrMaps);
    ini.SetInt(u"Duplex", FDuplexCode);
    ini.SetStr(u"Watermark1", FWaterMark);
    ini.SetInt(u"DeltaX1", FDeltaX);
    ini.SetInt(u"DeltaY1", FDeltaY);
    ini.SetFloat(u"Scale1", FScale);
    ini.SetInt(u"PaperH1", FPaperHeight);
    ini.SetInt(u"PaperW1", FPaperWidth);
    ini.SetInt(u"PageH1", FPageHeight);
    int maxPage = FDeviceModes.items().empty() ? 0 : FDeviceModes.items().back().FPagenr;
    ini.SetInt(u"MaxPageNumber", maxPage);
    for (const auto& d : FDeviceModes.items()) {
        ini.SetInt(u"Source" + intText(d.FPagenr), d.FData.paperBin);
        ini.SetInt(u"Orientation" + intText(d.FPagenr), d.FData.orientation);
    }
}

// ---- printer setup ---------------------------------------------------------

TPrinterSetup::TPrinterSetup(std::filesystem::path appFile, std::filesystem::path userFile)
    : FAppFile(std::move(appFile)), FUserFile(std::move(userFile)) {
    std::unique_ptr<TKavIni> ini;
    if (ini::openIni(ini, FAppFile) && ini->SeekSection(u"Network")) FSharedSetup = ini->GetBool(u"CommonPrnSetup");
    ini.reset();
    if (ini::openIni(ini, FUserFile) && ini->SeekSection(u"User"))
        FOverrideSharedSetup = ini->GetBool(u"OverrideCommonPrnSetup");
    chooseFile();
}

TPrinterSetup::~TPrinterSetup() = default;

void TPrinterSetup::chooseFile() { FSetupFileName = FSharedSetup && !FOverrideSharedSetup ? FAppFile : FUserFile; }

std::u16string TPrinterSetup::sectionOf(int id) { return u"PrinterSetup " + intText(id); }

void TPrinterSetup::load(TPrintJobOptions& o) {
    std::unique_ptr<TKavIni> ini;
    if (!ini::openIni(ini, FSetupFileName)) return;
    std::u16string printer;
    if (ini->SeekSection(sectionOf(o.FID))) ini->SeekStr(u"PrinterName", printer);
    if (printer.empty()) printer = defaultPrinterName();
    o.FPrinterName = printer;
    if (!printer.empty() && ini->SeekSection(sectionOf(o.FID) + u" " + printer)) o.LoadFrom(*ini);
    o.FChanged = false;
}

TPrintJobOptions& TPrinterSetup::addJobKind(int id, const std::u16string& name) {
    auto& slot = FOptions[id];
    if (!slot) {
        slot = std::make_unique<TPrintJobOptions>(*this, id, name);
        load(*slot);
    }
    return *slot;
}

TPrintJobOptions* TPrinterSetup::getPrintOptions(int id) {
    auto it = FOptions.find(id);
    return it == FOptions.end() ? nullptr : it->second.get();
}

void TPrinterSetup::selectPrinter(int id, const std::u16string& printerName) {
    TPrintJobOptions* o = getPrintOptions(id);
    if (!o) return;
    auto fresh = std::make_unique<TPrintJobOptions>(*this, id, o->FName);
    fresh->FPrinterName = printerName;
    std::unique_ptr<TKavIni> ini;
    if (ini::openIni(ini, FSetupFileName) && ini->SeekSection(sectionOf(id) + u" " + printerName)) fresh->LoadFrom(*ini);
    fresh->FChanged = true;
    FOptions[id] = std::move(fresh);
}

void TPrinterSetup::Save() {
    {
        TKavIni app(FAppFile, TIniOpenMode::imOpenCreate);
        app.setSection(u"Network");
        app.SetBool(u"CommonPrnSetup", FSharedSetup);
    }
    {
        TKavIni user(FUserFile, TIniOpenMode::imOpenCreate);
        user.setSection(u"User");
        user.SetBool(u"OverrideCommonPrnSetup", FOverrideSharedSetup);
    }
    chooseFile();
    TKavIni ini(FSetupFileName, TIniOpenMode::imOpenCreate);
    for (auto& [id, o] : FOptions) {
        ini.setSection(sectionOf(id));
        ini.SetStr(u"PrinterName", o->FPrinterName);
        if (o->FPrinterName.empty()) continue;
        ini.setSection(sectionOf(id) + u" " + o->FPrinterName);
        o->SaveTo(ini);
        o->FChanged = false;
    }
}

TPrinterSetup& printerSetup(kavelin::utils::TAppMng& app) {
    static TPrinterSetup setup(std::filesystem::path(app.getAppIniFile()), std::filesystem::path(app.getUserIniFile()));
    return setup;
}

// ---- installed printers ----------------------------------------------------

std::vector<std::u16string> installedPrinterNames() {
    std::vector<std::u16string> out;
    for (const QString& n : QPrinterInfo::availablePrinterNames()) out.push_back(n.toStdU16String());
    return out;
}

std::u16string defaultPrinterName() { return QPrinterInfo::defaultPrinterName().toStdU16String(); }

std::vector<std::u16string> EnumPaperBins(const std::u16string& printerName) {
    // Qt names no paper sources of a printer on this platform: only the
    // printer's own choice is offered.
    (void)printerName;
    return {u"Standard=0"};
}

}  // namespace kavelin::rtf

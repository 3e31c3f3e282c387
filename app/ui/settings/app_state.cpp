#include "app/ui/settings/app_state.h"

#include "app/ui/ini/kav_ini.h"
#include "common/text/casing.h"
#include "common/utils/file_utils.h"

#include <filesystem>
#include <stdexcept>

namespace kavelin::utils {
namespace {

std::filesystem::path asPath(const std::u16string& s) { return std::filesystem::path(s); }

}  // namespace

TAppMode parseAppMode(std::u16string_view text) {
    std::u16string t = text::upperCase(text);
    if (t == u"RESTRICTED") return TAppMode::Restricted;
    if (t == u"ADMIN") return TAppMode::Admin;
    if (t == u"DEVELOPER") return TAppMode::Developer;
    return TAppMode::Normal;
}

void TAppState::load() {
    appMode = TAppMode::Normal;
    cfgID = 0;
    cfgSaved = true;
    std::unique_ptr<ini::TKavIni> ini;
    if (ini::openIni(ini, asPath(FMng.getCfgIniFile()))) {
        std::u16string mode;
        if (ini->SeekSection(u"Application") && ini->SeekStr(u"Mode", mode)) appMode = parseAppMode(mode);
        if (ini->SeekSection(u"Config")) {
            int id = 0;
            if (ini->SeekInt(u"ID", id)) cfgID = id;
            ini->SeekBool(u"Saved", cfgSaved);
        }
    }
    std::string bytes;
    try {
        bytes = readFileWithRetry(asPath(FMng.getAppFile(u"stdCfg.id")));
    } catch (const EFOpenError&) {
    }
    if (bytes.size() < 4) {
        if (appMode != TAppMode::Developer) throw std::runtime_error("Mirvo finner ikke filen StdCfg.id");
        stdCfgID = 0;
        return;
    }
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(bytes[size_t(i)]);
    stdCfgID = static_cast<int32_t>(v);
}

bool TAppState::saveCfgState(int32_t id, bool saved) {
    std::unique_ptr<ini::TKavIni> ini;
    if (!ini::openOrCreateIni(ini, asPath(FMng.getCfgIniFile()))) return false;
    ini->setSection(u"Config");
    ini->SetInt(u"ID", id);
    ini->SetBool(u"Saved", saved);
    ini->Flush();
    if (ini->error() != 0) return false;
    cfgID = id;
    cfgSaved = saved;
    return true;
}

bool TAppState::isCfgReadOnly() {
    if (!FReadOnly) FReadOnly = appMode == TAppMode::Restricted || !isDirWritable(asPath(FMng.getDefaultCfgDir()));
    return *FReadOnly;
}

std::u16string TAppState::getCfgFileName(std::u16string_view name, bool forSave) {
    if (isAdminMode()) return FMng.getCfgFile(name);
    std::u16string custom = FMng.getCfgFile(u"custom_" + std::u16string(name));
    std::error_code ec;
    if (!forSave && !std::filesystem::exists(asPath(custom), ec)) return FMng.getCfgFile(name);
    return custom;
}

std::u16string TAppState::getCaseFolder() const { return FMng.getDocumentsDir() + u"Kavelin/Mirvo/"; }

std::u16string TAppState::newCaseFileName() const {
    return nextFreeFileName(asPath(getCaseFolder()), u"Sak", u".mvs").u16string();
}

std::u16string TAppState::newExportFileName() const {
    return nextFreeFileName(asPath(getCaseFolder()), u"FilEksport", u".csv").u16string();
}

TAppState& appState() {
    static TAppState state(appMng());
    return state;
}

}  // namespace kavelin::utils

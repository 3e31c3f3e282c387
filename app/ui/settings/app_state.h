// The application state kept beside the folder manager: the application
// mode, the IDs of the standard and the customer's own configuration, the
// read-only rule for configuration editing, the choice between a
// configuration file and its "custom_" copy, and the default folder and
// numbered names of new case and export files. It lives with the settings
// files because it is read from one.
#pragma once

#include "common/utils/app_mng.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kavelin::utils {

enum class TAppMode { Restricted = 0, Normal = 1, Admin = 2, Developer = 3 };

// "Restricted", "Normal", "Admin", "Developer" without regard to case; any
// other text is Normal.
TAppMode parseAppMode(std::u16string_view text);

class TAppState {
public:
    explicit TAppState(TAppMng& mng) : FMng(mng) {}

    // Reads appMode, cfgID and cfgSaved from the configuration folder's
    // settings file and stdCfgID from "stdCfg.id" in the program folder;
    // raises "Mirvo finner ikke filen StdCfg.id" when that file is missing
    // or short, except in Developer mode.
    void load();
    // Writes [Config] ID and Saved; on success also sets cfgID and cfgSaved.
    // Answers whether the file could be opened and written.
    bool saveCfgState(int32_t id, bool saved);

    bool isUserMode() const { return appMode == TAppMode::Restricted || appMode == TAppMode::Normal; }
    bool isAdminMode() const { return !isUserMode(); }
    bool isCfgNotRegistered() const { return cfgID != 0 || !cfgSaved; }
    // Restricted mode, or a configuration folder that cannot be written;
    // computed on the first call and kept.
    bool isCfgReadOnly();
    // User modes: the "custom_" copy (when reading and it does not exist,
    // the standard file); admin modes: the standard file.
    std::u16string getCfgFileName(std::u16string_view name, bool forSave);

    // Documents + "Kavelin/Mirvo/".
    std::u16string getCaseFolder() const;
    // The next free "Sak<n>.mvs" / "FilEksport<n>.csv" in the case folder.
    std::u16string newCaseFileName() const;
    std::u16string newExportFileName() const;

    TAppMode appMode = TAppMode::Normal;
    int32_t cfgID = 0;
    bool cfgSaved = true;
    int32_t stdCfgID = 0;

private:
    TAppMng& FMng;
    std::optional<bool> FReadOnly;
};

// The process-wide state over appMng().
TAppState& appState();

}  // namespace kavelin::utils

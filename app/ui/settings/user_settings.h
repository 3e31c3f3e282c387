// TUserSettings: the per-user layout settings, kept in the user settings
// file ([LayoutSettings] MainCalcMultiCol).
#pragma once

#include "common/utils/app_mng.h"

namespace kavelin::utils {

class TUserSettings {
public:
    // Loads; without a user settings file the defaults stay (defaults()).
    explicit TUserSettings(TAppMng& mng);

    bool defaults() const { return FDefaults; }
    bool MainCalcMultiCol() const { return FMainCalcMultiCol; }
    // A new value is stored in the user settings file at once.
    void setMainCalcMultiCol(bool on);

private:
    TAppMng& FMng;
    bool FDefaults = true;
    bool FMainCalcMultiCol = true;
};

TUserSettings& userSettings();

}  // namespace kavelin::utils

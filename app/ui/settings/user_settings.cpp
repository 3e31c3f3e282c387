#include "app/ui/settings/user_settings.h"

#include "app/ui/ini/kav_ini.h"

namespace kavelin::utils {

TUserSettings::TUserSettings(TAppMng& mng) : FMng(mng) {
    std::unique_ptr<ini::TKavIni> ini;
    if (!ini::openIni(ini, std::filesystem::path(FMng.getUserIniFile()))) return;
    FDefaults = false;
    if (ini->SeekSection(u"LayoutSettings")) ini->SeekBool(u"MainCalcMultiCol", FMainCalcMultiCol);
}

void TUserSettings::setMainCalcMultiCol(bool on) {
    if (on == FMainCalcMultiCol) return;
    FMainCalcMultiCol = on;
    std::unique_ptr<ini::TKavIni> ini;
    if (!ini::openOrCreateIni(ini, std::filesystem::path(FMng.getUserIniFile()))) return;
    ini->setSection(u"LayoutSettings");
    ini->SetBool(u"MainCalcMultiCol", on);
}

TUserSettings& userSettings() {
    static TUserSettings settings(appMng());
    return settings;
}

}  // namespace kavelin::utils

#include "app/ui/ini/kav_ini.h"

#include "app/ui/ini/ini_values.h"

namespace kavelin::ini {

TKavIni::TKavIni(const std::filesystem::path& iniFileName, TIniOpenMode openMode)
    : FFileName(iniFileName),
      FFile(&TIniFileList::instance().open(iniFileName, openMode)),
      FSection(&FFile->unnamed()) {
    TIniFileList::instance().addHandle(this);
}

TKavIni::~TKavIni() {
    TIniFileList::instance().removeHandle(this);
    TIniFileList::instance().close(*FFile);
}

bool TKavIni::SeekSection(std::u16string_view name) {
    TIniSection* s = FFile->findSection(name);
    if (!s) return false;
    FSection = s;
    return true;
}

void TKavIni::setSection(std::u16string_view name) {
    if (!SeekSection(name)) FSection = &FFile->addSection(name);
}

bool TKavIni::SeekStr(std::u16string_view name, std::u16string& value) const {
    auto raw = FSection->rawValue(name);
    if (!raw) return false;
    value = decodeIniString(*raw);
    return true;
}

bool TKavIni::SeekInt(std::u16string_view name, int& value) const {
    auto raw = FSection->rawValue(name);
    if (!raw) return false;
    value = parseIniInt(*raw);
    return true;
}

bool TKavIni::SeekBool(std::u16string_view name, bool& value) const {
    auto raw = FSection->rawValue(name);
    if (!raw) return false;
    value = parseIniBool(trimIni(*raw));
    return true;
}

std::u16string TKavIni::GetStr(std::u16string_view name) const {
    std::u16string v;
    SeekStr(name, v);
    return v;
}

int TKavIni::GetInt(std::u16string_view name) const {
    int v = 0;
    SeekInt(name, v);
    return v;
}

double TKavIni::GetFloat(std::u16string_view name) const {
    auto raw = FSection->rawValue(name);
    return raw ? parseIniFloat(*raw) : 0.0;
}

bool TKavIni::GetBool(std::u16string_view name) const {
    bool v = false;
    SeekBool(name, v);
    return v;
}

void TKavIni::SetStr(std::u16string_view name, std::u16string_view value) {
    FSection->setValue(name, encodeIniString(value));
}

void TKavIni::SetInt(std::u16string_view name, long long value) { FSection->setValue(name, formatIniInt(value)); }

void TKavIni::SetFloat(std::u16string_view name, double value) { FSection->setValue(name, formatIniFloat(value)); }

void TKavIni::SetBool(std::u16string_view name, bool value) { FSection->setValue(name, formatIniBool(value)); }

void TKavIni::SectionToStrings(std::u16string_view section, std::vector<std::u16string>& list) const {
    list.clear();
    const TIniSection* s = FFile->findSection(section);
    if (!s) return;
    for (const auto& line : s->lines()) list.push_back(restoreLineBreaks(line));
}

bool TKavIni::DeleteSection(std::u16string_view name) {
    TIniSection* s = FFile->findSection(name);
    if (!s || s == &FFile->unnamed()) return false;
    TIniFileList::instance().sectionDeleted(*FFile, *s);
    return FFile->deleteSection(*s);
}

void TKavIni::Flush() { FFile->save(); }

namespace {

bool openHandle(std::unique_ptr<TKavIni>& ini, const std::filesystem::path& fileName, TIniOpenMode mode) {
    try {
        ini = std::make_unique<TKavIni>(fileName, mode);
        return true;
    } catch (const EIniError&) {
        return false;
    }
}

}  // namespace

bool openIni(std::unique_ptr<TKavIni>& ini, const std::filesystem::path& fileName) {
    return openHandle(ini, fileName, TIniOpenMode::imOpen);
}

bool openOrCreateIni(std::unique_ptr<TKavIni>& ini, const std::filesystem::path& fileName) {
    return openHandle(ini, fileName, TIniOpenMode::imOpenCreate);
}

std::u16string readIniString(const std::filesystem::path& fileName, std::u16string_view section,
                             std::u16string_view key, std::u16string_view defaultValue) {
    std::unique_ptr<TKavIni> ini;
    std::u16string value(defaultValue);
    if (openIni(ini, fileName) && ini->SeekSection(section)) ini->SeekStr(key, value);
    return value;
}

bool writeIniString(const std::filesystem::path& fileName, std::u16string_view section, std::u16string_view key,
                    std::u16string_view value) {
    std::unique_ptr<TKavIni> ini;
    if (!openOrCreateIni(ini, fileName)) return false;
    ini->setSection(section);
    ini->SetStr(key, value);
    ini->Flush();
    return ini->error() == 0;
}

}  // namespace kavelin::ini

// TKavIni: a handle on a settings file. Handles on the same file share one
// in-memory copy (TIniFileList); the file is written when the last handle
// closes or on Flush, and only when something changed.
#pragma once

#include "app/ui/ini/ini_file.h"
#include "common/utils/os_error.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kavelin::ini {

// code() is the operating-system error of the failed open.
class EIniError : public utils::EOSError {
    using utils::EOSError::EOSError;
};
// "Cannot create file %s" (imOpenCreate).
class EIniCreateError : public EIniError {
    using EIniError::EIniError;
};
// "Cannot open file %s" (imOpen).
class EIniOpenError : public EIniError {
    using EIniError::EIniError;
};

class TKavIni {
public:
    // Opens a handle; the current section is the unnamed first section.
    TKavIni(const std::filesystem::path& iniFileName, TIniOpenMode openMode);
    ~TKavIni();
    TKavIni(const TKavIni&) = delete;
    TKavIni& operator=(const TKavIni&) = delete;

    const std::filesystem::path& fileName() const { return FFileName; }
    // Operating-system error of the file's last load or save; 0 when none.
    int error() const { return FFile->error(); }

    // Makes the section current; false (and no change) when it is missing.
    bool SeekSection(std::u16string_view name);
    // Makes the section current, appending an empty one when missing.
    void setSection(std::u16string_view name);
    const std::u16string& Section() const { return FSection->name(); }

    // Store the value and answer true when the key exists; else leave the
    // variable alone and answer false.
    bool SeekStr(std::u16string_view name, std::u16string& value) const;
    bool SeekInt(std::u16string_view name, int& value) const;
    bool SeekBool(std::u16string_view name, bool& value) const;

    // Empty, 0, 0.0 or false when the key is missing.
    std::u16string GetStr(std::u16string_view name) const;
    int GetInt(std::u16string_view name) const;
    double GetFloat(std::u16string_view name) const;
    bool GetBool(std::u16string_view name) const;

    void SetStr(std::u16string_view name, std::u16string_view value);
    void SetInt(std::u16string_view name, long long value);
    void SetFloat(std::u16string_view name, double value);
    void SetBool(std::u16string_view name, bool value);

    // The section's lines, line breaks restored; empty when it is missing.
    void SectionToStrings(std::u16string_view section, std::vector<std::u16string>& list) const;
    bool DeleteSection(std::u16string_view name);
    // Writes the file now if it has changed.
    void Flush();

private:
    friend class TIniFileList;

    std::filesystem::path FFileName;
    TIniFile* FFile;
    TIniSection* FSection;
};

// Open a handle, answering false instead of raising.
bool openIni(std::unique_ptr<TKavIni>& ini, const std::filesystem::path& fileName);
bool openOrCreateIni(std::unique_ptr<TKavIni>& ini, const std::filesystem::path& fileName);

// Open, read or write one value, close. readIniString answers the default
// when the file, section or key is missing; writeIniString whether the file
// could be written.
std::u16string readIniString(const std::filesystem::path& fileName, std::u16string_view section,
                             std::u16string_view key, std::u16string_view defaultValue);
bool writeIniString(const std::filesystem::path& fileName, std::u16string_view section, std::u16string_view key,
                    std::u16string_view value);

}  // namespace kavelin::ini

// The in-memory copy of one settings file, shared by every handle on it.
// Format: sections "[name]" of name=value lines; lines before the first
// header belong to an unnamed first section. Files are read in any line-end
// style and written with CR line ends and an empty line after each section.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kavelin::ini {

enum class TIniOpenMode { imOpen, imOpenCreate };

class TIniSection {
public:
    explicit TIniSection(std::u16string_view name);

    const std::u16string& name() const { return FName; }
    const std::u16string& compareName() const { return FCompareName; }
    const std::vector<std::u16string>& lines() const { return FLines; }
    bool changed() const { return FChanged; }
    void setChanged(bool on) { FChanged = on; }

    // The raw text after "=" of the first line whose trimmed name matches
    // the key without regard to case; none when the key is missing.
    std::optional<std::u16string_view> rawValue(std::u16string_view key) const;
    // Replaces the key's value in place, or appends key=value.
    void setValue(std::u16string_view key, std::u16string_view valueText);
    void addLine(std::u16string_view line) { FLines.emplace_back(line); }

private:
    std::optional<size_t> findKey(std::u16string_view key) const;

    std::u16string FName;
    std::u16string FCompareName;
    std::vector<std::u16string> FLines;
    bool FChanged = false;
};

class TIniFile {
public:
    TIniFile(std::filesystem::path name, TIniOpenMode mode);

    const std::filesystem::path& name() const { return FName; }
    TIniOpenMode openMode() const { return FOpenMode; }
    // Operating-system error of the last load or save; 0 when none.
    int error() const { return FError; }
    int openCount() const { return FOpenCount; }

    // Reads the file (creating an empty one first for imOpenCreate); false
    // with error() set when it cannot be opened.
    bool load();
    // Writes the file when it has changed; a failure is kept in error().
    void save();
    bool changed() const;

    TIniSection& unnamed() { return *FSections.front(); }
    // The first section of that name (without regard to case), or none.
    TIniSection* findSection(std::u16string_view name) const;
    TIniSection& addSection(std::u16string_view name);
    // Removes the first section of that name; the unnamed section stays.
    bool deleteSection(TIniSection& section);

    // The whole file as text (the form save() writes).
    std::u16string text() const;
    void parse(std::u16string_view text);

private:
    friend class TIniFileList;

    std::filesystem::path FName;
    TIniOpenMode FOpenMode;
    int FError = 0;
    int FOpenCount = 0;
    std::vector<std::unique_ptr<TIniSection>> FSections;
    bool FChanged = false;
};

class TKavIni;

// The process-wide list of open settings files and live handles. Handles on
// the same file share one TIniFile; it is written when the last closes.
class TIniFileList {
public:
    static TIniFileList& instance();
    ~TIniFileList();

    // Shares an open file or loads it; raises EIniOpenError/EIniCreateError.
    TIniFile& open(const std::filesystem::path& fileName, TIniOpenMode mode);
    void close(TIniFile& file);
    void addHandle(TKavIni* handle);
    void removeHandle(TKavIni* handle);
    // Moves every handle whose current section is being deleted to the
    // unnamed section.
    void sectionDeleted(TIniFile& file, TIniSection& section);
    size_t openFileCount() const { return FOpenFiles.size(); }

private:
    std::vector<std::unique_ptr<TIniFile>> FOpenFiles;
    std::vector<TKavIni*> FOpenIniObjects;
};

}  // namespace kavelin::ini

// Field evaluation: every "field" group that the reader meets gets a new
// result computed from merge data, the information group, the clock,
// include files or picture files, formatted by the field's switches.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "app/rtf/document.h"
#include "app/rtf/rtfdocparser.h"

namespace kavelin::rtf {

// Merge data: values read and written by name (a late-bound object such as
// an automation object). Names and values are wide texts.
class TMergeValueSource {
public:
    virtual ~TMergeValueSource() = default;
    // The value of a name; nothing when the object does not know the name.
    virtual std::optional<std::u16string> GetValue(std::u16string_view name) = 0;
    virtual void SetValue(std::u16string_view name, std::u16string_view value) = 0;
};

// Merge data held in a map; names compare ignoring case.
class TMergeValueMap : public TMergeValueSource {
public:
    std::optional<std::u16string> GetValue(std::u16string_view name) override;
    void SetValue(std::u16string_view name, std::u16string_view value) override;

private:
    std::map<std::u16string, std::u16string> values;
};

// A field or private command that this system does not evaluate.
class EFieldNotSupported : public std::runtime_error {
public:
    explicit EFieldNotSupported(const std::string& subject)
        : std::runtime_error("Not supported! (" + subject + ")") {}
};

class TKVFieldComputer : public TFieldComputer {
public:
    TKVFieldComputer();
    ~TKVFieldComputer() override;

    TMergeValueSource* FData = nullptr;  // set for the duration of one read
    std::filesystem::path filepath;      // the file being read; last place searched for includes
    bool DoIncludePictures = true;       // false: pictures stay INCLUDEPICTURE fields (merge mode)
    bool IncludeHeader = false;          // included RTF files bring their header and footer groups
    bool VisFeltNamn = false;            // merge and form fields show their names
    // Given a file name that does not exist, a full name (or empty).
    std::function<std::filesystem::path(const std::filesystem::path&)> OnFileSearch;
    // The application log (single lines).
    std::function<void(std::string_view)> OnLog;
    // The clock: days since 30 December 1899 with the time as fraction.
    std::function<double()> Now;

    // Process-wide defaults set by the private command FMTS.
    static std::string DefaultNumberFormat;
    static std::string DefaultDateFormat;

    bool ComputeField(TRtfFileParser& reader, TRtfFieldParser& field) override;
    // fmtnum 1: a field in the text; 0: a field nested in another's instruction.
    bool ComputeFieldLL(TRtfFileParser& reader, TRtfFieldParser& field, int fmtnum);

    std::unique_ptr<TDocument> ReadRTFFile(const std::filesystem::path& fileName, bool metaOnly = false);
    std::unique_ptr<TDocument> ReadRTFFile(const std::filesystem::path& fileName, TMergeValueSource& data,
                                           bool metaOnly = false);
    std::unique_ptr<TDocument> ReadRTFStream(std::string_view rtf);
    std::unique_ptr<TDocument> ReadRTFStream(std::string_view rtf, TMergeValueSource& data);

    // Merge values as 8-bit texts; an unknown name or no merge data gives "".
    virtual std::string GetMergeValue(const std::string& name);
    // Throws without merge data.
    virtual void SetMergeValue(const std::string& name, const std::string& value);

    // The name itself when it exists, else OnFileSearch's answer, else the
    // name in the folder of filepath; a name without extension is tried
    // with ".SP2" and ".RTF". Nothing found: the name as given.
    std::filesystem::path FindIncludeFile(const std::filesystem::path& name) const;

    // Merge mode: writes a copy of the source RTF file in which every field
    // is replaced by its result (atomically); returns the document's title.
    std::u16string FlettRTFFelt(const std::filesystem::path& source, const std::filesystem::path& dest,
                                TMergeValueSource* data);

private:
    class Evaluation;
    std::string resolveInstruction(TRtfFileParser& reader, std::string_view instruction);
    std::string includeText(TRtfFileParser& reader, const std::string& name);
    std::string includePicture(const std::string& name);
    void log(std::string_view line) const;

    int FNesting = 0;  // fields being evaluated inside instructions
};

// Plain text as RTF: backslashes doubled, line breaks become paragraph breaks.
std::string plainToRtf(std::string_view text);
// Reads a whole file; throws std::runtime_error when it cannot be read.
std::string readWholeFile(const std::filesystem::path& fileName);
// An 8-bit file name from a field, as a path (backslashes are folder separators).
std::filesystem::path fieldPath(const std::string& name);

}  // namespace kavelin::rtf

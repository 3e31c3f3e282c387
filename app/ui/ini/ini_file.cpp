#include "app/ui/ini/ini_file.h"

#include "app/ui/ini/ini_values.h"
#include "app/ui/ini/kav_ini.h"
#include "common/text/casing.h"
#include "common/text/encoding.h"
#include "common/utils/atomic_file.h"
#include "common/utils/file_utils.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace kavelin::ini {
namespace {

// Upper-cases like the quick test of a key lookup: ASCII letters directly,
// everything above "z" with the locale-independent casing.
char16_t upperFirst(char16_t c) {
    if (c >= u'a' && c <= u'z') return char16_t(c & ~0x20);
    return c > u'z' ? text::upperChar(c) : c;
}

// Same file in the list: exact path after normalising (file names on Linux
// differ by case, so two spellings may be two files).
std::filesystem::path fileKey(const std::filesystem::path& p) {
    std::error_code ec;
    std::filesystem::path abs = std::filesystem::absolute(p, ec);
    if (ec) abs = p;
    std::u16string s = abs.lexically_normal().u16string();
    while (s.size() > 1 && s.back() == u'/') s.pop_back();
    return std::filesystem::path(s);
}

// Bytes of the file: Windows-1252 when every character has a byte there,
// otherwise UTF-8 with a byte-order mark so that nothing is lost.
std::string encodeIniText(const std::u16string& text) {
    std::string ansi = text::toCp1252(text);
    if (text::fromCp1252(ansi) == text) return ansi;
    return "\xEF\xBB\xBF" + text::toUtf8(text);
}

}  // namespace

// ---- TIniSection ----

TIniSection::TIniSection(std::u16string_view name) : FName(name), FCompareName(text::upperCase(name)) {}

std::optional<size_t> TIniSection::findKey(std::u16string_view key) const {
    if (key.empty()) return std::nullopt;
    std::u16string k = text::upperCase(key);
    for (size_t i = 0; i < FLines.size(); ++i) {
        const std::u16string& line = FLines[i];
        if (line.empty() || upperFirst(line[0]) != k[0]) continue;
        std::u16string_view name = trimIni(std::u16string_view(line).substr(0, line.find(u'=')));
        if (name.size() == k.size() && text::upperCase(name) == k) return i;
    }
    return std::nullopt;
}

std::optional<std::u16string_view> TIniSection::rawValue(std::u16string_view key) const {
    auto i = findKey(key);
    if (!i) return std::nullopt;
    const std::u16string& line = FLines[*i];
    size_t eq = line.find(u'=');
    if (eq == std::u16string::npos) return std::u16string_view();
    return std::u16string_view(line).substr(eq + 1);
}

void TIniSection::setValue(std::u16string_view key, std::u16string_view valueText) {
    if (auto i = findKey(key)) {
        std::u16string& line = FLines[*i];
        line = line.substr(0, line.find(u'='));
        line += u'=';
        line += valueText;
    } else {
        std::u16string line(key);
        line += u'=';
        line += valueText;
        FLines.push_back(std::move(line));
    }
    FChanged = true;
}

// ---- TIniFile ----

TIniFile::TIniFile(std::filesystem::path name, TIniOpenMode mode) : FName(std::move(name)), FOpenMode(mode) {
    FSections.push_back(std::make_unique<TIniSection>(u""));
}

bool TIniFile::load() {
    try {
        if (FOpenMode == TIniOpenMode::imOpenCreate) {
            int fd = ::open(FName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) {
                ::close(fd);
                FError = 0;
                return true;
            }
            if (errno != EEXIST) {
                FError = errno;
                return false;
            }
        }
        auto mode = FOpenMode == TIniOpenMode::imOpen ? utils::TFileMode::fmOpenRead
                                                      : utils::TFileMode::fmOpenReadWrite;
        parse(utils::decodeTextFile(utils::openFileWithRetry(FName, mode).readAll()));
        FError = 0;
        return true;
    } catch (const utils::EFOpenError& e) {
        FError = e.code();
        return false;
    }
}

void TIniFile::parse(std::u16string_view text) {
    TIniSection* current = FSections.front().get();
    size_t i = 0;
    while (i < text.size()) {
        size_t end = text.find_first_of(u"\r\n", i);
        if (end == std::u16string_view::npos) end = text.size();
        std::u16string_view line = text.substr(i, end - i);
        i = text.substr(end, 2) == u"\r\n" ? end + 2 : end + 1;
        if (line.empty()) continue;
        if (line[0] == u'[') {
            std::u16string_view name = line.substr(1);
            current = &addSection(name.substr(0, name.find(u']')));
        } else {
            current->addLine(line);
        }
    }
    FChanged = false;
    for (auto& s : FSections) s->setChanged(false);
}

std::u16string TIniFile::text() const {
    std::u16string out;
    for (const auto& s : FSections) {
        bool isUnnamed = s.get() == FSections.front().get();
        if (isUnnamed && s->lines().empty()) continue;
        if (!isUnnamed) out += u"[" + s->name() + u"]\r";
        for (const auto& line : s->lines()) out += line + u"\r";
        out += u"\r";
    }
    return out;
}

void TIniFile::save() {
    if (!changed()) return;
    try {
        utils::writeFileAtomic(FName, encodeIniText(text()));
    } catch (const utils::EFileWriteError& e) {
        FError = e.code();
        return;
    }
    FError = 0;
    FChanged = false;
    for (auto& s : FSections) s->setChanged(false);
}

bool TIniFile::changed() const {
    return FChanged || std::any_of(FSections.begin(), FSections.end(), [](const auto& s) { return s->changed(); });
}

TIniSection* TIniFile::findSection(std::u16string_view name) const {
    std::u16string key = text::upperCase(name);
    for (const auto& s : FSections)
        if (s->compareName() == key) return s.get();
    return nullptr;
}

TIniSection& TIniFile::addSection(std::u16string_view name) {
    FSections.push_back(std::make_unique<TIniSection>(name));
    FChanged = true;
    return *FSections.back();
}

bool TIniFile::deleteSection(TIniSection& section) {
    if (&section == FSections.front().get()) return false;
    auto it = std::find_if(FSections.begin(), FSections.end(), [&](const auto& s) { return s.get() == &section; });
    if (it == FSections.end()) return false;
    FSections.erase(it);
    FChanged = true;
    return true;
}

// ---- TIniFileList ----

TIniFileList& TIniFileList::instance() {
    static TIniFileList list;
    return list;
}

TIniFileList::~TIniFileList() {
    // Handles still open at the end of the process: their changes are kept.
    for (auto& f : FOpenFiles) f->save();
}

TIniFile& TIniFileList::open(const std::filesystem::path& fileName, TIniOpenMode mode) {
    std::filesystem::path key = fileKey(fileName);
    for (auto& f : FOpenFiles) {
        if (f->FName == key) {
            ++f->FOpenCount;
            return *f;
        }
    }
    auto file = std::make_unique<TIniFile>(key, mode);
    if (!file->load()) {
        std::string name = fileName.string();
        if (mode == TIniOpenMode::imOpenCreate) throw EIniCreateError("Cannot create file " + name, file->error());
        throw EIniOpenError("Cannot open file " + name, file->error());
    }
    file->FOpenCount = 1;
    FOpenFiles.push_back(std::move(file));
    return *FOpenFiles.back();
}

void TIniFileList::close(TIniFile& file) {
    if (--file.FOpenCount < 0) {
        // A program error that would corrupt the sharing of files.
        std::fputs("Error: Unbalanced inifile open/close\n", stderr);
        std::abort();
    }
    if (file.FOpenCount > 0) return;
    file.save();
    std::erase_if(FOpenFiles, [&](const auto& f) { return f.get() == &file; });
}

void TIniFileList::addHandle(TKavIni* handle) { FOpenIniObjects.push_back(handle); }

void TIniFileList::removeHandle(TKavIni* handle) { std::erase(FOpenIniObjects, handle); }

void TIniFileList::sectionDeleted(TIniFile& file, TIniSection& section) {
    for (TKavIni* h : FOpenIniObjects)
        if (h->FFile == &file && h->FSection == &section) h->FSection = &file.unnamed();
}

}  // namespace kavelin::ini

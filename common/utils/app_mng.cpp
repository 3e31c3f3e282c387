#include "common/utils/app_mng.h"

#include "common/text/casing.h"
#include "common/text/encoding.h"
#include "common/utils/atomic_file.h"
#include "common/utils/file_utils.h"
#include "common/utils/profile_string.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace kavelin::utils {
namespace fs = std::filesystem;
namespace {

const std::u16string kCfgMissing = u"Angitt katalog for applikasjonskonfigurasjon eksisterer ikke!";

fs::path asPath(std::u16string_view s) { return fs::path(std::u16string(s)); }

std::u16string withoutTrailingSeparators(std::u16string s) {
    while (s.size() > 1 && s.back() == u'/') s.pop_back();
    return s;
}

std::string lowerAscii(std::u16string_view s) {
    std::string out;
    for (char16_t c : s) {
        if (c >= u'A' && c <= u'Z') out += char(c + 32);
        else if ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-' || c == u'_') out += char(c);
        else out += '_';
    }
    return out;
}

// Files of a program installation (as opposed to configuration and case
// files, which the clean-up must leave alone).
bool isProgramBinary(const std::string& name) {
    return name.ends_with(".so") || name.find(".so.") != std::string::npos || name.ends_with(".dll") ||
           name.ends_with(".exe");
}

// Quoting of an argument in a .desktop file's Exec key.
std::string desktopQuote(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string xmlEscape(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

bool isExistingFile(const fs::path& p) {
    std::error_code ec;
    return fs::exists(p, ec) && !fs::is_directory(p, ec);
}

std::unique_ptr<TAppMng>& instanceSlot() {
    static std::unique_ptr<TAppMng> mng;
    return mng;
}

}  // namespace

TAppMng::TAppMng(TAppMngSetup setup) : FArgs(std::move(setup.args)) {
    fs::path exe = setup.exeFile;
    if (exe.empty()) {
        std::error_code ec;
        exe = fs::read_symlink("/proc/self/exe", ec);
    }
    exe = exe.lexically_normal();
    FExeFile = exe.u16string();
    FExeName = exe.filename().u16string();
    FAppName = exe.stem().u16string();
    FAppDir = withTrailingSeparator(exe.parent_path());
    if (FArgs.empty()) FArgs.push_back(FExeFile);
    FKnown = setup.knownFolders ? *setup.knownFolders : knownFoldersFromEnvironment();
    resolveCfgDir();
    checkMisinstallation();
}

std::u16string TAppMng::getDocumentsDir() const { return withTrailingSeparator(FKnown.documents); }

void TAppMng::warn(std::u16string text) {
    if (!FWarning) FWarning = TStartupWarning{std::move(text), FAppName + u" - ADVARSEL"};
}

bool TAppMng::checkCfgDirExists(std::u16string& dir) {
    std::error_code ec;
    if (dir.empty() || fs::is_directory(asPath(dir), ec)) return !dir.empty();
    dir.clear();
    warn(kCfgMissing);
    return false;
}

void TAppMng::resolveCfgDir() {
    std::u16string dir = getParam(u"/path=");
    checkCfgDirExists(dir);
    fs::path redirect = asPath(FAppDir + FAppName + u"w.dir");
    if (!isExistingFile(redirect)) redirect = asPath(FAppDir + FAppName + u".dir");
    if (dir.empty()) {
        std::u16string second = readProfileString(redirect, u"Path", u"LocalConfigFile");
        if (!second.empty() && isExistingFile(asPath(second))) {
            dir = readProfileString(asPath(second), u"Path", u"LocalPath");
            checkCfgDirExists(dir);
        }
    }
    if (dir.empty()) {
        dir = readProfileString(redirect, u"Path", u"LocalPath");
        checkCfgDirExists(dir);
    }
    if (dir.empty()) dir = FAppDir;
    FCfgDir = withTrailingSeparator(asPath(dir));
}

void TAppMng::checkMisinstallation() {
    if (!hasCustomCfg() || !isExistingFile(asPath(FCfgDir + FExeName))) return;
    const std::u16string where = u"Det er funnet en feilinstallasjon plassert på " + FCfgDir;
    if (!isDirWritable(asPath(FCfgDir))) {
        warn(where + u", men det er ikke tilgang til å rydde opp. Kontakt Kavelin!");
        return;
    }
    warn(where +
         u". Det vil bli foretatt automatisk opprydding for at den sentrale installasjonen skal fungere korrekt");
    // Removes the program's own files that were copied into the
    // configuration folder: the program itself and libraries that also lie
    // in the program folder. Configuration and case files stay.
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(asPath(FCfgDir), ec)) {
        if (entry.is_directory(ec)) continue;
        std::u16string name = entry.path().filename().u16string();
        bool isProgram = name == FExeName ||
                         (isProgramBinary(entry.path().filename().string()) && isExistingFile(asPath(FAppDir + name)));
        if (isProgram && fs::remove(entry.path(), ec)) FCleanedUp.push_back(name);
    }
}

std::u16string TAppMng::getParam(size_t index) const { return index < FArgs.size() ? FArgs[index] : u""; }

std::u16string TAppMng::getParam(std::u16string_view paramName) const {
    const std::u16string want = text::upperCase(paramName);
    for (size_t i = 1; i < FArgs.size(); ++i) {
        const std::u16string& a = FArgs[i];
        if (a.size() >= want.size() && text::upperCase(std::u16string_view(a).substr(0, want.size())) == want)
            return a.substr(want.size());
    }
    return {};
}

std::optional<std::u16string> TAppMng::userFolder(const fs::path& base) {
    if (base.empty() || !isDirWritable(base)) return std::nullopt;
    std::error_code ec;
    fs::path dir = base / "Kavelin";
    fs::create_directory(dir, ec);
    dir /= asPath(FAppName);
    fs::create_directory(dir, ec);
    if (!fs::is_directory(dir, ec)) return std::nullopt;
    return withTrailingSeparator(dir);
}

std::optional<std::u16string> TAppMng::getDir(TDirKind kind) {
    TDirInfo& d = FDirs[size_t(kind)];
    if (d.state == dsMissing) return std::nullopt;
    if (d.folder) return d.folder;
    switch (kind) {
    case TDirKind::dExe: d.folder = FAppDir; break;
    case TDirKind::dCfg: d.folder = FCfgDir; break;
    case TDirKind::dRoaming:
        if (isExeOnProgramFilesFolder()) d.folder = userFolder(FKnown.roamingAppData);
        break;
    case TDirKind::dLocal:
        if (isExeOnProgramFilesFolder()) d.folder = userFolder(FKnown.localAppData);
        break;
    case TDirKind::dUserDoc: d.folder = userFolder(FKnown.documents); break;
    case TDirKind::dVirtualStore: break;  // Linux redirects no writes of programs
    }
    if (!d.folder) d.state = dsMissing;
    return d.folder;
}

std::optional<std::u16string> TAppMng::getWritableDir(TDirKind kind) {
    TDirInfo& d = FDirs[size_t(kind)];
    if (d.state == dsUnknown) {
        auto folder = getDir(kind);
        if (!folder) return std::nullopt;
        d.state = isDirWritable(asPath(*folder)) ? dsWritable : dsReadOnly;
    }
    if (d.state != dsWritable) return std::nullopt;
    return d.folder;
}

std::u16string TAppMng::findFile(TFuncID funcID, std::u16string_view name, const TDirPriority& priority) {
    auto key = std::pair{funcID, std::u16string(name)};
    if (auto it = FFound.find(key); it != FFound.end()) return it->second;
    if (name.find(u'*') != std::u16string_view::npos)
        throw std::runtime_error("Ekstakt filoppslag kan ikke innholde * for søkemønster");
    std::optional<std::u16string> result;
    for (TDirKind k : priority) {
        auto dir = getDir(k);
        if (dir && isExistingFile(asPath(*dir + key.second))) {
            result = *dir + key.second;
            break;
        }
    }
    for (size_t i = 0; !result && i < priority.size(); ++i)
        if (auto dir = getWritableDir(priority[i])) result = *dir + key.second;
    for (size_t i = 0; !result && i < priority.size(); ++i)
        if (auto dir = getDir(priority[i])) result = *dir + key.second;
    std::u16string found = result ? *result : key.second;
    FFound.emplace(std::move(key), found);
    return found;
}

std::u16string TAppMng::getCfgFile(std::u16string_view name) {
    return findFile(TFuncID::fCfg, name, {TDirKind::dCfg, TDirKind::dExe});
}

std::u16string TAppMng::getAppUserFile(std::u16string_view name) {
    return findFile(TFuncID::fAppUser, name,
                    {TDirKind::dExe, TDirKind::dRoaming, TDirKind::dLocal, TDirKind::dUserDoc, TDirKind::dCfg});
}

std::u16string TAppMng::getAppIniFile() {
    return findFile(TFuncID::fAppIni, FAppName + u".ini",
                    {TDirKind::dExe, TDirKind::dRoaming, TDirKind::dVirtualStore, TDirKind::dLocal});
}

std::u16string TAppMng::getUserIniFile() {
    return findFile(TFuncID::fUserIni, FAppName + u".ini", {TDirKind::dRoaming, TDirKind::dLocal, TDirKind::dUserDoc});
}

bool TAppMng::canWriteToFile(std::u16string_view fileName) const {
    fs::path p = asPath(fileName);
    std::error_code ec;
    if (fs::exists(p, ec)) {
        try {
            openFileWithRetry(p, TFileMode::fmOpenWrite);
            return true;
        } catch (const EFOpenError&) {
            return false;
        }
    }
    return isDirWritable(p.has_parent_path() ? p.parent_path() : fs::path("."));
}

bool TAppMng::isExeOnProgramFilesFolder() {
    if (!FOnProgramFiles) {
        fs::path exe = asPath(FExeFile);
        FOnProgramFiles = std::any_of(FKnown.programFiles.begin(), FKnown.programFiles.end(), [&](const fs::path& pf) {
            fs::path prefix = pf.lexically_normal();
            if (prefix.empty()) return false;
            auto [p, e] = std::mismatch(prefix.begin(), prefix.end(), exe.begin(), exe.end());
            return p == prefix.end() || (std::next(p) == prefix.end() && p->empty());
        });
    }
    return *FOnProgramFiles;
}

bool TAppMng::isAdministrator() const { return geteuid() == 0; }

bool TAppMng::hasCustomCfg() const {
    std::error_code ec;
    if (fs::equivalent(asPath(FCfgDir), asPath(FAppDir), ec)) return false;
    return withoutTrailingSeparators(FCfgDir) != withoutTrailingSeparators(FAppDir);
}

bool TAppMng::canUserPerformInstallation() {
    if (hasCustomCfg()) return false;
    return isDirWritable(asPath(FAppDir)) || (isExeOnProgramFilesFolder() && isAdministrator());
}

fs::path TAppMng::desktopFile() const {
    return FKnown.localAppData / "applications" / ("kavelin-" + lowerAscii(FAppName) + ".desktop");
}

bool TAppMng::writeDesktopFile(const std::vector<std::u16string>& extraMimeTypes) {
    fs::path file = desktopFile();
    // MIME types registered earlier are kept.
    std::vector<std::string> mimeTypes;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        if (!line.starts_with("MimeType=")) continue;
        for (size_t pos = 9; pos < line.size();) {
            size_t end = line.find(';', pos);
            if (end == std::string::npos) end = line.size();
            if (end > pos) mimeTypes.push_back(line.substr(pos, end - pos));
            pos = end + 1;
        }
    }
    for (const auto& m : extraMimeTypes) {
        std::string m8 = text::toUtf8(m);
        if (std::find(mimeTypes.begin(), mimeTypes.end(), m8) == mimeTypes.end()) mimeTypes.push_back(m8);
    }
    std::string text = "[Desktop Entry]\nType=Application\nName=" + text::toUtf8(FAppName) +
                       "\nExec=" + desktopQuote(text::toUtf8(FExeFile)) + " %f\nPath=" + text::toUtf8(FAppDir) +
                       "\nTerminal=false\n";
    if (!mimeTypes.empty()) {
        text += "MimeType=";
        for (const auto& m : mimeTypes) text += m + ";";
        text += "\n";
    }
    try {
        fs::create_directories(file.parent_path());
        writeFileAtomic(file, text);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void TAppMng::registerAppPath() { (void)writeDesktopFile({}); }

bool TAppMng::registerFileAssociation(std::u16string_view extensionName, std::u16string_view fileDescription) {
    std::u16string ext(extensionName);
    if (ext.find(u'.') == std::u16string::npos) ext = u"." + ext;
    std::string bare = lowerAscii(std::u16string_view(ext).substr(ext.find_last_of(u'.') + 1));
    std::string mimeType = "application/x-" + lowerAscii(FAppName) + "-" + bare;
    std::string package =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        "  <mime-type type=\"" + mimeType + "\">\n"
        "    <comment>" + xmlEscape(text::toUtf8(fileDescription)) + "</comment>\n"
        "    <glob pattern=\"*" + xmlEscape(text::toUtf8(ext)) + "\"/>\n"
        "  </mime-type>\n"
        "</mime-info>\n";
    fs::path file = FKnown.localAppData / "mime" / "packages" /
                    ("kavelin-" + lowerAscii(FAppName) + "-" + bare + ".xml");
    try {
        fs::create_directories(file.parent_path());
        writeFileAtomic(file, package);
    } catch (const std::exception&) {
        return false;
    }
    return writeDesktopFile({text::fromUtf8(mimeType)});
}

TAppMng& appMng() {
    auto& mng = instanceSlot();
    if (!mng) mng = std::make_unique<TAppMng>();
    return *mng;
}

void installAppMng(std::unique_ptr<TAppMng> mng) { instanceSlot() = std::move(mng); }

}  // namespace kavelin::utils

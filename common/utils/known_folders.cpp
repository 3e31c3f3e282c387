#include "common/utils/known_folders.h"

#include <cstdlib>
#include <fstream>
#include <pwd.h>
#include <string>
#include <unistd.h>

namespace kavelin::utils {
namespace {

std::filesystem::path homeDir() {
    if (const char* h = std::getenv("HOME"); h && *h) return h;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/";
}

// An XDG variable holds an absolute path; anything else is ignored.
std::filesystem::path xdgDir(const char* var, const std::filesystem::path& fallback) {
    const char* v = std::getenv(var);
    if (v && *v == '/') return v;
    return fallback;
}

// XDG_DOCUMENTS_DIR="$HOME/Documents" in user-dirs.dirs: "$HOME/..." or an
// absolute path, in double quotes.
std::filesystem::path documentsFromUserDirs(const std::filesystem::path& configHome,
                                            const std::filesystem::path& home) {
    std::ifstream in(configHome / "user-dirs.dirs");
    std::string line;
    while (std::getline(in, line)) {
        const std::string key = "XDG_DOCUMENTS_DIR=";
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
        std::string v = line.substr(start + key.size());
        while (!v.empty() && (v.back() == '\r' || v.back() == ' ')) v.pop_back();
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
        if (v.starts_with("$HOME")) return home.string() + v.substr(5);
        if (v.starts_with("/")) return v;
    }
    return {};
}

}  // namespace

TKnownFolders knownFoldersFromEnvironment() {
    TKnownFolders k;
    std::filesystem::path home = homeDir();
    k.roamingAppData = xdgDir("XDG_CONFIG_HOME", home / ".config");
    k.localAppData = xdgDir("XDG_DATA_HOME", home / ".local" / "share");
    k.documents = documentsFromUserDirs(k.roamingAppData, home);
    if (k.documents.empty()) k.documents = xdgDir("XDG_DOCUMENTS_DIR", home / "Documents");
    return k;
}

}  // namespace kavelin::utils

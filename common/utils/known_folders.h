// The per-user folders the folder manager builds on, mapped to Linux: the
// XDG base directories and the user's Documents folder. Every folder comes
// from the environment, so tests point them at a temporary folder.
#pragma once

#include <filesystem>
#include <vector>

namespace kavelin::utils {

struct TKnownFolders {
    // Roaming application data: $XDG_CONFIG_HOME, else ~/.config.
    std::filesystem::path roamingAppData;
    // Local application data: $XDG_DATA_HOME, else ~/.local/share.
    std::filesystem::path localAppData;
    // Documents: XDG_DOCUMENTS_DIR of user-dirs.dirs (as xdg-user-dir reads
    // it), else that environment variable, else ~/Documents.
    std::filesystem::path documents;
    // The equivalent of Program Files: system prefixes a user cannot write.
    std::vector<std::filesystem::path> programFiles{"/usr", "/opt"};
};

TKnownFolders knownFoldersFromEnvironment();

}  // namespace kavelin::utils

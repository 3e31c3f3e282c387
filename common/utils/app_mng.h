// TAppMng: the one folder manager of a process. It knows the program folder,
// the configuration folder and the per-user folders, and finds or places a
// named file by a fixed priority of folders per kind of file. Everything is
// resolved once and kept for the run. All folder results end with "/".
#pragma once

#include "common/utils/known_folders.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kavelin::utils {

enum class TDirKind { dExe, dRoaming, dLocal, dVirtualStore, dUserDoc, dCfg };
enum class TFuncID { fAppUser, fCfg, fAppIni, fUserIni };
using TDirPriority = std::vector<TDirKind>;

// A warning of the construction, to be shown in a message box with a
// warning icon and an OK button.
struct TStartupWarning {
    std::u16string text;
    std::u16string caption;  // AppName + " - ADVARSEL"
};

struct TAppMngSetup {
    // The running program; empty: /proc/self/exe.
    std::filesystem::path exeFile;
    // The command line, [0] being the program.
    std::vector<std::u16string> args;
    // None: from the environment (knownFoldersFromEnvironment).
    std::optional<TKnownFolders> knownFolders;
};

class TAppMng {
public:
    // Resolves the configuration folder, keeps at most one warning and runs
    // the misinstallation check.
    explicit TAppMng(TAppMngSetup setup = {});

    const std::u16string& getExeFile() const { return FExeFile; }
    const std::u16string& getExeName() const { return FExeName; }
    const std::u16string& getAppName() const { return FAppName; }
    const std::u16string& getAppDir() const { return FAppDir; }
    const std::u16string& getDefaultCfgDir() const { return FCfgDir; }
    // The user's Documents folder, with a separator.
    std::u16string getDocumentsDir() const;

    std::u16string getAppFile(std::u16string_view name) const { return FAppDir + std::u16string(name); }
    std::u16string getCfgIniFile() const { return FCfgDir + FAppName + u".ini"; }
    std::u16string getCfgFile(std::u16string_view name);
    std::u16string getAppUserFile(std::u16string_view name);
    std::u16string getAppIniFile();
    std::u16string getUserIniFile();

    // The argument at the index (0 the program), empty when there is none.
    std::u16string getParam(size_t index) const;
    // The text after paramName of the first argument (from 1) that begins
    // with it, without regard to case; empty when none does.
    std::u16string getParam(std::u16string_view paramName) const;

    bool canWriteToFile(std::u16string_view fileName) const;
    // Installed under a system prefix (/usr, /opt): the Program Files case.
    bool isExeOnProgramFilesFolder();
    // The superuser stands in for the Administrators group.
    bool isAdministrator() const;
    bool hasCustomCfg() const;
    bool canUserPerformInstallation();

    // The program path: a .desktop file in the user's data folder. Errors
    // are ignored.
    void registerAppPath();
    // A MIME type for the extension and the .desktop file that opens it;
    // true when everything could be written.
    bool registerFileAssociation(std::u16string_view extensionName, std::u16string_view fileDescription);

    // The folder of a kind, or none when it is missing.
    std::optional<std::u16string> getDir(TDirKind kind);
    // The folder only when files can be created in it.
    std::optional<std::u16string> getWritableDir(TDirKind kind);
    // Existing file in priority order, else a writable place, else an
    // existing folder, else the bare name; kept for the run. A "*" in the
    // name is refused.
    std::u16string findFile(TFuncID funcID, std::u16string_view name, const TDirPriority& priority);

    const std::optional<TStartupWarning>& startupWarning() const { return FWarning; }
    // Files the misinstallation clean-up removed from the configuration folder.
    const std::vector<std::u16string>& cleanedUpFiles() const { return FCleanedUp; }

private:
    enum TDirState : uint8_t { dsUnknown = 0, dsMissing = 1, dsReadOnly = 2, dsWritable = 3 };
    struct TDirInfo {
        std::optional<std::u16string> folder;
        TDirState state = dsUnknown;
    };

    void resolveCfgDir();
    bool checkCfgDirExists(std::u16string& dir);
    void warn(std::u16string text);
    void checkMisinstallation();
    std::optional<std::u16string> userFolder(const std::filesystem::path& base);
    std::filesystem::path desktopFile() const;
    bool writeDesktopFile(const std::vector<std::u16string>& extraMimeTypes);

    std::vector<std::u16string> FArgs;
    TKnownFolders FKnown;
    std::u16string FExeFile, FExeName, FAppName, FAppDir, FCfgDir;
    std::array<TDirInfo, 6> FDirs;
    std::map<std::pair<TFuncID, std::u16string>, std::u16string> FFound;
    std::optional<bool> FOnProgramFiles;
    std::optional<TStartupWarning> FWarning;
    std::vector<std::u16string> FCleanedUp;
};

// The process-wide instance, created on first use from the running program.
TAppMng& appMng();
// Replaces the process-wide instance (start-up code with the command line).
void installAppMng(std::unique_ptr<TAppMng> mng);

}  // namespace kavelin::utils

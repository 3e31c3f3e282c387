// Program-wide state set before the main window exists: the program version,
// what the command line asks for (a case file, or the import hand-over from
// another program) and the deployment's fixed addresses.
#pragma once

#include <string>
#include <vector>

namespace kavelin::utils {
class TAppMng;
}

namespace mirvo::main {

// The product version shown in the caption and the about box ("3.0").
std::u16string programVersion();
// The file version of the executable ("3.0.0.0").
std::u16string fileVersion();

// The maker's addresses; part of the deployment, not of the configuration.
inline constexpr char16_t kKavelinURL[] = u"https://www.kavelin.no";
inline constexpr char16_t kKavelinEpost[] = u"post@kavelin.no";
inline constexpr char16_t kSupportEpost[] = u"support@kavelin.no";

struct TCommandLine {
    std::u16string startFile;
    std::u16string importRefID;
    std::u16string importInputFile;
    std::u16string importOutputFile;
    bool importMode = false;
};

// The command line read: args[0] is the program; "/import=" in any place
// (case ignored) asks for the hand-over files in tempDir, else the first
// argument is the case file. A start file that is not an existing file clears
// all four texts, so the program starts with a new case.
TCommandLine readCommandLine(const std::vector<std::u16string>& args, const std::u16string& tempDir);

// The process's command line as read at start-up.
TCommandLine& commandLine();

}  // namespace mirvo::main

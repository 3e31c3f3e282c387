#include "app/main/app_globals.h"

#include <filesystem>

#include "common/text/casing.h"

#ifndef MIRVO_VERSION_TEXT
#define MIRVO_VERSION_TEXT "3.0"
#endif

namespace mirvo::main {
namespace {

std::u16string ascii(const char* s) { return std::u16string(s, s + std::char_traits<char>::length(s)); }

bool isExistingFile(const std::u16string& name) {
    std::error_code ec;
    return !name.empty() && std::filesystem::is_regular_file(std::filesystem::path(name), ec);
}

std::u16string joined(const std::u16string& dir, std::u16string_view name) {
    if (dir.empty() || dir.back() == u'/') return dir + std::u16string(name);
    return dir + u"/" + std::u16string(name);
}

}  // namespace

std::u16string programVersion() { return ascii(MIRVO_VERSION_TEXT); }

std::u16string fileVersion() {
    std::u16string v = programVersion();
    int dots = 0;
    for (char16_t c : v) dots += c == u'.';
    for (; dots < 3; ++dots) v += u".0";
    return v;
}

TCommandLine readCommandLine(const std::vector<std::u16string>& args, const std::u16string& tempDir) {
    TCommandLine cl;
    if (args.size() < 2 || args[1].empty()) return cl;
    const std::u16string key = u"/IMPORT=";
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i].size() >= key.size() && kavelin::text::upperCase(args[i].substr(0, key.size())) == key) {
            cl.importRefID = args[i].substr(key.size());
            break;
        }
    }
    if (!cl.importRefID.empty()) {
        cl.importInputFile = joined(tempDir, u"mirvo_input.xml");
        cl.importOutputFile = joined(tempDir, u"mirvo_output.xml");
        cl.startFile = cl.importInputFile;
    } else {
        cl.startFile = args[1];
    }
    if (!isExistingFile(cl.startFile)) cl = TCommandLine{};
    cl.importMode = !cl.importRefID.empty();
    return cl;
}

TCommandLine& commandLine() {
    static TCommandLine cl;
    return cl;
}

}  // namespace mirvo::main

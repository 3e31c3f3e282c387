#include "app/log/logfile.h"

#include "common/text/casing.h"
#include "common/text/encoding.h"
#include "common/utils/atomic_file.h"
#include "common/utils/file_utils.h"

namespace kavelin::log {
namespace {

constexpr const char* kInitRewriteError = "Kan ikke sette TLogFile property InitRewrite etter at logg er påbegynt";

void twoDigits(std::string& out, long long v) {
    if (v < 10) out += '0';
    out += std::to_string(v);
}

std::unique_ptr<TLogFile>& theLog() {
    static std::unique_ptr<TLogFile> log;
    return log;
}

}  // namespace

std::string startLine(std::time_t wall) {
    std::tm t{};
    localtime_r(&wall, &t);
    std::string s = "StartTime ";
    twoDigits(s, t.tm_mday);
    s += '.';
    twoDigits(s, t.tm_mon + 1);
    s += '.' + std::to_string(t.tm_year + 1900) + ' ';
    twoDigits(s, t.tm_hour);
    s += ':';
    twoDigits(s, t.tm_min);
    s += ':';
    twoDigits(s, t.tm_sec);
    return s;
}

std::string elapsedPrefix(std::chrono::nanoseconds elapsed) {
    long long cs = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() / 10;
    if (cs < 0) cs = 0;
    std::string s = "[";
    twoDigits(s, cs / 360000);
    s += ':';
    twoDigits(s, cs / 6000 % 60);
    s += ':';
    twoDigits(s, cs / 100 % 60);
    s += ':';
    twoDigits(s, cs % 100);
    return s + "] ";
}

TLogFile::TLogFile(std::filesystem::path file, std::time_t startWall, TClock::time_point startTick)
    : FFile(std::move(file)), FStartWall(startWall), FStartTick(startTick) {}

TLogFile::~TLogFile() {
    if (FStream) std::fclose(FStream);
}

void TLogFile::setInitRewrite(bool value) {
    if (FStarted) throw ELogFile(kInitRewriteError);
    FInitRewrite = value;
}

void TLogFile::begin() {
    FStarted = true;
    try {
        std::string first = startLine(FStartWall) + "\n";
        if (FInitRewrite) {
            // The earlier run's log is replaced in one step.
            utils::writeFileAtomic(FFile, first);
            FStream = std::fopen(FFile.c_str(), "ab");
            if (!FStream) FFailed = true;
        } else {
            FStream = std::fopen(FFile.c_str(), "ab");
            if (!FStream) FFailed = true;
            else append(first);
        }
    } catch (const std::exception&) {
        FFailed = true;
    }
}

void TLogFile::append(const std::string& bytes) {
    if (FFailed || !FStream) return;
    if (std::fwrite(bytes.data(), 1, bytes.size(), FStream) != bytes.size() || std::fflush(FStream) != 0) {
        FFailed = true;
        std::fclose(FStream);
        FStream = nullptr;
    }
}

void TLogFile::write(std::u16string_view text) { write(text, TClock::now()); }

void TLogFile::write(std::u16string_view text, TClock::time_point at) {
    if (!FStarted) begin();
    if (FFailed) return;
    std::u16string flat;
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            flat += u" | ";
        } else {
            flat += c;
        }
    }
    append(elapsedPrefix(at - FStartTick) + text::toUtf8(flat) + "\n");
}

bool hasLogSwitch(const std::vector<std::u16string>& args) {
    for (size_t i = 1; i < args.size(); ++i) {
        const std::u16string& a = args[i];
        if (a.size() == 5 && (a[0] == u'/' || a[0] == u'-') && text::upperCase(a.substr(1)) == u"LOGG") return true;
    }
    return false;
}

std::optional<std::filesystem::path> firstWritableFolder(const std::vector<std::filesystem::path>& folders) {
    for (const auto& f : folders)
        if (!f.empty() && utils::isDirWritable(f)) return f;
    return std::nullopt;
}

TLogFile* activeLog() { return theLog().get(); }

TLogFile* startLog(std::u16string_view appName, const std::vector<std::filesystem::path>& folders) {
    auto folder = firstWritableFolder(folders);
    if (!folder) return nullptr;
    theLog() = std::make_unique<TLogFile>(*folder / std::filesystem::path(std::u16string(appName) + u".log"));
    return theLog().get();
}

void stopLog() { theLog().reset(); }

void logLine(std::u16string_view text) {
    if (TLogFile* log = activeLog()) log->write(text);
}

}  // namespace kavelin::log

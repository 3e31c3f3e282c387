// The diagnostic log of the application: AppName + ".log", written only when
// the program is started with the switch "LOGG". The file is rewritten at the
// first write of a run (unless InitRewrite is switched off before), starts
// with "StartTime " and the local start date and time, and every line after it
// begins with "[hh:mm:ss:cc] ", the time elapsed since the start. The first
// input/output error stops the writing without a word: a log never disturbs
// the program.
#pragma once

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kavelin::log {

class ELogFile : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TLogFile {
public:
    using TClock = std::chrono::steady_clock;

    // startWall: the start as local calendar time (the first line);
    // startTick: the start on the steady clock (the elapsed times).
    TLogFile(std::filesystem::path file, std::time_t startWall = std::time(nullptr),
             TClock::time_point startTick = TClock::now());
    ~TLogFile();
    TLogFile(const TLogFile&) = delete;
    TLogFile& operator=(const TLogFile&) = delete;

    bool InitRewrite() const { return FInitRewrite; }
    // Raises ELogFile once something has been written.
    void setInitRewrite(bool value);

    // One line; line breaks in the text are written as " | " so that every
    // line of the file keeps its time stamp.
    void write(std::u16string_view text);
    void write(std::u16string_view text, TClock::time_point at);

    const std::filesystem::path& fileName() const { return FFile; }
    bool started() const { return FStarted; }
    // Whether an input/output error stopped the writing.
    bool failed() const { return FFailed; }

private:
    void begin();
    void append(const std::string& bytes);

    std::filesystem::path FFile;
    std::time_t FStartWall;
    TClock::time_point FStartTick;
    bool FInitRewrite = true;
    bool FStarted = false;
    bool FFailed = false;
    std::FILE* FStream = nullptr;
};

// "StartTime " + DD.MM.YYYY HH:MM:SS of the local time.
std::string startLine(std::time_t wall);
// "[hh:mm:ss:cc] " for the time elapsed; hours beyond 99 keep all digits.
std::string elapsedPrefix(std::chrono::nanoseconds elapsed);

// Whether the arguments (from index 1) hold the switch "LOGG" with "/" or "-"
// in front, letter case ignored.
bool hasLogSwitch(const std::vector<std::u16string>& args);
// The first of the folders in which a file can be created; none when none can.
std::optional<std::filesystem::path> firstWritableFolder(const std::vector<std::filesystem::path>& folders);

// The process-wide log: none until startLog; logLine does nothing without it.
TLogFile* activeLog();
// Starts the log as AppName + ".log" in the first writable of the folders.
// Returns the log, or none when no folder can be written.
TLogFile* startLog(std::u16string_view appName, const std::vector<std::filesystem::path>& folders);
void stopLog();
void logLine(std::u16string_view text);

}  // namespace kavelin::log

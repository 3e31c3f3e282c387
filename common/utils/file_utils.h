// File helpers of the folder manager's module: opening with retry on files
// held by another process, the writability test of a folder, numbered names
// for new files, and reading a whole text file with its encoding.
#pragma once

#include "common/utils/os_error.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace kavelin::utils {

// A file that could not be opened; code() is the operating-system error.
class EFOpenError : public EOSError {
    using EOSError::EOSError;
};

enum class TFileMode { fmOpenRead, fmOpenWrite, fmOpenReadWrite };

// An open file descriptor, closed by the destructor.
class TFileHandle {
public:
    explicit TFileHandle(int fd) : FFd(fd) {}
    TFileHandle(TFileHandle&& o) noexcept : FFd(o.FFd) { o.FFd = -1; }
    TFileHandle& operator=(TFileHandle&& o) noexcept;
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;
    ~TFileHandle();

    int fd() const { return FFd; }
    // Reads from the current position to the end.
    std::string readAll();

private:
    int FFd;
};

constexpr int kDefaultOpenTimeoutMs = 2000;

// Opens the file; while the open fails because another process holds the
// file (busy), waits timeoutMs / 20 and tries again, at most 20 times. Any
// other failure, or the last one, raises EFOpenError.
TFileHandle openFileWithRetry(const std::filesystem::path& fileName, TFileMode mode,
                              int timeoutMs = kDefaultOpenTimeoutMs);

// The whole file's bytes, opened with openFileWithRetry.
std::string readFileWithRetry(const std::filesystem::path& fileName,
                              int timeoutMs = kDefaultOpenTimeoutMs);

// Decodes a text file's bytes: a byte-order mark (UTF-8, UTF-16 LE/BE)
// decides and is dropped; without one the bytes are Windows-1252.
std::u16string decodeTextFile(std::string_view bytes);

// Whether a file can be created in the folder: creates, closes and deletes
// folder + "TESTXXXX.TMP". Any failure answers false.
bool isDirWritable(const std::filesystem::path& folder);

// Creates the folder when missing, then answers the first of folder +
// prefix + "1" + ext, prefix + "2" + ext, ... that does not exist.
std::filesystem::path nextFreeFileName(const std::filesystem::path& folder, std::u16string_view prefix,
                                       std::u16string_view ext);

// A folder path as text with exactly one trailing separator.
std::u16string withTrailingSeparator(const std::filesystem::path& folder);

}  // namespace kavelin::utils

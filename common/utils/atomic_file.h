// Atomic replacement of a file: the new content goes to a temporary file in
// the target's folder and is renamed over the target only once it is
// completely written and synced, so a crash or error never leaves a
// half-written file behind (the old file stays as it was).
#pragma once

#include "common/utils/os_error.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace kavelin::utils {

// A failed create, write or rename; code() is the operating-system error.
class EFileWriteError : public EOSError {
    using EOSError::EOSError;
};

// One atomic replacement. The temporary file exists from construction until
// commit() renames it or the destructor removes it; a destroyed, uncommitted
// TAtomicFile leaves the target untouched.
class TAtomicFile {
public:
    explicit TAtomicFile(std::filesystem::path target);
    ~TAtomicFile();
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    void write(std::string_view data);
    // Syncs the data and renames the temporary file over the target.
    void commit();

    const std::filesystem::path& target() const { return FTarget; }
    const std::filesystem::path& tempPath() const { return FTemp; }

private:
    void discard() noexcept;

    std::filesystem::path FTarget;
    std::filesystem::path FTemp;
    int FFd = -1;
};

// Replaces (or creates) the file with exactly these bytes.
void writeFileAtomic(const std::filesystem::path& target, std::string_view data);

}  // namespace kavelin::utils

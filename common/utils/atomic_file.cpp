#include "common/utils/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace kavelin::utils {
namespace {

std::string errorText(const std::string& action, const std::filesystem::path& p, int code) {
    return action + " \"" + p.string() + "\": " + std::generic_category().message(code);
}

// Unique within the process; the pid and O_EXCL make it unique on disk.
std::filesystem::path tempNameFor(const std::filesystem::path& target) {
    static std::atomic<unsigned> counter{0};
    std::string name = "." + target.filename().string() + ".tmp" + std::to_string(getpid()) + "_" +
                       std::to_string(counter.fetch_add(1));
    return target.parent_path() / name;
}

}  // namespace

TAtomicFile::TAtomicFile(std::filesystem::path target) : FTarget(std::move(target)) {
    if (FTarget.parent_path().empty()) FTarget = std::filesystem::path(".") / FTarget;
    for (int attempt = 0; attempt < 100; ++attempt) {
        FTemp = tempNameFor(FTarget);
        // 0666 lets the umask decide, as for any newly created file.
        FFd = ::open(FTemp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (FFd >= 0) break;
        if (errno != EEXIST) {
            int code = errno;
            throw EFileWriteError(errorText("Cannot create file", FTarget, code), code);
        }
    }
    if (FFd < 0) throw EFileWriteError(errorText("Cannot create file", FTarget, EEXIST), EEXIST);
    // A replaced file keeps its permissions.
    struct stat st;
    if (::stat(FTarget.c_str(), &st) == 0) (void)::fchmod(FFd, st.st_mode & 07777);
}

TAtomicFile::~TAtomicFile() { discard(); }

void TAtomicFile::discard() noexcept {
    if (FFd >= 0) {
        ::close(FFd);
        FFd = -1;
        ::unlink(FTemp.c_str());
    }
}

void TAtomicFile::write(std::string_view data) {
    if (FFd < 0) throw EFileWriteError(errorText("File already closed", FTarget, EBADF), EBADF);
    while (!data.empty()) {
        ssize_t n = ::write(FFd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            int code = errno;
            discard();
            throw EFileWriteError(errorText("Cannot write file", FTarget, code), code);
        }
        data.remove_prefix(size_t(n));
    }
}

void TAtomicFile::commit() {
    if (FFd < 0) throw EFileWriteError(errorText("File already closed", FTarget, EBADF), EBADF);
    int code = 0;
    if (::fsync(FFd) != 0) code = errno;
    if (::close(FFd) != 0 && code == 0) code = errno;
    FFd = -1;
    if (code == 0 && ::rename(FTemp.c_str(), FTarget.c_str()) != 0) code = errno;
    if (code != 0) {
        ::unlink(FTemp.c_str());
        throw EFileWriteError(errorText("Cannot write file", FTarget, code), code);
    }
    // Make the rename itself durable.
    int dir = ::open(FTarget.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
}

void writeFileAtomic(const std::filesystem::path& target, std::string_view data) {
    TAtomicFile f(target);
    f.write(data);
    f.commit();
}

}  // namespace kavelin::utils

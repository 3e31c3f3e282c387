#include "common/utils/file_utils.h"

#include "common/text/encoding.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace kavelin::utils {
namespace {

// Errors that mean "someone else has the file right now": worth a retry.
bool isBusy(int code) { return code == EBUSY || code == ETXTBSY || code == EAGAIN || code == EINTR; }

int openFlags(TFileMode mode) {
    switch (mode) {
    case TFileMode::fmOpenRead: return O_RDONLY;
    case TFileMode::fmOpenWrite: return O_WRONLY;
    case TFileMode::fmOpenReadWrite: return O_RDWR;
    }
    return O_RDONLY;
}

std::u16string fromUtf16(std::string_view b, bool bigEndian) {
    std::u16string out;
    out.reserve(b.size() / 2);
    for (size_t i = 0; i + 1 < b.size(); i += 2) {
        auto lo = static_cast<unsigned char>(b[i + (bigEndian ? 1 : 0)]);
        auto hi = static_cast<unsigned char>(b[i + (bigEndian ? 0 : 1)]);
        out += char16_t(hi << 8 | lo);
    }
    return out;
}

}  // namespace

TFileHandle& TFileHandle::operator=(TFileHandle&& o) noexcept {
    if (this != &o) {
        if (FFd >= 0) ::close(FFd);
        FFd = o.FFd;
        o.FFd = -1;
    }
    return *this;
}

TFileHandle::~TFileHandle() {
    if (FFd >= 0) ::close(FFd);
}

std::string TFileHandle::readAll() {
    std::string out;
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(FFd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            int code = errno;
            throw EFOpenError("Cannot read file: " + std::generic_category().message(code), code);
        }
        if (n == 0) break;
        out.append(buf, size_t(n));
    }
    return out;
}

TFileHandle openFileWithRetry(const std::filesystem::path& fileName, TFileMode mode, int timeoutMs) {
    constexpr int kRetries = 20;
    const auto wait = std::chrono::milliseconds(timeoutMs > 0 ? timeoutMs / kRetries : 0);
    for (int attempt = 0;; ++attempt) {
        int fd = ::open(fileName.c_str(), openFlags(mode) | O_CLOEXEC);
        if (fd >= 0) return TFileHandle(fd);
        int code = errno;
        if (!isBusy(code) || attempt >= kRetries)
            throw EFOpenError("Cannot open file \"" + fileName.string() + "\". " +
                                  std::generic_category().message(code),
                              code);
        // Sleeping rather than spinning: the wait should not burn a core.
        std::this_thread::sleep_for(wait);
    }
}

std::string readFileWithRetry(const std::filesystem::path& fileName, int timeoutMs) {
    return openFileWithRetry(fileName, TFileMode::fmOpenRead, timeoutMs).readAll();
}

std::u16string decodeTextFile(std::string_view b) {
    if (b.starts_with("\xEF\xBB\xBF")) return text::fromUtf8(b.substr(3));
    if (b.starts_with("\xFF\xFE")) return fromUtf16(b.substr(2), false);
    if (b.starts_with("\xFE\xFF")) return fromUtf16(b.substr(2), true);
    return text::fromCp1252(b);
}

bool isDirWritable(const std::filesystem::path& folder) {
    if (folder.empty()) return false;
    std::filesystem::path probe = folder / "TESTXXXX.TMP";
    int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    bool ok = ::close(fd) == 0;
    return ::unlink(probe.c_str()) == 0 && ok;
}

std::filesystem::path nextFreeFileName(const std::filesystem::path& folder, std::u16string_view prefix,
                                       std::u16string_view ext) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    for (unsigned n = 1;; ++n) {
        std::u16string name(prefix);
        for (char c : std::to_string(n)) name += char16_t(c);
        name += ext;
        std::filesystem::path candidate = folder / std::filesystem::path(name);
        if (!std::filesystem::exists(candidate, ec)) return candidate;
    }
}

std::u16string withTrailingSeparator(const std::filesystem::path& folder) {
    std::u16string s = folder.u16string();
    while (s.size() > 1 && s.back() == u'/') s.pop_back();
    if (s.empty() || s.back() != u'/') s += u'/';
    return s;
}

}  // namespace kavelin::utils

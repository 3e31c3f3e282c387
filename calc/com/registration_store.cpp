#include "calc/com/registration_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "common/text/casing.h"
#include "common/text/encoding.h"

namespace mirvo::com {

namespace fs = std::filesystem;
using kavelin::text::fromUtf8;
using kavelin::text::toUtf8;

namespace {

constexpr char kStoreFileName[] = "classes.reg";

std::u16string escape(std::u16string_view s) {
    std::u16string out;
    for (char16_t c : s) {
        if (c == u'\\') out += u"\\\\";
        else if (c == u'\n') out += u"\\n";
        else if (c == u'\r') out += u"\\r";
        else out += c;
    }
    return out;
}

std::u16string unescape(std::u16string_view s) {
    std::u16string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != u'\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        const char16_t next = s[++i];
        out += next == u'n' ? u'\n' : next == u'r' ? u'\r' : next;
    }
    return out;
}

bool hasLineBreak(std::u16string_view s) { return s.find_first_of(u"\r\n") != std::u16string_view::npos; }

std::u16string upper(std::u16string_view s) { return kavelin::text::upperCase(s); }

// The first entry of a ":"-separated list, or "".
std::string firstEntry(const char* list) {
    if (!list) return {};
    std::string s(list);
    return s.substr(0, s.find(':'));
}

fs::path envPath(const char* name) {
    const char* v = std::getenv(name);
    return v && *v ? fs::path(v) : fs::path();
}

}  // namespace

bool TRegistrationStore::KeyLess::operator()(const std::u16string& a, const std::u16string& b) const {
    return upper(a) < upper(b);
}

void TRegistrationStore::load() {
    FKeys.clear();
    std::error_code ec;
    if (!fs::exists(FFile, ec)) {
        if (ec) throw std::system_error(ec, "registration store");
        return;
    }
    std::ifstream in(FFile, std::ios::binary);
    if (!in) throw std::runtime_error("registration store cannot be read: " + FFile.string());
    std::string line;
    Values* current = nullptr;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';') continue;
        const std::u16string text = fromUtf8(line);
        if (text.front() == u'[' && text.back() == u']' && text.size() > 2) {
            current = &FKeys[text.substr(1, text.size() - 2)];
            continue;
        }
        const size_t eq = text.find(u'=');
        if (!current || eq == std::u16string::npos || eq == 0)
            throw std::runtime_error("registration store line " + std::to_string(number) + " not understood");
        std::u16string name = text.substr(0, eq);
        if (name == u"@") name.clear();
        (*current)[name] = unescape(std::u16string_view(text).substr(eq + 1));
    }
    if (in.bad()) throw std::runtime_error("registration store cannot be read: " + FFile.string());
}

void TRegistrationStore::save() const {
    std::u16string text = u"; COM class registrations\n";
    for (const auto& [key, values] : FKeys) {
        text += u'[' + key + u"]\n";
        for (const auto& [name, value] : values) text += (name.empty() ? u"@" : name) + u'=' + escape(value) + u'\n';
    }
    writeFileAtomically(FFile, toUtf8(text));
}

void TRegistrationStore::setValue(std::u16string_view key, std::u16string_view name, std::u16string_view value) {
    if (key.empty() || hasLineBreak(key) || key.back() == u']' || hasLineBreak(name) ||
        name.find(u'=') != std::u16string_view::npos || name == u"@" ||
        (!name.empty() && (name[0] == u'[' || name[0] == u';')))
        throw std::invalid_argument("registration store: key or value name cannot be stored");
    FKeys[std::u16string(key)][std::u16string(name)] = std::u16string(value);
}

std::optional<std::u16string> TRegistrationStore::value(std::u16string_view key, std::u16string_view name) const {
    auto k = FKeys.find(std::u16string(key));
    if (k == FKeys.end()) return std::nullopt;
    auto v = k->second.find(std::u16string(name));
    if (v == k->second.end()) return std::nullopt;
    return v->second;
}

bool TRegistrationStore::hasKey(std::u16string_view key) const { return FKeys.count(std::u16string(key)) > 0; }

bool TRegistrationStore::hasSubkeys(std::u16string_view key) const {
    const std::u16string prefix = upper(key) + u'\\';
    for (const auto& [k, values] : FKeys)
        if (upper(k).starts_with(prefix)) return true;
    return false;
}

bool TRegistrationStore::removeTree(std::u16string_view key) {
    const std::u16string exact = upper(key);
    const std::u16string prefix = exact + u'\\';
    bool removed = false;
    for (auto it = FKeys.begin(); it != FKeys.end();) {
        const std::u16string k = upper(it->first);
        if (k == exact || k.starts_with(prefix)) {
            it = FKeys.erase(it);
            removed = true;
        } else {
            ++it;
        }
    }
    return removed;
}

std::vector<std::u16string> TRegistrationStore::keys() const {
    std::vector<std::u16string> out;
    for (const auto& [k, values] : FKeys) out.push_back(k);
    return out;
}

fs::path registrationStoreFile(bool perUser) {
    fs::path dir = envPath(perUser ? "MIRVO32_COM_USER_STORE" : "MIRVO32_COM_MACHINE_STORE");
    if (dir.empty()) {
        if (perUser) {
            fs::path config = envPath("XDG_CONFIG_HOME");
            if (config.empty()) {
                fs::path home = envPath("HOME");
                if (home.empty()) throw std::runtime_error("no home folder for the user's registration store");
                config = home / ".config";
            }
            dir = config / "mirvo32";
        } else {
            std::string first = firstEntry(std::getenv("XDG_CONFIG_DIRS"));
            dir = fs::path(first.empty() ? "/etc/xdg" : first) / "mirvo32";
        }
    }
    return dir / kStoreFileName;
}

void writeFileAtomically(const fs::path& file, std::string_view text) {
    const fs::path dir = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    fs::create_directories(dir);
    std::string temp = (dir / (file.filename().string() + ".XXXXXX")).string();
    const int fd = mkstemp(temp.data());
    if (fd < 0) throw std::system_error(errno, std::generic_category(), "cannot create " + temp);
    auto fail = [&](const char* what) {
        const int err = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        throw std::system_error(err, std::generic_category(), what);
    };
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail("cannot write the registration store");
        }
        done += size_t(n);
    }
    // mkstemp creates the file readable by its owner only; a store is
    // readable by everyone, like the registry's class keys.
    if (::fchmod(fd, 0644) != 0 || ::fsync(fd) != 0) fail("cannot write the registration store");
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        throw std::system_error(err, std::generic_category(), "cannot write the registration store");
    }
    if (::rename(temp.c_str(), file.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        throw std::system_error(err, std::generic_category(), "cannot replace the registration store");
    }
}

}  // namespace mirvo::com

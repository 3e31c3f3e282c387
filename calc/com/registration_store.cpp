#include "calc/com/registration_store.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "common/text/casing.h"
#include "common/text/encoding.h"
#include "common/utils/atomic_file.h"
#include "common/utils/known_folders.h"

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
    if (FFile.has_parent_path()) fs::create_directories(FFile.parent_path());
    kavelin::utils::writeFileAtomic(FFile, toUtf8(text));
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
            dir = kavelin::utils::knownFoldersFromEnvironment().roamingAppData / "mirvo32";
        } else {
            std::string first = firstEntry(std::getenv("XDG_CONFIG_DIRS"));
            dir = fs::path(first.empty() ? "/etc/xdg" : first) / "mirvo32";
        }
    }
    return dir / kStoreFileName;
}

}  // namespace mirvo::com

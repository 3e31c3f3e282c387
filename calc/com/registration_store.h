// The file-based stand-in for the registry's class keys: a tree of keys
// (paths separated by "\", compared without regard to case), each with
// named values; "" names a key's default value. One file per store, read
// whole and written whole (temp file + rename).
//
// File layout (UTF-8): "[key]" lines, each followed by "name=value" lines,
// "@" naming the default value; "\\", "\n" and "\r" escape a backslash and
// line breaks in values; lines starting with ";" are comments.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mirvo::com {

class TRegistrationStore {
public:
    explicit TRegistrationStore(std::filesystem::path file) : FFile(std::move(file)) {}

    const std::filesystem::path& file() const { return FFile; }

    // Reads the file; a missing file is an empty store. Throws on a file
    // that cannot be read or understood (so it is never overwritten).
    void load();
    // Writes the store atomically, creating its folder when needed.
    void save() const;

    // Creates the key (and nothing above it) when needed.
    void setValue(std::u16string_view key, std::u16string_view name, std::u16string_view value);
    std::optional<std::u16string> value(std::u16string_view key, std::u16string_view name = {}) const;
    bool hasKey(std::u16string_view key) const;
    bool hasSubkeys(std::u16string_view key) const;
    // Removes the key with all keys below it; false when there was none.
    bool removeTree(std::u16string_view key);
    std::vector<std::u16string> keys() const;

private:
    struct KeyLess {
        bool operator()(const std::u16string& a, const std::u16string& b) const;
    };
    using Values = std::map<std::u16string, std::u16string, KeyLess>;

    std::filesystem::path FFile;
    std::map<std::u16string, Values, KeyLess> FKeys;
};

// The store files: machine-wide and the current user's. The folders come
// from MIRVO32_COM_MACHINE_STORE and MIRVO32_COM_USER_STORE when set, else
// "mirvo32" below the first of $XDG_CONFIG_DIRS (/etc/xdg) and below the
// user's roaming application data ($XDG_CONFIG_HOME, ~/.config).
std::filesystem::path registrationStoreFile(bool perUser);

}  // namespace mirvo::com

#include "common/utils/profile_string.h"

#include "common/text/casing.h"
#include "common/utils/file_utils.h"

namespace kavelin::utils {
namespace {

constexpr size_t kMaxValue = 260;

std::u16string_view trim(std::u16string_view s) {
    while (!s.empty() && (s.front() == u' ' || s.front() == u'\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == u' ' || s.back() == u'\t')) s.remove_suffix(1);
    return s;
}

}  // namespace

std::u16string readProfileString(const std::filesystem::path& file, std::u16string_view section,
                                 std::u16string_view key) {
    std::u16string text;
    try {
        text = decodeTextFile(readFileWithRetry(file));
    } catch (const EFOpenError&) {
        return {};
    }
    const std::u16string wantSection = text::upperCase(section);
    const std::u16string wantKey = text::upperCase(key);
    bool inSection = false;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of(u"\r\n", pos);
        if (end == std::u16string::npos) end = text.size();
        std::u16string_view line = trim(std::u16string_view(text).substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line[0] == u';') continue;
        if (line[0] == u'[') {
            size_t close = line.find(u']');
            inSection = close != std::u16string_view::npos &&
                        text::upperCase(trim(line.substr(1, close - 1))) == wantSection;
            continue;
        }
        size_t eq = line.find(u'=');
        if (!inSection || eq == std::u16string_view::npos) continue;
        if (text::upperCase(trim(line.substr(0, eq))) != wantKey) continue;
        std::u16string_view value = trim(line.substr(eq + 1));
        if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        return std::u16string(value.substr(0, kMaxValue));
    }
    return {};
}

}  // namespace kavelin::utils

#include "app/rtf/charstatus.h"

#include <map>
#include <mutex>
#include <vector>

namespace kavelin::rtf {

namespace {

struct Registry {
    std::mutex lock;
    std::map<std::u16string, std::uint16_t> byKey;
    std::vector<TRegisteredFont> fonts;
};

Registry& registry() {
    static Registry r;
    return r;
}

// The key is the charset as three digits followed by the name.
std::u16string keyOf(const std::u16string& name, std::uint8_t charset) {
    std::u16string key;
    key += char16_t(u'0' + charset / 100);
    key += char16_t(u'0' + charset / 10 % 10);
    key += char16_t(u'0' + charset % 10);
    return key + name;
}

}  // namespace

std::uint16_t registerFont(const std::u16string& name, std::uint8_t charset) {
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    auto key = keyOf(name, charset);
    if (auto it = r.byKey.find(key); it != r.byKey.end()) return it->second;
    if (r.fonts.size() >= 0xFFFF) return 0;  // the buffer holds 16-bit numbers
    auto index = static_cast<std::uint16_t>(r.fonts.size());
    r.fonts.push_back({name, charset});
    r.byKey.emplace(std::move(key), index);
    return index;
}

TRegisteredFont registeredFont(std::uint16_t index) {
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    if (index < r.fonts.size()) return r.fonts[index];
    return {};
}

}  // namespace kavelin::rtf

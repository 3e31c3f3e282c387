#include "calc/com/ole_strings.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace mirvo::com {

namespace {

constexpr size_t kPrefix = sizeof(uint32_t);
// The byte length must fit the 32-bit prefix.
constexpr size_t kMaxChars = (UINT32_MAX - kPrefix - sizeof(OLECHAR)) / sizeof(OLECHAR);

}  // namespace

BSTR allocString(std::u16string_view text) {
    if (text.size() > kMaxChars) return nullptr;
    const size_t bytes = text.size() * sizeof(OLECHAR);
    auto* block = static_cast<unsigned char*>(std::malloc(kPrefix + bytes + sizeof(OLECHAR)));
    if (!block) return nullptr;
    const uint32_t byteLen = uint32_t(bytes);
    std::memcpy(block, &byteLen, kPrefix);
    auto* chars = reinterpret_cast<OLECHAR*>(block + kPrefix);
    if (bytes) std::memcpy(chars, text.data(), bytes);
    chars[text.size()] = 0;
    return chars;
}

void freeString(BSTR s) {
    if (s) std::free(reinterpret_cast<unsigned char*>(s) - kPrefix);
}

UINT stringLen(BSTR s) {
    if (!s) return 0;
    uint32_t byteLen;
    std::memcpy(&byteLen, reinterpret_cast<unsigned char*>(s) - kPrefix, kPrefix);
    return byteLen / sizeof(OLECHAR);
}

std::u16string_view stringView(BSTR s) { return s ? std::u16string_view(s, stringLen(s)) : std::u16string_view(); }

BSTR newString(std::u16string_view text) {
    BSTR s = allocString(text);
    if (!s) throw std::bad_alloc();
    return s;
}

}  // namespace mirvo::com

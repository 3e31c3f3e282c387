// A caller's result buffer and the rules for writing into it.
#pragma once

#include <cstdint>
#include <string_view>

namespace mirvo::beregning {

struct TResultDest {
    char16_t* buffer = nullptr;
    uint32_t buffLen = 0;  // capacity in characters, terminator included

    bool usable() const { return buffer != nullptr && buffLen > 0; }

    // Leaves an empty text (nothing at all when there is no room for it).
    void clear() const {
        if (usable()) buffer[0] = 0;
    }

    // A single value is written only when it fits with its terminator;
    // otherwise the buffer stays empty. Returns whether it was written.
    bool writeScalar(std::u16string_view text) const {
        if (!usable() || text.size() >= buffLen) {
            clear();
            return false;
        }
        text.copy(buffer, text.size());
        buffer[text.size()] = 0;
        return true;
    }

    // Copies as much of the text as fits, always zero-terminated.
    void writeCut(std::u16string_view text) const {
        if (!usable()) return;
        size_t n = text.size() < buffLen - 1 ? text.size() : buffLen - 1;
        text.copy(buffer, n);
        buffer[n] = 0;
    }
};

}  // namespace mirvo::beregning

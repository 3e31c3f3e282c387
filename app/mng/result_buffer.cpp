#include "app/mng/result_buffer.h"

#include <vector>

#include "app/mng/calc_error.h"
#include "common/text/numtext.h"

namespace mirvo::dll {

namespace {
// The writer stops starting rows 1,002 characters before the capacity (its
// reserve plus the terminator); a little more margin costs only a retry.
constexpr uint32_t kCutMargin = 1100;
constexpr uint32_t kGrowth = 4;
}  // namespace

bool mayBeCut(size_t length, uint32_t capacity) { return length + kCutMargin >= capacity; }

uint32_t readResult(uint32_t startCapacity, const TResultCall& call, std::u16string& text,
                    const TTooSmall& tooSmall) {
    text.clear();
    for (uint32_t capacity = startCapacity;; capacity *= kGrowth) {
        if (capacity > kMaxBuffLen) capacity = kMaxBuffLen;
        std::vector<char16_t> buffer(size_t(capacity) + 1, u'\0');
        uint32_t code = call(buffer.data(), capacity);
        bool full = code != 0 && capacity < kMaxBuffLen && tooSmall && tooSmall(code);
        if (code != 0 && !full) return code;
        if (!full) {
            buffer[capacity] = u'\0';
            text.assign(buffer.data());
            if (!mayBeCut(text.size(), capacity)) return 0;
        }
        if (capacity >= kMaxBuffLen) {
            text.clear();
            throw EBeregning(0, u"Rapporten er for stor til å vises (mer enn " +
                                    kavelin::text::intText(kMaxBuffLen - kCutMargin) + u" tegn)!");
        }
    }
}

}  // namespace mirvo::dll

#include "common/buffer/bufferoutput.h"

#include <algorithm>

#include "common/utils/error.h"

namespace kavelin {

TBufferOutput::TBufferOutput(char16_t* destPtr, size_t maxLen)
    : FBufferPtr(destPtr), FMaxLen(maxLen), FLnSep(u"\n"), FColSep(u';') {
    if (FBufferPtr == nullptr || FMaxLen == 0) throw utils::EKavelin(u"Bufferet er for lite!");
    FBufferPtr[0] = 0;
}

TBufferOutput::TBufferOutput(long maxLen)
    : FMaxLen(maxLen == kGrowing ? kInitialGrowing : size_t(std::max(maxLen, 1L))),
      FAutoExpand(maxLen == kGrowing) {
    FOwned.reset(new char16_t[FMaxLen]());
    FBufferPtr = FOwned.get();
}

void TBufferOutput::reserveFor(size_t n) {
    // Room for n more characters and the terminating zero.
    if (FLength + n < FMaxLen) return;
    if (!FAutoExpand) throw utils::EKavelin(u"Bufferet er for lite!");
    size_t size = FMaxLen;
    while (FLength + n >= size) size = size * 15 / 10;
    std::unique_ptr<char16_t[]> grown(new char16_t[size]);
    std::copy_n(FBufferPtr, FLength + 1, grown.get());
    FOwned = std::move(grown);
    FBufferPtr = FOwned.get();
    FMaxLen = size;
}

void TBufferOutput::add(std::u16string_view s) {
    reserveFor(s.size());
    std::copy(s.begin(), s.end(), FBufferPtr + FLength);
    FLength += s.size();
    FBufferPtr[FLength] = 0;
}

void TBufferOutput::addCol(std::u16string_view s) {
    if (FLineHasData && FColSep != 0) add(std::u16string_view(&FColSep, 1));
    add(s);
    FLineHasData = true;
}

void TBufferOutput::addLn(std::u16string_view s) {
    if (FLength > 0) newLn();
    add(s);
    // s is the line's first column: a following addCol must separate from it.
    if (!s.empty()) FLineHasData = true;
}

void TBufferOutput::newLn() {
    add(FLnSep);
    FLineHasData = false;
}

}  // namespace kavelin

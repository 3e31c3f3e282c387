#include "common/buffer/bufferparser.h"

#include <algorithm>

namespace kavelin {
namespace {

constexpr char16_t kEmpty[1] = {0};

bool isLineEnd(char16_t c) { return c == u'\r' || c == u'\n'; }

}  // namespace

TBufferParser::TBufferParser(size_t cChars)
    : FOwned(new char16_t[cChars + 1]()), FBufferPtr(FOwned.get()), FCurrPtr(FBufferPtr) {
    gotoStart();
}

TBufferParser::TBufferParser(const char16_t* pBuff)
    : FBufferPtr(pBuff ? pBuff : kEmpty), FCurrPtr(FBufferPtr) {
    gotoStart();
}

void TBufferParser::gotoStart() {
    FCurrPtr = FBufferPtr;
    FColCount = 0;
    FEOF = *FBufferPtr == 0;
}

bool TBufferParser::ReadLn() {
    if (*FCurrPtr == 0) {
        FEOF = true;
        return false;
    }
    const char16_t* p = FCurrPtr;
    int n = 0;
    for (;;) {
        const char16_t* start = p;
        while (*p != 0 && *p != u';' && !isLineEnd(*p)) ++p;
        if (n < kMaxCols) FColPtrs[n++] = {start, p};
        if (*p != u';') break;
        ++p;
    }
    if (*p == u'\r') ++p;
    if (*p == u'\n') ++p;
    FColCount = n;
    FCurrPtr = p;
    FEOF = false;  // an owned buffer is empty at creation and filled later
    return true;
}

bool TBufferParser::ReadLastLn() {
    const char16_t* end = FCurrPtr;
    while (*end != 0) ++end;
    const char16_t* p = end;
    while (p > FBufferPtr && isLineEnd(p[-1])) --p;
    while (p > FBufferPtr && !isLineEnd(p[-1])) --p;
    FCurrPtr = p;
    const bool ok = ReadLn();
    FCurrPtr = end;
    return ok;
}

bool TBufferParser::hasLineBreaks() const {
    for (const char16_t* p = FBufferPtr; *p != 0; ++p)
        if (isLineEnd(*p)) return true;
    return false;
}

std::u16string TBufferParser::getCol(int i) const {
    if (FEOF || i < 0 || i >= FColCount) return {};
    return std::u16string(FColPtrs[i].start, FColPtrs[i].end);
}

std::u16string TBufferParser::get(int fraKolonne, int tilKolonne) const {
    if (FEOF) return std::u16string(size_t(std::max(0, tilKolonne - fraKolonne)), u';');
    tilKolonne = std::min(tilKolonne, FColCount - 1);
    if (fraKolonne < 0 || fraKolonne > tilKolonne) return {};
    return std::u16string(FColPtrs[fraKolonne].start, FColPtrs[tilKolonne].end);
}

}  // namespace kavelin

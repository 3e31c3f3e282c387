// Reads a zero-terminated UTF-16 text line by line and splits each line into
// columns at ";". CR, LF and CR LF end a line; there is no quoting.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>

namespace kavelin {

class TBufferParser {
public:
    static constexpr int kMaxCols = 21;

    // Owns a zero-filled buffer of cChars characters (plus a terminating
    // zero that is never overwritten) for the caller to write a report into.
    explicit TBufferParser(size_t cChars);
    // Reads a caller's zero-terminated buffer without owning it; null reads
    // as an empty text.
    explicit TBufferParser(const char16_t* pBuff);

    TBufferParser(const TBufferParser&) = delete;
    TBufferParser& operator=(const TBufferParser&) = delete;

    char16_t* buffer() { return FOwned.get(); }  // the owned buffer, else null
    const char16_t* text() const { return FBufferPtr; }

    // Next line; false (and eof set) at the end of the text. A line with
    // more than kMaxCols columns keeps the first kMaxCols; the rest of the
    // line is skipped.
    bool ReadLn();
    // The last non-empty line; a following ReadLn returns false.
    bool ReadLastLn();
    void gotoStart();

    int colCount() const { return FColCount; }
    bool eof() const { return FEOF; }
    bool endOfBuff() const { return *FCurrPtr == 0; }
    bool hasLineBreaks() const;

    // Column i of the last line; empty at eof or for a column the line does
    // not have.
    std::u16string getCol(int i) const;
    // Columns fraKolonne..tilKolonne with their separators; at eof as many
    // ";" as tilKolonne - fraKolonne.
    std::u16string get(int fraKolonne, int tilKolonne) const;

private:
    struct Col {
        const char16_t* start;
        const char16_t* end;
    };

    std::unique_ptr<char16_t[]> FOwned;
    const char16_t* FBufferPtr;
    const char16_t* FCurrPtr;
    bool FEOF = false;
    int FColCount = 0;
    std::array<Col, kMaxCols> FColPtrs{};
};

}  // namespace kavelin

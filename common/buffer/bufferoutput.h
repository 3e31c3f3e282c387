// Writes text into a UTF-16 buffer, kept zero-terminated after every
// append; optionally the buffer grows when full.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace kavelin {

class TBufferOutput {
public:
    static constexpr long kGrowing = -1;
    static constexpr size_t kInitialGrowing = 200'000;

    // Into a caller's buffer of maxLen characters (terminating zero
    // included); column separator ";", line separator LF; no growing.
    // Writing more than fits throws EKavelin instead of overrunning.
    TBufferOutput(char16_t* destPtr, size_t maxLen);
    // Owns a buffer of maxLen characters, or a growing one starting at
    // 200,000 characters for kGrowing. No column separator, empty line
    // separator: its users put their own line ends into the text.
    explicit TBufferOutput(long maxLen);

    TBufferOutput(const TBufferOutput&) = delete;
    TBufferOutput& operator=(const TBufferOutput&) = delete;

    void add(std::u16string_view s);
    void addCol(std::u16string_view s);  // separator first unless first on the line
    // Line separator first unless the buffer is empty; a non-empty s counts
    // as the new line's first column.
    void addLn(std::u16string_view s);
    void newLn();

    std::u16string_view text() const { return {FBufferPtr, FLength}; }
    const char16_t* buffer() const { return FBufferPtr; }
    size_t maxLen() const { return FMaxLen; }

private:
    void reserveFor(size_t n);

    std::unique_ptr<char16_t[]> FOwned;
    char16_t* FBufferPtr;
    size_t FLength = 0;  // next write position
    size_t FMaxLen;
    bool FLineHasData = false;
    bool FAutoExpand = false;
    std::u16string FLnSep;
    char16_t FColSep = 0;  // 0: none
};

}  // namespace kavelin

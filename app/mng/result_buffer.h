// Reads one result of the calculation library into a buffer that grows until
// the answer is whole. The library ends a report that does not fit after the
// last row it could start, keeps 1,000 characters in reserve for that row and
// still calls the request a success, so a text that reaches into the reserve
// may have been cut and is asked for again with a larger buffer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace mirvo::dll {

// Capacity of the first attempt, in characters with the terminating zero.
inline constexpr uint32_t kBuffLen = 100000;
// The largest buffer tried; a report that does not fit in it is refused.
inline constexpr uint32_t kMaxBuffLen = 6400000;
// Capacity of an error text.
inline constexpr uint32_t kErrorBuffLen = 4000;

// One library call: writes into buffer (capacity characters) and returns the
// library's result code.
using TResultCall = std::function<uint32_t(char16_t* buffer, uint32_t capacity)>;

// Whether a text of `length` characters read through `capacity` may have
// been cut by the library's report writer.
bool mayBeCut(size_t length, uint32_t capacity);

// Whether a failure code means only that the buffer was too small (the
// portfolio's merged schedule fails so instead of cutting).
using TTooSmall = std::function<bool(uint32_t code)>;

// Calls `call` with startCapacity characters, then with four times as many
// while the answer may have been cut or `tooSmall` accepts the failure.
// Returns the code of the last call; on code 0 `text` holds the whole
// answer. A report that does not fit in kMaxBuffLen raises EBeregning.
uint32_t readResult(uint32_t startCapacity, const TResultCall& call, std::u16string& text,
                    const TTooSmall& tooSmall = {});

}  // namespace mirvo::dll

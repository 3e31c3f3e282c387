// Conversions between UTF-16 and the two 8-bit encodings the system meets:
// Windows-1252 (the narrow exports, old files) and UTF-8 (Linux paths, Qt).
#pragma once

#include <string>
#include <string_view>

namespace kavelin::text {

// Windows-1252 -> UTF-16. The five undefined bytes map to their own code.
std::u16string fromCp1252(std::string_view s);
// UTF-16 -> Windows-1252; characters without a byte become '?'.
std::string toCp1252(std::u16string_view s);

// UTF-8 -> UTF-16; malformed sequences become U+FFFD.
std::u16string fromUtf8(std::string_view s);
// UTF-16 -> UTF-8; unpaired surrogates become U+FFFD.
std::string toUtf8(std::u16string_view s);

// Appends a code point as one or two UTF-16 units.
void appendUtf16(std::u16string& out, char32_t cp);

// Length of a zero-terminated UTF-16 text.
size_t wideLength(const char16_t* s);

}  // namespace kavelin::text

// BSTR allocation: UTF-16 text preceded by its 32-bit byte length and
// followed by a zero character. The exported Sys* functions forward here.
#pragma once

#include <string>
#include <string_view>

#include "mirvo32_com.h"

namespace mirvo::com {

// A new BSTR holding the text; null when memory runs out or the text is too
// long for a 32-bit byte length.
BSTR allocString(std::u16string_view text);
// Null frees nothing.
void freeString(BSTR s);
// Characters held (the byte length halved); 0 for null.
UINT stringLen(BSTR s);
// The text of a BSTR; null is the empty text.
std::u16string_view stringView(BSTR s);

// As allocString, but throws std::bad_alloc instead of answering null.
BSTR newString(std::u16string_view text);

}  // namespace mirvo::com

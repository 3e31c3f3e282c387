// Our UTF-16 text as Qt text, for every unit that hands text to Qt.
#pragma once

#include <QString>

#include <string_view>

namespace kavelin::text {

inline QString qs(std::u16string_view s) { return QString::fromUtf16(s.data(), qsizetype(s.size())); }

}  // namespace kavelin::text

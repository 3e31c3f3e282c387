// Upper-casing of UTF-16 text with the C.UTF-8 locale's rules, independent of
// the process locale (so "æøå" become "ÆØÅ" whatever setlocale says).
#pragma once

#include <string>
#include <string_view>

namespace kavelin::text {

char16_t upperChar(char16_t c);
std::u16string upperCase(std::u16string_view s);
// Equal without regard to letter case.
bool sameText(std::u16string_view a, std::u16string_view b);

}  // namespace kavelin::text

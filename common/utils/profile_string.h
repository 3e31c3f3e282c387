// Reading one value of a standard INI file (the redirect files): section and
// key names without regard to case, the value trimmed, at most 260
// characters; a missing file, section or key reads as empty.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kavelin::utils {

std::u16string readProfileString(const std::filesystem::path& file, std::u16string_view section,
                                 std::u16string_view key);

}  // namespace kavelin::utils

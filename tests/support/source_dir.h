// Where the project's sources are, for tests that read shipped data files:
// the folder CTest names, else the tree this header sits in.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace mirvo::test {

inline std::filesystem::path sourceDir() {
    if (const char* src = std::getenv("MIRVO_SOURCE_DIR")) return src;
    return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
}

// A file of the shipped data folder.
inline std::filesystem::path dataFile(std::string_view name) { return sourceDir() / "data" / name; }

}  // namespace mirvo::test

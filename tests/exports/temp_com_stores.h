// A test fixture that points both registration stores of the automation
// server at folders of a fresh temp dir, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class TempComStores : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "mirvo-com-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        FRoot = pattern;
        setenv("MIRVO32_COM_MACHINE_STORE", (FRoot / "machine").c_str(), 1);
        setenv("MIRVO32_COM_USER_STORE", (FRoot / "user").c_str(), 1);
    }
    void TearDown() override {
        unsetenv("MIRVO32_COM_MACHINE_STORE");
        unsetenv("MIRVO32_COM_USER_STORE");
        std::filesystem::remove_all(FRoot);
    }

    std::filesystem::path machineFile() const { return FRoot / "machine" / "classes.reg"; }
    std::filesystem::path userFile() const { return FRoot / "user" / "classes.reg"; }

    static std::string readAll(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::filesystem::path FRoot;
};

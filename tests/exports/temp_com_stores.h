// A test fixture that points both registration stores of the automation
// server at folders of a fresh temp dir.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "../support/temp_dir.h"

class TempComStores : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("MIRVO32_COM_MACHINE_STORE", (FRoot / "machine").c_str(), 1);
        setenv("MIRVO32_COM_USER_STORE", (FRoot / "user").c_str(), 1);
    }
    void TearDown() override {
        unsetenv("MIRVO32_COM_MACHINE_STORE");
        unsetenv("MIRVO32_COM_USER_STORE");
    }

    std::filesystem::path machineFile() const { return FRoot / "machine" / "classes.reg"; }
    std::filesystem::path userFile() const { return FRoot / "user" / "classes.reg"; }
    static std::string readAll(const std::filesystem::path& p) { return mirvo::test::readBytes(p); }

    mirvo::test::TempDir FRoot;
};

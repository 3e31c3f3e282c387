// Registration exports of the automation server, with both stores in a
// temp dir.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "mirvo32_com.h"
#include "temp_com_stores.h"

namespace fs = std::filesystem;

namespace {

using ComRegistrationExports = TempComStores;

TEST_F(ComRegistrationExports, RegisterAndUnregisterMachineWide) {
    ASSERT_EQ(DllRegisterServer(), S_OK);
    const std::string store = readAll(machineFile());
    EXPECT_NE(store.find("[Mirvo32.Mirvo\\CLSID]\n@={C0460199-010D-4790-86D4-EA2036BD384A}\n"), std::string::npos);
    EXPECT_NE(store.find("libmirvo32.so"), std::string::npos);  // the library itself is the server
    EXPECT_FALSE(fs::exists(FRoot / "user"));

    ASSERT_EQ(DllUnregisterServer(), S_OK);
    EXPECT_EQ(readAll(machineFile()).find("Mirvo32"), std::string::npos);
}

TEST_F(ComRegistrationExports, InstallForTheUserOnlyWithUser) {
    ASSERT_EQ(DllInstall(1, u"UsEr"), S_OK);
    EXPECT_TRUE(fs::exists(userFile()));
    EXPECT_FALSE(fs::exists(FRoot / "machine"));
    ASSERT_EQ(DllInstall(0, u"user"), S_OK);
    EXPECT_EQ(readAll(userFile()).find("Mirvo32"), std::string::npos);

    ASSERT_EQ(DllInstall(1, nullptr), S_OK);
    EXPECT_NE(readAll(machineFile()).find("KavRmln Object"), std::string::npos);
}

TEST_F(ComRegistrationExports, FailureIsEFail) {
    // The store's folder is a file: nothing can be written there.
    std::ofstream(FRoot / "blocked") << "x";
    setenv("MIRVO32_COM_MACHINE_STORE", (FRoot / "blocked").c_str(), 1);
    EXPECT_EQ(DllRegisterServer(), E_FAIL);
    EXPECT_EQ(DllInstall(1, u""), E_FAIL);
}

}  // namespace

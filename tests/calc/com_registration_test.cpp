// Registration of the automation server in the file-based stores.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "calc/com/com_registration.h"
#include "calc/com/com_server.h"
#include "calc/com/registration_store.h"
#include "../exports/temp_com_stores.h"

using namespace mirvo::com;
namespace fs = std::filesystem;

namespace {

class ComRegistration : public TempComStores {
protected:
    TRegistrationStore loaded(const fs::path& file) const {
        TRegistrationStore store(file);
        store.load();
        return store;
    }
};

TEST(ComGuids, TextFormOfEveryIdentifier) {
    struct Case {
        const GUID& guid;
        std::u16string text;
    } cases[] = {
        {LIBID_Mirvo32, u"{8B037571-17B0-4494-B482-2FD98FBE1D5D}"},
        {IID_IMirvo, u"{9B2F878D-834D-4899-A2A2-8DFAB544B743}"},
        {IID_IMirvoPortfolio, u"{640DA790-5D01-4F18-AFC2-A3FDB4C897D6}"},
        {IID_IMirvoResult, u"{C741782B-F0DF-4BF6-A8FA-2C56C2A54BD9}"},
        {IID_IMirvoError, u"{572B9538-F47E-4D22-9195-49F2E6635C4B}"},
        {CLSID_Mirvo, u"{C0460199-010D-4790-86D4-EA2036BD384A}"},
        {CLSID_MirvoPortfolio, u"{0194CB1B-B16B-4E7E-9D34-E2213E3F25E0}"},
        {CLSID_MirvoResult, u"{0221622A-2D91-41CF-BC54-001F4D1E2B19}"},
        {CLSID_MirvoError, u"{82443155-8465-4BBF-A570-DD84AC79F14C}"},
        {CLSID_KavRmln, u"{24545F28-164D-426F-A6F2-22FBDD462D25}"},
        {CLSID_KavRmlnResult, u"{F4B36056-160C-4E2B-85E0-9E45588E34C4}"},
        {IID_IDispatch, u"{00020400-0000-0000-C000-000000000046}"},
    };
    for (const auto& c : cases) EXPECT_EQ(guidText(c.guid), c.text);
}

TEST_F(ComRegistration, RegisterWritesTheStandardEntriesMachineWide) {
    ASSERT_EQ(registerServer(false), S_OK);
    EXPECT_FALSE(fs::exists(userFile()));
    auto store = loaded(machineFile());

    const std::u16string mirvo = u"CLSID\\{C0460199-010D-4790-86D4-EA2036BD384A}";
    EXPECT_EQ(store.value(mirvo + u"\\ProgID"), u"Mirvo32.Mirvo");
    EXPECT_EQ(store.value(mirvo + u"\\InprocServer32", u"ThreadingModel"), u"Apartment");
    const auto path = store.value(mirvo + u"\\InprocServer32");
    ASSERT_TRUE(path.has_value());
    EXPECT_TRUE(fs::exists(fs::path(std::string(path->begin(), path->end()))));
    // Keys are found without regard to case, as in the registry.
    EXPECT_EQ(store.value(u"clsid\\{c0460199-010d-4790-86d4-ea2036bd384a}\\progid"), u"Mirvo32.Mirvo");

    EXPECT_EQ(store.value(u"Mirvo32.KavRmln"), u"KavRmln Object");
    EXPECT_EQ(store.value(u"Mirvo32.KavRmln\\CLSID"), u"{24545F28-164D-426F-A6F2-22FBDD462D25}");
    EXPECT_EQ(store.value(u"Mirvo32.MirvoPortfolio\\CLSID"), u"{0194CB1B-B16B-4E7E-9D34-E2213E3F25E0}");
    EXPECT_EQ(store.value(u"Interface\\{640DA790-5D01-4F18-AFC2-A3FDB4C897D6}"), u"IMirvoPortfolio");
    EXPECT_EQ(store.value(u"Interface\\{572B9538-F47E-4D22-9195-49F2E6635C4B}\\TypeLib"),
              u"{8B037571-17B0-4494-B482-2FD98FBE1D5D}");
    EXPECT_EQ(store.value(u"TypeLib\\{8B037571-17B0-4494-B482-2FD98FBE1D5D}\\1.0"), u"Mirvo Win32 DLL / COM-Library");
    // Error objects are only made by getError: no factory, no class entry.
    EXPECT_FALSE(store.hasKey(u"CLSID\\{82443155-8465-4BBF-A570-DD84AC79F14C}"));
    EXPECT_FALSE(store.hasKey(u"Mirvo32.MirvoError"));

    // Written through a temp file that is renamed: nothing else is left.
    EXPECT_EQ(std::distance(fs::directory_iterator(FRoot / "machine"), fs::directory_iterator()), 1);
}

TEST_F(ComRegistration, UnregisterRemovesOnlyOwnEntries) {
    fs::create_directories(FRoot / "user");
    {
        std::ofstream out(userFile(), std::ios::binary);
        out << "; another server\n[CLSID\\{11111111-2222-3333-4444-555555555555}]\n@=Other\n"
               "[TypeLib\\{8B037571-17B0-4494-B482-2FD98FBE1D5D}\\2.0]\n@=A later version\n";
    }
    ASSERT_EQ(registerServer(true), S_OK);
    EXPECT_FALSE(fs::exists(machineFile()));
    EXPECT_TRUE(loaded(userFile()).hasKey(u"Mirvo32.Mirvo"));

    ASSERT_EQ(unregisterServer(true), S_OK);
    auto store = loaded(userFile());
    EXPECT_EQ(store.value(u"CLSID\\{11111111-2222-3333-4444-555555555555}"), u"Other");
    EXPECT_EQ(store.value(u"TypeLib\\{8B037571-17B0-4494-B482-2FD98FBE1D5D}\\2.0"), u"A later version");
    EXPECT_EQ(store.keys().size(), 2u);

    // Unregistering with no store at all creates none.
    ASSERT_EQ(unregisterServer(false), S_OK);
    EXPECT_FALSE(fs::exists(FRoot / "machine"));
}

TEST_F(ComRegistration, AnUnreadableStoreFailsAndIsLeftAlone) {
    fs::create_directories(FRoot / "machine");
    const std::string garbage = "[CLSID\\{X}]\nthis line has no equals sign\n";
    {
        std::ofstream out(machineFile(), std::ios::binary);
        out << garbage;
    }
    EXPECT_EQ(registerServer(false), E_FAIL);
    EXPECT_EQ(unregisterServer(false), E_FAIL);
    EXPECT_EQ(readAll(machineFile()), garbage);
}

TEST_F(ComRegistration, StoreRoundTripKeepsAwkwardValues) {
    TRegistrationStore store(FRoot / "deep" / "folder" / "classes.reg");
    store.setValue(u"Key\\Sub", u"", u"C:\\path\\with\nline break\r=and equals");
    store.setValue(u"Key\\Sub", u"Named", u"æøå ÆØÅ");
    store.setValue(u"Key", u"Empty", u"");
    store.save();
    auto back = loaded(store.file());
    EXPECT_EQ(back.value(u"key\\sub"), u"C:\\path\\with\nline break\r=and equals");
    EXPECT_EQ(back.value(u"Key\\Sub", u"Named"), u"æøå ÆØÅ");
    EXPECT_EQ(back.value(u"Key", u"Empty"), u"");
    EXPECT_FALSE(back.value(u"Key", u"Missing").has_value());
    EXPECT_TRUE(back.hasSubkeys(u"KEY"));
    EXPECT_TRUE(back.removeTree(u"key"));
    EXPECT_TRUE(back.keys().empty());

    EXPECT_THROW(store.setValue(u"Key", u"a=b", u""), std::invalid_argument);
    EXPECT_THROW(store.setValue(u"Key\nX", u"", u""), std::invalid_argument);
}

TEST_F(ComRegistration, DefaultLocationsFollowXdg) {
    unsetenv("MIRVO32_COM_MACHINE_STORE");
    unsetenv("MIRVO32_COM_USER_STORE");
    const char* oldHome = std::getenv("XDG_CONFIG_HOME");
    const std::string savedHome = oldHome ? oldHome : "";
    const char* oldDirs = std::getenv("XDG_CONFIG_DIRS");
    const std::string savedDirs = oldDirs ? oldDirs : "";
    setenv("XDG_CONFIG_HOME", "/tmp/cfg-home", 1);
    setenv("XDG_CONFIG_DIRS", "/opt/a:/opt/b", 1);
    EXPECT_EQ(registrationStoreFile(true), fs::path("/tmp/cfg-home/mirvo32/classes.reg"));
    EXPECT_EQ(registrationStoreFile(false), fs::path("/opt/a/mirvo32/classes.reg"));
    unsetenv("XDG_CONFIG_DIRS");
    EXPECT_EQ(registrationStoreFile(false), fs::path("/etc/xdg/mirvo32/classes.reg"));
    if (oldHome) setenv("XDG_CONFIG_HOME", savedHome.c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
    if (oldDirs) setenv("XDG_CONFIG_DIRS", savedDirs.c_str(), 1);
}

}  // namespace

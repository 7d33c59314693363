#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "ResultAssertions.h"
#include "twds/Registry.h"

namespace twds {
namespace {

using namespace std::string_literals;

// The Windows registry through the helpers the viewer uses, in a key of the
// test's own under HKEY_CURRENT_USER that is removed afterwards. The helpers'
// decoding is the same on every store: FileRegistryStoreTest pins it.
class WindowsRegistryStoreTest : public ::testing::Test {
protected:
    static constexpr const char* kParent = "SOFTWARE\\twDspUsrSpc tests";

    ~WindowsRegistryStoreTest() override { RegDeleteTreeA(HKEY_CURRENT_USER, kParent); }

    // The type and bytes the registry holds, read with the system's own call.
    std::pair<DWORD, std::string> raw(const char* name) const {
        DWORD type = 0;
        DWORD size = 64;
        std::string data(size, '\0');
        const LSTATUS status = RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name,
                                            RRF_RT_ANY | RRF_NOEXPAND, &type, data.data(), &size);
        data.resize(status == ERROR_SUCCESS ? size : 0);
        return {type, data};
    }

    const std::unique_ptr<RegistryStore> store = CreateSystemRegistry();
    const std::string key = kParent + "\\"s + std::to_string(GetCurrentProcessId());
};

TEST_F(WindowsRegistryStoreTest, ValuesKeepTheirTypeAndBytes) {
    EXPECT_EQ(store->location(), "Windows registry");
    ASSERT_TRUE(test::Succeeded(EnsureRegistryKey(*store, Hive::CurrentUser, key)));
    EXPECT_TRUE(test::Succeeded(
        StoreRegistryValue(*store, Hive::CurrentUser, key, "Language", "EN"s, kRegExpandSz)));
    EXPECT_TRUE(test::Succeeded(
        StoreRegistryValue(*store, Hive::CurrentUser, key, "DataPath", "C:\\caf\xe9"s, kRegSz)));
    EXPECT_TRUE(test::Succeeded(
        StoreRegistryValue(*store, Hive::CurrentUser, key, "Count", std::int32_t{-2}, kRegDword)));

    EXPECT_EQ(raw("Language"), std::pair(DWORD{REG_EXPAND_SZ}, "EN\0"s));
    EXPECT_EQ(raw("DataPath"), std::pair(DWORD{REG_SZ}, "C:\\caf\xe9\0"s));
    EXPECT_EQ(raw("Count"), std::pair(DWORD{REG_DWORD}, "\xfe\xff\xff\xff"s));

    // Names are not case-sensitive; what is missing reads as nothing.
    EXPECT_EQ(FetchRegistryValue(*store, Hive::CurrentUser, key, "LANGUAGE"), RegistryValue("EN"s));
    EXPECT_EQ(FetchRegistryValue(*store, Hive::CurrentUser, key, "Missing"), RegistryValue{});
    EXPECT_EQ(FetchRegistryValue(*store, Hive::CurrentUser, key + "\\Missing", "Language"),
              RegistryValue{});
}

}  // namespace
}  // namespace twds

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <variant>

#include "MemoryRegistry.h"
#include "ResultAssertions.h"
#include "twds/Registry.h"

namespace twds {
namespace {

using namespace std::string_literals;

constexpr std::string_view kKey = "SOFTWARE\\Test";
using Raw = std::pair<std::uint32_t, std::string>;

class RegistryTest : public ::testing::Test {
protected:
    // Stores raw bytes under kKey, as another program might have left them.
    void putRaw(std::string_view name, std::uint32_t type, std::string_view data) {
        const auto key = store.createKey(Hive::CurrentUser, kKey);
        ASSERT_TRUE(test::Succeeded(key));
        ASSERT_TRUE(test::Succeeded(store.setValue(*key, name, type, data)));
        store.closeKey(*key);
    }

    // The raw type and bytes of a value as the store holds them; nothing when
    // it holds none.
    std::optional<Raw> raw(std::string_view name) {
        const auto key = store.openKey(Hive::CurrentUser, kKey);
        Raw value;
        const bool found = store.queryValue(key, name, value.first, value.second) == 0;
        store.closeKey(key);
        return found ? std::optional(value) : std::nullopt;
    }

    RegistryValue read(std::string_view name) {
        return FetchRegistryValue(store, Hive::CurrentUser, kKey, name);
    }

    void TearDown() override { EXPECT_EQ(store.openKeys(), 0u) << "a key was left open"; }

    test::MemoryRegistry store;
};

// A string value is its data less the last byte, with no environment
// expansion; a REG_DWORD is little-endian signed, shorter data filling the low
// bytes; anything else is Empty with status -1. A value read always replaces
// what the variable held.
TEST_F(RegistryTest, QueryDecodesEachTypeFromItsRawBytes) {
    constexpr std::int32_t kMoreData = 234;
    const struct {
        std::uint32_t type;
        std::string data;
        RegistryValue expected;
        std::int32_t status;
    } cases[] = {
        {kRegSz, "EN\0"s, "EN"s, 0},
        {kRegExpandSz, "%TEMP%\\x\0"s, "%TEMP%\\x"s, 0},
        {kRegSz, "ABC", "AB"s, 0},
        {kRegSz, "A\0B\0"s, "A\0B"s, 0},
        {kRegSz, "\0"s, ""s, 0},
        {kRegSz, "", {}, 0},
        {kRegExpandSz, "", {}, 0},
        {kRegDword, "\x0c\0\0\0"s, std::int32_t{12}, 0},
        {kRegDword, "\xfe\xff\xff\xff"s, std::int32_t{-2}, 0},
        {kRegDword, "\x01\x02"s, std::int32_t{0x0201}, 0},
        {kRegDword, "\x01\0\0\0\0"s, {}, kMoreData},
        {3, "\x01\x02"s, {}, -1},
        {7, "a\0b\0\0"s, {}, -1},
        {11, "\x01\0\0\0\0\0\0\0"s, {}, -1},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const auto name = "v" + std::to_string(i);
        putRaw(name, cases[i].type, cases[i].data);
        const auto key = store.openKey(Hive::CurrentUser, kKey);
        RegistryValue value = "stale"s;
        EXPECT_EQ(FetchOpenKeyValue(store, key, name, value), cases[i].status);
        EXPECT_EQ(value, cases[i].expected);
        store.closeKey(key);
        EXPECT_EQ(read(name), cases[i].expected);
    }
}

TEST_F(RegistryTest, MissingKeyOrValueIsEmptyWithNonZeroStatus) {
    EXPECT_EQ(read("Nothing"), RegistryValue{});
    putRaw("Present", kRegSz, "x\0"s);
    EXPECT_EQ(read("Absent"), RegistryValue{});

    RegistryValue value = "stale"s;
    EXPECT_NE(FetchOpenKeyValue(store, 0, "Present", value), 0);
    EXPECT_EQ(value, RegistryValue{});
    EXPECT_EQ(FetchRegistryValue(store, Hive::LocalMachine, kKey, "Present"), RegistryValue{})
        << "the hives are separate";
}

// Types 1 and 2 store the text plus one NUL, type 4 four bytes; other types
// write nothing.
TEST_F(RegistryTest, WriteStoresTextPlusOneNulOrFourBytes) {
    ASSERT_TRUE(test::Succeeded(EnsureRegistryKey(store, Hive::CurrentUser, kKey)));
    const struct {
        const char* name;
        RegistryValue value;
        std::uint32_t type;
        std::optional<Raw> stored;
    } cases[] = {
        {"Sz", "EN"s, kRegSz, Raw{kRegSz, "EN\0"s}},
        {"Expand", "FR"s, kRegExpandSz, Raw{kRegExpandSz, "FR\0"s}},
        {"FromInt", std::int32_t{-7}, kRegSz, Raw{kRegSz, "-7\0"s}},
        {"Dword", std::int32_t{-2}, kRegDword, Raw{kRegDword, "\xfe\xff\xff\xff"s}},
        {"DwordText", "300"s, kRegDword, Raw{kRegDword, "\x2c\x01\0\0"s}},
        {"Binary", "x"s, 3, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(test::Succeeded(
            StoreRegistryValue(store, Hive::CurrentUser, kKey, c.name, c.value, c.type)));
        EXPECT_EQ(raw(c.name), c.stored);
    }
    EXPECT_EQ(read("Dword"), RegistryValue(std::int32_t{-2}));
}

TEST_F(RegistryTest, WriteFailuresSayWhatFailed) {
    const auto missingKey = test::FailureText(
        StoreRegistryValue(store, Hive::CurrentUser, "SOFTWARE\\Missing", "V", "x"s, kRegSz));
    EXPECT_NE(missingKey.find("HKEY_CURRENT_USER\\SOFTWARE\\Missing"), std::string::npos)
        << missingKey;

    ASSERT_TRUE(test::Succeeded(EnsureRegistryKey(store, Hive::CurrentUser, kKey)));
    const auto notANumber = test::FailureText(
        StoreRegistryValue(store, Hive::CurrentUser, kKey, "Count", "twelve"s, kRegDword));
    EXPECT_NE(notANumber.find("twelve"), std::string::npos) << notANumber;
    EXPECT_EQ(read("Count"), RegistryValue{});
}

}  // namespace
}  // namespace twds

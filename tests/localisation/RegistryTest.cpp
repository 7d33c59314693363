#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "TempFolder.h"
#include "twds/FileRegistryStore.h"
#include "twds/Registry.h"

namespace twds {
namespace {

using namespace std::string_literals;

constexpr std::string_view kKey = "SOFTWARE\\Test";

class RegistryTest : public ::testing::Test {
protected:
    // Stores raw bytes under kKey, as another program might have left them.
    void putRaw(std::string_view name, std::uint32_t type, std::string_view data) {
        std::string error;
        const auto key = store.createKey(Hive::CurrentUser, kKey, error);
        ASSERT_NE(key, 0u) << error;
        ASSERT_EQ(store.setValue(key, name, type, data, error), 0) << error;
        store.closeKey(key);
    }

    // The raw type and bytes of a value, as the store holds them.
    std::pair<std::uint32_t, std::string> raw(std::string_view name) {
        const auto key = store.openKey(Hive::CurrentUser, kKey);
        std::uint32_t type = 0;
        std::string data;
        EXPECT_EQ(store.queryValue(key, name, type, data), 0);
        store.closeKey(key);
        return {type, data};
    }

    RegistryValue read(std::string_view name) {
        return ReadRegistryValue(store, Hive::CurrentUser, kKey, name);
    }

    test::TempFolder folder;
    FileRegistryStore store{folder.path()};
};

TEST_F(RegistryTest, StringValueIsItsDataLessTheLastByte) {
    putRaw("Terminated", kRegSz, "EN\0"s);
    putRaw("Expand", kRegExpandSz, "%TEMP%\\x\0"s);
    putRaw("Unterminated", kRegSz, "ABC");
    putRaw("InnerNul", kRegSz, "A\0B\0"s);
    putRaw("EmptyText", kRegSz, "\0"s);

    EXPECT_EQ(read("Terminated"), RegistryValue("EN"s));
    EXPECT_EQ(read("Expand"), RegistryValue("%TEMP%\\x"s)) << "no environment expansion";
    EXPECT_EQ(read("Unterminated"), RegistryValue("AB"s));
    EXPECT_EQ(read("InnerNul"), RegistryValue("A\0B"s));
    EXPECT_EQ(read("EmptyText"), RegistryValue(""s));
}

TEST_F(RegistryTest, StringOfSizeZeroIsEmpty) {
    putRaw("Sz", kRegSz, "");
    putRaw("ExpandSz", kRegExpandSz, "");
    EXPECT_TRUE(std::holds_alternative<std::monostate>(read("Sz")));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(read("ExpandSz")));
}

TEST_F(RegistryTest, DwordIsLittleEndianSigned) {
    putRaw("Twelve", kRegDword, "\x0c\0\0\0"s);
    putRaw("Minus2", kRegDword, "\xfe\xff\xff\xff"s);
    putRaw("Short", kRegDword, "\x01\x02"s);
    putRaw("Long", kRegDword, "\x01\0\0\0\0"s);

    EXPECT_EQ(read("Twelve"), RegistryValue(std::int32_t{12}));
    EXPECT_EQ(read("Minus2"), RegistryValue(std::int32_t{-2}));
    EXPECT_EQ(read("Short"), RegistryValue(std::int32_t{0x0201}));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(read("Long")));
}

TEST_F(RegistryTest, OtherTypesAreEmptyWithStatusMinusOne) {
    putRaw("Binary", 3, "\x01\x02"s);
    putRaw("MultiSz", 7, "a\0b\0\0"s);
    putRaw("Qword", 11, "\x01\0\0\0\0\0\0\0"s);
    const auto key = store.openKey(Hive::CurrentUser, kKey);
    ASSERT_NE(key, 0u);
    for (const char* name : {"Binary", "MultiSz", "Qword"}) {
        RegistryValue value = "stale"s;
        EXPECT_EQ(QueryOpenValue(store, key, name, value), -1) << name;
        EXPECT_TRUE(std::holds_alternative<std::monostate>(value)) << name;
    }
    store.closeKey(key);
}

TEST_F(RegistryTest, MissingKeyOrValueIsEmptyWithNonZeroStatus) {
    EXPECT_TRUE(std::holds_alternative<std::monostate>(read("Nothing")));
    putRaw("Present", kRegSz, "x\0"s);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(read("Absent")));

    RegistryValue value = "stale"s;
    EXPECT_NE(QueryOpenValue(store, 0, "Present", value), 0);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(value));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(
        ReadRegistryValue(store, Hive::LocalMachine, kKey, "Present")))
        << "the hives are separate";
}

TEST_F(RegistryTest, WriteStoresTextPlusOneNulOrFourBytes) {
    ASSERT_EQ(CreateRegistryKey(store, Hive::CurrentUser, kKey), "");
    EXPECT_EQ(WriteRegistryValue(store, Hive::CurrentUser, kKey, "Sz", "EN"s, kRegSz), "");
    EXPECT_EQ(WriteRegistryValue(store, Hive::CurrentUser, kKey, "Expand", "FR"s, kRegExpandSz),
              "");
    EXPECT_EQ(
        WriteRegistryValue(store, Hive::CurrentUser, kKey, "FromInt", std::int32_t{-7}, kRegSz),
        "");
    EXPECT_EQ(
        WriteRegistryValue(store, Hive::CurrentUser, kKey, "Dword", std::int32_t{-2}, kRegDword),
        "");
    EXPECT_EQ(WriteRegistryValue(store, Hive::CurrentUser, kKey, "DwordText", "300"s, kRegDword),
              "");

    EXPECT_EQ(raw("Sz"), std::pair(kRegSz, "EN\0"s));
    EXPECT_EQ(raw("Expand"), std::pair(kRegExpandSz, "FR\0"s));
    EXPECT_EQ(raw("FromInt"), std::pair(kRegSz, "-7\0"s));
    EXPECT_EQ(raw("Dword"), std::pair(kRegDword, "\xfe\xff\xff\xff"s));
    EXPECT_EQ(raw("DwordText"), std::pair(kRegDword, "\x2c\x01\0\0"s));
    EXPECT_EQ(read("Dword"), RegistryValue(std::int32_t{-2}));
}

TEST_F(RegistryTest, WriteOfOtherTypesWritesNothing) {
    ASSERT_EQ(CreateRegistryKey(store, Hive::CurrentUser, kKey), "");
    EXPECT_EQ(WriteRegistryValue(store, Hive::CurrentUser, kKey, "Binary", "x"s, 3), "");
    const auto key = store.openKey(Hive::CurrentUser, kKey);
    std::uint32_t type = 0;
    std::string data;
    EXPECT_NE(store.queryValue(key, "Binary", type, data), 0);
    store.closeKey(key);
}

TEST_F(RegistryTest, WriteFailuresSayWhatFailed) {
    const auto missingKey =
        WriteRegistryValue(store, Hive::CurrentUser, "SOFTWARE\\Missing", "V", "x"s, kRegSz);
    EXPECT_NE(missingKey.find("HKEY_CURRENT_USER\\SOFTWARE\\Missing"), std::string::npos)
        << missingKey;

    ASSERT_EQ(CreateRegistryKey(store, Hive::CurrentUser, kKey), "");
    const auto notANumber =
        WriteRegistryValue(store, Hive::CurrentUser, kKey, "Count", "twelve"s, kRegDword);
    EXPECT_NE(notANumber.find("twelve"), std::string::npos) << notANumber;
    EXPECT_TRUE(std::holds_alternative<std::monostate>(read("Count")));
}

}  // namespace
}  // namespace twds

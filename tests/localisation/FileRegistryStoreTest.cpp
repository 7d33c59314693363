#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <variant>

#include "TempFolder.h"
#include "TestSupport.h"
#include "twds/FileRegistryStore.h"
#include "twds/Registry.h"

namespace twds {
namespace {

using namespace std::string_literals;

constexpr std::string_view kSettings = "SOFTWARE\\Vellmar\\Vellmar Lumen\\Manager\\Settings";
constexpr const char* kUserFile = "HKEY_CURRENT_USER.reg";

// The type and raw bytes the store holds for a value; nothing when it has none.
std::optional<std::pair<std::uint32_t, std::string>> Raw(FileRegistryStore& store, Hive hive,
                                                         std::string_view keyName,
                                                         std::string_view name) {
    const auto key = store.openKey(hive, keyName);
    std::pair<std::uint32_t, std::string> value;
    const bool found = store.queryValue(key, name, value.first, value.second) == 0;
    store.closeKey(key);
    return found ? std::optional(value) : std::nullopt;
}

void Put(FileRegistryStore& store, Hive hive, std::string_view keyName, std::string_view name,
         std::uint32_t type, std::string_view data) {
    std::string error;
    const auto key = store.createKey(hive, keyName, error);
    ASSERT_NE(key, 0u) << error;
    ASSERT_EQ(store.setValue(key, name, type, data, error), 0) << error;
    store.closeKey(key);
}

TEST(FileRegistryStore, WritesRegedit4LinesForEachType) {
    test::TempFolder folder;
    FileRegistryStore store(folder.path() / "registry");
    Put(store, Hive::CurrentUser, kSettings, "Language", kRegExpandSz, "EN\0"s);
    Put(store, Hive::CurrentUser, kSettings, "Name", kRegSz, "Tide\0"s);
    Put(store, Hive::CurrentUser, kSettings, "Count", kRegDword, "\x0c\0\0\0"s);
    Put(store, Hive::CurrentUser, kSettings, "Blob", 3, "\x01\xff"s);
    Put(store, Hive::CurrentUser, kSettings, "", 7, "a\0"s);

    EXPECT_EQ(folder.read("registry/"s + kUserFile),
              "REGEDIT4\r\n"
              "\r\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\Vellmar\\Vellmar Lumen\\Manager\\Settings]\r\n"
              "\"Language\"=hex(2):45,4e,00\r\n"
              "\"Name\"=\"Tide\"\r\n"
              "\"Count\"=dword:0000000c\r\n"
              "\"Blob\"=hex:01,ff\r\n"
              "@=hex(7):61,00\r\n");
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "registry" / "HKEY_LOCAL_MACHINE.reg"));
}

TEST(FileRegistryStore, EveryValueReadsBackToTheSameTypeAndBytes) {
    test::TempFolder folder;
    const std::pair<std::uint32_t, std::string> values[] = {
        {kRegSz, "C:\\data\\\"quoted\" \\\0"s},  // escapes
        {kRegSz, "no terminating NUL"s},
        {kRegSz, ""s},
        {kRegSz, "line\r\nbreak\0"s},
        {kRegSz, "inner\0nul\0"s},
        {kRegSz, "\xe9t\xe9 \xb0\0"s},  // Windows-1252 bytes
        {kRegExpandSz, "%PATH%\0"s},
        {kRegDword, "\x01\x02"s},  // not 4 bytes: kept as raw bytes
        {kRegDword, "\xff\xff\xff\x7f"s},
        {3, ""s},
        {0, "\0"s},
        {0x2a, "\x10\x20\x30"s},
    };
    {
        FileRegistryStore store(folder.path());
        for (std::size_t i = 0; i < std::size(values); ++i) {
            Put(store, Hive::LocalMachine, "SOFTWARE\\RoundTrip", "v" + std::to_string(i),
                values[i].first, values[i].second);
        }
        // Awkward value names survive too.
        Put(store, Hive::LocalMachine, "SOFTWARE\\RoundTrip", "say \"hi\" \\ there", kRegSz,
            "x\0"s);
    }
    FileRegistryStore reopened(folder.path());
    for (std::size_t i = 0; i < std::size(values); ++i) {
        EXPECT_EQ(Raw(reopened, Hive::LocalMachine, "SOFTWARE\\RoundTrip", "v" + std::to_string(i)),
                  values[i])
            << "value " << i;
    }
    EXPECT_EQ(Raw(reopened, Hive::LocalMachine, "SOFTWARE\\RoundTrip", "say \"hi\" \\ there"),
              std::pair(kRegSz, "x\0"s));
    EXPECT_EQ(ReadRegistryValue(reopened, Hive::LocalMachine, "SOFTWARE\\RoundTrip", "v0"),
              RegistryValue("C:\\data\\\"quoted\" \\"s));
}

TEST(FileRegistryStore, NamesCompareCaseInsensitively) {
    test::TempFolder folder;
    FileRegistryStore store(folder.path());
    Put(store, Hive::CurrentUser, "Software\\Tool", "Language", kRegSz, "EN\0"s);
    EXPECT_EQ(ReadRegistryValue(store, Hive::CurrentUser, "SOFTWARE\\TOOL", "language"),
              RegistryValue("EN"s));

    // Setting it again under other case replaces the one value, which keeps
    // the name it was created with.
    Put(store, Hive::CurrentUser, "software\\tool", "LANGUAGE", kRegSz, "FR\0"s);
    EXPECT_EQ(folder.read(kUserFile),
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tool]\r\n\"Language\"=\"FR\"\r\n")
        << "an existing key is not added again";
}

// A key exists through its sub-keys, and the hive itself always does. Names
// Windows refuses are refused, and nothing is written for them.
TEST(FileRegistryStore, KeyNamesFollowWindowsRules) {
    test::TempFolder folder;
    FileRegistryStore store(folder.path());
    for (const auto& name : {"\\SOFTWARE"s, "SOFTWARE\\\\A"s, "A\nB"s, "A\0B"s}) {
        std::string error;
        EXPECT_EQ(store.createKey(Hive::CurrentUser, name, error), 0u);
        EXPECT_NE(error.find("not valid"), std::string::npos) << error;
    }
    EXPECT_FALSE(std::filesystem::exists(folder.path() / kUserFile));

    std::string error;
    const auto created = store.createKey(Hive::CurrentUser, "SOFTWARE\\A\\B\\", error);
    ASSERT_NE(created, 0u) << error;
    store.closeKey(created);
    for (const char* name : {"SOFTWARE", "software\\a", "SOFTWARE\\A\\B", ""}) {
        const auto key = store.openKey(Hive::CurrentUser, name);
        EXPECT_NE(key, 0u) << name;
        store.closeKey(key);
    }
    EXPECT_EQ(store.openKey(Hive::CurrentUser, "SOFTWARE\\A\\C"), 0u);
    EXPECT_EQ(store.openKey(Hive::CurrentUser, "SOFTWARE\\A\\B\\C"), 0u);
    EXPECT_EQ(store.openKey(Hive::LocalMachine, "SOFTWARE"), 0u);
}

TEST(FileRegistryStore, MalformedLinesReadAsMissingAndTheRestStillReads) {
    test::TempFolder folder;
    folder.write(kUserFile,
                 "REGEDIT4\r\n"
                 "\"Orphan\"=\"before any key\"\r\n"
                 "\r\n"
                 "[HKEY_CURRENT_USER\\SOFTWARE\\T]\r\n"
                 "\"Good\"=\"yes\"\r\n"
                 "garbage line without quotes\r\n"
                 "\"Unterminated\"=\"no end\r\n"
                 "\"BadEscape\"=\"a\\nb\"\r\n"
                 "\"BadHex\"=hex(2):4g,00\r\n"
                 "\"BigByte\"=hex:100\r\n"
                 "\"BadDword\"=dword:123456789\r\n"
                 "\"NoEquals\" \"x\"\r\n"
                 "; a comment\r\n"
                 "\"Wrapped\"=hex(2):45,\\\r\n"
                 "  4e,00\r\n"
                 "\"Unix\"=\"lf only\"\n"
                 "\"Backslash\"=\"not continued\\\r\n"
                 "\"AfterBackslash\"=\"read\"\r\n"
                 "[HKEY_LOCAL_MACHINE\\SOFTWARE\\T]\r\n"
                 "\"OtherHive\"=\"ignored here\"\r\n"
                 "[HKEY_CURRENT_USER\\SOFTWARE\\T\r\n"
                 "\"AfterBrokenKey\"=\"ignored\"\r\n"
                 "[HKEY_CURRENT_USER\\SOFTWARE\\T]\r\n"
                 "\"Binary\"=hex:\r\n"
                 "\"Last\"=dword:ffffffff");
    FileRegistryStore store(folder.path());
    const auto read = [&](std::string_view name) {
        return ReadRegistryValue(store, Hive::CurrentUser, "SOFTWARE\\T", name);
    };
    EXPECT_EQ(read("Good"), RegistryValue("yes"s));
    EXPECT_EQ(read("Wrapped"), RegistryValue("EN"s));
    EXPECT_EQ(read("Unix"), RegistryValue("lf only"s));
    EXPECT_EQ(read("AfterBackslash"), RegistryValue("read"s));
    EXPECT_EQ(read("Last"), RegistryValue(std::int32_t{-1}));
    EXPECT_EQ(Raw(store, Hive::CurrentUser, "SOFTWARE\\T", "Binary"), std::pair(3u, ""s));
    for (const char* name : {"Orphan", "Unterminated", "BadEscape", "BadHex", "BigByte", "BadDword",
                             "NoEquals", "OtherHive", "AfterBrokenKey"}) {
        EXPECT_EQ(read(name), RegistryValue{}) << name;
    }
}

TEST(FileRegistryStore, RewriteKeepsOtherKeysValuesAndUnreadableLines) {
    test::TempFolder folder;
    const std::string original =
        "REGEDIT4\r\n"
        "\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orinex\\Tidewell\\TW_CFG]\r\n"
        "\"DataPath\"=\"C:\\\\TW\\\\DATA\"\r\n"
        "this line is not understood\r\n"
        "\"Wrapped\"=hex(7):61,00,\\\r\n"
        "  62,00,00\r\n"
        "\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n"
        "\"Keep\"=dword:00000001\r\n";
    folder.write("HKEY_LOCAL_MACHINE.reg", original);

    FileRegistryStore store(folder.path());
    ASSERT_EQ(WriteRegistryValue(store, Hive::LocalMachine, "SOFTWARE\\Orinex\\Tidewell\\TW_CFG",
                                 "Added", "new"s, kRegSz),
              "");
    ASSERT_EQ(WriteRegistryValue(store, Hive::LocalMachine, "SOFTWARE\\Other", "Keep",
                                 std::int32_t{2}, kRegDword),
              "");

    // Every line it does not change is kept; a new value ends its key's section.
    EXPECT_EQ(folder.read("HKEY_LOCAL_MACHINE.reg"),
              "REGEDIT4\r\n"
              "\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orinex\\Tidewell\\TW_CFG]\r\n"
              "\"DataPath\"=\"C:\\\\TW\\\\DATA\"\r\n"
              "this line is not understood\r\n"
              "\"Wrapped\"=hex(7):61,00,\\\r\n"
              "  62,00,00\r\n"
              "\"Added\"=\"new\"\r\n"
              "\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n"
              "\"Keep\"=dword:00000002\r\n");
    EXPECT_EQ(Raw(store, Hive::LocalMachine, "SOFTWARE\\Orinex\\Tidewell\\TW_CFG", "Wrapped"),
              std::pair(7u, "a\0b\0\0"s));

    // Nothing but the hive file is left behind in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator{}),
              1);
}

// A hex line whose "\" joins nothing (at the end of the file, or before a
// blank line) must not swallow what is written after it.
TEST(FileRegistryStore, DanglingContinuationSwallowsNothingWrittenAfterIt) {
    for (const std::string& tail : {"\\"s, "\\\\"s, "\\\\\r\n"s, "\\\r\n\r\n"s}) {
        SCOPED_TRACE(testing::PrintToString(tail));
        test::TempFolder folder;
        folder.write(kUserFile,
                     "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Odd]\r\n"
                     "\"Bin\"=hex:01,02," +
                         tail);
        FileRegistryStore store(folder.path());

        const auto writeAndRead = [&](std::string_view key, const char* name,
                                      const std::string& text, std::uint32_t type) {
            ASSERT_EQ(WriteRegistryValue(store, Hive::CurrentUser, key, name, text, type), "");
            EXPECT_EQ(ReadRegistryValue(store, Hive::CurrentUser, key, name), RegistryValue(text))
                << folder.read(kUserFile);
        };
        ASSERT_EQ(CreateRegistryKey(store, Hive::CurrentUser, kSettings), "");
        writeAndRead(kSettings, "Language", "EN", kRegExpandSz);
        writeAndRead("SOFTWARE\\Odd", "Next", "x", kRegSz);
    }
}

TEST(FileRegistryStore, UnwritableFolderIsReportedWithItsName) {
    test::TempFolder folder;
    const auto blocker = folder.write("not-a-folder", "x");
    FileRegistryStore store(blocker / "registry");

    std::string error;
    EXPECT_EQ(store.createKey(Hive::CurrentUser, kSettings, error), 0u);
    EXPECT_NE(error.find((blocker / "registry").string()), std::string::npos) << error;

    const auto message = CreateRegistryKey(store, Hive::CurrentUser, kSettings);
    EXPECT_NE(message.find("registry"), std::string::npos) << message;
    EXPECT_EQ(ReadRegistryValue(store, Hive::CurrentUser, kSettings, "Language"), RegistryValue{});
}

TEST(FileRegistryStore, UnreadableHiveIsNeitherReadNorOverwritten) {
    test::TempFolder folder;
    std::filesystem::create_directory(folder.path() / kUserFile);
    folder.write("HKEY_CURRENT_USER.reg/inside", "precious");
    FileRegistryStore store(folder.path());

    std::string error;
    EXPECT_EQ(store.createKey(Hive::CurrentUser, kSettings, error), 0u);
    EXPECT_NE(error.find(kUserFile), std::string::npos) << error;
    EXPECT_EQ(folder.read("HKEY_CURRENT_USER.reg/inside"), "precious");
    EXPECT_EQ(ReadRegistryValue(store, Hive::CurrentUser, kSettings, "Language"), RegistryValue{});
}

// An empty variable counts as unset.
TEST(FileRegistryStore, DefaultFolderFollowsTheEnvironment) {
    test::ScopedEnvironment home("HOME", "/home/someone");
    const struct {
        std::optional<std::string> own, xdg;
        const char* folder;
    } cases[] = {
        {"/tmp/own", "/tmp/xdg", "/tmp/own"},
        {"", "/tmp/xdg", "/tmp/xdg/twDspUsrSpc/registry"},
        {std::nullopt, std::nullopt, "/home/someone/.config/twDspUsrSpc/registry"},
    };
    for (const auto& c : cases) {
        test::ScopedEnvironment own("TWDSPUSRSPC_REGISTRY", c.own);
        test::ScopedEnvironment xdg("XDG_CONFIG_HOME", c.xdg);
        EXPECT_EQ(FileRegistryStore::DefaultFolder(), std::filesystem::path(c.folder));
    }
}

#ifndef _WIN32
// Where there is no Windows registry, the system registry is a file store.
TEST(FileRegistryStore, SystemRegistryUsesTheConfiguredFolder) {
    test::TempFolder folder;
    test::ScopedEnvironment own("TWDSPUSRSPC_REGISTRY", (folder.path() / "reg").string());
    const auto store = CreateSystemRegistry();
    EXPECT_EQ(store->location(), (folder.path() / "reg").string());
    ASSERT_EQ(CreateRegistryKey(*store, Hive::CurrentUser, kSettings), "");
    EXPECT_TRUE(std::filesystem::is_regular_file(folder.path() / "reg" / kUserFile));
}
#endif

}  // namespace
}  // namespace twds

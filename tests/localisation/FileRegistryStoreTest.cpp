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

std::string Text(const RegistryValue& value) {
    return std::holds_alternative<std::string>(value) ? std::get<std::string>(value)
                                                      : "<not a string>";
}

bool IsEmpty(const RegistryValue& value) {
    return std::holds_alternative<std::monostate>(value);
}

std::string Raw(FileRegistryStore& store, Hive hive, std::string_view keyName,
                std::string_view name, std::uint32_t* type = nullptr) {
    const auto key = store.openKey(hive, keyName);
    std::uint32_t valueType = 0;
    std::string data;
    if (key == 0 || store.queryValue(key, name, valueType, data) != 0) {
        data = "<missing>";
    }
    if (key != 0) {
        store.closeKey(key);
    }
    if (type != nullptr) {
        *type = valueType;
    }
    return data;
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

    const auto text = folder.read("registry/"s + kUserFile);
    EXPECT_EQ(text.rfind("REGEDIT4\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Vellmar\\Vellmar Lumen\\Manager\\"
                        "Settings]\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\r\n\"Language\"=hex(2):45,4e,00\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n\"Name\"=\"Tide\"\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n\"Count\"=dword:0000000c\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n\"Blob\"=hex:01,ff\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n@=hex(7):61,00\r\n"), std::string::npos) << text;
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
        std::uint32_t type = 99;
        EXPECT_EQ(Raw(reopened, Hive::LocalMachine, "SOFTWARE\\RoundTrip", "v" + std::to_string(i),
                      &type),
                  values[i].second)
            << "value " << i;
        EXPECT_EQ(type, values[i].first) << "value " << i;
    }
    EXPECT_EQ(Raw(reopened, Hive::LocalMachine, "SOFTWARE\\RoundTrip", "say \"hi\" \\ there"),
              "x\0"s);
    EXPECT_EQ(Text(ReadRegistryValue(reopened, Hive::LocalMachine, "SOFTWARE\\RoundTrip", "v0")),
              "C:\\data\\\"quoted\" \\");
}

TEST(FileRegistryStore, NamesCompareCaseInsensitively) {
    test::TempFolder folder;
    FileRegistryStore store(folder.path());
    Put(store, Hive::CurrentUser, "Software\\Tool", "Language", kRegSz, "EN\0"s);
    EXPECT_EQ(Text(ReadRegistryValue(store, Hive::CurrentUser, "SOFTWARE\\TOOL", "language")),
              "EN");

    // Setting it again under other case replaces the one value, which keeps
    // the name it was created with.
    Put(store, Hive::CurrentUser, "software\\tool", "LANGUAGE", kRegSz, "FR\0"s);
    EXPECT_EQ(Text(ReadRegistryValue(store, Hive::CurrentUser, "Software\\Tool", "Language")),
              "FR");
    const auto text = folder.read(kUserFile);
    EXPECT_NE(text.find("\r\n\"Language\"=\"FR\"\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("\"EN\""), std::string::npos) << text;
    EXPECT_EQ(text.find("[HKEY_CURRENT_USER\\software"), std::string::npos)
        << "an existing key is not added again: " << text;
}

TEST(FileRegistryStore, KeysExistThroughTheirSubKeysAndTheHiveItself) {
    test::TempFolder folder;
    FileRegistryStore store(folder.path());
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

TEST(FileRegistryStore, RefusesKeyNamesWindowsRefuses) {
    test::TempFolder folder;
    FileRegistryStore store(folder.path());
    for (const auto& name : {"\\SOFTWARE"s, "SOFTWARE\\\\A"s, "A\nB"s, "A\0B"s}) {
        std::string error;
        EXPECT_EQ(store.createKey(Hive::CurrentUser, name, error), 0u);
        EXPECT_NE(error.find("not valid"), std::string::npos) << error;
    }
    EXPECT_FALSE(std::filesystem::exists(folder.path() / kUserFile));
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
    EXPECT_EQ(Text(read("Good")), "yes");
    EXPECT_EQ(Text(read("Wrapped")), "EN");
    EXPECT_EQ(Text(read("Unix")), "lf only");
    EXPECT_EQ(Text(read("AfterBackslash")), "read");
    EXPECT_EQ(read("Last"), RegistryValue(std::int32_t{-1}));
    EXPECT_EQ(Raw(store, Hive::CurrentUser, "SOFTWARE\\T", "Binary"), "");
    for (const char* name : {"Orphan", "Unterminated", "BadEscape", "BadHex", "BigByte", "BadDword",
                             "NoEquals", "OtherHive", "AfterBrokenKey"}) {
        EXPECT_TRUE(IsEmpty(read(name))) << name;
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

    const auto text = folder.read("HKEY_LOCAL_MACHINE.reg");
    EXPECT_NE(text.find("this line is not understood\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"Wrapped\"=hex(7):61,00,\\\r\n  62,00,00\r\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("\"Added\"=\"new\"\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]"),
              std::string::npos)
        << "a new value ends its key's section: " << text;
    EXPECT_EQ(Text(ReadRegistryValue(store, Hive::LocalMachine,
                                     "SOFTWARE\\Orinex\\Tidewell\\TW_CFG", "DataPath")),
              "C:\\TW\\DATA");
    EXPECT_EQ(ReadRegistryValue(store, Hive::LocalMachine, "SOFTWARE\\Other", "Keep"),
              RegistryValue(std::int32_t{2}));
    EXPECT_EQ(Raw(store, Hive::LocalMachine, "SOFTWARE\\Orinex\\Tidewell\\TW_CFG", "Wrapped"),
              "a\0b\0\0"s);

    // Nothing but the hive file is left behind in the folder.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        EXPECT_EQ(entry.path().filename(), "HKEY_LOCAL_MACHINE.reg");
        ++files;
    }
    EXPECT_EQ(files, 1);
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

        ASSERT_EQ(CreateRegistryKey(store, Hive::CurrentUser, kSettings), "");
        ASSERT_EQ(WriteRegistryValue(store, Hive::CurrentUser, kSettings, "Language", "EN"s,
                                     kRegExpandSz),
                  "");
        EXPECT_EQ(Text(ReadRegistryValue(store, Hive::CurrentUser, kSettings, "Language")), "EN")
            << folder.read(kUserFile);
        ASSERT_EQ(
            WriteRegistryValue(store, Hive::CurrentUser, "SOFTWARE\\Odd", "Next", "x"s, kRegSz),
            "");
        EXPECT_EQ(Text(ReadRegistryValue(store, Hive::CurrentUser, "SOFTWARE\\Odd", "Next")), "x")
            << folder.read(kUserFile);
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
    EXPECT_TRUE(IsEmpty(ReadRegistryValue(store, Hive::CurrentUser, kSettings, "Language")));
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
    EXPECT_TRUE(IsEmpty(ReadRegistryValue(store, Hive::CurrentUser, kSettings, "Language")));
}

TEST(FileRegistryStore, DefaultFolderFollowsTheEnvironment) {
    test::ScopedEnvironment home("HOME", "/home/someone");
    {
        test::ScopedEnvironment own("TWDSPUSRSPC_REGISTRY", "/tmp/own");
        test::ScopedEnvironment xdg("XDG_CONFIG_HOME", "/tmp/xdg");
        EXPECT_EQ(FileRegistryStore::DefaultFolder(), std::filesystem::path("/tmp/own"));
    }
    {
        test::ScopedEnvironment own("TWDSPUSRSPC_REGISTRY", "");
        test::ScopedEnvironment xdg("XDG_CONFIG_HOME", "/tmp/xdg");
        EXPECT_EQ(FileRegistryStore::DefaultFolder(),
                  std::filesystem::path("/tmp/xdg/twDspUsrSpc/registry"));
    }
    {
        test::ScopedEnvironment own("TWDSPUSRSPC_REGISTRY", std::nullopt);
        test::ScopedEnvironment xdg("XDG_CONFIG_HOME", std::nullopt);
        EXPECT_EQ(FileRegistryStore::DefaultFolder(),
                  std::filesystem::path("/home/someone/.config/twDspUsrSpc/registry"));
    }
}

TEST(FileRegistryStore, SystemRegistryUsesTheConfiguredFolder) {
    test::TempFolder folder;
    test::ScopedEnvironment own("TWDSPUSRSPC_REGISTRY", (folder.path() / "reg").string());
    const auto store = CreateSystemRegistry();
    EXPECT_EQ(store->location(), (folder.path() / "reg").string());
    ASSERT_EQ(CreateRegistryKey(*store, Hive::CurrentUser, kSettings), "");
    EXPECT_TRUE(std::filesystem::is_regular_file(folder.path() / "reg" / kUserFile));
}

}  // namespace
}  // namespace twds

#include <chrono>
#include <fstream>
#include <future>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "ResultAssertions.h"
#include "TempFolder.h"
#include "twds/FileRegistryStore.h"
#include "twds/Registry.h"

namespace twds {
namespace {

using namespace std::string_literals;
namespace fs = std::filesystem;
using Raw = std::pair<std::uint32_t, std::string>;

constexpr std::string_view kSettings = "SOFTWARE\\Vellmar\\Vellmar Lumen\\Manager\\Settings";
constexpr const char* kUserFile = "HKEY_CURRENT_USER.reg";
constexpr std::string_view kByteOrderMark = "\xff\xfe";

// The type and raw bytes the store holds for a value; nothing when it has none.
std::optional<Raw> ReadRaw(FileRegistryStore& store, std::string_view keyName,
                           std::string_view name) {
    const auto key = store.openKey(Hive::CurrentUser, keyName);
    Raw value;
    const bool found = store.queryValue(key, name, value.first, value.second) == 0;
    store.closeKey(key);
    return found ? std::optional(value) : std::nullopt;
}

void Put(FileRegistryStore& store, std::string_view keyName, std::string_view name,
         std::uint32_t type, std::string_view data) {
    const auto key = store.createKey(Hive::CurrentUser, keyName);
    ASSERT_TRUE(test::Succeeded(key));
    ASSERT_TRUE(test::Succeeded(store.setValue(*key, name, type, data)));
    store.closeKey(*key);
}

// ASCII text in UTF-16 LE, as Version 5.00 files hold it.
std::string Utf16(std::string_view ascii) {
    std::string bytes;
    for (const char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

// Each type as the registry editor writes it, through the helpers the viewer
// uses. Names compare case-insensitively: setting a value again under other
// case replaces it in place, keeping the name it was created with.
TEST(FileRegistryStore, WritesRegedit4LinesForEachType) {
    test::TempFolder folder;
    FileRegistryStore store(folder.path() / "registry");
    ASSERT_TRUE(test::Succeeded(EnsureRegistryKey(store, Hive::CurrentUser, kSettings)));
    const auto set = [&](std::string_view key, const char* name, const RegistryValue& value,
                         std::uint32_t type) {
        EXPECT_TRUE(
            test::Succeeded(StoreRegistryValue(store, Hive::CurrentUser, key, name, value, type)));
    };
    set(kSettings, "Language", "EN"s, kRegExpandSz);
    set(kSettings, "Name", "Tide"s, kRegSz);
    set(kSettings, "Number", std::int32_t{-7}, kRegSz);
    set(kSettings, "Count", std::int32_t{-2}, kRegDword);
    set(kSettings, "Parsed", "300"s, kRegDword);
    set(kSettings, "Binary", "x"s, 3);  // not a type the helpers write
    Put(store, kSettings, "Blob", 3, "\x01\xff"s);
    Put(store, kSettings, "", 7, "a\0"s);
    set("software\\VELLMAR\\vellmar lumen\\manager\\settings", "NAME", "Wave"s, kRegSz);

    EXPECT_EQ(folder.read("registry/"s + kUserFile),
              "REGEDIT4\r\n"
              "\r\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\Vellmar\\Vellmar Lumen\\Manager\\Settings]\r\n"
              "\"Language\"=hex(2):45,4e,00\r\n"
              "\"Name\"=\"Wave\"\r\n"
              "\"Number\"=\"-7\"\r\n"
              "\"Count\"=dword:fffffffe\r\n"
              "\"Parsed\"=dword:0000012c\r\n"
              "\"Blob\"=hex:01,ff\r\n"
              "@=hex(7):61,00\r\n");
}

// Every value reads back as its type and bytes; the helpers decode strings
// less their last byte, DWORDs little-endian signed, other types as nothing.
TEST(FileRegistryStore, EveryValueReadsBackAndDecodes) {
    test::TempFolder folder;
    constexpr std::int32_t kMoreData = 234;
    const struct {
        std::uint32_t type;
        std::string data;
        RegistryValue value;
        std::int32_t status;
    } cases[] = {
        {kRegSz, "C:\\data\\\"quoted\" \\\0"s, "C:\\data\\\"quoted\" \\"s, 0},
        {kRegSz, "no terminating NUL"s, "no terminating NU"s, 0},
        {kRegSz, "inner\0nul\0"s, "inner\0nul"s, 0},
        {kRegSz, "\xe9t\xe9 \xb0\0"s, "\xe9t\xe9 \xb0"s, 0},  // Windows-1252 bytes
        {kRegSz, ""s, {}, 0},
        {kRegExpandSz, "%TEMP%\\x\0"s, "%TEMP%\\x"s, 0},
        {kRegDword, "\x0c\0\0\0"s, std::int32_t{12}, 0},
        {kRegDword, "\xfe\xff\xff\xff"s, std::int32_t{-2}, 0},
        {kRegDword, "\x80\x01\0\0"s, std::int32_t{0x180}, 0},
        {kRegDword, "\x01\x82"s, std::int32_t{0x8201}, 0},
        {kRegDword, "\x01\0\0\0\0"s, {}, kMoreData},
        {3, "\x01\x02"s, {}, -1},
        {0x2a, "\x10\x20\x30"s, {}, -1},
    };
    const std::string awkward = "say \"hi\" \\ there";
    {
        FileRegistryStore store(folder.path());
        for (std::size_t i = 0; i < std::size(cases); ++i) {
            Put(store, "SOFTWARE\\T", "v" + std::to_string(i), cases[i].type, cases[i].data);
        }
        Put(store, "SOFTWARE\\T", awkward, kRegSz, "x\0"s);
    }
    FileRegistryStore reopened(folder.path());
    const auto key = reopened.openKey(Hive::CurrentUser, "SOFTWARE\\T");
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const std::string name = "v" + std::to_string(i);
        EXPECT_EQ(ReadRaw(reopened, "SOFTWARE\\T", name), Raw(cases[i].type, cases[i].data));
        RegistryValue value = "stale"s;
        EXPECT_EQ(FetchOpenKeyValue(reopened, key, name, value), cases[i].status);
        EXPECT_EQ(value, cases[i].value);
    }
    reopened.closeKey(key);
    EXPECT_EQ(ReadRaw(reopened, "SOFTWARE\\T", awkward), Raw(kRegSz, "x\0"s));
}

// Failures name the key or value and what is wrong with it.
TEST(FileRegistryStore, WriteFailuresSayWhatFailed) {
    test::TempFolder folder;
    FileRegistryStore store(folder.path());
    EXPECT_EQ(test::FailureText(StoreRegistryValue(store, Hive::CurrentUser, "SOFTWARE\\Missing",
                                                   "V", "x"s, kRegSz)),
              "Cannot open the registry key HKEY_CURRENT_USER\\SOFTWARE\\Missing");
    ASSERT_TRUE(test::Succeeded(EnsureRegistryKey(store, Hive::CurrentUser, "SOFTWARE\\T")));
    EXPECT_EQ(test::FailureText(StoreRegistryValue(store, Hive::CurrentUser, "SOFTWARE\\T", "Count",
                                                   "twelve"s, kRegDword)),
              "Cannot write the registry value Count of HKEY_CURRENT_USER\\SOFTWARE\\T: "
              "\"twelve\" is not a 32-bit integer");
    EXPECT_EQ(ReadRaw(store, "SOFTWARE\\T", "Count"), std::nullopt);

    const auto blocker = folder.write("not-a-folder", "x");
    FileRegistryStore below(blocker / "registry");
    EXPECT_EQ(test::FailureText(EnsureRegistryKey(below, Hive::CurrentUser, kSettings))
                  .find("Cannot create the registry folder " + (blocker / "registry").string()),
              0u);
}

// Unparsable lines read as missing and are kept, like every line a write does
// not change, byte for byte; new lines take the header's line end, and a blank
// line ends a dangling "\" so that it swallows nothing written after it.
TEST(FileRegistryStore, MalformedLinesReadAsMissingAndAreKeptOnRewrite) {
    test::TempFolder folder;
    const std::string head =
        "REGEDIT4\n"
        "\"Orphan\"=\"before any key\"\r\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\T]\r\n"
        "\"Good\"=\"yes\"\r\n"
        "garbage line without quotes\r\n"
        "\"Unterminated\"=\"no end\r\n"
        "\"BadEscape\"=\"a\\nb\"\r\n"
        "\"BadHex\"=hex(2):4g,00\r\n"
        "\"BigByte\"=hex:100\r\n"
        "\"BadDword\"=dword:123456789\r\n"
        "\"Wrapped\"=hex(2):45,\\\n"
        "  4e,00\r\n"
        "\"Backslash\"=\"not continued\\\r\n"
        "\"AfterBackslash\"=\"read\"\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\T]\r\n"
        "\"OtherHive\"=\"ignored here\"\r\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\T\r\n"
        "\"AfterBrokenKey\"=\"ignored\"\r\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\Other]\r\n";
    folder.write(kUserFile, head +
                                "\"Language\"=\"FR\"\n"
                                "\"Binary\"=hex:\r\n"
                                "\"Last\"=dword:ffffffff\r\n"
                                "\"Bin\"=hex:01,02,\\");
    FileRegistryStore store(folder.path());
    const auto read = [&](std::string_view key, std::string_view name) {
        return FetchRegistryValue(store, Hive::CurrentUser, key, name);
    };
    EXPECT_EQ(read("SOFTWARE\\T", "Good"), RegistryValue("yes"s));
    EXPECT_EQ(read("SOFTWARE\\T", "Wrapped"), RegistryValue("EN"s));
    EXPECT_EQ(read("SOFTWARE\\T", "AfterBackslash"), RegistryValue("read"s));
    EXPECT_EQ(read("SOFTWARE\\Other", "Last"), RegistryValue(std::int32_t{-1}));
    EXPECT_EQ(ReadRaw(store, "SOFTWARE\\Other", "Bin"), Raw(3u, "\x01\x02"s));
    EXPECT_EQ(ReadRaw(store, "SOFTWARE\\Other", "Binary"), Raw(3u, ""s));
    for (const char* name : {"Orphan", "Unterminated", "BadEscape", "BadHex", "BigByte", "BadDword",
                             "OtherHive", "AfterBrokenKey"}) {
        EXPECT_EQ(read("SOFTWARE\\T", name), RegistryValue{}) << name;
    }

    for (const char* name : {"Language", "Added"}) {
        ASSERT_TRUE(test::Succeeded(
            StoreRegistryValue(store, Hive::CurrentUser, "SOFTWARE\\Other", name, "EN"s, kRegSz)));
    }
    ASSERT_TRUE(test::Succeeded(EnsureRegistryKey(store, Hive::CurrentUser, "SOFTWARE\\New")));
    ASSERT_TRUE(test::Succeeded(
        StoreRegistryValue(store, Hive::CurrentUser, "SOFTWARE\\New", "Next", "x"s, kRegSz)));
    EXPECT_EQ(folder.read(kUserFile), head +
                                          "\"Language\"=\"EN\"\n"
                                          "\"Binary\"=hex:\r\n"
                                          "\"Last\"=dword:ffffffff\r\n"
                                          "\"Bin\"=hex:01,02,\\\n\n"
                                          "\"Added\"=\"EN\"\n\n"
                                          "[HKEY_CURRENT_USER\\SOFTWARE\\New]\n"
                                          "\"Next\"=\"x\"\n");
    EXPECT_EQ(read("SOFTWARE\\Other", "Added"), RegistryValue("EN"s));
    EXPECT_EQ(read("SOFTWARE\\New", "Next"), RegistryValue("x"s));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator{}), 1)
        << "a temporary file was left behind";
}

// A Version 5.00 file is read as the ANSI registry functions read the
// registry: strings become Windows-1252. It is written back in UTF-16.
TEST(FileRegistryStore, Utf16FileIsReadAndWrittenBackInUtf16) {
    test::TempFolder folder;
    const std::string head =
        std::string(kByteOrderMark) + Utf16(
                                          "Windows Registry Editor Version 5.00\r\n\r\n"
                                          "[HKEY_CURRENT_USER\\SOFTWARE\\T]\r\n");
    const std::string accents = Utf16("\"Accents\"=\"") + "\xe9\x00\xac\x20"s + Utf16("\"\r\n");
    const std::string path = Utf16("\"Path\"=hex(2):25,00,e9,00,00,00\r\n");
    folder.write(kUserFile, head + Utf16("\"Language\"=\"FR\"\r\n") + accents + path);
    FileRegistryStore store(folder.path());
    EXPECT_EQ(ReadRaw(store, "SOFTWARE\\T", "Language"), Raw(kRegSz, "FR\0"s));
    EXPECT_EQ(ReadRaw(store, "SOFTWARE\\T", "Accents"), Raw(kRegSz, "\xe9\x80\0"s));  // é and €
    EXPECT_EQ(ReadRaw(store, "SOFTWARE\\T", "Path"), Raw(2u, "%\xe9\0"s));

    ASSERT_TRUE(test::Succeeded(StoreRegistryValue(store, Hive::CurrentUser, "SOFTWARE\\T",
                                                   "Language", "EN"s, kRegExpandSz)));
    ASSERT_TRUE(test::Succeeded(
        StoreRegistryValue(store, Hive::CurrentUser, "SOFTWARE\\T", "Sign", "\x80"s, kRegSz)));
    EXPECT_EQ(folder.read(kUserFile), head + Utf16("\"Language\"=hex(2):45,00,4e,00,00,00\r\n") +
                                          accents + path + Utf16("\"Sign\"=\"") + "\xac\x20" +
                                          Utf16("\"\r\n"));
}

// A file that is not a hive file in either form is neither read nor
// changed, and every way of reaching it says which file and what to do.
TEST(FileRegistryStore, UnparsableFileIsReportedAndLeftByteIdentical) {
    const std::string keys = "[HKEY_CURRENT_USER\\SOFTWARE\\T]\r\n\"Language\"=\"FR\"\r\n";
    const std::string version5 = "Windows Registry Editor Version 5.00\r\n\r\n" + keys;
    const std::string bom(kByteOrderMark);
    for (const std::string& bytes : {
             keys,                                    // no header
             version5,                                // Version 5.00 in ANSI
             Utf16(version5),                         // UTF-16 without a byte-order mark
             bom + Utf16("REGEDIT4\r\n\r\n" + keys),  // REGEDIT4 in UTF-16
             bom,                                     // a byte-order mark alone
             bom + Utf16(version5) + "\n",            // odd length
             bom + Utf16(version5) + "\x00\xd8"s,     // unpaired surrogate
         }) {
        SCOPED_TRACE(testing::PrintToString(bytes));
        test::TempFolder folder;
        const auto file = folder.write(kUserFile, bytes);
        FileRegistryStore store(folder.path());

        EXPECT_EQ(FetchRegistryValue(store, Hive::CurrentUser, "SOFTWARE\\T", "Language"),
                  RegistryValue{});
        const std::string why = test::FailureText(store.hiveReadable(Hive::CurrentUser));
        EXPECT_EQ(why.find("Cannot read the registry file " + file.string() + ": "), 0u) << why;
        EXPECT_TRUE(why.ends_with("; correct it, or remove it to start afresh")) << why;
        EXPECT_EQ(test::FailureText(EnsureRegistryKey(store, Hive::CurrentUser, "SOFTWARE\\New")),
                  why + ". The file was left as it is.");
        EXPECT_EQ(folder.read(kUserFile), bytes);
    }
}

TEST(FileRegistryStore, FileChangedSinceTheLastReadIsReadAgain) {
    test::TempFolder folder;
    const auto write = [&](std::string_view language) {
        folder.write(kUserFile, "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software]\r\n\"Language\"=\"" +
                                    std::string(language) + "\"\r\n");
    };
    write("FR");
    // An hour old: settled, so the store may keep what it parsed.
    fs::last_write_time(folder.path() / kUserFile,
                        fs::file_time_type::clock::now() - std::chrono::hours(1));
    FileRegistryStore store(folder.path());
    EXPECT_EQ(ReadRaw(store, "Software", "Language"), Raw(kRegSz, "FR\0"s));
    write("EN");  // same size
    EXPECT_EQ(ReadRaw(store, "Software", "Language"), Raw(kRegSz, "EN\0"s));
}

#ifndef _WIN32
// A hive file that is a folder or a FIFO is named and left alone. Should the
// store ever block on the FIFO, the test opens it for writing, and fails.
TEST(FileRegistryStore, HiveThatIsNoRegularFileIsNamedAndLeftAlone) {
    test::TempFolder folder;
    folder.write("HKEY_CURRENT_USER.reg/inside", "precious");
    const auto fifo = folder.path() / "HKEY_LOCAL_MACHINE.reg";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    FileRegistryStore store(folder.path());

    for (const auto& [hive, kind] :
         {std::pair{Hive::CurrentUser, "a folder"}, {Hive::LocalMachine, "a FIFO"}}) {
        auto outcome = std::async(std::launch::async, [&, hive = hive] {
            return std::pair(FetchRegistryValue(store, hive, "SOFTWARE\\T", "DataPath"),
                             test::FailureText(EnsureRegistryKey(store, hive, "SOFTWARE\\T")));
        });
        if (outcome.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            std::ofstream release(fifo);
            FAIL() << "the store blocked on a FIFO";
        }
        const auto [value, created] = outcome.get();
        EXPECT_EQ(value, RegistryValue{});
        const std::string why = test::FailureText(store.hiveReadable(hive));
        EXPECT_EQ(why, "Cannot read the registry file " + store.hiveFile(hive).string() +
                           ": it is " + kind +
                           ", not a regular file; remove it, or put a registry file in its place");
        EXPECT_EQ(created, why + ". The file was left as it is.");
    }
    EXPECT_EQ(folder.read("HKEY_CURRENT_USER.reg/inside"), "precious");
    EXPECT_TRUE(fs::is_fifo(fifo));
}

// Unreadable is not missing: the read error says so, where a missing value
// alone would send the user looking for a value that is there.
TEST(FileRegistryStore, HiveWithoutReadPermissionIsReportedNotMissing) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind root";
    }
    test::TempFolder folder;
    const auto file = folder.write("HKEY_LOCAL_MACHINE.reg", "REGEDIT4\r\n");
    fs::permissions(file, fs::perms::none);
    FileRegistryStore store(folder.path());
    EXPECT_EQ(test::FailureText(store.hiveReadable(Hive::LocalMachine)),
              "Cannot read the registry file " + file.string() +
                  ": Permission denied; give this user read access to it");
    EXPECT_TRUE(test::Succeeded(store.hiveReadable(Hive::CurrentUser))) << "missing is no error";
}
#endif

// An empty variable counts as unset.
TEST(FileRegistryStore, DefaultFolderFollowsTheEnvironment) {
    const struct {
        std::optional<std::string> own, xdg, home;
        const char* folder;
    } cases[] = {
        {"/tmp/own", "/tmp/xdg", "/home/someone", "/tmp/own"},
        {"", "/tmp/xdg", "/home/someone", "/tmp/xdg/twDspUsrSpc/registry"},
        {std::nullopt, std::nullopt, "/home/someone", "/home/someone/.config/twDspUsrSpc/registry"},
        {std::nullopt, "", "", "./.config/twDspUsrSpc/registry"},
    };
    for (const auto& c : cases) {
        const auto environment = [&c](const char* name) -> std::optional<std::string> {
            const std::string_view variable = name;
            return variable == "TWDSPUSRSPC_REGISTRY" ? c.own
                   : variable == "XDG_CONFIG_HOME"    ? c.xdg
                   : variable == "HOME"               ? c.home
                                                      : std::nullopt;
        };
        EXPECT_EQ(FileRegistryStore::defaultFolder(environment), fs::path(c.folder));
    }
}

}  // namespace
}  // namespace twds

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <future>
#include <optional>
#include <string>
#include <variant>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "ResultAssertions.h"
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

// ASCII text in UTF-16 LE, as the registry editor's Version 5.00 files hold
// it; other characters are spliced in as literal byte pairs.
std::string Utf16(std::string_view ascii) {
    std::string bytes;
    for (const char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

constexpr std::string_view kByteOrderMark = "\xff\xfe";

void Put(FileRegistryStore& store, Hive hive, std::string_view keyName, std::string_view name,
         std::uint32_t type, std::string_view data) {
    const auto key = store.createKey(hive, keyName);
    ASSERT_TRUE(test::Succeeded(key));
    ASSERT_TRUE(test::Succeeded(store.setValue(*key, name, type, data)));
    store.closeKey(*key);
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
    EXPECT_EQ(FetchRegistryValue(reopened, Hive::LocalMachine, "SOFTWARE\\RoundTrip", "v0"),
              RegistryValue("C:\\data\\\"quoted\" \\"s));
}

TEST(FileRegistryStore, NamesCompareCaseInsensitively) {
    test::TempFolder folder;
    FileRegistryStore store(folder.path());
    Put(store, Hive::CurrentUser, "Software\\Tool", "Language", kRegSz, "EN\0"s);
    EXPECT_EQ(FetchRegistryValue(store, Hive::CurrentUser, "SOFTWARE\\TOOL", "language"),
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
        const std::string error = test::FailureText(store.createKey(Hive::CurrentUser, name));
        EXPECT_NE(error.find("not valid"), std::string::npos) << error;
    }
    EXPECT_FALSE(std::filesystem::exists(folder.path() / kUserFile));

    const auto created = store.createKey(Hive::CurrentUser, "SOFTWARE\\A\\B\\");
    ASSERT_TRUE(test::Succeeded(created));
    store.closeKey(*created);
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
        return FetchRegistryValue(store, Hive::CurrentUser, "SOFTWARE\\T", name);
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
    ASSERT_TRUE(test::Succeeded(StoreRegistryValue(
        store, Hive::LocalMachine, "SOFTWARE\\Orinex\\Tidewell\\TW_CFG", "Added", "new"s, kRegSz)));
    ASSERT_TRUE(test::Succeeded(StoreRegistryValue(store, Hive::LocalMachine, "SOFTWARE\\Other",
                                                   "Keep", std::int32_t{2}, kRegDword)));

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
            ASSERT_TRUE(test::Succeeded(
                StoreRegistryValue(store, Hive::CurrentUser, key, name, text, type)));
            EXPECT_EQ(FetchRegistryValue(store, Hive::CurrentUser, key, name), RegistryValue(text))
                << folder.read(kUserFile);
        };
        ASSERT_TRUE(test::Succeeded(EnsureRegistryKey(store, Hive::CurrentUser, kSettings)));
        writeAndRead(kSettings, "Language", "EN", kRegExpandSz);
        writeAndRead("SOFTWARE\\Odd", "Next", "x", kRegSz);
    }
}

// A Version 5.00 file is read as the ANSI registry functions read the
// registry: strings become Windows-1252, and one that Windows-1252 cannot
// hold is unreadable rather than guessed. It is written back in UTF-16, every
// other line byte for byte.
TEST(FileRegistryStore, Utf16FileIsReadAndWrittenBackInUtf16) {
    test::TempFolder folder;
    const std::string head =
        std::string(kByteOrderMark) +
        Utf16(
            "Windows Registry Editor Version 5.00\r\n\r\n"
            "[HKEY_CURRENT_USER\\SOFTWARE\\Vellmar\\Vellmar Lumen\\Manager\\Settings]\r\n");
    const std::string accents = Utf16("\"Accents\"=\"") + "\xe9\x00\xac\x20"s + Utf16("\"\r\n");
    const std::string greek = Utf16("\"Greek\"=\"") + "\xa9\x03" + Utf16("\"\r\n");
    const std::string path = Utf16("\"Path\"=hex(2):25,00,e9,00,00,00\r\n");
    folder.write(kUserFile, head + Utf16("\"Language\"=\"FR\"\r\n") + accents + greek + path);
    FileRegistryStore store(folder.path());

    const auto read = [&](std::string_view name) {
        return FetchRegistryValue(store, Hive::CurrentUser, kSettings, name);
    };
    EXPECT_EQ(read("Language"), RegistryValue("FR"s));
    EXPECT_EQ(read("Accents"), RegistryValue("\xe9\x80"s));  // é and € in Windows-1252
    EXPECT_EQ(read("Greek"), RegistryValue{});
    EXPECT_EQ(Raw(store, Hive::CurrentUser, kSettings, "Path"), std::pair(2u, "%\xe9\0"s));
    EXPECT_TRUE(test::Succeeded(store.hiveReadable(Hive::CurrentUser)));

    ASSERT_TRUE(test::Succeeded(
        StoreRegistryValue(store, Hive::CurrentUser, kSettings, "Language", "EN"s, kRegExpandSz)));
    ASSERT_TRUE(test::Succeeded(
        StoreRegistryValue(store, Hive::CurrentUser, kSettings, "Sign", "\x80"s, kRegSz)));
    ASSERT_TRUE(test::Succeeded(EnsureRegistryKey(store, Hive::CurrentUser, "SOFTWARE\\Caf\xe9")));
    EXPECT_EQ(folder.read(kUserFile), head + Utf16("\"Language\"=hex(2):45,00,4e,00,00,00\r\n") +
                                          accents + greek + path + Utf16("\"Sign\"=\"") +
                                          "\xac\x20" + Utf16("\"\r\n\r\n[HKEY_CURRENT_USER\\") +
                                          Utf16("SOFTWARE\\Caf") + "\xe9\x00"s + Utf16("]\r\n"));
    EXPECT_EQ(read("Language"), RegistryValue("EN"s));
    EXPECT_EQ(read("Sign"), RegistryValue("\x80"s));
}

// A file that is not a hive file in either form is neither read nor
// changed, and every way of reaching it says which file and what to do.
TEST(FileRegistryStore, UnparsableFileIsReportedAndLeftByteIdentical) {
    const std::string settings =
        "[HKEY_CURRENT_USER\\SOFTWARE\\Vellmar\\Vellmar Lumen\\Manager\\Settings]\r\n"
        "\"Language\"=\"FR\"\r\n";
    const std::string version5 = "Windows Registry Editor Version 5.00\r\n\r\n" + settings;
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"no header", settings},
        {"Version 5.00 in ANSI", version5},
        {"UTF-16 without a byte-order mark", Utf16(version5)},
        {"REGEDIT4 in UTF-16", std::string(kByteOrderMark) + Utf16("REGEDIT4\r\n\r\n" + settings)},
        {"a byte-order mark alone", std::string(kByteOrderMark)},
        {"UTF-16 of odd length", std::string(kByteOrderMark) + Utf16(version5) + "\n"},
        {"unpaired surrogate", std::string(kByteOrderMark) + Utf16(version5) + "\x00\xd8"s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempFolder folder;
        const auto file = folder.write(kUserFile, c.bytes);
        FileRegistryStore store(folder.path());

        EXPECT_EQ(FetchRegistryValue(store, Hive::CurrentUser, kSettings, "Language"),
                  RegistryValue{});
        const std::string why = test::FailureText(store.hiveReadable(Hive::CurrentUser));
        EXPECT_NE(why.find(file.string()), std::string::npos) << why;
        EXPECT_NE(why.find("correct it, or remove it"), std::string::npos) << why;

        const std::string created =
            test::FailureText(EnsureRegistryKey(store, Hive::CurrentUser, "SOFTWARE\\New"));
        EXPECT_NE(created.find(why), std::string::npos) << created;
        EXPECT_NE(created.find("left as it is"), std::string::npos) << created;
        EXPECT_EQ(test::FailureText(
                      StoreRegistryValue(store, Hive::CurrentUser, "", "Language", "EN"s, kRegSz)),
                  why);
        EXPECT_EQ(folder.read(kUserFile), c.bytes);
    }
}

// Lines keep their own line ends; lines the store adds take the header's.
TEST(FileRegistryStore, LineEndsAreKeptAsTheFileHasThem) {
    test::TempFolder folder;
    folder.write(kUserFile,
                 "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\T]\n"
                 "\"Language\"=\"FR\"\n"
                 "\"Bin\"=hex:01,\\\n  02,\\\r\n  03\n"
                 "\"Mixed\"=\"crlf\"\r\n"
                 "\"Last\"=\"no line end\"");
    FileRegistryStore store(folder.path());
    ASSERT_TRUE(test::Succeeded(
        StoreRegistryValue(store, Hive::CurrentUser, "SOFTWARE\\T", "Language", "EN"s, kRegSz)));
    ASSERT_TRUE(test::Succeeded(
        StoreRegistryValue(store, Hive::CurrentUser, "SOFTWARE\\T", "Added", "x"s, kRegSz)));
    EXPECT_EQ(folder.read(kUserFile),
              "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\T]\n"
              "\"Language\"=\"EN\"\n"
              "\"Bin\"=hex:01,\\\n  02,\\\r\n  03\n"
              "\"Mixed\"=\"crlf\"\r\n"
              "\"Last\"=\"no line end\"\n"
              "\"Added\"=\"x\"\n");
    EXPECT_EQ(Raw(store, Hive::CurrentUser, "SOFTWARE\\T", "Bin"), std::pair(3u, "\x01\x02\x03"s));
}

#ifndef _WIN32
// The link stays a link; its target is replaced, keeping its permissions.
TEST(FileRegistryStore, SymbolicLinkIsWrittenThroughToItsTarget) {
    test::TempFolder folder;
    const auto target =
        folder.write("shared/user.reg", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\T]\r\n");
    std::filesystem::permissions(
        target, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    std::filesystem::create_directory(folder.path() / "registry");
    const auto link = folder.path() / "registry" / kUserFile;
    std::filesystem::create_symlink("../shared/user.reg", link);

    FileRegistryStore store(folder.path() / "registry");
    ASSERT_TRUE(test::Succeeded(
        StoreRegistryValue(store, Hive::CurrentUser, "SOFTWARE\\T", "Language", "EN"s, kRegSz)));
    EXPECT_EQ(std::filesystem::read_symlink(link), "../shared/user.reg");
    EXPECT_EQ(folder.read("shared/user.reg"),
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\T]\r\n\"Language\"=\"EN\"\r\n");
    EXPECT_EQ(std::filesystem::status(target).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    for (const char* sub : {"registry", "shared"}) {
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path() / sub),
                                std::filesystem::directory_iterator{}),
                  1)
            << sub << " holds a left-over temporary file";
    }
}

// Opening a FIFO for reading would wait for a writer. Should the store ever
// block on it, the test opens the FIFO for writing to free it, and fails.
TEST(FileRegistryStore, FileChangedSinceTheLastReadIsReadAgain) {
    test::TempFolder folder;
    const auto file = folder.path() / kUserFile;
    const auto write = [&](std::string_view language) {
        std::ofstream(file, std::ios::binary | std::ios::trunc)
            << "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software]\r\n\"Language\"=\"" << language
            << "\"\r\n";
    };
    write("FR");
    // An hour old: settled, so the store may keep what it parsed.
    std::filesystem::last_write_time(
        file, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    FileRegistryStore store(folder.path());
    EXPECT_EQ(Raw(store, Hive::CurrentUser, "Software", "Language"), std::pair(kRegSz, "FR\0"s));
    write("EN");  // in place, same size
    EXPECT_EQ(Raw(store, Hive::CurrentUser, "Software", "Language"), std::pair(kRegSz, "EN\0"s));
}

TEST(FileRegistryStore, FifoIsRefusedWithoutBlocking) {
    test::TempFolder folder;
    const auto fifo = folder.path() / "HKEY_LOCAL_MACHINE.reg";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    FileRegistryStore store(folder.path());

    auto outcome = std::async(std::launch::async, [&] {
        return std::pair(
            FetchRegistryValue(store, Hive::LocalMachine, "SOFTWARE\\T", "DataPath"),
            test::FailureText(EnsureRegistryKey(store, Hive::LocalMachine, "SOFTWARE\\T")));
    });
    if (outcome.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        std::ofstream release(fifo);
        FAIL() << "the store blocked on a FIFO";
    }
    const auto [value, created] = outcome.get();
    EXPECT_EQ(value, RegistryValue{});
    const std::string why = test::FailureText(store.hiveReadable(Hive::LocalMachine));
    EXPECT_NE(why.find("it is a FIFO, not a regular file"), std::string::npos) << why;
    EXPECT_EQ(created, why + ". The file was left as it is.");
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    EXPECT_TRUE(test::Succeeded(store.hiveReadable(Hive::CurrentUser)))
        << "a missing hive is no error";
}

// Unreadable is not missing: the read error says so, where a missing value
// alone would send the user looking for a value that is there.
TEST(FileRegistryStore, HiveWithoutReadPermissionIsReportedNotMissing) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind root";
    }
    test::TempFolder folder;
    const std::string bytes =
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\T]\r\n\"DataPath\"=\"/srv/DATA\"\r\n";
    const auto file = folder.write("HKEY_LOCAL_MACHINE.reg", bytes);
    std::filesystem::permissions(file, std::filesystem::perms::none);
    FileRegistryStore store(folder.path());

    EXPECT_EQ(FetchRegistryValue(store, Hive::LocalMachine, "SOFTWARE\\T", "DataPath"),
              RegistryValue{});
    EXPECT_EQ(test::FailureText(store.hiveReadable(Hive::LocalMachine)),
              "Cannot read the registry file " + file.string() +
                  ": Permission denied; give this user read access to it");
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    EXPECT_EQ(folder.read("HKEY_LOCAL_MACHINE.reg"), bytes);
}
#endif

TEST(FileRegistryStore, UnwritableFolderIsReportedWithItsName) {
    test::TempFolder folder;
    const auto blocker = folder.write("not-a-folder", "x");
    FileRegistryStore store(blocker / "registry");

    const std::string error = test::FailureText(store.createKey(Hive::CurrentUser, kSettings));
    EXPECT_NE(error.find((blocker / "registry").string()), std::string::npos) << error;

    const auto message = test::FailureText(EnsureRegistryKey(store, Hive::CurrentUser, kSettings));
    EXPECT_NE(message.find("registry"), std::string::npos) << message;
    EXPECT_EQ(FetchRegistryValue(store, Hive::CurrentUser, kSettings, "Language"), RegistryValue{});
}

TEST(FileRegistryStore, UnreadableHiveIsNeitherReadNorOverwritten) {
    test::TempFolder folder;
    std::filesystem::create_directory(folder.path() / kUserFile);
    folder.write("HKEY_CURRENT_USER.reg/inside", "precious");
    FileRegistryStore store(folder.path());

    const std::string error = test::FailureText(store.createKey(Hive::CurrentUser, kSettings));
    EXPECT_NE(error.find(kUserFile), std::string::npos) << error;
    EXPECT_EQ(folder.read("HKEY_CURRENT_USER.reg/inside"), "precious");
    EXPECT_EQ(FetchRegistryValue(store, Hive::CurrentUser, kSettings, "Language"), RegistryValue{});
    EXPECT_NE(test::FailureText(store.hiveReadable(Hive::CurrentUser)).find("not a regular file"),
              std::string::npos);
}

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
        SCOPED_TRACE(c.folder);
        const auto environment = [&c](const char* name) -> std::optional<std::string> {
            const std::string_view variable = name;
            if (variable == "TWDSPUSRSPC_REGISTRY") {
                return c.own;
            }
            if (variable == "XDG_CONFIG_HOME") {
                return c.xdg;
            }
            return variable == "HOME" ? c.home : std::nullopt;
        };
        EXPECT_EQ(FileRegistryStore::defaultFolder(environment), std::filesystem::path(c.folder));
    }
}

#ifndef _WIN32
// Where there is no Windows registry, the system registry is a file store.
TEST(FileRegistryStore, SystemRegistryUsesTheConfiguredFolder) {
    test::TempFolder folder;
    test::ScopedEnvironment own("TWDSPUSRSPC_REGISTRY", (folder.path() / "reg").string());
    const auto store = CreateSystemRegistry();
    EXPECT_EQ(store->location(), (folder.path() / "reg").string());
    ASSERT_TRUE(test::Succeeded(EnsureRegistryKey(*store, Hive::CurrentUser, kSettings)));
    EXPECT_TRUE(std::filesystem::is_regular_file(folder.path() / "reg" / kUserFile));
}
#endif

}  // namespace
}  // namespace twds

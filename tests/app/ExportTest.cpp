#include "ResultAssertions.h"
#include "twds/Export.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <optional>
#include <sstream>
#include <system_error>

#include "FakeHostLink.h"
#include "TempFolder.h"
#include "TestSupport.h"
#include "twds/Catalogue.h"
#include "twds/DisplayCommand.h"
#include "twds/FileRegistryStore.h"

namespace twds {
namespace {

namespace fs = std::filesystem;
using Status = ExportResult::Status;
using test::EchoLookup;
using test::ReadBytes;

std::string Label(int id) {
    return CatalogueText(std::to_string(id));
}

std::string ExpectedFile(std::string_view language) {
    return ReadBytes(fs::path(TWDS_SOURCE_DIR) / "tests" / "data" /
                     ("export-small." + std::string(language) + ".usrspc"));
}

class ExportTest : public ::testing::Test {
protected:
    ExportTest() : registry(temp.path() / "registry") {
        EXPECT_TRUE(test::Succeeded(EnsureRegistryKey(
            registry, Hive::CurrentUser, "SOFTWARE\\Vellmar\\Vellmar Lumen\\Manager\\Settings")));
        data = temp.path() / "data";
        fs::create_directories(data);
        UseLanguage("EN");
    }
    ~ExportTest() override { InstallCatalogue(nullptr); }

    void UseLanguage(const std::string& language) {
        EXPECT_TRUE(test::Succeeded(StoreRegistryValue(
            registry, Hive::CurrentUser, "SOFTWARE\\Vellmar\\Vellmar Lumen\\Manager\\Settings",
            "Language", language, kRegSz)));
        InstallCatalogue(
            std::make_unique<Catalogue>(registry, fs::path(TWDS_BINARY_DIR) / "bin",
                                        [](const std::string& title, const std::string& text) {
                                            ADD_FAILURE() << title << ": " << text;
                                        }));
    }

    void SetDataPath(const RegistryValue& value, std::uint32_t type = kRegSz) {
        EXPECT_TRUE(test::Succeeded(EnsureRegistryKey(registry, Hive::LocalMachine, kDataPathKey)));
        EXPECT_TRUE(test::Succeeded(StoreRegistryValue(registry, Hive::LocalMachine, kDataPathKey,
                                                       kDataPathValue, value, type)));
    }

    // Three rows in every list, as a Display of two files would leave them,
    // labelled from the installed catalogue.
    void FillSmallModel() {
        display.userSpaceName = "TWMODEL001";
        display.userSpace = "TWMODEL001";
        const auto add = [](FieldList& list, const std::string& text, std::string_view value) {
            ASSERT_TRUE(list.appendRow(text, "", 0, value)) << text;
        };
        add(display.list(PageList::CX), Label(5403), "C");
        add(display.list(PageList::CX), Label(5404), "V01R02    ");
        add(display.list(PageList::CX), Label(5405), "");
        add(display.list(PageList::GC), Label(5501), "GC");
        add(display.list(PageList::GC), Label(5514), "         2");
        add(display.list(PageList::GC), Label(5519), "      8000");
        add(display.list(PageList::FC), Label(5601) + "CUSTMAST01", "=================");
        add(display.list(PageList::FC), Label(5603), "CUSTMAST01");
        add(display.list(PageList::FC), Label(5634), "         3");
        add(display.list(PageList::ZC), Label(5601) + "CUSTMAST01", "=================");
        add(display.list(PageList::ZC), Label(5702), "A ");
        add(display.list(PageList::ZC), Label(5703), "0000000012");
        add(display.list(PageList::SQL), Label(5601) + "ORDERS0002", "=================");
        add(display.list(PageList::SQL), Label(5751) + " 'Insert'", "INSERT INTO T VALUES('\xFA')");
        add(display.list(PageList::SQL), Label(5751) + " 'Update'", "");
        display.endTwText = "Line one\r\nLine two";
        display.kept.endLength = 42;
    }

    // "DataPath" is data/DATA: the file goes beside DATA.
    [[nodiscard]] fs::path ExpectedPath() const { return data / "TWMODEL001.usrspc"; }

    ExportResult Export() { return ExportToDataPath(display, registry, EchoLookup); }
    ExportResult Export(const fs::path& file) { return ExportToFile(display, file, EchoLookup); }
    std::string Streamed() {
        std::ostringstream stream;
        EXPECT_TRUE(WriteExport(display, stream));
        return stream.str();
    }

    test::TempFolder temp;
    FileRegistryStore registry;
    fs::path data;
    test::FakeHostLink hostLink;
    PageLabels labels{[](int id) { return std::to_string(id); }};
    DisplayCommand display{hostLink, labels};
};

#ifndef _WIN32
std::string SystemMessage(int code) {
    return std::generic_category().message(code);
}
#endif

TEST_F(ExportTest, WritesEverySectionByteForByte) {
    for (const std::string language : {"EN", "FR"}) {
        SCOPED_TRACE(language);
        UseLanguage(language);
        display.clearAll();
        FillSmallModel();
        SetDataPath((data / "DATA").string());

        const ExportResult result = Export();
        EXPECT_EQ(result.status, Status::Written);
        EXPECT_EQ(result.path, ExpectedPath());
        EXPECT_EQ(result.message, "5310|" + ExpectedPath().string());
        const std::string written = ReadBytes(ExpectedPath());
        EXPECT_EQ(written, ExpectedFile(language));
        // Six banners and sixteen lines, each ending CR LF; the End_TW text
        // holds a line break of its own.
        EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 6 + 16 + 1);
        EXPECT_TRUE(written.ends_with("\r\n"));
        EXPECT_EQ(Streamed(), written);
    }
}

TEST_F(ExportTest, EndTwSectionOnlyWhenItsLengthIsPositive) {
    FillSmallModel();
    const std::string full = ExpectedFile("EN");
    const std::string withoutEnd =
        full.substr(0, full.find("++++++++++ Page End_TW ++++++++++++++++++++++++++++"));
    for (const std::int32_t length : {0, -5}) {
        display.kept.endLength = length;
        EXPECT_EQ(Streamed(), withoutEnd);
    }
    display.kept.endLength = 1;
    display.endTwText = "";
    EXPECT_EQ(Streamed(),
              withoutEnd + "++++++++++ Page End_TW ++++++++++++++++++++++++++++\r\n\r\n");
}

TEST_F(ExportTest, NothingWrittenWithoutNameOrRows) {
    SetDataPath((data / "DATA").string());
    display.userSpace = "TWMODEL001";
    display.userSpaceName = "TWMODEL001";
    EXPECT_EQ(Export().status, Status::NothingToExport);

    ASSERT_TRUE(display.list(PageList::CX).appendRow("Page", "", 0, "C"));
    display.userSpaceName = "   ";
    const ExportResult result = Export();
    EXPECT_EQ(result.status, Status::NothingToExport);
    EXPECT_EQ(result.message, "");
    EXPECT_EQ(Export(temp.path() / "x.usrspc").status, Status::NothingToExport);
    EXPECT_FALSE(fs::exists(ExpectedPath()));
    EXPECT_FALSE(fs::exists(temp.path() / "x.usrspc"));
}

TEST_F(ExportTest, FileIsNamedAfterTheDisplayedUserSpaceAndReplacedEachTime) {
    FillSmallModel();
    SetDataPath((data / "DATA").string());
    display.userSpaceName = "OTHERNAME1";
    ASSERT_EQ(Export().status, Status::Written);
    EXPECT_TRUE(fs::exists(ExpectedPath()));
    EXPECT_FALSE(fs::exists(data / "OTHERNAME1.usrspc"));

    display.list(PageList::CX).clearRows();
    ASSERT_TRUE(display.list(PageList::CX).appendRow("Only", "", 0, "row"));
    display.kept.endLength = 0;
    ASSERT_EQ(Export().status, Status::Written);
    const std::string second = ReadBytes(ExpectedPath());
    EXPECT_EQ(second.substr(0, 59),
              "++++++++++ Page CX ++++++++++++++++++++++++++++\r\nOnly:row\r\n");
    EXPECT_EQ(second.find("End_TW"), std::string::npos);
    // No temporary file remains beside it.
    std::vector<fs::path> entries(fs::directory_iterator(data), {});
    EXPECT_EQ(entries, std::vector<fs::path>{ExpectedPath()});
}

#ifndef _WIN32  // symbolic links need rights Windows seldom grants
// A file name that is a symbolic link to a file elsewhere stays a link, as
// the user set it up; the file it leads to takes the export.
TEST_F(ExportTest, LinkToAFileStaysALinkAndItsTargetIsReplaced) {
    FillSmallModel();
    SetDataPath((data / "DATA").string());
    const fs::path elsewhere = temp.path() / "exports";
    const fs::path target = elsewhere / "kept.usrspc";
    fs::create_directories(elsewhere);
    test::WriteBytes(target, "old");
    fs::create_symlink(target, ExpectedPath());

    ASSERT_EQ(Export().status, Status::Written);
    EXPECT_TRUE(fs::is_symlink(ExpectedPath()));
    EXPECT_EQ(ReadBytes(target), Streamed());
    EXPECT_EQ(std::vector<fs::path>(fs::directory_iterator(elsewhere), {}),
              std::vector<fs::path>{target});
}
#endif

// A "DataPath" that is missing or too short asks where to save; one whose
// folder is missing or not a folder names that folder.
TEST_F(ExportTest, MissingShortOrUnusableDataPathAsksForALocation) {
    FillSmallModel();
    const std::string unset =
        "5311|HKEY_LOCAL_MACHINE\\SOFTWARE\\Orinex\\Tidewell\\TW_CFG\\"
        "DataPath|" +
        (temp.path() / "registry" / "HKEY_LOCAL_MACHINE.reg").string();
    const fs::path blocker = data / "plain-file";
    test::WriteBytes(blocker, "x");
    const struct {
        std::optional<std::string> dataPath;
        std::string message;
    } cases[] = {
        {std::nullopt, unset},
        {"abc", unset},
        {(temp.path() / "missing" / "DATA").string(), "5312|" + (temp.path() / "missing").string()},
        {(blocker / "DATA").string(), "5312|" + blocker.string()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        if (c.dataPath) {
            SetDataPath(*c.dataPath);
        }
        const ExportResult result = Export();
        EXPECT_EQ(result.status, Status::NeedsLocation);
        EXPECT_EQ(result.message, c.message);
    }
    EXPECT_EQ(Export().path, blocker / "TWMODEL001.usrspc");
    EXPECT_EQ(ReadBytes(blocker), "x");

    SetDataPath(std::int32_t{1234}, kRegDword);
    EXPECT_EQ(ReadDataPath(registry), "1234");
}

#ifndef _WIN32
// Outside Windows a "DataPath" written the Windows way would name a file
// "C:\\Tidewell\\TWMODEL001.usrspc" in the current folder: it is refused and
// nothing is written anywhere.
TEST_F(ExportTest, WindowsDataPathIsRefusedElsewhere) {
    FillSmallModel();
    const std::string registryFile = (temp.path() / "registry" / "HKEY_LOCAL_MACHINE.reg").string();
    for (const std::string& dataPath : std::vector<std::string>{
             "C:\\Tidewell\\DATA", "d:/Tidewell/DATA", (data.string() + "\\sub\\DATA")}) {
        SCOPED_TRACE(dataPath);
        SetDataPath(dataPath);
        const ExportResult result = Export();
        EXPECT_EQ(result.status, Status::NeedsLocation);
        EXPECT_EQ(result.message,
                  "5326|HKEY_LOCAL_MACHINE\\SOFTWARE\\Orinex\\Tidewell\\TW_CFG\\DataPath|" +
                      dataPath + "|" + registryFile);
    }
    EXPECT_TRUE(fs::is_empty(data));
    EXPECT_FALSE(fs::exists("C:\\Tidewell\\TWMODEL001.usrspc"));
}
#endif

#ifndef _WIN32
// A registry file that is there but cannot be read is not a missing value:
// the message says why it cannot be read.
TEST_F(ExportTest, UnreadableRegistryFileIsNotAMissingValue) {
    FillSmallModel();
    const fs::path hiveFile = temp.path() / "registry" / "HKEY_LOCAL_MACHINE.reg";
    fs::create_directories(hiveFile);
    const ExportResult result = Export();
    EXPECT_EQ(result.status, Status::NeedsLocation);
    EXPECT_TRUE(result.message.starts_with(
        "5332|HKEY_LOCAL_MACHINE\\SOFTWARE\\Orinex\\Tidewell\\TW_CFG\\DataPath|"))
        << result.message;
    EXPECT_NE(result.message.find(hiveFile.string()), std::string::npos) << result.message;
}
#endif

TEST_F(ExportTest, NamesThatWouldLeaveTheFolderAreRefused) {
    FillSmallModel();
    SetDataPath((data / "DATA").string());
    for (const std::string& name :
         {std::string("TW/MODEL01"), std::string("TW\\MODEL01"), std::string("TW\0MODEL01", 10),
          std::string(".."), std::string(".")}) {
        display.userSpace = name;
        const ExportResult result = Export();
        EXPECT_EQ(result.status, Status::Refused);
        EXPECT_EQ(result.message, "5314|" + name);
    }
    EXPECT_TRUE(fs::is_empty(data));
}

// The system ends a path at its first NUL, so a "DataPath" or chosen file
// holding one would write a file of a shorter name than the one reported.
TEST_F(ExportTest, PathsWithANulAreNotWritten) {
    FillSmallModel();
    const std::string invalid = std::make_error_code(std::errc::invalid_argument).message();
    const std::string inFileName = data.string() + "/x" + std::string(1, '\0') + "yDATA";
    const std::string inFolder = data.string() + std::string(1, '\0') + "/DATA";
    // A DataPath's NUL is named by its place (1-based), before any file is
    // opened.
    const std::string registryFile = (temp.path() / "registry" / "HKEY_LOCAL_MACHINE.reg").string();
    const std::pair<std::string, std::size_t> dataPaths[] = {{inFileName, data.string().size() + 3},
                                                             {inFolder, data.string().size() + 1}};
    for (const auto& [dataPath, nulAt] : dataPaths) {
        SetDataPath(dataPath);
        ASSERT_EQ(ReadDataPath(registry), dataPath);
        const ExportResult result = Export();
        EXPECT_EQ(result.status, Status::NeedsLocation);
        EXPECT_EQ(result.message,
                  "5333|HKEY_LOCAL_MACHINE\\SOFTWARE\\Orinex\\Tidewell\\TW_CFG\\DataPath|" +
                      std::to_string(nulAt) + "|" + registryFile);
    }

    const std::string chosen = (data / "out").string() + std::string(1, '\0') + ".usrspc";
    const ExportResult result = Export(fs::path(chosen));
    EXPECT_EQ(result.status, Status::NeedsLocation);
    EXPECT_EQ(result.message, "5313|" + chosen + "|" + invalid);
    EXPECT_TRUE(fs::is_empty(data));
}

#ifndef _WIN32  // made with POSIX means: a file size limit, /dev/full, modes
TEST_F(ExportTest, FailedWriteKeepsThePreviousFile) {
    FillSmallModel();
    const fs::path file = data / "kept.usrspc";
    test::WriteBytes(file, "previous export\r\n");

    // A file-size limit makes every write past 100 bytes fail, even for root.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const ExportResult result = Export(file);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(result.status, Status::NeedsLocation);
    EXPECT_EQ(result.message, "5313|" + file.string() + "|" + SystemMessage(EFBIG));
    EXPECT_EQ(ReadBytes(file), "previous export\r\n");
    std::vector<fs::path> entries(fs::directory_iterator(data), {});
    EXPECT_EQ(entries, std::vector<fs::path>{file});
}

// Each place that cannot take the file is named with the system's reason. A
// symbolic link is followed to its target and stays a link.
TEST_F(ExportTest, UnwritableTargetsAreReportedWithTheReason) {
    FillSmallModel();
    const fs::path link = temp.path() / "full.usrspc";
    fs::create_symlink("/dev/full", link);
    // Below a regular file nothing can be written, whoever runs the viewer.
    const fs::path blocker = data / "plain-file";
    test::WriteBytes(blocker, "x");
    const struct {
        fs::path file;
        int error;
    } cases[] = {
        {"/dev/full", ENOSPC},
        {link, ENOSPC},
        {temp.path() / "no" / "such.usrspc", ENOENT},
        {data, EISDIR},
        {blocker / "x.usrspc", ENOTDIR},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const ExportResult result = Export(c.file);
        EXPECT_EQ(result.status, Status::NeedsLocation);
        EXPECT_EQ(result.message, "5313|" + c.file.string() + "|" + SystemMessage(c.error));
    }
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(blocker), "x");
}

TEST_F(ExportTest, ReadOnlyFolderIsReported) {
    FillSmallModel();
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind root";
    }
    fs::permissions(data, fs::perms::owner_read | fs::perms::owner_exec);
    const ExportResult result = Export(data / "x.usrspc");
    fs::permissions(data, fs::perms::owner_all);
    EXPECT_EQ(result.message, "5313|" + (data / "x.usrspc").string() + "|" + SystemMessage(EACCES));
}
#endif

// A large list goes out whole: the file's size accounts for every row.
TEST_F(ExportTest, LargeListIsWrittenWhole) {
    display.userSpaceName = display.userSpace = "TWMODEL001";
    ASSERT_TRUE(display.list(PageList::CX).appendRow("Page", "", 0, "C"));
    for (std::uint32_t k = 1; k <= 200'000; ++k) {
        ASSERT_TRUE(display.list(PageList::ZC)
                        .appendRow("Input field length", "CUSTMAST01", k, "0000000012"));
    }
    ASSERT_EQ(Export(temp.path() / "big.usrspc").status, Status::Written);
    EXPECT_EQ(fs::file_size(temp.path() / "big.usrspc"),
              4 * (47U + 2) + (48 + 2) + 8 + 200'000U * (18 + 1 + 10 + 2));
}

}  // namespace
}  // namespace twds

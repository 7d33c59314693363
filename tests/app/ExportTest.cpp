#include <gtest/gtest.h>

#include "ResultAssertions.h"
#include "twds/Export.h"
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <cerrno>
#include <csignal>
#include <optional>
#include <sstream>
#include <system_error>
#include <tuple>

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
using test::ReadBytes;

// The registry value's name as the messages give it, with the next field's separator.
const std::string kDataPathField =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Orinex\\Tidewell\\TW_CFG\\DataPath|";
const std::string kSettingsKey = "SOFTWARE\\Vellmar\\Vellmar Lumen\\Manager\\Settings";

std::string ExpectedFile(std::string_view language) {
    return ReadBytes(fs::path(TWDS_SOURCE_DIR) / "tests" / "data" /
                     ("export-small." + std::string(language) + ".usrspc"));
}

class ExportTest : public ::testing::Test {
protected:
    ExportTest() : registry(temp.path() / "registry") {
        EXPECT_TRUE(test::Succeeded(EnsureRegistryKey(registry, Hive::CurrentUser, kSettingsKey)));
        fs::create_directories(data);
        UseLanguage("EN");
        FillSmallModel();
    }
    ~ExportTest() override { InstallCatalogue(nullptr); }

    void UseLanguage(const std::string& language) {
        EXPECT_TRUE(test::Succeeded(StoreRegistryValue(registry, Hive::CurrentUser, kSettingsKey,
                                                       "Language", language, kRegSz)));
        InstallCatalogue(
            std::make_unique<Catalogue>(registry, fs::path(TWDS_BINARY_DIR) / "bin",
                                        [](const std::string& title, const std::string& text) {
                                            ADD_FAILURE() << title << text;
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
        display.clearAll();
        display.userSpaceName = display.userSpace = "TWMODEL001";
        using enum PageList;
        const std::string heading = Label(5601);
        // clang-format off
        const std::tuple<PageList, std::string, std::string_view> rows[] = {
            {CX, Label(5403), "C"}, {CX, Label(5404), "V01R02    "}, {CX, Label(5405), ""},
            {GC, Label(5501), "GC"}, {GC, Label(5514), "         2"}, {GC, Label(5519), "      8000"},
            {FC, heading + "CUSTMAST01", "================="}, {FC, Label(5603), "CUSTMAST01"},
            {FC, Label(5634), "         3"},
            {ZC, heading + "CUSTMAST01", "================="}, {ZC, Label(5702), "A "},
            {ZC, Label(5703), "0000000012"},
            {SQL, heading + "ORDERS0002", "================="},
            {SQL, Label(5751) + " 'Insert'", "INSERT INTO T VALUES('\xFA')"},
            {SQL, Label(5751) + " 'Update'", ""}};
        // clang-format on
        for (const auto& [list, label, value] : rows) {
            ASSERT_TRUE(display.list(list).appendRow(label, "", 0, value)) << label;
        }
        display.endTwText = "Line one\r\nLine two";
        display.kept.endLength = 42;
    }

    // "DataPath" is data/DATA: the file goes beside DATA.
    [[nodiscard]] fs::path ExpectedPath() const { return data / "TWMODEL001.usrspc"; }
    [[nodiscard]] std::string RegistryFile() const {
        return (temp.path() / "registry" / "HKEY_LOCAL_MACHINE.reg").string();
    }

    ExportResult Export() { return ExportToDataPath(display, registry, test::EchoLookup); }
    ExportResult Export(const fs::path& f) { return ExportToFile(display, f, test::EchoLookup); }
    static std::string Label(int id) { return CatalogueText(std::to_string(id)); }
    std::string Streamed() {
        std::ostringstream stream;
        EXPECT_TRUE(WriteExport(display, stream));
        return stream.str();
    }

    test::TempFolder temp;
    FileRegistryStore registry;
    fs::path data = temp.path() / "data";
    test::FakeHostLink hostLink;
    PageLabels labels{[](int id) { return std::to_string(id); }};
    DisplayCommand display{hostLink, labels};
};

TEST_F(ExportTest, WritesEverySectionByteForByte) {
    SetDataPath((data / "DATA").string());
    for (const std::string language : {"EN", "FR"}) {
        SCOPED_TRACE(language);
        UseLanguage(language);
        FillSmallModel();
        const ExportResult result = Export();
        EXPECT_EQ(result.status, Status::Written);
        EXPECT_EQ(result.message, "5310|" + ExpectedPath().string());
        EXPECT_EQ(ReadBytes(ExpectedPath()), ExpectedFile(language));
        EXPECT_EQ(Streamed(), ExpectedFile(language));
    }
}

TEST_F(ExportTest, EndTwSectionOnlyWhenItsLengthIsPositive) {
    const std::string full = ExpectedFile("EN");
    const std::string banner = "++++++++++ Page End_TW ++++++++++++++++++++++++++++\r\n";
    const std::string withoutEnd = full.substr(0, full.find(banner));
    for (const std::int32_t length : {0, -5}) {
        display.kept.endLength = length;
        EXPECT_EQ(Streamed(), withoutEnd);
    }
    display.kept.endLength = 1;
    display.endTwText = "";
    EXPECT_EQ(Streamed(), withoutEnd + banner + "\r\n");
}

// The file is named after the displayed user space, not the name box, and
// replaced whole each time, with no temporary file left beside it.
TEST_F(ExportTest, FileIsNamedAfterTheDisplayedUserSpaceAndReplacedEachTime) {
    SetDataPath((data / "DATA").string());
    display.userSpaceName = "OTHERNAME1";
    ASSERT_EQ(Export().status, Status::Written);
    display.list(PageList::CX).clearRows();  // a shorter file
    ASSERT_TRUE(display.list(PageList::CX).appendRow("Only", "", 0, "row"));
    ASSERT_EQ(Export().status, Status::Written);
    EXPECT_EQ(ReadBytes(ExpectedPath()), Streamed());
    EXPECT_EQ(std::vector<fs::path>(fs::directory_iterator(data), {}),
              std::vector<fs::path>{ExpectedPath()});
}

// A "DataPath" that is missing or too short asks where to save; one whose
// folder is missing or not a folder names that folder; one holding a NUL
// names its place (1-based).
TEST_F(ExportTest, UnusableDataPathAsksForALocationAndSaysWhy) {
    const std::string unset = "5311|" + kDataPathField + RegistryFile();
    const fs::path blocker = data / "plain-file";
    test::WriteBytes(blocker, "x");
    const std::string nul(1, '\0');
    const struct {
        std::optional<std::string> dataPath;
        std::string message;
    } cases[] = {
        {std::nullopt, unset},
        {"abc", unset},
        {(temp.path() / "missing" / "DATA").string(), "5312|" + (temp.path() / "missing").string()},
        {(blocker / "DATA").string(), "5312|" + blocker.string()},
        {data.string() + "/x" + nul + "yDATA", "5333|" + kDataPathField +
                                                   std::to_string(data.string().size() + 3) + "|" +
                                                   RegistryFile()},
#ifndef _WIN32
        // Written the Windows way it would name a file in the current folder.
        {"C:\\Tidewell\\DATA", "5326|" + kDataPathField + "C:\\Tidewell\\DATA|" + RegistryFile()},
        {"d:/Tidewell/DATA", "5326|" + kDataPathField + "d:/Tidewell/DATA|" + RegistryFile()},
#endif
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
    EXPECT_EQ(ReadBytes(blocker), "x");
    EXPECT_EQ(std::vector<fs::path>(fs::directory_iterator(data), {}),
              std::vector<fs::path>{blocker});

    SetDataPath(std::int32_t{1234}, kRegDword);
    EXPECT_EQ(ReadDataPath(registry), "1234");
}

// Nothing is written under a name that would leave the folder, nor without
// a name in the box or rows.
TEST_F(ExportTest, NothingWrittenOutsideTheFolderOrWithoutNameOrRows) {
    SetDataPath((data / "DATA").string());
    for (const std::string& name : {std::string("TW/MODEL01"), std::string("TW\\MODEL01"),
                                    std::string("TW\0MODEL01", 10), std::string("..")}) {
        display.userSpace = name;
        const ExportResult result = Export();
        EXPECT_EQ(result.status, Status::Refused);
        EXPECT_EQ(result.message, "5314|" + name);
    }
    display.userSpace = "TWMODEL001";
    display.userSpaceName = "   ";
    EXPECT_EQ(Export().status, Status::NothingToExport);
    display.clearAll();
    display.userSpaceName = display.userSpace = "TWMODEL001";
    EXPECT_EQ(Export(data / "x.usrspc").status, Status::NothingToExport);
    EXPECT_TRUE(fs::is_empty(data));
}

#ifndef _WIN32  // made with POSIX means: /dev/full, links
// Each place that cannot take the file is named with the system's reason.
TEST_F(ExportTest, UnwritableTargetsAreReportedWithTheReason) {
    const fs::path link = temp.path() / "full.usrspc";
    fs::create_symlink("/dev/full", link);
    const fs::path blocker = data / "plain-file";
    test::WriteBytes(blocker, "x");
    const std::string nulName = (data / "out").string() + std::string(1, '\0') + ".usrspc";
    const std::pair<fs::path, int> cases[] = {
        {link, ENOSPC},    {temp.path() / "no" / "such.usrspc", ENOENT},
        {data, EISDIR},    {blocker / "x.usrspc", ENOTDIR},
        {nulName, EINVAL}, {blocker, EFBIG},
    };
    // A file-size limit (it binds root too) fails the write to `blocker` part
    // way; the file before stays whole.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const rlimit limited{.rlim_cur = 100, .rlim_max = saved.rlim_max};
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    for (const auto& [file, error] : cases) {
        const ExportResult result = Export(file);
        EXPECT_EQ(result.status, Status::NeedsLocation);
        EXPECT_EQ(result.message,
                  "5313|" + file.string() + "|" + std::generic_category().message(error));
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, handler);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(blocker), "x");
}
#endif

}  // namespace
}  // namespace twds

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <sstream>

#include <gtest/gtest.h>

#include "ModelPages.h"
#include "ResultAssertions.h"
#include "TempFolder.h"
#include "TestSupport.h"
#include "twds/DisplayCommand.h"
#include "twds/Export.h"
#include "twds/FileRegistryStore.h"
#include "twds/HeadlessRun.h"
#include "twds/ViewerEnvironment.h"

namespace twds {
namespace {

namespace fs = std::filesystem;
using test::ScopedEnvironment;

void NoReport(const std::string& /*title*/, const std::string& /*text*/) {}

class HeadlessRunTest : public ::testing::Test {
protected:
    HeadlessRunTest() {
        const std::vector<test::FileModel> files = {
            {"CUSTMAST01", 2, 700, {"INSERT INTO CUSTMAST", "", "", ""}}, {"ORDERS0002", 3, 0, {}}};
        pages = test::BuildPages({files, 4000, 30, "TWEND00001Closing text"});
        SaveModel();
        fs::create_directories(temp.path() / "out");
        SetDataPath((temp.path() / "out" / "DATA").string());
    }

    void SaveModel() {
        fs::create_directories(fs::path(folder));
        test::WriteBytes(fs::path(folder) / "HEADLESS01.twus", test::ToSavedUserSpace(pages));
    }

    void SetRegistry(Hive hive, std::string_view key, std::string_view name,
                     const std::string& value) {
        FileRegistryStore registry(registryFolder);
        ASSERT_TRUE(test::Succeeded(EnsureRegistryKey(registry, hive, key)));
        ASSERT_TRUE(test::Succeeded(StoreRegistryValue(registry, hive, key, name, value, kRegSz)));
    }
    void SetDataPath(const std::string& value) {
        SetRegistry(Hive::LocalMachine, kDataPathKey, kDataPathValue, value);
    }
    void SetFrench() {
        SetRegistry(Hive::CurrentUser, "SOFTWARE\\Vellmar\\Vellmar Lumen\\Manager\\Settings",
                    "Language", "FR");
    }

    // A headless export of 10.9.8.7/<name> from the test's store.
    int Run(std::vector<std::string> arguments, std::string_view terminalCodeset = {}) {
        out.str("");
        err.str("");
        return RunHeadless(ParseCommandLine(arguments), out, err, terminalCodeset);
    }
    int Find(const std::string& text, const std::string& name = "HEADLESS01") {
        return Run(
            {"--find", text, "--store", (temp.path() / "store").string(), "10.9.8.7/" + name});
    }
    int Export(const std::string& name, std::vector<std::string> more = {},
               std::string_view terminalCodeset = {}) {
        more.insert(more.begin(), {"--export", "--store", (temp.path() / "store").string()});
        more.push_back("10.9.8.7/" + name);
        return Run(more, terminalCodeset);
    }

    [[nodiscard]] std::string SourceLine() const {
        return "Source: the saved user space " + folder + "/HEADLESS01.twus\n";
    }

    test::TempFolder temp;
    fs::path registryFolder = temp.path() / "registry";
    ScopedEnvironment registryVariable{"TWDSPUSRSPC_REGISTRY", registryFolder.string()};
    ScopedEnvironment hostLinkVariable{"TWDSPUSRSPC_HOSTLINK", std::nullopt};
    ScopedEnvironment storeVariable{"TWDSPUSRSPC_STORE", std::nullopt};
    ScopedEnvironment dataVariable{"XDG_DATA_HOME", (temp.path() / "xdg").string()};
    std::string folder = (temp.path() / "store" / "10.9.8.7").string();
    fs::path dataPathFile = temp.path() / "out" / "HEADLESS01.usrspc";
    test::PageMap pages;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(HeadlessRunTest, ExportsWhereTheButtonWouldAndToChosenOutputs) {
    EXPECT_EQ(Export(" headless01 "), 0) << err.str();
    EXPECT_EQ(err.str(), SourceLine() + "Exported to " + dataPathFile.string() + "\n");
    EXPECT_EQ(out.str(), "");
    const std::string exported = test::ReadBytes(dataPathFile);
    EXPECT_TRUE(exported.starts_with("++++++++++ Page CX ++++++++++++++++++++++++++++\r\n"));
    EXPECT_NE(exported.find("\r\nClosing text\r\n"), std::string::npos);

    EXPECT_EQ(Export("HEADLESS01", {"--output=-"}), 0);
    EXPECT_EQ(err.str(), SourceLine());
    EXPECT_EQ(out.str(), exported);
    const fs::path chosen = temp.path() / "chosen.txt";
    EXPECT_EQ(Export("HEADLESS01", {"--output", chosen.string()}), 0);
    EXPECT_EQ(test::ReadBytes(chosen), exported);
}

// Nothing shown, nothing written; a Display stopped part way is still
// exported; a failed export gives status 1 too.
TEST_F(HeadlessRunTest, FailuresGiveStatusOneAndSayWhy) {
    EXPECT_EQ(Export("SHORT", {"--output=-"}), 1);
    EXPECT_EQ(err.str(), "The user space name must have exactly 10 characters: SHORT\n");
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(Export("NOSUCHNAME", {"--output=-"}), 1);
    EXPECT_TRUE(
        err.str().starts_with("Page C (position 1024) could not be retrieved. The reason: "
                              "The user space NOSUCHNAME is not saved"))
        << err.str();
    EXPECT_FALSE(fs::exists(dataPathFile));

    pages.erase({'Z', 2560});
    SaveModel();
    EXPECT_EQ(Export("HEADLESS01"), 1);
    EXPECT_TRUE(err.str().starts_with(
        SourceLine() + "Page Z (position 2560) of file 2 could not be retrieved. The reason: "))
        << err.str();
    EXPECT_TRUE(err.str().ends_with("\nExported to " + dataPathFile.string() + "\n"));
    EXPECT_NE(test::ReadBytes(dataPathFile).find("ORDERS0002"), std::string::npos);

    SetDataPath("abc");
    EXPECT_EQ(Export("HEADLESS01"), 1);
    EXPECT_NE(err.str().find("\nExport failed: the registry value "
                             "HKEY_LOCAL_MACHINE\\SOFTWARE\\Orinex\\Tidewell\\TW_CFG\\DataPath"),
              std::string::npos)
        << err.str();
}

// The messages follow the set language and are converted to the terminal's
// encoding, with advice fit for a run without a dialog.
TEST_F(HeadlessRunTest, MessagesAreInTheSetLanguageAndTheTerminalsEncoding) {
    SetFrench();
    EXPECT_EQ(Export("HEADLESS01", {}, "UTF-8"), 0);
    EXPECT_TRUE(err.str().ends_with("Export\xC3\xA9 dans " + dataPathFile.string() + "\n"))
        << err.str();
    EXPECT_EQ(Export("HEADLESS01", {}, "ISO-8859-15"), 0);
    EXPECT_TRUE(err.str().ends_with("Export\xE9 dans " + dataPathFile.string() + "\n"));
    SetDataPath("abc");
    EXPECT_EQ(Export("HEADLESS01", {}, "UTF-8"), 1);
    EXPECT_TRUE(
        err.str().ends_with(" Utilisez --output FICHIER pour l'\xC3\xA9"
                            "crire ailleurs.\n"))
        << err.str();
}

TEST_F(HeadlessRunTest, UsageHelpAndVersion) {
    EXPECT_EQ(Run({"--export", "10.9.8.7"}), 2);
    EXPECT_TRUE(err.str().starts_with("twDspUsrSpc: --export needs ADDRESS/NAME")) << err.str();
    EXPECT_NE(err.str().find("--help"), std::string::npos);
    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_TRUE(out.str().starts_with("Usage:\n  twDspUsrSpc [--store DIR]")) << out.str();
    EXPECT_EQ(Run({"--version"}), 0);
    EXPECT_EQ(out.str(), "twDspUsrSpc 1.0.0\n");
}

// A host link that cannot start is reported by a headless run; the window's
// connections fail with that reason, and it says what it ignored.
TEST_F(HeadlessRunTest, HostLinkThatCannotStartIsReported) {
    const std::string library = (temp.path() / "missing" / "libDllParam.so").string();
    EXPECT_EQ(Run({"--export", "--hostlink", library, "10.9.8.7/HEADLESS01"}), 1);
    EXPECT_TRUE(err.str().starts_with("The host link could not be started: ")) << err.str();

    const CommandLine line = ParseCommandLine({"--hostlink", library, "-psn_0_1", "--x=1"});
    ViewerEnvironment environment(line, NoReport);
    EXPECT_EQ(environment.startupNotice(line),
              environment.hostLinkError() + "\nIgnored on the command line: -psn_0_1 --x=1");
    DisplayCommand display(environment.hostLink(), environment.labels());
    display.address = "10.9.8.7";
    display.userSpaceName = "HEADLESS01";
    EXPECT_EQ(display.run().stage, DisplayOutcome::Stage::ConnectFailed);
    EXPECT_EQ(
        DescribeOutcome(display, environment.messages()),
        "Connection failed to the machine 10.9.8.7. The rasion : " + environment.hostLinkError());
}

// The bundled sample and a model made to show misplaced fields, in both
// languages, byte for byte: every page kind's labels in their order, values
// at their places, banners and line ends. The expected files were checked
// line by line against the models' descriptions.
TEST_F(HeadlessRunTest, ModelsExportAsCheckedIn) {
    const fs::path data = fs::path(TWDS_SOURCE_DIR) / "tests" / "data";
    const fs::path sample =
        fs::path(TWDS_BINARY_DIR) / "bin" / "samples" / "127.0.0.1" / "TWMODEL001.twus";
    if (!fs::exists(sample)) {
        GTEST_SKIP() << "no bundled sample at " << sample;
    }
    for (const std::string language : {"EN", "FR"}) {
        if (language == "FR") {
            SetFrench();
        }
        for (const auto& [arguments, name] :
             {std::pair<std::vector<std::string>, std::string>{{"127.0.0.1/TWMODEL001"},
                                                               "TWMODEL001"},
              {{"--store", (data / "store").string(), "10.0.0.9/EDGEMODL01"}, "EDGEMODL01"}}) {
            SCOPED_TRACE(name + " " + language);
            std::vector<std::string> all{"--export", "--output", "-"};
            all.insert(all.end(), arguments.begin(), arguments.end());
            ASSERT_EQ(Run(all), 0) << err.str();
            const std::string expected =
                test::ReadBytes(data / ("export-" + name + "." + language + ".usrspc"));
            ASSERT_FALSE(expected.empty());
            EXPECT_EQ(out.str(), expected);
        }
    }
}

// The sample and the edge model's listings byte for byte, checked line by
// line against the models: the rows in list order, their pages, offsets and
// widths, and the End_TW text with its line ends escaped.
TEST_F(HeadlessRunTest, FindListsTheModelsRowsAsCheckedIn) {
    const fs::path data = fs::path(TWDS_SOURCE_DIR) / "tests" / "data";
    if (!fs::exists(fs::path(TWDS_BINARY_DIR) / "bin" / "samples" / "127.0.0.1")) {
        GTEST_SKIP() << "no bundled sample";
    }
    for (const auto& [arguments, expected] :
         {std::pair<std::vector<std::string>, std::string>{
              {"--find", "ordlin", "127.0.0.1/TWMODEL001"}, "find-TWMODEL001.txt"},
          {{"--find", "\xC9", "--store", (data / "store").string(), "10.0.0.9/EDGEMODL01"},
           "find-EDGEMODL01.txt"}}) {
        SCOPED_TRACE(expected);
        EXPECT_EQ(Run(arguments), 0) << err.str();
        EXPECT_EQ(out.str(), test::ReadBytes(data / expected));
    }
    // Control bytes are bytes like any other: the DEL after "PWD=".
    EXPECT_EQ(Run({"--find", "=\x7F", "--store", (data / "store").string(), "10.0.0.9/EDGEMODL01"}),
              0);
    EXPECT_EQ(out.str(),
              "GC\t\t4\tG\t00001024\t173\t250\tBib ou ConnectStr\t"
              "DRIVER={Db};UID=tw;PWD=\\x7F" +
                  std::string(226, ' ') + "\n");
}

// 0 found, 1 nothing found, 2 trouble; what a stopped Display found is
// listed all the same.
TEST_F(HeadlessRunTest, FindExitsAsGrepDoes) {
    EXPECT_EQ(Find("CLOSING"), 0);
    EXPECT_EQ(out.str(), "End_TW\t\t\tE\t00005024\t\t\t\tClosing text\n");
    EXPECT_EQ(Find(std::string(10'000, 'x')), 1);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), SourceLine());

    pages.erase({'Z', 2560});
    SaveModel();
    EXPECT_EQ(Find("orders0002"), 2);
    EXPECT_EQ(out.str(),
              "FC\tORDERS0002\t75\tF\t00002560\t\t\tFile N\xC2\xB0 :ORDERS0002\t=================\n"
              "FC\tORDERS0002\t77\tF\t00002560\t2\t10\tFicID\tORDERS0002\n"
              "FC\tORDERS0002\t83\tF\t00002560\t35\t30\tFile/Bib/Membre Src\tSRCLIB/ORDERS0002" +
                  std::string(13, ' ') + "\n");
    EXPECT_TRUE(err.str().starts_with(SourceLine() +
                                      "Page Z (position 2560) of file 2 could not be retrieved."))
        << err.str();

    EXPECT_EQ(Run({"--find", "x", "--export", "10.9.8.7/HEADLESS01"}), 2);
    EXPECT_EQ(err.str(),
              "twDspUsrSpc: --find cannot be used with --export\nTry 'twDspUsrSpc "
              "--help' for more information.\n");
    const std::string library = (temp.path() / "missing" / "libDllParam.so").string();
    EXPECT_EQ(Run({"--find", "x", "--hostlink", library, "10.9.8.7/HEADLESS01"}), 2);

    // A text the code page cannot hold: said so, nothing displayed, not even
    // the host link started.
    CommandLine notAnsi = ParseCommandLine({"--find", "a?b", "--hostlink", library, "1.2.3.4/X"});
    notAnsi.findTextNotAnsi = true;
    err.str("");
    EXPECT_EQ(RunHeadless(notAnsi, out, err), 1);
    EXPECT_EQ(err.str(),
              "Nothing in a user space can match a?b: it holds characters that "
              "Windows-1252, the engine's code page, cannot hold (shown as \"?\").\n");
}

// A snapshot names what it holds and when it was fetched, displays, exports
// and finds as the original did, keeps that time when saved again, and
// replaces a file only with --force.
TEST_F(HeadlessRunTest, SnapshotsReopenAsTheOriginalAndReplaceOnlyWhenForced) {
    const fs::path data = fs::path(TWDS_SOURCE_DIR) / "tests" / "data";
    const std::string saved = (data / "store" / "10.0.0.9" / "EDGEMODL01.twus").string();
    const std::string snap = (temp.path() / "edge.twus").string();
    EXPECT_EQ(
        Run({"--snapshot", snap, "--store", (data / "store").string(), "10.0.0.9/EDGEMODL01"}), 0);
    EXPECT_EQ(err.str(), "Source: the saved user space " + saved + "\nSnapshot saved: " + snap +
                             " (8 pages).\n");
    const std::string bytes = test::ReadBytes(snap);
    const std::string head =
        "TWUSRSPC PAGES 1\n# snapshot address 10.0.0.9\n# snapshot name EDGEMODL01\n"
        "# snapshot fetched ";
    ASSERT_TRUE(bytes.starts_with(head)) << bytes.substr(0, 200);
    const std::string fetched = bytes.substr(head.size(), 20);
    // "2026-12-06T04:55:01Z": digits but for the separators. (std::regex
    // would do, but GCC 12 warns falsely about it under the sanitizers.)
    std::string shape = fetched;
    std::replace_if(
        shape.begin(), shape.end(), [](char c) { return c >= '0' && c <= '9'; }, '9');
    EXPECT_EQ(shape, "9999-99-99T99:99:99Z") << fetched;
    EXPECT_TRUE(bytes.substr(head.size() + 20)
                    .starts_with("\n# snapshot viewer 1.0.0\n"
                                 "# snapshot hostlink saved " +
                                 saved + "\nC 00001024 "));

    EXPECT_EQ(Run({"--export", "--output", "-", snap}), 0);
    EXPECT_EQ(out.str(), test::ReadBytes(data / "export-EDGEMODL01.EN.usrspc"));
    EXPECT_EQ(err.str(), "Source: the snapshot " + snap + " of 10.0.0.9/EDGEMODL01, fetched " +
                             fetched + "\n");
    EXPECT_EQ(Run({"--find", "\xC9", snap}), 0);
    EXPECT_EQ(out.str(), test::ReadBytes(data / "find-EDGEMODL01.txt"));

    // Put in a store, it is still a snapshot fetched then.
    fs::copy_file(snap, fs::path(folder) / "EDGEMODL01.twus");
    EXPECT_EQ(Export("EDGEMODL01", {"--output", "-"}), 0);
    EXPECT_EQ(err.str(), "Source: the snapshot " + folder + "/EDGEMODL01.twus of " +
                             "10.0.0.9/EDGEMODL01, fetched " + fetched + "\n");

    const std::string again = (temp.path() / "again.twus").string();
    EXPECT_EQ(Run({"--snapshot", again, snap}), 0);
    EXPECT_EQ(test::ReadBytes(again), bytes);

    test::WriteBytes(again, "keep");
    EXPECT_EQ(Run({"--snapshot", again, "--export", "--output", "-", snap}), 1);
    EXPECT_TRUE(
        err.str().ends_with("The file " + again + " already exists. Use --force to replace it.\n"))
        << err.str();
    EXPECT_EQ(test::ReadBytes(again), "keep");
    EXPECT_EQ(Run({"--snapshot", again, "--force", snap}), 0);
    EXPECT_EQ(test::ReadBytes(again), bytes);

    // A Display that stopped part-way is saved as far as it went, says so,
    // and stops at the same page when reopened.
    pages.erase({'Z', 2560});
    SaveModel();
    const std::string part = (temp.path() / "part.twus").string();
    EXPECT_EQ(Export("HEADLESS01", {"--snapshot", part, "--output", "-"}), 1);
    EXPECT_TRUE(err.str().ends_with("Snapshot saved: " + part +
                                    " (7 pages).\nThe snapshot holds only the pages fetched "
                                    "before the Display stopped.\n"))
        << err.str();
    const std::string partial = out.str();
    EXPECT_EQ(Run({"--export", "--output", "-", part}), 1);
    EXPECT_EQ(out.str(), partial);
    EXPECT_NE(err.str().find("Page Z (position 2560) of file 2 could not be retrieved."),
              std::string::npos);
}

// A file that is no usable snapshot is refused before anything is shown,
// naming the file and the fault; a .twus without a header is displayed,
// named after its folder and file.
TEST_F(HeadlessRunTest, BadSnapshotsAreRefusedWithTheFileAndTheFault) {
    const std::string bad = (temp.path() / "bad.twus").string();
    const std::string model = test::ToSavedUserSpace(pages);
    for (const auto& [bytes, message] : std::initializer_list<std::pair<std::string, std::string>>{
             {model.substr(0, 100),
              ": at byte offset 28: the page length 249 runs past the end of the file (68 bytes "
              "follow the record line). The file is truncated or its length is wrong."},
             {"TWUSRSPC PAGES 2\nC 00001024 1\nC\n",
              ": at byte offset 0: unsupported format \"TWUSRSPC PAGES 2\"; this viewer reads "
              "\"TWUSRSPC PAGES 1\". Save the user space again."},
             {"TWUSRSPC PAGES 1\n# snapshot name X\nC 100001024 1\nC\n",
              ": at byte offset 35: expected a record line \"<kind letter> <8-digit position> "
              "<length>\" and a line feed, found \"C 100001024 1\"."}}) {
        test::WriteBytes(bad, bytes);
        EXPECT_EQ(Run({"--export", "--output", "-", bad}), 1);
        EXPECT_EQ(err.str(), bad + message + "\n");
        EXPECT_EQ(out.str(), "");
    }

    const std::string plain = folder + "/HEADLESS01.twus";
    EXPECT_EQ(Run({"--export", "--output", "-", plain}), 0);
    EXPECT_EQ(err.str(), plain +
                             " has no snapshot header: its machine is taken from its folder's "
                             "name (10.9.8.7) and its user space from its file name "
                             "(HEADLESS01).\n" +
                             SourceLine());
}

// The damaged model's problems byte for byte, in the order met, and the exit
// statuses: 1 with an error or a warning, 0 for a clean model, 2 for --check
// with another mode. Its export still holds every row it shows, and fails.
TEST_F(HeadlessRunTest, CheckListsTheProblemsAsCheckedInAndExportStillWritesEveryRow) {
    const fs::path data = fs::path(TWDS_SOURCE_DIR) / "tests" / "data";
    const std::string store = (data / "store").string();
    for (const std::string name : {"DAMAGED001", "DAMAGED002"}) {
        EXPECT_EQ(Run({"--check", "--store", store, "10.0.0.9/" + name}), 1);
        std::string listing = out.str();
        // The host link's message names the file by the path it was given.
        for (std::size_t at = listing.find(store); at != std::string::npos;
             at = listing.find(store, at)) {
            listing.replace(at, store.size(), "tests/data/store");
        }
        EXPECT_EQ(listing, test::ReadBytes(data / ("check-" + name + ".txt")));
    }

    EXPECT_EQ(Run({"--check", "--store", store, "10.0.0.9/EDGEMODL01"}), 0);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(Run({"--check", "--export", "--store", store, "10.0.0.9/EDGEMODL01"}), 2);

    // DAMAGED002 is displayed whole, with an error; DAMAGED001 stops short.
    EXPECT_EQ(Run({"--export", "--output", "-", "--store", store, "10.0.0.9/DAMAGED002"}), 1);
    EXPECT_EQ(Run({"--export", "--output", "-", "--store", store, "10.0.0.9/DAMAGED001"}), 1);
    const std::string exported = out.str();
    std::size_t headings = 0;
    for (std::size_t at = exported.find("\xB0 :ORDERS0001"); at != std::string::npos;
         at = exported.find("\xB0 :ORDERS0001", at + 1)) {
        ++headings;
    }
    EXPECT_EQ(headings, 5U);  // FC and ZC of both files, SQL of the second
}

// One line per difference, exit status as diff's; files matched by FicID.
TEST_F(HeadlessRunTest, CompareListsTheDifferencesAndExitsAsDiffDoes) {
    const fs::path data = fs::path(TWDS_SOURCE_DIR) / "tests" / "data";
    const std::string store = (data / "store").string();
    EXPECT_EQ(Run({"--compare", "--store", store, "10.0.0.9/EDGEMODL01", "10.0.0.9/EDGEMODL02"}),
              1);
    EXPECT_EQ(out.str(), test::ReadBytes(data / "compare-EDGEMODL01-EDGEMODL02.txt"));
    // The other way round, the file only the older one has stood first: it
    // is listed before the file both have.
    EXPECT_EQ(Run({"--compare", "--store", store, "10.0.0.9/EDGEMODL02", "10.0.0.9/EDGEMODL01"}),
              1);
    const std::size_t removed = out.str().find("\n-\tFC\tNEWFILE001\tFile N");
    EXPECT_LT(removed,
              out.str().find("\n~\tFC\tFILEWITHZC\tNumber of ZC\t0000000003\t0000000002\n"));
    EXPECT_EQ(Run({"--compare", "--store", store, "10.0.0.9/EDGEMODL01",
                   (data / "store" / "10.0.0.9" / "EDGEMODL01.twus").string()}),
              0);
    EXPECT_EQ(out.str(), "");

    // HEADLESS01 less its second file, ORDERS0002, and its End_TW page.
    test::WriteBytes(
        fs::path(folder) / "ONEFILE001.twus",
        test::ToSavedUserSpace(test::BuildPages(
            {{{"CUSTMAST01", 2, 700, {"INSERT INTO CUSTMAST", "", "", ""}}}, 0, 0, ""})));
    const std::string storeOption = "--store=" + (temp.path() / "store").string();
    EXPECT_EQ(Run({"--compare", storeOption, "10.9.8.7/HEADLESS01", "10.9.8.7/ONEFILE001"}), 1);
    const std::string lines = out.str();
    EXPECT_TRUE(lines.starts_with("~\tGC\t\tNbr of FC\t         2\t         1\n")) << lines;
    EXPECT_NE(lines.find("\n-\tFC\tORDERS0002\tFile N\xC2\xB0 :ORDERS0002\t=================\t\n"),
              std::string::npos);
    EXPECT_TRUE(lines.ends_with("\n-\tEnd_TW\t\t\tClosing text\t\n"));
    EXPECT_EQ(lines.find("CUSTMAST01"), std::string::npos);
    EXPECT_EQ(Run({"--compare", storeOption, "10.9.8.7/ONEFILE001", "10.9.8.7/HEADLESS01"}), 1);
    EXPECT_NE(out.str().find("\n+\tZC\tORDERS0002\tField type\t\t"), std::string::npos);
    EXPECT_TRUE(out.str().ends_with("\n+\tEnd_TW\t\t\t\tClosing text\n"));

    EXPECT_EQ(Run({"--compare", storeOption, "10.9.8.7/HEADLESS01", "10.9.8.7/NOSUCHNAME"}), 2);
    EXPECT_TRUE(err.str().starts_with("Old user space: " + SourceLine() +
                                      "New user space: Page C (position 1024) could not be "
                                      "retrieved."))
        << err.str();
    test::WriteBytes(temp.path() / "bad.twus", "TWUSRSPC");
    EXPECT_EQ(Run({"--compare", (temp.path() / "bad.twus").string(), "10.9.8.7/HEADLESS01"}), 2);
    EXPECT_TRUE(err.str().starts_with("Old user space: " + (temp.path() / "bad.twus").string() +
                                      ": at byte offset 8: the file ends"))
        << err.str();
}

}  // namespace
}  // namespace twds

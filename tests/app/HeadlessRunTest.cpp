#include "ResultAssertions.h"
#include "twds/HeadlessRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <tuple>

#include "ModelPages.h"
#include "TempFolder.h"
#include "TestSupport.h"
#include "twds/DisplayCommand.h"
#include "twds/Export.h"
#include "twds/FileRegistryStore.h"
#include "twds/TerminalText.h"
#include "twds/ViewerEnvironment.h"

namespace twds {
namespace {

namespace fs = std::filesystem;
using test::ScopedEnvironment;

constexpr std::string_view kCXBanner = "++++++++++ Page CX ++++++++++++++++++++++++++++\r\n";

class HeadlessRunTest : public ::testing::Test {
protected:
    HeadlessRunTest()
        : registryFolder(temp.path() / "registry"),
          registryVariable("TWDSPUSRSPC_REGISTRY", registryFolder.string()),
          hostLinkVariable("TWDSPUSRSPC_HOSTLINK", std::nullopt),
          storeVariable("TWDSPUSRSPC_STORE", std::nullopt),
          dataVariable("XDG_DATA_HOME", (temp.path() / "xdg").string()) {
        test::UserSpaceModel model;
        model.files = {{"CUSTMAST01", 2, 700, {"INSERT INTO CUSTMAST", "", "", ""}},
                       {"ORDERS0002", 3, 0, {}}};
        model.endOffset = 4000;
        model.endLength = 30;
        model.endPage = "TWEND00001Closing text";
        pages = test::BuildPages(model);
        SaveModel();
        fs::create_directories(temp.path() / "out");
    }

    void SaveModel() {
        fs::create_directories(temp.path() / "store" / "10.9.8.7");
        test::WriteBytes(temp.path() / "store" / "10.9.8.7" / "HEADLESS01.twus",
                         test::ToSavedUserSpace(pages));
    }

    void SetRegistry(Hive hive, std::string_view key, std::string_view name,
                     const std::string& value) {
        FileRegistryStore registry(registryFolder);
        ASSERT_TRUE(test::Succeeded(EnsureRegistryKey(registry, hive, key)));
        ASSERT_TRUE(test::Succeeded(StoreRegistryValue(registry, hive, key, name, value, kRegSz)));
    }

    void SetDataPath() {
        SetRegistry(Hive::LocalMachine, kDataPathKey, kDataPathValue,
                    (temp.path() / "out" / "DATA").string());
    }

    int Run(std::vector<std::string> arguments, std::string_view terminalCodeset = {}) {
        out.str("");
        err.str("");
        return RunHeadless(ParseCommandLine(arguments), out, err, terminalCodeset);
    }

    void SetFrench() {
        SetRegistry(Hive::CurrentUser, "SOFTWARE\\Vellmar\\Vellmar Lumen\\Manager\\Settings",
                    "Language", "FR");
    }

    [[nodiscard]] std::string Store() const { return (temp.path() / "store").string(); }
    // The line that says where the pages came from.
    [[nodiscard]] std::string SourceLine() const {
        return "Source: the saved user space " +
               (temp.path() / "store" / "10.9.8.7" / "HEADLESS01.twus").string() + "\n";
    }
    [[nodiscard]] fs::path DataPathFile() const {
        return temp.path() / "out" / "HEADLESS01.usrspc";
    }

    test::TempFolder temp;
    fs::path registryFolder;
    ScopedEnvironment registryVariable;
    ScopedEnvironment hostLinkVariable;
    ScopedEnvironment storeVariable;
    ScopedEnvironment dataVariable;
    test::PageMap pages;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(HeadlessRunTest, ExportsWhereTheButtonWouldAndToChosenOutputs) {
    SetDataPath();
    EXPECT_EQ(Run({"--export", "--store", Store(), " 10.9.8.7 / headless01 "}), 0) << err.str();
    EXPECT_EQ(err.str(), SourceLine() + "Exported to " + DataPathFile().string() + "\n");
    EXPECT_EQ(out.str(), "");
    const std::string exported = test::ReadBytes(DataPathFile());
    EXPECT_EQ(exported.substr(0, kCXBanner.size()), kCXBanner);
    EXPECT_NE(exported.find("\r\nClosing text\r\n"), std::string::npos);

    EXPECT_EQ(Run({"--export", "--output=-", "--store", Store(), "10.9.8.7/HEADLESS01"}), 0);
    EXPECT_EQ(err.str(), SourceLine());
    EXPECT_EQ(out.str(), exported);

    const fs::path chosen = temp.path() / "chosen.txt";
    EXPECT_EQ(
        Run({"--export", "--output", chosen.string(), "--store", Store(), "10.9.8.7/HEADLESS01"}),
        0);
    EXPECT_EQ(test::ReadBytes(chosen), exported);
}

TEST_F(HeadlessRunTest, FailedDisplayWithNothingShownWritesNothingAndSaysWhyInTheSetLanguage) {
    SetDataPath();
    EXPECT_EQ(Run({"--export", "--store", Store(), "10.9.9.9/HEADLESS01"}), 1);
    EXPECT_TRUE(err.str().starts_with("Connection failed to the machine 10.9.9.9. The rasion : "))
        << err.str();
    EXPECT_EQ(std::ranges::count(std::string_view(err.str()), '\n'), 1) << err.str();
    EXPECT_FALSE(fs::exists(DataPathFile()));

    EXPECT_EQ(Run({"--export", "--output=-", "--store", Store(), "10.9.8.7/SHORT"}), 1);
    EXPECT_EQ(err.str(), "The user space name must have exactly 10 characters: SHORT\n");
    EXPECT_EQ(out.str(), "");

    SetFrench();
    EXPECT_EQ(Run({"--export", "--store", Store(), "10.9.9.9/HEADLESS01"}), 1);
    EXPECT_TRUE(
        err.str().starts_with("Echec de la connection \xE0 la machine 10.9.9.9. La cause : "))
        << err.str();
}

// The host link's own causes follow the language too.
TEST_F(HeadlessRunTest, SavedHostLinkCausesAreInTheSetLanguage) {
    const std::string folder = (temp.path() / "store" / "10.9.8.7").string();
    EXPECT_EQ(Run({"--export", "--output=-", "--store", Store(), "10.9.8.7/NOSUCHNAME"}), 1);
    EXPECT_EQ(err.str(),
              "Page C (position 1024) could not be retrieved. The reason: The user space "
              "NOSUCHNAME is not saved for the machine 10.9.8.7: there is no file NOSUCHNAME.twus "
              "in " +
                  folder + ".\n");

    SetRegistry(Hive::CurrentUser, "SOFTWARE\\Vellmar\\Vellmar Lumen\\Manager\\Settings",
                "Language", "FR");
    EXPECT_EQ(Run({"--export", "--output=-", "--store", Store(), "10.9.8.7/NOSUCHNAME"}), 1);
    EXPECT_EQ(err.str(),
              "La page C (position 1024) n'a pas pu \xEAtre lue. La cause : L'espace de travail "
              "NOSUCHNAME n'est pas enregistr\xE9 pour la machine 10.9.8.7 : il n'y a pas de "
              "fichier NOSUCHNAME.twus dans " +
                  folder + ".\n");

    test::WriteBytes(temp.path() / "store" / "10.9.8.7" / "NOTSAVED01.twus", "GIF89a\n");
    EXPECT_EQ(Run({"--export", "--output=-", "--store", Store(), "10.9.8.7/NOTSAVED01"}), 1);
    EXPECT_EQ(err.str(),
              "La page C (position 1024) n'a pas pu \xEAtre lue. La cause : " + folder +
                  "/NOTSAVED01.twus : \xE0 l'octet 0 : la ligne d'en-t\xEAte \"TWUSRSPC PAGES "
                  "1\" \xE9tait attendue, \"GIF89a\" a \xE9t\xE9 trouv\xE9. Ce n'est pas un "
                  "fichier d'espace de travail enregistr\xE9.\n");
}

TEST_F(HeadlessRunTest, DisplayStoppedPartWayIsStillExported) {
    SetDataPath();
    pages.erase({'Z', 2560});
    SaveModel();
    EXPECT_EQ(Run({"--export", "--store", Store(), "10.9.8.7/HEADLESS01"}), 1);
    EXPECT_TRUE(err.str().starts_with(
        SourceLine() + "Page Z (position 2560) of file 2 could not be retrieved. The reason: "))
        << err.str();
    EXPECT_NE(err.str().find("\nExported to " + DataPathFile().string() + "\n"), std::string::npos);
    const std::string exported = test::ReadBytes(DataPathFile());
    EXPECT_NE(exported.find("ORDERS0002"), std::string::npos);
}

TEST_F(HeadlessRunTest, ExportFailureGivesStatusOne) {
    EXPECT_EQ(Run({"--export", "--store", Store(), "10.9.8.7/HEADLESS01"}), 1);
    EXPECT_TRUE(
        err.str().starts_with(SourceLine() +
                              "Export failed: the registry value "
                              "HKEY_LOCAL_MACHINE\\SOFTWARE\\Orinex\\Tidewell\\TW_CFG\\DataPath"))
        << err.str();
    EXPECT_NE(err.str().find((registryFolder / "HKEY_LOCAL_MACHINE.reg").string()),
              std::string::npos);
}

// Standard error is read on a terminal: the Windows-1252 texts are converted
// to its encoding, and the advice fits a run without a dialog.
TEST_F(HeadlessRunTest, MessagesAreInTheTerminalsEncodingWithAdviceForTheCommandLine) {
    SetFrench();
    SetDataPath();
    EXPECT_EQ(Run({"--export", "--store", Store(), "10.9.8.7/HEADLESS01"}, "UTF-8"), 0);
    EXPECT_TRUE(err.str().ends_with("Export\xC3\xA9 dans " + DataPathFile().string() + "\n"))
        << err.str();
    EXPECT_EQ(Run({"--export", "--store", Store(), "10.9.8.7/HEADLESS01"}, "ISO-8859-15"), 0);
    EXPECT_TRUE(err.str().ends_with("Export\xE9 dans " + DataPathFile().string() + "\n"))
        << err.str();

    SetRegistry(Hive::LocalMachine, kDataPathKey, kDataPathValue, "abc");
    EXPECT_EQ(Run({"--export", "--store", Store(), "10.9.8.7/HEADLESS01"}, "UTF-8"), 1);
    EXPECT_TRUE(
        err.str().ends_with(" Utilisez --output FICHIER pour l'\xC3\xA9"
                            "crire ailleurs.\n"))
        << err.str();
}

TEST(TerminalTextTest, ConvertsTheCodePageAndMarksWhatCannotBeShown) {
    // e acute, the euro sign, the oe ligature, a byte the code page leaves undefined
    EXPECT_EQ(AnsiToTerminal("\xE9\x80\x9C\x81!", "UTF-8"), "\xC3\xA9\xE2\x82\xAC\xC5\x93?!");
    EXPECT_EQ(AnsiToTerminal("\xE9\x80", "ISO-8859-15"), "\xE9\xA4");
    EXPECT_EQ(AnsiToTerminal("caf\xE9", "ANSI_X3.4-1968"), "caf?");
    EXPECT_EQ(AnsiToTerminal("\xE9", ""), "\xE9");
}

TEST_F(HeadlessRunTest, UsageHelpAndVersion) {
    EXPECT_EQ(Run({"--export", "10.9.8.7"}), 2);
    EXPECT_TRUE(err.str().starts_with("twDspUsrSpc: --export needs ADDRESS/NAME")) << err.str();
    EXPECT_NE(err.str().find("--help"), std::string::npos);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(Run({"--colour=red"}), 2);

    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_EQ(out.str(), UsageText());
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(Run({"--version"}), 0);
    EXPECT_EQ(out.str(), "twDspUsrSpc 1.0.0\n");
}

TEST_F(HeadlessRunTest, HostLinkThatCannotStartIsReported) {
    const std::string library = (temp.path() / "missing" / "libDllParam.so").string();
    EXPECT_EQ(Run({"--export", "--hostlink", library, "10.9.8.7/HEADLESS01"}), 1);
    EXPECT_TRUE(err.str().starts_with("The host link could not be started: ")) << err.str();

    // The window still gets a host link: its connections fail with that reason.
    ViewerEnvironment environment(ParseCommandLine({"--hostlink", library}),
                                  [](const std::string&, const std::string&) {});
    EXPECT_FALSE(environment.hostLinkStarted());
    DisplayCommand display(environment.hostLink(), environment.labels());
    display.address = "10.9.8.7";
    display.userSpaceName = "HEADLESS01";
    EXPECT_EQ(display.run().stage, DisplayOutcome::Stage::ConnectFailed);
    EXPECT_EQ(
        DescribeOutcome(display, environment.messages()),
        "Connection failed to the machine 10.9.8.7. The rasion : " + environment.hostLinkError());
}

// The window opens on a command line it does not fully understand, and says
// what it ignored before anything else.
TEST_F(HeadlessRunTest, WindowNoticesWhatItIgnored) {
    const CommandLine line = ParseCommandLine({"--store", Store(), "-psn_0_1", "--bogus=1", "a/b"});
    const ViewerEnvironment environment(line, [](const std::string&, const std::string&) {});
    EXPECT_EQ(environment.startupNotice(line), "Ignored on the command line: -psn_0_1 --bogus=1");
    const CommandLine plain = ParseCommandLine({"--store", Store()});
    EXPECT_EQ(environment.startupNotice(plain), "");

    const CommandLine broken = ParseCommandLine({"--hostlink", Store() + "/none.so", "--x"});
    const ViewerEnvironment withoutLink(broken, [](const std::string&, const std::string&) {});
    EXPECT_EQ(withoutLink.startupNotice(broken),
              withoutLink.hostLinkError() + "\nIgnored on the command line: --x");
}

// A mistyped store is named, never replaced by the bundled samples.
TEST_F(HeadlessRunTest, MissingStoreIsReportedInsteadOfTheSamples) {
    const std::string missing = (temp.path() / "nonexistent").string();
    EXPECT_EQ(Run({"--export", "--store", missing, "--output", "-", "127.0.0.1/TWMODEL001"}), 1);
    EXPECT_EQ(err.str(), "The host link could not be started: The folder of saved user spaces " +
                             missing +
                             " does not exist. Check the folder given with --store or "
                             "$TWDSPUSRSPC_STORE.\n");
    EXPECT_EQ(out.str(), "");

    SetRegistry(Hive::CurrentUser, "SOFTWARE\\Vellmar\\Vellmar Lumen\\Manager\\Settings",
                "Language", "FR");
    ScopedEnvironment namedStore("TWDSPUSRSPC_STORE", missing);
    EXPECT_EQ(Run({"--export", "--output", "-", "127.0.0.1/TWMODEL001"}), 1);
    EXPECT_EQ(err.str(),
              "La liaison avec la machine n'a pas pu \xEAtre d\xE9marr\xE9"
              "e : Le dossier d'espaces "
              "de travail enregistr\xE9s " +
                  missing +
                  " n'existe pas. V\xE9rifiez le dossier donn\xE9 avec --store ou "
                  "$TWDSPUSRSPC_STORE.\n");
    EXPECT_EQ(out.str(), "");
}

TEST_F(HeadlessRunTest, CatalogueLoadFailureIsReportedOnce) {
    std::vector<std::string> reports;
    ViewerEnvironment environment(
        ParseCommandLine({}),
        [&](const std::string& title, const std::string& text) {
            reports.push_back(title + ": " + text);
        },
        temp.path() / "no-catalogue");
    // Labels stay empty, but the viewer's own messages still explain.
    EXPECT_EQ(environment.messages()(message::kInputMissing, {}),
              "Enter the machine's IP address and the user space name, then press Display.");
    EXPECT_EQ(environment.labels()(5403), "");
    EXPECT_EQ(reports, std::vector<std::string>{"Load ressources: Unable to load " +
                                                (temp.path() / "no-catalogue").string() +
                                                "/twmgr.ressource.EN file"});
}

// Where two exports part: the line number and both lines, for a failure
// message that a long export does not drown.
std::string FirstDifference(std::string_view written, std::string_view expected) {
    std::size_t line = 1;
    std::size_t start = 0;
    const std::size_t common = std::min(written.size(), expected.size());
    for (std::size_t i = 0; i < common && written[i] == expected[i]; ++i) {
        if (written[i] == '\n') {
            ++line;
            start = i + 1;
        }
    }
    const auto lineAt = [start](std::string_view text) {
        return std::string(text.substr(start, text.find('\n', start) - start));
    };
    return "line " + std::to_string(line) + ": written \"" + lineAt(written) + "\", expected \"" +
           lineAt(expected) + "\"";
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
        for (const auto& [store, target, name] :
             {std::tuple<std::string, std::string, std::string>{"", "127.0.0.1/TWMODEL001",
                                                                "TWMODEL001"},
              {(data / "store").string(), "10.0.0.9/EDGEMODL01", "EDGEMODL01"}}) {
            SCOPED_TRACE(name + " " + language);
            std::vector<std::string> arguments{"--export", "--output", "-", target};
            if (!store.empty()) {
                arguments.insert(arguments.begin(), {"--store", store});
            }
            ASSERT_EQ(Run(arguments), 0) << err.str();
            const std::string expected =
                test::ReadBytes(data / ("export-" + name + "." + language + ".usrspc"));
            ASSERT_FALSE(expected.empty());
            EXPECT_TRUE(out.str() == expected) << FirstDifference(out.str(), expected);
        }
    }
}

}  // namespace
}  // namespace twds

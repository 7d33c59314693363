#include <gtest/gtest.h>

#include <map>
#include <string>

#include "HostLinkCalls.h"
#include "ResultAssertions.h"
#include "TempFolder.h"
#include "TestSupport.h"
#include "twds/HostLinkFactory.h"

namespace twds {
namespace {

using Environment = std::map<std::string, std::string>;
using Paths = std::vector<std::filesystem::path>;

HostLinkChoice Resolve(const std::filesystem::path& library, const std::filesystem::path& store,
                       const std::filesystem::path& executableFolder,
                       const Environment& environment) {
    return ResolveHostLinkChoice(
        library, store, executableFolder,
        [&environment](const char* name) -> std::optional<std::string> {
            const auto found = environment.find(name);
            return found != environment.end() ? found->second : std::optional<std::string>();
        });
}

// The user's own data folder, where saved user spaces are looked for when no
// store is named.
#ifdef _WIN32
const Environment kUserFolders = {{"LOCALAPPDATA", "/local"}, {"APPDATA", "/roaming"}};
const std::filesystem::path kUserStore = "/local/twDspUsrSpc/userspaces";
#else
const Environment kUserFolders = {{"XDG_DATA_HOME", "/xdg"}, {"HOME", "/home/u"}};
const std::filesystem::path kUserStore = "/xdg/twDspUsrSpc/userspaces";
#endif

TEST(ResolveHostLinkChoice, OptionThenVariableThenUserDataFolder) {
    Environment all = kUserFolders;
    all["TWDSPUSRSPC_STORE"] = "/env/store";
    all["TWDSPUSRSPC_HOSTLINK"] = "/env/libDllParam.so";
    const HostLinkChoice fromOption = Resolve("/opt/libX.so", "/opt/store", "/nowhere/bin", all);
    EXPECT_EQ(fromOption.stores, Paths{"/opt/store"});
    EXPECT_EQ(fromOption.namedStore, "/opt/store");
    EXPECT_EQ(fromOption.library, "/opt/libX.so");
    const HostLinkChoice fromVariable = Resolve("", "", "/nowhere/bin", all);
    EXPECT_EQ(fromVariable.stores, Paths{"/env/store"});
    EXPECT_EQ(fromVariable.namedStore, "/env/store");
    EXPECT_EQ(fromVariable.library, "/env/libDllParam.so");

    // The user's data folder is not named: it need not exist.
    Environment noStore = kUserFolders;
    const HostLinkChoice fromUserFolder = Resolve("", "", "/nowhere/bin", noStore);
    EXPECT_EQ(fromUserFolder.stores, Paths{kUserStore});
    EXPECT_EQ(fromUserFolder.namedStore, "");
    noStore["TWDSPUSRSPC_STORE"] = "";
#ifdef _WIN32
    // Without a local application-data folder, the roaming one.
    noStore["LOCALAPPDATA"] = "";
    EXPECT_EQ(Resolve("", "", "/nowhere/bin", noStore).stores,
              Paths{"/roaming/twDspUsrSpc/userspaces"});
#else
    // An empty or relative $XDG_DATA_HOME falls back on the home folder.
    for (const char* xdg : {"", "relative/data"}) {
        noStore["XDG_DATA_HOME"] = xdg;
        EXPECT_EQ(Resolve("", "", "/nowhere/bin", noStore).stores,
                  Paths{"/home/u/.local/share/twDspUsrSpc/userspaces"});
    }
    EXPECT_TRUE(Resolve("", "", "/nowhere", {}).library.empty());
#endif
    EXPECT_TRUE(Resolve("", "", "/nowhere/bin", {}).stores.empty());
}

TEST(ResolveHostLinkChoice, BundledSamplesComeLastFromTheBuildOrTheInstalledLayout) {
    test::TempFolder root;
    std::filesystem::create_directories(root.path() / "bin");
    const auto shared = root.path() / "share" / "twDspUsrSpc" / "samples";
    std::filesystem::create_directories(shared);
    const HostLinkChoice installed = Resolve("", "/opt/store", root.path() / "bin", kUserFolders);
    EXPECT_EQ(installed.stores, (Paths{"/opt/store", shared}));
    EXPECT_EQ(installed.samples, shared);

    std::filesystem::create_directories(root.path() / "bin" / "samples");
    const HostLinkChoice built = Resolve("", "", root.path() / "bin", kUserFolders);
    EXPECT_EQ(built.stores, (Paths{kUserStore, root.path() / "bin" / "samples"}));
    EXPECT_EQ(built.samples, root.path() / "bin" / "samples");
    EXPECT_EQ(Resolve("", "", "/nowhere/bin", kUserFolders).samples, "");
}

// Without a library, pages come from the stores, those of the bundled
// samples told apart from the user's own.
TEST(CreateHostLink, WithoutALibraryServesSavedUserSpacesFromTheStores) {
    test::TempFolder root;
    const auto sample = root.write("bin/samples/127.0.0.1/M.twus", "TWUSRSPC PAGES 1\n");
    const auto own = root.write("store/10.0.0.1/M.twus", "TWUSRSPC PAGES 1\nC 00001024 2\nok\n");
    std::string error;
    auto link = test::ValueOr(
        CreateHostLink(Resolve("", root.path() / "store", root.path() / "bin", {})), error);
    ASSERT_NE(link, nullptr) << error;
    const std::tuple<std::string, PageSource::Kind, std::filesystem::path, std::string> cases[] = {
        {"127.0.0.1", PageSource::Kind::Sample, sample, "failed"},
        {"10.0.0.1", PageSource::Kind::SavedFile, own, "ok  "}};
    for (const auto& [address, kind, path, answer] : cases) {
        int32_t connection = 0;
        ASSERT_NE(test::OpenConnection(*link, address, connection), 0);
        std::string name = "M         ";
        std::string page = " 00001024C";
        page = link->fnDllParamRtvUserspace(name, page) != 0 ? page.substr(0, 4) : "failed";
        EXPECT_EQ(page, answer);
        link->fnDllParamCloseMConnection(connection);
        EXPECT_EQ(link->pageSource().kind, kind) << address;
        EXPECT_EQ(link->pageSource().path, path);
    }
}

// A store named by the user that is missing or not a folder stops the host
// link from starting instead of leaving the samples to answer.
TEST(CreateHostLink, NamedStoreThatIsNoFolderIsRefused) {
    test::TempFolder temp;
    const auto file = temp.write("plain.twus", "TWUSRSPC PAGES 1\n");
    const std::string missing = (temp.path() / "missing").string();
    HostLinkChoice choice;
    std::string error;
    const std::pair<std::filesystem::path, std::string> cases[] = {
        {missing, "The folder of saved user spaces " + missing +
                      " does not exist. Check the folder given with --store or "
                      "$TWDSPUSRSPC_STORE."},
        {file, "The folder of saved user spaces " + file.string() +
                   " is not a folder. Check the path given with --store or $TWDSPUSRSPC_STORE."},
    };
    for (const auto& [store, expected] : cases) {
        choice.namedStore = store;
        choice.stores = {store, temp.path()};
        EXPECT_EQ(test::ValueOr(CreateHostLink(choice), error), nullptr) << store;
        EXPECT_EQ(error, expected);
    }
    EXPECT_EQ(test::ValueOr(CreateHostLink(choice, test::EchoLookup), error), nullptr);
    EXPECT_EQ(error, "5366|" + file.string());

    choice.namedStore = temp.path();
    EXPECT_NE(test::ValueOr(CreateHostLink(choice), error), nullptr) << error;
}

}  // namespace
}  // namespace twds

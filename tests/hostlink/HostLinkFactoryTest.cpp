#include <gtest/gtest.h>

#include <map>
#include <string>

#include "HostLinkCalls.h"
#include "ResultAssertions.h"
#include "TempFolder.h"
#include "TestSupport.h"
#include "twds/HostLinkFactory.h"
#include "twds/SavedUserSpaceHostLink.h"

namespace twds {
namespace {

using Environment = std::map<std::string, std::string>;

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

using Paths = std::vector<std::filesystem::path>;

// The user's own data folder, where saved user spaces are looked for when no
// store is named.
#ifdef _WIN32
const Environment kUserFolders = {{"LOCALAPPDATA", "/local"}, {"APPDATA", "/roaming"}};
const std::filesystem::path kUserStore = "/local/twDspUsrSpc/userspaces";
#else
const Environment kUserFolders = {{"XDG_DATA_HOME", "/xdg"}, {"HOME", "/home/u"}};
const std::filesystem::path kUserStore = "/xdg/twDspUsrSpc/userspaces";
#endif

TEST(ResolveHostLinkChoice, StoreOptionThenVariableThenUserDataFolder) {
    Environment all = kUserFolders;
    all["TWDSPUSRSPC_STORE"] = "/env/store";
    const HostLinkChoice fromOption = Resolve("", "/opt/store", "/nowhere/bin", all);
    EXPECT_EQ(fromOption.stores, Paths{"/opt/store"});
    EXPECT_EQ(fromOption.namedStore, "/opt/store");
    const HostLinkChoice fromVariable = Resolve("", "", "/nowhere/bin", all);
    EXPECT_EQ(fromVariable.stores, Paths{"/env/store"});
    EXPECT_EQ(fromVariable.namedStore, "/env/store");

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
#endif

    EXPECT_TRUE(Resolve("", "", "/nowhere/bin", {}).stores.empty());
}

TEST(ResolveHostLinkChoice, BundledSamplesComeLastFromTheBuildOrTheInstalledLayout) {
    test::TempFolder root;
    std::filesystem::create_directories(root.path() / "bin");
    std::filesystem::create_directories(root.path() / "share" / "twDspUsrSpc" / "samples");

    const HostLinkChoice installed = Resolve("", "/opt/store", root.path() / "bin", kUserFolders);
    EXPECT_EQ(installed.stores,
              (Paths{"/opt/store", root.path() / "share" / "twDspUsrSpc" / "samples"}));
    EXPECT_EQ(installed.samples, root.path() / "share" / "twDspUsrSpc" / "samples");

    std::filesystem::create_directories(root.path() / "bin" / "samples");
    const HostLinkChoice built = Resolve("", "", root.path() / "bin", kUserFolders);
    EXPECT_EQ(built.stores, (Paths{kUserStore, root.path() / "bin" / "samples"}));
    EXPECT_EQ(built.samples, root.path() / "bin" / "samples");

    EXPECT_EQ(Resolve("", "", "/nowhere/bin", kUserFolders).samples, "");
}

TEST(ResolveHostLinkChoice, LibraryOptionThenVariable) {
    const Environment environment = {{"TWDSPUSRSPC_HOSTLINK", "/env/libDllParam.so"}};
    EXPECT_EQ(Resolve("/opt/libX.so", "", "/nowhere", environment).library, "/opt/libX.so");
    EXPECT_EQ(Resolve("", "", "/nowhere", environment).library, "/env/libDllParam.so");
#ifndef _WIN32
    EXPECT_TRUE(Resolve("", "", "/nowhere", {}).library.empty());
#endif
}

TEST(CreateHostLink, WithoutALibraryServesSavedUserSpacesFromTheStores) {
    test::TempFolder store;
    store.write("127.0.0.1/M.twus", "TWUSRSPC PAGES 1\nC 00001024 2\nok\n");
    HostLinkChoice choice;
    choice.stores = {store.path()};
    std::string error;
    auto link = test::ValueOr(CreateHostLink(choice), error);
    ASSERT_NE(link, nullptr) << error;
    ASSERT_NE(dynamic_cast<SavedUserSpaceHostLink*>(link.get()), nullptr);

    int32_t connection = 0;
    ASSERT_NE(test::OpenConnection(*link, "127.0.0.1", connection), 0);
    std::string name = "M         ";
    std::string page = " 00001024C  ";
    ASSERT_NE(link->fnDllParamRtvUserspace(name, page), 0);
    EXPECT_EQ(page, "ok          ");
}

// Pages read from the bundled samples are told apart from the user's own.
TEST(CreateHostLink, PageSourceTellsTheSamplesFromTheUsersStore) {
    test::TempFolder root;
    const auto sample = root.write("bin/samples/127.0.0.1/M.twus", "TWUSRSPC PAGES 1\n");
    const auto own = root.write("store/10.0.0.1/M.twus", "TWUSRSPC PAGES 1\n");
    std::string error;
    auto link = test::ValueOr(
        CreateHostLink(Resolve("", root.path() / "store", root.path() / "bin", {})), error);
    ASSERT_NE(link, nullptr) << error;

    const std::pair<std::string, PageSource::Kind> cases[] = {
        {"127.0.0.1", PageSource::Kind::Sample}, {"10.0.0.1", PageSource::Kind::SavedFile}};
    for (const auto& [address, kind] : cases) {
        int32_t connection = 0;
        ASSERT_NE(test::OpenConnection(*link, address, connection), 0);
        std::string name = "M";
        std::string page = " 00001024C  ";
        EXPECT_EQ(link->fnDllParamRtvUserspace(name, page), 0) << "the file has no pages";
        link->fnDllParamCloseMConnection(connection);
        EXPECT_EQ(link->pageSource().kind, kind) << address;
        EXPECT_EQ(link->pageSource().path, kind == PageSource::Kind::Sample ? sample : own);
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

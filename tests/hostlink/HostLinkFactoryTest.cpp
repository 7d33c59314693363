#include <gtest/gtest.h>

#include <map>
#include <string>

#include "HostLinkCalls.h"
#include "TempFolder.h"
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
    EXPECT_EQ(Resolve("", "/opt/store", "/nowhere/bin", all).stores, Paths{"/opt/store"});
    EXPECT_EQ(Resolve("", "", "/nowhere/bin", all).stores, Paths{"/env/store"});

    Environment noStore = kUserFolders;
    EXPECT_EQ(Resolve("", "", "/nowhere/bin", noStore).stores, Paths{kUserStore});
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

    EXPECT_EQ(Resolve("", "/opt/store", root.path() / "bin", kUserFolders).stores,
              (Paths{"/opt/store", root.path() / "share" / "twDspUsrSpc" / "samples"}));

    std::filesystem::create_directories(root.path() / "bin" / "samples");
    EXPECT_EQ(Resolve("", "", root.path() / "bin", kUserFolders).stores,
              (Paths{kUserStore, root.path() / "bin" / "samples"}));
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
    auto link = CreateHostLink(choice, error);
    ASSERT_NE(link, nullptr) << error;
    ASSERT_NE(dynamic_cast<SavedUserSpaceHostLink*>(link.get()), nullptr);

    int32_t connection = 0;
    ASSERT_NE(test::OpenConnection(*link, "127.0.0.1", connection), 0);
    std::string name = "M         ";
    std::string page = " 00001024C  ";
    ASSERT_NE(link->fnDllParamRtvUserspace(name, page), 0);
    EXPECT_EQ(page, "ok          ");
}

}  // namespace
}  // namespace twds

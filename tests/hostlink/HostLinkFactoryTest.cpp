#include <map>
#include <string>

#include <gtest/gtest.h>

#include "HostLinkCalls.h"
#include "ResultAssertions.h"
#include "TempFolder.h"
#include "TestSupport.h"
#include "twds/HostLinkFactory.h"

namespace twds {
namespace {

using Environment = std::map<std::string, std::string>;
using Paths = std::vector<std::filesystem::path>;

HostLinkChoice Resolve(const std::filesystem::path& store,
                       const std::filesystem::path& executableFolder,
                       const Environment& environment) {
    return ResolveHostLinkChoice("", store, executableFolder, [&environment](const char* name) {
        const auto found = environment.find(name);
        return found != environment.end() ? std::optional(found->second) : std::nullopt;
    });
}

// --store, then $TWDSPUSRSPC_STORE, then the user's data folder (not named
// by the user: it need not exist), each followed by the bundled samples.
TEST(ResolveHostLinkChoice, StoreOptionThenVariableThenUserDataFolderThenSamples) {
    test::TempFolder root;
    const auto samples = root.path() / "bin" / "samples";
    std::filesystem::create_directories(samples);
#ifdef _WIN32
    Environment environment = {{"LOCALAPPDATA", "/local"}};
    const std::filesystem::path userStore = "/local/twDspUsrSpc/userspaces";
#else
    Environment environment = {{"XDG_DATA_HOME", "relative/data"}, {"HOME", "/home/u"}};
    const std::filesystem::path userStore = "/home/u/.local/share/twDspUsrSpc/userspaces";
#endif
    const auto bin = root.path() / "bin";
    const HostLinkChoice fromUserFolder = Resolve("", bin, environment);
    EXPECT_EQ(fromUserFolder.stores, (Paths{userStore, samples}));
    EXPECT_EQ(fromUserFolder.namedStore, "");
    environment["TWDSPUSRSPC_STORE"] = "/env/store";
    environment["TWDSPUSRSPC_HOSTLINK"] = "/env/libDllParam.so";
    EXPECT_EQ(Resolve("", bin, environment).namedStore, "/env/store");
    const HostLinkChoice fromOption = Resolve("/opt/store", bin, environment);
    EXPECT_EQ(fromOption.stores, (Paths{"/opt/store", samples}));
    EXPECT_EQ(fromOption.namedStore, "/opt/store");
    EXPECT_EQ(fromOption.library, "/env/libDllParam.so");
}

// A store named by the user that is missing or not a folder stops the host
// link from starting instead of leaving the samples to answer.
TEST(CreateHostLink, NamedStoreThatIsNoFolderIsRefused) {
    test::TempFolder temp;
    const auto file = temp.write("plain.twus", "TWUSRSPC PAGES 1\n");
    const std::string missing = (temp.path() / "missing").string();
    const std::pair<std::filesystem::path, std::string> cases[] = {{missing, "5365|" + missing},
                                                                   {file, "5366|" + file.string()}};
    HostLinkChoice choice;
    std::string error;
    for (const auto& [store, expected] : cases) {
        choice.namedStore = store;
        choice.stores = {store, temp.path()};
        EXPECT_EQ(test::ValueOr(CreateHostLink(choice, test::EchoLookup), error), nullptr) << store;
        EXPECT_EQ(error, expected);
    }
}

// Without a library, the first store with a folder for the machine answers
// for it, the bundled samples told apart from the user's own.
TEST(CreateHostLink, WithoutALibraryTheFirstStoreWithTheMachineAnswers) {
    test::TempFolder root;
    const auto sample = root.write("bin/samples/127.0.0.1/M.twus", "TWUSRSPC PAGES 1\n");
    root.write("bin/samples/10.0.0.1/M.twus", "TWUSRSPC PAGES 1\nC 00001024 6\nsample\n");
    const auto own = root.write("store/10.0.0.1/M.twus", "TWUSRSPC PAGES 1\nC 00001024 2\nok\n");
    std::string error;
    auto link = test::ValueOr(
        CreateHostLink(Resolve(root.path() / "store", root.path() / "bin", {})), error);
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

}  // namespace
}  // namespace twds

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "HostLinkCalls.h"
#include "TempFolder.h"
#include "TestSupport.h"
#include "twds/SavedUserSpaceHostLink.h"

namespace twds {
namespace {

using namespace std::string_literals;
using test::PageRequest;

const std::string kModel =
    "TWUSRSPC PAGES 1\n"
    "C 00001024 12\nCX page \0\xE9!!\n"
    "# the Z page is longer than a short request\n"
    "Z 00002048 6\nZZZZZZ\n"s;

class SavedUserSpaceHostLinkTest : public ::testing::Test {
protected:
    SavedUserSpaceHostLinkTest() { store.write("127.0.0.1/TWMODEL001.twus", kModel); }

    int32_t open(std::string machine) {
        return test::OpenConnection(link, std::move(machine), connection);
    }

    int32_t retrieve(std::string name, std::string& page) {
        return link.fnDllParamRtvUserspace(name, page);
    }

    // The last error's text (up to its NUL) and its category.
    std::pair<std::string, int32_t> lastError() {
        const test::LastError error = test::ReadLastError(link);
        return {error.text, error.code1};
    }

    test::TempFolder store;
    SavedUserSpaceHostLink link{{store.path()}};
    int32_t connection = 0;
};

TEST_F(SavedUserSpaceHostLinkTest, AnswersPaddedOrCutToTheRequestLength) {
    store.write("127.0.0.1/LONG.twus", "TWUSRSPC PAGES 1\nS 00002100 20\n0123456789ABCDEFGHIJ\n");
    store.write("127.0.0.1/AB.twus", "TWUSRSPC PAGES 1\nG 00001024 2\ngc\n");
    ASSERT_NE(open("  127.0.0.1 "), 0) << lastError().first;
    EXPECT_NE(connection, 0);

    std::string page = PageRequest(" 00001024C", 2000);
    ASSERT_NE(retrieve("TWMODEL001", page), 0) << lastError().first;
    ASSERT_EQ(page.size(), 2000u);
    EXPECT_EQ(page.substr(0, 12), "CX page \0\xE9!!"s);
    EXPECT_EQ(page.find_first_not_of(' ', 12), std::string::npos);

    // A page longer than the request is cut; a short name loses its blanks.
    const std::tuple<std::string, std::string_view, std::string> cut[] = {
        {"TWMODEL001", " 00002048Z", "ZZZZZZ      "},
        {"LONG      ", " 00002100S", "0123456789AB"},
        {"AB        ", " 00001024G", "gc"}};
    for (const auto& [name, head, answer] : cut) {
        std::string shortPage = PageRequest(head, 12);
        ASSERT_NE(retrieve(name, shortPage), 0) << lastError().first;
        EXPECT_EQ(shortPage.substr(0, answer.size()), answer);
    }
}

TEST_F(SavedUserSpaceHostLinkTest, MissingPagesFilesAndAddressesAreNamed) {
    ASSERT_NE(open("127.0.0.1"), 0);

    std::string page = PageRequest(" 00002560F", 10000);
    EXPECT_EQ(retrieve("TWMODEL001", page), 0);
    auto [text, code] = lastError();
    EXPECT_EQ(code, SavedUserSpaceHostLink::kMissingPage);
    EXPECT_NE(text.find("TWMODEL001"), std::string::npos) << text;
    EXPECT_NE(text.find("no page of kind F at position 00002560"), std::string::npos) << text;
    EXPECT_EQ(page, PageRequest(" 00002560F", 10000)) << "a failed retrieval leaves the buffer";

    EXPECT_EQ(retrieve("TWMODEL002", page), 0);
    std::tie(text, code) = lastError();
    EXPECT_EQ(code, SavedUserSpaceHostLink::kMissingFile);
    EXPECT_NE(text.find("no file TWMODEL002.twus in " + (store.path() / "127.0.0.1").string()),
              std::string::npos)
        << text;

    EXPECT_EQ(open("10.9.8.7"), 0);
    std::tie(text, code) = lastError();
    EXPECT_EQ(code, SavedUserSpaceHostLink::kNoStore);
    EXPECT_NE(text.find("machine 10.9.8.7"), std::string::npos) << text;
    EXPECT_NE(text.find(store.path().string()), std::string::npos) << text;

    // The last error is cut to the length asked for, its NUL included.
    int32_t code1 = 0;
    int32_t code2 = 0;
    std::string cut(32, ' ');
    link.fnDllParamGetLastError(code1, code2, cut, 16);
    EXPECT_EQ(cut, "No user spaces \0                "s);
}

TEST_F(SavedUserSpaceHostLinkTest, AddressesAndNamesThatLeaveTheStoreAreRefused) {
    store.write("secret/TWMODEL001.twus", kModel);
    store.write("127.0.0.1/sub/X.twus", kModel);
    for (const std::string& address : std::initializer_list<std::string>{
             "../" + store.path().filename().string(), "..", ".", "127.0.0.1/..", "a\\b", "", "   ",
             "127.0.0.1\0"s, store.path().string()}) {
        EXPECT_EQ(open(address), 0) << address;
        EXPECT_EQ(lastError().second, SavedUserSpaceHostLink::kRefusedName) << address;
    }

    ASSERT_NE(open("127.0.0.1"), 0);
    for (const std::string& name : {"../secret/TWMODEL001"s, "sub/X     "s, "sub\\X     "s,
                                    "..        "s, "          "s, "TWMODEL001\0"s, ""s}) {
        std::string page = PageRequest(" 00001024C", 2000);
        EXPECT_EQ(retrieve(name, page), 0) << name;
        const auto [text, code] = lastError();
        EXPECT_EQ(code, SavedUserSpaceHostLink::kRefusedName) << name;
        EXPECT_NE(text.find("cannot name a saved user space file"), std::string::npos) << text;
    }
}

TEST_F(SavedUserSpaceHostLinkTest, MalformedRequestsAreRefused) {
    ASSERT_NE(open("127.0.0.1"), 0);
    for (const std::string& request :
         {"C"s, " 0000102XC"s, "x00001024C"s, " 00001024c     "s, " 00001024"s}) {
        std::string page = request;
        EXPECT_EQ(retrieve("TWMODEL001", page), 0) << request;
        EXPECT_EQ(lastError().second, SavedUserSpaceHostLink::kBadRequest) << request;
        EXPECT_EQ(page, request);
    }
}

TEST_F(SavedUserSpaceHostLinkTest, EachFileIsReadOncePerConnection) {
    // The page TWMODEL001 answers to a request, or "failed".
    const auto page = [&](std::string_view head, std::size_t length) {
        std::string text = PageRequest(head, length);
        return retrieve("TWMODEL001", text) != 0 ? text : "failed";
    };
    const auto reconnect = [&] {
        ASSERT_NE(link.fnDllParamCloseMConnection(connection), 0);
        ASSERT_NE(open("127.0.0.1"), 0);
    };
    ASSERT_NE(open("127.0.0.1"), 0);
    ASSERT_NE(page(" 00001024C", 20), "failed");

    // Replaced on disk while the connection is open: the connection goes on
    // with what it read first.
    store.write("127.0.0.1/TWMODEL001.twus", "TWUSRSPC PAGES 1\nC 00001024 3\nnew\n");
    EXPECT_EQ(page(" 00001024C", 20).substr(0, 8), "CX page ");
    EXPECT_NE(page(" 00002048Z", 20), "failed");
    reconnect();
    EXPECT_EQ(page(" 00001024C", 20).substr(0, 4), "new ");

    // Each connection reads the file again, shorter or longer than the one
    // before, into the memory the previous read used.
    store.write("127.0.0.1/TWMODEL001.twus", "TWUSRSPC PAGES 1\nC 00001024 2\nC2\n");
    reconnect();
    EXPECT_EQ(page(" 00001024C", 20).substr(0, 3), "C2 ");
    EXPECT_EQ(page(" 00002048Z", 20), "failed");
    store.write("127.0.0.1/TWMODEL001.twus",
                kModel + "F 00004096 300\n" + std::string(300, 'f') + "\n");
    reconnect();
    EXPECT_EQ(page(" 00004096F", 400), std::string(300, 'f') + std::string(100, ' '));
    EXPECT_EQ(page(" 00001024C", 20).substr(0, 12), "CX page \0\xE9!!"s);
}

// The file read is the source until the next connection, past its close;
// a file that could not be read is none.
TEST_F(SavedUserSpaceHostLinkTest, PageSourceIsTheFileTheLastConnectionRead) {
    store.write("127.0.0.1/BROKEN.twus", "TWUSRSPC PAGES 2\n");
    EXPECT_EQ(link.pageSource().kind, PageSource::Kind::Unknown);
    ASSERT_NE(open("127.0.0.1"), 0);
    EXPECT_EQ(link.pageSource().kind, PageSource::Kind::Unknown);
    std::string page = PageRequest(" 00001024C", 20);
    ASSERT_NE(retrieve("TWMODEL001", page), 0);
    link.fnDllParamCloseMConnection(connection);
    EXPECT_EQ(link.pageSource().kind, PageSource::Kind::SavedFile);
    EXPECT_EQ(link.pageSource().path, store.path() / "127.0.0.1" / "TWMODEL001.twus");

    ASSERT_NE(open("127.0.0.1"), 0);
    EXPECT_EQ(retrieve("BROKEN", page), 0);
    EXPECT_EQ(link.pageSource().kind, PageSource::Kind::Unknown);
    EXPECT_EQ(link.pageSource().path, "");
}

TEST_F(SavedUserSpaceHostLinkTest, MalformedFileFailsEveryRequestWithItsReason) {
    store.write("127.0.0.1/BROKEN.twus", "TWUSRSPC PAGES 1\nC 00001024 4000000000\nshort\n");
    ASSERT_NE(open("127.0.0.1"), 0);
    for (int attempt = 0; attempt < 2; ++attempt) {
        std::string page = PageRequest(" 00001024C", 2000);
        EXPECT_EQ(retrieve("BROKEN", page), 0);
        const auto [text, code] = lastError();
        EXPECT_EQ(code, SavedUserSpaceHostLink::kUnreadableFile);
        EXPECT_NE(text.find("BROKEN.twus: at byte offset 28: the page length 4000000000"),
                  std::string::npos)
            << text;
    }
}

TEST_F(SavedUserSpaceHostLinkTest, StaleOrZeroCloseDoesNothing) {
    const auto retrieveC = [this] {
        std::string page = PageRequest(" 00001024C", 20);
        return retrieve("TWMODEL001", page);
    };
    EXPECT_EQ(retrieveC(), 0);
    EXPECT_EQ(lastError().second, SavedUserSpaceHostLink::kNotConnected);

    EXPECT_EQ(link.fnDllParamCloseMConnection(0), 0);
    ASSERT_NE(open("127.0.0.1"), 0);
    const int32_t first = connection;
    EXPECT_EQ(link.fnDllParamCloseMConnection(0), 0);
    EXPECT_EQ(link.fnDllParamCloseMConnection(first + 1), 0);
    EXPECT_NE(retrieveC(), 0);

    // Opening again ends the first connection: its handle is stale now.
    ASSERT_NE(open("127.0.0.1"), 0);
    EXPECT_NE(connection, first);
    EXPECT_EQ(link.fnDllParamCloseMConnection(first), 0);
    EXPECT_NE(retrieveC(), 0);

    EXPECT_NE(link.fnDllParamCloseMConnection(connection), 0);
    EXPECT_EQ(link.fnDllParamCloseMConnection(connection), 0);
    EXPECT_EQ(retrieveC(), 0);
}

TEST(SavedUserSpaceHostLink, StoresAreSearchedInOrder) {
    test::TempFolder first;
    test::TempFolder second;
    first.write("10.0.0.1/M.twus", "TWUSRSPC PAGES 1\nC 00001024 5\nfirst\n");
    second.write("10.0.0.1/M.twus", "TWUSRSPC PAGES 1\nC 00001024 6\nsecond\n");
    second.write("10.0.0.2/M.twus", "TWUSRSPC PAGES 1\nC 00001024 6\nsecond\n");
    SavedUserSpaceHostLink link({first.path() / "missing", first.path(), second.path()});

    for (const auto& [address, expected] :
         {std::pair<std::string, std::string>{"10.0.0.1", "first"}, {"10.0.0.2", "second"}}) {
        int32_t connection = 0;
        ASSERT_NE(test::OpenConnection(link, address, connection), 0);
        std::string name = "M";
        std::string page = PageRequest(" 00001024C", 10);
        ASSERT_NE(link.fnDllParamRtvUserspace(name, page), 0);
        EXPECT_EQ(page.substr(0, expected.size()), expected);
        link.fnDllParamCloseMConnection(connection);
    }
}

TEST(SavedUserSpaceHostLink, NoStoreAtAllIsExplained) {
    SavedUserSpaceHostLink link({});
    int32_t connection = 0;
    EXPECT_EQ(test::OpenConnection(link, "127.0.0.1", connection), 0);
    const std::string text = test::ReadLastError(link, 200).text;
    EXPECT_NE(text.find("--store"), std::string::npos) << text;
}

// The last errors are the lookup's texts, with the names and paths passed as
// values: an "&2" in an address stays as typed.
TEST_F(SavedUserSpaceHostLinkTest, LastErrorsComeFromTheMessageLookup) {
    store.write("127.0.0.1/BROKEN.twus", "TWUSRSPC PAGES 1\nC 00001024 9\nshort\n");
    SavedUserSpaceHostLink echoing({store.path()}, test::EchoLookup);
    ASSERT_NE(test::OpenConnection(echoing, "127.0.0.1", connection), 0);
    const std::string folder = (store.path() / "127.0.0.1").string();
    const std::pair<std::string, std::string> cases[] = {
        {"TWMODEL002", "5343|TWMODEL002|127.0.0.1|" + folder},
        {"BROKEN", "5354|" + (store.path() / "127.0.0.1" / "BROKEN.twus").string() + "|28|9|6"},
        {"TWMODEL001", "5347|TWMODEL001|" +
                           (store.path() / "127.0.0.1" / "TWMODEL001.twus").string() +
                           "|F|00002560"},
    };
    for (const auto& [name, expected] : cases) {
        std::string userSpace = name;
        std::string page = PageRequest(" 00002560F", 100);
        EXPECT_EQ(echoing.fnDllParamRtvUserspace(userSpace, page), 0);
        EXPECT_EQ(test::ReadLastError(echoing).text, expected);
    }

    EXPECT_EQ(open("10.0.0.&2"), 0);
    EXPECT_EQ(lastError().first,
              "No user spaces are saved for the machine 10.0.0.&2: there is no folder "
              "\"10.0.0.&2\" in " +
                  store.path().string() +
                  ". Save its user spaces as <store>/10.0.0.&2/<NAME>.twus or name another "
                  "store with --store.");
}

}  // namespace
}  // namespace twds

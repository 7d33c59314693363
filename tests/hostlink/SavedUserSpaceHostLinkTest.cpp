#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "HostLinkCalls.h"
#include "TempFolder.h"
#include "TestSupport.h"
#include "twds/SavedUserSpaceHostLink.h"

namespace twds {
namespace {

using namespace std::string_literals;
using test::PageRequest;

const std::string kModel =
    "TWUSRSPC PAGES 1\nC 00001024 12\nCX page \0\xE9!!\nZ 00002048 6\nZZZZZZ\n"s;

class SavedUserSpaceHostLinkTest : public ::testing::Test {
protected:
    SavedUserSpaceHostLinkTest() { store.write("127.0.0.1/TWMODEL001.twus", kModel); }

    int32_t open(std::string machine) {
        return test::OpenConnection(link, std::move(machine), connection);
    }

    // The page TWMODEL001 (or `name`) answers to a request, or "failed".
    std::string page(std::string_view head, std::size_t length, std::string name = "TWMODEL001") {
        std::string text = PageRequest(head, length);
        return link.fnDllParamRtvUserspace(name, text) != 0 ? text : "failed";
    }

    test::TempFolder store;
    SavedUserSpaceHostLink link{{store.path()}};
    int32_t connection = 0;
};

// Each failure has its category and the lookup's message, the names and
// paths passed as values; a failed retrieval leaves the buffer as it was.
TEST_F(SavedUserSpaceHostLinkTest, FailuresAreNamedByTheirCategoryAndMessage) {
    store.write("127.0.0.1/BROKEN.twus", "TWUSRSPC PAGES 1\nC 00001024 9\nshort\n");
    SavedUserSpaceHostLink echoing({store.path()}, test::EchoLookup);
    const auto in = [&](const char* file) { return (store.path() / "127.0.0.1" / file).string(); };
    const std::tuple<std::string, std::string_view, int32_t, std::string> cases[] = {
        {"TWMODEL002", " 00001024C", SavedUserSpaceHostLink::kMissingFile,
         "5343|TWMODEL002|127.0.0.1|" + (store.path() / "127.0.0.1").string()},
        {"BROKEN", " 00001024C", SavedUserSpaceHostLink::kUnreadableFile,
         "5354|" + in("BROKEN.twus") + "|28|9|6"},
        {"TWMODEL001", " 00002560F", SavedUserSpaceHostLink::kMissingPage,
         "5347|TWMODEL001|" + in("TWMODEL001.twus") + "|F|00002560"},
        {"TWMODEL001", " 00001024c     ", SavedUserSpaceHostLink::kBadRequest, ""},
        {"TWMODEL001", " 0000102XC", SavedUserSpaceHostLink::kBadRequest, ""},
        {"TWMODEL001", "C", SavedUserSpaceHostLink::kBadRequest, ""},
    };
    ASSERT_NE(test::OpenConnection(echoing, "127.0.0.1", connection), 0);
    for (const auto& [name, request, code, expected] : cases) {
        SCOPED_TRACE(name + " " + std::string(request));
        std::string userSpace = name;
        std::string text(request);
        EXPECT_EQ(echoing.fnDllParamRtvUserspace(userSpace, text), 0);
        EXPECT_EQ(text, request);
        const test::LastError error = test::ReadLastError(echoing);
        EXPECT_EQ(error.code1, code);
        if (!expected.empty()) {
            EXPECT_EQ(error.text, expected);
        }
    }

    EXPECT_EQ(test::OpenConnection(echoing, "10.0.0.&2", connection), 0);
    EXPECT_EQ(test::ReadLastError(echoing).code1, SavedUserSpaceHostLink::kNoStore);
    EXPECT_EQ(test::ReadLastError(echoing).text, "5342|10.0.0.&2|" + store.path().string());
    // The last error is cut to the length asked for, its NUL included.
    int32_t code1 = 0;
    int32_t code2 = 0;
    std::string cut(20, ' ');
    echoing.fnDllParamGetLastError(code1, code2, cut, 16);
    EXPECT_EQ(cut, "5342|10.0.0.&2|\0    "s);
}

TEST_F(SavedUserSpaceHostLinkTest, AddressesAndNamesThatLeaveTheStoreAreRefused) {
    store.write("secret/TWMODEL001.twus", kModel);
    store.write("127.0.0.1/sub/X.twus", kModel);
    for (const std::string& address : std::initializer_list<std::string>{
             "../" + store.path().filename().string(), "..", ".", "127.0.0.1/..", "a\\b", "", "   ",
             "127.0.0.1\0"s, store.path().string()}) {
        EXPECT_EQ(open(address), 0) << address;
        EXPECT_EQ(test::ReadLastError(link).code1, SavedUserSpaceHostLink::kRefusedName) << address;
    }
    ASSERT_NE(open("127.0.0.1"), 0);
    for (const std::string& name : {"../secret/TWMODEL001"s, "sub/X     "s, "sub\\X     "s,
                                    "..        "s, "          "s, "TWMODEL001\0"s, ""s}) {
        EXPECT_EQ(page(" 00001024C", 2000, name), "failed") << name;
        const test::LastError error = test::ReadLastError(link);
        EXPECT_EQ(error.code1, SavedUserSpaceHostLink::kRefusedName) << name;
        EXPECT_NE(error.text.find("cannot name a saved user space file"), std::string::npos)
            << error.text;
    }
}

// Pages are padded or cut to the request's length. A connection goes on
// with the file as it read it first, and the page source stays that file
// past the close; a file that could not be read is none.
TEST_F(SavedUserSpaceHostLinkTest, EachConnectionAnswersFromTheFileAsItFirstReadIt) {
    store.write("127.0.0.1/LONG.twus", "TWUSRSPC PAGES 1\nS 00002100 20\n0123456789ABCDEFGHIJ\n");
    EXPECT_EQ(link.pageSource().kind, PageSource::Kind::Unknown);
    ASSERT_NE(open("  127.0.0.1 "), 0) << test::ReadLastError(link).text;
    // A short name loses its blanks.
    EXPECT_EQ(page(" 00002100S", 12, "LONG      "), "0123456789AB");
    EXPECT_EQ(page(" 00001024C", 2000), "CX page \0\xE9!!"s + std::string(1988, ' '));
    store.write("127.0.0.1/TWMODEL001.twus", "TWUSRSPC PAGES 1\nC 00001024 3\nnew\n");
    EXPECT_EQ(page(" 00001024C", 12), "CX page \0\xE9!!"s);
    EXPECT_EQ(page(" 00002048Z", 10), "ZZZZZZ    ");
    ASSERT_NE(link.fnDllParamCloseMConnection(connection), 0);
    EXPECT_EQ(link.pageSource().kind, PageSource::Kind::SavedFile);
    EXPECT_EQ(link.pageSource().path, store.path() / "127.0.0.1" / "TWMODEL001.twus");

    // Read again, shorter, into the memory the previous read used.
    ASSERT_NE(open("127.0.0.1"), 0);
    EXPECT_EQ(page(" 00001024C", 10), "new       ");
    EXPECT_EQ(page(" 00002048Z", 10), "failed");
    store.write("127.0.0.1/BROKEN.twus", "TWUSRSPC PAGES 2\n");
    ASSERT_NE(open("127.0.0.1"), 0);
    EXPECT_EQ(page(" 00001024C", 12, "BROKEN"), "failed");
    EXPECT_EQ(link.pageSource().kind, PageSource::Kind::Unknown);
    EXPECT_EQ(link.pageSource().path, "");
}

// Opening again ends the connection before; a stale or zero handle closes
// nothing.
TEST_F(SavedUserSpaceHostLinkTest, StaleOrZeroCloseDoesNothing) {
    EXPECT_EQ(page(" 00001024C", 20), "failed");
    EXPECT_EQ(test::ReadLastError(link).code1, SavedUserSpaceHostLink::kNotConnected);
    ASSERT_NE(open("127.0.0.1"), 0);
    const int32_t first = connection;
    ASSERT_NE(open("127.0.0.1"), 0);
    EXPECT_NE(connection, first);
    for (const int32_t stale : {0, first, connection + 1}) {
        EXPECT_EQ(link.fnDllParamCloseMConnection(stale), 0) << stale;
    }
    EXPECT_NE(page(" 00001024C", 20), "failed");
    EXPECT_NE(link.fnDllParamCloseMConnection(connection), 0);
    EXPECT_EQ(page(" 00001024C", 20), "failed");
}

}  // namespace
}  // namespace twds

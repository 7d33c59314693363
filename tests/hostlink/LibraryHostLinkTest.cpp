#include <string>
#include <vector>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "HostLinkCalls.h"
#include "ResultAssertions.h"
#include "TempFolder.h"
#include "TestSupport.h"
#include "twds/HostLinkFactory.h"
#include "twds/LibraryHostLink.h"

namespace twds {
namespace {

using namespace std::string_literals;

// The library's answers travel back whole (its NULs, its bytes above 127,
// its last byte), and it sees each buffer NUL-terminated; its last error is
// never written past the caller's buffer.
TEST(LibraryHostLink, BuffersTravelWholeBothWays) {
    std::string error;
    HostLinkChoice choice;
    choice.library = TWDS_TEST_DLLPARAM;
    auto link = test::ValueOr(CreateHostLink(choice), error);
    ASSERT_NE(link, nullptr) << error;
    EXPECT_EQ(link->pageSource().kind, PageSource::Kind::Library);
    EXPECT_EQ(link->pageSource().path, TWDS_TEST_DLLPARAM);
    std::string machine = "127.0.0.1";
    std::string buffer1(10, ' ');
    std::string buffer2(10, ' ');
    int32_t connection = 0;
    ASSERT_NE(link->fnDllParamOpenMConnection(machine, buffer1, buffer2, connection), 0);
    EXPECT_EQ(connection, 4711);
    EXPECT_EQ(buffer1, "\0B\xE9       "s);
    EXPECT_EQ(buffer2, "127.0.0.1 ");

    // The page echoes the request's head, its length (up to the NUL after
    // the copy) and the name, then dots and a NUL as its last byte.
    std::string name = "TWMODEL001";
    std::string page = test::PageRequest(" 00002048F", 10000);
    ASSERT_NE(link->fnDllParamRtvUserspace(name, page), 0);
    ASSERT_EQ(page.size(), 10000u);
    EXPECT_EQ(page.substr(0, 35),
              " 00002048F\0\x01\xE9\xFF\0"s
              "10000TWMODEL001.....");
    EXPECT_EQ(page.back(), '\0');
    EXPECT_EQ(name, "RET\0DEL001"s);

    EXPECT_NE(link->fnDllParamCloseMConnection(connection), 0);
    // A length larger than the buffer is cut to the copy's size: the text
    // fills the buffer and the NUL lands on the copy's own last byte.
    int32_t code1 = 0;
    int32_t code2 = 0;
    std::string small(5, '-');
    link->fnDllParamGetLastError(code1, code2, small, 1024);
    EXPECT_EQ(small, "close");
    EXPECT_EQ(std::tie(code1, code2), std::tuple(42, -7));
    // The library is told the room of the copy (5 bytes and the NUL), not the
    // length asked for.
    EXPECT_EQ(test::OpenConnection(*link, "length.example", connection), 0);
    link->fnDllParamGetLastError(code1, code2, small, 1024);
    EXPECT_EQ(small, "6\0ose"s);
}

// Why a library cannot be used, named with the system's reason: missing, a
// folder or a named pipe (refused before the loader sees it, since a pipe
// would keep it waiting), a library without a function the viewer needs.
TEST(LibraryHostLink, LibraryThatCannotBeUsedIsNamedWithTheReason) {
#ifdef _WIN32
    const std::string noSuchLibrary = "(error 126)";
    const std::string noSuchFunction = "(error 127)";
#else
    const std::string noSuchLibrary = "No such file";
    const std::string noSuchFunction = "undefined symbol";
#endif
    const std::string path = "/nonexistent-folder/libNoSuchDllParam.so";
    std::string error;
    EXPECT_EQ(test::ValueOr(LibraryHostLink::load(path, test::EchoLookup), error), nullptr);
    EXPECT_TRUE(error.starts_with("5362|" + path + "|")) << error;
    EXPECT_NE(error.find(noSuchLibrary), std::string::npos) << error;

    test::TempFolder folder;
    std::vector<std::filesystem::path> paths = {folder.path() / "libFolder.so"};
    std::filesystem::create_directories(paths.back());
#ifndef _WIN32
    paths.push_back(folder.path() / "libPipe.so");
    ASSERT_EQ(::mkfifo(paths.back().c_str(), 0600), 0);
#endif
    for (const auto& bad : paths) {
        EXPECT_EQ(test::ValueOr(LibraryHostLink::load(bad, test::EchoLookup), error), nullptr);
        EXPECT_EQ(error, "5364|" + bad.string());
    }

    const std::string noClose = TWDS_TEST_DLLPARAM_NOCLOSE;
    EXPECT_EQ(test::ValueOr(LibraryHostLink::load(noClose, test::EchoLookup), error), nullptr);
    EXPECT_TRUE(error.starts_with("5363|" + noClose + "|fnDllParamCloseMConnection (")) << error;
    EXPECT_EQ(error.find("fnDllParamRtvUserspace"), std::string::npos) << error;
    EXPECT_NE(error.find(noSuchFunction), std::string::npos) << error;
}

}  // namespace
}  // namespace twds

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// How the system says that a library or one of its functions is missing.
#ifdef _WIN32
constexpr const char* kNoSuchLibrary = "(error 126)";
constexpr const char* kNoSuchFunction = "(error 127)";
#else
constexpr const char* kNoSuchLibrary = "No such file";
constexpr const char* kNoSuchFunction = "undefined symbol";
#endif

using namespace std::string_literals;
using test::PageRequest;

std::unique_ptr<LibraryHostLink> LoadTestLibrary() {
    std::string error;
    auto link = test::ValueOr(LibraryHostLink::load(TWDS_TEST_DLLPARAM), error);
    EXPECT_NE(link, nullptr) << error;
    return link;
}

// The library's answers travel back whole: its NULs, its bytes above 127 and
// its last byte.
TEST(LibraryHostLink, OpenAndRetrievalReturnEveryByteOfTheBuffers) {
    auto link = LoadTestLibrary();
    ASSERT_NE(link, nullptr);
    std::string machine = "127.0.0.1";
    std::string buffer1(10, ' ');
    std::string buffer2(10, ' ');
    int32_t connection = 0;
    ASSERT_NE(link->fnDllParamOpenMConnection(machine, buffer1, buffer2, connection), 0);
    EXPECT_EQ(connection, 4711);
    EXPECT_EQ(machine, "127.0.0.1");
    EXPECT_EQ(buffer1, "127.0.0.1\0"s);
    EXPECT_EQ(buffer2, "\0B2\xE9\xFF\x01\0\0\0Z"s);

    std::string name = "TWMODEL001";
    std::string page = PageRequest(" 00002048F", 10000);
    ASSERT_NE(link->fnDllParamRtvUserspace(name, page), 0);
    ASSERT_EQ(page.size(), 10000u);
    // The library saw the whole request (its length, from the NUL after the
    // copy) and the name.
    EXPECT_EQ(page.substr(0, 30),
              " 00002048F\0\x01\xE9\xFF\0"s
              "10000TWMODEL001");
    EXPECT_EQ(page.substr(30, 5), ".....");
    EXPECT_EQ(page.back(), '\0');
    EXPECT_EQ(name, "RET\0DEL001"s);

    std::string shortPage = PageRequest(" 00001024C", 2000);
    ASSERT_NE(link->fnDllParamRtvUserspace(name, shortPage), 0);
    EXPECT_EQ(shortPage.size(), 2000u);
    EXPECT_EQ(shortPage.substr(15, 5), "02000");
    EXPECT_NE(link->fnDllParamCloseMConnection(connection), 0);
}

// Failures are told by the library's last error, never past the caller's
// buffer; a stale handle is passed on to the library, which refuses it.
TEST(LibraryHostLink, FailuresReportTheLibrarysLastErrorWithinTheBuffer) {
    auto link = LoadTestLibrary();
    ASSERT_NE(link, nullptr);
    int32_t connection = 0;
    EXPECT_EQ(test::OpenConnection(*link, "refuse.example", connection), 0);
    int32_t code1 = 0;
    int32_t code2 = 0;
    std::string text(1024, ' ');
    link->fnDllParamGetLastError(code1, code2, text, 1024);
    EXPECT_EQ(code1, 42);
    EXPECT_EQ(code2, -7);
    ASSERT_EQ(text.size(), 1024u);
    const std::string expected = "connection refused by refuse.example";
    EXPECT_EQ(text.substr(0, expected.size() + 1), expected + '\0');
    EXPECT_EQ(text.find_first_not_of(' ', expected.size() + 1), std::string::npos);

    ASSERT_NE(test::OpenConnection(*link, "127.0.0.1", connection), 0);
    std::string name = "FAILPAGE  ";
    std::string page = PageRequest(" 00001024G", 10000);
    EXPECT_EQ(link->fnDllParamRtvUserspace(name, page), 0);
    EXPECT_EQ(test::ReadLastError(*link).text, "page refused on demand for FAILPAGE  ");
    EXPECT_NE(link->fnDllParamCloseMConnection(connection), 0);

    EXPECT_EQ(link->fnDllParamCloseMConnection(connection), 0);
    EXPECT_EQ(test::ReadLastError(*link, 64).text, "close ignored for 4711");
    // A length larger than the buffer is cut to the copy's size: the text
    // fills the buffer and the NUL lands on the copy's own last byte.
    std::string small(5, '-');
    link->fnDllParamGetLastError(code1, code2, small, 1024);
    EXPECT_EQ(small, "close");
    // The library is told the room of the copy (5 bytes and the NUL), not
    // the length asked for.
    EXPECT_EQ(test::OpenConnection(*link, "length.example", connection), 0);
    std::string five(5, '-');
    link->fnDllParamGetLastError(code1, code2, five, 1024);
    EXPECT_EQ(five, "6\0---"s);
}

// A missing library is named with the system's reason (the lookup's text,
// the reason one of its values); a folder or named pipe is refused before
// the loader sees it, since a pipe would keep it waiting.
TEST(LibraryHostLink, LibraryThatCannotBeLoadedIsNamedWithTheReason) {
    const std::string path = "/nonexistent-folder/libNoSuchDllParam.so";
    std::string error;
    EXPECT_EQ(test::ValueOr(LibraryHostLink::load(path), error), nullptr);
    EXPECT_NE(error.find("Cannot load the host-link library " + path), std::string::npos) << error;
    EXPECT_NE(error.find(kNoSuchLibrary), std::string::npos) << error;
    EXPECT_EQ(test::ValueOr(LibraryHostLink::load(path, test::EchoLookup), error), nullptr);
    EXPECT_TRUE(error.starts_with("5362|" + path + "|")) << error;
    EXPECT_NE(error.find(kNoSuchLibrary), std::string::npos) << error;

    test::TempFolder folder;
    std::vector<std::filesystem::path> paths = {folder.path() / "libFolder.so"};
    std::filesystem::create_directories(paths.back());
#ifndef _WIN32
    paths.push_back(folder.path() / "libPipe.so");
    ASSERT_EQ(::mkfifo(paths.back().c_str(), 0600), 0);
#endif
    for (const auto& path : paths) {
        EXPECT_EQ(test::ValueOr(LibraryHostLink::load(path), error), nullptr) << path;
        EXPECT_EQ(error, "The host-link library " + path.string() +
                             " is not a regular file: a folder, named pipe or device cannot be "
                             "loaded as a library.");
    }
}

// A library that lacks a function is named with the function.
TEST(LibraryHostLink, FactoryLoadsTheNamedLibraryOrExplainsWhyNot) {
    std::string error;
    HostLinkChoice choice;
    choice.library = TWDS_TEST_DLLPARAM;
    auto link = test::ValueOr(CreateHostLink(choice), error);
    ASSERT_NE(link, nullptr) << error;
    EXPECT_EQ(link->pageSource().kind, PageSource::Kind::Library);
    EXPECT_EQ(link->pageSource().path, TWDS_TEST_DLLPARAM);

    choice.library = TWDS_TEST_DLLPARAM_NOCLOSE;
    EXPECT_EQ(test::ValueOr(CreateHostLink(choice), error), nullptr);
    EXPECT_TRUE(error.starts_with("The host-link library "s + TWDS_TEST_DLLPARAM_NOCLOSE +
                                  " lacks functions the viewer needs: fnDllParamCloseMConnection"))
        << error;
    EXPECT_EQ(error.find("fnDllParamRtvUserspace"), std::string::npos) << error;
    EXPECT_NE(error.find(kNoSuchFunction), std::string::npos) << error;
}

}  // namespace
}  // namespace twds

#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "ResultAssertions.h"
#include "TempFolder.h"
#include "TestSupport.h"
#include "twds/SavedUserSpaceFile.h"
#include "twds/UserSpaceWriter.h"

namespace twds {
namespace {

using namespace std::string_literals;

std::unique_ptr<SavedUserSpaceFile> Parse(const std::string& bytes, std::string& error) {
    return test::ValueOr(SavedUserSpaceFile::parse(bytes, "TEST.twus"), error);
}

// Two pages of kind C and F, a comment, blank lines, a zero-length page and
// a page replaced by a later record.
const std::string kSmallFile =
    "TWUSRSPC PAGES 1\n"
    "# saved by hand\n"
    "\n"
    "C 00001024 5\nAB\0\xE9Z\n"
    "F 00002048 3\nold\n"
    "\n"
    "# the later F record wins\n"
    "F 00002048 4\nnew!\n"
    "E 00001100 0\n\n"s;

// Cut anywhere, the file fails or keeps only whole records: a cut between
// records or inside a comment leaves a valid file of fewer records.
TEST(SavedUserSpaceFile, IndexesWholeRecordsByKindAndPosition) {
    std::string error;
    const auto whole = Parse(kSmallFile, error);
    ASSERT_NE(whole, nullptr) << error;
    EXPECT_EQ(whole->pageCount(), 3u);
    EXPECT_EQ(whole->page('C', 1024), "AB\0\xE9Z"s);
    EXPECT_EQ(whole->page('F', 2048), "new!");
    EXPECT_EQ(whole->page('E', 1100), "");
    EXPECT_FALSE(whole->page('G', 1024));
    EXPECT_FALSE(whole->page('C', 2048));
    for (std::size_t size = 0; size < kSmallFile.size(); ++size) {
        const auto file = Parse(kSmallFile.substr(0, size), error);
        if (file == nullptr) {
            EXPECT_NE(error.find("TEST.twus: at byte offset "), std::string::npos)
                << "size " << size << ": " << error;
            continue;
        }
        for (const auto& [kind, position] : {std::pair{'C', 1024u}, {'F', 2048u}, {'E', 1100u}}) {
            if (const auto page = file->page(kind, position)) {
                EXPECT_TRUE(*page == *whole->page(kind, position) || *page == "old")
                    << "size " << size;
            }
        }
    }
}

// A snapshot's header written by UserSpaceWriter comes back byte for byte,
// whatever bytes it holds; "# snapshot" lines after the first record, and
// keys it does not know, are comments.
TEST(SavedUserSpaceFile, SnapshotHeaderComesBackByteForByte) {
    SnapshotInfo info;
    info.address = "10.0.0.1";
    info.name = "A\\B\x1B\n\x7F\xE9\0X"s;
    info.fetched = "2026-12-06T04:55:01Z";
    info.hostLink = "library /opt/lib\\x41.so";
    std::ostringstream out;
    UserSpaceWriter writer(out);
    writer.snapshotHeader(info);
    out << "# snapshot colour blue\n";
    writer.page('C', 1024, "C");
    out << "# snapshot viewer 9.9.9\n";
    EXPECT_EQ(out.str(),
              "TWUSRSPC PAGES 1\n# snapshot address 10.0.0.1\n"
              "# snapshot name A\\\\B\\x1B\\x0A\\x7F\xE9\\x00X\n"
              "# snapshot fetched 2026-12-06T04:55:01Z\n"
              "# snapshot hostlink library /opt/lib\\\\x41.so\n"
              "# snapshot colour blue\nC 00001024 1\nC\n# snapshot viewer 9.9.9\n");
    std::string error;
    const auto file = Parse(out.str(), error);
    ASSERT_NE(file, nullptr) << error;
    EXPECT_EQ(file->snapshot().address, info.address);
    EXPECT_EQ(file->snapshot().name, info.name);
    EXPECT_EQ(file->snapshot().fetched, info.fetched);
    EXPECT_EQ(file->snapshot().viewer, "");
    EXPECT_EQ(file->snapshot().hostLink, info.hostLink);
    EXPECT_TRUE(Parse(kSmallFile, error)->snapshot().empty());
}

// Headers, record lines and page lengths that cannot be read, each with the
// part of its message that says where and why.
TEST(SavedUserSpaceFile, BadHeadersRecordsAndLengthsAreExplained) {
    const std::string header(SavedUserSpaceFile::kHeader);
    std::vector<std::pair<std::string, std::string>> cases = {
        {"",
         "at byte offset 0: the file ends inside its header line; expected \"TWUSRSPC "
         "PAGES 1\" and a line feed. The file is truncated."},
        {"TWUSRSPC PAGES 2\nC 00001024 1\nx\n", "unsupported format \"TWUSRSPC PAGES 2\""},
        {"TWUSRSPC PAGES 1\r\nC 00001024 1\r\nx\r\n", "line ends were converted"},
        {"\x89PNG\r\n\x1A\n",
         "TEST.twus: at byte offset 0: expected the header line \"TWUSRSPC PAGES 1\", found "
         "\"\\x89PNG\\x0D\""},
        {header + "C 00001024 500\nshort\n",
         "at byte offset 28: the page length 500 runs past the end"},
        {header + "C 00001024 18446744073709551615\nx\n",
         "the page length 18446744073709551615 runs past the end"},
        // Page text longer than its length: the byte after it is not a line feed.
        {header + "C 00001024 3\nABCDE\n",
         "at byte offset 33: expected a line feed after the 3 bytes of the page C 00001024, "
         "found \"D\""},
    };
    for (const std::string& line :
         {"C 0001024 5"s, "c 00001024 5"s, "C 00001024 x"s, "C  00001024 5"s, "C 00001024 -5"s,
          "C 00001024 5\r"s, "CX 00001024 5"s, "C 00001024"s, "C\0 00001024 5"s, "C 00001024x5"s}) {
        cases.emplace_back(header + line + "\nABCDE\n",
                           "at byte offset 17: expected a record line");
    }
    for (const auto& [bytes, reason] : cases) {
        std::string error;
        EXPECT_EQ(Parse(bytes, error), nullptr) << reason;
        EXPECT_NE(error.find(reason), std::string::npos) << error;
    }
}

// A folder, a device or a named pipe (whose opening would wait for a writer)
// is refused before it is opened.
TEST(SavedUserSpaceFile, LoadSaysWhyAFileCannotBeRead) {
    test::TempFolder folder;
    std::string error;
    const auto missing = folder.path() / "MISSING.twus";
    EXPECT_EQ(test::ValueOr(SavedUserSpaceFile::load(missing), error), nullptr);
    EXPECT_NE(error.find("Cannot open the user space file " + missing.string()), std::string::npos)
        << error;

    std::vector<std::filesystem::path> paths = {folder.path() / "FOLDER.twus"};
    std::filesystem::create_directories(paths.back());
#ifndef _WIN32
    paths.push_back(folder.path() / "PIPE.twus");
    ASSERT_EQ(::mkfifo(paths.back().c_str(), 0600), 0);
    paths.push_back("/dev/null");
#endif
    for (const auto& path : paths) {
        EXPECT_EQ(test::ValueOr(SavedUserSpaceFile::load(path, {}, test::EchoLookup), error),
                  nullptr);
        EXPECT_EQ(error, "5358|" + path.string());
    }
#ifndef _WIN32
    // A file far larger than memory and no saved user space: refused unread.
    const auto huge = folder.write("HUGE.twus", "GIF89a\n");
    std::error_code sparse;
    std::filesystem::resize_file(huge, std::uintmax_t{1} << 40, sparse);
    if (sparse) {
        GTEST_SKIP() << "no sparse file of 1 TiB here: " << sparse.message();
    }
    EXPECT_EQ(test::ValueOr(SavedUserSpaceFile::load(huge), error), nullptr);
    EXPECT_NE(error.find("expected the header line"), std::string::npos) << error;
#endif
}

}  // namespace
}  // namespace twds

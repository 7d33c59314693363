#include "ReadOnlyFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include "TempFolder.h"

namespace twds {
namespace {

TEST(ReadOnlyFile, ReadsARegularFileInPieces) {
    test::TempFolder folder;
    const auto path = folder.write("A.twus", "TWUSRSPC PAGES 1\nrest");
    ReadOnlyFile::Failure failure{};
    std::string reason;
    const auto file = ReadOnlyFile::open(path, failure, reason);
    ASSERT_NE(file, nullptr) << reason;
    EXPECT_EQ(file->size(), 21u);
    std::string head(17, '-');
    EXPECT_EQ(file->read(head), 17u);
    EXPECT_EQ(head, "TWUSRSPC PAGES 1\n");
    std::string rest(10, '-');
    EXPECT_EQ(file->read(rest), 4u) << "the file ends";
    EXPECT_EQ(rest, "rest------");
}

// What the caller looked at may have been replaced by the time it is opened:
// the open file is checked again, without waiting on a named pipe.
TEST(ReadOnlyFile, OpenRefusesWhatIsNotARegularFile) {
    test::TempFolder folder;
    ReadOnlyFile::Failure failure{};
    std::string reason;
    EXPECT_EQ(ReadOnlyFile::open(folder.path() / "MISSING.twus", failure, reason), nullptr);
    EXPECT_EQ(failure, ReadOnlyFile::Failure::SystemError);
#ifdef _WIN32
    EXPECT_EQ(reason, std::system_category().message(ERROR_FILE_NOT_FOUND));
#else
    EXPECT_EQ(reason, std::generic_category().message(ENOENT));

    const auto pipe = folder.path() / "PIPE.twus";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const auto& path : {pipe, folder.path()}) {
        EXPECT_EQ(ReadOnlyFile::open(path, failure, reason), nullptr) << path;
        EXPECT_EQ(failure, ReadOnlyFile::Failure::NotRegularFile) << path;
    }
#endif
}

}  // namespace
}  // namespace twds

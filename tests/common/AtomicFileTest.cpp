#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "ResultAssertions.h"
#include "TempFolder.h"
#include "twds/AtomicFile.h"

namespace twds {
namespace {

namespace fs = std::filesystem;

// Nothing but the target is left in its folder.
void ExpectOnly(const fs::path& folder, const fs::path& file) {
    for (const auto& entry : fs::directory_iterator(folder)) {
        EXPECT_EQ(entry.path(), file) << "left behind";
    }
}

TEST(AtomicFile, ReplacesTheWholeFileAndLeavesNoTemporary) {
    test::TempFolder folder;
    const fs::path file = folder.write("out.txt", "old contents, longer than the new");
    ASSERT_TRUE(test::Succeeded(WriteFileAtomically(file, std::string("new\0\r\n", 6), "file")));
    EXPECT_EQ(folder.read("out.txt"), std::string("new\0\r\n", 6));
    ExpectOnly(folder.path(), file);

    // An uncommitted writer leaves the old file as it was.
    {
        AtomicFile abandoned(file);
        ASSERT_NE(abandoned.file(), nullptr) << abandoned.error().message();
        std::fputs("never seen", abandoned.file());
    }
    EXPECT_EQ(folder.read("out.txt"), std::string("new\0\r\n", 6));
    ExpectOnly(folder.path(), file);
}

TEST(AtomicFile, FailuresSayWhatCouldNotBeWritten) {
    test::TempFolder folder;
    const fs::path missing = folder.path() / "no-such-folder" / "out.txt";
    EXPECT_EQ(test::FailureText(WriteFileAtomically(missing, "x", "registry file")),
              "Cannot write the registry file " + missing.string() + ": No such file or directory");

    const fs::path taken = folder.path() / "taken";
    fs::create_directory(taken);
    folder.write("taken/inside", "precious");
    EXPECT_EQ(test::FailureText(WriteFileAtomically(taken, "x", "export"))
                  .rfind("Cannot replace the export " + taken.string() + ": ", 0),
              0u);
    EXPECT_EQ(folder.read("taken/inside"), "precious");
    ExpectOnly(folder.path(), taken);
}

#ifndef _WIN32
TEST(AtomicFile, FollowsLinksAndKeepsPermissions) {
    test::TempFolder folder;
    const fs::path target = folder.write("shared/real.txt", "old");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read,
                    fs::perm_options::replace);
    fs::create_directory(folder.path() / "links");
    const fs::path first = folder.path() / "links" / "first";
    const fs::path second = folder.path() / "links" / "second";
    fs::create_symlink("../shared/real.txt", second);
    fs::create_symlink("second", first);

    ASSERT_TRUE(test::Succeeded(WriteFileAtomically(first, "new", "file")));
    EXPECT_TRUE(fs::is_symlink(first));
    EXPECT_EQ(fs::read_symlink(second), "../shared/real.txt");
    EXPECT_EQ(folder.read("shared/real.txt"), "new");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    const fs::path loop = folder.path() / "links" / "loop";
    fs::create_symlink("loop", loop);
    EXPECT_EQ(test::FailureText(WriteFileAtomically(loop, "x", "file")),
              "Cannot follow the link " + loop.string() + ": Too many levels of symbolic links");
}
#endif

}  // namespace
}  // namespace twds

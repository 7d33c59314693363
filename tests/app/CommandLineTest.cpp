#include <gtest/gtest.h>

#include "twds/CommandLine.h"
#include "twds/HeadlessRun.h"

namespace twds {
namespace {

TEST(CommandLineTest, OptionsTakeValuesInBothFormsAndArgumentsAreJoinedByOneBlank) {
    const CommandLine line =
        ParseCommandLine({"--store", "/srv/spaces", "--hostlink=libdp.so", "--export",
                          "--output=a=b", "1.2.3.4/NAME", "", "x"});
    EXPECT_EQ(line.usageError, "");
    EXPECT_TRUE(line.exportMode);
    EXPECT_EQ(line.store, "/srv/spaces");
    EXPECT_EQ(line.hostlink, "libdp.so");
    EXPECT_EQ(line.output, "a=b");
    EXPECT_EQ(line.argumentText, "1.2.3.4/NAME  x");
    EXPECT_TRUE(IsHeadlessRequest(line));
    EXPECT_EQ(ParseCommandLine({"--export", "--output", "-", "a/b"}).output, "-");
    // "--" ends the options.
    const CommandLine rest = ParseCommandLine({"--", "--export", "-x/y"});
    EXPECT_FALSE(rest.exportMode);
    EXPECT_EQ(rest.argumentText, "--export -x/y");
    const CommandLine find = ParseCommandLine({"--find=a b", "x/y"});
    EXPECT_EQ(find.findText, "a b");
    EXPECT_TRUE(IsHeadlessRequest(find));
}

TEST(CommandLineTest, UnusableArgumentsAreUsageErrors) {
    const auto error = [](std::vector<std::string> arguments) {
        return ParseCommandLine(arguments).usageError;
    };
    EXPECT_EQ(error({"--export", "--frobnicate", "a/b"}), "unknown option '--frobnicate'");
    EXPECT_EQ(error({"-x", "--export", "a/b"}), "unknown option '-x'");
    EXPECT_EQ(error({"--store"}), "option '--store' needs a value");
    EXPECT_EQ(error({"--hostlink="}), "option '--hostlink' needs a value");
    EXPECT_EQ(error({"--export=yes", "a/b"}), "option '--export' takes no value");
    EXPECT_EQ(error({"--output", "f", "a/b"}), "--output needs --export");
    EXPECT_NE(error({"--export", "no-slash"}), "");
    EXPECT_EQ(error({"--find"}), "option '--find' needs a value");
    EXPECT_EQ(error({"--find", "x", "--export", "a/b"}), "--find cannot be used with --export");
    EXPECT_EQ(error({"--find", "x", "-q", "a/b"}), "unknown option '-q'");
    EXPECT_EQ(error({"--find", "x", "--output", "-", "a/b"}), "--output needs --export");
    EXPECT_EQ(error({"--find", "x", "no-slash"}),
              "--find needs ADDRESS/NAME, the machine's address, \"/\" and the user space name, "
              "or the path of a .twus file");
    EXPECT_EQ(error({"--force", "--export", "a/b"}), "--force needs --snapshot");
    EXPECT_EQ(error({"--snapshot", "s.twus", "--find", "x", "a/b"}),
              "--snapshot cannot be used with --find");
    EXPECT_EQ(error({"--compare", "--export", "a/b", "c/d"}),
              "--compare cannot be used with --export, --find or --snapshot");
    for (const auto& operands :
         {std::vector<std::string>{"a/b"}, {"a/b", "c/d", "e/f"}, {"a/b", "old.twux"}}) {
        std::vector<std::string> arguments{"--compare"};
        arguments.insert(arguments.end(), operands.begin(), operands.end());
        EXPECT_EQ(error(arguments),
                  "--compare needs OLD and NEW, each ADDRESS/NAME or a .twus file");
    }
    EXPECT_EQ(error({"--compare", "a/b", "dir/OLD.TWUS"}), "");
    EXPECT_EQ(error({"--snapshot", "s.twus", "old.twus"}), "");
    // Help and version stand on their own.
    EXPECT_EQ(error({"--help", "--export"}), "");
    EXPECT_TRUE(ParseCommandLine({"--version"}).version);
}

TEST(CommandLineTest, SplitsAtTheFirstSlashWithoutTrimming) {
    const auto split = [](std::string_view text) {
        const std::optional<AddressAndName> parts = SplitArgumentText(text);
        return parts ? parts->address + "|" + parts->name : std::string("none");
    };
    EXPECT_EQ(split(" 10.0.0.5 / twmodel001 "), " 10.0.0.5 | twmodel001 ");
    EXPECT_EQ(split("/TWMODEL001"), "|TWMODEL001");
    EXPECT_EQ(split("a/b/c"), "a|b/c");
    EXPECT_EQ(split("10.0.0.5/"), "10.0.0.5|");
    EXPECT_EQ(split("10.0.0.5 TWMODEL001"), "none");
}

}  // namespace
}  // namespace twds

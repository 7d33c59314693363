// The viewer's executable run from a shell: exit statuses and messages that
// only the whole program shows. Every run has a time limit, so a hang fails
// the test instead of stopping the suite.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TempFolder.h"

namespace twds {
namespace {

namespace fs = std::filesystem;

const fs::path kPrograms = fs::path(TWDS_BINARY_DIR) / "bin";

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

struct Result {
    int status = -1;  // the exit status; 124 when the time limit ended it
    std::string err;
};

class ProgramTest : public ::testing::Test {
protected:
    ProgramTest() {
        fs::create_directories(temp.path() / "store" / "127.0.0.1");
        fs::copy_file(kPrograms / "samples" / "127.0.0.1" / "TWMODEL001.twus",
                      temp.path() / "store" / "127.0.0.1" / "TWMODEL001.twus");
    }

    // Runs the viewer in the test's folder with a registry of the test's own,
    // standard output to `stdoutTo`.
    Result Run(const std::vector<std::string>& arguments, const std::string& stdoutTo = "/dev/null",
               const std::string& environment = {}) {
        std::string command =
            "cd " + Quoted(temp.path().string()) + " && env " + environment +
            " TWDSPUSRSPC_REGISTRY=" + Quoted((temp.path() / "registry").string()) +
            " timeout -s KILL 20 " + Quoted((kPrograms / "twDspUsrSpc").string());
        for (const std::string& argument : arguments) {
            command += " " + Quoted(argument);
        }
        const fs::path err = temp.path() / "stderr";
        command += " >" + stdoutTo + " 2>" + Quoted(err.string()) + " </dev/null";
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::ReadBytes(err)};
    }

    test::TempFolder temp;
};

// Paths go to the system as it gave them, .twus paths included; only the
// address and name become Windows-1252, and a name it cannot hold is refused.
TEST_F(ProgramTest, PathsKeepTheirBytesAndNamesMustFitTheCodePage) {
    fs::create_directories(temp.path() / "out-\xC3\xA9");
    for (const std::string output : {"out-\xC3\xA9/x.usrspc", "\xD0\xB6\xD0\xB6.usrspc"}) {
        SCOPED_TRACE(output);
        const Result result =
            Run({"--export", "--store", "store", "--output", output, "127.0.0.1/TWMODEL001"},
                "/dev/null", "LC_ALL=C.UTF-8");
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_TRUE(fs::exists(temp.path() / output));
    }

    // A .twus path is a path too, in every mode: "\xD0\xB6" has no Windows-1252 byte.
    fs::create_directories(temp.path() / "snaps \xD0\xB6");
    const std::string snapshot = "snaps \xD0\xB6/TWMODEL001.twus";
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--snapshot", snapshot, "--store", "store",
                                   "127.0.0.1/TWMODEL001"},
          {"--export", "--output", "-", snapshot},
          {"--compare", "--store", "store", snapshot, "127.0.0.1/TWMODEL001"}}) {
        SCOPED_TRACE(arguments.front());
        const Result result = Run(arguments, "/dev/null", "LC_ALL=C.UTF-8");
        EXPECT_EQ(result.status, 0) << result.err;
    }

    const Result refused =
        Run({"--export", "--store", "store", "--output", "-", "127.0.0.1/TWMOD\xD0\xB6L001"},
            "/dev/null", "LC_ALL=C.UTF-8");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err,
              "The address and name 127.0.0.1/TWMOD?L001 hold characters that Windows-1252, the "
              "engine's code page, cannot hold (shown as \"?\"). Give them in characters it "
              "holds.\n");

    // The text to find is converted the same way: "\xC2\xB0" is the degree
    // sign of the files' heading labels, "\xD0\xB6" is nowhere in the code page.
    const fs::path found = temp.path() / "found.txt";
    EXPECT_EQ(Run({"--find", "n\xC2\xB0 :pricelst", "--store", "store", "127.0.0.1/TWMODEL001"},
                  Quoted(found.string()), "LC_ALL=C.UTF-8")
                  .status,
              0);
    EXPECT_EQ(
        test::ReadBytes(found),
        "FC\tPRICELST01\t297\tF\t00004096\t\t\tFile N\xC2\xB0 :PRICELST01\t=================\n"
        "ZC\tPRICELST01\t680\tZ\t00004096\t\t\tFile N\xC2\xB0 :PRICELST01\t=================\n"
        "SQL\tPRICELST01\t21\tS\t00005126\t\t\tFile N\xC2\xB0 :PRICELST01\t=================\n");
    const Result cannotMatch =
        Run({"--find", "\xD0\xB6", "127.0.0.1/TWMODEL001"}, "/dev/null", "LC_ALL=C.UTF-8");
    EXPECT_EQ(cannotMatch.status, 1);
    EXPECT_EQ(cannotMatch.err,
              "Nothing in a user space can match ?: it holds characters that Windows-1252, the "
              "engine's code page, cannot hold (shown as \"?\").\n");
}

// Outputs that cannot take the export or the rows found are named with the system's reason; a
// FIFO without a reader is refused instead of waited on.
TEST_F(ProgramTest, UnwritableOutputsGiveStatusOneAndTheReason) {
    const fs::path fifo = temp.path() / "target.usrspc";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::string output, stdoutTo, reason;
    } cases[] = {
        {fifo.string(), "/dev/null", "No such device or address"},
        {"-", "/dev/full", "No space left on device"},
    };
    for (const auto& c : cases) {
        const Result result =
            Run({"--export", "--store", "store", "--output", c.output, "127.0.0.1/TWMODEL001"},
                c.stdoutTo);
        EXPECT_EQ(result.status, 1);
        EXPECT_NE(result.err.find("Export failed: " + c.output + " could not be written (" +
                                  c.reason + ")."),
                  std::string::npos)
            << result.err;
    }
    const Result found =
        Run({"--find", "PRICELST01", "--store", "store", "127.0.0.1/TWMODEL001"}, "/dev/full");
    EXPECT_EQ(found.status, 2);
    EXPECT_NE(found.err.find("The rows found could not be written to standard output (No space "
                             "left on device)."),
              std::string::npos)
        << found.err;
}

TEST_F(ProgramTest, WithoutADisplayTheWindowSaysSo) {
    const Result result = Run({"127.0.0.1/TWMODEL001"}, "/dev/null",
                              "-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
              "twDspUsrSpc: the window needs a display server and none was found (DISPLAY and "
              "WAYLAND_DISPLAY are not set). To display and export without a window, use "
              "--export; see --help.\n");
}

// A stopped export leaves no temporary file, and one left by an export whose
// process is gone is removed by the next: the user never finds half a file.
TEST_F(ProgramTest, InterruptedExportLeavesNothingBehind) {
    const fs::path model = temp.path() / "store" / "127.0.0.1" / "BIGMODEL01.twus";
    ASSERT_EQ(std::system((Quoted((kPrograms / "twus_make").string()) +
                           " --generate --files 3000 --zc 100 --sql -o " + Quoted(model.string()) +
                           " >/dev/null")
                              .c_str()),
              0);
    const fs::path out = temp.path() / "out";
    fs::create_directories(out);
    // No process has id 2^22 + 1.
    const fs::path stale = out / ".big.usrspc.tmp4194305-17";
    std::ofstream(stale) << "partial";

    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        setenv("TWDSPUSRSPC_REGISTRY", (temp.path() / "registry").c_str(), 1);
        dup2(open("/dev/null", O_WRONLY), 2);
        execl((kPrograms / "twDspUsrSpc").c_str(), "twDspUsrSpc", "--export", "--store",
              (temp.path() / "store").c_str(), "--output", (out / "big.usrspc").c_str(),
              "127.0.0.1/BIGMODEL01", nullptr);
        _exit(127);
    }
    bool writing = false;
    for (int wait = 0; !writing && wait < 12000; ++wait) {
        for (const auto& entry : fs::directory_iterator(out)) {
            writing = writing || (entry.path() != stale &&
                                  entry.path().filename().string().starts_with(".big.usrspc.tmp"));
        }
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            GTEST_SKIP() << "the export ended before it could be interrupted";
        }
        usleep(5000);
    }
    ASSERT_TRUE(writing);
    EXPECT_FALSE(fs::exists(stale));
    kill(pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
    EXPECT_TRUE(fs::is_empty(out)) << "a temporary file was left behind";
}

// The options a text names: "-x" or "--xx-yy" where a word does not go on
// ("UTF-8", "tab-separated" and "--" alone are no options).
std::set<std::string> OptionsIn(const std::string& text) {
    std::set<std::string> options;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool wordGoesOn =
            i > 0 &&
            (std::isalnum(static_cast<unsigned char>(text[i - 1])) != 0 || text[i - 1] == '-');
        if (text[i] != '-' || wordGoesOn) {
            continue;
        }
        std::size_t end = i + (text.compare(i, 2, "--") == 0 ? 2 : 1);
        if (end >= text.size() || std::islower(static_cast<unsigned char>(text[end])) == 0) {
            continue;
        }
        while (end < text.size() &&
               (std::islower(static_cast<unsigned char>(text[end])) != 0 || text[end] == '-')) {
            ++end;
        }
        options.insert(text.substr(i, end - i));
        i = end;
    }
    return options;
}

// The OPTIONS section of a manual page, its "\-" read as "-".
std::string ManualOptions(const fs::path& page) {
    std::string text = test::ReadBytes(page);
    const std::size_t from = text.find(".SH OPTIONS");
    const std::size_t to = text.find(".SH ", from + 1);
    text = text.substr(from, to - from);
    for (std::size_t at = text.find("\\-"); at != std::string::npos; at = text.find("\\-", at)) {
        text.erase(at, 1);
    }
    return text;
}

// A manual page that lacks an option of --help, or documents one the program
// no longer has, fails here.
TEST_F(ProgramTest, ManualPagesAndHelpNameTheSameOptions) {
    const fs::path help = temp.path() / "help";
    for (const std::string program : {"twDspUsrSpc", "twus_make"}) {
        SCOPED_TRACE(program);
        ASSERT_EQ(std::system(
                      (Quoted((kPrograms / program).string()) + " --help >" + Quoted(help.string()))
                          .c_str()),
                  0);
        const std::set<std::string> helpOptions = OptionsIn(test::ReadBytes(help));
        EXPECT_GE(helpOptions.size(), 7u);
        EXPECT_EQ(OptionsIn(ManualOptions(fs::path(TWDS_SOURCE_DIR) / "man" / (program + ".1"))),
                  helpOptions);
    }
}

}  // namespace
}  // namespace twds

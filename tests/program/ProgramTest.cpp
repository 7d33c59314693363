// The viewer's executable run from a shell: the cases that only the whole
// program shows. Every run has a time limit, so a hang fails the test
// instead of stopping the suite.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "TempFolder.h"

namespace twds {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

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
    std::string out;
    std::string err;
};

class ProgramTest : public ::testing::Test {
protected:
    ProgramTest() {
        fs::create_directories(temp.path() / "registry");
        fs::create_directories(Store() / "127.0.0.1");
        fs::copy_file(kPrograms / "samples" / "127.0.0.1" / "TWMODEL001.twus",
                      Store() / "127.0.0.1" / "TWMODEL001.twus");
    }

    [[nodiscard]] fs::path Store() const { return temp.path() / "store"; }

    // Runs the viewer with `arguments` (and a registry of the test's own),
    // standard output to `stdoutTo` (a file of the test's unless given).
    Result Run(const std::vector<std::string>& arguments, const std::string& stdoutTo = {},
               const std::string& environment = {}) {
        // env's options (-u NAME) stand before its assignments.
        std::string command =
            "cd " + Quoted(temp.path().string()) + " && env " + environment +
            " TWDSPUSRSPC_REGISTRY=" + Quoted((temp.path() / "registry").string()) +
            " timeout -s KILL 20 " + Quoted((kPrograms / "twDspUsrSpc").string());
        for (const std::string& argument : arguments) {
            command += " " + Quoted(argument);
        }
        const fs::path out = temp.path() / "stdout";
        const fs::path err = temp.path() / "stderr";
        command += " >" + (stdoutTo.empty() ? Quoted(out.string()) : stdoutTo) + " 2>" +
                   Quoted(err.string()) + " </dev/null";
        const int raw = std::system(command.c_str());
        Result result;
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        result.out = fs::exists(out) ? test::ReadBytes(out) : std::string();
        result.err = test::ReadBytes(err);
        return result;
    }

    void SetRegistryFile(const std::string& hive, const std::string& bytes) {
        test::WriteBytes(temp.path() / "registry" / (hive + ".reg"), bytes);
    }

    test::TempFolder temp;
};

// A FIFO where a file is expected would block its open for ever.
TEST_F(ProgramTest, FifosAreRefusedWithoutWaiting) {
    ASSERT_EQ(mkfifo((Store() / "127.0.0.1" / "FIFOSPACE1.twus").c_str(), 0600), 0);
    Result result =
        Run({"--export", "--store", Store().string(), "--output", "-", "127.0.0.1/FIFOSPACE1"});
    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_NE(result.err.find("FIFOSPACE1.twus"), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");

    const fs::path target = temp.path() / "target.usrspc";
    ASSERT_EQ(mkfifo(target.c_str(), 0600), 0);
    result = Run({"--export", "--store", Store().string(), "--output", target.string(),
                  "127.0.0.1/TWMODEL001"});
    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_NE(result.err.find("Export failed: " + target.string() +
                              " could not be written (No such device or address)."),
              std::string::npos)
        << result.err;
}

// A NUL in DataPath would end the path early and replace another file.
TEST_F(ProgramTest, NulInDataPathTouchesNoFile) {
    test::WriteBytes(temp.path() / "victim", "keep me");
    // "<temp>/victim" NUL "DATA" as REG_EXPAND_SZ bytes.
    std::string hex;
    const std::string value = (temp.path() / "victim").string() + std::string(1, '\0') + "DATA";
    for (const char c : value + std::string(1, '\0')) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02x,", static_cast<unsigned char>(c));
        hex += pair;
    }
    hex.pop_back();
    SetRegistryFile("HKEY_LOCAL_MACHINE",
                    "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orinex\\Tidewell\\TW_CFG]\r\n"
                    "\"DataPath\"=hex(2):" +
                        hex + "\r\n");
    const Result result = Run({"--export", "--store", Store().string(), "127.0.0.1/TWMODEL001"});
    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_NE(result.err.find("holds a NUL byte at character " +
                              std::to_string((temp.path() / "victim").string().size() + 1)),
              std::string::npos)
        << result.err;
    EXPECT_EQ(test::ReadBytes(temp.path() / "victim"), "keep me");
}

// Paths go to the system as it gave them; only the address and name become
// Windows-1252, and a name it cannot hold is refused.
TEST_F(ProgramTest, PathsKeepTheirBytesAndNamesMustFitTheCodePage) {
    fs::create_directories(temp.path() / "out-\xC3\xA9");
    const std::string cyrillic = "\xD0\xB6\xD0\xB6.usrspc";  // two Cyrillic zhe
    for (const std::string& output : {std::string("out-\xC3\xA9/x.usrspc"), cyrillic}) {
        SCOPED_TRACE(output);
        const Result result = Run(
            {"--export", "--store", Store().string(), "--output", output, "127.0.0.1/TWMODEL001"},
            {}, "LC_ALL=C.UTF-8");
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_TRUE(fs::exists(temp.path() / output));
    }
    EXPECT_FALSE(fs::exists(temp.path() / "??.usrspc"));

    const Result refused = Run(
        {"--export", "--store", Store().string(), "--output", "-", "127.0.0.1/TWMOD\xD0\xB6L001"},
        {}, "LC_ALL=C.UTF-8");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err,
              "The address and name 127.0.0.1/TWMOD?L001 hold characters that Windows-1252, the "
              "engine's code page, cannot hold (shown as \"?\"). Give them in characters it "
              "holds.\n");
}

// Messages reach the terminal as text it can show: control bytes escaped,
// a full device named as such.
TEST_F(ProgramTest, TerminalMessagesAreSafeAndSayWhatFailed) {
    Result result =
        Run({"--export", "--store", Store().string(), "--output", "-", "127.0.0.1/AB\x1b[2JC"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("AB\\x1B[2JC"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find('\x1b'), std::string::npos);

    result = Run({"--export", "--store", Store().string(), "--output", "-", "127.0.0.1/TWMODEL001"},
                 "/dev/full");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("Export failed: - could not be written (No space left on device)."),
              std::string::npos)
        << result.err;
}

TEST_F(ProgramTest, WithoutADisplayTheWindowSaysSoAndExportStillWorks) {
    const Result result =
        Run({"127.0.0.1/TWMODEL001"}, {}, "-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
              "twDspUsrSpc: the window needs a display server and none was found (DISPLAY and "
              "WAYLAND_DISPLAY are not set). To display and export without a window, use "
              "--export; see --help.\n");
}

// A signal in the middle of a large export leaves no temporary file; one
// left by a process killed outright goes with the next export.
TEST_F(ProgramTest, InterruptedExportLeavesNothingBehind) {
    const fs::path model = Store() / "127.0.0.1" / "BIGMODEL01.twus";
    ASSERT_EQ(std::system((Quoted((kPrograms / "twus_make").string()) +
                           " --generate --files 3000 --zc 100 --sql -o " + Quoted(model.string()) +
                           " >/dev/null")
                              .c_str()),
              0);
    const fs::path out = temp.path() / "out";
    fs::create_directories(out);
    const fs::path target = out / "big.usrspc";
    // Left by an export whose process is gone (no process has id 2^22 + 1).
    const fs::path stale = out / ".big.usrspc.tmp4194305-17";
    test::WriteBytes(stale, "partial");

    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        setenv("TWDSPUSRSPC_REGISTRY", (temp.path() / "registry").c_str(), 1);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 2);
        execl((kPrograms / "twDspUsrSpc").c_str(), "twDspUsrSpc", "--export", "--store",
              Store().c_str(), "--output", target.c_str(), "127.0.0.1/BIGMODEL01", nullptr);
        _exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    bool writing = false;
    while (!writing && std::chrono::steady_clock::now() < deadline) {
        for (const auto& entry : fs::directory_iterator(out)) {
            writing = writing || (entry.path() != stale &&
                                  entry.path().filename().string().starts_with(".big.usrspc.tmp"));
        }
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            GTEST_SKIP() << "the export ended before it could be interrupted";
        }
        std::this_thread::sleep_for(5ms);
    }
    ASSERT_TRUE(writing);
    EXPECT_FALSE(fs::exists(stale));
    kill(pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
    EXPECT_TRUE(fs::is_empty(out)) << "a temporary file was left behind";
}

}  // namespace
}  // namespace twds

#include "twds/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstring>
#include <random>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <process.h>
#else
#include <signal.h>  // NOLINT(modernize-deprecated-headers): sigaction is POSIX's
#include <unistd.h>
#endif

namespace twds {

namespace fs = std::filesystem;

namespace {

[[nodiscard]] int ProcessId() {
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<int>(getpid());
#endif
}

[[nodiscard]] std::string TemporaryPrefix(const fs::path& target) {
    // Built piece by piece: GCC 12 warns falsely (-Wrestrict) on "." + string.
    std::string prefix(1, '.');
    prefix += target.filename().string();
    prefix += ".tmp";
    return prefix;
}

// Symbolic links are followed at most this often, as the kernel does.
constexpr int kMaxLinks = 40;

// The file a write must replace: `file`, or the end of the chain of symbolic
// links it starts (which need not exist yet). On failure `brokenLink` names
// the link that could not be read.
fs::path FollowLinks(fs::path file, fs::path& brokenLink, std::error_code& error) {
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        if (!fs::is_symlink(fs::symlink_status(file, error))) {
            error.clear();
            return file;
        }
        const fs::path target = fs::read_symlink(file, error);
        if (error) {
            brokenLink = file;
            return {};
        }
        file = target.is_absolute() ? target : file.parent_path() / target;
    }
    brokenLink = file;
    error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
    return {};
}

#ifndef _WIN32

// The temporary file a signal handler removes: a fixed buffer, since a
// handler may call neither the allocator nor std::filesystem.
constexpr std::size_t kMaxPath = 4096;
char armedPath[kMaxPath];
std::atomic<bool> armed{false};
struct sigaction previousActions[3];
constexpr int kSignals[3] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void RemoveTemporaryAndEnd(int signal) {
    if (armed.exchange(false)) {
        unlink(armedPath);
    }
    // End the way the signal would have ended the process.
    ::signal(signal, SIG_DFL);
    raise(signal);
}

void Arm(const fs::path& path) {
    const std::string text = path.string();
    if (text.size() >= kMaxPath) {
        return;  // left for the next export's clean-up
    }
    std::memcpy(armedPath, text.c_str(), text.size() + 1);
    struct sigaction action {};
    action.sa_handler = RemoveTemporaryAndEnd;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        sigaction(kSignals[i], &action, &previousActions[i]);
    }
    armed = true;
}

void Disarm() {
    if (!armed.exchange(false)) {
        return;
    }
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        sigaction(kSignals[i], &previousActions[i], nullptr);
    }
}

[[nodiscard]] bool ProcessRuns(int pid) {
    return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

#else

// Console interrupts end a Windows process without running handlers that
// could remove the file; the next export's clean-up does it.
void Arm(const fs::path& /*path*/) {}
void Disarm() {}
[[nodiscard]] bool ProcessRuns(int /*pid*/) {
    return true;  // without a cheap check, never remove another's file
}

#endif

}  // namespace

AtomicFile::AtomicFile(const fs::path& file) {
    target_ = FollowLinks(file, brokenLink_, error_);
    if (error_) {
        return;
    }
    RemoveStaleTemporaries(target_);
    std::random_device seed;
    std::mt19937 random(seed());
    const std::string prefix = TemporaryPrefix(target_) + std::to_string(ProcessId()) + "-";
    for (int attempt = 0; attempt < 16; ++attempt) {
        path_ = target_;
        path_.replace_filename(prefix + std::to_string(random() % 1'000'000'000U));
        // "x": never an existing file.
        file_ = std::fopen(path_.string().c_str(), "wbx");
        if (file_ != nullptr) {
            error_.clear();
            Arm(path_);
            return;
        }
        error_ = {errno, std::generic_category()};
        if (error_ != std::errc::file_exists) {
            return;
        }
    }
}

AtomicFile::~AtomicFile() {
    release();
}

std::error_code AtomicFile::commit() {
    std::error_code error;
    if (std::fclose(file_) != 0) {
        error = {errno, std::generic_category()};
    }
    file_ = nullptr;
    if (!error) {
        // The new file takes the place of the old one, permissions included;
        // a new target keeps the temporary file's (the umask's) permissions.
        std::error_code ignored;
        if (const auto old = fs::status(target_, ignored); !ignored && fs::is_regular_file(old)) {
            fs::permissions(path_, old.permissions(), fs::perm_options::replace, ignored);
        }
        fs::rename(path_, target_, error);
    }
    committed_ = !error;
    release();
    return error;
}

void AtomicFile::release() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!path_.empty() && !committed_ && !error_) {
        std::error_code ignored;
        fs::remove(path_, ignored);
    }
    Disarm();
    path_.clear();
}

void RemoveStaleTemporaries(const fs::path& target) {
    const std::string prefix = TemporaryPrefix(target);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (!name.starts_with(prefix)) {
            continue;
        }
        // ".NAME.tmp<pid>-<random>": anything else is not ours.
        const std::string_view rest = std::string_view(name).substr(prefix.size());
        int pid = 0;
        const auto [end_of_pid, parsed] =
            std::from_chars(rest.data(), rest.data() + rest.size(), pid);
        if (parsed != std::errc() || end_of_pid == rest.data() ||
            end_of_pid == rest.data() + rest.size() || *end_of_pid != '-' || pid <= 0 ||
            pid == ProcessId() || ProcessRuns(pid)) {
            continue;
        }
        std::error_code ignored;
        if (entry->is_regular_file(ignored)) {
            fs::remove(entry->path(), ignored);
        }
    }
}

Status WriteFileAtomically(const fs::path& file, std::string_view bytes, std::string_view what) {
    AtomicFile replacement(file);
    if (replacement.file() == nullptr) {
        if (!replacement.brokenLink().empty()) {
            return Failure{"Cannot follow the link " + replacement.brokenLink().string() + ": " +
                           replacement.error().message()};
        }
        return Failure{"Cannot write the " + std::string(what) + " " +
                       replacement.target().string() + ": " + replacement.error().message()};
    }
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), replacement.file()) != bytes.size() ||
        std::fflush(replacement.file()) != 0) {
        const std::error_code error(errno != 0 ? errno : EIO, std::generic_category());
        return Failure{"Cannot write the " + std::string(what) + " " +
                       replacement.target().string() + ": " + error.message()};
    }
    if (const std::error_code error = replacement.commit()) {
        return Failure{"Cannot replace the " + std::string(what) + " " +
                       replacement.target().string() + ": " + error.message()};
    }
    return {};
}

}  // namespace twds

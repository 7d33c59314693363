#include "HiveFile.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

#include "twds/AtomicFile.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace twds {

namespace {

namespace fs = std::filesystem;

std::string ErrnoText(int error) {
    return std::generic_category().message(error);
}

std::string Unreadable(const fs::path& file, const std::string& reason) {
    return "Cannot read the registry file " + file.string() + ": " + reason;
}

HiveFileBytes UnreadableFile(const fs::path& file, const std::string& reason) {
    return {HiveFileBytes::State::Unreadable, {}, Unreadable(file, reason), std::nullopt};
}

#ifndef _WIN32
std::string FileKind(mode_t mode) {
    if (S_ISFIFO(mode)) {
        return "a FIFO";
    }
    if (S_ISDIR(mode)) {
        return "a folder";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "a device";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    return "not a file";
}

HiveFileStamp StampOf(const struct stat& info) {
    constexpr std::int64_t kNsPerSecond = 1'000'000'000;
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::int64_t>(info.st_size),
            static_cast<std::int64_t>(info.st_mtim.tv_sec) * kNsPerSecond + info.st_mtim.tv_nsec,
            static_cast<std::int64_t>(info.st_ctim.tv_sec) * kNsPerSecond + info.st_ctim.tv_nsec};
}

// The file's stamp, unless it was modified so recently that another change in
// the same tick of the file system's clock would leave the stamp as it is
// (the "racily clean" files of version control): such a file is read again.
// A later change of a settled file gives it a newer modification time.
std::optional<HiveFileStamp> SettledStamp(const struct stat& info) {
    constexpr std::int64_t kSettleNs = 2'000'000'000;
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const HiveFileStamp stamp = StampOf(info);
    const std::int64_t nowNs = static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
    if (nowNs - stamp.modifiedNs < kSettleNs) {
        return std::nullopt;
    }
    return stamp;
}

std::string NotRegular(mode_t mode) {
    return "it is " + FileKind(mode) +
           ", not a regular file; remove it, or put a registry file in its place";
}
#endif

}  // namespace

#ifndef _WIN32
std::optional<HiveFileStamp> StampHiveFile(const fs::path& file) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return StampOf(info);
}

// POSIX calls rather than std::ifstream: opening a FIFO for reading blocks
// until a writer comes, so the type is checked before opening, and again on
// the descriptor (opened without blocking) in case the file was swapped.
HiveFileBytes ReadHiveFileBytes(const fs::path& file) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            return {};
        }
        return UnreadableFile(file, ErrnoText(error));
    }
    if (!S_ISREG(info.st_mode)) {
        return UnreadableFile(file, NotRegular(info.st_mode));
    }
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0) {
        const int error = errno;
        if (error == ENOENT) {
            return {};
        }
        return UnreadableFile(
            file, ErrnoText(error) + (error == EACCES ? "; give this user read access to it" : ""));
    }
    HiveFileBytes result{HiveFileBytes::State::Read, {}, {}, std::nullopt};
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        result = UnreadableFile(file, NotRegular(info.st_mode));
    } else {
        result.stamp = SettledStamp(info);
        result.bytes.reserve(static_cast<std::size_t>(info.st_size));
        char buffer[1 << 16];
        while (true) {
            const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
            if (count > 0) {
                result.bytes.append(buffer, static_cast<std::size_t>(count));
            } else if (count == 0) {
                break;
            } else if (errno != EINTR) {
                result = UnreadableFile(file, ErrnoText(errno));
                break;
            }
        }
    }
    ::close(descriptor);
    return result;
}
#else
std::optional<HiveFileStamp> StampHiveFile(const fs::path& /*file*/) {
    return std::nullopt;
}

// Windows has no FIFOs among files; the type check before opening suffices.
HiveFileBytes ReadHiveFileBytes(const fs::path& file) {
    std::error_code ec;
    const auto status = fs::status(file, ec);
    if (status.type() == fs::file_type::not_found) {
        return {};
    }
    if (ec) {
        return UnreadableFile(file, ec.message());
    }
    if (status.type() != fs::file_type::regular) {
        return UnreadableFile(file,
                              "it is not a regular file; remove it, or put a registry file in "
                              "its place");
    }
    errno = 0;
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return UnreadableFile(file, ErrnoText(errno != 0 ? errno : EIO));
    }
    HiveFileBytes result{HiveFileBytes::State::Read, {}, {}, std::nullopt};
    result.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return UnreadableFile(file, ErrnoText(EIO));
    }
    return result;
}
#endif

Status ReplaceHiveFile(const fs::path& file, std::string_view bytes) {
    return WriteFileAtomically(file, bytes, "registry file");
}

}  // namespace twds

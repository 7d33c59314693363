#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "twds/Result.h"

// Reading and replacing the bytes of one hive file of the file registry.
namespace twds {

// What tells one version of a file from the next: a replacement is another
// file (device and inode), an edit in place changes the size or the times.
struct HiveFileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;

    bool operator==(const HiveFileStamp&) const = default;
};

struct HiveFileBytes {
    enum class State { Missing, Read, Unreadable };
    State state = State::Missing;
    std::string bytes;  // Read: the whole file
    std::string error;  // Unreadable: why, and what to do about it
    // Read: the file's stamp as it was opened; none where the system gives
    // no inode (Windows) or when the file was modified in the last two seconds,
    // so that nothing read then is taken as unchanged later.
    std::optional<HiveFileStamp> stamp;
};

// The stamp of the regular file `file` is now; none when it is missing,
// not a regular file or cannot be examined.
[[nodiscard]] std::optional<HiveFileStamp> StampHiveFile(const std::filesystem::path& file);

// Reads the whole file. Anything but a regular file (a FIFO, a device, a
// folder) is refused without being opened for reading, so that it cannot
// block the viewer.
[[nodiscard]] HiveFileBytes ReadHiveFileBytes(const std::filesystem::path& file);

// Replaces the file's bytes in one step: a temporary file in the same folder
// is renamed over it, so a reader sees the old or the new file, never a part.
// A symbolic link is followed and its target replaced, keeping the link; the
// file keeps its permissions.
[[nodiscard]] Status ReplaceHiveFile(const std::filesystem::path& file, std::string_view bytes);

}  // namespace twds

#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Reading and replacing the bytes of one hive file of the file registry.
namespace twds {

struct HiveFileBytes {
    enum class State { Missing, Read, Unreadable };
    State state = State::Missing;
    std::string bytes;  // Read: the whole file
    std::string error;  // Unreadable: why, and what to do about it
};

// Reads the whole file. Anything but a regular file (a FIFO, a device, a
// folder) is refused without being opened for reading, so that it cannot
// block the viewer.
[[nodiscard]] HiveFileBytes ReadHiveFileBytes(const std::filesystem::path& file);

// Replaces the file's bytes in one step: a temporary file in the same folder
// is renamed over it, so a reader sees the old or the new file, never a part.
// A symbolic link is followed and its target replaced, keeping the link; the
// file keeps its permissions. Returns "" on success, else what failed.
[[nodiscard]] std::string ReplaceHiveFile(const std::filesystem::path& file,
                                          std::string_view bytes);

}  // namespace twds

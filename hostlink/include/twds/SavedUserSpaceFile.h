#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "twds/Messages.h"
#include "twds/Result.h"
#include "twds/SnapshotInfo.h"

namespace twds {

// One saved user space (a ".twus" file), read whole into memory and indexed
// by page kind and position.
//
// The file is a header line followed by page records:
//
//   TWUSRSPC PAGES 1<LF>
//   <kind> <position, 8 digits> <length in bytes><LF><page bytes><LF>
//   ...
//
// kind is one upper-case letter (C, G, E, F, Z, S). Empty lines and lines
// beginning with "#" may stand between records. A later record of the same
// kind and position replaces an earlier one. Page bytes are raw
// (Windows-1252, NUL an ordinary byte) and are not padded to the request's
// length: the host link pads them.
//
// The file's bytes are kept once; pages are views into them, so a model of
// 10,000 files costs its file size plus a small index entry per page.
class SavedUserSpaceFile {
public:
    static constexpr std::string_view kHeader = "TWUSRSPC PAGES 1\n";
    static constexpr std::size_t kPositionDigits = 8;

    SavedUserSpaceFile(const SavedUserSpaceFile&) = delete;
    SavedUserSpaceFile& operator=(const SavedUserSpaceFile&) = delete;

    // Parses the bytes of a file. fileName only names the file in messages.
    // A malformed file fails with a text (from `messages`) naming the file,
    // the byte offset and what was expected there.
    [[nodiscard]] static Result<std::unique_ptr<SavedUserSpaceFile>> parse(
        std::string bytes, const std::string& fileName,
        const MessageLookup& messages = BuiltInMessages());

    // Reads the file whole and parses it; fails when it is not a regular
    // file, cannot be read or is malformed. The header line is checked
    // before the rest is read. The bytes are read into `buffer`'s memory
    // when it is large enough (see releaseBytes).
    [[nodiscard]] static Result<std::unique_ptr<SavedUserSpaceFile>> load(
        const std::filesystem::path& file, std::string buffer = {},
        const MessageLookup& messages = BuiltInMessages());

    // Gives up the file's bytes, to be read over by the next load; the file
    // has no pages afterwards.
    [[nodiscard]] std::string releaseBytes();

    // The page of this kind and position, or nothing when the file holds no
    // such record. The view lives as long as this object.
    [[nodiscard]] std::optional<std::string_view> page(char kind, std::uint32_t position) const;

    // Number of distinct (kind, position) pages.
    [[nodiscard]] std::size_t pageCount() const { return index_.size(); }

    // The snapshot header's fields ("# snapshot" lines before the first
    // record); empty for a file without one.
    [[nodiscard]] const SnapshotInfo& snapshot() const { return snapshot_; }

private:
    struct Span {
        std::size_t offset = 0;
        std::size_t length = 0;
    };

    explicit SavedUserSpaceFile(std::string bytes);

    [[nodiscard]] static std::uint64_t indexKey(char kind, std::uint32_t position) {
        return (std::uint64_t{static_cast<unsigned char>(kind)} << 32) | position;
    }

    std::string bytes_;
    std::unordered_map<std::uint64_t, Span> index_;
    SnapshotInfo snapshot_;
};

}  // namespace twds

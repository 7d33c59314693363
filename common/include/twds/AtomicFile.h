#pragma once

#include <cstdio>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "twds/Result.h"

namespace twds {

// A file replaced whole or not at all: the new bytes go to a temporary file
// in the target's folder, ".<target name>.tmp<process id>-<random>", which
// commit() renames over the target, so a reader sees the old file or the
// new one, never a part. A symbolic link is followed and its target
// replaced, keeping the link; the replaced file keeps its permissions.
//
// While a temporary file exists, SIGINT, SIGTERM and SIGHUP remove it before
// the process ends as the signal would end it. A process killed outright
// (SIGKILL, a power cut) cannot clean up: creating the next temporary file
// beside the same target removes those whose process no longer runs. The
// signal clean-up knows one temporary file at a time: the viewer writes one
// file at a time, from one thread.
class AtomicFile {
public:
    // Follows `file`'s links and creates the temporary file (never an
    // existing one). file() is null and error() says why when it cannot;
    // brokenLink() then names the link that could not be followed, if that
    // was the cause.
    explicit AtomicFile(const std::filesystem::path& file);
    // Closes and removes the temporary file unless commit() renamed it.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    [[nodiscard]] std::FILE* file() const { return file_; }
    [[nodiscard]] const std::error_code& error() const { return error_; }
    [[nodiscard]] const std::filesystem::path& brokenLink() const { return brokenLink_; }
    // The file that commit() replaces: `file` with its links followed.
    [[nodiscard]] const std::filesystem::path& target() const { return target_; }
    [[nodiscard]] const std::filesystem::path& path() const { return path_; }

    // Closes the temporary file and gives it the target's name and
    // permissions. Returns the failure; the temporary file is gone either way.
    std::error_code commit();

private:
    void release();

    std::filesystem::path target_;
    std::filesystem::path path_;
    std::filesystem::path brokenLink_;
    std::FILE* file_ = nullptr;
    std::error_code error_;
    bool committed_ = false;
};

// Replaces `file` with `bytes` through an AtomicFile. A failure says
// "Cannot write the <what> <file>: <reason>" when the bytes could not be
// written, "Cannot replace the <what> <file>: <reason>" when the rename
// failed, and "Cannot follow the link <link>: <reason>".
Status WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                           std::string_view what);

// Removes the temporary files of AtomicFiles for `target` whose process no
// longer runs. Files of running writers, and anything not named like ours,
// stay.
void RemoveStaleTemporaries(const std::filesystem::path& target);

}  // namespace twds

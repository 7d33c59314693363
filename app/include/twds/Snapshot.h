#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "twds/Messages.h"
#include "twds/Result.h"
#include "twds/SnapshotHostLink.h"
#include "twds/SnapshotInfo.h"

namespace twds {

class DisplayCommand;

// A snapshot keeps the pages of one Display as a saved user space, with a
// header saying what was displayed, when, by which viewer and from where;
// opened again by its path, it displays and exports as that Display did.

// "2026-12-06T04:55:01Z".
[[nodiscard]] std::string FormatUtcTime(std::chrono::system_clock::time_point time);

// The header of a snapshot of `display`. A Display of a snapshot keeps that
// snapshot's time and host link: the pages are still those fetched then.
[[nodiscard]] SnapshotInfo SnapshotInfoOf(const DisplayCommand& display);

// The snapshot file's bytes: the header, then every fetched page in the
// order requested.
void WriteSnapshot(const DisplayCommand& display, std::ostream& out);
[[nodiscard]] std::string SnapshotBytes(const DisplayCommand& display);

struct SnapshotResult {
    enum class Status { Written, NothingToSave, Exists, Failed };
    Status status = Status::NothingToSave;
    std::string message;  // status-line text, in the user's language
};

// Saves the Display's pages in `file`, atomically. An existing file is
// replaced only when `replace` is set (the user agreed, or --force);
// otherwise the result is Exists and the file stays as it was.
[[nodiscard]] SnapshotResult SaveSnapshot(const DisplayCommand& display,
                                          const std::filesystem::path& file, bool replace,
                                          const MessageLookup& messages);

// Whether a target names a saved user-space file rather than ADDRESS/NAME:
// it ends in ".twus" (in any case).
[[nodiscard]] bool IsSnapshotPath(std::string_view target);

// A snapshot opened by its path: the host link that serves it and the
// address and name to display it with.
struct OpenedSnapshot {
    std::unique_ptr<SnapshotHostLink> hostLink;
    std::string address;
    std::string name;
    // Said when the file has no header and the path gave address and name.
    std::string notice;
};

// Reads and checks `file`. The address and name come from its header;
// without one, from the path as a store lays it out (<address>/<NAME>.twus):
// the folder's name and the file's name without ".twus". A bad file fails
// with the reader's message, which names the file and what is wrong.
[[nodiscard]] Result<OpenedSnapshot> OpenSnapshot(const std::filesystem::path& file,
                                                  const MessageLookup& messages);

}  // namespace twds

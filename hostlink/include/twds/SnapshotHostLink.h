#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "twds/HostLink.h"
#include "twds/Messages.h"
#include "twds/Result.h"
#include "twds/SavedUserSpaceFile.h"

namespace twds {

// A host link over one saved user space opened by its path (a snapshot, or
// any .twus file), without a store: every connection succeeds whatever the
// address, and every request is answered from that file whatever the name.
//
// The file is read when the host link is made, so that a bad file is
// refused before anything is displayed, and again by each later connection;
// closing a connection lets its bytes go.
class SnapshotHostLink final : public HostLink {
public:
    // Error category returned in code1 by fnDllParamGetLastError.
    static constexpr std::int32_t kMissingPage = 7;
    static constexpr std::int32_t kUnreadableFile = 6;

    // Reads and checks `file`; a failure's text names the file and what is
    // wrong with it.
    [[nodiscard]] static Result<std::unique_ptr<SnapshotHostLink>> open(
        const std::filesystem::path& file, MessageLookup messages = BuiltInMessages());

    // The header of the file as it was opened.
    [[nodiscard]] const SnapshotInfo& snapshot() const { return snapshot_; }
    [[nodiscard]] const std::filesystem::path& path() const { return path_; }

    int32_t fnDllParamOpenMConnection(std::string& machine, std::string& buffer1,
                                      std::string& buffer2, int32_t& connection) override;
    int32_t fnDllParamRtvUserspace(std::string& userSpace, std::string& page) override;
    int32_t fnDllParamCloseMConnection(int32_t connection) override;
    int32_t fnDllParamGetLastError(int32_t& code1, int32_t& code2, std::string& text,
                                   int32_t length) override;

    // A snapshot (with its header) or, for a file without one, a saved file.
    [[nodiscard]] PageSource pageSource() const override;

private:
    SnapshotHostLink(std::filesystem::path path, MessageLookup messages,
                     std::unique_ptr<SavedUserSpaceFile> file);
    int32_t fail(std::int32_t code, std::string text);

    std::filesystem::path path_;
    MessageLookup messages_;
    std::unique_ptr<SavedUserSpaceFile> file_;  // null between connections
    SnapshotInfo snapshot_;
    int32_t connection_ = 0;
    std::int32_t lastCode_ = 0;
    std::string lastError_;
};

}  // namespace twds

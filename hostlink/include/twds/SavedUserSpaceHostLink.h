#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "twds/HostLink.h"
#include "twds/Messages.h"
#include "twds/SavedUserSpaceFile.h"

namespace twds {

// A host link that serves user spaces saved in files instead of a live
// machine: <store>/<address>/<NAME>.twus (format in SavedUserSpaceFile.h).
//
// Opening a connection picks the first store that holds a folder for the
// address. Each user-space file is read and indexed once per connection, on
// its first request; every request after that is a lookup and a copy. One
// connection is open at a time: opening another ends the first.
class SavedUserSpaceHostLink final : public HostLink {
public:
    // Error categories returned in code1 by fnDllParamGetLastError.
    enum ErrorCode : std::int32_t {
        kNoError = 0,
        kNoStore = 1,         // the address has no folder in any store
        kRefusedName = 2,     // an address or name that would leave the store
        kNotConnected = 3,    // a retrieval without an open connection
        kBadRequest = 4,      // a page request not of the form " 99999999K"
        kMissingFile = 5,     // no saved file for the user space
        kUnreadableFile = 6,  // the file cannot be read or is malformed
        kMissingPage = 7,     // no record of the requested kind and position
    };

    // stores: folders searched in order; folders that do not exist are
    // skipped. messages: the texts of the last errors, in the user's
    // language. samples: the one of stores that holds the samples shipped
    // with the viewer, if any, so that pageSource() can tell them apart.
    explicit SavedUserSpaceHostLink(std::vector<std::filesystem::path> stores,
                                    MessageLookup messages = BuiltInMessages(),
                                    std::filesystem::path samples = {});

    int32_t fnDllParamOpenMConnection(std::string& machine, std::string& buffer1,
                                      std::string& buffer2, int32_t& connection) override;
    int32_t fnDllParamRtvUserspace(std::string& userSpace, std::string& page) override;
    int32_t fnDllParamCloseMConnection(int32_t connection) override;
    int32_t fnDllParamGetLastError(int32_t& code1, int32_t& code2, std::string& text,
                                   int32_t length) override;

    // The saved file that the last connection read pages from (a sample when
    // it lies in the samples store); Unknown until one was read. It outlives
    // the connection's close, so that it can be shown after the Display.
    [[nodiscard]] PageSource pageSource() const override { return source_; }

private:
    // A user-space file as the connection found it: indexed, or the reason
    // why it could not be used (kept so that the file is not read again).
    struct LoadedFile {
        std::unique_ptr<SavedUserSpaceFile> file;
        std::filesystem::path path;
        ErrorCode code = kNoError;
        std::string error;
    };

    int32_t fail(ErrorCode code, std::string text);
    const LoadedFile& loadFile(const std::string& name);
    // Forgets the files read by the connection, keeping the largest one's
    // memory for the next read.
    void releaseFiles();

    std::vector<std::filesystem::path> stores_;
    MessageLookup messages_;
    std::filesystem::path samples_;
    int32_t connection_ = 0;  // 0: no connection is open
    int32_t lastHandle_ = 0;
    std::string address_;
    std::filesystem::path folder_;
    bool folderInSamples_ = false;
    PageSource source_;
    std::unordered_map<std::string, LoadedFile> files_;
    // Memory a file was read into, for the next connection's read. A Display
    // pressed again reads the user space again: into memory already mapped,
    // that read of 75 MB takes a tenth of the time it takes into fresh pages,
    // which the system must fault in one by one.
    std::string spareBuffer_;
    ErrorCode lastCode_ = kNoError;
    std::string lastError_;
};

}  // namespace twds

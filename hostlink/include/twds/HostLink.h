#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>

#include "twds/SnapshotInfo.h"

namespace twds {

// The engine's host-link library as the viewer uses it: four operations with
// the library's own names and buffer contract.
//
// Where the pages of a host link's last connection came from, so that the
// user can tell a live machine from a file.
struct PageSource {
    enum class Kind {
        Unknown,    // nothing read yet, or a host link that cannot tell
        Library,    // a host-link library: path is the library loaded
        SavedFile,  // a saved user space: path is the file read
        Sample,     // a saved user space among the samples shipped with the viewer
        Snapshot,   // a snapshot opened by its path: path is the file, snapshot its header
    };
    PageSource() = default;
    PageSource(Kind kind, std::filesystem::path path, SnapshotInfo snapshot = {})
        : kind(kind), path(std::move(path)), snapshot(std::move(snapshot)) {}
    Kind kind = Kind::Unknown;
    std::filesystem::path path;
    SnapshotInfo snapshot;
};

// Every text argument is an in/out buffer of single-byte ANSI (Windows-1252)
// bytes. The caller fills it; the implementation may overwrite its bytes but
// never changes its length, and whatever it wrote comes back to the caller.
// A NUL byte is an ordinary byte of a buffer, not an end mark.
// Results are 32-bit integers, 0 meaning failure. Nothing throws.
class HostLink {
public:
    virtual ~HostLink() = default;

    // machine: the IP address, blanks trimmed. buffer1, buffer2: 10 blanks on
    // the call; the viewer ignores what comes back. connection: receives the
    // handle. Returns 0 when the connection failed.
    virtual int32_t fnDllParamOpenMConnection(std::string& machine, std::string& buffer1,
                                              std::string& buffer2, int32_t& connection) = 0;

    // userSpace: the 10-character user-space name, in/out. page: the page
    // request on the call (a blank, 8 digits, the kind letter, blanks up to
    // 2000, 10000 or 30000 bytes); the page text of the same length on return.
    // Works on the connection that is open. Returns 0 when the page could not
    // be retrieved.
    virtual int32_t fnDllParamRtvUserspace(std::string& userSpace, std::string& page) = 0;

    // Ends the connection. A stale handle, or 0, does nothing.
    virtual int32_t fnDllParamCloseMConnection(int32_t connection) = 0;

    // code1, code2: filled at the library's discretion. text: a buffer of
    // `length` blanks on the call, the last error's text on return (same
    // length, NUL-terminated when shorter than the buffer).
    virtual int32_t fnDllParamGetLastError(int32_t& code1, int32_t& code2, std::string& text,
                                           int32_t length) = 0;

    // Where the last connection's pages came from (not one of the library's
    // functions: the viewer's own bookkeeping).
    [[nodiscard]] virtual PageSource pageSource() const { return {}; }
};

}  // namespace twds

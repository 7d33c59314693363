#pragma once

#include <string>
#include <string_view>

namespace twds {

// What a snapshot's header says about the Display its pages came from. Each
// field is Windows-1252 bytes, empty when the header does not give it.
struct SnapshotInfo {
    std::string address;   // the machine's address, as displayed
    std::string name;      // the user-space name, as displayed
    std::string fetched;   // when the pages were fetched: "2026-12-06T04:55:01Z"
    std::string viewer;    // the version of the viewer that saved them
    std::string hostLink;  // what served the pages: a library or a saved file

    // A file without a snapshot header (one twus_make wrote, say) says nothing.
    [[nodiscard]] bool empty() const {
        return address.empty() && name.empty() && fetched.empty() && viewer.empty() &&
               hostLink.empty();
    }
};

// The header's lines, "# snapshot <key> <value>", stand right after the
// format line; readers that do not know them skip them as comments.
inline constexpr std::string_view kSnapshotLinePrefix = "# snapshot ";

// A header value as written: a backslash doubled, control bytes and DEL as
// "\xNN", so that no value can end its line. Other bytes stay as they are.
[[nodiscard]] std::string EscapeSnapshotValue(std::string_view value);
// The bytes an escaped value stands for. A backslash that starts no escape
// stays as it is.
[[nodiscard]] std::string UnescapeSnapshotValue(std::string_view text);

// Sets the field named `key` ("address", "name", "fetched", "viewer",
// "hostlink") from its escaped text; other keys are ignored, so that later
// versions may add some.
void SetSnapshotField(SnapshotInfo& info, std::string_view key, std::string_view text);

}  // namespace twds

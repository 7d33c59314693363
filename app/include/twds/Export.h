#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>

#include "twds/Registry.h"
#include "twds/StatusMessages.h"

namespace twds {

class DisplayCommand;

// Where the engine's configuration names its data folder.
inline constexpr std::string_view kDataPathKey = R"(SOFTWARE\Orinex\Tidewell\TW_CFG)";
inline constexpr std::string_view kDataPathValue = "DataPath";
// The export file's extension, after the user-space name.
inline constexpr std::string_view kExportExtension = ".usrspc";

struct ExportResult {
    enum class Status { NothingToExport, Written, NeedsLocation, Refused };
    Status status = Status::NothingToExport;
    std::filesystem::path path;  // the file written, or the one that was intended
    std::string message;         // status-line text; empty for NothingToExport
};

// The Export button. Writes nothing when userSpaceName is blank or the CX list
// is empty; otherwise writes the file named by "DataPath" less its last four
// characters, immediately followed by userSpace (of the last Display) and
// ".usrspc". No separator is added, and outside Windows a "\" is an ordinary
// file-name character, so there "DataPath" must use "/" (for example
// "/srv/tidewell/DATA" gives "/srv/tidewell/<name>.usrspc").
//
// NeedsLocation when "DataPath" is missing or shorter than four characters,
// when its folder does not exist, or when the file cannot be written; Refused
// when the name holds a "/", "\" or NUL or is "." or "..".
[[nodiscard]] ExportResult ExportToDataPath(const DisplayCommand& display, RegistryStore& registry,
                                            const MessageLookup& lookup);

// The same content into a chosen file (Save As, --output FILE). Nothing when
// there is nothing to export, as for the button.
//
// A regular file is replaced atomically: the export goes to a temporary file
// in the same folder, which then takes the file's name, so a failed export
// leaves the previous file untouched and no partial file behind. A symbolic
// link is followed and its target replaced. A device or pipe (for example
// /dev/stdout) is written in place.
[[nodiscard]] ExportResult ExportToFile(const DisplayCommand& display,
                                        const std::filesystem::path& file,
                                        const MessageLookup& lookup);

// Writes the export's bytes to `out` (--output -), whatever the window holds.
// Returns false when the stream failed.
bool WriteExport(const DisplayCommand& display, std::ostream& out);

// The "DataPath" text as the export reads it: a string as stored, an integer
// as its decimal text, nothing as "".
[[nodiscard]] std::string ReadDataPath(RegistryStore& registry);

}  // namespace twds

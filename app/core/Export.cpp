#include "twds/Export.h"

#include <cerrno>
#include <cstdio>
#include <system_error>
#include <type_traits>
#include <variant>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include "twds/AnsiText.h"
#include "twds/Ascii.h"
#include "twds/AtomicFile.h"
#include "twds/DisplayCommand.h"
#include "twds/PageLists.h"
#include "twds/Trim.h"

namespace twds {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kEndTwBanner = "++++++++++ Page End_TW ++++++++++++++++++++++++++++";

// The export is assembled in chunks of this size and handed on whole: one
// write per megabyte instead of four per row keeps a million-row export well
// under a second.
constexpr std::size_t kChunkSize = std::size_t{1} << 20;

// Passes the export's bytes to `sink` (bool(std::string_view)) in chunks;
// stops and returns false as soon as the sink does.
template <typename Sink>
bool EmitExport(const DisplayCommand& display, Sink&& sink) {
    // Not reserved ahead: the chunk grows to its size by doubling on a large
    // export, and a small one (most of them) never asks for a megabyte, which
    // under AddressSanitizer costs a mapping and its unmapping each time.
    std::string chunk;
    bool ok = true;
    auto append = [&](std::string_view bytes) {
        chunk.append(bytes);
        if (chunk.size() >= kChunkSize) {
            ok = sink(std::string_view(chunk));
            chunk.clear();
        }
    };

    for (std::size_t section = 0; section < kPageLists.size() && ok; ++section) {
        append(kPageLists[section].exportBanner);
        append(kLineEnd);
        const FieldList& list = display.list(kPageLists[section].list);
        for (std::size_t row = 0; row < list.rowCount() && ok; ++row) {
            append(list.text(row));
            append(":");
            append(list.value(row));
            append(kLineEnd);
        }
    }
    if (ok && display.kept.endLength > 0) {
        append(kEndTwBanner);
        append(kLineEnd);
        append(display.endTwText);
        append(kLineEnd);
    }
    if (ok && !chunk.empty()) {
        ok = sink(std::string_view(chunk));
    }
    return ok;
}

[[nodiscard]] bool NothingToExport(const DisplayCommand& display) {
    return Trim(display.userSpaceName).empty() || display.list(PageList::CX).empty();
}

[[nodiscard]] std::error_code LastSystemError() {
    return {errno, std::generic_category()};
}

// Writes the export through stdio, which unlike the iostreams leaves errno
// set on a failure, so the user learns the cause (disk full, permissions).
std::error_code WriteExportStream(const DisplayCommand& display, std::FILE* file) {
    std::error_code error;
    const bool written = EmitExport(display, [&](std::string_view bytes) {
        if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
            error = LastSystemError();
            return false;
        }
        return true;
    });
    if (written && std::fflush(file) != 0) {
        error = LastSystemError();
    }
    return error;
}

// A device or pipe is written where it is. A pipe that no program reads
// would block the open for ever: it is opened without waiting, and refused
// (ENXIO, "No such device or address") when nothing reads from it.
std::error_code WriteInPlace(const DisplayCommand& display, const fs::path& target) {
#ifdef _WIN32
    std::FILE* file = std::fopen(target.string().c_str(), "wb");
#else
    const int descriptor = open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return LastSystemError();
    }
    // Writes may wait again once a reader is there.
    fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = fdopen(descriptor, "wb");
    if (file == nullptr) {
        const std::error_code error = LastSystemError();
        close(descriptor);
        return error;
    }
#endif
    if (file == nullptr) {
        return LastSystemError();
    }
    std::error_code error = WriteExportStream(display, file);
    if (std::fclose(file) != 0 && !error) {
        error = LastSystemError();
    }
    return error;
}

std::error_code ReplaceAtomically(const DisplayCommand& display, const fs::path& target) {
    AtomicFile replacement(target);
    if (replacement.file() == nullptr) {
        return replacement.error();
    }
    const std::error_code error = WriteExportStream(display, replacement.file());
    return error ? error : replacement.commit();
}

ExportResult WriteExportFile(const DisplayCommand& display, const fs::path& file,
                             const MessageLookup& lookup) {
    fs::path target = file;
    std::error_code error;
    if (fs::is_symlink(target, error)) {
        fs::path resolved = fs::canonical(target, error);
        if (!error) {
            target = std::move(resolved);
        }
    }
    const fs::file_status status = fs::status(target, error);
    if (file.native().find(fs::path::value_type{}) != fs::path::string_type::npos) {
        // The system ends a path at its first NUL: "x\0y" would write "x", a
        // file nobody named ("DataPath" may hold a NUL).
        error = std::make_error_code(std::errc::invalid_argument);
    } else if (fs::is_directory(status)) {
        error = std::make_error_code(std::errc::is_a_directory);
    } else if (fs::exists(status) && !fs::is_regular_file(status)) {
        error = WriteInPlace(display, target);
    } else {
        error = ReplaceAtomically(display, target);
    }

    ExportResult result;
    result.path = file;
    if (error) {
        result.status = ExportResult::Status::NeedsLocation;
        result.message = lookup(message::kExportNotWritten, {file.string(), error.message()});
    } else {
        result.status = ExportResult::Status::Written;
        result.message = lookup(message::kExported, {file.string()});
    }
    return result;
}

// The name becomes part of a path: it must neither name a folder of its own
// nor reach into another one.
[[nodiscard]] bool IsUsableFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

// A "DataPath" written the Windows way ("C:\\Tidewell\\DATA"): outside
// Windows a backslash is an ordinary file-name character, so such a value
// would make a file named "C:\\Tidewell\\NAME.usrspc" in the current folder.
[[nodiscard]] bool IsForeignWindowsPath(std::string_view dataPath) {
#ifdef _WIN32
    (void)dataPath;
    return false;
#else
    const bool driveLetter =
        dataPath.size() >= 2 && dataPath[1] == ':' && IsAsciiLetter(dataPath[0]);
    return driveLetter || dataPath.find('\\') != std::string_view::npos;
#endif
}

}  // namespace

std::string ReadDataPath(RegistryStore& registry) {
    const RegistryValue value =
        FetchRegistryValue(registry, Hive::LocalMachine, kDataPathKey, kDataPathValue);
    return std::visit(
        [](const auto& held) -> std::string {
            using Held = std::decay_t<decltype(held)>;
            if constexpr (std::is_same_v<Held, std::string>) {
                return held;
            } else if constexpr (std::is_same_v<Held, std::int32_t>) {
                return std::to_string(held);
            } else {
                return {};
            }
        },
        value);
}

ExportResult ExportToDataPath(const DisplayCommand& display, RegistryStore& registry,
                              const MessageLookup& lookup) {
    if (NothingToExport(display)) {
        return {};
    }
    ExportResult result;
    if (!IsUsableFileName(display.userSpace)) {
        result.status = ExportResult::Status::Refused;
        result.message = lookup(message::kExportRefused, {display.userSpace});
        return result;
    }

    const std::string dataPath = ReadDataPath(registry);
    constexpr std::size_t kDroppedCharacters = 4;
    const std::string valueName =
        "HKEY_LOCAL_MACHINE\\" + std::string(kDataPathKey) + "\\" + std::string(kDataPathValue);
    if (dataPath.size() < kDroppedCharacters) {
        result.status = ExportResult::Status::NeedsLocation;
        // A value that is there but out of reach is not a missing one.
        if (const Status readable = registry.hiveReadable(Hive::LocalMachine); !readable) {
            result.message = lookup(message::kRegistryUnreadable, {valueName, readable.error()});
            return result;
        }
        result.message = lookup(message::kDataPathMissing,
                                {valueName, registry.hiveLocation(Hive::LocalMachine)});
        return result;
    }
    if (const std::size_t nul = dataPath.find('\0'); nul != std::string::npos) {
        // The system would end the path at the NUL and replace another file.
        result.status = ExportResult::Status::NeedsLocation;
        result.message =
            lookup(message::kDataPathHoldsNul,
                   {valueName, std::to_string(nul + 1), registry.hiveLocation(Hive::LocalMachine)});
        return result;
    }
    if (IsForeignWindowsPath(dataPath)) {
        result.status = ExportResult::Status::NeedsLocation;
        result.message = lookup(message::kWindowsDataPath,
                                {valueName, dataPath, registry.hiveLocation(Hive::LocalMachine)});
        return result;
    }

    result.path = fs::path(dataPath.substr(0, dataPath.size() - kDroppedCharacters) +
                           display.userSpace + std::string(kExportExtension));
    const fs::path folder = result.path.has_parent_path() ? result.path.parent_path() : ".";
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        result.status = ExportResult::Status::NeedsLocation;
        result.message = lookup(message::kExportFolderMissing, {folder.string()});
        return result;
    }
    return WriteExportFile(display, result.path, lookup);
}

ExportResult ExportToFile(const DisplayCommand& display, const fs::path& file,
                          const MessageLookup& lookup) {
    if (NothingToExport(display)) {
        return {};
    }
    return WriteExportFile(display, file, lookup);
}

bool WriteExport(const DisplayCommand& display, std::ostream& out) {
    const bool written = EmitExport(display, [&](std::string_view bytes) {
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return static_cast<bool>(out);
    });
    return written && static_cast<bool>(out.flush());
}

}  // namespace twds

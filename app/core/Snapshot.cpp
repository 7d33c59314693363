#include "twds/Snapshot.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <ostream>
#include <sstream>
#include <system_error>

#include "twds/Ascii.h"
#include "twds/AtomicFile.h"
#include "twds/DisplayCommand.h"
#include "twds/StdioStreamBuffer.h"
#include "twds/UserSpaceWriter.h"

namespace twds {

namespace {

// What served the pages, as the snapshot header records it.
std::string DescribeHostLink(const PageSource& source) {
    const std::string path = source.path.string();
    switch (source.kind) {
        case PageSource::Kind::Unknown:
            return {};
        case PageSource::Kind::Library:
            return "library " + path;
        case PageSource::Kind::SavedFile:
            return "saved " + path;
        case PageSource::Kind::Sample:
            return "sample " + path;
        case PageSource::Kind::Snapshot:
            return source.snapshot.hostLink.empty() ? "snapshot " + path : source.snapshot.hostLink;
    }
    return {};
}

}  // namespace

std::string FormatUtcTime(std::chrono::system_clock::time_point time) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &seconds);
#else
    gmtime_r(&seconds, &utc);
#endif
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return {text, length};
}

SnapshotInfo SnapshotInfoOf(const DisplayCommand& display) {
    const PageSource& source = display.outcome().source;
    SnapshotInfo info;
    info.address = display.connectedAddress;
    info.name = display.userSpace;
    info.fetched = source.kind == PageSource::Kind::Snapshot && !source.snapshot.fetched.empty()
                       ? source.snapshot.fetched
                       : FormatUtcTime(display.fetchedAt());
    info.viewer = TWDS_VERSION;
    info.hostLink = DescribeHostLink(source);
    return info;
}

void WriteSnapshot(const DisplayCommand& display, std::ostream& out) {
    UserSpaceWriter writer(out);
    writer.snapshotHeader(SnapshotInfoOf(display));
    for (const FetchedPage& page : display.fetchedPages()) {
        writer.page(page.kind, static_cast<std::uint32_t>(page.position), page.text);
    }
}

std::string SnapshotBytes(const DisplayCommand& display) {
    std::ostringstream out;
    WriteSnapshot(display, out);
    return std::move(out).str();
}

SnapshotResult SaveSnapshot(const DisplayCommand& display, const std::filesystem::path& file,
                            bool replace, const MessageLookup& messages) {
    SnapshotResult result;
    if (display.fetchedPages().empty()) {
        result.message = messages(message::kNothingToSnapshot, {});
        return result;
    }
    const std::string name = file.string();
    std::error_code error;
    if (!replace && std::filesystem::exists(std::filesystem::symlink_status(file, error))) {
        result.status = SnapshotResult::Status::Exists;
        result.message = messages(message::kSnapshotExists, {name});
        return result;
    }
    AtomicFile output(file);
    if (output.file() == nullptr) {
        error = output.error();
    } else {
        // Straight into the file: L's pages are 78 MB, which a string built
        // first would hold twice over while it grows.
        StdioStreamBuffer buffer(output.file());
        std::ostream stream(&buffer);
        errno = 0;
        WriteSnapshot(display, stream);
        stream.flush();
        error = stream ? output.commit()
                       : std::error_code(errno != 0 ? errno : EIO, std::generic_category());
    }
    if (error) {
        result.status = SnapshotResult::Status::Failed;
        result.message = messages(message::kSnapshotNotWritten, {name, error.message()});
        return result;
    }
    result.status = SnapshotResult::Status::Written;
    result.message =
        messages(message::kSnapshotWritten, {name, std::to_string(display.fetchedPages().size())});
    return result;
}

bool IsSnapshotPath(std::string_view target) {
    constexpr std::string_view kExtension = ".twus";
    return target.size() > kExtension.size() &&
           EqualIgnoringAsciiCase(target.substr(target.size() - kExtension.size()), kExtension);
}

Result<OpenedSnapshot> OpenSnapshot(const std::filesystem::path& file,
                                    const MessageLookup& messages) {
    auto hostLink = SnapshotHostLink::open(file, messages);
    if (!hostLink) {
        return Failure{hostLink.error()};
    }
    OpenedSnapshot opened;
    const SnapshotInfo& info = (*hostLink)->snapshot();
    opened.address = info.address;
    opened.name = info.name;
    if (opened.address.empty() || opened.name.empty()) {
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(file, error);
        opened.address = absolute.parent_path().filename().string();
        opened.name = file.stem().string();
        opened.notice =
            messages(message::kSnapshotWithoutHeader, {file.string(), opened.address, opened.name});
    }
    opened.hostLink = std::move(*hostLink);
    return opened;
}

}  // namespace twds

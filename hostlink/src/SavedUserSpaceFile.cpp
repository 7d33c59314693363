#include "twds/SavedUserSpaceFile.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <new>
#include <span>
#include <system_error>
#include <utility>

#include "QuoteBytes.h"
#include "ReadOnlyFile.h"
#include "twds/Ascii.h"
#include "twds/Result.h"

namespace twds {

namespace {

// A record line is "K 00001024 2000": far shorter than this. Looking no
// further for its line feed keeps a garbage file from being scanned whole
// and points the message at the right place.
constexpr std::size_t kMaxRecordLine = 48;

// How much of a file is read to check its header line: enough to quote the
// first line as far as a message shows it (QuoteBytes's 40 bytes).
constexpr std::size_t kHeaderProbe = 64;

// Whether the file that begins with `start` has a saved user space's header
// line; a failure says what is there instead. `start` is the whole file or
// at least its first kHeaderProbe bytes.
Status CheckHeader(std::string_view start, const std::string& fileName,
                   const MessageLookup& messages) {
    if (start.starts_with(SavedUserSpaceFile::kHeader)) {
        return {};
    }
    if (SavedUserSpaceFile::kHeader.starts_with(start)) {
        return Failure{
            messages(message::kFileEndsInHeader, {fileName, std::to_string(start.size())})};
    }
    if (start.starts_with("TWUSRSPC PAGES 1\r\n")) {
        return Failure{
            messages(message::kFileHeaderCrLf,
                     {fileName, std::to_string(SavedUserSpaceFile::kHeader.size() - 1)})};
    }
    const std::string firstLine = QuoteBytes(start.substr(0, start.find('\n')));
    return Failure{messages(start.starts_with("TWUSRSPC PAGES ") ? message::kFileUnsupportedFormat
                                                                 : message::kFileNotSavedUserSpace,
                            {fileName, "0", firstLine})};
}

}  // namespace

SavedUserSpaceFile::SavedUserSpaceFile(std::string bytes) : bytes_(std::move(bytes)) {}

Result<std::unique_ptr<SavedUserSpaceFile>> SavedUserSpaceFile::parse(
    std::string bytes, const std::string& fileName, const MessageLookup& messages) {
    if (Status header = CheckHeader(bytes, fileName, messages); !header) {
        return Failure{header.error()};
    }

    std::unique_ptr<SavedUserSpaceFile> file(new SavedUserSpaceFile(std::move(bytes)));
    const std::string_view all(file->bytes_);
    std::size_t pos = kHeader.size();
    while (pos < all.size()) {
        if (all[pos] == '\n') {
            ++pos;
            continue;
        }
        if (all[pos] == '#') {
            const std::size_t end = std::min(all.find('\n', pos), all.size());
            const std::string_view comment = all.substr(pos, end - pos);
            if (file->index_.empty() && comment.starts_with(kSnapshotLinePrefix)) {
                const std::string_view field = comment.substr(kSnapshotLinePrefix.size());
                const std::size_t blank = std::min(field.find(' '), field.size());
                SetSnapshotField(file->snapshot_, field.substr(0, blank),
                                 field.substr(std::min(blank + 1, field.size())));
            }
            pos = end == all.size() ? all.size() : end + 1;
            continue;
        }

        const std::string_view window = all.substr(pos, kMaxRecordLine);
        const std::size_t lineEnd = window.find('\n');
        const std::string_view line =
            lineEnd == std::string_view::npos ? window : window.substr(0, lineEnd);
        // "K 12345678 L": kind, blank, eight digits, blank, then the length.
        const bool shaped = line.size() > 11 && IsAsciiUpper(line[0]) && line[1] == ' ' &&
                            AllAsciiDigits(line.substr(2, kPositionDigits)) && line[10] == ' ' &&
                            AllAsciiDigits(line.substr(11));
        if (!shaped || lineEnd == std::string_view::npos) {
            const bool atEnd =
                lineEnd == std::string_view::npos && pos + window.size() == all.size();
            return Failure{
                messages(atEnd ? message::kFileEndsInRecordLine : message::kFileBadRecordLine,
                         {fileName, std::to_string(pos), QuoteBytes(line)})};
        }

        std::uint32_t position = 0;
        std::from_chars(line.data() + 2, line.data() + 10, position);
        const std::string_view lengthText = line.substr(11);
        std::uint64_t length = 0;
        const auto [lengthEnd, lengthError] =
            std::from_chars(lengthText.data(), lengthText.data() + lengthText.size(), length);
        const std::size_t pageStart = pos + lineEnd + 1;
        const std::size_t available = all.size() - pageStart;
        if (lengthError == std::errc::result_out_of_range || length > available) {
            return Failure{messages(
                message::kFilePageLengthPastEnd,
                {fileName, std::to_string(pos + 11), lengthText, std::to_string(available)})};
        }
        const std::size_t pageEnd = pageStart + static_cast<std::size_t>(length);
        if (pageEnd == all.size()) {
            return Failure{
                messages(message::kFileEndsAfterPage, {fileName, std::to_string(pageEnd)})};
        }
        if (all[pageEnd] != '\n') {
            return Failure{messages(
                message::kFileNoLineFeedAfterPage,
                {fileName, std::to_string(pageEnd), std::to_string(length), line.substr(0, 1),
                 line.substr(2, kPositionDigits), QuoteBytes(all.substr(pageEnd, 1))})};
        }
        file->index_.insert_or_assign(indexKey(line[0], position),
                                      Span{pageStart, static_cast<std::size_t>(length)});
        pos = pageEnd + 1;
    }
    return file;
}

Result<std::unique_ptr<SavedUserSpaceFile>> SavedUserSpaceFile::load(
    const std::filesystem::path& file, std::string buffer, const MessageLookup& messages) {
    const std::string name = file.string();
    // Looked at before opening; ReadOnlyFile checks again what it opened.
    std::error_code statusError;
    const std::filesystem::file_status status = std::filesystem::status(file, statusError);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        return Failure{messages(message::kFileNotRegular, {name})};
    }
    ReadOnlyFile::Failure failure{};
    std::string reason;
    const std::unique_ptr<ReadOnlyFile> input = ReadOnlyFile::open(file, failure, reason);
    if (!input) {
        return Failure{failure == ReadOnlyFile::Failure::NotRegularFile
                           ? messages(message::kFileNotRegular, {name})
                           : messages(message::kFileNotOpened, {name, reason})};
    }
    const std::uint64_t size = input->size();
    if (size > std::numeric_limits<std::size_t>::max() / 2) {
        return Failure{messages(message::kFileTooLarge, {name, std::to_string(size)})};
    }
    // Reads the file from `from` to the end of `bytes`; fails when it ends
    // too soon or cannot be read.
    const auto readOn = [&](std::string& bytes, std::size_t from) -> Status {
        const std::size_t read = input->read(std::span(bytes).subspan(from));
        if (from + read == bytes.size()) {
            return {};
        }
        return Failure{messages(message::kFileShortRead,
                                {name, std::to_string(from + read), std::to_string(size)})};
    };

    // The header line first: a large file that is no saved user space costs
    // these few bytes, not its size in memory and reading time. Shrinking a
    // string keeps its memory and writes nothing; only growing it fills the
    // new part.
    std::string bytes = std::move(buffer);
    const auto headLength = static_cast<std::size_t>(std::min<std::uint64_t>(size, kHeaderProbe));
    bytes.resize(headLength);
    if (Status head = readOn(bytes, 0); !head) {
        return Failure{head.error()};
    }
    if (Status header = CheckHeader(bytes, name, messages); !header) {
        return Failure{header.error()};
    }
    try {
        bytes.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return Failure{messages(message::kFileNoMemory, {name, std::to_string(size)})};
    }
    if (Status rest = readOn(bytes, headLength); !rest) {
        return Failure{rest.error()};
    }
    return parse(std::move(bytes), name, messages);
}

std::string SavedUserSpaceFile::releaseBytes() {
    index_.clear();
    return std::exchange(bytes_, {});
}

std::optional<std::string_view> SavedUserSpaceFile::page(char kind, std::uint32_t position) const {
    const auto found = index_.find(indexKey(kind, position));
    if (found == index_.end()) {
        return std::nullopt;
    }
    return std::string_view(bytes_).substr(found->second.offset, found->second.length);
}

}  // namespace twds

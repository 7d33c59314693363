#include "twds/SavedUserSpaceFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>
#include <system_error>
#include <utility>

#include "QuoteBytes.h"
#include "twds/Ascii.h"

namespace twds {

namespace {

// A record line is "K 00001024 2000": far shorter than this. Looking no
// further for its line feed keeps a garbage file from being scanned whole
// and points the message at the right place.
constexpr std::size_t kMaxRecordLine = 48;

std::string At(const std::string& fileName, std::size_t offset) {
    return fileName + ": at byte offset " + std::to_string(offset) + ": ";
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

SavedUserSpaceFile::SavedUserSpaceFile(std::string bytes) : bytes_(std::move(bytes)) {}

std::unique_ptr<SavedUserSpaceFile> SavedUserSpaceFile::parse(std::string bytes,
                                                              const std::string& fileName,
                                                              std::string& error) {
    const std::string_view text(bytes);
    if (!text.starts_with(kHeader)) {
        if (kHeader.starts_with(text)) {
            error = At(fileName, text.size()) +
                    "the file ends inside its header line; expected \"TWUSRSPC PAGES 1\" and a "
                    "line feed. The file is truncated.";
        } else if (text.starts_with("TWUSRSPC PAGES 1\r\n")) {
            error = At(fileName, kHeader.size() - 1) +
                    "the header line ends in CR LF: the file's line ends were converted (for "
                    "example by a text-mode copy or git's autocrlf), which changes the page bytes. "
                    "Copy or check out the file unchanged, byte for byte.";
        } else if (text.starts_with("TWUSRSPC PAGES ")) {
            error = At(fileName, 0) + "unsupported format " +
                    QuoteBytes(text.substr(0, text.find('\n'))) +
                    "; this viewer reads \"TWUSRSPC PAGES 1\". Save the user space again.";
        } else {
            error = At(fileName, 0) + "expected the header line \"TWUSRSPC PAGES 1\", found " +
                    QuoteBytes(text.substr(0, text.find('\n'))) +
                    ". This is not a saved user space file.";
        }
        return nullptr;
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
            const std::size_t end = all.find('\n', pos);
            pos = end == std::string_view::npos ? all.size() : end + 1;
            continue;
        }

        const std::string_view window = all.substr(pos, kMaxRecordLine);
        const std::size_t lineEnd = window.find('\n');
        const std::string_view line =
            lineEnd == std::string_view::npos ? window : window.substr(0, lineEnd);
        // "K 12345678 L": kind, blank, eight digits, blank, then the length.
        const bool shaped = line.size() > 11 && line[0] >= 'A' && line[0] <= 'Z' &&
                            line[1] == ' ' && AllAsciiDigits(line.substr(2, kPositionDigits)) &&
                            line[10] == ' ' && AllAsciiDigits(line.substr(11));
        if (!shaped || lineEnd == std::string_view::npos) {
            error = At(fileName, pos) +
                    "expected a record line \"<kind letter> <8-digit position> <length>\" and a "
                    "line feed, found " +
                    QuoteBytes(line) +
                    (lineEnd == std::string_view::npos && pos + window.size() == all.size()
                         ? " at the end of the file. The file is truncated."
                         : ".");
            return nullptr;
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
            error = At(fileName, pos + 11) + "the page length " + std::string(lengthText) +
                    " runs past the end of the file (" + std::to_string(available) +
                    " bytes follow the record line). The file is truncated or its length is "
                    "wrong.";
            return nullptr;
        }
        const std::size_t pageEnd = pageStart + static_cast<std::size_t>(length);
        if (pageEnd == all.size()) {
            error = At(fileName, pageEnd) +
                    "the file ends right after the page text; expected a line feed. The file is "
                    "truncated.";
            return nullptr;
        }
        if (all[pageEnd] != '\n') {
            error = At(fileName, pageEnd) + "expected a line feed after the " +
                    std::to_string(length) + " bytes of the page " + std::string(1, line[0]) + " " +
                    std::string(line.substr(2, kPositionDigits)) + ", found " +
                    QuoteBytes(all.substr(pageEnd, 1)) + ". The page length is wrong.";
            return nullptr;
        }
        file->index_.insert_or_assign(indexKey(line[0], position),
                                      Span{pageStart, static_cast<std::size_t>(length)});
        pos = pageEnd + 1;
    }
    return file;
}

std::unique_ptr<SavedUserSpaceFile> SavedUserSpaceFile::load(const std::filesystem::path& file,
                                                             std::string& error,
                                                             std::string buffer) {
    const std::string name = file.string();
    errno = 0;
    const std::unique_ptr<std::FILE, FileCloser> stream(std::fopen(name.c_str(), "rb"));
    if (!stream) {
        error = "Cannot open the user space file " + name + ": " +
                std::generic_category().message(errno) + ".";
        return nullptr;
    }
    std::error_code sizeError;
    const auto size = std::filesystem::file_size(file, sizeError);
    if (sizeError) {
        error = "Cannot read the size of the user space file " + name + ": " + sizeError.message() +
                ".";
        return nullptr;
    }
    if (size > std::numeric_limits<std::size_t>::max() / 2) {
        error = "The user space file " + name + " is too large to be read (" +
                std::to_string(size) + " bytes).";
        return nullptr;
    }
    // Shrinking a string keeps its memory and writes nothing; only growing
    // it fills the new part.
    std::string bytes = std::move(buffer);
    try {
        bytes.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        error = "Not enough memory to read the user space file " + name + " (" +
                std::to_string(size) + " bytes).";
        return nullptr;
    }
    const std::size_t read = std::fread(bytes.data(), 1, bytes.size(), stream.get());
    if (read != bytes.size() || std::ferror(stream.get())) {
        error = "Cannot read the user space file " + name + ": only " + std::to_string(read) +
                " of " + std::to_string(bytes.size()) + " bytes could be read.";
        return nullptr;
    }
    return parse(std::move(bytes), name, error);
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

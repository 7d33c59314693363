#include "twds/SnapshotHostLink.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "PageText.h"
#include "QuoteBytes.h"
#include "twds/Ascii.h"
#include "twds/Trim.h"

namespace twds {

namespace {

// A page request: a blank, the position in 8 digits, the kind letter.
constexpr std::size_t kRequestHeader = 10;
constexpr int32_t kConnectionHandle = 1;
constexpr std::int32_t kBadRequest = 4;

}  // namespace

SnapshotHostLink::SnapshotHostLink(std::filesystem::path path, MessageLookup messages,
                                   std::unique_ptr<SavedUserSpaceFile> file)
    : path_(std::move(path)),
      messages_(std::move(messages)),
      file_(std::move(file)),
      snapshot_(file_->snapshot()) {}

Result<std::unique_ptr<SnapshotHostLink>> SnapshotHostLink::open(const std::filesystem::path& file,
                                                                 MessageLookup messages) {
    auto loaded = SavedUserSpaceFile::load(file, {}, messages);
    if (!loaded) {
        return Failure{loaded.error()};
    }
    return std::unique_ptr<SnapshotHostLink>(
        new SnapshotHostLink(file, std::move(messages), std::move(*loaded)));
}

int32_t SnapshotHostLink::fail(std::int32_t code, std::string text) {
    lastCode_ = code;
    lastError_ = std::move(text);
    return 0;
}

int32_t SnapshotHostLink::fnDllParamOpenMConnection(std::string& /*machine*/,
                                                    std::string& /*buffer1*/,
                                                    std::string& /*buffer2*/, int32_t& connection) {
    if (!file_) {
        // A Display pressed again reads the file again: it may have been
        // replaced by a newer snapshot meanwhile.
        auto loaded = SavedUserSpaceFile::load(path_, {}, messages_);
        if (!loaded) {
            return fail(kUnreadableFile, loaded.error());
        }
        file_ = std::move(*loaded);
        snapshot_ = file_->snapshot();
    }
    connection = connection_ = kConnectionHandle;
    lastCode_ = 0;
    lastError_.clear();
    return 1;
}

int32_t SnapshotHostLink::fnDllParamRtvUserspace(std::string& userSpace, std::string& page) {
    const std::string_view request(page.data(), std::min(page.size(), kRequestHeader));
    const std::optional<PageRequest> asked = ParsePageRequest(request);
    if (!asked) {
        return fail(kBadRequest, messages_(message::kBadPageRequest, {QuoteBytes(request)}));
    }
    const auto text = file_ ? file_->page(asked->kind, asked->position) : std::nullopt;
    if (!text) {
        return fail(kMissingPage,
                    messages_(message::kNoSuchPage, {TrimEnd(userSpace), path_.string(),
                                                     request.substr(9, 1), request.substr(1, 8)}));
    }
    FillPageRequest(*text, page);
    return 1;
}

int32_t SnapshotHostLink::fnDllParamCloseMConnection(int32_t connection) {
    if (connection == 0 || connection != connection_) {
        return 0;
    }
    connection_ = 0;
    file_.reset();
    return 1;
}

int32_t SnapshotHostLink::fnDllParamGetLastError(int32_t& code1, int32_t& code2, std::string& text,
                                                 int32_t length) {
    code1 = lastCode_;
    code2 = 0;
    const std::size_t room =
        std::min(text.size(), static_cast<std::size_t>(std::max<int32_t>(length, 0)));
    if (room == 0) {
        return 0;
    }
    const std::size_t copied = std::min(lastError_.size(), room - 1);
    std::copy_n(lastError_.data(), copied, text.begin());
    text[copied] = '\0';
    return 1;
}

PageSource SnapshotHostLink::pageSource() const {
    if (snapshot_.empty()) {
        return {PageSource::Kind::SavedFile, path_, {}};
    }
    return {PageSource::Kind::Snapshot, path_, snapshot_};
}

}  // namespace twds

#include "twds/SavedUserSpaceHostLink.h"

#include <algorithm>
#include <charconv>
#include <system_error>
#include <utility>

#include "PageText.h"
#include "QuoteBytes.h"
#include "twds/Ascii.h"
#include "twds/Trim.h"

namespace twds {

namespace {

// A page request: a blank, the position in 8 digits, the kind letter.
constexpr std::size_t kRequestHeader = 10;

// Whether text can be used as one folder or file name inside a store without
// reaching outside it.
bool IsSafeComponent(std::string_view text) {
    if (text.empty() ||
        text.find_first_of(std::string_view("/\\\0", 3)) != std::string_view::npos ||
        text.find("..") != std::string_view::npos || text == ".") {
        return false;
    }
    // Catches what the checks above cannot name portably, such as a drive
    // letter ("C:") on Windows.
    const std::filesystem::path path(text);
    return !path.has_root_path() && !path.has_parent_path();
}

std::string StoreList(const std::vector<std::filesystem::path>& stores) {
    std::string list;
    for (const auto& store : stores) {
        if (!list.empty()) {
            list += ", ";
        }
        list += store.string();
    }
    return list;
}

}  // namespace

SavedUserSpaceHostLink::SavedUserSpaceHostLink(std::vector<std::filesystem::path> stores,
                                               MessageLookup messages,
                                               std::filesystem::path samples)
    : stores_(std::move(stores)), messages_(std::move(messages)), samples_(std::move(samples)) {}

int32_t SavedUserSpaceHostLink::fail(ErrorCode code, std::string text) {
    lastCode_ = code;
    lastError_ = std::move(text);
    return 0;
}

int32_t SavedUserSpaceHostLink::fnDllParamOpenMConnection(std::string& machine,
                                                          std::string& /*buffer1*/,
                                                          std::string& /*buffer2*/,
                                                          int32_t& connection) {
    fnDllParamCloseMConnection(connection_);
    source_ = {};
    const std::string_view address = Trim(machine);
    if (!IsSafeComponent(address)) {
        return fail(kRefusedName, messages_(message::kRefusedAddress, {QuoteBytes(address)}));
    }
    if (stores_.empty()) {
        return fail(kNoStore, messages_(message::kNoStoreConfigured, {}));
    }
    for (const auto& store : stores_) {
        std::error_code error;
        const auto folder = store / std::filesystem::path(address);
        if (std::filesystem::is_directory(folder, error)) {
            address_ = std::string(address);
            folder_ = folder;
            folderInSamples_ = !samples_.empty() && store == samples_;
            releaseFiles();
            connection_ = lastHandle_ = lastHandle_ == INT32_MAX ? 1 : lastHandle_ + 1;
            connection = connection_;
            lastCode_ = kNoError;
            lastError_.clear();
            return 1;
        }
    }
    return fail(kNoStore, messages_(message::kNoSavedMachine, {address, StoreList(stores_)}));
}

const SavedUserSpaceHostLink::LoadedFile& SavedUserSpaceHostLink::loadFile(
    const std::string& name) {
    if (const auto found = files_.find(name); found != files_.end()) {
        return found->second;
    }
    LoadedFile loaded;
    loaded.path = folder_ / std::filesystem::path(name + ".twus");
    std::error_code error;
    if (!std::filesystem::exists(loaded.path, error)) {
        loaded.code = kMissingFile;
        loaded.error = messages_(message::kUserSpaceNotSaved, {name, address_, folder_.string()});
    } else {
        auto file =
            SavedUserSpaceFile::load(loaded.path, std::exchange(spareBuffer_, {}), messages_);
        if (!file) {
            loaded.code = kUnreadableFile;
            loaded.error = file.error();
        } else {
            loaded.file = std::move(*file);
            // A snapshot put in a store is still a snapshot: its pages are
            // those fetched when its header says.
            const SnapshotInfo& header = loaded.file->snapshot();
            source_ = {header.empty() ? folderInSamples_ ? PageSource::Kind::Sample
                                                         : PageSource::Kind::SavedFile
                                      : PageSource::Kind::Snapshot,
                       loaded.path, header};
        }
    }
    return files_.emplace(name, std::move(loaded)).first->second;
}

void SavedUserSpaceHostLink::releaseFiles() {
    for (auto& [name, loaded] : files_) {
        if (loaded.file) {
            std::string bytes = loaded.file->releaseBytes();
            if (bytes.capacity() > spareBuffer_.capacity()) {
                spareBuffer_ = std::move(bytes);
            }
        }
    }
    files_.clear();
}

int32_t SavedUserSpaceHostLink::fnDllParamRtvUserspace(std::string& userSpace, std::string& page) {
    if (connection_ == 0) {
        return fail(kNotConnected, messages_(message::kNotConnected, {}));
    }
    const std::string_view nameText = TrimEnd(userSpace);
    if (!IsSafeComponent(nameText)) {
        return fail(kRefusedName,
                    messages_(message::kRefusedUserSpaceName, {QuoteBytes(userSpace)}));
    }
    const std::string_view request(page.data(), std::min(page.size(), kRequestHeader));
    const std::optional<PageRequest> asked = ParsePageRequest(request);
    if (!asked) {
        return fail(kBadRequest, messages_(message::kBadPageRequest, {QuoteBytes(request)}));
    }

    const std::string name(nameText);
    const LoadedFile& loaded = loadFile(name);
    if (!loaded.file) {
        return fail(loaded.code, loaded.error);
    }
    const auto text = loaded.file->page(asked->kind, asked->position);
    if (!text) {
        return fail(kMissingPage,
                    messages_(message::kNoSuchPage, {name, loaded.path.string(),
                                                     request.substr(9, 1), request.substr(1, 8)}));
    }
    FillPageRequest(*text, page);
    return 1;
}

int32_t SavedUserSpaceHostLink::fnDllParamCloseMConnection(int32_t connection) {
    if (connection == 0 || connection != connection_) {
        return 0;
    }
    connection_ = 0;
    releaseFiles();
    folder_.clear();
    address_.clear();
    return 1;
}

int32_t SavedUserSpaceHostLink::fnDllParamGetLastError(int32_t& code1, int32_t& code2,
                                                       std::string& text, int32_t length) {
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

}  // namespace twds

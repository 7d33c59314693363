#include "twds/StatusMessages.h"

#include "twds/Catalogue.h"
#include "twds/DisplayCommand.h"
#include "twds/PageLists.h"

namespace twds {

MessageLookup InstalledCatalogueLookup() {
    return [](int id, std::initializer_list<std::string_view> values) {
        Catalogue* catalogue = InstalledCatalogue();
        std::string text = catalogue != nullptr ? catalogue->rawText(id) : std::string();
        if (text.empty()) {
            text = BuiltInMessage(id);
        }
        return FillPlaceholders(text, values);
    };
}

std::string_view PageListName(char kind) {
    // The End_TW page fills a text, not a list, but has its own tab.
    if (kind == 'E') {
        return "End_TW";
    }
    const std::optional<PageList> list = PageListOfKind(kind);
    return list ? InfoOf(*list).caption : std::string_view();
}

std::string GroupDigits(std::size_t number, const MessageLookup& lookup) {
    std::string digits = std::to_string(number);
    const std::string separator = lookup(message::kDigitGroupSeparator, {});
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), separator);
    }
    return digits;
}

std::string DescribeLastError(std::string_view lastError, const MessageLookup& lookup) {
    constexpr std::string_view kPadding(" \0", 2);
    const std::size_t first = lastError.find_first_not_of(kPadding);
    if (first == std::string_view::npos) {
        return lookup(message::kNoReasonGiven, {});
    }
    const std::size_t last = lastError.find_last_not_of(kPadding);
    return std::string(lastError.substr(first, last - first + 1));
}

std::string DescribeSource(const PageSource& source, const MessageLookup& lookup) {
    const std::string path = source.path.string();
    switch (source.kind) {
        case PageSource::Kind::Unknown:
            return {};
        case PageSource::Kind::Library:
            return lookup(message::kSourceLibrary, {path});
        case PageSource::Kind::SavedFile:
            return lookup(message::kSourceSavedFile, {path});
        case PageSource::Kind::Sample:
            return lookup(message::kSourceSample, {path});
        case PageSource::Kind::Snapshot:
            return lookup(
                message::kSourceSnapshot,
                {path, source.snapshot.address, source.snapshot.name, source.snapshot.fetched});
    }
    return {};
}

std::string DescribeTarget(const DisplayCommand& display, const MessageLookup& lookup) {
    switch (display.outcome().stage) {
        case DisplayOutcome::Stage::NotRun:
        case DisplayOutcome::Stage::InputMissing:
            return {};
        default:
            // The name as typed when the connection failed before it was taken.
            return lookup(message::kDisplayedTarget,
                          {display.connectedAddress, display.userSpace.empty()
                                                         ? std::string_view(display.userSpaceName)
                                                         : std::string_view(display.userSpace)});
    }
}

std::string DescribeIgnoredOptions(const std::vector<std::string>& ignored,
                                   const MessageLookup& lookup) {
    if (ignored.empty()) {
        return {};
    }
    std::string joined;
    for (const std::string& option : ignored) {
        joined += joined.empty() ? "" : " ";
        joined += option;
    }
    return lookup(message::kIgnoredArguments, {joined});
}

std::string DescribeOutcome(const DisplayCommand& display, const MessageLookup& lookup) {
    const DisplayOutcome& outcome = display.outcome();
    switch (outcome.stage) {
        case DisplayOutcome::Stage::NotRun:
            return {};
        case DisplayOutcome::Stage::InputMissing:
            return lookup(message::kInputMissing, {});
        case DisplayOutcome::Stage::ConnectFailed:
            return lookup(message::kConnectFailed,
                          {display.connectedAddress, DescribeLastError(display.lastError, lookup)});
        case DisplayOutcome::Stage::NameLength:
            return lookup(message::kNameLength, {display.userSpace});
        case DisplayOutcome::Stage::PageFailed: {
            const std::string kind(1, outcome.pageKind);
            const std::string position = std::to_string(outcome.pagePosition);
            const std::string reason = DescribeLastError(display.lastError, lookup);
            if (outcome.fileNumber > 0) {
                return lookup(message::kFilePageFailed,
                              {kind, position, std::to_string(outcome.fileNumber), reason});
            }
            return lookup(message::kPageFailed, {kind, position, reason});
        }
        case DisplayOutcome::Stage::OutOfMemory:
            return lookup(message::kOutOfMemory, {outcome.failure});
        case DisplayOutcome::Stage::TooManyRows:
            return lookup(message::kTooManyRows,
                          {outcome.failure, std::to_string(display.kept.zcCount),
                           std::to_string(display.maxRows)});
        case DisplayOutcome::Stage::Completed:
            return lookup(message::kDisplayed,
                          {display.userSpace, std::to_string(outcome.filesDisplayed)});
    }
    return {};
}

}  // namespace twds

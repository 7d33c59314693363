#include "twds/DisplayCommand.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "twds/AnsiText.h"
#include "twds/Messages.h"
#include "twds/PageLayout.h"
#include "twds/Trim.h"

namespace twds {

namespace {

namespace layout = twds::layout;

// fnDllParamOpenMConnection's two buffers and fnDllParamGetLastError's text.
constexpr std::size_t kConnectionBufferLength = 10;
constexpr std::int32_t kLastErrorLength = 1024;
// A user-space name has exactly this many characters.
constexpr std::size_t kUserSpaceNameLength = 10;
// The FicID: characters 2 to 11 of an FC entry.
constexpr std::size_t kFicIDOffset = 1;
constexpr std::size_t kFicIDLength = 10;

// Closes the connection with whatever handle connection holds when the
// Display leaves, whichever way it leaves.
class ConnectionCloser {
public:
    ConnectionCloser(HostLink& hostLink, const std::int32_t& connection)
        : hostLink_(hostLink), connection_(connection) {}
    ~ConnectionCloser() { hostLink_.fnDllParamCloseMConnection(connection_); }
    ConnectionCloser(const ConnectionCloser&) = delete;
    ConnectionCloser& operator=(const ConnectionCloser&) = delete;

private:
    HostLink& hostLink_;
    const std::int32_t& connection_;
};

// The number a request's eight-digit position field carries: its rightmost
// eight digits, so a position past 99,999,999 asks for the position those
// digits name (an End_TW offset of 99,999,000 asks for the page at 24).
std::int32_t PositionField(std::int64_t position) {
    return static_cast<std::int32_t>(position % (kMaxPagePosition + 1));
}

// The length of a page without the blanks that pad it to its request's
// length, looked at eight bytes at a time: most of a page is padding (22,700
// of a Z page's 30,000 bytes on the benchmark models), and a byte-by-byte
// scan took 118 ms of a Display of L, this 21 ms.
std::size_t LengthWithoutPadding(std::string_view page) {
    constexpr std::uint64_t kEightBlanks = 0x2020202020202020;
    std::size_t end = page.size();
    while (end >= sizeof kEightBlanks) {
        std::uint64_t word = 0;
        std::memcpy(&word, page.data() + end - sizeof word, sizeof word);
        if (word != kEightBlanks) {
            break;
        }
        end -= sizeof word;
    }
    while (end > 0 && page[end - 1] == ' ') {
        --end;
    }
    return end;
}

}  // namespace

DisplayCommand::DisplayCommand(HostLink& hostLink, const PageLabels& labels)
    : hostLink_(&hostLink), labels_(labels) {}

const DisplayOutcome& DisplayCommand::run() {
    std::string buffer1(kConnectionBufferLength, ' ');
    std::string buffer2(kConnectionBufferLength, ' ');
    userSpace.clear();
    clearAll();
    fetched_.clear();
    fetchedTexts_.clear();
    fetchedAt_ = std::chrono::system_clock::now();
    problems_.clear();
    fileOfFicID_.clear();
    outcome_ = DisplayOutcome{};
    current_ = PageInProgress{};

    if (Trim(userSpaceName).empty() || Trim(address).empty()) {
        outcome_.stage = DisplayOutcome::Stage::InputMissing;
        return outcome_;
    }
    connectedAddress = std::string(Trim(address));

    const ConnectionCloser closer(*hostLink_, connection);
    std::string machine = connectedAddress;
    if (hostLink_->fnDllParamOpenMConnection(machine, buffer1, buffer2, connection) == 0) {
        fetchLastError();
        outcome_.stage = DisplayOutcome::Stage::ConnectFailed;
        addProblem(Severity::Error, PageList::CX, Problem::kNoRow, message::kProblemConnectFailed,
                   connectedAddress, lastError);
        problems_.back().pageKind = 0;
        return outcome_;
    }

    userSpace = UpperCaseAnsi(Trim(userSpaceName));
    userSpaceName = userSpace;
    if (userSpace.size() != kUserSpaceNameLength) {
        outcome_.stage = DisplayOutcome::Stage::NameLength;
        addProblem(Severity::Error, PageList::CX, Problem::kNoRow, message::kProblemNameLength,
                   userSpace);
        problems_.back().pageKind = 0;
        return outcome_;
    }

    try {
        displayPages();
    } catch (const std::bad_alloc& error) {
        // A user space too large for this machine's memory: the rows that fit
        // stay, like after any other stop.
        outcome_.stage = DisplayOutcome::Stage::OutOfMemory;
        outcome_.failure = error.what();
    } catch (const std::length_error& error) {
        outcome_.stage = DisplayOutcome::Stage::OutOfMemory;
        outcome_.failure = error.what();
    }
    if (outcome_.stage == DisplayOutcome::Stage::OutOfMemory) {
        problems_.push_back(Problem{Severity::Error,
                                    current_.kind,
                                    current_.fileNumber,
                                    Problem::kNoRow,
                                    {},
                                    message::kProblemOutOfMemory,
                                    {outcome_.failure, {}, {}},
                                    0});
    }
    outcome_.source = hostLink_->pageSource();
    return outcome_;
}

void DisplayCommand::displayPages() {
    PageDecoder decoder(labels_, kept, &problems_);
    // One buffer per request kind, refilled for each request: a model of
    // thousands of files would otherwise allocate 70 KB per file.
    std::string cxPage;
    std::string gcPage;
    std::string endPage;
    std::string fcPage;
    std::string zcPage;
    std::string sqlPage;
    std::string ficID;

    current_ = {InfoOf(PageList::CX).kind, layout::kCXPosition, 0};
    if (!retrievePage(current_, layout::kCXRequestLength, cxPage)) {
        return;
    }
    std::string_view page = cxPage;
    notePage(PageList::CX);
    decoder.decodeCx(list(PageList::CX), page);

    current_ = {InfoOf(PageList::GC).kind, layout::kGCPosition, 0};
    if (!retrievePage(current_, layout::kGCRequestLength, gcPage)) {
        return;
    }
    page = gcPage;
    notePage(PageList::GC);
    decoder.decodeGc(list(PageList::GC), page, InfoOf(PageList::GC).fixedKeySuffix);
    checkGcNumbers();

    endTwText.clear();
    if (kept.endOffset > 0) {
        const std::int32_t position =
            PositionField(std::int64_t{kept.endOffset} + layout::kEndTwBase);
        current_ = {'E', position, 0};
        endTwPosition_ = position;
        if (!retrievePage(current_, layout::kEndTwRequestLength, endPage)) {
            return;
        }
        // Trimmed first, so leading blanks are not among the ten dropped.
        const std::string_view text = Trim(endPage);
        endTwText = text.size() > 10 ? std::string(text.substr(10)) : std::string();
    }
    checkEndTw(endPage);

    const int fileCount = kept.fileCount;
    std::int32_t position = layout::kFirstFCPosition;
    bool firstEntry = true;
    for (int n = 1; n <= fileCount; ++n) {
        current_ = {InfoOf(PageList::FC).kind, position, n};
        if (!retrievePage(current_, layout::kFCRequestLength, fcPage)) {
            return;
        }
        const std::string_view fcText = fcPage;
        ficID.assign(fcText.substr(std::min(kFicIDOffset, fcText.size()), kFicIDLength));
        ficIDs_.push_back(ficID);
        page = fcText;
        notePage(PageList::FC);
        std::size_t firstProblem = problems_.size();
        const int earlier = earlierFileOf(n);
        decoder.setRepeatsExplained(earlier != 0);
        decoder.decodeFc(list(PageList::FC), page, ficID, firstEntry);
        checkFile(n, earlier, position);
        stampFile(firstProblem);

        current_ = {InfoOf(PageList::ZC).kind, position, n};
        if (wouldExceedRowBudget()) {
            outcome_.stage = DisplayOutcome::Stage::TooManyRows;
            outcome_.pageKind = current_.kind;
            outcome_.pagePosition = current_.position;
            outcome_.fileNumber = n;
            outcome_.failure = ficID;
            addProblem(Severity::Error, PageList::ZC, Problem::kNoRow, message::kProblemTooManyRows,
                       ficID, std::to_string(maxRows));
            problems_.back().fileNumber = n;
            return;
        }
        if (!retrievePage(current_, layout::kZCRequestLength, zcPage)) {
            return;
        }
        page = zcPage;
        notePage(PageList::ZC);
        firstProblem = problems_.size();
        decoder.decodeZc(list(PageList::ZC), page, ficID, firstEntry, kept.zcCount);
        stampFile(firstProblem);

        if (kept.insertOffset > 0) {
            current_ = {InfoOf(PageList::SQL).kind,
                        PositionField(std::int64_t{position} + kept.insertOffset), n};
            if (!retrievePage(current_, layout::kSQLRequestLength, sqlPage)) {
                return;
            }
            page = sqlPage;
            notePage(PageList::SQL);
            firstProblem = problems_.size();
            decoder.decodeSql(list(PageList::SQL), page, ficID, firstEntry);
            stampFile(firstProblem);
        }

        outcome_.filesDisplayed = n;
        position += layout::kFCSpacing;
        firstEntry = false;
    }
    outcome_.stage = DisplayOutcome::Stage::Completed;
}

bool DisplayCommand::retrievePage(const PageInProgress& page, int length, std::string& buffer) {
    buffer.assign(static_cast<std::size_t>(length), ' ');
    const std::string digits = FormatPagePosition(page.position);
    buffer.replace(1, digits.size(), digits);
    buffer[1 + digits.size()] = page.kind;

    if (hostLink_->fnDllParamRtvUserspace(userSpace, buffer) != 0) {
        const std::string_view text(buffer.data(), LengthWithoutPadding(buffer));
        fetched_.push_back(
            FetchedPage{page.kind, page.position, length, fetchedTexts_.store(text)});
        return true;
    }
    fetchLastError();
    outcome_.stage = DisplayOutcome::Stage::PageFailed;
    outcome_.pageKind = page.kind;
    outcome_.pagePosition = page.position;
    outcome_.fileNumber = page.fileNumber;
    problems_.push_back(Problem{Severity::Error,
                                page.kind,
                                page.fileNumber,
                                Problem::kNoRow,
                                {},
                                message::kProblemPageFailed,
                                {std::string(1, page.kind), digits, lastError},
                                0});
    return false;
}

void DisplayCommand::notePage(PageList which) {
    // The list holds only this display's earlier pages (clearAll emptied it),
    // so a decoder that clears it first changes nothing here.
    pages_[static_cast<std::size_t>(which)].push_back(
        DecodedPage{list(which).rowCount(), current_.position, current_.fileNumber});
}

RowSource DisplayCommand::source(PageList which, std::size_t row) const {
    const FieldList& rows = list(which);
    if (row >= rows.rowCount()) {
        throw std::out_of_range("DisplayCommand::source: row past the list's last");
    }
    const std::vector<DecodedPage>& pages = pages_[static_cast<std::size_t>(which)];
    const auto after =
        std::upper_bound(pages.begin(), pages.end(), row,
                         [](std::size_t r, const DecodedPage& page) { return r < page.firstRow; });
    if (after == pages.begin()) {
        RowSource unknown;
        unknown.bytes = rows.value(row);
        return unknown;
    }
    const DecodedPage& page = *(after - 1);
    RowSource source = LayoutSource(which, rows, page.firstRow, row);
    source.kind = InfoOf(which).kind;
    source.requestPosition = page.position;
    if (page.fileNumber > 0) {
        source.fileNumber = page.fileNumber;
        source.ficID = ficIDs_[static_cast<std::size_t>(page.fileNumber) - 1];
    }
    return source;
}

std::pair<std::size_t, std::size_t> DisplayCommand::fileRows(PageList which, int n) const {
    // A file's page is the one list page noted for it; the next page begins
    // where its rows end.
    const std::vector<DecodedPage>& pages = pages_[static_cast<std::size_t>(which)];
    const auto page = std::lower_bound(
        pages.begin(), pages.end(), n,
        [](const DecodedPage& decoded, int file) { return decoded.fileNumber < file; });
    if (page == pages.end() || page->fileNumber != n) {
        return {0, 0};
    }
    const std::size_t end = page + 1 == pages.end() ? list(which).rowCount() : (page + 1)->firstRow;
    return {page->firstRow, end};
}

void DisplayCommand::swapDisplayed(DisplayCommand& other) noexcept {
    using std::swap;
    swap(lists_, other.lists_);
    swap(endTwText, other.endTwText);
    swap(connectedAddress, other.connectedAddress);
    swap(userSpace, other.userSpace);
    swap(kept, other.kept);
    swap(lastError, other.lastError);
    swap(pages_, other.pages_);
    swap(ficIDs_, other.ficIDs_);
    swap(problems_, other.problems_);
    swap(fileOfFicID_, other.fileOfFicID_);
    swap(endTwPosition_, other.endTwPosition_);
    swap(fetched_, other.fetched_);
    fetchedTexts_.swap(other.fetchedTexts_);
    swap(fetchedAt_, other.fetchedAt_);
    swap(outcome_, other.outcome_);
}

std::size_t DisplayCommand::totalRows() const {
    std::size_t rows = 0;
    for (const FieldList& list : lists_) {
        rows += list.rowCount();
    }
    return rows;
}

bool DisplayCommand::wouldExceedRowBudget() const {
    constexpr std::size_t kZCRowsPerEntry = layout::kZC.size();
    constexpr std::size_t kSQLRows = 1 + layout::kSqlStatementSuffixes.size();
    std::size_t rows = totalRows();
    const std::size_t entries = kept.zcCount > 0 ? static_cast<std::size_t>(kept.zcCount) : 0;
    rows += 1 + entries * kZCRowsPerEntry + (kept.insertOffset > 0 ? kSQLRows : 0);
    return rows > maxRows;
}

void DisplayCommand::clearAll() {
    for (FieldList& list : lists_) {
        if (!list.empty()) {
            list.clearRows();
        }
    }
    for (std::vector<DecodedPage>& pages : pages_) {
        pages.clear();
    }
    ficIDs_.clear();
    fileOfFicID_.clear();
    endTwText.clear();
    endTwPosition_ = 0;
    kept.insertOffset = 0;
    kept.endOffset = 0;
    kept.endLength = 0;
}

void DisplayCommand::fetchLastError() {
    std::int32_t code1 = 0;
    std::int32_t code2 = 0;
    std::string text(static_cast<std::size_t>(kLastErrorLength), ' ');
    hostLink_->fnDllParamGetLastError(code1, code2, text, kLastErrorLength);
    // A NUL in the first character does not end the text: the whole buffer
    // is kept then.
    const std::size_t nul = text.find('\0');
    if (nul != std::string::npos && nul >= 1) {
        text.resize(nul);
    }
    lastError = std::move(text);
}

void DisplayCommand::closeConnection() {
    hostLink_->fnDllParamCloseMConnection(connection);
}

}  // namespace twds

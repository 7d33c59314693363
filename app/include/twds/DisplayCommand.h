#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "twds/FieldList.h"
#include "twds/HostLink.h"
#include "twds/PageArena.h"
#include "twds/PageDecoder.h"
#include "twds/PageLabels.h"
#include "twds/PageLists.h"
#include "twds/Problem.h"
#include "twds/RowSource.h"

namespace twds {

// How the last Display ended, so that the window's status line and the
// headless export can tell the user what failed.
struct DisplayOutcome {
    enum class Stage {
        NotRun,         // no Display yet
        InputMissing,   // blank address or name: nothing was opened
        ConnectFailed,  // fnDllParamOpenMConnection returned 0
        NameLength,     // the trimmed name is not 10 characters
        PageFailed,     // a page retrieval returned 0
        OutOfMemory,    // the lists could not grow any further
        TooManyRows,    // the next file would take the lists past maxRows
        Completed,
    };
    Stage stage = Stage::NotRun;
    char pageKind = 0;              // PageFailed: "C", "G", "E", "F", "Z", "S"
    std::int32_t pagePosition = 0;  // the position its request carried
    int fileNumber = 0;             // FC entry n (1-based) for F, Z and S pages
    std::string failure;  // OutOfMemory: what could not be allocated; TooManyRows: the FicID
    // FC entries whose F, Z (and S) pages were all decoded.
    int filesDisplayed = 0;
    // Where the host link found the pages (Unknown when it cannot tell).
    PageSource source;
};

// A page as the host link returned it: its kind, the position its request
// carried, the request's length, and the page text without the blanks that
// pad it to that length (a host link pads a page with blanks, so the text is
// exactly those bytes padded back). Pages are blank-padded buffers of 2,000
// to 30,000 bytes whose content is mostly far shorter: kept whole, the pages
// of a model of 10,000 files would take 700 MB instead of 76 MB.
struct FetchedPage {
    char kind = 0;
    std::int32_t position = 0;
    std::int32_t length = 0;
    std::string_view text;  // kept by the Display until its next run
};

// The highest position a page request can carry: eight decimal digits. A
// position past it is requested by its rightmost eight digits.
inline constexpr std::int64_t kMaxPagePosition = 99'999'999;

// The most rows one Display holds across its page lists: five times a model
// of 10,000 files with 100 ZC entries each, about 1.2 GB. A user space whose
// counts claim more (32,767 files of 32,767 ZC entries each would be ten
// billion rows) is stopped before the system runs out of memory.
inline constexpr std::size_t kDefaultMaxRows = 50'000'000;

// The Display command with the window state it shares with the decoders and
// the export. It owns the page lists and the End_TW text and runs
// without widgets: the main window shows this object and calls it from its
// button handlers, the headless export runs it directly.
class DisplayCommand {
public:
    // Both must outlive the command.
    DisplayCommand(HostLink& hostLink, const PageLabels& labels);

    // The host link the next run() uses (a snapshot's, say); it must outlive
    // the command or the next call of this.
    void useHostLink(HostLink& hostLink) { hostLink_ = &hostLink; }
    [[nodiscard]] HostLink& hostLink() const { return *hostLink_; }

    // The two input boxes, as the user typed them (bytes, Windows-1252).
    // Run() writes the trimmed upper-case name back into userSpaceName.
    std::string address;
    std::string userSpaceName;

    // The page lists (kPageLists) and the End_TW text.
    [[nodiscard]] FieldList& list(PageList which) {
        return lists_[static_cast<std::size_t>(which)];
    }
    [[nodiscard]] const FieldList& list(PageList which) const {
        return lists_[static_cast<std::size_t>(which)];
    }
    std::string endTwText;

    // Window state.
    std::string connectedAddress;
    std::int32_t connection = 0;
    std::string userSpace;
    KeptNumbers kept;  // fileCount, endOffset, endLength, zcCount, insertOffset
    std::string lastError;

    // The row budget of one Display (kDefaultMaxRows).
    std::size_t maxRows = kDefaultMaxRows;

    // Runs the Display command start to end (the body of display, but
    // for selecting the CX tab, which is the window's).
    const DisplayOutcome& run();
    // Empties the lists, the value boxes' source and the End_TW text, and
    // resets insertOffset, endOffset and endLength.
    void clearAll();
    // Fetches the host link's last error text into lastError.
    void fetchLastError();
    // Closes connection once more (the Exit button).
    void closeConnection();
    // Exchanges what the last runs showed (lists, End_TW text, pages, files,
    // outcome, the window state they set) with `other`, without copying a
    // row: a refresh keeps the previous Display to mark what changed. The
    // host links and the boxes' texts stay.
    void swapDisplayed(DisplayCommand& other) noexcept;

    [[nodiscard]] const DisplayOutcome& outcome() const { return outcome_; }
    // The labels the decoders give the rows.
    [[nodiscard]] const PageLabels& labels() const { return labels_; }
    // The rows of all page lists together.
    [[nodiscard]] std::size_t totalRows() const;
    // Where row `row` of list `which` came from (RowSource). Valid until the
    // list changes. Throws std::out_of_range for a row past the list's last.
    [[nodiscard]] RowSource source(PageList which, std::size_t row) const;
    // The position the End_TW page was requested at; 0 when it was not.
    [[nodiscard]] std::int32_t endTwPosition() const { return endTwPosition_; }
    // Every page the last run fetched, in the order requested.
    [[nodiscard]] const std::vector<FetchedPage>& fetchedPages() const { return fetched_; }
    // When the last run began; the epoch before the first.
    [[nodiscard]] std::chrono::system_clock::time_point fetchedAt() const { return fetchedAt_; }
    // The list's rows that came from file n's pages (1-based), as [first, end);
    // empty when the file has none in it. For the FC, ZC and SQL lists.
    [[nodiscard]] std::pair<std::size_t, std::size_t> fileRows(PageList which, int n) const;
    // The FicID of file n (1-based), as its FC page gave it.
    [[nodiscard]] const std::vector<std::string>& ficIDs() const { return ficIDs_; }
    // What the last run found wrong with the user space and went past (or,
    // for a failed retrieval, stopped at), in the order met.
    [[nodiscard]] const ProblemList& problems() const { return problems_; }

private:
    // The page being requested or decoded, for the outcome of a failure.
    struct PageInProgress {
        char kind = 0;
        std::int32_t position = 0;
        int fileNumber = 0;
    };

    // One page decoded into a list: the rows from firstRow on, up to the next
    // page's, came from the request at `position` (of file fileNumber, 0 for
    // CX and GC).
    struct DecodedPage {
        std::size_t firstRow;
        std::int32_t position;
        int fileNumber;
    };

    // Notes that the rows the decoder is about to add to `which` come from
    // the page in progress.
    void notePage(PageList which);
    // Requests and decodes every page once the name has passed its check.
    // Returns when a page cannot be retrieved (the outcome says which).
    void displayPages();
    // Records a problem on row `row` of `which` (Problem::kNoRow for none).
    void addProblem(Severity severity, PageList which, std::size_t row, int messageId,
                    std::string first = {}, std::string second = {});
    // Gives the problems from `first` on the file in progress.
    void stampFile(std::size_t first);
    // The checks of the numbers that steer the requests and of the End_TW
    // page (DisplayCommandChecks.cpp), each on the row of its field.
    void checkGcNumbers();
    void checkEndTw(std::string_view endPage);
    // File n's FicID, before its FC page is decoded: 0 when no earlier file
    // has it, else the first file that did; -1 when it is blank. Either way
    // its rows repeat keys already in the lists.
    [[nodiscard]] int earlierFileOf(int n);
    // After file n's FC page: its FicID's problem (`earlier` as
    // earlierFileOf gave it) and its numbers' checks.
    void checkFile(int n, int earlier, std::int32_t position);
    // Fills `buffer` with the request for `page` (blanks to `length`, then the
    // header) and retrieves it in place. On a failure runs fetchLastError,
    // records PageFailed and returns false.
    bool retrievePage(const PageInProgress& page, int length, std::string& buffer);
    // Whether the current file's ZC rows (and SQL rows) would take the
    // lists past maxRows.
    [[nodiscard]] bool wouldExceedRowBudget() const;

    HostLink* hostLink_;
    const PageLabels& labels_;
    std::array<FieldList, kPageListCount> lists_;
    // Per list, its pages in row order; kept once per page, not per row.
    std::array<std::vector<DecodedPage>, kPageListCount> pages_;
    std::vector<std::string> ficIDs_;  // file n's FicID at n - 1
    ProblemList problems_;
    std::unordered_map<std::string, int> fileOfFicID_;  // the first file of each FicID
    std::int32_t endTwPosition_ = 0;
    std::vector<FetchedPage> fetched_;
    PageArena fetchedTexts_;
    std::chrono::system_clock::time_point fetchedAt_;
    DisplayOutcome outcome_;
    PageInProgress current_;
};

}  // namespace twds

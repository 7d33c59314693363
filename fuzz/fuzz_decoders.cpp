// The page decoders, mostly one page at a time and without the Display
// command: a whole Display costs a few milliseconds per input, one page a few
// microseconds, and most faults a decoder can have show on a single page.
// Inputs whose selector says so (one value in 256) still run a whole Display, for what only
// the chaining of pages reaches: the kept counts and offsets steering the
// next requests, the outcome and its status text, the export of every list.
//
// Input: a selector byte, then what the selected run reads.
//
// selector other than 'D': one page decoded by PageDecoder, of kind CX, GC,
// FC, ZC, SQL or a readable block for (selector & 0x7F) % 6 from 0 to 5. The
// rest of the input is read
// with FuzzedDataProvider: two key suffixes, each in its escaped form (a backslash followed by
// another backslash is one backslash; followed by anything else it ends the text), and for ZC the
// entry count (two bytes at the input's end); the remaining bytes are the page text. FC, ZC and SQL
// pages are decoded twice into the same list, as two files of one Display:
// first as the first entry with the first suffix, then as the next entry with
// the second, or again with the first when selector bit 7 is set.
//
// selector 'D': a whole Display. The typed address and
// user-space name, then for every page a pad byte and the page's bytes, each
// text in the escaped form. A page shorter than its request is padded with
// the pad byte; when the input runs out, the retrieval fails.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "BoundedHostLink.h"
#include "DisplayChecks.h"
#include "FuzzSupport.h"
#include "twds/DisplayCommand.h"
#include "twds/FieldNumber.h"
#include "twds/PageDecoder.h"
#include "twds/PageLayout.h"
#include "twds/Trim.h"

namespace {

namespace layout = twds::layout;
using twds::FieldList;
using twds::Problem;

// ---- One page ---------------------------------------------------------------

enum class PageKind { CX, GC, FC, ZC, SQL, ReadableBlock };

// Enough ZC entries for three-digit entry numbers in the keys; larger counts
// are the unit tests' and benchmarks' business, and would make the average
// input dozens of times slower.
constexpr std::int16_t kMaxZCEntries = 120;

// One list per page kind, reused from input to input so that their storage
// is not allocated anew each time (the decoders clear them first).
struct PageLists {
    twds::KeptNumbers kept;
    twds::ProblemList problems;
    // Made anew for each input, as for each Display: what it reports once
    // per run starts empty.
    std::optional<twds::PageDecoder> decoder;
    FieldList lists[6];
};

void CheckUniqueKeys(const FieldList& list) {
    std::unordered_set<std::string> keys;
    keys.reserve(list.rowCount());
    for (std::size_t row = 0; row < list.rowCount(); ++row) {
        TWDS_FUZZ_CHECK(keys.insert(list.key(row)).second, "two rows of one list share a key");
    }
}

bool ReportedOnRow(const twds::ProblemList& problems, std::size_t row) {
    return std::any_of(problems.begin(), problems.end(),
                       [row](const Problem& problem) { return problem.row == row; });
}

// Every kept number that is not plain digits, or lies outside its range, has
// a problem on its row; a negative SQL length too. The fields are read back
// from the rows, so the check does not trust the decoder's own reading.
void CheckAnomaliesReported(PageKind kind, const FieldList& list, std::size_t firstRow,
                            const twds::ProblemList& problems) {
    std::array<std::pair<std::size_t, int>, 3> kept{};
    std::size_t count = 0;
    if (kind == PageKind::GC) {
        kept = {
            {{layout::kGCNbrOfFC, 16}, {layout::kGCEndTwOffset, 32}, {layout::kGCEndTwLength, 32}}};
        count = 3;
    } else if (kind == PageKind::FC) {
        kept = {{{1 + layout::kFCNumberOfZC, 16}, {1 + layout::kFCOffsetOfInsert, 32}, {0, 0}}};
        count = 2;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t row = firstRow + kept[i].first;
        const std::string_view text = list.value(row);
        const bool clamped = kept[i].second == 16 ? twds::ReadField16(text).clamped
                                                  : twds::ReadField32(twds::Trim(text)).clamped;
        const bool negative = kept[i].second == 16 ? twds::ReadField16(text).value < 0
                                                   : twds::ReadField32(twds::Trim(text)).value < 0;
        const bool plain = twds::ClassifyNumberText(text) == twds::NumberText::Digits;
        // A field past the page's end is empty by the layout: not noted.
        if (clamped || (!plain && !negative && !text.empty())) {
            TWDS_FUZZ_CHECK(ReportedOnRow(problems, row), "an anomaly of a kept number unreported");
        }
    }
}

// The rows of a fixed-layout page, the heading row left out, shown side by
// side are the page's first characters: every field exactly as received,
// none skipped, none read twice, nothing read past the layout.
void CheckRowsSpellThePage(const FieldList& list, std::size_t firstRow, std::string_view page,
                           std::size_t layoutWidth, std::size_t expectedRows) {
    TWDS_FUZZ_CHECK(list.rowCount() - firstRow == expectedRows,
                    "a decoded page without a row for every field");
    std::string shown;
    for (std::size_t row = firstRow; row < list.rowCount(); ++row) {
        shown += list.value(row);
    }
    TWDS_FUZZ_CHECK(shown == page.substr(0, layoutWidth),
                    "the rows do not hold the page's characters as received");
}

// Decodes `page` as `kind` into `list`, which no anomaly stops.
void DecodeOne(PageLists& pages, PageKind kind, FieldList& list, std::string_view& rest,
               std::string_view suffix, bool firstEntry, std::int16_t zcEntries) {
    switch (kind) {
        case PageKind::CX:
            pages.decoder->decodeCx(list, rest);
            break;
        case PageKind::GC:
            pages.decoder->decodeGc(list, rest, suffix);
            break;
        case PageKind::FC:
            pages.decoder->decodeFc(list, rest, suffix, firstEntry);
            break;
        case PageKind::ZC:
            pages.decoder->decodeZc(list, rest, suffix, firstEntry, zcEntries);
            break;
        case PageKind::SQL:
            pages.decoder->decodeSql(list, rest, suffix, firstEntry);
            break;
        case PageKind::ReadableBlock:
            pages.decoder->decodeTextBlock(list, rest, suffix);
            break;
    }
}

// The rows and the width of a page of fixed layout; the ZC page's depend on
// its entry count. Heading rows are not counted.
struct FixedShape {
    std::size_t rows;
    std::size_t width;
};

std::optional<FixedShape> ShapeOf(PageKind kind, std::int16_t zcEntries) {
    constexpr auto width = [](const auto& fields) {
        return static_cast<std::size_t>(layout::TotalWidth(fields));
    };
    switch (kind) {
        case PageKind::CX:
            return FixedShape{layout::kCX.size(), width(layout::kCX)};
        case PageKind::GC:
            return FixedShape{
                layout::kGC.size() + layout::kReadableBlock.size() + layout::kGCTail.size(),
                width(layout::kGC) + width(layout::kReadableBlock) + width(layout::kGCTail)};
        case PageKind::FC:
            return FixedShape{
                layout::kFC.size() + layout::kReadableBlock.size() + layout::kFCTail.size(),
                width(layout::kFC) + width(layout::kReadableBlock) + width(layout::kFCTail)};
        case PageKind::ZC: {
            const auto entries = static_cast<std::size_t>(std::max<int>(zcEntries, 0));
            return FixedShape{layout::kZC.size() * entries, width(layout::kZC) * entries};
        }
        case PageKind::ReadableBlock:
            return FixedShape{layout::kReadableBlock.size(), width(layout::kReadableBlock)};
        case PageKind::SQL:
            break;
    }
    return std::nullopt;  // SQL: lengths read from the page, NULs shown replaced
}

void FuzzOnePage(std::uint8_t selector, FuzzedDataProvider& input) {
    static PageLists& pages = *new PageLists;
    const auto kind = static_cast<PageKind>((selector & 0x7F) % 6);
    const bool sameSuffixTwice = (selector & 0x80) != 0;
    const std::string firstSuffix = input.ConsumeRandomLengthString(16);
    const std::string nextSuffix =
        sameSuffixTwice ? firstSuffix : input.ConsumeRandomLengthString(16);
    std::int16_t zcEntries = 0;
    if (kind == PageKind::ZC) {
        zcEntries = input.ConsumeIntegralInRange<std::int16_t>(-2, kMaxZCEntries);
    }
    const std::string pageBytes = input.ConsumeRemainingBytesAsString();
    const std::string_view page = pageBytes;

    FieldList& list = pages.lists[static_cast<int>(kind)];
    if (kind == PageKind::ReadableBlock) {
        list.clearRows();  // the block's callers prepare the list
    }
    std::string_view rest = page;
    pages.problems.clear();
    pages.decoder.emplace(twds::fuzz::EnglishLabels(), pages.kept, &pages.problems);
    DecodeOne(pages, kind, list, rest, firstSuffix, true, zcEntries);
    TWDS_FUZZ_CHECK(page.ends_with(rest), "the decoder left what is not the end of its page");
    const bool perFile = kind == PageKind::FC || kind == PageKind::ZC || kind == PageKind::SQL;
    const std::size_t headingRows = perFile ? 1 : 0;
    if (const auto shape = ShapeOf(kind, zcEntries)) {
        CheckRowsSpellThePage(list, headingRows, page, shape->width, shape->rows);
        TWDS_FUZZ_CHECK(rest.size() == page.size() - std::min(page.size(), shape->width),
                        "the decoder did not consume exactly its layout");
    }
    CheckUniqueKeys(list);
    CheckAnomaliesReported(kind, list, 0, pages.problems);
    for (const Problem& problem : pages.problems) {
        TWDS_FUZZ_CHECK(problem.row < list.rowCount(), "a problem on a row the list lacks");
    }
    if (!perFile) {
        return;
    }

    // The same page as the next file of the Display: its rows follow the
    // first file's, under a heading of their own.
    const std::size_t firstFileRows = list.rowCount();
    rest = page;
    const std::size_t problemsBefore = pages.problems.size();
    DecodeOne(pages, kind, list, rest, nextSuffix, false, zcEntries);
    // Every row is shown again, a repeated suffix's keys kept apart, and the
    // repetition reported.
    TWDS_FUZZ_CHECK(list.rowCount() == 2 * firstFileRows,
                    "the next file's rows differ from the first's");
    CheckUniqueKeys(list);
    if (sameSuffixTwice) {
        TWDS_FUZZ_CHECK(pages.problems.size() > problemsBefore,
                        "a file decoded twice under one suffix without a problem");
    }
}

// ---- A whole Display ----------------------------------------------------------

// At most: CX, GC, End_TW and three files' three pages. Fewer and smaller
// files than fuzz_saved_userspace allows: the pages themselves are fuzzed
// above, the Display only needs enough of them to chain.
constexpr std::size_t kMaxRequests = 12;
constexpr std::size_t kMaxRows = 5000;
constexpr int kMaxDisplayZCEntries = 100;

class ScriptedHostLink final : public twds::HostLink {
public:
    // The pages of the next Display come from `input`, which must outlive it.
    void serve(FuzzedDataProvider& input) { input_ = &input; }

    int32_t fnDllParamOpenMConnection(std::string& machine, std::string&, std::string&,
                                      int32_t& connection) override {
        TWDS_FUZZ_CHECK(!machine.empty() && machine.front() != ' ' && machine.back() != ' ',
                        "the machine address is not trimmed");
        connection = 7;
        return 1;
    }

    int32_t fnDllParamRtvUserspace(std::string&, std::string& page) override {
        if (input_->remaining_bytes() == 0) {
            lastError_ = "no more pages";
            return 0;
        }
        const char pad = input_->ConsumeIntegral<char>();
        const std::string text = input_->ConsumeRandomLengthString(page.size());
        std::copy(text.begin(), text.end(), page.begin());
        std::fill(page.begin() + static_cast<std::ptrdiff_t>(text.size()), page.end(), pad);
        return 1;
    }

    int32_t fnDllParamCloseMConnection(int32_t) override { return 1; }

    int32_t fnDllParamGetLastError(int32_t& code1, int32_t&, std::string& text,
                                   int32_t length) override {
        code1 = 1;
        // A library that fills the whole buffer, without a terminating NUL.
        const std::size_t n = std::min(
            {lastError_.size(), text.size(), static_cast<std::size_t>(std::max(length, 0))});
        std::copy_n(lastError_.begin(), n, text.begin());
        return 1;
    }

private:
    FuzzedDataProvider* input_ = nullptr;
    std::string lastError_;
};

// One window for the whole run, as the viewer has: each Display replaces the
// rows of the one before, and the lists keep their storage between inputs.
struct Window {
    ScriptedHostLink scripted;
    twds::fuzz::BoundedHostLink link{
        scripted, kMaxRequests, [this](char kind) {
            return display.totalRows() > kMaxRows ||
                   (kind == 'Z' && display.kept.zcCount > kMaxDisplayZCEntries);
        }};
    twds::DisplayCommand display{link, twds::fuzz::EnglishLabels()};
};

void FuzzDisplay(FuzzedDataProvider& input) {
    static Window& window = *new Window;
    twds::DisplayCommand& display = window.display;
    window.scripted.serve(input);
    window.link.reset();

    display.address = input.ConsumeRandomLengthString(32);
    display.userSpaceName = input.ConsumeRandomLengthString(32);
    display.run();
    twds::fuzz::CheckDisplay(display, window.link.bounded());

    // A second Display on the same window, whose first retrieval fails,
    // leaves none of the first one's rows.
    static_cast<void>(input.ConsumeRemainingBytes<char>());
    display.address = "127.0.0.1";
    display.run();
    TWDS_FUZZ_CHECK(
        display.list(twds::PageList::CX).empty() && display.list(twds::PageList::FC).empty(),
        "a second Display kept the first one's rows");
}

}  // namespace

constexpr std::uint8_t kDisplaySelector = 'D';

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::uint8_t selector = data[0];
    FuzzedDataProvider input(data + 1, size - 1);
    if (selector == kDisplaySelector) {
        FuzzDisplay(input);
    } else {
        FuzzOnePage(selector, input);
    }
    return 0;
}

#include "DisplayChecks.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <unordered_set>

#include "FuzzSupport.h"
#include "twds/Catalogue.h"
#include "twds/Export.h"
#include "twds/FileRegistryStore.h"
#include "twds/PageLists.h"
#include "twds/ProblemText.h"
#include "twds/StatusMessages.h"

namespace twds::fuzz {

namespace {

// Lists larger than this are not checked for unique keys row by row; the
// check would cost more than the input's run.
constexpr std::size_t kMaxKeyCheckRows = 20000;

std::string Banner(std::string_view page) {
    return std::string(10, '+') + " Page " + std::string(page) + " " + std::string(28, '+') +
           "\r\n";
}

void CheckUniqueKeys(const FieldList& list) {
    if (list.rowCount() > kMaxKeyCheckRows) {
        return;
    }
    std::unordered_set<std::string> keys;
    for (std::size_t row = 0; row < list.rowCount(); ++row) {
        TWDS_FUZZ_CHECK(keys.insert(list.key(row)).second, "two rows of one list share a key");
    }
}

// Every problem points at a row the lists hold (or at none) and names a file
// the Display read; its --check line is one line.
void CheckProblems(const DisplayCommand& display) {
    for (const Problem& problem : display.problems()) {
        if (problem.row != Problem::kNoRow) {
            const std::optional<PageList> list = PageListOfKind(problem.pageKind);
            TWDS_FUZZ_CHECK(list && problem.row < display.list(*list).rowCount(),
                            "a problem on a row the lists lack");
        }
        // A failed F page names the file whose FicID it would have given.
        TWDS_FUZZ_CHECK(problem.fileNumber >= 0 && static_cast<std::size_t>(problem.fileNumber) <=
                                                       display.ficIDs().size() + 1,
                        "a problem of a file the Display did not request");
        const std::string line = ProblemLine(display, problem, BuiltInMessages());
        TWDS_FUZZ_CHECK(std::count(line.begin(), line.end(), '\n') == 1,
                        "a --check line that is not one line");
    }
}

void CheckExport(const DisplayCommand& display) {
    std::ostringstream out;
    TWDS_FUZZ_CHECK(WriteExport(display, out), "the export to memory failed");

    std::string expected;
    const std::array<std::pair<const FieldList*, std::string_view>, 5> sections{{
        {&display.list(PageList::CX), "CX"},
        {&display.list(PageList::GC), "GC"},
        {&display.list(PageList::FC), "FC"},
        {&display.list(PageList::ZC), "ZC"},
        {&display.list(PageList::SQL), "SQL"},
    }};
    for (const auto& [list, name] : sections) {
        expected += Banner(name);
        for (std::size_t row = 0; row < list->rowCount(); ++row) {
            expected += list->text(row);
            expected += ':';
            expected += list->value(row);
            expected += "\r\n";
        }
    }
    if (display.kept.endLength > 0) {
        expected += Banner("End_TW");
        expected += display.endTwText;
        expected += "\r\n";
    }
    TWDS_FUZZ_CHECK(out.str() == expected, "the export does not hold exactly the rows shown");
}

}  // namespace

Catalogue& EnglishCatalogue() {
    static const std::unique_ptr<Catalogue> catalogue = [] {
        const std::filesystem::path folder = ProcessTempFolder() / "labels";
        std::filesystem::create_directories(folder);
        std::filesystem::copy_file(TWDS_SOURCE_DIR "/data/twmgr.ressource.EN",
                                   folder / "twmgr.ressource.EN",
                                   std::filesystem::copy_options::overwrite_existing);
        static FileRegistryStore registry(folder / "registry");
        auto loaded = std::make_unique<Catalogue>(
            registry, folder,
            [](const std::string& title, const std::string& text) { Fail(title + ": " + text); });
        TWDS_FUZZ_CHECK(!loaded->text("5401").empty(), "the English catalogue is empty");
        return loaded;
    }();
    return *catalogue;
}

const PageLabels& EnglishLabels() {
    static const PageLabels labels(
        [](int id) { return EnglishCatalogue().text(std::to_string(id)); });
    return labels;
}

bool TooLargeToFuzz(const DisplayCommand& display, char kind) {
    constexpr std::size_t kMaxRows = 50000;
    constexpr int kMaxZCEntries = 1000;
    return display.totalRows() > kMaxRows || (kind == 'Z' && display.kept.zcCount > kMaxZCEntries);
}

void CheckDisplay(const DisplayCommand& display, bool bounded) {
    using Stage = DisplayOutcome::Stage;
    const DisplayOutcome& outcome = display.outcome();
    TWDS_FUZZ_CHECK(outcome.stage != Stage::NotRun, "the Display left no outcome");

    const MessageLookup lookup = [](int id, std::initializer_list<std::string_view> values) {
        std::array<std::string_view, 7> p{};
        std::copy_n(values.begin(), std::min(values.size(), p.size()), p.begin());
        return EnglishCatalogue().text(std::to_string(id), p[0], p[1], p[2], p[3], p[4], p[5],
                                       p[6]);
    };
    const std::string status = DescribeOutcome(display, lookup);
    TWDS_FUZZ_CHECK(!status.empty(), "a Display without a status text");
    if (std::getenv("TWDS_FUZZ_SHOW") != nullptr) {
        std::fprintf(stderr, "status: %s\nrows: CX %zu, GC %zu, FC %zu, ZC %zu, SQL %zu\n",
                     status.c_str(), display.list(PageList::CX).rowCount(),
                     display.list(PageList::GC).rowCount(), display.list(PageList::FC).rowCount(),
                     display.list(PageList::ZC).rowCount(), display.list(PageList::SQL).rowCount());
    }

    switch (outcome.stage) {
        case Stage::Completed:
            TWDS_FUZZ_CHECK(!bounded, "a Display completed past a refused retrieval");
            TWDS_FUZZ_CHECK(outcome.filesDisplayed == std::max(0, int{display.kept.fileCount}),
                            "a completed Display did not show every file");
            break;
        case Stage::PageFailed:
            TWDS_FUZZ_CHECK(!display.problems().empty() &&
                                display.problems().back().messageId == message::kProblemPageFailed,
                            "a failed retrieval without its problem");
            TWDS_FUZZ_CHECK(
                std::string_view("CGEFZS").find(outcome.pageKind) != std::string_view::npos,
                "a failed page of no known kind");
            TWDS_FUZZ_CHECK(outcome.pagePosition >= 0 && outcome.pagePosition <= kMaxPagePosition,
                            "a failed page at an impossible position");
            break;
        case Stage::InputMissing:
        case Stage::ConnectFailed:
        case Stage::NameLength:
            TWDS_FUZZ_CHECK(display.list(PageList::CX).empty(), "rows without a page retrieved");
            break;
        default:
            // Running out of memory or past the lists' row limit: nothing
            // to check beyond the status text.
            break;
    }
    TWDS_FUZZ_CHECK(outcome.filesDisplayed >= 0 &&
                        outcome.filesDisplayed <= std::max(0, int{display.kept.fileCount}),
                    "more files shown than the GC page counts");
    TWDS_FUZZ_CHECK(display.list(PageList::CX).rowCount() <= 35,
                    "more CX rows than the page has fields");

    for (const PageListInfo& info : kPageLists) {
        CheckUniqueKeys(display.list(info.list));
    }
    CheckProblems(display);
    CheckExport(display);
}

}  // namespace twds::fuzz

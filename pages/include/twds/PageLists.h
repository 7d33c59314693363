#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "twds/PageLayout.h"

namespace twds {

// The page lists, in the order of their tabs and of the export's sections.
// The values index kPageLists and every per-list array.
enum class PageList : std::uint8_t { CX, GC, FC, ZC, SQL };
inline constexpr std::size_t kPageListCount = 5;

// What sets a list's row keys apart beyond their labels.
enum class EntryKey : std::uint8_t {
    None,         // one decode per display, no repeated block: the label alone
    FixedSuffix,  // one decode per display; its readable block's keys end with fixedKeySuffix
    FicID,        // one decode per file: keys end with the file's FicID, and each file's rows
                  // open with the entry heading row
};

// The rows one decode of a list adds, in order, after the entry heading.
struct ListLayout {
    // Runs of fixed-width fields in page order; the unused ones are empty.
    std::array<std::span<const layout::FieldSpec>, 3> fieldRuns;
    // One row per SQL statement, labelled layout::kQueryLabel and the suffix.
    std::span<const std::string_view> querySuffixes;
    // The runs repeat once per entry, numbered from 1 in the rows' keys (the
    // ZC entries of a file).
    bool numberedEntries;
};

// One page list: where its pages come from, how the window and the export
// show it, and what its rows hold. The End_TW page is a text, not a list.
struct PageListInfo {
    PageList list;
    char kind;                      // page kind letter of the requests it is filled from
    std::string_view caption;       // its tab's caption, and its name in messages
    int tab;                        // its tab's index; Info is 0, End_TW follows the lists
    std::string_view exportBanner;  // the line that opens its section of the export
    std::string_view viewName;      // object name of its view, walked by the form's localisation
    std::string_view valueBoxName;  // object name of the box showing the clicked row's value
    bool oneLineValueBox;           // its values are short: the box shows one unwrapped line
    EntryKey entryKey;
    std::string_view fixedKeySuffix;  // EntryKey::FixedSuffix only
    ListLayout layout;
};

inline constexpr std::array<PageListInfo, kPageListCount> kPageLists{{
    {PageList::CX,
     'C',
     "CX",
     1,
     "++++++++++ Page CX ++++++++++++++++++++++++++++",
     "ListView1",
     "Text1",
     false,
     EntryKey::None,
     {},
     {{layout::kCX}, {}, false}},
    {PageList::GC,
     'G',
     "GC",
     2,
     "++++++++++ Page GC ++++++++++++++++++++++++++++",
     "ListView2",
     "Text2",
     false,
     EntryKey::FixedSuffix,
     "0000000001",
     {{layout::kGC, layout::kReadableBlock, layout::kGCTail}, {}, false}},
    {PageList::FC,
     'F',
     "FC",
     3,
     "++++++++++ Page FC ++++++++++++++++++++++++++++",
     "ListView3",
     "Text3",
     false,
     EntryKey::FicID,
     {},
     {{layout::kFC, layout::kReadableBlock, layout::kFCTail}, {}, false}},
    {PageList::ZC,
     'Z',
     "ZC",
     4,
     "++++++++++ Page ZC ++++++++++++++++++++++++++++",
     "ListView4",
     "Text4",
     true,
     EntryKey::FicID,
     {},
     {{layout::kZC}, {}, true}},
    {PageList::SQL,
     'S',
     "SQL",
     5,
     "++++++++++ Page SQL ++++++++++++++++++++++++++++",
     "ListView5",
     "Text5",
     false,
     EntryKey::FicID,
     {},
     {{}, layout::kSqlStatementSuffixes, false}},
}};

[[nodiscard]] constexpr const PageListInfo& InfoOf(PageList list) {
    return kPageLists[static_cast<std::size_t>(list)];
}

// Every per-list array is indexed by PageList, and the tabs of the lists
// stand one after the other.
static_assert([] {
    for (std::size_t i = 0; i < kPageLists.size(); ++i) {
        if (static_cast<std::size_t>(kPageLists[i].list) != i ||
            kPageLists[i].tab != kPageLists[0].tab + static_cast<int>(i)) {
            return false;
        }
    }
    return true;
}());

// The list that pages of `kind` fill; none for "E" (the End_TW text) and
// for letters of no page.
[[nodiscard]] std::optional<PageList> PageListOfKind(char kind);

}  // namespace twds

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "twds/FieldList.h"
#include "twds/Messages.h"

namespace twds {

// The most rows one copy takes: about 5 MB of text for the usual fields, and
// a bound on the memory a select-all over a list of millions would claim.
inline constexpr std::size_t kMaxCopiedRows = 100'000;

// Rows first to last, both included.
struct RowRange {
    std::size_t first = 0;
    std::size_t last = 0;
};

// What a copy of selected rows puts on the clipboard (Windows-1252 bytes).
struct RowCopyText {
    std::string text;
    std::size_t rowsCopied = 0;
    std::size_t rowsSelected = 0;  // counted once each, within the list

    [[nodiscard]] bool capped() const { return rowsCopied < rowsSelected; }
};

// The selected rows of `list`, in list order, as "label<TAB>value" lines,
// each ended by a line feed. Labels and values are written as the window
// shows them (VisibleBytesText), so that neither can break a line or a
// column. Ranges may overlap and come in any order; rows past the list's end
// are ignored. Only the first `maxRows` selected rows are written.
[[nodiscard]] RowCopyText BuildRowCopyText(const FieldList& list, std::vector<RowRange> selected,
                                           std::size_t maxRows = kMaxCopiedRows);

// Rows selected in a view that shows a list through a row map (view row i is
// list row map[i]): the list rows as ranges, neighbours joined, up to the most
// rows one copy takes, and how many were selected. Entries holding a bit of
// `notInList` stand for rows of another list (a comparison's removed rows)
// and are left out.
struct MappedSelection {
    std::vector<RowRange> ranges;
    std::size_t rowsSelected = 0;
};
[[nodiscard]] MappedSelection MapSelectedRows(const std::vector<std::uint32_t>& map,
                                              const std::vector<RowRange>& viewRanges,
                                              std::uint32_t notInList = 0);

}  // namespace twds

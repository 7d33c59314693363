#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "twds/PageLists.h"

namespace twds {

class DisplayCommand;

// One difference between two Displays, an older and a newer one. Rows are
// matched by their key: the list, the file's FicID (FC, ZC and SQL rows),
// the label and, for a label that repeats within a file (ZC entries), which
// of its occurrences the row is.
struct RowDifference {
    enum class Mark : char { Changed = '~', Added = '+', Removed = '-' };
    Mark mark = Mark::Changed;
    PageList list = PageList::CX;
    std::size_t oldRow = 0;  // Changed and Removed: the row in the older Display
    std::size_t newRow = 0;  // Changed and Added: the row in the newer one
    std::string_view ficID;  // the row's file; empty on CX and GC
    // Removed: the newer Display's row it stands before in a merged list (the
    // newer list's row count when it comes after the last).
    std::size_t beforeNewRow = 0;
};

// Calls `each` for every difference, list by list in tab order, and within a
// list in the newer Display's row order, a row only in the older one where it
// stood among the rows both have. Files are matched by FicID: a file in one
// Display only gives a difference for each of its rows.
void CompareDisplays(const DisplayCommand& older, const DisplayCommand& newer,
                     const std::function<void(const RowDifference&)>& each);

// How the End_TW texts differ: Changed, Added (only the newer Display has an
// End_TW page), Removed, or nothing when they are the same.
[[nodiscard]] std::optional<RowDifference::Mark> CompareEndTw(const DisplayCommand& older,
                                                              const DisplayCommand& newer);

// The --compare line of a difference:
//   MARK LIST FILE LABEL OLD NEW
// with the fields of --find (ListingText.h); OLD is empty for "+", NEW for "-".
[[nodiscard]] std::string DifferenceLine(const DisplayCommand& older, const DisplayCommand& newer,
                                         const RowDifference& difference);
// The --compare line of the End_TW texts: LIST "End_TW", FILE and LABEL empty.
[[nodiscard]] std::string EndTwDifferenceLine(const DisplayCommand& older,
                                              const DisplayCommand& newer,
                                              RowDifference::Mark mark);

}  // namespace twds

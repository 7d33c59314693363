#include "twds/RowCopyText.h"

#include <algorithm>

#include "twds/ByteRuns.h"

namespace twds {

namespace {

// The ranges within `rows` rows, sorted and with overlapping or touching
// ranges joined, so that each row is counted and written once.
std::vector<RowRange> MergedRanges(std::vector<RowRange> ranges, std::size_t rows) {
    std::erase_if(ranges,
                  [rows](const RowRange& r) { return r.first > r.last || r.first >= rows; });
    std::sort(ranges.begin(), ranges.end(),
              [](const RowRange& a, const RowRange& b) { return a.first < b.first; });
    std::vector<RowRange> merged;
    for (RowRange r : ranges) {
        r.last = std::min(r.last, rows - 1);
        if (!merged.empty() && r.first <= merged.back().last + 1) {
            merged.back().last = std::max(merged.back().last, r.last);
        } else {
            merged.push_back(r);
        }
    }
    return merged;
}

}  // namespace

RowCopyText BuildRowCopyText(const FieldList& list, std::vector<RowRange> selected,
                             std::size_t maxRows) {
    RowCopyText copy;
    const std::vector<RowRange> ranges = MergedRanges(std::move(selected), list.rowCount());
    for (const RowRange& r : ranges) {
        copy.rowsSelected += r.last - r.first + 1;
    }
    for (const RowRange& r : ranges) {
        for (std::size_t row = r.first; row <= r.last && copy.rowsCopied < maxRows; ++row) {
            copy.text += VisibleBytesText(list.text(row));
            copy.text += '\t';
            copy.text += VisibleBytesText(list.value(row));
            copy.text += '\n';
            ++copy.rowsCopied;
        }
    }
    return copy;
}

MappedSelection MapSelectedRows(const std::vector<std::uint32_t>& map,
                                const std::vector<RowRange>& viewRanges, std::uint32_t notInList) {
    MappedSelection mapped;
    std::size_t taken = 0;
    for (const RowRange& range : viewRanges) {
        if (range.first >= map.size()) {
            continue;
        }
        const std::size_t last = std::min(range.last, map.size() - 1);
        for (std::size_t viewRow = range.first; viewRow <= last; ++viewRow) {
            const std::uint32_t at = map[viewRow];
            if ((at & notInList) != 0) {
                continue;
            }
            ++mapped.rowsSelected;
            if (taken == kMaxCopiedRows) {
                continue;
            }
            ++taken;
            std::vector<RowRange>& ranges = mapped.ranges;
            if (!ranges.empty() && ranges.back().last + 1 == at) {
                ranges.back().last = at;
            } else {
                ranges.push_back({at, at});
            }
        }
    }
    return mapped;
}

}  // namespace twds

#include "twds/Compare.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "twds/DisplayCommand.h"
#include "twds/ListingText.h"

namespace twds {

namespace {

constexpr std::string_view kEndTwName = "End_TW";

struct RowRange {
    std::size_t first = 0;
    std::size_t end = 0;
    [[nodiscard]] std::size_t size() const { return end - first; }
};

// Compares the rows of one file (or of a whole CX or GC list) in the two
// Displays and reports their differences.
class GroupComparer {
public:
    GroupComparer(const FieldList& older, const FieldList& newer,
                  const std::function<void(const RowDifference&)>& each)
        : older_(older), newer_(newer), each_(each) {}

    void compare(PageList list, std::string_view ficID, RowRange oldRows, RowRange newRows) {
        base_ = RowDifference{RowDifference::Mark::Changed, list, 0, 0, ficID};
        if (sameLabels(oldRows, newRows)) {
            // The usual case: the same layout, so row i matches row i.
            for (std::size_t i = 0; i < newRows.size(); ++i) {
                changedIfDiffer(oldRows.first + i, newRows.first + i);
            }
            return;
        }
        matchByKey(oldRows, newRows);
    }

    // A file in one Display only; removed rows stand before the newer row
    // `before`.
    void onlyIn(RowDifference::Mark mark, PageList list, std::string_view ficID, RowRange rows,
                std::size_t before = 0) {
        base_ = RowDifference{mark, list, 0, 0, ficID};
        for (std::size_t row = rows.first; row < rows.end; ++row) {
            report(mark, row, row, before);
        }
    }

private:
    [[nodiscard]] bool sameLabels(RowRange oldRows, RowRange newRows) const {
        if (oldRows.size() != newRows.size()) {
            return false;
        }
        for (std::size_t i = 0; i < newRows.size(); ++i) {
            if (older_.text(oldRows.first + i) != newer_.text(newRows.first + i)) {
                return false;
            }
        }
        return true;
    }

    // A row is known by its label and which occurrence of that label it is.
    void matchByKey(RowRange oldRows, RowRange newRows) {
        std::unordered_map<std::string_view, std::vector<std::size_t>> oldByLabel;
        for (std::size_t row = oldRows.first; row < oldRows.end; ++row) {
            oldByLabel[older_.text(row)].push_back(row);
        }
        std::unordered_map<std::string_view, std::size_t> seen;
        std::vector<std::size_t> match(newRows.size(), kNone);
        std::vector<bool> oldMatched(oldRows.size(), false);
        for (std::size_t i = 0; i < newRows.size(); ++i) {
            const std::string_view label = newer_.text(newRows.first + i);
            const std::size_t occurrence = seen[label]++;
            const auto found = oldByLabel.find(label);
            if (found != oldByLabel.end() && occurrence < found->second.size()) {
                match[i] = found->second[occurrence];
                oldMatched[match[i] - oldRows.first] = true;
            }
        }
        std::size_t oldCursor = oldRows.first;
        const auto removedUpTo = [&](std::size_t end, std::size_t before) {
            for (; oldCursor < end; ++oldCursor) {
                if (!oldMatched[oldCursor - oldRows.first]) {
                    report(RowDifference::Mark::Removed, oldCursor, 0, before);
                }
            }
        };
        for (std::size_t i = 0; i < newRows.size(); ++i) {
            if (match[i] == kNone) {
                report(RowDifference::Mark::Added, 0, newRows.first + i);
                continue;
            }
            removedUpTo(match[i], newRows.first + i);
            oldCursor = std::max(oldCursor, match[i] + 1);
            changedIfDiffer(match[i], newRows.first + i);
        }
        removedUpTo(oldRows.end, newRows.end);
    }

    void changedIfDiffer(std::size_t oldRow, std::size_t newRow) {
        if (older_.value(oldRow) != newer_.value(newRow)) {
            report(RowDifference::Mark::Changed, oldRow, newRow);
        }
    }

    void report(RowDifference::Mark mark, std::size_t oldRow, std::size_t newRow,
                std::size_t before = 0) {
        RowDifference difference = base_;
        difference.mark = mark;
        difference.oldRow = oldRow;
        difference.newRow = newRow;
        difference.beforeNewRow = before;
        each_(difference);
    }

    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    const FieldList& older_;
    const FieldList& newer_;
    const std::function<void(const RowDifference&)>& each_;
    RowDifference base_;
};

RowRange FileRows(const DisplayCommand& display, PageList list, int n) {
    const auto [first, end] = display.fileRows(list, n);
    return {first, end};
}

// The per-file lists: files matched by FicID, in the newer Display's order,
// a file only in the older one where it stood among the files both have.
void CompareFiles(const DisplayCommand& older, const DisplayCommand& newer, PageList list,
                  GroupComparer& comparer) {
    const std::vector<std::string>& oldIDs = older.ficIDs();
    const std::vector<std::string>& newIDs = newer.ficIDs();
    std::unordered_map<std::string_view, int> oldFile;
    oldFile.reserve(oldIDs.size());
    for (std::size_t i = oldIDs.size(); i-- > 0;) {
        oldFile[oldIDs[i]] = static_cast<int>(i) + 1;  // the first of a FicID given twice
    }
    std::vector<int> match(newIDs.size(), 0);
    std::vector<bool> oldMatched(oldIDs.size() + 1, false);
    for (std::size_t i = 0; i < newIDs.size(); ++i) {
        if (const auto found = oldFile.find(newIDs[i]);
            found != oldFile.end() && !oldMatched[static_cast<std::size_t>(found->second)]) {
            match[i] = found->second;
            oldMatched[static_cast<std::size_t>(found->second)] = true;
        }
    }
    int oldCursor = 1;
    std::size_t newCursor = 0;  // the end of the newer rows reported so far
    const auto removedUpTo = [&](int end) {
        for (; oldCursor < end; ++oldCursor) {
            if (!oldMatched[static_cast<std::size_t>(oldCursor)]) {
                comparer.onlyIn(RowDifference::Mark::Removed, list,
                                oldIDs[static_cast<std::size_t>(oldCursor) - 1],
                                FileRows(older, list, oldCursor), newCursor);
            }
        }
    };
    for (std::size_t i = 0; i < newIDs.size(); ++i) {
        const int n = static_cast<int>(i) + 1;
        const RowRange newRows = FileRows(newer, list, n);
        if (match[i] == 0) {
            comparer.onlyIn(RowDifference::Mark::Added, list, newIDs[i], newRows);
        } else {
            removedUpTo(match[i]);
            oldCursor = std::max(oldCursor, match[i] + 1);
            comparer.compare(list, newIDs[i], FileRows(older, list, match[i]), newRows);
        }
        newCursor = std::max(newCursor, newRows.end);
    }
    newCursor = newer.list(list).rowCount();
    removedUpTo(static_cast<int>(oldIDs.size()) + 1);
}

}  // namespace

void CompareDisplays(const DisplayCommand& older, const DisplayCommand& newer,
                     const std::function<void(const RowDifference&)>& each) {
    for (const PageListInfo& info : kPageLists) {
        GroupComparer comparer(older.list(info.list), newer.list(info.list), each);
        if (info.entryKey == EntryKey::FicID) {
            CompareFiles(older, newer, info.list, comparer);
        } else {
            comparer.compare(info.list, {}, {0, older.list(info.list).rowCount()},
                             {0, newer.list(info.list).rowCount()});
        }
    }
}

std::optional<RowDifference::Mark> CompareEndTw(const DisplayCommand& older,
                                                const DisplayCommand& newer) {
    const bool inOld = older.endTwPosition() != 0;
    const bool inNew = newer.endTwPosition() != 0;
    if (inOld && inNew) {
        return older.endTwText == newer.endTwText ? std::nullopt
                                                  : std::optional(RowDifference::Mark::Changed);
    }
    if (inOld != inNew) {
        return inNew ? RowDifference::Mark::Added : RowDifference::Mark::Removed;
    }
    return std::nullopt;
}

std::string DifferenceLine(const DisplayCommand& older, const DisplayCommand& newer,
                           const RowDifference& difference) {
    const char mark = static_cast<char>(difference.mark);
    const bool hasOld = difference.mark != RowDifference::Mark::Added;
    const bool hasNew = difference.mark != RowDifference::Mark::Removed;
    const FieldList& oldRows = older.list(difference.list);
    const FieldList& newRows = newer.list(difference.list);
    return ListingLine({std::string_view(&mark, 1), InfoOf(difference.list).caption,
                        difference.ficID,
                        hasNew ? newRows.text(difference.newRow) : oldRows.text(difference.oldRow),
                        hasOld ? oldRows.value(difference.oldRow) : std::string_view(),
                        hasNew ? newRows.value(difference.newRow) : std::string_view()});
}

std::string EndTwDifferenceLine(const DisplayCommand& older, const DisplayCommand& newer,
                                RowDifference::Mark mark) {
    const char markByte = static_cast<char>(mark);
    return ListingLine(
        {std::string_view(&markByte, 1),
         kEndTwName,
         {},
         {},
         mark == RowDifference::Mark::Added ? std::string_view() : older.endTwText,
         mark == RowDifference::Mark::Removed ? std::string_view() : newer.endTwText});
}

}  // namespace twds

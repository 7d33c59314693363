#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "twds/Compare.h"
#include "twds/CompareView.h"
#include "twds/HostLink.h"
#include "twds/MainWindowPresenter.h"
#include "twds/Messages.h"
#include "twds/PageLists.h"
#include "twds/RowCopyText.h"

namespace twds {

class DisplayCommand;
class FieldList;
class FindPresenter;

// How one row that a list view shows stands in the comparison.
struct ComparedRow {
    char mark = 0;                    // '~', '+' or '-'; 0 for a row the same in both
    const FieldList* list = nullptr;  // where the row's label and value are
    std::size_t row = 0;
    std::string_view before;  // '~' and '-': the older Display's value
};

// The ground a row marked so is drawn on (the End_TW box's for '~'): light
// tints that keep the text readable, the mark's character saying the same
// for whoever does not see the colour. None for a row the same in both.
struct Tint {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Tint&) const = default;
};
[[nodiscard]] std::optional<Tint> MarkTint(char mark);

// What the window's comparison and refresh do, without widgets.
//
// Compare with (Ctrl+D) opens a bar that names another user space, an
// ADDRESS/NAME through the window's own host link or a snapshot file; it is
// displayed beside the one shown, the older of the two being the other one.
// Refresh (F5) displays the shown user space again and compares it with the
// Display before it. Either way each list marks its changed, added and
// removed rows, a removed row standing where it stood (a merged row map,
// made once per comparison; nothing is kept or looked up per row while no
// comparison is open), the tab captions carry the number of differences,
// F7 and Shift+F7 go from one difference to the next across the tabs, and
// the lists can show only their differences.
//
// The comparison and the find bar take turns: each opens in place of the
// other, so the tab captions always carry one kind of count and the lists
// one row map.
//
// The view, the window's presenter, the command and the find presenter must
// outlive it.
class ComparePresenter : private ListsObserver {
public:
    ComparePresenter(CompareView& view, MainWindowPresenter& window, DisplayCommand& display,
                     FindPresenter& find, MessageLookup messages);
    ~ComparePresenter() override;
    ComparePresenter(const ComparePresenter&) = delete;
    ComparePresenter& operator=(const ComparePresenter&) = delete;

    // Ctrl+D: shows the bar (closing the find bar); a comparison already
    // shown stays.
    void open();
    // Esc or the bar's close button: the marks, captions and rows are back as
    // at rest, and the other Display is let go.
    void close();
    // Ctrl+F: the find bar in place of the comparison. F3, Shift+F3 and
    // "only matching rows" turned on close the comparison too, then act.
    void openFind();
    void findNext();
    void findPrevious();
    void setOnlyMatching(bool on);
    // The bar's Compare button or Enter: compares with what the bar names.
    void compare();
    void compareWith(std::string_view target);
    // The bar's Browse button: asks for a snapshot, then compares with it.
    void browse();
    void setOnlyDifferences(bool on);
    // F7 and Shift+F7, from the selected row, in tab order, round.
    void nextDifference();
    void previousDifference();

    // F5: displays the same user space again, keeping the tab, the selected
    // row (by its key) and the lists' scroll positions, and marks what
    // changed. False when there was nothing to refresh or the Display did not
    // complete (the status line says why).
    bool refresh();
    // "Refresh every…": asks how many seconds, or turns the automatic
    // refresh off when it is on.
    void autoRefreshCommand();
    // The answer to that question: 1 to 3600 turns it on, anything else is
    // refused in the status line.
    void setAutoRefresh(std::string_view secondsText);
    void timerFired();
    [[nodiscard]] int autoRefreshSeconds() const { return refreshSeconds_; }

    // A row of a list, as the view shows it, was clicked or became current:
    // a removed row shows its value and file from the other Display; with
    // no comparison shown, the find bar's rows are the views'.
    void rowClicked(PageList list, std::size_t viewRow);
    // Where a row of the shown Display's list stands in its view, under the
    // row map the views use (the comparison's, else the find bar's); none
    // when the view leaves it out (only differences, only matching rows).
    [[nodiscard]] std::optional<std::size_t> viewRowOf(PageList list, std::size_t row) const;
    // The file column's cell of a row a view shows (comparedRow's, or a list
    // row of the Display shown): a removed row's file is the other Display's.
    [[nodiscard]] std::string fileColumnText(PageList list, const ComparedRow& row) const;
    // Copies the selected view rows: the shown Display's rows among them
    // (with no comparison shown, through the find bar's rows).
    void copyRows(PageList list, const std::vector<RowRange>& viewRanges);

    [[nodiscard]] bool isOpen() const { return open_; }
    // Marks are shown.
    [[nodiscard]] bool comparing() const { return older_ != nullptr && active_; }
    [[nodiscard]] bool onlyDifferences() const { return onlyDifferences_; }
    // The rows a list view shows, as list rows of the shown Display or older
    // rows with kOlderRow set; nothing when it shows the list as it is.
    [[nodiscard]] const std::vector<std::uint32_t>* rowMap(PageList list) const;
    // The row map the views use: the comparison's while comparing, else the
    // find bar's (only matching rows); nothing when they show the list.
    [[nodiscard]] const std::vector<std::uint32_t>* viewRowMap(PageList list) const;
    // How the row that a view's row map names (a list row without a map)
    // stands. Only while comparing.
    [[nodiscard]] ComparedRow comparedRow(PageList list, std::uint32_t entry) const;
    // The row a list view shows at viewRow, under the views' row map: how
    // it stands while comparing, else the shown Display's list row (the
    // find bar's, with only matching rows shown). Past the view's rows, the
    // list's row count, which shows nothing.
    [[nodiscard]] ComparedRow shownRow(PageList list, std::size_t viewRow) const;
    // The shown Display's list row at viewRow; none for a row only the other
    // Display has and past the view's rows.
    [[nodiscard]] std::optional<std::size_t> listRowOf(PageList list, std::size_t viewRow) const;
    [[nodiscard]] std::optional<RowDifference::Mark> endTwMark() const { return endTw_; }
    [[nodiscard]] std::string_view endTwBefore() const;
    // The line over the older End_TW text ("~ End_TW differs. Before:").
    [[nodiscard]] std::string endTwHeading() const;
    [[nodiscard]] std::size_t differenceCount() const;
    [[nodiscard]] std::string caption(int messageId) const { return messages_(messageId, {}); }

    static constexpr std::uint32_t kOlderRow = 0x8000'0000U;

private:
    // Per list, the differences in list order (a removed row where it stood).
    struct ListMarks {
        std::vector<std::uint32_t> entries;    // new row, or older row | kOlderRow
        std::vector<std::uint32_t> oldRows;    // Changed: the older row; else kNoRow
        std::vector<std::uint32_t> positions;  // the difference's row in the merged list
        std::vector<std::uint32_t> anchors;    // per removed row: the new row it stands before
        std::vector<std::uint32_t> merged;     // the merged list, when rows were removed
    };
    enum class Against { Nothing, Other, Previous };
    struct Place {
        int slot = -1;  // a list, or End_TW (kPageListCount); -1 before all
        std::int64_t position = -1;
    };

    void listsChanging() override;
    void listsChanged() override;

    void buildMarks();
    void dropMarks();
    void showCaptions();
    void showStatus();
    void step(int direction);
    void goTo(const Place& place);
    [[nodiscard]] Place selectedPlace() const;
    [[nodiscard]] std::optional<Place> differenceFrom(const Place& from, int direction) const;
    [[nodiscard]] std::uint32_t entryOf(PageList list, std::size_t viewRow) const;
    [[nodiscard]] std::size_t viewRowOfNew(PageList list, std::size_t row) const;
    // A row of the shown Display's list in the merged list (removed rows in).
    [[nodiscard]] std::size_t mergedPosition(PageList list, std::size_t row) const;
    [[nodiscard]] std::string grouped(std::size_t number) const;
    void stopAutoRefresh(int messageId);

    CompareView& view_;
    MainWindowPresenter& window_;
    DisplayCommand& display_;
    FindPresenter& find_;
    MessageLookup messages_;
    HostLink& viewerLink_;  // the window's own host link, for ADDRESS/NAME

    bool open_ = false;
    bool active_ = false;
    bool onlyDifferences_ = false;
    bool refreshing_ = false;
    Against against_ = Against::Nothing;
    int refreshSeconds_ = 0;
    std::unique_ptr<HostLink> otherLink_;  // a snapshot compared with
    std::unique_ptr<DisplayCommand> older_;
    std::vector<ListMarks> marks_;
    std::optional<RowDifference::Mark> endTw_;
    // The status message the comparison last left, given back to the
    // Display's own when the comparison closes and nothing was said since.
    std::string comparedStatus_;
};

}  // namespace twds

#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "twds/MainWindowView.h"
#include "twds/PageLists.h"

namespace twds {

// The window's compare bar, the comparison's marks and the refresh timer as
// their presenter (ComparePresenter) sees them: a passive view, like
// FindView, whose rows are the rows the list views show (view rows). Texts
// are Windows-1252 bytes.
class CompareView {
public:
    virtual ~CompareView() = default;

    // Shows the bar, with the cursor in its text box when `takeFocus` (a
    // refresh leaves the focus in the list); or hides it and gives the focus
    // back to the selected tab's list.
    virtual void showCompareBar(bool shown, bool takeFocus) = 0;
    // The bar's text: what to compare with.
    [[nodiscard]] virtual std::string compareTarget() const = 0;
    virtual void setCompareTarget(std::string_view text) = 0;
    // The bar's line saying what is compared with what, and its count.
    virtual void showCompareStatus(std::string_view described, std::string_view count) = 0;
    virtual void setOnlyDifferencesChecked(bool on) = 0;
    virtual void setTabCaption(int tab, std::string_view caption) = 0;

    virtual void selectTab(int tab) = 0;
    [[nodiscard]] virtual int selectedTab() const = 0;
    [[nodiscard]] virtual std::optional<std::size_t> currentRow(PageList list) const = 0;
    // Makes a view row the current and only selected row and scrolls to it.
    virtual void selectRow(PageList list, std::size_t viewRow) = 0;
    // The list's vertical scroll position, in the view's own unit.
    [[nodiscard]] virtual int scrollPosition(PageList list) const = 0;
    virtual void setScrollPosition(PageList list, int position) = 0;
    virtual void showValue(PageList list, std::string_view bytes) = 0;
    // The Info tab's boxes: a refresh puts back what the last Display showed.
    virtual void setAddressText(std::string_view text) = 0;
    virtual void setNameText(std::string_view text) = 0;
    // Displaying the other user space blocks the window until it ends.
    virtual void setBusy(bool busy) = 0;

    // The marks are about to change, and have: the view lets go of the rows
    // it maps (ComparePresenter::rowMap), then reads the maps and the marks
    // again (ComparePresenter::comparedRow, endTwMark) and repaints.
    virtual void beginMarksChange() = 0;
    virtual void endMarksChange() = 0;

    // Asks which file to compare with; nothing when the user cancels.
    [[nodiscard]] virtual std::optional<std::filesystem::path> askOpenPath(
        const SaveAsRequest& request) = 0;
    // Asks for a text (the refresh period); nothing when the user cancels.
    [[nodiscard]] virtual std::optional<std::string> askText(std::string_view title,
                                                             std::string_view prompt) = 0;
    // Calls ComparePresenter::timerFired every `seconds`, or no more (0).
    virtual void setRefreshTimer(int seconds) = 0;
    // Paints the status line now: a refresh of a large user space blocks the
    // window for a while.
    virtual void flushStatus() = 0;
};

}  // namespace twds

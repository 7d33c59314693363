#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

#include "twds/PageLists.h"

namespace twds {

// The window's find bar as its presenter (FindPresenter) sees it: a passive
// view, like MainWindowView, that shows what it is told and reports the
// user's actions. Texts are Windows-1252 bytes; rows are the rows the list
// views show (view rows), which are list rows unless only matching rows are
// shown.
class FindView {
public:
    virtual ~FindView() = default;

    // Shows the bar and puts the cursor in its text box, all its text
    // selected; or hides it and gives the focus back to the list of the
    // selected tab. The window at rest is as it was before the bar opened.
    virtual void showFindBar(bool shown) = 0;
    // The bar's line that says where the search stands ("3 of 1,234").
    virtual void showFindStatus(std::string_view text) = 0;
    virtual void setTabCaption(int tab, std::string_view caption) = 0;

    virtual void selectTab(int tab) = 0;
    [[nodiscard]] virtual int selectedTab() const = 0;
    // The list's current view row, if it has one.
    [[nodiscard]] virtual std::optional<std::size_t> currentRow(PageList list) const = 0;
    // Makes a view row the list's current and only selected row and scrolls
    // it into view.
    virtual void selectRow(PageList list, std::size_t viewRow) = 0;

    // The matches are about to change, and have: the view lets go of the
    // rows it maps (FindPresenter::rowMap), then reads the maps and the text
    // to highlight again and repaints.
    virtual void beginMatchesChange() = 0;
    virtual void endMatchesChange() = 0;

    // Runs `task` on the window's own thread once it is back in its event
    // loop. Called from the search's thread: the search hands its result
    // over through it.
    virtual void post(std::function<void()> task) = 0;
};

}  // namespace twds

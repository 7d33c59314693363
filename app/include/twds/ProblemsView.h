#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "twds/PageLists.h"
#include "twds/Problem.h"

namespace twds {

// The window's problems mark and pane as their presenter (ProblemsPresenter)
// sees them: a passive view, like FindView. Texts are Windows-1252 bytes.
class ProblemsView {
public:
    virtual ~ProblemsView() = default;

    // The status line's mark: a mark drawn in the severity's colour (not a
    // font's glyph) and the text beside it; hidden when there is no severity.
    virtual void showProblemsMark(std::optional<Severity> severity, std::string_view text) = 0;
    // Opens or closes the pane; an open pane takes the focus.
    virtual void showProblemsPane(bool shown) = 0;
    // The pane's lines changed (another Display, another order): it reads
    // them again.
    virtual void problemsChanged() = 0;
    // Brings a list's row into view: its tab selected, the row current and
    // the only one selected, scrolled to.
    virtual void showListRow(PageList list, std::size_t row) = 0;
    virtual void selectTab(int tab) = 0;
};

}  // namespace twds

// The main window's side of the problems mark and pane (ProblemsView).
#include <algorithm>

#include "AnsiWide.h"
#include "MainFrame.h"

namespace twds::win32 {

void MainFrame::showProblemsMark(std::optional<Severity> severity, std::string_view text) {
    problemsMark_->show(severity, AnsiToWide(text));
    placeControls(presenter_.layout());
}

void MainFrame::placeProblemsMark(int left, int top, int right) {
    if (!problemsMark_->shown()) {
        fitStatusScrollBar();
        return;
    }
    // At most half the line: the status text keeps the rest.
    const SIZE wanted = problemsMark_->preferredSize();
    const int width = std::min(static_cast<int>(wanted.cx), (right - left) / 2);
    const int statusRight = right - width - px(60);
    SetWindowPos(statusLine_, nullptr, left, top, statusRight - left, statusLineHeight(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // Drawn again where it lands: bits copied from where it stood may be
    // what the resized window had not drawn yet.
    SetWindowPos(problemsMark_->window(), nullptr, right - width, top, width, wanted.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    fitStatusScrollBar();
}

void MainFrame::fitStatusScrollBar() {
    // A status text longer than the line's room, narrowed by the mark, gets
    // a scroll bar instead of being cut off unseen.
    ShowScrollBar(statusLine_, SB_VERT, FALSE);
    HDC dc = GetDC(statusLine_);
    const HGDIOBJ old = SelectObject(dc, font_);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(statusLine_, dc);
    RECT room{};
    SendMessageW(statusLine_, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&room));
    const auto lines = static_cast<int>(SendMessageW(statusLine_, EM_GETLINECOUNT, 0, 0));
    if (lines * static_cast<int>(metrics.tmHeight) > room.bottom - room.top) {
        ShowScrollBar(statusLine_, SB_VERT, TRUE);
    }
}

void MainFrame::showProblemsPane(bool shown) {
    if (shown) {
        if (problemsPane_ == nullptr) {
            problemsPane_ = std::make_unique<ProblemsWindow>(window_, problems_);
        }
        problemsPane_->open();
    } else if (problemsPane_ != nullptr && problemsPane_->shown()) {
        problemsPane_->hide();
        SetForegroundWindow(window_);
    }
}

void MainFrame::problemsChanged() {
    if (problemsPane_ != nullptr) {
        problemsPane_->reload();
    }
}

void MainFrame::showListRow(PageList list, std::size_t row) {
    selectTab(InfoOf(list).tab);
    // Under a row map (only matching rows, a comparison) the list's row has
    // another place in the view, or none: then the tab alone is shown.
    const std::optional<std::size_t> viewRow = compare_.viewRowOf(list, row);
    if (!viewRow) {
        return;
    }
    selectRow(list, *viewRow);
    SetForegroundWindow(window_);
    SetFocus(listViews_[static_cast<std::size_t>(list)]);
}

bool MainFrame::problemsPaneKey(MSG& message) {
    // The owner's shortcuts (Ctrl+Shift+P closes the pane again); the list
    // takes Enter and the arrows itself.
    return TranslateAcceleratorW(window_, accelerators_, &message) != 0;
}

}  // namespace twds::win32

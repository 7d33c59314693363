#pragma once

#include <windows.h>

namespace twds {
class ProblemsPresenter;
}

namespace twds::win32 {

// The problems pane: a tool window owned by the main window, like the
// inspector, over a report list view of the presenter's lines. The view is
// owner data: it asks for the cells it draws and keeps nothing per line.
// A heading's click sorts through the presenter, Enter or a double click
// leads to the line's row, closing it tells the presenter.
class ProblemsWindow {
public:
    // Created hidden; the presenter must outlive the window.
    ProblemsWindow(HWND owner, ProblemsPresenter& presenter);
    ProblemsWindow(const ProblemsWindow&) = delete;
    ProblemsWindow& operator=(const ProblemsWindow&) = delete;
    ~ProblemsWindow();

    [[nodiscard]] HWND window() const { return window_; }
    [[nodiscard]] HWND list() const { return list_; }
    [[nodiscard]] bool shown() const { return IsWindowVisible(window_) != FALSE; }
    // Whether a message is for the pane or one of its controls.
    [[nodiscard]] bool owns(HWND window) const;

    // Shows the pane with the focus on its list; the first time under the
    // owner, kept on the screen.
    void open();
    void hide();
    // The lines changed: the view counts them again and redraws.
    void reload();
    // Another Display: the lines are in its order again, unsorted.
    void clearSortMark();

private:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT notify(const NMHDR& header);
    void sortBy(int column);
    void showSortMark();
    void fitColumns();
    // The system's message font at the pane's own DPI: under per-monitor
    // awareness the pane may stand on another monitor than its owner.
    void useFontFor(UINT dpi);

    ProblemsPresenter& presenter_;
    HWND owner_;
    HWND window_ = nullptr;
    HWND list_ = nullptr;
    HFONT font_ = nullptr;  // the pane's own
    bool placed_ = false;
    int sortColumn_ = -1;  // none: the Display's order
    bool ascending_ = true;
};

}  // namespace twds::win32

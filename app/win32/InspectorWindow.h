#pragma once

#include <windows.h>

#include <string_view>

namespace twds {
class MainWindowPresenter;
}

namespace twds::win32 {

// The inspector: a tool window owned by the main window, beside it, with
// the dump of the current row in a read-only edit and a Copy button. It
// opens without the focus, so the arrow keys keep moving the row it
// follows; closed, it hides and tells the presenter, and opens again where
// the user left it. Its fonts are its own monitor's.
class InspectorWindow {
public:
    // Created hidden; the presenter must outlive the window.
    InspectorWindow(HWND owner, MainWindowPresenter& presenter);
    InspectorWindow(const InspectorWindow&) = delete;
    InspectorWindow& operator=(const InspectorWindow&) = delete;
    ~InspectorWindow();

    [[nodiscard]] HWND window() const { return window_; }
    [[nodiscard]] HWND text() const { return text_; }
    [[nodiscard]] HWND copyButton() const { return copy_; }
    [[nodiscard]] bool shown() const { return IsWindowVisible(window_) != FALSE; }
    // Whether a message is for the inspector or one of its controls.
    [[nodiscard]] bool owns(HWND window) const;

    // Shows `text` (plain lines), opening the window the first time beside
    // its owner.
    void show(std::string_view text);
    // Hides it and tells the presenter (Esc, the close box).
    void close();

private:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    // The system's fonts at a DPI, and the controls placed again in them.
    void useFontsFor(UINT dpi);
    void place(int width, int height);

    MainWindowPresenter& presenter_;
    HWND owner_;
    HWND window_ = nullptr;
    HWND text_ = nullptr;
    HWND copy_ = nullptr;
    HFONT font_ = nullptr;       // the Copy button's
    HFONT fixedFont_ = nullptr;  // the dump's
    // Its monitor's, told by WM_DPICHANGED as the window moves.
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    bool placed_ = false;
};

}  // namespace twds::win32

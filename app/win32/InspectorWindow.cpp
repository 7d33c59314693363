#include "InspectorWindow.h"

// After windows.h (InspectorWindow.h).
#include <commctrl.h>

#include <algorithm>

#include "AnsiWide.h"
#include "ByteRunDraw.h"
#include "SystemFonts.h"
#include "Twips.h"
#include "WindowClass.h"
#include "twds/MainWindowPresenter.h"

namespace twds::win32 {

namespace {

constexpr wchar_t kInspectorClass[] = L"twDspUsrSpcInspector";

}  // namespace

InspectorWindow::InspectorWindow(HWND owner, MainWindowPresenter& presenter)
    : presenter_(presenter), owner_(owner) {
    // At the design size the main window has no room for a dump 70 columns
    // wide: the inspector stands beside it.
    const UINT dpi = GetDpiForWindow(owner);
    window_ = CreateToolWindow(owner, kInspectorClass, presenter_.inspectorTitle(), 640, 480);
    RouteMessages<InspectorWindow, &InspectorWindow::handle>(window_, this);
    text_ = CreateWindowExW(0, WC_EDITW, L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_READONLY | ES_MULTILINE |
                                WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL,
                            0, 0, 0, 0, window_, nullptr, GetModuleHandleW(nullptr), nullptr);
    // Copies the whole dump, as a copy of rows would write it; a selection
    // in the text is copied by the edit's own Ctrl+C.
    copy_ = CreateWindowExW(0, WC_BUTTONW, AnsiToWide(presenter_.copyRowsCaption()).c_str(),
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, window_,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
    useFontsFor(dpi);
}

InspectorWindow::~InspectorWindow() {
    DestroyRoutedWindow(window_);
    DeleteObject(font_);
    DeleteObject(fixedFont_);
}

bool InspectorWindow::owns(HWND window) const {
    return IsWithin(window_, window);
}

void InspectorWindow::show(std::string_view text) {
    SetWindowTextW(text_, EditBoxText(text, TrailingBlanks::AsText, LineBreaks::Kept).c_str());
    if (shown()) {
        return;
    }
    if (!placed_) {
        // Beside the owner, its top edge on the owner's, moved left or up
        // where the screen ends.
        placed_ = true;
        RECT owner{};
        GetWindowRect(owner_, &owner);
        RECT inspector{};
        GetWindowRect(window_, &inspector);
        const POINT at =
            KeptOnMonitor(owner_, {owner.right, owner.top}, inspector.right - inspector.left,
                          inspector.bottom - inspector.top);
        SetWindowPos(window_, nullptr, at.x, at.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowWindow(window_, SW_SHOWNOACTIVATE);
}

void InspectorWindow::close() {
    ShowWindow(window_, SW_HIDE);
    presenter_.inspectorClosed();
}

void InspectorWindow::useFontsFor(UINT dpi) {
    dpi_ = dpi;
    const LOGFONTW message = MessageFontAt(dpi);
    const LOGFONTW fixed = FixedFontLike(message);
    for (HFONT font : {font_, fixedFont_}) {
        DeleteObject(font);
    }
    font_ = CreateFontIndirectW(&message);
    fixedFont_ = CreateFontIndirectW(&fixed);
    SendMessageW(text_, WM_SETFONT, reinterpret_cast<WPARAM>(fixedFont_), TRUE);
    SendMessageW(copy_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    RECT client{};
    GetClientRect(window_, &client);
    place(client.right, client.bottom);
}

void InspectorWindow::place(int width, int height) {
    // The button at the bottom right, its caption's width plus margins.
    const auto px = [this](int twips) { return TwipsToPixels(twips, dpi_); };
    const SIZE size = CaptionSize(copy_);
    const int margin = px(90);
    const int buttonWidth = std::max(static_cast<int>(size.cx) + 4 * margin, px(1200));
    const int buttonHeight = static_cast<int>(size.cy) + 2 * margin;
    const int textHeight = std::max(0, height - buttonHeight - 2 * margin);
    MoveWindow(text_, 0, 0, width, textHeight, TRUE);
    MoveWindow(copy_, std::max(0, width - buttonWidth - margin), textHeight + margin, buttonWidth,
               buttonHeight, TRUE);
}

LRESULT InspectorWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            place(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_COMMAND:
            if (reinterpret_cast<HWND>(lParam) == copy_) {
                presenter_.copyInspection();
                return 0;
            }
            break;
        case WM_DPICHANGED: {
            // Moved to a monitor of another scale: the size Windows suggests
            // for it, the fonts made for it, the button measured again.
            TakeSuggestedRect(window_, lParam);
            useFontsFor(HIWORD(wParam));
            return 0;
        }
        case WM_CLOSE:
            close();
            return 0;
        case WM_DESTROY:
            SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
            break;
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace twds::win32

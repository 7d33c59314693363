#pragma once

#include <windows.h>

#include <string_view>

namespace twds::win32 {

// Registers one of the program's window classes: the window procedure is
// set per window by its owner (GWLP_WNDPROC), the ground is the dialog face,
// the icon the program's. Registering a name again fails and changes
// nothing, so each window may register its class before making itself.
void RegisterWindowClass(const wchar_t* name, const wchar_t* cursor = IDC_ARROW);

// Sends a window's messages to its owner object's Handle: the owner is
// stored in GWLP_USERDATA, and a message before it is set or after it is
// cleared (as a window is destroyed) goes to DefWindowProc.
template <class Owner, LRESULT (Owner::*Handle)(UINT, WPARAM, LPARAM)>
LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (owner == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return (owner->*Handle)(message, wParam, lParam);
}

template <class Owner, LRESULT (Owner::*Handle)(UINT, WPARAM, LPARAM)>
void RouteMessages(HWND window, Owner* owner) {
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OwnerProc<Owner, Handle>));
}

// A hidden tool window owned by `owner` (the inspector, the problems pane:
// top-level windows beside the main one), of its class (registered here),
// `title` in the ANSI code page, and `widthAt96` by `heightAt96` pixels
// scaled to the owner's DPI.
[[nodiscard]] HWND CreateToolWindow(HWND owner, const wchar_t* windowClass, std::string_view title,
                                    int widthAt96, int heightAt96);

// Where a window `width` by `height` pixels wanted at `at` beside `owner`
// stands on the owner's monitor: moved up or left where the work area ends,
// never above or left of it.
[[nodiscard]] POINT KeptOnMonitor(HWND owner, POINT at, LONG width, LONG height);

// Whether `window` is `tool` or one of its controls.
[[nodiscard]] bool IsWithin(HWND tool, HWND window);

// Places a window on WM_DPICHANGED where and as large as Windows suggests
// for the monitor it moved to (the message's lParam).
void TakeSuggestedRect(HWND window, LPARAM suggested);

// Destroys a window whose messages go to an owner object that is itself
// going: the owner is cleared first, so none of the last messages reach it.
void DestroyRoutedWindow(HWND window);

}  // namespace twds::win32

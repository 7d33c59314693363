#include "WindowClass.h"

#include <algorithm>

#include "AnsiWide.h"

namespace twds::win32 {

void RegisterWindowClass(const wchar_t* name, const wchar_t* cursor) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, cursor);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
}

HWND CreateToolWindow(HWND owner, const wchar_t* windowClass, std::string_view title, int widthAt96,
                      int heightAt96) {
    RegisterWindowClass(windowClass);
    const auto dpi = static_cast<int>(GetDpiForWindow(owner));
    return CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT, windowClass,
                           AnsiToWide(title).c_str(),
                           WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, 0, 0,
                           MulDiv(widthAt96, dpi, USER_DEFAULT_SCREEN_DPI),
                           MulDiv(heightAt96, dpi, USER_DEFAULT_SCREEN_DPI), owner, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

POINT KeptOnMonitor(HWND owner, POINT at, LONG width, LONG height) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor) == FALSE) {
        return at;
    }
    const RECT& room = monitor.rcWork;
    return {std::clamp<LONG>(at.x, room.left, std::max<LONG>(room.left, room.right - width)),
            std::clamp<LONG>(at.y, room.top, std::max<LONG>(room.top, room.bottom - height))};
}

bool IsWithin(HWND tool, HWND window) {
    return window != nullptr && (window == tool || IsChild(tool, window) != FALSE);
}

void TakeSuggestedRect(HWND window, LPARAM suggested) {
    const auto* rect = reinterpret_cast<const RECT*>(suggested);
    SetWindowPos(window, nullptr, rect->left, rect->top, rect->right - rect->left,
                 rect->bottom - rect->top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void DestroyRoutedWindow(HWND window) {
    if (IsWindow(window) != FALSE) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        DestroyWindow(window);
    }
}

}  // namespace twds::win32

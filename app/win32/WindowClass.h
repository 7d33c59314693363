#pragma once

#include <windows.h>

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

}  // namespace twds::win32

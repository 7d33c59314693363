#pragma once

#include <windows.h>

namespace twds::win32 {

// Registers one of the program's window classes: the window procedure is
// set per window by its owner (GWLP_WNDPROC), the ground is the dialog face,
// the icon the program's. Registering a name again fails and changes
// nothing, so each window may register its class before making itself.
void RegisterWindowClass(const wchar_t* name, const wchar_t* cursor = IDC_ARROW);

}  // namespace twds::win32

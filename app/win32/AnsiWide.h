#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace twds::win32 {

// The core's texts are bytes in the system's ANSI code page (the Linux
// viewer's fixed Windows-1252 stands in for it there). The window uses the
// wide (W) controls and converts here, at its edge, with the system's own
// tables: the common controls are Unicode inside, so an A control would
// convert the same bytes the same way, and one place of conversion keeps
// the marks for odd bytes, the dialogs and paths on one path.
[[nodiscard]] std::wstring AnsiToWide(std::string_view bytes);
// The text back in the ANSI code page; a character the page cannot hold
// becomes the system's default character ("?").
[[nodiscard]] std::string WideToAnsi(std::wstring_view text);
// Whether every character of the text has a byte in the page.
[[nodiscard]] bool WideFitsAnsi(std::wstring_view text);

// A caption converted, without its access key's "&": for a control beside
// others that have their own, a tooltip or a menu's checkable entry.
[[nodiscard]] std::wstring WithoutAccessKey(std::string_view caption);

// A dialog's file types as the catalogue gives them, "Exports (*.usrspc);;
// All files (*)", in the form the common dialogs take: name, NUL, patterns,
// NUL, ..., and a final NUL. "*" becomes "*.*".
[[nodiscard]] std::wstring DialogFilter(std::wstring_view types);

// The text of a control (GetWindowTextW).
[[nodiscard]] std::wstring WindowText(void* window);

}  // namespace twds::win32

#pragma once

#include <windows.h>

namespace twds::win32 {

// The system's message font as it stands on a monitor of `dpi` dots per
// inch. Under per-monitor awareness each top-level window asks for its own
// monitor's: the inspector and the problems pane may stand on another
// monitor than the main window.
[[nodiscard]] LOGFONTW MessageFontAt(UINT dpi);

// The fixed-pitch face of the value boxes and the inspector's dump, as tall
// as `message`.
[[nodiscard]] LOGFONTW FixedFontLike(const LOGFONTW& message);

// The width and height of a control's caption in the font it was given.
[[nodiscard]] SIZE CaptionSize(HWND control);

}  // namespace twds::win32

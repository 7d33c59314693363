#pragma once

#include <windows.h>

#include <string_view>

#include "ByteRunDraw.h"
#include "twds/ByteRuns.h"

namespace twds::win32 {

// The rich edit control the value and End_TW boxes are: unlike an edit box
// it gives each run of text its own colours and size, so that a box shows a
// marked byte as the lists draw it.
[[nodiscard]] const wchar_t* RichEditClass();

// Shows bytes in a rich edit box as the lists draw them (ByteRuns.h):
// characters in `font`, each marked byte as its mnemonic in the
// small `markFont` on an inverse box, trailing blanks as dots on a shaded
// ground; characters on the box's ground (EM_SETBKGNDCOLOR). With line
// breaks kept, LF and CR LF break the line. The box's
// text is replaced; the caret goes to its start.
void ShowByteRuns(HWND box, std::string_view bytes, TrailingBlanks blanks, LineBreaks breaks,
                  HFONT font, HFONT markFont);

}  // namespace twds::win32

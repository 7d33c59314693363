#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "twds/ByteRuns.h"

namespace twds::win32 {

// Draws a label's or a value's bytes on one line as the window shows them
// (ByteRuns.h): characters in `font`, each marked byte as its mnemonic in
// `markFont` on an inverse box, and a value's trailing blanks on a shaded
// ground with a dot per blank. Marks and dots are drawn, not taken from a
// font, so a byte shows whatever fonts the system has. The ground of `cell`
// is the caller's; text is clipped to it.
struct ByteRunColours {
    COLORREF text = 0;
    COLORREF ground = 0;
};
void DrawByteRuns(HDC dc, const RECT& cell, std::string_view bytes, TrailingBlanks blanks,
                  HFONT font, HFONT markFont, ByteRunColours colours);
// The width the bytes take drawn so, in pixels.
[[nodiscard]] int ByteRunsWidth(HDC dc, std::string_view bytes, TrailingBlanks blanks, HFONT font,
                                HFONT markFont);

// A text for an edit box (value boxes, End_TW), which has one format for
// all its text: a marked byte as its mnemonic in angle brackets, as a copy
// of rows writes it, and marked trailing blanks as middle dots; with line
// breaks kept, LF and CR LF become the edit's CR LF.
enum class LineBreaks { Marked, Kept };
[[nodiscard]] std::wstring EditBoxText(std::string_view bytes, TrailingBlanks blanks,
                                       LineBreaks breaks);

}  // namespace twds::win32

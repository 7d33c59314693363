#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "twds/ByteRuns.h"
#include "twds/TextSearch.h"

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

// Where bytes [from, to) stand once drawn so: pixels from the left of the
// text to the first's left and to the last's right. A marked byte
// counts whole.
struct PixelSpan {
    int left = 0;
    int right = 0;
};
[[nodiscard]] PixelSpan ByteRunsSpan(HDC dc, std::string_view bytes, TrailingBlanks blanks,
                                     HFONT font, HFONT markFont, std::size_t from, std::size_t to);

// Fills the ground under every place the searcher's text stands in the
// bytes drawn from the left of `cell`, as far as the cell shows them.
void FillMatches(HDC dc, const RECT& cell, std::string_view bytes, TrailingBlanks blanks,
                 HFONT font, HFONT markFont, const AnsiCaseSearcher& searcher, COLORREF ground);

// A text for a plain edit box (the inspector's), which has one format for
// all its text (the value and End_TW boxes draw theirs, RichByteRuns.h): a
// marked byte as its mnemonic in angle brackets, as a copy of rows writes
// it, and marked trailing blanks as middle dots; with line breaks kept, LF
// and CR LF become the edit's CR LF.
enum class LineBreaks { Marked, Kept };
[[nodiscard]] std::wstring EditBoxText(std::string_view bytes, TrailingBlanks blanks,
                                       LineBreaks breaks);

}  // namespace twds::win32

#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

#include "twds/PageLists.h"

namespace twds {

class DisplayCommand;

// The lines of the listings that scripts read (--find): one record a line,
// its fields separated by tabs, the line ended by LF. Each field is the
// Windows-1252 text converted to UTF-8, with the bytes that would break a
// line or a field, or that stand for no character, escaped: 0x00-0x1F, 0x7F
// and the five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) as "\xNN" with upper-case hex digits, and a backslash as "\\". So
// a script can split a line at its tabs and take every byte back.

// Appends one field, converted and escaped, to `line`.
void AppendListingField(std::string& line, std::string_view ansi);

// The whole line of these fields.
[[nodiscard]] std::string ListingLine(std::initializer_list<std::string_view> fields);

// The --find line of row `row` of `list`:
//   LIST FILE ROW PAGE POSITION OFFSET WIDTH LABEL VALUE
// FILE is the row's FicID (empty on CX and GC), ROW counts from 1, PAGE and
// POSITION are the kind letter and the eight-digit request position of the
// row's page, OFFSET counts the value's first byte in the page text from 1
// and WIDTH the bytes its field spans; both are empty for an entry heading.
[[nodiscard]] std::string FoundRowLine(const DisplayCommand& display, PageList list,
                                       std::size_t row);
// The --find line of the End_TW text: page E at its request position, the
// whole text as the value, the other fields empty.
[[nodiscard]] std::string FoundEndTwLine(const DisplayCommand& display);

}  // namespace twds

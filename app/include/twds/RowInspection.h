#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "twds/Messages.h"
#include "twds/PageLists.h"

namespace twds {

class DisplayCommand;

// What the inspector shows for one row: where its bytes stand (page kind and
// request position, offset and width within the page, user-space position),
// its file and ZC entry, the number the Display read from it when it steers
// a later request, and its bytes as a hex dump. Plain Windows-1252 text, one
// "label  value" line per fact under localised labels, then the dump: the
// same text is shown and copied. Odd bytes of labels and FicIDs are spelled
// out as VisibleBytesText does.

// The inspection of row `row` of `list`; the "select a row" text for a row
// past the list's end.
[[nodiscard]] std::string InspectRow(const DisplayCommand& display, PageList list, std::size_t row,
                                     const MessageLookup& lookup);

// The inspection of the End_TW page: its request and the text shown; the
// "select a row" text when the Display requested none.
[[nodiscard]] std::string InspectEndTw(const DisplayCommand& display, const MessageLookup& lookup);

// `bytes` as lines of 16: the offset in hexadecimal, the bytes in hex, then
// their Windows-1252 text with every control byte, DEL and undefined byte as
// ".", so that the dump copies as plain text. Each line ends with "\n".
[[nodiscard]] std::string HexDump(std::string_view bytes);

}  // namespace twds

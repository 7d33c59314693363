#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "twds/FieldList.h"
#include "twds/PageLists.h"

namespace twds {

// Where one row of a page list came from: its page, its bytes within the page
// and, on the per-file lists, its file. Worked out when asked, from the list's
// layout (kPageLists), the list's own rows and what the Display command keeps
// once per page; a row stores nothing for it.
struct RowSource {
    enum class Origin : std::uint8_t {
        Field,         // a fixed-width field of the layout, a readable block's included
        Statement,     // an SQL statement: the bytes after its 10-character length
        EntryHeading,  // the row that opens a file's rows: it holds no byte of the page,
                       // so offset and width are 0 and bytes is the fixed heading value
        Unknown,       // a row not appended by a Display: only bytes is set
    };

    Origin origin = Origin::Unknown;
    char kind = 0;                     // page kind letter: C, G, F, Z or S
    std::int32_t requestPosition = 0;  // the position the page's request carried
    // The field's first byte within the page text, from 0, and its width in
    // the layout; a statement's width is the bytes it holds. A row past the
    // page's end (the page ran out) keeps its place there and has no bytes.
    std::int32_t offset = 0;
    std::int32_t width = 0;
    std::string_view fieldName;  // the layout's identifier ("NbrOfFC"); empty for statements
                                 // and entry headings
    std::string_view ficID;      // F, Z and S rows: the file's FicID
    int fileNumber = 0;          // F, Z and S rows: n, the file's FC entry from 1
    std::uint32_t zcEntry = 0;   // Z field rows: k, the ZC entry from 1
    // The value as the list holds it: the page's bytes, but for a statement's
    // NUL bytes, shown as 0xFA.
    std::string_view bytes;

    // The user-space position of the field's first byte, as the host counts
    // positions: a page's text begins at the position it was requested at
    // (the S page at its FC entry's position + "Offset of Insert"). The host
    // places pages by kind and position together (C and G are both requested
    // at 1024, a file's Z page at its F page's position), so positions
    // compare only within one kind.
    [[nodiscard]] std::int64_t position() const { return std::int64_t{requestPosition} + offset; }
};

// The layout's part of row `row`'s source: origin, offset, width, fieldName,
// zcEntry and bytes. `firstRow` is the first row that the decode of the row's
// page added to `list` (a list of `which`). The caller adds the page and the
// file. Throws std::out_of_range when `row` is not in the list or before
// firstRow.
[[nodiscard]] RowSource LayoutSource(PageList which, const FieldList& list, std::size_t firstRow,
                                     std::size_t row);

}  // namespace twds

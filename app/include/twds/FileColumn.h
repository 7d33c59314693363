#pragma once

#include <string>
#include <string_view>

#include "twds/Messages.h"
#include "twds/PageLists.h"
#include "twds/Registry.h"
#include "twds/RowSource.h"

namespace twds {

// The lists whose rows belong to a file (FC, ZC and SQL) can show that file
// in a column of their own. The text is worked out from the row's source
// when the row is drawn, so a list of millions of rows costs nothing more.

// Whether `list` holds one block of rows per file.
[[nodiscard]] bool ListHasFileColumn(PageList list);

// The file column's text: the FicID, and for a ZC field row the ZC entry
// after it ("ORDHDR0001 #3"). Empty for a row of no file.
[[nodiscard]] std::string FileColumnText(const RowSource& source);

// The status line's text for a row: "File &1" or, for a ZC field row,
// "File &1, ZC entry &2"; empty for a row of no file.
[[nodiscard]] std::string DescribeRowFile(const RowSource& source, const MessageLookup& lookup);

// One switch for the three lists, kept in the viewer's own registry key (not
// the engine manager's Settings key, which belongs to the engine's tools).
inline constexpr std::string_view kViewerKey =
    R"(SOFTWARE\Vellmar\Vellmar Lumen\Manager\twDspUsrSpc)";
inline constexpr std::string_view kFileColumnValue = "FileColumn";

// Whether the file column was left on; off when the value is missing,
// unreadable or not a REG_DWORD.
[[nodiscard]] bool LoadFileColumnShown(RegistryStore& registry);
// Remembers the switch as a REG_DWORD 0 or 1.
[[nodiscard]] Status SaveFileColumnShown(RegistryStore& registry, bool shown);

}  // namespace twds

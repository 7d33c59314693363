#include "twds/ListingText.h"

#include "twds/AnsiText.h"
#include "twds/DisplayCommand.h"
#include "twds/Utf8.h"
#include "twds/Windows1252.h"

namespace twds {

namespace {

constexpr char kFieldSeparator = '\t';
constexpr std::string_view kEndTwName = "End_TW";
constexpr char kEndTwKind = 'E';

bool NeedsEscape(unsigned char byte) {
    return byte < 0x20 || byte == 0x7F || IsUndefinedInWindows1252(byte);
}

std::string Number(std::size_t value) {
    return std::to_string(value);
}

}  // namespace

void AppendListingField(std::string& line, std::string_view ansi) {
    static constexpr std::string_view kHexDigits = "0123456789ABCDEF";
    for (const char c : ansi) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            line += "\\\\";
        } else if (NeedsEscape(byte)) {
            line += "\\x";
            line += kHexDigits[byte >> 4];
            line += kHexDigits[byte & 0xF];
        } else {
            AppendUtf8(line, Windows1252CodePoint(byte));
        }
    }
}

std::string ListingLine(std::initializer_list<std::string_view> fields) {
    std::string line;
    bool first = true;
    for (const std::string_view field : fields) {
        if (!first) {
            line += kFieldSeparator;
        }
        first = false;
        AppendListingField(line, field);
    }
    line += '\n';
    return line;
}

std::string FoundRowLine(const DisplayCommand& display, PageList list, std::size_t row) {
    const RowSource source = display.source(list, row);
    const bool onPage =
        source.origin == RowSource::Origin::Field || source.origin == RowSource::Origin::Statement;
    const bool known = source.origin != RowSource::Origin::Unknown;
    const std::string page = known ? std::string(1, source.kind) : std::string();
    const std::string position = known ? FormatPagePosition(source.requestPosition) : std::string();
    const std::string offset = onPage ? Number(static_cast<std::size_t>(source.offset) + 1) : "";
    const std::string width = onPage ? Number(static_cast<std::size_t>(source.width)) : "";
    const FieldList& rows = display.list(list);
    return ListingLine({InfoOf(list).caption, source.ficID, Number(row + 1), page, position, offset,
                        width, rows.text(row), rows.value(row)});
}

std::string FoundEndTwLine(const DisplayCommand& display) {
    return ListingLine({kEndTwName,
                        {},
                        {},
                        std::string_view(&kEndTwKind, 1),
                        FormatPagePosition(display.endTwPosition()),
                        {},
                        {},
                        {},
                        display.endTwText});
}

}  // namespace twds

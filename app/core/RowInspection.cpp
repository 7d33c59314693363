#include "twds/RowInspection.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "twds/AnsiText.h"
#include "twds/ByteRuns.h"
#include "twds/DisplayCommand.h"
#include "twds/FieldNumber.h"
#include "twds/PageLayout.h"
#include "twds/Trim.h"
#include "twds/Windows1252.h"

namespace twds {

namespace {

constexpr std::size_t kDumpWidth = 16;
constexpr char kOddBytePlaceholder = '.';

// The fields the Display reads as numbers to steer its next requests, and
// the width of the integer each is kept in.
struct NumberField {
    char kind;
    std::string_view name;
    bool wide;  // 32-bit, read after trimming; else a 16-bit count read as it stands
};
constexpr std::array kNumberFields{
    NumberField{'G', layout::kGC[layout::kGCNbrOfFC].name, false},
    NumberField{'G', layout::kGC[layout::kGCEndTwOffset].name, true},
    NumberField{'G', layout::kGC[layout::kGCEndTwLength].name, true},
    NumberField{'F', layout::kFC[layout::kFCNumberOfZC].name, false},
    NumberField{'F', layout::kFC[layout::kFCOffsetOfInsert].name, true},
};

bool IsPlainDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// What the Display read from a number field, as the inspector says it.
std::optional<std::string> NumberRead(const RowSource& source, const MessageLookup& lookup) {
    if (source.origin != RowSource::Origin::Field) {
        return std::nullopt;
    }
    const auto* field = std::find_if(
        kNumberFields.begin(), kNumberFields.end(),
        [&](const auto& f) { return f.kind == source.kind && f.name == source.fieldName; });
    if (field == kNumberFields.end()) {
        return std::nullopt;
    }
    std::optional<std::int32_t> number;
    if (field->wide) {
        number = FieldNumber32(Trim(source.bytes));
    } else if (const std::optional<std::int16_t> count = FieldNumber16(source.bytes)) {
        number = *count;
    }
    if (!number) {
        return lookup(message::kInspectNumberOutOfRange, {field->wide ? "32" : "16"});
    }
    std::string text = std::to_string(*number);
    if (!IsPlainDigits(Trim(source.bytes))) {
        return lookup(message::kInspectNumberNotDigits, {text});
    }
    return text;
}

// The facts as aligned lines, then the bytes' count and dump.
class Inspection {
public:
    explicit Inspection(const MessageLookup& lookup) : lookup_(lookup) {}

    void add(int labelId, std::string value) {
        lines_.emplace_back(lookup_(labelId, {}), std::move(value));
    }

    [[nodiscard]] std::string text(std::string_view bytes) {
        add(message::kInspectBytes, std::to_string(bytes.size()));
        std::size_t width = 0;
        for (const auto& [label, value] : lines_) {
            width = std::max(width, label.size());
        }
        std::string out;
        for (const auto& [label, value] : lines_) {
            out += label;
            out.append(width - label.size() + 2, ' ');
            out += value;
            out += '\n';
        }
        return out + HexDump(bytes);
    }

private:
    const MessageLookup& lookup_;
    std::vector<std::pair<std::string, std::string>> lines_;
};

std::string PageText(char kind, std::int32_t position) {
    return std::string(1, kind) + " " + FormatPagePosition(position);
}

}  // namespace

std::string HexDump(std::string_view bytes) {
    static constexpr std::string_view kHexDigits = "0123456789ABCDEF";
    std::string out;
    for (std::size_t start = 0; start < bytes.size(); start += kDumpWidth) {
        const std::string_view line = bytes.substr(start, kDumpWidth);
        std::string offset;
        for (std::size_t rest = start; rest > 0 || offset.size() < 4; rest >>= 4) {
            offset.insert(offset.begin(), kHexDigits[rest & 0xF]);
        }
        out += offset + " ";
        std::string text;
        for (const char c : line) {
            const auto byte = static_cast<unsigned char>(c);
            out += ' ';
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 0xF];
            text += ByteMnemonic(byte).empty() ? c : kOddBytePlaceholder;
        }
        out.append(3 * (kDumpWidth - line.size()) + 2, ' ');
        out += text + '\n';
    }
    return out;
}

std::string InspectRow(const DisplayCommand& display, PageList list, std::size_t row,
                       const MessageLookup& lookup) {
    const FieldList& rows = display.list(list);
    if (row >= rows.rowCount()) {
        return lookup(message::kInspectNothing, {}) + '\n';
    }
    const RowSource source = display.source(list, row);
    Inspection inspection(lookup);
    inspection.add(message::kInspectList, std::string(InfoOf(list).caption));
    inspection.add(message::kInspectRow, std::to_string(row + 1));
    std::string field = VisibleBytesText(rows.text(row));
    if (!source.fieldName.empty()) {
        field += " (" + std::string(source.fieldName) + ")";
    }
    inspection.add(message::kInspectField, std::move(field));
    if (source.origin != RowSource::Origin::Unknown) {
        inspection.add(message::kInspectPage, PageText(source.kind, source.requestPosition));
    }
    // An entry heading holds no byte of its page.
    if (source.origin == RowSource::Origin::Field ||
        source.origin == RowSource::Origin::Statement) {
        inspection.add(message::kInspectOffset, std::to_string(source.offset + 1));
        inspection.add(message::kInspectWidth, std::to_string(source.width));
        inspection.add(message::kInspectPosition, std::to_string(source.position()));
    }
    if (!source.ficID.empty()) {
        inspection.add(message::kFileColumnCaption, VisibleBytesText(source.ficID));
    }
    if (source.kind == 'Z' && source.zcEntry > 0) {
        inspection.add(message::kInspectZcEntry, std::to_string(source.zcEntry));
    }
    if (std::optional<std::string> number = NumberRead(source, lookup)) {
        inspection.add(message::kInspectNumber, std::move(*number));
    }
    return inspection.text(rows.value(row));
}

std::string InspectEndTw(const DisplayCommand& display, const MessageLookup& lookup) {
    if (display.endTwPosition() == 0) {
        return lookup(message::kInspectNothing, {}) + '\n';
    }
    Inspection inspection(lookup);
    inspection.add(message::kInspectList, "End_TW");
    inspection.add(message::kInspectPage, PageText('E', display.endTwPosition()));
    return inspection.text(display.endTwText);
}

}  // namespace twds

#include "twds/ModelWriter.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "twds/Ascii.h"
#include "twds/PageLayout.h"
#include "twds/PageLists.h"

namespace twds {

namespace {

using layout::FieldSpec;

// Positions in a page request have 8 digits.
constexpr std::uint64_t kPositionLimit = 100'000'000;
constexpr std::size_t kNumberWidth = 10;
constexpr std::uint64_t kFCLength = layout::TotalWidth(layout::kFC) +
                                    layout::TotalWidth(layout::kReadableBlock) +
                                    layout::TotalWidth(layout::kFCTail);
constexpr std::uint64_t kZCLength = layout::TotalWidth(layout::kZC);

// Values the writer fills in when the description leaves a field out.
using Computed = std::vector<std::pair<std::string_view, std::string>>;

std::string Number(std::uint64_t value) {
    std::string digits = std::to_string(value);
    if (digits.size() < kNumberWidth) {
        digits.insert(0, kNumberWidth - digits.size(), '0');
    }
    return digits;
}

// Appends value in a field of the given width: cut, or padded with blanks.
// A number written without quotes in a 10-character field is zero-padded on
// the left, as the engine writes its counts and offsets.
void Place(std::string& page, const ModelValue& value, int width) {
    const auto size = static_cast<std::size_t>(width);
    const std::string& bytes = value.bytes;
    const bool number =
        !value.quoted && size == kNumberWidth && bytes.size() < size && AllAsciiDigits(bytes);
    if (number) {
        page.append(size - bytes.size(), '0');
        page += bytes;
        return;
    }
    page.append(bytes, 0, std::min(bytes.size(), size));
    page.append(size - std::min(bytes.size(), size), ' ');
}

void PlaceFields(std::string& page, std::span<const FieldSpec> fields, const ModelFields& values,
                 const Computed& computed = {}) {
    for (const FieldSpec& field : fields) {
        if (const auto given = values.find(std::string(field.name)); given != values.end()) {
            Place(page, given->second, field.width);
            continue;
        }
        const auto filled = std::find_if(computed.begin(), computed.end(),
                                         [&field](const auto& c) { return c.first == field.name; });
        ModelValue value;
        value.quoted = true;
        if (filled != computed.end()) {
            value.bytes = filled->second;
        }
        Place(page, value, field.width);
    }
}

template <std::size_t N>
constexpr std::size_t OffsetOf(const std::array<FieldSpec, N>& fields, int index) {
    std::size_t offset = 0;
    for (int i = 0; i < index; ++i) {
        offset += static_cast<std::size_t>(fields[static_cast<std::size_t>(i)].width);
    }
    return offset;
}

// Reads the number in a placed field (blanks around it allowed, blank = 0).
bool ReadNumber(std::string_view text, std::uint64_t& number) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        number = 0;
        return true;
    }
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), number);
    return problem == std::errc() && end == text.data() + text.size();
}

std::string SqlPage(const ModelFile& file, std::array<std::uint64_t, 4>& lengths) {
    std::string page;
    for (std::size_t r = 0; r < file.sql.size(); ++r) {
        const std::string& statement = file.sql[r] ? *file.sql[r] : std::string();
        lengths[r] = statement.size();
        if (file.sqlLength[r]) {
            Place(page, *file.sqlLength[r], kNumberWidth);
        } else {
            page += Number(statement.size());
        }
        page += statement;
    }
    return page;
}

std::string ZcPage(const ModelFile& file) {
    std::string page;
    page.reserve(file.zc.size() * kZCLength);
    for (const auto& entry : file.zc) {
        for (std::size_t i = 0; i < layout::kZC.size(); ++i) {
            Place(page, entry[i], layout::kZC[i].width);
        }
    }
    return page;
}

}  // namespace

Status ModelWriter::write(const ModelDescription& model, std::size_t fileCount,
                          const FileSource& fileAt, UserSpaceWriter& out) {
    std::string cx;
    PlaceFields(cx, layout::kCX, model.cx,
                {{"Page", "C"},
                 {"GC", Number(layout::kGCPosition)},
                 {"FC", Number(layout::kFirstFCPosition)}});
    out.page(InfoOf(PageList::CX).kind, layout::kCXPosition, cx);

    const std::uint64_t endTwLength = model.endTw ? model.endTw->size() : 0;
    const std::uint64_t endTwOffset =
        model.endTw ? layout::kEndTwBase + std::uint64_t{layout::kFCSpacing} * fileCount : 0;
    std::string gc;
    PlaceFields(gc, layout::kGC, model.gc,
                {{"Page", "G"},
                 {"NbrOfFC", Number(fileCount)},
                 {"EndTwOffset", Number(endTwOffset)},
                 {"EndTwLength", Number(endTwLength)}});
    PlaceFields(gc, layout::kReadableBlock, model.gcBlock);
    PlaceFields(gc, layout::kGCTail, model.gc);
    out.page(InfoOf(PageList::GC).kind, layout::kGCPosition, gc);

    std::uint64_t endOffset = 0;
    const std::string_view endField =
        std::string_view(gc).substr(OffsetOf(layout::kGC, layout::kGCEndTwOffset), kNumberWidth);
    if (!ReadNumber(endField, endOffset)) {
        return Failure{"END_TW Offset \"" + std::string(endField) + "\" is not a number."};
    }
    if (endOffset > 0 && !model.endTw) {
        return Failure{"END_TW Offset is above 0 but the model has no [END_TW] section."};
    }
    if (endOffset > 0) {
        if (endOffset + layout::kEndTwBase >= kPositionLimit) {
            return Failure{"END_TW Offset " + std::to_string(endOffset) +
                           " puts the End_TW page beyond the 8-digit positions."};
        }
        out.page('E', static_cast<std::uint32_t>(endOffset + layout::kEndTwBase), *model.endTw);
    }

    static_assert(layout::kFirstFCPosition + layout::kFCSpacing * (kMaxFiles - 1) < kPositionLimit);
    for (std::size_t index = 0; index < fileCount; ++index) {
        const ModelFile file = fileAt(index);
        const std::uint64_t position =
            layout::kFirstFCPosition + std::uint64_t{layout::kFCSpacing} * index;
        if (index >= kMaxFiles) {
            return Failure{"File " + std::to_string(index + 1) +
                           " lies beyond the 8-digit positions: a user space holds at most " +
                           std::to_string(kMaxFiles) + " files."};
        }

        std::array<std::uint64_t, 4> lengths{};
        const std::string sql = file.hasSql() ? SqlPage(file, lengths) : std::string();
        Computed computed = {
            {"Page", "F"}, {"FicID", file.ficId}, {"NumberOfZC", Number(file.zc.size())}};
        const std::uint64_t insert = file.hasSql() ? kFCLength + kZCLength * file.zc.size() : 0;
        const std::uint64_t update = insert + kNumberWidth + lengths[0];
        const std::uint64_t remove = update + kNumberWidth + lengths[1];
        const std::uint64_t clear = remove + kNumberWidth + lengths[2];
        computed.emplace_back("OffsetOfInsert", Number(insert));
        computed.emplace_back("OffsetOfUpdate", Number(file.hasSql() ? update : 0));
        computed.emplace_back("OffsetOfDelete", Number(file.hasSql() ? remove : 0));
        computed.emplace_back("OffsetOfClrPfm", Number(file.hasSql() ? clear : 0));

        std::string fc;
        fc.reserve(kFCLength);
        PlaceFields(fc, layout::kFC, file.fields, computed);
        PlaceFields(fc, layout::kReadableBlock, file.block);
        PlaceFields(fc, layout::kFCTail, file.fields);
        out.page(InfoOf(PageList::FC).kind, static_cast<std::uint32_t>(position), fc);
        out.page(InfoOf(PageList::ZC).kind, static_cast<std::uint32_t>(position), ZcPage(file));

        std::uint64_t insertOffset = 0;
        const std::string_view insertField = std::string_view(fc).substr(
            OffsetOf(layout::kFC, layout::kFCOffsetOfInsert), kNumberWidth);
        if (!ReadNumber(insertField, insertOffset)) {
            return Failure{"File " + file.ficId + ": Offset of Insert \"" +
                           std::string(insertField) + "\" is not a number."};
        }
        if (insertOffset > 0 && !file.hasSql()) {
            return Failure{"File " + file.ficId +
                           ": Offset of Insert is above 0 but the file has no sql.* statement."};
        }
        if (insertOffset == 0 && file.hasSql()) {
            return Failure{"File " + file.ficId +
                           ": it has SQL statements but its Offset of Insert is 0, so they would "
                           "never be read."};
        }
        if (insertOffset > 0) {
            if (position + insertOffset >= kPositionLimit) {
                return Failure{"File " + file.ficId + ": Offset of Insert " +
                               std::to_string(insertOffset) +
                               " puts its SQL page beyond the 8-digit positions."};
            }
            out.page(InfoOf(PageList::SQL).kind,
                     static_cast<std::uint32_t>(position + insertOffset), sql);
        }
    }
    return {};
}

Status ModelWriter::write(const ModelDescription& model, UserSpaceWriter& out) {
    return write(
        model, model.files.size(), [&model](std::size_t index) { return model.files[index]; }, out);
}

}  // namespace twds

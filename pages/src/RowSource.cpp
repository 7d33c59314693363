#include "twds/RowSource.h"

#include <stdexcept>

#include "twds/PageLayout.h"

namespace twds {

namespace {

int WidthOf(std::span<const layout::FieldSpec> run) {
    int total = 0;
    for (const layout::FieldSpec& field : run) {
        total += field.width;
    }
    return total;
}

}  // namespace

RowSource LayoutSource(PageList which, const FieldList& list, std::size_t firstRow,
                       std::size_t row) {
    if (row >= list.rowCount() || row < firstRow) {
        throw std::out_of_range("LayoutSource: row not among its page's rows");
    }
    const PageListInfo& info = InfoOf(which);
    RowSource source;
    source.bytes = list.value(row);

    // The rows of one decode stand in the order the decoder walks the page.
    std::size_t index = row - firstRow;
    if (info.entryKey == EntryKey::FicID) {
        if (index == 0) {
            source.origin = RowSource::Origin::EntryHeading;
            return source;
        }
        --index;
    }

    if (!info.layout.querySuffixes.empty()) {
        // Each statement follows its length field, which follows the bytes the
        // previous statement took: the rows before it in this page tell.
        std::size_t offset = layout::kSqlLengthWidth;
        for (std::size_t before = row - index; before < row; ++before) {
            offset += list.value(before).size() + layout::kSqlLengthWidth;
        }
        source.origin = RowSource::Origin::Statement;
        source.offset = static_cast<std::int32_t>(offset);
        source.width = static_cast<std::int32_t>(source.bytes.size());
        return source;
    }

    std::size_t fieldsPerEntry = 0;
    int widthPerEntry = 0;
    for (const std::span<const layout::FieldSpec> run : info.layout.fieldRuns) {
        fieldsPerEntry += run.size();
        widthPerEntry += WidthOf(run);
    }
    const std::size_t entry = index / fieldsPerEntry;
    index %= fieldsPerEntry;
    std::int64_t offset = static_cast<std::int64_t>(entry) * widthPerEntry;
    for (const std::span<const layout::FieldSpec> run : info.layout.fieldRuns) {
        if (index >= run.size()) {
            offset += WidthOf(run);
            index -= run.size();
            continue;
        }
        offset += WidthOf(run.first(index));
        source.fieldName = run[index].name;
        source.width = run[index].width;
        break;
    }
    source.origin = RowSource::Origin::Field;
    source.offset = static_cast<std::int32_t>(offset);
    if (info.layout.numberedEntries) {
        source.zcEntry = static_cast<std::uint32_t>(entry + 1);
    }
    return source;
}

}  // namespace twds

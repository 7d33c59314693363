#include "twds/PageDecoder.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "twds/DecodeStop.h"
#include "twds/FieldNumber.h"
#include "twds/PageLayout.h"
#include "twds/Trim.h"

namespace twds {

namespace {

using layout::FieldSpec;

// Removes the first `width` characters of the page (all of it when it is
// shorter) and returns them, still viewing the caller's buffer.
std::string_view TakeFront(std::string_view& page, std::size_t width) {
    const std::string_view field = page.substr(0, width);
    page.remove_prefix(field.size());
    return field;
}

std::string_view LabelOf(const PageLabels& labels, const FieldSpec& field) {
    return field.catalogueId == 0 ? field.fixedLabel : std::string_view(labels(field.catalogueId));
}

[[noreturn]] void StopOnDuplicate(const FieldList& list, const FieldList::NewRow& row,
                                  std::string_view keySuffix) {
    throw DecodeStop(DecodeStop::Reason::DuplicateKey, std::string(list.labelText(row.label)),
                     list.keyFor(row.label, row.suffix, row.entry), std::string(row.value),
                     std::string(keySuffix));
}

void AppendOrStop(FieldList& list, FieldList::LabelId label, FieldList::SuffixId suffix,
                  std::uint32_t entry, std::string_view value, std::string_view keySuffix) {
    if (!list.appendRow(label, suffix, entry, value)) {
        StopOnDuplicate(list, {label, suffix, entry, value}, keySuffix);
    }
}

// Where the rows of one run of fields go and what their keys carry after the
// label: the suffix id in the list, and its text for error reports.
struct RowTarget {
    FieldList& list;
    FieldList::SuffixId suffix;
    std::string_view keySuffix;
};

// One field: appends its row and returns its characters, consumed from the
// page.
std::string_view TakeField(const PageLabels& labels, const RowTarget& target,
                           std::string_view& page, const FieldSpec& field) {
    const FieldList::LabelId label = target.list.internLabel(LabelOf(labels, field));
    const std::string_view value = TakeFront(page, static_cast<std::size_t>(field.width));
    AppendOrStop(target.list, label, target.suffix, 0, value, target.keySuffix);
    return value;
}

template <std::size_t N>
void TakeFields(const PageLabels& labels, const RowTarget& target, std::string_view& page,
                const std::array<FieldSpec, N>& fields) {
    for (const FieldSpec& field : fields) {
        TakeField(labels, target, page, field);
    }
}

// A kept number read from the last row's field; out of range stops the
// decode with that row already in the list.
template <typename Int>
Int KeepNumber(std::optional<Int> number, const RowTarget& target, std::string_view fieldText) {
    if (!number) {
        const std::size_t row = target.list.rowCount() - 1;
        throw DecodeStop(DecodeStop::Reason::NumberOutOfRange, std::string(target.list.text(row)),
                         target.list.key(row), std::string(fieldText),
                         std::string(target.keySuffix));
    }
    return *number;
}

}  // namespace

PageDecoder::PageDecoder(const PageLabels& labels, KeptNumbers& kept)
    : labels_(labels), kept_(kept) {}

void PageDecoder::prepareList(FieldList& list, bool clearRows, int dataColumnWidth) const {
    if (list.columnCount() == 0) {
        const std::string& fieldName = labels_(layout::kColumnFieldName);
        const std::string& data = labels_(layout::kColumnData);
        list.addColumn(fieldName, fieldName, layout::kColumnWidth);
        list.addColumn(data, data, dataColumnWidth);
    }
    if (clearRows) {
        list.clearRows();
    }
}

void PageDecoder::appendEntryHeading(FieldList& list, std::string_view keySuffix) const {
    const std::string text = labels_(layout::kEntryHeading) + std::string(keySuffix);
    AppendOrStop(list, list.internLabel(text), list.internSuffix({}), 0, layout::kEntryHeadingValue,
                 keySuffix);
}

void PageDecoder::decodeCx(FieldList& list, std::string_view& page) {
    prepareList(list, true, layout::kColumnWidth);
    const RowTarget target{list, list.internSuffix({}), {}};
    TakeFields(labels_, target, page, layout::kCX);
}

void PageDecoder::decodeGc(FieldList& list, std::string_view& page, std::string_view keySuffix) {
    prepareList(list, true, layout::kColumnWidth);
    // The GC rows are keyed by their label alone; keySuffix names the page's
    // readable block and is reported with any stop.
    const RowTarget target{list, list.internSuffix({}), keySuffix};
    for (std::size_t i = 0; i < layout::kGC.size(); ++i) {
        const std::string_view value = TakeField(labels_, target, page, layout::kGC[i]);
        if (i == layout::kGCNbrOfFC) {
            kept_.fileCount = KeepNumber(FieldNumber16(value), target, value);
        } else if (i == layout::kGCEndTwOffset) {
            kept_.endOffset = KeepNumber(FieldNumber32(Trim(value)), target, value);
        } else if (i == layout::kGCEndTwLength) {
            kept_.endLength = KeepNumber(FieldNumber32(Trim(value)), target, value);
        }
    }
    decodeTextBlock(list, page, keySuffix);
    TakeFields(labels_, target, page, layout::kGCTail);
}

void PageDecoder::decodeFc(FieldList& list, std::string_view& page, std::string_view keySuffix,
                           bool firstEntry) {
    prepareList(list, firstEntry, layout::kColumnWidth);
    appendEntryHeading(list, keySuffix);
    const RowTarget target{list, list.internSuffix(keySuffix), keySuffix};
    for (std::size_t i = 0; i < layout::kFC.size(); ++i) {
        const std::string_view value = TakeField(labels_, target, page, layout::kFC[i]);
        if (i == layout::kFCNumberOfZC) {
            kept_.zcCount = KeepNumber(FieldNumber16(value), target, value);
        } else if (i == layout::kFCOffsetOfInsert) {
            kept_.insertOffset = KeepNumber(FieldNumber32(Trim(value)), target, value);
        }
    }
    decodeTextBlock(list, page, keySuffix);
    TakeFields(labels_, target, page, layout::kFCTail);
}

void PageDecoder::decodeZc(FieldList& list, std::string_view& page, std::string_view keySuffix,
                           bool firstEntry, const std::int16_t& nbrOfZC) {
    const int entries = nbrOfZC;
    prepareList(list, firstEntry, layout::kColumnWidth);
    appendEntryHeading(list, keySuffix);
    if (entries <= 0) {
        return;
    }

    // The same nine labels for every entry: interned once per page.
    std::array<FieldList::LabelId, layout::kZC.size()> labelIds{};
    for (std::size_t i = 0; i < layout::kZC.size(); ++i) {
        labelIds[i] = list.internLabel(LabelOf(labels_, layout::kZC[i]));
    }
    const FieldList::SuffixId suffix = list.internSuffix(keySuffix);
    list.reserve(layout::kZC.size() * static_cast<std::size_t>(entries));

    // One entry's nine rows go in as one batch.
    std::array<FieldList::NewRow, layout::kZC.size()> batch{};
    for (int k = 1; k <= entries; ++k) {
        for (std::size_t i = 0; i < layout::kZC.size(); ++i) {
            batch[i] = {labelIds[i], suffix, static_cast<std::uint32_t>(k),
                        TakeFront(page, static_cast<std::size_t>(layout::kZC[i].width))};
        }
        if (const std::size_t added = list.appendRows(batch); added < batch.size()) {
            StopOnDuplicate(list, batch[added], keySuffix);
        }
    }
}

void PageDecoder::decodeSql(FieldList& list, std::string_view& page, std::string_view keySuffix,
                            bool firstEntry) {
    prepareList(list, firstEntry, layout::kSqlDataColumnWidth);
    appendEntryHeading(list, keySuffix);
    const FieldList::SuffixId suffix = list.internSuffix(keySuffix);
    const std::string& query = labels_(layout::kQueryLabel);

    for (std::size_t r = 1; r <= layout::kSqlStatementSuffixes.size(); ++r) {
        const std::string_view lengthText = TakeFront(page, layout::kSqlLengthWidth);
        // The row text names the statement kind; its key holds only the
        // "Query" label, the file and the record number.
        const FieldList::LabelId label = list.internLabel(
            query + std::string(layout::kSqlStatementSuffixes[r - 1]), query.size());
        const auto entry = static_cast<std::uint32_t>(r);

        const std::optional<std::int32_t> length = FieldNumber32(Trim(lengthText));
        if (!length || *length < 0) {
            throw DecodeStop(
                length ? DecodeStop::Reason::NegativeLength : DecodeStop::Reason::NumberOutOfRange,
                std::string(list.labelText(label)), list.keyFor(label, suffix, entry),
                std::string(lengthText), std::string(keySuffix));
        }

        const std::string_view statement = TakeFront(page, static_cast<std::size_t>(*length));
        if (statement.find('\0') == std::string_view::npos) {
            AppendOrStop(list, label, suffix, entry, statement, keySuffix);
        } else {
            std::string shown(statement);
            std::replace(shown.begin(), shown.end(), '\0', layout::kSqlNulReplacement);
            AppendOrStop(list, label, suffix, entry, shown, keySuffix);
        }
    }
}

void PageDecoder::decodeTextBlock(FieldList& list, std::string_view& page,
                                  std::string_view keySuffix) {
    const RowTarget target{list, list.internSuffix(keySuffix), keySuffix};
    TakeFields(labels_, target, page, layout::kReadableBlock);
}

}  // namespace twds

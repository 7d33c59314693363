#include "twds/PageDecoder.h"

#include <algorithm>
#include <array>
#include <string>

#include "twds/FieldNumber.h"
#include "twds/Messages.h"
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

// Marks the suffix of a row whose key was taken: a byte no FicID the viewer
// makes up holds, followed by a number of the run.
constexpr char kRepeatMark = '\x7F';

int NumberTextMessage(NumberText kind) {
    switch (kind) {
        case NumberText::Blank:
            return message::kNumberTextBlank;
        case NumberText::Sign:
            return message::kNumberTextSign;
        case NumberText::Decimals:
            return message::kNumberTextDecimals;
        case NumberText::Exponent:
            return message::kNumberTextExponent;
        case NumberText::Hexadecimal:
            return message::kNumberTextHexadecimal;
        case NumberText::Octal:
            return message::kNumberTextOctal;
        case NumberText::InnerBlanks:
            return message::kNumberTextInnerBlanks;
        case NumberText::Digits:
        case NumberText::Other:
            break;
    }
    return message::kNumberTextOther;
}

}  // namespace

// Where the rows of one run of fields go: the list, its page kind, and what
// their keys carry after the label (the suffix id in the list).
struct PageDecoder::Place {
    FieldList& list;
    char kind;
    FieldList::SuffixId suffix;
};

PageDecoder::PageDecoder(const PageLabels& labels, KeptNumbers& kept, ProblemList* problems)
    : labels_(labels), kept_(kept), problems_(problems) {}

Problem* PageDecoder::report(Severity severity, char kind, const FieldList& list, std::size_t row,
                             int messageId, std::string first, std::string second,
                             std::string third) {
    if (problems_ == nullptr) {
        return nullptr;
    }
    Problem& problem = problems_->emplace_back();
    problem.severity = severity;
    problem.pageKind = kind;
    problem.row = row;
    problem.label = list.text(row);
    problem.messageId = messageId;
    problem.values = {std::move(first), std::move(second), std::move(third)};
    return &problem;
}

void PageDecoder::append(FieldList& list, char kind, FieldList::LabelId label,
                         FieldList::SuffixId suffix, std::uint32_t entry, std::string_view value) {
    if (list.appendRow(label, suffix, entry, value)) {
        return;
    }
    // The row is shown under a key nobody sees, so that the list stays one of
    // unique keys, as everything that reads it expects.
    do {
        const std::string repeat = kRepeatMark + std::to_string(++repeats_);
        suffix = list.internSuffix(repeat);
    } while (!list.appendRow(label, suffix, entry, value));

    // An empty label is reported as the catalogue's gap, once.
    const std::uint64_t seen = (std::uint64_t{static_cast<unsigned char>(kind)} << 32U) | label;
    if (repeatsExplained_ || list.labelText(label).empty() ||
        !reportedRepeats_.insert(seen).second) {
        return;
    }
    report(Severity::Error, kind, list, list.rowCount() - 1, message::kProblemRepeatedKey,
           std::string(list.labelText(label)));
}

std::string_view PageDecoder::takeField(const Place& place, std::string_view& page, int catalogueId,
                                        std::string_view fixedLabel, int width) {
    const std::string_view text =
        catalogueId == 0 ? fixedLabel : std::string_view(labels_(catalogueId));
    const FieldList::LabelId label = place.list.internLabel(text);
    const std::string_view value = TakeFront(page, static_cast<std::size_t>(width));
    append(place.list, place.kind, label, place.suffix, 0, value);
    if (text.empty() && reportedMissingLabels_.insert(catalogueId).second) {
        report(Severity::Error, place.kind, place.list, place.list.rowCount() - 1,
               message::kProblemLabelMissing, std::to_string(catalogueId));
    }
    return value;
}

template <typename Fields>
void PageDecoder::takeFields(const Place& place, std::string_view& page, const Fields& fields) {
    for (const FieldSpec& field : fields) {
        takeField(place, page, field.catalogueId, field.fixedLabel, field.width);
    }
}

template <typename Int>
Int PageDecoder::keep(const Place& place, std::string_view text, int bits) {
    // The counts are read as they stand, the offsets and lengths trimmed.
    FieldReading<Int> reading;
    if constexpr (sizeof(Int) == 2) {
        reading = ReadField16(text);
    } else {
        reading = ReadField32(Trim(text));
    }
    const NumberText kind = ClassifyNumberText(text);
    if (kind == NumberText::Digits && !reading.clamped) {
        return reading.value;
    }
    const std::size_t row = place.list.rowCount() - 1;
    if (reading.clamped) {
        report(Severity::Error, place.kind, place.list, row, message::kProblemOutOfRange,
               std::string(text), std::to_string(bits), std::to_string(reading.value));
    } else if (reading.value < 0 || text.empty()) {
        // A negative number is the caller's to judge (a count, an offset or a
        // length): its sign needs no note of its own. A field past the page's
        // end reads 0 as the page's layout says; what ended the page early is
        // reported where it stands.
    } else if (Problem* note =
                   report(Severity::Note, place.kind, place.list, row, message::kProblemNotDigits,
                          std::string(text), {}, std::to_string(reading.value))) {
        note->detailId = NumberTextMessage(kind);
    }
    return reading.value;
}

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

void PageDecoder::appendEntryHeading(FieldList& list, char kind, std::string_view keySuffix) {
    const std::string text = labels_(layout::kEntryHeading) + std::string(keySuffix);
    append(list, kind, list.internLabel(text), list.internSuffix({}), 0,
           layout::kEntryHeadingValue);
}

void PageDecoder::decodeCx(FieldList& list, std::string_view& page) {
    prepareList(list, true, layout::kColumnWidth);
    takeFields(Place{list, 'C', list.internSuffix({})}, page, layout::kCX);
}

void PageDecoder::decodeGc(FieldList& list, std::string_view& page, std::string_view keySuffix) {
    prepareList(list, true, layout::kColumnWidth);
    // The GC rows are keyed by their label alone; keySuffix keys the page's
    // readable block.
    const Place place{list, 'G', list.internSuffix({})};
    for (std::size_t i = 0; i < layout::kGC.size(); ++i) {
        const FieldSpec& field = layout::kGC[i];
        const std::string_view value =
            takeField(place, page, field.catalogueId, field.fixedLabel, field.width);
        if (i == layout::kGCNbrOfFC) {
            kept_.fileCount = keep<std::int16_t>(place, value, 16);
        } else if (i == layout::kGCEndTwOffset) {
            kept_.endOffset = keep<std::int32_t>(place, value, 32);
        } else if (i == layout::kGCEndTwLength) {
            kept_.endLength = keep<std::int32_t>(place, value, 32);
        }
    }
    decodeTextBlock(list, 'G', page, keySuffix);
    takeFields(place, page, layout::kGCTail);
}

void PageDecoder::decodeFc(FieldList& list, std::string_view& page, std::string_view keySuffix,
                           bool firstEntry) {
    prepareList(list, firstEntry, layout::kColumnWidth);
    appendEntryHeading(list, 'F', keySuffix);
    const Place place{list, 'F', list.internSuffix(keySuffix)};
    for (std::size_t i = 0; i < layout::kFC.size(); ++i) {
        const FieldSpec& field = layout::kFC[i];
        const std::string_view value =
            takeField(place, page, field.catalogueId, field.fixedLabel, field.width);
        if (i == layout::kFCNumberOfZC) {
            kept_.zcCount = keep<std::int16_t>(place, value, 16);
        } else if (i == layout::kFCOffsetOfInsert) {
            kept_.insertOffset = keep<std::int32_t>(place, value, 32);
        }
    }
    decodeTextBlock(list, 'F', page, keySuffix);
    takeFields(place, page, layout::kFCTail);
}

void PageDecoder::decodeZc(FieldList& list, std::string_view& page, std::string_view keySuffix,
                           bool firstEntry, const std::int16_t& nbrOfZC) {
    const int entries = nbrOfZC;
    prepareList(list, firstEntry, layout::kColumnWidth);
    appendEntryHeading(list, 'Z', keySuffix);
    if (entries <= 0) {
        return;
    }
    // More entries than the page holds: the rows past its end show what is
    // left of it, then nothing (as every page past its end does).
    constexpr auto kEntryWidth = static_cast<std::size_t>(layout::TotalWidth(layout::kZC));
    if (static_cast<std::size_t>(entries) * kEntryWidth > page.size()) {
        report(Severity::Warning, 'Z', list, list.rowCount() - 1, message::kProblemZcPastPage,
               std::to_string(entries), std::to_string(page.size() / kEntryWidth));
    }

    // The same nine labels for every entry: interned once per page.
    std::array<FieldList::LabelId, layout::kZC.size()> labelIds{};
    for (std::size_t i = 0; i < layout::kZC.size(); ++i) {
        const std::string& text = labels_(layout::kZC[i].catalogueId);
        labelIds[i] = list.internLabel(text);
    }
    const FieldList::SuffixId suffix = list.internSuffix(keySuffix);
    list.reserve(layout::kZC.size() * static_cast<std::size_t>(entries));

    const std::size_t firstEntryRow = list.rowCount();
    // One entry's nine rows go in as one batch; a batch that meets a key
    // already in the list goes on row by row from there.
    std::array<FieldList::NewRow, layout::kZC.size()> batch{};
    for (int k = 1; k <= entries; ++k) {
        for (std::size_t i = 0; i < layout::kZC.size(); ++i) {
            batch[i] = {labelIds[i], suffix, static_cast<std::uint32_t>(k),
                        TakeFront(page, static_cast<std::size_t>(layout::kZC[i].width))};
        }
        for (std::size_t added = list.appendRows(batch); added < batch.size(); ++added) {
            const FieldList::NewRow& row = batch[added];
            append(list, 'Z', row.label, row.suffix, row.entry, row.value);
        }
    }
    // A label the catalogue lacks, named on the first entry's row.
    for (std::size_t i = 0; i < layout::kZC.size(); ++i) {
        const int id = layout::kZC[i].catalogueId;
        if (list.labelText(labelIds[i]).empty() && reportedMissingLabels_.insert(id).second) {
            report(Severity::Error, 'Z', list, firstEntryRow + i, message::kProblemLabelMissing,
                   std::to_string(id));
        }
    }
}

void PageDecoder::decodeSql(FieldList& list, std::string_view& page, std::string_view keySuffix,
                            bool firstEntry) {
    prepareList(list, firstEntry, layout::kSqlDataColumnWidth);
    appendEntryHeading(list, 'S', keySuffix);
    const FieldList::SuffixId suffix = list.internSuffix(keySuffix);
    const std::string& query = labels_(layout::kQueryLabel);
    const Place place{list, 'S', suffix};

    for (std::size_t r = 1; r <= layout::kSqlStatementSuffixes.size(); ++r) {
        const std::string_view lengthText = TakeFront(page, layout::kSqlLengthWidth);
        // The row text names the statement kind; its key holds only the
        // "Query" label, the file and the record number.
        const FieldList::LabelId label = list.internLabel(
            query + std::string(layout::kSqlStatementSuffixes[r - 1]), query.size());
        const auto entry = static_cast<std::uint32_t>(r);

        // A negative length reads as an empty statement, and the next record
        // follows the length field.
        const std::int32_t length = std::max(ReadField32(Trim(lengthText)).value, 0);
        const std::string_view statement = TakeFront(page, static_cast<std::size_t>(length));
        if (statement.find('\0') == std::string_view::npos) {
            append(list, 'S', label, suffix, entry, statement);
        } else {
            std::string shown(statement);
            std::replace(shown.begin(), shown.end(), '\0', layout::kSqlNulReplacement);
            append(list, 'S', label, suffix, entry, shown);
        }

        // The length's checks point at its statement's row.
        const auto read = keep<std::int32_t>(place, lengthText, 32);
        const std::size_t row = list.rowCount() - 1;
        if (read < 0) {
            report(Severity::Error, 'S', list, row, message::kProblemNegativeLength,
                   std::string(lengthText));
        } else if (statement.size() < static_cast<std::size_t>(read)) {
            report(Severity::Warning, 'S', list, row, message::kProblemStatementPastEnd,
                   std::to_string(read), std::to_string(statement.size()));
        }
    }
}

void PageDecoder::decodeTextBlock(FieldList& list, std::string_view& page,
                                  std::string_view keySuffix) {
    decodeTextBlock(list, 'G', page, keySuffix);
}

void PageDecoder::decodeTextBlock(FieldList& list, char kind, std::string_view& page,
                                  std::string_view keySuffix) {
    takeFields(Place{list, kind, list.internSuffix(keySuffix)}, page, layout::kReadableBlock);
}

Severity HighestSeverity(const ProblemList& problems) {
    Severity highest = Severity::Note;
    for (const Problem& problem : problems) {
        highest = std::max(highest, problem.severity);
    }
    return highest;
}

}  // namespace twds

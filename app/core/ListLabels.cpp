#include "twds/ListLabels.h"

#include <array>

#include "twds/PageLayout.h"

namespace twds {

namespace {

template <std::size_t N>
void AddLabels(std::vector<std::string>& out, const PageLabels& labels,
               const std::array<layout::FieldSpec, N>& fields) {
    for (const layout::FieldSpec& field : fields) {
        out.emplace_back(field.catalogueId == 0 ? field.fixedLabel
                                                : std::string_view(labels(field.catalogueId)));
    }
}

void AddEntryHeading(std::vector<std::string>& out, const PageLabels& labels) {
    out.push_back(labels(layout::kEntryHeading) + std::string(kFicIdStandIn));
}

}  // namespace

std::vector<std::string> LabelsOfList(char kind, const PageLabels& labels) {
    std::vector<std::string> out;
    switch (kind) {
        case 'C':
            AddLabels(out, labels, layout::kCX);
            break;
        case 'G':
            AddLabels(out, labels, layout::kGC);
            AddLabels(out, labels, layout::kReadableBlock);
            AddLabels(out, labels, layout::kGCTail);
            break;
        case 'F':
            AddEntryHeading(out, labels);
            AddLabels(out, labels, layout::kFC);
            AddLabels(out, labels, layout::kReadableBlock);
            AddLabels(out, labels, layout::kFCTail);
            break;
        case 'Z':
            AddEntryHeading(out, labels);
            AddLabels(out, labels, layout::kZC);
            break;
        case 'S':
            AddEntryHeading(out, labels);
            for (const std::string_view statement : layout::kSqlStatementSuffixes) {
                out.push_back(labels(layout::kQueryLabel) + std::string(statement));
            }
            break;
        default:
            break;
    }
    return out;
}

}  // namespace twds

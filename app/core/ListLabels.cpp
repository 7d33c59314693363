#include "twds/ListLabels.h"

#include "twds/PageLayout.h"

namespace twds {

std::vector<std::string> LabelsOfList(PageList list, const PageLabels& labels) {
    const PageListInfo& info = InfoOf(list);
    std::vector<std::string> out;
    if (info.entryKey == EntryKey::FicID) {
        out.push_back(labels(layout::kEntryHeading) + std::string(kFicIdStandIn));
    }
    for (const std::span<const layout::FieldSpec> run : info.layout.fieldRuns) {
        for (const layout::FieldSpec& field : run) {
            out.emplace_back(field.catalogueId == 0 ? field.fixedLabel
                                                    : std::string_view(labels(field.catalogueId)));
        }
    }
    for (const std::string_view statement : info.layout.querySuffixes) {
        out.push_back(labels(layout::kQueryLabel) + std::string(statement));
    }
    return out;
}

}  // namespace twds

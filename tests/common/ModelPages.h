#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "twds/PageLayout.h"

namespace twds::test {

// A page's fields filled from `values` by field name, each left-aligned and
// padded with blanks to its width (cut when longer); absent fields are blank.
template <std::size_t N>
std::string FillFields(const std::array<layout::FieldSpec, N>& fields,
                       const std::map<std::string_view, std::string>& values) {
    std::string page;
    for (const layout::FieldSpec& field : fields) {
        std::string value;
        if (const auto found = values.find(field.name); found != values.end()) {
            value = found->second;
        }
        value.resize(static_cast<std::size_t>(field.width), ' ');
        page += value;
    }
    return page;
}

// The CX "Version" value of every model's CX page.
inline constexpr std::string_view kModelVersion = "V01R02";

// A number right-aligned in a 10-character field, as the engine writes it.
std::string Number(std::int64_t value);

struct FileModel {
    std::string ficID;
    int zcCount = 0;
    std::int32_t insertOffset = 0;  // 0: the file has no SQL page
    std::array<std::string, 4> statements;
};

struct UserSpaceModel {
    std::vector<FileModel> files;
    std::int64_t endOffset = 0;
    std::int64_t endLength = 0;
    std::string endPage;  // the E page's text, served when endOffset > 0
};

using PageMap = std::map<std::pair<char, std::int32_t>, std::string>;

// The pages a host link serves for the model, by kind and position.
[[nodiscard]] PageMap BuildPages(const UserSpaceModel& model);
[[nodiscard]] std::string BuildFCPage(const FileModel& file);

// A small user space: two files of two ZC entries each, the first with SQL
// statements and the second without, and an End_TW page.
[[nodiscard]] PageMap SmallModelPages();

// Two user spaces to compare: three files of one ZC entry each, no SQL; the
// newer has lost ORDERS0002, CUSTMAST01 has a second ZC entry and End_TW says
// something else.
[[nodiscard]] UserSpaceModel ThreeFilesModel(bool newer);

// The pages as a saved user-space file (".twus").
[[nodiscard]] std::string ToSavedUserSpace(const PageMap& pages);

}  // namespace twds::test

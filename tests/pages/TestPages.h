#pragma once

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "twds/PageLabels.h"
#include "twds/PageLayout.h"

namespace twds::test {

// A small catalogue: the texts the tests look for by name, "L<id>" for the
// other ids (so that every label of a page differs).
inline std::string CatalogueText(int id) {
    static const std::map<int, std::string> texts{
        {5401, "Field name"},
        {5402, "Data"},
        {5410, "Target type"},
        {5411, "Com type"},
        {5427, "Stop type"},
        {5514, "Nbr of FC"},
        {5519, "END_TW Offset"},
        {5601, "File N\xB0 :"},
        {5634, "Number of ZC"},
        {5703, "Input field length"},
        {5705, "Input position"},
        {5709, "Key order"},
        {5751, "Query"},
        {5801, "Recovery type"},
        {5804, "Internal logical number "},
    };
    const auto found = texts.find(id);
    return found != texts.end() ? found->second : "L" + std::to_string(id);
}

// Lays out pages from the layout tables: each field blank-padded to its
// width at its place, fields the test does not name filled with blanks.
class PageWriter {
public:
    template <std::size_t N>
    PageWriter& add(const std::array<layout::FieldSpec, N>& fields,
                    const std::map<std::string_view, std::string>& values = {}) {
        for (const layout::FieldSpec& field : fields) {
            std::string value;
            if (const auto found = values.find(field.name); found != values.end()) {
                value = found->second;
            }
            EXPECT_LE(value.size(), static_cast<std::size_t>(field.width)) << field.name;
            value.resize(static_cast<std::size_t>(field.width), ' ');
            text_ += value;
        }
        return *this;
    }
    // Fills every field of the table with its own pattern, so that a value
    // read from the wrong place shows.
    template <std::size_t N>
    PageWriter& addPatterned(const std::array<layout::FieldSpec, N>& fields) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            for (int c = 0; c < fields[i].width; ++c) {
                text_ += static_cast<char>('!' + (i * 7 + static_cast<std::size_t>(c)) % 90);
            }
        }
        return *this;
    }
    PageWriter& raw(std::string_view text) {
        text_ += text;
        return *this;
    }
    // Pads with blanks to a page request's length.
    [[nodiscard]] std::string page(std::size_t length) const {
        std::string page = text_;
        page.resize(std::max(length, page.size()), ' ');
        return page;
    }
    [[nodiscard]] const std::string& text() const { return text_; }

private:
    std::string text_;
};

}  // namespace twds::test

#include <string>

#include <gtest/gtest.h>

#include "twds/ListingText.h"

namespace twds {
namespace {

// Characters in UTF-8; what would split a field or a line, or stands for no
// character, escaped. The expected UTF-8 is written out byte by byte.
TEST(ListingTextTest, FieldsAreUtf8WithEscapesAndLinesTabSeparated) {
    const struct {
        std::string_view ansi;
        std::string_view field;
    } cases[] = {
        {"plain", "plain"},
        {"a\\b", "a\\\\b"},
        {std::string_view("\t\r\n\x00\x1F\x7F ", 7), "\\x09\\x0D\\x0A\\x00\\x1F\\x7F "},
        {"\x81\x8D\x8F\x90\x9D", "\\x81\\x8D\\x8F\\x90\\x9D"},
        {"\x80\x9F\xE9\xFF\xA0\xB0", "\xE2\x82\xAC\xC5\xB8\xC3\xA9\xC3\xBF\xC2\xA0\xC2\xB0"},
        {"\\x41", "\\\\x41"},
    };
    for (const auto& c : cases) {
        std::string line = "<";
        AppendListingField(line, c.ansi);
        EXPECT_EQ(line, "<" + std::string(c.field)) << c.ansi;
    }
    EXPECT_EQ(ListingLine({"CX", "", "a\tb", "\xE9"}), "CX\t\ta\\x09b\t\xC3\xA9\n");
}

}  // namespace
}  // namespace twds

#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "twds/ByteRuns.h"

namespace twds {

void PrintTo(const ByteRun& run, std::ostream* os) {
    static constexpr const char* kKinds[] = {"Text", "Marked", "TrailingBlanks"};
    *os << kKinds[static_cast<int>(run.kind)] << "(" << run.offset << "+" << run.length << " "
        << run.mnemonic << ")";
}

namespace {

using Kind = ByteRun::Kind;
using Runs = std::vector<ByteRun>;

TEST(ByteRuns, ControlAndUndefinedBytesHaveTheirNamesAndOthersNone) {
    const std::pair<unsigned char, std::string_view> cases[] = {
        {0x00, "NUL"}, {0x09, "TAB"}, {0x0A, "LF"}, {0x0D, "CR"}, {0x1B, "ESC"}, {0x1F, "US"},
        {0x7F, "DEL"}, {0x81, "81"},  {0x8D, "8D"}, {0x8F, "8F"}, {0x90, "90"},  {0x9D, "9D"},
        {0x20, ""},    {0x7E, ""},    {0x80, ""},   {0x9F, ""},   {0xA0, ""},    {0xFF, ""},
    };
    for (const auto& [byte, mnemonic] : cases) {
        EXPECT_EQ(ByteMnemonic(byte), mnemonic) << int(byte);
    }
}

TEST(ByteRuns, ValueSplitsIntoTextMarksAndTrailingBlanks) {
    const std::pair<std::string, Runs> cases[] = {
        {"", {}},
        {"   ", {{Kind::TrailingBlanks, 0, 3, {}}}},
        {std::string("A\0B  ", 5),
         {{Kind::Text, 0, 1, {}},
          {Kind::Marked, 1, 1, "NUL"},
          {Kind::Text, 2, 1, {}},
          {Kind::TrailingBlanks, 3, 2, {}}}},
        // Neighbouring marks stay one run each; inner blanks are text.
        {"\r\n a b",
         {{Kind::Marked, 0, 1, "CR"}, {Kind::Marked, 1, 1, "LF"}, {Kind::Text, 2, 4, {}}}},
        // Blanks before a final control byte do not end the value.
        {"X \x1B", {{Kind::Text, 0, 2, {}}, {Kind::Marked, 2, 1, "ESC"}}},
        {"\xE9t\xE9\x80", {{Kind::Text, 0, 4, {}}}},
    };
    for (const auto& [bytes, runs] : cases) {
        EXPECT_EQ(SplitByteRuns(bytes, TrailingBlanks::Marked), runs) << bytes;
    }
    // A label's blanks are text; the limit cuts the last run.
    EXPECT_EQ(SplitByteRuns("File \t  ", TrailingBlanks::AsText),
              (Runs{{Kind::Text, 0, 5, {}}, {Kind::Marked, 5, 1, "TAB"}, {Kind::Text, 6, 2, {}}}));
    EXPECT_EQ(SplitByteRuns(std::string("AB\0CD   ", 8), TrailingBlanks::Marked, 6),
              (Runs{{Kind::Text, 0, 2, {}},
                    {Kind::Marked, 2, 1, "NUL"},
                    {Kind::Text, 3, 2, {}},
                    {Kind::TrailingBlanks, 5, 1, {}}}));
}

}  // namespace
}  // namespace twds

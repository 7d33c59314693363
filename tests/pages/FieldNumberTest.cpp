#include <cstdint>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "twds/FieldNumber.h"

namespace twds {
namespace {

using std::nullopt;

// A text, its reading as a 16-bit count and as a 32-bit offset; nullopt:
// out of range. The boundaries of each rule, and what the lenient reading
// does with text that is no number.
struct Reading {
    std::string text;
    std::optional<std::int16_t> count;
    std::optional<std::int32_t> offset;
};

// clang-format off
const Reading kReadings[] = {
    {"   12     ", 12, 12},     {"", 0, 0},                  {"ABCDEFGHIJ", 0, 0},
    {"\t1\n2 3", 123, 123},     {"\r5", 0, 0},               {"1.2.3", 1, 1},
    {"- 7", -7, -7},            {"+7", 7, 7},                {std::string{'1', '\0', '2'}, 1, 1},
    // Halves go to the even neighbour.
    {"2.5", 2, 2},              {"3.5", 4, 4},               {"-2.5", -2, -2},
    {"2.50001", 3, 3},          {".5", 0, 0},                {"-32768.5", -32768, -32768},
    {"1D3", 1000, 1000},        {"25E-1", 2, 2},             {"7Ex", 7, 7},
    {"1E-400", 0, 0},           {"1E400", nullopt, nullopt}, {"1E5", nullopt, 100000},
    // Up to four hex digits are a 16-bit pattern, up to eight a 32-bit one.
    {"&hff", 255, 255},         {"&HFFFF", -1, -1},          {"&H8000", -32768, -32768},
    {"&H10000", nullopt, 65536}, {"&HFFFFFFFF", -1, -1},     {"&H123456789", nullopt, nullopt},
    {"&H1G", 1, 1},             {"&X12", 0, 0},              {"&O177777", -1, -1},
    {"&O200000", nullopt, 65536}, {"&O40000000000", nullopt, nullopt},
    {"32767", 32767, 32767},    {"32767.5", nullopt, 32768}, {"-32769", nullopt, -32769},
    {"2147483647", nullopt, 2147483647}, {"-2147483648", nullopt, -2147483647 - 1},
    {"2147483648", nullopt, nullopt}, {std::string(400, '9'), nullopt, nullopt},
};
// clang-format on

TEST(FieldNumber32Test, ReadsCountsAndOffsetsAsTheEngineDoes) {
    for (const Reading& r : kReadings) {
        SCOPED_TRACE("\"" + r.text.substr(0, 40) + "\"");
        EXPECT_EQ(FieldNumber16(r.text), r.count);
        EXPECT_EQ(FieldNumber32(r.text), r.offset);
    }
}

// Out of range reads as the nearest value in range, on the side of its sign,
// even where no double holds it.
TEST(FieldNumber32Test, OutOfRangeClampsToTheNearestValueInRange) {
    EXPECT_EQ(ReadField16("40000").value, 32767);
    EXPECT_TRUE(ReadField16("40000").clamped);
    EXPECT_EQ(ReadField16("-1E400").value, -32768);
    EXPECT_EQ(ReadField32(std::string(400, '9')).value, 2147483647);
    EXPECT_EQ(ReadField32("&H123456789").value, 2147483647);
    EXPECT_EQ(ReadField32("-2147483648").value, -2147483647 - 1);
    EXPECT_FALSE(ReadField32("-2147483648").clamped);
}

// What a number field holds besides digits, blanks around them allowed.
TEST(FieldNumber32Test, NumberTextsAreNamedByWhatMakesThemNotPlainDigits) {
    const std::pair<std::string_view, NumberText> texts[] = {
        {"  0000012 ", NumberText::Digits},
        {"          ", NumberText::Blank},
        {"", NumberText::Blank},
        {"-5", NumberText::Sign},
        {"1E-3", NumberText::Exponent},
        {"2.6", NumberText::Decimals},
        {"1D2", NumberText::Exponent},
        {"&h1F", NumberText::Hexadecimal},
        {"&O17", NumberText::Octal},
        {"1 2", NumberText::InnerBlanks},
        {"DEAD", NumberText::Other},
        {"12AB", NumberText::Other},
        {"1 2X", NumberText::Other},
        {"E5", NumberText::Other},
    };
    for (const auto& [text, kind] : texts) {
        EXPECT_EQ(ClassifyNumberText(text), kind) << text;
    }
}

}  // namespace
}  // namespace twds

#include "twds/FieldNumber.h"
#include "twds/Trim.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace twds {
namespace {

struct Reading {
    std::string text;
    std::optional<std::int32_t> expected;  // std::nullopt: out of range
};

void PrintTo(const Reading& r, std::ostream* os) {
    *os << '"' << r.text << '"';
}

class Number16Test : public ::testing::TestWithParam<Reading> {};

TEST_P(Number16Test, ReadsAsTheCountFieldsAre) {
    const Reading& r = GetParam();
    const std::optional<std::int16_t> got = FieldNumber16(r.text);
    ASSERT_EQ(got.has_value(), r.expected.has_value());
    if (got) {
        EXPECT_EQ(*got, *r.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Decimal, Number16Test,
                         ::testing::Values(Reading{"   12     ", 12}, Reading{"0000000003", 3},
                                           Reading{"          ", 0}, Reading{"", 0},
                                           Reading{"ABCDEFGHIJ", 0}, Reading{"12abc", 12},
                                           Reading{"1 2", 12}, Reading{"\t1\n2 3", 123},
                                           Reading{"-7", -7}, Reading{"+7", 7}, Reading{"- 7", -7},
                                           Reading{"-", 0}, Reading{".", 0}, Reading{"1.2.3", 1},
                                           Reading{"\r5", 0}));

INSTANTIATE_TEST_SUITE_P(HalfToEven, Number16Test,
                         ::testing::Values(Reading{"2.5", 2}, Reading{"3.5", 4},
                                           Reading{"-2.5", -2}, Reading{"-3.5", -4},
                                           Reading{"2.50001", 3}, Reading{"1.49", 1},
                                           Reading{".5", 0}, Reading{"0.5000", 0},
                                           Reading{"1.5", 2}));

INSTANTIATE_TEST_SUITE_P(Exponent, Number16Test,
                         ::testing::Values(Reading{"1E3", 1000}, Reading{"1D2", 100},
                                           Reading{"1e+2", 100}, Reading{"25E-1", 2},
                                           Reading{"1E", 1}, Reading{"1E+", 1}, Reading{"7Ex", 7},
                                           Reading{"1 E 2", 100}, Reading{"1E-400", 0},
                                           Reading{"1E400", std::nullopt},
                                           Reading{"1E5", std::nullopt}));

INSTANTIATE_TEST_SUITE_P(Radix, Number16Test,
                         ::testing::Values(Reading{"&HFF", 255}, Reading{"&hff", 255},
                                           Reading{"&HFFFF", -1}, Reading{"&H8000", -32768},
                                           Reading{"&H7FFF", 32767},
                                           Reading{"&H10000", std::nullopt}, Reading{"&O17", 15},
                                           Reading{"&o177777", -1},
                                           Reading{"&O200000", std::nullopt}, Reading{"&H", 0},
                                           Reading{"&X12", 0}, Reading{"&H1G", 1},
                                           Reading{"&H123456789", std::nullopt}));

INSTANTIATE_TEST_SUITE_P(Range, Number16Test,
                         ::testing::Values(Reading{"32767", 32767}, Reading{"-32768", -32768},
                                           Reading{"32768", std::nullopt},
                                           Reading{"-32769", std::nullopt},
                                           Reading{"99999", std::nullopt},
                                           Reading{"32767.5", std::nullopt},
                                           Reading{"-32768.5", -32768}, Reading{"-1", -1}));

TEST(FieldNumber32Test, OffsetsUseTheFullSignedRange) {
    EXPECT_EQ(FieldNumber32("2147483647"), 2147483647);
    EXPECT_EQ(FieldNumber32("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(FieldNumber32("2147483648"), std::nullopt);
    EXPECT_EQ(FieldNumber32("9999999999"), std::nullopt);
    EXPECT_EQ(FieldNumber32("99999"), 99999);
    EXPECT_EQ(FieldNumber32("&HFFFFFFFF"), -1);
    EXPECT_EQ(FieldNumber32("&H10000"), 65536);
    EXPECT_EQ(FieldNumber32("&HFFFF"), -1);
    EXPECT_EQ(FieldNumber32("&O37777777777"), -1);
    EXPECT_EQ(FieldNumber32("&O40000000000"), std::nullopt);
    EXPECT_EQ(FieldNumber32("1E400"), std::nullopt);
}

TEST(FieldNumber32Test, VeryLongTextsDoNotOverflowQuietly) {
    EXPECT_EQ(FieldNumber32(std::string(400, '9')), std::nullopt);
    EXPECT_EQ(FieldNumber32("0." + std::string(400, '0') + "1"), 0);
    EXPECT_EQ(FieldNumber32(std::string(30000, ' ') + "42"), 42);
}

TEST(FieldNumber32Test, NulEndsTheNumber) {
    EXPECT_EQ(FieldNumber32(std::string{'1', '\0', '2'}), 1);
    EXPECT_EQ(FieldNumber32(std::string{'\0', '1', '2'}), 0);
}

TEST(TrimTest, RemovesSpacesOnlyAtBothEnds) {
    EXPECT_EQ(Trim("      1234"), "1234");
    EXPECT_EQ(Trim("  1 2  "), "1 2");
    EXPECT_EQ(Trim(" \t12\t "), "\t12\t");
    EXPECT_EQ(Trim("          "), "");
    EXPECT_EQ(Trim(""), "");
}

}  // namespace
}  // namespace twds

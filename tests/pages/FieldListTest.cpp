#include <random>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "twds/FieldList.h"

namespace twds {
namespace {

// A row whose whole key is already in the list is refused, however its
// parts spell it; case matters, and a label's key may be shorter than its
// text.
TEST(FieldListTest, RowsWithAKeyAlreadyPresentAreRefused) {
    FieldList list;
    ASSERT_TRUE(list.appendRow("State", "FIC0000001", 12, ""));
    EXPECT_FALSE(list.appendRow("StateFIC", "000000112", 0, "refused"));
    ASSERT_TRUE(list.appendRow("state", "FIC0000001", 12, "  3"));
    const FieldList::LabelId insert = list.internLabel("Query 'Insert'", 5);
    const FieldList::LabelId update = list.internLabel("Query 'Update'", 5);
    ASSERT_TRUE(list.appendRow(insert, list.internSuffix("F1"), 1, "INSERT"));
    EXPECT_FALSE(list.appendRow(update, list.internSuffix("F1"), 1, "x"));
    ASSERT_EQ(list.rowCount(), 3u);
    EXPECT_EQ(list.key(0), "StateFIC000000112");
    EXPECT_EQ(list.value(1), "  3");
    EXPECT_EQ(list.key(2), "QueryF11");

    // Interned ids follow the bytes, not the buffer that held them.
    std::string label = "Alpha";
    const FieldList::LabelId alpha = list.internLabel(label);
    label = "Omega";
    EXPECT_NE(list.internLabel(label), alpha);
    EXPECT_EQ(list.labelText(alpha), "Alpha");
}

// Values keep every byte, across the 1 MiB chunks they are kept in.
TEST(FieldListTest, ValuesKeepEveryByteAcrossChunkBoundaries) {
    constexpr std::size_t kMiB = std::size_t{1} << 20;
    std::string all;
    for (int c = 0; c < 256; ++c) {
        all += static_cast<char>(c);
    }
    const std::string values[] = {all, std::string(kMiB - 300, 'a'), std::string(400, 'b'),
                                  "",  std::string(kMiB, 'c'),       "d"};
    FieldList list;
    for (std::uint32_t r = 0; r < std::size(values); ++r) {
        ASSERT_TRUE(list.appendRow("v", "", r + 1, values[r]));
    }
    EXPECT_THROW((void)list.appendRow("w", "", 0, std::string(kMiB + 1, 'x')), std::length_error);
    for (std::size_t r = 0; r < std::size(values); ++r) {
        EXPECT_TRUE(list.value(r) == values[r]) << r;
    }
}

// With every hash equal, uniqueness rests on the full key comparison alone.
TEST(FieldListTest, CollidingHashesStillTellKeysApart) {
    FieldList list;
    list.narrowKeyHashForTesting(0);
    for (std::uint32_t k = 1; k <= 300; ++k) {
        ASSERT_TRUE(list.appendRow("Field", "F", k, std::to_string(k))) << k;
        EXPECT_FALSE(list.appendRow("Fie", "ldF", k, "dup")) << k;
    }
    EXPECT_EQ(list.rowCount(), 300u);
}

// A row is refused exactly when a row before it has the same whole key, for
// every pair of labels and of suffixes below, in order and shuffled: labels
// that begin one another, suffixes that end in digits or change length,
// entries that repeat, all that can make parts spell one key.
TEST(FieldListTest, RefusesExactlyTheKeysAlreadyPresent) {
    const std::string labels[] = {
        "Input position", "Input position extended", "Input position 1", "Key", "Key1", ""};
    const std::string suffixes[] = {"F000000001", "F000000012", " extended9", "1",
                                    "12",         "",           "0",          " 1"};
    std::mt19937 random(7);
    for (const std::string& label1 : labels) {
        for (const std::string& label2 : labels) {
            for (const std::string& suffix1 : suffixes) {
                for (const std::string& suffix2 : suffixes) {
                    std::vector<std::tuple<std::string, std::string, std::uint32_t>> rows;
                    for (std::uint32_t entry = 0; entry <= 25; ++entry) {
                        for (int i = 0; i < (entry % 10 == 9 ? 8 : 4); ++i) {
                            rows.emplace_back(i & 1 ? label2 : label1, i & 2 ? suffix2 : suffix1,
                                              entry);
                        }
                    }
                    for (int pass = 0; pass < 2; ++pass) {
                        FieldList list;
                        std::set<std::string> keys;
                        for (const auto& [label, suffix, entry] : rows) {
                            const std::string key =
                                label + suffix + (entry > 0 ? std::to_string(entry) : "");
                            ASSERT_EQ(list.appendRow(label, suffix, entry, "v"),
                                      keys.insert(key).second)
                                << "key " << key;
                        }
                        std::shuffle(rows.begin(), rows.end(), random);
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace twds

#include "twds/FieldList.h"

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace twds {
namespace {

TEST(FieldListTest, RowsKeepTextValueAndKeyInOrder) {
    FieldList list;
    ASSERT_TRUE(list.appendRow("Page", "", 0, "1"));
    ASSERT_TRUE(list.appendRow("State", "FIC0000001", 0, ""));
    // A refused row leaves nothing behind, the values of later rows included.
    EXPECT_FALSE(list.appendRow("StateFIC", "0000001", 0, "refused"));
    ASSERT_TRUE(list.appendRow("Key order", "FIC0000001", 12, "  3"));
    // Keys are compared byte for byte: case matters.
    ASSERT_TRUE(list.appendRow("state", "FIC0000001", 0, "lower"));

    ASSERT_EQ(list.rowCount(), 4u);
    EXPECT_EQ(list.text(0), "Page");
    EXPECT_EQ(list.value(0), "1");
    EXPECT_EQ(list.key(0), "Page");
    EXPECT_EQ(list.text(1), "State");
    EXPECT_EQ(list.value(1), "");
    EXPECT_EQ(list.key(1), "StateFIC0000001");
    EXPECT_EQ(list.key(2), "Key orderFIC000000112");
    EXPECT_EQ(list.value(2), "  3");
    EXPECT_EQ(list.value(3), "lower");
    EXPECT_THROW((void)list.value(4), std::out_of_range);
}

// Values keep every byte. They are kept in 1 MiB chunks: a value that does
// not fit in the rest of one starts the next, and rows find their value from
// their end offset. Views handed out stay valid while the list grows.
TEST(FieldListTest, ValuesKeepEveryByteAcrossChunkBoundaries) {
    constexpr std::size_t kMiB = std::size_t{1} << 20;
    FieldList list;
    std::vector<std::string> expected;
    auto add = [&](std::string value) {
        ASSERT_TRUE(
            list.appendRow("v", "", static_cast<std::uint32_t>(expected.size() + 1), value));
        expected.push_back(std::move(value));
    };
    std::string all;
    for (int c = 0; c < 256; ++c) {
        all += static_cast<char>(c);
    }
    add(all);
    add(std::string("\0\0", 2));
    const std::string_view first = list.value(0);
    for (int i = 0; i < 5; ++i) {
        add(std::string(300000, static_cast<char>('a' + i)));  // the 4th starts chunk 2
        add("");
    }
    add(std::string(kMiB - 2 * 300000, 'f'));  // fills chunk 2 exactly
    add(std::string(kMiB, 'g'));               // a whole chunk
    add("");
    add("h");
    add(std::string(kMiB - 1, 'i'));
    add("jj");

    const std::string tooLong(kMiB + 1, 'x');
    EXPECT_THROW((void)list.appendRow("w", "", 0, tooLong), std::length_error);

    ASSERT_EQ(list.rowCount(), expected.size());
    for (std::size_t r = 0; r < expected.size(); ++r) {
        EXPECT_EQ(list.value(r).size(), expected[r].size()) << r;
        EXPECT_TRUE(list.value(r) == expected[r]) << r;
    }
    EXPECT_TRUE(first == all);
}

TEST(FieldListTest, LabelWithShorterKeyPart) {
    FieldList list;
    const FieldList::LabelId insert = list.internLabel("Query 'Insert'", 5);
    const FieldList::LabelId update = list.internLabel("Query 'Update'", 5);
    const FieldList::SuffixId file = list.internSuffix("FIC0000001");
    EXPECT_NE(insert, update);
    ASSERT_TRUE(list.appendRow(insert, file, 1, "INSERT"));
    ASSERT_TRUE(list.appendRow(update, file, 2, "UPDATE"));
    // Same key as the Insert row, though the text differs.
    EXPECT_FALSE(list.appendRow(update, file, 1, "x"));
    EXPECT_EQ(list.keyFor(update, file, 1), "QueryFIC00000011");
    EXPECT_EQ(list.text(0), "Query 'Insert'");
    EXPECT_EQ(list.key(0), "QueryFIC00000011");
    // The full-text label is another label with a longer key.
    EXPECT_TRUE(list.appendRow("Query 'Insert'", "FIC0000001", 1, "x"));
}

TEST(FieldListTest, InternedIdsFollowTheBytesNotTheAddress) {
    FieldList list;
    std::string label = "Alpha";
    const FieldList::LabelId alpha = list.internLabel(label);
    label = "Omega";  // same buffer, other bytes
    const FieldList::LabelId omega = list.internLabel(label);
    EXPECT_NE(alpha, omega);
    EXPECT_EQ(list.labelText(alpha), "Alpha");
    EXPECT_EQ(list.internLabel(std::string("Alpha")), alpha);
    EXPECT_THROW((void)list.appendRow(alpha + 100, 0, 0, "x"), std::out_of_range);
}

// With every hash equal, uniqueness rests on the full key comparison alone.
TEST(FieldListTest, CollidingHashesStillTellKeysApart) {
    FieldList list;
    list.narrowKeyHashForTesting(0);
    for (std::uint32_t k = 1; k <= 300; ++k) {
        ASSERT_TRUE(list.appendRow("Field", "F", k, std::to_string(k))) << k;
    }
    for (std::uint32_t k = 1; k <= 300; ++k) {
        EXPECT_FALSE(list.appendRow("Fie", "ldF", k, "dup")) << k;
    }
    EXPECT_TRUE(list.appendRow("Field", "F", 301, "new"));
    EXPECT_EQ(list.rowCount(), 301u);
    EXPECT_EQ(list.value(299), "300");
}

// Whatever way the list checks keys, a row is refused exactly when a row
// before it has the same whole key. Every pair of labels and every pair of
// suffixes below, with entries 0 to 25 (a few twice) in three orders: labels
// that begin one another, suffixes that end in digits or change length,
// entries that repeat or fall, all that can make parts spell one key.
TEST(FieldListTest, RefusesExactlyTheKeysAlreadyPresent) {
    const std::vector<std::string> labels = {
        "Input position", "Input position extended", "Input position 1", "Key", "Key1", ""};
    const std::vector<std::string> suffixes = {"F000000001", "F000000012", " extended9", "1",
                                               "12",         "",           "0",          " 1"};
    struct Row {
        const std::string* label;
        const std::string* suffix;
        std::uint32_t entry;
    };
    std::mt19937 random(7);
    for (const std::string& label1 : labels) {
        for (const std::string& label2 : labels) {
            for (const std::string& suffix1 : suffixes) {
                for (const std::string& suffix2 : suffixes) {
                    if (&label1 == &label2 || &suffix1 == &suffix2) {
                        continue;
                    }
                    // Rising entries, the labels or the suffixes taking
                    // turns within each, then the same rows shuffled.
                    std::vector<Row> labelMajor;
                    std::vector<Row> suffixMajor;
                    for (std::uint32_t entry = 0; entry <= 25; ++entry) {
                        const int times = entry % 10 == 9 ? 2 : 1;  // the same parts twice
                        for (int i = 0; i < 4 * times; ++i) {
                            const std::string* label = (i & 1) ? &label2 : &label1;
                            const std::string* suffix = (i & 2) ? &suffix2 : &suffix1;
                            suffixMajor.push_back({label, suffix, entry});
                            labelMajor.push_back(
                                {i & 2 ? &label2 : &label1, i & 1 ? &suffix2 : &suffix1, entry});
                        }
                    }
                    std::vector<Row> shuffled = labelMajor;
                    std::shuffle(shuffled.begin(), shuffled.end(), random);
                    for (const std::vector<Row>* rows : {&labelMajor, &suffixMajor, &shuffled}) {
                        FieldList list;
                        std::set<std::string> keys;
                        for (const Row& row : *rows) {
                            const std::string key =
                                *row.label + *row.suffix +
                                (row.entry > 0 ? std::to_string(row.entry) : std::string());
                            ASSERT_EQ(list.appendRow(*row.label, *row.suffix, row.entry, "v"),
                                      keys.insert(key).second)
                                << "key " << key;
                        }
                        ASSERT_EQ(list.rowCount(), keys.size());
                    }
                }
            }
        }
    }
}

// Pages of many files with digit-ended FicIDs, and labels of which one
// begins another, are told apart by their parts: no table of whole keys.
TEST(FieldListTest, PagesOfManyFilesNeedNoKeyTable) {
    FieldList list;
    const std::string labels[] = {"Input position", "Buffer length", "Input position extended",
                                  "Buffer length extended"};
    for (int file = 1; file <= 300; ++file) {
        std::string ficId = std::to_string(file);
        ficId = "FIC" + std::string(7 - ficId.size(), '0') + ficId;
        ASSERT_TRUE(list.appendRow("File N\xb0 :" + ficId, "", 0, "="));
        std::vector<FieldList::NewRow> batch;
        const FieldList::SuffixId suffix = list.internSuffix(ficId);
        for (std::uint32_t k = 1; k <= 40; ++k) {
            for (const std::string& label : labels) {
                batch.push_back({list.internLabel(label), suffix, k, "v"});
            }
        }
        ASSERT_EQ(list.appendRows(batch), batch.size());
    }
    EXPECT_FALSE(list.usesKeyTable());
    // A repeated FicID is refused by its heading.
    EXPECT_FALSE(list.appendRow("File N\xb0 :FIC0000007", "", 0, "="));
    EXPECT_TRUE(list.usesKeyTable());
    EXPECT_EQ(list.rowCount(), 300u * (1 + 40 * 4));
    list.clearRows();
    EXPECT_FALSE(list.usesKeyTable());
}

TEST(FieldListTest, ManyKeysThroughRegrowth) {
    FieldList list;
    const FieldList::LabelId label = list.internLabel("Input position");
    constexpr std::uint32_t kFiles = 40;
    constexpr std::uint32_t kEntries = 2500;
    for (std::uint32_t f = 0; f < kFiles; ++f) {
        const FieldList::SuffixId suffix = list.internSuffix("F" + std::to_string(1000000000 + f));
        for (std::uint32_t k = 1; k <= kEntries; ++k) {
            ASSERT_TRUE(
                list.appendRow(label, suffix, k, std::to_string(f) + "/" + std::to_string(k)));
        }
    }
    ASSERT_EQ(list.rowCount(), std::size_t{kFiles} * kEntries);
    for (std::uint32_t f = 0; f < kFiles; f += 13) {
        const FieldList::SuffixId suffix = list.internSuffix("F" + std::to_string(1000000000 + f));
        EXPECT_FALSE(list.appendRow(label, suffix, kEntries, "dup"));
        EXPECT_FALSE(list.appendRow("Input position", "F" + std::to_string(1000000000 + f), 1, ""));
    }
    EXPECT_EQ(list.key(kEntries), "Input positionF10000000011");
    EXPECT_EQ(list.value(std::size_t{kFiles} * kEntries - 1), "39/2500");
}

TEST(FieldListTest, ClearRowsKeepsColumnsAndAllowsTheSameKeysAgain) {
    FieldList list;
    list.addColumn("Field name", "Field name", 2500);
    list.addColumn("Data", "Data", 50000);
    for (int round = 0; round < 3; ++round) {
        for (std::uint32_t k = 1; k <= 2000; ++k) {
            ASSERT_TRUE(list.appendRow("Row", "S", k, "r" + std::to_string(round)));
        }
        EXPECT_EQ(list.rowCount(), 2000u);
        EXPECT_EQ(list.value(1999), "r" + std::to_string(round));
        list.clearRows();
        EXPECT_TRUE(list.empty());
    }
    ASSERT_EQ(list.columnCount(), 2);
    EXPECT_EQ(list.column(1).caption, "Data");
    EXPECT_EQ(list.column(1).widthTwips, 50000);
}

}  // namespace
}  // namespace twds

#include "twds/PageDecoder.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "TestPages.h"
#include "twds/DecodeStop.h"
#include "twds/PageLayout.h"

namespace twds {
namespace {

using test::CatalogueText;
using test::PageWriter;

constexpr std::string_view kGcSuffix = "0000000001";
constexpr std::string_view kFicA = "FICA000001";
constexpr std::string_view kFicB = "FICB000002";

class PageDecoderTest : public ::testing::Test {
protected:
    int lookups = 0;
    PageLabels labels{[this](int id) {
        ++lookups;
        return CatalogueText(id);
    }};
    KeptNumbers kept;
    PageDecoder decoder{labels, kept};
    FieldList list;

    // The rows' texts, in list order.
    [[nodiscard]] std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (std::size_t r = 0; r < list.rowCount(); ++r) {
            out.emplace_back(list.text(r));
        }
        return out;
    }

    // Expects rows [first, first + N) to be the table's fields, read from
    // `page` at the table's places, keyed by label + suffix (+ entry).
    template <std::size_t N>
    void expectRowsFollow(const std::array<layout::FieldSpec, N>& fields, std::size_t first,
                          std::string_view page, std::string_view keySuffix,
                          std::string_view entry = {}) {
        std::size_t pos = 0;
        for (std::size_t i = 0; i < N; ++i) {
            const std::size_t row = first + i;
            const std::string label = fields[i].catalogueId == 0
                                          ? std::string(fields[i].fixedLabel)
                                          : CatalogueText(fields[i].catalogueId);
            EXPECT_EQ(list.text(row), label) << fields[i].name;
            EXPECT_EQ(list.key(row), label + std::string(keySuffix) + std::string(entry))
                << fields[i].name;
            EXPECT_EQ(list.value(row), page.substr(std::min(pos, page.size()),
                                                   static_cast<std::size_t>(fields[i].width)))
                << fields[i].name;
            pos += static_cast<std::size_t>(fields[i].width);
        }
    }
};

TEST_F(PageDecoderTest, LabelsAreLookedUpOncePerId) {
    const std::string& first = labels(5410);
    const std::string& again = labels(5410);
    EXPECT_EQ(&first, &again);
    EXPECT_EQ(first, "Target type");
    EXPECT_EQ(lookups, 1);
    EXPECT_EQ(labels(-1), "");
    EXPECT_EQ(labels(10001), "");
    EXPECT_EQ(lookups, 1);
}

TEST_F(PageDecoderTest, CXFullPage) {
    const std::string text = PageWriter().addPatterned(layout::kCX).page(2000);
    std::string_view page = text;
    decoder.DecodePageCX(list, page);

    ASSERT_EQ(list.rowCount(), 35u);
    expectRowsFollow(layout::kCX, 0, text, "");
    EXPECT_EQ(page, std::string_view(text).substr(249));
    ASSERT_EQ(list.columnCount(), 2);
    EXPECT_EQ(list.column(0).key, "Field name");
    EXPECT_EQ(list.column(0).caption, "Field name");
    EXPECT_EQ(list.column(1).caption, "Data");
    EXPECT_EQ(list.column(1).widthTwips, 2500);
}

TEST_F(PageDecoderTest, CXCodesAreShownRawAtTheirPositions) {
    std::string text(2000, ' ');
    text[39] = '1';   // position 40
    text[40] = '2';   // position 41
    text[187] = '3';  // position 188
    std::string_view page = text;
    decoder.DecodePageCX(list, page);
    std::map<std::string, std::string> byLabel;
    for (std::size_t r = 0; r < list.rowCount(); ++r) {
        byLabel[std::string(list.text(r))] = std::string(list.value(r));
    }
    EXPECT_EQ(byLabel["Target type"], "1");
    EXPECT_EQ(byLabel["Com type"], "2");
    EXPECT_EQ(byLabel["Stop type"], "3");
    EXPECT_EQ(byLabel["L5404"], std::string(10, ' '));
}

TEST_F(PageDecoderTest, GCFullPageWithReadableBlockAndKeptNumbers) {
    const std::string text = PageWriter()
                                 .add(layout::kGC, {{"Page", "G"},
                                                    {"NbrOfFC", "0000000003"},
                                                    {"EndTwOffset", "      4096"},
                                                    {"EndTwLength", "  120     "}})
                                 .addPatterned(layout::kReadableBlock)
                                 .add(layout::kGCTail, {{"MaxCountEntry", "MAXCOUNT01"}})
                                 .page(10000);
    std::string_view page = text;
    decoder.DecodePageGC(list, page, kGcSuffix);

    ASSERT_EQ(list.rowCount(), 24u + 32u + 4u);
    expectRowsFollow(layout::kGC, 0, text, "");
    expectRowsFollow(layout::kReadableBlock, 24, std::string_view(text).substr(611), kGcSuffix);
    expectRowsFollow(layout::kGCTail, 56, std::string_view(text).substr(913), "");
    EXPECT_EQ(list.text(56), "MaxCountEntry");
    EXPECT_EQ(list.text(59), "Extended Sequence Reprise");
    EXPECT_EQ(list.value(56), "MAXCOUNT01");
    EXPECT_EQ(list.value(56), std::string_view(text).substr(913, 10));
    EXPECT_EQ(list.value(24), std::string_view(text).substr(611, 1));
    EXPECT_EQ(list.value(15), "0000000003");
    EXPECT_EQ(page, std::string_view(text).substr(973));

    EXPECT_EQ(kept.iNbrOfFC, 3);
    EXPECT_EQ(kept.lEndOffset, 4096);
    EXPECT_EQ(kept.lEndLength, 120);
}

TEST_F(PageDecoderTest, GCBlankNumbersReadZeroAndRedecodeClears) {
    kept.iNbrOfFC = 9;
    kept.lEndOffset = 9;
    const std::string text(10000, ' ');
    std::string_view page = text;
    decoder.DecodePageGC(list, page, kGcSuffix);
    page = text;
    decoder.DecodePageGC(list, page, kGcSuffix);
    EXPECT_EQ(list.rowCount(), 60u);
    EXPECT_EQ(list.columnCount(), 2);
    EXPECT_EQ(kept.iNbrOfFC, 0);
    EXPECT_EQ(kept.lEndOffset, 0);
    EXPECT_EQ(list.value(20), std::string(10, ' '));
}

TEST_F(PageDecoderTest, GCNumberOutOfRangeStopsAfterItsRow) {
    const std::string text = PageWriter().add(layout::kGC, {{"NbrOfFC", "     32768"}}).page(10000);
    std::string_view page = text;
    try {
        decoder.DecodePageGC(list, page, kGcSuffix);
        FAIL() << "no DecodeStop";
    } catch (const DecodeStop& stop) {
        EXPECT_EQ(stop.reason, DecodeStop::Reason::NumberOutOfRange);
        EXPECT_EQ(stop.label, "Nbr of FC");
        EXPECT_EQ(stop.key, "Nbr of FC");
        EXPECT_EQ(stop.fieldText, "     32768");
        EXPECT_EQ(stop.keySuffix, kGcSuffix);
        EXPECT_NE(std::string(stop.what()).find("Nbr of FC"), std::string::npos);
    }
    EXPECT_EQ(list.rowCount(), 16u);
    EXPECT_EQ(list.text(15), "Nbr of FC");
}

std::string FcEntry(std::string_view ficId, std::string_view numberOfZc,
                    std::string_view offsetOfInsert) {
    return PageWriter()
        .add(layout::kFC, {{"Page", "F"},
                           {"FicID", std::string(ficId)},
                           {"TargetFile", std::string(33, 'T')},
                           {"NumberOfZC", std::string(numberOfZc)},
                           {"OffsetOfInsert", std::string(offsetOfInsert)}})
        .addPatterned(layout::kReadableBlock)
        .add(layout::kFCTail, {{"ExtendedSequence", "SEQ"}})
        .text();
}

TEST_F(PageDecoderTest, FCEntryRowsKeysAndKeptNumbers) {
    const std::string text = FcEntry(kFicA, "0000000012", "      1234");
    ASSERT_EQ(text.size(), 592u);
    std::string_view page = text;
    decoder.DecodePageFC(list, page, kFicA, true);

    ASSERT_EQ(list.rowCount(), 74u);
    EXPECT_EQ(list.text(0), "File N\xB0 :" + std::string(kFicA));
    EXPECT_EQ(list.key(0), list.text(0));
    EXPECT_EQ(list.value(0), "=================");
    expectRowsFollow(layout::kFC, 1, text, kFicA);
    expectRowsFollow(layout::kReadableBlock, 40, std::string_view(text).substr(250), kFicA);
    expectRowsFollow(layout::kFCTail, 72, std::string_view(text).substr(552), kFicA);
    EXPECT_EQ(list.value(2), kFicA);
    EXPECT_EQ(list.value(9), std::string(33, 'T'));
    EXPECT_TRUE(page.empty());
    EXPECT_EQ(kept.iNbrOfZC, 12);
    EXPECT_EQ(kept.lInsertOffset, 1234);
}

TEST_F(PageDecoderTest, FCShortEntryAndSecondFile) {
    std::string shortEntry = FcEntry(kFicA, "          ", "0000000000").substr(0, 250);
    kept.lInsertOffset = 77;
    std::string_view page = shortEntry;
    decoder.DecodePageFC(list, page, kFicA, true);
    EXPECT_EQ(kept.iNbrOfZC, 0);
    EXPECT_EQ(kept.lInsertOffset, 0);
    for (std::size_t r = 40; r < 74; ++r) {
        EXPECT_EQ(list.value(r), "") << r;
    }

    const std::string second = FcEntry(kFicB, "3", "  -5");
    page = second;
    decoder.DecodePageFC(list, page, kFicB, false);
    ASSERT_EQ(list.rowCount(), 148u);
    EXPECT_EQ(list.text(74), "File N\xB0 :" + std::string(kFicB));
    EXPECT_EQ(list.key(75), "L5602" + std::string(kFicB));
    EXPECT_EQ(kept.iNbrOfZC, 3);
    EXPECT_EQ(kept.lInsertOffset, -5);

    page = second;
    decoder.DecodePageFC(list, page, kFicB, true);
    EXPECT_EQ(list.rowCount(), 74u);
}

TEST_F(PageDecoderTest, FCSameFicIdTwiceStopsAtTheHeadingRow) {
    const std::string text = FcEntry(kFicA, "1", "0");
    std::string_view page = text;
    decoder.DecodePageFC(list, page, kFicA, true);
    page = text;
    try {
        decoder.DecodePageFC(list, page, kFicA, false);
        FAIL() << "no DecodeStop";
    } catch (const DecodeStop& stop) {
        EXPECT_EQ(stop.reason, DecodeStop::Reason::DuplicateKey);
        EXPECT_EQ(stop.key, "File N\xB0 :" + std::string(kFicA));
        EXPECT_EQ(stop.fieldText, "=================");
        EXPECT_EQ(stop.keySuffix, kFicA);
    }
    EXPECT_EQ(list.rowCount(), 74u);
}

std::string ZcEntries(int count) {
    PageWriter writer;
    for (int k = 1; k <= count; ++k) {
        writer.add(layout::kZC, {{"Page", "Z"},
                                 {"FieldType", "A" + std::to_string(k % 10)},
                                 {"InputFieldLength", std::to_string(k)},
                                 {"InputPosition", std::to_string(1000 + k)},
                                 {"KeyOrder", "KEY" + std::to_string(k)}});
    }
    return writer.text();
}

TEST_F(PageDecoderTest, ZCEntriesFollowTheHeading) {
    const std::string text = ZcEntries(3);
    ASSERT_EQ(text.size(), 219u);
    std::string_view page = text;
    const std::int16_t n = 3;
    decoder.DecodePageZC(list, page, kFicA, true, n);

    ASSERT_EQ(list.rowCount(), 28u);
    EXPECT_EQ(list.key(0), "File N\xB0 :" + std::string(kFicA));
    for (int k = 1; k <= 3; ++k) {
        const std::size_t first = 1 + 9 * static_cast<std::size_t>(k - 1);
        expectRowsFollow(layout::kZC, first, std::string_view(text).substr(73 * (k - 1)), kFicA,
                         std::to_string(k));
    }
    EXPECT_EQ(list.value(27), "KEY3      ");
    EXPECT_TRUE(page.empty());
}

TEST_F(PageDecoderTest, ZCShortPageAndNoEntries) {
    std::string text = ZcEntries(3).substr(0, 100);
    std::string_view page = text;
    decoder.DecodePageZC(list, page, kFicA, true, 3);
    ASSERT_EQ(list.rowCount(), 28u);
    // Entry 2 starts at 74: its "Input position" (entry position 24) holds
    // the page's last 4 characters.
    EXPECT_EQ(list.text(14), "Input position");
    EXPECT_EQ(list.value(14), "1002");
    for (std::size_t r = 15; r < 28; ++r) {
        EXPECT_EQ(list.value(r), "") << r;
    }

    const std::string more = "unchanged";
    for (const std::int16_t n : {std::int16_t{0}, std::int16_t{-4}}) {
        page = more;
        decoder.DecodePageZC(list, page, kFicB, true, n);
        EXPECT_EQ(list.rowCount(), 1u);
        EXPECT_EQ(page, more);
    }
}

TEST_F(PageDecoderTest, ZCMoreEntriesThanThePageHolds) {
    const std::string text = ZcEntries(411).substr(0, 29930) + std::string(70, 'x');
    ASSERT_EQ(text.size(), 30000u);
    std::string_view page = text;
    const std::int16_t n = 32767;
    decoder.DecodePageZC(list, page, kFicA, true, n);

    ASSERT_EQ(list.rowCount(), 1u + 9u * 32767u);
    const std::size_t entry411 = 1 + 9 * 410;
    EXPECT_EQ(list.value(entry411 + 7), std::string(10, 'x'));
    EXPECT_EQ(list.value(entry411 + 8), std::string(7, 'x'));
    EXPECT_EQ(list.value(entry411 + 9), "");
    EXPECT_EQ(list.key(list.rowCount() - 1), "Key order" + std::string(kFicA) + "32767");
}

TEST_F(PageDecoderTest, ZCSecondFileFollowsFirst) {
    const std::string text = ZcEntries(2);
    std::string_view page = text;
    decoder.DecodePageZC(list, page, kFicA, true, 2);
    page = text;
    decoder.DecodePageZC(list, page, kFicB, false, 2);
    ASSERT_EQ(list.rowCount(), 38u);
    EXPECT_EQ(list.text(19), "File N\xB0 :" + std::string(kFicB));
    EXPECT_EQ(list.key(20 + 2), "Input field length" + std::string(kFicB) + "1");
}

std::string SqlRecord(std::string_view lengthField, std::string_view statement) {
    std::string record(lengthField);
    record.resize(10, ' ');
    return record + std::string(statement);
}

TEST_F(PageDecoderTest, SQLStatementsByLength) {
    const std::string text = SqlRecord("5", "ABCDE") + SqlRecord("0000000000", "") +
                             SqlRecord("       3", "XYZ") + SqlRecord("", "") + "rest";
    std::string_view page = text;
    decoder.DecodePageSQL(list, page, kFicA, true);

    ASSERT_EQ(list.rowCount(), 5u);
    EXPECT_EQ(list.text(1), "Query 'Insert'");
    EXPECT_EQ(list.text(4), "Query 'ClrPfm'");
    EXPECT_EQ(list.key(1), "Query" + std::string(kFicA) + "1");
    EXPECT_EQ(list.key(4), "Query" + std::string(kFicA) + "4");
    EXPECT_EQ(list.value(1), "ABCDE");
    EXPECT_EQ(list.value(2), "");
    EXPECT_EQ(list.value(3), "XYZ");
    EXPECT_EQ(list.value(4), "");
    EXPECT_EQ(page, "rest");
    EXPECT_EQ(text.size() - page.size(), 48u);
    EXPECT_EQ(list.column(1).widthTwips, 50000);
}

TEST_F(PageDecoderTest, SQLBlankLengthsNulsAndCutStatements) {
    std::string_view page;
    const std::string blanks(30000, ' ');
    page = blanks;
    decoder.DecodePageSQL(list, page, kFicA, true);
    EXPECT_EQ(list.rowCount(), 5u);
    EXPECT_EQ(blanks.size() - page.size(), 40u);

    const std::string withNuls =
        SqlRecord("0000000004", std::string("A\0B\0", 4)) + SqlRecord("12", "SELECT");
    page = withNuls;
    decoder.DecodePageSQL(list, page, kFicB, false);
    ASSERT_EQ(list.rowCount(), 10u);
    EXPECT_EQ(list.value(6),
              "A\xFA"
              "B\xFA");
    // The Update statement runs past the end: it is cut, and the rest is empty.
    EXPECT_EQ(list.value(7), "SELECT");
    EXPECT_EQ(list.value(8), "");
    EXPECT_TRUE(page.empty());
}

TEST_F(PageDecoderTest, SQLNegativeLengthStopsBeforeItsRow) {
    const std::string text = SqlRecord("3", "ABC") + SqlRecord("        -1", "XYZ");
    std::string_view page = text;
    try {
        decoder.DecodePageSQL(list, page, kFicA, true);
        FAIL() << "no DecodeStop";
    } catch (const DecodeStop& stop) {
        EXPECT_EQ(stop.reason, DecodeStop::Reason::NegativeLength);
        EXPECT_EQ(stop.label, "Query 'Update'");
        EXPECT_EQ(stop.key, "Query" + std::string(kFicA) + "2");
        EXPECT_EQ(stop.fieldText, "        -1");
    }
    EXPECT_EQ(list.rowCount(), 2u);
}

TEST_F(PageDecoderTest, EmptyCatalogueGivesDuplicateKeys) {
    PageLabels empty{[](int) { return std::string(); }};
    KeptNumbers numbers;
    PageDecoder bare{empty, numbers};
    const std::string text(2000, ' ');
    std::string_view page = text;
    try {
        bare.DecodePageCX(list, page);
        FAIL() << "no DecodeStop";
    } catch (const DecodeStop& stop) {
        EXPECT_EQ(stop.reason, DecodeStop::Reason::DuplicateKey);
        EXPECT_EQ(stop.key, "");
        EXPECT_EQ(stop.fieldText, std::string(10, ' '));
    }
    EXPECT_EQ(list.rowCount(), 1u);

    // In the readable block every key is the suffix alone.
    FieldList other;
    page = text;
    EXPECT_THROW(bare.DecodeReadableBlock(other, page, kFicA), DecodeStop);
    ASSERT_EQ(other.rowCount(), 1u);
    EXPECT_EQ(other.key(0), kFicA);
}

TEST_F(PageDecoderTest, ReadableBlockContinuesAfterItself) {
    const std::string text = PageWriter().addPatterned(layout::kReadableBlock).raw("NEXT").text();
    std::string_view page = text;
    decoder.DecodeReadableBlock(list, page, kGcSuffix);
    ASSERT_EQ(list.rowCount(), 32u);
    EXPECT_EQ(list.columnCount(), 0);
    EXPECT_EQ(list.text(3), "Internal logical number ");
    EXPECT_EQ(list.value(11).size(), 26u);
    EXPECT_EQ(page, "NEXT");
}

// Pages that are empty, blank, NUL-filled or cut short: every decoder still
// adds the rows of its whole layout, each holding what arrived at its place
// (nothing past the end), and reads blank or NUL numbers as zero.
TEST_F(PageDecoderTest, DegeneratePagesAreShownAsReceived) {
    const std::string pages[] = {"", std::string(30000, ' '), std::string(30000, '\0'), "1ABCD"};
    struct Decoder {
        const char* name;
        std::size_t rows;
        bool heading;  // the first row is the entry's "File N°" heading
        std::function<void(PageDecoder&, FieldList&, std::string_view&)> decode;
    };
    const Decoder decoders[] = {
        {"CX", 35, false,
         [](PageDecoder& d, FieldList& l, std::string_view& p) { d.DecodePageCX(l, p); }},
        {"GC", 60, false,
         [](PageDecoder& d, FieldList& l, std::string_view& p) {
             d.DecodePageGC(l, p, kGcSuffix);
         }},
        {"FC", 74, true,
         [](PageDecoder& d, FieldList& l, std::string_view& p) {
             d.DecodePageFC(l, p, kFicA, true);
         }},
        {"ZC", 19, true,
         [](PageDecoder& d, FieldList& l, std::string_view& p) {
             d.DecodePageZC(l, p, kFicA, true, 2);
         }},
        {"SQL", 5, true,
         [](PageDecoder& d, FieldList& l, std::string_view& p) {
             d.DecodePageSQL(l, p, kFicA, true);
         }},
    };
    for (const Decoder& decoder : decoders) {
        for (const std::string& text : pages) {
            SCOPED_TRACE(std::string(decoder.name) + ", page of " + std::to_string(text.size()) +
                         " bytes starting " + std::to_string(text.empty() ? -1 : text[0]));
            FieldList rows;
            kept = {};
            kept.iNbrOfFC = kept.iNbrOfZC = 5;
            kept.lEndOffset = kept.lInsertOffset = 5;
            std::string_view page = text;
            ASSERT_NO_THROW(decoder.decode(this->decoder, rows, page));
            ASSERT_EQ(rows.rowCount(), decoder.rows);
            std::size_t shown = 0;
            const std::size_t first = decoder.heading ? 1 : 0;
            for (std::size_t r = first; r < rows.rowCount(); ++r) {
                shown += rows.value(r).size();
                if (text.size() > 5) {
                    EXPECT_EQ(rows.value(r).find_first_not_of(text[0]), std::string_view::npos)
                        << r;
                }
            }
            EXPECT_LE(shown, text.size());
            if (text.size() == 5 && decoder.name != std::string_view("SQL")) {
                EXPECT_EQ(rows.value(first).substr(0, 1), "1");
            }
            EXPECT_EQ(kept.iNbrOfFC, decoder.name == std::string_view("GC") ? 0 : 5);
            EXPECT_EQ(kept.iNbrOfZC, decoder.name == std::string_view("FC") ? 0 : 5);
        }
    }
}

// A page holding every byte but NUL shows each field's bytes unchanged.
TEST_F(PageDecoderTest, EveryByteValueIsShownUnchanged) {
    std::string text;
    while (text.size() < 2000) {
        for (int b = 1; b < 256; ++b) {
            text += static_cast<char>(b);
        }
    }
    std::string_view page = text;
    decoder.DecodePageCX(list, page);
    expectRowsFollow(layout::kCX, 0, text, "");

    FieldList sql;
    const std::string statement = text.substr(0, 255);
    const std::string record = SqlRecord("255", statement);
    page = record;
    decoder.DecodePageSQL(sql, page, kFicA, true);
    EXPECT_EQ(sql.value(1), statement);
}

// The counts and offsets the Display goes on with: what fits their type is
// kept as read (a negative count shows no entries, a negative offset no
// page), what does not stops the decoding after the field's row.
TEST_F(PageDecoderTest, CountsAndOffsetsAtAndPastTheirLimits) {
    struct Case {
        bool gc;  // the field is on the GC page, else on an FC entry
        std::string_view field;
        std::string text;
        std::optional<std::int32_t> kept;  // nothing: the decoding stops
    };
    const Case cases[] = {
        {true, "NbrOfFC", "     32767", 32767},
        {true, "NbrOfFC", "        -1", -1},
        {true, "NbrOfFC", "     99999", std::nullopt},
        {true, "NbrOfFC", "    -32769", std::nullopt},
        {true, "EndTwOffset", "       -50", -50},
        {true, "EndTwOffset", "2147483647", 2147483647},
        {true, "EndTwOffset", "2147483648", std::nullopt},
        {true, "EndTwOffset", "-999999999", -999999999},
        {false, "NumberOfZC", "     32767", 32767},
        {false, "NumberOfZC", "        -1", -1},
        {false, "NumberOfZC", "     99999", std::nullopt},
        {false, "OffsetOfInsert", "      -700", -700},
        {false, "OffsetOfInsert", "9999999999", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " = \"" + c.text + "\"");
        FieldList rows;
        kept = {};
        const std::string text =
            c.gc ? PageWriter().add(layout::kGC, {{c.field, c.text}}).page(10000)
                 : FcEntry(kFicA, c.field == "NumberOfZC" ? c.text : "0",
                           c.field == "OffsetOfInsert" ? c.text : "0");
        std::string_view page = text;
        const auto decode = [&] {
            if (c.gc) {
                decoder.DecodePageGC(rows, page, kGcSuffix);
            } else {
                decoder.DecodePageFC(rows, page, kFicA, true);
            }
        };
        if (!c.kept) {
            try {
                decode();
                ADD_FAILURE() << "no DecodeStop";
            } catch (const DecodeStop& stop) {
                EXPECT_EQ(stop.reason, DecodeStop::Reason::NumberOutOfRange);
                EXPECT_EQ(stop.fieldText, std::string_view(c.text).substr(0, 10));
                EXPECT_EQ(rows.value(rows.rowCount() - 1), stop.fieldText);
            }
            continue;
        }
        ASSERT_NO_THROW(decode());
        const std::int32_t read = c.field == "NbrOfFC"       ? kept.iNbrOfFC
                                  : c.field == "EndTwOffset" ? kept.lEndOffset
                                  : c.field == "NumberOfZC"  ? kept.iNbrOfZC
                                                             : kept.lInsertOffset;
        EXPECT_EQ(read, *c.kept);
    }
}

// SQL lengths: a huge one takes the rest of the page, one past the 32-bit
// range or negative stops before its row.
TEST_F(PageDecoderTest, SQLLengthsPastThePageOrTheirRange) {
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {SqlRecord("  99999999", "SELECT 1"), "SELECT 1"},
        {SqlRecord("2147483647", "X"), "X"},
        {SqlRecord("2147483648", "X"), std::nullopt},
        {SqlRecord("9999999999", "X"), std::nullopt},
    };
    for (const auto& [text, value] : cases) {
        SCOPED_TRACE(text);
        FieldList rows;
        std::string_view page = text;
        if (value) {
            ASSERT_NO_THROW(decoder.DecodePageSQL(rows, page, kFicA, true));
            ASSERT_EQ(rows.rowCount(), 5u);
            EXPECT_EQ(rows.value(1), *value);
            EXPECT_EQ(rows.value(2), "");
            EXPECT_TRUE(page.empty());
        } else {
            EXPECT_THROW(decoder.DecodePageSQL(rows, page, kFicA, true), DecodeStop);
            EXPECT_EQ(rows.rowCount(), 1u);
        }
    }
}

}  // namespace
}  // namespace twds

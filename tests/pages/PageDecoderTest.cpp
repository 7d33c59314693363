#include "twds/PageDecoder.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>

#include <gtest/gtest.h>

#include "twds/DecodeStop.h"
#include "twds/PageLayout.h"

namespace twds {
namespace {

constexpr std::string_view kGcSuffix = "0000000001";
constexpr std::string_view kFicA = "FICA000001";
constexpr std::string_view kFicB = "FICB000002";
const std::string kHeading = "File N\xB0 :";

// A small catalogue: the texts the tests look for by name, "L<id>" for the
// other ids (so that every label of a page differs).
std::string CatalogueText(int id) {
    static const std::map<int, std::string> texts{
        {5401, "Field name"},
        {5402, "Data"},
        {5410, "Target type"},
        {5411, "Com type"},
        {5427, "Stop type"},
        {5514, "Nbr of FC"},
        {5601, kHeading},
        {5705, "Input position"},
        {5709, "Key order"},
        {5751, "Query"},
        {5804, "Internal logical number "},
    };
    const auto found = texts.find(id);
    return found != texts.end() ? found->second : "L" + std::to_string(id);
}

// A run of fields laid out from their table: each value blank-padded to its
// field's width, fields the test does not name left blank.
template <std::size_t N>
std::string Fields(const std::array<layout::FieldSpec, N>& fields,
                   const std::map<std::string_view, std::string>& values = {}) {
    std::string text;
    for (const layout::FieldSpec& field : fields) {
        const auto found = values.find(field.name);
        std::string value = found != values.end() ? found->second : std::string();
        EXPECT_LE(value.size(), static_cast<std::size_t>(field.width)) << field.name;
        value.resize(static_cast<std::size_t>(field.width), ' ');
        text += value;
    }
    return text;
}

// Every field filled with its own pattern, so that a value read from the
// wrong place shows.
template <std::size_t N>
std::string Patterned(const std::array<layout::FieldSpec, N>& fields) {
    std::string text;
    for (std::size_t i = 0; i < N; ++i) {
        for (int c = 0; c < fields[i].width; ++c) {
            text += static_cast<char>('!' + (i * 7 + static_cast<std::size_t>(c)) % 90);
        }
    }
    return text;
}

// Bytes 1 to 255, over and over: no two places of a page of up to 255 bytes
// hold the same byte.
std::string EveryByteButNul(std::size_t size) {
    std::string text(size, ' ');
    for (std::size_t i = 0; i < size; ++i) {
        text[i] = static_cast<char>(1 + i % 255);
    }
    return text;
}

// Blank-padded to a page request's length.
std::string Padded(std::string text, std::size_t length) {
    text.resize(std::max(length, text.size()), ' ');
    return text;
}

std::string FcEntry(std::string_view ficId, std::string_view numberOfZc,
                    std::string_view offsetOfInsert) {
    return Fields(layout::kFC, {{"Page", "F"},
                                {"FicID", std::string(ficId)},
                                {"TargetFile", std::string(33, 'T')},
                                {"NumberOfZC", std::string(numberOfZc)},
                                {"OffsetOfInsert", std::string(offsetOfInsert)}}) +
           Patterned(layout::kReadableBlock) +
           Fields(layout::kFCTail, {{"ExtendedSequence", "SEQ"}});
}

std::string ZcEntries(int count) {
    std::string text;
    for (int k = 1; k <= count; ++k) {
        text += Fields(layout::kZC, {{"Page", "Z"},
                                     {"FieldType", "A" + std::to_string(k % 10)},
                                     {"InputFieldLength", std::to_string(k)},
                                     {"InputPosition", std::to_string(1000 + k)},
                                     {"KeyOrder", "KEY" + std::to_string(k)}});
    }
    return text;
}

std::string SqlRecord(std::string_view lengthField, std::string_view statement) {
    std::string record(lengthField);
    record.resize(10, ' ');
    return record + std::string(statement);
}

// The DecodeStop that `decode` throws, or a failure when it throws none.
template <typename Decode>
std::optional<DecodeStop> StopOf(Decode&& decode) {
    try {
        decode();
    } catch (const DecodeStop& stop) {
        return stop;
    }
    ADD_FAILURE() << "no DecodeStop";
    return std::nullopt;
}

// Each page kind with the rows its decoder adds for a whole page (an entry's
// first row is its "File N°" heading) and the bytes a blank page takes (the
// SQL decoder reads four blank lengths as empty statements, the ZC decoder
// here two entries).
struct PageKind {
    std::string_view name;
    std::size_t rows;
    std::size_t width;
    bool heading;
};
constexpr PageKind kPageKinds[] = {
    {"CX", 35, 249, false}, {"GC", 60, 973, false}, {"FC", 74, 592, true},
    {"ZC", 19, 146, true},  {"SQL", 5, 40, true},
};

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

    // Each decoder behind one signature.
    void decode(std::string_view kind, FieldList& rows, std::string_view& page,
                std::string_view suffix, bool first) {
        if (kind == "CX") {
            decoder.decodeCx(rows, page);
        } else if (kind == "GC") {
            decoder.decodeGc(rows, page, suffix);
        } else if (kind == "FC") {
            decoder.decodeFc(rows, page, suffix, first);
        } else if (kind == "ZC") {
            decoder.decodeZc(rows, page, suffix, first, 2);
        } else {
            decoder.decodeSql(rows, page, suffix, first);
        }
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

// Every field of a page holding each byte value but NUL shows its own bytes
// unchanged.
TEST_F(PageDecoderTest, CXFullPage) {
    const std::string text = EveryByteButNul(2000);
    std::string_view page = text;
    decoder.decodeCx(list, page);

    ASSERT_EQ(list.rowCount(), 35u);
    expectRowsFollow(layout::kCX, 0, text, "");
    // The codes the engine's tools read, at their positions 40, 41 and 188.
    EXPECT_EQ(list.text(7), "Target type");
    EXPECT_EQ(list.value(7), text.substr(39, 1));
    EXPECT_EQ(list.text(8), "Com type");
    EXPECT_EQ(list.value(8), text.substr(40, 1));
    EXPECT_EQ(list.text(24), "Stop type");
    EXPECT_EQ(list.value(24), text.substr(187, 1));
    EXPECT_EQ(page, std::string_view(text).substr(249));
    ASSERT_EQ(list.columnCount(), 2);
    EXPECT_EQ(list.column(0).key, "Field name");
    EXPECT_EQ(list.column(0).caption, "Field name");
    EXPECT_EQ(list.column(1).caption, "Data");
    EXPECT_EQ(list.column(1).widthTwips, 2500);
}

TEST_F(PageDecoderTest, GCFullPageWithReadableBlockAndKeptNumbers) {
    const std::string text = Padded(Fields(layout::kGC, {{"Page", "G"},
                                                         {"NbrOfFC", "0000000003"},
                                                         {"EndTwOffset", "      4096"},
                                                         {"EndTwLength", "  120     "}}) +
                                        Patterned(layout::kReadableBlock) +
                                        Fields(layout::kGCTail, {{"MaxCountEntry", "MAXCOUNT01"}}),
                                    10000);
    std::string_view page = text;
    decoder.decodeGc(list, page, kGcSuffix);

    ASSERT_EQ(list.rowCount(), 24u + 32u + 4u);
    expectRowsFollow(layout::kGC, 0, text, "");
    expectRowsFollow(layout::kReadableBlock, 24, std::string_view(text).substr(611), kGcSuffix);
    expectRowsFollow(layout::kGCTail, 56, std::string_view(text).substr(913), "");
    EXPECT_EQ(list.text(15), "Nbr of FC");
    EXPECT_EQ(list.value(15), "0000000003");
    EXPECT_EQ(list.text(56), "MaxCountEntry");
    EXPECT_EQ(list.text(59), "Extended Sequence Reprise");
    EXPECT_EQ(list.value(56), "MAXCOUNT01");
    EXPECT_EQ(page, std::string_view(text).substr(973));

    EXPECT_EQ(kept.fileCount, 3);
    EXPECT_EQ(kept.endOffset, 4096);
    EXPECT_EQ(kept.endLength, 120);
}

TEST_F(PageDecoderTest, FCEntryRowsKeysAndKeptNumbers) {
    const std::string text = FcEntry(kFicA, "0000000012", "      1234");
    std::string_view page = text;
    decoder.decodeFc(list, page, kFicA, true);

    ASSERT_EQ(list.rowCount(), 74u);
    EXPECT_EQ(list.text(0), kHeading + std::string(kFicA));
    EXPECT_EQ(list.key(0), list.text(0));
    EXPECT_EQ(list.value(0), "=================");
    expectRowsFollow(layout::kFC, 1, text, kFicA);
    expectRowsFollow(layout::kReadableBlock, 40, std::string_view(text).substr(250), kFicA);
    expectRowsFollow(layout::kFCTail, 72, std::string_view(text).substr(552), kFicA);
    EXPECT_EQ(list.value(2), kFicA);
    EXPECT_EQ(list.value(9), std::string(33, 'T'));
    EXPECT_TRUE(page.empty());
    EXPECT_EQ(kept.zcCount, 12);
    EXPECT_EQ(kept.insertOffset, 1234);
}

TEST_F(PageDecoderTest, ZCEntriesFollowTheHeading) {
    const std::string text = ZcEntries(3);
    std::string_view page = text;
    decoder.decodeZc(list, page, kFicA, true, 3);

    ASSERT_EQ(list.rowCount(), 28u);
    EXPECT_EQ(list.key(0), kHeading + std::string(kFicA));
    for (int k = 1; k <= 3; ++k) {
        const std::size_t first = 1 + 9 * static_cast<std::size_t>(k - 1);
        expectRowsFollow(layout::kZC, first, std::string_view(text).substr(73 * (k - 1)), kFicA,
                         std::to_string(k));
    }
    // Entry 2 starts at byte 73, its "Input position" at byte 96.
    EXPECT_EQ(list.text(14), "Input position");
    EXPECT_EQ(list.value(14), text.substr(96, 10));
    EXPECT_EQ(list.value(14), "1002      ");
    EXPECT_EQ(list.value(27), "KEY3      ");
    EXPECT_TRUE(page.empty());
}

TEST_F(PageDecoderTest, ZCWithoutEntriesShowsItsHeadingAlone) {
    const std::string text = ZcEntries(1);
    for (const std::int16_t n : {std::int16_t{0}, std::int16_t{-4}}) {
        std::string_view page = text;
        decoder.decodeZc(list, page, kFicB, true, n);
        EXPECT_EQ(list.rowCount(), 1u);
        EXPECT_EQ(page, text);
    }
}

TEST_F(PageDecoderTest, ZCMoreEntriesThanThePageHolds) {
    const std::string text = ZcEntries(411).substr(0, 29930) + std::string(70, 'x');
    std::string_view page = text;
    decoder.decodeZc(list, page, kFicA, true, 32767);

    ASSERT_EQ(list.rowCount(), 1u + 9u * 32767u);
    const std::size_t entry411 = 1 + 9 * 410;
    EXPECT_EQ(list.value(entry411 + 7), std::string(10, 'x'));
    EXPECT_EQ(list.value(entry411 + 8), std::string(7, 'x'));
    EXPECT_EQ(list.value(entry411 + 9), "");
    EXPECT_EQ(list.key(list.rowCount() - 1), "Key order" + std::string(kFicA) + "32767");
}

// Entry pages of several files go into one list: a second file's rows follow
// the first's under their own heading and keyed by its FicID; the same FicID
// again stops at its heading row.
TEST_F(PageDecoderTest, FilesFollowOneAnotherUnderTheirHeadings) {
    for (const PageKind& kind : kPageKinds) {
        if (!kind.heading) {
            continue;
        }
        SCOPED_TRACE(kind.name);
        const std::string text = kind.name == "FC"   ? FcEntry(kFicA, "3", "  -5")
                                 : kind.name == "ZC" ? ZcEntries(2)
                                                     : SqlRecord("3", "ABC") + SqlRecord("1", "D");
        const auto decodeFile = [&](std::string_view ficId, bool first) {
            std::string_view page = text;
            decode(kind.name, list, page, ficId, first);
        };
        decodeFile(kFicA, true);
        const std::size_t n = list.rowCount();
        ASSERT_EQ(n, kind.rows);
        decodeFile(kFicB, false);
        ASSERT_EQ(list.rowCount(), 2 * n);
        EXPECT_EQ(list.text(n), kHeading + std::string(kFicB));
        EXPECT_EQ(list.key(n), list.text(n));
        for (std::size_t r = 1; r < n; ++r) {
            std::string key = list.key(r);
            const std::size_t at = key.find(kFicA);
            ASSERT_NE(at, std::string::npos) << key;
            EXPECT_EQ(list.key(n + r), key.replace(at, kFicA.size(), kFicB));
            EXPECT_EQ(list.text(n + r), list.text(r));
            EXPECT_EQ(list.value(n + r), list.value(r));
        }

        const auto stop = StopOf([&] { decodeFile(kFicA, false); });
        ASSERT_TRUE(stop);
        EXPECT_EQ(stop->reason, DecodeStop::Reason::DuplicateKey);
        EXPECT_EQ(stop->key, kHeading + std::string(kFicA));
        EXPECT_EQ(stop->fieldText, "=================");
        EXPECT_EQ(stop->keySuffix, kFicA);
        EXPECT_EQ(list.rowCount(), 2 * n);
    }
}

TEST_F(PageDecoderTest, SQLStatementsByLength) {
    const std::string text = SqlRecord("5", "ABCDE") + SqlRecord("0000000000", "") +
                             SqlRecord("       4", std::string("A\0B\0", 4)) + SqlRecord("", "") +
                             "rest";
    std::string_view page = text;
    decoder.decodeSql(list, page, kFicA, true);

    ASSERT_EQ(list.rowCount(), 5u);
    EXPECT_EQ(list.text(1), "Query 'Insert'");
    EXPECT_EQ(list.text(2), "Query 'Update'");
    EXPECT_EQ(list.text(3), "Query 'Delete'");
    EXPECT_EQ(list.text(4), "Query 'ClrPfm'");
    EXPECT_EQ(list.key(1), "Query" + std::string(kFicA) + "1");
    EXPECT_EQ(list.key(4), "Query" + std::string(kFicA) + "4");
    EXPECT_EQ(list.value(1), "ABCDE");
    EXPECT_EQ(list.value(2), "");
    // NULs would end the text in the list's widgets: they show as code 250.
    EXPECT_EQ(list.value(3),
              "A\xFA"
              "B\xFA");
    EXPECT_EQ(list.value(4), "");
    EXPECT_EQ(page, "rest");
    EXPECT_EQ(list.column(1).widthTwips, 50000);
}

TEST_F(PageDecoderTest, EmptyCatalogueGivesDuplicateKeys) {
    PageLabels empty{[](int) { return std::string(); }};
    KeptNumbers numbers;
    PageDecoder bare{empty, numbers};
    const std::string text(2000, ' ');
    std::string_view page = text;
    const auto stop = StopOf([&] { bare.decodeCx(list, page); });
    ASSERT_TRUE(stop);
    EXPECT_EQ(stop->reason, DecodeStop::Reason::DuplicateKey);
    EXPECT_EQ(stop->key, "");
    EXPECT_EQ(stop->fieldText, std::string(10, ' '));
    EXPECT_EQ(list.rowCount(), 1u);

    // In the readable block every key is the suffix alone.
    FieldList other;
    page = text;
    EXPECT_THROW(bare.decodeTextBlock(other, page, kFicA), DecodeStop);
    ASSERT_EQ(other.rowCount(), 1u);
    EXPECT_EQ(other.key(0), kFicA);
}

TEST_F(PageDecoderTest, ReadableBlockContinuesAfterItself) {
    const std::string text = Patterned(layout::kReadableBlock) + "NEXT";
    std::string_view page = text;
    decoder.decodeTextBlock(list, page, kGcSuffix);
    ASSERT_EQ(list.rowCount(), 32u);
    EXPECT_EQ(list.columnCount(), 0);
    EXPECT_EQ(list.text(3), "Internal logical number ");
    EXPECT_EQ(list.value(11).size(), 26u);
    EXPECT_EQ(page, "NEXT");
}

// Pages that are empty, blank, NUL-filled or cut short: every decoder still
// adds the rows of its whole layout, each holding what arrived at its place
// (nothing past the end), reads blank or NUL numbers as zero and takes no
// more of the page than its layout. A page decoded again replaces its rows.
TEST_F(PageDecoderTest, DegeneratePagesAreShownAsReceived) {
    const std::string pages[] = {"", std::string(30000, ' '), std::string(30000, '\0'), "1ABCD"};
    for (const PageKind& kind : kPageKinds) {
        for (const std::string& text : pages) {
            SCOPED_TRACE(std::string(kind.name) + ", page of " + std::to_string(text.size()) +
                         " bytes starting " + std::to_string(text.empty() ? -1 : text[0]));
            FieldList rows;
            kept = {5, 5, 5, 5, 5};
            for (int pass = 0; pass < 2; ++pass) {
                std::string_view page = text;
                ASSERT_NO_THROW(decode(kind.name, rows, page, kFicA, true));
                EXPECT_EQ(text.size() - page.size(), std::min(text.size(), kind.width));
            }
            ASSERT_EQ(rows.rowCount(), kind.rows);
            EXPECT_EQ(rows.columnCount(), 2);
            // The fields' values, one after the other, are the bytes read; the
            // SQL decoder reads its lengths as 0 (1 for "1ABCD", with nothing
            // after it) and shows empty statements.
            std::string shown;
            const std::size_t first = kind.heading ? 1 : 0;
            for (std::size_t r = first; r < rows.rowCount(); ++r) {
                shown += rows.value(r);
            }
            EXPECT_EQ(shown, kind.name == "SQL" ? "" : text.substr(0, kind.width));
            EXPECT_EQ(rows.value(first), kind.name == "SQL" ? "" : text.substr(0, 1));
            const int gc = kind.name == "GC" ? 0 : 5;
            const int fc = kind.name == "FC" ? 0 : 5;
            EXPECT_EQ(kept.fileCount, gc);
            EXPECT_EQ(kept.endOffset, gc);
            EXPECT_EQ(kept.endLength, gc);
            EXPECT_EQ(kept.zcCount, fc);
            EXPECT_EQ(kept.insertOffset, fc);
        }
    }
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
        {true, "NbrOfFC", "     32768", std::nullopt},
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
        const std::string text = c.gc ? Padded(Fields(layout::kGC, {{c.field, c.text}}), 10000)
                                      : FcEntry(kFicA, c.field == "NumberOfZC" ? c.text : "0",
                                                c.field == "OffsetOfInsert" ? c.text : "0");
        std::string_view page = text;
        const std::string_view suffix = c.gc ? kGcSuffix : kFicA;
        const auto decodePage = [&] { decode(c.gc ? "GC" : "FC", rows, page, suffix, true); };
        if (!c.kept) {
            // The field's row is the last one, and the stop names it.
            const auto stop = StopOf(decodePage);
            ASSERT_TRUE(stop);
            const std::size_t last = rows.rowCount() - 1;
            EXPECT_EQ(stop->reason, DecodeStop::Reason::NumberOutOfRange);
            EXPECT_EQ(stop->fieldText, c.text);
            EXPECT_EQ(rows.value(last), c.text);
            EXPECT_EQ(stop->label, rows.text(last));
            EXPECT_EQ(stop->key, rows.key(last));
            EXPECT_EQ(stop->keySuffix, suffix);
            EXPECT_NE(std::string(stop->what()).find(stop->label), std::string::npos);
            continue;
        }
        ASSERT_NO_THROW(decodePage());
        const std::int32_t read = c.field == "NbrOfFC"       ? kept.fileCount
                                  : c.field == "EndTwOffset" ? kept.endOffset
                                  : c.field == "NumberOfZC"  ? kept.zcCount
                                                             : kept.insertOffset;
        EXPECT_EQ(read, *c.kept);
    }
}

// SQL lengths, here in a file's second record: a huge one takes the rest of
// the page; a negative one, or one past the 32-bit range, stops before its
// row. A statement's bytes are shown unchanged.
TEST_F(PageDecoderTest, SQLLengthsPastThePageOrTheirRange) {
    using Reason = DecodeStop::Reason;
    const std::tuple<std::string, std::string, std::optional<Reason>> cases[] = {
        {"255", EveryByteButNul(255), std::nullopt},
        {"  99999999", "SELECT 1", std::nullopt},
        {"2147483647", "X", std::nullopt},
        {"2147483648", "X", Reason::NumberOutOfRange},
        {"9999999999", "X", Reason::NumberOutOfRange},
        {"        -1", "X", Reason::NegativeLength},
    };
    for (const auto& [length, statement, reason] : cases) {
        SCOPED_TRACE(length);
        FieldList rows;
        const std::string text = SqlRecord("3", "ABC") + SqlRecord(length, statement);
        std::string_view page = text;
        const auto decode = [&] { decoder.decodeSql(rows, page, kFicA, true); };
        if (!reason) {
            ASSERT_NO_THROW(decode());
            ASSERT_EQ(rows.rowCount(), 5u);
            EXPECT_EQ(rows.value(2), statement);
            EXPECT_EQ(rows.value(3), "");
            EXPECT_TRUE(page.empty());
            continue;
        }
        const auto stop = StopOf(decode);
        ASSERT_TRUE(stop);
        EXPECT_EQ(stop->reason, *reason);
        EXPECT_EQ(stop->label, "Query 'Update'");
        EXPECT_EQ(stop->key, "Query" + std::string(kFicA) + "2");
        EXPECT_EQ(stop->fieldText, SqlRecord(length, ""));
        EXPECT_EQ(rows.rowCount(), 2u);
    }
}

}  // namespace
}  // namespace twds

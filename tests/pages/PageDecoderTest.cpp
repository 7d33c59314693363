#include <algorithm>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <tuple>

#include <gtest/gtest.h>

#include "twds/Messages.h"
#include "twds/PageDecoder.h"

namespace twds {
namespace {

constexpr std::string_view kGcSuffix = "0000000001";
constexpr std::string_view kFicA = "FICA000001";
constexpr std::string_view kFicB = "FICB000002";
const std::string kHeading = "File N\xB0 :";

// "L<id>" for every catalogue id but those the tests name.
std::string CatalogueText(int id) {
    static const std::map<int, std::string> texts{
        {5401, "Field name"}, {5402, "Data"}, {5601, kHeading}, {5751, "Query"}};
    const auto found = texts.find(id);
    return found != texts.end() ? found->second : "L" + std::to_string(id);
}

// A field as it stands in a page: the name the tests fill it by, its
// catalogue id (0 for a fixed label), its fixed label, its first byte
// (1-based) and its width. Written out, not taken from the decoders' tables,
// so that a swapped label, a changed width or a mistyped label fails.
struct At {
    std::string_view name;
    int id;
    std::string_view fixed;
    std::size_t position;
    std::size_t width;
};

// CX, GC and FC positions are in the page, ZC ones in the entry, readable
// block ones in the block (at 612 in the GC page, 251 in an FC entry).
constexpr At kCxAt[] = {
    {"Page", 5403, "", 1, 1},
    {"Version", 5404, "", 2, 10},
    {"GC", 5405, "", 12, 10},
    {"FC", 5406, "", 22, 10},
    {"SourceCode", 5407, "", 32, 3},
    {"EnvCode", 5408, "", 35, 2},
    {"TargetCode", 5409, "", 37, 3},
    {"TargetType", 5410, "", 40, 1},
    {"ComType", 5411, "", 41, 1},
    {"SourceIpAddress", 5412, "", 42, 20},
    {"TargetIpAddress", 5413, "", 62, 30},
    {"LocalName", 5414, "", 92, 10},
    {"Exclude", 5415, "", 102, 3},
    {"Tempo", 5416, "", 105, 10},
    {"ErrorCom", 5417, "", 115, 10},
    {"MaxFileOpen", 5418, "", 125, 10},
    {"TypeOfSource", 5419, "", 135, 1},
    {"TestMode", 5420, "", 136, 1},
    {"TraceMode", 5421, "", 137, 1},
    {"Internal1", 5422, "", 138, 10},
    {"Internal2", 5423, "", 148, 10},
    {"Internal3", 5424, "", 158, 10},
    {"Internal4", 5425, "", 168, 10},
    {"Internal5", 5426, "", 178, 10},
    {"StopType", 5427, "", 188, 1},
    {"StartingDate", 5428, "", 189, 26},
    {"EnvValidation", 5429, "", 215, 1},
    {"NtBackup", 5430, "", 216, 1},
    {"JobName", 5431, "", 217, 10},
    {"UserName", 5432, "", 227, 10},
    {"JobNumber", 5433, "", 237, 6},
    {"ComDirection", 5434, "", 243, 1},
    {"ComStep", 5435, "", 244, 4},
    {"ComUnderStep1", 5436, "", 248, 1},
    {"ComUnderStep2", 5437, "", 249, 1},
};
constexpr At kGcAt[] = {
    {"Page", 5501, "", 1, 1},
    {"Model", 5502, "", 2, 3},
    {"Planning", 5503, "", 5, 168},
    {"LibOrConnectStr", 5504, "", 173, 250},
    {"EndTwName", 5505, "", 423, 10},
    {"LibJournal", 5506, "", 433, 30},
    {"ModelType", 5507, "", 463, 1},
    {"Schedule", 5508, "", 464, 1},
    {"Restarting", 5509, "", 465, 1},
    {"TargetDb", 5510, "", 466, 1},
    {"Batch", 5523, "", 467, 1},
    {"DbPrefix", 5524, "", 468, 1},
    {"Ignore", 5511, "", 469, 1},
    {"IndexNumber", 5512, "", 470, 1},
    {"Frequency", 5513, "", 471, 10},
    {"NbrOfFC", 5514, "", 481, 10},
    {"ZcOffset", 5515, "", 491, 10},
    {"Cache0Offset", 5516, "", 501, 10},
    {"Cache1Offset", 5517, "", 511, 10},
    {"SqlOffset", 5518, "", 521, 10},
    {"EndTwOffset", 5519, "", 531, 10},
    {"EndTwLength", 5520, "", 541, 10},
    {"FlatFileLoading", 5521, "", 551, 1},
    {"FlatFilePath", 5522, "", 552, 60},
};
constexpr At kGcTailAt[] = {
    {"MaxCountEntry", 0, "MaxCountEntry", 914, 10},
    {"MaxTimeEntry", 0, "MaxTimeEntry", 924, 10},
    {"ExtendedSequence", 0, "Extended Sequence", 934, 20},
    {"ExtendedSequenceReprise", 0, "Extended Sequence Reprise", 954, 20},
};
constexpr At kFcAt[] = {
    {"Page", 5602, "", 1, 1},
    {"FicID", 5603, "", 2, 10},
    {"Occurence", 5604, "", 12, 1},
    {"OffsetNext", 5605, "", 13, 10},
    {"FileHandle", 5606, "", 23, 10},
    {"FileHold", 5607, "", 33, 1},
    {"ComparisonLength", 5608, "", 34, 1},
    {"SourceFile", 5609, "", 35, 30},
    {"TargetFile", 5610, "", 65, 33},
    {"TargetMember", 5611, "", 98, 1},
    {"TargetProgram", 5612, "", 99, 30},
    {"ExtendedFileLength", 5640, "", 129, 10},
    {"FileLength", 5613, "", 139, 10},
    {"TransformationActivated", 5614, "", 149, 1},
    {"NbrOfInstructions", 5615, "", 150, 10},
    {"Internal1", 5616, "", 160, 5},
    {"Inzpfm", 5617, "", 165, 1},
    {"AccessMode", 5618, "", 166, 1},
    {"OpenShare", 5619, "", 167, 1},
    {"ContinueOnError", 5620, "", 168, 1},
    {"Repair", 5621, "", 169, 1},
    {"ImageBeforeControl", 5622, "", 170, 1},
    {"ClrPfm", 5623, "", 171, 1},
    {"RgzPfm", 5624, "", 172, 1},
    {"AddPfm", 5625, "", 173, 1},
    {"RmvMbr", 5626, "", 174, 1},
    {"DltF", 5627, "", 175, 1},
    {"IgnoreAdd", 5628, "", 176, 1},
    {"IgnoreUpdate", 5629, "", 177, 1},
    {"IgnoreDelete", 5630, "", 178, 1},
    {"EmptyBeforeExtraction", 5631, "", 179, 1},
    {"IgnoreFile", 5632, "", 180, 1},
    {"ZcOffset", 5633, "", 181, 10},
    {"NumberOfZC", 5634, "", 191, 10},
    {"NumberOfKeyOrder", 5635, "", 201, 10},
    {"OffsetOfInsert", 5636, "", 211, 10},
    {"OffsetOfUpdate", 5637, "", 221, 10},
    {"OffsetOfDelete", 5638, "", 231, 10},
    {"OffsetOfClrPfm", 5639, "", 241, 10},
};
constexpr At kFcTailAt[] = {
    {"ExtendedSequence", 0, "Extended Sequence", 553, 20},
    {"ExtendedSequenceReprise", 0, "Extended Sequence Reprise", 573, 20},
};
constexpr At kZcAt[] = {
    {"Page", 5701, "", 1, 1},
    {"FieldType", 5702, "", 2, 2},
    {"InputFieldLength", 5703, "", 4, 10},
    {"DecimalNumber", 5704, "", 14, 10},
    {"InputPosition", 5705, "", 24, 10},
    {"BufferLength", 5706, "", 34, 10},
    {"InputPositionExtended", 5707, "", 44, 10},
    {"BufferLengthExtended", 5708, "", 54, 10},
    {"KeyOrder", 5709, "", 64, 10},
};
constexpr At kBlockAt[] = {
    {"RecoveryType", 5801, "", 1, 1},
    {"RecoveryReceiverName", 5802, "", 2, 10},
    {"RecoveryLibrary", 5803, "", 12, 10},
    {"InternalLogicalNumber", 5804, "", 22, 10},
    {"RecoverySequenceNumber", 5805, "", 32, 10},
    {"State", 5806, "", 42, 1},
    {"LastReceiverProcessed", 5807, "", 43, 10},
    {"LastReceiverLibraryProcessed", 5808, "", 53, 10},
    {"LastLogicalRcvProcessed", 5830, "", 63, 10},
    {"SequenceNumber", 5809, "", 73, 10},
    {"JournalCode", 5810, "", 83, 3},
    {"PostDateTime", 5811, "", 86, 26},
    {"JobName", 5812, "", 112, 10},
    {"UserName", 5813, "", 122, 10},
    {"JobNumber", 5831, "", 132, 6},
    {"ProgramName", 5814, "", 138, 10},
    {"FileOrTableName", 5815, "", 148, 10},
    {"LibraryName", 5816, "", 158, 10},
    {"Member", 5817, "", 168, 10},
    {"Rnn", 5818, "", 178, 10},
    {"Step", 5819, "", 188, 1},
    {"ProcessedDate", 5832, "", 189, 14},
    {"Read", 5820, "", 203, 10},
    {"Selected", 5821, "", 213, 10},
    {"Sent", 5822, "", 223, 10},
    {"Ignored", 5823, "", 233, 10},
    {"Added", 5824, "", 243, 10},
    {"Modified", 5825, "", 253, 10},
    {"Deleted", 5826, "", 263, 10},
    {"MemberOp", 5827, "", 273, 10},
    {"Repaired", 5828, "", 283, 10},
    {"Errors", 5829, "", 293, 10},
};

constexpr std::size_t kGcBlockAt = 612;
constexpr std::size_t kFcBlockAt = 251;
constexpr std::size_t kZcEntryWidth = 73;

// Bytes 1 to 255, over and over: a value read from the wrong place shows.
std::string EveryByteButNul(std::size_t size) {
    std::string text(size, ' ');
    for (std::size_t i = 0; i < size; ++i) {
        text[i] = static_cast<char>(1 + i % 255);
    }
    return text;
}

// A patterned GC page (973 bytes) or FC entry (592) with some fields set;
// the pattern reads as 0 in the kept numbers' places.
std::string Page(std::span<const At> fields,
                 const std::map<std::string_view, std::string>& values) {
    std::string text = EveryByteButNul(fields.data() == kGcAt ? 973 : 592);
    for (const At& field : fields) {
        if (const auto found = values.find(field.name); found != values.end()) {
            text.replace(field.position - 1, field.width,
                         found->second + std::string(field.width - found->second.size(), ' '));
        }
    }
    return text;
}

std::string SqlRecord(std::string_view lengthField, std::string_view statement) {
    std::string record(lengthField);
    record.resize(10, ' ');
    return record + std::string(statement);
}

// Each page kind with the rows its decoder adds for a whole page (an entry's
// first row is its "File N°" heading) and the bytes it takes (four SQL
// lengths, two ZC entries here).
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
    PageLabels labels{CatalogueText};
    KeptNumbers kept;
    ProblemList problems;
    PageDecoder decoder{labels, kept, &problems};
    FieldList list;

    // Decodes `page` as the GC page or the first file's (FICA000001) page of
    // its kind; ZC with two entries.
    void decode(std::string_view kind, FieldList& rows, std::string_view& page, bool first = true) {
        const std::string_view suffix = kind == "GC" ? kGcSuffix : kFicA;
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

    // The rows from `first` on are `fields`' rows, in order, each holding the
    // bytes at its place in `page` (`base` bytes in), keyed by its label, the
    // suffix and the entry number.
    void expectRowsAt(std::span<const At> fields, std::size_t first, std::string_view page,
                      std::size_t base, std::string_view keySuffix, std::string_view entry = {}) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const At& field = fields[i];
            SCOPED_TRACE(std::string(field.name));
            const std::string label =
                field.id == 0 ? std::string(field.fixed) : CatalogueText(field.id);
            EXPECT_EQ(list.text(first + i), label);
            EXPECT_EQ(list.key(first + i), label + std::string(keySuffix) + std::string(entry));
            EXPECT_EQ(list.value(first + i), page.substr(base + field.position - 1, field.width));
        }
    }
};

// Counts are kept as 16-bit numbers and offsets as 32-bit ones, each read
// from its own field: values at the types' limits tell them apart.
TEST_F(PageDecoderTest, CXGCAndFCFieldsAtTheirPlacesAndKeptNumbers) {
    const std::string cx = EveryByteButNul(300);
    std::string_view page = cx;
    decoder.decodeCx(list, page);
    ASSERT_EQ(list.rowCount(), 35u);
    expectRowsAt(kCxAt, 0, cx, 0, "");
    EXPECT_EQ(list.column(0).caption, "Field name");
    EXPECT_EQ(list.column(1).caption, "Data");

    const std::string gc = Page(
        kGcAt,
        {{"NbrOfFC", "     32767"}, {"EndTwOffset", "-999999999"}, {"EndTwLength", "     40000"}});
    page = gc;
    decoder.decodeGc(list, page, kGcSuffix);
    ASSERT_EQ(list.rowCount(), 24u + 32u + 4u);
    expectRowsAt(kGcAt, 0, gc, 0, "");
    expectRowsAt(kBlockAt, 24, gc, kGcBlockAt - 1, kGcSuffix);
    expectRowsAt(kGcTailAt, 56, gc, 0, "");
    EXPECT_EQ(std::tie(kept.fileCount, kept.endOffset, kept.endLength),
              std::tuple(32767, -999999999, 40000));

    const std::string fc =
        Page(kFcAt, {{"NumberOfZC", "-32768"}, {"OffsetOfInsert", "    -70000"}});
    page = fc;
    decoder.decodeFc(list, page, kFicA, true);
    ASSERT_EQ(list.rowCount(), 74u);
    EXPECT_EQ(list.text(0), kHeading + std::string(kFicA));
    expectRowsAt(kFcAt, 1, fc, 0, kFicA);
    expectRowsAt(kBlockAt, 40, fc, kFcBlockAt - 1, kFicA);
    expectRowsAt(kFcTailAt, 72, fc, 0, kFicA);
    EXPECT_EQ(std::tie(kept.zcCount, kept.insertOffset), std::tuple(-32768, -70000));
}

// The count, not the page, decides the entries: none below 1 (the page left
// untaken), empty values past the page's end. A later file's rows follow the
// first's.
TEST_F(PageDecoderTest, ZCEntriesFollowTheHeadingByTheirCount) {
    const std::string text = EveryByteButNul(3 * kZcEntryWidth);
    std::string_view page = text;
    decoder.decodeZc(list, page, kFicA, true, 3);
    ASSERT_EQ(list.rowCount(), 28u);
    for (std::size_t k = 1; k <= 3; ++k) {
        expectRowsAt(kZcAt, 9 * k - 8, text, kZcEntryWidth * (k - 1), kFicA, std::to_string(k));
    }
    page = text;
    decoder.decodeZc(list, page, kFicB, false, -4);
    EXPECT_EQ(list.rowCount(), 29u);
    EXPECT_EQ(list.key(28), kHeading + std::string(kFicB));
    EXPECT_EQ(page, text);
    page = std::string_view(text).substr(0, 100);
    decoder.decodeZc(list, page, kFicA, true, 32767);
    ASSERT_EQ(list.rowCount(), 1u + 9u * 32767u);
    EXPECT_EQ(list.key(list.rowCount() - 1), "L5709" + std::string(kFicA) + "32767");
    EXPECT_EQ(list.value(list.rowCount() - 1), "");
}

// NULs would end the text in the list's widgets: they show as code 250. A
// length past the page takes the rest of it, every byte as it came, and
// later statements are empty.
TEST_F(PageDecoderTest, SQLStatementsByLength) {
    const std::string rest = EveryByteButNul(255);
    const std::string text = SqlRecord("5", "ABCDE") + SqlRecord("4", std::string("A\0B\0", 4)) +
                             SqlRecord("  99999999", rest);
    std::string_view page = text;
    decoder.decodeSql(list, page, kFicA, true);
    ASSERT_EQ(list.rowCount(), 5u);
    const char* texts[] = {"Query 'Insert'", "Query 'Update'", "Query 'Delete'", "Query 'ClrPfm'"};
    const std::string values[] = {"ABCDE",
                                  "A\xFA"
                                  "B\xFA",
                                  rest, ""};
    for (std::size_t r = 1; r <= 4; ++r) {
        EXPECT_EQ(list.text(r), texts[r - 1]);
        EXPECT_EQ(list.key(r), "Query" + std::string(kFicA) + std::to_string(r));
        EXPECT_EQ(list.value(r), values[r - 1]);
    }
    EXPECT_TRUE(page.empty());
}

// Pages that are empty, blank, NUL-filled or cut short: every decoder still
// adds the rows of its whole layout, each holding what arrived at its place
// (nothing past the end), reads blank or NUL numbers as zero and takes no
// more of the page than its layout. A page decoded again replaces its rows.
TEST_F(PageDecoderTest, DegeneratePagesAreShownAsReceived) {
    const std::string pages[] = {"", std::string(30000, ' '), std::string(30000, '\0'), "1ABCD"};
    for (const PageKind& kind : kPageKinds) {
        for (const std::string& text : pages) {
            SCOPED_TRACE(std::string(kind.name) + ", page " + std::to_string(&text - pages));
            FieldList rows;
            kept = {5, 5, 5, 5, 5};
            for (int pass = 0; pass < 2; ++pass) {
                std::string_view page = text;
                ASSERT_NO_THROW(decode(kind.name, rows, page));
                EXPECT_EQ(text.size() - page.size(), std::min(text.size(), kind.width));
            }
            ASSERT_EQ(rows.rowCount(), kind.rows);
            // The SQL decoder reads its lengths as 0 (1 for "1ABCD", with
            // nothing after it) and shows empty statements.
            std::string shown;
            for (std::size_t r = kind.heading ? 1 : 0; r < rows.rowCount(); ++r) {
                shown += rows.value(r);
            }
            EXPECT_EQ(shown, kind.name == "SQL" ? "" : text.substr(0, kind.width));
            const int gc = kind.name == "GC" ? 0 : 5;
            const int fc = kind.name == "FC" ? 0 : 5;
            EXPECT_EQ(std::tie(kept.fileCount, kept.endOffset, kept.endLength, kept.zcCount,
                               kept.insertOffset),
                      std::tie(gc, gc, gc, fc, fc));
        }
    }
}

// Nothing stops a decoder: every row is shown and each anomaly is reported
// on its row. A kept number past its type's range reads as the nearest value
// in range; a negative SQL length gives an empty statement and the next record
// follows its length field; a file's pages decoded again repeat their keys.
TEST_F(PageDecoderTest, AnomaliesAreShownAndReportedOnTheirRows) {
    const std::string sql = SqlRecord("3", "ABC");
    // The pattern's other kept fields as plain digits, which need no note.
    const auto gc = [](std::string_view field, std::string value) {
        std::map<std::string_view, std::string> values{
            {"NbrOfFC", "0"}, {"EndTwOffset", "0"}, {"EndTwLength", "0"}};
        values[field] = std::move(value);
        return Page(kGcAt, values);
    };
    const auto fc = [](std::string_view field, std::string value) {
        std::map<std::string_view, std::string> values{{"NumberOfZC", "0"},
                                                       {"OffsetOfInsert", "0"}};
        values[field] = std::move(value);
        return Page(kFcAt, values);
    };
    struct Case {
        std::string_view kind;
        std::string text;
        std::size_t rows;  // in the list afterwards
        std::vector<std::tuple<Severity, int, std::size_t, std::string>> problems;  // &1
        std::int32_t kept;  // the number the page keeps (fileCount, endOffset, zcCount, ...)
    };
    const Case cases[] = {
        {"GC",
         gc("NbrOfFC", "     32768"),
         60,
         {{Severity::Error, message::kProblemOutOfRange, 15, "     32768"}},
         32767},
        {"GC",
         gc("EndTwOffset", "2147483648"),
         60,
         {{Severity::Error, message::kProblemOutOfRange, 20, "2147483648"}},
         2147483647},
        {"GC",
         gc("NbrOfFC", "3.5"),
         60,
         {{Severity::Note, message::kProblemNotDigits, 15, "3.5       "}},
         4},
        {"FC",
         fc("NumberOfZC", "-32769"),
         74,
         {{Severity::Error, message::kProblemOutOfRange, 34, "-32769    "}},
         -32768},
        {"FC",
         fc("OffsetOfInsert", "&H10"),
         74,
         {{Severity::Note, message::kProblemNotDigits, 36, "&H10      "}},
         16},
        {"SQL",
         sql + SqlRecord("        -1", "") + SqlRecord("1", "D") + SqlRecord("9", "E"),
         5,
         {{Severity::Error, message::kProblemNegativeLength, 2, "        -1"},
          {Severity::Warning, message::kProblemStatementPastEnd, 4, "9"}},
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        problems.clear();
        std::string_view page = c.text;
        decode(c.kind, list, page);
        EXPECT_EQ(list.rowCount(), c.rows);
        ASSERT_EQ(problems.size(), c.problems.size());
        for (std::size_t i = 0; i < problems.size(); ++i) {
            const auto& [severity, id, row, first] = c.problems[i];
            EXPECT_EQ(std::tie(problems[i].severity, problems[i].messageId, problems[i].row,
                               problems[i].values[0]),
                      std::tie(severity, id, row, first));
            EXPECT_EQ(problems[i].label, list.text(row));
        }
        if (c.kind == "GC") {
            EXPECT_TRUE(kept.fileCount == c.kept || kept.endOffset == c.kept);
        } else if (c.kind == "FC") {
            EXPECT_TRUE(kept.zcCount == c.kept || kept.insertOffset == c.kept);
        }
    }
    // The negative length's statement is empty and the records after it are
    // read from the length field on.
    EXPECT_EQ(list.value(2), "");
    EXPECT_EQ(list.value(3), "D");
    EXPECT_EQ(list.value(4), "E");

    // A file's ZC page decoded again: each repeated label reported once, the
    // heading first; not at all once the caller has said why.
    const std::string zc = EveryByteButNul(146);
    problems.clear();
    for (int pass = 0; pass < 3; ++pass) {
        std::string_view page = zc;
        decoder.setRepeatsExplained(pass == 2);
        decode("ZC", list, page, pass == 0);
    }
    EXPECT_EQ(list.rowCount(), 57U);
    ASSERT_EQ(problems.size(), 10U);
    using Seen = std::tuple<int, std::size_t, std::string>;
    EXPECT_EQ(Seen(problems[0].messageId, problems[0].row, problems[0].label),
              Seen(message::kProblemRepeatedKey, 19, kHeading + std::string(kFicA)));
    // The repeated rows keep keys of their own, so the list's keys stay unique.
    EXPECT_NE(list.key(19), list.key(0));
    EXPECT_NE(list.key(38), list.key(19));
}

// A catalogue without two CX labels: all 35 rows shown, each gap reported
// once on its first row, the repeated empty keys not reported again.
TEST_F(PageDecoderTest, LabelsMissingFromTheCatalogueAreShownAndReported) {
    const PageLabels gaps([](int id) { return id == 5404 || id == 5406 ? "" : CatalogueText(id); });
    PageDecoder lacking(gaps, kept, &problems);
    const std::string text = Page(kCxAt, {});
    std::string_view page = text;
    lacking.decodeCx(list, page);
    EXPECT_EQ(list.rowCount(), 35U);
    ASSERT_EQ(problems.size(), 2U);
    using Seen = std::tuple<int, std::size_t, std::string>;
    EXPECT_EQ(Seen(problems[0].messageId, problems[0].row, problems[0].values[0]),
              Seen(message::kProblemLabelMissing, 1, "5404"));
    EXPECT_EQ(Seen(problems[1].messageId, problems[1].row, problems[1].values[0]),
              Seen(message::kProblemLabelMissing, 3, "5406"));

    // One ZC label missing: no key repeats, the gap is named once, on the
    // first entry's row.
    const PageLabels zcGap([](int id) { return id == 5703 ? "" : CatalogueText(id); });
    PageDecoder zcLacking(zcGap, kept, &problems);
    problems.clear();
    const std::string zc = EveryByteButNul(146);
    page = zc;
    zcLacking.decodeZc(list, page, kFicA, true, 2);
    EXPECT_EQ(list.rowCount(), 19U);
    ASSERT_EQ(problems.size(), 1U);
    EXPECT_EQ(Seen(problems[0].messageId, problems[0].row, problems[0].values[0]),
              Seen(message::kProblemLabelMissing, 3, "5703"));
}

}  // namespace
}  // namespace twds

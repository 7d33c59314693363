#include "twds/PageDecoder.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <iterator>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <tuple>

#include <gtest/gtest.h>

#include "twds/DecodeStop.h"

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
constexpr std::size_t kBlockWidth = 302;
constexpr std::size_t kZcEntryWidth = 73;

// The values the test names written at their fields' places in `text`,
// `base` bytes in.
void Put(std::string& text, std::span<const At> fields,
         const std::map<std::string_view, std::string>& values, std::size_t base = 0) {
    for (const At& field : fields) {
        const auto found = values.find(field.name);
        if (found != values.end()) {
            EXPECT_LE(found->second.size(), field.width) << field.name;
            text.replace(base + field.position - 1, found->second.size(), found->second);
        }
    }
}

// The readable block with every field filled with its own pattern, so that
// a value read from the wrong place shows.
std::string PatternedBlock() {
    std::string text(kBlockWidth, ' ');
    for (std::size_t i = 0; i < std::size(kBlockAt); ++i) {
        for (std::size_t c = 0; c < kBlockAt[i].width; ++c) {
            text[kBlockAt[i].position - 1 + c] = static_cast<char>('!' + (i * 7 + c) % 90);
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

std::string FcEntry(std::string_view ficId, std::string_view numberOfZc,
                    std::string_view offsetOfInsert) {
    std::string text(592, ' ');
    Put(text, kFcAt,
        {{"Page", "F"},
         {"FicID", std::string(ficId)},
         {"TargetFile", std::string(33, 'T')},
         {"NumberOfZC", std::string(numberOfZc)},
         {"OffsetOfInsert", std::string(offsetOfInsert)}});
    text.replace(kFcBlockAt - 1, kBlockWidth, PatternedBlock());
    Put(text, kFcTailAt, {{"ExtendedSequence", "SEQ"}});
    return text;
}

// A GC page of 10000 bytes with the readable block patterned.
std::string GcPage(const std::map<std::string_view, std::string>& values,
                   const std::map<std::string_view, std::string>& tail = {}) {
    std::string text(10000, ' ');
    Put(text, kGcAt, values);
    text.replace(kGcBlockAt - 1, kBlockWidth, PatternedBlock());
    Put(text, kGcTailAt, tail);
    return text;
}

std::string ZcEntries(int count) {
    std::string text(kZcEntryWidth * static_cast<std::size_t>(count), ' ');
    for (int k = 1; k <= count; ++k) {
        Put(text, kZcAt,
            {{"Page", "Z"},
             {"FieldType", "A" + std::to_string(k % 10)},
             {"InputFieldLength", std::to_string(k)},
             {"InputPosition", std::to_string(1000 + k)},
             {"KeyOrder", "KEY" + std::to_string(k)}},
            kZcEntryWidth * static_cast<std::size_t>(k - 1));
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

    // Expects the rows from `first` on to be `fields`' rows, in order, each
    // holding the bytes at its place in `page` (`base` bytes in), keyed by
    // its label, the suffix and the entry number.
    void expectRowsAt(std::span<const At> fields, std::size_t first, std::string_view page,
                      std::size_t base, std::string_view keySuffix, std::string_view entry = {}) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const At& field = fields[i];
            const std::size_t row = first + i;
            const std::string label =
                field.id == 0 ? std::string(field.fixed) : CatalogueText(field.id);
            EXPECT_EQ(list.text(row), label) << field.name;
            EXPECT_EQ(list.key(row), label + std::string(keySuffix) + std::string(entry))
                << field.name;
            const std::size_t at = std::min(base + field.position - 1, page.size());
            EXPECT_EQ(list.value(row), page.substr(at, field.width)) << field.name;
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
    expectRowsAt(kCxAt, 0, text, 0, "");
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
    const std::string text = GcPage({{"Page", "G"},
                                     {"NbrOfFC", "0000000003"},
                                     {"EndTwOffset", "      4096"},
                                     {"EndTwLength", "  120     "}},
                                    {{"MaxCountEntry", "MAXCOUNT01"}});
    std::string_view page = text;
    decoder.decodeGc(list, page, kGcSuffix);

    ASSERT_EQ(list.rowCount(), 24u + 32u + 4u);
    expectRowsAt(kGcAt, 0, text, 0, "");
    expectRowsAt(kBlockAt, 24, text, kGcBlockAt - 1, kGcSuffix);
    expectRowsAt(kGcTailAt, 56, text, 0, "");
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
    expectRowsAt(kFcAt, 1, text, 0, kFicA);
    expectRowsAt(kBlockAt, 40, text, kFcBlockAt - 1, kFicA);
    expectRowsAt(kFcTailAt, 72, text, 0, kFicA);
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
        expectRowsAt(kZcAt, first, text, kZcEntryWidth * static_cast<std::size_t>(k - 1), kFicA,
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
    const std::string text = PatternedBlock() + "NEXT";
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
        const std::string text = c.gc ? GcPage({{c.field, c.text}})
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

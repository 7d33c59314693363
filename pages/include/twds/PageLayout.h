#pragma once

#include <array>
#include <string_view>

// The fixed-width layouts of the user-space pages. Each table lists a page's
// fields in the order they stand in the page text and in the list: fields
// follow one another with no separator, so a field's position is the sum of
// the widths before it. Widths are in characters (bytes).
namespace twds::layout {

struct FieldSpec {
    std::string_view name;        // stable identifier, used by the sample writer
    int catalogueId;              // label's catalogue id; 0 for a fixed label
    std::string_view fixedLabel;  // the label when catalogueId is 0, the same in every language
    int width;
};

template <std::size_t N>
constexpr int TotalWidth(const std::array<FieldSpec, N>& fields) {
    int total = 0;
    for (const FieldSpec& f : fields)
        total += f.width;
    return total;
}

// Catalogue ids of the list headings and the heading rows.
inline constexpr int kColumnFieldName = 5401;
inline constexpr int kColumnData = 5402;
inline constexpr int kEntryHeading = 5601;  // "File N° :", followed by the FicID
inline constexpr int kQueryLabel = 5751;    // "Query", followed by the statement kind
inline constexpr std::string_view kEntryHeadingValue = "=================";

// Column widths in twips.
inline constexpr int kColumnWidth = 2500;
inline constexpr int kSqlDataColumnWidth = 50000;

// CX page: the engine's general control record.
inline constexpr std::array<FieldSpec, 35> kCX{{
    {"Page", 5403, {}, 1},
    {"Version", 5404, {}, 10},
    {"GC", 5405, {}, 10},
    {"FC", 5406, {}, 10},
    {"SourceCode", 5407, {}, 3},
    {"EnvCode", 5408, {}, 2},
    {"TargetCode", 5409, {}, 3},
    {"TargetType", 5410, {}, 1},
    {"ComType", 5411, {}, 1},
    {"SourceIpAddress", 5412, {}, 20},
    {"TargetIpAddress", 5413, {}, 30},
    {"LocalName", 5414, {}, 10},
    {"Exclude", 5415, {}, 3},
    {"Tempo", 5416, {}, 10},
    {"ErrorCom", 5417, {}, 10},
    {"MaxFileOpen", 5418, {}, 10},
    {"TypeOfSource", 5419, {}, 1},
    {"TestMode", 5420, {}, 1},
    {"TraceMode", 5421, {}, 1},
    {"Internal1", 5422, {}, 10},
    {"Internal2", 5423, {}, 10},
    {"Internal3", 5424, {}, 10},
    {"Internal4", 5425, {}, 10},
    {"Internal5", 5426, {}, 10},
    {"StopType", 5427, {}, 1},
    {"StartingDate", 5428, {}, 26},
    {"EnvValidation", 5429, {}, 1},
    {"NtBackup", 5430, {}, 1},
    {"JobName", 5431, {}, 10},
    {"UserName", 5432, {}, 10},
    {"JobNumber", 5433, {}, 6},
    {"ComDirection", 5434, {}, 1},
    {"ComStep", 5435, {}, 4},
    {"ComUnderStep1", 5436, {}, 1},
    {"ComUnderStep2", 5437, {}, 1},
}};
static_assert(TotalWidth(kCX) == 249);

// GC page, before its readable block. Ids 5523 and 5524 stand between 5510
// and 5511, where the fields are.
inline constexpr std::array<FieldSpec, 24> kGC{{
    {"Page", 5501, {}, 1},
    {"Model", 5502, {}, 3},
    {"Planning", 5503, {}, 168},
    {"LibOrConnectStr", 5504, {}, 250},
    {"EndTwName", 5505, {}, 10},
    {"LibJournal", 5506, {}, 30},
    {"ModelType", 5507, {}, 1},
    {"Schedule", 5508, {}, 1},
    {"Restarting", 5509, {}, 1},
    {"TargetDb", 5510, {}, 1},
    {"Batch", 5523, {}, 1},
    {"DbPrefix", 5524, {}, 1},
    {"Ignore", 5511, {}, 1},
    {"IndexNumber", 5512, {}, 1},
    {"Frequency", 5513, {}, 10},
    {"NbrOfFC", 5514, {}, 10},
    {"ZcOffset", 5515, {}, 10},
    {"Cache0Offset", 5516, {}, 10},
    {"Cache1Offset", 5517, {}, 10},
    {"SqlOffset", 5518, {}, 10},
    {"EndTwOffset", 5519, {}, 10},
    {"EndTwLength", 5520, {}, 10},
    {"FlatFileLoading", 5521, {}, 1},
    {"FlatFilePath", 5522, {}, 60},
}};
static_assert(TotalWidth(kGC) == 611);
inline constexpr int kGCNbrOfFC = 15;      // index in kGC, kept as fileCount
inline constexpr int kGCEndTwOffset = 20;  // kept as endOffset
inline constexpr int kGCEndTwLength = 21;  // kept as endLength

// GC page, after its readable block: fixed labels.
inline constexpr std::array<FieldSpec, 4> kGCTail{{
    {"MaxCountEntry", 0, "MaxCountEntry", 10},
    {"MaxTimeEntry", 0, "MaxTimeEntry", 10},
    {"ExtendedSequence", 0, "Extended Sequence", 20},
    {"ExtendedSequenceReprise", 0, "Extended Sequence Reprise", 20},
}};

// The readable block embedded in the GC page and in every FC entry: the
// processing state of the model or of one file.
inline constexpr std::array<FieldSpec, 32> kReadableBlock{{
    {"RecoveryType", 5801, {}, 1},
    {"RecoveryReceiverName", 5802, {}, 10},
    {"RecoveryLibrary", 5803, {}, 10},
    {"InternalLogicalNumber", 5804, {}, 10},
    {"RecoverySequenceNumber", 5805, {}, 10},
    {"State", 5806, {}, 1},
    {"LastReceiverProcessed", 5807, {}, 10},
    {"LastReceiverLibraryProcessed", 5808, {}, 10},
    {"LastLogicalRcvProcessed", 5830, {}, 10},
    {"SequenceNumber", 5809, {}, 10},
    {"JournalCode", 5810, {}, 3},
    {"PostDateTime", 5811, {}, 26},
    {"JobName", 5812, {}, 10},
    {"UserName", 5813, {}, 10},
    {"JobNumber", 5831, {}, 6},
    {"ProgramName", 5814, {}, 10},
    {"FileOrTableName", 5815, {}, 10},
    {"LibraryName", 5816, {}, 10},
    {"Member", 5817, {}, 10},
    {"Rnn", 5818, {}, 10},
    {"Step", 5819, {}, 1},
    {"ProcessedDate", 5832, {}, 14},
    {"Read", 5820, {}, 10},
    {"Selected", 5821, {}, 10},
    {"Sent", 5822, {}, 10},
    {"Ignored", 5823, {}, 10},
    {"Added", 5824, {}, 10},
    {"Modified", 5825, {}, 10},
    {"Deleted", 5826, {}, 10},
    {"MemberOp", 5827, {}, 10},
    {"Repaired", 5828, {}, 10},
    {"Errors", 5829, {}, 10},
}};
static_assert(TotalWidth(kReadableBlock) == 302);
static_assert(TotalWidth(kGC) + TotalWidth(kReadableBlock) + TotalWidth(kGCTail) == 973);

// FC entry (one replicated file), before its readable block. Id 5640 stands
// between 5612 and 5613, where the field is.
inline constexpr std::array<FieldSpec, 39> kFC{{
    {"Page", 5602, {}, 1},
    {"FicID", 5603, {}, 10},
    {"Occurence", 5604, {}, 1},
    {"OffsetNext", 5605, {}, 10},
    {"FileHandle", 5606, {}, 10},
    {"FileHold", 5607, {}, 1},
    {"ComparisonLength", 5608, {}, 1},
    {"SourceFile", 5609, {}, 30},
    {"TargetFile", 5610, {}, 33},
    {"TargetMember", 5611, {}, 1},
    {"TargetProgram", 5612, {}, 30},
    {"ExtendedFileLength", 5640, {}, 10},
    {"FileLength", 5613, {}, 10},
    {"TransformationActivated", 5614, {}, 1},
    {"NbrOfInstructions", 5615, {}, 10},
    {"Internal1", 5616, {}, 5},
    {"Inzpfm", 5617, {}, 1},
    {"AccessMode", 5618, {}, 1},
    {"OpenShare", 5619, {}, 1},
    {"ContinueOnError", 5620, {}, 1},
    {"Repair", 5621, {}, 1},
    {"ImageBeforeControl", 5622, {}, 1},
    {"ClrPfm", 5623, {}, 1},
    {"RgzPfm", 5624, {}, 1},
    {"AddPfm", 5625, {}, 1},
    {"RmvMbr", 5626, {}, 1},
    {"DltF", 5627, {}, 1},
    {"IgnoreAdd", 5628, {}, 1},
    {"IgnoreUpdate", 5629, {}, 1},
    {"IgnoreDelete", 5630, {}, 1},
    {"EmptyBeforeExtraction", 5631, {}, 1},
    {"IgnoreFile", 5632, {}, 1},
    {"ZcOffset", 5633, {}, 10},
    {"NumberOfZC", 5634, {}, 10},
    {"NumberOfKeyOrder", 5635, {}, 10},
    {"OffsetOfInsert", 5636, {}, 10},
    {"OffsetOfUpdate", 5637, {}, 10},
    {"OffsetOfDelete", 5638, {}, 10},
    {"OffsetOfClrPfm", 5639, {}, 10},
}};
static_assert(TotalWidth(kFC) == 250);
inline constexpr int kFCFicID = 1;            // index in kFC: the file's identifier
inline constexpr int kFCNumberOfZC = 33;      // kept as zcCount
inline constexpr int kFCOffsetOfInsert = 35;  // kept as insertOffset

// FC entry, after its readable block: fixed labels.
inline constexpr std::array<FieldSpec, 2> kFCTail{{
    {"ExtendedSequence", 0, "Extended Sequence", 20},
    {"ExtendedSequenceReprise", 0, "Extended Sequence Reprise", 20},
}};
static_assert(TotalWidth(kFC) + TotalWidth(kReadableBlock) + TotalWidth(kFCTail) == 592);

// One ZC entry (one field of a replicated file's record); a ZC page holds the
// file's entries back to back.
inline constexpr std::array<FieldSpec, 9> kZC{{
    {"Page", 5701, {}, 1},
    {"FieldType", 5702, {}, 2},
    {"InputFieldLength", 5703, {}, 10},
    {"DecimalNumber", 5704, {}, 10},
    {"InputPosition", 5705, {}, 10},
    {"BufferLength", 5706, {}, 10},
    {"InputPositionExtended", 5707, {}, 10},
    {"BufferLengthExtended", 5708, {}, 10},
    {"KeyOrder", 5709, {}, 10},
}};
static_assert(TotalWidth(kZC) == 73);

// SQL page: four records of a 10-character length and that many characters
// of statement, in this order. The suffixes follow the label of kQueryLabel.
inline constexpr int kSqlLengthWidth = 10;
inline constexpr std::array<std::string_view, 4> kSqlStatementSuffixes{" 'Insert'", " 'Update'",
                                                                       " 'Delete'", " 'ClrPfm'"};
inline constexpr char kSqlNulReplacement = '\xFA';  // code 250 in Windows-1252

// Page requests: kind letter, position and request length.
inline constexpr int kCXPosition = 1024;
inline constexpr int kGCPosition = 1024;
inline constexpr int kEndTwBase = 1024;  // the E page stands at endOffset + this
inline constexpr int kFirstFCPosition = 2048;
inline constexpr int kFCSpacing = 512;  // FC entry n at 2048 + 512 * (n - 1)
inline constexpr int kCXRequestLength = 2000;
inline constexpr int kGCRequestLength = 10000;
inline constexpr int kEndTwRequestLength = 10000;
inline constexpr int kFCRequestLength = 10000;
inline constexpr int kZCRequestLength = 30000;
inline constexpr int kSQLRequestLength = 30000;

}  // namespace twds::layout

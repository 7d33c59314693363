#pragma once

#include <cstdint>
#include <string_view>

#include "twds/FieldList.h"
#include "twds/PageLabels.h"

namespace twds {

// The numbers that the decoders keep for the Display command's next requests
// and for the export.
struct KeptNumbers {
    std::int16_t fileCount = 0;     // GC "Nbr of FC"
    std::int32_t endOffset = 0;     // GC "END_TW Offset"
    std::int32_t endLength = 0;     // GC "END_TW length"
    std::int16_t zcCount = 0;       // FC "Number of ZC"
    std::int32_t insertOffset = 0;  // FC "Offset of Insert"
};

// The page decoders. Each walks its page's fixed-width fields in layout
// order and appends one row per field to the list it is given.
//
// `page` is consumed from the front: on return it holds what follows the last
// field read. It views the caller's buffer, which must outlive the call.
// A decoder throws DecodeStop when a row's key is already in the list, a kept
// number lies outside its integer range, or an SQL length is negative.
class PageDecoder {
public:
    PageDecoder(const PageLabels& labels, KeptNumbers& kept);

    void decodeCx(FieldList& list, std::string_view& page);
    void decodeGc(FieldList& list, std::string_view& page, std::string_view keySuffix);
    void decodeFc(FieldList& list, std::string_view& page, std::string_view keySuffix,
                  bool firstEntry);
    void decodeZc(FieldList& list, std::string_view& page, std::string_view keySuffix,
                  bool firstEntry, const std::int16_t& nbrOfZC);
    void decodeSql(FieldList& list, std::string_view& page, std::string_view keySuffix,
                   bool firstEntry);
    void decodeTextBlock(FieldList& list, std::string_view& page, std::string_view keySuffix);

private:
    // Adds the two columns when the list has none, then removes its rows
    // when clearRows is set.
    void prepareList(FieldList& list, bool clearRows, int dataColumnWidth) const;
    // The row that opens a file's rows: "File N° :" and the file's FicID.
    void appendEntryHeading(FieldList& list, std::string_view keySuffix) const;

    const PageLabels& labels_;
    KeptNumbers& kept_;
};

}  // namespace twds

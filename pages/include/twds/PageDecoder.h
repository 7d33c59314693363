#pragma once

#include <cstdint>
#include <string_view>

#include "twds/FieldList.h"
#include "twds/PageLabels.h"

namespace twds {

// The numbers that the decoders keep for the Display command's next requests
// and for the export.
struct KeptNumbers {
    std::int16_t iNbrOfFC = 0;       // GC "Nbr of FC"
    std::int32_t lEndOffset = 0;     // GC "END_TW Offset"
    std::int32_t lEndLength = 0;     // GC "END_TW length"
    std::int16_t iNbrOfZC = 0;       // FC "Number of ZC"
    std::int32_t lInsertOffset = 0;  // FC "Offset of Insert"
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

    void DecodePageCX(FieldList& list, std::string_view& page);
    void DecodePageGC(FieldList& list, std::string_view& page, std::string_view keySuffix);
    void DecodePageFC(FieldList& list, std::string_view& page, std::string_view keySuffix,
                      bool firstEntry);
    void DecodePageZC(FieldList& list, std::string_view& page, std::string_view keySuffix,
                      bool firstEntry, const std::int16_t& nbrOfZC);
    void DecodePageSQL(FieldList& list, std::string_view& page, std::string_view keySuffix,
                       bool firstEntry);
    void DecodeReadableBlock(FieldList& list, std::string_view& page, std::string_view keySuffix);

private:
    // Adds the two columns when the list has none, then removes its rows
    // when clearRows is set.
    void PrepareList(FieldList& list, bool clearRows, int dataColumnWidth) const;
    // The row that opens a file's rows: "File N° :" and the file's FicID.
    void AppendEntryHeading(FieldList& list, std::string_view keySuffix) const;

    const PageLabels& labels_;
    KeptNumbers& kept_;
};

}  // namespace twds

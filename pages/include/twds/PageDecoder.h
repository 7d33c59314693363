#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_set>

#include "twds/FieldList.h"
#include "twds/PageLabels.h"
#include "twds/Problem.h"

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
// A decoder never stops on what it reads. A row whose key is already in the
// list is shown all the same (its key made unique by a suffix nobody sees), a
// kept number outside its integer range is read as the nearest value in
// range, a negative SQL length gives an empty statement; each such anomaly,
// and the others the decoders can tell, goes to `problems` when given, with
// the row it concerns (its file is the caller's to fill in).
class PageDecoder {
public:
    PageDecoder(const PageLabels& labels, KeptNumbers& kept, ProblemList* problems = nullptr);

    // While set, rows whose keys repeat earlier rows' are not reported one by
    // one: the caller has reported why (a FicID repeated or blank).
    void setRepeatsExplained(bool explained) { repeatsExplained_ = explained; }

    void decodeCx(FieldList& list, std::string_view& page);
    void decodeGc(FieldList& list, std::string_view& page, std::string_view keySuffix);
    void decodeFc(FieldList& list, std::string_view& page, std::string_view keySuffix,
                  bool firstEntry);
    void decodeZc(FieldList& list, std::string_view& page, std::string_view keySuffix,
                  bool firstEntry, const std::int16_t& nbrOfZC);
    void decodeSql(FieldList& list, std::string_view& page, std::string_view keySuffix,
                   bool firstEntry);
    void decodeTextBlock(FieldList& list, std::string_view& page, std::string_view keySuffix);
    // The same for the GC and FC decoders, whose list is that of `kind`.
    void decodeTextBlock(FieldList& list, char kind, std::string_view& page,
                         std::string_view keySuffix);

private:
    // Adds the two columns when the list has none, then removes its rows
    // when clearRows is set.
    void prepareList(FieldList& list, bool clearRows, int dataColumnWidth) const;
    // The row that opens a file's rows: "File N° :" and the file's FicID.
    void appendEntryHeading(FieldList& list, char kind, std::string_view keySuffix);

    struct Place;
    // Appends a row; one whose key is already in the list is reported (once
    // per label of a list) and appended under a key of its own.
    void append(FieldList& list, char kind, FieldList::LabelId label, FieldList::SuffixId suffix,
                std::uint32_t entry, std::string_view value);
    // Takes one field of `fields` from the page as its row.
    std::string_view takeField(const Place& place, std::string_view& page, int catalogueId,
                               std::string_view fixedLabel, int width);
    template <typename Fields>
    void takeFields(const Place& place, std::string_view& page, const Fields& fields);
    // The checks of a field read as a number, on the list's last row.
    template <typename Int>
    Int keep(const Place& place, std::string_view text, int bits);
    Problem* report(Severity severity, char kind, const FieldList& list, std::size_t row,
                    int messageId, std::string first = {}, std::string second = {},
                    std::string third = {});

    const PageLabels& labels_;
    KeptNumbers& kept_;
    ProblemList* problems_;
    bool repeatsExplained_ = false;
    // Suffixes given to rows whose keys were taken, numbered through the run.
    std::uint32_t repeats_ = 0;
    // What was reported once per run: labels with repeated keys (by list and
    // label id) and catalogue ids without a text.
    std::unordered_set<std::uint64_t> reportedRepeats_;
    std::unordered_set<int> reportedMissingLabels_;
};

}  // namespace twds

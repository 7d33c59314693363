#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <set>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace twds::detail {

// Tells whether a row's key is new from the parts the key is made of: its
// label's key part, its key suffix and its entry number in decimal. Two rows
// with the same parts have the same key; the converse does not hold in
// general ("AB" + "C" and "A" + "BC"), so the index also watches for what
// could make different parts spell the same key:
//
//  - a key part used with key suffixes of two lengths;
//  - a key part P that begins another one, P + X, and a suffix used with P
//    that could continue into X (it begins with X, or X begins with it and
//    goes on in digits that an entry number could spell).
//
// While none of that has happened, keys are equal exactly when their parts
// are, and rows of one key part and suffix come with rising entry numbers
// (as the decoders append them), so a row is new when its entry is above the
// last one of its (key part, suffix) pair. The pairs are kept by suffix, so
// a list of millions of rows is checked without touching a table of
// millions of keys. Once the index cannot tell,
// it says so for every row until it is cleared, and the list checks whole
// keys instead.
class KeyPartsIndex {
public:
    using PartId = std::uint32_t;
    using SuffixId = std::uint32_t;

    // The id of the key part with these bytes. `text` must stay valid and
    // unchanged until clear().
    [[nodiscard]] PartId intern(std::string_view text);

    // True when a row with these parts certainly has a key that no row
    // accepted before has; the row is then counted as accepted. False when
    // the index cannot tell, from then on for every row. `suffixText` must
    // stay valid and unchanged until clear().
    [[nodiscard]] bool isNew(PartId part, SuffixId suffix, std::string_view suffixText,
                             std::uint32_t entry);

    // False once the index has stopped telling.
    [[nodiscard]] bool exact() const { return exact_; }

    void clear();

private:
    static constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

    struct Part {
        std::string_view text;
        std::size_t suffixLength = kNoLength;  // of its rows' suffixes, once it has rows
        std::string_view firstSuffix;          // of its first row
        bool severalSuffixes = false;
        std::vector<PartId> longer;  // the key parts that begin with this one
    };
    static constexpr std::size_t kNoLength = std::numeric_limits<std::size_t>::max();

    // The key parts that have rows with a suffix, each with its last entry
    // number: one small open-addressing table per suffix, indexed by the
    // suffix id. A page's rows share their suffix, so checking them stays
    // within one table of a few cache lines, whatever the list's size.
    // Hand-written: std::unordered_map would allocate a node per pair.
    struct PairSlot {
        PartId part = kNone;
        std::uint32_t lastEntry = 0;
    };
    struct SuffixPairs {
        std::vector<PairSlot> slots;  // empty, or a power of two in size
        std::size_t count = 0;
    };

    bool lose();
    [[nodiscard]] bool firstRowOfPair(Part& part, std::string_view suffixText);
    [[nodiscard]] static std::size_t findSlot(const std::vector<PairSlot>& slots, PartId part);
    static void grow(SuffixPairs& pairs);

    bool exact_ = true;
    std::vector<Part> parts_;
    std::unordered_map<std::string_view, PartId> byText_;
    // For finding the key parts related to a new one by a prefix: the texts
    // in order (those beginning with a text follow it), and their lengths.
    std::set<std::string_view> sortedTexts_;
    std::set<std::size_t> lengths_;

    std::vector<SuffixPairs> bySuffix_;
};

}  // namespace twds::detail

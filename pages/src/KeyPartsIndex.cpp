#include "KeyPartsIndex.h"

#include <algorithm>

#include "HashMix.h"
#include "twds/Ascii.h"

namespace twds::detail {

namespace {

constexpr std::size_t kInitialPairSlots = 16;  // a power of two

// Whether a key suffix after the key part P could go on into X, the rest of
// a longer key part P + X: then "P" + suffix + entry and "P + X" + another
// suffix + entry might spell the same key.
bool SuffixMayReachInto(std::string_view suffix, std::string_view rest) {
    if (suffix.size() >= rest.size()) {
        return suffix.starts_with(rest);
    }
    // The entry number's digits would have to spell the rest of X.
    const std::string_view digits = rest.substr(suffix.size());
    return rest.starts_with(suffix) && digits.front() != '0' && AllAsciiDigits(digits);
}

}  // namespace

KeyPartsIndex::PartId KeyPartsIndex::intern(std::string_view text) {
    if (const auto found = byText_.find(text); found != byText_.end()) {
        return found->second;
    }
    const auto id = static_cast<PartId>(parts_.size());
    parts_.push_back(Part{text, kNoLength, {}, false, {}});
    byText_.emplace(text, id);
    if (!exact_) {
        return id;
    }

    // Shorter key parts that this one begins with. The decoders intern a
    // label when they reach its field, so a shorter one may have a row
    // already ("Repair" before "Repaired"): its suffix is checked now. One
    // with rows of several suffixes is not, the index keeps no list of them.
    for (const std::size_t length : lengths_) {
        if (length >= text.size()) {
            break;
        }
        if (const auto shorter = byText_.find(text.substr(0, length)); shorter != byText_.end()) {
            Part& part = parts_[shorter->second];
            if (part.suffixLength != kNoLength &&
                (part.severalSuffixes ||
                 SuffixMayReachInto(part.firstSuffix, text.substr(length)))) {
                lose();
                return id;
            }
            part.longer.push_back(id);
        }
    }
    // Longer key parts that begin with this one.
    for (auto it = sortedTexts_.upper_bound(text);
         it != sortedTexts_.end() && it->starts_with(text); ++it) {
        parts_[id].longer.push_back(byText_.at(*it));
    }
    sortedTexts_.insert(text);
    lengths_.insert(text.size());
    return id;
}

bool KeyPartsIndex::isNew(PartId part, SuffixId suffix, std::string_view suffixText,
                          std::uint32_t entry) {
    if (!exact_) {
        return false;
    }
    if (suffix >= bySuffix_.size()) {
        bySuffix_.resize(std::size_t{suffix} + 1);
    }
    SuffixPairs& pairs = bySuffix_[suffix];
    if (pairs.slots.empty()) {
        pairs.slots.resize(kInitialPairSlots);
    }
    PairSlot& slot = pairs.slots[findSlot(pairs.slots, part)];
    if (slot.part != kNone) {
        if (entry <= slot.lastEntry) {
            // A repeated or falling entry: perhaps a duplicate key, perhaps
            // not; the whole keys will tell.
            return lose();
        }
        slot.lastEntry = entry;
        return true;
    }

    if (!firstRowOfPair(parts_[part], suffixText)) {
        return lose();
    }
    slot = PairSlot{part, entry};
    if (++pairs.count * 4 > pairs.slots.size() * 3) {
        grow(pairs);
    }
    return true;
}

bool KeyPartsIndex::firstRowOfPair(Part& part, std::string_view suffixText) {
    if (part.suffixLength == kNoLength) {
        part.suffixLength = suffixText.size();
        part.firstSuffix = suffixText;
    } else if (part.suffixLength != suffixText.size()) {
        return false;
    } else {
        part.severalSuffixes = true;
    }
    return std::none_of(part.longer.begin(), part.longer.end(), [&](PartId longer) {
        return SuffixMayReachInto(suffixText, parts_[longer].text.substr(part.text.size()));
    });
}

std::size_t KeyPartsIndex::findSlot(const std::vector<PairSlot>& slots, PartId part) {
    const std::size_t mask = slots.size() - 1;
    std::size_t i = MixHash(part) & mask;
    while (slots[i].part != kNone && slots[i].part != part) {
        i = (i + 1) & mask;
    }
    return i;
}

void KeyPartsIndex::grow(SuffixPairs& pairs) {
    std::vector<PairSlot> old(pairs.slots.size() * 2);
    old.swap(pairs.slots);
    for (const PairSlot& slot : old) {
        if (slot.part != kNone) {
            pairs.slots[findSlot(pairs.slots, slot.part)] = slot;
        }
    }
}

bool KeyPartsIndex::lose() {
    exact_ = false;
    // Nothing of it is read again until clear().
    std::vector<SuffixPairs>().swap(bySuffix_);
    sortedTexts_.clear();
    return false;
}

void KeyPartsIndex::clear() {
    exact_ = true;
    parts_.clear();
    byText_.clear();
    sortedTexts_.clear();
    lengths_.clear();
    std::vector<SuffixPairs>().swap(bySuffix_);
}

}  // namespace twds::detail

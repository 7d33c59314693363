#include "KeyPartsIndex.h"

#include <algorithm>

#include "HashMix.h"

namespace twds::detail {

namespace {

constexpr std::size_t kInitialPairSlots = 256;  // a power of two

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whether a key suffix after the key part P could go on into X, the rest of
// a longer key part P + X: then "P" + suffix + entry and "P + X" + another
// suffix + entry might spell the same key.
bool SuffixMayReachInto(std::string_view suffix, std::string_view rest) {
    if (suffix.size() >= rest.size()) {
        return suffix.starts_with(rest);
    }
    // The entry number's digits would have to spell the rest of X.
    const std::string_view digits = rest.substr(suffix.size());
    return rest.starts_with(suffix) && digits.front() != '0' &&
           std::all_of(digits.begin(), digits.end(), IsDigit);
}

std::size_t PairHash(KeyPartsIndex::PartId part, KeyPartsIndex::SuffixId suffix) {
    return MixHash((std::uint64_t{part} << 32) | suffix);
}

}  // namespace

KeyPartsIndex::KeyPartsIndex() : pairs_(kInitialPairSlots) {}

KeyPartsIndex::PartId KeyPartsIndex::Intern(std::string_view text) {
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
                Lose();
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

bool KeyPartsIndex::IsNew(PartId part, SuffixId suffix, std::string_view suffixText,
                          std::uint32_t entry) {
    if (!exact_) {
        return false;
    }
    CachedPair& cached = cache_[PairHash(part, suffix) & (kCacheSize - 1)];
    if (cached.part != part || cached.suffix != suffix) {
        cached = {part, suffix, FindSlot(part, suffix)};
    }
    PairSlot& slot = pairs_[cached.slot];
    if (slot.part != kNone) {
        if (entry <= slot.lastEntry) {
            // A repeated or falling entry: perhaps a duplicate key, perhaps
            // not; the whole keys will tell.
            return Lose();
        }
        slot.lastEntry = entry;
        return true;
    }

    if (!FirstRowOfPair(parts_[part], suffixText)) {
        return Lose();
    }
    slot = PairSlot{part, suffix, entry};
    if (++pairCount_ * 4 > pairs_.size() * 3) {
        GrowPairs();
    }
    return true;
}

bool KeyPartsIndex::FirstRowOfPair(Part& part, std::string_view suffixText) {
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

std::size_t KeyPartsIndex::FindSlot(PartId part, SuffixId suffix) const {
    const std::size_t mask = pairs_.size() - 1;
    std::size_t i = PairHash(part, suffix) & mask;
    while (pairs_[i].part != kNone && (pairs_[i].part != part || pairs_[i].suffix != suffix)) {
        i = (i + 1) & mask;
    }
    return i;
}

void KeyPartsIndex::GrowPairs() {
    std::vector<PairSlot> old(pairs_.size() * 2);
    old.swap(pairs_);
    for (const PairSlot& slot : old) {
        if (slot.part != kNone) {
            pairs_[FindSlot(slot.part, slot.suffix)] = slot;
        }
    }
    cache_.fill({});
}

bool KeyPartsIndex::Lose() {
    exact_ = false;
    // Nothing of it is read again until Clear().
    std::vector<PairSlot>().swap(pairs_);
    sortedTexts_.clear();
    return false;
}

void KeyPartsIndex::Clear() {
    exact_ = true;
    parts_.clear();
    byText_.clear();
    sortedTexts_.clear();
    lengths_.clear();
    std::vector<PairSlot>(kInitialPairSlots).swap(pairs_);
    pairCount_ = 0;
    cache_.fill({});
}

}  // namespace twds::detail

#include "twds/FieldList.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <deque>
#include <limits>
#include <stdexcept>
#include <unordered_map>
#include <utility>

#include "HashMix.h"
#include "KeyPartsIndex.h"
#include "RowStorage.h"

namespace twds {

using detail::KeyPartsIndex;
using detail::MixHash;
using detail::RowStore;
using detail::ValueArena;

namespace {

// A row's key is the bytes of its label's key part, its key suffix and its
// entry number in decimal. The key is hashed piece by piece, without building
// it: std::hash needs the whole key in one buffer, so a streaming FNV-1a is
// used instead. Its running state after a label (or a label and a suffix)
// depends on those bytes alone, so it can be kept and continued.
constexpr std::uint64_t kFnvOffset = 14695981039346656037ull;
constexpr std::uint64_t kFnvPrime = 1099511628211ull;

std::uint64_t HashBytes(std::uint64_t state, std::string_view bytes) {
    for (const char c : bytes) {
        state ^= static_cast<unsigned char>(c);
        state *= kFnvPrime;
    }
    return state;
}

// The decimal digits of an entry number; none for 0.
class EntryDigits {
public:
    explicit EntryDigits(std::uint32_t entry) {
        if (entry > 0) {
            size_ = static_cast<std::size_t>(
                std::to_chars(digits_.data(), digits_.data() + digits_.size(), entry).ptr -
                digits_.data());
        }
    }
    [[nodiscard]] std::string_view view() const { return {digits_.data(), size_}; }

private:
    std::array<char, std::numeric_limits<std::uint32_t>::digits10 + 1> digits_{};
    std::size_t size_ = 0;
};

constexpr std::size_t kInitialSlots = 1024;  // a power of two
constexpr std::size_t kCacheSize = 64;       // a power of two
constexpr std::uint32_t kNoId = std::numeric_limits<std::uint32_t>::max();

}  // namespace

struct FieldList::Storage {
    struct Label {
        std::string text;
        std::size_t keyLength;
        std::uint64_t keyState;  // hash state after the key part of text
        KeyPartsIndex::PartId keyPart;
    };
    // Views into Label::text; the deque never moves its elements.
    struct LabelRef {
        std::string_view text;
        std::size_t keyLength;
        bool operator==(const LabelRef&) const = default;
    };
    struct LabelRefHash {
        std::size_t operator()(const LabelRef& ref) const {
            return std::hash<std::string_view>{}(ref.text) ^ ref.keyLength;
        }
    };
    // 16 bytes a row; valueEnd locates the value in the arena.
    struct Row {
        LabelId label;
        SuffixId suffix;
        std::uint32_t entry;
        std::uint32_t valueEnd;
    };
    // Open-addressing table of the rows' keys, linear probing, for lists whose
    // keys the key parts index cannot tell apart. row1 is the row index + 1
    // (0 marks a free slot); tag is the key's 32-bit hash, which also gives
    // the slot, so the table regrows without rehashing any key.
    struct Slot {
        std::uint32_t row1 = 0;
        std::uint32_t tag = 0;
    };
    // Small direct-mapped caches in front of the intern maps: the decoders
    // intern the same few labels (the catalogue's strings, at stable
    // addresses) for every field, so their address is a cheap first guess,
    // confirmed by comparing the bytes.
    struct InternCacheEntry {
        const char* data = nullptr;
        std::size_t size = 0;
        std::size_t keyLength = 0;
        std::uint32_t id = kNoId;
    };
    // The hash state after a label's key part and a suffix, for the ZC rows
    // that repeat the same nine (label, suffix) pairs for every entry.
    struct PairCacheEntry {
        LabelId label = kNoId;
        SuffixId suffix = kNoId;
        std::uint64_t state = 0;
    };

    std::vector<FieldColumn> columns;

    std::deque<Label> labels;
    std::unordered_map<LabelRef, LabelId, LabelRefHash> labelIndex;
    std::deque<std::string> suffixes;
    std::unordered_map<std::string_view, SuffixId> suffixIndex;

    RowStore<Row> rows;
    ValueArena values;
    // Rows are checked by their key parts while that is exact, then by the
    // key table, built from the rows at that moment.
    KeyPartsIndex keyParts;
    bool keyTableActive = false;
    std::vector<Slot> slots;
    std::uint32_t hashMask = std::numeric_limits<std::uint32_t>::max();

    std::array<InternCacheEntry, kCacheSize> labelCache{};
    std::array<InternCacheEntry, kCacheSize> suffixCache{};
    std::array<PairCacheEntry, kCacheSize> pairCache{};

    // Reused buffers for comparing keys whose hashes match.
    std::string scratchStored;
    std::string scratchNew;

    static std::size_t CacheSlot(const char* data, std::size_t size) {
        const auto address = reinterpret_cast<std::uintptr_t>(data);
        return ((address >> 3) ^ (address >> 9) ^ size) & (kCacheSize - 1);
    }

    LabelId InternLabel(std::string_view text, std::size_t keyLength) {
        keyLength = std::min(keyLength, text.size());
        InternCacheEntry& cached = labelCache[CacheSlot(text.data(), text.size())];
        if (cached.id != kNoId && cached.data == text.data() && cached.size == text.size() &&
            cached.keyLength == keyLength && labels[cached.id].text == text) {
            return cached.id;
        }
        LabelId id = 0;
        if (const auto found = labelIndex.find(LabelRef{text, keyLength});
            found != labelIndex.end()) {
            id = found->second;
        } else {
            id = static_cast<LabelId>(labels.size());
            Label& label = labels.emplace_back(Label{
                std::string(text), keyLength, HashBytes(kFnvOffset, text.substr(0, keyLength)), 0});
            label.keyPart = keyParts.intern(std::string_view(label.text).substr(0, keyLength));
            labelIndex.emplace(LabelRef{label.text, keyLength}, id);
        }
        cached = {text.data(), text.size(), keyLength, id};
        return id;
    }

    SuffixId InternSuffix(std::string_view suffix) {
        InternCacheEntry& cached = suffixCache[CacheSlot(suffix.data(), suffix.size())];
        if (cached.id != kNoId && cached.data == suffix.data() && cached.size == suffix.size() &&
            suffixes[cached.id] == suffix) {
            return cached.id;
        }
        SuffixId id = 0;
        if (const auto found = suffixIndex.find(suffix); found != suffixIndex.end()) {
            id = found->second;
        } else {
            id = static_cast<SuffixId>(suffixes.size());
            suffixIndex.emplace(suffixes.emplace_back(suffix), id);
        }
        cached = {suffix.data(), suffix.size(), suffix.size(), id};
        return id;
    }

    void CheckIds(LabelId label, SuffixId suffix) const {
        if (label >= labels.size() || suffix >= suffixes.size()) {
            throw std::out_of_range("FieldList: label or key suffix id not interned in this list");
        }
    }

    std::uint64_t PairState(LabelId label, SuffixId suffix) {
        PairCacheEntry& cached = pairCache[(label * 31u ^ suffix) & (kCacheSize - 1)];
        if (cached.label != label || cached.suffix != suffix) {
            cached = {label, suffix, HashBytes(labels[label].keyState, suffixes[suffix])};
        }
        return cached.state;
    }

    void AppendKey(std::string& out, LabelId label, SuffixId suffix, std::uint32_t entry) const {
        const Label& l = labels[label];
        out.append(l.text, 0, l.keyLength);
        out.append(suffixes[suffix]);
        out.append(EntryDigits(entry).view());
    }

    bool SameKey(const Row& stored, LabelId label, SuffixId suffix, std::uint32_t entry) {
        if (stored.label == label && stored.suffix == suffix && stored.entry == entry) {
            return true;
        }
        scratchStored.clear();
        scratchNew.clear();
        AppendKey(scratchStored, stored.label, stored.suffix, stored.entry);
        AppendKey(scratchNew, label, suffix, entry);
        return scratchStored == scratchNew;
    }

    // Keeps the table's load at or below 3/4, the table size a power of two.
    void EnsureSlotsFor(std::size_t rowCount) {
        std::size_t wanted = std::max(slots.size(), kInitialSlots);
        while (rowCount * 4 > wanted * 3) {
            wanted *= 2;
        }
        if (wanted == slots.size()) {
            return;
        }
        std::vector<Slot> grown(wanted);
        for (const Slot& slot : slots) {
            if (slot.row1 != 0) {
                PlaceInFreeSlot(grown, slot);
            }
        }
        slots = std::move(grown);
    }

    // Puts a key known to be absent into the first free slot of its probe.
    static void PlaceInFreeSlot(std::vector<Slot>& table, Slot slot) {
        const std::size_t mask = table.size() - 1;
        std::size_t i = slot.tag & mask;
        while (table[i].row1 != 0) {
            i = (i + 1) & mask;
        }
        table[i] = slot;
    }

    [[nodiscard]] std::uint32_t KeyTag(LabelId label, SuffixId suffix, std::uint32_t entry) {
        CheckIds(label, suffix);
        return MixHash(HashBytes(PairState(label, suffix), EntryDigits(entry).view())) & hashMask;
    }

    // Inserts the row unless its key is present; the table must have room.
    bool Insert(std::uint32_t tag, LabelId label, SuffixId suffix, std::uint32_t entry,
                std::string_view value) {
        const std::size_t mask = slots.size() - 1;
        std::size_t i = tag & mask;
        while (slots[i].row1 != 0) {
            if (slots[i].tag == tag && SameKey(rows[slots[i].row1 - 1], label, suffix, entry)) {
                return false;
            }
            i = (i + 1) & mask;
        }
        PushRow(label, suffix, entry, value);
        slots[i] = Slot{static_cast<std::uint32_t>(rows.size()), tag};
        return true;
    }

    void PushRow(LabelId label, SuffixId suffix, std::uint32_t entry, std::string_view value) {
        // Row indices and value offsets are 32-bit to keep a row at 16 bytes.
        if (rows.size() >= std::numeric_limits<std::uint32_t>::max() - 1) {
            throw std::length_error("A page list cannot hold more than 4 billion rows.");
        }
        // The row's room first: once the value is in, nothing can fail.
        rows.prepareOne();
        const std::uint32_t valueEnd = values.append(value);
        rows.pushBack(Row{label, suffix, entry, valueEnd});
    }

    // While the key parts tell, a row whose parts are new goes in at once.
    // Returns false when they cannot tell, after building the key table from
    // the rows so far.
    bool AppendedByParts(LabelId label, SuffixId suffix, std::uint32_t entry,
                         std::string_view value) {
        if (keyParts.isNew(labels[label].keyPart, suffix, suffixes[suffix], entry)) {
            PushRow(label, suffix, entry, value);
            return true;
        }
        BuildKeyTable();
        return false;
    }

    // The rows' keys are distinct (the key parts said so), so they go in
    // without comparing any two.
    void BuildKeyTable() {
        keyTableActive = true;
        EnsureSlotsFor(rows.size() + 1);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const Row& row = rows[r];
            PlaceInFreeSlot(slots, Slot{static_cast<std::uint32_t>(r + 1),
                                        KeyTag(row.label, row.suffix, row.entry)});
        }
    }

    bool AppendRow(LabelId label, SuffixId suffix, std::uint32_t entry, std::string_view value) {
        CheckIds(label, suffix);
        if (!keyTableActive && AppendedByParts(label, suffix, entry, value)) {
            return true;
        }
        const std::uint32_t tag = KeyTag(label, suffix, entry);
        EnsureSlotsFor(rows.size() + 1);
        return Insert(tag, label, suffix, entry, value);
    }

    // In a large list nearly every insert misses the cache on its first
    // slot. The batch's first slots are requested together, so that those
    // misses overlap instead of following one another.
    std::size_t AppendRows(std::span<const NewRow> batch) {
        std::size_t added = 0;
        for (; !keyTableActive && added < batch.size(); ++added) {
            const NewRow& row = batch[added];
            CheckIds(row.label, row.suffix);
            if (!AppendedByParts(row.label, row.suffix, row.entry, row.value)) {
                break;
            }
        }
        return added + AppendRowsByKeyTable(batch.subspan(added));
    }

    std::size_t AppendRowsByKeyTable(std::span<const NewRow> batch) {
        constexpr std::size_t kChunk = 16;
        std::array<std::uint32_t, kChunk> tags{};
        std::size_t added = 0;
        while (added < batch.size()) {
            const std::span<const NewRow> chunk =
                batch.subspan(added, std::min(kChunk, batch.size() - added));
            EnsureSlotsFor(rows.size() + chunk.size());
            const std::size_t mask = slots.size() - 1;
            for (std::size_t j = 0; j < chunk.size(); ++j) {
                tags[j] = KeyTag(chunk[j].label, chunk[j].suffix, chunk[j].entry);
#if defined(__GNUC__)
                __builtin_prefetch(&slots[tags[j] & mask]);
#endif
            }
            for (std::size_t j = 0; j < chunk.size(); ++j) {
                const NewRow& row = chunk[j];
                if (!Insert(tags[j], row.label, row.suffix, row.entry, row.value)) {
                    return added;
                }
                ++added;
            }
        }
        return added;
    }

    [[nodiscard]] std::string_view Value(std::size_t row) const {
        const std::uint32_t end = rows.at(row).valueEnd;
        return values.value(row == 0 ? 0 : rows[row - 1].valueEnd, end);
    }

    void ClearRows() {
        rows.clear();
        values.clear();
        keyParts.clear();
        keyTableActive = false;
        std::vector<Slot>().swap(slots);
        labels.clear();
        labelIndex.clear();
        suffixes.clear();
        suffixIndex.clear();
        labelCache.fill({});
        suffixCache.fill({});
        pairCache.fill({});
    }
};

FieldList::FieldList() : storage_(std::make_unique<Storage>()) {}
FieldList::~FieldList() = default;
FieldList::FieldList(FieldList&&) noexcept = default;
FieldList& FieldList::operator=(FieldList&&) noexcept = default;

int FieldList::columnCount() const {
    return static_cast<int>(storage_->columns.size());
}

const FieldColumn& FieldList::column(int index) const {
    return storage_->columns.at(static_cast<std::size_t>(index));
}

void FieldList::addColumn(std::string key, std::string caption, int widthTwips) {
    storage_->columns.push_back(FieldColumn{std::move(key), std::move(caption), widthTwips});
}

std::size_t FieldList::rowCount() const {
    return storage_->rows.size();
}

void FieldList::clearRows() {
    storage_->ClearRows();
}

std::string_view FieldList::text(std::size_t row) const {
    return storage_->labels[storage_->rows.at(row).label].text;
}

std::string_view FieldList::value(std::size_t row) const {
    return storage_->Value(row);
}

std::string FieldList::key(std::size_t row) const {
    const Storage::Row& r = storage_->rows.at(row);
    std::string key;
    storage_->AppendKey(key, r.label, r.suffix, r.entry);
    return key;
}

bool FieldList::appendRow(std::string_view text, std::string_view keySuffix, std::uint32_t entry,
                          std::string_view value) {
    const LabelId label = storage_->InternLabel(text, std::string_view::npos);
    const SuffixId suffix = storage_->InternSuffix(keySuffix);
    return storage_->AppendRow(label, suffix, entry, value);
}

FieldList::LabelId FieldList::internLabel(std::string_view text, std::size_t keyLength) {
    return storage_->InternLabel(text, keyLength);
}

FieldList::LabelId FieldList::labelOf(std::size_t row) const {
    return storage_->rows.at(row).label;
}

FieldList::SuffixId FieldList::internSuffix(std::string_view keySuffix) {
    return storage_->InternSuffix(keySuffix);
}

std::string_view FieldList::labelText(LabelId label) const {
    return storage_->labels.at(label).text;
}

std::string FieldList::keyFor(LabelId label, SuffixId suffix, std::uint32_t entry) const {
    storage_->CheckIds(label, suffix);
    std::string key;
    storage_->AppendKey(key, label, suffix, entry);
    return key;
}

bool FieldList::appendRow(LabelId label, SuffixId suffix, std::uint32_t entry,
                          std::string_view value) {
    return storage_->AppendRow(label, suffix, entry, value);
}

std::size_t FieldList::appendRows(std::span<const NewRow> rows) {
    return storage_->AppendRows(rows);
}

void FieldList::reserve(std::size_t rows) {
    if (storage_->keyTableActive) {
        storage_->EnsureSlotsFor(storage_->rows.size() + rows);
    }
}

bool FieldList::usesKeyTable() const {
    return storage_->keyTableActive;
}

void FieldList::narrowKeyHashForTesting(std::uint32_t mask) {
    storage_->hashMask = mask;
}

}  // namespace twds

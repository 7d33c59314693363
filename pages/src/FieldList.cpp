#include "twds/FieldList.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <deque>
#include <limits>
#include <stdexcept>
#include <unordered_map>
#include <utility>

namespace twds {

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

// FNV's low bits are weak; the table indexes by them, so they are mixed with
// the high ones first (MurmurHash3's 64-bit finaliser).
std::uint32_t FinishHash(std::uint64_t h) {
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ull;
    h ^= h >> 33;
    return static_cast<std::uint32_t>(h);
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

// Rows in fixed blocks: growing never copies a row, and a list of millions
// of rows never holds its rows twice over while it grows, as a vector would.
template <typename Row>
class RowStore {
public:
    [[nodiscard]] std::size_t size() const { return size_; }
    [[nodiscard]] const Row& operator[](std::size_t i) const {
        return blocks_[i >> kBlockBits][i & (kBlockSize - 1)];
    }
    [[nodiscard]] const Row& at(std::size_t i) const {
        if (i >= size_) {
            throw std::out_of_range("FieldList: row index past the last row");
        }
        return (*this)[i];
    }
    // Makes sure that the next pushBack cannot fail.
    void prepareOne() {
        if ((size_ >> kBlockBits) == blocks_.size()) {
            blocks_.push_back(std::make_unique_for_overwrite<Row[]>(kBlockSize));
        }
    }
    void pushBack(const Row& row) noexcept {
        blocks_[size_ >> kBlockBits][size_ & (kBlockSize - 1)] = row;
        ++size_;
    }
    // Keeps the blocks for the next rows.
    void clear() { size_ = 0; }

private:
    static constexpr std::size_t kBlockBits = 15;
    static constexpr std::size_t kBlockSize = std::size_t{1} << kBlockBits;
    std::vector<std::unique_ptr<Row[]>> blocks_;
    std::size_t size_ = 0;
};

// The rows' value bytes, back to back in row order, in fixed chunks for the
// same reason as RowStore. Offsets are 32-bit, counted as if the chunks
// stood one after the other. A value never straddles two chunks: one that
// does not fit in the rest of the current chunk starts the next one. So a
// row needs only the offset of its value's end: its value starts where the
// previous row's ended, or at the start of the chunk holding its end.
class ValueArena {
public:
    static constexpr std::size_t kChunkBits = 20;
    static constexpr std::size_t kChunkSize = std::size_t{1} << kChunkBits;

    // Copies the value in and returns the offset of its end.
    std::uint32_t append(std::string_view value) {
        if (value.size() > kChunkSize) {
            throw std::length_error("A field value longer than 1 MiB cannot be kept in a list.");
        }
        std::uint64_t begin = end_;
        if ((begin & (kChunkSize - 1)) + value.size() > kChunkSize) {
            begin = (begin | (kChunkSize - 1)) + 1;
        }
        const std::uint64_t end = begin + value.size();
        if (end > std::numeric_limits<std::uint32_t>::max()) {
            throw std::length_error("A page list cannot hold more than 4 GiB of field values.");
        }
        if (!value.empty()) {
            const std::size_t chunk = begin >> kChunkBits;
            while (chunks_.size() <= chunk) {
                chunks_.push_back(std::make_unique_for_overwrite<char[]>(kChunkSize));
            }
            std::copy(value.begin(), value.end(),
                      chunks_[chunk].get() + (begin & (kChunkSize - 1)));
        }
        end_ = end;
        return static_cast<std::uint32_t>(end);
    }

    // The value that ends at `end`, the previous one having ended at
    // `previousEnd`.
    [[nodiscard]] std::string_view value(std::uint32_t previousEnd, std::uint32_t end) const {
        if (end == previousEnd) {
            return {};
        }
        const std::uint32_t chunkStart = (end - 1) & ~static_cast<std::uint32_t>(kChunkSize - 1);
        const std::uint32_t begin = std::max(previousEnd, chunkStart);
        return {chunks_[begin >> kChunkBits].get() + (begin & (kChunkSize - 1)), end - begin};
    }

    // Keeps the chunks for the next values.
    void clear() { end_ = 0; }

private:
    std::vector<std::unique_ptr<char[]>> chunks_;
    std::uint64_t end_ = 0;
};

}  // namespace

struct FieldList::Storage {
    struct Label {
        std::string text;
        std::size_t keyLength;
        std::uint64_t keyState;  // hash state after the key part of text
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
    // Open-addressing table of the rows' keys, linear probing. row1 is the
    // row index + 1 (0 marks a free slot); tag is the key's 32-bit hash, which
    // also gives the slot, so the table regrows without rehashing any key.
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
    std::vector<Slot> slots = std::vector<Slot>(kInitialSlots);
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
            const Label& label = labels.emplace_back(Label{
                std::string(text), keyLength, HashBytes(kFnvOffset, text.substr(0, keyLength))});
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
        std::size_t wanted = slots.size();
        while (rowCount * 4 > wanted * 3) {
            wanted *= 2;
        }
        if (wanted == slots.size()) {
            return;
        }
        std::vector<Slot> grown(wanted);
        const std::size_t mask = wanted - 1;
        for (const Slot& slot : slots) {
            if (slot.row1 == 0) {
                continue;
            }
            std::size_t i = slot.tag & mask;
            while (grown[i].row1 != 0) {
                i = (i + 1) & mask;
            }
            grown[i] = slot;
        }
        slots = std::move(grown);
    }

    [[nodiscard]] std::uint32_t KeyTag(LabelId label, SuffixId suffix, std::uint32_t entry) {
        CheckIds(label, suffix);
        return FinishHash(HashBytes(PairState(label, suffix), EntryDigits(entry).view())) &
               hashMask;
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

        // Row indices and value offsets are 32-bit to keep a row at 16 bytes.
        if (rows.size() >= std::numeric_limits<std::uint32_t>::max() - 1) {
            throw std::length_error("A page list cannot hold more than 4 billion rows.");
        }
        // The row's room first: once the value is in, nothing can fail.
        rows.prepareOne();
        const std::uint32_t valueEnd = values.append(value);
        rows.pushBack(Row{label, suffix, entry, valueEnd});
        slots[i] = Slot{static_cast<std::uint32_t>(rows.size()), tag};
        return true;
    }

    bool AppendRow(LabelId label, SuffixId suffix, std::uint32_t entry, std::string_view value) {
        const std::uint32_t tag = KeyTag(label, suffix, entry);
        EnsureSlotsFor(rows.size() + 1);
        return Insert(tag, label, suffix, entry, value);
    }

    // In a large list nearly every insert misses the cache on its first
    // slot. The batch's first slots are requested together, so that those
    // misses overlap instead of following one another.
    std::size_t AppendRows(std::span<const NewRow> batch) {
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
        std::fill(slots.begin(), slots.end(), Slot{});
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
    storage_->EnsureSlotsFor(storage_->rows.size() + rows);
}

void FieldList::narrowKeyHashForTesting(std::uint32_t mask) {
    storage_->hashMask = mask;
}

}  // namespace twds

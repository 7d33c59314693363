#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <vector>

// The containers behind a FieldList: its rows and their values' bytes.
namespace twds::detail {

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

}  // namespace twds::detail

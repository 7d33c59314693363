#include "twds/PageArena.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace twds {

namespace {

constexpr std::size_t kChunkSize = std::size_t{4} << 20;
constexpr std::size_t kHugePage = std::size_t{2} << 20;

}  // namespace

void PageArena::nextChunk(std::size_t atLeast) {
    if (!chunks_.empty()) {
        ++current_;
    }
    used_ = 0;
    if (current_ < chunks_.size() && chunks_[current_].size >= atLeast) {
        return;
    }
    Chunk chunk;
    chunk.size = std::max(kChunkSize, atLeast);
    // Over-allocated by a huge page so that the chunk can start on one; the
    // slack is never touched, so it takes no memory.
    chunk.allocation = std::make_unique_for_overwrite<char[]>(chunk.size + kHugePage);
    const auto address = reinterpret_cast<std::uintptr_t>(chunk.allocation.get());
    chunk.begin = chunk.allocation.get() + ((kHugePage - address % kHugePage) % kHugePage);
#ifdef __linux__
    // A hint: where the system offers no huge pages the chunk is as any other.
    madvise(chunk.begin, chunk.size, MADV_HUGEPAGE);
#endif
    chunks_.insert(chunks_.begin() + static_cast<std::ptrdiff_t>(current_), std::move(chunk));
}

std::string_view PageArena::store(std::string_view bytes) {
    if (bytes.empty()) {
        return {};
    }
    if (chunks_.empty() || chunks_[current_].size - used_ < bytes.size()) {
        nextChunk(bytes.size());
    }
    char* start = chunks_[current_].begin + used_;
    std::memcpy(start, bytes.data(), bytes.size());
    used_ += bytes.size();
    return {start, bytes.size()};
}

void PageArena::clear() {
    current_ = 0;
    used_ = 0;
}

}  // namespace twds

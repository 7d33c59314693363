#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace twds {

// Where a Display keeps the texts of the pages it fetched: chunks of 4 MiB
// that the texts are copied into one after another. On Linux the chunks are
// aligned to 2 MiB and offered to the system for huge pages: filling 10 MB
// of fresh 4 KiB pages took 35 ms on the development machine, a fault per
// page, and 5 ms in huge pages. That was most of what keeping the pages
// added to a first Display of M.
class PageArena {
public:
    PageArena() = default;
    PageArena(const PageArena&) = delete;
    PageArena& operator=(const PageArena&) = delete;

    // A copy of `bytes`, valid until clear() or the arena's end.
    [[nodiscard]] std::string_view store(std::string_view bytes);
    // Forgets every text; the chunks stay, for the next Display to fill
    // without faulting their memory in again.
    void clear();
    // Exchanges the texts (and chunks) of two arenas; views stay valid.
    void swap(PageArena& other) noexcept {
        chunks_.swap(other.chunks_);
        std::swap(current_, other.current_);
        std::swap(used_, other.used_);
    }

private:
    struct Chunk {
        std::unique_ptr<char[]> allocation;
        char* begin = nullptr;  // aligned
        std::size_t size = 0;
    };
    void nextChunk(std::size_t atLeast);

    std::vector<Chunk> chunks_;
    std::size_t current_ = 0;  // the chunk being filled, when there is one
    std::size_t used_ = 0;     // bytes of it filled
};

}  // namespace twds

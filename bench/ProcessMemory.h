#pragma once

#include <cstddef>

namespace twds::bench {

// The process's peak resident set so far (VmHWM), in bytes.
[[nodiscard]] std::size_t PeakResidentBytes();
// Its resident set now (VmRSS), in bytes.
[[nodiscard]] std::size_t ResidentBytes();
// Bytes the allocator has handed out and not yet taken back (malloc's
// in-use total): what the program's own data holds, without the pages the
// allocator keeps cached.
[[nodiscard]] std::size_t HeapInUseBytes();

inline constexpr double kMiB = 1024.0 * 1024.0;

}  // namespace twds::bench

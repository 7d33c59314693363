#pragma once

#include <cstdint>

namespace twds::detail {

// Spreads every bit of h over the low 32 bits, which the lists' hash tables
// index by (MurmurHash3's 64-bit finaliser).
inline std::uint32_t MixHash(std::uint64_t h) {
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ull;
    h ^= h >> 33;
    return static_cast<std::uint32_t>(h);
}

}  // namespace twds::detail

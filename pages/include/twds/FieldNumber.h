#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace twds {

// The numeric reading of a field's characters, for the few counts and
// offsets that steer the next page requests. It is lenient the way the
// engine's own tools are:
//  - spaces, tabs and line feeds are skipped wherever they stand ("1 2" is 12);
//  - the longest leading decimal number is taken: optional sign, digits,
//    optional decimal point and fraction, optional exponent introduced by E
//    or D with optional sign ("1E3" is 1000, "1D2" is 100); an E without
//    digits ends the number before it;
//  - "&H" or "&O" (either case) introduce hexadecimal or octal digits: up to
//    4 hex digits, or up to 6 octal digits worth at most 0xFFFF, are a 16-bit
//    pattern ("&HFFFF" is -1); up to 8 hex digits, or octal worth at most
//    0xFFFFFFFF, a 32-bit pattern ("&HFFFFFFFF" is -1); beyond that the text
//    is out of range;
//  - a text without such a number reads 0.
// The reading is rounded to the nearest integer, a half going to the even
// neighbour (2.5 is 2, 3.5 is 4), and must fit the target integer.
// std::nullopt means out of range (also for "1E400").

[[nodiscard]] std::optional<std::int16_t> FieldNumber16(std::string_view text);
[[nodiscard]] std::optional<std::int32_t> FieldNumber32(std::string_view text);

// The 32-bit fields are read after Trim (twds/Trim.h, spaces only), the
// 16-bit counts as they stand.

}  // namespace twds

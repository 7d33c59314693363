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

// The reading of a kept number as the Display uses it: the field number, or,
// when that lies outside the integer's range (or has no value, as "1E400"),
// the nearest value in range, with `clamped` set.
template <typename Int>
struct FieldReading {
    Int value = 0;
    bool clamped = false;
};
[[nodiscard]] FieldReading<std::int16_t> ReadField16(std::string_view text);
[[nodiscard]] FieldReading<std::int32_t> ReadField32(std::string_view text);

// What a number field's text holds besides plain digits, blanks around them
// allowed: the first thing that makes the reading differ from what the digits
// alone say. Digits for the common case.
enum class NumberText : std::uint8_t {
    Digits,
    Blank,        // nothing but blanks: reads 0
    Sign,         // "+" or "-"
    Decimals,     // a decimal point
    Exponent,     // "E" or "D" after a digit
    Hexadecimal,  // "&H"
    Octal,        // "&O"
    InnerBlanks,  // blanks between digits, skipped
    Other,        // letters or other characters: reading stops there
};
[[nodiscard]] NumberText ClassifyNumberText(std::string_view text);

// The 32-bit fields are read after Trim (twds/Trim.h, spaces only), the
// 16-bit counts as they stand.

}  // namespace twds

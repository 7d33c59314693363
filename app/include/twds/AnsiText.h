#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "twds/Trim.h"

namespace twds {

// Text helpers for the single-byte Windows-1252 texts of the input boxes and
// the host link. Trimming is Trim (Trim.h): spaces only, as the
// engine's own trimming does; tabs, NULs and other control bytes are data.

// Upper case as the Windows-1252 ANSI code page defines it: a-z, the accented
// small letters 0xE0-0xFE (but 0xF7, the division sign), and the four small
// letters outside that range (0x9A, 0x9C, 0x9E, 0xFF). Every other byte stays.
// std::toupper depends on the process locale, which is neither fixed nor
// Windows-1252 here; the code page's mapping is small enough to spell out.
[[nodiscard]] constexpr char UpperCaseAnsi(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'a' && byte <= 'z') || (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7)) {
        return static_cast<char>(byte - 0x20);
    }
    switch (byte) {
        case 0x9A:  // s caron
        case 0x9C:  // oe ligature
        case 0x9E:  // z caron
            return static_cast<char>(byte - 0x10);
        case 0xFF:  // y diaeresis
            return static_cast<char>(0x9F);
        default:
            return c;
    }
}
[[nodiscard]] std::string UpperCaseAnsi(std::string_view text);

// A page position as the request carries it: "00000000" followed by the
// decimal number, of which the rightmost eight characters are kept.
[[nodiscard]] std::string FormatPagePosition(std::int64_t position);

}  // namespace twds

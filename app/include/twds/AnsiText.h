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
[[nodiscard]] std::string UpperCaseAnsi(std::string_view text);

// A page position as the request carries it: "00000000" followed by the
// decimal number, of which the rightmost eight characters are kept.
[[nodiscard]] std::string FormatPagePosition(std::int64_t position);

}  // namespace twds

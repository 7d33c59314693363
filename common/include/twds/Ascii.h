#pragma once

#include <algorithm>
#include <string_view>

namespace twds {

// Decimal digits as the engine writes them: '0' to '9' only. std::isdigit
// wants an unsigned char and a C locale; page bytes above 127 are plain
// chars here.
[[nodiscard]] inline bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

// True when text is not empty and holds digits alone.
[[nodiscard]] inline bool AllAsciiDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), IsAsciiDigit);
}

}  // namespace twds

#include "twds/AnsiText.h"

#include <algorithm>

namespace twds {

namespace {

// std::toupper depends on the process locale, which is neither fixed nor
// Windows-1252 here; the code page's mapping is small enough to spell out.
char UpperCaseAnsiByte(char c) {
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

}  // namespace

std::string UpperCaseAnsi(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), UpperCaseAnsiByte);
    return upper;
}

std::string FormatPagePosition(std::int64_t position) {
    const std::string padded = "00000000" + std::to_string(position);
    return padded.substr(padded.size() - 8);
}

}  // namespace twds

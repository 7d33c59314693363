#include "QuoteBytes.h"

#include <array>

namespace twds {

std::string QuoteBytes(std::string_view bytes, std::size_t maxBytes) {
    static constexpr std::array<char, 16> kHex = {'0', '1', '2', '3', '4', '5', '6', '7',
                                                  '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};
    std::string quoted = "\"";
    const std::size_t shown = bytes.size() < maxBytes ? bytes.size() : maxBytes;
    for (std::size_t i = 0; i < shown; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte >= 0x20 && byte < 0x7F && byte != '"' && byte != '\\') {
            quoted += static_cast<char>(byte);
        } else {
            quoted += "\\x";
            quoted += kHex[byte >> 4];
            quoted += kHex[byte & 0x0F];
        }
    }
    quoted += '"';
    if (shown < bytes.size()) {
        quoted += "...";
    }
    return quoted;
}

}  // namespace twds

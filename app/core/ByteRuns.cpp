#include "twds/ByteRuns.h"

#include <algorithm>
#include <array>

namespace twds {

namespace {

// The ASCII names of the control characters 0x00-0x1F.
constexpr std::array<std::string_view, 32> kControlNames{
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL",  // 0x00
    "BS",  "TAB", "LF",  "VT",  "FF",  "CR",  "SO",  "SI",   // 0x08
    "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB",  // 0x10
    "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US",   // 0x18
};

}  // namespace

std::string_view ByteMnemonic(unsigned char byte) {
    if (byte < kControlNames.size()) {
        return kControlNames[byte];
    }
    switch (byte) {
        case 0x7F:
            return "DEL";
        case 0x81:
            return "81";
        case 0x8D:
            return "8D";
        case 0x8F:
            return "8F";
        case 0x90:
            return "90";
        case 0x9D:
            return "9D";
        default:
            return {};
    }
}

std::vector<ByteRun> SplitByteRuns(std::string_view bytes, TrailingBlanks blanks,
                                   std::size_t limit) {
    std::size_t blanksFrom = bytes.size();
    if (blanks == TrailingBlanks::Marked) {
        const std::size_t last = bytes.find_last_not_of(' ');
        blanksFrom = last == std::string_view::npos ? 0 : last + 1;
    }
    const std::size_t end = std::min(bytes.size(), limit);

    std::vector<ByteRun> runs;
    std::size_t textFrom = 0;
    const auto closeText = [&](std::size_t at) {
        if (at > textFrom) {
            runs.push_back({ByteRun::Kind::Text, textFrom, at - textFrom, {}});
        }
    };
    for (std::size_t i = 0; i < std::min(end, blanksFrom); ++i) {
        const std::string_view mnemonic = ByteMnemonic(static_cast<unsigned char>(bytes[i]));
        if (!mnemonic.empty()) {
            closeText(i);
            runs.push_back({ByteRun::Kind::Marked, i, 1, mnemonic});
            textFrom = i + 1;
        }
    }
    closeText(std::min(end, blanksFrom));
    if (end > blanksFrom) {
        runs.push_back({ByteRun::Kind::TrailingBlanks, blanksFrom, end - blanksFrom, {}});
    }
    return runs;
}

std::string VisibleBytesText(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const std::string_view mnemonic = ByteMnemonic(static_cast<unsigned char>(byte));
        if (mnemonic.empty()) {
            text.push_back(byte);
        } else {
            text.push_back('<');
            text.append(mnemonic);
            text.push_back('>');
        }
    }
    return text;
}

}  // namespace twds

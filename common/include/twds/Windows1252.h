#pragma once

#include <array>
#include <optional>

namespace twds {

// The Windows-1252 code page, the engine's and the viewer's one encoding
// of text. Bytes below 0x80 and from 0xA0 up are their own code points;
// 0x80 to 0x9F are spelt out here. Written out rather than asked of iconv or
// Qt: Qt knows the code page only when built with ICU, and the registry and
// the window need it without the process's locale.
//
// The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) map to the C1 control of the same number, as Windows converts them.
inline constexpr std::array<char16_t, 32> kWindows1252HighRange{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

// The code point a byte stands for.
[[nodiscard]] constexpr char32_t Windows1252CodePoint(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kWindows1252HighRange[byte - 0x80] : byte;
}

// Whether the code page leaves the byte undefined.
[[nodiscard]] constexpr bool IsUndefinedInWindows1252(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 && kWindows1252HighRange[byte - 0x80] == byte;
}

// The byte that stands for `code`, or nothing when none does.
[[nodiscard]] constexpr std::optional<unsigned char> Windows1252Byte(char32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
        return static_cast<unsigned char>(code);
    }
    for (unsigned i = 0; i < kWindows1252HighRange.size(); ++i) {
        if (kWindows1252HighRange[i] == code) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return std::nullopt;
}

}  // namespace twds

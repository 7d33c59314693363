#include "TextEncodings.h"

#include <array>
#include <cstddef>
#include <cstdint>

#include "twds/Utf8.h"
#include "twds/Windows1252.h"

namespace twds {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

char32_t CodePointOf(char byte) {
    return Windows1252CodePoint(static_cast<unsigned char>(byte));
}

std::optional<char> ByteOf(char32_t code) {
    const std::optional<unsigned char> byte = Windows1252Byte(code);
    return byte ? std::optional<char>(static_cast<char>(*byte)) : std::nullopt;
}

// The code point that starts at `i`, which is moved past it. Nothing for a
// malformed, overlong or surrogate sequence (then `i` moves one byte on).
std::optional<char32_t> NextUtf8(std::string_view text, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i++]);
    if (lead < 0x80) {
        return lead;
    }
    std::size_t length = 0;
    char32_t code = 0;
    char32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 1, code = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 2, code = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 3, code = lead & 0x07, smallest = 0x10000;
    } else {
        return std::nullopt;
    }
    if (text.size() - i < length) {
        return std::nullopt;
    }
    for (std::size_t k = 0; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) {
            return std::nullopt;
        }
        code = (code << 6) | (next & 0x3F);
    }
    if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return std::nullopt;
    }
    i += length;
    return code;
}

void AppendUtf16Le(std::string& out, char32_t code) {
    const auto unit = [&](std::uint32_t value) {
        out.push_back(static_cast<char>(value & 0xFF));
        out.push_back(static_cast<char>(value >> 8));
    };
    if (code < 0x10000) {
        unit(code);
    } else {
        code -= 0x10000;
        unit(0xD800 | (code >> 10));
        unit(0xDC00 | (code & 0x3FF));
    }
}

// Calls `emit` with each code point of UTF-16 LE `bytes`; false on an odd
// length or an unpaired surrogate.
template <typename Emit>
bool ForEachUtf16Le(std::string_view bytes, Emit&& emit) {
    if (bytes.size() % 2 != 0) {
        return false;
    }
    const auto unitAt = [&](std::size_t i) -> char32_t {
        return static_cast<unsigned char>(bytes[i]) |
               (static_cast<char32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8);
    };
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        const char32_t unit = unitAt(i);
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            return false;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 4 > bytes.size()) {
                return false;
            }
            const char32_t low = unitAt(i + 2);
            if (low < 0xDC00 || low > 0xDFFF) {
                return false;
            }
            i += 2;
            if (!emit(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00))) {
                return false;
            }
        } else if (!emit(unit)) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char byte : bytes) {
        AppendUtf8(out, CodePointOf(byte));
    }
    return out;
}

std::optional<std::string> Utf8ToWindows1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto code = NextUtf8(text, i);
        const auto byte = code ? ByteOf(*code) : std::nullopt;
        if (!byte) {
            return std::nullopt;
        }
        out.push_back(*byte);
    }
    return out;
}

std::optional<std::string> Utf16LeToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() / 2);
    if (!ForEachUtf16Le(bytes, [&](char32_t code) {
            AppendUtf8(out, code);
            return true;
        })) {
        return std::nullopt;
    }
    return out;
}

std::string Utf8ToUtf16Le(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (std::size_t i = 0; i < text.size();) {
        AppendUtf16Le(out, NextUtf8(text, i).value_or(kReplacement));
    }
    return out;
}

std::optional<std::string> Utf16LeToWindows1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() / 2);
    if (!ForEachUtf16Le(bytes, [&](char32_t code) {
            const auto byte = ByteOf(code);
            if (byte) {
                out.push_back(*byte);
            }
            return byte.has_value();
        })) {
        return std::nullopt;
    }
    return out;
}

std::string Windows1252ToUtf16Le(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char byte : bytes) {
        AppendUtf16Le(out, CodePointOf(byte));
    }
    return out;
}

}  // namespace twds

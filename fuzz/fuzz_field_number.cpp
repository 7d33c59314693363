// The field-number reader, checked against a slow reference written from its
// documented rules: the characters the reader skips are removed first, the
// number is matched by hand and converted by strtod, which rounds exactly as
// std::from_chars does.
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

#include "FuzzSupport.h"
#include "twds/FieldNumber.h"
#include "twds/Trim.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The reading before rounding; nullopt when it has no finite value or the
// radix digits exceed 32 bits.
std::optional<double> ReferenceValue(std::string_view text) {
    std::string s;
    for (const char c : text) {
        if (c == '\0') {
            break;
        }
        if (c != ' ' && c != '\t' && c != '\n') {
            s += c;
        }
    }
    if (!s.empty() && s[0] == '&') {
        const char kind = s.size() > 1 ? s[1] : '\0';
        const int radix = (kind == 'H' || kind == 'h') ? 16 : (kind == 'O' || kind == 'o') ? 8 : 0;
        if (radix == 0) {
            return 0.0;
        }
        std::uint64_t value = 0;
        std::size_t digits = 0;
        for (std::size_t i = 2; i < s.size(); ++i) {
            const char c = s[i];
            int d = -1;
            if (IsDigit(c)) {
                d = c - '0';
            } else if (radix == 16 && c >= 'a' && c <= 'f') {
                d = c - 'a' + 10;
            } else if (radix == 16 && c >= 'A' && c <= 'F') {
                d = c - 'A' + 10;
            }
            if (d < 0 || d >= radix) {
                break;
            }
            value = value * static_cast<std::uint64_t>(radix) + static_cast<std::uint64_t>(d);
            ++digits;
            if (value > 0xFFFFFFFFull || (radix == 16 && digits > 8)) {
                return std::nullopt;
            }
        }
        const bool pattern16 = radix == 16 ? digits <= 4 : (digits <= 6 && value <= 0xFFFF);
        if (pattern16) {
            return static_cast<double>(static_cast<std::int16_t>(value));
        }
        return static_cast<double>(static_cast<std::int32_t>(value));
    }

    // [+-] digits [. digits] [(E|D) [+-] digits], at least one mantissa digit.
    std::size_t i = 0;
    std::string number;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        number += s[i++];
    }
    std::size_t mantissaDigits = 0;
    while (i < s.size() && IsDigit(s[i])) {
        number += s[i++];
        ++mantissaDigits;
    }
    if (i < s.size() && s[i] == '.') {
        number += s[i++];
        while (i < s.size() && IsDigit(s[i])) {
            number += s[i++];
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) {
        return 0.0;
    }
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            exponent += s[j++];
        }
        if (j < s.size() && IsDigit(s[j])) {
            while (j < s.size() && IsDigit(s[j])) {
                exponent += s[j++];
            }
            number += exponent;
        }
    }
    errno = 0;
    const double value = std::strtod(number.c_str(), nullptr);
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

template <typename Int>
std::optional<Int> Reference(std::string_view text) {
    const std::optional<double> value = ReferenceValue(text);
    if (!value) {
        return std::nullopt;
    }
    const double rounded = std::nearbyint(*value);
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
        return std::nullopt;
    }
    return static_cast<Int>(rounded);
}

std::string Show(std::string_view text) {
    std::string shown = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\') {
            shown += c;
        } else {
            static constexpr char kHex[] = "0123456789ABCDEF";
            shown += "\\x";
            shown += kHex[byte >> 4];
            shown += kHex[byte & 0xF];
        }
    }
    return shown + "\"";
}

template <typename Int>
void Compare(std::string_view text, std::optional<Int> actual, const char* reader) {
    const std::optional<Int> expected = Reference<Int>(text);
    if (actual != expected) {
        twds::fuzz::Fail(std::string(reader) + " of " + Show(text) + " gave " +
                         (actual ? std::to_string(*actual) : "out of range") + ", expected " +
                         (expected ? std::to_string(*expected) : "out of range"));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = twds::fuzz::Bytes(data, size);
    const std::optional<std::int16_t> n16 = twds::FieldNumber16(text);
    const std::optional<std::int32_t> n32 = twds::FieldNumber32(text);
    Compare(text, n16, "FieldNumber16");
    Compare(text, n32, "FieldNumber32");

    // One reading, two ranges: a count that fits 16 bits reads the same in 32.
    if (n16) {
        TWDS_FUZZ_CHECK(n32 && *n32 == *n16, "16-bit and 32-bit readings differ");
    }

    const std::string_view trimmed = twds::Trim(text);
    TWDS_FUZZ_CHECK(trimmed.empty() || (trimmed.front() != ' ' && trimmed.back() != ' '),
                    "Trim left a blank at an end");
    TWDS_FUZZ_CHECK(text.find(trimmed) != std::string_view::npos, "Trim changed the text");
    // Blanks are skipped by the reader anyway, so trimming cannot change it.
    TWDS_FUZZ_CHECK(twds::FieldNumber32(trimmed) == n32, "trimming changed the 32-bit reading");
    return 0;
}

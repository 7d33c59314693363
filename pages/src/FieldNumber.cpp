#include "twds/FieldNumber.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <system_error>

#include "twds/Ascii.h"

namespace twds {

namespace {

// Walks the text stepping over spaces, tabs and line feeds wherever they
// stand. peek() is '\0' at the end, which no rule accepts, so a NUL byte in
// the text ends a number just as the end does.
class Cursor {
public:
    explicit Cursor(std::string_view text) : text_(text) {}

    [[nodiscard]] char peek() {
        while (pos_ < text_.size() &&
               (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n')) {
            ++pos_;
        }
        return pos_ < text_.size() ? text_[pos_] : '\0';
    }
    void next() { ++pos_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// Digit value in the radix, or -1.
int DigitValue(char c, int radix) {
    const int v = AsciiHexDigitValue(c);
    return v < radix ? v : -1;
}

// The digits after "&H" or "&O", as the signed 16- or 32-bit pattern they
// spell; std::nullopt beyond 32 bits.
std::optional<double> ReadRadix(Cursor& in, int radix) {
    constexpr std::uint64_t k32 = 0xFFFFFFFFull;
    std::uint64_t value = 0;
    int digits = 0;
    for (int d = DigitValue(in.peek(), radix); d >= 0; d = DigitValue(in.peek(), radix)) {
        in.next();
        value = value * static_cast<std::uint64_t>(radix) + static_cast<std::uint64_t>(d);
        ++digits;
        if (value > k32 || (radix == 16 && digits > 8)) {
            return std::nullopt;
        }
    }
    const bool is16 = radix == 16 ? digits <= 4 : (digits <= 6 && value <= 0xFFFF);
    if (is16) {
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// The text's leading number as a double; std::nullopt when it is too large
// for one.
std::optional<double> Val(std::string_view text) {
    Cursor in(text);
    if (in.peek() == '&') {
        in.next();
        const char kind = in.peek();
        if (kind == 'H' || kind == 'h') {
            in.next();
            return ReadRadix(in, 16);
        }
        if (kind == 'O' || kind == 'o') {
            in.next();
            return ReadRadix(in, 8);
        }
        return 0.0;
    }

    // The number without its skipped characters, in the form that
    // std::from_chars reads. Fields are 10 characters, which the string's
    // inline buffer holds without allocating.
    std::string number;
    if (in.peek() == '+' || in.peek() == '-') {
        if (in.peek() == '-') {
            number += '-';
        }
        in.next();
    }
    // The power of ten of the first significant digit, which tells a number
    // too large for a double from one too small to tell from 0: significant
    // digits before the point count up, zeros after the point count down.
    std::int64_t wholeDigits = 0;   // digits from the first non-zero one on
    std::int64_t leadingZeros = 0;  // zeros after the point before any other digit
    bool significant = false;
    bool anyDigit = false;
    while (IsAsciiDigit(in.peek())) {
        significant = significant || in.peek() != '0';
        wholeDigits += significant ? 1 : 0;
        number += in.peek();
        in.next();
        anyDigit = true;
    }
    if (in.peek() == '.') {
        number += '.';
        in.next();
        while (IsAsciiDigit(in.peek())) {
            leadingZeros += (!significant && in.peek() == '0') ? 1 : 0;
            significant = significant || in.peek() != '0';
            number += in.peek();
            in.next();
            anyDigit = true;
        }
    }
    if (!anyDigit) {
        return 0.0;
    }
    // Saturated far beyond any double's exponent, so that it cannot overflow.
    constexpr std::int64_t kExponentLimit = 1'000'000'000;
    std::int64_t exponentValue = 0;
    if (const char e = in.peek(); e == 'E' || e == 'e' || e == 'D' || e == 'd') {
        in.next();
        std::string exponent = "e";
        bool negativeExponent = false;
        if (in.peek() == '+' || in.peek() == '-') {
            negativeExponent = in.peek() == '-';
            exponent += in.peek();
            in.next();
        }
        if (IsAsciiDigit(in.peek())) {
            while (IsAsciiDigit(in.peek())) {
                exponentValue = std::min(kExponentLimit, exponentValue * 10 + (in.peek() - '0'));
                exponent += in.peek();
                in.next();
            }
            number += exponent;
            exponentValue = negativeExponent ? -exponentValue : exponentValue;
        }
    }

    double value = 0.0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Too small to tell from 0 reads 0; too large has no value.
        const std::int64_t order =
            (wholeDigits > 0 ? wholeDigits - 1 : -(leadingZeros + 1)) + exponentValue;
        return order < 0 ? std::optional<double>(0.0) : std::nullopt;
    }
    if (ec != std::errc() || end != number.data() + number.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

template <typename Int>
std::optional<Int> FieldNumber(std::string_view text) {
    const std::optional<double> value = Val(text);
    if (!value) {
        return std::nullopt;
    }
    // The default rounding mode rounds a half to the even neighbour.
    const double rounded = std::nearbyint(*value);
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
        return std::nullopt;
    }
    return static_cast<Int>(rounded);
}

}  // namespace

std::optional<std::int16_t> FieldNumber16(std::string_view text) {
    return FieldNumber<std::int16_t>(text);
}

std::optional<std::int32_t> FieldNumber32(std::string_view text) {
    return FieldNumber<std::int32_t>(text);
}

}  // namespace twds

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
// spell; +infinity beyond 32 bits.
double ReadRadix(Cursor& in, int radix) {
    constexpr std::uint64_t k32 = 0xFFFFFFFFull;
    std::uint64_t value = 0;
    int digits = 0;
    for (int d = DigitValue(in.peek(), radix); d >= 0; d = DigitValue(in.peek(), radix)) {
        in.next();
        value = value * static_cast<std::uint64_t>(radix) + static_cast<std::uint64_t>(d);
        ++digits;
        if (value > k32 || (radix == 16 && digits > 8)) {
            return std::numeric_limits<double>::infinity();
        }
    }
    const bool is16 = radix == 16 ? digits <= 4 : (digits <= 6 && value <= 0xFFFF);
    if (is16) {
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// The text's leading number as a double; an infinity of its sign when it is
// too large for one, so that a reading out of range still has a side.
double Val(std::string_view text) {
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
        if (order < 0) {
            return 0.0;
        }
        const double huge = std::numeric_limits<double>::infinity();
        return number.front() == '-' ? -huge : huge;
    }
    return value;
}

template <typename Int>
FieldReading<Int> ReadField(std::string_view text) {
    // The default rounding mode rounds a half to the even neighbour.
    const double rounded = std::nearbyint(Val(text));
    constexpr Int kMin = std::numeric_limits<Int>::min();
    constexpr Int kMax = std::numeric_limits<Int>::max();
    if (rounded < static_cast<double>(kMin)) {
        return {kMin, true};
    }
    if (rounded > static_cast<double>(kMax)) {
        return {kMax, true};
    }
    return {static_cast<Int>(rounded), false};
}

template <typename Int>
std::optional<Int> FieldNumber(std::string_view text) {
    const FieldReading<Int> reading = ReadField<Int>(text);
    return reading.clamped ? std::nullopt : std::optional<Int>(reading.value);
}

}  // namespace

FieldReading<std::int16_t> ReadField16(std::string_view text) {
    return ReadField<std::int16_t>(text);
}

FieldReading<std::int32_t> ReadField32(std::string_view text) {
    return ReadField<std::int32_t>(text);
}

NumberText ClassifyNumberText(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return NumberText::Blank;
    }
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    // The common case, plain digits, costs one pass and no branch below.
    if (AllAsciiDigits(text)) {
        return NumberText::Digits;
    }
    if (text.size() >= 2 && text[0] == '&') {
        const char kind = AsciiUpper(text[1]);
        if (kind == 'H') {
            return NumberText::Hexadecimal;
        }
        if (kind == 'O') {
            return NumberText::Octal;
        }
    }
    // The first thing that is not a digit names the text, but for an
    // exponent's letter after a digit and blanks between digits, which a
    // letter or a sign further on outranks.
    NumberText found = NumberText::Other;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (IsAsciiDigit(c)) {
            continue;
        }
        if (c == '+' || c == '-') {
            return i > 0 && found == NumberText::Exponent ? found : NumberText::Sign;
        }
        if (c == '.') {
            return NumberText::Decimals;
        }
        const char upper = AsciiUpper(c);
        const bool afterDigit = i > 0 && IsAsciiDigit(text[i - 1]);
        if ((upper == 'E' || upper == 'D') && afterDigit && found == NumberText::Other) {
            found = NumberText::Exponent;
        } else if (c == ' ' || c == '\t' || c == '\n') {
            found = found == NumberText::Other ? NumberText::InnerBlanks : found;
        } else {
            return NumberText::Other;
        }
    }
    return found;
}

std::optional<std::int16_t> FieldNumber16(std::string_view text) {
    return FieldNumber<std::int16_t>(text);
}

std::optional<std::int32_t> FieldNumber32(std::string_view text) {
    return FieldNumber<std::int32_t>(text);
}

}  // namespace twds

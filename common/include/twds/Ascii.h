#pragma once

#include <algorithm>
#include <string>
#include <string_view>

// ASCII character tests and case folding. std::isdigit, std::toupper and
// their kind want an unsigned char and depend on the process locale; page
// bytes above 127 are plain chars here and Windows-1252, whatever the locale.
// Trimming is in Trim.h.
namespace twds {

// Decimal digits as the engine writes them: '0' to '9' only.
[[nodiscard]] constexpr bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

// True when text is not empty and holds digits alone.
[[nodiscard]] constexpr bool AllAsciiDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), IsAsciiDigit);
}

// The value of a hexadecimal digit (either case), or -1 for any other byte.
[[nodiscard]] constexpr int AsciiHexDigitValue(char c) {
    if (IsAsciiDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

[[nodiscard]] constexpr bool IsAsciiUpper(char c) {
    return c >= 'A' && c <= 'Z';
}

[[nodiscard]] constexpr bool IsAsciiLetter(char c) {
    return IsAsciiUpper(c) || (c >= 'a' && c <= 'z');
}

// A space or a tab: the blanks the registry and model-description files
// allow around their items.
[[nodiscard]] constexpr bool IsSpaceOrTab(char c) {
    return c == ' ' || c == '\t';
}

// `c` with a to z made upper case; every other byte as it is.
[[nodiscard]] constexpr char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

[[nodiscard]] inline std::string AsciiUpper(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) { return AsciiUpper(c); });
    return upper;
}

// Whether a and b are the same but for the case of ASCII letters, as the
// registry compares its names.
[[nodiscard]] constexpr bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiUpper(x) == AsciiUpper(y);
           });
}

[[nodiscard]] constexpr bool StartsWithIgnoringAsciiCase(std::string_view text,
                                                         std::string_view prefix) {
    return text.size() >= prefix.size() &&
           EqualIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace twds

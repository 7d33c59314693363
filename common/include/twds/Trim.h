#pragma once

#include <string_view>

namespace twds {

// `text` without the characters of `blanks` at either end. The engine's
// fields, the catalogue and the user's input are trimmed of spaces only, as
// the engine's own tools trim them; the registry and model-description files
// also allow tabs.
[[nodiscard]] constexpr std::string_view Trim(std::string_view text,
                                              std::string_view blanks = " ") {
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// `text` without the characters of `blanks` at its end.
[[nodiscard]] constexpr std::string_view TrimEnd(std::string_view text,
                                                 std::string_view blanks = " ") {
    const std::size_t last = text.find_last_not_of(blanks);
    return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

// `text` without spaces and tabs at either end: the registry and
// model-description files allow both around their items.
[[nodiscard]] constexpr std::string_view TrimSpacesAndTabs(std::string_view text) {
    return Trim(text, " \t");
}

}  // namespace twds

#pragma once

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "twds/Ascii.h"

namespace twds {

// What a page request asks for.
struct PageRequest {
    char kind;
    std::uint32_t position;
};

// The kind and position of a request's first ten bytes (" 00001024C"):
// nothing unless they are a blank, eight digits and an upper-case letter.
inline std::optional<PageRequest> ParsePageRequest(std::string_view request) {
    if (request.size() < 10 || request[0] != ' ' || !AllAsciiDigits(request.substr(1, 8)) ||
        !IsAsciiUpper(request[9])) {
        return std::nullopt;
    }
    std::uint32_t position = 0;
    std::from_chars(request.data() + 1, request.data() + 9, position);
    return PageRequest{request[9], position};
}

// Answers a page request with a saved page's text: the request buffer keeps
// its length, so the text is cut to it, or padded with blanks as the host
// pads an unused part of the user space.
inline void FillPageRequest(std::string_view text, std::string& page) {
    const std::size_t copied = std::min(text.size(), page.size());
    std::copy_n(text.data(), copied, page.begin());
    std::fill(page.begin() + static_cast<std::ptrdiff_t>(copied), page.end(), ' ');
}

}  // namespace twds

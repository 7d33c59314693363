#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace twds {

// Answers a page request with a saved page's text: the request buffer keeps
// its length, so the text is cut to it, or padded with blanks as the host
// pads an unused part of the user space.
inline void FillPageRequest(std::string_view text, std::string& page) {
    const std::size_t copied = std::min(text.size(), page.size());
    std::copy_n(text.data(), copied, page.begin());
    std::fill(page.begin() + static_cast<std::ptrdiff_t>(copied), page.end(), ' ');
}

}  // namespace twds

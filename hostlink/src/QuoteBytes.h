#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace twds {

// Quotes bytes for an error message: printable ASCII as is, every other byte
// (NUL, controls, Windows-1252 letters) as \xNN, so that a message stays one
// readable line whatever a file or buffer holds. At most maxBytes bytes are
// shown, followed by "..." when there were more.
[[nodiscard]] std::string QuoteBytes(std::string_view bytes, std::size_t maxBytes = 40);

}  // namespace twds

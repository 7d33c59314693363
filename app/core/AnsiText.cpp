#include "twds/AnsiText.h"

#include <algorithm>

namespace twds {

std::string UpperCaseAnsi(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return UpperCaseAnsi(c); });
    return upper;
}

std::string FormatPagePosition(std::int64_t position) {
    const std::string padded = "00000000" + std::to_string(position);
    return padded.substr(padded.size() - 8);
}

}  // namespace twds

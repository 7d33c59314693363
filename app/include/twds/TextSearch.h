#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "twds/AnsiText.h"
#include "twds/PageLists.h"

namespace twds {

class DisplayCommand;

// Finding a text among the rows of a Display: a row matches when its label
// or its value holds the text, ignoring case as Windows-1252 defines it
// (UpperCaseAnsi's letters, both ways); every other byte, control bytes
// included, matches itself alone. The needle and the texts are Windows-1252
// bytes: a text that Windows-1252 cannot hold matches nothing, which the
// caller says before searching.

// The byte that stands for `c` and its other case alike.
[[nodiscard]] constexpr char FoldAnsiCase(char c) {
    return UpperCaseAnsi(c);
}

// One needle, prepared once and tried on many texts.
class AnsiCaseSearcher {
public:
    explicit AnsiCaseSearcher(std::string_view needle);

    // Whether `text` holds the needle. An empty needle is in no text.
    [[nodiscard]] bool foundIn(std::string_view text) const { return find(text) != kNotFound; }
    // Where the needle first stands in `text`, or kNotFound.
    [[nodiscard]] std::size_t find(std::string_view text) const;
    // Every place it stands, in order, each after the end of the one before
    // (a cell's highlights).
    [[nodiscard]] std::vector<std::size_t> findAll(std::string_view text) const;
    [[nodiscard]] std::size_t size() const { return folded_.size(); }

    static constexpr std::size_t kNotFound = std::string_view::npos;

private:
    std::string folded_;
    // Horspool's shift for each folded byte: how far the needle may move when
    // that byte stands under its last character.
    std::array<std::size_t, 256> shift_{};
};

// What one search found.
struct SearchMatches {
    // Per list (kPageLists order), the matching rows in ascending order. Four
    // bytes a row: a list holds at most kDefaultMaxRows (50 million) rows, and
    // a text found in every row of L keeps ten million of them.
    std::array<std::vector<std::uint32_t>, kPageListCount> rows;
    bool endTw = false;  // the End_TW text matches
    // The search was stopped before its end: rows holds what was found so far.
    bool stopped = false;

    [[nodiscard]] std::size_t count(PageList list) const {
        return rows[static_cast<std::size_t>(list)].size();
    }
    // The matching rows of all lists, and End_TW as one more.
    [[nodiscard]] std::size_t total() const;
};

// How many rows a search goes through between two looks at its stop token: a
// few milliseconds' worth, so that a new keystroke ends it at once.
inline constexpr std::size_t kSearchStopInterval = 4096;

// Searches the Display's lists, then its End_TW text, for `needle`. Stops
// early, with SearchMatches::stopped set, once `stop` is requested.
[[nodiscard]] SearchMatches FindInDisplay(const DisplayCommand& display, std::string_view needle,
                                          const std::stop_token& stop = {});

}  // namespace twds

#include "twds/TextSearch.h"

#include <algorithm>
#include <limits>
#include <numeric>

#include "twds/DisplayCommand.h"

namespace twds {

namespace {

// FoldAnsiCase as a table: the search folds every byte it looks at.
constexpr std::array<unsigned char, 256> kFold = [] {
    std::array<unsigned char, 256> fold{};
    for (std::size_t byte = 0; byte < fold.size(); ++byte) {
        fold[byte] = static_cast<unsigned char>(FoldAnsiCase(static_cast<char>(byte)));
    }
    return fold;
}();

unsigned char Fold(char c) {
    return kFold[static_cast<unsigned char>(c)];
}

static_assert(kDefaultMaxRows <= std::numeric_limits<std::uint32_t>::max(),
              "SearchMatches keeps row numbers in 32 bits");

// Whether a label holds the needle, asked once per interned label.
enum class LabelMatch : signed char { Unknown, No, Yes };

}  // namespace

// Horspool's search written here over folded bytes:
// std::boyer_moore_horspool_searcher keeps its skip table in a hash map once
// given a case-folding predicate (a lookup per step, too slow for ten million
// values), and feeding it folded bytes through std::views::transform does not
// compile with the clang that checks this code.
AnsiCaseSearcher::AnsiCaseSearcher(std::string_view needle) : folded_(needle.size(), '\0') {
    std::transform(needle.begin(), needle.end(), folded_.begin(),
                   [](char c) { return static_cast<char>(Fold(c)); });
    shift_.fill(folded_.size());
    for (std::size_t i = 0; i + 1 < folded_.size(); ++i) {
        shift_[static_cast<unsigned char>(folded_[i])] = folded_.size() - 1 - i;
    }
}

std::size_t AnsiCaseSearcher::find(std::string_view text) const {
    const std::size_t length = folded_.size();
    if (length == 0 || text.size() < length) {
        return kNotFound;
    }
    const auto last = static_cast<unsigned char>(folded_.back());
    const auto sameFolded = [](char folded, char c) {
        return static_cast<unsigned char>(folded) == Fold(c);
    };
    for (std::size_t at = 0; at + length <= text.size();) {
        const unsigned char under = Fold(text[at + length - 1]);
        if (under == last &&
            std::equal(folded_.begin(), folded_.end() - 1, text.begin() + at, sameFolded)) {
            return at;
        }
        at += shift_[under];
    }
    return kNotFound;
}

std::vector<std::size_t> AnsiCaseSearcher::findAll(std::string_view text) const {
    std::vector<std::size_t> starts;
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t at = find(text.substr(from));
        if (at == kNotFound) {
            break;
        }
        starts.push_back(from + at);
        from += at + size();
    }
    return starts;
}

std::size_t SearchMatches::total() const {
    return std::accumulate(rows.begin(), rows.end(), std::size_t{endTw ? 1U : 0U},
                           [](std::size_t sum, const auto& list) { return sum + list.size(); });
}

SearchMatches FindInDisplay(const DisplayCommand& display, std::string_view needle,
                            const std::stop_token& stop) {
    SearchMatches matches;
    if (needle.empty()) {
        return matches;
    }
    const AnsiCaseSearcher searcher(needle);
    std::vector<LabelMatch> labels;
    for (const PageListInfo& info : kPageLists) {
        const FieldList& list = display.list(info.list);
        std::vector<std::uint32_t>& found = matches.rows[static_cast<std::size_t>(info.list)];
        labels.clear();
        // A row budget raised past four billion rows (64 GB of rows alone)
        // would leave the rows beyond unsearched.
        const std::size_t rowCount =
            std::min<std::size_t>(list.rowCount(), std::numeric_limits<std::uint32_t>::max());
        for (std::size_t row = 0; row < rowCount; ++row) {
            if (row % kSearchStopInterval == 0 && stop.stop_requested()) {
                matches.stopped = true;
                return matches;
            }
            const FieldList::LabelId label = list.labelOf(row);
            if (label >= labels.size()) {
                labels.resize(label + 1, LabelMatch::Unknown);
            }
            if (labels[label] == LabelMatch::Unknown) {
                labels[label] =
                    searcher.foundIn(list.labelText(label)) ? LabelMatch::Yes : LabelMatch::No;
            }
            if (labels[label] == LabelMatch::Yes || searcher.foundIn(list.value(row))) {
                found.push_back(static_cast<std::uint32_t>(row));
            }
        }
    }
    if (stop.stop_requested()) {
        matches.stopped = true;
        return matches;
    }
    matches.endTw = searcher.foundIn(display.endTwText);
    return matches;
}

}  // namespace twds

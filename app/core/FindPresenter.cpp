#include "twds/FindPresenter.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "twds/DisplayCommand.h"
#include "twds/MainWindowView.h"
#include "twds/StatusMessages.h"

namespace twds {

namespace {

constexpr int kEndTwSlot = static_cast<int>(kPageListCount);

int TabOfSlot(int slot) {
    return slot == kEndTwSlot ? form::kEndTwTab : kPageLists[static_cast<std::size_t>(slot)].tab;
}

PageList ListOfSlot(int slot) {
    return kPageLists[static_cast<std::size_t>(slot)].list;
}

}  // namespace

FindPresenter::FindPresenter(FindView& view, MainWindowPresenter& window,
                             const DisplayCommand& display, MessageLookup messages, Search search)
    : view_(view),
      window_(window),
      display_(display),
      messages_(std::move(messages)),
      search_(std::move(search)) {
    window_.addListsObserver(this);
}

FindPresenter::~FindPresenter() {
    window_.removeListsObserver(this);
    stopSearch();
}

void FindPresenter::open() {
    if (open_) {
        view_.showFindBar(true);
        return;
    }
    open_ = true;
    view_.showFindBar(true);
    startSearch();
}

void FindPresenter::close() {
    if (!open_) {
        return;
    }
    stopSearch();
    open_ = false;
    replaceMatches(std::nullopt, {});
    showCaptions();
    showStatus();
    view_.showFindBar(false);
}

void FindPresenter::textChanged(std::optional<std::string> needle) {
    needle_ = std::move(needle);
    if (open_) {
        startSearch();
    }
}

void FindPresenter::findNext() {
    step(1);
}

void FindPresenter::findPrevious() {
    step(-1);
}

void FindPresenter::setOnlyMatching(bool on) {
    if (on == onlyMatching_) {
        return;
    }
    if (!open_) {
        // There is nothing to filter by until the bar has a text.
        onlyMatching_ = on;
        if (on) {
            open();
        }
        return;
    }
    const std::optional<Place> shown = current_;
    view_.beginMatchesChange();
    onlyMatching_ = on;
    view_.endMatchesChange();
    // The match in hand stays selected and in view, whichever rows are shown.
    if (shown) {
        goTo(*shown);
    }
}

void FindPresenter::rowClicked(PageList list, std::size_t viewRow) {
    window_.rowClicked(list, listRow(list, viewRow));
}

void FindPresenter::copyRows(PageList list, const std::vector<RowRange>& viewRanges) {
    const std::vector<std::uint32_t>* map = rowMap(list);
    if (map == nullptr) {
        window_.copyRows(list, viewRanges);
        return;
    }
    // The shown rows are scattered over the list.
    MappedSelection rows = MapSelectedRows(*map, viewRanges);
    window_.copyRows(list, std::move(rows.ranges), rows.rowsSelected);
}

const std::vector<std::uint32_t>* FindPresenter::rowMap(PageList list) const {
    if (!open_ || !onlyMatching_ || !matches_) {
        return nullptr;
    }
    return &matches_->rows[static_cast<std::size_t>(list)];
}

std::size_t FindPresenter::listRow(PageList list, std::size_t viewRow) const {
    const std::vector<std::uint32_t>* map = rowMap(list);
    if (map == nullptr) {
        return viewRow;
    }
    // Past the shown rows: past the list's end too, which shows no value.
    return viewRow < map->size() ? (*map)[viewRow] : display_.list(list).rowCount();
}

void FindPresenter::listsChanging() {
    stopSearch();
    replaceMatches(std::nullopt, {});
}

void FindPresenter::listsChanged() {
    if (open_) {
        startSearch();
    }
}

void FindPresenter::startSearch() {
    stopSearch();
    pendingStep_ = 0;
    if (!needle_) {
        // Nothing in a page can match: an answer at once, no search.
        replaceMatches(SearchMatches{}, {});
    } else if (needle_->empty()) {
        replaceMatches(std::nullopt, {});
    } else {
        searching_ = true;
        const std::uint64_t generation = generation_;
        worker_ = std::jthread([this, generation, needle = *needle_](const std::stop_token& stop) {
            SearchMatches found = search_(display_, needle, stop);
            view_.post([this, generation, found = std::move(found)]() mutable {
                finished(generation, std::move(found));
            });
        });
    }
    showCaptions();
    showStatus();
}

void FindPresenter::stopSearch() {
    // Joined, so that nothing reads the lists once this returns; a search
    // looks at its stop token every few thousand rows.
    if (worker_.joinable()) {
        worker_.request_stop();
        worker_.join();
    }
    ++generation_;  // whatever it posted is stale
    searching_ = false;
}

void FindPresenter::finished(std::uint64_t generation, SearchMatches found) {
    if (generation != generation_ || found.stopped) {
        return;
    }
    if (worker_.joinable()) {
        worker_.join();  // it has posted: it ends at once
    }
    searching_ = false;
    const int pending = std::exchange(pendingStep_, 0);
    // Where the user stands, read before the shown rows change.
    const Place from = selectedPlace();
    replaceMatches(std::move(found), needle_.value_or(std::string()));
    showCaptions();
    if (const std::optional<Place> first = matchFrom(from, 1, true)) {
        goTo(*first);
        for (int i = 0; i < std::abs(pending); ++i) {
            step(pending > 0 ? 1 : -1);
        }
    }
    showStatus();
}

void FindPresenter::replaceMatches(std::optional<SearchMatches> found, std::string highlighted) {
    if (!found && !matches_) {
        return;  // nothing shown, nothing to show
    }
    view_.beginMatchesChange();
    matches_ = std::move(found);
    highlighted_ = matches_ ? std::move(highlighted) : std::string();
    current_.reset();
    view_.endMatchesChange();
}

void FindPresenter::step(int direction) {
    if (!open_) {
        open();
        return;
    }
    if (searching_) {
        pendingStep_ += direction;  // each press counts, once the result is in
        return;
    }
    if (const std::optional<Place> next = matchFrom(selectedPlace(), direction, false)) {
        goTo(*next);
        showStatus();
    }
}

void FindPresenter::goTo(const Place& place) {
    current_ = place;
    view_.selectTab(TabOfSlot(place.slot));
    if (place.slot == kEndTwSlot) {
        return;
    }
    const PageList list = ListOfSlot(place.slot);
    const auto row = static_cast<std::uint32_t>(place.row);
    std::size_t viewRow = row;
    if (const std::vector<std::uint32_t>* map = rowMap(list)) {
        viewRow = static_cast<std::size_t>(std::lower_bound(map->begin(), map->end(), row) -
                                           map->begin());
    }
    view_.selectRow(list, viewRow);
    window_.rowClicked(list, row);
}

FindPresenter::Place FindPresenter::selectedPlace() const {
    const int tab = view_.selectedTab();
    if (tab == form::kEndTwTab) {
        return {kEndTwSlot, 0};
    }
    for (int slot = 0; slot < kEndTwSlot; ++slot) {
        const PageList list = ListOfSlot(slot);
        if (TabOfSlot(slot) == tab) {
            const std::optional<std::size_t> row = view_.currentRow(list);
            return {slot, row ? static_cast<std::int64_t>(listRow(list, *row)) : -1};
        }
    }
    return {};  // the Info tab: before everything
}

std::optional<FindPresenter::Place> FindPresenter::matchFrom(const Place& from, int direction,
                                                             bool inclusive) const {
    if (!matches_) {
        return std::nullopt;
    }
    // Row bounds beyond a slot's first and last rows.
    constexpr std::int64_t kBefore = -1;
    constexpr std::int64_t kAfter = std::int64_t{1} << 40;
    // The nearest match of a slot beyond `bound` in the direction.
    const auto inSlot = [this, direction](int slot,
                                          std::int64_t bound) -> std::optional<std::int64_t> {
        if (slot == kEndTwSlot) {
            const bool beyond = direction > 0 ? bound < 0 : bound > 0;
            return matches_->endTw && beyond ? std::optional<std::int64_t>(0) : std::nullopt;
        }
        const std::vector<std::uint32_t>& rows = matches_->rows[static_cast<std::size_t>(slot)];
        if (direction > 0) {
            const auto it = std::upper_bound(rows.begin(), rows.end(), bound,
                                             [](std::int64_t b, std::uint32_t r) { return b < r; });
            return it != rows.end() ? std::optional<std::int64_t>(*it) : std::nullopt;
        }
        const auto it = std::lower_bound(rows.begin(), rows.end(), bound,
                                         [](std::uint32_t r, std::int64_t b) { return r < b; });
        return it != rows.begin() ? std::optional<std::int64_t>(*(it - 1)) : std::nullopt;
    };
    // From `start` to the last (first) slot, without wrapping.
    const auto scan = [&](const Place& start, bool withStart) -> std::optional<Place> {
        if (start.slot < 0 && direction < 0) {
            return std::nullopt;  // nothing stands before everything
        }
        for (int slot = std::clamp(start.slot, 0, kEndTwSlot); slot >= 0 && slot <= kEndTwSlot;
             slot += direction) {
            std::int64_t bound = direction > 0 ? kBefore : kAfter;
            if (slot == start.slot) {
                bound = withStart ? start.row - direction : start.row;
            }
            if (const std::optional<std::int64_t> row = inSlot(slot, bound)) {
                return Place{slot, *row};
            }
        }
        return std::nullopt;
    };
    if (const std::optional<Place> found = scan(from, inclusive)) {
        return found;
    }
    // Around: from the first (last) slot's edge.
    return scan(direction > 0 ? Place{0, kBefore} : Place{kEndTwSlot, kAfter}, false);
}

void FindPresenter::showCaptions() {
    for (int slot = 0; slot <= kEndTwSlot; ++slot) {
        const int tab = TabOfSlot(slot);
        const std::string fixed(form::TabCaption(tab));
        if (!open_ || !matches_) {
            view_.setTabCaption(tab, fixed);
            continue;
        }
        const std::size_t count =
            slot == kEndTwSlot ? (matches_->endTw ? 1U : 0U) : matches_->count(ListOfSlot(slot));
        view_.setTabCaption(tab, messages_(message::kFindTabCaption, {fixed, grouped(count)}));
    }
}

void FindPresenter::showStatus() {
    // Closed, or no text: nothing to say.
    if (!open_ || (!searching_ && needle_ && !matches_)) {
        statusText_.clear();
    } else if (searching_) {
        statusText_ = messages_(message::kFindSearching, {});
    } else if (!needle_) {
        statusText_ = messages_(message::kFindNotAnsi, {});
    } else if (!current_) {
        statusText_ = messages_(message::kFindNoMatch, {});
    } else {
        // The current match's number among all, in tab order.
        std::size_t before = 0;
        for (int slot = 0; slot < current_->slot; ++slot) {
            before += matches_->count(ListOfSlot(slot));
        }
        if (current_->slot < kEndTwSlot) {
            const auto& rows = matches_->rows[static_cast<std::size_t>(current_->slot)];
            before += static_cast<std::size_t>(
                std::lower_bound(rows.begin(), rows.end(),
                                 static_cast<std::uint32_t>(current_->row)) -
                rows.begin());
        }
        statusText_ =
            messages_(message::kFindMatchOf, {grouped(before + 1), grouped(matches_->total())});
    }
    view_.showFindStatus(statusText_);
}

std::string FindPresenter::grouped(std::size_t number) const {
    return GroupDigits(number, messages_);
}

}  // namespace twds

#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "twds/FindView.h"
#include "twds/MainWindowPresenter.h"
#include "twds/Messages.h"
#include "twds/PageLists.h"
#include "twds/RowCopyText.h"
#include "twds/TextSearch.h"

namespace twds {

class DisplayCommand;

// What the window's find bar does, without widgets. It opens and closes the
// bar, searches the displayed lists for the bar's text on a thread of its own
// as the user types (a new keystroke stops the search still running), shows
// the matches per tab in the tabs' captions while the bar is open, moves to
// the next or previous match in tab order (CX to SQL, then End_TW) from the
// selected row, and can show only the matching rows of each list.
//
// The view, the window's presenter and the command must outlive it. It stops
// and joins its search before every Display (it registers itself with the
// window's presenter) and when it is destroyed.
class FindPresenter : private ListsObserver {
public:
    using Search = std::function<SearchMatches(const DisplayCommand&, std::string_view,
                                               const std::stop_token&)>;

    // `search` is FindInDisplay but in tests.
    FindPresenter(FindView& view, MainWindowPresenter& window, const DisplayCommand& display,
                  MessageLookup messages, Search search = FindInDisplay);
    ~FindPresenter() override;
    FindPresenter(const FindPresenter&) = delete;
    FindPresenter& operator=(const FindPresenter&) = delete;

    // Ctrl+F (and F3 while the bar is closed); a bar already open takes the
    // focus again. Reopened, it searches for the text it had.
    void open();
    // Esc or the bar's close button: the captions, rows and highlights are
    // back as they are at rest.
    void close();
    // The bar's text changed; nothing when Windows-1252 cannot hold it.
    void textChanged(std::optional<std::string> needle);
    // Enter and F3, Shift+Enter and Shift+F3.
    void findNext();
    void findPrevious();
    void setOnlyMatching(bool on);

    // A row of a list, as the view shows it, was clicked or became current.
    void rowClicked(PageList list, std::size_t viewRow);
    // Copies the selected view rows.
    void copyRows(PageList list, const std::vector<RowRange>& viewRanges);

    [[nodiscard]] bool isOpen() const { return open_; }
    // A search runs, or its result has not been handed over yet.
    [[nodiscard]] bool searching() const { return searching_; }
    // The matches of the last search shown, End_TW counted as one.
    [[nodiscard]] std::size_t matchCount() const { return matches_ ? matches_->total() : 0; }
    [[nodiscard]] bool onlyMatching() const { return onlyMatching_; }
    // The list rows the view shows, in order, or nothing when it shows them
    // all. Valid until the next beginMatchesChange.
    [[nodiscard]] const std::vector<std::uint32_t>* rowMap(PageList list) const;
    [[nodiscard]] std::size_t listRow(PageList list, std::size_t viewRow) const;
    // The text whose matches the view highlights; empty for none.
    [[nodiscard]] const std::string& highlighted() const { return highlighted_; }
    [[nodiscard]] const std::string& statusText() const { return statusText_; }

    // The captions of the lists' commands and the bar's controls.
    [[nodiscard]] std::string caption(int messageId) const { return messages_(messageId, {}); }

private:
    // A place in tab order: a list's row, or End_TW (slot kPageListCount,
    // row 0). Row -1 stands before a slot's first row, slot -1 before all.
    struct Place {
        int slot = -1;
        std::int64_t row = -1;
        auto operator<=>(const Place&) const = default;
    };

    void listsChanging() override;
    void listsChanged() override;

    void startSearch();
    void stopSearch();
    void finished(std::uint64_t generation, SearchMatches found);
    // Replaces the matches (none when `found` is empty) between the view's
    // brackets.
    void replaceMatches(std::optional<SearchMatches> found, std::string highlighted);
    void step(int direction);
    void goTo(const Place& place);
    [[nodiscard]] Place selectedPlace() const;
    [[nodiscard]] std::optional<Place> matchFrom(const Place& from, int direction,
                                                 bool inclusive) const;
    void showCaptions();
    void showStatus();
    [[nodiscard]] std::string grouped(std::size_t number) const;

    FindView& view_;
    MainWindowPresenter& window_;
    const DisplayCommand& display_;
    MessageLookup messages_;
    Search search_;

    bool open_ = false;
    bool onlyMatching_ = false;
    std::optional<std::string> needle_ = std::string();  // nothing: not Windows-1252
    // The last search's result, while the bar is open and it is for the
    // current text and Display.
    std::optional<SearchMatches> matches_;
    std::string highlighted_;
    std::optional<Place> current_;
    int pendingStep_ = 0;  // moves asked for while the search ran, + next, - previous
    bool searching_ = false;
    std::string statusText_;

    // Each search has a number; a result that comes back under an older one
    // is dropped.
    std::uint64_t generation_ = 0;
    std::jthread worker_;
};

}  // namespace twds

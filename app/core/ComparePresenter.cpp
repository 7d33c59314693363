#include "twds/ComparePresenter.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <utility>

#include "twds/CommandLine.h"
#include "twds/DisplayCommand.h"
#include "twds/FindPresenter.h"
#include "twds/Snapshot.h"
#include "twds/StatusMessages.h"
#include "twds/Trim.h"

namespace twds {

namespace {

constexpr int kEndTwSlot = static_cast<int>(kPageListCount);
constexpr std::uint32_t kNoRow = 0xFFFF'FFFFU;
constexpr int kMaxRefreshSeconds = 3600;

int TabOfSlot(int slot) {
    return slot == kEndTwSlot ? form::kEndTwTab : kPageLists[static_cast<std::size_t>(slot)].tab;
}

PageList ListOfSlot(int slot) {
    return kPageLists[static_cast<std::size_t>(slot)].list;
}

std::size_t At(PageList list) {
    return static_cast<std::size_t>(list);
}

// A command's caption as a dialog's title: without its "&" and "…".
std::string TitleOf(std::string caption) {
    std::erase(caption, '&');
    if (!caption.empty() && caption.back() == '\x85') {
        caption.pop_back();
    }
    return caption;
}

std::string TimeOfDay(std::chrono::system_clock::time_point when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    char text[16] = {};
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return text;
}

// The viewer shows the busy state for as long as this lives.
class BusyScope {
public:
    explicit BusyScope(CompareView& view) : view_(view) { view_.setBusy(true); }
    ~BusyScope() { view_.setBusy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    CompareView& view_;
};

}  // namespace

std::optional<Tint> MarkTint(char mark) {
    switch (mark) {
        case '~':
            return Tint{0xFF, 0xF0, 0xB3};
        case '+':
            return Tint{0xD4, 0xF0, 0xD4};
        case '-':
            return Tint{0xF6, 0xD0, 0xD0};
        default:
            return std::nullopt;
    }
}

ComparePresenter::ComparePresenter(CompareView& view, MainWindowPresenter& window,
                                   DisplayCommand& display, FindPresenter& find,
                                   MessageLookup messages)
    : view_(view),
      window_(window),
      display_(display),
      find_(find),
      messages_(std::move(messages)),
      viewerLink_(display.hostLink()),
      marks_(kPageListCount) {
    window_.addListsObserver(this);
}

ComparePresenter::~ComparePresenter() {
    window_.removeListsObserver(this);
}

void ComparePresenter::open() {
    find_.close();
    open_ = true;
    view_.showCompareBar(true, true);
    showStatus();
}

void ComparePresenter::close() {
    if (!open_ && !active_) {
        return;
    }
    const bool statusIsOurs = comparing() && window_.statusMessage() == comparedStatus_;
    dropMarks();
    against_ = Against::Nothing;
    older_.reset();  // its rows are memory the shown Display may want
    otherLink_.reset();
    showCaptions();
    if (open_) {
        open_ = false;
        view_.showCompareBar(false, false);
    }
    if (statusIsOurs) {
        window_.showStatus(DescribeOutcome(display_, messages_));
    }
}

void ComparePresenter::openFind() {
    close();
    find_.open();
}

void ComparePresenter::findNext() {
    close();
    find_.findNext();
}

void ComparePresenter::findPrevious() {
    close();
    find_.findPrevious();
}

void ComparePresenter::setOnlyMatching(bool on) {
    if (on) {
        close();  // the lists show one row map
    }
    find_.setOnlyMatching(on);
}

void ComparePresenter::compare() {
    compareWith(view_.compareTarget());
}

void ComparePresenter::compareWith(std::string_view target) {
    const std::string trimmed(TrimSpacesAndTabs(target));
    std::unique_ptr<HostLink> link;
    std::string address;
    std::string name;
    if (IsSnapshotPath(trimmed)) {
        auto opened = OpenSnapshot(std::filesystem::path(trimmed), messages_);
        if (!opened) {
            window_.showStatus(messages_(message::kCompareFailed, {opened.error()}));
            return;
        }
        link = std::move(opened->hostLink);
        address = std::move(opened->address);
        name = std::move(opened->name);
    } else if (const auto split = SplitArgumentText(trimmed)) {
        address = split->address;
        name = split->name;
    } else {
        window_.showStatus(messages_(message::kCompareTargetMissing, {}));
        return;
    }
    if (!open_) {
        open();
    }
    view_.setCompareTarget(trimmed);
    dropMarks();
    if (!older_) {
        older_ = std::make_unique<DisplayCommand>(viewerLink_, display_.labels());
    }
    otherLink_ = std::move(link);
    older_->useHostLink(otherLink_ ? *otherLink_ : viewerLink_);
    older_->address = address;
    older_->userSpaceName = name;
    // A large user space takes seconds: the status line says what runs, then
    // what the Display shown said again.
    const std::string shownMessage = window_.statusMessage();
    window_.showStatus(messages_(message::kComparing, {trimmed}));
    view_.flushStatus();
    {
        const BusyScope busy(view_);
        older_->run();
    }
    window_.showStatus(shownMessage);
    if (older_->outcome().stage != DisplayOutcome::Stage::Completed) {
        // Half a user space would show every row it lacks as removed.
        window_.showStatus(
            messages_(message::kCompareFailed, {DescribeOutcome(*older_, messages_)}));
        against_ = Against::Nothing;
        older_.reset();
        otherLink_.reset();
        showCaptions();
        showStatus();
        return;
    }
    against_ = Against::Other;
    buildMarks();
}

void ComparePresenter::browse() {
    SaveAsRequest request;
    request.title = messages_(message::kCompareDialogTitle, {});
    request.filter = messages_(message::kSnapshotFileFilter, {});
    request.folder = view_.compareTarget().empty()
                         ? std::filesystem::path()
                         : std::filesystem::path(view_.compareTarget()).parent_path();
    const auto chosen = view_.askOpenPath(request);
    if (chosen && !chosen->empty()) {
        compareWith(chosen->string());
    }
}

void ComparePresenter::setOnlyDifferences(bool on) {
    if (on == onlyDifferences_) {
        return;
    }
    // The row in hand stays selected when it is still shown.
    const Place shown = selectedPlace();
    view_.beginMarksChange();
    onlyDifferences_ = on;
    view_.endMarksChange();
    view_.setOnlyDifferencesChecked(on);
    if (comparing() && shown.slot >= 0 && shown.slot < kEndTwSlot && shown.position >= 0) {
        const ListMarks& marks = marks_[At(ListOfSlot(shown.slot))];
        const auto position = static_cast<std::uint32_t>(shown.position);
        const auto it = std::lower_bound(marks.positions.begin(), marks.positions.end(), position);
        if (!on || (it != marks.positions.end() && *it == position)) {
            goTo(shown);
        }
    }
}

void ComparePresenter::nextDifference() {
    step(1);
}

void ComparePresenter::previousDifference() {
    step(-1);
}

bool ComparePresenter::refresh() {
    const DisplayOutcome::Stage stage = display_.outcome().stage;
    if (stage == DisplayOutcome::Stage::NotRun || stage == DisplayOutcome::Stage::InputMissing) {
        window_.showStatus(messages_(message::kNothingToRefresh, {}));
        return false;
    }
    // Where the user stands, by the row's key: rows may move.
    const int tab = view_.selectedTab();
    std::array<int, kPageListCount> scrolled{};
    std::optional<PageList> listShown;
    std::string key;
    std::size_t keyRow = 0;
    for (const PageListInfo& info : kPageLists) {
        scrolled[At(info.list)] = view_.scrollPosition(info.list);
        if (info.tab != tab) {
            continue;
        }
        listShown = info.list;
        if (const auto viewRow = view_.currentRow(info.list)) {
            const std::uint32_t entry = entryOf(info.list, *viewRow);
            if ((entry & kOlderRow) == 0 && entry < display_.list(info.list).rowCount()) {
                key = display_.list(info.list).key(entry);
                keyRow = entry;
            }
        }
    }
    window_.showStatus(messages_(message::kRefreshing, {}));
    view_.flushStatus();

    view_.setAddressText(display_.address);
    view_.setNameText(display_.userSpaceName);
    if (!open_) {
        find_.close();
    }
    refreshing_ = true;
    window_.display();  // listsChanging keeps the previous Display, listsChanged marks
    refreshing_ = false;

    view_.selectTab(tab);
    for (const PageListInfo& info : kPageLists) {
        view_.setScrollPosition(info.list, scrolled[At(info.list)]);
    }
    if (listShown && !key.empty()) {
        const FieldList& rows = display_.list(*listShown);
        // Usually the row is where it was; else it is looked for.
        std::optional<std::size_t> found;
        if (keyRow < rows.rowCount() && rows.key(keyRow) == key) {
            found = keyRow;
        }
        for (std::size_t row = 0; !found && row < rows.rowCount(); ++row) {
            if (rows.key(row) == key) {
                found = row;
            }
        }
        if (found) {
            const int position = view_.scrollPosition(*listShown);
            view_.selectRow(*listShown, viewRowOfNew(*listShown, *found));
            view_.setScrollPosition(*listShown, position);
            rowClicked(*listShown, viewRowOfNew(*listShown, *found));
        }
    }
    return display_.outcome().stage == DisplayOutcome::Stage::Completed;
}

void ComparePresenter::autoRefreshCommand() {
    if (refreshSeconds_ > 0) {
        stopAutoRefresh(message::kAutoRefreshOff);
        return;
    }
    const auto answer = view_.askText(TitleOf(caption(message::kAutoRefreshCommand)),
                                      caption(message::kAutoRefreshPrompt));
    if (answer) {
        setAutoRefresh(*answer);
    }
}

void ComparePresenter::setAutoRefresh(std::string_view secondsText) {
    const std::string_view digits = TrimSpacesAndTabs(secondsText);
    int seconds = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), seconds);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
        seconds < 1 || seconds > kMaxRefreshSeconds) {
        refreshSeconds_ = 0;
        view_.setRefreshTimer(0);
        window_.showStatus(messages_(message::kAutoRefreshInvalid, {secondsText}));
        return;
    }
    refreshSeconds_ = seconds;
    view_.setRefreshTimer(seconds);
    window_.showStatus(messages_(message::kAutoRefreshOn, {std::to_string(seconds)}));
}

void ComparePresenter::timerFired() {
    if (refreshSeconds_ == 0) {
        return;
    }
    if (!refresh()) {
        // The status line says what failed; this says the watching stopped.
        const std::string failed = window_.statusText();
        stopAutoRefresh(message::kAutoRefreshStopped);
        window_.addStatus(failed);
    }
}

void ComparePresenter::stopAutoRefresh(int messageId) {
    refreshSeconds_ = 0;
    view_.setRefreshTimer(0);
    window_.showStatus(messages_(messageId, {}));
}

void ComparePresenter::rowClicked(PageList list, std::size_t viewRow) {
    if (!comparing()) {
        find_.rowClicked(list, viewRow);  // its row map, if any, is the views'
        return;
    }
    const std::uint32_t entry = entryOf(list, viewRow);
    if ((entry & kOlderRow) != 0 && older_) {
        // A removed row: only the other Display has it.
        window_.otherRowClicked(*older_, list, entry & ~kOlderRow);
        return;
    }
    window_.rowClicked(list, entry);
}

std::string ComparePresenter::fileColumnText(PageList list, const ComparedRow& row) const {
    if (row.list != &display_.list(list) && older_ && row.list == &older_->list(list)) {
        return MainWindowPresenter::FileColumnTextOf(*older_, list, row.row);
    }
    return window_.fileColumnText(list, row.row);
}

void ComparePresenter::copyRows(PageList list, const std::vector<RowRange>& viewRanges) {
    if (!comparing()) {
        find_.copyRows(list, viewRanges);  // its row map, if any, is the views'
        return;
    }
    const std::vector<std::uint32_t>* map = rowMap(list);
    if (map == nullptr) {
        window_.copyRows(list, viewRanges);
        return;
    }
    // The shown Display's rows among the selected: removed rows are not in it.
    MappedSelection rows = MapSelectedRows(*map, viewRanges, kOlderRow);
    window_.copyRows(list, std::move(rows.ranges), rows.rowsSelected);
}

const std::vector<std::uint32_t>* ComparePresenter::rowMap(PageList list) const {
    if (!comparing()) {
        return nullptr;
    }
    const ListMarks& marks = marks_[At(list)];
    if (onlyDifferences_) {
        return &marks.entries;
    }
    return marks.anchors.empty() ? nullptr : &marks.merged;
}

ComparedRow ComparePresenter::shownRow(PageList list, std::size_t viewRow) const {
    const FieldList& rows = display_.list(list);
    if (!comparing()) {
        return {0, &rows, find_.listRow(list, viewRow), {}};
    }
    const std::vector<std::uint32_t>* map = rowMap(list);
    const std::size_t viewRows = map != nullptr ? map->size() : rows.rowCount();
    if (viewRow >= viewRows) {
        return {0, &rows, rows.rowCount(), {}};
    }
    return comparedRow(list, entryOf(list, viewRow));
}

std::optional<std::size_t> ComparePresenter::listRowOf(PageList list, std::size_t viewRow) const {
    const ComparedRow shown = shownRow(list, viewRow);
    if (shown.list != &display_.list(list) || shown.row >= shown.list->rowCount()) {
        return std::nullopt;
    }
    return shown.row;
}

ComparedRow ComparePresenter::comparedRow(PageList list, std::uint32_t entry) const {
    if ((entry & kOlderRow) != 0) {
        const FieldList& rows = older_->list(list);
        const std::size_t row = entry & ~kOlderRow;
        return {'-', &rows, row, row < rows.rowCount() ? rows.value(row) : std::string_view()};
    }
    ComparedRow shown{0, &display_.list(list), entry, {}};
    const ListMarks& marks = marks_[At(list)];
    if (!comparing() || marks.entries.empty()) {
        return shown;
    }
    // The row's place in the merged list, then the difference there, if any.
    const auto removedBefore = static_cast<std::uint32_t>(
        std::upper_bound(marks.anchors.begin(), marks.anchors.end(), entry) -
        marks.anchors.begin());
    const std::uint32_t position = entry + removedBefore;
    const auto it = std::lower_bound(marks.positions.begin(), marks.positions.end(), position);
    if (it == marks.positions.end() || *it != position) {
        return shown;
    }
    const std::uint32_t oldRow =
        marks.oldRows[static_cast<std::size_t>(it - marks.positions.begin())];
    if (oldRow == kNoRow) {
        shown.mark = '+';
    } else {
        shown.mark = '~';
        shown.before = older_->list(list).value(oldRow);
    }
    return shown;
}

std::string_view ComparePresenter::endTwBefore() const {
    return comparing() && endTw_ ? std::string_view(older_->endTwText) : std::string_view();
}

std::string ComparePresenter::endTwHeading() const {
    const char mark = endTw_ ? static_cast<char>(*endTw_) : ' ';
    return messages_(message::kEndTwBefore, {std::string_view(&mark, 1)});
}

std::size_t ComparePresenter::differenceCount() const {
    if (!comparing()) {
        return 0;
    }
    std::size_t count = endTw_ ? 1 : 0;
    for (const ListMarks& marks : marks_) {
        count += marks.entries.size();
    }
    return count;
}

void ComparePresenter::listsChanging() {
    dropMarks();
    if (refreshing_) {
        // The Display shown becomes the previous one: its rows are moved, not
        // copied, and the Display about to run refills the other lists.
        if (!older_) {
            older_ = std::make_unique<DisplayCommand>(viewerLink_, display_.labels());
        }
        older_->swapDisplayed(display_);
        older_->useHostLink(viewerLink_);  // before the snapshot compared with goes
        otherLink_.reset();
    }
}

void ComparePresenter::listsChanged() {
    if (refreshing_) {
        against_ = Against::Previous;
        if (!open_) {
            open_ = true;
            view_.showCompareBar(true, false);
        }
    } else if (against_ == Against::Previous) {
        // A Display of its own: what it would be compared with is unclear.
        close();
        return;
    }
    if (against_ != Against::Nothing) {
        buildMarks();
    }
}

void ComparePresenter::buildMarks() {
    view_.beginMarksChange();
    for (ListMarks& marks : marks_) {
        marks = ListMarks{};
    }
    CompareDisplays(*older_, display_, [this](const RowDifference& difference) {
        ListMarks& marks = marks_[At(difference.list)];
        switch (difference.mark) {
            case RowDifference::Mark::Removed:
                marks.entries.push_back(static_cast<std::uint32_t>(difference.oldRow) | kOlderRow);
                marks.oldRows.push_back(static_cast<std::uint32_t>(difference.oldRow));
                marks.positions.push_back(
                    static_cast<std::uint32_t>(difference.beforeNewRow + marks.anchors.size()));
                marks.anchors.push_back(static_cast<std::uint32_t>(difference.beforeNewRow));
                break;
            case RowDifference::Mark::Added:
            case RowDifference::Mark::Changed:
                marks.entries.push_back(static_cast<std::uint32_t>(difference.newRow));
                marks.oldRows.push_back(difference.mark == RowDifference::Mark::Added
                                            ? kNoRow
                                            : static_cast<std::uint32_t>(difference.oldRow));
                marks.positions.push_back(
                    static_cast<std::uint32_t>(difference.newRow + marks.anchors.size()));
                break;
        }
    });
    for (const PageListInfo& info : kPageLists) {
        ListMarks& marks = marks_[At(info.list)];
        if (marks.anchors.empty()) {
            continue;  // the view shows the list's rows as they are
        }
        const std::size_t rows = display_.list(info.list).rowCount();
        marks.merged.reserve(rows + marks.anchors.size());
        std::uint32_t next = 0;
        std::size_t removed = 0;
        for (const std::uint32_t entry : marks.entries) {
            if ((entry & kOlderRow) == 0) {
                continue;
            }
            for (const std::uint32_t anchor = marks.anchors[removed++]; next < anchor;) {
                marks.merged.push_back(next++);
            }
            marks.merged.push_back(entry);
        }
        while (next < rows) {
            marks.merged.push_back(next++);
        }
    }
    endTw_ = CompareEndTw(*older_, display_);
    active_ = true;
    view_.endMarksChange();
    showCaptions();
    showStatus();
}

void ComparePresenter::dropMarks() {
    if (!active_) {
        return;
    }
    view_.beginMarksChange();
    active_ = false;
    for (ListMarks& marks : marks_) {
        marks = ListMarks{};
    }
    endTw_.reset();
    view_.endMarksChange();
}

void ComparePresenter::showCaptions() {
    for (int slot = 0; slot <= kEndTwSlot; ++slot) {
        const int tab = TabOfSlot(slot);
        const std::string fixed(form::TabCaption(tab));
        if (!comparing()) {
            view_.setTabCaption(tab, fixed);
            continue;
        }
        const std::size_t count = slot == kEndTwSlot
                                      ? (endTw_ ? 1U : 0U)
                                      : marks_[static_cast<std::size_t>(slot)].entries.size();
        view_.setTabCaption(tab, messages_(message::kFindTabCaption, {fixed, grouped(count)}));
    }
}

void ComparePresenter::showStatus() {
    if (!comparing()) {
        view_.showCompareStatus({}, {});
        return;
    }
    std::string described;
    if (against_ == Against::Previous) {
        described = messages_(message::kComparedWithPrevious, {TimeOfDay(older_->fetchedAt())});
    } else {
        described = messages_(message::kComparedWith,
                              {older_->connectedAddress, older_->userSpace,
                               DescribeSource(older_->outcome().source, messages_)});
    }
    const std::size_t total = differenceCount();
    const std::string count = total == 0   ? messages_(message::kNoDifference, {})
                              : total == 1 ? messages_(message::kOneDifference, {})
                                           : messages_(message::kDifferences, {grouped(total)});
    view_.showCompareStatus(described, count);
    // The bar is narrow at the design size: the status line says it whole,
    // under what went wrong when the Display shown stopped short.
    if (display_.outcome().stage == DisplayOutcome::Stage::Completed) {
        window_.showStatus(count + ". " + described);
    } else {
        window_.addStatus(count + ". " + described);
    }
    comparedStatus_ = window_.statusMessage();
}

void ComparePresenter::step(int direction) {
    if (!comparing()) {
        open();
        return;
    }
    if (const std::optional<Place> next = differenceFrom(selectedPlace(), direction)) {
        goTo(*next);
    }
}

void ComparePresenter::goTo(const Place& place) {
    view_.selectTab(TabOfSlot(place.slot));
    if (place.slot == kEndTwSlot) {
        return;
    }
    const PageList list = ListOfSlot(place.slot);
    auto viewRow = static_cast<std::size_t>(place.position);
    if (onlyDifferences_) {
        const std::vector<std::uint32_t>& positions = marks_[At(list)].positions;
        viewRow =
            static_cast<std::size_t>(std::lower_bound(positions.begin(), positions.end(),
                                                      static_cast<std::uint32_t>(place.position)) -
                                     positions.begin());
    }
    view_.selectRow(list, viewRow);
    rowClicked(list, viewRow);
}

ComparePresenter::Place ComparePresenter::selectedPlace() const {
    const int tab = view_.selectedTab();
    if (tab == form::kEndTwTab) {
        return {kEndTwSlot, 0};
    }
    for (int slot = 0; slot < kEndTwSlot; ++slot) {
        const PageList list = ListOfSlot(slot);
        if (TabOfSlot(slot) != tab) {
            continue;
        }
        const std::optional<std::size_t> viewRow = view_.currentRow(list);
        if (!viewRow) {
            return {slot, -1};
        }
        if (onlyDifferences_ && comparing()) {
            const std::vector<std::uint32_t>& positions = marks_[At(list)].positions;
            return {slot, *viewRow < positions.size()
                              ? static_cast<std::int64_t>(positions[*viewRow])
                              : -1};
        }
        return {slot, static_cast<std::int64_t>(*viewRow)};
    }
    return {};  // the Info tab: before everything
}

std::optional<ComparePresenter::Place> ComparePresenter::differenceFrom(const Place& from,
                                                                        int direction) const {
    constexpr std::int64_t kBefore = -1;
    constexpr std::int64_t kAfter = std::int64_t{1} << 40;
    constexpr int kSlots = kEndTwSlot + 1;
    // The nearest difference of a slot beyond `bound` in the direction.
    const auto inSlot = [this, direction](int slot,
                                          std::int64_t bound) -> std::optional<std::int64_t> {
        if (slot == kEndTwSlot) {
            const bool beyond = direction > 0 ? bound < 0 : bound > 0;
            return endTw_ && beyond ? std::optional<std::int64_t>(0) : std::nullopt;
        }
        const std::vector<std::uint32_t>& positions =
            marks_[static_cast<std::size_t>(slot)].positions;
        if (direction > 0) {
            const auto it = std::upper_bound(positions.begin(), positions.end(), bound,
                                             [](std::int64_t b, std::uint32_t p) { return b < p; });
            return it != positions.end() ? std::optional<std::int64_t>(*it) : std::nullopt;
        }
        const auto it = std::lower_bound(positions.begin(), positions.end(), bound,
                                         [](std::uint32_t p, std::int64_t b) { return p < b; });
        return it != positions.begin() ? std::optional<std::int64_t>(*(it - 1)) : std::nullopt;
    };
    // From the slot in hand round to it again, the whole of it the second time.
    for (int i = 0; i <= kSlots; ++i) {
        int slot = 0;
        std::int64_t bound = direction > 0 ? kBefore : kAfter;
        if (from.slot < 0) {
            if (i == kSlots) {
                break;
            }
            slot = direction > 0 ? i : kSlots - 1 - i;
        } else {
            slot = ((from.slot + direction * i) % kSlots + kSlots) % kSlots;
            if (i == 0) {
                bound = from.position;
            }
        }
        if (const std::optional<std::int64_t> position = inSlot(slot, bound)) {
            return Place{slot, *position};
        }
    }
    return std::nullopt;
}

std::uint32_t ComparePresenter::entryOf(PageList list, std::size_t viewRow) const {
    const std::vector<std::uint32_t>* map = rowMap(list);
    if (map == nullptr) {
        return static_cast<std::uint32_t>(viewRow);
    }
    return viewRow < map->size() ? (*map)[viewRow]
                                 : static_cast<std::uint32_t>(display_.list(list).rowCount());
}

std::size_t ComparePresenter::viewRowOfNew(PageList list, std::size_t row) const {
    if (!comparing()) {
        return row;
    }
    const std::size_t position = mergedPosition(list, row);
    if (!onlyDifferences_) {
        return position;
    }
    const ListMarks& marks = marks_[At(list)];
    return static_cast<std::size_t>(
        std::lower_bound(marks.positions.begin(), marks.positions.end(), position) -
        marks.positions.begin());
}

std::size_t ComparePresenter::mergedPosition(PageList list, std::size_t row) const {
    // Every removed row that stands before it moves it down one.
    const ListMarks& marks = marks_[At(list)];
    return row + static_cast<std::size_t>(
                     std::upper_bound(marks.anchors.begin(), marks.anchors.end(), row) -
                     marks.anchors.begin());
}

const std::vector<std::uint32_t>* ComparePresenter::viewRowMap(PageList list) const {
    return comparing() ? rowMap(list) : find_.rowMap(list);
}

std::optional<std::size_t> ComparePresenter::viewRowOf(PageList list, std::size_t row) const {
    const auto exactly = [](const std::vector<std::uint32_t>& sorted,
                            std::size_t value) -> std::optional<std::size_t> {
        const auto at = std::lower_bound(sorted.begin(), sorted.end(), value);
        if (at == sorted.end() || *at != value) {
            return std::nullopt;
        }
        return static_cast<std::size_t>(at - sorted.begin());
    };
    if (!comparing()) {
        const std::vector<std::uint32_t>* matching = find_.rowMap(list);
        return matching != nullptr ? exactly(*matching, row) : std::optional(row);
    }
    const std::size_t position = mergedPosition(list, row);
    return onlyDifferences_ ? exactly(marks_[At(list)].positions, position)
                            : std::optional(position);
}

std::string ComparePresenter::grouped(std::size_t number) const {
    return GroupDigits(number, messages_);
}

}  // namespace twds

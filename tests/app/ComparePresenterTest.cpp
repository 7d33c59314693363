#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FakeHostLink.h"
#include "MemoryRegistry.h"
#include "ModelPages.h"
#include "QuietWindowView.h"
#include "TabsAndRows.h"
#include "twds/ComparePresenter.h"
#include "twds/DisplayCommand.h"
#include "twds/FindPresenter.h"
#include "twds/MainWindowPresenter.h"

namespace twds {
namespace {

using Log = std::vector<std::string>;

class FakeFindView : public FindView {
public:
    void showFindBar(bool /*shown*/) override {}
    void showFindStatus(std::string_view /*text*/) override {}
    void setTabCaption(int /*tab*/, std::string_view /*caption*/) override {}
    void selectTab(int /*tab*/) override {}
    [[nodiscard]] int selectedTab() const override { return 0; }
    [[nodiscard]] std::optional<std::size_t> currentRow(PageList /*list*/) const override {
        return std::nullopt;
    }
    void selectRow(PageList /*list*/, std::size_t /*viewRow*/) override {}
    void beginMatchesChange() override {}
    void endMatchesChange() override {}
    void post(std::function<void()> /*task*/) override {}
};

// The compare bar and the lists: the tab and rows it was told to select
// (which it then reports as selected), the captions, the scroll positions and
// the timer.
class FakeCompareView : public CompareView, public test::TabsAndRows {
public:
    void showCompareBar(bool shown, bool /*takeFocus*/) override { barShown = shown; }
    [[nodiscard]] std::string compareTarget() const override { return target; }
    void setCompareTarget(std::string_view text) override { target = text; }
    void showCompareStatus(std::string_view described, std::string_view count) override {
        this->described = described;
        this->count = count;
    }
    void setOnlyDifferencesChecked(bool /*on*/) override {}
    void setTabCaption(int tab, std::string_view caption) override {
        captions.at(static_cast<std::size_t>(tab)) = caption;
    }
    void selectTab(int tab) override { this->tab = tab; }
    [[nodiscard]] int selectedTab() const override { return tab; }
    [[nodiscard]] std::optional<std::size_t> currentRow(PageList list) const override {
        return rows[static_cast<std::size_t>(list)];
    }
    void selectRow(PageList list, std::size_t viewRow) override {
        rows[static_cast<std::size_t>(list)] = viewRow;
    }
    [[nodiscard]] int scrollPosition(PageList list) const override {
        return scrolled[static_cast<std::size_t>(list)];
    }
    void setScrollPosition(PageList list, int position) override {
        scrolled[static_cast<std::size_t>(list)] = position;
    }
    void showValue(PageList /*list*/, std::string_view bytes) override { value = bytes; }
    void setAddressText(std::string_view /*text*/) override {}
    void setNameText(std::string_view /*text*/) override {}
    void setBusy(bool /*busy*/) override {}
    void beginMarksChange() override {}
    void endMarksChange() override {}
    [[nodiscard]] std::optional<std::filesystem::path> askOpenPath(
        const SaveAsRequest& /*request*/) override {
        return std::nullopt;
    }
    [[nodiscard]] std::optional<std::string> askText(std::string_view /*title*/,
                                                     std::string_view /*prompt*/) override {
        return answer;
    }
    void setRefreshTimer(int seconds) override { timer = seconds; }
    void flushStatus() override {}

    bool barShown = false;
    std::string target;
    std::string described;
    std::string count;
    std::string value;
    int timer = 0;
    std::optional<std::string> answer;
    std::array<int, kPageListCount> scrolled{};
};

class ComparePresenterTest : public ::testing::Test {
protected:
    ComparePresenterTest() {
        link.pages = test::BuildPages(test::ThreeFilesModel(true));
        window.display();
    }

    // The marks of the view rows of a list: "." for a row the same in both.
    std::string marks(PageList list) {
        std::string shown;
        const std::vector<std::uint32_t>* map = compare.rowMap(list);
        const std::size_t rows = map != nullptr ? map->size() : command.list(list).rowCount();
        for (std::size_t row = 0; row < rows; ++row) {
            const char mark = compare.shownRow(list, row).mark;
            shown += mark == 0 ? '.' : mark;
        }
        return shown;
    }

    test::FakeHostLink link;
    PageLabels labels{[](int id) { return "L" + std::to_string(id); }};
    DisplayCommand command{link, labels};
    test::MemoryRegistry registry;
    test::QuietWindowView windowView;
    MainWindowPresenter window{windowView, command, registry, BuiltInMessages(),
                               [](std::string_view id) { return std::string(id); }};
    FakeFindView findView;
    FindPresenter find{findView, window, command, BuiltInMessages()};
    FakeCompareView view;
    ComparePresenter compare{view, window, command, find, BuiltInMessages()};
};

// The shown user space (newer) against the other one (older): a ZC entry
// added, a whole file removed and standing where it stood, a changed count on
// FC and GC, and End_TW. The captions count per tab, End_TW as one.
TEST_F(ComparePresenterTest, MarksChangedAddedAndRemovedRowsInListOrder) {
    link.pages = test::BuildPages(test::ThreeFilesModel(false));
    compare.compareWith(" 10.0.0.5/TWMODEL001 ");
    EXPECT_TRUE(compare.comparing());
    EXPECT_EQ(view.shownCaptions(), "|CX 0|GC 1|FC 75|ZC 19|SQL 0|End_TW 1");
    EXPECT_EQ(view.count, "96 differences");
    EXPECT_EQ(view.described.substr(0, 34), "Compared with 10.0.0.5/TWMODEL001 ");

    // ZC: CUSTMAST01's heading and entry 1, its entry 2 added, ORDERS0002
    // removed (heading and entry), ITEMS00003 the same.
    EXPECT_EQ(marks(PageList::ZC), std::string(10, '.') + std::string(9, '+') +
                                       std::string(10, '-') + std::string(10, '.'));
    // FC: the number of ZC entries of CUSTMAST01 (row 34 of its 74), then
    // the 74 rows of ORDERS0002 before ITEMS00003's.
    const std::string fc = marks(PageList::FC);
    EXPECT_EQ(fc, std::string(34, '.') + "~" + std::string(39, '.') + std::string(74, '-') +
                      std::string(74, '.'));
    const ComparedRow count = compare.comparedRow(PageList::FC, 34);
    EXPECT_EQ(count.list->value(count.row), "         2");
    EXPECT_EQ(count.before, "         1");
    const ComparedRow removed = compare.shownRow(PageList::FC, 76);
    EXPECT_EQ(removed.list->value(removed.row), "ORDERS0002");
    EXPECT_EQ(removed.before, "ORDERS0002");
    EXPECT_EQ(compare.endTwMark(), RowDifference::Mark::Changed);
    EXPECT_EQ(compare.endTwBefore(), "Opening text");

    // A click on a removed row shows the older value and file, which is its
    // file column's cell too; a copy leaves it out.
    compare.rowClicked(PageList::FC, 76);
    EXPECT_EQ(windowView.value, "FC ORDERS0002");
    EXPECT_NE(windowView.status.find("\nFile ORDERS0002\n"), std::string::npos)
        << windowView.status;
    EXPECT_EQ(compare.fileColumnText(PageList::FC, removed), "ORDERS0002");
    EXPECT_EQ(compare.fileColumnText(PageList::FC, count), "CUSTMAST01");
    const std::string status = windowView.status;
    compare.copyRows(PageList::FC, {{73, 75}});
    EXPECT_EQ(std::ranges::count(windowView.clipboard, '\n'), 1) << windowView.clipboard;
    EXPECT_EQ(windowView.status, status) << "one row of one selected was copied";

    // A list row's place in the view: after the removed rows before it, and
    // with only the differences shown, none for a row the same in both.
    EXPECT_EQ(compare.viewRowOf(PageList::FC, 74), 148U);
    EXPECT_EQ(compare.listRowOf(PageList::FC, 148), 74U);
    EXPECT_EQ(compare.listRowOf(PageList::FC, 76), std::nullopt) << "only the other one has it";
    EXPECT_EQ(compare.listRowOf(PageList::FC, 222), std::nullopt) << "past the view's rows";
    compare.setOnlyDifferences(true);
    EXPECT_EQ(compare.viewRowOf(PageList::FC, 34), 0U);
    EXPECT_EQ(compare.viewRowOf(PageList::FC, 0), std::nullopt);
    compare.setOnlyDifferences(false);

    compare.close();
    EXPECT_FALSE(view.barShown);
    // The status line names the Display shown again, not the comparison.
    EXPECT_EQ(windowView.status.substr(0, windowView.status.find('\n')),
              "User space TWMODEL001 displayed: 2 file(s).");
    EXPECT_EQ(compare.viewRowOf(PageList::FC, 74), 74U);
    EXPECT_EQ(compare.listRowOf(PageList::FC, 147), 147U);
    EXPECT_EQ(compare.listRowOf(PageList::FC, 148), std::nullopt) << "past the list's rows";
    EXPECT_EQ(view.shownCaptions(), "|CX|GC|FC|ZC|SQL|End_TW");
    EXPECT_EQ(compare.rowMap(PageList::FC), nullptr);

    // Under a Display that stopped short, the status line keeps its reason
    // above the count, not the note said while the other one was displayed.
    link.failAt = std::make_pair('G', 1024);
    window.display();
    const std::string reason = windowView.status.substr(0, windowView.status.find('\n'));
    link.failAt.reset();
    compare.compareWith("10.0.0.5/TWMODEL001");
    EXPECT_TRUE(windowView.status.starts_with(reason + "\n")) << windowView.status;
    EXPECT_EQ(windowView.status.find("to compare with"), std::string::npos) << windowView.status;
}

// The find bar's F3 and "only matching rows" take the comparison's place:
// the lists show one row map at a time.
TEST_F(ComparePresenterTest, FindCommandsCloseTheComparison) {
    link.pages = test::BuildPages(test::ThreeFilesModel(false));
    compare.compareWith("10.0.0.5/TWMODEL001");
    compare.findNext();
    EXPECT_FALSE(compare.comparing());
    EXPECT_FALSE(view.barShown);
    compare.compareWith("10.0.0.5/TWMODEL001");
    compare.setOnlyMatching(false);
    EXPECT_TRUE(compare.comparing()) << "turning it off leaves the comparison";
    compare.setOnlyMatching(true);
    EXPECT_FALSE(compare.comparing());
    EXPECT_TRUE(find.onlyMatching());
}

// Each mark on a tint of its own, which both windows draw; none for a row
// the same in both.
TEST(MarkTintTest, EachMarkHasItsOwnLightTint) {
    EXPECT_EQ(MarkTint('~'), (Tint{0xFF, 0xF0, 0xB3}));
    EXPECT_EQ(MarkTint('+'), (Tint{0xD4, 0xF0, 0xD4}));
    EXPECT_EQ(MarkTint('-'), (Tint{0xF6, 0xD0, 0xD0}));
    EXPECT_EQ(MarkTint(0), std::nullopt);
}

// Only the differences: each list's map holds its differences in order, a
// removed row as an older row. F7 and Shift+F7 go in tab order from the
// selected row and wrap round, whichever rows are shown.
TEST_F(ComparePresenterTest, OnlyDifferencesAndNextPreviousAcrossTabs) {
    link.pages = test::BuildPages(test::ThreeFilesModel(false));
    compare.compareWith("10.0.0.5/TWMODEL001");
    compare.setOnlyDifferences(true);
    std::vector<std::uint32_t> zc = {10, 11, 12, 13, 14, 15, 16, 17, 18};
    for (std::uint32_t row = 10; row < 20; ++row) {
        zc.push_back(row | ComparePresenter::kOlderRow);
    }
    EXPECT_EQ(*compare.rowMap(PageList::ZC), zc);
    EXPECT_EQ(*compare.rowMap(PageList::SQL), std::vector<std::uint32_t>{});
    compare.setOnlyDifferences(false);

    Log visited;
    for (int i = 0; i < 3; ++i) {
        compare.nextDifference();
        visited.push_back(view.at());
    }
    view.selectTab(InfoOf(PageList::ZC).tab);
    view.rows[static_cast<std::size_t>(PageList::ZC)] = 29;  // ITEMS00003's heading
    compare.nextDifference();
    visited.push_back(view.at());
    compare.nextDifference();
    visited.push_back(view.at());
    compare.previousDifference();
    visited.push_back(view.at());
    compare.setOnlyDifferences(true);
    view.selectTab(InfoOf(PageList::ZC).tab);
    view.rows[static_cast<std::size_t>(PageList::ZC)] = 9;  // ORDERS0002's heading
    compare.previousDifference();
    visited.push_back(view.at());
    EXPECT_EQ(visited, (Log{"GC 15", "FC 34", "FC 74", "End_TW", "GC 15", "End_TW", "ZC 8"}));
}

// F5 displays the same user space again, keeps the tab, the row by its key
// and the scroll positions, and marks what changed since. The marks go with
// a Display of the user's own.
TEST_F(ComparePresenterTest, RefreshKeepsTheRowByKeyAndMarksWhatChanged) {
    test::UserSpaceModel before = test::ThreeFilesModel(true);
    before.files[0].zcCount = 1;
    link.pages = test::BuildPages(before);
    window.display();
    view.selectTab(InfoOf(PageList::ZC).tab);
    view.rows[static_cast<std::size_t>(PageList::ZC)] = 10;  // ITEMS00003's heading
    view.scrolled[static_cast<std::size_t>(PageList::ZC)] = 7;

    link.pages = test::BuildPages(test::ThreeFilesModel(true));
    EXPECT_TRUE(compare.refresh());
    EXPECT_EQ(view.at(), "ZC 19");
    EXPECT_EQ(command.list(PageList::ZC).text(19).substr(0, 5), "L5601");
    EXPECT_EQ(view.scrolled[static_cast<std::size_t>(PageList::ZC)], 7);
    EXPECT_EQ(view.shownCaptions(), "|CX 0|GC 0|FC 1|ZC 9|SQL 0|End_TW 0");
    EXPECT_EQ(compare.comparedRow(PageList::FC, 34).before, "         1");
    EXPECT_TRUE(view.barShown);

    window.display();
    EXPECT_FALSE(compare.comparing());
    EXPECT_EQ(view.shownCaptions(), "|CX|GC|FC|ZC|SQL|End_TW");
}

// Refresh every N seconds: 1 to 3600, anything else refused and off; the
// same command turns it off; a refresh that fails stops it and says why.
TEST_F(ComparePresenterTest, AutomaticRefreshTakesOneToThreeThousandSixHundredSeconds) {
    for (const char* refused : {"0", "3601", "ten", "5s", ""}) {
        view.timer = -1;
        compare.setAutoRefresh(refused);
        EXPECT_EQ(view.timer, 0) << refused;
        EXPECT_NE(windowView.status.find("is not a number of seconds from 1 to 3600"),
                  std::string::npos)
            << refused;
    }
    view.answer = " 3600 ";
    compare.autoRefreshCommand();
    EXPECT_EQ(view.timer, 3600);
    compare.autoRefreshCommand();  // on: turns it off without asking
    EXPECT_EQ(view.timer, 0);

    compare.setAutoRefresh("1");
    link.failAt = std::make_pair('G', 1024);
    compare.timerFired();
    EXPECT_EQ(view.timer, 0);
    EXPECT_EQ(compare.autoRefreshSeconds(), 0);
    EXPECT_EQ(windowView.status.substr(0, 57),
              "The automatic refresh stopped because the refresh failed.");
    EXPECT_NE(windowView.status.find("G"), std::string::npos);
}

}  // namespace
}  // namespace twds

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <numeric>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "FakeHostLink.h"
#include "MemoryRegistry.h"
#include "ModelPages.h"
#include "QuietWindowView.h"
#include "TabsAndRows.h"
#include "twds/DisplayCommand.h"
#include "twds/FindPresenter.h"
#include "twds/MainWindowPresenter.h"

namespace twds {
namespace {

using Log = std::vector<std::string>;

// The find bar: the tab and rows it was told to select (which it then
// reports as selected), the captions, and the posted tasks, which run only
// when the test says.
class FakeFindView : public FindView, public test::TabsAndRows {
public:
    void showFindBar(bool shown) override { log.emplace_back(shown ? "bar shown" : "bar hidden"); }
    void showFindStatus(std::string_view text) override { status = text; }
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
        log.push_back("row " + std::string(InfoOf(list).caption) + " " + std::to_string(viewRow));
    }
    void beginMatchesChange() override { log.emplace_back("matches begin"); }
    void endMatchesChange() override { log.emplace_back("matches end"); }
    void post(std::function<void()> task) override {
        const std::scoped_lock lock(mutex_);
        posted_.push_back(std::move(task));
        postedChanged_.notify_all();
    }

    // Waits for the next posted task (every search posts one) and runs it.
    void runPosted() {
        std::unique_lock lock(mutex_);
        postedChanged_.wait(lock, [this] { return !posted_.empty(); });
        const std::function<void()> task = std::move(posted_.front());
        posted_.pop_front();
        lock.unlock();
        task();
    }
    [[nodiscard]] std::size_t postedCount() {
        const std::scoped_lock lock(mutex_);
        return posted_.size();
    }
    std::string status;
    Log log;

private:
    std::mutex mutex_;
    std::condition_variable postedChanged_;
    std::deque<std::function<void()>> posted_;
};

// A search for "slow" that runs until it is stopped; any other text is
// searched for as the window does. It looks at its stop token as the real
// search does, now and then: waiting on a condition_variable_any for the
// token hung the Windows build under Wine within a few hundred runs.
struct BlockingSearch {
    SearchMatches operator()(const DisplayCommand& display, std::string_view needle,
                             const std::stop_token& stop) const {
        if (needle != "slow") {
            return FindInDisplay(display, needle, stop);
        }
        while (!stop.stop_requested()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        *stopsSeen += 1;
        SearchMatches stopped;
        stopped.stopped = true;
        return stopped;
    }
    std::shared_ptr<int> stopsSeen = std::make_shared<int>(0);
};

class FindPresenterTest : public ::testing::Test {
protected:
    FindPresenterTest() {
        test::UserSpaceModel model;
        model.files = {{"CUSTMAST01", 2, 700, {"insert into custmast", "", "", ""}},
                       {"ORDERS0002", 3, 0, {}}};
        model.endOffset = 4000;
        model.endLength = 40;
        model.endPage = "TWEND00001Closing text\r\nof CustMast";
        link.pages = test::BuildPages(model);
        window.display();
    }

    void search(std::string text) {
        find.textChanged(std::move(text));
        bar.runPosted();
    }

    test::FakeHostLink link;
    PageLabels labels{[](int id) { return "L" + std::to_string(id); }};
    DisplayCommand command{link, labels};
    test::MemoryRegistry registry;
    test::QuietWindowView windowView;
    MainWindowPresenter window{windowView, command, registry, BuiltInMessages(),
                               [](std::string_view id) { return std::string(id); }};
    FakeFindView bar;
    BlockingSearch slow;
    FindPresenter find{bar, window, command, BuiltInMessages(), slow};
};

// "custmast" is in FC rows 0, 2 and 8 (the file's heading, FicID and file
// name), ZC row 0 (its heading), SQL rows 0 and 1 and the End_TW text. The
// counts stand in the captions while the bar is open; the first match from
// the Info tab is selected and shown as a click shows it.
TEST_F(FindPresenterTest, CountsPerTabInTheCaptionsWhileTheBarIsOpen) {
    bar.log.clear();
    find.open();
    EXPECT_EQ(bar.log, (Log{"bar shown"}));
    search("cUSTmAST");
    EXPECT_EQ(bar.shownCaptions(), "|CX 0|GC 0|FC 3|ZC 1|SQL 2|End_TW 1");
    EXPECT_EQ(bar.at(), "FC 0");
    EXPECT_EQ(bar.status, "1 of 7");
    EXPECT_EQ(windowView.value, "FC =================");
    EXPECT_EQ(find.highlighted(), "cUSTmAST");

    find.close();
    EXPECT_EQ(bar.shownCaptions(), "|CX|GC|FC|ZC|SQL|End_TW");
    EXPECT_EQ(bar.log.back(), "bar hidden");
    EXPECT_EQ(find.highlighted(), "");
    // Reopened, it searches for the text it had.
    find.open();
    bar.runPosted();
    EXPECT_EQ(bar.shownCaptions(), "|CX 0|GC 0|FC 3|ZC 1|SQL 2|End_TW 1");
}

// Next and previous go through the tabs in order and wrap around, from the
// row the user selected.
TEST_F(FindPresenterTest, NextAndPreviousFollowTabOrderAndWrapAround) {
    find.open();
    search("custmast");
    Log visited;
    for (int i = 0; i < 7; ++i) {
        find.findNext();
        visited.push_back(bar.at() + " " + bar.status);
    }
    EXPECT_EQ(visited, (Log{"FC 2 2 of 7", "FC 8 3 of 7", "ZC 0 4 of 7", "SQL 0 5 of 7",
                            "SQL 1 6 of 7", "End_TW 7 of 7", "FC 0 1 of 7"}));
    find.findPrevious();
    EXPECT_EQ(bar.at() + " " + bar.status, "End_TW 7 of 7");

    // The user clicks ZC row 5: next is in SQL, previous back in ZC.
    bar.selectTab(InfoOf(PageList::ZC).tab);
    bar.rows[static_cast<std::size_t>(PageList::ZC)] = 5;
    find.findNext();
    EXPECT_EQ(bar.at(), "SQL 0");
    bar.selectTab(InfoOf(PageList::ZC).tab);
    find.findPrevious();
    EXPECT_EQ(bar.at(), "ZC 0");
    EXPECT_EQ(windowView.value, "ZC =================");
}

// Only the matching rows: the view's rows map to the list's for clicks and
// copies, the match in hand stays selected, and all rows come back when the
// toggle is off or the bar closes.
TEST_F(FindPresenterTest, OnlyMatchingRowsMapViewRowsToListRows) {
    find.open();
    search("custmast");
    find.findNext();  // FC row 2
    find.setOnlyMatching(true);
    ASSERT_NE(find.rowMap(PageList::FC), nullptr);
    EXPECT_EQ(*find.rowMap(PageList::FC), (std::vector<std::uint32_t>{0, 2, 8}));
    EXPECT_EQ(*find.rowMap(PageList::CX), std::vector<std::uint32_t>{});
    EXPECT_EQ(bar.at(), "FC 1");  // view row 1 is list row 2

    find.rowClicked(PageList::FC, 2);
    EXPECT_EQ(windowView.value, "FC " + std::string(command.list(PageList::FC).value(8)));
    find.copyRows(PageList::FC, {{1, 2}});
    EXPECT_EQ(windowView.clipboard, "L5603\tCUSTMAST01\nL5609\tSRCLIB/CUSTMAST01             \n");

    find.setOnlyMatching(false);
    EXPECT_EQ(find.rowMap(PageList::FC), nullptr);
    EXPECT_EQ(bar.at(), "FC 2");
    find.setOnlyMatching(true);
    find.close();
    EXPECT_EQ(find.rowMap(PageList::FC), nullptr);
}

// A keystroke stops the search still running before it starts its own; the
// stopped search's result is dropped. A Display stops a search too, and the
// text is searched for again in what it shows.
TEST_F(FindPresenterTest, AKeystrokeOrADisplayStopsTheRunningSearch) {
    find.open();
    find.textChanged("slow");
    EXPECT_EQ(bar.status, "Searching\x85");
    find.textChanged("custmast");
    EXPECT_EQ(*slow.stopsSeen, 1);
    bar.runPosted();  // the stopped one's
    EXPECT_EQ(bar.status, "Searching\x85");
    // F3 pressed twice before the result: both count once it is in.
    find.findNext();
    find.findNext();
    bar.runPosted();
    EXPECT_EQ(bar.status, "3 of 7");

    find.textChanged("slow");
    window.display();
    EXPECT_EQ(*slow.stopsSeen, 2);
    EXPECT_EQ(find.highlighted(), "");
    EXPECT_EQ(bar.status, "Searching\x85");  // again, in the new rows
    find.textChanged("custmast");
    EXPECT_EQ(*slow.stopsSeen, 3);
    for (int i = 0; i < 3; ++i) {
        bar.runPosted();  // two stopped searches', then the last one's
    }
    EXPECT_EQ(bar.status, "3 of 7");  // from FC row 8, where the bar left the user
}

// Texts that cannot match: one Windows-1252 cannot hold is answered at once,
// without a search; control bytes match only themselves; 10,000 characters
// are searched like any text.
TEST_F(FindPresenterTest, TextsThatCannotMatchGetAClearAnswer) {
    find.open();
    find.textChanged(std::nullopt);
    EXPECT_EQ(bar.postedCount(), 0U);
    EXPECT_EQ(bar.status,
              "No match: the text holds characters that Windows-1252, the engine's code page, "
              "cannot hold.");
    EXPECT_EQ(bar.shownCaptions(), "|CX 0|GC 0|FC 0|ZC 0|SQL 0|End_TW 0");

    search(std::string(10'000, 'a'));
    EXPECT_EQ(bar.status, "No match");
    search("text\r\nOF");
    EXPECT_EQ(bar.at() + " " + bar.status, "End_TW 1 of 1");
    search("text\nof");
    EXPECT_EQ(bar.status, "No match");
    find.textChanged("");
    EXPECT_EQ(bar.status, "");
    EXPECT_EQ(bar.shownCaptions(), "|CX|GC|FC|ZC|SQL|End_TW");
}

// Large counts are grouped by thousands, in the captions and the status.
TEST(FindPresenterCounts, LargeCountsAreGroupedByThousands) {
    test::FakeHostLink link;
    PageLabels labels{[](int id) { return "L" + std::to_string(id); }};
    DisplayCommand command{link, labels};
    test::MemoryRegistry registry;
    test::QuietWindowView windowView;
    MainWindowPresenter window{windowView, command, registry, BuiltInMessages(),
                               [](std::string_view id) { return std::string(id); }};
    FakeFindView bar;
    const auto manyInZc = [](const DisplayCommand&, std::string_view, const std::stop_token&) {
        SearchMatches found;
        found.rows[static_cast<std::size_t>(PageList::ZC)].resize(1'234'567);
        std::iota(found.rows[3].begin(), found.rows[3].end(), 0U);
        return found;
    };
    FindPresenter find{bar, window, command, BuiltInMessages(), manyInZc};
    find.open();
    find.textChanged("x");
    bar.runPosted();
    EXPECT_EQ(bar.captions[4], "ZC 1,234,567");
    EXPECT_EQ(bar.status, "1 of 1,234,567");
}

}  // namespace
}  // namespace twds

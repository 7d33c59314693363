#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FakeHostLink.h"
#include "ModelPages.h"
#include "ResultAssertions.h"
#include "TempFolder.h"
#include "TestSupport.h"
#include "twds/DisplayCommand.h"
#include "twds/Export.h"
#include "twds/FileRegistryStore.h"
#include "twds/MainWindowPresenter.h"
#include "twds/ProblemsPresenter.h"

namespace twds {
namespace {

namespace fs = std::filesystem;
using Log = std::vector<std::string>;

// The window form as the localisation walks it: its tag, and the caption it
// is given, logged.
class FakeForm : public LocalisableForm {
public:
    explicit FakeForm(Log& log) : log_(log) {}
    [[nodiscard]] std::string tag() const override { return "5001"; }
    bool setCaption(std::string_view text) override {
        log_.push_back("caption " + std::string(text));
        return true;
    }
    [[nodiscard]] int controlCount() const override { return 0; }
    [[nodiscard]] LocalisableControl* control(int /*index*/) override { return nullptr; }

private:
    Log& log_;
};

// A view that records what it is told, in order, as short lines; the boxes
// hold what the test or the presenter put there.
class FakeView : public MainWindowView {
public:
    explicit FakeView(const DisplayCommand& display) : shown(display) {}

    [[nodiscard]] std::string addressText() const override { return address; }
    [[nodiscard]] std::string nameText() const override { return name; }
    void setAddressText(std::string_view text) override { address = text; }
    void setNameText(std::string_view text) override { log.push_back("name " + (name = text)); }
    void cutNameText(std::size_t from, std::size_t count) override {
        log.push_back("cut " + std::to_string(from) + " " + std::to_string(count));
    }
    void selectTab(int tab) override { log.push_back("tab " + std::to_string(tab)); }
    void showValue(PageList list, std::string_view bytes) override {
        log.push_back("value " + std::string(InfoOf(list).caption) + " " + std::string(bytes));
    }
    void showEndTw(std::string_view text) override { log.push_back("endTw " + std::string(text)); }
    void showStatus(std::string_view text) override { log.push_back("status " + (status = text)); }
    void showTitle(std::string_view text) override { log.push_back("title " + std::string(text)); }
    void copyToClipboard(std::string_view text) override { clipboard = text; }
    void showFileColumn(bool shown) override { log.push_back(shown ? "file on" : "file off"); }
    void showInspection(std::string_view text) override { inspection = text; }
    // With the rows the CX list holds at that moment.
    void beginListsReset() override { log.push_back("reset begin " + cxRows()); }
    void endListsReset() override { log.push_back("reset end " + cxRows()); }
    std::string cxRows() const { return std::to_string(shown.list(PageList::CX).rowCount()); }
    void setBusy(bool busy) override { log.emplace_back(busy ? "busy" : "idle"); }
    void placeControls(const FormLayout& f) override {
        log.push_back("place " + std::to_string(f.tabs.width) + "x" +
                      std::to_string(f.tabs.height));
    }
    [[nodiscard]] std::unique_ptr<LocalisableForm> localisableForm() override {
        return std::make_unique<FakeForm>(log);
    }
    [[nodiscard]] std::optional<fs::path> askSavePath(const SaveAsRequest& r) override {
        log.push_back("save as " + r.title + "|" + r.filter + "|" + r.folder.string() + "|" +
                      r.fileName + ", status " + status);
        return answer;
    }
    [[nodiscard]] std::optional<fs::path> askOpenPath(const SaveAsRequest& r) override {
        log.push_back("open " + r.title + "|" + r.filter + "|" + r.folder.string() + "|" +
                      r.fileName);
        return answer;
    }
    [[nodiscard]] fs::path homeFolder() const override { return "/home/tester"; }
    void closeWindow() override { log.emplace_back("close"); }

    // The lines logged since the last call.
    Log take() { return std::exchange(log, {}); }

    std::string address;
    std::string name;
    std::string status;
    std::string clipboard;
    std::string inspection;
    std::optional<fs::path> answer;  // the Save As dialog's
    Log log;
    const DisplayCommand& shown;
};

std::string Captions(std::string_view id) {
    return id == "5103" ? "&Ex&port" : "T" + std::string(id);
}

const std::string kTarget = "\n5330|127.0.0.1|TWMODEL001";
const std::string kShown = "5308|TWMODEL001|2" + kTarget;

class MainWindowPresenterTest : public ::testing::Test {
protected:
    MainWindowPresenterTest() { link.pages = test::SmallModelPages(); }

    void display(std::string address, std::string name) {
        view.address = std::move(address);
        view.name = std::move(name);
        presenter.display();
    }

    void setDataPath(const fs::path& dataPath) {
        ASSERT_TRUE(test::Succeeded(EnsureRegistryKey(registry, Hive::LocalMachine, kDataPathKey)));
        ASSERT_TRUE(test::Succeeded(StoreRegistryValue(registry, Hive::LocalMachine, kDataPathKey,
                                                       kDataPathValue, dataPath.string(), kRegSz)));
    }

    [[nodiscard]] std::string dataPathMissing() const {
        return "5311|HKEY_LOCAL_MACHINE\\SOFTWARE\\Orinex\\Tidewell\\TW_CFG\\DataPath|" +
               (registryFolder.path() / "HKEY_LOCAL_MACHINE.reg").string();
    }

    test::FakeHostLink link;
    PageLabels labels{[](int id) { return "L" + std::to_string(id); }};
    DisplayCommand command{link, labels};
    test::TempFolder registryFolder;
    FileRegistryStore registry{registryFolder.path()};
    FakeView view{command};
    MainWindowPresenter presenter{view, command, registry, test::EchoLookup, Captions};
    test::TempFolder target;
};

// A Display clears the status and every box, runs with the lists reset
// around it, writes a changed name back and shows the result on the CX tab;
// failures do too, but missing input stays where the user is.
TEST_F(MainWindowPresenterTest, DisplayClearsRunsThenShowsTheResultOnTheCxTab) {
    display(" 127.0.0.1 ", "  twmodel001 ");
    EXPECT_EQ(view.take(),
              (Log{"status ", "value CX ", "value GC ", "value FC ", "value ZC ", "value SQL ",
                   "endTw ", "busy", "reset begin 0", "reset end 35", "idle", "name TWMODEL001",
                   "endTw First line\r\nSecond line", "tab 1", "status " + kShown}));
    EXPECT_EQ(command.address, " 127.0.0.1 ");

    display("127.0.0.1", "TWMODEL001");  // a name needing no change is not written back
    EXPECT_EQ(std::ranges::count(view.take(), "name TWMODEL001"), 0);

    link.openSucceeds = false;
    display("10.1.1.1", "TWMODEL001");
    EXPECT_EQ(std::ranges::count(view.take(), "tab 1"), 1);
    EXPECT_EQ(view.status, "5301|10.1.1.1|host unreachable\n5330|10.1.1.1|TWMODEL001");

    display("  ", "TWMODEL001");
    EXPECT_EQ(std::ranges::count(view.take(), "tab 1"), 0);
    EXPECT_EQ(view.status, "5316");
}

// The command line displays when it holds a "/" (where it is split is
// CommandLineTest's); without one it is ignored.
TEST_F(MainWindowPresenterTest, LoadLocalisesSelectsInfoAndDisplaysACommandLineWithASlash) {
    presenter.load("127.0.0.1 TWMODEL001");
    EXPECT_EQ(view.take(), (Log{"caption T5001", "place 5295x5886", "tab 0", "file off"}));
    EXPECT_DOUBLE_EQ(presenter.listHeightRatio(), 3735.0 / 5895.0);
    EXPECT_TRUE(link.openedMachines.empty());

    presenter.load("127.0.0.1/twmodel001");
    EXPECT_EQ(view.address + "|" + view.name + "|" + view.status, "127.0.0.1|TWMODEL001|" + kShown);
}

// A saved user space given by its path (a double-click on it) is displayed
// from that file, the boxes filled from its path when it has no header, and
// the viewer's own host link is not asked; a broken file is named.
TEST_F(MainWindowPresenterTest, LoadOpensASavedUserSpaceByItsPath) {
    const fs::path file =
        target.write("10.0.0.7/TWMODEL001.twus", test::ToSavedUserSpace(test::SmallModelPages()));
    presenter.load(file.string());
    EXPECT_EQ(view.address + "|" + view.name, "10.0.0.7|TWMODEL001");
    EXPECT_EQ(command.list(PageList::CX).rowCount(), 35u);
    EXPECT_TRUE(view.status.starts_with("5308|TWMODEL001|2\n5461|" + file.string() +
                                        "|10.0.0.7|TWMODEL001\n5330|10.0.0.7|TWMODEL001"))
        << view.status;
    EXPECT_TRUE(link.openedMachines.empty());

    test::WriteBytes(file, "TWUSRSPC PAGES 9\n");
    presenter.openSnapshot(file);
    EXPECT_TRUE(view.status.starts_with("5350|" + file.string() + "|")) << view.status;
}

// Save snapshot asks where, in the user's folder, as NAME.twus, and writes
// the pages; Open snapshot asks in the folder of the last one and displays
// it; nothing displayed is nothing to save, and a cancelled dialog does
// nothing.
TEST_F(MainWindowPresenterTest, SnapshotsAreSavedAndOpenedThroughTheirDialogs) {
    presenter.saveSnapshot();
    EXPECT_EQ(view.take(), (Log{"status 5466"}));

    display("127.0.0.1", "TWMODEL001");
    view.take();
    const fs::path file = target.path() / "kept.twus";
    view.answer = file;
    presenter.saveSnapshot();
    EXPECT_EQ(view.take(), (Log{"save as 5471|5473|/home/tester|TWMODEL001.twus, status " + kShown,
                                "busy", "idle", "status 5462|" + file.string() + "|8" + kTarget}));
    EXPECT_TRUE(
        test::ReadBytes(file).starts_with("TWUSRSPC PAGES 1\n# snapshot address 127.0.0.1\n"));

    link.pages.clear();  // the snapshot alone can serve the pages now
    presenter.openSnapshotAsked();
    Log log = view.take();
    EXPECT_EQ(log.front(), "open 5472|5473|" + target.path().string() + "|TWMODEL001.twus");
    EXPECT_EQ(command.list(PageList::CX).rowCount(), 35u);
    EXPECT_NE(view.status.find("5460|" + file.string() + "|127.0.0.1|TWMODEL001|"),
              std::string::npos)
        << view.status;
    // The title names the snapshot and when it was fetched.
    const auto title = std::ranges::find_if(
        log, [](const std::string& line) { return line.starts_with("title "); });
    ASSERT_NE(title, log.end());
    EXPECT_TRUE(title->starts_with("title 5337|T5001|127.0.0.1|TWMODEL001|20")) << *title;
    EXPECT_TRUE(title->ends_with("Z")) << *title;

    view.answer.reset();
    presenter.openSnapshotAsked();
    presenter.saveSnapshot();
    EXPECT_EQ(std::ranges::count_if(
                  view.take(), [](const std::string& line) { return line.starts_with("status"); }),
              0);
}

// A click shows the row's value, and a row of a file names it in the status
// line between the message and the target.
TEST_F(MainWindowPresenterTest, RowClicksShowTheRowsValueAndFileOrNothingPastTheEnd) {
    display("127.0.0.1", "TWMODEL001");
    view.take();
    presenter.rowClicked(PageList::CX, 1);    // Version
    presenter.rowClicked(PageList::ZC, 2);    // the first ZC entry's field type
    presenter.rowClicked(PageList::SQL, 0);   // the first file's heading
    presenter.rowClicked(PageList::CX, 999);  // past the end
    EXPECT_EQ(
        view.take(),
        (Log{"value CX V01R02    ", "value ZC A ",
             "status 5308|TWMODEL001|2\n5445|FIC0000001|1" + kTarget,
             "value SQL =================", "status 5308|TWMODEL001|2\n5444|FIC0000001" + kTarget,
             "value CX ", "status " + kShown}));
}

// A registry that refuses every write.
class UnwritableRegistry : public RegistryStore {
public:
    [[nodiscard]] KeyHandle openKey(Hive /*hive*/, std::string_view /*keyName*/) override {
        return 0;
    }
    [[nodiscard]] Result<KeyHandle> createKey(Hive /*hive*/,
                                              std::string_view /*keyName*/) override {
        return Failure{"read-only"};
    }
    void closeKey(KeyHandle /*key*/) override {}
    [[nodiscard]] std::int32_t queryValue(KeyHandle /*key*/, std::string_view /*valueName*/,
                                          std::uint32_t& /*type*/, std::string& /*data*/) override {
        return 2;
    }
    [[nodiscard]] Status setValue(KeyHandle /*key*/, std::string_view /*valueName*/,
                                  std::uint32_t /*type*/, std::string_view /*data*/) override {
        return Failure{"read-only"};
    }
};

// The file column's switch outlives the window; a registry that cannot keep
// it still turns the column on, and says it will not be remembered.
TEST_F(MainWindowPresenterTest, FileColumnSwitchIsRememberedOrSaysWhyNot) {
    presenter.setFileColumnShown(true);
    FakeView nextView{command};
    MainWindowPresenter next{nextView, command, registry, test::EchoLookup, Captions};
    next.load("");
    EXPECT_TRUE(next.fileColumnShown());
    EXPECT_EQ(nextView.log.back(), "file on");

    UnwritableRegistry readOnly;
    FakeView failingView{command};
    MainWindowPresenter failing{failingView, command, readOnly, test::EchoLookup, Captions};
    failing.setFileColumnShown(true);
    EXPECT_EQ(failingView.take(), (Log{"file on",
                                       "status 5446|HKEY_CURRENT_USER\\SOFTWARE\\Vellmar\\Vellmar "
                                       "Lumen\\Manager\\twDspUsrSpc\\FileColumn|read-only"}));
}

// Once opened the inspector follows the clicked row, or the tab's page, until
// it is closed; a copy takes the whole inspection.
TEST_F(MainWindowPresenterTest, InspectorFollowsTheClickedRowUntilClosed) {
    display("127.0.0.1", "TWMODEL001");
    presenter.rowClicked(PageList::ZC, 2);
    EXPECT_EQ(view.inspection, "");
    presenter.inspect(InfoOf(PageList::ZC).tab, 2);
    EXPECT_EQ(view.inspection.substr(0, 26), "5447  ZC\n5448  3\n5449  L57");
    presenter.rowClicked(PageList::ZC, 11);
    EXPECT_EQ(view.inspection.substr(0, 18), "5447  ZC\n5448  12\n");
    presenter.copyInspection();
    EXPECT_EQ(view.clipboard, view.inspection);
    presenter.inspect(form::kEndTwTab, std::nullopt);
    EXPECT_EQ(view.inspection.substr(0, 34), "5447  End_TW\n5450  E 00005024\n5458");
    presenter.inspect(form::kInfoTab, std::nullopt);
    EXPECT_EQ(view.inspection, "5459\n");
    presenter.inspectorClosed();
    presenter.rowClicked(PageList::ZC, 2);
    EXPECT_EQ(view.inspection, "5459\n");
}

TEST_F(MainWindowPresenterTest, ExportWithADataPathWritesBesideTheDataFolderWithoutAsking) {
    presenter.load("127.0.0.1/TWMODEL001");
    setDataPath(target.path() / "DATA");
    view.take();
    presenter.exportDisplayed();
    const std::string file = (target.path() / "TWMODEL001.usrspc").string();
    EXPECT_EQ(view.take(), (Log{"busy", "idle", "status 5310|" + file + kTarget}));

    view.name = "   ";  // the name box as it is now: nothing to export
    presenter.exportDisplayed();
    EXPECT_EQ(view.status, kTarget.substr(1));
}

// Without a usable DataPath the dialog asks where, starting in the folder the
// export meant to use when it exists; a cancel keeps the reason in view.
TEST_F(MainWindowPresenterTest, ExportWithoutADataPathAsksWhereAndACancelKeepsTheReason) {
    presenter.load("127.0.0.1/TWMODEL001");
    view.take();
    const fs::path chosen = target.path() / "chosen.usrspc";
    view.answer = chosen;
    presenter.exportDisplayed();
    const std::string asking = dataPathMissing() + " 5323" + kTarget;
    EXPECT_EQ(view.take(),
              (Log{"busy", "idle", "status " + asking,
                   "save as Export|5331|/home/tester|TWMODEL001.usrspc, status " + asking, "busy",
                   "idle", "status 5310|" + chosen.string() + kTarget}));

    view.answer.reset();
    presenter.exportDisplayed();
    EXPECT_EQ(view.status, dataPathMissing() + " 5322" + kTarget);

    fs::create_directory(target.path() / "TWMODEL001.usrspc");
    setDataPath(target.path() / "DATA");
    view.take();
    presenter.exportDisplayed();
    EXPECT_TRUE(view.take().at(3).starts_with("save as Export|5331|" + target.path().string() +
                                              "|TWMODEL001.usrspc, status 5313|"));
}

// The status line's last line names what is shown and where it came from,
// and stays under later messages.
TEST_F(MainWindowPresenterTest, StatusKeepsTheTargetAndSourceUnderLaterMessages) {
    link.servedFrom = {PageSource::Kind::Sample, "/opt/tw/samples/127.0.0.1/TWMODEL001.twus"};
    presenter.load("127.0.0.1/TWMODEL001");
    const std::string context =
        "\n5330|127.0.0.1|TWMODEL001 \xB7 5329|/opt/tw/samples/127.0.0.1/TWMODEL001.twus";
    EXPECT_EQ(view.status, "5308|TWMODEL001|2" + context);
    EXPECT_EQ(presenter.statusText(), view.status);
    // A start-up notice joins the result; nothing is added for "".
    presenter.addStatus("5321|--bogus");
    presenter.addStatus({});
    EXPECT_EQ(view.status, "5308|TWMODEL001|2\n5321|--bogus" + context);
    presenter.showStatus({});
    EXPECT_EQ(view.status, context.substr(1));
}

TEST_F(MainWindowPresenterTest, CopyPutsTheSelectedRowsOnTheClipboardAndSaysWhenCut) {
    display("127.0.0.1", "TWMODEL001");
    presenter.copyRows(PageList::CX, {{1, 1}});
    presenter.copyRows(PageList::CX, {{500, 600}});  // nothing selected: the clipboard stays
    EXPECT_EQ(view.clipboard, "L5404\tV01R02    \n");
    EXPECT_EQ(view.status, kShown);

    FieldList& zc = command.list(PageList::ZC);
    for (std::uint32_t k = 1; k <= 100'001; ++k) {
        ASSERT_TRUE(zc.appendRow("Row", "", k, "v"));
    }
    presenter.copyRows(PageList::ZC, {{0, zc.rowCount() - 1}});
    // 38 rows of the display and the 100,001 added; the counts grouped by
    // thousands (5388, the separator, between the groups).
    EXPECT_EQ(view.status, "5372|1005388000|1005388039" + kTarget);
    EXPECT_EQ(std::ranges::count(view.clipboard, '\n'), 100'000);
}

// Typing may make the name at most 10 characters long, or as long as it
// was; what does not fit is cut from the end of what came in.
TEST_F(MainWindowPresenterTest, TypingIsLimitedButALongerNameIsKept) {
    presenter.nameChanged(0);
    presenter.nameEdited(10, 10);
    presenter.nameEdited(14, 14);  // typed past the limit
    presenter.nameChanged(3);
    presenter.nameEdited(13, 11);  // ten pasted after the first of three
    presenter.nameChanged(14);     // placed by the command line
    presenter.nameEdited(13, 13);
    presenter.nameChanged(13);
    presenter.nameEdited(14, 14);
    presenter.nameEdited(16, 1);  // more than the cursor's offset
    EXPECT_EQ(view.take(), (Log{"cut 10 4", "cut 8 3", "cut 13 1", "cut 0 3"}));
}

TEST_F(MainWindowPresenterTest, ResizePlacesTheLayoutUnlessMinimised) {
    presenter.resized(8015, 9000, false);
    presenter.resized(100, 100, true);
    presenter.resized(100, 100, false);
    EXPECT_EQ(view.take(), (Log{"place 7895x7830", "place 5295x5886"}));
}

// The label column keeps the design's width until the list has columns; only
// the SQL list's wide value column keeps its own width.
TEST_F(MainWindowPresenterTest, ColumnWidthsAreFixedOnlyWhereTheListsNeedIt) {
    const auto widths = [this](PageList list) {
        const ListColumnWidths w = presenter.columnWidths(list);
        return std::to_string(w.label.value_or(-1)) + " " + std::to_string(w.value.value_or(-1));
    };
    EXPECT_EQ(widths(PageList::CX), "2500 -1");
    display("127.0.0.1", "TWMODEL001");
    std::string shown;
    for (const PageList list :
         {PageList::CX, PageList::GC, PageList::FC, PageList::ZC, PageList::SQL}) {
        shown += widths(list) + ",";
    }
    EXPECT_EQ(shown, "-1 -1,-1 -1,-1 -1,-1 -1,-1 50000,");
}

}  // namespace
}  // namespace twds

namespace twds {
namespace {

class FakeProblemsView : public ProblemsView {
public:
    void showProblemsMark(std::optional<Severity> severity, std::string_view text) override {
        log.push_back("mark " + (severity ? std::to_string(static_cast<int>(*severity)) : "-") +
                      " " + std::string(text));
    }
    void showProblemsPane(bool shown) override { log.emplace_back(shown ? "pane on" : "pane off"); }
    void problemsChanged() override { log.emplace_back("changed"); }
    void showListRow(PageList list, std::size_t row) override {
        log.push_back("row " + std::string(InfoOf(list).caption) + " " + std::to_string(row));
    }
    void selectTab(int tab) override { log.push_back("tab " + std::to_string(tab)); }
    Log log;
};

// The mark names the highest severity and the count; the pane's lines sort by
// a column, ties in the Display's order; a line leads to its row, shown as a
// click shows it. A clean Display hides the mark.
TEST_F(MainWindowPresenterTest, ProblemsMarkSortAndJumpToTheirRows) {
    // "Nbr of FC" with decimals, and the second file with the first's FicID.
    link.pages[{'G', 1024}].replace(480, 10, "2.0       ");
    link.pages[{'F', 2560}] = test::BuildFCPage({"FIC0000001", 2, 0, {}});
    FakeProblemsView problemsView;
    ProblemsPresenter problems(problemsView, presenter, command, test::EchoLookup);
    display("127.0.0.1", "TWMODEL001");
    problems.displayed();
    EXPECT_EQ(problemsView.log, (Log{"mark 2 5953|2|5940", "changed"}));
    ASSERT_EQ(problems.lineCount(), 2U);
    const auto line = [&](std::size_t at) {
        std::string text;
        for (int column = 0; column < ProblemsPresenter::kColumnCount; ++column) {
            text += problems.cellText(at, column) +
                    (column + 1 < ProblemsPresenter::kColumnCount ? "|" : "");
        }
        return text;
    };
    EXPECT_EQ(line(0), "5942|GC||16|L5514|5913|2.0       |5932|2");
    EXPECT_EQ(line(1), "5940|FC|FIC0000001|75|L5601FIC0000001|5905|FIC0000001|1|");
    problems.sortBy(ProblemsPresenter::kSeverity, true);
    EXPECT_EQ(problems.cellText(0, ProblemsPresenter::kList), "FC");
    problems.sortBy(ProblemsPresenter::kRow, false);
    EXPECT_EQ(problems.cellText(0, ProblemsPresenter::kList), "FC");
    problems.sortBy(ProblemsPresenter::kList, true);
    EXPECT_EQ(problems.cellText(0, ProblemsPresenter::kList), "GC");

    problemsView.log.clear();
    view.take();
    problems.toggle();
    problems.activate(1);
    EXPECT_EQ(problemsView.log, (Log{"pane on", "row FC 74"}));
    EXPECT_EQ(view.take().front(), "value FC =================");
    problems.close();
    problems.close();
    EXPECT_EQ(problemsView.log.back(), "pane off");
    EXPECT_FALSE(problems.isOpen());

    link.pages = test::SmallModelPages();
    display("127.0.0.1", "TWMODEL001");
    problems.displayed();
    EXPECT_EQ(problemsView.log.at(problemsView.log.size() - 2), "mark - ");
    EXPECT_EQ(problems.lineCount(), 0U);
}

}  // namespace
}  // namespace twds

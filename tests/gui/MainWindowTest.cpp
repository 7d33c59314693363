#include <filesystem>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

#include "FakeHostLink.h"
#include "ModelPages.h"
#include "QtPrinters.h"
#include "ResultAssertions.h"
#include "TempFolder.h"
#include "TestSupport.h"
#include "twds/Catalogue.h"
#include "twds/DisplayCommand.h"
#include "twds/FileRegistryStore.h"
#include "twds/InspectorWindow.h"
#include "twds/MainWindow.h"
#include "twds/PageLabels.h"
#include "twds/ProblemsMark.h"
#include "twds/ProblemsPane.h"

namespace twds {
namespace {

using namespace Qt::StringLiterals;

using test::FakeHostLink;
using test::TempFolder;

// The window over a fake host link serving the small model, with labels
// "L<id>", captions "T<id>" and a registry in a temporary folder. What the
// window decides is its presenter's (MainWindowPresenterTest); these tests
// check that the widgets show it and that their events reach it.
class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() { link.pages = test::SmallModelPages(); }

    template <typename T = QWidget>
    T* child(const char* name) {
        T* found = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QTableView* list(int n) { return child<QTableView>(("ListView" + std::to_string(n)).c_str()); }
    QString boxText(const char* name) { return child<QPlainTextEdit>(name)->toPlainText(); }
    void load(std::string_view argumentText) { window.presenter().load(argumentText); }
    void showWindow() {
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    void display(const QString& address = u"127.0.0.1"_s, const QString& name = u"TWMODEL001"_s) {
        child<QLineEdit>("txtIpAddress")->setText(address);
        child<QLineEdit>("txtUsrSpcName")->setText(name);
        child<QPushButton>("btnDsp")->click();
    }
    void clickRow(QTableView* view, int row) {
        const QModelIndex index = view->model()->index(row, 0);
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    }
    [[nodiscard]] int px(int twips) const { return qRound(twips * window.logicalDpiX() / 1440.0); }

    FakeHostLink link;
    PageLabels labels{[](int id) { return "L" + std::to_string(id); }};
    DisplayCommand command{link, labels};
    TempFolder registryFolder;
    FileRegistryStore registry{registryFolder.path()};
    MainWindow window{command, registry, test::EchoLookup,
                      [](std::string_view id) { return "T" + std::string(id); }};
};

// Every control's name and the page it stands on, and the label each box is
// the buddy of (where its access key leads). The captions the tags give are
// MainWindowFrench's.
TEST_F(MainWindowTest, ControlsCarryTheirNamesTagsAndFixedTabCaptions) {
    load("");
    EXPECT_EQ(child("btnDsp")->property("Tag").toString(), u"_CAP_5101"_s);
    EXPECT_EQ(child<QLabel>("lbTgtMachine")->buddy(), child("txtIpAddress"));
    EXPECT_EQ(child<QLabel>("lbUsrSpcName")->buddy(), child("txtUsrSpcName"));

    auto* tabs = child<QTabWidget>("SSTab1");
    QStringList tabCaptions;
    for (int t = 0; t < tabs->count(); ++t) {
        tabCaptions << tabs->tabText(t);
    }
    EXPECT_EQ(tabCaptions, u"Info CX GC FC ZC SQL End_TW"_s.split(u' '));
    EXPECT_EQ(tabs->currentIndex(), 0);
    // Which tab each control stands on; -1 for the window itself.
    QStringList onTabs;
    for (const char* name :
         {"lbTgtMachine", "txtIpAddress", "lbUsrSpcName", "txtUsrSpcName", "ListView1", "Text1",
          "ListView2", "Text2", "ListView3", "Text3", "ListView4", "Text4", "ListView5", "Text5",
          "txtEnd_TW", "btnDsp", "btnExport", "btnCancel", "statusLine"}) {
        QWidget* parent = child(name)->parentWidget();
        onTabs << QString::number(parent == &window ? -1 : tabs->indexOf(parent));
    }
    EXPECT_EQ(onTabs.join(u' '), u"0 0 0 0 1 1 2 2 3 3 4 4 5 5 6 -1 -1 -1 -1"_s);

    EXPECT_EQ(child<QPlainTextEdit>("Text4")->lineWrapMode(), QPlainTextEdit::NoWrap);
}

// The tab order, walked once round the focus chain from the Display button:
// the controls Tab stops at (not those that hand their focus to a proxy), the
// tab control through its tab bar.
TEST_F(MainWindowTest, FocusMovesInTheDesignOrder) {
    QStringList met;
    QWidget* start = child("btnDsp");
    QWidget* w = start;
    do {
        const bool onTabBar = qobject_cast<QTabBar*>(w->parentWidget()) != nullptr;
        if ((w->focusPolicy() & Qt::TabFocus) != 0 && w->focusProxy() == nullptr && !onTabBar) {
            met << (qobject_cast<QTabBar*>(w) != nullptr ? w->parentWidget() : w)->objectName();
        }
        w = w->nextInFocusChain();
    } while (w != start);
    EXPECT_EQ(met,
              u"btnDsp btnCancel SSTab1 txtIpAddress txtUsrSpcName ListView1 ListView2 "
              u"ListView3 ListView4 ListView5 txtEnd_TW btnExport Text1 Text2 Text3 Text4 "
              u"Text5"_s.split(u' '));
}

// Labels in the window's font, values, whose bytes line up by column, in the
// fixed one; every header and cell drawn from the left.
TEST_F(MainWindowTest, ListColumnsHaveTheirFontsAndAlignment) {
    load("127.0.0.1/TWMODEL001");
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (int n = 1; n <= 5; ++n) {
        SCOPED_TRACE(n);
        const QAbstractItemModel* model = list(n)->model();
        ASSERT_GT(model->rowCount(), 1);
        EXPECT_EQ(list(n)->horizontalHeader()->defaultAlignment(),
                  Qt::AlignLeft | Qt::AlignVCenter);
        EXPECT_FALSE(model->data(model->index(1, 0), Qt::FontRole).isValid());
        EXPECT_EQ(model->data(model->index(1, 1), Qt::FontRole).value<QFont>(), fixed);
        for (int column = 0; column < 2; ++column) {
            EXPECT_FALSE(model->data(model->index(1, column), Qt::TextAlignmentRole).isValid());
        }
        EXPECT_EQ(child(("Text" + std::to_string(n)).c_str())->font(), fixed);
    }
    EXPECT_NE(list(1)->font(), fixed);
    EXPECT_EQ(child("txtEnd_TW")->font(), fixed);
    EXPECT_EQ(child<QLabel>("lbTgtMachine")->alignment(), Qt::AlignLeft | Qt::AlignTop);
    EXPECT_EQ(child<QLabel>("lbUsrSpcName")->alignment(), Qt::AlignLeft | Qt::AlignTop);
}

// The Display button: the boxes' texts reach the command as Windows-1252
// bytes; the lists, boxes, tab and status line show its result.
TEST_F(MainWindowTest, DisplayButtonShowsTheResultInTheWidgets) {
    link.servedFrom = {PageSource::Kind::Library, "/opt/tw/libDllParam.so"};
    link.pages[{'E', 5024}] = std::string("HEADER0001A\0B\tC\r\nD\rE\nF", 22);
    load("");
    display(QString::fromUtf8(" 127.0.0.\u00E9 "), u"  twmodel001 "_s);

    EXPECT_EQ(link.openedMachines, std::vector<std::string>{"127.0.0.\xE9"});
    EXPECT_EQ(child<QTabWidget>("SSTab1")->currentIndex(), 1);
    EXPECT_EQ(list(5)->horizontalHeader()->sectionSize(1), px(50000));
    EXPECT_EQ(child<QLineEdit>("txtUsrSpcName")->text(), u"TWMODEL001"_s);
    // The End_TW text keeps its lines; other control bytes are drawn as marks.
    EXPECT_EQ(boxText("txtEnd_TW"), u"A NUL B TAB C\nD CR E\nF"_s);
    // Lines parted, the middle dot (0xB7) shown as itself.
    EXPECT_EQ(
        window.statusText(),
        QString::fromUtf8("5308|TWMODEL001|2\n"
                          "5330|127.0.0.\u00E9|TWMODEL001 \u00B7 5327|/opt/tw/libDllParam.so"));
    EXPECT_EQ(window.statusText(), child("statusLine")->toolTip());

    // Enter in either box runs the Display too.
    for (const char* box : {"txtIpAddress", "txtUsrSpcName"}) {
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
            QTest::keyClick(child<QLineEdit>(box), key);
        }
    }
    EXPECT_EQ(link.openedMachines.size(), 5U);
}

// A click or the arrow keys show the current row's value in the box of its
// tab; a new Display empties every value box and the End_TW box.
TEST_F(MainWindowTest, ClickingARowShowsItsValueAndANewDisplayEmptiesTheBoxes) {
    load("");
    showWindow();
    display();
    clickRow(list(1), 1);  // Version
    EXPECT_EQ(boxText("Text1"), QString::fromUtf8("V01R02\u00B7\u00B7\u00B7\u00B7"));
    QTest::keyClick(list(1), Qt::Key_Down);
    EXPECT_EQ(boxText("Text1"), QString(10, QChar(0x00B7)));
    child<QTabWidget>("SSTab1")->setCurrentIndex(4);
    clickRow(list(4), 2);  // the first ZC entry's field type
    EXPECT_EQ(boxText("Text4"), QString::fromUtf8("A\u00B7"));

    for (const PageList list :
         {PageList::CX, PageList::GC, PageList::FC, PageList::ZC, PageList::SQL}) {
        window.presenter().rowClicked(list, 1);
    }
    link.openSucceeds = false;
    display();
    for (const char* box : {"Text1", "Text2", "Text3", "Text4", "Text5", "txtEnd_TW"}) {
        EXPECT_EQ(boxText(box), QString()) << box;
    }
}

TEST_F(MainWindowTest, ExitClosesTheConnectionOnceMoreButTheCloseBoxDoesNot) {
    load("127.0.0.1/TWMODEL001");
    window.show();
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(link.closedHandles.size(), 1u);
    window.show();
    child<QPushButton>("btnCancel")->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(link.closedHandles, (std::vector<std::int32_t>{41, 41}));
}

// A paste reaches the presenter's limit, which the box applies at the cursor.
TEST_F(MainWindowTest, PastingIntoTheNameIsLimitedAtTheCursor) {
    load("");
    auto* name = child<QLineEdit>("txtUsrSpcName");
    name->setText(u"ABC"_s);
    name->setCursorPosition(1);
    QApplication::clipboard()->setText(u"0123456789"_s);
    name->paste();
    EXPECT_EQ(name->text(), u"A0123456BC"_s);
    EXPECT_EQ(name->cursorPosition(), 8);
}

// The Save As dialog gets the presenter's request as Qt texts, and what it
// answers comes back as a path.
TEST_F(MainWindowTest, ExportButtonAsksThroughTheSaveAsDialog) {
    load("127.0.0.1/TWMODEL001");
    TempFolder target;
    QStringList asked;
    const QString chosen = QString::fromStdString((target.path() / "chosen.usrspc").string());
    window.setSaveAsDialog([&](const QString& title, const QString& path, const QString& filter) {
        asked << title << path << filter;
        return chosen;
    });
    child<QPushButton>("btnExport")->click();
    EXPECT_EQ(asked,
              QStringList({u"T5103"_s, QDir::home().filePath(u"TWMODEL001.usrspc"_s), u"5331"_s}));
    EXPECT_EQ(window.statusText(), u"5310|"_s + chosen + u"\n5330|127.0.0.1|TWMODEL001"_s);
}

// The controls stand at the presenter's layout converted to pixels; the value
// column ends at the list's right edge, the label column fits the longest
// label.
TEST_F(MainWindowTest, ControlsAndColumnsFollowTheLayout) {
    load("");
    showWindow();
    window.resize(800, 700);
    QApplication::processEvents();
    const FormLayout& f = window.presenter().layout();
    auto* tabs = child<QTabWidget>("SSTab1");
    EXPECT_EQ(tabs->geometry(), QRect(0, 0, 800, px(f.tabs.height)));
    const TwipsRect& exit = f.exitButton;
    EXPECT_EQ(child("btnCancel")->geometry(),
              QRect(px(exit.left), px(exit.top), px(exit.width), px(exit.height)));
    auto* view = list(1);
    EXPECT_EQ(QRect(view->mapTo(tabs, QPoint(0, 0)), view->size()).right() + 1,
              px(f.listView.left + f.listView.width));
    EXPECT_EQ(child("Text1")->mapTo(tabs, QPoint(0, 0)).y(), px(f.valueBox.top));

    // At rest, before any Display, the columns have the design's widths.
    EXPECT_EQ(list(1)->horizontalHeader()->sectionSize(0), px(2500));
    display();
    const auto rightEdgeGap = [this](int n) {
        QHeaderView* header = list(n)->horizontalHeader();
        return list(n)->viewport()->width() - (header->sectionPosition(1) + header->sectionSize(1));
    };
    EXPECT_EQ(rightEdgeGap(1), 0);
    // A list on a hidden tab follows when its tab is shown.
    child<QTabWidget>("SSTab1")->setCurrentIndex(3);
    QApplication::processEvents();
    EXPECT_EQ(rightEdgeGap(3), 0);
    // The GC list's longest label is a fixed one; a few pixels of margin.
    const int longest = list(2)->fontMetrics().horizontalAdvance(u"Extended Sequence Reprise"_s);
    EXPECT_GE(list(2)->horizontalHeader()->sectionSize(0), longest);
    EXPECT_LE(list(2)->horizontalHeader()->sectionSize(0), longest + 12);
}

// Ctrl+C copies the selected rows (several at once) as label-tab-value lines;
// the context menu names its commands with their shortcuts, the find commands
// after a separator.
TEST_F(MainWindowTest, CtrlCCopiesTheSelectedRowsAsLabelTabValueLines) {
    load("");
    showWindow();
    display();
    QTableView* cx = list(1);
    clickRow(cx, 1);
    QTest::mouseClick(cx->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      cx->visualRect(cx->model()->index(0, 0)).center());
    QTest::keyClick(cx, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), u"L5403\tC\nL5404\tV01R02    \n"_s);
    EXPECT_EQ(cx->contextMenuPolicy(), Qt::ActionsContextMenu);
    QStringList commands;
    for (const QAction* action : cx->actions()) {
        commands << action->text() + u' ' + action->shortcut().toString();
    }
    EXPECT_EQ(commands, QStringList({u"5370 Ctrl+C"_s, u"5371 Ctrl+A"_s, u" "_s, u"5380 Ctrl+F"_s,
                                     u"5381 F3"_s, u"5382 Shift+F3"_s, u"5383 "_s, u" "_s,
                                     u"5442 Ctrl+I"_s, u"5471 Ctrl+S"_s, u"5472 Ctrl+O"_s, u" "_s,
                                     u"5474 Ctrl+D"_s, u"5485 F7"_s, u"5486 Shift+F7"_s, u"5478 "_s,
                                     u"5392 F5"_s, u"5393 "_s, u"5946 Ctrl+Shift+P"_s}));
}

// A saved user space dropped on the window is displayed from it (the
// presenter's test says what comes of it); other files are not taken.
TEST_F(MainWindowTest, DroppedSnapshotIsOpened) {
    load("");
    showWindow();
    test::TempFolder folder;
    const auto file =
        folder.write("10.0.0.7/TWMODEL001.twus", test::ToSavedUserSpace(test::SmallModelPages()));
    const auto drop = [this](const std::filesystem::path& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path.string()))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &enter);
        if (!enter.isAccepted()) {
            return false;
        }
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &dropped);
        return true;
    };
    EXPECT_FALSE(drop(folder.write("notes.txt", "x")));
    EXPECT_TRUE(drop(file));
    EXPECT_EQ(child<QLineEdit>("txtIpAddress")->text(), u"10.0.0.7"_s);
    EXPECT_EQ(list(1)->model()->rowCount(), 35);
}

// Ctrl+F anywhere opens the find bar between the tab control and the buttons,
// the cursor in its text; the counts come into the captions when the search's
// result is posted back; F3 in a list reaches the presenter; Esc closes the
// bar, gives the list its focus and leaves the window as it was. The End_TW
// box marks the text too.
TEST_F(MainWindowTest, CtrlFOpensTheFindBarF3MovesEscCloses) {
    load("");
    showWindow();
    display();
    auto* tabs = child<QTabWidget>("SSTab1");
    const QRect atRest = tabs->geometry();
    QTest::keyClick(list(1), Qt::Key_F, Qt::ControlModifier);
    QWidget* bar = child("findBar");
    auto* text = child<QLineEdit>("findText");
    ASSERT_TRUE(bar->isVisible());
    EXPECT_TRUE(text->hasFocus());
    EXPECT_EQ(bar->geometry().top(), tabs->geometry().bottom() + 1);
    EXPECT_LT(bar->geometry().bottom(), child("btnDsp")->geometry().top());

    QTest::keyClicks(text, u"second LINE"_s);
    EXPECT_TRUE(QTest::qWaitFor([&] { return tabs->tabText(6) != u"End_TW"_s; }));
    EXPECT_EQ(tabs->tabText(6), u"5389|End_TW|1"_s);
    EXPECT_EQ(tabs->tabText(1), u"5389|CX|0"_s);
    EXPECT_EQ(tabs->currentIndex(), 6);
    EXPECT_EQ(child<QLabel>("findStatus")->text(), u"5384|1|1"_s);
    auto* endTw = child<QPlainTextEdit>("txtEnd_TW");
    ASSERT_EQ(endTw->extraSelections().size(), 1);
    EXPECT_EQ(endTw->extraSelections()[0].cursor.selectedText(), u"Second line"_s);

    tabs->setCurrentIndex(1);
    QTest::keyClick(list(1), Qt::Key_F3);
    EXPECT_EQ(tabs->currentIndex(), 6);

    tabs->setCurrentIndex(1);
    text->setFocus();
    QTest::keyClick(text, Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(list(1)->hasFocus());
    EXPECT_EQ(tabs->tabText(6), u"End_TW"_s);
    EXPECT_TRUE(endTw->extraSelections().isEmpty());
    EXPECT_EQ(tabs->geometry(), atRest);
}

// F5 displays the user space again and marks what changed since: the
// counts in the captions, a Before column with the mark and the older value,
// a tinted row, the older End_TW text in its box's tooltip. Esc ends it.
TEST_F(MainWindowTest, RefreshMarksChangedRowsWithTheirOlderValues) {
    load("");
    showWindow();
    display();
    std::string& cxPage = link.pages[{'C', 1024}];
    cxPage.replace(cxPage.find("LOCALSYS"), 8, "REMOTSYS");
    link.pages[{'E', 5024}] = "   HEADER0001Other line   ";
    QTest::keyClick(list(1), Qt::Key_F5);

    auto* tabs = child<QTabWidget>("SSTab1");
    EXPECT_EQ(tabs->tabText(1), u"5389|CX|1"_s);
    EXPECT_EQ(tabs->tabText(4), u"5389|ZC|0"_s);
    EXPECT_EQ(tabs->tabText(6), u"5389|End_TW|1"_s);
    EXPECT_TRUE(child("compareBar")->isVisible());
    const FieldListModel& cx = window.listModel(PageList::CX);
    ASSERT_EQ(cx.columnCount(), 3);
    EXPECT_EQ(cx.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), u"5487"_s);
    QStringList marked;
    for (int row = 0; row < cx.rowCount(); ++row) {
        const QString before = cx.data(cx.index(row, 2), Qt::DisplayRole).toString();
        if (!before.isEmpty()) {
            marked << cx.data(cx.index(row, 0), Qt::DisplayRole).toString() + u'|' +
                          cx.data(cx.index(row, 1), Qt::DisplayRole).toString().trimmed() + u'|' +
                          before.trimmed();
            EXPECT_TRUE(cx.data(cx.index(row, 0), Qt::BackgroundRole).isValid());
        }
    }
    EXPECT_EQ(marked, QStringList({u"~ L5414|REMOTSYS|LOCALSYS"_s}));
    EXPECT_EQ(child<QPlainTextEdit>("txtEnd_TW")->toolTip(), u"5490|~\nFirst line\nSecond line"_s);

    QTest::keyClick(list(1), Qt::Key_Escape);
    EXPECT_FALSE(child("compareBar")->isVisible());
    EXPECT_EQ(cx.columnCount(), 2);
    EXPECT_EQ(tabs->tabText(1), u"CX"_s);
}

// The file column's switch, in the menus of FC, ZC and SQL only, adds the
// column before the others on those three; the value column still ends at
// the view's right edge.
TEST_F(MainWindowTest, FileColumnShowsOnTheListsOfFilesOnly) {
    load("");
    showWindow();
    display();
    child<QTabWidget>("SSTab1")->setCurrentIndex(4);
    QApplication::processEvents();
    QStringList switches;
    for (int n = 1; n <= 5; ++n) {
        for (QAction* action : list(n)->actions()) {
            // Not the find bar's, the comparison's or the automatic refresh's.
            if (action->isCheckable() && action->text() != u"5383"_s &&
                action->text() != u"5478"_s && action->text() != u"5393"_s) {
                switches << QString::number(n) + u' ' + action->text() + u' ' +
                                action->shortcut().toString();
            }
        }
    }
    EXPECT_EQ(switches, QStringList({u"3 5441 Ctrl+Shift+L"_s, u"4 5441 Ctrl+Shift+L"_s,
                                     u"5 5441 Ctrl+Shift+L"_s}));
    QTest::keyClick(list(4), Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
    QString columns;
    for (int n = 1; n <= 5; ++n) {
        columns += QString::number(list(n)->model()->columnCount());
    }
    EXPECT_EQ(columns, u"22333"_s);
    QTableView* zc = list(4);
    QHeaderView* header = zc->horizontalHeader();
    EXPECT_EQ(zc->model()->headerData(2, Qt::Horizontal).toString(), u"5440"_s);
    EXPECT_EQ(zc->model()->index(2, 2).data().toString(), u"FIC0000001 #1"_s);
    EXPECT_EQ(header->visualIndex(2), 0);
    EXPECT_EQ(header->sectionPosition(1) + header->sectionSize(1), zc->viewport()->width());
    EXPECT_EQ(RegistryValueText(FetchRegistryValue(
                  registry, Hive::CurrentUser,
                  "SOFTWARE\\Vellmar\\Vellmar Lumen\\Manager\\twDspUsrSpc", "FileColumn")),
              "1");
}

// Ctrl+I, from any control, opens the inspector on the current row; it
// follows the row clicked, copies the whole inspection, and Esc closes it.
TEST_F(MainWindowTest, CtrlIOpensTheInspectorOnTheCurrentRow) {
    load("");
    showWindow();
    display();
    child<QTabWidget>("SSTab1")->setCurrentIndex(4);
    QTableView* zc = list(4);
    clickRow(zc, 2);
    QTest::keyClick(child("btnDsp"), Qt::Key_I, Qt::ControlModifier);
    ASSERT_NE(window.inspector(), nullptr);
    EXPECT_TRUE(window.inspector()->isVisible());
    EXPECT_TRUE(window.inspector()->text().startsWith(u"5447  ZC\n5448  3\n"_s));
    EXPECT_TRUE(child("inspectorText")->font() ==
                QFontDatabase::systemFont(QFontDatabase::FixedFont));
    clickRow(zc, 11);
    EXPECT_TRUE(window.inspector()->text().startsWith(u"5447  ZC\n5448  12\n"_s));
    child<QPushButton>("inspectorCopy")->click();
    EXPECT_EQ(QApplication::clipboard()->text(), window.inspector()->text());
    // Ctrl+C in the inspector, where a click in its text has put the focus.
    QApplication::clipboard()->clear();
    QApplication::setActiveWindow(window.inspector());
    child("inspectorText")->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), child("inspectorText"));
    QTest::keyClick(child("inspectorText"), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), window.inspector()->text());
    QTest::keyClick(child("inspectorText"), Qt::Key_Escape);
    EXPECT_FALSE(window.inspector()->isVisible());
    // Esc in the main window closes it too, once reopened there.
    QApplication::setActiveWindow(&window);
    QTest::keyClick(zc, Qt::Key_I, Qt::ControlModifier);
    EXPECT_TRUE(window.inspector()->isVisible());
    QTest::keyClick(zc, Qt::Key_Escape);
    EXPECT_FALSE(window.inspector()->isVisible());
    // With the find bar open too, Esc closes the one the focus is in first.
    QTest::keyClick(zc, Qt::Key_I, Qt::ControlModifier);
    QTest::keyClick(zc, Qt::Key_F, Qt::ControlModifier);
    QTest::keyClick(child("findText"), Qt::Key_Escape);
    EXPECT_FALSE(child("findBar")->isVisible());
    EXPECT_TRUE(window.inspector()->isVisible());
    QTest::keyClick(zc, Qt::Key_Escape);
    EXPECT_FALSE(window.inspector()->isVisible());
}

// With the real catalogues: the title, captions and the access keys they
// give, and the lists' heading, in English and French. (In English, Exit and
// Export share Alt+E.)
TEST(MainWindowFrench, CaptionsAccessKeysAndListLabelsFollowTheLanguage) {
    for (const std::string language : {"EN", "FR"}) {
        SCOPED_TRACE(language);
        TempFolder registryFolder;
        FileRegistryStore registry(registryFolder.path());
        const std::string key = "SOFTWARE\\Vellmar\\Vellmar Lumen\\Manager\\Settings";
        ASSERT_TRUE(test::Succeeded(EnsureRegistryKey(registry, Hive::CurrentUser, key)));
        ASSERT_TRUE(test::Succeeded(
            StoreRegistryValue(registry, Hive::CurrentUser, key, "Language", language, kRegSz)));
        std::string failure;
        Catalogue catalogue(registry, std::filesystem::path(TWDS_BINARY_DIR) / "bin",
                            [&](const std::string&, const std::string& text) { failure = text; });
        PageLabels labels([&](int id) { return catalogue.text(std::to_string(id)); });
        FakeHostLink link;
        link.pages = test::SmallModelPages();
        DisplayCommand command(link, labels);
        // The context menu's commands are messages.
        const MessageLookup messages = [&](int id, std::initializer_list<std::string_view> v) {
            std::vector<std::string_view> p(v);
            p.resize(7);
            return catalogue.text(std::to_string(id), p[0], p[1], p[2], p[3], p[4], p[5], p[6]);
        };
        MainWindow window(command, registry, messages,
                          [&](std::string_view id) { return catalogue.text(id); });
        window.presenter().load("127.0.0.1/TWMODEL001");
        ASSERT_EQ(failure, "");

        QStringList texts;
        for (const char* name :
             {"btnDsp", "btnCancel", "btnExport", "lbTgtMachine", "lbUsrSpcName"}) {
            texts << window.findChild<QWidget*>(QLatin1String(name))->property("text").toString();
        }
        auto* cx = window.findChild<QTableView*>(u"ListView1"_s);
        for (const QAction* action : cx->actions()) {
            texts << action->text();
        }
        QString keys =
            window.windowTitle() + u" | "_s + cx->model()->headerData(0, Qt::Horizontal).toString();
        for (const QString& text : texts) {
            keys += u" | "_s + text + u' ' + QKeySequence::mnemonic(text).toString();
        }
        EXPECT_EQ(
            keys,
            language == "EN"
                ? u"Display Tidewell userspace | Field name | &Display Alt+D | &Exit Alt+E | "
                  u"&Export Alt+E | Target machine IP Address  | Userspace Name  | "
                  u"&Copy Alt+C | Select &all Alt+A |   | &Find Alt+F | Find &next Alt+N | "
                  u"Find &previous Alt+P | Show &only matching rows Alt+O |   | "
                  u"&Inspect Alt+I | &Save snapshot Alt+S | Op&en snapshot Alt+E |   | "
                  u"Compare &with\u2026 Alt+W | Next difference  | Previous difference  | "
                  u"Only &differences Alt+D | &Refresh Alt+R | Refresh e&very\u2026 Alt+V | "
                  u"Show pro&blems Alt+B"_s
                : QString::fromUtf8(
                      "Afficher l'espace de travail | Nom du champ | &Afficher Alt+A | "
                      "&Quitter "
                      "Alt+Q | &Exporter Alt+E | Adresse IP de la machine cible  | "
                      "Nom de l'espace de travail  | &Copier Alt+C | &Tout "
                      "sélectionner Alt+T |   | &Rechercher Alt+R | Occurrence &suivante Alt+S "
                      "| "
                      "Occurrence &précédente Alt+P | Afficher &uniquement les lignes trouvées "
                      "Alt+U |   | &Inspecter Alt+I | &Enregistrer l'instantané Alt+E | "
                      "&Ouvrir un instantané Alt+O |   | Co&mparer avec… Alt+M | "
                      "Différence suivante  | Différence précédente  | "
                      "&Différences seulement Alt+D | &Actualiser Alt+A | "
                      "Actualiser toutes &les… Alt+L | Afficher les pro&blèmes Alt+B"));
    }
}

}  // namespace
}  // namespace twds

namespace twds {
namespace {

// The mark appears beside the status line after a Display with a problem and
// opens the pane on a click; Enter on a line selects its row on its tab; Esc
// closes the pane.
TEST_F(MainWindowTest, ProblemsMarkOpensThePaneWhoseLinesLeadToTheirRows) {
    link.pages[{'F', 2560}] = test::BuildFCPage({"FIC0000001", 2, 0, {}});
    load("");
    showWindow();
    display();
    ProblemsMark* mark = window.problemsMark();
    ASSERT_TRUE(mark->isVisible());
    EXPECT_EQ(mark->severity(), Severity::Error);
    EXPECT_EQ(mark->text(), u"5953|1|5940"_s);
    EXPECT_GT(mark->geometry().left(), child("txtIpAddress")->geometry().left());

    QTest::mouseClick(mark, Qt::LeftButton);
    QTableView* lines = window.problemsPane()->view();
    ASSERT_TRUE(window.problemsPane()->isVisible());
    ASSERT_EQ(lines->model()->rowCount(), 1);
    EXPECT_EQ(lines->model()->index(0, ProblemsPresenter::kRow).data().toString(), u"75"_s);
    lines->setCurrentIndex(lines->model()->index(0, 0));
    QTest::keyClick(lines, Qt::Key_Return);
    EXPECT_EQ(child<QTabWidget>("SSTab1")->currentIndex(), 3);
    EXPECT_EQ(list(3)->currentIndex().row(), 74);
    EXPECT_EQ(boxText("Text3"), u"================="_s);

    lines->setFocus();
    QTest::keyClick(lines, Qt::Key_Escape);
    EXPECT_FALSE(window.problemsPane()->isVisible());

    link.pages = test::SmallModelPages();
    display();
    EXPECT_FALSE(mark->isVisible());
}

}  // namespace
}  // namespace twds

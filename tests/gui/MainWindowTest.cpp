#include "ResultAssertions.h"
#include "twds/MainWindow.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "FakeHostLink.h"
#include "ModelPages.h"
#include "QtPrinters.h"
#include "TempFolder.h"
#include "TestSupport.h"
#include "twds/Catalogue.h"
#include "twds/DisplayCommand.h"
#include "twds/FileRegistryStore.h"
#include "twds/PageLabels.h"

namespace twds {
namespace {

using namespace Qt::StringLiterals;

using test::EchoLookup;
using test::FakeHostLink;
using test::TempFolder;

std::string FakeCaption(std::string_view id) {
    return "T" + std::string(id);
}

// The window over a fake host link serving the small model, with labels
// "L<id>", captions "T<id>" and a registry in a temporary folder. What the
// window decides is its presenter's (MainWindowPresenterTest); these tests
// check that the widgets show it and that their events reach it.
struct Viewer {
    Viewer() { link.pages = test::SmallModelPages(); }

    template <typename T>
    T* child(const char* name) {
        T* found = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QTableView* list(int n) { return child<QTableView>(("ListView" + std::to_string(n)).c_str()); }

    void load(std::string_view argumentText) { window.presenter().load(argumentText); }

    void display(const QString& address, const QString& name) {
        child<QLineEdit>("txtIpAddress")->setText(address);
        child<QLineEdit>("txtUsrSpcName")->setText(name);
        child<QPushButton>("btnDsp")->click();
    }

    void clickRow(QTableView* view, int row) {
        const QModelIndex index = view->model()->index(row, 0);
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    }

    FakeHostLink link;
    PageLabels labels{[](int id) { return "L" + std::to_string(id); }};
    DisplayCommand command{link, labels};
    TempFolder registryFolder;
    FileRegistryStore registry{registryFolder.path()};
    MainWindow window{command, registry, EchoLookup, FakeCaption};
};

class MainWindowTest : public ::testing::Test, public Viewer {};

TEST_F(MainWindowTest, ControlsCarryTheirNamesTagsAndFixedTabCaptions) {
    load("");
    EXPECT_EQ(window.windowTitle(), QStringLiteral("T5001"));
    // Buttons and labels both show their caption as "text".
    QStringList captions;
    for (const char* name : {"btnDsp", "btnCancel", "btnExport", "lbTgtMachine", "lbUsrSpcName"}) {
        captions << child<QWidget>(name)->property("text").toString();
    }
    EXPECT_EQ(captions, u"T5101 T5102 T5103 T5251 T5252"_s.split(u' '));
    EXPECT_EQ(child<QPushButton>("btnDsp")->property("Tag").toString(),
              QStringLiteral("_CAP_5101"));

    auto* tabs = child<QTabWidget>("SSTab1");
    QStringList tabCaptions;
    for (int t = 0; t < tabs->count(); ++t) {
        tabCaptions << tabs->tabText(t);
    }
    EXPECT_EQ(tabCaptions, u"Info CX GC FC ZC SQL End_TW"_s.split(u' '));
    EXPECT_EQ(tabs->currentIndex(), 0);
    // Which tab each control stands on; the buttons stand on the window.
    QStringList onTabs;
    for (const char* name : {"lbTgtMachine", "txtIpAddress", "lbUsrSpcName", "txtUsrSpcName",
                             "ListView1", "Text1", "ListView2", "Text2", "ListView3", "Text3",
                             "ListView4", "Text4", "ListView5", "Text5", "txtEnd_TW"}) {
        onTabs << QString::number(tabs->indexOf(child<QWidget>(name)->parentWidget()));
    }
    EXPECT_EQ(onTabs.join(u' '), u"0 0 0 0 1 1 2 2 3 3 4 4 5 5 6"_s);
    for (const char* button : {"btnDsp", "btnExport", "btnCancel"}) {
        EXPECT_EQ(child<QWidget>(button)->parentWidget(), &window) << button;
    }

    for (const char* box : {"Text1", "Text2", "Text3", "Text5", "txtEnd_TW"}) {
        EXPECT_EQ(child<QPlainTextEdit>(box)->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    }
    EXPECT_EQ(child<QPlainTextEdit>("Text4")->lineWrapMode(), QPlainTextEdit::NoWrap);
    for (int n = 1; n <= 5; ++n) {
        EXPECT_EQ(list(n)->editTriggers(), QAbstractItemView::NoEditTriggers);
        EXPECT_EQ(list(n)->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
        EXPECT_FALSE(list(n)->tabKeyNavigation());
    }
}

// The Display button: the boxes' texts reach the command, the lists, boxes,
// tab and status line show its result.
TEST_F(MainWindowTest, DisplayButtonShowsTheResultInTheWidgets) {
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;
    for (const PageList list :
         {PageList::CX, PageList::GC, PageList::FC, PageList::ZC, PageList::SQL}) {
        testers.push_back(std::make_unique<QAbstractItemModelTester>(
            &window.listModel(list), QAbstractItemModelTester::FailureReportingMode::Fatal));
    }
    link.servedFrom = {PageSource::Kind::Library, "/opt/tw/libDllParam.so"};
    load("");
    display(QString::fromUtf8(" 127.0.0.\u00E9 "), QStringLiteral("  twmodel001 "));

    // The boxes' texts reach the command as Windows-1252 bytes.
    EXPECT_EQ(link.openedMachines, std::vector<std::string>{"127.0.0.\xE9"});
    EXPECT_EQ(child<QTabWidget>("SSTab1")->currentIndex(), 1);
    EXPECT_EQ(list(1)->model()->rowCount(), 35);
    EXPECT_GT(list(2)->model()->rowCount(), 50);
    EXPECT_GT(list(3)->model()->rowCount(), 70);
    EXPECT_EQ(list(4)->model()->rowCount(), 2 * (1 + 2 * 9));
    EXPECT_EQ(list(5)->model()->rowCount(), 5);
    EXPECT_EQ(list(1)->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("L5401"));
    EXPECT_EQ(list(1)->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("L5402"));
    // Column widths in twips at the offscreen screen's 96 dots per inch.
    const double pxPerTwip = window.logicalDpiX() / 1440.0;
    EXPECT_EQ(list(5)->horizontalHeader()->sectionSize(1), qRound(50000 * pxPerTwip));

    EXPECT_EQ(child<QLineEdit>("txtUsrSpcName")->text(), QStringLiteral("TWMODEL001"));
    EXPECT_EQ(child<QLineEdit>("txtIpAddress")->text(), QString::fromUtf8(" 127.0.0.\u00E9 "));
    EXPECT_EQ(child<QPlainTextEdit>("txtEnd_TW")->toPlainText(),
              QStringLiteral("First line\nSecond line"));
    // Lines parted, the middle dot (0xB7) shown as itself.
    EXPECT_EQ(
        window.statusText(),
        QString::fromUtf8("5308|TWMODEL001|2\n"
                          "5330|127.0.0.\u00E9|TWMODEL001 \u00B7 5327|/opt/tw/libDllParam.so"));
    EXPECT_EQ(window.statusText(), child<QPlainTextEdit>("statusLine")->toolTip());
}

TEST_F(MainWindowTest, EnterInTheAddressOrNameBoxRunsTheDisplay) {
    load("");
    child<QLineEdit>("txtIpAddress")->setText(QStringLiteral("127.0.0.1"));
    child<QLineEdit>("txtUsrSpcName")->setText(QStringLiteral("TWMODEL001"));
    std::size_t opens = 0;
    for (const char* box : {"txtIpAddress", "txtUsrSpcName"}) {
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
            SCOPED_TRACE(std::string(box) + (key == Qt::Key_Enter ? " Enter" : " Return"));
            QTest::keyClick(child<QLineEdit>(box), key);
            EXPECT_EQ(link.openedMachines.size(), ++opens);
        }
    }
    EXPECT_EQ(list(1)->model()->rowCount(), 35);
}

TEST_F(MainWindowTest, ClickingARowShowsItsValueInTheBoxOfItsTab) {
    load("");
    window.show();
    display(QStringLiteral("127.0.0.1"), QStringLiteral("TWMODEL001"));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    clickRow(list(1), 1);  // Version
    EXPECT_EQ(child<QPlainTextEdit>("Text1")->toPlainText(),
              QString::fromUtf8("V01R02\u00B7\u00B7\u00B7\u00B7"));
    // The arrow keys move the current row, which shows its value too.
    QTest::keyClick(list(1), Qt::Key_Down);
    EXPECT_EQ(child<QPlainTextEdit>("Text1")->toPlainText(), QString(10, QChar(0x00B7)));

    child<QTabWidget>("SSTab1")->setCurrentIndex(4);
    clickRow(list(4), 2);  // the first ZC entry's field type
    EXPECT_EQ(child<QPlainTextEdit>("Text4")->toPlainText(), QString::fromUtf8("A\u00B7"));

    // A new Display empties the value boxes, the SQL one included (the CX
    // list, shown again, may make a row current and show its value).
    child<QTabWidget>("SSTab1")->setCurrentIndex(5);
    clickRow(list(5), 1);  // the Insert statement
    EXPECT_TRUE(child<QPlainTextEdit>("Text5")->toPlainText().startsWith(u"INSERT"_s));
    display(QStringLiteral("127.0.0.1"), QStringLiteral("TWMODEL001"));
    for (const char* box : {"Text2", "Text3", "Text4", "Text5"}) {
        EXPECT_EQ(child<QPlainTextEdit>(box)->toPlainText(), QString()) << box;
    }
}

// Values, whose bytes line up by column, are in the fixed font; labels keep
// the window's.
TEST_F(MainWindowTest, ValuesAreInTheFixedFontAndLabelsAreNot) {
    load("127.0.0.1/TWMODEL001");
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (int n = 1; n <= 5; ++n) {
        SCOPED_TRACE(n);
        const QAbstractItemModel* model = list(n)->model();
        ASSERT_GT(model->rowCount(), 1);
        EXPECT_EQ(model->data(model->index(1, 1), Qt::FontRole).value<QFont>(), fixed);
        EXPECT_FALSE(model->data(model->index(1, 0), Qt::FontRole).isValid());
        EXPECT_EQ(child<QPlainTextEdit>(("Text" + std::to_string(n)).c_str())->font(), fixed);
    }
    EXPECT_EQ(child<QPlainTextEdit>("txtEnd_TW")->font(), fixed);
}

// The controls stand at the presenter's layout converted to pixels.
TEST_F(MainWindowTest, ControlsStandWhereTheLayoutPutsThem) {
    load("");
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const double pxPerTwip = window.logicalDpiX() / 1440.0;
    const auto px = [pxPerTwip](int twips) { return qRound(twips * pxPerTwip); };
    EXPECT_EQ(window.minimumWidth(), px(5295));

    window.resize(800, 700);
    QApplication::processEvents();
    const FormLayout& f = window.presenter().layout();
    EXPECT_EQ(f.outerWidth, qRound(800 / pxPerTwip) + 120);
    auto* tabs = child<QTabWidget>("SSTab1");
    EXPECT_EQ(tabs->geometry(), QRect(0, 0, 800, px(f.tabs.height)));
    const TwipsRect& exit = f.exitButton;
    EXPECT_EQ(child<QPushButton>("btnCancel")->geometry(),
              QRect(px(exit.left), px(exit.top), px(exit.width), px(exit.height)));
    // Lists and value boxes, placed on their pages, stand where the layout
    // puts them relative to the tab control (below its tab row at least).
    auto* view = list(1);
    const QRect onTabs(view->mapTo(tabs, QPoint(0, 0)), view->size());
    EXPECT_EQ(onTabs.width(), px(f.listView.width));
    EXPECT_EQ(onTabs.left(), px(f.listView.left));
    EXPECT_EQ(onTabs.bottom() + 1, px(f.listView.top + f.listView.height));
    auto* text1 = child<QPlainTextEdit>("Text1");
    EXPECT_EQ(text1->mapTo(tabs, QPoint(0, 0)).y(), px(f.valueBox.top));
    EXPECT_EQ(text1->height(), px(f.valueBox.height));

    // Minimising and restoring leaves the layout as it was.
    const QRect before = view->geometry();
    window.setWindowState(Qt::WindowMinimized);
    window.applyLayout();
    window.setWindowState(Qt::WindowNoState);
    QApplication::processEvents();
    EXPECT_EQ(view->geometry(), before);
}

TEST_F(MainWindowTest, ExitClosesTheConnectionOnceMoreButTheCloseBoxDoesNot) {
    load("127.0.0.1/TWMODEL001");
    window.show();
    ASSERT_EQ(link.closedHandles, std::vector<std::int32_t>{41});
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(link.closedHandles.size(), 1u);

    window.show();
    child<QPushButton>("btnCancel")->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(link.closedHandles, (std::vector<std::int32_t>{41, 41}));
}

// Typing and pasting reach the presenter's limit, which the box applies at
// the cursor.
TEST_F(MainWindowTest, TypingAndPastingIntoTheNameAreLimited) {
    load("10.0.0.1/ab/cd efgh ijk ");
    auto* name = child<QLineEdit>("txtUsrSpcName");
    EXPECT_EQ(name->text(), QStringLiteral("AB/CD EFGH IJK"));
    // The longer name placed by the command line may shorten, not lengthen.
    name->setFocus();
    name->end(false);
    QTest::keyClick(name, Qt::Key_Backspace);
    QTest::keyClicks(name, QStringLiteral("X"));
    EXPECT_EQ(name->text(), QStringLiteral("AB/CD EFGH IJ"));

    name->clear();
    QTest::keyClicks(name, QStringLiteral("ABCDEFGHIJKLMN"));
    EXPECT_EQ(name->text(), QStringLiteral("ABCDEFGHIJ"));

    name->setText(QStringLiteral("ABC"));
    name->setCursorPosition(1);
    QApplication::clipboard()->setText(QStringLiteral("0123456789"));
    name->paste();
    EXPECT_EQ(name->text(), QStringLiteral("A0123456BC"));
    EXPECT_EQ(name->cursorPosition(), 8);
}

// The Export button reaches the export; the Save As dialog gets the
// presenter's request as Qt texts, and what it answers comes back as a path.
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
    const std::string written = test::ReadBytes(chosen.toStdString());
    EXPECT_TRUE(written.starts_with("++++++++++ Page CX ")) << written;
    EXPECT_NE(written.find("L5404:" + std::string(test::kModelVersion)), std::string::npos);
}

// The End_TW text keeps its lines; its other control bytes are drawn as
// marks, not left to a font's glyphs.
TEST_F(MainWindowTest, EndTwMarksControlBytesAndKeepsLines) {
    link.pages[{'E', 5024}] = std::string("HEADER0001A\0B\tC\r\nD\rE\nF", 22);
    load("127.0.0.1/TWMODEL001");
    EXPECT_EQ(child<QPlainTextEdit>("txtEnd_TW")->toPlainText(),
              QStringLiteral("A NUL B TAB C\nD CR E\nF"));
}

TEST_F(MainWindowTest, FocusMovesInTheDesignOrder) {
    const QStringList order =
        u"btnDsp btnCancel SSTab1 txtIpAddress txtUsrSpcName ListView1 "
        u"ListView2 ListView3 ListView4 ListView5 txtEnd_TW btnExport "
        u"Text1 Text2 Text3 Text4 Text5"_s.split(u' ');
    // Walk the focus chain once round and note the named controls met (a tab
    // widget is met through its tab bar, its focus proxy).
    QStringList met;
    QWidget* start = child<QWidget>("btnDsp");
    QWidget* w = start;
    do {
        QWidget* named = w;
        if (w->parentWidget() != nullptr && w->parentWidget()->focusProxy() == w) {
            named = w->parentWidget();
        }
        if (order.contains(named->objectName()) && !met.contains(named->objectName())) {
            met << named->objectName();
        }
        w = w->nextInFocusChain();
    } while (w != start);
    EXPECT_EQ(met, order);
}

TEST_F(MainWindowTest, ValueColumnEndsAtTheRightEdgeAndLabelColumnFitsTheLongestLabel) {
    load("");
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const double pxPerTwip = window.logicalDpiX() / 1440.0;
    // At rest, before any Display, the columns have the design's widths.
    EXPECT_EQ(list(1)->horizontalHeader()->sectionSize(0), qRound(2500 * pxPerTwip));

    display(QStringLiteral("127.0.0.1"), QStringLiteral("TWMODEL001"));
    const auto rightEdgeGap = [this](int n) {
        QTableView* view = list(n);
        QHeaderView* header = view->horizontalHeader();
        return view->viewport()->width() - (header->sectionPosition(1) + header->sectionSize(1));
    };
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(rightEdgeGap(n), 0) << "ListView" << n;
    }
    window.resize(1000, 800);
    QApplication::processEvents();
    EXPECT_EQ(rightEdgeGap(1), 0);
    // A list on a hidden tab follows when its tab is shown.
    child<QTabWidget>("SSTab1")->setCurrentIndex(3);
    QApplication::processEvents();
    EXPECT_EQ(rightEdgeGap(3), 0);
    // The SQL list keeps its wide column for its statements.
    EXPECT_EQ(list(5)->horizontalHeader()->sectionSize(1), qRound(50000 * pxPerTwip));

    // The GC list's longest label is a fixed one; the CX labels are "L5403"
    // to "L5437". Each column leaves a few pixels of margin.
    const QFontMetrics metrics = list(2)->fontMetrics();
    const int gcLabels = list(2)->horizontalHeader()->sectionSize(0);
    EXPECT_GE(gcLabels, metrics.horizontalAdvance(QStringLiteral("Extended Sequence Reprise")));
    EXPECT_LE(gcLabels,
              metrics.horizontalAdvance(QStringLiteral("Extended Sequence Reprise")) + 12);
    const int cxLabels = list(1)->horizontalHeader()->sectionSize(0);
    EXPECT_GE(cxLabels, metrics.horizontalAdvance(QStringLiteral("L5437")));
    EXPECT_LE(cxLabels, metrics.horizontalAdvance(QStringLiteral("L5437")) + 12);
}

TEST_F(MainWindowTest, CtrlCCopiesTheSelectedRowsAsLabelTabValueLines) {
    load("");
    window.show();
    display(QStringLiteral("127.0.0.1"), QStringLiteral("TWMODEL001"));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.listModel(PageList::CX).beginListReset();
    ASSERT_TRUE(command.list(PageList::CX)
                    .appendRow(std::string("Odd\x8D", 4), "", 0, std::string("A\0B\tC  ", 7)));
    window.listModel(PageList::CX).endListReset();

    QTableView* cx = list(1);
    clickRow(cx, 35);
    QTest::mouseClick(cx->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      cx->visualRect(cx->model()->index(1, 0)).center());
    QTest::keyClick(cx, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(),
              u"L5404\tV01R02    \nOdd<8D>\tA<NUL>B<TAB>C  \n"_s);

    // The context menu names both commands with their shortcuts.
    EXPECT_EQ(cx->contextMenuPolicy(), Qt::ActionsContextMenu);
    QStringList commands;
    for (const QAction* action : cx->actions()) {
        commands << action->text() + u' ' + action->shortcut().toString();
    }
    EXPECT_EQ(commands, QStringList({u"5370 Ctrl+C"_s, u"5371 Ctrl+A"_s}));
}

TEST_F(MainWindowTest, ValueBoxesMarkOddBytesInInverseVideo) {
    load("");
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.listModel(PageList::ZC).beginListReset();
    command.list(PageList::ZC).addColumn("F", "F", 2500);
    command.list(PageList::ZC).addColumn("D", "D", 2500);
    ASSERT_TRUE(command.list(PageList::ZC)
                    .appendRow("Type", "", 0,
                               std::string("\0\x1B"
                                           "A ",
                                           4)));
    window.listModel(PageList::ZC).endListReset();
    child<QTabWidget>("SSTab1")->setCurrentIndex(4);
    clickRow(list(4), 0);

    auto* box = child<QPlainTextEdit>("Text4");
    // Two padded marks parted by a narrow blank, the letter, the trailing
    // blank as a dot.
    EXPECT_EQ(box->toPlainText(), QString::fromUtf8(" NUL   ESC A\u00B7"));
    // Which characters stand on an inverse ground: the padded marks only.
    const QColor ink = box->palette().color(QPalette::Text);
    QString inverse(box->toPlainText().size(), u'.');
    for (const QTextLayout::FormatRange& range : box->document()->firstBlock().textFormats()) {
        if (range.format.background().style() != Qt::NoBrush &&
            range.format.background().color() == ink) {
            inverse.replace(range.start, range.length, QString(range.length, u'x'));
        }
    }
    EXPECT_EQ(inverse, QStringLiteral("xxxxx.xxxxx.."));
}

// The real catalogue in French, read from the build's programs folder.
TEST(MainWindowFrench, TitleButtonsLabelsAndListLabelsAreFrench) {
    TempFolder registryFolder;
    FileRegistryStore registry(registryFolder.path());
    const std::string settingsKey = "SOFTWARE\\Vellmar\\Vellmar Lumen\\Manager\\Settings";
    ASSERT_TRUE(test::Succeeded(EnsureRegistryKey(registry, Hive::CurrentUser, settingsKey)));
    ASSERT_TRUE(test::Succeeded(StoreRegistryValue(registry, Hive::CurrentUser, settingsKey,
                                                   "Language", std::string("FR"), kRegSz)));
    std::string failure;
    Catalogue catalogue(registry, std::filesystem::path(TWDS_BINARY_DIR) / "bin",
                        [&](const std::string&, const std::string& text) { failure = text; });
    PageLabels labels([&](int id) { return catalogue.text(std::to_string(id)); });
    FakeHostLink link;
    link.pages = test::SmallModelPages();
    DisplayCommand command(link, labels);
    const MessageLookup messages = [&](int id, std::initializer_list<std::string_view> v) {
        std::vector<std::string_view> p(v);
        p.resize(7);
        return catalogue.text(std::to_string(id), p[0], p[1], p[2], p[3], p[4], p[5], p[6]);
    };
    MainWindow window(command, registry, messages,
                      [&](std::string_view id) { return catalogue.text(id); });
    window.presenter().load("127.0.0.1/TWMODEL001");
    ASSERT_EQ(failure, "");
    EXPECT_EQ(catalogue.language(), "FR");

    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("Afficher l'espace de travail"));
    QStringList captions;
    for (const char* name : {"btnDsp", "btnCancel", "lbTgtMachine"}) {
        captions << window.findChild<QWidget*>(QLatin1String(name))->property("text").toString();
    }
    EXPECT_EQ(captions,
              QStringList({u"&Afficher"_s, u"&Quitter"_s, u"Adresse IP de la machine cible"_s}));
    auto* cx = window.findChild<QTableView*>(QStringLiteral("ListView1"));
    EXPECT_EQ(cx->model()->headerData(0, Qt::Horizontal).toString(),
              QStringLiteral("Nom du champ"));
    // CX rows 25 and 26 (from 0) are the stop type and the starting date.
    EXPECT_EQ(cx->model()->index(24, 0).data().toString(), QString::fromUtf8("Type d'arrêt"));
    EXPECT_EQ(cx->model()->index(25, 0).data().toString(), QString::fromUtf8("Date de démarrage"));
    EXPECT_TRUE(window.statusText().contains(QStringLiteral("TWMODEL001")));
}

}  // namespace
}  // namespace twds

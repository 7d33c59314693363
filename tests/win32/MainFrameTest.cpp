#include <windows.h>
// Needs windows.h first.
#include <commctrl.h>
#include <richedit.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "AnsiWide.h"
#include "FakeHostLink.h"
#include "MainFrame.h"
#include "MemoryRegistry.h"
#include "ModelPages.h"
#include "TestSupport.h"
#include "twds/DisplayCommand.h"
#include "twds/PageLabels.h"

namespace twds::win32 {
namespace {

// The window over a fake host link serving the small model, with labels
// "L<id>", captions "T<id>" and a registry in memory, driven through the
// messages its controls get from the user. What the window decides is its
// presenter's (MainWindowPresenterTest); these check the binding.
class MainFrameTest : public ::testing::Test {
protected:
    MainFrameTest() { link.pages = test::SmallModelPages(); }

    static std::wstring Text(HWND control) { return WindowText(control); }
    void type(HWND box, std::wstring_view text) {
        for (const wchar_t c : text) {
            SendMessageW(box, WM_CHAR, c, 1);
        }
    }
    void display(std::wstring_view address, std::wstring_view name) {
        SetWindowTextW(frame.addressBox(), std::wstring(address).c_str());
        SetWindowTextW(frame.nameBox(), std::wstring(name).c_str());
        SendMessageW(frame.displayButton(), BM_CLICK, 0, 0);
    }
    static std::wstring Cell(HWND view, int row, int column) {
        wchar_t text[256] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 256;
        SendMessageW(view, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
        return text;
    }
    void clickRow(HWND view, int row) {
        LVITEMW state{};
        state.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
        state.state = LVIS_FOCUSED | LVIS_SELECTED;
        SendMessageW(view, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&state));
    }
    // A tab chosen as the user does: the control changes and tells its parent.
    void chooseTab(int tab) {
        SendMessageW(frame.tabs(), TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
        NMHDR header{frame.tabs(), 100, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageW(frame.window(), WM_NOTIFY, 100, reinterpret_cast<LPARAM>(&header));
    }
    static std::wstring TabCaption(HWND tabs, int tab) {
        wchar_t caption[64] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption;
        item.cchTextMax = 64;
        SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&item));
        return caption;
    }
    // Runs the window's messages until `done` or five seconds have passed.
    template <typename Done>
    static bool PumpUntil(Done done) {
        for (const ULONGLONG end = GetTickCount64() + 5000; GetTickCount64() < end; Sleep(5)) {
            MSG message{};
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
                DispatchMessageW(&message);
            }
            if (done()) {
                return true;
            }
        }
        return false;
    }
    // What the window put on the clipboard, as text.
    std::wstring clipboardText() {
        std::wstring copy;
        if (OpenClipboard(frame.window()) != FALSE) {
            HANDLE data = GetClipboardData(CF_UNICODETEXT);
            if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
                copy = text;
            }
            GlobalUnlock(data);
            CloseClipboard();
        }
        return copy;
    }
    // The height of the font a control draws in, in pixels.
    static LONG FontHeight(HWND control) {
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
                   &font);
        return std::abs(font.lfHeight);
    }
    static bool Shown(HWND control) {
        return (GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0;
    }
    // Where a control stands in the window's client area, in pixels.
    RECT placeOf(HWND control) {
        RECT r{};
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, frame.window(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    test::FakeHostLink link;
    PageLabels labels{[](int id) { return "L" + std::to_string(id); }};
    DisplayCommand command{link, labels};
    test::MemoryRegistry registry;
    MainFrame frame{command, registry, test::EchoLookup,
                    [](std::string_view id) { return "T" + std::string(id); }};
};

::testing::AssertionResult Placed(const RECT& r, int left, int top, int width, int height) {
    if (r.left == left && r.top == top && r.right - r.left == width && r.bottom - r.top == height) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "at " << r.left << "," << r.top << " " << r.right - r.left << "x" << r.bottom - r.top;
}

// At 96 DPI a twip is 1/15 pixel: the design's rectangles in pixels, the
// page controls offset by the tab control's corner (the window's).
TEST_F(MainFrameTest, ControlsStandWhereTheLayoutPutsThemAt96Dpi) {
    frame.presenter().load("");
    ASSERT_EQ(frame.dpi(), 96U);
    RECT client{};
    GetClientRect(frame.window(), &client);
    EXPECT_EQ(client.right, 353);
    // The least outer height, 7056 twips, is 9 short of the design's 7065:
    // the tab control is 5886 twips high, the buttons 9 twips higher.
    EXPECT_TRUE(Placed(placeOf(frame.tabs()), 0, 0, 353, 392));
    EXPECT_TRUE(Placed(placeOf(frame.displayButton()), 24, 407, 73, 25));
    EXPECT_TRUE(Placed(placeOf(frame.exportButton()), 144, 407, 73, 25));
    EXPECT_TRUE(Placed(placeOf(frame.exitButton()), 256, 407, 73, 25));
    EXPECT_TRUE(Placed(placeOf(frame.addressBox()), 176, 60, 145, 19));
    EXPECT_TRUE(Placed(placeOf(frame.valueBox(PageList::CX)), 8, 280, 337, 105));

    // Wider: the tab control follows, Exit keeps its 24 pixels from the
    // client area's right edge.
    SetWindowPos(frame.window(), nullptr, 0, 0, 600, 700, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(frame.window(), &client);
    EXPECT_EQ(placeOf(frame.tabs()).right, client.right);
    EXPECT_EQ(placeOf(frame.exitButton()).right, client.right - 24);
}

// The form localisation finds the controls by their names and tags.
TEST_F(MainFrameTest, LoadLocalisesTheControlsByTheirTags) {
    frame.presenter().load("");
    EXPECT_EQ(Text(frame.window()), L"T5001");
    EXPECT_EQ(Text(frame.displayButton()), L"T5101");
    EXPECT_EQ(Text(frame.exportButton()), L"T5103");
    EXPECT_EQ(Text(frame.exitButton()), L"T5102");
    EXPECT_EQ(TabCtrl_GetItemCount(frame.tabs()), 7);
}

// Display from the button: the boxes reach the command in the ANSI code
// page, the list views count the rows and ask for their texts, a row's
// click shows its value, a tab change shows its page's controls.
TEST_F(MainFrameTest, DisplayFillsTheListsAndARowShowsItsValue) {
    frame.presenter().load("");
    display(L" 127.0.0.\u00E9 ", L"  twmodel001 ");
    EXPECT_EQ(link.openedMachines, std::vector<std::string>{"127.0.0.\xE9"});
    EXPECT_EQ(Text(frame.nameBox()), L"TWMODEL001");
    EXPECT_EQ(TabCtrl_GetCurSel(frame.tabs()), 1);
    EXPECT_TRUE(IsWindowVisible(frame.listView(PageList::CX)) != FALSE ||
                IsWindowVisible(frame.window()) == FALSE);

    HWND cx = frame.listView(PageList::CX);
    EXPECT_EQ(ListView_GetItemCount(cx), static_cast<int>(command.list(PageList::CX).rowCount()));
    EXPECT_EQ(Cell(cx, 1, 1), L"V01R02    ");
    clickRow(cx, 1);
    EXPECT_EQ(Text(frame.valueBox(PageList::CX)), L"V01R02\u00B7\u00B7\u00B7\u00B7");

    chooseTab(4);
    EXPECT_TRUE(Shown(frame.listView(PageList::ZC)));
    EXPECT_FALSE(Shown(cx));
    EXPECT_FALSE(Shown(frame.addressBox()));

    // Enter in a box is Display too.
    SendMessageW(frame.addressBox(), WM_SETFOCUS, 0, 0);
    MSG enter{frame.addressBox(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(frame.preTranslate(enter));
    EXPECT_EQ(link.openedMachines.size(), 2U);
}

// Copy writes the selected rows a line each: after Select all, every row of
// the list, which the window selects without the view; a move or another
// row selected gives the selection back to the view.
TEST_F(MainFrameTest, CopyWritesTheSelectedRows) {
    frame.presenter().load("127.0.0.1/TWMODEL001");
    HWND cx = frame.listView(PageList::CX);
    const auto copiedLines = [&] {
        SendMessageW(frame.window(), WM_COMMAND, MainFrame::kCmdCopy, 0);
        const std::wstring copy = clipboardText();
        return std::count(copy.begin(), copy.end(), L'\n');
    };
    clickRow(cx, 3);
    SendMessageW(frame.window(), WM_COMMAND, MainFrame::kCmdSelectAll, 0);
    EXPECT_EQ(copiedLines(), ListView_GetItemCount(cx));
    // A move replaces the selection with the row moved to.
    SendMessageW(cx, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(copiedLines(), 1);
    EXPECT_EQ(ListView_GetNextItem(cx, -1, LVNI_SELECTED), 4);
    SendMessageW(frame.window(), WM_COMMAND, MainFrame::kCmdSelectAll, 0);
    clickRow(cx, 6);
    EXPECT_EQ(copiedLines(), 2) << "rows 4 and 6, the view's own selection";
}

// Control bytes of the End_TW text are named, its line breaks kept; the
// status line parts its lines.
TEST_F(MainFrameTest, EndTwAndStatusLineShowOddBytesAndLines) {
    link.pages[{'E', 5024}] = std::string("HEADER0001A\0B\tC\r\nD\rE\nF", 22);
    frame.presenter().load("127.0.0.1/TWMODEL001");
    EXPECT_EQ(Text(frame.endTwBox()), L"A NUL B TAB C\r\nD CR E\r\nF");
    // A mark is drawn inverse, in the small font; the text around it is not.
    const auto format = [&](int from, int to) {
        SendMessageW(frame.endTwBox(), EM_SETSEL, from, to);
        CHARFORMAT2W got{};
        got.cbSize = sizeof got;
        SendMessageW(frame.endTwBox(), EM_GETCHARFORMAT, SCF_SELECTION,
                     reinterpret_cast<LPARAM>(&got));
        return got;
    };
    const CHARFORMAT2W text = format(0, 1);
    const CHARFORMAT2W mark = format(2, 5);
    EXPECT_NE(text.dwEffects & CFE_AUTOBACKCOLOR, 0U);
    EXPECT_EQ(mark.crBackColor, GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(mark.crTextColor, GetSysColor(COLOR_WINDOW));
    EXPECT_LT(mark.yHeight, text.yHeight);
    // At a new DPI the text is drawn again in the fonts made for it.
    RECT suggested{0, 0, 800, 700};
    SendMessageW(frame.window(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(Text(frame.endTwBox()), L"A NUL B TAB C\r\nD CR E\r\nF");
    // (The font's pixel height is rounded at each DPI.)
    EXPECT_NEAR(format(0, 1).yHeight, text.yHeight * 3 / 2, 15);
    EXPECT_EQ(Text(frame.statusLine()).find(L"5308|TWMODEL001|2\r\n5330|127.0.0.1"), 0U);
}

// Typing more than the name's ten characters: what came last is cut.
TEST_F(MainFrameTest, TypingIntoTheNameBoxStopsAtTenCharacters) {
    frame.presenter().load("");
    type(frame.nameBox(), L"ABCDEFGHIJKL");
    EXPECT_EQ(Text(frame.nameBox()), L"ABCDEFGHIJ");
}

// The file column's switch: a third column, shown first, with the FicID.
TEST_F(MainFrameTest, FileColumnShowsEachRowsFile) {
    frame.presenter().load("127.0.0.1/TWMODEL001");
    frame.presenter().setFileColumnShown(true);
    HWND fc = frame.listView(PageList::FC);
    HWND header = ListView_GetHeader(fc);
    ASSERT_EQ(Header_GetItemCount(header), 3);
    int order[3] = {};
    ListView_GetColumnOrderArray(fc, 3, order);
    EXPECT_EQ(order[0], 2);
    EXPECT_EQ(Cell(fc, 1, 2), L"FIC0000001");
    frame.presenter().setFileColumnShown(false);
    EXPECT_EQ(Header_GetItemCount(header), 2);
}

// A saved user space dropped on the window is displayed; Ctrl+I opens the
// inspector on the current row, and it follows the rows clicked. Moved to
// a monitor of another scale it takes that monitor's fonts; Esc hides it,
// and it opens again where it was left.
TEST_F(MainFrameTest, DroppedSnapshotIsDisplayedAndTheInspectorFollowsTheRows) {
    frame.presenter().load("");
    const std::wstring file =
        std::filesystem::path(TWDS_BINARY_DIR "/bin/samples/127.0.0.1/TWMODEL001.twus").wstring();
    const std::size_t bytes = sizeof(DROPFILES) + (file.size() + 2) * sizeof(wchar_t);
    HGLOBAL drop = GlobalAlloc(GHND, bytes);
    auto* header = static_cast<DROPFILES*>(GlobalLock(drop));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::copy(file.begin(), file.end(), reinterpret_cast<wchar_t*>(header + 1));
    GlobalUnlock(drop);
    SendMessageW(frame.window(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    EXPECT_EQ(Text(frame.addressBox()), L"127.0.0.1");
    EXPECT_EQ(Text(frame.nameBox()), L"TWMODEL001");
    HWND cx = frame.listView(PageList::CX);
    ASSERT_GT(ListView_GetItemCount(cx), 2);

    // The main window near the screen's right edge: the inspector beside it
    // is moved left to stay on the null driver's 1024 by 768 screen.
    SetWindowPos(frame.window(), nullptr, 700, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    clickRow(cx, 1);
    SendMessageW(frame.window(), WM_COMMAND, MainFrame::kCmdInspect, 0);
    ASSERT_NE(frame.inspector(), nullptr);
    const InspectorWindow& inspector = *frame.inspector();
    RECT window{};
    GetWindowRect(inspector.window(), &window);
    EXPECT_TRUE(Placed(window, 1024 - 640, 50, 640, 480));
    HWND dump = inspector.text();
    EXPECT_NE(Text(dump).find(L"V05R02M00"), std::wstring::npos) << Text(dump);
    clickRow(cx, 2);
    EXPECT_EQ(Text(dump).find(L"V05R02M00"), std::wstring::npos) << Text(dump);
    // Its Copy button copies the whole dump, as the window's copy writes it.
    EXPECT_EQ(Text(inspector.copyButton()), L"5370");
    SendMessageW(inspector.copyButton(), BM_CLICK, 0, 0);
    const std::wstring copy = clipboardText();
    EXPECT_EQ(copy.substr(0, 20), Text(dump).substr(0, 20));
    EXPECT_GT(copy.size(), 100U);

    const LONG dumpHeight = FontHeight(dump);
    const LONG buttonHeight = FontHeight(inspector.copyButton());
    RECT suggested{30, 40, 990, 760};  // within the null driver's 1024 by 768 screen
    SendMessageW(inspector.window(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    GetWindowRect(inspector.window(), &window);
    EXPECT_TRUE(Placed(window, 30, 40, 960, 720));
    EXPECT_NEAR(FontHeight(dump), dumpHeight * 3 / 2, 1);
    EXPECT_NEAR(FontHeight(inspector.copyButton()), buttonHeight * 3 / 2, 1);
    EXPECT_EQ(FontHeight(frame.statusLine()), buttonHeight);  // the main window keeps its own
    // The button at the bottom right, 90 twips (9 pixels at 144 DPI) in.
    RECT client{};
    GetClientRect(inspector.window(), &client);
    RECT button{};
    GetWindowRect(inspector.copyButton(), &button);
    MapWindowPoints(nullptr, inspector.window(), reinterpret_cast<POINT*>(&button), 2);
    EXPECT_EQ(button.right, client.right - 9);
    EXPECT_EQ(button.bottom, client.bottom - 9);

    MSG escape{dump, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_TRUE(frame.preTranslate(escape));
    EXPECT_FALSE(inspector.shown());
    clickRow(cx, 1);
    EXPECT_FALSE(inspector.shown());  // closed, it follows no row
    SendMessageW(frame.window(), WM_COMMAND, MainFrame::kCmdInspect, 0);
    EXPECT_TRUE(inspector.shown());
    GetWindowRect(inspector.window(), &window);
    EXPECT_TRUE(Placed(window, 30, 40, 960, 720));
    EXPECT_NE(Text(dump).find(L"V05R02M00"), std::wstring::npos) << Text(dump);
}

// Ctrl+F's bar: the typed text is searched on another thread whose result
// the window's thread takes from its messages; with only the matching rows
// shown the view shows the match, and a click reaches the list's row. Esc
// puts the window back as it was.
TEST_F(MainFrameTest, FindBarShowsOnlyTheMatchingRows) {
    frame.presenter().load("127.0.0.1/TWMODEL001");
    HWND cx = frame.listView(PageList::CX);
    const int allRows = ListView_GetItemCount(cx);
    SendMessageW(frame.window(), WM_COMMAND, MainFrame::kCmdFind, 0);
    ASSERT_TRUE(Shown(frame.findText()));
    EXPECT_LT(placeOf(frame.tabs()).bottom, 392);

    type(frame.findText(), L"v01r02");
    ASSERT_TRUE(PumpUntil([&] { return TabCaption(frame.tabs(), 1) == L"5389|CX|1"; }))
        << TabCaption(frame.tabs(), 1);
    SendMessageW(frame.findOnlyMatching(), BM_CLICK, 0, 0);
    ASSERT_EQ(ListView_GetItemCount(cx), 1);
    EXPECT_EQ(Cell(cx, 0, 1), L"V01R02    ");
    clickRow(cx, 0);
    EXPECT_EQ(Text(frame.valueBox(PageList::CX)), L"V01R02\u00B7\u00B7\u00B7\u00B7");

    MSG escape{frame.findText(), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_TRUE(frame.preTranslate(escape));
    EXPECT_FALSE(Shown(frame.findText()));
    EXPECT_EQ(TabCaption(frame.tabs(), 1), L"CX");
    EXPECT_EQ(ListView_GetItemCount(cx), allRows);
    EXPECT_EQ(placeOf(frame.tabs()).bottom, 392);
}

// A damaged model: the mark beside the status line names the problems;
// Ctrl+Shift+P opens the pane, a heading's click sorts its lines, Enter
// leads to a line's row, Esc closes the pane. A clean model hides the mark
// and gives the status line its width back.
TEST_F(MainFrameTest, ProblemsMarkAndPaneLeadToTheDamagedRows) {
    frame.presenter().load("");
    frame.presenter().openSnapshot(TWDS_SOURCE_DIR "/tests/data/store/10.0.0.9/DAMAGED001.twus");
    HWND mark = frame.problemsMark();
    ASSERT_TRUE(Shown(mark));
    EXPECT_EQ(Text(mark), L"5953|12|5940");
    const RECT status = placeOf(frame.statusLine());
    EXPECT_GE(placeOf(mark).left, status.right);
    EXPECT_EQ(placeOf(mark).top, status.top);
    // The long message, narrowed, scrolls rather than being cut off.
    EXPECT_NE(GetWindowLongPtrW(frame.statusLine(), GWL_STYLE) & WS_VSCROLL, 0);

    BYTE keys[256] = {};
    GetKeyboardState(keys);
    BYTE pressed[256] = {};
    std::copy(std::begin(keys), std::end(keys), std::begin(pressed));
    pressed[VK_CONTROL] = pressed[VK_SHIFT] = 0x80;
    SetKeyboardState(pressed);
    MSG shortcut{frame.listView(PageList::CX), WM_KEYDOWN, 'P', 0, 0, {}};
    const bool handled = frame.preTranslate(shortcut);
    SetKeyboardState(keys);
    ASSERT_TRUE(handled);
    HWND lines = frame.problemsList();
    ASSERT_TRUE(lines != nullptr && Shown(frame.problemsPane()));
    ASSERT_EQ(ListView_GetItemCount(lines), 12);
    EXPECT_EQ(Cell(lines, 0, 0), L"5940");
    EXPECT_EQ(Cell(lines, 0, 1), L"GC");
    EXPECT_EQ(Cell(lines, 0, 3), L"16");
    EXPECT_EQ(Cell(lines, 3, 2), L"CUSTMAST01");
    EXPECT_EQ(Cell(lines, 11, 3), L"");

    // The row's heading twice: descending, the problem of no row first.
    const auto clickHeading = [&](int column) {
        NMLISTVIEW click{};
        click.hdr = {lines, 0, static_cast<UINT>(LVN_COLUMNCLICK)};
        click.iSubItem = column;
        SendMessageW(frame.problemsPane(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
    };
    clickHeading(3);
    EXPECT_EQ(Cell(lines, 0, 3), L"2");
    EXPECT_EQ(Cell(lines, 0, 1), L"SQL");
    clickHeading(3);
    EXPECT_EQ(Cell(lines, 0, 3), L"");
    EXPECT_EQ(Cell(lines, 1, 3), L"149");
    HDITEMW heading{};
    heading.mask = HDI_FORMAT;
    Header_GetItem(ListView_GetHeader(lines), 3, &heading);
    EXPECT_NE(heading.fmt & HDF_SORTDOWN, 0);

    // FC's row 149 replaces the row selected there, scrolled to.
    HWND fc = frame.listView(PageList::FC);
    clickRow(fc, 3);
    ListView_SetItemState(lines, 1, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    SendMessageW(lines, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(TabCtrl_GetCurSel(frame.tabs()), 3);
    EXPECT_EQ(ListView_GetNextItem(fc, -1, LVNI_SELECTED), 148);
    EXPECT_EQ(ListView_GetSelectedCount(fc), 1U);
    EXPECT_GT(ListView_GetTopIndex(fc), 100);

    // Moved to a monitor of half as much again: the size suggested, a font
    // made for it, the message column still reaching the right edge.
    const LONG height = FontHeight(lines);
    RECT suggested{10, 20, 1010, 380};  // within the null driver's 1024 by 768 screen
    SendMessageW(frame.problemsPane(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    const RECT pane = placeOf(frame.problemsPane());
    EXPECT_EQ(pane.right - pane.left, 1000);
    EXPECT_EQ(pane.bottom - pane.top, 360);
    EXPECT_NEAR(FontHeight(lines), height * 3 / 2, 1);
    RECT client{};
    GetClientRect(lines, &client);
    int widths = 0;
    for (int column = 0; column < 6; ++column) {
        widths += ListView_GetColumnWidth(lines, column);
    }
    EXPECT_GE(widths, client.right);

    MSG escape{lines, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_TRUE(frame.preTranslate(escape));
    EXPECT_FALSE(Shown(frame.problemsPane()));

    frame.presenter().openSnapshot(TWDS_SOURCE_DIR "/tests/data/store/10.0.0.9/EDGEMODL01.twus");
    EXPECT_FALSE(Shown(mark));
    EXPECT_EQ(placeOf(frame.statusLine()).right, placeOf(frame.tabs()).right - 8);
}

// F5's refresh every few seconds (the question answered "5", the timer
// fired) marks what changed: the counts in the captions, the mark before the
// label, the older value in a Before column, the older End_TW text in its
// tooltip. F7 goes to the next difference across the tabs; Esc ends it all.
TEST_F(MainFrameTest, RefreshMarksChangedRowsAndF7GoesFromOneToTheNext) {
    frame.presenter().load("127.0.0.1/TWMODEL001");
    std::wstring asked;
    frame.setTextDialog([&](const std::wstring& title, const std::wstring& prompt) {
        asked = title + L"|" + prompt;
        return std::optional<std::wstring>(L"5");
    });
    SendMessageW(frame.window(), WM_COMMAND, MainFrame::kCmdAutoRefresh, 0);
    EXPECT_EQ(asked, L"5393|5394");
    std::string& cxPage = link.pages[{'C', 1024}];
    cxPage.replace(cxPage.find("LOCALSYS"), 8, "REMOTSYS");
    link.pages[{'E', 5024}] = "   HEADER0001Other line   ";
    SendMessageW(frame.window(), WM_TIMER, 1, 0);

    EXPECT_TRUE(Shown(frame.compareText()));
    EXPECT_EQ(TabCaption(frame.tabs(), 1), L"5389|CX|1");
    EXPECT_EQ(TabCaption(frame.tabs(), 4), L"5389|ZC|0");
    EXPECT_EQ(TabCaption(frame.tabs(), 6), L"5389|End_TW|1");
    HWND cx = frame.listView(PageList::CX);
    ASSERT_EQ(Header_GetItemCount(ListView_GetHeader(cx)), 3);
    std::vector<std::wstring> marked;
    int markedRow = -1;
    for (int row = 0; row < ListView_GetItemCount(cx); ++row) {
        if (!Cell(cx, row, 2).empty()) {
            marked.push_back(Cell(cx, row, 0) + L"|" + Cell(cx, row, 1) + L"|" + Cell(cx, row, 2));
            markedRow = row;
        }
    }
    EXPECT_EQ(marked, std::vector<std::wstring>{L"~ L5414|REMOTSYS  |LOCALSYS  "});
    EXPECT_EQ(frame.endTwTip(), L"5490|~\r\nFirst line\r\nSecond line");

    chooseTab(0);
    MSG f7{cx, WM_KEYDOWN, VK_F7, 0, 0, {}};
    EXPECT_TRUE(frame.preTranslate(f7));
    EXPECT_EQ(TabCtrl_GetCurSel(frame.tabs()), 1);
    EXPECT_EQ(ListView_GetNextItem(cx, -1, LVNI_SELECTED), markedRow);
    EXPECT_TRUE(frame.preTranslate(f7));
    EXPECT_EQ(TabCtrl_GetCurSel(frame.tabs()), 6);

    MSG escape{frame.compareText(), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_TRUE(frame.preTranslate(escape));
    EXPECT_FALSE(Shown(frame.compareText()));
    EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(cx)), 2);
    EXPECT_EQ(TabCaption(frame.tabs(), 1), L"CX");
    EXPECT_EQ(frame.endTwTip(), L"");
    EXPECT_EQ(Cell(cx, markedRow, 0), L"L5414");
}

// Ctrl+D's bar compares with a snapshot named in its box (Enter): a removed
// row stands where it stood, with its value only in the Before column; only
// the differences leave the changed, added and removed rows. The close
// button puts the lists back.
TEST_F(MainFrameTest, CompareBarComparesWithASnapshotAndShowsOnlyTheDifferences) {
    const std::filesystem::path older = TWDS_BINARY_DIR "/tests/win32/older.twus";
    link.pages = test::BuildPages(test::ThreeFilesModel(false));
    frame.presenter().load("10.0.0.5/TWMODEL001");
    frame.setSaveDialog([&](auto&&...) { return older.wstring(); });
    frame.presenter().saveSnapshot();
    link.pages = test::BuildPages(test::ThreeFilesModel(true));
    frame.presenter().display();

    SendMessageW(frame.window(), WM_COMMAND, MainFrame::kCmdCompare, 0);
    ASSERT_TRUE(Shown(frame.compareText()));
    EXPECT_EQ(GetFocus(), frame.compareText());
    SetWindowTextW(frame.compareText(), (L" " + older.wstring() + L" ").c_str());
    MSG enter{frame.compareText(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(frame.preTranslate(enter));
    EXPECT_EQ(Text(frame.compareCount()), L"5480|96");
    EXPECT_EQ(TabCaption(frame.tabs(), 3), L"5389|FC|75");
    HWND fc = frame.listView(PageList::FC);
    ASSERT_EQ(ListView_GetItemCount(fc), 222);
    EXPECT_EQ(Cell(fc, 34, 1) + L"|" + Cell(fc, 34, 2), L"         2|         1");
    EXPECT_EQ(Cell(fc, 76, 0).substr(0, 2), L"- ");
    EXPECT_EQ(Cell(fc, 76, 1) + L"|" + Cell(fc, 76, 2), L"|ORDERS0002");
    clickRow(fc, 76);
    EXPECT_EQ(Text(frame.valueBox(PageList::FC)), L"ORDERS0002");
    // The file column goes first, the Before column stays last; a removed
    // row's file is the one it had in the other Display.
    frame.presenter().setFileColumnShown(true);
    int order[4] = {};
    ASSERT_TRUE(ListView_GetColumnOrderArray(fc, 4, order));
    EXPECT_EQ(std::vector<int>(order, order + 4), (std::vector<int>{2, 0, 1, 3}));
    EXPECT_EQ(Cell(fc, 76, 2) + L"|" + Cell(fc, 76, 3), L"ORDERS0002|ORDERS0002");
    frame.presenter().setFileColumnShown(false);

    SendMessageW(frame.compareOnlyDifferences(), BM_CLICK, 0, 0);
    EXPECT_EQ(ListView_GetItemCount(fc), 75);
    EXPECT_EQ(ListView_GetItemCount(frame.listView(PageList::ZC)), 19);
    EXPECT_EQ(Cell(fc, 3, 2), L"ORDERS0002");

    SendMessageW(frame.compareClose(), BM_CLICK, 0, 0);
    EXPECT_FALSE(Shown(frame.compareText()));
    EXPECT_EQ(ListView_GetItemCount(fc), 148);
    EXPECT_EQ(TabCaption(frame.tabs(), 3), L"FC");
    EXPECT_NE(Cell(fc, 34, 0).substr(0, 2), L"~ ");
}

}  // namespace
}  // namespace twds::win32

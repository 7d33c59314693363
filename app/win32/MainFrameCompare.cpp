// The main window's side of the comparison and the refresh: the compare bar,
// its commands and keys, the marks in the lists, the Before column, the
// End_TW box's tint and the refresh timer (CompareView).

#include <windows.h>
// After windows.h.
#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "AnsiWide.h"
#include "ByteRunDraw.h"
#include "MainFrame.h"
#include "SystemFonts.h"
#include "twds/DisplayCommand.h"
#include "twds/Messages.h"
#include "twds/Snapshot.h"
#include "twds/Trim.h"

namespace twds::win32 {

namespace {

enum CompareControlId : int {
    kIdCompareText = 620,
    kIdCompareBrowse,
    kIdCompareRun,
    kIdCompareClose,
    kIdCompareCount,
    kIdCompareDescribed,
    kIdCompareOnlyDifferences,
};

constexpr int kQuestionBox = 100;

// The dialog's template in memory, as a resource compiler lays it out:
// WORDs, strings in UTF-16, each item on a DWORD boundary.
class DialogTemplate {
public:
    void header(const std::wstring& title, short width, short height, int items) {
        const DWORD style = DS_MODALFRAME | DS_SHELLFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
        dwords(style, 0);
        words({static_cast<WORD>(items), 0, 0, static_cast<WORD>(width), static_cast<WORD>(height),
               0, 0});
        text(title);
        words({8});
        text(L"MS Shell Dlg");
    }
    void item(WORD atom, DWORD style, short x, short y, short width, short height, WORD id,
              const std::wstring& caption) {
        if (words_.size() % 2 != 0) {
            words_.push_back(0);
        }
        dwords(WS_CHILD | WS_VISIBLE | style, 0);
        words({static_cast<WORD>(x), static_cast<WORD>(y), static_cast<WORD>(width),
               static_cast<WORD>(height), id, 0xFFFF, atom});
        text(caption);
        words({0});
    }
    [[nodiscard]] const DLGTEMPLATE* get() const {
        return reinterpret_cast<const DLGTEMPLATE*>(words_.data());
    }

private:
    void dwords(DWORD first, DWORD second) {
        words({LOWORD(first), HIWORD(first), LOWORD(second), HIWORD(second)});
    }
    void words(std::initializer_list<WORD> values) {
        words_.insert(words_.end(), values.begin(), values.end());
    }
    void text(const std::wstring& value) {
        words_.insert(words_.end(), value.begin(), value.end());
        words_.push_back(0);
    }
    // DWORD-aligned storage, as the system reads the template.
    std::vector<WORD> words_;
};

struct Question {
    std::wstring answer;
    bool answered = false;
};

INT_PTR CALLBACK QuestionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        // Over the middle of the window that asks, as a question of its own.
        RECT owner{};
        RECT box{};
        GetWindowRect(GetWindow(dialog, GW_OWNER), &owner);
        GetWindowRect(dialog, &box);
        MONITORINFO screen{};
        screen.cbSize = sizeof screen;
        GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &screen);
        const int width = box.right - box.left;
        const int height = box.bottom - box.top;
        const int left = std::clamp<int>((owner.left + owner.right - width) / 2, screen.rcWork.left,
                                         screen.rcWork.right - width);
        const int top = std::clamp<int>((owner.top + owner.bottom - height) / 2, screen.rcWork.top,
                                        screen.rcWork.bottom - height);
        SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return TRUE;  // the focus in the box, the dialog's first tab stop
    }
    if (message != WM_COMMAND) {
        return FALSE;
    }
    // OK or Enter answers; Cancel, Esc or the close box does not.
    auto* question = reinterpret_cast<Question*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (LOWORD(wParam) == IDOK) {
        question->answer = WindowText(GetDlgItem(dialog, kQuestionBox));
        question->answered = true;
        EndDialog(dialog, IDOK);
        return TRUE;
    }
    if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

// The buttons' captions are the catalogue's: the system's own would be in
// the system's language, not the viewer's.
std::optional<std::wstring> AskLine(HWND owner, const std::wstring& title,
                                    const std::wstring& prompt, const std::wstring& ok,
                                    const std::wstring& cancel) {
    constexpr WORD kButton = 0x0080;
    constexpr WORD kEdit = 0x0081;
    constexpr WORD kStatic = 0x0082;
    DialogTemplate dialog;
    dialog.header(title, 220, 64, 4);
    dialog.item(kStatic, SS_LEFT | SS_NOPREFIX, 7, 7, 206, 10, 0xFFFF, prompt);
    dialog.item(kEdit, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 7, 22, 206, 14, kQuestionBox, {});
    dialog.item(kButton, WS_TABSTOP | BS_DEFPUSHBUTTON, 109, 43, 50, 14, IDOK, ok);
    dialog.item(kButton, WS_TABSTOP | BS_PUSHBUTTON, 163, 43, 50, 14, IDCANCEL, cancel);
    Question question;
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.get(), owner, &QuestionProc,
                            reinterpret_cast<LPARAM>(&question));
    if (!question.answered) {
        return std::nullopt;
    }
    return question.answer;
}

}  // namespace

COLORREF MainFrame::MarkGround(char mark) {
    const std::optional<Tint> tint = MarkTint(mark);
    return tint ? RGB(tint->red, tint->green, tint->blue) : GetSysColor(COLOR_WINDOW);
}

void MainFrame::createCompareBar() {
    const auto make = [this](const wchar_t* className, DWORD style, int id) {
        HWND control = CreateWindowExW(0, className, L"", WS_CHILD | style, 0, 0, 0, 0, window_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                       GetModuleHandleW(nullptr), nullptr);
        named_.push_back({control, {}, {}});
        return control;
    };
    const auto caption = [this](int id) { return compare_.caption(id); };
    compareText_ = make(WC_EDITW, WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, kIdCompareText);
    compareBrowse_ = make(WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, kIdCompareBrowse);
    compareRun_ = make(WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, kIdCompareRun);
    compareClose_ = make(WC_BUTTONW, BS_PUSHBUTTON, kIdCompareClose);
    compareCount_ = make(WC_STATICW, SS_LEFT | SS_NOPREFIX, kIdCompareCount);
    compareDescribed_ =
        make(WC_STATICW, SS_LEFT | SS_ENDELLIPSIS | SS_NOPREFIX | SS_NOTIFY, kIdCompareDescribed);
    compareOnlyDifferences_ =
        make(WC_BUTTONW, WS_TABSTOP | BS_AUTOCHECKBOX, kIdCompareOnlyDifferences);
    SetWindowTextW(compareBrowse_, WithoutAccessKey(caption(message::kCompareBrowse)).c_str());
    SetWindowTextW(compareRun_, WithoutAccessKey(caption(message::kCompareButton)).c_str());
    SetWindowTextW(compareClose_, L"\u00D7");
    SetWindowTextW(compareOnlyDifferences_,
                   WithoutAccessKey(caption(message::kOnlyDifferencesCommand)).c_str());
    SendMessageW(
        compareText_, EM_SETCUEBANNER, TRUE,
        reinterpret_cast<LPARAM>(AnsiToWide(caption(message::kCompareTargetPlaceholder)).c_str()));

    // The close button says what it does; the End_TW box, while compared,
    // the text it had; the described line, when cut, all of it.
    addTip(compareClose_, AnsiToWide(caption(message::kCloseCompareBar)));
    addTip(endTwBox_, {});
    addTip(compareDescribed_, {});
}

void MainFrame::placeCompareBar(const RECT& tabs, int height) {
    if (compareText_ == nullptr || !compareOpen_) {
        return;
    }
    const auto place = [](HWND control, const RECT& r) {
        SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    };
    // Two rows, as the find bar: the box and its buttons, then the count,
    // what is compared and the switch.
    const int row = height / 2;
    const int margin = px(30);
    const int top = tabs.bottom + margin;
    int right = tabs.right - margin;
    place(compareClose_, {right - row, top, right, tabs.bottom + row});
    right -= row + margin;
    for (HWND button : {compareRun_, compareBrowse_}) {
        const int width = CaptionSize(button).cx + px(240);
        place(button, {right - width, top, right, tabs.bottom + row});
        right -= width + margin;
    }
    place(compareText_, {tabs.left + margin, top, right, tabs.bottom + row});

    const int lower = tabs.bottom + row + margin;
    const int countWidth = CaptionSize(compareCount_).cx;
    place(compareCount_,
          {tabs.left + margin, lower, tabs.left + margin + countWidth, tabs.bottom + height});
    const int boxWidth = CaptionSize(compareOnlyDifferences_).cx + px(400);
    const int boxLeft = std::max<int>(tabs.left + margin, tabs.right - margin - boxWidth);
    place(compareOnlyDifferences_,
          {boxLeft, tabs.bottom + row, tabs.right - margin, tabs.bottom + height});
    const int describedLeft = tabs.left + margin + countWidth + (countWidth > 0 ? px(90) : 0);
    place(compareDescribed_,
          {describedLeft, lower, std::max(describedLeft, boxLeft - margin), tabs.bottom + height});
}

bool MainFrame::compareKey(const MSG& message) {
    if (message.message != WM_KEYDOWN) {
        return false;
    }
    if (message.hwnd == compareText_ && message.wParam == VK_RETURN) {
        compare_.compare();
        return true;
    }
    return false;
}

bool MainFrame::compareCommand(int id, int code, HWND control) {
    if (control != nullptr) {
        if (code != BN_CLICKED) {
            return false;
        }
        if (control == compareBrowse_) {
            compare_.browse();
        } else if (control == compareRun_) {
            compare_.compare();
        } else if (control == compareClose_) {
            compare_.close();
        } else if (control == compareOnlyDifferences_) {
            compare_.setOnlyDifferences(SendMessageW(compareOnlyDifferences_, BM_GETCHECK, 0, 0) ==
                                        BST_CHECKED);
        } else {
            return false;
        }
        return true;
    }
    switch (id) {
        case kCmdCompare:
            compare_.open();
            return true;
        case kCmdNextDifference:
            compare_.nextDifference();
            return true;
        case kCmdPreviousDifference:
            compare_.previousDifference();
            return true;
        case kCmdOnlyDifferences:
            compare_.setOnlyDifferences(!compare_.onlyDifferences());
            return true;
        case kCmdRefresh:
            compare_.refresh();
            return true;
        case kCmdAutoRefresh:
            compare_.autoRefreshCommand();
            return true;
        default:
            return false;
    }
}

void MainFrame::addCompareCommands(HMENU menu) {
    const auto add = [this, menu](int id, int captionId, std::wstring_view key) {
        std::wstring text = AnsiToWide(compare_.caption(captionId));
        if (!key.empty()) {
            text.append(L"\t").append(key);
        }
        AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(id), text.c_str());
    };
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    add(kCmdCompare, message::kCompareCommand, L"Ctrl+D");
    add(kCmdNextDifference, message::kNextDifferenceCommand, L"F7");
    add(kCmdPreviousDifference, message::kPreviousDifferenceCommand, L"Shift+F7");
    add(kCmdOnlyDifferences, message::kOnlyDifferencesCommand, {});
    CheckMenuItem(menu, kCmdOnlyDifferences,
                  compare_.onlyDifferences() ? MF_CHECKED : MF_UNCHECKED);
    add(kCmdRefresh, message::kRefreshCommand, L"F5");
    add(kCmdAutoRefresh, message::kAutoRefreshCommand, {});
    CheckMenuItem(menu, kCmdAutoRefresh,
                  compare_.autoRefreshSeconds() > 0 ? MF_CHECKED : MF_UNCHECKED);
}

void MainFrame::showCompareBar(bool shown, bool takeFocus) {
    compareOpen_ = shown;
    for (HWND control : {compareText_, compareBrowse_, compareRun_, compareClose_, compareCount_,
                         compareDescribed_, compareOnlyDifferences_}) {
        ShowWindow(control, shown ? SW_SHOWNA : SW_HIDE);
    }
    placeControls(presenter_.layout());
    if (shown && !takeFocus) {
        return;
    }
    if (shown) {
        SetFocus(compareText_);
        SendMessageW(compareText_, EM_SETSEL, 0, -1);
        return;
    }
    focusSelectedList();
}

std::string MainFrame::compareTarget() const {
    const std::wstring text = WindowText(compareText_);
    std::string ansi = WideToAnsi(text);
    // A path is the file system's, as std::filesystem converts it; an
    // address and name are the engine's ANSI bytes.
    if (IsSnapshotPath(TrimEnd(ansi))) {
        return std::filesystem::path(text).string();
    }
    return ansi;
}

void MainFrame::setCompareTarget(std::string_view text) {
    const std::wstring shown = IsSnapshotPath(TrimEnd(text))
                                   ? std::filesystem::path(std::string(text)).wstring()
                                   : AnsiToWide(text);
    if (WindowText(compareText_) != shown) {
        SetWindowTextW(compareText_, shown.c_str());
    }
}

void MainFrame::showCompareStatus(std::string_view described, std::string_view count) {
    const std::wstring line = AnsiToWide(described);
    SetWindowTextW(compareCount_, AnsiToWide(count).c_str());
    SetWindowTextW(compareDescribed_, line.c_str());
    setTip(compareDescribed_, line);
    if (compareOpen_) {
        placeControls(presenter_.layout());  // the count's width
    }
}

void MainFrame::setOnlyDifferencesChecked(bool on) {
    SendMessageW(compareOnlyDifferences_, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

int MainFrame::scrollPosition(PageList list) const {
    return ListView_GetTopIndex(listViews_[static_cast<std::size_t>(list)]);
}

void MainFrame::setScrollPosition(PageList list, int position) {
    HWND view = listViews_[static_cast<std::size_t>(list)];
    const int top = ListView_GetTopIndex(view);
    RECT row{};
    if (position == top || ListView_GetItemRect(view, top, &row, LVIR_BOUNDS) == FALSE) {
        return;
    }
    // A report view scrolls by pixels, rounded to whole rows.
    const long long pixels = static_cast<long long>(position - top) * (row.bottom - row.top);
    ListView_Scroll(view, 0, static_cast<int>(std::clamp<long long>(pixels, INT_MIN, INT_MAX)));
}

void MainFrame::beginMarksChange() {
    // The rows the views show change: they forget their count and their
    // selection, as for a new Display.
    beginListsReset();
}

void MainFrame::endMarksChange() {
    showBeforeColumns(compare_.comparing());
    for (const PageListInfo& info : kPageLists) {
        HWND view = listViews_[static_cast<std::size_t>(info.list)];
        const auto rows = static_cast<int>(std::min<std::size_t>(viewRowCount(info.list), INT_MAX));
        if (ListView_GetItemCount(view) != rows) {
            SendMessageW(view, LVM_SETITEMCOUNT, static_cast<WPARAM>(rows), LVSICF_NOSCROLL);
        }
        fitValueColumn(static_cast<int>(info.list));
        InvalidateRect(view, nullptr, FALSE);
    }
    markEndTw();
}

void MainFrame::showBeforeColumns(bool shown) {
    if (beforeShown_ == shown) {
        return;
    }
    std::wstring caption = AnsiToWide(compare_.caption(message::kBeforeColumn));
    int width = 0;
    if (shown) {
        // Room for a ten-digit value and the caption; longer ones scroll.
        HDC dc = GetDC(window_);
        SelectObject(dc, fixedFont_);
        SIZE digits{};
        GetTextExtentPoint32W(dc, L"000000000000", 12, &digits);
        SelectObject(dc, font_);
        SIZE heading{};
        GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &heading);
        ReleaseDC(window_, dc);
        width = std::max(digits.cx, heading.cx) + 16;
    }
    for (HWND view : listViews_) {
        if (shown) {
            LVCOLUMNW column{};
            column.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
            column.cx = width;
            column.pszText = caption.data();
            const int after = Header_GetItemCount(ListView_GetHeader(view));
            column.iSubItem = after;
            SendMessageW(view, LVM_INSERTCOLUMNW, static_cast<WPARAM>(after),
                         reinterpret_cast<LPARAM>(&column));
        } else {
            SendMessageW(view, LVM_DELETECOLUMN, static_cast<WPARAM>(beforeColumnIndex(view)), 0);
        }
    }
    beforeShown_ = shown;
}

int MainFrame::beforeColumnIndex(HWND view) const {
    return beforeShown_ ? Header_GetItemCount(ListView_GetHeader(view)) - 1 : -1;
}

void MainFrame::markEndTw() {
    endTwTip_.clear();
    if (compare_.endTwMark()) {
        endTwTip_ = AnsiToWide(compare_.endTwHeading()) + L"\r\n" +
                    EditBoxText(compare_.endTwBefore(), TrailingBlanks::AsText, LineBreaks::Kept);
    }
    setTip(endTwBox_, endTwTip_);
    // Tinted while its text differs from the compared one's: its text's
    // ground is the box's (RichByteRuns.h).
    if (compare_.endTwMark()) {
        SendMessageW(endTwBox_, EM_SETBKGNDCOLOR, 0, MarkGround('~'));
    } else {
        SendMessageW(endTwBox_, EM_SETBKGNDCOLOR, 1, 0);
    }
}

std::optional<std::string> MainFrame::askText(std::string_view title, std::string_view prompt) {
    const std::wstring wideTitle = AnsiToWide(title);
    const std::wstring widePrompt = AnsiToWide(prompt);
    const std::optional<std::wstring> answer =
        textDialog_ ? textDialog_(wideTitle, widePrompt)
                    : AskLine(window_, wideTitle, widePrompt,
                              AnsiToWide(compare_.caption(message::kQuestionOk)),
                              AnsiToWide(compare_.caption(message::kQuestionCancel)));
    if (!answer) {
        return std::nullopt;
    }
    return WideToAnsi(*answer);
}

void MainFrame::setRefreshTimer(int seconds) {
    if (seconds <= 0) {
        KillTimer(window_, kRefreshTimer);
    } else {
        SetTimer(window_, kRefreshTimer, static_cast<UINT>(seconds) * 1000U, nullptr);
    }
}

void MainFrame::flushStatus() {
    UpdateWindow(statusLine_);
}

}  // namespace twds::win32

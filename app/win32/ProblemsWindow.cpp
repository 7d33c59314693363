#include "ProblemsWindow.h"

// After windows.h (ProblemsWindow.h).
#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <string>

#include "AnsiWide.h"
#include "SystemFonts.h"
#include "WindowClass.h"
#include "twds/ProblemsPresenter.h"

namespace twds::win32 {

namespace {

constexpr wchar_t kPaneClass[] = L"twDspUsrSpcProblems";

}  // namespace

ProblemsWindow::ProblemsWindow(HWND owner, ProblemsPresenter& presenter)
    : presenter_(presenter), owner_(owner) {
    const UINT dpi = GetDpiForWindow(owner);
    window_ = CreateToolWindow(owner, kPaneClass, presenter_.title(), 900, 240);
    RouteMessages<ProblemsWindow, &ProblemsWindow::handle>(window_, this);
    list_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                                LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                            0, 0, 0, 0, window_, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    for (int column = 0; column < ProblemsPresenter::kColumnCount; ++column) {
        std::wstring caption = AnsiToWide(presenter_.columnCaption(column));
        LVCOLUMNW heading{};
        heading.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM | LVCF_FMT;
        heading.fmt = column == ProblemsPresenter::kRow ? LVCFMT_RIGHT : LVCFMT_LEFT;
        heading.cx = 80;
        heading.pszText = caption.data();
        heading.iSubItem = column;
        SendMessageW(list_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column),
                     reinterpret_cast<LPARAM>(&heading));
    }
    useFontFor(dpi);
    RECT client{};
    GetClientRect(window_, &client);
    MoveWindow(list_, 0, 0, client.right, client.bottom, FALSE);
}

ProblemsWindow::~ProblemsWindow() {
    DestroyRoutedWindow(window_);
    DeleteObject(font_);
}

bool ProblemsWindow::owns(HWND window) const {
    return IsWithin(window_, window);
}

void ProblemsWindow::useFontFor(UINT dpi) {
    const LOGFONTW message = MessageFontAt(dpi);
    HFONT previous = font_;
    font_ = CreateFontIndirectW(&message);
    SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    DeleteObject(previous);
}

void ProblemsWindow::open() {
    if (!placed_) {
        // Under the owner like the inspector beside it, its left edge on
        // the owner's, moved up or left where the screen ends.
        placed_ = true;
        RECT owner{};
        GetWindowRect(owner_, &owner);
        RECT pane{};
        GetWindowRect(window_, &pane);
        // At least as wide as the owner, whose bottom edge it continues.
        const LONG width = std::max(pane.right - pane.left, owner.right - owner.left);
        const LONG height = pane.bottom - pane.top;
        const POINT at = KeptOnMonitor(owner_, {owner.left, owner.bottom}, width, height);
        SetWindowPos(window_, nullptr, at.x, at.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    reload();
    fitColumns();
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    SetFocus(list_);
    if (ListView_GetNextItem(list_, -1, LVNI_FOCUSED) < 0 && ListView_GetItemCount(list_) > 0) {
        ListView_SetItemState(list_, 0, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    }
}

void ProblemsWindow::hide() {
    ShowWindow(window_, SW_HIDE);
}

void ProblemsWindow::reload() {
    const auto lines = static_cast<int>(std::min<std::size_t>(presenter_.lineCount(), INT_MAX));
    SendMessageW(list_, LVM_SETITEMCOUNT, static_cast<WPARAM>(lines), LVSICF_NOSCROLL);
    InvalidateRect(list_, nullptr, FALSE);
}

void ProblemsWindow::clearSortMark() {
    sortColumn_ = -1;
    ascending_ = true;
    showSortMark();
}

void ProblemsWindow::fitColumns() {
    // Each column as wide as its heading or its widest cell among the first
    // lines (a damaged model of many files may have tens of thousands of
    // problems; Qt's table measures as many); the message takes the rest.
    constexpr std::size_t kMeasuredLines = 1000;
    HDC dc = GetDC(list_);
    const HGDIOBJ old = SelectObject(dc, font_);
    const auto textWidth = [dc](const std::string& text) {
        const std::wstring wide = AnsiToWide(text);
        SIZE extent{};
        GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent);
        return static_cast<int>(extent.cx);
    };
    const std::size_t lines = std::min(presenter_.lineCount(), kMeasuredLines);
    int used = 0;
    for (int column = 0; column < ProblemsPresenter::kColumnCount; ++column) {
        int width = textWidth(presenter_.columnCaption(column)) + 24;
        for (std::size_t line = 0; line < lines; ++line) {
            width = std::max(width, textWidth(presenter_.cellText(line, column)) + 16);
        }
        if (column == ProblemsPresenter::kMessage) {
            RECT client{};
            GetClientRect(list_, &client);
            width = std::max(width, static_cast<int>(client.right) - used);
        }
        SendMessageW(list_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), width);
        used += width;
    }
    SelectObject(dc, old);
    ReleaseDC(list_, dc);
}

void ProblemsWindow::sortBy(int column) {
    // A click on the sorted column turns its order round.
    ascending_ = column == sortColumn_ ? !ascending_ : true;
    sortColumn_ = column;
    presenter_.sortBy(column, ascending_);
    showSortMark();
}

void ProblemsWindow::showSortMark() {
    HWND header = ListView_GetHeader(list_);
    for (int column = 0; column < ProblemsPresenter::kColumnCount; ++column) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(header, column, &item);
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (column == sortColumn_) {
            item.fmt |= ascending_ ? HDF_SORTUP : HDF_SORTDOWN;
        }
        Header_SetItem(header, column, &item);
    }
}

LRESULT ProblemsWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            MoveWindow(list_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return 0;
        case WM_NOTIFY:
            return notify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_DPICHANGED: {
            // Moved to a monitor of another scale: the size Windows suggests
            // for it, the font made for it, the columns measured again.
            TakeSuggestedRect(window_, lParam);
            useFontFor(HIWORD(wParam));
            fitColumns();
            return 0;
        }
        case WM_CLOSE:
            // Hidden, not destroyed: it opens again as the user left it.
            presenter_.close();
            return 0;
        case WM_DESTROY:
            SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
            break;
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT ProblemsWindow::notify(const NMHDR& header) {
    if (header.hwndFrom != list_) {
        return 0;
    }
    switch (header.code) {
        case LVN_GETDISPINFOW: {
            LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header))->item;
            if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
                const std::wstring text = AnsiToWide(
                    presenter_.cellText(static_cast<std::size_t>(item.iItem), item.iSubItem));
                lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
            }
            return 0;
        }
        case LVN_COLUMNCLICK:
            sortBy(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
            return 0;
        case NM_RETURN:
        case NM_DBLCLK: {
            // Enter means the current line; a double click names its own,
            // none off the lines. (Wine's list view sends no
            // LVN_ITEMACTIVATE for Enter.)
            const int line = header.code == NM_RETURN
                                 ? ListView_GetNextItem(list_, -1, LVNI_FOCUSED)
                                 : reinterpret_cast<const NMITEMACTIVATE&>(header).iItem;
            if (line >= 0) {
                presenter_.activate(static_cast<std::size_t>(line));
            }
            return 0;
        }
        default:
            return 0;
    }
}

}  // namespace twds::win32

#include "MainFrame.h"

// After windows.h (MainFrame.h).
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <climits>
#include <initializer_list>
#include <utility>
#include <vector>

#include "AnsiWide.h"
#include "ByteRunDraw.h"
#include "RichByteRuns.h"
#include "SystemFonts.h"
#include "Twips.h"
#include "WindowClass.h"
#include "twds/DisplayCommand.h"
#include "twds/EscapeKey.h"
#include "twds/FileColumn.h"
#include "twds/ListLabels.h"
#include "twds/Messages.h"
#include "twds/RowCopyText.h"

namespace twds::win32 {

namespace {

constexpr wchar_t kWindowClass[] = L"twDspUsrSpcMain";
constexpr int kFileSubItem = 2;  // the file column, shown first when shown
constexpr int kFileColumnCharacters = 10;
constexpr int kZcFileColumnCharacters = 15;  // a FicID, " #" and a three-digit entry

enum ControlId : int {
    kIdTabs = 100,
    kIdAddress,
    kIdName,
    kIdMachineLabel,
    kIdNameLabel,
    kIdEndTw,
    kIdDisplay,
    kIdExport,
    kIdExit,
    kIdStatus,
    kIdListBase = 200,   // + PageList
    kIdValueBase = 300,  // + PageList
    kIdFindText = 500,
    kIdFindPrevious,
    kIdFindNext,
    kIdFindClose,
    kIdFindStatus,
};

// Runs on the window's thread what the search's thread posted.
constexpr UINT kPostedTask = WM_APP + 1;

std::wstring Ascii(std::string_view text) {
    return {text.begin(), text.end()};
}

// A path the system gave as UTF-16, as std::filesystem holds it on Windows.
std::filesystem::path PathOf(const std::wstring& text) {
    return {text};
}

// A menu entry: the caption with its access key, a tab, its shortcut.
std::wstring MenuText(const std::string& caption, std::wstring_view shortcut) {
    std::wstring text = AnsiToWide(caption);
    if (!shortcut.empty()) {
        text.append(L"\t").append(shortcut);
    }
    return text;
}

std::wstring CommonDialog(HWND owner, const std::wstring& title, const std::wstring& folder,
                          const std::wstring& fileName, const std::wstring& filter, bool save) {
    std::wstring file = fileName;
    file.resize(std::max<std::size_t>(file.size() + 1, MAX_PATH * 4), L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = folder.c_str();
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY |
                   (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
    const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (chosen == FALSE) {
        return {};
    }
    file.resize(file.find(L'\0'));
    return file;
}

void RegisterClasses() {
    static const bool registered = [] {
        RegisterWindowClass(kWindowClass);
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        return true;
    }();
    (void)registered;
}

}  // namespace

MainFrame::MainFrame(DisplayCommand& display, RegistryStore& registry, MessageLookup messages,
                     CatalogueLookup captions)
    : display_(display),
      presenter_(*this, display, registry, messages, std::move(captions)),
      problems_(*this, presenter_, display, messages),
      find_(*this, presenter_, display, messages),
      compare_(*this, presenter_, display, find_, std::move(messages)) {
    const auto dialog = [this](bool save) {
        return [this, save](const std::wstring& title, const std::wstring& folder,
                            const std::wstring& fileName, const std::wstring& filter) {
            return CommonDialog(window_, title, folder, fileName, filter, save);
        };
    };
    saveDialog_ = dialog(true);
    openDialog_ = dialog(false);
    RegisterClasses();
    window_ = CreateWindowExW(WS_EX_CONTROLPARENT | WS_EX_ACCEPTFILES, kWindowClass, L"",
                              WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    RouteMessages<MainFrame, &MainFrame::handle>(window_, this);
    dpi_ = GetDpiForWindow(window_);
    createFonts();
    createControls();
    createFindBar();
    problemsMark_ = std::make_unique<ProblemsMark>(window_, [this] { problems_.toggle(); });
    createCompareBar();
    applyFonts();
    createAccelerators();

    setClientSize(px(design::kClientWidth), px(design::kClientHeight) + statusLineHeight());
    applyLayout();
    showTabPage(form::kInfoTab);
}

MainFrame::~MainFrame() {
    inspector_.reset();  // before its owner
    DestroyRoutedWindow(window_);
    DestroyAcceleratorTable(accelerators_);
    for (HFONT font : {font_, fixedFont_, markFont_}) {
        DeleteObject(font);
    }
}

void MainFrame::setClientSize(int width, int height) {
    // The frame as the system computes it, then corrected by what the window
    // got: a title bar may wrap or a theme draw a wider frame.
    RECT outer{0, 0, width, height};
    AdjustWindowRectExForDpi(&outer, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_CONTROLPARENT, dpi_);
    for (int attempt = 0; attempt < 2; ++attempt) {
        SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT client{};
        GetClientRect(window_, &client);
        if (client.right == width && client.bottom == height) {
            return;
        }
        outer.right += width - client.right;
        outer.bottom += height - client.bottom;
    }
}

LRESULT CALLBACK MainFrame::NameBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR /*id*/, DWORD_PTR data) {
    // The messages by which the user changes the text: what changes it
    // while one is handled was typed, pasted, cut or undone.
    switch (message) {
        case WM_CHAR:
        case WM_KEYDOWN:
        case WM_PASTE:
        case WM_CUT:
        case WM_CLEAR:
        case WM_UNDO: {
            auto* frame = reinterpret_cast<MainFrame*>(data);
            const bool outer = !frame->userEditing_;
            frame->userEditing_ = true;
            const LRESULT result = DefSubclassProc(box, message, wParam, lParam);
            frame->userEditing_ = !outer;
            return result;
        }
        default:
            return DefSubclassProc(box, message, wParam, lParam);
    }
}

HWND MainFrame::createControl(const wchar_t* className, DWORD style, int id,
                              const form::NamedControl& named, DWORD exStyle) {
    HWND control = CreateWindowExW(exStyle, className, L"", WS_CHILD | style, 0, 0, 0, 0, window_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   GetModuleHandleW(nullptr), nullptr);
    named_.push_back({control, std::string(named.name), std::string(named.tag)});
    return control;
}

void MainFrame::createControls() {
    // Created in the focus order: Tab walks the children as created.
    displayButton_ = createControl(WC_BUTTONW, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, kIdDisplay,
                                   form::kDisplayButton);
    exitButton_ = createControl(WC_BUTTONW, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, kIdExit,
                                form::kExitButton);
    tabs_ = createControl(WC_TABCONTROLW, WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, kIdTabs,
                          form::kTabs);
    for (int t = 0; t < form::kTabCount; ++t) {
        std::wstring caption = Ascii(form::TabCaption(t));
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        SendMessageW(tabs_, TCM_INSERTITEMW, static_cast<WPARAM>(t),
                     reinterpret_cast<LPARAM>(&item));
    }
    const DWORD box = WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
    machineLabel_ = createControl(WC_STATICW, SS_LEFT, kIdMachineLabel, form::kMachineLabel);
    addressBox_ = createControl(WC_EDITW, box, kIdAddress, form::kAddressBox, WS_EX_CLIENTEDGE);
    nameLabel_ = createControl(WC_STATICW, SS_LEFT, kIdNameLabel, form::kNameLabel);
    nameBox_ = createControl(WC_EDITW, box, kIdName, form::kNameBox, WS_EX_CLIENTEDGE);
    SetWindowSubclass(nameBox_, &MainFrame::NameBoxProc, 1, reinterpret_cast<DWORD_PTR>(this));

    for (const PageListInfo& info : kPageLists) {
        const auto at = static_cast<std::size_t>(info.list);
        // Owner data: the view asks for each cell it draws and keeps no item
        // per row, so ten million rows cost it nothing.
        HWND view = createControl(
            WC_LISTVIEWW, WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS,
            kIdListBase + static_cast<int>(at), {info.viewName, {}}, WS_EX_CLIENTEDGE);
        SendMessageW(view, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                     LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_HEADERDRAGDROP);
        for (int column = 0; column < 2; ++column) {
            LVCOLUMNW heading{};
            heading.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
            heading.cx = px(form::kDefaultColumnWidthTwips);
            heading.pszText = const_cast<wchar_t*>(L"");
            heading.iSubItem = column;
            SendMessageW(view, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column),
                         reinterpret_cast<LPARAM>(&heading));
        }
        listViews_[at] = view;
        selectedRows_[at].emplace();
        SetWindowSubclass(view, &MainFrame::ListViewProc, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    for (const PageListInfo& info : kPageLists) {
        const auto at = static_cast<std::size_t>(info.list);
        const DWORD style = info.oneLineValueBox
                                ? WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL | WS_HSCROLL
                                : WS_TABSTOP | ES_READONLY | ES_MULTILINE | WS_VSCROLL;
        valueBoxes_[at] = createControl(RichEditClass(), style, kIdValueBase + static_cast<int>(at),
                                        {info.valueBoxName, {}}, WS_EX_CLIENTEDGE);
    }
    endTwBox_ = createControl(RichEditClass(), WS_TABSTOP | ES_READONLY | ES_MULTILINE | WS_VSCROLL,
                              kIdEndTw, form::kEndTwBox, WS_EX_CLIENTEDGE);
    exportButton_ = createControl(WC_BUTTONW, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, kIdExport,
                                  form::kExportButton);
    // The status line: a borderless read-only text whose long messages wrap
    // and can be selected and copied.
    statusLine_ = CreateWindowExW(
        0, WC_EDITW, L"", WS_CHILD | WS_VISIBLE | ES_READONLY | ES_MULTILINE | ES_AUTOVSCROLL, 0, 0,
        0, 0, window_, reinterpret_cast<HMENU>(kIdStatus), GetModuleHandleW(nullptr), nullptr);
    // The tab control is drawn under the page controls.
    SetWindowPos(tabs_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void MainFrame::createFonts() {
    for (HFONT font : {font_, fixedFont_, markFont_}) {
        DeleteObject(font);
    }
    const LOGFONTW message = MessageFontAt(dpi_);
    font_ = CreateFontIndirectW(&message);
    const LOGFONTW fixed = FixedFontLike(message);
    fixedFont_ = CreateFontIndirectW(&fixed);
    LOGFONTW mark = message;
    mark.lfHeight = mark.lfHeight * 3 / 4;
    markFont_ = CreateFontIndirectW(&mark);
    labelColumnWidths_ = {};
}

void MainFrame::applyFonts() {
    for (const NamedWindow& named : named_) {
        SendMessageW(named.window, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }
    SendMessageW(statusLine_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    problemsMark_->setFont(font_);
    for (HWND box : valueBoxes_) {
        SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(fixedFont_), FALSE);
    }
    SendMessageW(endTwBox_, WM_SETFONT, reinterpret_cast<WPARAM>(fixedFont_), FALSE);
    // Every row one height: the taller of the label and value fonts.
    HDC dc = GetDC(window_);
    int rowHeight = 0;
    for (HFONT font : {font_, fixedFont_}) {
        SelectObject(dc, font);
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        rowHeight = std::max(rowHeight, static_cast<int>(metrics.tmHeight));
    }
    ReleaseDC(window_, dc);
    // Seven captions in one row at the design width: a tab is as wide as its
    // caption and padding, not the wider least width some systems give it.
    SendMessageW(tabs_, TCM_SETPADDING, 0, MAKELPARAM(px(120), px(45)));
    SendMessageW(tabs_, TCM_SETMINTABWIDTH, 0, px(150));
    // A report view takes its rows' height from its small image list.
    for (HWND view : listViews_) {
        HIMAGELIST rows = ImageList_Create(1, rowHeight + 2, ILC_COLOR, 0, 0);
        auto* old = reinterpret_cast<HIMAGELIST>(
            SendMessageW(view, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(rows)));
        ImageList_Destroy(old);
    }
}

void MainFrame::createAccelerators() {
    // Window-wide commands; the lists' own (copy, select all) are their keys.
    ACCEL keys[] = {
        {FVIRTKEY | FCONTROL, 'I', kCmdInspect},
        {FVIRTKEY | FCONTROL | FSHIFT, 'L', kCmdFileColumn},
        {FVIRTKEY | FCONTROL, 'S', kCmdSaveSnapshot},
        {FVIRTKEY | FCONTROL, 'O', kCmdOpenSnapshot},
        {FVIRTKEY | FCONTROL, 'F', kCmdFind},
        {FVIRTKEY, VK_F3, kCmdFindNext},
        {FVIRTKEY | FSHIFT, VK_F3, kCmdFindPrevious},
        {FVIRTKEY | FCONTROL | FSHIFT, 'P', kCmdProblems},
        {FVIRTKEY | FCONTROL, 'D', kCmdCompare},
        {FVIRTKEY, VK_F7, kCmdNextDifference},
        {FVIRTKEY | FSHIFT, VK_F7, kCmdPreviousDifference},
        {FVIRTKEY, VK_F5, kCmdRefresh},
    };
    accelerators_ = CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys)));
}

bool MainFrame::preTranslate(MSG& message) {
    if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE &&
        escapePressed(message.hwnd)) {
        return true;
    }
    if (problemsPane_ != nullptr && problemsPane_->owns(message.hwnd)) {
        return problemsPaneKey(message);
    }
    if (inspector_ != nullptr && inspector_->owns(message.hwnd)) {
        return IsDialogMessageW(inspector_->window(), &message) != FALSE;
    }
    if (!IsWithin(window_, message.hwnd)) {
        return false;
    }
    if (TranslateAcceleratorW(window_, accelerators_, &message) != 0) {
        return true;
    }
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN &&
        (message.hwnd == addressBox_ || message.hwnd == nameBox_)) {
        presenter_.display();  // Enter in either box is Display
        return true;
    }
    if (message.message == WM_KEYDOWN && message.hwnd == findText_ && message.wParam == VK_RETURN) {
        if (GetKeyState(VK_SHIFT) < 0) {
            find_.findPrevious();
        } else {
            find_.findNext();
        }
        return true;
    }
    if (compareKey(message)) {
        return true;
    }
    return IsDialogMessageW(window_, &message) != FALSE;
}

bool MainFrame::escapePressed(HWND at) {
    const auto inAny = [at](std::initializer_list<HWND> controls) {
        return std::find(controls.begin(), controls.end(), at) != controls.end();
    };
    const bool inPane = problemsPane_ != nullptr && problemsPane_->owns(at);
    const bool inInspector = inspector_ != nullptr && inspector_->owns(at);
    if (!inPane && !inInspector && !IsWithin(window_, at)) {
        return false;  // a window not ours, such as a dialog's
    }
    const EscapeState state{
        .findBarShown = findOpen_,
        .inFindBar = inAny({findText_, findPrevious_, findNext_, findClose_, findOnlyMatching_}),
        .compareBarShown = compareOpen_,
        .inCompareBar = inAny(
            {compareText_, compareBrowse_, compareRun_, compareClose_, compareOnlyDifferences_}),
        .inspectorShown = inspector_ != nullptr && inspector_->shown(),
        .inInspector = inInspector,
        .problemsPaneShown = problems_.isOpen(),
        .inProblemsPane = inPane,
    };
    switch (WhatEscapeCloses(state)) {
        case EscapeCloses::FindBar:
            find_.close();
            return true;
        case EscapeCloses::CompareBar:
            compare_.close();
            return true;
        case EscapeCloses::Inspector:
            inspector_->close();
            return true;
        case EscapeCloses::ProblemsPane:
            problems_.close();
            return true;
        case EscapeCloses::Nothing:
            return false;
    }
    return false;
}

LRESULT MainFrame::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            applyLayout();
            return 0;
        case WM_GETMINMAXINFO: {
            RECT least{0, 0, px(design::kClientWidth),
                       px(design::kClientHeight) + statusLineHeight()};
            AdjustWindowRectExForDpi(&least, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_CONTROLPARENT, dpi_);
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize = {least.right - least.left, least.bottom - least.top};
            return 0;
        }
        case WM_DPICHANGED: {
            dpi_ = HIWORD(wParam);
            createFonts();
            applyFonts();
            // The boxes' runs carry their sizes: drawn again in the new fonts.
            for (const PageListInfo& info : kPageLists) {
                showValue(info.list,
                          std::string(shownValues_[static_cast<std::size_t>(info.list)]));
            }
            showEndTw(std::string(shownEndTw_));
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            applyLayout();
            applyColumns();
            showBeforeColumns(false);  // made again at the new DPI's width
            endMarksChange();
            return 0;
        }
        case WM_NOTIFY:
            return notify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_COMMAND:
            command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_CONTEXTMENU: {
            const int list = listOf(reinterpret_cast<HWND>(wParam));
            if (list >= 0) {
                POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
                showListMenu(list, at);
                return 0;
            }
            break;
        }
        case WM_DROPFILES: {
            auto* drop = reinterpret_cast<HDROP>(wParam);
            std::wstring file(DragQueryFileW(drop, 0, nullptr, 0) + 1, L'\0');
            file.resize(DragQueryFileW(drop, 0, file.data(), static_cast<UINT>(file.size())));
            DragFinish(drop);
            if (file.size() > 5 && CompareStringOrdinal(file.c_str() + file.size() - 5, -1,
                                                        L".twus", -1, TRUE) == CSTR_EQUAL) {
                presenter_.openSnapshot(PathOf(file));
            }
            return 0;
        }
        case WM_SETCURSOR:
            if (busy_) {
                SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                return TRUE;
            }
            break;
        case WM_CTLCOLORSTATIC: {
            const auto box = reinterpret_cast<HWND>(lParam);
            if (box == machineLabel_ || box == nameLabel_) {
                // The labels stand on the tab control's page.
                SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
            }
            break;
        }
        case kPostedTask: {
            const std::unique_ptr<std::function<void()>> task(
                reinterpret_cast<std::function<void()>*>(lParam));
            (*task)();
            return 0;
        }
        case WM_TIMER:
            if (wParam == kRefreshTimer) {
                compare_.timerFired();
                return 0;
            }
            break;
        case WM_CLOSE:
            presenter_.exitViewer();
            return 0;
        case WM_DESTROY:
            if (quitOnClose_) {
                PostQuitMessage(0);
            }
            break;
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void MainFrame::command(int id, int code, HWND control) {
    if (compareCommand(id, code, control)) {
        return;
    }
    if (control == findText_ && code == EN_CHANGE) {
        const std::wstring text = WindowText(findText_);
        find_.textChanged(WideFitsAnsi(text) ? std::optional(WideToAnsi(text)) : std::nullopt);
        return;
    }
    if (control != nullptr && code == BN_CLICKED) {
        if (id == kIdFindNext) {
            find_.findNext();
        } else if (id == kIdFindPrevious) {
            find_.findPrevious();
        } else if (id == kIdFindClose) {
            find_.close();
        } else if (control == findOnlyMatching_) {
            compare_.setOnlyMatching(SendMessageW(findOnlyMatching_, BM_GETCHECK, 0, 0) ==
                                     BST_CHECKED);
        }
        if (id == kIdDisplay) {
            presenter_.display();
        } else if (id == kIdExport) {
            presenter_.exportDisplayed();
        } else if (id == kIdExit) {
            presenter_.exitViewer();
        }
        return;
    }
    if (control == nameBox_ && code == EN_CHANGE) {
        nameBoxChanged();
        return;
    }
    const int tab = TabCtrl_GetCurSel(tabs_);
    int list = -1;
    for (const PageListInfo& info : kPageLists) {
        list = info.tab == tab ? static_cast<int>(info.list) : list;
    }
    switch (id) {
        case kCmdCopy:
            if (list >= 0) {
                copySelectedRows(list);
            }
            break;
        case kCmdSelectAll:
            // Every row is selected by the window, not the view: told to
            // select all its rows, Wine's owner-data view visits each of them
            // (a minute on a million rows), and clears them one by one again
            // at the next click. The view keeps its few selected rows; the
            // cells are drawn selected and a copy takes every row until the
            // selection changes.
            if (list >= 0 &&
                ListView_GetItemCount(listViews_[static_cast<std::size_t>(list)]) > 0) {
                allSelected_[static_cast<std::size_t>(list)] = true;
                InvalidateRect(listViews_[static_cast<std::size_t>(list)], nullptr, FALSE);
            }
            break;
        case kCmdInspect:
            inspectCurrent();
            break;
        case kCmdFileColumn:
            presenter_.setFileColumnShown(!presenter_.fileColumnShown());
            break;
        case kCmdSaveSnapshot:
            presenter_.saveSnapshot();
            break;
        case kCmdOpenSnapshot:
            presenter_.openSnapshotAsked();
            break;
        case kCmdFind:
            compare_.openFind();  // in place of the comparison
            break;
        case kCmdFindNext:
            compare_.findNext();
            break;
        case kCmdFindPrevious:
            compare_.findPrevious();
            break;
        case kCmdOnlyMatching: {
            const bool on = !find_.onlyMatching();
            SendMessageW(findOnlyMatching_, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
            compare_.setOnlyMatching(on);
            break;
        }
        case kCmdProblems:
            problems_.toggle();
            break;
        default:
            break;
    }
}

void MainFrame::nameBoxChanged() {
    // A typed or pasted edit may be cut back to the name's longest; the
    // presenter compares with the length before the edit, so it hears of the
    // edit before the new length.
    const auto length = [this] { return static_cast<std::size_t>(GetWindowTextLengthW(nameBox_)); };
    if (userEditing_ && !settingName_) {
        DWORD cursor = 0;
        SendMessageW(nameBox_, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&cursor));
        presenter_.nameEdited(length(), cursor);
    }
    presenter_.nameChanged(length());
}

LRESULT MainFrame::notify(const NMHDR& header) {
    if (header.hwndFrom == tabs_) {
        if (header.code == TCN_SELCHANGE) {
            showTabPage(TabCtrl_GetCurSel(tabs_));
            if (inspector_ != nullptr && inspector_->shown()) {
                inspectCurrent();  // the inspector follows the tab shown
            }
        }
        return 0;
    }
    const int list = listOf(header.hwndFrom);
    if (list < 0) {
        return 0;
    }
    const auto which = kPageLists[static_cast<std::size_t>(list)].list;
    switch (header.code) {
        case LVN_GETDISPINFOW:
            fillDisplayInfo(list,
                            reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header))->item);
            return 0;
        case NM_CUSTOMDRAW:
            return drawCell(list, *reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header)));
        case LVN_ODSTATECHANGED: {
            const auto& change = reinterpret_cast<const NMLVODSTATECHANGE&>(header);
            if (((change.uNewState ^ change.uOldState) & LVIS_SELECTED) != 0) {
                noteSelection(list, change.iFrom, change.iTo,
                              (change.uNewState & LVIS_SELECTED) != 0);
            }
            return 0;
        }
        case LVN_ITEMCHANGED: {
            const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
            if (((change.uNewState ^ change.uOldState) & LVIS_SELECTED) != 0) {
                const bool selected = (change.uNewState & LVIS_SELECTED) != 0;
                if (change.iItem >= 0) {
                    noteSelection(list, change.iItem, change.iItem, selected);
                } else if (selected) {
                    selectedRows_[static_cast<std::size_t>(list)].reset();
                } else {
                    selectedRows_[static_cast<std::size_t>(list)].emplace();
                }
            }
            const bool nowCurrent =
                (change.uNewState & LVIS_FOCUSED) != 0 && (change.uOldState & LVIS_FOCUSED) == 0;
            if (change.iItem >= 0 && nowCurrent) {
                // The find or compare presenter maps the view's rows to the list's.
                compare_.rowClicked(which, static_cast<std::size_t>(change.iItem));
            }
            return 0;
        }
        case LVN_KEYDOWN: {
            const auto& key = reinterpret_cast<const NMLVKEYDOWN&>(header);
            const bool control = GetKeyState(VK_CONTROL) < 0;
            if (control && key.wVKey == 'C') {
                copySelectedRows(list);
            } else if (control && key.wVKey == 'A') {
                command(kCmdSelectAll, 0, nullptr);
            }
            return 0;
        }
        default:
            return 0;
    }
}

int MainFrame::listOf(HWND control) const {
    for (std::size_t i = 0; i < listViews_.size(); ++i) {
        if (listViews_[i] == control && control != nullptr) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void MainFrame::fillDisplayInfo(int list, LVITEMW& item) {
    if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0) {
        return;
    }
    const auto which = kPageLists[static_cast<std::size_t>(list)].list;
    const ComparedRow shown = compare_.shownRow(which, static_cast<std::size_t>(item.iItem));
    const FieldList& rows = *shown.list;
    const std::size_t row = shown.row;
    std::wstring text;
    if (row < rows.rowCount()) {
        // The cell's text as a copy writes it: odd bytes named, never raw
        // control bytes (a screen reader or a test reads this).
        if (item.iSubItem == 0) {
            const std::string mark = shown.mark != 0 ? std::string{shown.mark, ' '} : "";
            text = AnsiToWide(mark + VisibleBytesText(rows.text(row)));
        } else if (item.iSubItem == 1) {
            // A removed row has no value in the Display shown.
            text = shown.mark == '-' ? L"" : AnsiToWide(VisibleBytesText(rows.value(row)));
        } else if (item.iSubItem == beforeColumnIndex(listViews_[static_cast<std::size_t>(list)])) {
            text = AnsiToWide(VisibleBytesText(shown.before));
        } else {
            text = AnsiToWide(compare_.fileColumnText(which, shown));
        }
    }
    lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
}

LRESULT MainFrame::drawCell(int list, NMLVCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT:      // asks for each row,
        case CDDS_ITEMPREPAINT:  // then each cell: one value, CDRF_NOTIFYSUBITEMDRAW
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
            break;
        default:
            return CDRF_DODEFAULT;
    }
    HWND view = listViews_[static_cast<std::size_t>(list)];
    const auto which = kPageLists[static_cast<std::size_t>(list)].list;
    const std::size_t viewRow = draw.nmcd.dwItemSpec;
    const ComparedRow compared = compare_.shownRow(which, viewRow);
    const FieldList& rows = *compared.list;
    const std::size_t row = compared.row;
    if (row >= rows.rowCount()) {
        return CDRF_DODEFAULT;
    }
    RECT cell{};
    cell.top = draw.iSubItem;
    cell.left = draw.iSubItem == 0 ? LVIR_LABEL : LVIR_BOUNDS;
    SendMessageW(view, LVM_GETSUBITEMRECT, viewRow, reinterpret_cast<LPARAM>(&cell));
    const bool marked = allSelected_[static_cast<std::size_t>(list)] ||
                        SendMessageW(view, LVM_GETITEMSTATE, viewRow, LVIS_SELECTED) != 0;
    const bool selected = marked && GetFocus() == view;
    // A compared row is drawn on its mark's tint.
    const int groundColour = selected ? COLOR_HIGHLIGHT : marked ? COLOR_BTNFACE : COLOR_WINDOW;
    const COLORREF ground =
        !selected && compared.mark != 0 ? MarkGround(compared.mark) : GetSysColor(groundColour);
    const ByteRunColours colours{GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT),
                                 ground};
    const HBRUSH brush = CreateSolidBrush(ground);
    FillRect(draw.nmcd.hdc, &cell, brush);
    DeleteObject(brush);
    cell.left += 4;
    std::string made;  // a text the cell is given: a marked label, a file's name
    std::string_view bytes;
    TrailingBlanks blanks = TrailingBlanks::Marked;
    HFONT font = fixedFont_;
    if (draw.iSubItem == 0) {
        blanks = TrailingBlanks::AsText;
        font = font_;
        bytes = rows.text(row);
        if (compared.mark != 0) {
            // The mark before the label, where it is always in view.
            made = std::string{compared.mark, ' '} + std::string(bytes);
            bytes = made;
        }
    } else if (draw.iSubItem == 1) {
        bytes = compared.mark != '-' ? rows.value(row) : std::string_view();
    } else if (draw.iSubItem == beforeColumnIndex(view)) {
        bytes = compared.before;
    } else if (draw.iSubItem == kFileSubItem) {
        made = compare_.fileColumnText(which, compared);
        bytes = made;
        blanks = TrailingBlanks::AsText;
    }
    if (highlight_ != nullptr && draw.iSubItem <= 1) {
        // A marker's yellow under dark text; on the selection, its ground
        // darker so that its light text stays legible.
        const COLORREF marker = selected ? RGB(GetRValue(ground) * 2 / 3, GetGValue(ground) * 2 / 3,
                                               GetBValue(ground) * 2 / 3)
                                         : RGB(255, 214, 64);
        FillMatches(draw.nmcd.hdc, cell, bytes, blanks, font, markFont_, *highlight_, marker);
    }
    DrawByteRuns(draw.nmcd.hdc, cell, bytes, blanks, font, markFont_, colours);
    return CDRF_SKIPDEFAULT;
}

std::string MainFrame::addressText() const {
    return WideToAnsi(WindowText(addressBox_));
}

std::string MainFrame::nameText() const {
    return WideToAnsi(WindowText(nameBox_));
}

void MainFrame::setAddressText(std::string_view text) {
    SetWindowTextW(addressBox_, AnsiToWide(text).c_str());
}

void MainFrame::setNameText(std::string_view text) {
    settingName_ = true;
    SetWindowTextW(nameBox_, AnsiToWide(text).c_str());
    settingName_ = false;
}

void MainFrame::cutNameText(std::size_t from, std::size_t count) {
    std::wstring kept = WindowText(nameBox_);
    kept.erase(std::min(from, kept.size()), count);
    settingName_ = true;
    SetWindowTextW(nameBox_, kept.c_str());
    settingName_ = false;
    SendMessageW(nameBox_, EM_SETSEL, from, static_cast<LPARAM>(from));
}

void MainFrame::selectTab(int tab) {
    TabCtrl_SetCurSel(tabs_, tab);
    showTabPage(tab);
}

void MainFrame::showTabPage(int tab) {
    const auto show = [](HWND control, bool shown) {
        ShowWindow(control, shown ? SW_SHOWNA : SW_HIDE);
    };
    for (HWND control : {machineLabel_, addressBox_, nameLabel_, nameBox_}) {
        show(control, tab == form::kInfoTab);
    }
    for (const PageListInfo& info : kPageLists) {
        show(listViews_[static_cast<std::size_t>(info.list)], tab == info.tab);
        show(valueBoxes_[static_cast<std::size_t>(info.list)], tab == info.tab);
    }
    show(endTwBox_, tab == form::kEndTwTab);
}

void MainFrame::showValue(PageList list, std::string_view bytes) {
    const auto at = static_cast<std::size_t>(list);
    shownValues_[at] = bytes;
    ShowByteRuns(valueBoxes_[at], bytes, TrailingBlanks::Marked, LineBreaks::Marked, fixedFont_,
                 markFont_);
}

void MainFrame::showEndTw(std::string_view text) {
    shownEndTw_ = text;
    ShowByteRuns(endTwBox_, text, TrailingBlanks::AsText, LineBreaks::Kept, fixedFont_, markFont_);
}

void MainFrame::showStatus(std::string_view text) {
    std::wstring shown;
    for (const wchar_t c : AnsiToWide(text)) {
        shown += c == L'\n' ? std::wstring(L"\r\n") : std::wstring(1, c);
    }
    SetWindowTextW(statusLine_, shown.c_str());
    fitStatusScrollBar();
}

void MainFrame::showTitle(std::string_view text) {
    SetWindowTextW(window_, AnsiToWide(text).c_str());
}

void MainFrame::copyToClipboard(std::string_view text) {
    // Unicode text: the system offers it to ANSI readers converted.
    std::wstring copied;
    for (const wchar_t c : AnsiToWide(text)) {
        copied += c == L'\n' ? std::wstring(L"\r\n") : std::wstring(1, c);
    }
    if (OpenClipboard(window_) == FALSE) {
        return;
    }
    EmptyClipboard();
    const std::size_t bytes = (copied.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes); memory != nullptr) {
        std::copy_n(copied.c_str(), copied.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
        GlobalUnlock(memory);
        if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) {
            GlobalFree(memory);
        }
    }
    CloseClipboard();
}

void MainFrame::copySelectedRows(int list) {
    // The selection as ranges of consecutive rows.
    HWND view = listViews_[static_cast<std::size_t>(list)];
    std::vector<RowRange> ranges;
    const int count = ListView_GetItemCount(view);
    if (count > 0 && (allSelected_[static_cast<std::size_t>(list)] ||
                      static_cast<int>(ListView_GetSelectedCount(view)) == count)) {
        // Every row, without asking the view for each of millions.
        ranges.push_back({0, static_cast<std::size_t>(count) - 1});
    }
    for (int row = ranges.empty() ? ListView_GetNextItem(view, -1, LVNI_SELECTED) : -1; row >= 0;
         row = ListView_GetNextItem(view, row, LVNI_SELECTED)) {
        const auto at = static_cast<std::size_t>(row);
        if (!ranges.empty() && ranges.back().last + 1 == at) {
            ranges.back().last = at;
        } else {
            ranges.push_back({at, at});
        }
    }
    compare_.copyRows(kPageLists[static_cast<std::size_t>(list)].list, ranges);
}

void MainFrame::showListMenu(int list, POINT at) {
    HMENU menu = CreatePopupMenu();
    const auto add = [menu](int id, const std::string& caption, std::wstring_view key) {
        AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(id), MenuText(caption, key).c_str());
    };
    add(kCmdCopy, presenter_.copyRowsCaption(), L"Ctrl+C");
    add(kCmdSelectAll, presenter_.selectAllCaption(), L"Ctrl+A");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    add(kCmdFind, find_.caption(message::kFindCommand), L"Ctrl+F");
    add(kCmdFindNext, find_.caption(message::kFindNextCommand), L"F3");
    add(kCmdFindPrevious, find_.caption(message::kFindPreviousCommand), L"Shift+F3");
    add(kCmdOnlyMatching, find_.caption(message::kOnlyMatchingCommand), {});
    CheckMenuItem(menu, kCmdOnlyMatching, find_.onlyMatching() ? MF_CHECKED : MF_UNCHECKED);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    add(kCmdInspect, presenter_.inspectCaption(), L"Ctrl+I");
    if (ListHasFileColumn(kPageLists[static_cast<std::size_t>(list)].list)) {
        add(kCmdFileColumn, presenter_.showFileColumnCaption(), L"Ctrl+Shift+L");
        CheckMenuItem(menu, kCmdFileColumn,
                      presenter_.fileColumnShown() ? MF_CHECKED : MF_UNCHECKED);
    }
    add(kCmdProblems, problems_.commandCaption(), L"Ctrl+Shift+P");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    add(kCmdSaveSnapshot, presenter_.saveSnapshotCaption(), L"Ctrl+S");
    add(kCmdOpenSnapshot, presenter_.openSnapshotCaption(), L"Ctrl+O");
    addCompareCommands(menu);
    if (at.x == -1 && at.y == -1) {  // from the keyboard: at the list's corner
        RECT r{};
        GetWindowRect(listViews_[static_cast<std::size_t>(list)], &r);
        at = {r.left, r.top};
    }
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, at.x, at.y, 0, window_, nullptr);
    DestroyMenu(menu);
}

void MainFrame::showFileColumn(bool shown) {
    for (const PageListInfo& info : kPageLists) {
        const auto at = static_cast<std::size_t>(info.list);
        if (!ListHasFileColumn(info.list) || fileColumnShown_[at] == shown) {
            continue;
        }
        fileColumnShown_[at] = shown;
        HWND view = listViews_[at];
        if (shown) {
            std::wstring caption = AnsiToWide(presenter_.fileColumnCaption());
            LVCOLUMNW heading{};
            heading.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
            HDC dc = GetDC(view);
            SelectObject(dc, fixedFont_);
            SIZE digit{};
            GetTextExtentPoint32W(dc, L"0", 1, &digit);
            ReleaseDC(view, dc);
            const int characters =
                info.list == PageList::ZC ? kZcFileColumnCharacters : kFileColumnCharacters;
            heading.cx = digit.cx * characters + 12;
            heading.pszText = caption.data();
            heading.iSubItem = kFileSubItem;
            SendMessageW(view, LVM_INSERTCOLUMNW, kFileSubItem, reinterpret_cast<LPARAM>(&heading));
            // The file first: it groups the rows as the entry headings do.
            // A comparison's Before column stays last.
            std::vector<int> order = {kFileSubItem, 0, 1};
            while (std::cmp_less(order.size(), Header_GetItemCount(ListView_GetHeader(view)))) {
                order.push_back(static_cast<int>(order.size()));
            }
            SendMessageW(view, LVM_SETCOLUMNORDERARRAY, order.size(),
                         reinterpret_cast<LPARAM>(order.data()));
        } else {
            SendMessageW(view, LVM_DELETECOLUMN, kFileSubItem, 0);
        }
        fitValueColumn(static_cast<int>(at));
        InvalidateRect(view, nullptr, TRUE);
    }
}

void MainFrame::beginListsReset() {
    // The views hold no rows: they only forget how many there were, and
    // their selection, cheaply once they have none.
    for (std::size_t i = 0; i < listViews_.size(); ++i) {
        SendMessageW(listViews_[i], LVM_SETITEMCOUNT, 0, 0);
        ListView_SetItemState(listViews_[i], -1, 0, LVIS_SELECTED);
        selectedRows_[i].emplace();
        allSelected_[i] = false;
    }
}

void MainFrame::dropAllSelected(int list) {
    if (std::exchange(allSelected_[static_cast<std::size_t>(list)], false)) {
        InvalidateRect(listViews_[static_cast<std::size_t>(list)], nullptr, FALSE);
    }
}

void MainFrame::noteSelection(int list, int first, int last, bool selected) {
    constexpr std::size_t kMostKnown = 256;
    dropAllSelected(list);
    auto& known = selectedRows_[static_cast<std::size_t>(list)];
    if (!known) {
        return;
    }
    if (first < 0 || last < first || static_cast<std::size_t>(last - first) >= kMostKnown) {
        known.reset();
        return;
    }
    for (int row = first; row <= last; ++row) {
        if (selected) {
            known->insert(row);
        } else {
            known->erase(row);
        }
    }
    if (known->size() > kMostKnown) {
        known.reset();
    }
}

bool MainFrame::unselectKnownRows(int list) {
    const auto& known = selectedRows_[static_cast<std::size_t>(list)];
    if (!known) {
        return false;
    }
    const std::vector<int> rows(known->begin(), known->end());
    for (const int row : rows) {
        ListView_SetItemState(listViews_[static_cast<std::size_t>(list)], row, 0, LVIS_SELECTED);
    }
    return true;
}

LRESULT CALLBACK MainFrame::ListViewProc(HWND view, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR /*id*/, DWORD_PTR data) {
    // A plain click or move replaces the selection: the rows known to be
    // selected are unselected first, so that the view has none to clear.
    const bool plainClick = (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) &&
                            (wParam & (MK_SHIFT | MK_CONTROL)) == 0;
    const bool plainMove = message == WM_KEYDOWN && GetKeyState(VK_SHIFT) >= 0 &&
                           GetKeyState(VK_CONTROL) >= 0 &&
                           (wParam == VK_UP || wParam == VK_DOWN || wParam == VK_PRIOR ||
                            wParam == VK_NEXT || wParam == VK_HOME || wParam == VK_END);
    if (plainClick || plainMove) {
        auto* frame = reinterpret_cast<MainFrame*>(data);
        const int list = frame->listOf(view);
        if (list >= 0) {
            frame->dropAllSelected(list);
            frame->unselectKnownRows(list);
        }
    }
    return DefSubclassProc(view, message, wParam, lParam);
}

void MainFrame::endListsReset() {
    for (const PageListInfo& info : kPageLists) {
        SendMessageW(listViews_[static_cast<std::size_t>(info.list)], LVM_SETITEMCOUNT,
                     std::min<std::size_t>(viewRowCount(info.list), INT_MAX), LVSICF_NOSCROLL);
    }
    applyColumns();
    if (problemsPane_ != nullptr) {
        problemsPane_->clearSortMark();
    }
    problems_.displayed();
}

std::size_t MainFrame::viewRowCount(PageList list) const {
    const std::vector<std::uint32_t>* map = compare_.viewRowMap(list);
    return map != nullptr ? map->size() : display_.list(list).rowCount();
}

void MainFrame::applyColumns() {
    for (const PageListInfo& info : kPageLists) {
        const auto at = static_cast<std::size_t>(info.list);
        const FieldList& rows = display_.list(info.list);
        HWND view = listViews_[at];
        for (int column = 0; column < 2; ++column) {
            std::wstring caption =
                column < rows.columnCount() ? AnsiToWide(rows.column(column).caption) : L"";
            LVCOLUMNW heading{};
            heading.mask = LVCF_TEXT;
            heading.pszText = caption.data();
            SendMessageW(view, LVM_SETCOLUMNW, static_cast<WPARAM>(column),
                         reinterpret_cast<LPARAM>(&heading));
        }
        SendMessageW(view, LVM_SETCOLUMNWIDTH, 0, labelColumnWidth(static_cast<int>(at)));
        fitValueColumn(static_cast<int>(at));
    }
}

int MainFrame::labelColumnWidth(int list) {
    const auto at = static_cast<std::size_t>(list);
    const PageList which = kPageLists[at].list;
    if (const auto fixed = presenter_.columnWidths(which).label) {
        return px(*fixed);
    }
    if (labelColumnWidths_[at] == 0) {
        HWND view = listViews_[at];
        HDC dc = GetDC(view);
        int widest = 0;
        for (const std::string& label : LabelsOfList(which, display_.labels())) {
            widest = std::max(widest,
                              ByteRunsWidth(dc, label, TrailingBlanks::AsText, font_, markFont_));
        }
        ReleaseDC(view, dc);
        labelColumnWidths_[at] = widest + 16;
    }
    return labelColumnWidths_[at];
}

void MainFrame::fitValueColumn(int list) {
    const auto at = static_cast<std::size_t>(list);
    HWND view = listViews_[at];
    RECT client{};
    GetClientRect(view, &client);
    int toRightEdge = client.right - static_cast<int>(SendMessageW(view, LVM_GETCOLUMNWIDTH, 0, 0));
    if (fileColumnShown_[at]) {
        toRightEdge -= static_cast<int>(SendMessageW(view, LVM_GETCOLUMNWIDTH, kFileSubItem, 0));
    }
    if (const int before = beforeColumnIndex(view); before >= 0) {
        // Compared, the Before column ends at the right edge while the value
        // column keeps at least its width; else the Before column scrolls.
        const int beforeWidth = static_cast<int>(SendMessageW(view, LVM_GETCOLUMNWIDTH, before, 0));
        toRightEdge = std::max(toRightEdge - beforeWidth, std::min(toRightEdge, beforeWidth));
    }
    const auto fixed = presenter_.columnWidths(kPageLists[at].list).value;
    SendMessageW(view, LVM_SETCOLUMNWIDTH, 1, std::max({fixed ? px(*fixed) : 0, toRightEdge, 8}));
}

void MainFrame::setBusy(bool busy) {
    busy_ = busy;
    SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void MainFrame::applyLayout() {
    RECT client{};
    GetClientRect(window_, &client);
    const auto twips = [this](int pixels) { return PixelsToTwips(pixels, dpi_); };
    presenter_.resized(twips(client.right) + design::kFrameWidth,
                       twips(client.bottom - statusLineHeight()) + design::kFrameHeight,
                       IsIconic(window_) != FALSE);
}

void MainFrame::placeControls(const FormLayout& layout) {
    const auto place = [](HWND control, const RECT& r) {
        SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    };
    // An open find bar takes the bottom of the tab control's room; the
    // buttons stay where they are.
    RECT tabs = pxRect(layout.tabs, {0, 0});
    const int bar = barHeight();
    tabs.bottom -= bar;
    place(tabs_, tabs);
    placeCompareBar(tabs, bar);
    if (findText_ != nullptr) {
        const int row = bar / 2;
        const int button = row;
        const int margin = px(30);
        int right = tabs.right - margin;
        for (HWND control : {findClose_, findNext_, findPrevious_}) {
            place(control, {right - button, tabs.bottom + margin, right, tabs.bottom + row});
            right -= button + margin;
        }
        place(findText_, {tabs.left + margin, tabs.bottom + margin, right, tabs.bottom + row});
        const int half = (tabs.right - tabs.left) / 2;
        place(findStatus_, {tabs.left + margin, tabs.bottom + row + margin, tabs.left + half,
                            tabs.bottom + bar});
        place(findOnlyMatching_,
              {tabs.left + half, tabs.bottom + row, tabs.right - margin, tabs.bottom + bar});
    }
    place(displayButton_, pxRect(layout.displayButton, {0, 0}));
    place(exportButton_, pxRect(layout.exportButton, {0, 0}));
    place(exitButton_, pxRect(layout.exitButton, {0, 0}));

    // The pages' controls stand on the tab control, below its tab row: the
    // row may be taller than in the design, and a control never starts above
    // the page.
    RECT page = tabs;
    TabCtrl_AdjustRect(tabs_, FALSE, &page);
    const auto onPage = [&](const TwipsRect& rect) {
        RECT r = pxRect(rect, {tabs.left, tabs.top});
        if (r.top < page.top) {
            r.top = page.top;
        }
        return r;
    };
    // The boxes at the bottom of the pages give the find bar its room.
    const auto shorter = [&](const TwipsRect& rect) {
        RECT r = onPage(rect);
        r.bottom -= bar;
        return r;
    };
    place(machineLabel_, onPage(layout.machineLabel));
    place(addressBox_, onPage(layout.addressBox));
    place(nameLabel_, onPage(layout.nameLabel));
    place(nameBox_, onPage(layout.nameBox));
    for (std::size_t i = 0; i < listViews_.size(); ++i) {
        place(listViews_[i], onPage(layout.listView));
        place(valueBoxes_[i], shorter(layout.valueBox));
        fitValueColumn(static_cast<int>(i));
    }
    place(endTwBox_, shorter(layout.endTwBox));

    RECT client{};
    GetClientRect(window_, &client);
    const int margin = px(design::kListView.left);
    const int top = px(layout.outerHeight - design::kFrameHeight);
    place(statusLine_, {margin, top, client.right - margin, top + statusLineHeight()});
    placeProblemsMark(margin, top, client.right - margin);
}

std::unique_ptr<LocalisableForm> MainFrame::localisableForm() {
    return std::make_unique<Win32LocalisableForm>(window_, std::string(form::kWindow.tag), named_);
}

std::optional<std::filesystem::path> MainFrame::askFile(const SaveAsRequest& request,
                                                        const FileDialog& dialog) {
    const std::wstring chosen =
        dialog(AnsiToWide(request.title), request.folder.wstring(), AnsiToWide(request.fileName),
               DialogFilter(AnsiToWide(request.filter)));
    if (chosen.empty()) {
        return std::nullopt;
    }
    return PathOf(chosen);
}

std::optional<std::filesystem::path> MainFrame::askSavePath(const SaveAsRequest& request) {
    return askFile(request, saveDialog_);
}

std::optional<std::filesystem::path> MainFrame::askOpenPath(const SaveAsRequest& request) {
    return askFile(request, openDialog_);
}

std::filesystem::path MainFrame::homeFolder() const {
    wchar_t* folder = nullptr;
    std::filesystem::path home;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &folder))) {
        home = folder;
    }
    CoTaskMemFree(folder);
    return home;
}

void MainFrame::closeWindow() {
    DestroyWindow(window_);
}

void MainFrame::inspectCurrent() {
    const int tab = TabCtrl_GetCurSel(tabs_);
    std::optional<std::size_t> row;
    for (const PageListInfo& info : kPageLists) {
        const int current =
            ListView_GetNextItem(listViews_[static_cast<std::size_t>(info.list)], -1, LVNI_FOCUSED);
        if (info.tab == tab && current >= 0) {
            // With only the matching rows shown, the view's row is not the list's.
            row = compare_.listRowOf(info.list, static_cast<std::size_t>(current));
        }
    }
    presenter_.inspect(tab, row);
}

void MainFrame::showInspection(std::string_view text) {
    if (inspector_ == nullptr) {
        inspector_ = std::make_unique<InspectorWindow>(window_, presenter_);
    }
    inspector_->show(text);
}

int MainFrame::px(int twips) const {
    return TwipsToPixels(twips, dpi_);
}

RECT MainFrame::pxRect(const TwipsRect& r, POINT origin) const {
    const int left = origin.x + px(r.left);
    const int top = origin.y + px(r.top);
    return {left, top, left + px(r.width), top + px(r.height)};
}

int MainFrame::statusLineHeight() const {
    return 3 * messageLineHeight() + px(90);
}

int MainFrame::messageLineHeight() const {
    return std::abs(static_cast<int>(MessageFontAt(dpi_).lfHeight)) * 4 / 3;
}

}  // namespace twds::win32

namespace twds::win32 {

void MainFrame::createFindBar() {
    const auto make = [this](const wchar_t* className, DWORD style, int id) {
        return CreateWindowExW(0, className, L"", WS_CHILD | style, 0, 0, 0, 0, window_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleW(nullptr), nullptr);
    };
    findText_ = make(WC_EDITW, WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, kIdFindText);
    // Arrows and a cross every font has; the menu names the commands.
    findPrevious_ = make(WC_BUTTONW, BS_PUSHBUTTON, kIdFindPrevious);
    findNext_ = make(WC_BUTTONW, BS_PUSHBUTTON, kIdFindNext);
    findClose_ = make(WC_BUTTONW, BS_PUSHBUTTON, kIdFindClose);
    SetWindowTextW(findPrevious_, L"<");
    SetWindowTextW(findNext_, L">");
    SetWindowTextW(findClose_, L"\u00D7");
    findStatus_ = make(WC_STATICW, SS_LEFT | SS_ENDELLIPSIS | SS_NOPREFIX, kIdFindStatus);
    findOnlyMatching_ = make(WC_BUTTONW, WS_TABSTOP | BS_AUTOCHECKBOX, kCmdOnlyMatching);
    SetWindowTextW(findOnlyMatching_,
                   WithoutAccessKey(find_.caption(message::kOnlyMatchingCommand)).c_str());
    SendMessageW(
        findText_, EM_SETCUEBANNER, TRUE,
        reinterpret_cast<LPARAM>(AnsiToWide(find_.caption(message::kFindPlaceholder)).c_str()));
    for (HWND control :
         {findText_, findPrevious_, findNext_, findClose_, findStatus_, findOnlyMatching_}) {
        named_.push_back({control, {}, {}});
    }
    // The buttons' tooltips name their commands and keys, as the menu does.
    const auto tip = [this](HWND button, int messageId, std::wstring_view keys) {
        addTip(button,
               WithoutAccessKey(find_.caption(messageId)) + L" (" + std::wstring(keys) + L")");
    };
    tip(findPrevious_, message::kFindPreviousCommand, L"Shift+F3");
    tip(findNext_, message::kFindNextCommand, L"F3");
    tip(findClose_, message::kCloseFindBar, L"Esc");
}

void MainFrame::addTip(HWND control, std::wstring text) {
    // One tooltip window for the window's controls: the find and compare
    // bars' buttons name what they do, the End_TW box shows, while compared,
    // the text it had, the compare bar's line, when cut, all of it.
    if (tips_ == nullptr) {
        tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0, window_,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, px(9000));
    }
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text.data();
    SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void MainFrame::setTip(HWND control, const std::wstring& text) {
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(tips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

int MainFrame::barHeight() const {
    return findOpen_ || compareOpen_ ? 2 * (messageLineHeight() + px(150)) : 0;
}

void MainFrame::focusSelectedList() {
    const int tab = TabCtrl_GetCurSel(tabs_);
    for (const PageListInfo& info : kPageLists) {
        if (info.tab == tab) {
            SetFocus(listViews_[static_cast<std::size_t>(info.list)]);
            return;
        }
    }
    SetFocus(tabs_);
}

void MainFrame::showFindBar(bool shown) {
    findOpen_ = shown;
    for (HWND control :
         {findText_, findPrevious_, findNext_, findClose_, findStatus_, findOnlyMatching_}) {
        ShowWindow(control, shown ? SW_SHOWNA : SW_HIDE);
    }
    placeControls(presenter_.layout());
    if (shown) {
        SetFocus(findText_);
        SendMessageW(findText_, EM_SETSEL, 0, -1);
        return;
    }
    focusSelectedList();
}

void MainFrame::showFindStatus(std::string_view text) {
    SetWindowTextW(findStatus_, AnsiToWide(text).c_str());
}

void MainFrame::setTabCaption(int tab, std::string_view caption) {
    std::wstring text = AnsiToWide(caption);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    SendMessageW(tabs_, TCM_SETITEMW, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&item));
}

int MainFrame::selectedTab() const {
    return TabCtrl_GetCurSel(tabs_);
}

std::optional<std::size_t> MainFrame::currentRow(PageList list) const {
    const int row =
        ListView_GetNextItem(listViews_[static_cast<std::size_t>(list)], -1, LVNI_FOCUSED);
    if (row < 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(row);
}

void MainFrame::selectRow(PageList list, std::size_t viewRow) {
    HWND view = listViews_[static_cast<std::size_t>(list)];
    dropAllSelected(static_cast<int>(list));
    if (!unselectKnownRows(static_cast<int>(list))) {
        ListView_SetItemState(view, -1, 0, LVIS_SELECTED);
    }
    ListView_SetItemState(view, static_cast<int>(viewRow), LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(view, static_cast<int>(viewRow), FALSE);
}

void MainFrame::beginMatchesChange() {
    // The views keep no rows; endMatchesChange gives them their new count.
}

void MainFrame::endMatchesChange() {
    for (const PageListInfo& info : kPageLists) {
        HWND view = listViews_[static_cast<std::size_t>(info.list)];
        const auto rows = static_cast<int>(std::min<std::size_t>(viewRowCount(info.list), INT_MAX));
        if (ListView_GetItemCount(view) != rows) {
            SendMessageW(view, LVM_SETITEMCOUNT, static_cast<WPARAM>(rows), 0);
        }
        // Other rows are shown: what Select all chose is not among them.
        allSelected_[static_cast<std::size_t>(info.list)] = false;
        InvalidateRect(view, nullptr, FALSE);
    }
    const std::string& needle = find_.highlighted();
    highlight_ = needle.empty() ? nullptr : std::make_shared<const AnsiCaseSearcher>(needle);
}

void MainFrame::post(std::function<void()> task) {
    auto* posted = new std::function<void()>(std::move(task));
    if (PostMessageW(window_, kPostedTask, 0, reinterpret_cast<LPARAM>(posted)) == FALSE) {
        delete posted;
    }
}

}  // namespace twds::win32

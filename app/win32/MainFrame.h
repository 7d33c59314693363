#pragma once

#include <windows.h>
// The common controls' declarations need windows.h first.
#include <commctrl.h>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "InspectorWindow.h"
#include "ProblemsMark.h"
#include "ProblemsWindow.h"
#include "Win32LocalisableForm.h"
#include "twds/ComparePresenter.h"
#include "twds/CompareView.h"
#include "twds/FindPresenter.h"
#include "twds/FindView.h"
#include "twds/FormLayout.h"
#include "twds/FormLocalisation.h"
#include "twds/MainWindowPresenter.h"
#include "twds/MainWindowView.h"
#include "twds/PageLists.h"
#include "twds/ProblemsPresenter.h"
#include "twds/ProblemsView.h"
#include "twds/Registry.h"
#include "twds/StatusMessages.h"
#include "twds/TextSearch.h"

namespace twds {
class DisplayCommand;
}

namespace twds::win32 {

// The viewer's one window with the system's common controls: a tab control
// with the Info tab (address and user-space name), a tab per page list (an
// owner-data list view over the Display's rows, which costs nothing per row,
// and the value box of the clicked row), the End_TW text, the Display,
// Export and Exit buttons and the status line under them.
//
// A passive view like the Qt window: it makes the controls, shows what its
// MainWindowPresenter gives it, converting the ANSI bytes to its W controls
// and twips to pixels at the window's DPI, and forwards the user's actions.
// The page controls are the main window's children standing over the tab
// control, shown while their tab is selected.
class MainFrame : private MainWindowView,
                  private FindView,
                  private ProblemsView,
                  private CompareView {
public:
    // The commands of the accelerators and the lists' menu (WM_COMMAND ids).
    enum Command : int {
        kCmdCopy = 400,
        kCmdSelectAll,
        kCmdInspect,
        kCmdFileColumn,
        kCmdSaveSnapshot,
        kCmdOpenSnapshot,
        kCmdFind,
        kCmdFindNext,
        kCmdFindPrevious,
        kCmdOnlyMatching,
        kCmdProblems,
        // The comparison and the refresh.
        kCmdCompare = 420,
        kCmdNextDifference,
        kCmdPreviousDifference,
        kCmdOnlyDifferences,
        kCmdRefresh,
        kCmdAutoRefresh,
    };

    // Asks for a file to save or open: title, folder, proposed name, filter
    // in the common dialogs' form; empty when the user cancels.
    using FileDialog =
        std::function<std::wstring(const std::wstring& title, const std::wstring& folder,
                                   const std::wstring& fileName, const std::wstring& filter)>;
    // Asks for a line of text: title, prompt; nothing when the user cancels.
    using TextDialog = std::function<std::optional<std::wstring>(const std::wstring& title,
                                                                 const std::wstring& prompt)>;

    // Creates the window, hidden. The command, registry and lookups must
    // outlive it.
    MainFrame(DisplayCommand& display, RegistryStore& registry, MessageLookup messages,
              CatalogueLookup captions);
    ~MainFrame() override;
    MainFrame(const MainFrame&) = delete;
    MainFrame& operator=(const MainFrame&) = delete;

    [[nodiscard]] HWND window() const { return window_; }
    [[nodiscard]] MainWindowPresenter& presenter() { return presenter_; }
    // Posts WM_QUIT when the window is destroyed (the program's window; a
    // test's windows do not end the test's message loop).
    void setQuitOnClose(bool quit) { quitOnClose_ = quit; }
    // Replaces the dialogs (tests answer without one).
    void setSaveDialog(FileDialog dialog) { saveDialog_ = std::move(dialog); }
    void setOpenDialog(FileDialog dialog) { openDialog_ = std::move(dialog); }
    void setTextDialog(TextDialog dialog) { textDialog_ = std::move(dialog); }

    // Handles the keys the window takes before the focused control does
    // (accelerators, Tab between controls, access keys, Enter in the boxes).
    // The message loop calls it for every message; true when it was handled.
    bool preTranslate(MSG& message);

    // The controls, for a test that drives the window.
    [[nodiscard]] HWND tabs() const { return tabs_; }
    [[nodiscard]] HWND addressBox() const { return addressBox_; }
    [[nodiscard]] HWND nameBox() const { return nameBox_; }
    [[nodiscard]] HWND listView(PageList list) const {
        return listViews_[static_cast<std::size_t>(list)];
    }
    [[nodiscard]] HWND valueBox(PageList list) const {
        return valueBoxes_[static_cast<std::size_t>(list)];
    }
    [[nodiscard]] HWND endTwBox() const { return endTwBox_; }
    [[nodiscard]] HWND displayButton() const { return displayButton_; }
    [[nodiscard]] HWND exportButton() const { return exportButton_; }
    [[nodiscard]] HWND exitButton() const { return exitButton_; }
    [[nodiscard]] HWND statusLine() const { return statusLine_; }
    // The inspector, made when first shown; null before.
    [[nodiscard]] const InspectorWindow* inspector() const { return inspector_.get(); }
    [[nodiscard]] HWND findText() const { return findText_; }
    [[nodiscard]] HWND findOnlyMatching() const { return findOnlyMatching_; }
    [[nodiscard]] HWND findStatus() const { return findStatus_; }
    [[nodiscard]] HWND compareText() const { return compareText_; }
    [[nodiscard]] HWND compareClose() const { return compareClose_; }
    [[nodiscard]] HWND compareOnlyDifferences() const { return compareOnlyDifferences_; }
    [[nodiscard]] HWND compareCount() const { return compareCount_; }
    [[nodiscard]] HWND compareDescribed() const { return compareDescribed_; }
    // What the End_TW box's tooltip says (empty while it shows no difference).
    [[nodiscard]] const std::wstring& endTwTip() const { return endTwTip_; }
    [[nodiscard]] UINT dpi() const { return dpi_; }
    [[nodiscard]] HWND problemsMark() const { return problemsMark_->window(); }
    // The problems pane and its list; null until first opened.
    [[nodiscard]] HWND problemsPane() const {
        return problemsPane_ != nullptr ? problemsPane_->window() : nullptr;
    }
    [[nodiscard]] HWND problemsList() const {
        return problemsPane_ != nullptr ? problemsPane_->list() : nullptr;
    }

private:
    static constexpr int kListCount = static_cast<int>(kPageListCount);
    // The automatic refresh's timer.
    static constexpr UINT_PTR kRefreshTimer = 1;

    // MainWindowView
    [[nodiscard]] std::string addressText() const override;
    [[nodiscard]] std::string nameText() const override;
    void setAddressText(std::string_view text) override;
    void setNameText(std::string_view text) override;
    void cutNameText(std::size_t from, std::size_t count) override;
    void selectTab(int tab) override;
    void showValue(PageList list, std::string_view bytes) override;
    void showEndTw(std::string_view text) override;
    void showStatus(std::string_view text) override;
    void showTitle(std::string_view text) override;
    void copyToClipboard(std::string_view text) override;
    void showFileColumn(bool shown) override;
    void showInspection(std::string_view text) override;
    void beginListsReset() override;
    void endListsReset() override;
    void setBusy(bool busy) override;
    void placeControls(const FormLayout& layout) override;
    [[nodiscard]] std::unique_ptr<LocalisableForm> localisableForm() override;
    [[nodiscard]] std::optional<std::filesystem::path> askSavePath(
        const SaveAsRequest& request) override;
    [[nodiscard]] std::optional<std::filesystem::path> askOpenPath(
        const SaveAsRequest& request) override;
    [[nodiscard]] std::filesystem::path homeFolder() const override;
    void closeWindow() override;

    // FindView (selectTab is MainWindowView's too)
    void showFindBar(bool shown) override;
    void showFindStatus(std::string_view text) override;
    void setTabCaption(int tab, std::string_view caption) override;
    [[nodiscard]] int selectedTab() const override;
    [[nodiscard]] std::optional<std::size_t> currentRow(PageList list) const override;
    void selectRow(PageList list, std::size_t viewRow) override;
    void beginMatchesChange() override;
    void endMatchesChange() override;
    void post(std::function<void()> task) override;

    // ProblemsView (selectTab is MainWindowView's too)
    void showProblemsMark(std::optional<Severity> severity, std::string_view text) override;
    void showProblemsPane(bool shown) override;
    void problemsChanged() override;
    void showListRow(PageList list, std::size_t row) override;
    // The mark at the status line's right end, the status line narrowed.
    void placeProblemsMark(int left, int top, int right);
    void fitStatusScrollBar();
    // The keys the problems pane takes: the window's accelerators work there
    // too. True when handled.
    bool problemsPaneKey(MSG& message);
    // Esc in any of the viewer's windows closes one thing
    // (WhatEscapeCloses); false when it closed nothing.
    bool escapePressed(HWND at);
    // CompareView (the tabs, rows, value, boxes and busy cursor are the
    // other views' too)
    void showCompareBar(bool shown, bool takeFocus) override;
    [[nodiscard]] std::string compareTarget() const override;
    void setCompareTarget(std::string_view text) override;
    void showCompareStatus(std::string_view described, std::string_view count) override;
    void setOnlyDifferencesChecked(bool on) override;
    [[nodiscard]] int scrollPosition(PageList list) const override;
    void setScrollPosition(PageList list, int position) override;
    void beginMarksChange() override;
    void endMarksChange() override;
    [[nodiscard]] std::optional<std::string> askText(std::string_view title,
                                                     std::string_view prompt) override;
    void setRefreshTimer(int seconds) override;
    void flushStatus() override;

    static LRESULT CALLBACK NameBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR data);
    static LRESULT CALLBACK ListViewProc(HWND view, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT notify(const NMHDR& header);
    void command(int id, int code, HWND control);

    // Sizes the window so that its client area is width x height pixels.
    void setClientSize(int width, int height);
    void createControls();
    void createFindBar();
    // Gives a control a tooltip, or another text for it; the system keeps a
    // copy of the text.
    void addTip(HWND control, std::wstring text);
    void setTip(HWND control, const std::wstring& text);
    // The open bar's height in pixels (the find or the compare bar: they
    // take turns), else 0.
    [[nodiscard]] int barHeight() const;
    // Gives the focus back to the selected tab's list, or to the tabs.
    void focusSelectedList();
    // The rows a list view shows: the matching ones, or all.
    [[nodiscard]] std::size_t viewRowCount(PageList list) const;
    HWND createControl(const wchar_t* className, DWORD style, int id,
                       const form::NamedControl& named, DWORD exStyle = 0);
    void createFonts();
    void applyFonts();
    void createAccelerators();
    // Tells the presenter the window's size, which lays it out.
    void applyLayout();
    void showTabPage(int tab);
    [[nodiscard]] int listOf(HWND control) const;
    void fillDisplayInfo(int list, LVITEMW& item);
    LRESULT drawCell(int list, NMLVCUSTOMDRAW& draw);
    void applyColumns();
    [[nodiscard]] int labelColumnWidth(int list);
    void fitValueColumn(int list);
    void copySelectedRows(int list);
    // Follows the rows a list view selects, from its notifications.
    void noteSelection(int list, int first, int last, bool selected);
    // Unselects the list's rows one by one while they are known and few;
    // false when they are not.
    bool unselectKnownRows(int list);
    // The view's own selection is the selection again, Select all's gone.
    void dropAllSelected(int list);
    void showListMenu(int list, POINT at);
    void inspectCurrent();
    void nameBoxChanged();
    // The comparison's side (MainFrameCompare.cpp).
    void createCompareBar();
    void placeCompareBar(const RECT& tabs, int height);
    // The compare bar's Enter; true when handled.
    bool compareKey(const MSG& message);
    bool compareCommand(int id, int code, HWND control);
    void addCompareCommands(HMENU menu);
    void showBeforeColumns(bool shown);
    // The Before column, last while comparing (after the label, value and
    // file columns); -1 when not shown.
    [[nodiscard]] int beforeColumnIndex(HWND view) const;
    void markEndTw();
    // A compared row's ground (MarkTint); the window's own for none.
    [[nodiscard]] static COLORREF MarkGround(char mark);
    [[nodiscard]] std::optional<std::filesystem::path> askFile(const SaveAsRequest& request,
                                                               const FileDialog& dialog);

    [[nodiscard]] int px(int twips) const;
    [[nodiscard]] RECT pxRect(const TwipsRect& r, POINT origin) const;
    [[nodiscard]] int statusLineHeight() const;
    // A line of the system's message font at the window's DPI, in pixels.
    [[nodiscard]] int messageLineHeight() const;

    DisplayCommand& display_;
    MainWindowPresenter presenter_;
    FileDialog saveDialog_;
    FileDialog openDialog_;
    TextDialog textDialog_;
    HWND window_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    bool quitOnClose_ = false;
    bool busy_ = false;
    bool settingName_ = false;  // the program changes the name box
    bool userEditing_ = false;  // the user's keys or clipboard change it
    HACCEL accelerators_ = nullptr;

    HFONT font_ = nullptr;       // the system's message font at the window's DPI
    HFONT fixedFont_ = nullptr;  // values
    HFONT markFont_ = nullptr;   // the mnemonics of odd bytes

    std::vector<NamedWindow> named_;  // what the form localisation walks
    HWND tabs_ = nullptr;
    HWND machineLabel_ = nullptr;
    HWND addressBox_ = nullptr;
    HWND nameLabel_ = nullptr;
    HWND nameBox_ = nullptr;
    std::array<HWND, kPageListCount> listViews_{};
    std::array<HWND, kPageListCount> valueBoxes_{};
    HWND endTwBox_ = nullptr;
    // What the value and End_TW boxes show, drawn again at a new DPI.
    std::array<std::string, kPageListCount> shownValues_;
    std::string shownEndTw_;
    HWND displayButton_ = nullptr;
    HWND exportButton_ = nullptr;
    HWND exitButton_ = nullptr;
    HWND statusLine_ = nullptr;
    std::unique_ptr<InspectorWindow> inspector_;  // made when first shown
    std::array<bool, kPageListCount> fileColumnShown_{};
    // The rows each list view has selected while they are few and known;
    // nothing once a range (Select all, Shift) has made them many. A view
    // told to unselect everything may visit every row (Wine's does, which
    // makes a click on ten million rows take seconds); the window unselects
    // the rows it knows instead.
    std::array<std::optional<std::set<int>>, kPageListCount> selectedRows_;
    // Select all's rows: selected by the window, not the view (kCmdSelectAll).
    std::array<bool, kPageListCount> allSelected_{};
    // Label column widths in pixels, measured once per DPI; 0 until then.
    std::array<int, kPageListCount> labelColumnWidths_{};
    HWND findText_ = nullptr;
    HWND findPrevious_ = nullptr;
    HWND findNext_ = nullptr;
    HWND findClose_ = nullptr;
    HWND findStatus_ = nullptr;
    HWND findOnlyMatching_ = nullptr;
    bool findOpen_ = false;
    // The text the lists' cells are highlighted for; none when empty.
    std::shared_ptr<const AnsiCaseSearcher> highlight_;

    ProblemsPresenter problems_;
    std::unique_ptr<ProblemsMark> problemsMark_;
    std::unique_ptr<ProblemsWindow> problemsPane_;  // made when first opened
    HWND compareText_ = nullptr;
    HWND compareBrowse_ = nullptr;
    HWND compareRun_ = nullptr;
    HWND compareClose_ = nullptr;
    HWND compareCount_ = nullptr;
    HWND compareDescribed_ = nullptr;
    HWND compareOnlyDifferences_ = nullptr;
    HWND tips_ = nullptr;  // the bars' buttons', the End_TW box's; see addTip
    std::wstring endTwTip_;
    bool compareOpen_ = false;
    bool beforeShown_ = false;  // the lists' Before column

    // Last: its search thread is stopped and joined before the controls go.
    FindPresenter find_;
    // After the find presenter, which it closes when it opens.
    ComparePresenter compare_;
};

}  // namespace twds::win32

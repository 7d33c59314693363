#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <QString>
#include <QWidget>

#include "twds/ComparePresenter.h"
#include "twds/CompareView.h"
#include "twds/FieldListModel.h"
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

class QAction;
class QKeySequence;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProxyStyle;
class QPushButton;
class QTabWidget;
class QTableView;
class QTimer;

namespace twds {

class AnsiCaseSearcher;
class ByteRunDelegate;
class CompareBar;
class DisplayCommand;
class FindBar;
class InspectorWindow;
class ProblemsMark;
class ProblemsPane;

// The viewer's one window in Qt: a tab control with the Info tab (address and
// user-space name), a tab per page list with the value box of the clicked
// row, the End_TW text, and the Display, Export and Exit buttons, with a
// status line under the buttons. Ctrl+F opens a find bar between the tab
// control and the buttons, which the tab control makes room for.
//
// A passive view: it makes the widgets, shows what its MainWindowPresenter
// gives it and forwards the user's actions to it; what the window does is the
// presenter's. The command, the registry and the lookups must outlive the
// window.
class MainWindow : public QWidget,
                   private MainWindowView,
                   private FindView,
                   private CompareView,
                   private ProblemsView {
    Q_OBJECT

public:
    // Asks where to save the export; gets the dialog's title, the proposed
    // path and the file types, returns the chosen path, empty when the user
    // cancels.
    using SaveAsDialog = std::function<QString(const QString& title, const QString& proposedPath,
                                               const QString& filter)>;

    MainWindow(DisplayCommand& display, RegistryStore& registry, MessageLookup messages,
               CatalogueLookup captions, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Load the window through it (load()), and show start-up notices.
    [[nodiscard]] MainWindowPresenter& presenter() { return presenter_; }
    [[nodiscard]] FindPresenter& findPresenter() { return find_; }
    [[nodiscard]] ComparePresenter& comparePresenter() { return compare_; }
    // Replaces the question the automatic refresh asks (tests answer it).
    using TextQuestion =
        std::function<std::optional<QString>(const QString& title, const QString& prompt)>;
    void setTextQuestion(TextQuestion question) { textQuestion_ = std::move(question); }
    // Forwards the window's current size to the presenter, which lays it out.
    void applyLayout();

    // Replaces the Save As dialog (tests answer without a dialog).
    void setSaveAsDialog(SaveAsDialog dialog) { saveAsDialog_ = std::move(dialog); }
    // The same for the dialog that asks which snapshot to open.
    void setOpenDialog(SaveAsDialog dialog) { openDialog_ = std::move(dialog); }

    // The status line as shown.
    [[nodiscard]] QString statusText() const;
    [[nodiscard]] FieldListModel& listModel(PageList list) {
        return *models_[static_cast<std::size_t>(list)];
    }
    // The inspector, once Ctrl+I has opened it; null before.
    [[nodiscard]] InspectorWindow* inspector() const { return inspector_; }
    // The problems mark of the status line and the problems pane.
    [[nodiscard]] ProblemsPresenter& problemsPresenter() { return problems_; }
    [[nodiscard]] ProblemsMark* problemsMark() const { return problemsMark_; }
    [[nodiscard]] ProblemsPane* problemsPane() const { return problemsPane_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    // A saved user space dropped on the window is opened.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Per-list members are indexed by PageList; the handlers get its number.
    static constexpr int kListCount = static_cast<int>(kPageListCount);

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
    void copyToClipboard(std::string_view text) override;
    void showFileColumn(bool shown) override;
    void showInspection(std::string_view text) override;
    void showTitle(std::string_view text) override;
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

    // CompareView (selectTab, selectedTab, currentRow, selectRow,
    // setTabCaption, showValue, the boxes' texts, setBusy and askOpenPath are
    // the other views' too); in MainWindowCompare.cpp.
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
    // ProblemsView (selectTab is MainWindowView's too)
    void showProblemsMark(std::optional<Severity> severity, std::string_view text) override;
    void showProblemsPane(bool shown) override;
    void problemsChanged() override;
    void showListRow(PageList list, std::size_t row) override;

    void createControls();
    // The problems mark beside the status line, the pane and its command
    // (Ctrl+Shift+P, in every list's menu).
    void createProblems();
    void createFindBar();
    // The compare bar, its commands (Ctrl+D, F7, Shift+F7, F5, Refresh
    // every…) and the refresh timer.
    void createCompareBar();
    // The find or compare bar when one is open; null at rest.
    [[nodiscard]] QWidget* openBar() const;
    // Tints the End_TW box and gives it the older text when it differs.
    void markEndTw();
    // Narrows the tabs' padding while the find bar's counts would not fit.
    void fitTabRow();
    // Marks where the End_TW box shows the find bar's text.
    void highlightEndTw(const std::string& needle);
    void setFocusOrder();
    // Positions the controls of the tab control's pages; their rectangles are
    // relative to the tab control, the pages start below its tab row.
    void placeTabPageControls();
    void applyColumnWidths();
    // The shortcuts and context menu of a list: copy the selected rows, select
    // every row, and the find commands.
    void addListCommands(int list);
    void copySelectedRows(int list);
    // The list's Inspect command (Ctrl+I) and, on the lists of files, the
    // file column's switch; both act on the whole window.
    void addInspectorCommands(int list);
    // Save snapshot (Ctrl+S) and Open snapshot (Ctrl+O), window-wide, in
    // every list's menu.
    void addSnapshotCommands();
    // A command of the whole window: its shortcut works from any control,
    // and the menus it is added to show it.
    QAction* addWindowCommand(const QString& caption, const QKeySequence& key);
    // Opens the inspector on the current tab's current row.
    void inspectCurrent();
    [[nodiscard]] bool inspectorShown() const;
    // Esc closes a bar, the inspector or the problems pane (WhatEscapeCloses);
    // its shortcut is on while one is open.
    void updateEscape();
    void escapePressed();
    // Sizes the file column, when shown, to a FicID (and a ZC entry).
    void applyFileColumnWidth(int list);
    // Widens the value column to the view's right edge.
    void fitValueColumn(int list);
    // The width, in pixels, that shows the longest label the list can hold.
    [[nodiscard]] int labelColumnWidth(int list) const;

    [[nodiscard]] int statusLineHeight() const;
    [[nodiscard]] int pxX(int twips) const;
    [[nodiscard]] int pxY(int twips) const;
    [[nodiscard]] QRect pxRect(const TwipsRect& r) const;

    DisplayCommand& display_;
    MainWindowPresenter presenter_;
    SaveAsDialog saveAsDialog_;
    SaveAsDialog openDialog_;

    QTabWidget* tabs_ = nullptr;
    QLabel* machineLabel_ = nullptr;
    QLineEdit* addressBox_ = nullptr;
    QLabel* nameLabel_ = nullptr;
    QLineEdit* nameBox_ = nullptr;
    std::array<QTableView*, kPageListCount> listViews_{};
    std::array<QPlainTextEdit*, kPageListCount> valueBoxes_{};
    QPlainTextEdit* endTwBox_ = nullptr;
    QPushButton* displayButton_ = nullptr;
    QPushButton* exportButton_ = nullptr;
    QPushButton* exitButton_ = nullptr;
    QPlainTextEdit* statusLine_ = nullptr;
    FindBar* findBar_ = nullptr;
    CompareBar* compareBar_ = nullptr;
    // Compare with…, next and previous difference, only differences, Refresh
    // and Refresh every…; each list's context menu shows them.
    std::array<QAction*, 6> compareActions_{};
    QTimer* refreshTimer_ = nullptr;
    TextQuestion textQuestion_;
    QProxyStyle* tabStyle_ = nullptr;  // the tab row's, compact while finding
    // Ctrl+F, F3, Shift+F3 anywhere in the window, and the only-matching
    // toggle; each list's context menu shows them.
    std::array<QAction*, 4> findActions_{};
    std::array<ByteRunDelegate*, kPageListCount> delegates_{};
    // The models that showed a row map when the matches began to change.
    std::array<bool, kPageListCount> mappedBeforeChange_{};

    std::array<std::unique_ptr<FieldListModel>, kPageListCount> models_;
    QAction* inspectAction_ = nullptr;
    QAction* fileColumnAction_ = nullptr;
    QAction* escapeAction_ = nullptr;
    std::array<QAction*, 2> snapshotActions_{};
    InspectorWindow* inspector_ = nullptr;
    ProblemsMark* problemsMark_ = nullptr;
    ProblemsPane* problemsPane_ = nullptr;
    QAction* problemsAction_ = nullptr;
    // Label column widths in pixels, measured once the catalogue is read; 0
    // until then.
    mutable std::array<int, kPageListCount> labelColumnWidths_{};

    ProblemsPresenter problems_;
    // Last: its search thread is stopped and joined before the widgets go.
    FindPresenter find_;
    ComparePresenter compare_;
};

}  // namespace twds

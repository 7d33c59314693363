#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "twds/FormLayout.h"
#include "twds/FormLocalisation.h"
#include "twds/HostLink.h"
#include "twds/MainWindowView.h"
#include "twds/PageLists.h"
#include "twds/Registry.h"
#include "twds/RowCopyText.h"
#include "twds/StatusMessages.h"

namespace twds {

class DisplayCommand;

// Told when a Display is about to rewrite the page lists and when it is done,
// by MainWindowPresenter: whoever reads the lists on another thread (the find
// bar's search) stops before they change.
class ListsObserver {
public:
    virtual ~ListsObserver() = default;
    virtual void listsChanging() = 0;
    virtual void listsChanged() = 0;
};

// What the main window does, without widgets: it runs the Display, the
// export and Exit from their buttons, decides what the window shows after
// each (the boxes, the selected tab, the value boxes, the status line), where
// its controls stand and when it is localised. The front end forwards its
// events here and shows what the presenter tells its MainWindowView.
//
// The view, the command, the registry and the lookups must outlive the
// presenter. The constructor does not call the view, so a front end may make
// the presenter before its controls.
class MainWindowPresenter {
public:
    MainWindowPresenter(MainWindowView& view, DisplayCommand& display, RegistryStore& registry,
                        MessageLookup messages, CatalogueLookup captions);

    // Localises the window, selects the Info tab and, when the argument text
    // holds a "/", fills the two boxes from it and runs the Display; a path
    // of a saved user space (".twus") is opened as openSnapshot does. Called
    // once, before the window is first shown.
    void load(std::string_view argumentText);
    // Displays the saved user space or snapshot `file`: its address and name
    // go into the boxes, and its pages serve this and every later Display of
    // the window. A file that cannot be read is named in the status line,
    // with what is wrong, and nothing changes.
    void openSnapshot(const std::filesystem::path& file);
    // Save snapshot (Ctrl+S): asks where, then saves the pages of the last
    // Display there; the dialog has asked before replacing a file.
    void saveSnapshot();
    // Open snapshot (Ctrl+O): asks which file, then opens it.
    void openSnapshotAsked();
    [[nodiscard]] std::string saveSnapshotCaption() const;
    [[nodiscard]] std::string openSnapshotCaption() const;
    // The window's outer size in twips changed, or it was minimised or
    // restored. A minimised window keeps its layout.
    void resized(int outerWidthTwips, int outerHeightTwips, bool minimised);

    // The Display, Export and Exit buttons (Enter in either box is Display).
    void display();
    void exportDisplayed();
    void exitViewer();

    // A row of a list was clicked or became the current one.
    void rowClicked(PageList list, std::size_t row);
    // The same for a row of another Display the window shows beside its own
    // (a comparison's removed row): its value, and its file in the status
    // line.
    void otherRowClicked(const DisplayCommand& other, PageList list, std::size_t row);
    // Copies the selected rows of a list to the clipboard. `rowsSelected`,
    // when above the rows the ranges hold, is how many the user selected
    // (the ranges stop at the most one copy takes).
    void copyRows(PageList list, std::vector<RowRange> selected, std::size_t rowsSelected = 0);

    // The file column of the FC, ZC and SQL lists: one switch for the three,
    // remembered in the registry. A registry that cannot be written leaves the
    // switch as set for this run and says so in the status line.
    void setFileColumnShown(bool shown);
    [[nodiscard]] bool fileColumnShown() const { return fileColumnShown_; }
    // The file column's cell of a row (FileColumnText), of the Display shown
    // or of another.
    [[nodiscard]] std::string fileColumnText(PageList list, std::size_t row) const;
    [[nodiscard]] static std::string FileColumnTextOf(const DisplayCommand& display, PageList list,
                                                      std::size_t row);

    // Opens the inspector on the current row of a tab (none when the list has
    // no current row); while it is open, rowClicked and the tab changes that
    // reach here keep it on the current row.
    void inspect(int tab, std::optional<std::size_t> row);
    void inspectorClosed();
    // Copies the whole inspection shown.
    void copyInspection();

    // The name box's text changed, by any means, to `length` characters.
    void nameChanged(std::size_t length);
    // The user typed or pasted into the name box; the text is now `length`
    // characters with the cursor at `cursor`, at the end of what came in.
    void nameEdited(std::size_t length, std::size_t cursor);

    // Replaces the status line's message (Windows-1252 bytes), above the line
    // that names what the last Display showed.
    void showStatus(std::string text);
    // Adds a line under the status line's message; nothing for "".
    void addStatus(const std::string& text);

    // How the view sizes the list's columns now.
    [[nodiscard]] ListColumnWidths columnWidths(PageList list) const;

    // The captions of the lists' commands.
    [[nodiscard]] std::string copyRowsCaption() const;
    [[nodiscard]] std::string selectAllCaption() const;
    [[nodiscard]] std::string fileColumnCaption() const;
    [[nodiscard]] std::string showFileColumnCaption() const;
    [[nodiscard]] std::string inspectCaption() const;
    [[nodiscard]] std::string inspectorTitle() const;

    // Tells `observer` of every Display from now on, after those added
    // before it; or no more.
    void addListsObserver(ListsObserver* observer) { listsObservers_.push_back(observer); }
    void removeListsObserver(ListsObserver* observer) { std::erase(listsObservers_, observer); }

    // The layout last placed, in twips.
    [[nodiscard]] const FormLayout& layout() const { return layout_; }
    [[nodiscard]] double listHeightRatio() const { return listHeightRatio_; }
    // The status line's whole text as last shown, and its message alone.
    [[nodiscard]] const std::string& statusText() const { return statusText_; }
    [[nodiscard]] const std::string& statusMessage() const { return statusMessage_; }

    // Typed or pasted text may make the name at most this long; a name placed
    // by the command line or the Display may be longer and is kept whole.
    static constexpr std::size_t kNameMaxTyped = 10;

private:
    // A row's value in its list's box and its file in the status line.
    void showRow(const DisplayCommand& from, PageList list, std::size_t row);
    void clearValueBoxes();
    // Shows the status line's lines: the message, the clicked row's file, the
    // line naming what is shown.
    void refreshStatus();
    // Names a snapshot and when it was fetched in the title bar, and gives
    // the title back its caption for any other Display.
    void refreshTitle();
    [[nodiscard]] SaveAsRequest saveAsRequest(const std::filesystem::path& intended) const;
    // A snapshot dialog's request: titled by its command, in the snapshot's
    // folder or the user's.
    [[nodiscard]] SaveAsRequest snapshotRequest(int command) const;

    MainWindowView& view_;
    DisplayCommand& display_;
    // The host link of the snapshot opened, which the Display command uses
    // in place of the viewer's.
    std::unique_ptr<HostLink> snapshotLink_;
    // The folder of the snapshot last opened or saved, where the next dialog
    // opens.
    std::filesystem::path snapshotFolder_;
    RegistryStore& registry_;
    MessageLookup messages_;
    CatalogueLookup captions_;
    std::vector<ListsObserver*> listsObservers_;

    double listHeightRatio_ = design::kListHeightRatio;
    FormLayout layout_ = ComputeFormLayout(design::kMinOuterWidth, design::kMinOuterHeight);
    std::size_t nameLength_ = 0;  // the name box before the latest edit
    // The status line's last line after a Display: the machine, the user
    // space and where its pages came from, kept in view under later messages.
    std::string statusContext_;
    std::string statusMessage_;  // the message above it
    std::string statusRow_;      // between the two: the file of the clicked row
    bool fileColumnShown_ = false;
    bool inspecting_ = false;
    std::string inspection_;  // the text the inspector shows
    std::string statusText_;
    std::string title_;  // as the form localisation left it, or as last shown
};

}  // namespace twds

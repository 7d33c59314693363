#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "twds/FormLayout.h"
#include "twds/LocalisableForm.h"
#include "twds/PageLists.h"

namespace twds {

// The window's object names and tags: the form localisation finds the
// controls by them and reads their captions' catalogue ids from the tags, so
// every front end names its controls so. The lists' and value boxes' names
// are in kPageLists.
namespace form {
struct NamedControl {
    std::string_view name;
    std::string_view tag;  // empty for a control the localisation leaves alone
};
inline constexpr NamedControl kWindow{"frmDspUsrspc", "5001"};
inline constexpr NamedControl kTabs{"SSTab1", {}};
inline constexpr NamedControl kMachineLabel{"lbTgtMachine", "_CAP_5251"};
inline constexpr NamedControl kAddressBox{"txtIpAddress", {}};
inline constexpr NamedControl kNameLabel{"lbUsrSpcName", "_CAP_5252"};
inline constexpr NamedControl kNameBox{"txtUsrSpcName", {}};
inline constexpr NamedControl kEndTwBox{"txtEnd_TW", {}};
inline constexpr NamedControl kDisplayButton{"btnDsp", "_CAP_5101"};
inline constexpr NamedControl kExportButton{"btnExport", "_CAP_5103"};
inline constexpr NamedControl kExitButton{"btnCancel", "_CAP_5102"};

// The tabs: Info, one per page list, End_TW.
inline constexpr int kInfoTab = 0;
inline constexpr int kEndTwTab = kPageLists.back().tab + 1;
inline constexpr int kTabCount = kEndTwTab + 1;
static_assert(kPageLists.front().tab == kInfoTab + 1);

// A tab's fixed caption (the catalogue does not translate them); empty past
// the last tab.
[[nodiscard]] std::string_view TabCaption(int tab);

// The width of a list column before a decoder has set the list's columns.
inline constexpr int kDefaultColumnWidthTwips = 2500;
}  // namespace form

// How the view sizes a list's two columns: in twips where these are set,
// else by measure. The label column then fits the longest label the list can
// hold (LabelsOfList) in the view's font, and the value column ends at the
// view's right edge.
struct ListColumnWidths {
    std::optional<int> label;  // set until a decoder has given the list its columns
    std::optional<int> value;  // set when wider than the default: at least this wide, it scrolls
};

// What a file dialog (the export's Save As, a snapshot's Save and Open)
// starts from.
struct SaveAsRequest {
    std::string title;             // Windows-1252
    std::string filter;            // the file types, as the catalogue gives them
    std::filesystem::path folder;  // where the dialog opens
    std::string fileName;          // the name it proposes, Windows-1252
};

// The main window as its presenter (MainWindowPresenter) sees it: a passive
// view that shows what it is given and reports the user's actions to the
// presenter. It decides nothing; a front end (the Qt window, a native Windows
// one) implements it by converting the bytes for its controls. Texts are
// Windows-1252 bytes; in the status line "\n" parts lines.
class MainWindowView {
public:
    virtual ~MainWindowView() = default;

    // The address and name boxes as the user left them.
    [[nodiscard]] virtual std::string addressText() const = 0;
    [[nodiscard]] virtual std::string nameText() const = 0;
    virtual void setAddressText(std::string_view text) = 0;
    virtual void setNameText(std::string_view text) = 0;
    // Removes `count` characters of the name box from `from` on and leaves
    // the cursor at `from`; counted in the view's own characters, as it
    // reports the name's length and cursor.
    virtual void cutNameText(std::size_t from, std::size_t count) = 0;

    virtual void selectTab(int tab) = 0;
    // A value in the list's value box, its odd bytes marked; empty bytes
    // empty the box.
    virtual void showValue(PageList list, std::string_view bytes) = 0;
    // The End_TW text, its line breaks kept and its other control bytes
    // marked.
    virtual void showEndTw(std::string_view text) = 0;
    virtual void showStatus(std::string_view text) = 0;
    // The window's title bar, which the form localisation first captioned.
    virtual void showTitle(std::string_view text) = 0;
    virtual void copyToClipboard(std::string_view text) = 0;
    // Shows or hides the file column of the lists that have one
    // (ListHasFileColumn); its cells ask MainWindowPresenter::fileColumnText.
    virtual void showFileColumn(bool shown) = 0;
    // Opens the inspector, or keeps it open, showing `text` (plain lines in a
    // fixed font).
    virtual void showInspection(std::string_view text) = 0;

    // The page lists are about to be refilled, and have been: the view lets
    // go of their rows, then shows the new ones and fits its columns to them.
    virtual void beginListsReset() = 0;
    virtual void endListsReset() = 0;
    // A Display or an export blocks the window until it ends.
    virtual void setBusy(bool busy) = 0;

    virtual void placeControls(const FormLayout& layout) = 0;
    // The window as the form localisation walks it, for one walk.
    [[nodiscard]] virtual std::unique_ptr<LocalisableForm> localisableForm() = 0;
    // Asks where to save the export; nothing when the user cancels.
    [[nodiscard]] virtual std::optional<std::filesystem::path> askSavePath(
        const SaveAsRequest& request) = 0;
    // Asks which file to open; nothing when the user cancels.
    [[nodiscard]] virtual std::optional<std::filesystem::path> askOpenPath(
        const SaveAsRequest& request) = 0;
    [[nodiscard]] virtual std::filesystem::path homeFolder() const = 0;
    virtual void closeWindow() = 0;
};

}  // namespace twds

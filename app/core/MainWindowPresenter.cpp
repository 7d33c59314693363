#include "twds/MainWindowPresenter.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

#include "twds/CommandLine.h"
#include "twds/DisplayCommand.h"
#include "twds/Export.h"
#include "twds/FileColumn.h"
#include "twds/RowInspection.h"
#include "twds/Snapshot.h"
#include "twds/StatusMessages.h"

namespace twds {

namespace form {

std::string_view TabCaption(int tab) {
    if (tab == kInfoTab) {
        return "Info";
    }
    if (tab == kEndTwTab) {
        return "End_TW";
    }
    for (const PageListInfo& info : kPageLists) {
        if (info.tab == tab) {
            return info.caption;
        }
    }
    return {};
}

}  // namespace form

namespace {

// The view shows the busy state for as long as this lives, an exception
// included.
class BusyScope {
public:
    explicit BusyScope(MainWindowView& view) : view_(view) { view_.setBusy(true); }
    ~BusyScope() { view_.setBusy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    MainWindowView& view_;
};

}  // namespace

MainWindowPresenter::MainWindowPresenter(MainWindowView& view, DisplayCommand& display,
                                         RegistryStore& registry, MessageLookup messages,
                                         CatalogueLookup captions)
    : view_(view),
      display_(display),
      registry_(registry),
      messages_(std::move(messages)),
      captions_(std::move(captions)),
      title_(captions_(form::kWindow.tag)) {}

void MainWindowPresenter::load(std::string_view argumentText) {
    LocaliseForm(*view_.localisableForm(), captions_);
    view_.placeControls(layout_);  // the labels' new captions may need more lines
    view_.selectTab(form::kInfoTab);
    listHeightRatio_ =
        static_cast<double>(design::kListView.height) / static_cast<double>(design::kTabs.height);

    fileColumnShown_ = LoadFileColumnShown(registry_);
    view_.showFileColumn(fileColumnShown_);

    if (IsSnapshotPath(argumentText)) {
        // The path as the system gave it: not converted to Windows-1252.
        openSnapshot(std::filesystem::path(std::string(argumentText)));
    } else if (const auto split = SplitArgumentText(argumentText)) {
        view_.setAddressText(split->address);
        view_.setNameText(split->name);
        display();
    }
}

void MainWindowPresenter::openSnapshot(const std::filesystem::path& file) {
    auto opened = OpenSnapshot(file, messages_);
    if (!opened) {
        showStatus(opened.error());
        return;
    }
    snapshotLink_ = std::move(opened->hostLink);
    snapshotFolder_ = file.parent_path();
    display_.useHostLink(*snapshotLink_);
    view_.setAddressText(opened->address);
    view_.setNameText(opened->name);
    display();
    addStatus(opened->notice);
}

void MainWindowPresenter::resized(int outerWidthTwips, int outerHeightTwips, bool minimised) {
    if (minimised) {
        return;
    }
    layout_ = ComputeFormLayout(outerWidthTwips, outerHeightTwips, listHeightRatio_);
    view_.placeControls(layout_);
}

void MainWindowPresenter::display() {
    for (ListsObserver* observer : listsObservers_) {
        observer->listsChanging();
    }
    statusContext_.clear();
    statusRow_.clear();
    showStatus({});
    display_.address = view_.addressText();
    display_.userSpaceName = view_.nameText();
    const std::string typedName = display_.userSpaceName;
    clearValueBoxes();
    view_.showEndTw({});

    {
        const BusyScope busy(view_);
        view_.beginListsReset();
        display_.run();
        view_.endListsReset();
    }

    if (display_.userSpaceName != typedName) {
        view_.setNameText(display_.userSpaceName);
    }
    view_.showEndTw(display_.endTwText);
    if (display_.outcome().stage != DisplayOutcome::Stage::InputMissing) {
        view_.selectTab(InfoOf(PageList::CX).tab);
    }
    // The line that tells two windows apart: what this one shows and from where.
    statusContext_ = DescribeTarget(display_, messages_);
    if (const std::string source = DescribeSource(display_.outcome().source, messages_);
        !source.empty()) {
        statusContext_ += " \xB7 " + source;  // a middle dot between the two
    }
    showStatus(DescribeOutcome(display_, messages_));
    refreshTitle();
    if (inspecting_) {
        inspect(form::kInfoTab, std::nullopt);  // the rows inspected are gone
    }
    for (ListsObserver* observer : listsObservers_) {
        observer->listsChanged();
    }
}

void MainWindowPresenter::refreshTitle() {
    std::string title = captions_(form::kWindow.tag);
    if (const PageSource& source = display_.outcome().source;
        source.kind == PageSource::Kind::Snapshot) {
        title = messages_(
            message::kSnapshotWindowTitle,
            {title, source.snapshot.address, source.snapshot.name, source.snapshot.fetched});
    }
    if (title != title_) {  // the title the localisation gave stays untouched at rest
        title_ = std::move(title);
        view_.showTitle(title_);
    }
}

void MainWindowPresenter::exportDisplayed() {
    // The export checks the name box as it is now, not as it was at the
    // last Display (the file is still named after the displayed user space).
    display_.userSpaceName = view_.nameText();
    ExportResult result;
    {
        const BusyScope busy(view_);
        result = ExportToDataPath(display_, registry_, messages_);
    }
    if (result.status != ExportResult::Status::NeedsLocation) {
        showStatus(result.message);
        return;
    }
    showStatus(result.message + " " + messages_(message::kChooseLocation, {}));
    const auto chosen = view_.askSavePath(saveAsRequest(result.path));
    if (!chosen || chosen->empty()) {
        // The reason stays in view with what became of the export.
        showStatus(result.message + " " + messages_(message::kExportCancelled, {}));
        return;
    }
    {
        const BusyScope busy(view_);
        result = ExportToFile(display_, *chosen, messages_);
    }
    showStatus(result.message);
}

void MainWindowPresenter::saveSnapshot() {
    if (display_.fetchedPages().empty()) {
        showStatus(messages_(message::kNothingToSnapshot, {}));
        return;
    }
    const auto chosen = view_.askSavePath(snapshotRequest(message::kSaveSnapshotCommand));
    if (!chosen || chosen->empty()) {
        return;
    }
    SnapshotResult result;
    {
        const BusyScope busy(view_);
        result = SaveSnapshot(display_, *chosen, true, messages_);
    }
    if (result.status == SnapshotResult::Status::Written) {
        snapshotFolder_ = chosen->parent_path();
    }
    showStatus(result.message);
}

void MainWindowPresenter::openSnapshotAsked() {
    const auto chosen = view_.askOpenPath(snapshotRequest(message::kOpenSnapshotCommand));
    if (chosen && !chosen->empty()) {
        openSnapshot(*chosen);
    }
}

std::string MainWindowPresenter::saveSnapshotCaption() const {
    return messages_(message::kSaveSnapshotCommand, {});
}

std::string MainWindowPresenter::openSnapshotCaption() const {
    return messages_(message::kOpenSnapshotCommand, {});
}

void MainWindowPresenter::exitViewer() {
    display_.closeConnection();
    view_.closeWindow();
}

void MainWindowPresenter::rowClicked(PageList list, std::size_t row) {
    showRow(display_, list, row);
    if (inspecting_) {
        inspect(InfoOf(list).tab, row);
    }
}

void MainWindowPresenter::otherRowClicked(const DisplayCommand& other, PageList list,
                                          std::size_t row) {
    showRow(other, list, row);
}

void MainWindowPresenter::showRow(const DisplayCommand& from, PageList list, std::size_t row) {
    const FieldList& rows = from.list(list);
    const bool known = row < rows.rowCount();
    view_.showValue(list, known ? rows.value(row) : std::string_view());
    std::string file = known ? DescribeRowFile(from.source(list, row), messages_) : "";
    if (file != statusRow_) {  // moving within a file's rows leaves the line be
        statusRow_ = std::move(file);
        refreshStatus();
    }
}

void MainWindowPresenter::setFileColumnShown(bool shown) {
    fileColumnShown_ = shown;
    view_.showFileColumn(shown);
    if (const Status saved = SaveFileColumnShown(registry_, shown); !saved) {
        const std::string value = std::string(HiveName(Hive::CurrentUser)) + "\\" +
                                  std::string(kViewerKey) + "\\" + std::string(kFileColumnValue);
        showStatus(messages_(message::kFileColumnNotSaved, {value, saved.error()}));
    }
}

std::string MainWindowPresenter::fileColumnText(PageList list, std::size_t row) const {
    return FileColumnTextOf(display_, list, row);
}

std::string MainWindowPresenter::FileColumnTextOf(const DisplayCommand& display, PageList list,
                                                  std::size_t row) {
    if (!ListHasFileColumn(list) || row >= display.list(list).rowCount()) {
        return {};
    }
    return FileColumnText(display.source(list, row));
}

void MainWindowPresenter::inspect(int tab, std::optional<std::size_t> row) {
    inspecting_ = true;
    const auto* info = std::find_if(kPageLists.begin(), kPageLists.end(),
                                    [tab](const PageListInfo& i) { return i.tab == tab; });
    if (tab == form::kEndTwTab) {
        inspection_ = InspectEndTw(display_, messages_);
    } else if (info != kPageLists.end() && row) {
        inspection_ = InspectRow(display_, info->list, *row, messages_);
    } else {
        inspection_ = messages_(message::kInspectNothing, {}) + '\n';
    }
    view_.showInspection(inspection_);
}

void MainWindowPresenter::inspectorClosed() {
    inspecting_ = false;
}

void MainWindowPresenter::copyInspection() {
    if (!inspection_.empty()) {
        view_.copyToClipboard(inspection_);
    }
}

void MainWindowPresenter::copyRows(PageList list, std::vector<RowRange> selected,
                                   std::size_t rowsSelected) {
    const RowCopyText copy = BuildRowCopyText(display_.list(list), std::move(selected));
    if (copy.rowsSelected == 0) {
        return;
    }
    view_.copyToClipboard(copy.text);
    rowsSelected = std::max(rowsSelected, copy.rowsSelected);
    if (copy.rowsCopied < rowsSelected) {
        showStatus(messages_(message::kCopyCapped, {GroupDigits(copy.rowsCopied, messages_),
                                                    GroupDigits(rowsSelected, messages_)}));
    }
}

void MainWindowPresenter::nameChanged(std::size_t length) {
    nameLength_ = length;
}

void MainWindowPresenter::nameEdited(std::size_t length, std::size_t cursor) {
    const std::size_t allowed = std::max(kNameMaxTyped, nameLength_);
    if (length <= allowed) {
        return;
    }
    // Drop what does not fit from the end of what was just typed or pasted,
    // which ends at the cursor.
    const std::size_t excess = length - allowed;
    view_.cutNameText(cursor > excess ? cursor - excess : 0, excess);
}

void MainWindowPresenter::showStatus(std::string text) {
    statusMessage_ = std::move(text);
    refreshStatus();
}

void MainWindowPresenter::refreshStatus() {
    // The message first, where the eye lands; the line naming what is shown
    // under it (a long source path wraps there, not above the message).
    statusText_.clear();
    for (const std::string* line : {&statusMessage_, &statusRow_, &statusContext_}) {
        if (!line->empty()) {
            statusText_ += (statusText_.empty() ? "" : "\n") + *line;
        }
    }
    view_.showStatus(statusText_);
}

void MainWindowPresenter::addStatus(const std::string& text) {
    if (!text.empty()) {
        showStatus(statusMessage_.empty() ? text : statusMessage_ + "\n" + text);
    }
}

ListColumnWidths MainWindowPresenter::columnWidths(PageList list) const {
    const FieldList& rows = display_.list(list);
    ListColumnWidths widths;
    // An empty list shows no label: the design's width stands.
    if (rows.columnCount() == 0) {
        widths.label = form::kDefaultColumnWidthTwips;
    }
    // A value column made wider than the default (the SQL list's, for its long
    // statements) keeps its width.
    if (rows.columnCount() > 1 && rows.column(1).widthTwips > form::kDefaultColumnWidthTwips) {
        widths.value = rows.column(1).widthTwips;
    }
    return widths;
}

std::string MainWindowPresenter::copyRowsCaption() const {
    return messages_(message::kCopyRowsCommand, {});
}

std::string MainWindowPresenter::selectAllCaption() const {
    return messages_(message::kSelectAllCommand, {});
}

std::string MainWindowPresenter::fileColumnCaption() const {
    return messages_(message::kFileColumnCaption, {});
}

std::string MainWindowPresenter::showFileColumnCaption() const {
    return messages_(message::kShowFileColumnCommand, {});
}

std::string MainWindowPresenter::inspectCaption() const {
    return messages_(message::kInspectCommand, {});
}

std::string MainWindowPresenter::inspectorTitle() const {
    std::string title = messages_(message::kInspectorTitle, {});
    std::erase(title, '&');
    return title;
}

void MainWindowPresenter::clearValueBoxes() {
    for (const PageListInfo& info : kPageLists) {
        view_.showValue(info.list, {});
    }
}

// The dialog is titled as the Export button, without its access-key marks,
// and starts at the user-space file in the folder the export meant to use,
// or in the home folder when that does not exist.
SaveAsRequest MainWindowPresenter::snapshotRequest(int command) const {
    SaveAsRequest request;
    request.title = messages_(command, {});
    std::erase(request.title, '&');
    request.filter = messages_(message::kSnapshotFileFilter, {});
    request.folder = snapshotFolder_.empty() ? view_.homeFolder() : snapshotFolder_;
    if (!display_.userSpace.empty()) {
        request.fileName = display_.userSpace + ".twus";
    }
    return request;
}

SaveAsRequest MainWindowPresenter::saveAsRequest(const std::filesystem::path& intended) const {
    SaveAsRequest request;
    // A caption tag holds its catalogue id from its sixth character on.
    request.title = captions_(form::kExportButton.tag.substr(5));
    std::erase(request.title, '&');
    request.filter = messages_(message::kExportFileFilter, {});
    std::error_code ignored;
    const std::filesystem::path folder = intended.parent_path();
    request.folder = !folder.empty() && std::filesystem::is_directory(folder, ignored)
                         ? folder
                         : view_.homeFolder();
    request.fileName = display_.userSpace + std::string(kExportExtension);
    return request;
}

}  // namespace twds

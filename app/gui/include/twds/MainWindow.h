#pragma once

#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "twds/FieldListModel.h"
#include "twds/FormLayout.h"
#include "twds/FormLocalisation.h"
#include "twds/PageLists.h"
#include "twds/Registry.h"
#include "twds/StatusMessages.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableView;

namespace twds {

class DisplayCommand;

// The viewer's one window: a tab control with the Info tab (address and
// user-space name), a tab per page list with the value box of the clicked
// row, the End_TW text, and the Display, Export and Exit buttons. A status
// line under the buttons tells what the last Display or export did.
//
// The window shows the DisplayCommand's lists and End_TW text and runs it
// from its Display button; it owns the widgets only. The command, the
// registry and the lookups must outlive the window.
class MainWindow : public QWidget {
    Q_OBJECT

public:
    // Asks where to save the export when the data folder cannot take it;
    // gets the proposed path and returns the chosen one, empty when the user
    // cancels.
    using SaveAsDialog = std::function<QString(const QString& proposedPath)>;

    MainWindow(DisplayCommand& display, RegistryStore& registry, MessageLookup messages,
               CatalogueLookup captions, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Localises the window, selects the Info tab and, when the argument text
    // holds a "/", fills the two boxes from it and runs the Display. Call it
    // once, before the window is first shown.
    void load(std::string_view argumentText);
    // Lays the controls out for the window's current size.
    void applyLayout();

    void display();
    void exportDisplayed();
    void exitViewer();

    // Replaces the Save As dialog (tests answer without a dialog).
    void setSaveAsDialog(SaveAsDialog dialog) { saveAsDialog_ = std::move(dialog); }

    // The status line's text; showStatus() replaces it (Windows-1252 bytes),
    // above the line that names what the last Display showed.
    [[nodiscard]] QString statusText() const;
    void showStatus(const std::string& text);
    // Adds a line under the status line's message.
    void addStatus(const std::string& text);
    // The layout last applied, in twips.
    [[nodiscard]] const FormLayout& formLayout() const { return layout_; }
    [[nodiscard]] double listHeightRatio() const { return listHeightRatio_; }
    [[nodiscard]] FieldListModel& listModel(PageList list) {
        return *models_[static_cast<std::size_t>(list)];
    }

    // Typed or pasted text may make the name at most this long; a name placed
    // by the command line may be longer and is kept whole.
    static constexpr int kUsrSpcNameMaxTyped = 10;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Per-list members are indexed by PageList; the handlers get its number.
    static constexpr int kListCount = static_cast<int>(kPageListCount);

    void createControls();
    void setFocusOrder();
    // Positions the controls of the tab control's pages; their rectangles are
    // relative to the tab control, the pages start below its tab row.
    void placeTabPageControls();
    void showRowValue(int list, int row);
    void clearValueBoxes();
    // Shows a value's bytes, odd bytes marked, in the list's value box.
    void setValueBox(int list, std::string_view bytes);
    void limitTypedName(const QString& typed);
    void applyColumnWidths();
    // The shortcuts and context menu of a list: copy the selected rows, select
    // every row.
    void addListCommands(int list);
    // Puts the selected rows of a list on the clipboard as "label<TAB>value"
    // lines; says so on the status line when the copy is cut short.
    void copySelectedRows(int list);
    // Widens the value column to the view's right edge.
    void fitValueColumn(int list);
    // The width, in pixels, that shows the longest label the list can hold.
    [[nodiscard]] int labelColumnWidth(int list) const;

    [[nodiscard]] int statusLineHeight() const;
    [[nodiscard]] int pxX(int twips) const;
    [[nodiscard]] int pxY(int twips) const;
    [[nodiscard]] QRect pxRect(const TwipsRect& r) const;

    DisplayCommand& display_;
    RegistryStore& registry_;
    MessageLookup messages_;
    CatalogueLookup captions_;
    SaveAsDialog saveAsDialog_;

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

    std::array<std::unique_ptr<FieldListModel>, kPageListCount> models_;
    // Label column widths in pixels, measured once the catalogue is read; 0
    // until then.
    mutable std::array<int, kPageListCount> labelColumnWidths_{};
    double listHeightRatio_ = design::kListHeightRatio;
    FormLayout layout_;
    QString lastName_;  // nameBox_ before the latest edit
    // The status line's last line after a Display: the machine, the user
    // space and where its pages came from, kept in view under later messages.
    std::string statusContext_;
    std::string statusMessage_;  // what showStatus() last showed under it
};

}  // namespace twds

#include "twds/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>

#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "twds/ByteRunDelegate.h"
#include "twds/ByteRunText.h"
#include "twds/CommandLine.h"
#include "twds/Cp1252.h"
#include "twds/DisplayCommand.h"
#include "twds/Export.h"
#include "twds/ListLabels.h"
#include "twds/QtLocalisableForm.h"
#include "twds/RowCopyText.h"

namespace twds {

namespace {

constexpr double kTwipsPerInch = 1440.0;

// The tabs: Info, one per page list, End_TW.
constexpr int kTabInfo = 0;
constexpr int kTabEndTW = kPageLists.back().tab + 1;
constexpr int kTabCount = kTabEndTW + 1;
static_assert(kPageLists.front().tab == kTabInfo + 1);

// Shows the busy cursor for as long as it lives; the Display and the export
// block the window's thread.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

QPlainTextEdit* MakeTextBox(QWidget* parent, const QString& name, const QFont& font) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setFont(font);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return box;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const char* tag) {
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setProperty(QtLocalisableForm::kTagProperty, QString::fromLatin1(tag));
    button->setAutoDefault(false);
    return button;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const char* tag) {
    auto* label = new QLabel(parent);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setObjectName(name);
    label->setProperty(QtLocalisableForm::kTagProperty, QString::fromLatin1(tag));
    return label;
}

// The page lists' captions and object names are ASCII.
QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString ToQString(const std::filesystem::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

std::filesystem::path ToPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// Where the Save As dialog starts: the user-space file in the folder the
// export meant to use, or in the home folder when that does not exist.
QString ProposedSavePath(const std::filesystem::path& intended, const std::string& usrSpc) {
    const QString fileName = Cp1252ToQString(usrSpc + std::string(kExportExtension));
    std::error_code ignored;
    const std::filesystem::path folder = intended.parent_path();
    const QDir dir(!folder.empty() && std::filesystem::is_directory(folder, ignored)
                       ? ToQString(folder)
                       : QDir::homePath());
    return dir.filePath(fileName);
}

}  // namespace

MainWindow::MainWindow(DisplayCommand& display, RegistryStore& registry, MessageLookup messages,
                       CatalogueLookup captions, QWidget* parent)
    : QWidget(parent),
      display_(display),
      registry_(registry),
      messages_(std::move(messages)),
      captions_(std::move(captions)) {
    setObjectName(QStringLiteral("frmDspUsrspc"));
    setProperty(QtLocalisableForm::kTagProperty, QStringLiteral("5001"));
    saveAsDialog_ = [this](const QString& proposedPath) {
        return QFileDialog::getSaveFileName(
            this, exportButton_->text().remove(QLatin1Char('&')), proposedPath,
            Cp1252ToQString(messages_(message::kExportFileFilter, {})));
    };

    createControls();
    setFocusOrder();

    const int statusHeight = statusLineHeight();
    setMinimumSize(pxX(design::kClientWidth), pxY(design::kClientHeight) + statusHeight);
    resize(minimumSize());
    applyLayout();
}

MainWindow::~MainWindow() = default;

void MainWindow::createControls() {
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    // Every row has one height: the taller of the label and value fonts.
    const int rowHeight = std::max(fontMetrics().height(), QFontMetrics(fixed).height()) + 2;

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("SSTab1"));
    std::array<QString, kTabCount> captions{};
    captions[kTabInfo] = QStringLiteral("Info");
    for (const PageListInfo& info : kPageLists) {
        captions[static_cast<std::size_t>(info.tab)] = Latin1(info.caption);
    }
    captions[kTabEndTW] = QStringLiteral("End_TW");
    std::array<QWidget*, kTabCount> pages{};
    for (std::size_t t = 0; t < pages.size(); ++t) {
        pages[t] = new QWidget(tabs_);
        pages[t]->installEventFilter(this);
        tabs_->addTab(pages[t], captions[t]);
    }

    machineLabel_ = MakeLabel(pages[kTabInfo], QStringLiteral("lbTgtMachine"), "_CAP_5251");
    addressBox_ = new QLineEdit(pages[kTabInfo]);
    addressBox_->setObjectName(QStringLiteral("txtIpAddress"));
    nameLabel_ = MakeLabel(pages[kTabInfo], QStringLiteral("lbUsrSpcName"), "_CAP_5252");
    nameBox_ = new QLineEdit(pages[kTabInfo]);
    nameBox_->setObjectName(QStringLiteral("txtUsrSpcName"));
    machineLabel_->setBuddy(addressBox_);
    nameLabel_->setBuddy(nameBox_);
    connect(nameBox_, &QLineEdit::textEdited, this, &MainWindow::limitTypedName);
    // Read the box rather than the signal's text: a change made by
    // limitTypedName() inside the edit is followed by the edit's own, stale,
    // textChanged.
    connect(nameBox_, &QLineEdit::textChanged, this, [this] { lastName_ = nameBox_->text(); });
    // Enter in either box runs the Display, as the Display button does.
    connect(addressBox_, &QLineEdit::returnPressed, this, &MainWindow::display);
    connect(nameBox_, &QLineEdit::returnPressed, this, &MainWindow::display);

    for (int i = 0; i < kListCount; ++i) {
        const PageListInfo& info = kPageLists[static_cast<std::size_t>(i)];
        auto& model = models_[static_cast<std::size_t>(i)];
        model = std::make_unique<FieldListModel>(display_.list(info.list));
        model->setValueFont(fixed);

        // A table view rather than a tree view: with millions of rows it keeps
        // a few bytes per row (its fixed-size vertical header) where a tree
        // view keeps an item per row.
        auto* view = new QTableView(pages[static_cast<std::size_t>(info.tab)]);
        view->setObjectName(Latin1(info.viewName));
        view->setShowGrid(false);
        view->setWordWrap(false);
        view->setCornerButtonEnabled(false);
        view->setTabKeyNavigation(false);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        // Several rows at once for a copy; a click still shows its row's value.
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
        view->verticalHeader()->hide();
        view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view->verticalHeader()->setMinimumSectionSize(1);
        view->verticalHeader()->setDefaultSectionSize(rowHeight);
        view->horizontalHeader()->setStretchLastSection(false);
        view->horizontalHeader()->setSectionsMovable(false);
        view->horizontalHeader()->setHighlightSections(false);
        view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        view->setModel(model.get());
        view->setItemDelegate(new ByteRunDelegate(view));
        listViews_[static_cast<std::size_t>(i)] = view;
        addListCommands(i);
        // The value column follows the view's width and the label column's.
        view->viewport()->installEventFilter(this);
        connect(view->horizontalHeader(), &QHeaderView::sectionResized, this,
                [this, i](int section) {
                    if (section == 0) {
                        fitValueColumn(i);
                    }
                });

        connect(view, &QTableView::clicked, this,
                [this, i](const QModelIndex& index) { showRowValue(i, index.row()); });
        connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                [this, i](const QModelIndex& current) {
                    if (current.isValid()) {
                        showRowValue(i, current.row());
                    }
                });
    }
    applyColumnWidths();

    for (const PageListInfo& info : kPageLists) {
        QPlainTextEdit* box = MakeTextBox(pages[static_cast<std::size_t>(info.tab)],
                                          Latin1(info.valueBoxName), fixed);
        if (info.oneLineValueBox) {
            // A one-line text box rather than a line edit: a line edit draws its
            // text in one format, and marked bytes need two. Unwrapped and
            // without a vertical scroll bar it keeps the line edit's look: one
            // line at the top of a box as tall as the others.
            box->setLineWrapMode(QPlainTextEdit::NoWrap);
            box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            box->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        }
        valueBoxes_[static_cast<std::size_t>(info.list)] = box;
    }
    endTwBox_ = MakeTextBox(pages[kTabEndTW], QStringLiteral("txtEnd_TW"), fixed);

    displayButton_ = MakeButton(this, QStringLiteral("btnDsp"), "_CAP_5101");
    exportButton_ = MakeButton(this, QStringLiteral("btnExport"), "_CAP_5103");
    exitButton_ = MakeButton(this, QStringLiteral("btnCancel"), "_CAP_5102");
    connect(displayButton_, &QPushButton::clicked, this, &MainWindow::display);
    connect(exportButton_, &QPushButton::clicked, this, &MainWindow::exportDisplayed);
    connect(exitButton_, &QPushButton::clicked, this, &MainWindow::exitViewer);

    // The status line is a borderless read-only text: long messages (paths,
    // registry keys) wrap anywhere and scroll, and can be selected and copied.
    statusLine_ = new QPlainTextEdit(this);
    statusLine_->setObjectName(QStringLiteral("statusLine"));
    statusLine_->setReadOnly(true);
    statusLine_->setFrameShape(QFrame::NoFrame);
    statusLine_->setFocusPolicy(Qt::ClickFocus);
    statusLine_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    statusLine_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    statusLine_->document()->setDocumentMargin(2);
    QPalette statusPalette = statusLine_->palette();
    statusPalette.setColor(QPalette::Base, statusPalette.color(QPalette::Window));
    statusLine_->setPalette(statusPalette);
}

void MainWindow::setFocusOrder() {
    // The tab control takes part through its tab bar, which takes its focus:
    // given the tab control itself, Qt would put the next control after the
    // last of the tab control's own children.
    std::vector<QWidget*> order{displayButton_, exitButton_,   tabs_->tabBar(), addressBox_,
                                nameBox_,       machineLabel_, nameLabel_};
    order.insert(order.end(), listViews_.begin(), listViews_.end());
    order.insert(order.end(), {endTwBox_, exportButton_});
    order.insert(order.end(), valueBoxes_.begin(), valueBoxes_.end());
    for (std::size_t i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

void MainWindow::load(std::string_view argumentText) {
    QtLocalisableForm form(*this);
    LocaliseForm(form, captions_);
    placeTabPageControls();  // the labels' new captions may need more lines
    tabs_->setCurrentIndex(kTabInfo);
    listHeightRatio_ =
        static_cast<double>(design::kListView.height) / static_cast<double>(design::kTabs.height);

    if (const auto split = SplitArgumentText(argumentText)) {
        addressBox_->setText(Cp1252ToQString(split->address));
        nameBox_->setText(Cp1252ToQString(split->name));
        display();
    }
}

void MainWindow::applyLayout() {
    if (isMinimized()) {
        return;
    }
    const int outerWidth = qRound(width() * kTwipsPerInch / logicalDpiX()) + design::kFrameWidth;
    const int outerHeight =
        qRound((height() - statusLineHeight()) * kTwipsPerInch / logicalDpiY()) +
        design::kFrameHeight;
    layout_ = ComputeFormLayout(outerWidth, outerHeight, listHeightRatio_);

    tabs_->setGeometry(pxRect(layout_.tabs));
    displayButton_->setGeometry(pxRect(layout_.displayButton));
    exportButton_->setGeometry(pxRect(layout_.exportButton));
    exitButton_->setGeometry(pxRect(layout_.exitButton));

    const int clientHeight = pxY(layout_.outerHeight - design::kFrameHeight);
    const int margin = pxX(design::kListView.left);
    statusLine_->setGeometry(margin, clientHeight, width() - 2 * margin, statusLineHeight());
    placeTabPageControls();
}

void MainWindow::placeTabPageControls() {
    const auto place = [this](QWidget* control, const TwipsRect& rect) {
        QWidget* page = control->parentWidget();
        const QPoint offset = page->mapTo(tabs_, QPoint(0, 0));
        QRect r = pxRect(rect).translated(-offset);
        // The tab row may be taller here than in the design: a control that
        // would start above its page starts at the page's top instead.
        r.setLeft(std::max(r.left(), 0));
        r.setTop(std::max(r.top(), 0));
        // A caption longer than the design's label (a larger font, another
        // language) wraps onto further lines instead of being cut off.
        if (const auto* label = qobject_cast<QLabel*>(control); label != nullptr) {
            r.setHeight(std::max(r.height(), label->heightForWidth(r.width())));
        }
        control->setGeometry(r);
    };
    place(machineLabel_, layout_.machineLabel);
    place(addressBox_, layout_.addressBox);
    place(nameLabel_, layout_.nameLabel);
    place(nameBox_, layout_.nameBox);
    for (QTableView* view : listViews_) {
        place(view, layout_.listView);
    }
    for (QPlainTextEdit* box : valueBoxes_) {
        place(box, layout_.valueBox);
    }
    place(endTwBox_, layout_.endTwBox);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    applyLayout();
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // A restored window gets its layout back even when its size did not change
    // while it was minimised.
    if (event->type() == QEvent::WindowStateChange && !isMinimized()) {
        applyLayout();
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        for (int i = 0; i < kListCount; ++i) {
            const QTableView* view = listViews_[static_cast<std::size_t>(i)];
            if (view != nullptr && watched == view->viewport()) {
                fitValueColumn(i);
            }
        }
    }
    // The tab control places its pages when it is laid out (at the latest when
    // first shown); the controls on them follow.
    if ((event->type() == QEvent::Resize || event->type() == QEvent::Move) &&
        watched->parent() != nullptr && tabs_ != nullptr &&
        tabs_->indexOf(qobject_cast<QWidget*>(watched)) >= 0) {
        placeTabPageControls();
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::display() {
    statusContext_.clear();
    showStatus({});
    display_.address = QStringToCp1252(addressBox_->text());
    display_.userSpaceName = QStringToCp1252(nameBox_->text());
    const std::string typedName = display_.userSpaceName;
    clearValueBoxes();
    endTwBox_->clear();

    {
        BusyCursor busy;
        for (auto& model : models_) {
            model->beginListReset();
        }
        display_.run();
        for (auto& model : models_) {
            model->endListReset();
        }
    }
    applyColumnWidths();

    if (display_.userSpaceName != typedName) {
        nameBox_->setText(Cp1252ToQString(display_.userSpaceName));
    }
    ShowByteRuns(*endTwBox_, display_.endTwText, LineBreaks::Kept);
    if (display_.outcome().stage != DisplayOutcome::Stage::InputMissing) {
        tabs_->setCurrentIndex(InfoOf(PageList::CX).tab);
    }
    // The line that tells two windows apart: what this one shows and from where.
    statusContext_ = DescribeTarget(display_, messages_);
    if (const std::string source = DescribeSource(display_.outcome().source, messages_);
        !source.empty()) {
        statusContext_ += " \xB7 " + source;  // a middle dot between the two
    }
    showStatus(DescribeOutcome(display_, messages_));
}

void MainWindow::exportDisplayed() {
    // The export checks the name box as it is now, not as it was at the
    // last Display (the file is still named after the displayed user space).
    display_.userSpaceName = QStringToCp1252(nameBox_->text());
    ExportResult result;
    {
        BusyCursor busy;
        result = ExportToDataPath(display_, registry_, messages_);
    }
    if (result.status != ExportResult::Status::NeedsLocation) {
        showStatus(result.message);
        return;
    }
    showStatus(result.message + " " + messages_(message::kChooseLocation, {}));
    const QString chosen = saveAsDialog_(ProposedSavePath(result.path, display_.userSpace));
    if (chosen.isEmpty()) {
        // The reason stays in view with what became of the export.
        showStatus(result.message + " " + messages_(message::kExportCancelled, {}));
        return;
    }
    {
        BusyCursor busy;
        result = ExportToFile(display_, ToPath(chosen), messages_);
    }
    showStatus(result.message);
}

void MainWindow::exitViewer() {
    display_.closeConnection();
    close();
}

void MainWindow::showRowValue(int list, int row) {
    setValueBox(list, models_[static_cast<std::size_t>(list)]->value(row));
}

void MainWindow::clearValueBoxes() {
    for (int i = 0; i < kListCount; ++i) {
        setValueBox(i, {});
    }
}

void MainWindow::setValueBox(int list, std::string_view bytes) {
    if (list >= 0 && list < kListCount) {
        ShowByteRuns(*valueBoxes_[static_cast<std::size_t>(list)], bytes);
    }
}

void MainWindow::showStatus(const std::string& text) {
    statusMessage_ = text;
    // The message first, where the eye lands; the line naming what is shown
    // under it (a long source path wraps there, not above the message).
    const QString shown = Cp1252ToQStringWithLineBreaks(statusContext_.empty() || text.empty()
                                                            ? text + statusContext_
                                                            : text + "\n" + statusContext_);
    statusLine_->setPlainText(shown);
    statusLine_->setToolTip(shown);
}

void MainWindow::addStatus(const std::string& text) {
    if (!text.empty()) {
        showStatus(statusMessage_.empty() ? text : statusMessage_ + "\n" + text);
    }
}

QString MainWindow::statusText() const {
    return statusLine_->toPlainText();
}

void MainWindow::limitTypedName(const QString& typed) {
    const qsizetype allowed = std::max<qsizetype>(kUsrSpcNameMaxTyped, lastName_.size());
    if (typed.size() <= allowed) {
        return;
    }
    // Drop what does not fit from the end of what was just typed or pasted,
    // which ends at the cursor.
    const qsizetype excess = typed.size() - allowed;
    const int cursor = nameBox_->cursorPosition();
    const qsizetype from = std::max<qsizetype>(cursor - excess, 0);
    QString kept = typed;
    kept.remove(from, excess);
    nameBox_->setText(kept);
    nameBox_->setCursorPosition(static_cast<int>(from));
}

void MainWindow::applyColumnWidths() {
    for (int i = 0; i < kListCount; ++i) {
        listViews_[static_cast<std::size_t>(i)]->horizontalHeader()->resizeSection(
            0, labelColumnWidth(i));
        fitValueColumn(i);
    }
}

int MainWindow::labelColumnWidth(int list) const {
    const auto at = static_cast<std::size_t>(list);
    const FieldListModel& model = *models_[at];
    // Until a decoder has given the list its columns the list shows no label
    // and the design's width stands.
    if (model.list().columnCount() == 0) {
        return pxX(model.columnWidthTwips(0));
    }
    if (labelColumnWidths_[at] == 0) {
        const QTableView* view = listViews_[at];
        const QHeaderView* header = view->horizontalHeader();
        const int headerMargin =
            view->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        int widest = header->fontMetrics().horizontalAdvance(
                         Cp1252ToQString(model.list().column(0).caption)) +
                     2 * headerMargin;
        for (const std::string& label : LabelsOfList(kPageLists[at].list, display_.labels())) {
            widest = std::max(widest, ByteRunDelegate::cellWidth(label, TrailingBlanks::AsText,
                                                                 view->font(), view));
        }
        labelColumnWidths_[at] = widest;
    }
    return labelColumnWidths_[at];
}

void MainWindow::fitValueColumn(int list) {
    const auto at = static_cast<std::size_t>(list);
    QTableView* view = listViews_[at];
    QHeaderView* header = view->horizontalHeader();
    const int toRightEdge = view->viewport()->width() - header->sectionSize(0);
    // A value column made wider than the default (the SQL list's, for its
    // long statements) keeps its width and scrolls; the others end at the
    // view's right edge.
    const int ownWidth = models_[at]->columnWidthTwips(1);
    const int width = ownWidth > FieldListModel::kDefaultColumnWidthTwips
                          ? std::max(pxX(ownWidth), toRightEdge)
                          : toRightEdge;
    header->resizeSection(1, std::max(width, header->minimumSectionSize()));
}

void MainWindow::addListCommands(int list) {
    QTableView* view = listViews_[static_cast<std::size_t>(list)];
    const auto command = [this, view](int captionId, QKeySequence::StandardKey key) {
        auto* action = new QAction(Cp1252ToQString(messages_(captionId, {})), view);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        action->setShortcutVisibleInContextMenu(true);
        view->addAction(action);
        return action;
    };
    connect(command(message::kCopyRowsCommand, QKeySequence::Copy), &QAction::triggered, this,
            [this, list] { copySelectedRows(list); });
    connect(command(message::kSelectAllCommand, QKeySequence::SelectAll), &QAction::triggered, view,
            &QTableView::selectAll);
    view->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void MainWindow::copySelectedRows(int list) {
    const auto at = static_cast<std::size_t>(list);
    // The selection's ranges, not its rows: a select-all over millions of
    // rows is one range.
    std::vector<RowRange> ranges;
    for (const QItemSelectionRange& range : listViews_[at]->selectionModel()->selection()) {
        ranges.push_back(
            {static_cast<std::size_t>(range.top()), static_cast<std::size_t>(range.bottom())});
    }
    const RowCopyText copy = BuildRowCopyText(models_[at]->list(), std::move(ranges));
    if (copy.rowsSelected == 0) {
        return;
    }
    QApplication::clipboard()->setText(Cp1252TextToQString(copy.text));
    if (copy.capped()) {
        showStatus(messages_(message::kCopyCapped,
                             {std::to_string(copy.rowsCopied), std::to_string(copy.rowsSelected)}));
    }
}

int MainWindow::statusLineHeight() const {
    return 3 * fontMetrics().lineSpacing() + 6;
}

int MainWindow::pxX(int twips) const {
    return qRound(twips * logicalDpiX() / kTwipsPerInch);
}

int MainWindow::pxY(int twips) const {
    return qRound(twips * logicalDpiY() / kTwipsPerInch);
}

QRect MainWindow::pxRect(const TwipsRect& r) const {
    return {pxX(r.left), pxY(r.top), pxX(r.width), pxY(r.height)};
}

}  // namespace twds

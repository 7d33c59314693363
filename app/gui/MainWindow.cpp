#include "twds/MainWindow.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include "twds/ByteRunDelegate.h"
#include "twds/ByteRunText.h"
#include "twds/CompareBar.h"
#include "twds/Cp1252.h"
#include "twds/DisplayCommand.h"
#include "twds/EscapeKey.h"
#include "twds/FileColumn.h"
#include "twds/FindBar.h"
#include "twds/InspectorWindow.h"
#include "twds/ListLabels.h"
#include "twds/ProblemsMark.h"
#include "twds/ProblemsPane.h"
#include "twds/QtLocalisableForm.h"
#include "twds/RowCopyText.h"

namespace twds {

namespace {

constexpr double kTwipsPerInch = 1440.0;
static_assert(FieldListModel::kDefaultColumnWidthTwips == form::kDefaultColumnWidthTwips);

// The names, tags and captions are ASCII.
QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QPlainTextEdit* MakeTextBox(QWidget* parent, std::string_view name, const QFont& font) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(Latin1(name));
    box->setReadOnly(true);
    box->setFont(font);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return box;
}

void Name(QWidget* widget, const form::NamedControl& control) {
    widget->setObjectName(Latin1(control.name));
    if (!control.tag.empty()) {
        widget->setProperty(QtLocalisableForm::kTagProperty, Latin1(control.tag));
    }
}

QPushButton* MakeButton(QWidget* parent, const form::NamedControl& control) {
    auto* button = new QPushButton(parent);
    Name(button, control);
    button->setAutoDefault(false);
    return button;
}

QLabel* MakeLabel(QWidget* parent, const form::NamedControl& control) {
    auto* label = new QLabel(parent);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Name(label, control);
    return label;
}

QString ToQString(const std::filesystem::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

std::filesystem::path ToPath(const QString& path) {
    return {QFile::encodeName(path).toStdString()};
}

// The tab row's style, whose tabs leave less room around their captions while
// the find bar adds its counts to them: seven counted captions then fit the
// design width. At rest it is the application's style unchanged.
class CompactTabStyle : public QProxyStyle {
public:
    void setCompact(bool compact) { compact_ = compact; }

    [[nodiscard]] int pixelMetric(PixelMetric metric, const QStyleOption* option,
                                  const QWidget* widget) const override {
        const int size = QProxyStyle::pixelMetric(metric, option, widget);
        return compact_ && metric == PM_TabBarTabHSpace ? size / 3 : size;
    }

private:
    bool compact_ = false;
};

// The first local file of a drop, when it is a saved user space.
std::optional<QString> DroppedSnapshot(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().isEmpty() ||
        !data->urls().front().isLocalFile()) {
        return std::nullopt;
    }
    const QString file = data->urls().front().toLocalFile();
    if (!file.endsWith(QStringLiteral(".twus"), Qt::CaseInsensitive)) {
        return std::nullopt;
    }
    return file;
}

}  // namespace

MainWindow::MainWindow(DisplayCommand& display, RegistryStore& registry, MessageLookup messages,
                       CatalogueLookup captions, QWidget* parent)
    : QWidget(parent),
      display_(display),
      presenter_(*this, display, registry, messages, std::move(captions)),
      problems_(*this, presenter_, display, messages),
      find_(*this, presenter_, display, messages),
      compare_(*this, presenter_, display, find_, std::move(messages)) {
    Name(this, form::kWindow);
    saveAsDialog_ = [this](const QString& title, const QString& proposedPath,
                           const QString& filter) {
        return QFileDialog::getSaveFileName(this, title, proposedPath, filter);
    };
    openDialog_ = [this](const QString& title, const QString& folder, const QString& filter) {
        return QFileDialog::getOpenFileName(this, title, folder, filter);
    };
    setAcceptDrops(true);

    createControls();
    createFindBar();
    createCompareBar();
    createProblems();
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
    Name(tabs_, form::kTabs);
    tabStyle_ = new CompactTabStyle;
    tabStyle_->setParent(tabs_);
    tabs_->tabBar()->setStyle(tabStyle_);
    std::array<QWidget*, form::kTabCount> pages{};
    for (int t = 0; t < form::kTabCount; ++t) {
        auto* page = new QWidget(tabs_);
        page->installEventFilter(this);
        tabs_->addTab(page, Latin1(form::TabCaption(t)));
        pages[static_cast<std::size_t>(t)] = page;
    }

    QWidget* infoPage = pages[form::kInfoTab];
    machineLabel_ = MakeLabel(infoPage, form::kMachineLabel);
    addressBox_ = new QLineEdit(infoPage);
    Name(addressBox_, form::kAddressBox);
    nameLabel_ = MakeLabel(infoPage, form::kNameLabel);
    nameBox_ = new QLineEdit(infoPage);
    Name(nameBox_, form::kNameBox);
    machineLabel_->setBuddy(addressBox_);
    nameLabel_->setBuddy(nameBox_);
    connect(nameBox_, &QLineEdit::textEdited, this, [this](const QString& typed) {
        presenter_.nameEdited(static_cast<std::size_t>(typed.size()),
                              static_cast<std::size_t>(nameBox_->cursorPosition()));
    });
    // Read the box rather than the signal's text: a cut made inside the edit
    // is followed by the edit's own, stale, textChanged.
    connect(nameBox_, &QLineEdit::textChanged, this,
            [this] { presenter_.nameChanged(static_cast<std::size_t>(nameBox_->text().size())); });
    // Enter in either box runs the Display, as the Display button does.
    for (QLineEdit* box : {addressBox_, nameBox_}) {
        connect(box, &QLineEdit::returnPressed, this, [this] { presenter_.display(); });
    }

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
        delegates_[static_cast<std::size_t>(i)] = new ByteRunDelegate(view);
        view->setItemDelegate(delegates_[static_cast<std::size_t>(i)]);
        listViews_[static_cast<std::size_t>(i)] = view;
        // The value column follows the view's width and the label column's.
        view->viewport()->installEventFilter(this);
        connect(view->horizontalHeader(), &QHeaderView::sectionResized, this,
                [this, i](int section) {
                    if (section != 1) {
                        fitValueColumn(i);
                    }
                });

        const PageList list = info.list;
        // The find presenter maps the view's rows to the list's.
        connect(view, &QTableView::clicked, this, [this, list](const QModelIndex& index) {
            compare_.rowClicked(list, static_cast<std::size_t>(index.row()));
        });
        connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                [this, list](const QModelIndex& current) {
                    if (current.isValid()) {
                        compare_.rowClicked(list, static_cast<std::size_t>(current.row()));
                    }
                });
    }
    applyColumnWidths();

    for (const PageListInfo& info : kPageLists) {
        QPlainTextEdit* box =
            MakeTextBox(pages[static_cast<std::size_t>(info.tab)], info.valueBoxName, fixed);
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
    endTwBox_ = MakeTextBox(pages[form::kEndTwTab], form::kEndTwBox.name, fixed);

    displayButton_ = MakeButton(this, form::kDisplayButton);
    exportButton_ = MakeButton(this, form::kExportButton);
    exitButton_ = MakeButton(this, form::kExitButton);
    connect(displayButton_, &QPushButton::clicked, this, [this] { presenter_.display(); });
    connect(exportButton_, &QPushButton::clicked, this, [this] { presenter_.exportDisplayed(); });
    connect(exitButton_, &QPushButton::clicked, this, [this] { presenter_.exitViewer(); });

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

void MainWindow::createFindBar() {
    findBar_ = new FindBar(this);
    findBar_->hide();
    const auto caption = [this](int id) { return Cp1252ToQString(find_.caption(id)); };
    findBar_->setCaptions(caption(message::kFindPlaceholder),
                          caption(message::kFindPreviousCommand),
                          caption(message::kFindNextCommand),
                          caption(message::kOnlyMatchingCommand), caption(message::kCloseFindBar));
    connect(findBar_->textBox(), &QLineEdit::textChanged, this,
            [this](const QString& text) { find_.textChanged(QStringToCp1252Exactly(text)); });
    connect(findBar_, &FindBar::nextRequested, this, [this] { find_.findNext(); });
    connect(findBar_, &FindBar::previousRequested, this, [this] { find_.findPrevious(); });
    connect(findBar_, &FindBar::closeRequested, this, [this] { find_.close(); });

    // Window-wide shortcuts, shown in the lists' context menus.
    const auto command = [this, &caption](int id, QKeySequence::StandardKey key) {
        return addWindowCommand(caption(id), key);
    };
    findActions_ = {command(message::kFindCommand, QKeySequence::Find),
                    command(message::kFindNextCommand, QKeySequence::FindNext),
                    command(message::kFindPreviousCommand, QKeySequence::FindPrevious),
                    new QAction(caption(message::kOnlyMatchingCommand), this)};
    // The find bar opens in place of a comparison.
    connect(findActions_[0], &QAction::triggered, this, [this] { compare_.openFind(); });
    connect(findActions_[1], &QAction::triggered, this, [this] { compare_.findNext(); });
    connect(findActions_[2], &QAction::triggered, this, [this] { compare_.findPrevious(); });
    QAction* onlyMatching = findActions_[3];
    onlyMatching->setCheckable(true);
    // The menu's toggle and the bar's check box show one state.
    connect(onlyMatching, &QAction::toggled, findBar_->onlyMatchingBox(), &QCheckBox::setChecked);
    connect(findBar_->onlyMatchingBox(), &QCheckBox::toggled, this, [this, onlyMatching](bool on) {
        onlyMatching->setChecked(on);
        compare_.setOnlyMatching(on);
    });
    addSnapshotCommands();
    for (int i = 0; i < kListCount; ++i) {
        addListCommands(i);
        addInspectorCommands(i);
        for (QAction* action : snapshotActions_) {
            listViews_[static_cast<std::size_t>(i)]->addAction(action);
        }
    }
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

void MainWindow::applyLayout() {
    const int outerWidth = qRound(width() * kTwipsPerInch / logicalDpiX()) + design::kFrameWidth;
    const int outerHeight =
        qRound((height() - statusLineHeight()) * kTwipsPerInch / logicalDpiY()) +
        design::kFrameHeight;
    presenter_.resized(outerWidth, outerHeight, isMinimized());
}

void MainWindow::placeControls(const FormLayout& layout) {
    // An open find bar takes the bottom of the tab control's room; the
    // buttons stay where they are.
    QRect tabs = pxRect(layout.tabs);
    if (QWidget* bar = openBar(); bar != nullptr) {
        const int barHeight = bar->sizeHint().height();
        tabs.setHeight(tabs.height() - barHeight);
        bar->setGeometry(tabs.left(), tabs.bottom() + 1, tabs.width(), barHeight);
    }
    tabs_->setGeometry(tabs);
    if (findBar_ != nullptr) {
        fitTabRow();
    }
    displayButton_->setGeometry(pxRect(layout.displayButton));
    exportButton_->setGeometry(pxRect(layout.exportButton));
    exitButton_->setGeometry(pxRect(layout.exitButton));

    const int clientHeight = pxY(layout.outerHeight - design::kFrameHeight);
    const int margin = pxX(design::kListView.left);
    // The problems mark, when shown, at the status line's right end.
    int statusWidth = width() - 2 * margin;
    if (problemsMark_ != nullptr && !problemsMark_->isHidden()) {
        const int markWidth = std::min(problemsMark_->sizeHint().width(), statusWidth / 2);
        statusWidth -= markWidth + 4;
        problemsMark_->setGeometry(margin + statusWidth + 4, clientHeight, markWidth,
                                   problemsMark_->sizeHint().height());
    }
    statusLine_->setGeometry(margin, clientHeight, statusWidth, statusLineHeight());
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
    const FormLayout& layout = presenter_.layout();
    place(machineLabel_, layout.machineLabel);
    place(addressBox_, layout.addressBox);
    place(nameLabel_, layout.nameLabel);
    place(nameBox_, layout.nameBox);
    for (QTableView* view : listViews_) {
        place(view, layout.listView);
    }
    // The boxes at the bottom of the pages give the find bar its room.
    const int shrink = openBar() != nullptr ? pxY(layout.tabs.height) - tabs_->height() : 0;
    const auto shorter = [this, shrink](TwipsRect rect) {
        rect.height -= qRound(shrink * kTwipsPerInch / logicalDpiY());
        return rect;
    };
    for (QPlainTextEdit* box : valueBoxes_) {
        place(box, shorter(layout.valueBox));
    }
    place(endTwBox_, shorter(layout.endTwBox));
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    applyLayout();
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // A restored window gets its layout back even when its size did not change
    // while it was minimised.
    if (event->type() == QEvent::WindowStateChange) {
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

std::string MainWindow::addressText() const {
    return QStringToCp1252(addressBox_->text());
}

std::string MainWindow::nameText() const {
    return QStringToCp1252(nameBox_->text());
}

void MainWindow::setAddressText(std::string_view text) {
    addressBox_->setText(Cp1252ToQString(text));
}

void MainWindow::setNameText(std::string_view text) {
    nameBox_->setText(Cp1252ToQString(text));
}

void MainWindow::cutNameText(std::size_t from, std::size_t count) {
    QString kept = nameBox_->text();
    kept.remove(static_cast<qsizetype>(from), static_cast<qsizetype>(count));
    nameBox_->setText(kept);
    nameBox_->setCursorPosition(static_cast<int>(from));
}

void MainWindow::selectTab(int tab) {
    tabs_->setCurrentIndex(tab);
}

void MainWindow::showValue(PageList list, std::string_view bytes) {
    ShowByteRuns(*valueBoxes_[static_cast<std::size_t>(list)], bytes);
}

void MainWindow::showEndTw(std::string_view text) {
    ShowByteRuns(*endTwBox_, text, LineBreaks::Kept);
}

void MainWindow::showStatus(std::string_view text) {
    const QString shown = Cp1252ToQStringWithLineBreaks(text);
    statusLine_->setPlainText(shown);
    statusLine_->setToolTip(shown);
}

QString MainWindow::statusText() const {
    return statusLine_->toPlainText();
}

void MainWindow::copyToClipboard(std::string_view text) {
    QApplication::clipboard()->setText(Cp1252TextToQString(text));
}

void MainWindow::beginListsReset() {
    for (auto& model : models_) {
        model->beginListReset();
    }
}

void MainWindow::endListsReset() {
    for (auto& model : models_) {
        model->endListReset();
    }
    applyColumnWidths();
    problems_.displayed();
}

void MainWindow::setBusy(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

std::unique_ptr<LocalisableForm> MainWindow::localisableForm() {
    return std::make_unique<QtLocalisableForm>(*this);
}

std::optional<std::filesystem::path> MainWindow::askSavePath(const SaveAsRequest& request) {
    const QString proposed =
        QDir(ToQString(request.folder)).filePath(Cp1252ToQString(request.fileName));
    const QString chosen =
        saveAsDialog_(Cp1252ToQString(request.title), proposed, Cp1252ToQString(request.filter));
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return ToPath(chosen);
}

std::optional<std::filesystem::path> MainWindow::askOpenPath(const SaveAsRequest& request) {
    const QString chosen = openDialog_(Cp1252ToQString(request.title), ToQString(request.folder),
                                       Cp1252ToQString(request.filter));
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return ToPath(chosen);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (DroppedSnapshot(event->mimeData())) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    if (const std::optional<QString> file = DroppedSnapshot(event->mimeData())) {
        event->acceptProposedAction();
        presenter_.openSnapshot(ToPath(*file));
    }
}

std::filesystem::path MainWindow::homeFolder() const {
    return ToPath(QDir::homePath());
}

void MainWindow::closeWindow() {
    close();
}

void MainWindow::showFindBar(bool shown) {
    findBar_->setVisible(shown);
    updateEscape();
    placeControls(presenter_.layout());
    if (shown) {
        findBar_->textBox()->setFocus(Qt::ShortcutFocusReason);
        findBar_->textBox()->selectAll();
        return;
    }
    for (const PageListInfo& info : kPageLists) {
        if (info.tab == tabs_->currentIndex()) {
            listViews_[static_cast<std::size_t>(info.list)]->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    tabs_->setFocus(Qt::OtherFocusReason);
}

void MainWindow::fitTabRow() {
    // Compact only when the captions with their counts would not fit: the
    // tabs keep their look wherever there is room.
    auto* style = static_cast<CompactTabStyle*>(tabStyle_);
    QTabBar* bar = tabs_->tabBar();
    const auto apply = [bar, style](bool compact) {
        style->setCompact(compact);
        QEvent styleChange(QEvent::StyleChange);
        QApplication::sendEvent(bar, &styleChange);
    };
    apply(false);
    if (openBar() != nullptr && bar->sizeHint().width() > tabs_->width()) {
        apply(true);
    }
}

void MainWindow::showFindStatus(std::string_view text) {
    findBar_->setStatus(Cp1252ToQString(text));
}

void MainWindow::setTabCaption(int tab, std::string_view caption) {
    tabs_->setTabText(tab, Cp1252ToQString(caption));
    fitTabRow();
}

int MainWindow::selectedTab() const {
    return tabs_->currentIndex();
}

std::optional<std::size_t> MainWindow::currentRow(PageList list) const {
    const QModelIndex current = listViews_[static_cast<std::size_t>(list)]->currentIndex();
    if (!current.isValid()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(current.row());
}

void MainWindow::selectRow(PageList list, std::size_t viewRow) {
    QTableView* view = listViews_[static_cast<std::size_t>(list)];
    const QModelIndex index = view->model()->index(static_cast<int>(viewRow), 0);
    view->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void MainWindow::beginMatchesChange() {
    for (std::size_t i = 0; i < kPageListCount; ++i) {
        mappedBeforeChange_[i] = models_[i]->rowMap() != nullptr;
        if (mappedBeforeChange_[i]) {
            models_[i]->beginListReset();
        }
    }
}

void MainWindow::endMatchesChange() {
    // A model is reset only when it shows other rows than before: a reset
    // forgets the view's selection and scroll position.
    for (std::size_t i = 0; i < kPageListCount; ++i) {
        const std::vector<std::uint32_t>* map = compare_.viewRowMap(kPageLists[i].list);
        if (!mappedBeforeChange_[i] && map != nullptr) {
            models_[i]->beginListReset();
        }
        if (mappedBeforeChange_[i] || map != nullptr) {
            models_[i]->setRowMap(map);
            models_[i]->endListReset();
        }
    }
    const std::string& needle = find_.highlighted();
    const auto searcher =
        needle.empty() ? nullptr : std::make_shared<const AnsiCaseSearcher>(needle);
    for (std::size_t i = 0; i < kPageListCount; ++i) {
        delegates_[i]->setHighlight(searcher);
        listViews_[i]->viewport()->update();
    }
    highlightEndTw(needle);
}

void MainWindow::highlightEndTw(const std::string& needle) {
    // The box shows marks for odd bytes, so the text is found in what it
    // shows; letters fold there as in Windows-1252.
    QList<QTextEdit::ExtraSelection> found;
    if (!needle.empty()) {
        const QString shown = Cp1252TextToQString(needle);
        QTextDocument* document = endTwBox_->document();
        for (QTextCursor at = document->find(shown); !at.isNull(); at = document->find(shown, at)) {
            QTextEdit::ExtraSelection mark;
            mark.cursor = at;
            mark.format.setBackground(ByteRunDelegate::highlightGround(
                false, endTwBox_->palette().color(QPalette::Base)));
            found.append(mark);
        }
    }
    endTwBox_->setExtraSelections(found);
}

void MainWindow::post(std::function<void()> task) {
    QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
}

void MainWindow::applyColumnWidths() {
    for (int i = 0; i < kListCount; ++i) {
        listViews_[static_cast<std::size_t>(i)]->horizontalHeader()->resizeSection(
            0, labelColumnWidth(i));
        applyFileColumnWidth(i);
        fitValueColumn(i);
    }
}

int MainWindow::labelColumnWidth(int list) const {
    const auto at = static_cast<std::size_t>(list);
    const FieldListModel& model = *models_[at];
    if (const auto fixed = presenter_.columnWidths(kPageLists[at].list).label) {
        return pxX(*fixed);
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
    int toRightEdge = view->viewport()->width() - header->sectionSize(0);
    if (models_[at]->fileColumnShown()) {
        toRightEdge -= header->sectionSize(FieldListModel::kFileColumn);
    }
    if (const int before = models_[at]->beforeColumn(); before >= 0) {
        // Beside it the older value; where both do not fit they scroll.
        toRightEdge =
            std::max(toRightEdge - header->sectionSize(before), header->sectionSize(before));
    }
    const auto fixed = presenter_.columnWidths(kPageLists[at].list).value;
    const int width = std::max(fixed ? pxX(*fixed) : 0, toRightEdge);
    header->resizeSection(1, std::max(width, header->minimumSectionSize()));
}

void MainWindow::addListCommands(int list) {
    QTableView* view = listViews_[static_cast<std::size_t>(list)];
    const auto command = [view](const std::string& caption, QKeySequence::StandardKey key) {
        auto* action = new QAction(Cp1252ToQString(caption), view);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        action->setShortcutVisibleInContextMenu(true);
        view->addAction(action);
        return action;
    };
    connect(command(presenter_.copyRowsCaption(), QKeySequence::Copy), &QAction::triggered, this,
            [this, list] { copySelectedRows(list); });
    connect(command(presenter_.selectAllCaption(), QKeySequence::SelectAll), &QAction::triggered,
            view, &QTableView::selectAll);
    auto* separator = new QAction(view);
    separator->setSeparator(true);
    view->addAction(separator);
    for (QAction* action : findActions_) {
        view->addAction(action);
    }
    view->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void MainWindow::copySelectedRows(int list) {
    // The selection's ranges, not its rows: a select-all over millions of
    // rows is one range.
    std::vector<RowRange> ranges;
    for (const QItemSelectionRange& range :
         listViews_[static_cast<std::size_t>(list)]->selectionModel()->selection()) {
        ranges.push_back(
            {static_cast<std::size_t>(range.top()), static_cast<std::size_t>(range.bottom())});
    }
    compare_.copyRows(kPageLists[static_cast<std::size_t>(list)].list, ranges);
}

void MainWindow::addInspectorCommands(int list) {
    if (inspectAction_ == nullptr) {
        // One action each, shared by the lists' menus and bound to the whole
        // window: Ctrl+I works from any tab, the buttons and boxes included.
        const auto windowCommand = [this](const std::string& caption, const QKeySequence& key) {
            return addWindowCommand(Cp1252ToQString(caption), key);
        };
        inspectAction_ =
            windowCommand(presenter_.inspectCaption(), QKeySequence(Qt::CTRL | Qt::Key_I));
        connect(inspectAction_, &QAction::triggered, this, [this] { inspectCurrent(); });
        fileColumnAction_ = windowCommand(presenter_.showFileColumnCaption(),
                                          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L));
        fileColumnAction_->setCheckable(true);
        connect(fileColumnAction_, &QAction::triggered, this,
                [this](bool checked) { presenter_.setFileColumnShown(checked); });
        // Esc closes the find bar or the inspector, from the main window,
        // where the focus stays while the inspector follows the rows, and from
        // the inspector itself (a tool window gets its owner's window
        // shortcuts); only while one is open, so that Esc means nothing new
        // otherwise. One action for both: two Esc shortcuts in one window
        // would be ambiguous, and Qt would fire neither.
        escapeAction_ = windowCommand({}, QKeySequence(Qt::Key_Escape));
        escapeAction_->setEnabled(false);
        connect(escapeAction_, &QAction::triggered, this, [this] { escapePressed(); });
    }
    const auto at = static_cast<std::size_t>(list);
    QTableView* view = listViews_[at];
    auto* separator = new QAction(view);
    separator->setSeparator(true);
    view->addAction(separator);
    view->addAction(inspectAction_);
    const PageList which = kPageLists[at].list;
    if (ListHasFileColumn(which)) {
        view->addAction(fileColumnAction_);
        models_[at]->setFileColumn(
            Cp1252ToQString(presenter_.fileColumnCaption()),
            [this, which](const ComparedRow& row) { return compare_.fileColumnText(which, row); });
    }
}

QAction* MainWindow::addWindowCommand(const QString& caption, const QKeySequence& key) {
    auto* action = new QAction(caption, this);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    action->setShortcutVisibleInContextMenu(true);
    addAction(action);
    return action;
}

void MainWindow::addSnapshotCommands() {
    const auto windowCommand = [this](const std::string& caption, QKeySequence::StandardKey key) {
        return addWindowCommand(Cp1252ToQString(caption), key);
    };
    snapshotActions_ = {windowCommand(presenter_.saveSnapshotCaption(), QKeySequence::Save),
                        windowCommand(presenter_.openSnapshotCaption(), QKeySequence::Open)};
    connect(snapshotActions_[0], &QAction::triggered, this, [this] { presenter_.saveSnapshot(); });
    connect(snapshotActions_[1], &QAction::triggered, this,
            [this] { presenter_.openSnapshotAsked(); });
}

void MainWindow::inspectCurrent() {
    const int tab = tabs_->currentIndex();
    std::optional<std::size_t> row;
    for (std::size_t i = 0; i < listViews_.size(); ++i) {
        if (kPageLists[i].tab == tab && listViews_[i]->currentIndex().isValid()) {
            row = compare_.listRowOf(kPageLists[i].list,
                                     static_cast<std::size_t>(listViews_[i]->currentIndex().row()));
        }
    }
    presenter_.inspect(tab, row);
}

void MainWindow::showTitle(std::string_view text) {
    setWindowTitle(Cp1252ToQString(text));
}

void MainWindow::showInspection(std::string_view text) {
    if (inspector_ == nullptr) {
        inspector_ = new InspectorWindow(
            this, [this] { presenter_.copyInspection(); },
            [this] {
                presenter_.inspectorClosed();
                updateEscape();
            });
        inspector_->setCaptions(Cp1252ToQString(presenter_.inspectorTitle()),
                                Cp1252ToQString(presenter_.copyRowsCaption()));
        // While it is open it follows the tab shown.
        connect(tabs_, &QTabWidget::currentChanged, this, [this] {
            if (inspector_->isVisible()) {
                inspectCurrent();
            }
        });
    }
    inspector_->showInspection(text);
    updateEscape();
}

bool MainWindow::inspectorShown() const {
    return inspector_ != nullptr && inspector_->isVisible();
}

void MainWindow::updateEscape() {
    escapeAction_->setEnabled(findBar_->isVisible() || compareBar_->isVisible() ||
                              inspectorShown() ||
                              (problemsPane_ != nullptr && problemsPane_->isVisible()));
}

void MainWindow::escapePressed() {
    const bool paneShown = problemsPane_->isVisible();
    const EscapeState state{
        .findBarShown = findBar_->isVisible(),
        .inFindBar = findBar_->isAncestorOf(QApplication::focusWidget()),
        .compareBarShown = compareBar_->isVisible(),
        .inCompareBar = compareBar_->isAncestorOf(QApplication::focusWidget()),
        .inspectorShown = inspectorShown(),
        .inInspector = inspectorShown() && inspector_->isActiveWindow(),
        .problemsPaneShown = paneShown,
        .inProblemsPane = paneShown && problemsPane_->isActiveWindow(),
    };
    switch (WhatEscapeCloses(state)) {
        case EscapeCloses::FindBar:
            find_.close();
            break;
        case EscapeCloses::CompareBar:
            compare_.close();
            break;
        case EscapeCloses::Inspector:
            inspector_->close();
            break;
        case EscapeCloses::ProblemsPane:
            problems_.close();
            break;
        case EscapeCloses::Nothing:
            break;
    }
}

void MainWindow::createProblems() {
    problemsMark_ = new ProblemsMark(this);
    connect(problemsMark_, &QAbstractButton::clicked, this, [this] { problems_.toggle(); });
    problemsPane_ = new ProblemsPane(this, problems_, [this] {
        problems_.close();
        updateEscape();
    });
    problemsPane_->hide();
    problemsAction_ = addWindowCommand(Cp1252ToQString(problems_.commandCaption()),
                                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    connect(problemsAction_, &QAction::triggered, this, [this] { problems_.toggle(); });
    for (QTableView* view : listViews_) {
        view->addAction(problemsAction_);
    }
}

void MainWindow::showProblemsMark(std::optional<Severity> severity, std::string_view text) {
    problemsMark_->showMark(severity, Cp1252ToQString(text));
    applyLayout();
}

void MainWindow::showProblemsPane(bool shown) {
    if (shown) {
        problemsPane_->open();
    } else if (problemsPane_->isVisible()) {
        problemsPane_->hide();
        activateWindow();
    }
    updateEscape();
}

void MainWindow::problemsChanged() {
    // The pane's own sorting calls back while the pane is being made.
    if (problemsPane_ != nullptr) {
        problemsPane_->reload();
    }
}

void MainWindow::showListRow(PageList list, std::size_t row) {
    selectTab(InfoOf(list).tab);
    // Under a row map (only matching rows, a comparison) the list's row has
    // another place in the view, or none: then the tab alone is shown.
    const std::optional<std::size_t> viewRow = compare_.viewRowOf(list, row);
    if (!viewRow) {
        return;
    }
    selectRow(list, *viewRow);
    activateWindow();
    listViews_[static_cast<std::size_t>(list)]->setFocus(Qt::OtherFocusReason);
}

void MainWindow::showFileColumn(bool shown) {
    const QSignalBlocker blocker(fileColumnAction_);
    fileColumnAction_->setChecked(shown);
    for (int i = 0; i < kListCount; ++i) {
        FieldListModel& model = *models_[static_cast<std::size_t>(i)];
        if (model.fileColumnShown() == shown ||
            !ListHasFileColumn(kPageLists[static_cast<std::size_t>(i)].list)) {
            continue;
        }
        model.showFileColumn(shown);
        QTableView* view = listViews_[static_cast<std::size_t>(i)];
        QHeaderView* header = view->horizontalHeader();
        if (shown) {
            // The file first: it groups the rows as the entry headings do.
            header->moveSection(header->visualIndex(FieldListModel::kFileColumn), 0);
            // The rows selected before keep their whole width selected.
            QItemSelectionModel* selection = view->selectionModel();
            selection->select(selection->selection(),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        applyFileColumnWidth(i);
        fitValueColumn(i);
    }
}

void MainWindow::applyFileColumnWidth(int list) {
    const auto at = static_cast<std::size_t>(list);
    if (!models_[at]->fileColumnShown()) {
        return;
    }
    QTableView* view = listViews_[at];
    QHeaderView* header = view->horizontalHeader();
    // FicIDs are fixed-width and drawn in the value font; a ZC row adds " #"
    // and its entry, three digits in any model seen (a longer one is elided
    // and the column can be widened).
    const QFontMetrics fixed(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    const int characters = kPageLists[at].list == PageList::ZC ? 15 : 10;
    const int margin = 2 * view->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const int cells = fixed.horizontalAdvance(QString(characters, QLatin1Char('0'))) + margin + 8;
    const int heading =
        header->fontMetrics().horizontalAdvance(
            models_[at]
                ->headerData(FieldListModel::kFileColumn, Qt::Horizontal, Qt::DisplayRole)
                .toString()) +
        margin + 8;
    header->resizeSection(FieldListModel::kFileColumn, std::max(cells, heading));
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

// The main window's side of the comparison and the refresh: the compare bar,
// its commands, the marks' binding and the refresh timer (CompareView).

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFontDatabase>
#include <QHeaderView>
#include <QInputDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

#include "twds/ByteRunDelegate.h"
#include "twds/CompareBar.h"
#include "twds/Cp1252.h"
#include "twds/FindBar.h"
#include "twds/MainWindow.h"
#include "twds/Snapshot.h"
#include "twds/Trim.h"

namespace twds {

void MainWindow::createCompareBar() {
    compareBar_ = new CompareBar(this);
    compareBar_->hide();
    const auto caption = [this](int id) { return Cp1252ToQString(compare_.caption(id)); };
    compareBar_->setCaptions(caption(message::kCompareTargetPlaceholder),
                             caption(message::kCompareBrowse), caption(message::kCompareButton),
                             caption(message::kOnlyDifferencesCommand),
                             caption(message::kCloseCompareBar));
    connect(compareBar_, &CompareBar::compareRequested, this, [this] { compare_.compare(); });
    connect(compareBar_, &CompareBar::browseRequested, this, [this] { compare_.browse(); });
    connect(compareBar_, &CompareBar::closeRequested, this, [this] { compare_.close(); });

    refreshTimer_ = new QTimer(this);
    connect(refreshTimer_, &QTimer::timeout, this, [this] { compare_.timerFired(); });
    textQuestion_ = [this, ok = caption(message::kQuestionOk),
                     cancel = caption(message::kQuestionCancel)](
                        const QString& title, const QString& prompt) -> std::optional<QString> {
        // The buttons in the user's language: Qt's own would be English.
        QInputDialog question(this);
        question.setWindowTitle(title);
        question.setLabelText(prompt);
        question.setOkButtonText(ok);
        question.setCancelButtonText(cancel);
        if (question.exec() != QDialog::Accepted) {
            return std::nullopt;
        }
        return question.textValue();
    };

    const auto command = [this, &caption](int id, const QKeySequence& key) {
        return addWindowCommand(caption(id), key);
    };
    compareActions_ = {
        command(message::kCompareCommand, QKeySequence(Qt::CTRL | Qt::Key_D)),
        command(message::kNextDifferenceCommand, QKeySequence(Qt::Key_F7)),
        command(message::kPreviousDifferenceCommand, QKeySequence(Qt::SHIFT | Qt::Key_F7)),
        new QAction(caption(message::kOnlyDifferencesCommand), this),
        command(message::kRefreshCommand, QKeySequence(Qt::Key_F5)),
        new QAction(caption(message::kAutoRefreshCommand), this)};
    connect(compareActions_[0], &QAction::triggered, this, [this] { compare_.open(); });
    connect(compareActions_[1], &QAction::triggered, this, [this] { compare_.nextDifference(); });
    connect(compareActions_[2], &QAction::triggered, this,
            [this] { compare_.previousDifference(); });
    QAction* onlyDifferences = compareActions_[3];
    onlyDifferences->setCheckable(true);
    connect(onlyDifferences, &QAction::triggered, this,
            [this](bool on) { compare_.setOnlyDifferences(on); });
    connect(compareBar_->onlyDifferencesBox(), &QCheckBox::toggled, this,
            [this](bool on) { compare_.setOnlyDifferences(on); });
    connect(compareActions_[4], &QAction::triggered, this, [this] { compare_.refresh(); });
    QAction* autoRefresh = compareActions_[5];
    autoRefresh->setCheckable(true);
    connect(autoRefresh, &QAction::triggered, this, [this, autoRefresh] {
        compare_.autoRefreshCommand();
        autoRefresh->setChecked(compare_.autoRefreshSeconds() > 0);
    });
    for (QTableView* view : listViews_) {
        auto* separator = new QAction(view);
        separator->setSeparator(true);
        view->addAction(separator);
        for (QAction* action : compareActions_) {
            view->addAction(action);
        }
    }
}

QWidget* MainWindow::openBar() const {
    if (findBar_ != nullptr && !findBar_->isHidden()) {
        return findBar_;
    }
    if (compareBar_ != nullptr && !compareBar_->isHidden()) {
        return compareBar_;
    }
    return nullptr;
}

void MainWindow::showCompareBar(bool shown, bool takeFocus) {
    compareBar_->setVisible(shown);
    updateEscape();
    placeControls(presenter_.layout());
    if (shown && !takeFocus) {
        return;
    }
    if (shown) {
        compareBar_->targetBox()->setFocus(Qt::ShortcutFocusReason);
        compareBar_->targetBox()->selectAll();
        return;
    }
    const int tab = tabs_->currentIndex();
    for (const PageListInfo& info : kPageLists) {
        if (info.tab == tab) {
            listViews_[static_cast<std::size_t>(info.list)]->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    tabs_->setFocus(Qt::OtherFocusReason);
}

std::string MainWindow::compareTarget() const {
    const QString text = compareBar_->targetBox()->text();
    // A path is the file system's bytes; an address and name are the engine's.
    if (IsSnapshotPath(QStringToCp1252(text.trimmed()))) {
        return QFile::encodeName(text).toStdString();
    }
    return QStringToCp1252(text);
}

void MainWindow::setCompareTarget(std::string_view text) {
    const QString shown = IsSnapshotPath(TrimEnd(text))
                              ? QFile::decodeName(QByteArray(text.data(), qsizetype(text.size())))
                              : Cp1252ToQString(text);
    if (compareBar_->targetBox()->text() != shown) {
        compareBar_->targetBox()->setText(shown);
    }
}

void MainWindow::showCompareStatus(std::string_view described, std::string_view count) {
    compareBar_->setStatus(Cp1252ToQString(described), Cp1252ToQString(count));
}

void MainWindow::setOnlyDifferencesChecked(bool on) {
    const QSignalBlocker blockBox(compareBar_->onlyDifferencesBox());
    const QSignalBlocker blockAction(compareActions_[3]);
    compareBar_->onlyDifferencesBox()->setChecked(on);
    compareActions_[3]->setChecked(on);
}

int MainWindow::scrollPosition(PageList list) const {
    return listViews_[static_cast<std::size_t>(list)]->verticalScrollBar()->value();
}

void MainWindow::setScrollPosition(PageList list, int position) {
    listViews_[static_cast<std::size_t>(list)]->verticalScrollBar()->setValue(position);
}

void MainWindow::beginMarksChange() {
    for (auto& model : models_) {
        model->beginListReset();
    }
}

void MainWindow::endMarksChange() {
    const QString before = Cp1252ToQString(compare_.caption(message::kBeforeColumn));
    for (std::size_t i = 0; i < kPageListCount; ++i) {
        const PageList list = kPageLists[i].list;
        FieldListModel& model = *models_[i];
        model.setRowMap(compare_.viewRowMap(list));
        if (compare_.comparing()) {
            model.setComparison(before, [this, list](std::uint32_t entry) {
                return compare_.comparedRow(list, entry);
            });
        } else {
            model.setComparison({}, {});
        }
        model.endListReset();
        QHeaderView* header = listViews_[i]->horizontalHeader();
        if (model.fileColumnShown() && header->visualIndex(FieldListModel::kFileColumn) != 0) {
            header->moveSection(header->visualIndex(FieldListModel::kFileColumn), 0);
        }
        if (const int column = model.beforeColumn(); column >= 0) {
            // Room for a ten-digit value; longer ones scroll.
            const QFontMetrics fixed(QFontDatabase::systemFont(QFontDatabase::FixedFont));
            header->resizeSection(column,
                                  std::max(fixed.horizontalAdvance(QString(12, QLatin1Char('0'))),
                                           header->fontMetrics().horizontalAdvance(before)) +
                                      16);
        }
    }
    applyColumnWidths();
    markEndTw();
}

void MainWindow::markEndTw() {
    const std::optional<RowDifference::Mark> mark = compare_.endTwMark();
    QPalette palette = endTwBox_->palette();
    // The box says "differs", whichever way: the changed rows' tint.
    const std::optional<Tint> tint = mark ? MarkTint('~') : std::nullopt;
    palette.setColor(QPalette::Base, tint ? QColor(tint->red, tint->green, tint->blue)
                                          : QApplication::palette(endTwBox_).color(QPalette::Base));
    endTwBox_->setPalette(palette);
    if (!mark) {
        endTwBox_->setToolTip({});
        return;
    }
    // A tooltip breaks lines at LF alone.
    QString before = Cp1252TextToQString(compare_.endTwBefore());
    before.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    endTwBox_->setToolTip(Cp1252ToQString(compare_.endTwHeading()) + QLatin1Char('\n') + before);
}

std::optional<std::string> MainWindow::askText(std::string_view title, std::string_view prompt) {
    const std::optional<QString> answer =
        textQuestion_(Cp1252ToQString(title), Cp1252ToQString(prompt));
    if (!answer) {
        return std::nullopt;
    }
    return QStringToCp1252(*answer);
}

void MainWindow::setRefreshTimer(int seconds) {
    if (seconds <= 0) {
        refreshTimer_->stop();
    } else {
        refreshTimer_->start(seconds * 1000);
    }
    const QSignalBlocker block(compareActions_[5]);
    compareActions_[5]->setChecked(seconds > 0);
}

void MainWindow::flushStatus() {
    statusLine_->repaint();
}

}  // namespace twds

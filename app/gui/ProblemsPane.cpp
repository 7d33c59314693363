#include "twds/ProblemsPane.h"

#include <algorithm>
#include <utility>

#include <QCloseEvent>
#include <QHeaderView>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>

#include "twds/Cp1252.h"
#include "twds/ProblemsPresenter.h"

namespace twds {

ProblemsModel::ProblemsModel(ProblemsPresenter& presenter, QObject* parent)
    : QAbstractTableModel(parent), presenter_(presenter) {}

int ProblemsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(presenter_.lineCount());
}

int ProblemsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ProblemsPresenter::kColumnCount;
}

QVariant ProblemsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) {
        return {};
    }
    if (role == Qt::ToolTipRole && index.column() != ProblemsPresenter::kMessage) {
        return {};
    }
    return Cp1252ToQString(
        presenter_.cellText(static_cast<std::size_t>(index.row()), index.column()));
}

QVariant ProblemsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return Cp1252ToQString(presenter_.columnCaption(section));
}

void ProblemsModel::sort(int column, Qt::SortOrder order) {
    presenter_.sortBy(column, order == Qt::AscendingOrder);
}

void ProblemsModel::reload() {
    beginResetModel();
    endResetModel();
}

ProblemsPane::ProblemsPane(QWidget* parent, ProblemsPresenter& presenter,
                           std::function<void()> closed)
    : QWidget(parent, Qt::Tool), closed_(std::move(closed)) {
    setObjectName(QStringLiteral("problemsPane"));
    setWindowTitle(Cp1252ToQString(presenter.title()));
    model_ = new ProblemsModel(presenter, this);
    view_ = new QTableView(this);
    view_->setObjectName(QStringLiteral("problemsView"));
    view_->setModel(model_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setWordWrap(false);
    view_->verticalHeader()->hide();
    view_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    view_->horizontalHeader()->setStretchLastSection(true);
    // The Display's order until a heading is clicked.
    view_->horizontalHeader()->setSortIndicatorShown(true);
    view_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    view_->setSortingEnabled(true);
    connect(view_, &QTableView::activated, this, [&presenter](const QModelIndex& index) {
        presenter.activate(static_cast<std::size_t>(index.row()));
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(view_);
    const QFontMetrics metrics = fontMetrics();
    resize(metrics.averageCharWidth() * 150, metrics.lineSpacing() * 12);
}

void ProblemsPane::open() {
    if (!placed_) {
        placed_ = true;
        const QWidget* owner = parentWidget();
        const QRect frame = owner->frameGeometry();
        QPoint at(frame.left(), frame.bottom() + 1);
        if (const QScreen* screen = owner->screen(); screen != nullptr) {
            const QRect room = screen->availableGeometry();
            at.setY(std::min(at.y(), room.bottom() - height()));
            at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - width())));
        }
        move(at);
    }
    view_->resizeColumnsToContents();
    view_->horizontalHeader()->setStretchLastSection(true);
    show();
    raise();
    activateWindow();
    view_->setFocus(Qt::ShortcutFocusReason);
    if (!view_->currentIndex().isValid() && model_->rowCount() > 0) {
        view_->setCurrentIndex(model_->index(0, 0));
    }
}

void ProblemsPane::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    closed_();
}

}  // namespace twds

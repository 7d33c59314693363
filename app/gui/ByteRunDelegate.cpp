#include "twds/ByteRunDelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include "twds/ByteRunPainter.h"
#include "twds/ByteRunText.h"
#include "twds/FieldListModel.h"

namespace twds {

namespace {

QStyle* StyleOf(const QWidget* widget) {
    return widget != nullptr ? widget->style() : QApplication::style();
}

// The margin Qt's own item drawing leaves on each side of a cell's text.
int TextMargin(const QWidget* widget) {
    return StyleOf(widget)->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
}

std::string_view View(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

QByteArray CellBytes(const QModelIndex& index) {
    return index.data(FieldListModel::kBytesRole).toByteArray();
}

constexpr int kSelectedDarker = 160;  // per cent

QPalette::ColorGroup GroupOf(const QStyleOptionViewItem& option) {
    if (!option.state.testFlag(QStyle::State_Enabled)) {
        return QPalette::Disabled;
    }
    return option.state.testFlag(QStyle::State_Active) ? QPalette::Normal : QPalette::Inactive;
}

}  // namespace

QRect ByteRunDelegate::textRect(const QStyleOptionViewItem& cellOption) {
    const QWidget* widget = cellOption.widget;
    const int margin = TextMargin(widget);
    return StyleOf(widget)
        ->subElementRect(QStyle::SE_ItemViewItemText, &cellOption, widget)
        .adjusted(margin, 0, -margin, 0);
}

int ByteRunDelegate::cellWidth(std::string_view bytes, TrailingBlanks blanks, const QFont& font,
                               const QWidget* widget) {
    return ByteRunPainter(font).width(bytes, blanks) + 2 * TextMargin(widget);
}

void ByteRunDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    // The style draws the ground, selection and focus; the bytes are ours.
    cell.text.clear();
    StyleOf(cell.widget)->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget);

    const bool selected = cell.state.testFlag(QStyle::State_Selected);
    const QPalette::ColorGroup group = GroupOf(cell);
    const QColor text =
        cell.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
    const QColor base = cell.palette.color(group, selected ? QPalette::Highlight : QPalette::Base);
    const QByteArray bytes = CellBytes(index);
    ByteHighlight found;
    if (highlight_ != nullptr && highlight_->size() > 0) {
        found.starts = highlight_->findAll(View(bytes));
        found.length = highlight_->size();
        found.ground = highlightGround(selected, base);
    }
    ByteRunPainter(cell.font).paint(*painter, textRect(cell), View(bytes),
                                    blanksOfColumn(index.column()), text, base, found);
}

QColor ByteRunDelegate::highlightGround(bool selected, const QColor& base) {
    if (selected) {
        // The selection's ground darker: its light text stays legible.
        return base.darker(kSelectedDarker);
    }
    // A marker's yellow, under dark text.
    return {255, 214, 64};
}

QSize ByteRunDelegate::sizeHint(const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QSize base = QStyledItemDelegate::sizeHint(option, index);
    return {
        cellWidth(View(CellBytes(index)), blanksOfColumn(index.column()), cell.font, cell.widget),
        base.height()};
}

bool ByteRunDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event == nullptr || view == nullptr || event->type() != QEvent::ToolTip ||
        !index.isValid()) {
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    }
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QByteArray bytes = CellBytes(index);
    const TrailingBlanks blanks = blanksOfColumn(index.column());
    if (ByteRunPainter(cell.font).width(View(bytes), blanks) <= textRect(cell).width()) {
        QToolTip::hideText();  // shown whole already
        return true;
    }
    const QPalette tipPalette = QToolTip::palette();
    QToolTip::showText(
        event->globalPos(),
        ByteRunsToolTip(View(bytes), blanks, cell.font, tipPalette.color(QPalette::ToolTipText),
                        tipPalette.color(QPalette::ToolTipBase), kToolTipMaxBytes),
        view->viewport(), option.rect);
    return true;
}

}  // namespace twds

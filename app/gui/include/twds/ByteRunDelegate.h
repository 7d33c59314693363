#pragma once

#include <memory>

#include <QStyledItemDelegate>

#include "twds/ByteRuns.h"
#include "twds/TextSearch.h"

namespace twds {

class ByteRunPainter;

// Draws the cells of a page list with ByteRunPainter, so that control bytes,
// undefined bytes and a value's trailing blanks can be seen, and shows a
// label or value cut by its column whole in a tooltip.
//
// Cells are drawn from the bytes the model gives for FieldListModel::kBytesRole,
// only when they are painted: nothing is kept per row. Column 1 holds values
// (their trailing blanks are marked), column 0 labels. Where a cell holds the
// find bar's text, its first occurrence is drawn on a highlight ground.
class ByteRunDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    // A tooltip shows at most this many bytes of a value: an SQL statement
    // may hold 30000, more than a screen; the value box shows it whole.
    static constexpr qsizetype kToolTipMaxBytes = 4096;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

    // The room the cell's text has inside `cellOption`'s rectangle.
    [[nodiscard]] static QRect textRect(const QStyleOptionViewItem& cellOption);
    // The width a cell needs to show `bytes` whole in `font`: the text and
    // the margins the style leaves around it.
    [[nodiscard]] static int cellWidth(std::string_view bytes, TrailingBlanks blanks,
                                       const QFont& font, const QWidget* widget);

    // The text to highlight; nothing for none.
    void setHighlight(std::shared_ptr<const AnsiCaseSearcher> searcher) {
        highlight_ = std::move(searcher);
    }
    // The ground of the highlighted bytes, in a selected row or not.
    [[nodiscard]] static QColor highlightGround(bool selected, const QColor& base);

    [[nodiscard]] static TrailingBlanks blanksOfColumn(int column) {
        return column == 1 ? TrailingBlanks::Marked : TrailingBlanks::AsText;
    }

private:
    std::shared_ptr<const AnsiCaseSearcher> highlight_;
};

}  // namespace twds

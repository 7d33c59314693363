#include "twds/FieldListModel.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <utility>

#include <QBrush>
#include <QColor>

#include "twds/Cp1252.h"

namespace twds {

namespace {

// Qt's models count rows in int; a list beyond that shows its first INT_MAX
// rows (it would not fit in memory long before).
int ClampedRowCount(const FieldList& list) {
    return static_cast<int>(std::min<std::size_t>(list.rowCount(), INT_MAX));
}

// A row's ground by its mark: light tints that keep the text readable, the
// mark's character saying the same for whoever does not see the colour.
QVariant MarkGround(char mark) {
    const std::optional<Tint> tint = MarkTint(mark);
    if (!tint) {
        return {};
    }
    return QBrush(QColor(tint->red, tint->green, tint->blue));
}

}  // namespace

FieldListModel::FieldListModel(const FieldList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list), rows_(ClampedRowCount(list)) {}

int FieldListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int FieldListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns + (fileShown_ ? 1 : 0) + (compared_ ? 1 : 0);
}

QVariant FieldListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    // Outside a comparison every row is the list's own.
    ComparedRow shown{0, &list_, listRow(index.row()), {}};
    if (compared_) {
        const std::uint32_t entry = map_ != nullptr ? (*map_)[static_cast<std::size_t>(index.row())]
                                                    : static_cast<std::uint32_t>(index.row());
        shown = compared_(entry);
    }
    if (shown.row >= shown.list->rowCount()) {
        return {};  // asked between a list change and endListReset()
    }
    if (role == Qt::BackgroundRole) {
        return MarkGround(shown.mark);
    }
    std::string file;
    std::string_view bytes;
    if (index.column() == 0) {
        bytes = shown.list->text(shown.row);
        if (shown.mark != 0) {
            // The mark before the label, where it is always in view.
            file = std::string(1, shown.mark) + " ";
            file += bytes;
            bytes = file;
        }
    } else if (index.column() == 1) {
        // A removed row has no value in the Display shown: its own is "before".
        bytes = shown.mark == '-' ? std::string_view() : shown.list->value(shown.row);
    } else if (index.column() == beforeColumn()) {
        bytes = shown.before;
    } else if (fileText_) {
        file = fileText_(shown);
        bytes = file;
    }
    switch (role) {
        case Qt::DisplayRole:
            return Cp1252ToQString(bytes);
        case kBytesRole:
            return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
        case Qt::FontRole:
            return index.column() == 0 ? QVariant() : QVariant(valueFont_);
        case Qt::ToolTipRole:
            return index.column() == beforeColumn() && !shown.before.empty()
                       ? Cp1252ToQString(bytes)
                       : QVariant();
        default:
            return {};
    }
}

QVariant FieldListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount()) {
        return {};
    }
    if (section == beforeColumn()) {
        return beforeCaption_;
    }
    if (section == kFileColumn) {
        return fileCaption_;
    }
    if (section >= list_.columnCount()) {
        return QString();
    }
    return Cp1252ToQString(list_.column(section).caption);
}

Qt::ItemFlags FieldListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    // No Qt::ItemIsEditable: the rows' labels and values cannot be changed.
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void FieldListModel::beginListReset() {
    beginResetModel();
}

void FieldListModel::endListReset() {
    map_ = pendingMap_;
    rows_ = map_ != nullptr ? static_cast<int>(std::min<std::size_t>(map_->size(), INT_MAX))
                            : ClampedRowCount(list_);
    endResetModel();
}

std::size_t FieldListModel::listRow(int row) const {
    if (map_ == nullptr) {
        return static_cast<std::size_t>(row);
    }
    return row >= 0 && static_cast<std::size_t>(row) < map_->size()
               ? (*map_)[static_cast<std::size_t>(row)]
               : list_.rowCount();
}

int FieldListModel::columnWidthTwips(int column) const {
    if (column >= 0 && column < list_.columnCount()) {
        return list_.column(column).widthTwips;
    }
    return kDefaultColumnWidthTwips;
}

std::string_view FieldListModel::value(int row) const {
    if (row < 0 || row >= rows_ || listRow(row) >= list_.rowCount()) {
        return {};
    }
    return list_.value(listRow(row));
}

void FieldListModel::setFileColumn(QString caption, RowText text) {
    fileCaption_ = std::move(caption);
    fileText_ = std::move(text);
}

void FieldListModel::setComparison(QString caption, CompareRow compared) {
    beforeCaption_ = std::move(caption);
    compared_ = std::move(compared);
}

void FieldListModel::showFileColumn(bool shown) {
    if (shown == fileShown_ || (shown && !fileText_)) {
        return;
    }
    if (shown) {
        beginInsertColumns(QModelIndex(), kFileColumn, kFileColumn);
        fileShown_ = true;
        endInsertColumns();
    } else {
        beginRemoveColumns(QModelIndex(), kFileColumn, kFileColumn);
        fileShown_ = false;
        endRemoveColumns();
    }
}

}  // namespace twds

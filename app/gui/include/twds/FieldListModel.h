#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <QAbstractTableModel>
#include <QFont>

#include "twds/ComparePresenter.h"
#include "twds/FieldList.h"

namespace twds {

// A two-column, read-only table over one page list: column 0 the row's label,
// column 1 its value (and, when shown, column 2 the row's file), all drawn from the list's bytes on
// demand, so the model holds nothing per row. Headings are the list's column captions; until a
// decoder has added the columns the heading row is there but blank.
//
// It may show only some of the list's rows, through a row map (model row to
// list row) that the find bar's presenter owns; without one, model rows are
// list rows and nothing is looked up.
//
// The list changes without notifying the model (the Display command fills it
// directly): whoever changes it brackets the change with beginListReset() and
// endListReset(). The list must outlive the model.
class FieldListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kColumns = 2;
    // The optional third column: the file each row belongs to.
    static constexpr int kFileColumn = 2;
    // A row's file column cell: a list row of the list shown, or a compared
    // row (which may be the other Display's).
    using RowText = std::function<std::string(const ComparedRow& row)>;
    // How the row a map entry names stands in a comparison (ComparePresenter).
    using CompareRow = std::function<ComparedRow(std::uint32_t entry)>;
    // The cell's bytes as received (a QByteArray), for drawing them as the
    // window shows them (ByteRunDelegate).
    static constexpr int kBytesRole = Qt::UserRole;
    // Width of a column the list has not defined yet, in twips.
    static constexpr int kDefaultColumnWidthTwips = 2500;

    explicit FieldListModel(const FieldList& list, QObject* parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;

    void beginListReset();
    void endListReset();
    // Shows only the list rows `map` names (nothing: every row), from the
    // next endListReset on; call it between the two. The map must stay
    // unchanged until the next beginListReset.
    void setRowMap(const std::vector<std::uint32_t>* map) { pendingMap_ = map; }
    [[nodiscard]] const std::vector<std::uint32_t>* rowMap() const { return map_; }
    // The list row a model row shows (past the list's end for a row past
    // the model's).
    [[nodiscard]] std::size_t listRow(int row) const;

    // The list's width for a column, in twips.
    [[nodiscard]] int columnWidthTwips(int column) const;
    // The value of a model row (bytes as received); empty for a row out of range.
    [[nodiscard]] std::string_view value(int row) const;

    [[nodiscard]] const FieldList& list() const { return list_; }

    // Gives the model its file column, hidden until showFileColumn(true):
    // its heading, and its cells' bytes asked row by row as they are drawn.
    void setFileColumn(QString caption, RowText text);
    void showFileColumn(bool shown);
    [[nodiscard]] bool fileColumnShown() const { return fileShown_; }

    // While comparing, a differing row's label starts with its mark ("~ ",
    // "+ ", "- ") and its ground is tinted by it, a last column (heading
    // `caption`) shows its older value, and a row map may name the older
    // Display's rows; no function, no column. Call it
    // between beginListReset and endListReset.
    void setComparison(QString caption, CompareRow compared);
    // The comparison's column, or -1.
    [[nodiscard]] int beforeColumn() const {
        return compared_ ? kColumns + (fileShown_ ? 1 : 0) : -1;
    }

    // Font of the value column: values are fixed-width fields, so a
    // fixed-pitch font keeps their columns aligned.
    void setValueFont(const QFont& font) { valueFont_ = font; }

private:
    const FieldList& list_;
    QFont valueFont_;
    int rows_ = 0;  // the row count as of the last reset
    QString fileCaption_;
    RowText fileText_;
    bool fileShown_ = false;
    QString beforeCaption_;
    CompareRow compared_;
    const std::vector<std::uint32_t>* map_ = nullptr;
    const std::vector<std::uint32_t>* pendingMap_ = nullptr;
};

}  // namespace twds

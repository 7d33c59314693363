#pragma once

#include <functional>

#include <QAbstractTableModel>
#include <QWidget>

class QTableView;

namespace twds {

class ProblemsPresenter;

// The problems pane's lines, as ProblemsPresenter gives them: one row per
// problem, its cells converted from Windows-1252 when drawn. A header click
// sorts through the presenter.
class ProblemsModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit ProblemsModel(ProblemsPresenter& presenter, QObject* parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;
    void sort(int column, Qt::SortOrder order) override;
    // The presenter's lines changed: every row is read again.
    void reload();

private:
    ProblemsPresenter& presenter_;
};

// The problems pane: a tool window under the main window listing the last
// Display's problems, sortable by any column. A window rather than a pane of
// the form, as the inspector is: at the design size the form has no room to
// spare. It takes the focus when it opens, so that the arrow keys and Enter
// move through the lines; Enter or a double-click jumps to the line's row.
// Esc, one of the main window's shortcuts, closes it.
class ProblemsPane : public QWidget {
    Q_OBJECT

public:
    // `closed` is called whenever the window closes.
    ProblemsPane(QWidget* parent, ProblemsPresenter& presenter, std::function<void()> closed);

    void reload() { model_->reload(); }
    [[nodiscard]] QTableView* view() const { return view_; }
    // Opens under the main window (over its lower part when the screen has
    // no room) and takes the focus.
    void open();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    ProblemsModel* model_ = nullptr;
    QTableView* view_ = nullptr;
    std::function<void()> closed_;
    bool placed_ = false;
};

}  // namespace twds

#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "twds/Messages.h"
#include "twds/ProblemsView.h"

namespace twds {

class DisplayCommand;
class MainWindowPresenter;

// What the window's problems mark and pane do, without widgets: the mark's
// text and severity after each Display, the pane's lines and their order,
// and where a line leads. The front end shows what it is told through its
// ProblemsView and forwards the pane's events here.
class ProblemsPresenter {
public:
    // The pane's columns, in order.
    enum Column : int { kSeverity, kList, kFile, kRow, kLabel, kMessage, kColumnCount };

    // All must outlive the presenter; the constructor calls nothing.
    ProblemsPresenter(ProblemsView& view, MainWindowPresenter& window,
                      const DisplayCommand& display, MessageLookup messages);

    // After every Display: the mark, and the lines in the order of the
    // Display (the pane's sort undone).
    void displayed();
    // The mark's click, the menu command and its shortcut: opens the pane,
    // or closes it when open. Esc closes it.
    void toggle();
    void close();
    [[nodiscard]] bool isOpen() const { return open_; }

    [[nodiscard]] std::size_t lineCount() const { return order_.size(); }
    [[nodiscard]] std::string cellText(std::size_t line, int column) const;
    [[nodiscard]] Severity severity(std::size_t line) const;
    [[nodiscard]] std::string columnCaption(int column) const;
    [[nodiscard]] std::string title() const;
    [[nodiscard]] std::string commandCaption() const;

    // Orders the lines by a column, ties kept in the Display's order: the
    // severity from error down (ascending), lists in tab order, rows by
    // number, texts by their bytes.
    void sortBy(int column, bool ascending);
    // A line double-clicked or entered: its row selected on its list's tab
    // and shown in the value box as a click shows it; the list's tab alone
    // for a problem of no row.
    void activate(std::size_t line);

private:
    [[nodiscard]] const Problem& problemAt(std::size_t line) const;

    ProblemsView& view_;
    MainWindowPresenter& window_;
    const DisplayCommand& display_;
    MessageLookup messages_;
    std::vector<std::size_t> order_;  // line to problem
    bool open_ = false;
};

}  // namespace twds

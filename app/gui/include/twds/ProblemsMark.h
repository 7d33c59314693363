#pragma once

#include <optional>

#include <QAbstractButton>

#include "twds/Problem.h"

namespace twds {

// The status line's problems mark: a disc drawn in the highest severity's
// colour (red, amber, blue), never a font's glyph, then the presenter's text.
// A click opens the problems pane. Hidden while there is no problem.
class ProblemsMark : public QAbstractButton {
    Q_OBJECT

public:
    explicit ProblemsMark(QWidget* parent);

    void showMark(std::optional<Severity> severity, const QString& text);
    [[nodiscard]] std::optional<Severity> severity() const { return severity_; }
    [[nodiscard]] QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<Severity> severity_;
};

}  // namespace twds

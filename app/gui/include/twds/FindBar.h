#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace twds {

// The find bar's widgets: the text box, where the search stands, previous and
// next, "only matching rows" and close. It reports the user's actions as
// signals and decides nothing; in the text box Enter asks for the next match,
// Shift+Enter for the previous one and Esc closes the bar.
class FindBar : public QWidget {
    Q_OBJECT

public:
    explicit FindBar(QWidget* parent = nullptr);

    // Its controls are Tab stops only while it is shown: the window's tab
    // order at rest is the design's.
    void setVisible(bool visible) override;

    [[nodiscard]] QLineEdit* textBox() const { return textBox_; }
    [[nodiscard]] QCheckBox* onlyMatchingBox() const { return onlyMatching_; }
    void setStatus(const QString& text);
    // Captions and tooltips, without access-key marks where they are tooltips.
    void setCaptions(const QString& placeholder, const QString& previous, const QString& next,
                     const QString& onlyMatching, const QString& close);

signals:
    void nextRequested();
    void previousRequested();
    void closeRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* textBox_ = nullptr;
    QLabel* status_ = nullptr;
    QToolButton* previous_ = nullptr;
    QToolButton* next_ = nullptr;
    QCheckBox* onlyMatching_ = nullptr;
    QToolButton* close_ = nullptr;
};

}  // namespace twds

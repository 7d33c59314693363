#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace twds {

// The compare bar's widgets: what to compare with (ADDRESS/NAME or a
// snapshot path), Browse…, Compare, close; under them what is compared with
// what, the number of differences and "only differences". It reports the
// user's actions as signals and decides nothing; in the text box Enter
// compares and Esc closes the bar.
class CompareBar : public QWidget {
    Q_OBJECT

public:
    explicit CompareBar(QWidget* parent = nullptr);

    // Its controls are Tab stops only while it is shown.
    void setVisible(bool visible) override;

    [[nodiscard]] QLineEdit* targetBox() const { return target_; }
    [[nodiscard]] QCheckBox* onlyDifferencesBox() const { return onlyDifferences_; }
    // What is compared with what (elided, whole in the tooltip) and the count.
    void setStatus(const QString& described, const QString& count);
    void setCaptions(const QString& placeholder, const QString& browse, const QString& compare,
                     const QString& onlyDifferences, const QString& close);

signals:
    void browseRequested();
    void compareRequested();
    void closeRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void elideDescription();

    QLineEdit* target_ = nullptr;
    QPushButton* browse_ = nullptr;
    QPushButton* compare_ = nullptr;
    QToolButton* close_ = nullptr;
    QLabel* described_ = nullptr;
    QLabel* count_ = nullptr;
    QCheckBox* onlyDifferences_ = nullptr;
    QString describedText_;
};

}  // namespace twds

#pragma once

#include <functional>
#include <string_view>

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace twds {

// The inspector: a tool window beside the main window that shows one row's
// inspection (RowInspection.h) in a fixed font. A window rather than a pane:
// at the design size the main window has no room to spare, and the dump
// needs some 70 columns. It opens without taking the focus, so the arrow keys
// in the list keep moving the row it follows.
//
// The text can be selected; Ctrl+C copies the selection, or the whole
// inspection when nothing is selected; the Copy button copies the whole. The
// main window's shortcuts reach it as its tool window: Esc there closes it.
class InspectorWindow : public QWidget {
    Q_OBJECT

public:
    // `copyAll` puts the whole inspection on the clipboard; `closed` is called
    // whenever the window closes.
    InspectorWindow(QWidget* parent, std::function<void()> copyAll, std::function<void()> closed);

    // Windows-1252 text, shown as plain lines; opens the window if closed.
    void showInspection(std::string_view text);
    void setCaptions(const QString& title, const QString& copyCaption);
    [[nodiscard]] QString text() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Beside the main window's right edge when the screen has room, else over
    // its right part.
    void placeBesideParent();

    QPlainTextEdit* text_ = nullptr;
    QPushButton* copyButton_ = nullptr;
    std::function<void()> copyAll_;
    std::function<void()> closed_;
    bool placed_ = false;
};

}  // namespace twds

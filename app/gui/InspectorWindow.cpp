#include "twds/InspectorWindow.h"

#include <algorithm>
#include <utility>

#include <QCloseEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "twds/Cp1252.h"

namespace twds {

namespace {

// Wide enough for a dump line (offset, 16 bytes in hex, their text) and tall
// enough for the facts and a few lines of bytes.
constexpr int kColumnsShown = 76;
constexpr int kLinesShown = 15;

}  // namespace

InspectorWindow::InspectorWindow(QWidget* parent, std::function<void()> copyAll,
                                 std::function<void()> closed)
    : QWidget(parent, Qt::Tool), copyAll_(std::move(copyAll)), closed_(std::move(closed)) {
    setObjectName(QStringLiteral("inspector"));
    setAttribute(Qt::WA_ShowWithoutActivating);

    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("inspectorText"));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    text_->setFont(fixed);
    text_->installEventFilter(this);

    copyButton_ = new QPushButton(this);
    copyButton_->setObjectName(QStringLiteral("inspectorCopy"));
    copyButton_->setAutoDefault(false);
    connect(copyButton_, &QPushButton::clicked, this, [this] { copyAll_(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(copyButton_, 0, Qt::AlignRight);

    const QFontMetrics metrics(fixed);
    resize(metrics.horizontalAdvance(QString(kColumnsShown, QLatin1Char('0'))) + 40,
           metrics.lineSpacing() * kLinesShown + copyButton_->sizeHint().height() + 40);
}

void InspectorWindow::setCaptions(const QString& title, const QString& copyCaption) {
    setWindowTitle(title);
    copyButton_->setText(copyCaption);
}

void InspectorWindow::showInspection(std::string_view text) {
    text_->setPlainText(Cp1252TextToQString(text));
    if (!isVisible()) {
        if (!placed_) {
            placeBesideParent();
            placed_ = true;
        }
        show();
    }
}

QString InspectorWindow::text() const {
    return text_->toPlainText();
}

void InspectorWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    closed_();
}

bool InspectorWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy) &&
        !text_->textCursor().hasSelection()) {
        copyAll_();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void InspectorWindow::placeBesideParent() {
    const QWidget* main = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    if (main == nullptr || main->screen() == nullptr) {
        return;
    }
    const QRect screen = main->screen()->availableGeometry();
    const QRect frame = main->frameGeometry();
    int left = frame.right() + 1;
    if (left + width() > screen.right()) {
        left = std::max(screen.left(), screen.right() - width());
    }
    move(left, std::max(screen.top(), frame.top()));
}

}  // namespace twds

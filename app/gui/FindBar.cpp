#include "twds/FindBar.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

namespace twds {

namespace {

QToolButton* MakeButton(QWidget* parent, QStyle::StandardPixmap icon, const char* name) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(parent->style()->standardIcon(icon));
    button->setAutoRaise(true);
    // The focus stays in the text box or the list the user is in.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

}  // namespace

FindBar::FindBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("findBar"));
    textBox_ = new QLineEdit(this);
    textBox_->setObjectName(QStringLiteral("findText"));
    textBox_->setClearButtonEnabled(true);
    textBox_->installEventFilter(this);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("findStatus"));
    status_->setTextFormat(Qt::PlainText);
    previous_ = MakeButton(this, QStyle::SP_ArrowUp, "findPrevious");
    next_ = MakeButton(this, QStyle::SP_ArrowDown, "findNext");
    onlyMatching_ = new QCheckBox(this);
    onlyMatching_->setObjectName(QStringLiteral("findOnlyMatching"));
    close_ = MakeButton(this, QStyle::SP_TitleBarCloseButton, "findClose");

    // Two rows, so that the window's design width holds the longest captions:
    // the text and its buttons, then where the search stands and the toggle.
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(2, 2, 2, 2);
    rows->setSpacing(0);
    auto* top = new QHBoxLayout;
    top->setSpacing(2);
    top->addWidget(textBox_, 1);
    top->addWidget(previous_);
    top->addWidget(next_);
    top->addWidget(close_);
    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(6);
    bottom->addWidget(status_, 1);
    bottom->addWidget(onlyMatching_);
    rows->addLayout(top);
    rows->addLayout(bottom);

    connect(previous_, &QToolButton::clicked, this, &FindBar::previousRequested);
    connect(next_, &QToolButton::clicked, this, &FindBar::nextRequested);
    connect(close_, &QToolButton::clicked, this, &FindBar::closeRequested);
}

void FindBar::setVisible(bool visible) {
    textBox_->setFocusPolicy(visible ? Qt::StrongFocus : Qt::ClickFocus);
    onlyMatching_->setFocusPolicy(visible ? Qt::StrongFocus : Qt::ClickFocus);
    QWidget::setVisible(visible);
}

void FindBar::setStatus(const QString& text) {
    status_->setText(text);
    status_->setToolTip(text);
}

void FindBar::setCaptions(const QString& placeholder, const QString& previous, const QString& next,
                          const QString& onlyMatching, const QString& close) {
    const auto plain = [](QString text) { return text.remove(QLatin1Char('&')); };
    textBox_->setPlaceholderText(placeholder);
    const auto keys = [](QKeySequence::StandardKey key) {
        return QStringLiteral(" (%1)").arg(QKeySequence(key).toString(QKeySequence::NativeText));
    };
    previous_->setToolTip(plain(previous) + keys(QKeySequence::FindPrevious));
    next_->setToolTip(plain(next) + keys(QKeySequence::FindNext));
    onlyMatching_->setText(plain(onlyMatching));
    close_->setToolTip(close);
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == textBox_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (key->modifiers().testFlag(Qt::ShiftModifier)) {
                emit previousRequested();
            } else {
                emit nextRequested();
            }
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            emit closeRequested();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace twds

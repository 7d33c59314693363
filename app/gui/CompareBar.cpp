#include "twds/CompareBar.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

namespace twds {

CompareBar::CompareBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("compareBar"));
    target_ = new QLineEdit(this);
    target_->setObjectName(QStringLiteral("compareTarget"));
    target_->setClearButtonEnabled(true);
    target_->installEventFilter(this);
    browse_ = new QPushButton(this);
    browse_->setObjectName(QStringLiteral("compareBrowse"));
    compare_ = new QPushButton(this);
    compare_->setObjectName(QStringLiteral("compareRun"));
    for (QPushButton* button : {browse_, compare_}) {
        button->setAutoDefault(false);
    }
    close_ = new QToolButton(this);
    close_->setObjectName(QStringLiteral("compareClose"));
    close_->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    close_->setAutoRaise(true);
    close_->setFocusPolicy(Qt::NoFocus);
    described_ = new QLabel(this);
    described_->setObjectName(QStringLiteral("compareDescribed"));
    described_->setTextFormat(Qt::PlainText);
    described_->setMinimumWidth(1);
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("compareCount"));
    count_->setTextFormat(Qt::PlainText);
    onlyDifferences_ = new QCheckBox(this);
    onlyDifferences_->setObjectName(QStringLiteral("compareOnlyDifferences"));

    // Two rows, as the find bar: the design width holds them.
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(2, 2, 2, 2);
    rows->setSpacing(0);
    auto* top = new QHBoxLayout;
    top->setSpacing(2);
    top->addWidget(target_, 1);
    top->addWidget(browse_);
    top->addWidget(compare_);
    top->addWidget(close_);
    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(6);
    bottom->addWidget(count_);
    bottom->addWidget(described_, 1);
    bottom->addWidget(onlyDifferences_);
    rows->addLayout(top);
    rows->addLayout(bottom);

    connect(browse_, &QPushButton::clicked, this, &CompareBar::browseRequested);
    connect(compare_, &QPushButton::clicked, this, &CompareBar::compareRequested);
    connect(close_, &QToolButton::clicked, this, &CompareBar::closeRequested);
}

void CompareBar::setVisible(bool visible) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{target_, browse_, compare_, onlyDifferences_}) {
        control->setFocusPolicy(visible ? Qt::StrongFocus : Qt::ClickFocus);
    }
    QWidget::setVisible(visible);
}

void CompareBar::setStatus(const QString& described, const QString& count) {
    describedText_ = described;
    described_->setToolTip(described);
    count_->setText(count);
    elideDescription();
}

void CompareBar::setCaptions(const QString& placeholder, const QString& browse,
                             const QString& compare, const QString& onlyDifferences,
                             const QString& close) {
    target_->setPlaceholderText(placeholder);
    browse_->setText(browse);
    compare_->setText(compare);
    onlyDifferences_->setText(QString(onlyDifferences).remove(QLatin1Char('&')));
    close_->setToolTip(close);
}

bool CompareBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == target_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            emit compareRequested();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            emit closeRequested();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CompareBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    elideDescription();
}

void CompareBar::elideDescription() {
    described_->setText(
        described_->fontMetrics().elidedText(describedText_, Qt::ElideRight, described_->width()));
}

}  // namespace twds

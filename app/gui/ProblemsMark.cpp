#include "twds/ProblemsMark.h"

#include <QPainter>

namespace twds {

namespace {

QColor SeverityColour(Severity severity) {
    switch (severity) {
        case Severity::Error:
            return {0xC6, 0x28, 0x28};
        case Severity::Warning:
            return {0xE0, 0x9A, 0x00};
        case Severity::Note:
            break;
    }
    return {0x1E, 0x6F, 0xC8};
}

}  // namespace

ProblemsMark::ProblemsMark(QWidget* parent) : QAbstractButton(parent) {
    setObjectName(QStringLiteral("problemsMark"));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void ProblemsMark::showMark(std::optional<Severity> severity, const QString& text) {
    severity_ = severity;
    setText(text);
    setToolTip(text);
    setVisible(severity.has_value());
    updateGeometry();
    update();
}

QSize ProblemsMark::sizeHint() const {
    const QFontMetrics metrics = fontMetrics();
    const int disc = metrics.height();
    return {disc + 6 + metrics.horizontalAdvance(text()) + 4, metrics.height() + 4};
}

void ProblemsMark::paintEvent(QPaintEvent* /*event*/) {
    if (!severity_) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics metrics = fontMetrics();
    const int disc = metrics.height() - 4;
    const QRectF circle(2, (height() - disc) / 2.0, disc, disc);
    const QColor colour = SeverityColour(*severity_);
    painter.setPen(QPen(colour.darker(130), 1));
    painter.setBrush(colour);
    painter.drawEllipse(circle);
    painter.setPen(palette().color(isDown() ? QPalette::Highlight : QPalette::WindowText));
    const QRect textRect(disc + 8, 0, width() - disc - 8, height());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, text());
}

}  // namespace twds

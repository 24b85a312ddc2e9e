// painting of the flat push button
#include "app/pelm_button.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyle>

namespace corvane {

namespace {
const QColor kBorder(0x9a, 0xab, 0xc2);
const QColor kHighlight(0x2f, 0x7d, 0xd8);
const QColor kTop(0xfd, 0xfe, 0xff);
const QColor kBottom(0xe4, 0xeb, 0xf4);
const QColor kHoverTop(0xf2, 0xf8, 0xff);
const QColor kHoverBottom(0xd3, 0xe4, 0xf8);
const QColor kText(0x1d, 0x2b, 0x3c);
} // namespace

PelmButton::PelmButton(QWidget* parent) : QAbstractButton(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
}

void PelmButton::setProperty1(bool on) {
    if (m_property1 == on)
        return;
    m_property1 = on;
    update();
}

QSize PelmButton::sizeHint() const {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text()) + 24, metrics.height() + 14};
}

void PelmButton::enterEvent(QEnterEvent* event) {
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void PelmButton::leaveEvent(QEvent* event) {
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void PelmButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(frame, 5, 5);

    const bool pressed = isDown();
    const bool lit = (m_hovered && isEnabled()) || pressed;
    QLinearGradient fill(frame.topLeft(), frame.bottomLeft());
    fill.setColorAt(0, pressed ? kHoverBottom : (lit ? kHoverTop : kTop));
    fill.setColorAt(1, pressed ? kHoverTop : (lit ? kHoverBottom : kBottom));
    painter.fillPath(shape, fill);

    // the highlight is deliberately quiet: a coloured rim and a thin inner line
    const QColor rim = (m_property1 || lit || hasFocus()) ? kHighlight : kBorder;
    painter.setPen(QPen(rim, m_property1 ? 1.6 : 1.0));
    painter.drawPath(shape);
    if (m_property1) {
        QPainterPath inner;
        inner.addRoundedRect(frame.adjusted(2.5, 2.5, -2.5, -2.5), 3, 3);
        painter.setPen(QPen(QColor(kHighlight.red(), kHighlight.green(), kHighlight.blue(), 70), 1.0));
        painter.drawPath(inner);
    }

    painter.setPen(isEnabled() ? kText : palette().color(QPalette::Disabled, QPalette::ButtonText));
    QRect textArea = rect().adjusted(6, 0, -6, 0);
    if (pressed)
        textArea.translate(0, 1);
    style()->drawItemText(&painter, textArea, Qt::AlignCenter | Qt::TextShowMnemonic, palette(), isEnabled(),
                          text());
}

} // namespace corvane

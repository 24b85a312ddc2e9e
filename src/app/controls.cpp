// painting and click detection of the windows' own controls
#include "app/controls.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <algorithm>

namespace corvane {

void ClickableFrame::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        update();
    }
    event->accept();
}

void ClickableFrame::mouseReleaseEvent(QMouseEvent* event) {
    const bool click =
        m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    update();
    event->accept();
    if (click)
        emit clicked();
}

void ClickableFrame::makeKeyboardReachable() {
    // Tab only: a mouse click acts at once and should not move the focus away from the password box
    setFocusPolicy(Qt::TabFocus);
}

void ClickableFrame::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (focusPolicy() != Qt::NoFocus &&
        (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) && !event->isAutoRepeat()) {
        event->accept();
        emit clicked();
        return;
    }
    QFrame::keyPressEvent(event);
}

void Frame3D::setCaption(const QString& caption) {
    m_caption = caption;
    update();
}

void Frame3D::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    // a frame that spans its container's whole width reads as a band: square, ruled below only
    const QWidget* container = parentWidget();
    const bool band = container && x() <= 0 && x() + width() >= container->width();
    QPainterPath shape;
    shape.addRoundedRect(box, band ? 0 : 6, band ? 0 : 6);
    QLinearGradient fill(box.topLeft(), box.bottomLeft());
    fill.setColorAt(0, QColor(0xff, 0xff, 0xff));
    fill.setColorAt(1, QColor(0xee, 0xf2, 0xf7));
    painter.fillPath(shape, fill);
    painter.setPen(QColor(0xc3, 0xcd, 0xda));
    if (band)
        painter.drawLine(box.bottomLeft(), box.bottomRight());
    else
        painter.drawPath(shape);

    if (m_caption.isEmpty())
        return;
    // children (the small images of the foot frame) sit at the edges; the caption keeps clear of them
    painter.setPen(QColor(0x3c, 0x4a, 0x5c));
    painter.drawText(rect().adjusted(height(), 0, -height(), 0), Qt::AlignCenter | Qt::TextWordWrap,
                     m_caption);
}

ImageControl::ImageControl(QWidget* parent) : ClickableFrame(parent) {
    setCursor(Qt::PointingHandCursor);
}

void ImageControl::setPicture(const QPixmap& picture) {
    m_picture = picture;
    update();
}

void ImageControl::paintEvent(QPaintEvent*) {
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const qreal ratio = devicePixelRatioF();
    const QSize target = m_picture.size().scaled(size(), Qt::KeepAspectRatio);
    const QPixmap scaled = m_picture.scaled(target * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    const QRect box(QPoint((width() - target.width()) / 2, (height() - target.height()) / 2), target);
    // a command that cannot run now fades, as a disabled button's caption does
    if (!isEnabled())
        painter.setOpacity(0.35);
    // a pressed picture moves by one pixel, the only feedback a borderless image gives
    painter.drawPixmap(pressed() ? box.translated(1, 1) : box, scaled);
    // marked only when the keyboard brought the focus, as Qt's own buttons do
    if (hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange)) {
        painter.setOpacity(1);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(0x2f, 0x7d, 0xd8), 1.2, Qt::DotLine));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    }
}

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

QPalette LightWindowPalette(QPalette palette) {
    const QColor text(0x1d, 0x2b, 0x3c), faded(0x8a, 0x94, 0xa3);
    palette.setColor(QPalette::Window, QColor(0xe4, 0xea, 0xf1));
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Button, QColor(0xf4, 0xf6, 0xf9));
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Active, role, text);
        palette.setColor(QPalette::Inactive, role, text);
        palette.setColor(QPalette::Disabled, role, faded);
    }
    return palette;
}

void VistaProg::setMaximum(int maximum) {
    m_maximum = std::max(0, maximum);
    m_value = std::clamp(m_value, 0, m_maximum);
    update();
}

void VistaProg::setValue(int value) {
    const int clamped = std::clamp(value, 0, m_maximum);
    if (clamped == m_value)
        return;
    m_value = clamped;
    update();
    emit valueChanged(m_value);
}

double VistaProg::fraction() const {
    return m_maximum > 0 ? static_cast<double>(m_value) / m_maximum : 0.0;
}

void VistaProg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = std::min<qreal>(track.height() / 2, 4);

    QPainterPath trackShape;
    trackShape.addRoundedRect(track, radius, radius);
    painter.fillPath(trackShape, QColor(0xe6, 0xea, 0xf0));
    painter.setPen(QColor(0xbf, 0xc8, 0xd4));
    painter.drawPath(trackShape);

    const double share = fraction();
    if (share <= 0)
        return;
    QRectF filled = track.adjusted(1, 1, -1, -1);
    filled.setWidth(filled.width() * share);
    QPainterPath fillShape;
    fillShape.addRoundedRect(filled, radius - 1, radius - 1);
    QLinearGradient gradient(filled.topLeft(), filled.bottomLeft());
    gradient.setColorAt(0, QColor(0x5c, 0xc2, 0x6a));
    gradient.setColorAt(1, QColor(0x2f, 0x9e, 0x44));
    painter.fillPath(fillShape, gradient);
}

} // namespace corvane

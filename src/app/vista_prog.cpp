// painting and clamping of the progress bar
#include "app/vista_prog.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace corvane {

VistaProg::VistaProg(QWidget* parent) : QWidget(parent) {}

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

// painting and click detection of the panel
#include "app/frame3d.h"

#include <QPainter>
#include <QPainterPath>

namespace corvane {

Frame3D::Frame3D(QWidget* parent) : ClickableFrame(parent) {}

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

} // namespace corvane

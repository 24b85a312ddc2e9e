// painting and click detection of the picture control
#include "app/image_control.h"

#include <QPainter>

namespace corvane {

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
    // a pressed picture moves by one pixel, the only feedback a borderless image gives
    painter.drawPixmap(pressed() ? box.translated(1, 1) : box, scaled);
}

} // namespace corvane

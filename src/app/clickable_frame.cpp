// press and release matched into a click
#include "app/clickable_frame.h"

#include <QMouseEvent>

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

} // namespace corvane

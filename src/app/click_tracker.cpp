// press and release matched into a click
#include "app/click_tracker.h"

#include <QMouseEvent>
#include <QWidget>

namespace corvane {

bool ClickTracker::press(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton)
        return false;
    m_pressed = true;
    return true;
}

bool ClickTracker::release(QMouseEvent* event, const QWidget* control) {
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       control->rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    return click;
}

} // namespace corvane

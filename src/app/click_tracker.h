// the click of a control that is no button: a left press and a left release, both on the control
#pragma once

class QMouseEvent;
class QWidget;

namespace corvane {

// Dragging off the control before letting go cancels the click, as it does on a push button.
// The control passes its press and release events here and reports a click when told.
class ClickTracker {
public:
    bool pressed() const { return m_pressed; }
    // true when the event starts a click
    bool press(QMouseEvent* event);
    // true when the event completes a click on the control; the press ends either way
    bool release(QMouseEvent* event, const QWidget* control);

private:
    bool m_pressed = false;
};

} // namespace corvane

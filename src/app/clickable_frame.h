// the base of the panel and the picture: a frame that reports a click, as a push button does
#pragma once

#include <QFrame>

namespace corvane {

// A click is a left press and a left release, both on the control: dragging off before letting go
// cancels it. The control is repainted when the press starts and ends, for those that show it.
class ClickableFrame : public QFrame {
    Q_OBJECT

public:
    explicit ClickableFrame(QWidget* parent = nullptr) : QFrame(parent) {}

signals:
    void clicked();

protected:
    bool pressed() const { return m_pressed; }
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};

} // namespace corvane

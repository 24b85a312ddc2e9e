// a picture that can be clicked, drawn smoothly scaled into its box
#pragma once

#include <QPixmap>
#include <QWidget>

#include "app/click_tracker.h"

namespace corvane {

// Stands for both image kinds of the windows (the plain image and the alpha-blended one).
class ImageControl : public QWidget {
    Q_OBJECT

public:
    explicit ImageControl(QWidget* parent = nullptr);

    QPixmap picture() const { return m_picture; }
    void setPicture(const QPixmap& picture);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap m_picture;
    ClickTracker m_click;
};

} // namespace corvane

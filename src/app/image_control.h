// a picture that can be clicked, drawn smoothly scaled into its box
#pragma once

#include <QPixmap>

#include "app/clickable_frame.h"

namespace corvane {

// Stands for both image kinds of the windows (the plain image and the alpha-blended one).
class ImageControl : public ClickableFrame {
    Q_OBJECT

public:
    explicit ImageControl(QWidget* parent = nullptr);

    QPixmap picture() const { return m_picture; }
    void setPicture(const QPixmap& picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
};

} // namespace corvane

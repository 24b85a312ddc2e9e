// a panel with a soft raised look and an optional caption; it reports clicks
#pragma once

#include <QFrame>

#include "app/click_tracker.h"

namespace corvane {

class Frame3D : public QFrame {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)

public:
    explicit Frame3D(QWidget* parent = nullptr);

    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString m_caption;
    ClickTracker m_click;
};

} // namespace corvane

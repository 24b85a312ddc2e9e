// a panel with a soft raised look and an optional caption; it reports clicks
#pragma once

#include "app/clickable_frame.h"

namespace corvane {

class Frame3D : public ClickableFrame {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)

public:
    explicit Frame3D(QWidget* parent = nullptr);

    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_caption;
};

} // namespace corvane

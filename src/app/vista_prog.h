// a flat progress bar driven by a maximum and a value
#pragma once

#include <QWidget>

namespace corvane {

// The value is kept inside 0..maximum; a maximum of 0 draws an empty track.
class VistaProg : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Max READ maximum WRITE setMaximum)
    Q_PROPERTY(int Value READ value WRITE setValue)

public:
    explicit VistaProg(QWidget* parent = nullptr);

    int maximum() const { return m_maximum; }
    void setMaximum(int maximum);
    int value() const { return m_value; }
    void setValue(int value);

    // the filled share of the track, 0 to 1
    double fraction() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_maximum = 100;
    int m_value = 0;
};

} // namespace corvane

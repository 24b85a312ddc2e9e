// the push button of both windows: a flat rounded button with an optional highlight
#pragma once

#include <QAbstractButton>

namespace corvane {

// What the windows use of it: the click, the caption, visibility, the tool tip and a Boolean
// "property 1" that the completion timer sets to draw the user's eye to the button.
class PelmButton : public QAbstractButton {
    Q_OBJECT
    // looked up by name when a window is translated
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(bool Property1 READ property1 WRITE setProperty1)

public:
    explicit PelmButton(QWidget* parent = nullptr);

    QString caption() const { return text(); }
    void setCaption(const QString& caption) { setText(caption); }

    bool property1() const { return m_property1; }
    void setProperty1(bool on);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool m_property1 = false;
    bool m_hovered = false;
};

} // namespace corvane

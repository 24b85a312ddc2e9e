// the windows' own controls (panel, picture, push button, progress bar) and the pictures they show
#pragma once

#include <QAbstractButton>
#include <QFrame>
#include <QIcon>
#include <QPixmap>

namespace corvane {

// The base of the panel and the picture: a frame that reports a click, as a push button does.
// A click is a left press and a left release, both on the control: dragging off before letting go
// cancels it. The control is repainted when the press starts and ends, for those that show it.
class ClickableFrame : public QFrame {
    Q_OBJECT

public:
    explicit ClickableFrame(QWidget* parent = nullptr) : QFrame(parent) {}

    // Tab reaches the control and Space or Return clicks it, as they do a push button; left off for the
    // pictures that only decorate.
    void makeKeyboardReachable();

signals:
    void clicked();

protected:
    bool pressed() const { return m_pressed; }
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool m_pressed = false;
};

// A panel with a soft raised look and an optional caption.
class Frame3D : public ClickableFrame {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)

public:
    explicit Frame3D(QWidget* parent = nullptr) : ClickableFrame(parent) {}

    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_caption;
};

// A picture drawn smoothly scaled into its box. Stands for both image kinds of the windows (the plain
// image and the alpha-blended one).
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

// The push button of both windows: flat and rounded. What the windows use of it: the click, the
// caption, visibility, the tool tip and a Boolean "property 1" that the completion timer sets to draw
// the user's eye to the button.
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

// A flat progress bar. The value is kept inside 0..maximum; a maximum of 0 draws an empty track.
class VistaProg : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Max READ maximum WRITE setMaximum)
    Q_PROPERTY(int Value READ value WRITE setValue)

public:
    explicit VistaProg(QWidget* parent = nullptr) : QWidget(parent) {}

    int maximum() const { return m_maximum; }
    void setMaximum(int maximum);
    int value() const { return m_value; }
    void setValue(int value);

    // the filled share of the track, 0 to 1
    double fraction() const;

signals:
    // as soon as the bar moves, before anything else the window handles
    void valueChanged(int value);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_maximum = 100;
    int m_value = 0;
};

// The program's pictures (icons.cpp), drawn at start-up so that no image plug-in is needed. Each is
// drawn in a 64-unit square scaled to size x size pixels, on a transparent ground.
QPixmap ProductLogo(int size);
QPixmap HelpPicture(int size);
QPixmap UnzipPicture(int size);
QPixmap VersionPicture(int size);
// the open eye offers to show the password, the crossed eye to hide it again
QPixmap EyePicture(int size, bool crossed);

QIcon WindowIcon();

// Both windows paint their own light panels: their palette keeps every text dark on them, whatever
// the desktop's theme, and their boxes share one look (a box the window fills, a box the user types in).
QPalette LightWindowPalette(QPalette palette);
inline constexpr const char* kReadOnlyBoxStyle =
    "QLineEdit { background: rgb(224, 224, 224); color: #1d2b3c; border: 1px solid #b4bfcc;"
    " border-radius: 3px; padding: 0 4px; }";
inline constexpr const char* kTypingBoxStyle =
    "QLineEdit { background: white; color: #1d2b3c; border: 1px solid #b4bfcc; border-radius: 3px;"
    " padding: 0 4px; lineedit-password-character: 42; }"
    "QLineEdit:focus { border-color: #2f7dd8; }";

} // namespace corvane

// The widgets the Qt layer adds: a label that acts on a click, the banner's
// picture box, and a check box that reports a mouse button's release.
#pragma once

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPixmap>

namespace tavrel {

// A label that acts on a single click (press and release over it), and on
// Space or Enter while it has the keyboard, which its focus mark shows. A
// screen reader sees a push button and presses it with click().
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    void click() { emit clicked(); }
signals:
    void clicked();
protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
private:
    bool pressed_ = false;
};

// A status text (the tip line): a screen reader tells each change of it.
class LiveLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
};

// The banner: a sunken picture box that reports every mouse-button release,
// and shows the keyboard focus it can take.
class PictureBox : public QFrame {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);
    void setPicture(const QPixmap& picture);
signals:
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
private:
    QPixmap picture_;
};

// A check box that reports every mouse-button release over it, after a
// left click has flipped the tick, and a tick flipped from the keyboard
// (Space) once it is flipped.
class MouseUpCheckBox : public QCheckBox {
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;
signals:
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void toggledByKey();
protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
};

}  // namespace tavrel

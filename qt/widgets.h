// The widgets the Qt layer adds: a label that acts on a click, the banner's
// picture box, and a check box that reports a mouse button's release.
#pragma once

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPixmap>

namespace tavrel {

// A label that acts on a single click (press and release over it).
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();
protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
private:
    bool pressed_ = false;
};

// The banner: a sunken picture box that reports every mouse-button release.
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
// left click has flipped the tick. Keys change the tick without a report.
class MouseUpCheckBox : public QCheckBox {
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;
signals:
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace tavrel

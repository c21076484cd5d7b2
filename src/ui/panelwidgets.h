// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QSlider>
#include <QWidget>

class QMouseEvent;

namespace divograf {

// Tells a mouse click on a widget: the left button pressed on it and released over it.
class ClickWatch
{
public:
    void press(const QMouseEvent &event);
    // Whether this release ends a click on `widget`.
    bool release(const QMouseEvent &event, const QWidget &widget);

private:
    bool pressed_ = false;
};

// A slider that also tells when the user has chosen a value on it: a mouse click (press and
// release of the left button over it), after the click has moved the value, or a key or the
// wheel that moved it. `QWA` reacts to this and not to its value.
class Slider : public QSlider
{
    Q_OBJECT
public:
    explicit Slider(Qt::Orientation orientation, QWidget *parent = nullptr);

Q_SIGNALS:
    void chosen();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    ClickWatch click_;
};

// A decoration drawn on the window: a rectangle outline or a filled circle. It takes no input.
class Shape : public QWidget
{
public:
    enum class Kind { Rectangle, Circle };
    Shape(Kind kind, QColor fill, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Kind kind_;
    QColor fill_;
};

} // namespace divograf

// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "ui/panelwidgets.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QPainter>

namespace divograf {

void ClickWatch::press(const QMouseEvent &event) { pressed_ = event.button() == Qt::LeftButton; }

bool ClickWatch::release(const QMouseEvent &event, const QWidget &widget)
{
    const bool click = pressed_ && event.button() == Qt::LeftButton
        && widget.rect().contains(event.position().toPoint());
    pressed_ = false;
    return click;
}

Slider::Slider(Qt::Orientation orientation, QWidget *parent)
    : QSlider(orientation, parent)
{
    // The minimum at the top, and Up / Page Up moving towards it, as the arrow keys point.
    if (orientation == Qt::Vertical) {
        setInvertedAppearance(true);
        setInvertedControls(true);
    }
}

void Slider::mousePressEvent(QMouseEvent *event)
{
    click_.press(*event);
    QSlider::mousePressEvent(event);
}

void Slider::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = click_.release(*event, *this);
    QSlider::mouseReleaseEvent(event);
    if (click)
        Q_EMIT chosen();
}

void Slider::keyPressEvent(QKeyEvent *event)
{
    const int before = value();
    QSlider::keyPressEvent(event);
    if (value() != before)
        Q_EMIT chosen();
}

void Slider::wheelEvent(QWheelEvent *event)
{
    const int before = value();
    QSlider::wheelEvent(event);
    if (value() != before)
        Q_EMIT chosen();
}

Shape::Shape(Kind kind, QColor fill, QWidget *parent)
    : QWidget(parent)
    , kind_(kind)
    , fill_(fill)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Shape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QRect r = rect().adjusted(0, 0, -1, -1);
    if (kind_ == Kind::Rectangle) {
        painter.drawRect(r);
    } else {
        painter.setBrush(fill_);
        painter.drawEllipse(r);
    }
}

} // namespace divograf

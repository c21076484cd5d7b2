// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "ui/updown.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>

namespace divograf {

namespace {
constexpr int FirstRepeatMs = 400;
constexpr int RepeatMs = 50;
} // namespace

UpDown::UpDown(QWidget *parent)
    : QWidget(parent)
    , repeat_(this)
{
    setFocusPolicy(Qt::TabFocus);
    repeat_.setInterval(RepeatMs);
    connect(&repeat_, &QTimer::timeout, this, [this] {
        repeat_.setInterval(RepeatMs);
        step(held_);
    });
}

void UpDown::setRange(int minimum, int maximum)
{
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    setValue(value_);
}

void UpDown::setIncrement(int increment) { increment_ = std::max(increment, 1); }

void UpDown::setValue(int value)
{
    value = std::clamp(value, minimum_, maximum_);
    if (value == value_)
        return;
    value_ = value;
    Q_EMIT valueChanged(value_);
}

void UpDown::step(int direction)
{
    // In 64 bits, so that a step near the ends of int cannot overflow.
    const long long next
        = static_cast<long long>(value_) + static_cast<long long>(direction) * increment_;
    setValue(static_cast<int>(std::clamp<long long>(next, minimum_, maximum_)));
}

QSize UpDown::sizeHint() const { return {16, 33}; }

QRect UpDown::arrowRect(int direction) const
{
    const int half = height() / 2;
    return direction > 0 ? QRect(0, 0, width(), half) : QRect(0, half, width(), height() - half);
}

void UpDown::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    for (int direction : {1, -1}) {
        QStyleOptionButton button;
        button.initFrom(this);
        button.rect = arrowRect(direction);
        button.state |= held_ == direction ? QStyle::State_Sunken : QStyle::State_Raised;
        painter.drawPrimitive(QStyle::PE_PanelButtonCommand, button);
        QStyleOption arrow = button;
        arrow.rect = button.rect.adjusted(3, 2, -3, -2);
        painter.drawPrimitive(
            direction > 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, arrow);
    }
}

void UpDown::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || held_ != 0) {
        QWidget::mousePressEvent(event);
        return;
    }
    held_ = arrowRect(1).contains(event->position().toPoint()) ? 1 : -1;
    step(held_);
    repeat_.start(FirstRepeatMs);
    update();
}

void UpDown::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && held_ != 0) {
        held_ = 0;
        repeat_.stop();
        update();
    }
    Q_EMIT mouseReleased();
}

void UpDown::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up: step(1); break;
    case Qt::Key_Down: step(-1); break;
    default: QWidget::keyPressEvent(event); return;
    }
    Q_EMIT keyStepped();
}

} // namespace divograf

// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QTimer>
#include <QWidget>

namespace divograf {

// An up/down spinner: two arrow buttons and nothing else. Its value lies in
// minimum..maximum; a press on an arrow steps it by the increment, never beyond the range,
// and keeps stepping while the button is held; the Up and Down keys step it once. It tells
// every change of its value, and when a paired text box should follow: every mouse button
// released after a press on it (with the button, the keyboard modifiers and the position), and
// every step by a key, which has no release.
class UpDown : public QWidget
{
    Q_OBJECT
public:
    explicit UpDown(QWidget *parent = nullptr);

    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    int increment() const { return increment_; }
    int value() const { return value_; }

    // The value is clamped into the new range.
    void setRange(int minimum, int maximum);
    void setIncrement(int increment);
    // Clamps to the range; tells `valueChanged` when the value changes.
    void setValue(int value);

    // Steps up (+1) or down (-1) by the increment, as one press on an arrow does.
    void step(int direction);

    QSize sizeHint() const override;

Q_SIGNALS:
    void valueChanged(int value);
    void mouseReleased(); // any button, over the spinner
    void keyStepped();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QRect arrowRect(int direction) const;

    int minimum_ = 0;
    int maximum_ = 100;
    int increment_ = 1;
    int value_ = 0;
    int held_ = 0;  // the arrow held down: +1 up, -1 down, 0 none
    QTimer repeat_; // runs only while an arrow is held
};

} // namespace divograf

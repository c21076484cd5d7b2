// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>

namespace divograf {

inline const QString ProgramName = QStringLiteral("Дивограф");

// A number as a caption shows it: one leading blank when it is not negative.
inline QString blankLed(qint64 n)
{
    return n < 0 ? QString::number(n) : QLatin1Char(' ') + QString::number(n);
}

// The progress bar value and the window caption that the fractal and interference drawings
// drive. The window shows them; the renderer ignores them.
class Status
{
public:
    int progress() const { return progress_; }
    const QString &caption() const { return caption_; }

    // Progress p (0..100) and the caption "Дивограф  p%".
    void show(int percent)
    {
        progress_ = percent;
        caption_ = ProgramName + QLatin1Char(' ') + blankLed(percent) + QLatin1Char('%');
    }

    // Progress 0 and the caption "Дивограф": the end of a drawing.
    void reset()
    {
        progress_ = 0;
        caption_ = ProgramName;
    }

private:
    int progress_ = 0;
    QString caption_ = ProgramName;
};

} // namespace divograf

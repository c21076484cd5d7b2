// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

// Lets GoogleTest print Qt's texts as text and a stored parameter as its value and width, so
// that a failed comparison shows what was wrong.

#include "core/fractal/panel.h"

#include <QString>

#include <ostream>

inline std::ostream &operator<<(std::ostream &os, const QString &text)
{
    return os << text.toStdString();
}

inline void PrintTo(const QString &text, std::ostream *os) { *os << '"' << text << '"'; }

namespace divograf {

inline void PrintTo(const StoredInt &v, std::ostream *os)
{
    *os << v.value << (v.width == Width::Bits16 ? " (16-bit)" : " (32-bit)");
}

} // namespace divograf

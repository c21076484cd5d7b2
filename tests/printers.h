// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

// GoogleTest prints Qt's texts as text, a stored parameter as its value and width.

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

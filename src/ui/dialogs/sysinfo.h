// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>
#include <QStringList>

namespace divograf::sysinfo {

// The programs that show the machine's make-up, looked for on the PATH in this order: the
// dedicated ones first (KDE's Info Center, the desktop-independent HardInfo, Windows' own),
// then the system monitors of the desktops that lack one (GNOME, MATE, Xfce, LXDE).
inline const QStringList Programs{
    QStringLiteral("kinfocenter"),
    QStringLiteral("hardinfo"),
    QStringLiteral("msinfo32"),
    QStringLiteral("gnome-system-monitor"),
    QStringLiteral("mate-system-monitor"),
    QStringLiteral("xfce4-taskmanager"),
    QStringLiteral("lxtask"),
};

// What the About box says when none can be started.
inline const QString Unavailable = QStringLiteral("System Information Is Unavailable At This Time");

// Starts the first of `Programs` found as an executable on the PATH, detached, without
// arguments and never through a shell. False when none is found or it could not be started.
bool start();

} // namespace divograf::sysinfo

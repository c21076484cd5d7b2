// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include "ui/dialogs/sysinfo.h"

#include <QStringList>

namespace divograf {

// Starts the program at `path` detached, with no arguments and never through a shell, so the
// path is taken as it is, blanks and all. False when it could not be started.
bool startProgram(const QString &path);

#ifdef Q_OS_WIN

// The registry of advapi32 (8-bit versions) and the launcher.
class HostServices final : public SystemServices
{
public:
    long openKey(std::uint32_t root, const QByteArray &subKey, std::uint32_t access,
        KeyHandle &key) override;
    long queryValue(KeyHandle key, const QByteArray &name, std::uint32_t &type, QByteArray &data,
        std::uint32_t &size) override;
    long closeKey(KeyHandle key) override;
    bool fileExists(const QString &path) override;
    bool start(const QString &path) override { return startProgram(path); }
};

#else

// A stand-in for the registry where there is none: the first key's full-path value names the
// platform's own system-information program, the first of `programs` found as an executable in
// `dirs` (the PATH when `dirs` is empty), looked for afresh at every opening. The key is absent
// when none is found; the second key is always absent, since the program is found by name.
class PathServices final : public SystemServices
{
public:
    // Dedicated system-information programs first (KDE's Info Center, the desktop-independent
    // HardInfo), then the system monitors of the Debian desktops that lack one (GNOME, MATE,
    // Xfce, LXDE), which show the machine's resources.
    static inline const QStringList Programs{
        QStringLiteral("kinfocenter"),
        QStringLiteral("hardinfo"),
        QStringLiteral("gnome-system-monitor"),
        QStringLiteral("mate-system-monitor"),
        QStringLiteral("xfce4-taskmanager"),
        QStringLiteral("lxtask"),
    };

    explicit PathServices(QStringList programs = Programs, QStringList dirs = {});

    long openKey(std::uint32_t root, const QByteArray &subKey, std::uint32_t access,
        KeyHandle &key) override;
    long queryValue(KeyHandle key, const QByteArray &name, std::uint32_t &type, QByteArray &data,
        std::uint32_t &size) override;
    long closeKey(KeyHandle key) override;
    bool fileExists(const QString &path) override;
    bool start(const QString &path) override { return startProgram(path); }

private:
    static constexpr KeyHandle ProgramKeyHandle = 1;

    QStringList programs_;
    QStringList dirs_;
    QString found_; // the program found when the key was opened
};

using HostServices = PathServices;

#endif

} // namespace divograf

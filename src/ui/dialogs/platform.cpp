// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "ui/dialogs/platform.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

#include <algorithm>
#include <utility>

namespace divograf {

bool startProgram(const QString &path)
{
    if (path.isEmpty())
        return false;
    return QProcess::startDetached(path, {});
}

#ifdef Q_OS_WIN

namespace {
HKEY toHkey(KeyHandle key) { return reinterpret_cast<HKEY>(key); }
} // namespace

long HostServices::openKey(
    std::uint32_t root, const QByteArray &subKey, std::uint32_t access, KeyHandle &key)
{
    // The predefined roots are 32-bit values sign-extended to a handle, as <winreg.h> makes them.
    const HKEY rootKey = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
    HKEY opened = nullptr;
    const LONG rc = RegOpenKeyExA(rootKey, subKey.constData(), 0, access, &opened);
    key = rc == ERROR_SUCCESS ? reinterpret_cast<KeyHandle>(opened) : 0;
    return rc;
}

long HostServices::queryValue(KeyHandle key, const QByteArray &name, std::uint32_t &type,
    QByteArray &data, std::uint32_t &size)
{
    DWORD valueType = 0;
    DWORD valueSize = static_cast<DWORD>(std::min<qsizetype>(size, data.size()));
    const LONG rc = RegQueryValueExA(toHkey(key), name.constData(), nullptr, &valueType,
        reinterpret_cast<LPBYTE>(data.data()), &valueSize);
    type = valueType;
    size = valueSize;
    return rc;
}

long HostServices::closeKey(KeyHandle key) { return RegCloseKey(toHkey(key)); }

bool HostServices::fileExists(const QString &path) { return QFileInfo(path).isFile(); }

#else

PathServices::PathServices(QStringList programs, QStringList dirs)
    : programs_(std::move(programs))
    , dirs_(std::move(dirs))
{
}

long PathServices::openKey(
    std::uint32_t root, const QByteArray &subKey, std::uint32_t, KeyHandle &key)
{
    key = 0;
    found_.clear();
    // Registry paths compare without regard to case.
    if (root != sysinfo::LocalMachine
        || subKey.compare(sysinfo::ProgramKey.toLatin1(), Qt::CaseInsensitive) != 0)
        return sysinfo::FileNotFound;
    for (const QString &program : programs_) {
        found_ = QStandardPaths::findExecutable(program, dirs_);
        if (!found_.isEmpty()) {
            key = ProgramKeyHandle;
            return sysinfo::Success;
        }
    }
    return sysinfo::FileNotFound;
}

long PathServices::queryValue(KeyHandle key, const QByteArray &name, std::uint32_t &type,
    QByteArray &data, std::uint32_t &size)
{
    if (key != ProgramKeyHandle)
        return sysinfo::InvalidHandle;
    if (name.compare(sysinfo::ProgramValue.toLatin1(), Qt::CaseInsensitive) != 0)
        return sysinfo::FileNotFound;
    // A string value as the registry keeps it: the text and its terminating zero, both counted.
    const QByteArray value = found_.toLocal8Bit() + '\0';
    const auto capacity = static_cast<qsizetype>(
        std::min<std::uint32_t>(size, static_cast<std::uint32_t>(data.size())));
    size = static_cast<std::uint32_t>(value.size());
    if (value.size() > capacity)
        return sysinfo::MoreData;
    std::copy(value.begin(), value.end(), data.begin());
    type = sysinfo::TypeString;
    return sysinfo::Success;
}

long PathServices::closeKey(KeyHandle key)
{
    if (key != ProgramKeyHandle)
        return sysinfo::InvalidHandle;
    found_.clear();
    return sysinfo::Success;
}

bool PathServices::fileExists(const QString &path) { return QFileInfo(path).isFile(); }

#endif

} // namespace divograf

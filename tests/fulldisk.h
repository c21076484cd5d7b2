// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#pragma once

// A file system that is full: a 12 KiB tmpfs mounted on a folder of the test's own, holding a
// parameter file `full.dvg` and a file `fill` that takes every byte left. Mounting needs root;
// where it cannot be done, `skipReason()` says why and the test skips.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <sys/mount.h>

#include <cerrno>
#include <cstring>

class FullDisk
{
public:
    explicit FullDisk(const QString &folder)
        : folder_(folder)
    {
        if (!QDir().mkpath(folder_)) {
            reason_ = QStringLiteral("cannot make the folder %1").arg(folder_);
            return;
        }
        if (::mount("tmpfs", QFile::encodeName(folder_).constData(), "tmpfs", 0, "size=12k") != 0) {
            reason_ = QStringLiteral("cannot mount a tmpfs on %1: %2").arg(folder_, QString::fromLocal8Bit(std::strerror(errno)));
            return;
        }
        mounted_ = true;
        for (int i = 0; i < 1664; ++i)
            old_.append(static_cast<char>(i % 128 == 0 ? 2 : 0));
        QFile full(path(QStringLiteral("full.dvg"))), fill(path(QStringLiteral("fill")));
        if (!full.open(QIODevice::WriteOnly) || full.write(old_) != old_.size() || !full.flush()
            || !fill.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            reason_ = QStringLiteral("cannot prepare the small disk");
            return;
        }
        while (fill.write(QByteArray(512, 'x')) == 512) {
        }
    }
    ~FullDisk()
    {
        if (mounted_)
            ::umount2(QFile::encodeName(folder_).constData(), MNT_DETACH);
    }
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;

    QString skipReason() const { return reason_; }
    QString path(const QString &name) const { return folder_ + QLatin1Char('/') + name; }
    // What `full.dvg` holds: a parameter file of 13 records, each tag 2 and value 0.
    QByteArray oldBytes() const { return old_; }
    QStringList entries() const { return QDir(folder_).entryList(QDir::NoDotAndDotDot | QDir::AllEntries); }

private:
    QString folder_;
    QString reason_;
    QByteArray old_;
    bool mounted_ = false;
};

// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "core/files/failure.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace divograf {

namespace {

constexpr const char *FolderReason = "это папка, а не файл";

// What failed, where no cause the program looks for is found.
QString kindReason(QFileDevice::FileError kind)
{
    switch (kind) {
    case QFileDevice::ReadError: return QStringLiteral("ошибка чтения");
    case QFileDevice::ResourceError:
        return QStringLiteral("не хватает места или других ресурсов системы");
    case QFileDevice::OpenError: return QStringLiteral("файл не открывается");
    case QFileDevice::PermissionsError: return QStringLiteral("нет прав доступа");
    case QFileDevice::RenameError:
        return QStringLiteral("новый файл не удалось поставить на место старого");
    case QFileDevice::RemoveError: return QStringLiteral("файл не удаляется");
    case QFileDevice::AbortError: return QStringLiteral("запись прервана");
    case QFileDevice::TimeOutError: return QStringLiteral("истекло время ожидания");
    default: return QStringLiteral("ошибка записи");
    }
}

// The longest name of one file or folder that the common file systems take, in bytes.
constexpr qsizetype LongestName = 255;

} // namespace

Failure fileFailure(const QString &doing, const QString &path, const QString &reason)
{
    return {QStringLiteral("Не удалось %1 «%2»: %3.")
                .arg(doing, QDir::toNativeSeparators(path), reason)};
}

QString notAFileReason(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return {};
    if (info.isDir())
        return QString::fromUtf8(FolderReason);
#ifdef Q_OS_UNIX
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) == 0) {
        if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode))
            return QStringLiteral("это устройство, а не файл");
        if (S_ISFIFO(status.st_mode))
            return QStringLiteral("это канал (FIFO), а не файл");
        if (S_ISSOCK(status.st_mode))
            return QStringLiteral("это сокет, а не файл");
    }
#endif
    return QStringLiteral("это не обычный файл");
}

QString reasonOf(const QFileDevice &file)
{
    // The cause is looked for after the failure, on the file system as it stands: the error
    // number is gone by the time Qt returns, its clean-up having made system calls of its own.
    // A file being written holds what it took of the disk until it is given up.
    const QString path = QFileInfo(file.fileName()).absoluteFilePath();
    if (const QString kind = notAFileReason(path); !kind.isEmpty())
        return kind;
    const QStringList names = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &name : names)
        if (QFile::encodeName(name).size() > LongestName)
            return QStringLiteral("слишком длинное имя");
    // The deepest folder on the way that exists: the file's own, or where the way breaks off.
    QFileInfo folder(QFileInfo(path).absolutePath());
    while (!folder.exists() && !folder.isRoot())
        folder.setFile(folder.absolutePath());
    if (!folder.isDir())
        return QStringLiteral("часть пути не папка");
    const QFileInfo target(path);
    const bool writing = qobject_cast<const QSaveFile *>(&file) || file.isWritable();
    if (folder.absoluteFilePath() != target.absolutePath() || (!writing && !target.exists()))
        return QStringLiteral("нет такого файла или папки");
    if (writing && QStorageInfo(folder.absoluteFilePath()).isReadOnly())
        return QStringLiteral("файловая система только для чтения");
    if (writing ? !folder.isWritable() : !target.isReadable())
        return QStringLiteral("нет прав доступа");
    // Qt refuses to replace a file its owner may not write, though the folder would allow it.
    if (writing && target.exists() && !target.isWritable())
        return QStringLiteral("файл защищён от записи");
    if (writing && QStorageInfo(folder.absoluteFilePath()).bytesAvailable() == 0)
        return QStringLiteral("на диске нет места");
    return kindReason(file.error());
}

} // namespace divograf

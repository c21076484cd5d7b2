// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "core/files/failure.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QStorageInfo>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace divograf {

namespace {

constexpr const char *FolderReason = "это папка, а не файл";

// The system errors a file operation meets, in the program's own words. Qt reports them with
// the system's text, which is matched here against the text Qt makes of each error number.
struct KnownError
{
    int code;
    const char *reason;
};

constexpr KnownError KnownErrors[] = {
    {ENOSPC, "на диске нет места"},
#ifdef EDQUOT
    {EDQUOT, "исчерпана дисковая квота"},
#endif
    {EFBIG, "файл слишком велик для этого диска"},
    {EACCES, "нет прав доступа"},
    {EPERM, "операция не разрешена"},
    {EROFS, "файловая система только для чтения"},
    {EISDIR, FolderReason},
    {ENOTDIR, "часть пути не папка"},
    {ENOENT, "нет такого файла или папки"},
    {ENAMETOOLONG, "слишком длинное имя"},
    {EIO, "ошибка ввода-вывода на диске"},
    {EMFILE, "открыто слишком много файлов"},
};

// What failed, where the system gave no reason the program knows.
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
    const QString text = file.errorString();
    for (const KnownError &e : KnownErrors)
        if (text == qt_error_string(e.code))
            return QString::fromUtf8(e.reason);
    // Qt refuses some files itself, before the system is asked.
    const QFileInfo info(file.fileName());
    if (info.isDir())
        return QString::fromUtf8(FolderReason);
    if (QStorageInfo(info.absolutePath()).isReadOnly())
        return QStringLiteral("файловая система только для чтения");
    if (info.exists() && !info.isWritable() && file.error() != QFileDevice::ReadError)
        return QStringLiteral("файл защищён от записи");
    return kindReason(file.error());
}

} // namespace divograf

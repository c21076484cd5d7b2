// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "core/files/paramfile.h"

#include "core/surface/status.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

namespace divograf {

namespace {

constexpr qsizetype TagSize = 2;
constexpr qsizetype TailPiece = 64 * 1024;
const QString Saving = QStringLiteral("сохранить параметры в");
const QString Reading = QStringLiteral("прочитать");

} // namespace

QByteArray encodeParameters(const ParameterRecords &records)
{
    QByteArray bytes(ParameterFileLength, '\0');
    for (int i = 0; i < RecordCount; ++i) {
        uchar *record = reinterpret_cast<uchar *>(bytes.data()) + i * RecordLength;
        const StoredInt &r = records[i];
        qToLittleEndian<quint16>(static_cast<quint16>(r.width), record);
        if (r.width == Width::Bits16)
            qToLittleEndian<qint16>(static_cast<qint16>(r.value), record + TagSize);
        else
            qToLittleEndian<qint32>(r.value, record + TagSize);
    }
    return bytes;
}

std::variant<ParameterRecords, Failure> decodeParameters(const QByteArray &bytes)
{
    if (bytes.size() < ParameterFileLength)
        return Failure{QStringLiteral("файл короче 13 записей: %1 байт вместо %2")
                           .arg(bytes.size())
                           .arg(ParameterFileLength)};
    ParameterRecords records;
    for (int i = 0; i < RecordCount; ++i) {
        const uchar *record = reinterpret_cast<const uchar *>(bytes.constData()) + i * RecordLength;
        const quint16 tag = qFromLittleEndian<quint16>(record);
        if (tag == static_cast<quint16>(Width::Bits16))
            records[i] = {qFromLittleEndian<qint16>(record + TagSize), Width::Bits16};
        else if (tag == static_cast<quint16>(Width::Bits32))
            records[i] = {qFromLittleEndian<qint32>(record + TagSize), Width::Bits32};
        else
            return Failure{QStringLiteral("запись %1 имеет неизвестный тип %2 (ожидается 2 или 3)")
                               .arg(i + 1)
                               .arg(tag)};
    }
    return records;
}

std::optional<Failure> prepareParameterFile(QSaveFile &file, const ParameterRecords &records)
{
    const QString path = file.fileName();
    // Only a file is replaced (a symbolic link to one is written through and stays a link).
    if (const QString reason = notAFileReason(path); !reason.isEmpty())
        return fileFailure(Saving, path, reason);
    // Bytes behind the last record stay, however many: copied a piece at a time.
    QFile old(path);
    const bool keepTail = old.size() > ParameterFileLength;
    if (keepTail && !old.open(QIODevice::ReadOnly))
        return fileFailure(Reading, path, reasonOf(old));
    if (!file.open(QIODevice::WriteOnly))
        return fileFailure(Saving, path, reasonOf(file));
    const QByteArray bytes = encodeParameters(records);
    bool written = file.write(bytes) == bytes.size();
    if (written && keepTail) {
        QByteArray piece(TailPiece, Qt::Uninitialized);
        qint64 n = old.seek(ParameterFileLength) ? 0 : -1;
        while (n >= 0 && written && (n = old.read(piece.data(), piece.size())) > 0)
            written = file.write(piece.constData(), n) == n;
        if (n < 0)
            return fileFailure(Reading, path, reasonOf(old));
    }
    // A write that only filled the buffer has not reached the disk: the flush is what meets a
    // full disk, and the rename would not notice.
    if (!file.flush() || !written)
        return fileFailure(Saving, path, reasonOf(file));
    return std::nullopt;
}

std::optional<Failure> commitParameterFile(QSaveFile &file)
{
    if (!file.commit())
        return fileFailure(Saving, file.fileName(), reasonOf(file));
    return std::nullopt;
}

std::optional<Failure> saveParameterFile(const QString &path, const ParameterRecords &records)
{
    QSaveFile file(path);
    if (std::optional<Failure> failure = prepareParameterFile(file, records))
        return failure;
    return commitParameterFile(file);
}

std::variant<ParameterRecords, Failure> loadParameterFile(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    // Only a file is read: a pipe would keep the program waiting for a writer.
    if (const QString reason = notAFileReason(path); !reason.isEmpty())
        return fileFailure(QStringLiteral("загрузить параметры из"), path, reason);
    if (!QFileInfo::exists(path))
        return Failure{QStringLiteral("Файла «%1» нет. Параметры не изменены.").arg(shown)};
    if (!file.open(QIODevice::ReadOnly))
        return fileFailure(QStringLiteral("загрузить параметры из"), path, reasonOf(file));
    // A parameter file needs only its first 13 records; don't read a huge foreign file whole.
    auto decoded = decodeParameters(file.read(ParameterFileLength));
    if (auto *problem = std::get_if<Failure>(&decoded))
        return Failure{
            QStringLiteral("«%1» не файл параметров Дивографа: %2. Параметры не изменены.")
                .arg(shown, problem->message)};
    return decoded;
}

QString numberText(std::int64_t value) { return blankLed(value) + QLatin1Char(' '); }

} // namespace divograf

#include "core/files/paramfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

namespace divograf {

namespace {

constexpr qsizetype TagSize = 2;

QString nativePath(const QString &path) { return QDir::toNativeSeparators(path); }

} // namespace

QByteArray encodeParameters(const ParameterRecords &records, const QByteArray &existing)
{
    QByteArray bytes(ParameterFileLength, '\0');
    if (existing.size() > ParameterFileLength)
        bytes.append(existing.constData() + ParameterFileLength, existing.size() - ParameterFileLength);
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
        return Failure{QStringLiteral("файл короче 13 записей: %1 байт вместо %2").arg(bytes.size()).arg(ParameterFileLength)};
    ParameterRecords records;
    for (int i = 0; i < RecordCount; ++i) {
        const uchar *record = reinterpret_cast<const uchar *>(bytes.constData()) + i * RecordLength;
        const quint16 tag = qFromLittleEndian<quint16>(record);
        if (tag == static_cast<quint16>(Width::Bits16))
            records[i] = {qFromLittleEndian<qint16>(record + TagSize), Width::Bits16};
        else if (tag == static_cast<quint16>(Width::Bits32))
            records[i] = {qFromLittleEndian<qint32>(record + TagSize), Width::Bits32};
        else
            return Failure{QStringLiteral("запись %1 имеет неизвестный тип %2 (ожидается 2 или 3)").arg(i + 1).arg(tag)};
    }
    return records;
}

std::optional<Failure> saveParameterFile(const QString &path, const ParameterRecords &records)
{
    const QString shown = nativePath(path);
    QByteArray existing;
    QFile old(path);
    if (old.exists()) {
        if (!old.open(QIODevice::ReadOnly))
            return Failure{QStringLiteral("Не удалось прочитать файл «%1»: %2").arg(shown, old.errorString())};
        existing = old.readAll();
        old.close();
        if (!QFileInfo(path).isWritable())
            return Failure{QStringLiteral("Файл «%1» защищён от записи. Параметры не сохранены.").arg(shown)};
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Failure{QStringLiteral("Не удалось сохранить параметры в «%1»: %2").arg(shown, file.errorString())};
    const QByteArray bytes = encodeParameters(records, existing);
    if (file.write(bytes) != bytes.size() || !file.commit())
        return Failure{QStringLiteral("Не удалось сохранить параметры в «%1»: %2").arg(shown, file.errorString())};
    return std::nullopt;
}

std::variant<ParameterRecords, Failure> loadParameterFile(const QString &path)
{
    const QString shown = nativePath(path);
    QFile file(path);
    if (!QFileInfo(path).isFile())
        return Failure{QStringLiteral("Файла «%1» нет. Параметры не изменены.").arg(shown)};
    if (!file.open(QIODevice::ReadOnly))
        return Failure{QStringLiteral("Не удалось открыть «%1»: %2").arg(shown, file.errorString())};
    // A parameter file needs only its first 13 records; don't read a huge foreign file whole.
    auto decoded = decodeParameters(file.read(ParameterFileLength));
    if (auto *problem = std::get_if<Failure>(&decoded))
        return Failure{QStringLiteral("«%1» не файл параметров Дивографа: %2. Параметры не изменены.").arg(shown, problem->message)};
    return decoded;
}

QString numberText(std::int64_t value)
{
    const QString digits = QString::number(static_cast<qlonglong>(value));
    return (value < 0 ? digits : QLatin1Char(' ') + digits) + QLatin1Char(' ');
}

} // namespace divograf

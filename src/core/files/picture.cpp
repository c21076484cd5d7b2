#include "core/files/picture.h"

#include <QDir>
#include <QSaveFile>

namespace divograf {

std::optional<Failure> savePicture(const QImage &picture, const QString &path, const QByteArray &format)
{
    const QString shown = QDir::toNativeSeparators(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Failure{QStringLiteral("Не удалось записать рисунок в «%1»: %2").arg(shown, file.errorString())};
    // 24-bit colour holds every colour the drawings make.
    if (!picture.convertToFormat(QImage::Format_RGB888).save(&file, format.constData())) {
        file.cancelWriting();
        return Failure{QStringLiteral("Не удалось записать рисунок в «%1».").arg(shown)};
    }
    if (!file.commit())
        return Failure{QStringLiteral("Не удалось записать рисунок в «%1»: %2").arg(shown, file.errorString())};
    return std::nullopt;
}

} // namespace divograf

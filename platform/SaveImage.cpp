#include "SaveImage.h"

#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

QString ImageFormatForFile(const QString& fileName) {
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == QLatin1String("png")) return QStringLiteral("PNG");
    if (ext == QLatin1String("bmp")) return QStringLiteral("BMP");
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg") || ext == QLatin1String("jpe"))
        return QStringLiteral("JPEG");
    return {};
}

QString ImageFormatProblem(const QString& fileName) {
    if (!ImageFormatForFile(fileName).isEmpty()) return {};
    return QStringLiteral("%1: unknown picture format (use .png, .bmp or .jpg)").arg(fileName);
}

bool SaveImageAtomically(const QImage& image, const QString& fileName, QString* error) {
    auto fail = [&](const QString& message) {
        if (error) *error = message;
        return false;
    };
    const QString format = ImageFormatForFile(fileName);
    if (format.isEmpty()) return fail(ImageFormatProblem(fileName));
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("%1: %2").arg(fileName, file.errorString()));
    QImageWriter writer(&file, format.toLatin1());
    if (format == QLatin1String("JPEG")) writer.setQuality(100);
    if (!writer.write(image)) {
        file.cancelWriting();
        return fail(QStringLiteral("%1: %2").arg(fileName, writer.errorString()));
    }
    if (!file.commit()) return fail(QStringLiteral("%1: %2").arg(fileName, file.errorString()));
    return true;
}

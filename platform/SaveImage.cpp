#include "SaveImage.h"

#include <QFileInfo>
#include <QHash>
#include <QImageWriter>
#include <QSaveFile>
#include <algorithm>
#include <cmath>

QString PictureFormatForExtension(const QString& extension) {
    const QString ext = extension.toLower();
    if (ext == QLatin1String("png")) return QStringLiteral("PNG");
    if (ext == QLatin1String("bmp")) return QStringLiteral("BMP");
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg") || ext == QLatin1String("jpe"))
        return QStringLiteral("JPEG");
    if (ext == QLatin1String("svg")) return QStringLiteral("SVG");
    if (ext == QLatin1String("pdf")) return QStringLiteral("PDF");
    return {};
}

QString ImageFormatForFile(const QString& fileName) {
    const QString format = PictureFormatForExtension(QFileInfo(fileName).suffix());
    return format == QLatin1String("SVG") || format == QLatin1String("PDF") ? QString() : format;
}

QString ImageFormatProblem(const QString& fileName) {
    if (!ImageFormatForFile(fileName).isEmpty()) return {};
    return QStringLiteral("%1: unknown picture format (use .png, .bmp or .jpg)").arg(fileName);
}

QImage SmallestExactImage(const QImage& image) {
    if (image.isNull() || image.hasAlphaChannel()) return image;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int w = rgb.width(), h = rgb.height();
    QHash<QRgb, int> index;
    QList<QRgb> table;
    bool grey = true;
    QRgb last = 0;
    bool haveLast = false;
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb c = line[x] | 0xFF000000u;
            if (haveLast && c == last) continue; // bars are long runs of one colour
            last = c;
            haveLast = true;
            if (index.contains(c)) continue;
            if (table.size() == 256) return image;
            index.insert(c, static_cast<int>(table.size()));
            table.append(c);
            grey = grey && qRed(c) == qGreen(c) && qGreen(c) == qBlue(c);
        }
    }
    QImage out;
    if (table.size() <= 2) {
        while (table.size() < 2)
            table.append(table.isEmpty() || table[0] != qRgb(0, 0, 0) ? qRgb(0, 0, 0)
                                                                      : qRgb(255, 255, 255));
        out = QImage(w, h, QImage::Format_Mono);
        out.setColorTable(table);
        for (int y = 0; y < h; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
            uchar* bits = out.scanLine(y);
            std::fill(bits, bits + out.bytesPerLine(), uchar(0));
            for (int x = 0; x < w; ++x)
                if ((line[x] | 0xFF000000u) == table[1]) bits[x >> 3] |= uchar(0x80 >> (x & 7));
        }
    } else {
        out = QImage(w, h, grey ? QImage::Format_Grayscale8 : QImage::Format_Indexed8);
        if (!grey) out.setColorTable(table);
        for (int y = 0; y < h; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
            uchar* bits = out.scanLine(y);
            for (int x = 0; x < w; ++x) {
                const QRgb c = line[x] | 0xFF000000u;
                bits[x] = uchar(grey ? qRed(c) : index.value(c));
            }
        }
    }
    if (out.isNull()) return image; // no memory for the copy: the original still writes
    out.setDotsPerMeterX(image.dotsPerMeterX());
    out.setDotsPerMeterY(image.dotsPerMeterY());
    return out;
}

bool WriteImage(const QImage& image, QIODevice& device, const QString& format, int dpi,
                QString* error, int jpegQuality) {
    auto fail = [&](const QString& message) {
        if (error) *error = message;
        return false;
    };
    const bool jpeg = format == QLatin1String("JPEG");
    if (!jpeg && format != QLatin1String("PNG") && format != QLatin1String("BMP"))
        return fail(QStringLiteral("unknown picture format \"%1\"").arg(format));
    QImage picture = jpeg ? image : SmallestExactImage(image);
    const int dotsPerMeter = static_cast<int>(std::lround(dpi / 0.0254));
    picture.setDotsPerMeterX(dotsPerMeter);
    picture.setDotsPerMeterY(dotsPerMeter);
    QImageWriter writer(&device, format.toLatin1());
    // PNG keeps zlib's default level: the strongest saves 4 % on a barcode at
    // four times the time.
    if (jpeg) writer.setQuality(std::clamp(jpegQuality, 0, 100));
    if (!writer.write(picture)) return fail(writer.errorString());
    return true;
}

bool WriteFileAtomically(const QString& fileName,
                         const std::function<bool(QIODevice&, QString*)>& write, QString* error) {
    auto fail = [&](const QString& message) {
        if (error) *error = QStringLiteral("%1: %2").arg(fileName, message);
        return false;
    };
    // QSaveFile copies the permission bits of the file it replaces, but keeps the
    // owner's write bit, which it needs while writing: a read-only file that we
    // may replace (as its owner's superuser) has its own bits put back after.
    const bool existed = QFileInfo::exists(fileName);
    // The "User" flags say what we may do, not the file's bits: setting them
    // would set the owner's.
    const QFileDevice::Permissions userFlags =
        QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser;
    const auto bits = [&] { return QFile::permissions(fileName) & ~userFlags; };
    const QFileDevice::Permissions before = existed ? bits() : QFileDevice::Permissions();
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
    QString problem;
    if (!write(file, &problem)) {
        file.cancelWriting();
        return fail(problem);
    }
    if (!file.commit()) return fail(file.errorString());
    if (existed && bits() != before && !QFile::setPermissions(fileName, before))
        return fail(QStringLiteral("written, but its permission bits could not be put back"));
    return true;
}

bool SaveImageAtomically(const QImage& image, const QString& fileName, QString* error,
                         const QString& format, int dpi) {
    const QString f = format.isEmpty() ? ImageFormatForFile(fileName) : format;
    if (f.isEmpty()) {
        if (error) *error = ImageFormatProblem(fileName);
        return false;
    }
    return WriteFileAtomically(
        fileName,
        [&](QIODevice& device, QString* e) { return WriteImage(image, device, f, dpi, e); }, error);
}

#include "tests/ScanSupport.h"

#include <cstring>

#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

QImage WithQuietZone(const QImage& picture, int margin) {
    QImage out(picture.width() + 2 * margin, picture.height() + 2 * margin, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    p.drawImage(margin, margin, picture);
    return out;
}

namespace {

struct Run {
    bool started = false;
    QByteArray out;
    QByteArray err;
};

Run RunDecoder(const QString& program, QStringList args, const QImage& picture) {
    Run run;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("scan.png"));
    if (!WithQuietZone(picture).save(file, "PNG")) return run;
    args << file;
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(10000)) return run;
    p.waitForFinished(60000);
    run.started = true;
    run.out = p.readAllStandardOutput();
    run.err = p.readAllStandardError();
    return run;
}

} // namespace

ScanResult ScanWithZbar(const QImage& picture) {
    ScanResult r;
    const Run run = RunDecoder(QStringLiteral("zbarimg"),
                               {QStringLiteral("-q"), QStringLiteral("--xml"),
                                QStringLiteral("-Supca.enable"), QStringLiteral("-Supce.enable")},
                               picture);
    r.log = (run.out + run.err).toStdString();
    if (!run.started) return r;
    // UPC-A and UPC-E are reported as EAN-13 unless asked for by name.
    // The XML form names the symbology and its modifiers; the data is taken from
    // the raw bytes, since an XML reader would turn a carriage return into a line feed.
    const QByteArray& xml = run.out;
    const qsizetype symbol = xml.indexOf("<symbol ");
    if (symbol < 0) return r;
    const qsizetype tagEnd = xml.indexOf('>', symbol);
    const QByteArray tag = xml.mid(symbol, tagEnd - symbol);
    auto attribute = [&](const QByteArray& name) {
        const qsizetype at = tag.indexOf(" " + name + "='");
        if (at < 0) return QByteArray();
        const qsizetype from = at + name.size() + 3;
        return tag.mid(from, tag.indexOf('\'', from) - from);
    };
    r.symbology = attribute("type").toStdString();
    r.modifiers = attribute("modifiers").toStdString();
    const qsizetype dataTag = xml.indexOf("<data", tagEnd);
    const qsizetype open = xml.indexOf("<![CDATA[", dataTag);
    const qsizetype close = xml.indexOf("]]></data>", open);
    if (dataTag < 0 || open < 0 || close < 0) return r;
    const QByteArray data = xml.mid(open + 9, close - open - 9);
    const bool base64 = xml.mid(dataTag, open - dataTag).contains("format='base64'");
    r.text = (base64 ? QByteArray::fromBase64(data) : data).toStdString();
    r.ok = true;
    return r;
}

ScanResult ScanWithZxing(const QImage& picture, const QStringList& options) {
    ScanResult r;
    const Run run = RunDecoder(QStringLiteral("ZXingReader"), options, picture);
    r.log = (run.out + run.err).toStdString();
    if (!run.started) return r;
    // "Bytes:" lists the data in hexadecimal, which survives control characters.
    for (const QByteArray& line : run.out.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon < 0) continue;
        const QByteArray key = line.left(colon).trimmed();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (key == "Bytes") {
            r.text = QByteArray::fromHex(value).toStdString();
            r.ok = true;
        } else if (key == "Format") {
            r.symbology = value.toStdString();
        } else if (key == "Identifier") {
            r.identifier = value.toStdString();
        } else if (key == "Error") {
            r.ok = false;
        }
    }
    return r;
}

QImage GeneratedImage(const QString& code, int type, const TGenerateOptions& options) {
    const std::u16string text(reinterpret_cast<const char16_t*>(code.utf16()),
                              std::size_t(code.size()));
    const TBitmap picture = GenerateBarcodePicture(text, type, options);
    QImage image(picture.Width(), picture.Height(), QImage::Format_RGB32);
    for (int y = 0; y < picture.Height(); ++y)
        std::memcpy(image.scanLine(y), picture.Row(y), std::size_t(picture.Width()) * 4);
    return image;
}

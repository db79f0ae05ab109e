#include "ScanSupport.h"

#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>

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
    // The XML form keeps the data exact and names the symbology.
    QXmlStreamReader xml(run.out);
    while (!xml.atEnd()) {
        if (!xml.readNextStartElement()) continue;
        if (xml.name() == QLatin1String("symbol")) {
            r.symbology = xml.attributes().value(QLatin1String("type")).toString().toStdString();
        } else if (xml.name() == QLatin1String("data")) {
            const bool base64 =
                xml.attributes().value(QLatin1String("format")) == QLatin1String("base64");
            const QString data = xml.readElementText();
            r.text =
                base64 ? QByteArray::fromBase64(data.toLatin1()).toStdString() : data.toStdString();
            r.ok = true;
            break;
        }
    }
    return r;
}

ScanResult ScanWithZxing(const QImage& picture) {
    ScanResult r;
    const Run run = RunDecoder(QStringLiteral("ZXingReader"), {}, picture);
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

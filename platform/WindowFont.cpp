#include "platform/WindowFont.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QtEndian>

namespace {

constexpr const char* FontFolder = "/usr/share/wine/fonts/";

// Wine's Tahoma carries bitmap strikes for the small sizes whose line metrics
// (9 + 2 pixels at 8 points) cut off the carons of Czech capitals, and it asks
// for its typographic metrics, which are smaller still. Windows lays Tahoma
// out by its ascent and descent (11 + 2 pixels at 8 points, 13 a line). Hiding
// the strikes' tables and clearing the request makes Qt do the same. A file
// whose table directory does not look right is left as it is.
QByteArray WithWindowsMetrics(QByteArray font) {
    const auto u16 = [&](qsizetype at) {
        return qFromBigEndian<quint16>(reinterpret_cast<const uchar*>(font.constData()) + at);
    };
    const auto u32 = [&](qsizetype at) {
        return qFromBigEndian<quint32>(reinterpret_cast<const uchar*>(font.constData()) + at);
    };
    if (font.size() < 12) return font;
    const int tables = u16(4);
    if (font.size() < 12 + 16 * qsizetype(tables)) return font;
    for (int i = 0; i < tables; ++i) {
        const qsizetype entry = 12 + 16 * qsizetype(i);
        const QByteArray tag = font.mid(entry, 4);
        const quint32 offset = u32(entry + 8);
        const quint32 length = u32(entry + 12);
        if (tag == "EBLC" || tag == "EBDT" || tag == "EBSC") {
            font[entry] = 'x'; // an unknown tag: the table is skipped
        } else if (tag == "OS/2" && length >= 64 &&
                   offset + quint64(length) <= quint64(font.size())) {
            const quint16 useTypoMetrics = 0x80;
            const quint16 selection = u16(offset + 62) & ~useTypoMetrics;
            qToBigEndian(selection, reinterpret_cast<uchar*>(font.data()) + offset + 62);
        }
    }
    return font;
}

bool Register(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return false;
    return QFontDatabase::addApplicationFontFromData(WithWindowsMetrics(f.readAll())) >= 0;
}

} // namespace

bool RegisterWindowFont() {
    static bool done = false;
    static bool registered = false;
    if (done || !qGuiApp) return registered;
    done = true;
    const QString folder = QString::fromLatin1(FontFolder);
    const bool regular = Register(folder + QStringLiteral("tahoma.ttf"));
    const bool bold = Register(folder + QStringLiteral("tahomabd.ttf"));
    registered = regular && bold;
    QGuiApplication::setFont(QFont(QStringLiteral("Tahoma"), 8));
    return registered;
}

#include "picture/SaveImage.h"

#include "picture/PictureFormats.h"

#include <QHash>
#include <QImageWriter>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <zlib.h>

namespace {

bool IsPalettedOrGrey(const QImage& image) {
    const QImage::Format f = image.format();
    return f == QImage::Format_Mono || f == QImage::Format_Grayscale8 ||
           f == QImage::Format_Indexed8;
}

void AppendBigEndian(QByteArray& out, quint32 v) {
    const char bytes[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    out.append(bytes, 4);
}

void AppendChunk(QByteArray& out, const char* type, QByteArrayView data) {
    AppendBigEndian(out, quint32(data.size()));
    const qsizetype start = out.size();
    out.append(type, 4);
    out.append(data);
    const auto* typed = reinterpret_cast<const Bytef*>(out.constData() + start);
    AppendBigEndian(out, quint32(crc32(crc32(0, nullptr, 0), typed, uInt(4 + data.size()))));
}

// One raw deflate stream per thread, reset for every picture: setting one up
// clears a quarter of a megabyte.
struct TDeflater {
    z_stream stream{};
    bool ready = false;
    // Level 3 of zlib's usual matching: the run-length strategy alone is a
    // fifth faster but leaves the repeated digits of the text uncompressed
    // (the default EAN-13 picture: 2,148 bytes against 1,831; level 6 saves
    // another 10 % at four times the time). Rows equal to the one above are
    // all zeros and cost next to nothing either way; memory level 6 keeps the
    // hash table small, so resetting it for every picture is cheap.
    TDeflater() : ready(deflateInit2(&stream, 3, Z_DEFLATED, -15, 6, Z_DEFAULT_STRATEGY) == Z_OK) {}
    ~TDeflater() {
        if (ready) deflateEnd(&stream);
    }
    TDeflater(const TDeflater&) = delete;
    TDeflater& operator=(const TDeflater&) = delete;
};

// The zlib stream of the PNG rows: a row equal to the row above takes the Up
// filter (all zeros), every other row none. zlib deflates; the two header
// bytes and the Adler-32 sum around its raw stream are written here, because
// the sum of a row of zeros is known without reading it: zlib's own would read
// every byte of the picture once more.
bool DeflateRows(const QImage& picture, qsizetype rowBytes, QByteArray& out) {
    thread_local TDeflater deflater;
    z_stream& z = deflater.stream;
    if (!deflater.ready || deflateReset(&z) != Z_OK) return false;
    const int h = picture.height();
    out = QByteArray(qsizetype(deflateBound(&z, uLong((rowBytes + 1) * h))) + 6, Qt::Uninitialized);
    out[0] = char(0x78); // deflate with a 32 KB window
    out[1] = char(0x5E); // no dictionary, a fast level (and the header's check bits)
    z.next_out = reinterpret_cast<Bytef*>(out.data() + 2);
    z.avail_out = uInt(out.size() - 6);
    const QByteArray upRow = QByteArray(1, char(2)) + QByteArray(rowBytes, char(0));
    static const char noFilter = 0;
    constexpr quint32 Base = 65521; // the Adler-32 modulus
    quint32 a = 1, b = 0;
    const auto feed = [&](const void* data, qsizetype size) {
        z.next_in = static_cast<Bytef*>(const_cast<void*>(data)); // zlib only reads it
        z.avail_in = uInt(size);
        return deflate(&z, Z_NO_FLUSH) == Z_OK && z.avail_in == 0;
    };
    for (int y = 0; y < h; ++y) {
        const uchar* line = picture.constScanLine(y);
        if (y > 0 && std::memcmp(line, picture.constScanLine(y - 1), size_t(rowBytes)) == 0) {
            if (!feed(upRow.constData(), upRow.size())) return false;
            a = (a + 2) % Base;
            b = quint32((b + a + quint64(rowBytes) * a) % Base);
        } else {
            if (!feed(&noFilter, 1) || !feed(line, rowBytes)) return false;
            const uLong sum =
                adler32(adler32((b << 16) | a, reinterpret_cast<const Bytef*>(&noFilter), 1), line,
                        uInt(rowBytes));
            a = sum & 0xFFFF;
            b = sum >> 16;
        }
    }
    if (deflate(&z, Z_FINISH) != Z_STREAM_END) return false;
    out.truncate(2 + qsizetype(z.total_out));
    AppendBigEndian(out, (b << 16) | a);
    return true;
}

// PNG for 1-bit and 8-bit palette and 8-bit grey pictures, written here rather
// than by Qt's writer, which tries every row filter at zlib's slow default and
// took six times as long as all the drawing.
bool WritePng(const QImage& picture, QIODevice& device, int dotsPerMeter, QString* problem) {
    const bool grey = picture.format() == QImage::Format_Grayscale8;
    const int depth = picture.format() == QImage::Format_Mono ? 1 : 8;
    const int w = picture.width(), h = picture.height();
    QByteArray idat;
    if (!DeflateRows(picture, (qsizetype(w) * depth + 7) / 8, idat)) {
        *problem = QStringLiteral("the PNG data could not be compressed");
        return false;
    }

    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray header;
    AppendBigEndian(header, quint32(w));
    AppendBigEndian(header, quint32(h));
    // bit depth, colour type (0 grey, 3 palette), deflate, adaptive filters, no interlace
    const char format[5] = {char(depth), char(grey ? 0 : 3), 0, 0, 0};
    header.append(format, 5);
    AppendChunk(png, "IHDR", header);
    if (!grey) {
        QByteArray palette;
        for (const QRgb c : picture.colorTable()) {
            const char entry[3] = {char(qRed(c)), char(qGreen(c)), char(qBlue(c))};
            palette.append(entry, 3);
        }
        AppendChunk(png, "PLTE", palette);
    }
    QByteArray physical;
    AppendBigEndian(physical, quint32(dotsPerMeter));
    AppendBigEndian(physical, quint32(dotsPerMeter));
    physical.append(char(1)); // per metre
    AppendChunk(png, "pHYs", physical);
    AppendChunk(png, "IDAT", idat);
    AppendChunk(png, "IEND", {});
    if (device.write(png) != png.size()) {
        *problem = device.errorString();
        return false;
    }
    return true;
}

} // namespace

QImage SmallestExactImage(const QImage& image) {
    if (image.isNull() || image.hasAlphaChannel()) return image;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int w = rgb.width(), h = rgb.height();
    // Colours by first appearance. Greys, all a barcode has, are indexed by
    // their level; others by a hash.
    std::array<int, 256> greyIndex;
    greyIndex.fill(-1);
    QHash<QRgb, int> colourIndex;
    const auto isGrey = [](QRgb c) { return qRed(c) == qGreen(c) && qGreen(c) == qBlue(c); };
    const auto indexOf = [&](QRgb c) {
        return isGrey(c) ? greyIndex[qBlue(c)] : colourIndex.value(c, -1);
    };
    QList<QRgb> table;
    QRgb last = 0;
    bool haveLast = false;
    // Most rows of a barcode are the row above again.
    const auto sameAsAbove = [&](int y) {
        return y > 0 && std::memcmp(rgb.constScanLine(y), rgb.constScanLine(y - 1),
                                    size_t(w) * sizeof(QRgb)) == 0;
    };
    for (int y = 0; y < h; ++y) {
        if (sameAsAbove(y)) continue;
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb c = line[x] | 0xFF000000u;
            if (haveLast && c == last) continue; // bars are long runs of one colour
            last = c;
            haveLast = true;
            if (indexOf(c) >= 0) continue;
            if (table.size() == 256) return image;
            const int index = static_cast<int>(table.size());
            if (isGrey(c))
                greyIndex[qBlue(c)] = index;
            else
                colourIndex.insert(c, index);
            table.append(c);
        }
    }
    const bool grey = colourIndex.isEmpty();
    QImage out;
    // Every byte of a row, the padding after the last pixel too: BMP files
    // hold them.
    const auto convertRows = [&](const auto& convertRow) {
        for (int y = 0; y < h; ++y) {
            uchar* bits = out.scanLine(y);
            if (sameAsAbove(y)) {
                std::memcpy(bits, out.constScanLine(y - 1), size_t(out.bytesPerLine()));
                continue;
            }
            std::fill(bits, bits + out.bytesPerLine(), uchar(0));
            convertRow(reinterpret_cast<const QRgb*>(rgb.constScanLine(y)), bits);
        }
    };
    if (table.size() <= 2) {
        while (table.size() < 2)
            table.append(table.isEmpty() || table[0] != qRgb(0, 0, 0) ? qRgb(0, 0, 0)
                                                                      : qRgb(255, 255, 255));
        out = QImage(w, h, QImage::Format_Mono);
        if (out.isNull()) return image;
        out.setColorTable(table);
        const QRgb one = table[1];
        convertRows([&](const QRgb* line, uchar* bits) {
            for (int x = 0; x < w; ++x)
                if ((line[x] | 0xFF000000u) == one) bits[x >> 3] |= uchar(0x80 >> (x & 7));
        });
    } else {
        out = QImage(w, h, grey ? QImage::Format_Grayscale8 : QImage::Format_Indexed8);
        if (out.isNull()) return image;
        if (!grey) out.setColorTable(table);
        convertRows([&](const QRgb* line, uchar* bits) {
            for (int x = 0; x < w; ++x)
                bits[x] = grey ? uchar(line[x]) // the blue level, which is every level
                               : uchar(indexOf(line[x] | 0xFF000000u));
        });
    }
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
    const TPictureFormat* row = PictureFormatNamed(format);
    if (!row || row->Drawing)
        return fail(QStringLiteral("unknown picture format \"%1\"").arg(format));
    const bool jpeg = format == QLatin1String("JPEG");
    QImage picture = jpeg ? image : SmallestExactImage(image);
    const int dotsPerMeter = static_cast<int>(std::lround(dpi / 0.0254));
    if (format == QLatin1String("PNG") && IsPalettedOrGrey(picture)) {
        QString problem;
        return WritePng(picture, device, dotsPerMeter, &problem) || fail(problem);
    }
    picture.setDotsPerMeterX(dotsPerMeter);
    picture.setDotsPerMeterY(dotsPerMeter);
    QImageWriter writer(&device, format.toLatin1());
    // PNG keeps zlib's default level: the strongest saves 4 % on a barcode at
    // four times the time.
    if (jpeg) writer.setQuality(std::clamp(jpegQuality, 0, 100));
    if (!writer.write(picture)) return fail(writer.errorString());
    return true;
}

bool SaveImageAtomically(const QImage& image, const QString& fileName, QString* error,
                         const QString& format, int dpi) {
    QString f = format;
    if (f.isEmpty()) {
        const TPictureFormat* byName = PictureFormatOfFile(fileName);
        if (!byName || byName->Drawing) {
            if (error)
                *error = QStringLiteral("%1: unknown picture format (use .png, .bmp or .jpg)")
                             .arg(fileName);
            return false;
        }
        f = byName->Name;
    }
    return WriteFileAtomically(
        fileName,
        [&](QIODevice& device, QString* e) { return WriteImage(image, device, f, dpi, e); }, error);
}

#include "propsave/zlib_interface.h"

#include "picture/FileIO.h"

#include <QBuffer>
#include <QStringDecoder>

#include <zlib.h>

#include <array>

namespace {

constexpr qint64 kChunk = 65536;
constexpr qint64 kMaxText = qint64(256) << 20;

// Writes what a zlib call produced into Out.
void Emit(QIODevice& Out, const Bytef* Data, qint64 Size) {
    if (Size > 0 && Out.write(reinterpret_cast<const char*>(Data), Size) != Size)
        throw EZlibError("cannot write the output stream");
}

} // namespace

qint64 CompressStream(QIODevice& Source, QIODevice& Dest) {
    z_stream z{};
    if (deflateInit(&z, Z_DEFAULT_COMPRESSION) != Z_OK) throw EZlibError("deflateInit failed");
    std::array<Bytef, kChunk> out;
    try {
        Source.seek(0);
        int flush = Z_NO_FLUSH;
        do {
            QByteArray in = Source.read(kChunk);
            flush = Source.atEnd() || in.isEmpty() ? Z_FINISH : Z_NO_FLUSH;
            z.next_in = reinterpret_cast<Bytef*>(in.data());
            z.avail_in = static_cast<uInt>(in.size());
            do {
                z.next_out = out.data();
                z.avail_out = kChunk;
                deflate(&z, flush); // cannot fail with a valid state and buffers
                Emit(Dest, out.data(), kChunk - z.avail_out);
            } while (z.avail_out == 0);
        } while (flush != Z_FINISH);
    } catch (...) {
        deflateEnd(&z);
        throw;
    }
    deflateEnd(&z);
    return Dest.size();
}

qint64 DecompressStream(QIODevice& Source, QIODevice& Dest, qint64 MaxSize) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) throw EZlibError("inflateInit failed");
    std::array<Bytef, kChunk> out;
    qint64 written = 0;
    try {
        int ret = Z_OK;
        while (ret != Z_STREAM_END) {
            QByteArray in = Source.read(kChunk);
            if (in.isEmpty()) break; // cut short: keep what came so far
            z.next_in = reinterpret_cast<Bytef*>(in.data());
            z.avail_in = static_cast<uInt>(in.size());
            do {
                z.next_out = out.data();
                z.avail_out = kChunk;
                ret = inflate(&z, Z_NO_FLUSH);
                if (ret == Z_NEED_DICT || ret == Z_DATA_ERROR || ret == Z_MEM_ERROR ||
                    ret == Z_STREAM_ERROR)
                    throw EZlibError(z.msg ? z.msg : "invalid zlib stream");
                const qint64 produced = kChunk - z.avail_out;
                written += produced;
                if (MaxSize >= 0 && written > MaxSize) throw EZlibError("inflated data too large");
                Emit(Dest, out.data(), produced);
            } while (z.avail_out == 0 && ret != Z_STREAM_END);
        }
    } catch (...) {
        inflateEnd(&z);
        throw;
    }
    inflateEnd(&z);
    return Dest.size();
}

QString CompressText(const QString& Text, const QString& FileName) {
    QByteArray plain = AnsiBytes(Text);
    QBuffer source(&plain);
    source.open(QIODevice::ReadOnly);
    QByteArray packed;
    QBuffer dest(&packed);
    dest.open(QIODevice::WriteOnly);
    CompressStream(source, dest);
    if (!FileName.isEmpty()) WriteWholeFile(FileName, packed);
    return QString::fromLatin1(packed);
}

QString DecompressText(const QString& Text, const QString& FileName) {
    QByteArray packed = FileName.isEmpty() ? Text.toLatin1() : ReadWholeFile(FileName);
    QBuffer source(&packed);
    source.open(QIODevice::ReadOnly);
    QByteArray plain;
    QBuffer dest(&plain);
    dest.open(QIODevice::WriteOnly);
    DecompressStream(source, dest, kMaxText);
    return AnsiText(plain);
}

QByteArray AnsiBytes(const QString& Text) {
    return Text.toUtf8();
}

QString AnsiText(const QByteArray& Bytes) {
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(Bytes);
    if (!utf8.hasError()) return text;
    // One stray byte (a hand edit in another code page) must not turn every
    // other line's letters into pairs of Latin-1 characters, which the next
    // save would write back for good: only the lines that are no UTF-8 are
    // taken byte by byte. CR and LF never occur inside a UTF-8 sequence.
    text.clear();
    text.reserve(Bytes.size());
    const QByteArrayView all(Bytes);
    qsizetype start = 0;
    while (true) {
        qsizetype end = start;
        while (end < all.size() && all[end] != '\r' && all[end] != '\n')
            ++end;
        const QByteArrayView line = all.sliced(start, end - start);
        // A fresh decoder for each line (its error flag stays set); a
        // byte-order mark is dropped only at the start of the whole text.
        QStringDecoder decoder(QStringConverter::Utf8,
                               start == 0 ? QStringConverter::Flag::Stateless
                                          : QStringConverter::Flag::Stateless |
                                                QStringConverter::Flag::ConvertInitialBom);
        const QString decoded = decoder.decode(line);
        text += decoder.hasError() ? QString::fromLatin1(line) : decoded;
        if (end == all.size()) break;
        text += QChar(char16_t(all[end]));
        start = end + 1;
    }
    return text;
}

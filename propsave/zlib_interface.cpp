#include "propsave/zlib_interface.h"

#include "picture/FileIO.h"
#include "platform/QtConvert.h"

#include <QBuffer>
#include <QStringDecoder>

#include <zlib.h>

#include <array>

namespace {

constexpr qint64 kChunk = 65536;
constexpr qint64 kMaxText = qint64(256) << 20;

// A zlib stream with its output chunk, ended on every path out of its use;
// End is deflateEnd or inflateEnd, set once the stream is set up.
class TZStream {
public:
    z_stream z{};
    int (*End)(z_streamp) = nullptr;

    TZStream() = default;
    ~TZStream() {
        if (End) End(&z);
    }
    TZStream(const TZStream&) = delete;
    TZStream& operator=(const TZStream&) = delete;

    // In becomes the input, which the calls take from until it is used up.
    void Feed(QByteArray& In) {
        z.next_in = reinterpret_cast<Bytef*>(In.data());
        z.avail_in = static_cast<uInt>(In.size());
    }
    // A whole empty chunk for the next call's output.
    void MakeRoom() {
        z.next_out = out.data();
        z.avail_out = kChunk;
    }
    // What the last call put into the chunk.
    qint64 Produced() const { return kChunk - z.avail_out; }
    bool ChunkFull() const { return z.avail_out == 0; }
    // Writes what the last call produced into Dest.
    void Emit(QIODevice& Dest) const {
        const qint64 size = Produced();
        if (size > 0 && Dest.write(reinterpret_cast<const char*>(out.data()), size) != size)
            throw EZlibError("cannot write the output stream");
    }

private:
    std::array<Bytef, kChunk> out;
};

// Runs convert (CompressStream or DecompressStream) from Bytes into new bytes.
template <class Convert> QByteArray Converted(QByteArray Bytes, Convert convert) {
    QBuffer source(&Bytes);
    source.open(QIODevice::ReadOnly);
    QByteArray result;
    QBuffer dest(&result);
    dest.open(QIODevice::WriteOnly);
    convert(source, dest);
    return result;
}

} // namespace

qint64 CompressStream(QIODevice& Source, QIODevice& Dest) {
    TZStream stream;
    if (deflateInit(&stream.z, Z_DEFAULT_COMPRESSION) != Z_OK)
        throw EZlibError("deflateInit failed");
    stream.End = deflateEnd;
    Source.seek(0);
    int flush = Z_NO_FLUSH;
    do {
        QByteArray in = Source.read(kChunk);
        flush = Source.atEnd() || in.isEmpty() ? Z_FINISH : Z_NO_FLUSH;
        stream.Feed(in);
        do {
            stream.MakeRoom();
            deflate(&stream.z, flush); // cannot fail with a valid state and buffers
            stream.Emit(Dest);
        } while (stream.ChunkFull());
    } while (flush != Z_FINISH);
    return Dest.size();
}

qint64 DecompressStream(QIODevice& Source, QIODevice& Dest, qint64 MaxSize) {
    TZStream stream;
    if (inflateInit(&stream.z) != Z_OK) throw EZlibError("inflateInit failed");
    stream.End = inflateEnd;
    qint64 written = 0;
    int ret = Z_OK;
    while (ret != Z_STREAM_END) {
        QByteArray in = Source.read(kChunk);
        if (in.isEmpty()) break; // cut short: keep what came so far
        stream.Feed(in);
        do {
            stream.MakeRoom();
            ret = inflate(&stream.z, Z_NO_FLUSH);
            if (ret == Z_NEED_DICT || ret == Z_DATA_ERROR || ret == Z_MEM_ERROR ||
                ret == Z_STREAM_ERROR)
                throw EZlibError(stream.z.msg ? stream.z.msg : "invalid zlib stream");
            written += stream.Produced();
            if (MaxSize >= 0 && written > MaxSize) throw EZlibError("inflated data too large");
            stream.Emit(Dest);
        } while (stream.ChunkFull() && ret != Z_STREAM_END);
    }
    return Dest.size();
}

QString CompressText(const QString& Text, const QString& FileName) {
    const QByteArray packed = Converted(AnsiBytes(Text), CompressStream);
    if (!FileName.isEmpty()) WriteWholeFile(FileNameBytes(FileName), packed.toStdString());
    return QString::fromLatin1(packed);
}

QString DecompressText(const QString& Text, const QString& FileName) {
    const QByteArray packed =
        FileName.isEmpty() ? Text.toLatin1()
                           : QByteArray::fromStdString(ReadWholeFile(FileNameBytes(FileName)));
    return AnsiText(Converted(packed, [](QIODevice& Source, QIODevice& Dest) {
        return DecompressStream(Source, Dest, kMaxText);
    }));
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

// The settings file's readers: the INI text parser (SetIniText, and the file
// reader with its byte-order marks) and the compressed reader (DecompressText)
// on any bytes. What must hold: parsing, writing and parsing again gives the
// same store, in every form the file can be written in, and every key of
// the written text reads back its value.
#include "fuzz/FuzzSupport.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "propsave/PropSaveMain.h"
#include "propsave/zlib_interface.h"

namespace {

std::string Utf8(const QString& s) {
    return s.toStdString();
}

// A folder for the files of the file reader, kept for the whole run: in
// memory where the system has such a folder, since every save syncs its file.
const QDir& Folder() {
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/barcodegen-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/barcodegen-fuzz-XXXXXX"));
    static const QDir d(dir.path());
    return d;
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size(),
               Utf8(path));
}

// Every key of the store's text reads back its value: the value of its first
// line in the first section of its name. The typed reads take any value.
void CheckReads(const TMemIniFileEx& store, const QString& text) {
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    QStringList sectionsSeen;
    QStringList keysSeen;
    QString section;
    bool firstOfName = false;
    int reads = 0;
    for (const QString& line : lines) {
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = line.mid(1, line.size() - 2);
            firstOfName = !sectionsSeen.contains(section, Qt::CaseInsensitive);
            sectionsSeen.append(section);
            keysSeen.clear();
            FUZZ_CHECK(store.SectionExists(section), Utf8(section));
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0 || !firstOfName || reads > 64) continue; // the sections all the same
        const QString key = line.left(eq);
        if (keysSeen.contains(key, Qt::CaseInsensitive)) continue;
        keysSeen.append(key);
        ++reads;
        const QString value = line.mid(eq + 1);
        FUZZ_CHECK(store.ValueExists(section, key), Utf8(section + u'/' + key));
        FUZZ_CHECK(store.ReadString(section, key, QStringLiteral("\x01")) == value,
                   Utf8(section + u'/' + key + u'=' + value));
        if (value.size() > 64) continue;
        static const QRegularExpression decimal(QStringLiteral("^-?[0-9]{1,9}$"));
        const int i = store.ReadInteger(section, key, 12345);
        if (decimal.match(value).hasMatch())
            FUZZ_CHECK(i == value.toInt(), Utf8(value) + " read as " + std::to_string(i));
        store.ReadInt64(section, key, 0);
        store.ReadBool(section, key, false);
        store.ReadFloat(section, key, 0.0);
        store.ReadDateTime(section, key, QDateTime());
    }
    FUZZ_CHECK(store.ReadSections() == sectionsSeen, Utf8(text.left(200)));
}

// Parse, write, parse again: the same store. Returns the written text.
QString CheckRoundTrip(const TMemIniFileEx& store, const std::string& what) {
    const QString text = store.GetIniText();
    TMemIniFileEx again(QString(), false, false);
    again.SetIniText(text);
    FUZZ_CHECK(again.GetIniText() == text, what + ": " + Utf8(text.left(200)));
    CheckReads(again, text);
    return text;
}

// The compressed form of a text inflates to the same text and store.
void CheckCompressed(const QString& text, const std::string& what) {
    // The file holds UTF-8: a text with half a surrogate pair cannot be written.
    if (!text.isValidUtf16()) return;
    const QString packed = CompressText(text, QString());
    FUZZ_CHECK(packed.size() >= 2 && packed[0] == u'\x78' && packed[1] == u'\x9c', what);
    FUZZ_CHECK(DecompressText(packed, QString()) == text, what + ": " + Utf8(text.left(200)));
}

// The store written to a file, plain (in the encoding it was read in) and
// compressed, reads back as the same store.
void CheckFiles(TMemIniFileEx& store, const std::string& what) {
    const QString text = store.GetIniText();
    if (!text.isValidUtf16()) return;
    const bool compress = store.Compress();
    for (const bool compressed : {false, true}) {
        const QString path = Folder().filePath(compressed ? QStringLiteral("written.ini.compress")
                                                          : QStringLiteral("written.ini"));
        store.SetFileName(path);
        store.SetCompress(compressed);
        store.UpdateFile();
        const TMemIniFileEx back(path, compressed, false);
        FUZZ_CHECK(back.GetIniText() == text, what + (compressed ? ": compressed" : ": plain"));
        FUZZ_CHECK(compressed || back.Encoding() == store.Encoding() || text.isEmpty(),
                   what + ": encoding");
    }
    store.SetCompress(compress);
}

} // namespace

// The plain text: as the code page's bytes, as UTF-16 code units, or as a
// file (with or without a byte-order mark).
FUZZ_TARGET(settings_text) {
    TFuzzInput in(Data, Size);
    const int mode = in.Pick(3);
    const QByteArray bytes = QByteArray::fromStdString(in.Rest());
    if (mode == 2) {
        const QString path = Folder().filePath(QStringLiteral("read.ini"));
        WriteBytes(path, bytes);
        TMemIniFileEx store(path, false, false);
        CheckRoundTrip(store, "file");
        CheckFiles(store, "file");
        return;
    }
    QString text;
    if (mode == 0)
        text = AnsiText(bytes);
    else
        text = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()),
                                  bytes.size() / 2);
    TMemIniFileEx store(QString(), false, false);
    store.SetIniText(text);
    const QString written = CheckRoundTrip(store, mode == 0 ? "bytes" : "utf-16");
    CheckCompressed(written, "compressed round trip");
}

// The compressed reader: any bytes as the file's content, in memory or read
// from the file; or a text of ours compressed and then cut short, which must
// inflate to a beginning of it, or with one byte changed.
FUZZ_TARGET(settings_compressed) {
    TFuzzInput in(Data, Size);
    const int mode = in.Pick(4);
    QByteArray packed;
    QByteArray plain;
    if (mode <= 1) {
        packed = QByteArray::fromStdString(in.Rest());
    } else {
        const unsigned at = unsigned(in.Byte()) << 8 | in.Byte();
        plain = QByteArray::fromStdString(in.Rest());
        packed = CompressText(AnsiText(plain), QString()).toLatin1(); // never empty
        if (mode == 2)
            packed.truncate(at % (packed.size() + 1));
        else
            packed[at % packed.size()] ^= static_cast<char>(1 + at % 255);
    }
    QString text;
    try {
        if (mode == 1) {
            const QString path = Folder().filePath(QStringLiteral("read.ini.compress"));
            WriteBytes(path, packed);
            text = DecompressText(QString(), path);
        } else {
            text = DecompressText(QString::fromLatin1(packed), QString());
        }
    } catch (const EZlibError&) {
        return;
    }
    if (mode == 2) {
        // Whole lines come back in UTF-8; the last one, cut anywhere, may be
        // no UTF-8 and then reads one character per byte.
        const QByteArray whole = AnsiBytes(AnsiText(plain));
        const qsizetype last = std::max(text.lastIndexOf(u'\n'), text.lastIndexOf(u'\r')) + 1;
        const QByteArray head = AnsiBytes(text.left(last));
        const QByteArray tail = whole.mid(head.size());
        FUZZ_CHECK(whole.startsWith(head) && (tail.startsWith(AnsiBytes(text.mid(last))) ||
                                              tail.startsWith(text.mid(last).toLatin1())),
                   "a stream cut short gave more than its beginning: " + Utf8(text.left(100)));
    }
    TMemIniFileEx store(QString(), true, false);
    store.SetIniText(text);
    const QString written = CheckRoundTrip(store, "inflated");
    CheckCompressed(written, "compressed round trip");
}

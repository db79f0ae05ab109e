// TMemIniFileEx: the INI model, its text form and its file.
#include "propsave/PropSaveMain.h"

#include "complib/bFloatFormat.h"
#include "complib/bstring.h"
#include "complib/btool.h"
#include "picture/FileIO.h"
#include "platform/LocaleFormats.h"
#include "platform/QtConvert.h"
#include "propsave/zlib_interface.h"

#include <QFileInfo>
#include <QLocale>
#include <QStringDecoder>
#include <QStringEncoder>

#include <climits>
#include <optional>
#include <utility>

namespace {

// Names and keys compare as QString::compare without case does: code point
// by code point, each folded on its own (ß stays one letter). Equal names
// have equal folded forms, which the indexes hash.
QString Folded(QStringView Name) {
    QString folded;
    folded.reserve(Name.size());
    for (qsizetype i = 0; i < Name.size(); ++i) {
        char32_t c = Name[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < Name.size() && Name[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(Name[i], Name[i + 1]);
            ++i;
        }
        c = QChar::toCaseFolded(c);
        if (QChar::requiresSurrogates(c)) {
            folded += QChar(QChar::highSurrogate(c));
            folded += QChar(QChar::lowSurrogate(c));
        } else {
            folded += QChar(static_cast<char16_t>(c));
        }
    }
    return folded;
}

// The key of a line: the text before its first "="; none for a line without.
std::optional<QStringView> KeyOf(const QString& Line) {
    const qsizetype eq = Line.indexOf(u'=');
    if (eq < 0) return std::nullopt;
    return QStringView(Line).left(eq);
}

std::optional<qint64> ParseInt64(const QString& Text) {
    bool ok = false;
    if (Text.size() >= 3 && Text[0] == u'0' && (Text[1] == u'x' || Text[1] == u'X')) {
        const quint64 v = QStringView(Text).mid(2).toULongLong(&ok, 16);
        if (ok && v <= quint64(LLONG_MAX)) return qint64(v);
        return std::nullopt;
    }
    const qint64 v = Text.toLongLong(&ok, 10);
    return ok ? std::optional<qint64>(v) : std::nullopt;
}

struct TBom {
    TFileEncoding Encoding;
    QByteArray Mark;
    QStringConverter::Encoding Converter;
};
const TBom boms[] = {
    {TFileEncoding::Utf8Bom, QByteArray("\xEF\xBB\xBF"), QStringConverter::Utf8},
    {TFileEncoding::Utf16LEBom, QByteArray("\xFF\xFE"), QStringConverter::Utf16LE},
    {TFileEncoding::Utf16BEBom, QByteArray("\xFE\xFF"), QStringConverter::Utf16BE},
};

QString DecodeFile(const QByteArray& Bytes, TFileEncoding& Encoding) {
    for (const TBom& b : boms) {
        if (Bytes.startsWith(b.Mark)) {
            Encoding = b.Encoding;
            QStringDecoder decoder(b.Converter, QStringConverter::Flag::Stateless);
            return decoder.decode(QByteArrayView(Bytes).sliced(b.Mark.size()));
        }
    }
    Encoding = TFileEncoding::Ansi;
    return AnsiText(Bytes);
}

QByteArray EncodeFile(const QString& Text, TFileEncoding Encoding) {
    for (const TBom& b : boms) {
        if (b.Encoding == Encoding) {
            QStringEncoder encoder(b.Converter, QStringConverter::Flag::Stateless);
            return b.Mark + QByteArray(encoder.encode(Text));
        }
    }
    return AnsiBytes(Text);
}

const QString crlf = QStringLiteral("\r\n");

} // namespace

TMemIniFileEx::TMemIniFileEx(const QString& FileName, bool Compress, bool ShowErrors)
    : FFileName(FileName), FCompress(Compress) {
    if (FFileName.isEmpty() || !QFileInfo::exists(FFileName)) return;
    try {
        if (FCompress)
            SetIniText(DecompressText(QString(), FFileName));
        else
            SetIniText(DecodeFile(
                QByteArray::fromStdString(ReadWholeFile(FileNameBytes(FFileName))), FEncoding));
    } catch (const std::exception&) {
        Clear();
        if (ShowErrors) ShowPropSaveMessage(QString::fromUtf16(kCannotOpenFile).arg(FFileName));
    }
}

void TMemIniFileEx::TSection::Append(const QString& Line) {
    Lines.append(Line);
    if (const auto key = KeyOf(Line)) {
        const QString folded = Folded(*key);
        if (!Keys.contains(folded)) Keys.insert(folded, Lines.size() - 1);
    }
}

qsizetype TMemIniFileEx::TSection::FindKey(const QString& Ident) const {
    return Keys.value(Folded(Ident), -1);
}

void TMemIniFileEx::TSection::RemoveLine(qsizetype Index) {
    const QStringList rest = std::exchange(Lines, {});
    Keys.clear();
    for (qsizetype i = 0; i < rest.size(); ++i)
        if (i != Index) Append(rest[i]);
}

void TMemIniFileEx::AppendSection(const QString& Name) {
    FSections.append({Name, {}, {}});
    const QString folded = Folded(Name);
    if (!FSectionIndex.contains(folded)) FSectionIndex.insert(folded, FSections.size() - 1);
}

void TMemIniFileEx::Clear() {
    FSections.clear();
    FSectionIndex.clear();
}

const TMemIniFileEx::TSection* TMemIniFileEx::Find(const QString& Section) const {
    const qsizetype i = FSectionIndex.value(Folded(Section), -1);
    return i < 0 ? nullptr : &FSections[i];
}

TMemIniFileEx::TSection* TMemIniFileEx::Find(const QString& Section) {
    return const_cast<TSection*>(std::as_const(*this).Find(Section));
}

bool TMemIniFileEx::SectionExists(const QString& Section) const {
    return Find(Section) != nullptr;
}

QStringList TMemIniFileEx::ReadSections() const {
    QStringList names;
    for (const TSection& s : FSections)
        names.append(s.Name);
    return names;
}

void TMemIniFileEx::EraseSection(const QString& Section) {
    const qsizetype i = FSectionIndex.value(Folded(Section), -1);
    if (i < 0) return;
    FSections.removeAt(i);
    // The sections after it moved up, and a later one of that name becomes the first.
    FSectionIndex.clear();
    for (qsizetype k = 0; k < FSections.size(); ++k) {
        const QString folded = Folded(FSections[k].Name);
        if (!FSectionIndex.contains(folded)) FSectionIndex.insert(folded, k);
    }
}

void TMemIniFileEx::DeleteKey(const QString& Section, const QString& Ident) {
    if (TSection* s = Find(Section)) {
        const qsizetype i = s->FindKey(Ident);
        if (i >= 0) s->RemoveLine(i);
    }
}

bool TMemIniFileEx::ValueExists(const QString& Section, const QString& Ident) const {
    const TSection* s = Find(Section);
    return s && s->FindKey(Ident) >= 0;
}

QString TMemIniFileEx::ReadString(const QString& Section, const QString& Ident,
                                  const QString& Default) const {
    const TSection* s = Find(Section);
    if (!s) return Default;
    const qsizetype i = s->FindKey(Ident);
    if (i < 0) return Default;
    const QString& line = s->Lines[i];
    return line.mid(line.indexOf(u'=') + 1);
}

void TMemIniFileEx::WriteString(const QString& Section, const QString& Ident,
                                const QString& Value) {
    TSection* s = Find(Section);
    if (!s) {
        AppendSection(Section);
        s = &FSections.last();
    }
    const QString line = Ident + u'=' + Value;
    // A found Ident holds no "=", so the line keeps its key.
    const qsizetype i = s->FindKey(Ident);
    if (i >= 0)
        s->Lines[i] = line;
    else
        s->Append(line);
}

int TMemIniFileEx::ReadInteger(const QString& Section, const QString& Ident, int Default) const {
    const QString text = ReadString(Section, Ident, QString());
    const std::optional<qint64> v = ParseInt64(text);
    if (!v) return Default;
    const bool hex = text.size() >= 3 && text[1].toLower() == u'x';
    if (hex && *v <= qint64(UINT_MAX)) return static_cast<int>(static_cast<quint32>(*v));
    return *v >= INT_MIN && *v <= INT_MAX ? static_cast<int>(*v) : Default;
}

qint64 TMemIniFileEx::ReadInt64(const QString& Section, const QString& Ident,
                                qint64 Default) const {
    return ParseInt64(ReadString(Section, Ident, QString())).value_or(Default);
}

void TMemIniFileEx::WriteInteger(const QString& Section, const QString& Ident, qint64 Value) {
    WriteString(Section, Ident, QString::number(Value));
}

bool TMemIniFileEx::ReadBool(const QString& Section, const QString& Ident, bool Default) const {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TMemIniFileEx::WriteBool(const QString& Section, const QString& Ident, bool Value) {
    WriteString(Section, Ident, Value ? QStringLiteral("1") : QStringLiteral("0"));
}

QDateTime TMemIniFileEx::ReadDateTime(const QString& Section, const QString& Ident,
                                      const QDateTime& Default) const {
    const QString text = ReadString(Section, Ident, QString());
    if (text.isEmpty()) return Default;
    const QLocale locale;
    QDateTime dt = locale.toDateTime(text, ShortDateFormat() + u' ' + LongTimeFormat());
    if (dt.isValid()) return dt;
    const QDate d = locale.toDate(text, ShortDateFormat());
    return d.isValid() ? QDateTime(d, QTime(0, 0)) : Default;
}

void TMemIniFileEx::WriteDateTime(const QString& Section, const QString& Ident,
                                  const QDateTime& Value) {
    const QLocale locale;
    QString text = locale.toString(Value.date(), ShortDateFormat());
    if (Value.time() != QTime(0, 0)) text += u' ' + locale.toString(Value.time(), LongTimeFormat());
    WriteString(Section, Ident, text);
}

double TMemIniFileEx::ReadFloat(const QString& Section, const QString& Ident,
                                double Default) const {
    return StrToFloat(ReadString(Section, Ident, QString()), DecimalSep()).value_or(Default);
}

void TMemIniFileEx::WriteFloat(const QString& Section, const QString& Ident, double Value) {
    WriteString(Section, Ident, FloatToStrGeneral(Value, DecimalSep()));
}

QString TMemIniFileEx::GetIniText() const {
    QString text;
    for (const TSection& s : FSections) {
        text += u'[' + s.Name + u']' + crlf;
        for (const QString& line : s.Lines)
            text += line + crlf;
        text += crlf;
    }
    return text;
}

void TMemIniFileEx::SetIniText(const QString& Text) {
    Clear();
    qsizetype start = 0;
    while (start < Text.size()) {
        qsizetype end = start;
        while (end < Text.size() && Text[end] != u'\r' && Text[end] != u'\n')
            ++end;
        const QString line = StrTrim(Text.mid(start, end - start));
        start =
            end + (end + 1 < Text.size() && Text[end] == u'\r' && Text[end + 1] == u'\n' ? 2 : 1);

        if (line.isEmpty() || line.startsWith(u';')) continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            AppendSection(StrTrim(line.mid(1, line.size() - 2)));
            continue;
        }
        if (FSections.isEmpty()) continue;
        const qsizetype eq = line.indexOf(u'=');
        FSections.last().Append(eq < 0 ? line
                                       : StrTrim(line.left(eq)) + u'=' + StrTrim(line.mid(eq + 1)));
    }
}

void TMemIniFileEx::UpdateFile() const {
    if (FCompress)
        CompressText(GetIniText(), FFileName);
    else
        WriteWholeFile(FileNameBytes(FFileName), EncodeFile(GetIniText(), FEncoding).toStdString());
}

// TPropSaveFile: the settings file component, and the one place where the
// settings file speaks to the user.
#include "propsave/PropSaveMain.h"

#include "complib/bdlg.h"
#include "complib/btool.h"
#include "picture/FileIO.h"
#include "picture/PictureFormats.h"
#include "platform/QtConvert.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <climits>
#include <cstdio>

namespace {

// A string's characters that the file cannot hold as they are: TAB would be
// lost to trimming, CR and LF would split the line (and a value could then
// open a section of its own).
const struct {
    char16_t Char;
    const char16_t* Code;
} escapes[] = {{u'\t', u"_#9_"}, {u'\r', u"_#13_"}, {u'\n', u"_#10_"}};

QString Escape(QString S) {
    for (const auto& e : escapes)
        S.replace(QChar(e.Char), QString::fromUtf16(e.Code));
    return S;
}

QString Unescape(QString S) {
    for (const auto& e : escapes)
        S.replace(QString::fromUtf16(e.Code), QChar(e.Char));
    return S;
}

// The executable's path without its extension (from the last "." of the
// file name on).
QString ExecutableWithoutExtension() {
    const QString exe = QCoreApplication::applicationFilePath();
    const qsizetype dot = ExtensionStart(ToU16(exe));
    return dot >= 0 ? exe.left(dot) : exe;
}

// A name the caller gave as absolute is its choice, wherever that is.
QString InAppFolder(const QString& FileName) {
    if (QDir::isAbsolutePath(FileName)) return FileName;
    return WritableSettingsPath(QDir(AppFolder()).filePath(FileName));
}

} // namespace

QString UserSettingsFolder() {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (config.isEmpty()) return QString();
    return config + u'/' + QFileInfo(ExecutableWithoutExtension()).fileName();
}

QString WritableSettingsPath(const QString& BesideProgram) {
    const QFileInfo file(BesideProgram);
    // access() underneath: a read-only mount or an immutable folder counts for root too.
    if (QFileInfo(file.absolutePath()).isWritable()) return BesideProgram;
    const QString folder = UserSettingsFolder();
    return folder.isEmpty() ? BesideProgram : folder + u'/' + file.fileName();
}

void ShowPropSaveMessage(const QString& Text) {
    // Without a widget application (a headless tool reading settings) there is
    // no one to show a dialog to; the message still must not vanish.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        std::fprintf(stderr, "%s\n", Text.toLocal8Bit().constData());
        return;
    }
    // A simple box: the program's title, no symbol, one OK button.
    MsgDialog(dkNone, dbOk, {QStringLiteral("^C") + ApplicationTitle(), Text}, true);
}

TValueKind ValueKindOf(const QVariant& Value) {
    if (Value.isNull()) return TValueKind::Null;
    switch (Value.typeId()) {
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
        return TValueKind::Integer;
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return TValueKind::Int64;
    case QMetaType::Float:
    case QMetaType::Double:
        return TValueKind::Float;
    case QMetaType::QDateTime:
    case QMetaType::QDate:
        return TValueKind::DateTime;
    case QMetaType::Bool:
        return TValueKind::Boolean;
    default:
        return TValueKind::String;
    }
}

TPropSaveFile::TPropSaveFile(QObject* Owner) : TComponent(Owner) {}

TPropSaveFile::~TPropSaveFile() {
    if (FStore && !DisableAll) Save(QString(), true);
}

void TPropSaveFile::Loaded() {
    Open();
}

void TPropSaveFile::SetFileName(const QString& FileName) {
    FFileName = FileName;
    if (!FileName.isEmpty() && FStore) FStore->SetFileName(InAppFolder(FileName));
}

void TPropSaveFile::SetCompressFile(bool Compress) {
    FCompressFile = Compress;
    if (FStore) FStore->SetCompress(Compress);
}

QString TPropSaveFile::DefaultFileName() const {
    if (!FFileName.isEmpty()) return InAppFolder(FFileName);
    return WritableSettingsPath(
        ExecutableWithoutExtension() +
        (FCompressFile ? QStringLiteral(".ini.compress") : QStringLiteral(".ini")));
}

void TPropSaveFile::Open(const QString& FileName) {
    QString name = FileName;
    if (FStore) {
        if (name.isEmpty()) name = FStore->FileName();
        FStore.reset();
    }
    if (name.isEmpty()) name = DefaultFileName();
    FStore = std::make_unique<TMemIniFileEx>(name, FCompressFile, true);
}

bool TPropSaveFile::Save(const QString& FileName, bool ShowErrors) {
    if (!FStore) return true;
    if (!FileName.isEmpty()) {
        FStore->SetFileName(FileName);
        FFileName = FileName;
    }
    try {
        // Our folder among the user's settings appears with the first save;
        // any other missing folder is the caller's mistake and fails.
        const QString folder = QFileInfo(CurrentFileName()).absolutePath();
        if (folder == UserSettingsFolder()) QDir().mkpath(folder);
        FStore->UpdateFile();
        return true;
    } catch (const std::exception&) {
        if (ShowErrors)
            ShowPropSaveMessage(QString::fromUtf16(kCannotSaveFile).arg(CurrentFileName()));
        return false;
    }
}

QString TPropSaveFile::CurrentFileName() const {
    return FStore ? FStore->FileName() : QString();
}

bool TPropSaveFile::SectionExists(const QString& Section) const {
    return FStore && FStore->SectionExists(Section);
}

void TPropSaveFile::EraseSection(const QString& Section) {
    if (FStore) FStore->EraseSection(Section);
}

void TPropSaveFile::DeleteKey(const QString& Section, const QString& Ident) {
    if (FStore) FStore->DeleteKey(Section, Ident);
}

QVariant TPropSaveFile::ReadValue(const QString& Section, const QString& Ident,
                                  const QVariant& Default) {
    QVariant result = Default;
    if (FStore) {
        const TMemIniFileEx& s = *FStore;
        switch (ValueKindOf(Default)) {
        case TValueKind::Integer:
            result = s.ReadInteger(Section, Ident, Default.toInt());
            break;
        case TValueKind::Int64: {
            const qint64 v = s.ReadInt64(Section, Ident, Default.toLongLong());
            if (Default.typeId() != QMetaType::UInt)
                result = QVariant::fromValue<qint64>(v);
            else if (v >= 0 && v <= qint64(UINT_MAX))
                result = QVariant::fromValue<uint>(static_cast<uint>(v));
            break;
        }
        case TValueKind::Float:
            result = s.ReadFloat(Section, Ident, Default.toDouble());
            break;
        case TValueKind::DateTime:
            result = s.ReadDateTime(Section, Ident, Default.toDateTime());
            break;
        case TValueKind::Boolean:
            result = s.ReadBool(Section, Ident, Default.toBool());
            break;
        case TValueKind::Null:
        case TValueKind::String:
            result = Unescape(s.ReadString(Section, Ident, Default.toString()));
            break;
        }
    }
    if (OnReadValue) OnReadValue(Section, Ident, result);
    return result;
}

void TPropSaveFile::WriteValue(const QString& Section, const QString& Ident,
                               const QVariant& Value) {
    QVariant v = Value;
    if (OnWriteValue) OnWriteValue(Section, Ident, v);
    if (!FStore) return;
    TMemIniFileEx& s = *FStore;
    switch (ValueKindOf(v)) {
    case TValueKind::Null:
        s.DeleteKey(Section, Ident);
        break;
    case TValueKind::Integer:
    case TValueKind::Int64:
        s.WriteInteger(Section, Ident, v.toLongLong());
        break;
    case TValueKind::Float:
        s.WriteFloat(Section, Ident, v.toDouble());
        break;
    case TValueKind::DateTime:
        s.WriteDateTime(Section, Ident, v.toDateTime());
        break;
    case TValueKind::Boolean:
        s.WriteBool(Section, Ident, v.toBool());
        break;
    case TValueKind::String:
        s.WriteString(Section, Ident, Escape(v.toString()));
        break;
    }
}

QString TPropSaveFile::ReadString(const QString& Section, const QString& Ident,
                                  const QString& Default) {
    return ReadValue(Section, Ident, Default).toString();
}

void TPropSaveFile::WriteString(const QString& Section, const QString& Ident,
                                const QString& Value) {
    WriteValue(Section, Ident, Value);
}

int TPropSaveFile::ReadInteger(const QString& Section, const QString& Ident, int Default) {
    return ReadValue(Section, Ident, Default).toInt();
}

void TPropSaveFile::WriteInteger(const QString& Section, const QString& Ident, int Value) {
    WriteValue(Section, Ident, Value);
}

bool TPropSaveFile::ReadBool(const QString& Section, const QString& Ident, bool Default) {
    return ReadValue(Section, Ident, Default).toBool();
}

void TPropSaveFile::WriteBool(const QString& Section, const QString& Ident, bool Value) {
    WriteValue(Section, Ident, Value);
}

QDateTime TPropSaveFile::ReadDateTime(const QString& Section, const QString& Ident,
                                      const QDateTime& Default) {
    return ReadValue(Section, Ident, Default).toDateTime();
}

void TPropSaveFile::WriteDateTime(const QString& Section, const QString& Ident,
                                  const QDateTime& Value) {
    WriteValue(Section, Ident, Value);
}

bool TPropSaveFile::ReadStrings(const QString& Section, QStringList& List) {
    const int count = ReadInteger(Section, QStringLiteral("ItemsCount"), -1);
    if (count == -1) return false;
    List.clear();
    for (int i = 0; i < std::min(count, kMaxListLines); ++i)
        List.append(ReadString(Section, QStringLiteral("Item%1").arg(i), QString()));
    return true;
}

void TPropSaveFile::WriteStrings(const QString& Section, const QStringList& List) {
    WriteInteger(Section, QStringLiteral("ItemsCount"), static_cast<int>(List.size()));
    for (qsizetype i = 0; i < List.size(); ++i)
        WriteString(Section, QStringLiteral("Item%1").arg(i), List[i]);
}

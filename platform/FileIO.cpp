#include "FileIO.h"

#include <QFile>
#include <QSaveFile>

namespace {
[[noreturn]] void Fail(const QString& FileName, const QString& Why) {
    throw EFileError(QStringLiteral("%1: %2").arg(FileName, Why).toStdString());
}
} // namespace

QByteArray ReadWholeFile(const QString& FileName) {
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly)) Fail(FileName, file.errorString());
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) Fail(FileName, file.errorString());
    return data;
}

void WriteFileAtomically(const QString& FileName, const QByteArray& Data) {
    // QSaveFile syncs the temporary file to the disk before the rename and keeps
    // the permissions of the file it replaces. It never falls back to writing
    // in place (directWriteFallback stays off).
    QSaveFile file(FileName);
    if (!file.open(QIODevice::WriteOnly)) Fail(FileName, file.errorString());
    if (file.write(Data) != Data.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        Fail(FileName, why);
    }
    if (!file.commit()) Fail(FileName, file.errorString());
}

// Whole-file reading and writing. Writing goes to a temporary file in the
// same folder, which is flushed to the disk and renamed over the target only
// when complete: a failure leaves an existing file exactly as it was.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <functional>
#include <stdexcept>

// A file that cannot be read or written; the message names the file and why.
class EFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

QByteArray ReadWholeFile(const QString& FileName);

// Whether a file is flushed to the disk before it takes its name. Skip is for
// batches of thousands of small files, where the flush would cost more than
// all the drawing: a killed run still leaves no partial file under a final
// name, but a power cut may lose the newest files.
enum class TFileFlush { ToDisk, Skip };

// Writes a file whole or not at all: write fills a temporary file beside
// fileName, which takes that name only when write succeeded, so an existing
// file is never left half-written. A replaced file keeps its permission bits;
// one we may not write is left alone. Returns false with a message (naming the
// file) when it cannot.
bool WriteFileAtomically(const QString& fileName,
                         const std::function<bool(QIODevice&, QString*)>& write, QString* error,
                         TFileFlush flush = TFileFlush::ToDisk);

// Data as the whole of FileName, through the writer above; throws EFileError.
void WriteFileAtomically(const QString& FileName, const QByteArray& Data);

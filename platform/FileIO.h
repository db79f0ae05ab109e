// Whole-file reading and writing. Writing goes to a temporary file in the
// same folder, which is flushed to the disk and renamed over the target only
// when complete: a failure leaves an existing file exactly as it was.
#pragma once

#include <QByteArray>
#include <QString>

#include <stdexcept>

// A file that cannot be read or written; the message names the file and why.
class EFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

QByteArray ReadWholeFile(const QString& FileName);
void WriteFileAtomically(const QString& FileName, const QByteArray& Data);

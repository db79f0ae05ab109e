// The zlib format (RFC 1950: deflate inside the zlib wrapper, default level)
// for the compressed settings file, through zlib itself.
//
// The settings text travels as bytes in the system's code page: UTF-8 here
// (AnsiBytes, AnsiText). Compressed bytes that have to travel as text (the
// result of CompressText, the text argument of DecompressText) hold one
// character per byte (Latin-1), so that no byte is lost on the way.
#pragma once

#include <QByteArray>
#include <QString>

#include <stdexcept>

class QIODevice;

// Bytes that are not a zlib stream.
class EZlibError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Deflates Source from its first byte to its end into Dest; Dest's size after.
qint64 CompressStream(QIODevice& Source, QIODevice& Dest);

// Inflates Source from its current position into Dest, 65,536 bytes at a time,
// until the stream ends or the input does (a stream cut short gives what
// inflated up to the cut); Dest's size after. Raises EZlibError for bytes that
// are not a zlib stream, and when the output would pass MaxSize (-1: no limit).
qint64 DecompressStream(QIODevice& Source, QIODevice& Dest, qint64 MaxSize = -1);

// Compresses Text (as AnsiBytes); when FileName is not empty, the compressed
// bytes replace that file (EFileError when they cannot). Returns the bytes.
QString CompressText(const QString& Text, const QString& FileName);

// Inflates the whole file FileName, or the bytes of Text when FileName is
// empty, and returns the result as AnsiText. EFileError, EZlibError. The
// inflated text is limited to 256 MiB: a settings file is never that large,
// and a few kilobytes of crafted bytes could otherwise fill the memory.
QString DecompressText(const QString& Text, const QString& FileName);

// Text in the system's code page (UTF-8), without a byte-order mark.
QByteArray AnsiBytes(const QString& Text);
// Bytes in the system's code page. A line (up to CR or LF) that is no valid
// UTF-8 (written in an 8-bit code page) is taken one character per byte, so
// that nothing in it is lost; the other lines stay UTF-8.
QString AnsiText(const QByteArray& Bytes);

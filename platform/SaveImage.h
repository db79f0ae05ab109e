#pragma once

#include <QImage>
#include <QString>

// The writer format for a file name's extension ("PNG", "BMP", "JPEG"), or an
// empty string when the extension is none of those.
QString ImageFormatForFile(const QString& fileName);

// Why fileName cannot take a picture (its extension names no format we write),
// or an empty string when it can.
QString ImageFormatProblem(const QString& fileName);

// Writes image to fileName in the format of its extension (JPEG at quality 100).
// The file is written beside the target under a temporary name and renamed
// over it only when complete, so an existing picture is never left half-written.
// Returns false with a message in *error when it cannot.
bool SaveImageAtomically(const QImage& image, const QString& fileName, QString* error);

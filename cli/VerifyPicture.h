// --verify: a written symbol is read back by ZXing-C++, as a scanner would read
// the printed label, before its file is written.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include "cli/VerifyReading.h"

// Reads picture (a picture of GenerateBarcodePicture) back: why it does not
// read as expected (ReadingProblem), or an empty string when it does. Call
// only where UnverifiableReason is empty.
QString VerifyProblem(const QImage& picture, const TExpectedReading& expected);

// The picture a reader of the written bytes sees: PNG, BMP and JPEG decoded; an
// SVG rendered by Qt's SVG renderer at one pixel to a user unit, the resolution
// its printed size declares; a PDF page rendered by poppler at dpi, the
// resolution its page was made for. A null image, and why in problem, when the
// bytes give no picture.
QImage WrittenPicture(const QByteArray& bytes, const QString& format, int dpi, QString* problem);

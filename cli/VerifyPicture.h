// --verify: a written symbol is read back by ZXing-C++, as a scanner would read
// the printed label, before its file is written.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Why the decoder cannot read back a symbol of type that encodes preparedText
// (it has no reader for MSI, PostNet, two of five industrial and matrix and the
// UPC supplements, and reads no code shorter than its minimum), or an empty
// string when it can.
QString UnverifiableReason(int type, const QString& preparedText, bool useCheckSum);

// Reads picture (a picture of GenerateBarcodePicture) back. Returns why it does
// not read as preparedText, the text the symbol encodes (BCText; for EAN-128
// the GS1 content, for Code 39 extended its full-ASCII reading), or an empty
// string when it does. Call only where UnverifiableReason is empty.
QString VerifyProblem(const QImage& picture, int type, const QString& preparedText,
                      bool useCheckSum);

// The picture a reader of the written bytes sees: PNG, BMP and JPEG decoded; an
// SVG rendered by Qt's SVG renderer at one pixel to a user unit, the resolution
// its printed size declares; a PDF page rendered by poppler at dpi, the
// resolution its page was made for. A null image, and why in problem, when the
// bytes give no picture.
QImage WrittenPicture(const QByteArray& bytes, const QString& format, int dpi, QString* problem);

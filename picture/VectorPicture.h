// The picture of Generate as a drawing: SVG and PDF through the same canvas.
#pragma once

#include <QIODevice>
#include <QSize>
#include <QString>

#include "picture/GeneratePicture.h"

// The PDF page in points for a picture of size pixels at dpi: its size rounded
// up to whole points (Qt's PDF pages have no fractions of a point), with the
// picture in the top-left corner and less than a point left blank beside it.
QSize PdfPagePoints(QSize size, int dpi);

// Writes the picture of GenerateBarcodePicture (whose size is size) onto device
// as format "SVG" or "PDF": one pixel of the picture is one SVG user unit, and
// the PDF page is PdfPagePoints. Bars are exact rectangles, the text is the
// outlines of the picture's glyphs, so no reader needs the font. Throws
// EBarcodeError when the code is refused; returns false with a message when
// the drawing cannot be written.
bool WriteBarcodeDrawing(QIODevice& device, const QString& format, QSize size, const QString& code,
                         int type, const TGenerateOptions& options, int dpi, QString* error);

// The picture of Generate as a drawing: SVG and PDF through the same canvas.
#pragma once

#include <QIODevice>
#include <QSize>
#include <QString>

#include "GeneratePicture.h"

// Writes the picture of GenerateBarcodePicture (whose size is size) onto device
// as format "SVG" or "PDF": one pixel of the picture is one SVG user unit, and
// the PDF page is the picture's size at dpi. Bars are exact rectangles, the text
// stays text. Throws EBarcodeError when the code is refused; returns false with
// a message when the drawing cannot be written.
bool WriteBarcodeDrawing(QIODevice& device, const QString& format, QSize size, const QString& code,
                         int type, const TGenerateOptions& options, int dpi, QString* error);

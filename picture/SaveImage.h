// The one picture writer: the command-line generator and the window's Save as
// both write through it.
#pragma once

#include "picture/FileIO.h"
#include "picture/PictureFormats.h"

#include <QIODevice>
#include <QImage>
#include <QString>

inline constexpr int DefaultDpi = 96;

// The image at the fewest bits per pixel that keep every pixel exactly: one bit
// for two colours, 8-bit grey when every pixel is grey, an 8-bit palette for up
// to 256 colours; otherwise the image as it is. A barcode has black, white and
// the greys of the text's smoothed edges: 8-bit grey instead of 24-bit colour.
QImage SmallestExactImage(const QImage& image);

// Encodes image onto device in format (the Name of an image's row of
// picture/PictureFormats.h: "PNG", "BMP" or "JPEG"): PNG and BMP as
// SmallestExactImage, JPEG at jpegQuality (0 to 100), every format with the
// resolution dpi. A PNG of one bit, 8-bit grey or an 8-bit palette (every
// barcode) is written by our own encoder at zlib level 3, other pictures by
// Qt's writers. Returns false with a message when it cannot.
bool WriteImage(const QImage& image, QIODevice& device, const QString& format, int dpi,
                QString* error, int jpegQuality = 100);

// WriteImage into fileName through WriteFileAtomically; the format is that of
// the extension when none is given, and must be an image.
bool SaveImageAtomically(const QImage& image, const QString& fileName, QString* error,
                         const QString& format = {}, int dpi = DefaultDpi);

// The program's bitmaps as Qt's images, for the window, the clipboard and the
// dialogs: the picture itself is drawn without Qt (picture/GeneratePicture.h).
#pragma once

#include <QImage>

#include "picture/Bitmap.h"

// The bitmap's pixels as an opaque 32-bit image, sharing (and keeping) its
// memory: no copy. The image is read-only; writing to it copies it first.
QImage ImageOfBitmap(const TBitmap& bitmap);

// A copy of image's pixels (any format) as a bitmap; a null image gives a
// bitmap of no pixels.
TBitmap BitmapOfImage(const QImage& image);

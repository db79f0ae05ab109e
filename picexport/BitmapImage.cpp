#include "picexport/BitmapImage.h"

#include <cstring>

QImage ImageOfBitmap(const TBitmap& bitmap) {
    if (bitmap.IsNull()) return {};
    auto* kept = new TBitmap(bitmap);
    // Format_RGB32 is TBitmap's 0xAARRGGBB with the alpha ignored: every
    // picture we draw is opaque, and Qt draws RGB32 fastest.
    return QImage(
        reinterpret_cast<const uchar*>(kept->Row(0)), kept->Width(), kept->Height(),
        qsizetype(kept->Stride()) * qsizetype(sizeof(TPixel)), QImage::Format_RGB32,
        [](void* b) { delete static_cast<TBitmap*>(b); }, kept);
}

TBitmap BitmapOfImage(const QImage& image) {
    if (image.isNull()) return {};
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    TBitmap bitmap(argb.width(), argb.height());
    for (int y = 0; y < argb.height(); ++y)
        std::memcpy(bitmap.Row(y), argb.constScanLine(y),
                    std::size_t(argb.width()) * sizeof(TPixel));
    return bitmap;
}

#include "GeneratePicture.h"

#include <algorithm>
#include <string>

#include "QtCanvas.h"
#include "QtConvert.h"
#include "ZoBarcode.h"

TFont GenerateTextFont() {
    TFont f;
    f.Name = u"Tahoma";
    f.Size = 8;
    f.Color = clBlack;
    return f;
}

namespace {

QImage BlankBitmap(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// Draws into bitmap; returns the rectangle after the fit (its Right is Left + symbol width).
TRect DrawInto(QImage& bitmap, const QString& code, int type, const TGenerateOptions& o,
               int border) {
    TRect r{border, border, GenerateWidth - 2 * border, GenerateHeight - 2 * border};
    int module = 2;
    TQtCanvas canvas(bitmap);
    DrawBarcodeInRect(ToU16(code), static_cast<TBarcodeType>(type & 0xFF), canvas, r, module,
                      GenerateTextFont(), true, o.ShowText, stpBottomCenter, o.UseCheckSum);
    return r;
}

} // namespace

QImage GenerateBarcodePicture(const QString& code, int type, const TGenerateOptions& options) {
    const int b = std::clamp(options.Border, 0, GenerateMaxBorder);
    QImage bitmap = BlankBitmap(GenerateWidth, GenerateHeight);
    TRect r = DrawInto(bitmap, code, type, options, b);
    const int width = r.Right - r.Left + 2 * b;
    const int height = r.Bottom - r.Top + 2 * b;
    if (width > GenerateMaxPictureWidth)
        throw EBarcodeError(
            FormatMessage("The symbol is %s pixels wide; a picture may be at most %s.",
                          {std::to_string(width), std::to_string(GenerateMaxPictureWidth)}));
    if (width > GenerateWidth) {
        // A symbol wider than the bitmap even at module 1 would be cut at its edge
        // and no longer scan: draw it again, whole, on a bitmap wide enough.
        bitmap = BlankBitmap(width, GenerateHeight);
        r = DrawInto(bitmap, code, type, options, b);
    }
    return bitmap.copy(0, 0, width, height);
}

TPreparedCode PrepareBarcode(const QString& code, int type, bool useCheckSum) {
    TZoBarcode bc;
    bc.SetBarCode(ToU16(code));
    bc.SetBarCodeType(static_cast<TBarcodeType>(type & 0xFF));
    bc.SetUseCheckSum(useCheckSum);
    const std::u16string pattern = bc.BuildPattern();
    return {ToQString(bc.BCText), ToQString(pattern)};
}

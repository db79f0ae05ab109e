#include "picture/GeneratePicture.h"

#include <algorithm>
#include <string>

#include "engine/ZoBarcode.h"
#include "platform/QtCanvas.h"
#include "platform/QtConvert.h"

TFont GenerateTextFont() {
    TFont f;
    f.Name = u"Tahoma";
    f.Size = 8;
    f.Color = clBlack;
    return f;
}

namespace {

int BorderOf(const TGenerateOptions& o) {
    return std::clamp(o.Border, 0, GenerateMaxBorder);
}

QImage BlankBitmap(int width, int height) {
    if (qint64(width) * height > GenerateMaxPixels)
        throw EBarcodeError(FormatMessage(
            "A picture of %s x %s pixels is larger than the %s pixels allowed.",
            {std::to_string(width), std::to_string(height), std::to_string(GenerateMaxPixels)}));
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        throw EBarcodeError(FormatMessage("Not enough memory for a picture of %s x %s pixels.",
                                          {std::to_string(width), std::to_string(height)}));
    image.fill(Qt::white);
    return image;
}

// The top left width x height pixels of bitmap, without copying them: the crop
// shares the bitmap's memory (and keeps it), and copies it only when written
// to. Copying cost a twentieth of a batch's time.
QImage Cropped(const QImage& bitmap, int width, int height) {
    auto* whole = new QImage(bitmap);
    QImage crop(
        whole->constBits(), width, height, whole->bytesPerLine(), whole->format(),
        [](void* image) { delete static_cast<QImage*>(image); }, whole);
    crop.setDotsPerMeterX(bitmap.dotsPerMeterX());
    crop.setDotsPerMeterY(bitmap.dotsPerMeterY());
    return crop;
}

// The window's rectangle: left b, top b, right W - 2b, bottom H - 2b.
TRect BoxRect(const TGenerateOptions& o) {
    const int b = BorderOf(o);
    return {b, b, o.Width - 2 * b, o.Height - 2 * b};
}

// Draws on canvas; returns the rectangle after the fit (its Right is Left + symbol width).
TRect DrawInto(TCanvas& canvas, const QString& code, int type, const TGenerateOptions& o) {
    TRect r = BoxRect(o);
    int module = 2;
    DrawBarcodeInRect(ToU16(code), static_cast<TBarcodeType>(type & 0xFF), canvas, r, module,
                      GenerateTextFont(), true, o.ShowText, stpBottomCenter, o.UseCheckSum);
    return r;
}

TRect DrawInto(QImage& bitmap, const QString& code, int type, const TGenerateOptions& o) {
    TQtCanvas canvas(bitmap);
    return DrawInto(canvas, code, type, o);
}

} // namespace

QString GenerateBoxProblem(const TGenerateOptions& o) {
    if (o.Width < 1 || o.Height < 1 || o.Width > GenerateMaxPictureWidth ||
        o.Height > GenerateMaxPictureWidth || qint64(o.Width) * o.Height > GenerateMaxPixels)
        return QStringLiteral("a box of %1 x %2 pixels: each side must be 1 to %3 pixels and "
                              "the box at most %4 pixels")
            .arg(o.Width)
            .arg(o.Height)
            .arg(GenerateMaxPictureWidth)
            .arg(GenerateMaxPixels);
    const TRect r = BoxRect(o);
    if (r.Right - r.Left < 1 || r.Bottom - r.Top < 1)
        return QStringLiteral("a box of %1 x %2 pixels leaves no room inside a border of %3 "
                              "pixels (the box must exceed three borders each way)")
            .arg(o.Width)
            .arg(o.Height)
            .arg(BorderOf(o));
    return {};
}

QImage GenerateBarcodePicture(const QString& code, int type, const TGenerateOptions& options) {
    const QString problem = GenerateBoxProblem(options);
    if (!problem.isEmpty()) throw EBarcodeError(problem.toStdString());
    const int b = BorderOf(options);
    QImage bitmap = BlankBitmap(options.Width, options.Height);
    TRect r = DrawInto(bitmap, code, type, options);
    const int width = r.Right - r.Left + 2 * b;
    const int height = r.Bottom - r.Top + 2 * b;
    if (width > GenerateMaxPictureWidth)
        throw EBarcodeError(
            FormatMessage("The symbol is %s pixels wide; a picture may be at most %s.",
                          {std::to_string(width), std::to_string(GenerateMaxPictureWidth)}));
    if (width > options.Width) {
        // A symbol wider than the bitmap even at module 1 would be cut at its edge
        // and no longer scan: draw it again, whole, on a bitmap wide enough.
        bitmap = BlankBitmap(width, options.Height);
        r = DrawInto(bitmap, code, type, options);
    }
    return Cropped(bitmap, width, height);
}

void PaintBarcodePicture(QPaintDevice& device, QSize size, const QString& code, int type,
                         const TGenerateOptions& options) {
    // One painter for the whole drawing: ending one finishes an SVG or PDF document.
    TQtCanvas canvas(device);
    canvas.Pen.Color = clWhite;
    canvas.Brush.Color = clWhite;
    const int right = size.width() - 1, bottom = size.height() - 1;
    canvas.Polygon({{0, 0}, {0, bottom}, {right, bottom}, {right, 0}});
    DrawInto(canvas, code, type, options);
}

TPreparedCode PrepareBarcode(const QString& code, int type, bool useCheckSum) {
    TZoBarcode bc;
    bc.SetBarCode(ToU16(code));
    bc.SetBarCodeType(static_cast<TBarcodeType>(type & 0xFF));
    bc.SetUseCheckSum(useCheckSum);
    const std::u16string pattern = bc.BuildPattern();
    return {ToQString(bc.BCText), ToQString(pattern)};
}

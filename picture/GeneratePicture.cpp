#include "picture/GeneratePicture.h"

#include <algorithm>
#include <new>
#include <string>

#include "engine/BarcodeError.h"
#include "engine/ZoBarcode.h"
#include "picture/DrawingWriters.h"
#include "picture/RasterCanvas.h"
#include "picture/SaveImage.h"
#include "picture/TextFace.h"

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

// The window's rectangle: left b, top b, right W - 2b, bottom H - 2b.
TRect BoxRect(const TGenerateOptions& o) {
    const int b = BorderOf(o);
    return {b, b, o.Width - 2 * b, o.Height - 2 * b};
}

// The engine's symbol with everything but its place and module set.
void SetUp(TZoBarcode& bc, const std::u16string& code, TBarcodeType type, bool useCheckSum,
           bool showText) {
    bc.SetBarCode(code);
    bc.SetBarCodeType(type);
    bc.SetUseCheckSum(useCheckSum);
    bc.SetShowText(showText);
    bc.SetShowTextFont(GenerateTextFont());
    bc.SetAutoFontSize(true);
    bc.SetShowTextPosition(stpBottomCenter);
}

} // namespace

std::string GenerateBoxProblem(const TGenerateOptions& o) {
    const auto text = [](std::int64_t n) { return std::to_string(n); };
    if (o.Width < 1 || o.Height < 1 || o.Width > GenerateMaxPictureWidth ||
        o.Height > GenerateMaxPictureWidth || std::int64_t(o.Width) * o.Height > GenerateMaxPixels)
        return "a box of " + text(o.Width) + " x " + text(o.Height) +
               " pixels: each side must be 1 to " + text(GenerateMaxPictureWidth) +
               " pixels and the box at most " + text(GenerateMaxPixels) + " pixels";
    const TRect r = BoxRect(o);
    if (r.Right - r.Left < 1 || r.Bottom - r.Top < 1)
        return "a box of " + text(o.Width) + " x " + text(o.Height) +
               " pixels leaves no room inside a border of " + text(BorderOf(o)) +
               " pixels (the box must exceed three borders each way)";
    return {};
}

namespace {

TPictureLayout PrintPictureLayout(const std::u16string& code, int type,
                                  const TGenerateOptions& options) {
    TPictureLayout layout;
    layout.Code = code;
    layout.Type = static_cast<TBarcodeType>(type & 0xFF);
    layout.UseCheckSum = options.UseCheckSum;
    layout.ShowText = options.ShowText;
    TPrintOptions print = *options.Print;
    print.UseCheckSum = options.UseCheckSum;
    print.ShowText = options.ShowText;
    // Texts measure the same on every canvas: the raster one measures for all.
    TBitmap none;
    TRasterCanvas measure(none);
    const TPrintLayout& label =
        layout.Print.emplace(LayoutPrintPicture(code, layout.Type, print, measure));
    const bool across = label.QuarterTurns % 2 != 0;
    layout.Width = across ? label.Height : label.Width;
    layout.Height = across ? label.Width : label.Height;
    layout.Symbol = {0, 0, label.Width, label.Height};
    layout.Module = label.Geometry.Module;
    return layout;
}

} // namespace

TPictureLayout LayoutBarcodePicture(const std::u16string& code, int type,
                                    const TGenerateOptions& options) {
    if (options.Print) return PrintPictureLayout(code, type, options);
    const std::string problem = GenerateBoxProblem(options);
    if (!problem.empty()) throw EBarcodeError(problem);
    TPictureLayout layout;
    layout.Code = code;
    layout.Type = static_cast<TBarcodeType>(type & 0xFF);
    layout.UseCheckSum = options.UseCheckSum;
    layout.ShowText = options.ShowText;
    // The fit depends on the pattern alone, not on the text: the picture's
    // size is known before anything is drawn, so it is drawn at that size.
    TZoBarcode bc;
    SetUp(bc, layout.Code, layout.Type, layout.UseCheckSum, layout.ShowText);
    const TRect box = BoxRect(options);
    bc.SetWidth(box.Right - box.Left);
    const int symbolWidth = bc.GetWidth();
    layout.Module = bc.Modul();
    layout.Symbol = {box.Left, box.Top, box.Left + symbolWidth, box.Bottom};
    const int b = BorderOf(options);
    const std::int64_t width = std::int64_t(symbolWidth) + 2 * b;
    if (width > GenerateMaxPictureWidth)
        throw EBarcodeError(
            FormatMessage("The symbol is %s pixels wide; a picture may be at most %s.",
                          {std::to_string(width), std::to_string(GenerateMaxPictureWidth)}));
    // A symbol wider than the box is drawn whole, on the box's height: that
    // bitmap must be one we allow.
    if (width > options.Width && width * options.Height > GenerateMaxPixels)
        throw EBarcodeError(
            FormatMessage("A picture of %s x %s pixels is larger than the %s pixels allowed.",
                          {std::to_string(width), std::to_string(options.Height),
                           std::to_string(GenerateMaxPixels)}));
    layout.Width = int(width);
    layout.Height = box.Bottom - box.Top + 2 * b;
    return layout;
}

void DrawBarcodePicture(TCanvas& canvas, const TPictureLayout& layout) {
    if (layout.Print) {
        DrawPrintPicture(canvas, *layout.Print);
        return;
    }
    TZoBarcode bc;
    SetUp(bc, layout.Code, layout.Type, layout.UseCheckSum, layout.ShowText);
    bc.SetModul(layout.Module);
    bc.SetTop(layout.Symbol.Top);
    bc.SetLeft(layout.Symbol.Left);
    bc.SetHeight(layout.Symbol.Bottom - layout.Symbol.Top);
    bc.DrawBarcode(canvas);
}

TBitmap GenerateBarcodePicture(const TPictureLayout& layout) {
    TBitmap bitmap;
    try {
        if (layout.Print) return PrintBitmap(*layout.Print);
        bitmap = TBitmap(layout.Width, layout.Height, PixelWhite);
    } catch (const std::bad_alloc&) {
        throw EBarcodeError(
            FormatMessage("Not enough memory for a picture of %s x %s pixels.",
                          {std::to_string(layout.Width), std::to_string(layout.Height)}));
    }
    TRasterCanvas canvas(bitmap);
    DrawBarcodePicture(canvas, layout);
    canvas.Flush();
    return bitmap;
}

TBitmap GenerateBarcodePicture(const std::u16string& code, int type,
                               const TGenerateOptions& options) {
    return GenerateBarcodePicture(LayoutBarcodePicture(code, type, options));
}

TDrawing GenerateBarcodeDrawing(const TPictureLayout& layout) {
    TFaceGlyphs glyphs;
    TDrawingRecorder recorder(glyphs);
    recorder.Drawing.Width = layout.Print ? layout.Print->Width : layout.Width;
    recorder.Drawing.Height = layout.Print ? layout.Print->Height : layout.Height;
    recorder.Drawing.Background = PixelWhite;
    DrawBarcodePicture(recorder, layout);
    if (!layout.Print) return std::move(recorder.Drawing);
    const TPrintLayout& label = *layout.Print;
    return RotatedDrawing(ColouredDrawing(recorder.Drawing, label.Foreground, label.Background),
                          label.QuarterTurns);
}

TDrawing GenerateBarcodeDrawing(const std::u16string& code, int type,
                                const TGenerateOptions& options) {
    return GenerateBarcodeDrawing(LayoutBarcodePicture(code, type, options));
}

TBytes EncodeBarcodePicture(const TPictureFormat& format, const TPictureLayout& layout, int dpi) {
    TBytes bytes;
    std::string error;
    bool written = false;
    if (format.Drawing) {
        TFaceGlyphs glyphs;
        const TDrawing drawing = GenerateBarcodeDrawing(layout);
        written = format.Name == "SVG" ? EncodeSvg(drawing, glyphs, dpi, bytes, &error)
                                       : EncodePdf(drawing, glyphs, dpi, bytes, &error);
    } else {
        written = EncodeImage(format, GenerateBarcodePicture(layout), dpi, bytes, &error);
    }
    if (!written) throw EPictureError(error);
    return bytes;
}

TBytes EncodeBarcodePicture(const TPictureFormat& format, const std::u16string& code, int type,
                            const TGenerateOptions& options, int dpi) {
    return EncodeBarcodePicture(format, LayoutBarcodePicture(code, type, options), dpi);
}

TPreparedCode PrepareBarcode(const std::u16string& code, int type, bool useCheckSum) {
    TZoBarcode bc;
    bc.SetBarCode(code);
    bc.SetBarCodeType(static_cast<TBarcodeType>(type & 0xFF));
    bc.SetUseCheckSum(useCheckSum);
    const std::u16string pattern = bc.BuildPattern();
    return {bc.BCText, pattern};
}

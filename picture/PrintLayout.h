// Labels at a print size: the symbol at an X-dimension in printer dots with
// the quiet zones its standard asks, bars of a real height, text that follows
// the X-dimension, colours and a quarter-turn rotation. One layout, then the
// same drawing as a bitmap (PNG, BMP, JPEG) or as a recorded drawing (SVG,
// PDF). Plain C++.
#pragma once

#include <optional>
#include <string>

#include "engine/ZoBarCode_interface.h"
#include "picture/Bitmap.h"
#include "picture/PrintSize.h"

struct TPrintOptions {
    int Dpi = 300;
    TLength XDim{0.33, TLengthUnit::Millimetre};
    std::optional<TLength> BarHeight; // none: the symbology's usual height
    std::optional<double> QuietZone;  // modules each side; none: the standard's
    bool NoQuietZone = false;         // no white beside the bars at all
    bool QuietZoneMarks = false;      // EAN's "<" and ">" in the quiet zones
    std::optional<TLength> TextSize;  // the font's size; none: from the X-dimension
    std::optional<TLength> TextGap;   // between bars and text line; none: 0
    int QuarterTurns = 0;             // clockwise
    TRgba Foreground = RgbaBlack;
    TRgba Background = RgbaWhite;
    bool ShowText = true;
    bool UseCheckSum = true;
};

// The quiet zones a symbology's standard asks, in X-dimensions, left and right.
struct TQuietZones {
    double Left = 0;
    double Right = 0;
    bool operator==(const TQuietZones&) const = default;
};
// addOn: an EAN/UPC symbol that ends in an add-on, whose own right zone counts.
TQuietZones StandardQuietZones(TBarcodeType type, bool addOn, int dpi, int xDots);

// Engine modules to one X-dimension: ITF-14 draws each element as two.
int ModulesPerX(TBarcodeType type);

struct TPrintLayout {
    std::u16string Code;
    TBarcodeType Type = bcCodeEAN13;
    bool ShowText = true;
    bool UseCheckSum = true;
    TSymbolGeometry Geometry; // as measured: the quiet zones perhaps widened for the text
    TFont Font;
    double AskedXDots = 0; // the X-dimension asked, in dots
    int XDots = 0;         // the one drawn, whole dots
    int Dpi = 300;
    int Width = 0; // before the rotation
    int Height = 0;
    int TextTop = 0;          // the text line's top (for the quiet-zone marks)
    std::u16string MarkLeft;  // "<" or empty
    std::u16string MarkRight; // ">" or empty
    int QuarterTurns = 0;
    TRgba Foreground = RgbaBlack;
    TRgba Background = RgbaWhite;
};

// The picture's layout; measure measures the text (a canvas of the font the
// picture is drawn with). Throws EBarcodeError for a refused code, a module
// the engine does not draw, or a picture too large.
TPrintLayout LayoutPrintPicture(const std::u16string& code, TBarcodeType type,
                                const TPrintOptions& options, TCanvas& measure);

// Draws the layout unturned, black on white (its colours and rotation come
// after, where the picture is made).
void DrawPrintPicture(TCanvas& canvas, const TPrintLayout& layout);

// The layout as a bitmap: drawn, coloured, turned.
TBitmap PrintBitmap(const TPrintLayout& layout);

// Pixels drawn black on white in foreground and background: white to
// background, black to foreground, the greys of smoothed text edges to
// foreground at that coverage over the background.
void ColourPicture(TBitmap& bitmap, TRgba foreground, TRgba background);

// bitmap turned quarterTurns times 90 degrees clockwise.
TBitmap TurnedBitmap(const TBitmap& bitmap, int quarterTurns);

// The X-dimension drawn for the one options ask: the whole number of dots
// nearest to it (at least one module), for ITF-14 an even number.
int DrawnXDots(const TPrintOptions& options, TBarcodeType type);

// The line for standard error when the X-dimension drawn is more than 5 %
// from the one asked, or an empty string.
std::string XDimDeviation(const TPrintOptions& options, TBarcodeType type);

// The picture that Generate shows: the symbol fitted into 300 x 200 pixels with
// a white border, the picture the symbol plus its border. The window and the
// command-line generator both draw it here, so their pictures are identical.
// Plain C++: a bitmap through the raster canvas, a drawing through the
// recorder, files through the writers.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "engine/Canvas.h"
#include "engine/ZoBarCode_interface.h"
#include "picture/Bitmap.h"
#include "picture/DrawingRecorder.h"
#include "picture/ImageWriters.h"
#include "picture/PictureFormats.h"
#include "picture/PrintLayout.h"

inline constexpr int GenerateWidth = 300;
inline constexpr int GenerateHeight = 200;
inline constexpr int GenerateMaxBorder = 30;
// Wider symbols (tens of thousands of characters) are refused rather than
// drawn into a picture of gigabytes.
inline constexpr int GenerateMaxPictureWidth = 32767;
// The largest box (and picture) in pixels: 8192 x 8192, or half a gigabyte
// of bitmap, far more than any label needs.
inline constexpr std::int64_t GenerateMaxPixels = std::int64_t(1) << 26;

struct TGenerateOptions {
    bool UseCheckSum = true;
    bool ShowText = true;
    int Border = 10; // 0..30 pixels; 0 when the border is off
    // The box the symbol is fitted into, by the same rules as the window's
    // 300 x 200: a larger box gives wider modules, always whole pixels.
    int Width = GenerateWidth;
    int Height = GenerateHeight;
    // A label at a print size instead of the box: a module in dots, the
    // standards' quiet zones, bar height, text, colours and a turn of its own
    // (UseCheckSum and ShowText above count; its own are not read). Border,
    // Width and Height do not count then.
    std::optional<TPrintOptions> Print;
};

// The text font of the symbols (the window's font: Tahoma, 8 points).
TFont GenerateTextFont();

// Why the options' box cannot take a symbol (too large, or no room left inside
// the border), or an empty string when it can.
std::string GenerateBoxProblem(const TGenerateOptions& options);

// Everything the drawing needs, decided before anything is drawn.
struct TPictureLayout {
    std::u16string Code;
    TBarcodeType Type = bcTypeUndefined;
    bool UseCheckSum = true;
    bool ShowText = true;
    // The picture: the symbol plus the border on the left, right and top;
    // below the symbol the box's last border.
    int Width = 0;
    int Height = 0;
    // What the engine draws into: the box inside the border, Right being
    // Left + the symbol's width (which may pass the box's: a symbol that
    // does not fit even at modules of one pixel is drawn whole).
    TRect Symbol;
    int Module = 1; // pixels, as the fit found it
    // A label at a print size: drawn by this instead; Width and Height are
    // the picture's after its turn, Symbol the label's before it.
    std::optional<TPrintLayout> Print;
};

// type is the symbology's index; any 8-bit value is passed on, so 255 (nothing
// selected) fails with the engine's wrong-type message. Throws EBarcodeError
// with the engine's message when the code is refused, and when the box is not
// one GenerateBoxProblem takes or the picture would be wider than
// GenerateMaxPictureWidth.
TPictureLayout LayoutBarcodePicture(const std::u16string& code, int type,
                                    const TGenerateOptions& options);

// Draws the symbol of layout on canvas, whose ground (layout.Width x
// layout.Height, one unit a pixel) is white: the same bars and texts on a
// raster canvas and on a drawing recorder. A label at a print size is drawn
// as its Symbol, unturned and black on white: the picture and the drawing
// below colour and turn it.
void DrawBarcodePicture(TCanvas& canvas, const TPictureLayout& layout);

// The picture as pixels (white ground, black bars, antialiased text).
TBitmap GenerateBarcodePicture(const TPictureLayout& layout);
TBitmap GenerateBarcodePicture(const std::u16string& code, int type,
                               const TGenerateOptions& options);

// The same picture as a drawing of exact rectangles and texts, for SVG and PDF.
TDrawing GenerateBarcodeDrawing(const TPictureLayout& layout);
TDrawing GenerateBarcodeDrawing(const std::u16string& code, int type,
                                const TGenerateOptions& options);

// A picture that cannot be written in a format (a resolution out of range).
class EPictureError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The file of the picture in format at dpi: PNG, BMP and JPEG of the bitmap,
// SVG and PDF of the drawing (the text as the outlines of the same glyphs).
// Throws EBarcodeError as LayoutBarcodePicture, EPictureError when the
// writer cannot write it.
TBytes EncodeBarcodePicture(const TPictureFormat& format, const TPictureLayout& layout, int dpi);
TBytes EncodeBarcodePicture(const TPictureFormat& format, const std::u16string& code, int type,
                            const TGenerateOptions& options, int dpi);

// What the generated symbol encodes (BCText after the build) and its pattern,
// without drawing. Throws EBarcodeError like GenerateBarcodePicture.
struct TPreparedCode {
    std::u16string Text;
    std::u16string Pattern;
};
TPreparedCode PrepareBarcode(const std::u16string& code, int type, bool useCheckSum);

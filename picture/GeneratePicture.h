// The picture that Generate shows: the symbol fitted into 300 x 200 pixels with
// a white border, cropped to the symbol plus border. The window and the
// command-line generator both call this, so their pictures are identical.
#pragma once

#include <QImage>
#include <QPaintDevice>
#include <QString>

#include "engine/Canvas.h"

inline constexpr int GenerateWidth = 300;
inline constexpr int GenerateHeight = 200;
inline constexpr int GenerateMaxBorder = 30;
// Wider symbols (tens of thousands of characters) are refused rather than
// drawn into a picture of gigabytes.
inline constexpr int GenerateMaxPictureWidth = 32767;
// The largest box (and picture) in pixels: 8192 x 8192, or half a gigabyte
// of bitmap, far more than any label needs.
inline constexpr qint64 GenerateMaxPixels = qint64(1) << 26;

struct TGenerateOptions {
    bool UseCheckSum = true;
    bool ShowText = true;
    int Border = 10; // 0..30 pixels; 0 when the border is off
    // The box the symbol is fitted into, by the same rules as the window's
    // 300 x 200: a larger box gives wider modules, always whole pixels.
    int Width = GenerateWidth;
    int Height = GenerateHeight;
};

// The text font of the symbols (the window's font: Tahoma, 8 points).
TFont GenerateTextFont();

// Why the options' box cannot take a symbol (too large, or no room left inside
// the border), or an empty string when it can.
QString GenerateBoxProblem(const TGenerateOptions& options);

// type is the symbology's index (0..22); any 8-bit value is passed on, so 255
// (nothing selected) fails with the engine's wrong-type message.
// Throws EBarcodeError with the engine's message when the code is refused.
QImage GenerateBarcodePicture(const QString& code, int type, const TGenerateOptions& options);

// Draws the picture of GenerateBarcodePicture on a device of size (that
// picture's size), one device unit to a pixel: the white ground, the same bars
// as exact rectangles and the text as text. For SVG and PDF output.
void PaintBarcodePicture(QPaintDevice& device, QSize size, const QString& code, int type,
                         const TGenerateOptions& options);

// What the generated symbol encodes (BCText after the build) and its pattern,
// without drawing. Throws EBarcodeError like GenerateBarcodePicture.
struct TPreparedCode {
    QString Text;
    QString Pattern;
};
TPreparedCode PrepareBarcode(const QString& code, int type, bool useCheckSum);

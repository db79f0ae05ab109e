// The picture that Generate shows: the symbol fitted into 300 x 200 pixels with
// a white border, cropped to the symbol plus border. The window and the
// command-line generator both call this, so their pictures are identical.
#pragma once

#include <QImage>
#include <QString>

#include "Canvas.h"

struct TGenerateOptions {
    bool UseCheckSum = true;
    bool ShowText = true;
    int Border = 10; // 0..30 pixels; 0 when the border is off
};

inline constexpr int GenerateWidth = 300;
inline constexpr int GenerateHeight = 200;
inline constexpr int GenerateMaxBorder = 30;
// Wider symbols (tens of thousands of characters) are refused rather than
// drawn into a picture of gigabytes.
inline constexpr int GenerateMaxPictureWidth = 32767;

// The text font of the symbols (the window's font: Tahoma, 8 points).
TFont GenerateTextFont();

// type is the symbology's index (0..22); any 8-bit value is passed on, so 255
// (nothing selected) fails with the engine's wrong-type message.
// Throws EBarcodeError with the engine's message when the code is refused.
QImage GenerateBarcodePicture(const QString& code, int type, const TGenerateOptions& options);

// What the generated symbol encodes (BCText after the build) and its pattern,
// without drawing. Throws EBarcodeError like GenerateBarcodePicture.
struct TPreparedCode {
    QString Text;
    QString Pattern;
};
TPreparedCode PrepareBarcode(const QString& code, int type, bool useCheckSum);

// Reads generated pictures back with independent decoders (zbarimg and
// ZXingReader), after giving them a white quiet zone as printed labels have.
#pragma once

#include <QImage>
#include <QStringList>
#include <string>

#include "picture/GeneratePicture.h"

struct ScanResult {
    bool ok = false;
    std::string text;       // the decoded data, exactly (control characters included)
    std::string symbology;  // the decoder's name for it ("EAN-13", "CODE-128", ...)
    std::string identifier; // ZXing's symbology identifier ("]C1" for GS1-128); empty for zbar
    std::string modifiers;  // zbar's modifiers ("GS1"); empty for ZXing
    std::string log;        // what the decoder printed, for failure messages
};

// GenerateBarcodePicture's picture as a QImage (RGB32) for the decoders.
QImage GeneratedImage(const QString& code, int type, const TGenerateOptions& options);

QImage WithQuietZone(const QImage& picture, int margin = 40);

ScanResult ScanWithZbar(const QImage& picture);
// options go to ZXingReader before the file name.
ScanResult ScanWithZxing(const QImage& picture, const QStringList& options = {});

// PNG, BMP and JPEG files of a bitmap, built in memory (the file is then
// written whole). Plain C++ over zlib and libjpeg: no toolkit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "picture/Bitmap.h"

// The bytes of a file.
using TBytes = std::string;

// The resolutions a file can name: JPEG keeps its density in 16 bits.
inline constexpr int MinFileDpi = 1;
inline constexpr int MaxFileDpi = 65535;

// How a picture's pixels are stored at the fewest bits that keep every one
// exactly. A barcode has black, white and the greys of the text's smoothed
// edges: 8-bit grey where 32-bit colour would take four times the room.
enum class TPixelDepth : std::uint8_t {
    Mono,     // two colours or one, a palette of two
    Grey8,    // every pixel an opaque grey (and more than two colours)
    Palette8, // up to 256 colours, or any colours not all opaque
    Rgb24,    // more than 256 opaque colours
    Rgba32,   // more than 256 colours, not all opaque
};

struct TExactColours {
    TPixelDepth Depth = TPixelDepth::Rgb24;
    // Mono and Palette8: the colours in the order of their first appearance
    // (rows top to bottom, each left to right); Mono always has two, the
    // second black, or white when the only colour is black. Grey8: the greys
    // there are, darkest first.
    std::vector<TPixel> Palette;
    bool Opaque = true;
};

TExactColours SmallestExactColours(const TBitmap& picture);

// Each returns false with a message in error (which may be null) when the
// picture is empty or the resolution is outside MinFileDpi..MaxFileDpi; out is
// then unchanged. Otherwise out holds the whole file.

// PNG at SmallestExactColours' depth (a palette carries its transparency), the
// resolution in its pHYs chunk.
bool EncodePng(const TBitmap& picture, int dpi, TBytes& out, std::string* error);

// BMP, bottom-up and uncompressed: 1 bit for Mono, 4 bits for a palette of up
// to 16 colours, 8 bits for other palettes and for grey (a palette of the 256
// greys), else 24 bits. A picture that is not opaque is put on white first:
// BMP readers ignore alpha.
bool EncodeBmp(const TBitmap& picture, int dpi, TBytes& out, std::string* error);

// Baseline JFIF in YCbCr with 2x2 chroma subsampling at quality 100, the
// resolution in dots per inch in its header. Put on white first, as BMP.
bool EncodeJpeg(const TBitmap& picture, int dpi, TBytes& out, std::string* error);

// The same at quality 0 to 100 (clamped).
bool EncodeJpegAtQuality(const TBitmap& picture, int dpi, int quality, TBytes& out,
                         std::string* error);

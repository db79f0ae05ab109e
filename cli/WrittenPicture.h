// What a reader of a written file sees, for --verify: the file's bytes decoded
// (PNG, BMP, JPEG) or rendered (SVG, PDF) back into the grey levels a scanner
// works on. Without any toolkit: libpng, libjpeg, our own BMP reader, and for
// drawings a module of librsvg and poppler loaded on first use.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "picture/Bitmap.h"

// Luminance by the decoder's own formula, one byte a pixel, rows top to bottom.
struct TGreyPicture {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Pixels;
    bool IsNull() const { return Width == 0 || Height == 0; }
};

// The grey levels of a bitmap (its colours as they show on white).
TGreyPicture GreyOf(const TBitmap& picture);

// The picture of the written bytes in format ("PNG", "BMP", "JPEG", "SVG",
// "PDF"): an SVG rendered at one pixel to a user unit, the resolution its
// printed size declares; a PDF page at dpi, the resolution it was made for. A
// null picture, and why in problem ("--verify: the written SVG cannot be
// drawn"), when the bytes give none.
TGreyPicture WrittenPicture(std::string_view bytes, std::string_view format, int dpi,
                            std::string* problem);

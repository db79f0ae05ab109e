// What a picture's geometry is made of, for comparing pictures drawn by
// different canvases: its size, its bars, where its text's ink lies, and a
// digest of every pixel.
#pragma once

#include <cstdint>

#include "engine/Canvas.h"
#include "picture/Bitmap.h"

struct TPictureGeometry {
    int Width = 0;
    int Height = 0;
    int BarPixels = 0;        // black pixels in the middle row
    std::uint64_t BarRow = 0; // digest of the middle row
    TRect Grey;               // box of the pixels neither black nor white: the text's edges
    std::uint64_t Pixels = 0; // digest of every pixel
    bool operator==(const TPictureGeometry&) const = default;
};

inline std::uint64_t Digest(std::uint64_t digest, TPixel p) { // FNV-1a over the pixel's bytes
    for (int shift = 0; shift < 32; shift += 8)
        digest = (digest ^ ((p >> shift) & 0xFF)) * 0x100000001B3ull;
    return digest;
}

inline TPictureGeometry GeometryOf(const TBitmap& picture) {
    TPictureGeometry g;
    g.Width = picture.Width();
    g.Height = picture.Height();
    g.BarRow = g.Pixels = 0xCBF29CE484222325ull;
    g.Grey = {g.Width, g.Height, 0, 0};
    for (int y = 0; y < g.Height; ++y)
        for (int x = 0; x < g.Width; ++x) {
            const TPixel p = picture.At(x, y);
            g.Pixels = Digest(g.Pixels, p);
            if (y == g.Height / 2) {
                g.BarRow = Digest(g.BarRow, p);
                g.BarPixels += p == PixelBlack;
            }
            if (p != PixelBlack && p != PixelWhite) {
                g.Grey.Left = x < g.Grey.Left ? x : g.Grey.Left;
                g.Grey.Top = y < g.Grey.Top ? y : g.Grey.Top;
                g.Grey.Right = x + 1 > g.Grey.Right ? x + 1 : g.Grey.Right;
                g.Grey.Bottom = y + 1 > g.Grey.Bottom ? y + 1 : g.Grey.Bottom;
            }
        }
    if (g.Grey.Right == 0) g.Grey = {};
    return g;
}

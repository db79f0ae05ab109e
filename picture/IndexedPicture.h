// A bitmap as palette indices, shared by the PNG and BMP writers: one pass
// over the pixels finds the colours and turns every row into bytes.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "picture/ImageWriters.h"

struct TIndexedPicture {
    TExactColours Colours;
    int Width = 0;
    int Height = 0;
    // Mono and Palette8: Width indices into Colours.Palette for each distinct
    // row; Grey8: the Width levels themselves. RowStart[y] is where row y's
    // bytes begin. A row equal to the row above shares its bytes, as most rows
    // of a barcode do. SameAsAbove holds at every depth, Row only where there
    // are bytes (not for Rgb24 and Rgba32).
    std::unique_ptr<std::uint8_t[]> Indices;
    std::vector<std::size_t> RowStart;

    bool SameAsAbove(int y) const { return y > 0 && RowStart[y] == RowStart[y - 1]; }
    const std::uint8_t* Row(int y) const { return Indices.get() + RowStart[y]; }
};

TIndexedPicture IndexPicture(const TBitmap& picture);

// The picture as it shows on white paper: every pixel opaque. Shares the
// picture's memory when it is opaque already.
TBitmap OnWhite(const TBitmap& picture);

// A picture in memory: 32-bit pixels 0xAARRGGBB, rows top to bottom, in
// memory that crops of it may share. Plain C++: the raster canvas draws on it,
// the writers read it, and the window wraps its memory in a QImage without
// copying (the layout is QImage::Format_ARGB32's on a little-endian machine).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

using TPixel = std::uint32_t; // 0xAARRGGBB, straight (not premultiplied) alpha

inline constexpr TPixel PixelWhite = 0xFFFFFFFF;
inline constexpr TPixel PixelBlack = 0xFF000000;

// A colour of the engine's canvas (0x00BBGGRR) as an opaque pixel.
constexpr TPixel PixelOfColor(std::uint32_t colour) {
    return PixelBlack | (colour & 0xFFu) << 16 | (colour & 0xFF00u) | (colour >> 16 & 0xFFu);
}

class TBitmap {
public:
    TBitmap() = default;
    // w x h pixels of fill; a bitmap of no pixels when either is 0 or less.
    // Throws std::bad_alloc when the memory cannot be had.
    TBitmap(int w, int h, TPixel fill = PixelWhite)
        : width(w > 0 && h > 0 ? w : 0), height(w > 0 && h > 0 ? h : 0), stride(this->width),
          pixels(std::make_shared<TPixel[]>(std::size_t(this->width) * std::size_t(this->height),
                                            fill)) {}

    int Width() const { return width; }
    int Height() const { return height; }
    // Pixels from one row to the next (at least Width: a crop keeps its bitmap's rows).
    std::ptrdiff_t Stride() const { return stride; }
    bool IsNull() const { return width == 0; }

    TPixel* Row(int y) { return pixels.get() + std::ptrdiff_t(y) * stride; }
    const TPixel* Row(int y) const { return pixels.get() + std::ptrdiff_t(y) * stride; }
    TPixel& At(int x, int y) { return Row(y)[x]; }
    TPixel At(int x, int y) const { return Row(y)[x]; }

    // The top-left width x height pixels, sharing this bitmap's memory: writing
    // to either writes to both. Clamped to this bitmap's size.
    TBitmap TopLeft(int w, int h) const {
        TBitmap crop = *this;
        crop.width = w < 0 ? 0 : (w < width ? w : width);
        crop.height = h < 0 ? 0 : (h < height ? h : height);
        if (crop.width == 0 || crop.height == 0) crop.width = crop.height = 0;
        return crop;
    }

    // The memory behind the pixels, for a wrapper (a QImage) that must keep it alive.
    const std::shared_ptr<TPixel[]>& Memory() const { return pixels; }

private:
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;
    std::shared_ptr<TPixel[]> pixels;
};

// TCanvas over a TBitmap, without any toolkit: the bars as exact rectangles,
// the text through picture/TextFace.h. It paints the pixels the Qt canvas
// paints on a 32-bit bitmap, so a picture does not depend on which drew it.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/Canvas.h"
#include "picture/Bitmap.h"

class TRasterCanvas : public TCanvas {
public:
    // Draws on target's pixels (the canvas keeps a handle to its memory).
    explicit TRasterCanvas(const TBitmap& target);
    ~TRasterCanvas() override; // flushes
    TRasterCanvas(const TRasterCanvas&) = delete;
    TRasterCanvas& operator=(const TRasterCanvas&) = delete;

    int TextWidth(const std::u16string& text) override;
    int TextHeight(const std::u16string& text) override;
    // The cell (the text's width by the font's height) is filled with the
    // brush when it is solid, then the glyphs are blended over it in Font.Color.
    void TextOut(int x, int y, const std::u16string& text) override;
    // An axis-aligned rectangle fills exactly the columns and rows from corner
    // to corner, both inclusive: the brush inside (unless clear) and a
    // one-pixel border in the pen where the pen differs from it. Any other
    // polygon is filled without antialiasing, its edges in the pen.
    void Polygon(const std::vector<TPoint>& points) override;

    // Rectangles are gathered and written a run of rows at a time (a symbol's
    // bars share a few runs): this writes what is pending. The destructor and
    // every text call it; call it before reading the bitmap while the canvas lives.
    void Flush();

private:
    TBitmap bitmap;
    struct TPending {
        int left, top, right, bottom; // inclusive, within the bitmap
        TPixel pixel;
    };
    std::vector<TPending> pending;
    std::vector<int> edges; // Flush's, kept for their memory
    std::vector<const TPending*> run;
    std::vector<TPixel> before;

    void Fill(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
              TColor colour); // inclusive, clipped to the bitmap
    void FillPolygon(const std::vector<TPoint>& points, TPixel pixel);
    void Line(TPoint from, TPoint to, int width, TPixel pixel);
};

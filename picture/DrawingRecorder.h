// A drawing kept as what was drawn, for the SVG and PDF writers: the engine
// paints on a TDrawingRecorder as on any canvas, and the writers turn the
// recorded rectangles, polygons and texts into exact vector shapes.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "engine/Canvas.h"
#include "picture/Bitmap.h"
#include "picture/Outline.h"

// Pixels [Left, Right) x [Top, Bottom) in one colour.
struct TDrawnRect {
    TRect Box;
    TPixel Colour = PixelBlack;
    bool operator==(const TDrawnRect&) const = default;
};

// A polygon that is no axis-aligned rectangle: its inside in Fill unless
// Filled is false, its outline Pen.Width pixels wide unless that is 0.
struct TDrawnPolygon {
    std::vector<TPoint> Points;
    bool Filled = true;
    TPixel Fill = PixelWhite;
    TPixel Outline = PixelBlack;
    int OutlineWidth = 0;
    bool operator==(const TDrawnPolygon&) const = default;
};

// A text as TCanvas::TextOut drew it, its cell's top-left at (X, Y), turned
// QuarterTurns times 90 degrees clockwise about that corner.
struct TDrawnText {
    int X = 0;
    int Y = 0;
    TFont Font;
    std::u16string Text;
    TPixel Colour = PixelBlack;
    int QuarterTurns = 0;
    bool operator==(const TDrawnText&) const = default;
};

using TDrawnItem = std::variant<TDrawnRect, TDrawnPolygon, TDrawnText>;

// Width x Height pixels on Background (not drawn while its alpha is 0), then
// the items in the order they were drawn, each over those before it.
struct TDrawing {
    int Width = 0;
    int Height = 0;
    TPixel Background = PixelWhite;
    std::vector<TDrawnItem> Items;
    bool operator==(const TDrawing&) const = default;
};

// The drawing turned quarterTurns times 90 degrees clockwise: a W x H
// drawing becomes H x W (for an odd number of turns), every item with it.
TDrawing RotatedDrawing(const TDrawing& drawing, int quarterTurns);

// A drawing made black on white, in foreground on background: the ground
// becomes background, everything black foreground, and what is white is left
// out (the symbols draw white only on the bare ground: spaces, text cells),
// so that a background that is not opaque shows through. Any other colour
// stays as it is.
TDrawing ColouredDrawing(const TDrawing& drawing, TPixel foreground, TPixel background);

class TDrawingRecorder : public TCanvas {
public:
    // Texts are measured by outlines, which must outlive the recorder.
    explicit TDrawingRecorder(TGlyphOutlines& outlines) : glyphs(outlines) {}

    int TextWidth(const std::u16string& text) override;
    int TextHeight(const std::u16string& text) override;
    void TextOut(int x, int y, const std::u16string& text) override;
    void Polygon(const std::vector<TPoint>& points) override;

    // What was drawn so far; its size and background are the caller's to set.
    TDrawing Drawing;

private:
    TGlyphOutlines& glyphs;
};

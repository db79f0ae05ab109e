// A recorded drawing as the few filled shapes a vector file needs, shared by
// the SVG and PDF writers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "picture/DrawingRecorder.h"
#include "picture/Outline.h"

// Consecutive items of one colour and kind, in drawing order. Paths are
// joined only where the non-zero rule keeps each one's inside: texts of one
// font, whose contours all turn the same way. A polygon, which may turn
// either way, is a layer of its own.
struct TDrawingLayer {
    enum Kind : std::uint8_t {
        FilledRects, // Rects filled
        FilledPath,  // Path filled by the non-zero rule
        StrokedPath, // Path's lines, StrokeWidth pixels wide
    };
    Kind Type = FilledRects;
    TPixel Colour = PixelBlack;
    std::vector<TRect> Rects;
    TPath Path;
    int StrokeWidth = 0;
    const TFont* Font = nullptr; // FilledPath of texts: their font; none: a polygon's
};

// The drawing's items as layers. What cannot show is left out: shapes off
// the drawing, and rectangles of the background's colour where nothing but
// the (opaque) background lies beneath, such as the spaces between bars.
std::vector<TDrawingLayer> DrawingLayers(const TDrawing& drawing, TGlyphOutlines& glyphs);

// Why a drawing cannot be written, or an empty string.
std::string DrawingProblem(const TDrawing& drawing, int dpi);

// value to at most decimals places (up to 16), without trailing zeros
// ("12.5", "3", "-0.25"), whatever the locale.
void AppendDecimal(std::string& out, double value, int decimals);

// scaled / 10^decimals in the same form: exact for numbers kept in
// hundredths.
void AppendFixed(std::string& out, long long scaled, int decimals);

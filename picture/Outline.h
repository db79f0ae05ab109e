// The text of a drawing as outlines: what the SVG and PDF writers fill in
// place of text, so that no reader needs the font, and the measurements a
// recorded drawing is laid out by. The font code implements it with the same
// faces and metrics the raster canvas draws with, so a drawing has the
// geometry of the bitmap of the same symbol.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/Canvas.h"

// One step of an outline, in pixels of the drawing, y downwards. Move and
// Line take one point, Quad a control point and its end, Cubic two control
// points and its end; Close ends the contour that Move began.
struct TPathCommand {
    enum Kind : std::uint8_t { Move, Line, Quad, Cubic, Close };
    Kind Op = Move;
    double Pts[6] = {};
    bool operator==(const TPathCommand&) const = default;
};

// Contours filled by the non-zero winding rule, as fonts fill their glyphs.
using TPath = std::vector<TPathCommand>;

class TGlyphOutlines {
public:
    virtual ~TGlyphOutlines() = default;
    // As TCanvas::TextWidth and TextHeight with canvas.Font == font.
    virtual int TextWidth(const TFont& font, const std::u16string& text) = 0;
    virtual int TextHeight(const TFont& font, const std::u16string& text) = 0;
    // Appends to path the outlines of text in font as TCanvas::TextOut(x, y,
    // text) draws it: (x, y) is the top-left corner of the text's cell.
    virtual void AppendTextOutline(const TFont& font, const std::u16string& text, double x,
                                   double y, TPath& path) = 0;
};

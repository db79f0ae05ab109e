// The symbols' text, measured, drawn and outlined without any toolkit: Wine's
// Tahoma read with FreeType, shaped with HarfBuzz where a text needs it. The
// numbers are those the pictures always had (Qt's for a Tahoma of the same
// point size on a 96-dpi bitmap, without hinting): the default EAN-13 text
// measures 78 x 13 pixels at 8 points, and every position the engine derives
// from the measurements stays where it was.
//
// The engine only ever asks for Tahoma, so that is the one font here: any
// other name is measured and drawn in Tahoma (regular, or bold with fsBold).
// Italic, underline and strike-out change no measurement and are drawn upright
// without lines. Where Wine's Tahoma is missing DejaVu Sans stands in, and
// where that is missing too texts measure 0 and draw nothing (TextFontProblem
// says so).
//
// Every function may be called from any thread: each thread keeps its own
// faces and caches (glyph advances and glyph images per size), so the
// pictures of a batch never wait for each other.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Canvas.h"
#include "picture/Bitmap.h"
#include "picture/Outline.h"

// Larger sizes are measured and drawn at this one (13,333 pixels: more than
// the largest picture).
inline constexpr int TextMaxPoints = 10000;

// The pixel size of a point size at 96 dpi, in whole pixels as the pictures
// always had them; a size of 0 or less is 1 point.
int TextPixelSize(int points);

struct TTextLine {
    int Ascent = 0;  // pixels from the top of the text cell to the baseline
    int Descent = 0; // pixels below the baseline
    int Height() const { return Ascent + Descent; }
};

TTextLine MeasureTextLine(const TFont& font);

// The width of text in whole pixels. As the pictures always measured it: a tab
// runs to the next multiple of 80 pixels, line breaks take no room, and the
// text counts only up to its first U+009C.
int MeasureTextWidth(const TFont& font, std::u16string_view text);

enum class TShaping : std::uint8_t {
    Never,       // glyph after glyph: no kerning, no ligatures
    WhereNeeded, // as measured and drawn: texts of characters Tahoma never kerns skip shaping
    Always,
};

// The text's width in 1/64 pixel, before rounding, laid out as shaping says.
// For checking that the texts measured without shaping lose nothing.
std::int64_t MeasureTextAdvance(const TFont& font, std::u16string_view text, TShaping shaping);

// Draws text in font.Color with the text cell's top-left corner at (x, top):
// antialiased glyphs blended over what the bitmap holds, clipped to it. The
// cell itself is not filled.
void PaintText(TBitmap& bitmap, const TFont& font, int x, int top, std::u16string_view text);

enum class TCurves : std::uint8_t { Quadratic, Cubic }; // PDF knows only cubic curves

// The outline of text as PaintText places it with the cell's top-left corner
// at (x, top), from the same glyphs (their design outlines, unhinted), for
// vector pictures. Contours wind as the font's do: fill them with the
// non-zero rule.
TPath TextOutline(const TFont& font, double x, double top, std::u16string_view text,
                  TCurves curves = TCurves::Quadratic);

// Why the text cannot be drawn in Tahoma (a font file missing or unreadable),
// or an empty string when both styles were found.
std::string TextFontProblem();

// The measurements and outlines of the texts the raster canvas draws, for a
// drawing recorder and the SVG and PDF writers: a recorded drawing has the
// geometry of the bitmap of the same symbol.
class TFaceGlyphs : public TGlyphOutlines {
public:
    int TextWidth(const TFont& font, const std::u16string& text) override;
    int TextHeight(const TFont& font, const std::u16string& text) override;
    void AppendTextOutline(const TFont& font, const std::u16string& text, double x, double y,
                           TPath& path) override;
};

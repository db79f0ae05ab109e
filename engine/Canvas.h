// The drawing surface the engine paints on. The engine knows nothing of any
// toolkit: it sets Font, Pen and Brush and calls the four operations, which a
// concrete canvas (platform/, or a test double) carries out with the current
// values of those three members.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using TColor = std::uint32_t; // 0x00BBGGRR

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;

enum class TFontStyle : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

struct TFont {
    std::u16string Name = u"Arial";
    int Size = 8; // points; the canvas maps points to pixels at 96 dpi
    TColor Color = clBlack;
    std::uint8_t Style = 0; // TFontStyle bits
    bool operator==(const TFont&) const = default;
};

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    bool operator==(const TPen&) const = default;
};

enum class TBrushStyle : std::uint8_t { bsSolid, bsClear };

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = TBrushStyle::bsSolid;
    bool operator==(const TBrush&) const = default;
};

struct TPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TPoint&) const = default;
};

// Right and bottom are exclusive.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TRect&) const = default;
};

class TCanvas {
public:
    virtual ~TCanvas() = default;

    TFont Font;
    TPen Pen;
    TBrush Brush;

    virtual int TextWidth(const std::u16string& text) = 0;
    virtual int TextHeight(const std::u16string& text) = 0;
    // Top-left corner at (x, y); the text cell is filled with the brush when it is solid.
    virtual void TextOut(int x, int y, const std::u16string& text) = 0;
    // Outline in the pen, interior in the brush; the outline's pixels are part of the shape.
    virtual void Polygon(const std::vector<TPoint>& points) = 0;
};

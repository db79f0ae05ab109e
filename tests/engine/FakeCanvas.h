// A canvas with fixed font metrics that records what is drawn, so drawing
// geometry can be checked to the pixel without any font machinery.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "engine/Canvas.h"

struct DrawnText {
    int x, y;
    std::u16string text;
    TFont font;
    TBrush brush;
};

struct DrawnPolygon {
    std::vector<TPoint> points;
    TPen pen;
    TBrush brush;
    int Left() const { return points[0].X; }
    int Right() const { return points[2].X; }
    int Top() const { return points[0].Y; }
    int Bottom() const { return points[1].Y; }
};

class FakeCanvas : public TCanvas {
public:
    // Every character is charWidthPerPoint * size pixels wide; text is size + 3 high,
    // the digit "8" included.
    int charWidthPerPoint = 1;

    std::vector<DrawnText> texts;
    std::vector<DrawnPolygon> polygons;

    int TextWidth(const std::u16string& t) override {
        return static_cast<int>(t.size()) * charWidthPerPoint * Font.Size;
    }
    int TextHeight(const std::u16string&) override { return Font.Size + 3; }
    void TextOut(int x, int y, const std::u16string& t) override {
        texts.push_back({x, y, t, Font, Brush});
    }
    void Polygon(const std::vector<TPoint>& p) override { polygons.push_back({p, Pen, Brush}); }
};

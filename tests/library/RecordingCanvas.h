// A canvas of a library user's that keeps what it was asked to draw.
#pragma once

#include <barcodegen/barcodegen.h>

#include <optional>
#include <string>
#include <vector>

struct TRecordedShape {
    std::vector<barcodegen::TPoint> Points;
    barcodegen::TColor Colour = 0;
    // The rectangle the corners span, Right and Bottom exclusive.
    barcodegen::TRect Box() const {
        barcodegen::TRect r{Points.at(0).X, Points.at(0).Y, Points.at(0).X, Points.at(0).Y};
        for (const barcodegen::TPoint& p : Points) {
            r.Left = std::min(r.Left, p.X);
            r.Top = std::min(r.Top, p.Y);
            r.Right = std::max(r.Right, p.X);
            r.Bottom = std::max(r.Bottom, p.Y);
        }
        ++r.Right;
        ++r.Bottom;
        return r;
    }
};

struct TRecordedText {
    int X = 0;
    int Y = 0;
    barcodegen::TFont Font;
    std::string Text;
    std::optional<barcodegen::TColor> Background;
};

class TRecordingCanvas : public barcodegen::TCanvas {
public:
    std::vector<TRecordedShape> Shapes;
    std::vector<TRecordedText> Texts;
    int Measured = 0;

    int TextWidth(const barcodegen::TFont& font, const std::string& text) override {
        ++Measured;
        return barcodegen::TCanvas::TextWidth(font, text);
    }
    int TextHeight(const barcodegen::TFont& font, const std::string& text) override {
        ++Measured;
        return barcodegen::TCanvas::TextHeight(font, text);
    }
    void TextOut(int x, int y, const barcodegen::TFont& font, const std::string& text,
                 std::optional<barcodegen::TColor> background) override {
        Texts.push_back({x, y, font, text, background});
    }
    void Polygon(const std::vector<barcodegen::TPoint>& points,
                 barcodegen::TColor colour) override {
        Shapes.push_back({points, colour});
    }
};

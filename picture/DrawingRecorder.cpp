#include "picture/DrawingRecorder.h"

#include <algorithm>

int TDrawingRecorder::TextWidth(const std::u16string& text) {
    return glyphs.TextWidth(Font, text);
}

int TDrawingRecorder::TextHeight(const std::u16string& text) {
    return glyphs.TextHeight(Font, text);
}

void TDrawingRecorder::TextOut(int x, int y, const std::u16string& text) {
    if (Brush.Style == TBrushStyle::bsSolid)
        Drawing.Items.push_back(TDrawnRect{{x, y, x + TextWidth(text), y + TextHeight(text)},
                                           PixelOfColor(Brush.Color)});
    Drawing.Items.push_back(TDrawnText{x, y, Font, text, PixelOfColor(Font.Color), 0});
}

void TDrawingRecorder::Polygon(const std::vector<TPoint>& points) {
    if (points.empty()) return;
    const auto [minX, maxX] = std::minmax_element(points.begin(), points.end(),
                                                  [](TPoint a, TPoint b) { return a.X < b.X; });
    const auto [minY, maxY] = std::minmax_element(points.begin(), points.end(),
                                                  [](TPoint a, TPoint b) { return a.Y < b.Y; });
    const TRect box{minX->X, minY->Y, maxX->X + 1, maxY->Y + 1};
    const bool rectangle =
        points.size() == 4 && std::all_of(points.begin(), points.end(), [&](TPoint p) {
            return (p.X == box.Left || p.X == box.Right - 1) &&
                   (p.Y == box.Top || p.Y == box.Bottom - 1);
        });
    const bool filled = Brush.Style == TBrushStyle::bsSolid;
    const bool outlined = Pen.Width > 0 && (!filled || Pen.Color != Brush.Color);
    if (!rectangle) {
        Drawing.Items.push_back(TDrawnPolygon{points, filled, PixelOfColor(Brush.Color),
                                              PixelOfColor(Pen.Color), std::max(Pen.Width, 0)});
        return;
    }
    // A rectangle's outline pixels are part of it: the corners' columns and
    // rows are filled, both inclusive. Its outline is one pixel wide, as a
    // bar's edge must be where the pattern puts it.
    if (filled) Drawing.Items.push_back(TDrawnRect{box, PixelOfColor(Brush.Color)});
    if (!outlined) return;
    const TPixel pen = PixelOfColor(Pen.Color);
    const TRect edges[] = {
        {box.Left, box.Top, box.Right, box.Top + 1},
        {box.Left, box.Bottom - 1, box.Right, box.Bottom},
        {box.Left, box.Top + 1, box.Left + 1, box.Bottom - 1},
        {box.Right - 1, box.Top + 1, box.Right, box.Bottom - 1},
    };
    for (const TRect& e : edges)
        if (e.Left < e.Right && e.Top < e.Bottom) Drawing.Items.push_back(TDrawnRect{e, pen});
}

TDrawing RotatedDrawing(const TDrawing& drawing, int quarterTurns) {
    TDrawing turned = drawing;
    for (int turn = 0; turn < (quarterTurns % 4 + 4) % 4; ++turn) {
        // One quarter clockwise: the left edge becomes the top, a point at
        // (x, y) goes to (H - y, x), and the pixel at (x, y) to (H - 1 - y, x).
        const int h = turned.Height;
        for (TDrawnItem& item : turned.Items) {
            if (auto* r = std::get_if<TDrawnRect>(&item)) {
                const TRect b = r->Box;
                r->Box = {h - b.Bottom, b.Left, h - b.Top, b.Right};
            } else if (auto* p = std::get_if<TDrawnPolygon>(&item)) {
                for (TPoint& q : p->Points)
                    q = {h - 1 - q.Y, q.X};
            } else if (auto* t = std::get_if<TDrawnText>(&item)) {
                const int x = t->X;
                t->X = h - t->Y;
                t->Y = x;
                t->QuarterTurns = (t->QuarterTurns + 1) % 4;
            }
        }
        std::swap(turned.Width, turned.Height);
    }
    return turned;
}

TDrawing ColouredDrawing(const TDrawing& drawing, TPixel foreground, TPixel background) {
    TDrawing out;
    out.Width = drawing.Width;
    out.Height = drawing.Height;
    out.Background = drawing.Background == PixelWhite ? background : drawing.Background;
    const auto colour = [foreground](TPixel p) { return p == PixelBlack ? foreground : p; };
    for (const TDrawnItem& item : drawing.Items) {
        if (const auto* r = std::get_if<TDrawnRect>(&item)) {
            if (r->Colour != PixelWhite) out.Items.push_back(TDrawnRect{r->Box, colour(r->Colour)});
        } else if (const auto* p = std::get_if<TDrawnPolygon>(&item)) {
            TDrawnPolygon q = *p;
            q.Filled = p->Filled && p->Fill != PixelWhite;
            q.Fill = colour(p->Fill);
            if (p->Outline == PixelWhite) q.OutlineWidth = 0;
            q.Outline = colour(p->Outline);
            if (q.Filled || q.OutlineWidth > 0) out.Items.push_back(q);
        } else if (const auto* t = std::get_if<TDrawnText>(&item)) {
            TDrawnText u = *t;
            u.Colour = colour(t->Colour);
            out.Items.push_back(u);
        }
    }
    return out;
}

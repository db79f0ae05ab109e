#include "picture/RasterCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "picture/TextFace.h"

TRasterCanvas::TRasterCanvas(const TBitmap& target) : bitmap(target) {}

TRasterCanvas::~TRasterCanvas() {
    Flush();
}

int TRasterCanvas::TextWidth(const std::u16string& text) {
    return MeasureTextWidth(Font, text);
}

int TRasterCanvas::TextHeight(const std::u16string&) {
    return MeasureTextLine(Font).Height();
}

void TRasterCanvas::TextOut(int x, int y, const std::u16string& text) {
    if (Brush.Style == TBrushStyle::bsSolid) {
        const std::int64_t width = MeasureTextWidth(Font, text);
        const std::int64_t height = MeasureTextLine(Font).Height();
        if (width > 0 && height > 0) Fill(x, y, x + width - 1, y + height - 1, Brush.Color);
    }
    Flush();
    PaintText(bitmap, Font, x, y, text);
}

void TRasterCanvas::Fill(std::int64_t left, std::int64_t top, std::int64_t right,
                         std::int64_t bottom, TColor colour) {
    left = std::max<std::int64_t>(left, 0);
    top = std::max<std::int64_t>(top, 0);
    right = std::min<std::int64_t>(right, bitmap.Width() - 1);
    bottom = std::min<std::int64_t>(bottom, bitmap.Height() - 1);
    if (left > right || top > bottom) return;
    pending.push_back({int(left), int(top), int(right), int(bottom), PixelOfColor(colour)});
}

// The rectangles in the order they came. A symbol's bars share a few runs of
// rows, and in such a run every row that was equal to the run's first before
// is equal to it after: one row is filled rectangle by rectangle and copied to
// the others, which costs a tenth of filling each bar row by row.
void TRasterCanvas::Flush() {
    if (pending.empty()) return;
    edges.clear();
    for (const TPending& p : pending) {
        edges.push_back(p.top);
        edges.push_back(p.bottom + 1);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    for (std::size_t e = 0; e + 1 < edges.size(); ++e) {
        const int top = edges[e], end = edges[e + 1];
        run.clear();
        int left = bitmap.Width(), right = -1;
        for (const TPending& p : pending)
            if (p.top <= top && p.bottom >= end - 1) {
                run.push_back(&p);
                left = std::min(left, p.left);
                right = std::max(right, p.right);
            }
        if (run.empty()) continue;
        const auto fill = [&](TPixel* row) {
            for (const TPending* p : run)
                std::fill(row + p->left, row + p->right + 1, p->pixel);
        };
        TPixel* first = bitmap.Row(top);
        before.assign(first + left, first + right + 1);
        fill(first);
        for (int y = top + 1; y < end; ++y) {
            TPixel* row = bitmap.Row(y);
            if (std::equal(before.begin(), before.end(), row + left))
                std::copy(first + left, first + right + 1, row + left);
            else
                fill(row);
        }
    }
    pending.clear();
}

void TRasterCanvas::Polygon(const std::vector<TPoint>& points) {
    if (points.empty()) return;
    int minX = points[0].X, maxX = minX, minY = points[0].Y, maxY = minY;
    for (const TPoint& p : points) {
        minX = std::min(minX, p.X);
        maxX = std::max(maxX, p.X);
        minY = std::min(minY, p.Y);
        maxY = std::max(maxY, p.Y);
    }
    bool rectangle = points.size() == 4;
    for (const TPoint& p : points)
        if ((p.X != minX && p.X != maxX) || (p.Y != minY && p.Y != maxY)) rectangle = false;
    const bool solid = Brush.Style == TBrushStyle::bsSolid;
    // A clear brush takes its outline from the pen whatever the brush's colour.
    const bool outline = Pen.Width > 0 && (!solid || Pen.Color != Brush.Color);
    if (rectangle) {
        if (solid) Fill(minX, minY, maxX, maxY, Brush.Color);
        if (outline) {
            Fill(minX, minY, maxX, minY, Pen.Color);
            Fill(minX, maxY, maxX, maxY, Pen.Color);
            Fill(minX, minY, minX, maxY, Pen.Color);
            Fill(maxX, minY, maxX, maxY, Pen.Color);
        }
        return;
    }
    Flush();
    if (solid) FillPolygon(points, PixelOfColor(Brush.Color));
    // The edges belong to the shape, as a rectangle's border does.
    if (outline || solid) {
        const TPixel edge = PixelOfColor(Pen.Width > 0 ? Pen.Color : Brush.Color);
        for (std::size_t i = 0; i < points.size(); ++i)
            Line(points[i], points[(i + 1) % points.size()], std::max(Pen.Width, 1), edge);
    }
}

// Even-odd, by the pixels whose centres lie inside; the vertices are centres.
void TRasterCanvas::FillPolygon(const std::vector<TPoint>& points, TPixel pixel) {
    int minY = points[0].Y, maxY = minY;
    for (const TPoint& p : points) {
        minY = std::min(minY, p.Y);
        maxY = std::max(maxY, p.Y);
    }
    minY = std::max(minY, 0);
    maxY = std::min(maxY, bitmap.Height() - 1);
    std::vector<double> crossings;
    for (int y = minY; y <= maxY; ++y) {
        crossings.clear();
        for (std::size_t i = 0; i < points.size(); ++i) {
            const TPoint a = points[i], b = points[(i + 1) % points.size()];
            if ((y >= a.Y && y < b.Y) || (y >= b.Y && y < a.Y))
                crossings.push_back(a.X + double(y - a.Y) * double(b.X - a.X) / double(b.Y - a.Y));
        }
        std::sort(crossings.begin(), crossings.end());
        TPixel* row = bitmap.Row(y);
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
            const double from = std::max(std::ceil(crossings[i]), 0.0);
            const double to = std::min(std::floor(crossings[i + 1]), double(bitmap.Width() - 1));
            if (from <= to) std::fill(row + int(from), row + int(to) + 1, pixel);
        }
    }
}

// A line width pixels thick, one step along its longer axis at a time, only
// where it crosses the bitmap.
void TRasterCanvas::Line(TPoint from, TPoint to, int width, TPixel pixel) {
    const double dx = double(to.X) - from.X, dy = double(to.Y) - from.Y;
    const bool steep = std::fabs(dy) > std::fabs(dx);
    const double a0 = steep ? from.Y : from.X, a1 = steep ? to.Y : to.X;
    const double b0 = steep ? from.X : from.Y;
    const double slope = a1 == a0 ? 0 : (steep ? dx : dy) / (a1 - a0);
    const double limit = double(steep ? bitmap.Height() : bitmap.Width()) + width;
    const double first = std::max(std::min(a0, a1), -double(width));
    const double last = std::min(std::max(a0, a1), limit);
    const int halfBefore = (width - 1) / 2, halfAfter = width / 2;
    for (double a = first; a <= last; ++a) {
        const double b = std::floor(b0 + (a - a0) * slope + 0.5);
        const double x = steep ? b : a, y = steep ? a : b;
        const double w = bitmap.Width(), h = bitmap.Height();
        const int left = int(std::clamp(x - halfBefore, 0.0, w));
        const int right = int(std::clamp(x + halfAfter, -1.0, w - 1));
        const int top = int(std::clamp(y - halfBefore, 0.0, h));
        const int bottom = int(std::clamp(y + halfAfter, -1.0, h - 1));
        for (int row = top; row <= bottom; ++row)
            for (int column = left; column <= right; ++column)
                bitmap.At(column, row) = pixel;
    }
}

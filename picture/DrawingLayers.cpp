#include "picture/DrawingLayers.h"

#include <algorithm>
#include <cmath>

#include "picture/WriterSupport.h"

namespace {

// Per column of the drawing, the rows between which anything but the
// background was drawn so far: a rectangle of the background's colour that
// meets none of them changes no pixel.
class TPainted {
public:
    explicit TPainted(int width) : top(std::size_t(width), 0), bottom(std::size_t(width), 0) {}

    bool Meets(int left, int t, int right, int b) const {
        for (int x = std::max(left, 0); x < std::min(right, int(top.size())); ++x)
            if (top[x] < bottom[x] && top[x] < b && t < bottom[x]) return true;
        return false;
    }

    void Add(int left, int t, int right, int b) {
        for (int x = std::max(left, 0); x < std::min(right, int(top.size())); ++x) {
            if (top[x] >= bottom[x]) {
                top[x] = t;
                bottom[x] = b;
            } else {
                top[x] = std::min(top[x], t);
                bottom[x] = std::max(bottom[x], b);
            }
        }
    }

private:
    std::vector<int> top, bottom; // bottom exclusive; none when top >= bottom
};

struct TBounds {
    double Left = HUGE_VAL, Top = HUGE_VAL, Right = -HUGE_VAL, Bottom = -HUGE_VAL;
    void Add(double x, double y) {
        Left = std::min(Left, x);
        Right = std::max(Right, x);
        Top = std::min(Top, y);
        Bottom = std::max(Bottom, y);
    }
    bool Empty() const { return Left > Right; }
};

// The points of path turned quarterTurns times clockwise about (x, y).
void Turn(TPath& path, double x, double y, int quarterTurns) {
    for (TPathCommand& c : path)
        for (int i = 0; i < 6; i += 2)
            for (int turn = 0; turn < quarterTurns; ++turn) {
                const double dx = c.Pts[i] - x, dy = c.Pts[i + 1] - y;
                c.Pts[i] = x - dy;
                c.Pts[i + 1] = y + dx;
            }
}

int PointsOf(TPathCommand::Kind kind) {
    switch (kind) {
    case TPathCommand::Move:
    case TPathCommand::Line:
        return 1;
    case TPathCommand::Quad:
        return 2;
    case TPathCommand::Cubic:
        return 3;
    case TPathCommand::Close:
        break;
    }
    return 0;
}

TBounds BoundsOf(const TPath& path) {
    TBounds b;
    for (const TPathCommand& c : path)
        for (int i = 0; i < PointsOf(c.Op); ++i)
            b.Add(c.Pts[2 * i], c.Pts[2 * i + 1]);
    return b;
}

} // namespace

std::vector<TDrawingLayer> DrawingLayers(const TDrawing& drawing, TGlyphOutlines& glyphs) {
    std::vector<TDrawingLayer> layers;
    TPainted painted(drawing.Width);
    const bool opaqueGround = drawing.Background >> 24 == 0xFF;
    // The layer an item of this kind and colour goes into: the last one, or a new one.
    const auto layer = [&](TDrawingLayer::Kind kind, TPixel colour, int strokeWidth = 0,
                           const TFont* font = nullptr) -> TDrawingLayer& {
        const bool joins = !layers.empty() && layers.back().Type == kind &&
                           layers.back().Colour == colour &&
                           layers.back().StrokeWidth == strokeWidth &&
                           (kind != TDrawingLayer::FilledPath ||
                            (font && layers.back().Font && *font == *layers.back().Font));
        if (!joins) layers.push_back({kind, colour, {}, {}, strokeWidth, font});
        return layers.back();
    };
    // Whether a shape of colour over these bounds may be left out, and if
    // not, that it was drawn.
    const auto unseen = [&](TPixel colour, int left, int top, int right, int bottom) {
        if (right <= 0 || bottom <= 0 || left >= drawing.Width || top >= drawing.Height ||
            left >= right || top >= bottom)
            return true;
        if (colour == drawing.Background && opaqueGround)
            return !painted.Meets(left, top, right, bottom);
        painted.Add(left, top, right, bottom);
        return false;
    };
    const auto unseenPath = [&](TPixel colour, const TPath& path, double margin) {
        const TBounds b = BoundsOf(path);
        return b.Empty() ||
               unseen(colour, int(std::floor(b.Left - margin)), int(std::floor(b.Top - margin)),
                      int(std::ceil(b.Right + margin)), int(std::ceil(b.Bottom + margin)));
    };
    for (const TDrawnItem& item : drawing.Items) {
        if (const auto* r = std::get_if<TDrawnRect>(&item)) {
            const TRect& b = r->Box;
            if (!unseen(r->Colour, b.Left, b.Top, b.Right, b.Bottom))
                layer(TDrawingLayer::FilledRects, r->Colour).Rects.push_back(b);
        } else if (const auto* t = std::get_if<TDrawnText>(&item)) {
            TPath path;
            glyphs.AppendTextOutline(t->Font, t->Text, t->X, t->Y, path);
            Turn(path, t->X, t->Y, (t->QuarterTurns % 4 + 4) % 4);
            if (!unseenPath(t->Colour, path, 0)) {
                TPath& to = layer(TDrawingLayer::FilledPath, t->Colour, 0, &t->Font).Path;
                to.insert(to.end(), path.begin(), path.end());
            }
        } else if (const auto* p = std::get_if<TDrawnPolygon>(&item)) {
            // Its points are pixels: the shape runs through their centres.
            TPath path;
            for (const TPoint& q : p->Points)
                path.push_back({path.empty() ? TPathCommand::Move : TPathCommand::Line,
                                {q.X + 0.5, q.Y + 0.5}});
            path.push_back({TPathCommand::Close, {}});
            if (p->Filled && !unseenPath(p->Fill, path, 0)) {
                TPath& to = layer(TDrawingLayer::FilledPath, p->Fill).Path;
                to.insert(to.end(), path.begin(), path.end());
            }
            if (p->OutlineWidth > 0 && !unseenPath(p->Outline, path, p->OutlineWidth / 2.0)) {
                TPath& to = layer(TDrawingLayer::StrokedPath, p->Outline, p->OutlineWidth).Path;
                to.insert(to.end(), path.begin(), path.end());
            }
        }
    }
    return layers;
}

std::string DrawingProblem(const TDrawing& drawing, int dpi) {
    if (drawing.Width <= 0 || drawing.Height <= 0) return "the drawing is empty";
    return DpiProblem(dpi);
}

void AppendFixed(std::string& out, long long scaled, int decimals) {
    if (scaled < 0) {
        out.push_back('-');
        scaled = -scaled;
    }
    char digits[24];
    char* end = digits + sizeof digits;
    char* p = end;
    int place = 0;
    // The fraction's digits from the last, left out while they are zeros.
    bool fraction = false;
    for (; place < decimals; ++place, scaled /= 10) {
        const char digit = char('0' + scaled % 10);
        if (digit != '0' || fraction) {
            *--p = digit;
            fraction = true;
        }
    }
    if (fraction) *--p = '.';
    do {
        *--p = char('0' + scaled % 10);
        scaled /= 10;
    } while (scaled > 0);
    out.append(p, std::size_t(end - p));
}

void AppendDecimal(std::string& out, double value, int decimals) {
    double scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    const double scaled = std::round(value * scale);
    // Beyond any drawing's coordinates (or no number at all).
    AppendFixed(out, std::abs(scaled) < 1e17 ? (long long)scaled : 0, decimals);
}

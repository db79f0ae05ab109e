#include <cmath>
#include <cstdio>

#include "picture/DrawingLayers.h"
#include "picture/DrawingWriters.h"
#include "picture/WriterSupport.h"

namespace {

// Path data in hundredths of a pixel, each point relative to the one before,
// so that rounding never adds up and most numbers are short.
class TSvgPath {
public:
    explicit TSvgPath(std::string& data) : d(data) {}

    void Rect(const TRect& r) {
        MoveTo(r.Left * 100LL, r.Top * 100LL);
        Command('h');
        Number((r.Right - r.Left) * 100LL);
        Command('v');
        Number((r.Bottom - r.Top) * 100LL);
        Command('h');
        Number((r.Left - r.Right) * 100LL);
        Close();
    }

    void Add(const TPath& path) {
        for (const TPathCommand& c : path) {
            switch (c.Op) {
            case TPathCommand::Move: {
                const long long px = Hundredths(c.Pts[0]), py = Hundredths(c.Pts[1]);
                MoveTo(px, py);
                break;
            }
            case TPathCommand::Line: {
                const long long px = Hundredths(c.Pts[0]), py = Hundredths(c.Pts[1]);
                if (py == y) {
                    Command('h');
                    Number(px - x);
                } else if (px == x) {
                    Command('v');
                    Number(py - y);
                } else {
                    Command('l');
                    Number(px - x);
                    Number(py - y);
                }
                x = px;
                y = py;
                break;
            }
            case TPathCommand::Quad:
            case TPathCommand::Cubic: {
                Command(c.Op == TPathCommand::Quad ? 'q' : 'c');
                const int points = c.Op == TPathCommand::Quad ? 2 : 3;
                long long px = x, py = y;
                for (int i = 0; i < points; ++i) {
                    px = Hundredths(c.Pts[2 * i]);
                    py = Hundredths(c.Pts[2 * i + 1]);
                    Number(px - x);
                    Number(py - y);
                }
                x = px;
                y = py;
                break;
            }
            case TPathCommand::Close:
                Close();
                break;
            }
        }
    }

private:
    std::string& d;
    bool first = true;
    long long x = 0, y = 0, startX = 0, startY = 0;
    char last = 0;         // the command the numbers that follow belong to
    bool separate = false; // a number needs a space before it, unless it is negative

    static long long Hundredths(double v) { return std::llround(v * 100); }

    // The path's first point absolute, every later one relative.
    void MoveTo(long long px, long long py) {
        const bool absolute = first;
        Command(absolute ? 'M' : 'm');
        Number(absolute ? px : px - x);
        Number(absolute ? py : py - y);
        first = false;
        startX = x = px;
        startY = y = py;
        // Pairs after a relative move are relative lines; after an absolute
        // one, absolute lines: the next command is written out then.
        last = absolute ? 0 : 'l';
    }

    void Command(char c) {
        if (c != last || c == 'm' || c == 'M') {
            d.push_back(c);
            separate = false;
        }
        last = c;
    }
    void Number(long long hundredths) {
        if (separate && hundredths >= 0) d.push_back(' ');
        AppendFixed(d, hundredths, 2);
        separate = true;
    }
    void Close() {
        d.push_back('z');
        last = 'z';
        separate = false;
        x = startX;
        y = startY;
    }
};

void AppendColour(std::string& svg, const char* attribute, TPixel c) {
    char text[40];
    std::snprintf(text, sizeof text, " %s=\"#%06x\"", attribute, unsigned(c & 0xFFFFFF));
    svg += text;
    if (c >> 24 != 0xFF) {
        svg += ' ';
        svg += attribute;
        svg += "-opacity=\"";
        AppendDecimal(svg, (c >> 24) / 255.0, 4);
        svg += '"';
    }
}

void AppendMillimetres(std::string& svg, const char* attribute, int pixels, int dpi) {
    svg += ' ';
    svg += attribute;
    svg += "=\"";
    AppendDecimal(svg, pixels * 25.4 / dpi, 4);
    svg += "mm\"";
}

} // namespace

bool EncodeSvg(const TDrawing& drawing, TGlyphOutlines& glyphs, int dpi, TBytes& out,
               std::string* error) {
    if (const std::string problem = DrawingProblem(drawing, dpi); !problem.empty())
        return Fail(error, problem);
    const std::string w = std::to_string(drawing.Width), h = std::to_string(drawing.Height);
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\"";
    AppendMillimetres(svg, "width", drawing.Width, dpi);
    AppendMillimetres(svg, "height", drawing.Height, dpi);
    svg += " viewBox=\"0 0 " + w + ' ' + h +
           "\">\n"
           "<title>Barcode</title>\n<desc>Drawn by barcodegen</desc>\n";
    if (drawing.Background >> 24 != 0) {
        svg += "<rect width=\"" + w + "\" height=\"" + h + '"';
        AppendColour(svg, "fill", drawing.Background);
        svg += "/>\n";
    }
    for (const TDrawingLayer& layer : DrawingLayers(drawing, glyphs)) {
        svg += "<path";
        if (layer.Type == TDrawingLayer::StrokedPath) {
            svg += " fill=\"none\"";
            AppendColour(svg, "stroke", layer.Colour);
            svg += " stroke-width=\"" + std::to_string(layer.StrokeWidth) + '"';
        } else {
            AppendColour(svg, "fill", layer.Colour);
        }
        svg += " d=\"";
        TSvgPath path(svg);
        for (const TRect& r : layer.Rects)
            path.Rect(r);
        path.Add(layer.Path);
        svg += "\"/>\n";
    }
    svg += "</svg>\n";
    out = std::move(svg);
    return true;
}

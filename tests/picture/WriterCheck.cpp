#include "tests/picture/WriterCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <zlib.h>

namespace {

std::uint32_t Big32(const TBytes& b, std::size_t at) {
    const auto u = [&](std::size_t i) { return std::uint32_t(std::uint8_t(b[at + i])); };
    return u(0) << 24 | u(1) << 16 | u(2) << 8 | u(3);
}

std::uint32_t Little(const TBytes& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | std::uint8_t(b[at + std::size_t(i)]);
    return v;
}

TDecoded Refused(std::string why) {
    TDecoded d;
    d.Problem = std::move(why);
    return d;
}

TPixel Blend(TPixel under, TPixel over) {
    const std::uint32_t a = over >> 24;
    TPixel out = PixelBlack;
    for (const int shift : {16, 8, 0}) {
        const std::uint32_t o = (over >> shift) & 0xFF, u = (under >> shift) & 0xFF;
        out |= ((o * a + u * (255 - a) + 127) / 255) << shift;
    }
    return out;
}

} // namespace

TDecoded DecodePng(const TBytes& png) {
    if (png.size() < 8 || png.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0)
        return Refused("no PNG signature");
    TDecoded d;
    std::uint32_t w = 0, h = 0;
    int depth = 0, type = -1;
    std::vector<TPixel> palette;
    TBytes idat;
    bool ended = false;
    for (std::size_t at = 8; at + 12 <= png.size() && !ended;) {
        const std::uint32_t length = Big32(png, at);
        if (at + 12 + length > png.size()) return Refused("a chunk runs past the end");
        const std::string name = png.substr(at + 4, 4);
        const TBytes data = png.substr(at + 8, length);
        const auto* typed = reinterpret_cast<const Bytef*>(png.data() + at + 4);
        if (crc32(0, typed, uInt(length + 4)) != Big32(png, at + 8 + length))
            return Refused(name + ": wrong CRC");
        if (name == "IHDR") {
            w = Big32(data, 0);
            h = Big32(data, 4);
            depth = std::uint8_t(data[8]);
            type = std::uint8_t(data[9]);
            if (data[12] != 0) return Refused("interlaced");
        } else if (name == "PLTE") {
            for (std::size_t i = 0; i + 2 < data.size(); i += 3)
                palette.push_back(PixelBlack | std::uint32_t(std::uint8_t(data[i])) << 16 |
                                  std::uint32_t(std::uint8_t(data[i + 1])) << 8 |
                                  std::uint8_t(data[i + 2]));
        } else if (name == "tRNS") {
            d.HasTransparency = true;
            for (std::size_t i = 0; i < data.size() && i < palette.size(); ++i)
                palette[i] = (palette[i] & 0xFFFFFF) | std::uint32_t(std::uint8_t(data[i])) << 24;
        } else if (name == "pHYs") {
            d.DotsPerMetre = long(Big32(data, 0));
        } else if (name == "IDAT") {
            idat += data;
        } else if (name == "IEND") {
            ended = true;
        }
        at += 12 + length;
    }
    if (!ended) return Refused("no IEND");
    const int channels = type == 0 ? 1 : type == 2 ? 3 : type == 3 ? 1 : type == 6 ? 4 : 0;
    if (channels == 0 || !(depth == 8 || (depth == 1 && type == 3)))
        return Refused("a format these tests do not read");
    const std::size_t rowBytes = (std::size_t(w) * std::size_t(channels * depth) + 7) / 8;
    const std::size_t bpp = std::max<std::size_t>(1, std::size_t(channels * depth / 8));
    std::vector<std::uint8_t> raw((rowBytes + 1) * h);
    uLongf size = uLongf(raw.size());
    if (uncompress(raw.data(), &size, reinterpret_cast<const Bytef*>(idat.data()),
                   uLong(idat.size())) != Z_OK ||
        size != raw.size())
        return Refused("the image data does not inflate to the picture's size");
    std::vector<std::uint8_t> above(rowBytes, 0), row(rowBytes);
    d.Picture = TBitmap(int(w), int(h));
    for (std::uint32_t y = 0; y < h; ++y) {
        const std::uint8_t* in = raw.data() + y * (rowBytes + 1);
        for (std::size_t i = 0; i < rowBytes; ++i) {
            const int a = i >= bpp ? row[i - bpp] : 0, b = above[i],
                      c = i >= bpp ? above[i - bpp] : 0;
            int p = 0;
            switch (in[0]) {
            case 0:
                break;
            case 1:
                p = a;
                break;
            case 2:
                p = b;
                break;
            case 3:
                p = (a + b) / 2;
                break;
            case 4: {
                const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
                p = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
                break;
            }
            default:
                return Refused("filter " + std::to_string(in[0]));
            }
            row[i] = std::uint8_t(in[1 + i] + p);
        }
        for (std::uint32_t x = 0; x < w; ++x) {
            TPixel& out = d.Picture.At(int(x), int(y));
            if (type == 3) {
                const int index = depth == 1 ? (row[x >> 3] >> (7 - (x & 7))) & 1 : row[x];
                if (std::size_t(index) >= palette.size())
                    return Refused("index beyond the palette");
                out = palette[std::size_t(index)];
            } else if (type == 0) {
                out = PixelBlack | row[x] * 0x010101u;
            } else {
                const std::uint8_t* p = &row[x * std::size_t(channels)];
                out = (channels == 4 ? std::uint32_t(p[3]) << 24 : PixelBlack) |
                      std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
            }
        }
        above = row;
    }
    d.BitDepth = depth;
    d.ColourType = type;
    return d;
}

TDecoded DecodeBmp(const TBytes& bmp) {
    if (bmp.size() < 54 || bmp.compare(0, 2, "BM") != 0) return Refused("no BMP header");
    if (Little(bmp, 2, 4) != bmp.size()) return Refused("the size in the header is wrong");
    const std::size_t pixels = Little(bmp, 10, 4);
    const int w = int(Little(bmp, 18, 4)), h = int(Little(bmp, 22, 4));
    const int bits = int(Little(bmp, 28, 2));
    const std::size_t colours = Little(bmp, 46, 4);
    if (Little(bmp, 14, 4) != 40 || Little(bmp, 30, 4) != 0 || w <= 0 || h <= 0)
        return Refused("a kind of BMP these tests do not read");
    if (pixels != 54 + 4 * colours) return Refused("the pixels do not follow the palette");
    const std::size_t rowBytes = (std::size_t(w) * std::size_t(bits) + 31) / 32 * 4;
    if (pixels + rowBytes * std::size_t(h) != bmp.size()) return Refused("wrong pixel data size");
    if (Little(bmp, 34, 4) != rowBytes * std::size_t(h)) return Refused("wrong image size field");
    TDecoded d;
    d.BitDepth = bits;
    d.DotsPerMetre = long(Little(bmp, 38, 4));
    d.Picture = TBitmap(w, h);
    for (int y = 0; y < h; ++y) {
        const std::size_t row = pixels + std::size_t(h - 1 - y) * rowBytes;
        for (int x = 0; x < w; ++x) {
            TPixel c;
            if (bits == 24) {
                c = PixelBlack | Little(bmp, row + 3 * std::size_t(x), 3);
            } else {
                const std::uint8_t byte =
                    std::uint8_t(bmp[row + std::size_t(x) * std::size_t(bits) / 8]);
                const std::size_t index = bits == 8   ? byte
                                          : bits == 4 ? (x & 1 ? byte & 15 : byte >> 4)
                                                      : (byte >> (7 - (x & 7))) & 1;
                if (index >= colours) return Refused("index beyond the palette");
                c = PixelBlack | Little(bmp, 54 + 4 * index, 3);
            }
            d.Picture.At(x, y) = c;
        }
    }
    return d;
}

TDecoded DecodePpm(const TBytes& ppm) {
    std::istringstream in(ppm);
    std::string magic;
    int w = 0, h = 0, max = 0;
    in >> magic >> w >> h >> max;
    in.get();
    if (magic != "P6" || w <= 0 || h <= 0 || max != 255) return Refused("no binary PPM");
    const std::size_t start = std::size_t(in.tellg());
    if (ppm.size() < start + std::size_t(w) * std::size_t(h) * 3) return Refused("cut short");
    TDecoded d;
    d.Picture = TBitmap(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::size_t at = start + (std::size_t(y) * std::size_t(w) + std::size_t(x)) * 3;
            d.Picture.At(x, y) = PixelBlack | std::uint32_t(std::uint8_t(ppm[at])) << 16 |
                                 std::uint32_t(std::uint8_t(ppm[at + 1])) << 8 |
                                 std::uint8_t(ppm[at + 2]);
        }
    return d;
}

TToolRun RunTool(const std::string& commandLine) {
    TToolRun run;
    FILE* pipe = ::popen((commandLine + " 2>/dev/null").c_str(), "r");
    if (!pipe) return run;
    char chunk[65536];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0)
        run.Out.append(chunk, n);
    run.Ok = ::pclose(pipe) == 0;
    return run;
}

TScratchDir::TScratchDir() {
    char name[] = "/tmp/writers-XXXXXX";
    if (!::mkdtemp(name)) throw std::runtime_error("no scratch folder");
    dir = name;
}

TScratchDir::~TScratchDir() {
    std::system(("rm -rf '" + dir + "'").c_str());
}

void WriteFile(const std::string& path, const TBytes& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

TBytes ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

namespace {

int Unit(const TFont& font) {
    return std::max(font.Size / 8, 1);
}

} // namespace

int TBlockGlyphs::TextWidth(const TFont& font, const std::u16string& text) {
    return 6 * Unit(font) * int(text.size());
}

int TBlockGlyphs::TextHeight(const TFont& font, const std::u16string&) {
    return 9 * Unit(font);
}

void TBlockGlyphs::AppendTextOutline(const TFont& font, const std::u16string& text, double x,
                                     double y, TPath& path) {
    const double u = Unit(font);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u' ') continue;
        const double l = x + 6 * u * double(i), t = y + u, r = l + 5 * u, b = t + 7 * u;
        if (text[i] == u'o') {
            // Round: two quadratic curves over the top, two cubic ones below.
            const double cx = (l + r) / 2, my = (t + b) / 2, k = 0.55;
            path.push_back({TPathCommand::Move, {l, my}});
            path.push_back({TPathCommand::Quad, {l, t, cx, t}});
            path.push_back({TPathCommand::Quad, {r, t, r, my}});
            path.push_back(
                {TPathCommand::Cubic, {r, my + k * (b - my), cx + k * (r - cx), b, cx, b}});
            path.push_back(
                {TPathCommand::Cubic, {cx - k * (cx - l), b, l, my + k * (b - my), l, my}});
            path.push_back({TPathCommand::Close, {}});
            continue;
        }
        // The block clockwise on the screen: a line, a straight quadratic
        // curve, a straight cubic curve and the closing line.
        path.push_back({TPathCommand::Move, {l, t}});
        path.push_back({TPathCommand::Line, {r, t}});
        path.push_back({TPathCommand::Quad, {r, (t + b) / 2, r, b}});
        path.push_back({TPathCommand::Cubic, {(2 * r + l) / 3, b, (r + 2 * l) / 3, b, l, b}});
        path.push_back({TPathCommand::Close, {}});
        // The hole the other way round, so the non-zero rule leaves it open.
        const double hl = l + 2 * u, ht = t + 2 * u;
        path.push_back({TPathCommand::Move, {hl, ht}});
        path.push_back({TPathCommand::Line, {hl, ht + 3 * u}});
        path.push_back({TPathCommand::Line, {hl + u, ht + 3 * u}});
        path.push_back({TPathCommand::Line, {hl + u, ht}});
        path.push_back({TPathCommand::Close, {}});
    }
}

namespace {

using TContour = std::vector<std::pair<double, double>>;

// The path as polygons, each curve as 32 lines.
std::vector<TContour> Flattened(const TPath& path) {
    std::vector<TContour> contours;
    for (const TPathCommand& c : path) {
        if (c.Op == TPathCommand::Move) contours.emplace_back();
        if (c.Op == TPathCommand::Close || contours.empty()) continue;
        TContour& to = contours.back();
        const auto [x0, y0] = to.empty() ? std::pair{c.Pts[0], c.Pts[1]} : to.back();
        if (c.Op == TPathCommand::Move || c.Op == TPathCommand::Line) {
            to.emplace_back(c.Pts[0], c.Pts[1]);
            continue;
        }
        for (int i = 1; i <= 32; ++i) {
            const double s = i / 32.0, r = 1 - s;
            if (c.Op == TPathCommand::Quad)
                to.emplace_back(r * r * x0 + 2 * r * s * c.Pts[0] + s * s * c.Pts[2],
                                r * r * y0 + 2 * r * s * c.Pts[1] + s * s * c.Pts[3]);
            else
                to.emplace_back(r * r * r * x0 + 3 * r * r * s * c.Pts[0] +
                                    3 * r * s * s * c.Pts[2] + s * s * s * c.Pts[4],
                                r * r * r * y0 + 3 * r * r * s * c.Pts[1] +
                                    3 * r * s * s * c.Pts[3] + s * s * s * c.Pts[5]);
        }
    }
    return contours;
}

// The non-zero winding number of the contours around (x, y).
int Winding(const std::vector<TContour>& contours, double x, double y) {
    int winding = 0;
    for (const TContour& c : contours)
        for (std::size_t i = 0; i < c.size(); ++i) {
            const auto [ax, ay] = c[i];
            const auto [bx, by] = c[(i + 1) % c.size()];
            if ((ay <= y) != (by <= y) && ax + (y - ay) / (by - ay) * (bx - ax) > x)
                winding += by > ay ? 1 : -1;
        }
    return winding;
}

// Whether (x, y) lies inside the polygon by the non-zero rule, or within
// half of width of an edge.
bool InPolygon(const std::vector<TPoint>& points, double x, double y, double halfWidth,
               bool inside) {
    int winding = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const TPoint a = points[i], b = points[(i + 1) % points.size()];
        const double ax = a.X + 0.5, ay = a.Y + 0.5, bx = b.X + 0.5, by = b.Y + 0.5;
        const double len2 = (bx - ax) * (bx - ax) + (by - ay) * (by - ay);
        double s = len2 > 0 ? ((x - ax) * (bx - ax) + (y - ay) * (by - ay)) / len2 : 0;
        s = std::clamp(s, 0.0, 1.0);
        const double cx = ax + s * (bx - ax) - x, cy = ay + s * (by - ay) - y;
        if (halfWidth > 0 && cx * cx + cy * cy <= halfWidth * halfWidth) return true;
        if ((ay <= y) != (by <= y)) {
            const double crossX = ax + (y - ay) / (by - ay) * (bx - ax);
            if (crossX > x) winding += by > ay ? 1 : -1;
        }
    }
    return inside && winding != 0;
}

} // namespace

TBitmap ExpectedPixels(const TDrawing& drawing) {
    TBitmap out(drawing.Width, drawing.Height, Blend(PixelWhite, drawing.Background));
    const auto paint = [&](int x, int y, TPixel colour) {
        if (x >= 0 && y >= 0 && x < out.Width() && y < out.Height())
            out.At(x, y) = Blend(out.At(x, y), colour);
    };
    for (const TDrawnItem& item : drawing.Items) {
        if (const auto* r = std::get_if<TDrawnRect>(&item)) {
            for (int y = r->Box.Top; y < r->Box.Bottom; ++y)
                for (int x = r->Box.Left; x < r->Box.Right; ++x)
                    paint(x, y, r->Colour);
        } else if (const auto* t = std::get_if<TDrawnText>(&item)) {
            TBlockGlyphs glyphs;
            TPath path;
            glyphs.AppendTextOutline(t->Font, t->Text, t->X, t->Y, path);
            const std::vector<TContour> contours = Flattened(path);
            for (int y = 0; y < out.Height(); ++y)
                for (int x = 0; x < out.Width(); ++x)
                    if (Winding(contours, x + 0.5, y + 0.5) != 0) paint(x, y, t->Colour);
        } else if (const auto* p = std::get_if<TDrawnPolygon>(&item)) {
            for (int y = 0; y < out.Height(); ++y)
                for (int x = 0; x < out.Width(); ++x) {
                    if (p->Filled && InPolygon(p->Points, x + 0.5, y + 0.5, 0, true))
                        paint(x, y, p->Fill);
                    if (p->OutlineWidth > 0 &&
                        InPolygon(p->Points, x + 0.5, y + 0.5, p->OutlineWidth / 2.0, false))
                        paint(x, y, p->Outline);
                }
        }
    }
    return out;
}

TBitmap Rotated(const TBitmap& picture, int quarterTurns) {
    TBitmap out = picture;
    for (int turn = 0; turn < (quarterTurns % 4 + 4) % 4; ++turn) {
        TBitmap next(out.Height(), out.Width());
        for (int y = 0; y < out.Height(); ++y)
            for (int x = 0; x < out.Width(); ++x)
                next.At(out.Height() - 1 - y, x) = out.At(x, y);
        out = next;
    }
    return out;
}

TBitmap OnPaper(const TBitmap& picture) {
    TBitmap out(picture.Width(), picture.Height());
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            out.At(x, y) = Blend(PixelWhite, picture.At(x, y));
    return out;
}

long PixelsApart(const TBitmap& a, const TBitmap& b, int tolerance) {
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return long(std::max(a.Width(), b.Width())) * std::max(a.Height(), b.Height());
    long apart = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            for (const int shift : {24, 16, 8, 0})
                if (std::abs(int((a.At(x, y) >> shift) & 0xFF) -
                             int((b.At(x, y) >> shift) & 0xFF)) > tolerance) {
                    ++apart;
                    break;
                }
    return apart;
}

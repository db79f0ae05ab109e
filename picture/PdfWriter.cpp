#include <cmath>
#include <cstdio>
#include <map>
#include <zlib.h>

#include "picture/DrawingLayers.h"
#include "picture/DrawingWriters.h"
#include "picture/WriterSupport.h"

namespace {

// pixels * 72 / dpi points, to a millionth of a point and never above it: a
// reader that rounds the page up to whole pixels gets the picture's size.
void AppendPoints(std::string& out, int pixels, int dpi) {
    const long long whole = 72LL * pixels;
    const long long millionths = (whole % dpi) * 1000000 / dpi;
    out += std::to_string(whole / dpi);
    if (millionths == 0) return;
    std::string digits = std::to_string(millionths + 1000000); // "1" and six digits
    digits[0] = '.';
    while (digits.back() == '0')
        digits.pop_back();
    out += digits;
}

void AppendPoint(std::string& out, double x, double y) {
    AppendDecimal(out, x, 2);
    out += ' ';
    AppendDecimal(out, y, 2);
    out += ' ';
}

// The content stream: pixel coordinates from the top-left, mapped onto the
// page by the first matrix. Colours with alpha use graphics states named by
// alphas (the /a128 of resources holds a fill alpha of 128 / 255).
std::string Content(const TDrawing& drawing, TGlyphOutlines& glyphs, int dpi,
                    const std::string& pageHeight, std::map<int, std::string>& alphas) {
    std::string c;
    AppendDecimal(c, 72.0 / dpi, 10);
    c += " 0 0 ";
    c += '-';
    AppendDecimal(c, 72.0 / dpi, 10);
    c += " 0 " + pageHeight + " cm\n";
    int alpha = 255;
    // The colours set so far: black for both, as a page begins.
    TPixel fill = PixelBlack, stroke = PixelBlack;
    const auto colour = [&](TPixel p, bool stroking) {
        TPixel& current = stroking ? stroke : fill;
        if ((p & 0xFFFFFF) != (current & 0xFFFFFF)) {
            for (const int shift : {16, 8, 0}) {
                AppendDecimal(c, ((p >> shift) & 0xFF) / 255.0, 4);
                c += ' ';
            }
            c += stroking ? "RG\n" : "rg\n";
            current = p;
        }
        const int a = int(p >> 24);
        if (a != alpha) {
            std::string name = "a";
            name += std::to_string(a);
            alphas[a] = name;
            c += '/';
            c += name;
            c += " gs\n";
            alpha = a;
        }
    };
    if (drawing.Background >> 24 != 0) {
        colour(drawing.Background, false);
        c += "0 0 " + std::to_string(drawing.Width) + ' ' + std::to_string(drawing.Height) +
             " re f\n";
    }
    for (const TDrawingLayer& layer : DrawingLayers(drawing, glyphs)) {
        colour(layer.Colour, layer.Type == TDrawingLayer::StrokedPath);
        for (const TRect& r : layer.Rects)
            c += std::to_string(r.Left) + ' ' + std::to_string(r.Top) + ' ' +
                 std::to_string(r.Right - r.Left) + ' ' + std::to_string(r.Bottom - r.Top) +
                 " re\n";
        // The current point, where a quadratic curve begins, and the contour's start.
        double x = 0, y = 0, startX = 0, startY = 0;
        for (const TPathCommand& p : layer.Path) {
            switch (p.Op) {
            case TPathCommand::Move:
            case TPathCommand::Line:
                AppendPoint(c, p.Pts[0], p.Pts[1]);
                c += p.Op == TPathCommand::Move ? "m\n" : "l\n";
                x = p.Pts[0];
                y = p.Pts[1];
                if (p.Op == TPathCommand::Move) {
                    startX = x;
                    startY = y;
                }
                break;
            case TPathCommand::Quad: // as the cubic curve it is
                AppendPoint(c, x + (p.Pts[0] - x) * 2 / 3, y + (p.Pts[1] - y) * 2 / 3);
                AppendPoint(c, p.Pts[2] + (p.Pts[0] - p.Pts[2]) * 2 / 3,
                            p.Pts[3] + (p.Pts[1] - p.Pts[3]) * 2 / 3);
                AppendPoint(c, p.Pts[2], p.Pts[3]);
                c += "c\n";
                x = p.Pts[2];
                y = p.Pts[3];
                break;
            case TPathCommand::Cubic:
                for (int i = 0; i < 6; i += 2)
                    AppendPoint(c, p.Pts[i], p.Pts[i + 1]);
                c += "c\n";
                x = p.Pts[4];
                y = p.Pts[5];
                break;
            case TPathCommand::Close:
                c += "h\n";
                x = startX;
                y = startY;
                break;
            }
        }
        if (layer.Type == TDrawingLayer::StrokedPath)
            c += std::to_string(layer.StrokeWidth) + " w S\n";
        else
            c += "f\n";
    }
    return c;
}

// One zlib stream per thread, reset for every file: setting one up costs
// more than deflating a label's few kilobytes of content.
struct TContentDeflater {
    z_stream stream{};
    bool ready = false;
    TContentDeflater()
        : ready(deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15, 8,
                             Z_DEFAULT_STRATEGY) == Z_OK) {}
    ~TContentDeflater() {
        if (ready) deflateEnd(&stream);
    }
    TContentDeflater(const TContentDeflater&) = delete;
    TContentDeflater& operator=(const TContentDeflater&) = delete;
};

bool Deflated(const std::string& data, std::string& out) {
    thread_local TContentDeflater deflater;
    z_stream& z = deflater.stream;
    if (!deflater.ready || deflateReset(&z) != Z_OK) return false;
    out.resize(deflateBound(&z, uLong(data.size())));
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data())); // zlib only reads it
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    if (deflate(&z, Z_FINISH) != Z_STREAM_END) return false;
    out.resize(z.total_out);
    return true;
}

} // namespace

bool EncodePdf(const TDrawing& drawing, TGlyphOutlines& glyphs, int dpi, TBytes& out,
               std::string* error) {
    if (const std::string problem = DrawingProblem(drawing, dpi); !problem.empty())
        return Fail(error, problem);
    std::string width, height;
    AppendPoints(width, drawing.Width, dpi);
    AppendPoints(height, drawing.Height, dpi);
    std::map<int, std::string> alphas;
    std::string content;
    if (!Deflated(Content(drawing, glyphs, dpi, height, alphas), content))
        return Fail(error, "the PDF content could not be compressed");

    std::string resources;
    if (!alphas.empty()) {
        resources = "/ExtGState <<";
        for (const auto& [alpha, name] : alphas) {
            resources += " /" + name + " << /ca ";
            AppendDecimal(resources, alpha / 255.0, 4);
            resources += " /CA ";
            AppendDecimal(resources, alpha / 255.0, 4);
            resources += " >>";
        }
        resources += " >>";
    }
    // A binary comment on the second line tells transfer programs that the
    // file holds bytes, not text.
    std::string pdf = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    std::vector<std::size_t> offsets;
    const auto object = [&](const std::string& body) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(offsets.size()) + " 0 obj\n" + body + "\nendobj\n";
    };
    object("<< /Type /Catalog /Pages 2 0 R >>");
    object("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    object("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + width + ' ' + height +
           "] /Resources << " + resources + " >> /Contents 4 0 R >>");
    object("<< /Length " + std::to_string(content.size()) + " /Filter /FlateDecode >>\nstream\n" +
           content + "\nendstream");
    object("<< /Creator (barcodegen) /Producer (barcodegen) >>");
    const std::size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(offsets.size() + 1) + "\n0000000000 65535 f \n";
    for (const std::size_t offset : offsets) {
        char entry[24];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
        pdf += entry;
    }
    pdf += "trailer\n<< /Size " + std::to_string(offsets.size() + 1) +
           " /Root 1 0 R /Info 5 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    out = std::move(pdf);
    return true;
}

#include "platform/QtCanvas.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPolygon>
#include <QRawFont>
#include <QTextLayout>
#include <QtEndian>
#include <algorithm>
#include <memory>
#include <vector>

#include "platform/QtConvert.h"

namespace {
constexpr int DotsPerMeterAt96Dpi = 3780;

QPaintDevice& At96Dpi(QImage& image) {
    image.setDotsPerMeterX(DotsPerMeterAt96Dpi);
    image.setDotsPerMeterY(DotsPerMeterAt96Dpi);
    return image;
}

// The fonts of a thread, by size, style and device resolution. Making a QFont
// and finding its face cost more than measuring a text with it, and the
// automatic font size tries a dozen sizes for every picture. A kept
// QFontMetrics keeps the face it found.
struct TFontEntry {
    TFont font;
    double scale;
    int dpi;
    QFont qfont;
    QFontMetrics metrics;
};

TFontEntry& CachedFont(const TFont& font, double scale, QPaintDevice& device) {
    thread_local std::vector<std::unique_ptr<TFontEntry>> cache;
    const int dpi = device.logicalDpiY();
    for (const auto& e : cache)
        if (e->dpi == dpi && e->scale == scale && e->font == font) return *e;
    if (cache.size() >= 256) cache.clear();
    QFont f = ToQFont(font);
    if (scale != 1.0) f.setPointSizeF(f.pointSizeF() * scale);
    const QFontMetrics metrics(f, &device);
    cache.push_back(std::make_unique<TFontEntry>(TFontEntry{font, scale, dpi, f, metrics}));
    return *cache.back();
}

// The tables of a font as a font file of its own. Qt reads outlines through the
// font's hinting program at the size of its design units, and in some fonts a
// glyph's program leaves values behind that move the next glyph's points by a
// fraction of a pixel, also after a picture was drawn at another size: a
// drawing's bytes would depend on what was drawn before it. Faces of a
// drawing's own have no such past. Empty when the font has no tables (a bitmap
// font).
QByteArray FontFileOf(const QRawFont& font) {
    // In the order of their tags, as a font file lists them.
    static constexpr const char* Tags[] = {"BASE", "CFF ", "CFF2", "GDEF", "GPOS", "GSUB", "HVAR",
                                           "LTSH", "MVAR", "OS/2", "STAT", "VDMX", "VORG", "VVAR",
                                           "avar", "cmap", "cvar", "cvt ", "fpgm", "fvar", "gasp",
                                           "glyf", "gvar", "hdmx", "head", "hhea", "hmtx", "kern",
                                           "loca", "maxp", "name", "post", "prep", "vhea", "vmtx"};
    std::vector<std::pair<const char*, QByteArray>> tables;
    for (const char* tag : Tags) {
        QByteArray data = font.fontTable(tag);
        if (!data.isEmpty()) tables.emplace_back(tag, std::move(data));
    }
    if (tables.empty()) return {};
    QByteArray file;
    const auto put16 = [&](quint16 v) { file.append(char(v >> 8)).append(char(v)); };
    const auto put32 = [&](quint32 v) { put16(quint16(v >> 16)), put16(quint16(v)); };
    const auto padded = [](qsizetype n) { return (n + 3) & ~qsizetype(3); };
    const quint16 count = quint16(tables.size());
    quint16 power = 1, log2 = 0;
    while (power * 2 <= count)
        power *= 2, ++log2;
    put32(font.fontTable("glyf").isEmpty() ? 0x4F54544F /* OTTO */ : 0x00010000);
    put16(count), put16(power * 16), put16(log2), put16(count * 16 - power * 16);
    quint32 offset = 12 + 16 * quint32(count);
    for (const auto& [tag, data] : tables) {
        QByteArray word = data;
        word.resize(padded(data.size()), '\0');
        quint32 sum = 0;
        for (qsizetype i = 0; i < word.size(); i += 4)
            sum += qFromBigEndian<quint32>(word.constData() + i);
        file.append(tag, 4);
        put32(sum), put32(offset), put32(quint32(data.size()));
        offset += quint32(word.size());
    }
    for (const auto& [tag, data] : tables)
        file.append(data).append(QByteArray(padded(data.size()) - data.size(), '\0'));
    return file;
}

// The font files of a thread, by the fonts they were made from.
const QByteArray& CachedFontFile(const QRawFont& font) {
    thread_local std::vector<std::pair<QRawFont, QByteArray>> files;
    for (const auto& [from, file] : files)
        if (from.familyName() == font.familyName() && from.styleName() == font.styleName() &&
            from.weight() == font.weight() && from.style() == font.style())
            return file;
    if (files.size() >= 16) files.clear();
    files.emplace_back(font, FontFileOf(font));
    return files.back().second;
}

// The outlines of text in font, laid out as the painter lays it out, with the
// baseline's start at baseline. They are read from faces of the drawing's own,
// kept in faces.
QPainterPath GlyphOutlines(const QString& text, const QFont& font, QPointF baseline,
                           std::vector<QRawFont>& faces) {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill); // as a font fills its overlapping contours
    QTextLayout layout(text, font);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid()) return path;
    const QPointF origin = baseline - QPointF(0, line.ascent());
    for (const QGlyphRun& run : layout.glyphRuns()) {
        const QRawFont shared = run.rawFont();
        const QByteArray& file = CachedFontFile(shared);
        const QRawFont* own = nullptr;
        for (const QRawFont& f : faces)
            if (f.pixelSize() == shared.pixelSize() && f.familyName() == shared.familyName() &&
                f.styleName() == shared.styleName())
                own = &f;
        if (!own && !file.isEmpty()) {
            QRawFont made(file, shared.pixelSize(), font.hintingPreference());
            if (made.isValid()) own = &faces.emplace_back(std::move(made));
        }
        const QRawFont& outlines = own ? *own : shared;
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < glyphs.size() && i < positions.size(); ++i)
            path.addPath(outlines.pathForGlyph(glyphs[i]).translated(origin + positions[i]));
    }
    return path;
}

} // namespace

TQtCanvas::TQtCanvas(QImage& image) : TQtCanvas(At96Dpi(image)) {
    if (image.format() != QImage::Format_RGB32) return;
    bits = image.bits(); // the painter has made the image its own already
    stride = image.bytesPerLine();
    bounds = image.rect();
}

TQtCanvas::TQtCanvas(QPaintDevice& target) : device(target) {
    const int dpi = device.logicalDpiY();
    if (dpi > 0 && dpi != 96) fontScale = 96.0 / dpi;
    painter.begin(&device);
    // Bars must have sharp pixel edges to scan.
    painter.setRenderHint(QPainter::Antialiasing, false);
    // An SVG that names its font is shown in whatever font the reader has, and a
    // wider one covers the guard bars: drawings carry the glyphs' outlines. A PDF
    // could embed the font, but for all but the longest texts the outlines of a
    // label's few glyphs take less room than the font's subset.
    const QPaintEngine* engine = painter.paintEngine();
    outlines =
        engine && (engine->type() == QPaintEngine::SVG || engine->type() == QPaintEngine::Pdf);
}

const QFontMetrics& TQtCanvas::Metrics() const {
    return CachedFont(Font, fontScale, device).metrics;
}

void TQtCanvas::ApplyFont() {
    if (painterFont == Font) return;
    TFontEntry& e = CachedFont(Font, fontScale, device);
    painter.setFont(e.qfont);
    painterFont = Font;
}

TQtCanvas::~TQtCanvas() {
    FlushRects();
}

void TQtCanvas::FillRect(const QRect& r, const QColor& colour) {
    if (!bits) {
        painter.fillRect(r, colour);
        return;
    }
    const QRect clipped = r & bounds;
    if (!clipped.isEmpty())
        pendingRects.push_back({clipped, colour.rgb()}); // opaque, as the painter stores it
}

// The rectangles in the order they came. A barcode's bars share a few runs of
// rows, and in such a run every row that was equal to the first before is equal
// to it after: one row is filled rectangle by rectangle and copied to the others.
void TQtCanvas::FlushRects() {
    if (pendingRects.empty()) return;
    std::vector<int> edges; // the first row of every run
    for (const TPendingRect& p : pendingRects) {
        edges.push_back(p.rect.top());
        edges.push_back(p.rect.bottom() + 1);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    std::vector<const TPendingRect*> run;
    std::vector<QRgb> before;
    for (std::size_t e = 0; e + 1 < edges.size(); ++e) {
        const int top = edges[e], end = edges[e + 1];
        run.clear();
        int left = bounds.right(), right = bounds.left();
        for (const TPendingRect& p : pendingRects)
            if (p.rect.top() <= top && p.rect.bottom() >= end - 1) {
                run.push_back(&p);
                left = std::min(left, p.rect.left());
                right = std::max(right, p.rect.right());
            }
        if (run.empty()) continue;
        const auto line = [&](int y) { return reinterpret_cast<QRgb*>(bits + y * stride) + left; };
        const auto fill = [&](QRgb* row) {
            for (const TPendingRect* p : run)
                std::fill(row + (p->rect.left() - left), row + (p->rect.right() + 1 - left),
                          p->pixel);
        };
        const int width = right - left + 1;
        before.assign(line(top), line(top) + width);
        fill(line(top));
        for (int y = top + 1; y < end; ++y) {
            if (std::equal(before.begin(), before.end(), line(y)))
                std::copy(line(top), line(top) + width, line(y));
            else
                fill(line(y));
        }
    }
    pendingRects.clear();
}

int TQtCanvas::TextWidth(const std::u16string& text) {
    return Metrics().horizontalAdvance(ToQString(text));
}

int TQtCanvas::TextHeight(const std::u16string&) {
    const QFontMetrics& m = Metrics();
    return m.ascent() + m.descent();
}

void TQtCanvas::TextOut(int x, int y, const std::u16string& text) {
    const QString s = ToQString(text);
    const QFontMetrics& m = Metrics();
    if (Brush.Style == TBrushStyle::bsSolid)
        FillRect(QRect(x, y, m.horizontalAdvance(s), m.ascent() + m.descent()),
                 ToQColor(Brush.Color));
    FlushRects();
    if (outlines) {
        // The font made for the device, so the outlines have the size of the measured text.
        const QFont font(CachedFont(Font, fontScale, device).qfont, &device);
        painter.fillPath(GlyphOutlines(s, font, QPointF(x, y + m.ascent()), outlineFaces),
                         ToQColor(Font.Color));
        return;
    }
    ApplyFont();
    painter.setPen(ToQColor(Font.Color));
    painter.drawText(x, y + m.ascent(), s);
}

void TQtCanvas::Polygon(const std::vector<TPoint>& points) {
    if (points.empty()) return;
    int minX = points[0].X, maxX = points[0].X, minY = points[0].Y, maxY = points[0].Y;
    bool rectangle = points.size() == 4;
    for (const TPoint& p : points) {
        minX = std::min(minX, p.X);
        maxX = std::max(maxX, p.X);
        minY = std::min(minY, p.Y);
        maxY = std::max(maxY, p.Y);
    }
    for (const TPoint& p : points)
        if ((p.X != minX && p.X != maxX) || (p.Y != minY && p.Y != maxY)) rectangle = false;
    const QColor fill = ToQColor(Brush.Color);
    const QColor outline = ToQColor(Pen.Color);
    if (rectangle) {
        // Every bar is an axis-aligned rectangle whose outline pixels belong to it:
        // fill exactly the columns and rows from corner to corner, both inclusive.
        const QRect r(QPoint(minX, minY), QPoint(maxX, maxY));
        if (Brush.Style == TBrushStyle::bsSolid) FillRect(r, fill);
        if (Pen.Width > 0 && outline != fill) {
            painter.setPen(QPen(outline, 0));
            painter.setBrush(Qt::NoBrush);
            FlushRects();
            painter.drawRect(r.adjusted(0, 0, -1, -1));
        }
        return;
    }
    QPolygon poly;
    for (const TPoint& p : points)
        poly << QPoint(p.X, p.Y);
    painter.setPen(Pen.Width > 0 ? QPen(outline, Pen.Width) : QPen(Qt::NoPen));
    painter.setBrush(Brush.Style == TBrushStyle::bsSolid ? QBrush(fill) : QBrush(Qt::NoBrush));
    FlushRects();
    painter.drawPolygon(poly);
}

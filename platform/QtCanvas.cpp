#include "QtCanvas.h"

#include <QFontMetrics>
#include <QPolygon>
#include <algorithm>

#include "QtConvert.h"

namespace {
constexpr int DotsPerMeterAt96Dpi = 3780;

QPaintDevice& At96Dpi(QImage& image) {
    image.setDotsPerMeterX(DotsPerMeterAt96Dpi);
    image.setDotsPerMeterY(DotsPerMeterAt96Dpi);
    return image;
}
} // namespace

TQtCanvas::TQtCanvas(QImage& image) : TQtCanvas(At96Dpi(image)) {}

TQtCanvas::TQtCanvas(QPaintDevice& device) {
    const int dpi = device.logicalDpiY();
    if (dpi > 0 && dpi != 96) fontScale = 96.0 / dpi;
    painter.begin(&device);
    // Bars must have sharp pixel edges to scan.
    painter.setRenderHint(QPainter::Antialiasing, false);
}

void TQtCanvas::ApplyFont() {
    QFont f = ToQFont(Font);
    if (fontScale != 1.0) f.setPointSizeF(f.pointSizeF() * fontScale);
    painter.setFont(f);
}

int TQtCanvas::TextWidth(const std::u16string& text) {
    ApplyFont();
    return painter.fontMetrics().horizontalAdvance(ToQString(text));
}

int TQtCanvas::TextHeight(const std::u16string&) {
    ApplyFont();
    const QFontMetrics m = painter.fontMetrics();
    return m.ascent() + m.descent();
}

void TQtCanvas::TextOut(int x, int y, const std::u16string& text) {
    ApplyFont();
    const QString s = ToQString(text);
    const QFontMetrics m = painter.fontMetrics();
    if (Brush.Style == TBrushStyle::bsSolid)
        painter.fillRect(x, y, m.horizontalAdvance(s), m.ascent() + m.descent(),
                         ToQColor(Brush.Color));
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
        if (Brush.Style == TBrushStyle::bsSolid) painter.fillRect(r, fill);
        if (Pen.Width > 0 && outline != fill) {
            painter.setPen(QPen(outline, 0));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(r.adjusted(0, 0, -1, -1));
        }
        return;
    }
    QPolygon poly;
    for (const TPoint& p : points)
        poly << QPoint(p.X, p.Y);
    painter.setPen(Pen.Width > 0 ? QPen(outline, Pen.Width) : QPen(Qt::NoPen));
    painter.setBrush(Brush.Style == TBrushStyle::bsSolid ? QBrush(fill) : QBrush(Qt::NoBrush));
    painter.drawPolygon(poly);
}

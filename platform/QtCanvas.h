// TCanvas over a QPainter on a QImage, or on any other paint device such as an
// SVG or PDF generator. Points map to pixels at 96 dpi whatever the device's
// resolution, so a drawing has the same geometry on every device and screen.
// Bars are exact pixel rectangles without antialiasing. On an SVG or PDF
// device text is filled glyph outlines, so no reader needs the font, taken
// from faces of the drawing's own, so that a file's bytes do not depend on
// what the thread drew before.
#pragma once

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <optional>
#include <vector>

#include "engine/Canvas.h"

class TQtCanvas : public TCanvas {
public:
    explicit TQtCanvas(QImage& image);
    // One device unit is one pixel of the drawing; fonts keep their 96-dpi pixel size.
    explicit TQtCanvas(QPaintDevice& target);
    ~TQtCanvas() override;
    TQtCanvas(const TQtCanvas&) = delete;
    TQtCanvas& operator=(const TQtCanvas&) = delete;

    int TextWidth(const std::u16string& text) override;
    int TextHeight(const std::u16string& text) override;
    void TextOut(int x, int y, const std::u16string& text) override;
    void Polygon(const std::vector<TPoint>& points) override;

private:
    QPaintDevice& device;
    QPainter painter;
    // The bitmap's pixels when it is 32-bit RGB: rectangles are filled in its
    // memory, a tenth of the painter's cost for the same pixels, and only
    // before the painter paints again (or at the end).
    uchar* bits = nullptr;
    qsizetype stride = 0;
    QRect bounds;
    struct TPendingRect {
        QRect rect; // within bounds
        QRgb pixel;
    };
    std::vector<TPendingRect> pendingRects;
    void FlushRects();
    double fontScale = 1.0;             // 96 / the device's resolution
    bool outlines = false;              // text as filled glyph outlines, not as text
    std::vector<QRawFont> outlineFaces; // the fonts of the outlines, this drawing's own
    std::optional<TFont> painterFont;   // Font as the painter has it
    const QFontMetrics& Metrics() const;
    void ApplyFont();
    void FillRect(const QRect& r, const QColor& colour);
};

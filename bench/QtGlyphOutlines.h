// Glyph outlines and metrics from Qt's fonts, as the Qt canvas measures and
// draws text at 96 dpi: gives the benchmarks the real drawing of a symbol to
// write, until the program's own font code takes Qt's place.
#pragma once

#include <QFontMetrics>
#include <QImage>
#include <QPainterPath>

#include "picture/Outline.h"
#include "platform/QtConvert.h"

class TQtGlyphOutlines : public TGlyphOutlines {
public:
    TQtGlyphOutlines() : device(1, 1, QImage::Format_RGB32) {
        device.setDotsPerMeterX(3780); // 96 dpi
        device.setDotsPerMeterY(3780);
    }
    int TextWidth(const TFont& font, const std::u16string& text) override {
        return QFontMetrics(ToQFont(font), &device).horizontalAdvance(ToQString(text));
    }
    int TextHeight(const TFont& font, const std::u16string&) override {
        const QFontMetrics m(ToQFont(font), &device);
        return m.ascent() + m.descent();
    }
    void AppendTextOutline(const TFont& font, const std::u16string& text, double x, double y,
                           TPath& path) override {
        const QFont f(ToQFont(font), &device);
        QPainterPath outline;
        outline.addText(x, y + QFontMetrics(f).ascent(), f, ToQString(text));
        for (int i = 0; i < outline.elementCount(); ++i) {
            const QPainterPath::Element e = outline.elementAt(i);
            if (e.isMoveTo()) {
                if (!path.empty()) path.push_back({TPathCommand::Close, {}});
                path.push_back({TPathCommand::Move, {e.x, e.y}});
            } else if (e.isLineTo()) {
                path.push_back({TPathCommand::Line, {e.x, e.y}});
            } else if (e.isCurveTo() && i + 2 < outline.elementCount()) {
                const QPainterPath::Element c2 = outline.elementAt(i + 1),
                                            end = outline.elementAt(i + 2);
                path.push_back({TPathCommand::Cubic, {e.x, e.y, c2.x, c2.y, end.x, end.y}});
                i += 2;
            }
        }
        if (!path.empty()) path.push_back({TPathCommand::Close, {}});
    }

private:
    QImage device;
};

// TCanvas over a QPainter on a QImage. Points map to pixels at 96 dpi (the
// image's own resolution), so a drawing is the same whatever the screen.
#pragma once

#include <QImage>
#include <QPainter>

#include "Canvas.h"

class TQtCanvas : public TCanvas {
public:
    explicit TQtCanvas(QImage& image);

    int TextWidth(const std::u16string& text) override;
    int TextHeight(const std::u16string& text) override;
    void TextOut(int x, int y, const std::u16string& text) override;
    void Polygon(const std::vector<TPoint>& points) override;

private:
    QImage& image;
    QPainter painter;
    void ApplyFont();
};

// The Qt canvas paints exactly the pixels the engine asks for.
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <random>

#include "engine/BarcodeError.h"
#include "platform/QtCanvas.h"
#include "platform/QtConvert.h"

namespace {
QImage White(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}
bool IsColor(const QImage& img, int x, int y, QColor c) {
    return img.pixelColor(x, y) == c;
}
} // namespace

TEST(QtCanvas, RectanglePolygonCoversBothCornersInclusive) {
    QImage img = White(30, 20);
    {
        TQtCanvas canvas(img);
        canvas.Pen.Color = clBlack;
        canvas.Brush.Color = clBlack;
        canvas.Polygon({{10, 3}, {10, 12}, {12, 12}, {12, 3}});
        canvas.Polygon({{13, 3}, {13, 12}, {13, 12}, {13, 3}}); // one-pixel-wide column
    }
    for (int x = 0; x < 30; ++x)
        for (int y = 0; y < 20; ++y) {
            const bool inside = x >= 10 && x <= 13 && y >= 3 && y <= 12;
            EXPECT_EQ(IsColor(img, x, y, Qt::black), inside) << x << "," << y;
        }
}

// The canvas fills rectangles in the bitmap's memory, batched by runs of rows:
// the pixels must be the painter's, in the order drawn, over any picture.
TEST(QtCanvas, RectanglesGiveThePaintersPixels) {
    std::mt19937 rng(12);
    for (int round = 0; round < 20; ++round) {
        QImage img = White(40, 30);
        for (int i = 0; i < 30; ++i) // what lay there before: not the same on every row
            img.setPixel(int(rng() % 40), int(rng() % 30), qRgb(200, 0, 0));
        QImage expected = img.copy();
        {
            TQtCanvas canvas(img);
            QPainter painter(&expected);
            for (int i = 0; i < 12; ++i) {
                const int x1 = int(rng() % 46) - 3, y1 = int(rng() % 36) - 3;
                const int x2 = x1 + int(rng() % 10), y2 = y1 + int(rng() % 20);
                const TColor colour = rng() % 2 ? clBlack : 0x00FF00;
                canvas.Pen.Color = canvas.Brush.Color = colour;
                canvas.Polygon({{x1, y1}, {x1, y2}, {x2, y2}, {x2, y1}});
                painter.fillRect(QRect(QPoint(x1, y1), QPoint(x2, y2)), ToQColor(colour));
            }
        }
        EXPECT_EQ(img, expected) << "round " << round;
    }
}

TEST(QtCanvas, ColoursAreBgrLikeTheEngine) {
    EXPECT_EQ(ToQColor(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(ToQColor(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(ToTColor(QColor(1, 2, 3)), 0x030201u);
    QImage img = White(10, 10);
    {
        TQtCanvas canvas(img);
        canvas.Pen.Color = 0x0000FF;
        canvas.Brush.Color = 0x0000FF;
        canvas.Polygon({{2, 2}, {2, 4}, {4, 4}, {4, 2}});
    }
    EXPECT_TRUE(IsColor(img, 3, 3, QColor(255, 0, 0)));
}

TEST(QtCanvas, TextIsMeasuredAt96DpiAndPaintedOnItsBrush) {
    QImage img = White(200, 60);
    TQtCanvas canvas(img);
    canvas.Font = TFont{u"Arial", 8, clBlack, 0};
    const int h8 = canvas.TextHeight(u"8");
    // 8 points are 10.7 pixels at 96 dpi; a line is a little higher.
    EXPECT_GE(h8, 10);
    EXPECT_LE(h8, 15);
    canvas.Font.Size = 16;
    EXPECT_GT(canvas.TextHeight(u"8"), h8);
    EXPECT_GT(canvas.TextWidth(u"12345"), canvas.TextWidth(u"1"));
    EXPECT_EQ(canvas.TextWidth(u""), 0);

    canvas.Brush.Color = 0x00FF00; // green cell
    canvas.Font.Size = 8;
    canvas.TextOut(20, 10, u"88");
    const int w = canvas.TextWidth(u"88");
    EXPECT_TRUE(IsColor(img, 20, 10, QColor(0, 255, 0)));
    EXPECT_TRUE(IsColor(img, 20 + w - 1, 10 + h8 - 1, QColor(0, 255, 0)));
    EXPECT_TRUE(IsColor(img, 20 + w, 10, Qt::white));
    int glyph = 0;
    for (int x = 20; x < 20 + w; ++x)
        for (int y = 10; y < 10 + h8; ++y)
            glyph += img.pixelColor(x, y).green() < 128;
    EXPECT_GT(glyph, 10) << "the glyphs are painted";
}

TEST(QtCanvas, NonPositiveFontSizesDoNotBreakMeasuring) {
    QImage img = White(10, 10);
    TQtCanvas canvas(img);
    canvas.Font.Size = 0;
    EXPECT_GT(canvas.TextHeight(u"8"), 0);
    canvas.Font.Size = -4;
    EXPECT_GE(canvas.TextWidth(u"8"), 0);
}

TEST(QtConvert, StringsSurviveTheRoundTrip) {
    const std::u16string s = u"A\u00e9\u010d\U0001F600\t";
    EXPECT_EQ(ToU16(ToQString(s)), s);
    EXPECT_EQ(FromUtf8(ToUtf8(s)), s);
    EXPECT_EQ(ToUtf8(u"\u010d"), "\xc4\x8d");
    EXPECT_EQ(FromUtf8("\xff"), u"\uFFFD");
}

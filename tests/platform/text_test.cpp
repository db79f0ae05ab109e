// The window font, the text drawing flags and the system colours.
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <gtest/gtest.h>

#include "platform/SysColors.h"
#include "platform/TextDraw.h"
#include "platform/WindowFont.h"

namespace {

TEST(WindowFont, IsTahomaWithWindowsLineHeights) {
    if (!RegisterWindowFont()) GTEST_SKIP() << "fonts-wine is not installed";
    QImage device(1, 1, QImage::Format_RGB32); // 96 dpi, as the canvas
    device.setDotsPerMeterX(3780);
    device.setDotsPerMeterY(3780);
    EXPECT_EQ(QFontInfo(QGuiApplication::font()).family(), u"Tahoma"_qs);
    EXPECT_EQ(QGuiApplication::font().pointSize(), 8);
    // Line heights of Tahoma on Windows: ascent and descent, no bitmap strikes.
    for (const auto& [points, height] : {std::pair{8, 13}, {10, 16}, {12, 19}}) {
        QFont f(u"Tahoma"_qs, points);
        EXPECT_EQ(TextHeight(f, &device), height) << points;
        f.setBold(true);
        EXPECT_EQ(QFontInfo(f).bold(), true);
        EXPECT_EQ(TextHeight(f, &device), height) << points << " bold";
    }
}

TEST(DrawText, MeasuresWithTheFlags) {
    const QFont f = QGuiApplication::font();
    QImage device(1, 1, QImage::Format_RGB32);
    const int h = TextHeight(f, &device);
    const auto extent = [&](const QString& s, unsigned flags, int width = 0) {
        TRect r{5, 7, 5 + width, 7};
        DrawText(s, r, flags | DT_CALCRECT, f, &device);
        EXPECT_EQ(r.Left, 5);
        EXPECT_EQ(r.Top, 7);
        return QSize(r.Right - r.Left, r.Bottom - r.Top);
    };
    const int wAB = TextWidth(u"a&b"_qs, f, &device);
    EXPECT_EQ(extent(u"a&b"_qs, DT_NOPREFIX), QSize(wAB, h));
    EXPECT_EQ(extent(u"a&&b"_qs, 0), QSize(wAB, h)) << "&& shows one &";
    EXPECT_EQ(extent(u"&ab"_qs, 0).width(), TextWidth(u"ab"_qs, f, &device));
    for (const QString& twoLines : {u"ab\r\ncd"_qs, u"ab\rcd"_qs, u"ab\ncd"_qs})
        EXPECT_EQ(extent(twoLines, DT_NOPREFIX).height(), 2 * h);
    const QSize wrapped =
        extent(u"one two three"_qs, DT_WORDBREAK, TextWidth(u"one two"_qs, f, &device));
    EXPECT_EQ(wrapped.height(), 2 * h);
    EXPECT_LE(wrapped.width(), TextWidth(u"one two"_qs, f, &device));
    EXPECT_EQ(extent(QString(), 0), QSize(0, h));
}

TEST(SysColors, NamesAndPaletteColours) {
    const QPalette p = QGuiApplication::palette();
    TColor c = 0;
    EXPECT_TRUE(IdentToColor(u"CLRED"_qs, c));
    EXPECT_EQ(ColorToQColor(c), QColor(255, 0, 0));
    EXPECT_TRUE(IdentToColor(u"cl3ddkshadow"_qs, c));
    EXPECT_EQ(c, cl3DDkShadow);
    EXPECT_FALSE(IdentToColor(u"clBlurb"_qs, c));
    EXPECT_FALSE(IdentToColor(u"Red"_qs, c));
    EXPECT_EQ(ColorToQColor(clBtnFace), p.color(QPalette::Button));
    EXPECT_EQ(ColorToQColor(clHighlight), p.color(QPalette::Highlight));
    EXPECT_EQ(ColorToQColor(clWindowText), p.color(QPalette::WindowText));
    EXPECT_EQ(ColorToQColor(clDefault, Qt::green), QColor(Qt::green));
    EXPECT_EQ(ColorToQColor(clNone).alpha(), 0);
}

} // namespace

// The text without a toolkit: Qt's measurements to the pixel, the glyphs drawn
// and outlined where the measurements say. No Qt in this process.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <thread>
#include <vector>

#include "picture/TextFace.h"

namespace {

TFont Tahoma(int points, bool bold = false) {
    return TFont{u"Tahoma", points, clBlack, std::uint8_t(bold ? 1 : 0)};
}

const int Sizes[] = {1, 2, 3, 5, 6, 7, 8, 9, 11, 12, 16, 24, 37, 48, 64, 100, 240, 500};

struct TWidths {
    bool Bold;
    const char16_t* Text;
    int Width[std::size(Sizes)];
};

// What Qt 6.4 measured (QFontMetrics of the Qt canvas, Tahoma registered as
// the window registers it) for these texts at the sizes above.
// clang-format off
const TWidths QtWidths[] = {
    {false, u"5901234123457", {7, 21, 28, 50, 57, 64, 78, 85, 106, 114, 149, 227, 348, 454, 603, 944, 2271, 4733}},
    {false, u"8", {1, 2, 2, 4, 4, 5, 6, 7, 8, 9, 11, 17, 27, 35, 46, 73, 175, 364}},
    {false, u"1234567890", {5, 16, 22, 38, 44, 49, 60, 65, 82, 87, 115, 175, 267, 349, 464, 726, 1747, 3641}},
    {false, u"5901234123457 12", {8, 25, 34, 59, 68, 76, 93, 102, 127, 136, 178, 272, 416, 544, 722, 1130, 2720, 5670}},
    {false, u"(01)09501101530003", {9, 28, 38, 66, 76, 85, 104, 114, 142, 152, 199, 304, 465, 608, 807, 1263, 3040, 6336}},
    {false, u"CODE-39 TEST.", {7, 20, 27, 47, 54, 61, 74, 81, 101, 108, 142, 217, 332, 433, 575, 900, 2166, 4515}},
    {false, u"Hello, World! 7.", {7, 20, 27, 47, 54, 61, 74, 81, 102, 108, 142, 217, 332, 434, 576, 901, 2168, 4519}},
    {false, u"AVA To. 7.4,", {5, 16, 21, 37, 42, 48, 58, 64, 80, 85, 111, 170, 260, 339, 451, 705, 1697, 3537}},
    {false, u"fi fl office", {4, 12, 16, 28, 33, 37, 45, 49, 61, 65, 85, 130, 199, 260, 346, 541, 1302, 2713}},
    {false, u"a\tb\tlong text\tc", {240, 241, 242, 243, 244, 244, 245, 246, 247, 247, 330, 335, 423, 510, 599, 781, 1908, 3747}},
    {false, u"Gr\u00FC\u00DFe, \u00C6r\u00F8 \u00A0x", {6, 19, 25, 43, 50, 56, 68, 74, 93, 99, 130, 199, 304, 397, 527, 825, 1985, 4138}},
    {false, u"12\u009C3456", {1, 3, 4, 8, 9, 10, 12, 13, 16, 17, 23, 35, 53, 70, 93, 145, 349, 728}},
    {false, u"A\nB\rC", {2, 5, 7, 13, 14, 16, 20, 21, 27, 29, 38, 57, 88, 115, 152, 238, 573, 1194}},
    {false, u"a\u00ADb", {1, 3, 4, 8, 9, 10, 12, 13, 16, 17, 23, 35, 53, 69, 92, 143, 345, 719}},
    {false, u"", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {true, u"5901234123457", {8, 25, 33, 58, 66, 74, 91, 99, 124, 132, 174, 265, 405, 530, 703, 1101, 2649, 5521}},
    {true, u"8", {1, 2, 3, 4, 5, 6, 7, 8, 10, 10, 13, 20, 31, 41, 54, 85, 204, 425}},
    {true, u"5901234123457 12", {10, 29, 39, 69, 79, 88, 108, 118, 148, 158, 207, 315, 482, 630, 837, 1309, 3150, 6566}},
    {true, u"CODE-39 TEST.", {7, 22, 30, 52, 60, 67, 82, 89, 112, 119, 157, 239, 365, 477, 634, 992, 2387, 4975}},
    {true, u"Hello, World! 7.", {8, 23, 31, 54, 61, 69, 84, 92, 115, 123, 161, 245, 375, 490, 651, 1018, 2450, 5107}},
    {true, u"AVA To. 7.4,", {6, 17, 23, 41, 47, 52, 64, 70, 87, 93, 122, 186, 285, 373, 495, 774, 1863, 3884}},
    {true, u"fi fl office", {5, 14, 19, 33, 38, 43, 52, 57, 71, 76, 100, 152, 232, 304, 403, 631, 1519, 3165}},
    {true, u"a\tb\tlong text\tc", {241, 242, 242, 244, 244, 245, 246, 246, 248, 248, 331, 337, 426, 514, 605, 1030, 2169, 4272}},
    {true, u"Gr\u00FC\u00DFe, \u00C6r\u00F8 \u00A0x", {7, 21, 28, 48, 55, 62, 76, 83, 103, 110, 145, 220, 337, 441, 585, 916, 2204, 4595}},
    {true, u"A\nB\rC", {2, 6, 8, 14, 16, 18, 22, 24, 31, 33, 43, 65, 100, 130, 173, 271, 652, 1359}},
};
// clang-format on
// Qt's line heights (ascent + descent), the same for both styles.
const int QtHeights[] = {1, 4, 5, 8, 10, 11, 13, 14, 18, 19, 25, 39, 59, 77, 103, 160, 386, 805};

std::string Shown(std::u16string_view text) {
    std::string s;
    for (char16_t c : text)
        s += c >= 0x20 && c < 0x7F ? char(c) : '?';
    return s;
}

// The ink of a drawing on white: the box of the pixels that are not white.
TRect InkBox(const TBitmap& b) {
    TRect r{b.Width(), b.Height(), 0, 0};
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.At(x, y) != PixelWhite)
                r = {std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1),
                     std::max(r.Bottom, y + 1)};
    return r.Right == 0 ? TRect{} : r;
}

} // namespace

TEST(TextFace, MeasuresAsQtDid) {
    ASSERT_EQ(TextFontProblem(), "") << "Wine's Tahoma (fonts-wine) is needed";
    for (const TWidths& row : QtWidths)
        for (std::size_t i = 0; i < std::size(Sizes); ++i)
            EXPECT_EQ(MeasureTextWidth(Tahoma(Sizes[i], row.Bold), row.Text), row.Width[i])
                << (row.Bold ? "bold " : "") << Sizes[i] << " pt, text " << i;
    for (bool bold : {false, true})
        for (std::size_t i = 0; i < std::size(Sizes); ++i)
            EXPECT_EQ(MeasureTextLine(Tahoma(Sizes[i], bold)).Height(), QtHeights[i])
                << Sizes[i] << " pt";
    const TTextLine eight = MeasureTextLine(Tahoma(8));
    EXPECT_EQ(eight.Ascent, 11);
    EXPECT_EQ(eight.Descent, 2);
}

// Texts of the characters Tahoma never kerns skip shaping: every pair of them
// must measure what shaping gives, in either style, at any size.
TEST(TextFace, UnshapedTextsLoseNothing) {
    const int sizes[] = {1, 8, 11, 37, 100, 500};
    int shortcuts = 0;
    for (bool bold : {false, true})
        for (int points : sizes) {
            const TFont font = Tahoma(points, bold);
            for (char16_t a = 0x20; a < 0x7F; ++a)
                for (char16_t b = 0x20; b < 0x7F; ++b) {
                    const std::u16string pair{a, b};
                    const std::int64_t shaped = MeasureTextAdvance(font, pair, TShaping::Always);
                    const std::int64_t measured =
                        MeasureTextAdvance(font, pair, TShaping::WhereNeeded);
                    ASSERT_EQ(measured, shaped) << "\"" << char(a) << char(b) << "\" "
                                                << (bold ? "bold " : "") << points << " pt";
                    shortcuts += MeasureTextAdvance(font, pair, TShaping::Never) == shaped ? 0 : 1;
                }
        }
    EXPECT_GT(shortcuts, 0) << "kerned pairs exist, so the comparison can fail";
}

TEST(TextFace, FontsSizesAndStylesThatAreNotTahomas) {
    const std::u16string ean = u"5901234123457";
    struct TCase {
        TFont Font;
        TFont SameAs;
    } cases[] = {
        {{u"Arial", 8, clBlack, 0}, Tahoma(8)}, // the one font there is
        {{u"", 12, 0x0000FF, 0}, Tahoma(12)},   // the colour changes nothing measured
        {Tahoma(0), Tahoma(1)},                 // no size: the smallest
        {Tahoma(-40), Tahoma(1)},
        {Tahoma(1000000), Tahoma(TextMaxPoints)},        // measured, not overflowed
        {{u"Tahoma", 8, clBlack, 2 | 4 | 8}, Tahoma(8)}, // italic, underline, strike-out
        {{u"Tahoma", 8, clBlack, 1 | 2}, Tahoma(8, true)},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(MeasureTextWidth(c.Font, ean), MeasureTextWidth(c.SameAs, ean)) << c.Font.Size;
        EXPECT_EQ(MeasureTextLine(c.Font).Height(), MeasureTextLine(c.SameAs).Height());
    }
    EXPECT_EQ(TextPixelSize(8), 11);
    EXPECT_EQ(TextPixelSize(TextMaxPoints + 1), TextPixelSize(TextMaxPoints));
    EXPECT_GT(MeasureTextWidth(Tahoma(TextMaxPoints), std::u16string(2000, u'W')), 0);
}

// Glyphs are blended channel by channel: ink and ground each weighted by the
// coverage, which a black text on white shows directly (white less coverage).
TEST(TextFace, GlyphsBlendInkOverGround) {
    const std::u16string text = u"AVA 8";
    TBitmap grey(80, 30);
    PaintText(grey, Tahoma(12), 3, 2, text);
    const auto div255 = [](int t) { return (t + (t >> 8) + 0x80) >> 8; };
    struct TCase {
        TColor Ink;
        TPixel Ground;
    } cases[] = {{clBlack, PixelWhite},
                 {0x0000FF, 0xFF00FF00},
                 {0x123456, 0xFF808080},
                 {clWhite, PixelBlack}};
    for (const TCase& c : cases) {
        TBitmap drawn(80, 30, c.Ground);
        TFont font = Tahoma(12);
        font.Color = c.Ink;
        PaintText(drawn, font, 3, 2, text);
        const TPixel ink = PixelOfColor(c.Ink);
        int inked = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 80; ++x) {
                const int coverage = 255 - int(grey.At(x, y) & 0xFF);
                TPixel expected = 0xFF000000;
                for (int shift : {0, 8, 16})
                    expected |= TPixel(div255(int((ink >> shift) & 0xFF) * coverage) +
                                       div255(int((c.Ground >> shift) & 0xFF) * (255 - coverage)))
                                << shift;
                if (coverage == 255) expected = ink;
                ASSERT_EQ(drawn.At(x, y), expected) << std::hex << c.Ink << " at " << x << "," << y;
                inked += coverage > 0;
            }
        EXPECT_GT(inked, 40);
    }
    // Over a transparent ground the coverage becomes the alpha.
    TBitmap clear(80, 30, 0x00FFFFFF);
    PaintText(clear, Tahoma(12), 3, 2, text);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 80; ++x) {
            const int coverage = 255 - int(grey.At(x, y) & 0xFF);
            ASSERT_EQ(clear.At(x, y) >> 24, TPixel(coverage)) << x << "," << y;
            if (coverage) {
                ASSERT_EQ(clear.At(x, y) & 0xFFFFFF, 0u) << x << "," << y;
            }
        }
}

// A text partly or wholly off the bitmap draws what falls on it, as a larger
// bitmap shows it; glyph images (small text) and outlines (large) alike.
TEST(TextFace, TextIsClippedToTheBitmap) {
    const std::u16string text = u"Hello 59";
    for (int points : {8, 30, 60, 200}) {
        const TFont font = Tahoma(points);
        const int w = MeasureTextWidth(font, text), h = MeasureTextLine(font).Height();
        const int margin = w + h;
        TBitmap large(w + 2 * margin, h + 2 * margin);
        PaintText(large, font, margin, margin, text);
        for (const TPoint at : {TPoint{-w / 2, -h / 2}, TPoint{w / 3, h / 3}, TPoint{-w - 5, 0},
                                TPoint{0, h + 5}, TPoint{-3, h / 2}}) {
            TBitmap small(w, h);
            PaintText(small, font, at.X, at.Y, text);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    ASSERT_EQ(small.At(x, y), large.At(margin + x - at.X, margin + y - at.Y))
                        << points << " pt at " << at.X << "," << at.Y << ", pixel " << x << ","
                        << y;
        }
    }
}

// The outline covers the ink of the drawn text (within the pixel its edges
// antialias into), moves with its origin, and is made of closed contours.
TEST(TextFace, OutlinesMatchTheDrawing) {
    struct TCase {
        const char16_t* Text;
        int Points;
    } cases[] = {{u"5901234123457", 8}, {u"AVA To.", 20}, {u"fi\tfl", 12}, {u"8", 100}};
    for (const TCase& c : cases) {
        const TFont font = Tahoma(c.Points);
        const int w = MeasureTextWidth(font, c.Text), h = MeasureTextLine(font).Height();
        TBitmap drawn(w + 20, h + 20);
        PaintText(drawn, font, 10, 10, c.Text);
        const TRect ink = InkBox(drawn);

        const auto path = TextOutline(font, 10, 10, c.Text);
        ASSERT_FALSE(path.empty());
        double left = 1e9, top = 1e9, right = -1e9, bottom = -1e9;
        bool open = false;
        TPathCommand from; // the current point, in Pts[0], Pts[1]
        for (const TPathCommand& p : path) {
            if (p.Op == TPathCommand::Close) {
                EXPECT_TRUE(open);
                open = false;
                continue;
            }
            EXPECT_EQ(p.Op == TPathCommand::Move, !open) << "a contour begins with a move";
            open = true;
            // The points on the curve (a control point may lie outside the ink).
            for (double t = 0; t <= 1; t += 1.0 / 16) {
                double x = p.Pts[0], y = p.Pts[1];
                if (p.Op == TPathCommand::Quad) {
                    x = (1 - t) * (1 - t) * from.Pts[0] + 2 * t * (1 - t) * p.Pts[0] +
                        t * t * p.Pts[2];
                    y = (1 - t) * (1 - t) * from.Pts[1] + 2 * t * (1 - t) * p.Pts[1] +
                        t * t * p.Pts[3];
                }
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
            from.Pts[0] = p.Op == TPathCommand::Quad ? p.Pts[2] : p.Pts[0];
            from.Pts[1] = p.Op == TPathCommand::Quad ? p.Pts[3] : p.Pts[1];
        }
        EXPECT_FALSE(open) << "the last contour is closed";
        EXPECT_NEAR(left, ink.Left, 1.0) << Shown(c.Text);
        EXPECT_NEAR(top, ink.Top, 1.0) << Shown(c.Text);
        EXPECT_NEAR(right, ink.Right, 1.0) << Shown(c.Text);
        EXPECT_NEAR(bottom, ink.Bottom, 1.0) << Shown(c.Text);

        // Elsewhere: the same outline, moved.
        const auto moved = TextOutline(font, 10 + 7.25, 10 - 3.5, c.Text);
        ASSERT_EQ(moved.size(), path.size());
        for (std::size_t i = 0; i < path.size(); ++i)
            for (int k = 0; k < 3; ++k)
                if (path[i].Pts[2 * k] != 0 || path[i].Pts[2 * k + 1] != 0) {
                    EXPECT_NEAR(moved[i].Pts[2 * k], path[i].Pts[2 * k] + 7.25, 1e-9);
                    EXPECT_NEAR(moved[i].Pts[2 * k + 1], path[i].Pts[2 * k + 1] - 3.5, 1e-9);
                }

        // As cubics: the same ends, the control points two thirds towards the quadratic's.
        const auto cubic = TextOutline(font, 10, 10, c.Text, TCurves::Cubic);
        ASSERT_EQ(cubic.size(), path.size());
        double x = 0, y = 0;
        for (std::size_t i = 0; i < path.size(); ++i) {
            const TPathCommand& q = path[i];
            if (q.Op != TPathCommand::Quad) {
                EXPECT_EQ(cubic[i], q);
            } else {
                ASSERT_EQ(cubic[i].Op, TPathCommand::Cubic);
                EXPECT_NEAR(cubic[i].Pts[0], x + 2 * (q.Pts[0] - x) / 3, 1e-9);
                EXPECT_NEAR(cubic[i].Pts[1], y + 2 * (q.Pts[1] - y) / 3, 1e-9);
                EXPECT_NEAR(cubic[i].Pts[3], q.Pts[3] + 2 * (q.Pts[1] - q.Pts[3]) / 3, 1e-9);
                EXPECT_EQ(cubic[i].Pts[4], q.Pts[2]);
                EXPECT_EQ(cubic[i].Pts[5], q.Pts[3]);
            }
            if (q.Op == TPathCommand::Move || q.Op == TPathCommand::Line)
                x = q.Pts[0], y = q.Pts[1];
            else if (q.Op == TPathCommand::Quad)
                x = q.Pts[2], y = q.Pts[3];
        }
    }
    EXPECT_TRUE(TextOutline(Tahoma(8), 0, 0, u"").empty());
    EXPECT_TRUE(TextOutline(Tahoma(8), 0, 0, u" \t\n").empty());
}

// Every thread has its own faces and caches: measuring and drawing in several
// at once gives each what one thread alone gets.
TEST(TextFace, ThreadsMeasureAndDrawAlike) {
    const std::u16string texts[] = {u"5901234123457", u"AVA To. fi", u"(01)123\t4"};
    const auto work = [&](std::vector<std::uint64_t>& out) {
        for (int round = 0; round < 3; ++round)
            for (int points = 2; points <= 60; points += 3)
                for (const auto& t : texts) {
                    const TFont font = Tahoma(points, points % 2 == 0);
                    TBitmap b(MeasureTextWidth(font, t) + 4, MeasureTextLine(font).Height() + 4);
                    PaintText(b, font, 2, 2, t);
                    std::uint64_t sum = std::uint64_t(MeasureTextWidth(font, t));
                    for (int y = 0; y < b.Height(); ++y)
                        for (int x = 0; x < b.Width(); ++x)
                            sum = sum * 31 + b.At(x, y);
                    out.push_back(sum);
                }
    };
    std::vector<std::uint64_t> alone;
    work(alone);
    std::vector<std::vector<std::uint64_t>> results(4);
    std::vector<std::thread> threads;
    for (auto& r : results)
        threads.emplace_back(work, std::ref(r));
    for (auto& t : threads)
        t.join();
    for (const auto& r : results)
        EXPECT_EQ(r, alone);
}

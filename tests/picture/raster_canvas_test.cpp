// The raster canvas paints what the Qt canvas painted, without Qt: bars as
// exact rectangles, text cells, and the engine's pictures to the pixel.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/BarcodeError.h"
#include "engine/ZoBarCode_interface.h"
#include "picture/RasterCanvas.h"
#include "picture/TextFace.h"
#include "tests/picture/PictureGeometry.h"

namespace {

constexpr TColor Red = 0x0000FF;
constexpr TPixel RedPixel = 0xFFFF0000;

std::vector<std::string> Art(const TBitmap& b) {
    std::vector<std::string> rows;
    for (int y = 0; y < b.Height(); ++y) {
        std::string row;
        for (int x = 0; x < b.Width(); ++x) {
            const TPixel p = b.At(x, y);
            row += p == PixelWhite ? '.' : p == PixelBlack ? '#' : p == RedPixel ? 'o' : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

// The Generate picture on a bitmap: the symbol fitted into the box inside the
// border, cropped to it, drawn again on a wider bitmap when it is wider.
TBitmap Picture(TBarcodeType type, const std::u16string& code, int width, int height, int border,
                bool text) {
    int bitmapWidth = width;
    for (;;) {
        TBitmap bitmap(bitmapWidth, height);
        TRect r{border, border, width - 2 * border, height - 2 * border};
        int module = 2;
        {
            TRasterCanvas canvas(bitmap);
            DrawBarcodeInRect(code, type, canvas, r, module, TFont{u"Tahoma", 8}, true, text,
                              stpBottomCenter, true);
        }
        const int w = r.Right - r.Left + 2 * border, h = r.Bottom - r.Top + 2 * border;
        if (w <= bitmapWidth) return bitmap.TopLeft(w, h);
        bitmapWidth = w;
    }
}

} // namespace

TEST(RasterCanvas, PolygonsPaintTheirPixels) {
    struct TCase {
        const char* Name;
        TColor Pen;
        int PenWidth;
        TColor Brush;
        TBrushStyle Style;
        std::vector<TPoint> Points;
        std::vector<std::string> Expected;
    } cases[] = {
        {"bar, corners inclusive",
         clBlack,
         1,
         clBlack,
         TBrushStyle::bsSolid,
         {{1, 1}, {1, 3}, {3, 3}, {3, 1}},
         {"........", ".###....", ".###....", ".###....", "........", "........", "........"}},
        {"outline in the pen",
         clBlack,
         1,
         Red,
         TBrushStyle::bsSolid,
         {{1, 1}, {1, 4}, {4, 4}, {4, 1}},
         {"........", ".####...", ".#oo#...", ".#oo#...", ".####...", "........", "........"}},
        {"clear brush: outline only",
         clBlack,
         1,
         Red,
         TBrushStyle::bsClear,
         {{1, 1}, {1, 4}, {4, 4}, {4, 1}},
         {"........", ".####...", ".#..#...", ".#..#...", ".####...", "........", "........"}},
        {"clear brush, pen of its colour",
         Red,
         1,
         Red,
         TBrushStyle::bsClear,
         {{1, 1}, {1, 3}, {3, 3}, {3, 1}},
         {"........", ".ooo....", ".o.o....", ".ooo....", "........", "........", "........"}},
        {"clear brush, no pen",
         clBlack,
         0,
         Red,
         TBrushStyle::bsClear,
         {{1, 1}, {1, 3}, {3, 3}, {3, 1}},
         {"........", "........", "........", "........", "........", "........", "........"}},
        {"no pen: the brush to the corners",
         clBlack,
         0,
         Red,
         TBrushStyle::bsSolid,
         {{1, 1}, {1, 2}, {3, 2}, {3, 1}},
         {"........", ".ooo....", ".ooo....", "........", "........", "........", "........"}},
        {"corners in any order, partly off the bitmap",
         clBlack,
         1,
         clBlack,
         TBrushStyle::bsSolid,
         {{10, 2}, {6, -2}, {6, 2}, {10, -2}},
         {"......##", "......##", "......##", "........", "........", "........", "........"}},
        {"wholly off the bitmap",
         clBlack,
         1,
         clBlack,
         TBrushStyle::bsSolid,
         {{-9, 2}, {-2, 2}, {-2, 5}, {-9, 5}},
         {"........", "........", "........", "........", "........", "........", "........"}},
        {"one column",
         clBlack,
         1,
         clBlack,
         TBrushStyle::bsSolid,
         {{2, 1}, {2, 4}, {2, 4}, {2, 1}},
         {"........", "..#.....", "..#.....", "..#.....", "..#.....", "........", "........"}},
        {"triangle: brush inside, edges in the pen",
         clBlack,
         1,
         Red,
         TBrushStyle::bsSolid,
         {{1, 1}, {5, 1}, {1, 5}},
         {"........", ".#####..", ".#oo#...", ".#o#....", ".##.....", ".#......", "........"}},
    };
    for (const TCase& c : cases) {
        TBitmap bitmap(8, 7);
        {
            TRasterCanvas canvas(bitmap);
            canvas.Pen = {c.Pen, c.PenWidth};
            canvas.Brush = {c.Brush, c.Style};
            canvas.Polygon(c.Points);
        }
        EXPECT_EQ(Art(bitmap), c.Expected) << c.Name;
    }
}

// Rectangles wait to be written a run of rows at a time, and text is drawn at
// once: whatever the order, the pixels are those of drawing each in turn, over
// any ground.
TEST(RasterCanvas, DrawingsKeepTheirOrder) {
    std::mt19937 rng(22);
    for (int round = 0; round < 40; ++round) {
        TBitmap drawn(60, 40), expected(60, 40);
        for (int i = 0; i < 40; ++i) { // a ground that differs from row to row
            const int x = int(rng() % 60), y = int(rng() % 40);
            drawn.At(x, y) = expected.At(x, y) = 0xFF00C000;
        }
        {
            TRasterCanvas canvas(drawn);
            for (int i = 0; i < 14; ++i) {
                const TColor colour = rng() % 3 == 0 ? Red : rng() % 2 ? clBlack : clWhite;
                const int x1 = int(rng() % 70) - 5, y1 = int(rng() % 50) - 5;
                if (rng() % 5 == 0) {
                    canvas.Font = TFont{u"Tahoma", int(4 + rng() % 10), colour};
                    canvas.Brush = {clWhite,
                                    rng() % 2 ? TBrushStyle::bsSolid : TBrushStyle::bsClear};
                    canvas.TextOut(x1, y1, u"59A");
                    const int w = MeasureTextWidth(canvas.Font, u"59A");
                    const int h = MeasureTextLine(canvas.Font).Height();
                    for (int y = y1; y < y1 + h; ++y)
                        for (int x = x1; x < x1 + w; ++x)
                            if (canvas.Brush.Style == TBrushStyle::bsSolid && x >= 0 && x < 60 &&
                                y >= 0 && y < 40)
                                expected.At(x, y) = PixelWhite;
                    PaintText(expected, canvas.Font, x1, y1, u"59A");
                    continue;
                }
                const int x2 = x1 + int(rng() % 10), y2 = y1 + int(rng() % 30);
                canvas.Pen = {colour, 1};
                canvas.Brush = {colour, TBrushStyle::bsSolid};
                canvas.Polygon({{x1, y1}, {x1, y2}, {x2, y2}, {x2, y1}});
                for (int y = std::max(y1, 0); y <= std::min(y2, 39); ++y)
                    for (int x = std::max(x1, 0); x <= std::min(x2, 59); ++x)
                        expected.At(x, y) = PixelOfColor(colour);
            }
        }
        ASSERT_EQ(Art(drawn), Art(expected)) << "round " << round;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 60; ++x)
                ASSERT_EQ(drawn.At(x, y), expected.At(x, y)) << round << ": " << x << "," << y;
    }
}

TEST(RasterCanvas, TextCellTakesTheBrush) {
    for (TBrushStyle style : {TBrushStyle::bsSolid, TBrushStyle::bsClear}) {
        TBitmap bitmap(100, 30, 0xFF00C000);
        TRasterCanvas canvas(bitmap);
        canvas.Font = TFont{u"Arial", 8};
        canvas.Brush = {Red, style};
        canvas.TextOut(10, 5, u"5901234123457");
        EXPECT_EQ(canvas.TextWidth(u"5901234123457"), 78);
        EXPECT_EQ(canvas.TextHeight(u""), 13);
        const TPixel cell = style == TBrushStyle::bsSolid ? RedPixel : 0xFF00C000;
        EXPECT_EQ(bitmap.At(10, 5), cell);           // top-left of the cell
        EXPECT_EQ(bitmap.At(10 + 77, 5 + 12), cell); // bottom-right
        EXPECT_EQ(bitmap.At(9, 5), 0xFF00C000u);     // outside
        EXPECT_EQ(bitmap.At(10 + 78, 5 + 12), 0xFF00C000u);
        EXPECT_EQ(bitmap.At(10, 5 + 13), 0xFF00C000u);
        int ink = 0;
        for (int y = 5; y < 18; ++y)
            for (int x = 10; x < 88; ++x)
                ink += bitmap.At(x, y) != cell;
        EXPECT_GT(ink, 100) << "the digits are drawn";
    }
}

// The engine's pictures on this canvas have the size, bars and text of the
// pictures the Qt canvas drew, and up to 48-point text every pixel of them
// (Qt filled larger glyphs with an antialiasing of its own: there only the
// text's edges differ). The numbers are the Qt canvas's pictures'.
TEST(RasterCanvas, EnginePicturesAreQtsPictures) {
    struct TCase {
        TBarcodeType Type;
        const char16_t* Code;
        int Width, Height, Border;
        bool Text;
        TPictureGeometry Qt; // Pixels 0: text above 48 points
    } cases[] = {
        // clang-format off
        {bcCodeEAN13, u"590123412345", 300, 200, 10, true, {238, 190, 98, 0x0ED333DA341BAF05ull, {12, 157, 206, 176}, 0x1C6685A6DACB2B75ull}},
        {bcCodeEAN13, u"590123412345+52495", 300, 200, 10, true, {194, 190, 73, 0x864CCB760B81C2DCull, {11, 13, 172, 178}, 0xAAE6B2C22D2E4447ull}},
        {bcCodeEAN13, u"590123412345", 300, 200, 10, false, {210, 190, 98, 0x16FCCCF36CA609B5ull, {0, 0, 0, 0}, 0x28004A4C12FCF6C5ull}},
        {bcCodeEAN13, u"590123412345", 200, 60, 0, true, {109, 60, 49, 0xDA352461582D42A0ull, {1, 49, 100, 59}, 0xB0539E7AA4619C62ull}},
        {bcCodeEAN13, u"590123412345", 2000, 400, 10, true, {1986, 390, 882, 0x9F43E40A2C772935ull, {17, 281, 1427, 361}, 0}},
        {bcCodeEAN8, u"9638507", 300, 200, 30, true, {214, 170, 76, 0xF6892E4BF60C747Dull, {53, 117, 166, 136}, 0xE72E51EA17BDF951ull}},
        {bcCodeUPC_A, u"03600029145", 300, 200, 10, true, {260, 190, 104, 0xB9FA8769E8572BB5ull, {11, 157, 238, 176}, 0xF33DA3BC794A3C1Aull}},
        {bcCodeUPC_E0, u"0123457", 300, 200, 10, true, {279, 190, 112, 0x38387E951C871119ull, {12, 138, 264, 172}, 0xC5239B91981A3374ull}},
        {bcCodeUPC_Supp5, u"52495", 300, 200, 10, true, {255, 190, 120, 0x838D69B5B347A029ull, {43, 119, 212, 168}, 0x20E0B28FDFD40C6Bull}},
        {bcCode39, u"CODE-39 TEST.", 300, 200, 10, true, {227, 190, 112, 0x344653D9D894AB29ull, {35, 157, 188, 176}, 0x9F965039CD5D69ADull}},
        {bcCode39Extended, u"Tab\there", 600, 150, 0, true, {466, 150, 224, 0x89EB1D119D316D7Dull, {151, 108, 315, 142}, 0x3664839CF548D119ull}},
        {bcCode128B, u"Hello, World! 7.", 600, 150, 0, true, {422, 150, 208, 0x2659FF34C6D5AEADull, {55, 104, 366, 146}, 0xD11AC9F4A6741333ull}},
        {bcCode128, u"Gr\u00FC\u00DFe 123456", 1200, 800, 10, true, {1189, 790, 602, 0xD2C515216CCD59D1ull, {161, 644, 1027, 754}, 0}},
        {bcCodeITF14, u"1540014128876", 300, 200, 10, true, {321, 190, 143, 0xCE9AC4DFE0608360ull, {52, 152, 269, 175}, 0x5ACF6E91DD840DD5ull}},
        {bcCodeCodabar, u"A1234B", 200, 120, 30, true, {122, 90, 30, 0x8E3FA5E73316FD15ull, {49, 53, 73, 60}, 0xBB03115E9D866C98ull}},
        {bcCodePostNet, u"12345", 300, 200, 10, true, {208, 190, 64, 0x46EFE2AE2331BDE5ull, {38, 130, 173, 170}, 0x94FA70DDAC113109ull}},
        {bcCode128C, u"12345678", 90, 40, 10, true, {99, 30, 40, 0xAC1DDDF26B5C8549ull, {43, 16, 56, 20}, 0x54849C190DD39D9Bull}},
        // clang-format on
    };
    for (const TCase& c : cases) {
        const TBitmap picture = Picture(c.Type, c.Code, c.Width, c.Height, c.Border, c.Text);
        TPictureGeometry g = GeometryOf(picture);
        if (c.Qt.Pixels == 0) g.Pixels = 0;
        EXPECT_EQ(g.Width, c.Qt.Width) << c.Type;
        EXPECT_EQ(g.Height, c.Qt.Height) << c.Type;
        EXPECT_EQ(g.BarPixels, c.Qt.BarPixels) << c.Type;
        EXPECT_EQ(g.BarRow, c.Qt.BarRow) << c.Type;
        EXPECT_EQ(g.Grey, c.Qt.Grey) << c.Type << " text box " << g.Grey.Left << "," << g.Grey.Top
                                     << " " << g.Grey.Right << "," << g.Grey.Bottom;
        EXPECT_EQ(g.Pixels, c.Qt.Pixels) << c.Type;
    }
}

// The picture of Generate: size, border, crop, and what it refuses. No Qt in
// this process: the picture is drawn without it.
#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "engine/BarcodeError.h"
#include "picture/GeneratePicture.h"
#include "picture/TextFace.h"

namespace {

bool ColumnIsWhite(const TBitmap& img, int x, int y0, int y1) {
    for (int y = y0; y < y1; ++y)
        if (img.At(x, y) != PixelWhite) return false;
    return true;
}

bool RowIsWhite(const TBitmap& img, int y) {
    for (int x = 0; x < img.Width(); ++x)
        if (img.At(x, y) != PixelWhite) return false;
    return true;
}

struct TSize {
    int Width, Height;
    bool operator==(const TSize&) const = default;
    bool IsEmpty() const { return Width <= 0 || Height <= 0; }
};

TSize SizeOf(const TBitmap& b) {
    return {b.Width(), b.Height()};
}

std::string Refusal(const std::u16string& code, int type, TGenerateOptions o = {}) {
    try {
        GenerateBarcodePicture(code, type, o);
    } catch (const EBarcodeError& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace

TEST(Generate, Ean13WithBorderIsFittedAtModule2) {
    const TBitmap img = GenerateBarcodePicture(u"590123412345", 14, {});
    EXPECT_EQ(SizeOf(img), TSize(218 + 20, 190));
    // A white margin of 10 pixels on every side.
    for (int y : {0, 9, 180, 189})
        EXPECT_TRUE(RowIsWhite(img, y)) << y;
    for (int x : {0, 9, 228, 237})
        EXPECT_TRUE(ColumnIsWhite(img, x, 0, 190)) << x;
    // The first bar stands after the lead-in of round(218 * 0.1) = 22 pixels.
    EXPECT_TRUE(ColumnIsWhite(img, 10 + 21, 10, 100));
    EXPECT_EQ(img.At(10 + 22, 50), PixelBlack);
    EXPECT_EQ(img.At(10 + 23, 50), PixelBlack);
}

TEST(Generate, WithoutBorderTheSymbolFillsThePicture) {
    TGenerateOptions o;
    o.Border = 0;
    o.ShowText = false;
    const TBitmap img = GenerateBarcodePicture(u"590123412345", 14, o);
    EXPECT_EQ(SizeOf(img), TSize(285, 200)); // module 3: 285; module 4 would be 380
    EXPECT_EQ(img.At(0, 0), PixelBlack);
    EXPECT_EQ(img.At(284, 199), PixelBlack);
}

TEST(Generate, SymbolWiderThanTheBitmapIsDrawnWhole) {
    TGenerateOptions o;
    o.Border = 0;
    o.ShowText = false;
    // Industrial two of five at module 1: 8 + 12 a digit + 8 pixels, 388 for 31 digits.
    const TBitmap img = GenerateBarcodePicture(u"1234567890123456789012345678901", 1, o);
    EXPECT_EQ(img.Width(), 388);
    // The stop pattern ends with wide bar, narrow space: the last bar is whole.
    const int w = img.Width();
    EXPECT_EQ(img.At(w - 1, 100), PixelWhite);
    EXPECT_EQ(img.At(w - 2, 100), PixelBlack);
    EXPECT_EQ(img.At(w - 3, 100), PixelBlack);
    EXPECT_EQ(img.At(w - 4, 100), PixelWhite);
}

TEST(Generate, RefusalsCarryTheEngineMessages) {
    EXPECT_EQ(Refusal(u"123", 255), "TZoBarcode: wrong BarcodeType");
    EXPECT_EQ(Refusal(u"12x", 14), "Barcode must be numeric");
    EXPECT_EQ(Refusal(u"123456789", 13),
              R"(Invalid length for barcode "EAN8" (must be 7 digits, current "123456789").)");
}

TEST(Generate, AbsurdlyLongCodesAreRefusedNotDrawn) {
    // 3000 characters of Code 128 are 33 000 modules even at module 1.
    const std::string message = Refusal(std::u16string(3000, u'A'), 6);
    EXPECT_EQ(message, "The symbol is 33055 pixels wide; a picture may be at most 32767.");
}

TEST(Generate, PreparedCodeIsWhatTheSymbolEncodes) {
    const TPreparedCode p = PrepareBarcode(u"123456789012", 14, true);
    EXPECT_EQ(p.Text, u"1234567890128");
    EXPECT_EQ(p.Pattern, u"50515160805170506253505152505050515270517150616060615152505");
}

TEST(Generate, LargerBoxesFitByTheSameRules) {
    const struct {
        int width, height, border;
        TSize picture; // symbol plus border, height H - b; empty: the box is refused
    } cases[] = {
        {300, 200, 10, {238, 190}},  // the window's box
        {600, 400, 10, {566, 390}},  // 570 inside: module 5, 475 + 71 lead-in = 546
        {1200, 800, 0, {1092, 800}}, // 1200 inside: module 11 would be 1202
        {30, 300, 10, {0, 0}},       // nothing left inside three borders
        {8193, 8192, 0, {0, 0}},     // more than GenerateMaxPixels
    };
    for (const auto& c : cases) {
        TGenerateOptions o;
        o.Width = c.width;
        o.Height = c.height;
        o.Border = c.border;
        EXPECT_EQ(GenerateBoxProblem(o).empty(), !c.picture.IsEmpty()) << c.width;
        if (c.picture.IsEmpty()) {
            EXPECT_THROW(GenerateBarcodePicture(u"590123412345", 14, o), EBarcodeError);
            continue;
        }
        EXPECT_EQ(SizeOf(GenerateBarcodePicture(u"590123412345", 14, o)), c.picture) << c.width;
    }
}

namespace {

// The middle row as runs of black and white ("w32b2..."); g for any grey.
std::string MiddleRuns(const TBitmap& img) {
    std::string runs;
    const int y = img.Height() / 2;
    for (int x = 0; x < img.Width();) {
        const TPixel p = img.At(x, y);
        int n = 0;
        while (x < img.Width() && img.At(x, y) == p)
            ++x, ++n;
        runs += p == PixelBlack ? 'b' : p == PixelWhite ? 'w' : 'g';
        runs += std::to_string(n);
    }
    return runs;
}

// The same row as the drawing's rectangles paint it.
std::string MiddleRuns(const TDrawing& d) {
    TBitmap painted(d.Width, d.Height);
    for (const TDrawnItem& item : d.Items)
        if (const auto* r = std::get_if<TDrawnRect>(&item))
            for (int y = std::max(r->Box.Top, 0); y < std::min(r->Box.Bottom, d.Height); ++y)
                for (int x = std::max(r->Box.Left, 0); x < std::min(r->Box.Right, d.Width); ++x)
                    painted.At(x, y) = r->Colour;
    return MiddleRuns(painted);
}

// Each text's cell and size: "x,y,width,height,points;".
std::string TextCells(const TDrawing& d) {
    std::string cells;
    for (const TDrawnItem& item : d.Items)
        if (const auto* t = std::get_if<TDrawnText>(&item))
            cells += std::to_string(t->X) + "," + std::to_string(t->Y) + "," +
                     std::to_string(MeasureTextWidth(t->Font, t->Text)) + "," +
                     std::to_string(MeasureTextLine(t->Font).Height()) + "," +
                     std::to_string(t->Font.Size) + ";";
    return cells;
}

} // namespace

// The pictures keep the geometry they had when Qt drew them: size, the bars
// of the middle row, and every text's cell and size (the values were taken
// from the Qt drawing). The bitmap and the drawing for SVG and PDF agree.
TEST(Generate, GeometryIsThePicturesOwn) {
    const struct {
        struct {
            const char16_t* code;
            int type, width, height, border;
            bool text, check;
        } in;
        int width, height;
        const char* runs;  // the middle row
        const char* texts; // x,y,width,height,points; for each text
    } cases[] = {
        {{u"590123412345", 14, 300, 200, 10, true, true},
         238,
         190,
         "w32b2w2b2w6b2w2b4w2b2w4b6w2b4w4b4w4b2w4b4w2b8w2b2w4b6w2b2w2b2w2b2w2b4w4b4w2b4w2b4w4b2w8b2"
         "w2b2w2b6w4b2w4b6w2b2w6b2w4b2w2b2w16",
         "11,152,13,28,17;39,152,75,28,17;131,152,75,28,17;"},
        {{u"1234567", 13, 300, 200, 10, true, true},
         251,
         190,
         "w33b3w3b3w6b6w6b3w6b3w6b6w3b12w3b3w3b3w9b6w3b3w3b3w3b3w6b9w3b3w3b3w12b3w9b3w6b9w6b3w3b3w3"
         "b3w17",
         "43,138,76,42,26;139,138,76,42,26;"},
        {{u"12345678901", 15, 300, 200, 10, true, true},
         260,
         190,
         "w34b2w2b2w4b4w4b2w4b2w4b4w2b8w2b2w2b2w6b4w2b4w6b2w2b2w2b8w2b2w2b2w2b2w6b2w4b2w4b2w6b6w2b2"
         "w4b6w4b2w2b4w4b4w2b4w2b4w4b2w2b2w36",
         "11,151,13,29,18;55,151,65,29,18;135,151,65,29,18;225,151,13,29,18;"},
        {{u"Hello", 6, 300, 200, 10, true, true},
         200,
         190,
         "w10b4w2b2w4b2w8b4w6b2w2b2w6b2w2b4w4b2w8b4w4b2w2b2w8b4w4b2w2b2w8b2w6b8w2b2w2b4w4b2w2b2w8b4"
         "w6b6w2b2w2b4w10",
         "33,106,134,74,46;"},
        {{u"CODE39", 3, 300, 200, 10, true, true},
         252,
         190,
         "w10b2w4b2w2b4w2b4w2b2w2b4w2b4w2b2w4b2w2b2w2b4w2b2w2b4w2b2w4b2w2b2w2b2w2b4w4b2w2b4w2b4w2b2"
         "w2b4w4b2w2b2w2b4w2b4w4b2w2b2w2b2w2b2w2b4w4b2w2b4w2b2w2b4w4b4w2b2w2b2w2b2w2b2w4b2w2b4w2b4w"
         "2b2w10",
         "38,122,175,58,36;"},
        {{u"12345678", 0, 300, 200, 0, true, true},
         256,
         200,
         "b4w4b4w4b8w4b4w8b4w4b4w4b8w8b8w4b8w4b4w8b4w4b4w8b8w4b4w8b8w8b4w4b4w4b4w8b4w4b4w4b8w8b8w4b"
         "8w4b4",
         "32,147,192,53,33;"},
        {{u"590123412345", 14, 300, 200, 10, false, true},
         210,
         190,
         "w10b2w2b2w6b2w2b4w2b2w4b6w2b4w4b4w4b2w4b4w2b8w2b2w4b6w2b2w2b2w2b2w2b4w4b4w2b4w2b4w4b2w8b2"
         "w2b2w2b6w4b2w4b6w2b2w6b2w4b2w2b2w10",
         ""},
        {{u"5901234123457", 14, 300, 200, 10, true, false},
         238,
         190,
         "w32b2w2b2w6b2w2b4w2b2w4b6w2b4w4b4w4b2w4b4w2b8w2b2w4b6w2b2w2b2w2b2w2b4w4b4w2b4w2b4w4b2w8b2"
         "w2b2w2b6w4b2w4b6w2b2w6b2w4b2w2b2w16",
         "11,152,13,28,17;39,152,75,28,17;131,152,75,28,17;"},
        {{u"590123412345", 14, 600, 400, 10, true, true},
         566,
         390,
         "w65b5w5b5w15b5w5b10w5b5w10b15w5b10w10b10w10b5w10b10w5b20w5b5w10b15w5b5w5b5w5b5w5b10w10b10"
         "w5b10w5b10w10b5w20b5w5b5w5b15w10b5w10b15w5b5w15b5w10b5w5b5w26",
         "11,311,31,69,43;81,311,187,69,43;311,311,187,69,43;"},
        {{u"590123412345", 14, 300, 100, 3, true, true},
         224,
         97,
         "w25b2w2b2w6b2w2b4w2b2w4b6w2b4w4b4w4b2w4b4w2b8w2b2w4b6w2b2w2b2w2b2w2b4w4b4w2b4w2b4w4b2w8b2"
         "w2b2w2b6w4b2w4b6w2b2w6b2w4b2w2b2w9",
         "4,66,13,28,17;32,66,75,28,17;124,66,75,28,17;"},
        {{u"Hello", 6, 150, 60, 10, true, true},
         110,
         50,
         "w10b2w1b1w2b1w4b2w3b1w1b1w3b1w1b2w2b1w4b2w2b1w1b1w4b2w2b1w1b1w4b1w3b4w1b1w1b2w2b1w1b1w4b2"
         "w3b3w1b1w1b2w10",
         "47,32,15,8,5;"},
        {{u"1234567890123456789012345678901", 1, 300, 200, 0, false, true},
         388,
         200,
         "b2w1b2w1b1w1b2w1b1w1b1w1b1w1b2w1b1w1b2w1b1w1b1w1b2w1b2w1b2w1b1w1b1w1b1w1b1w1b1w1b2w1b1w1b"
         "2w1b2w1b1w1b2w1b1w1b1w1b1w1b2w1b2w1b1w1b1w1b1w1b1w1b1w1b2w1b2w1b2w1b1w1b1w1b2w1b1w1b1w1b2"
         "w1b1w1b2w1b1w1b1w1b1w1b2w1b2w1b1w1b2w1b1w1b1w1b1w1b2w1b1w1b2w1b1w1b1w1b2w1b2w1b2w1b1w1b1w"
         "1b1w1b1w1b1w1b2w1b1w1b2w1b2w1b1w1b2w1b1w1b1w1b1w1b2w1b2w1b1w1b1w1b1w1b1w1b1w1b2w1b2w1b2w1"
         "b1w1b1w1b2w1b1w1b1w1b2w1b1w1b2w1b1w1b1w1b1w1b2w1b2w1b1w1b2w1b1w1b1w1b1w1b2w1b1w1b2w1b1w1b"
         "1w1b2w1b2w1b2w1b1w1b1w1b1w1b1w1b1w1b2w1b1w1b2w1b2w1b1w1b2w1b1w1b1w1b1w1b2w1b2w1b1w1b1w1b1"
         "w1b1w1b1w1b2w1b2w1b2w1b1w1b1w1b2w1b1w1b1w1b2w1b1w1b2w1b1w1b1w1b1w1b2w1b2w1b1w1b2w1b1w1b1w"
         "1b1w1b2w1b2w1b1w1b2w1",
         ""},
        {{u"1234567890123456789012345678901", 1, 300, 200, 10, true, true},
         408,
         190,
         "w10b2w1b2w1b1w1b2w1b1w1b1w1b1w1b2w1b1w1b2w1b1w1b1w1b2w1b2w1b2w1b1w1b1w1b1w1b1w1b1w1b2w1b1"
         "w1b2w1b2w1b1w1b2w1b1w1b1w1b1w1b2w1b2w1b1w1b1w1b1w1b1w1b1w1b2w1b2w1b2w1b1w1b1w1b2w1b1w1b1w"
         "1b2w1b1w1b2w1b1w1b1w1b1w1b2w1b2w1b1w1b2w1b1w1b1w1b1w1b2w1b1w1b2w1b1w1b1w1b2w1b2w1b2w1b1w1"
         "b1w1b1w1b1w1b1w1b2w1b1w1b2w1b2w1b1w1b2w1b1w1b1w1b1w1b2w1b2w1b1w1b1w1b1w1b1w1b1w1b2w1b2w1b"
         "2w1b1w1b1w1b2w1b1w1b1w1b2w1b1w1b2w1b1w1b1w1b1w1b2w1b2w1b1w1b2w1b1w1b1w1b1w1b2w1b1w1b2w1b1"
         "w1b1w1b2w1b2w1b2w1b1w1b1w1b1w1b1w1b1w1b2w1b1w1b2w1b2w1b1w1b2w1b1w1b1w1b1w1b2w1b2w1b1w1b1w"
         "1b1w1b1w1b1w1b2w1b2w1b2w1b1w1b1w1b2w1b1w1b1w1b2w1b1w1b2w1b1w1b1w1b1w1b2w1b2w1b1w1b2w1b1w1"
         "b1w1b1w1b2w1b2w1b1w1b2w11",
         "68,161,271,19,12;"},
        {{u"A123B", 12, 300, 200, 10, true, true},
         280,
         190,
         "w10b5w5b10w10b5w10b5w5b5w5b5w5b10w10b5w5b5w5b5w10b5w5b10w5b10w10b5w5b5w5b5w5b5w10b5w10b5w"
         "5b10w15",
         "44,98,192,82,51;"},
        {{u"TEST93", 8, 300, 200, 10, true, true},
         202,
         190,
         "w10b2w2b2w2b8w2b4w2b2w4b4w2b4w4b2w4b2w2b4w2b2w2b4w4b4w2b2w4b4w2b2w8b2w2b2w2b2w2b2w8b2w2b2"
         "w2b6w2b4w2b2w4b2w6b2w2b2w2b2w2b8w2b2w10",
         "33,132,135,48,30;"},
        {{u"12345", 11, 300, 200, 10, true, true},
         208,
         190,
         "w10b2w4b2w4b2w4b2w4b2w4b2w4b2w4b2w4b2w4b2w4b2w4b2w4b2w4b2w4b2w4b2w4b2w4b2w4b2w4b2w4b2w4b2"
         "w4b2w4b2w4b2w4b2w4b2w4b2w4b2w4b2w4b2w4b2w10",
         "33,117,142,63,39;"},
        {{u"425261", 16, 300, 200, 10, true, true},
         279,
         190,
         "w36b4w4b4w8b12w4b4w8b4w8b8w4b12w8b4w8b8w4b8w4b4w4b16w8b8w8b4w4b4w4b4w4b4w39",
         "11,127,24,53,33;57,127,144,53,33;241,127,24,53,33;"},
        {{u"12", 18, 300, 200, 10, true, true},
         280,
         190,
         "w10b13w13b26w26b26w26b13w13b13w26b13w26b26w10",
         "116,127,48,53,33;"},
        {{u"12345678901234567890", 21, 300, 200, 10, true, true},
         286,
         190,
         "w10b2w1b1w2b1w4b4w1b1w1b3w1b1w2b3w2b2w1b2w2b3w2b1w1b2w2b1w1b3w2b2w2b1w2b3w1b2w1b3w2b1w2b2"
         "w2b3w1b1w2b3w1b2w1b3w1b3w1b1w2b2w2b3w2b1w1b2w2b1w2b3w1b2w2b1w2b3w2b2w1b2w2b3w2b1w1b2w2b1w"
         "1b3w2b2w2b1w2b3w1b2w1b3w2b1w2b2w2b3w1b1w2b3w1b2w1b3w1b3w1b1w2b2w2b3w2b1w1b2w2b1w2b3w1b2w2"
         "b2w1b3w3b1w1b2w3b3w1b1w1b2w10",
         "39,157,207,23,14;"},
        {{u"1234", 10, 400, 120, 10, true, true},
         355,
         110,
         "w10b10w5b5w10b5w10b5w10b10w5b5w10b5w10b10w5b5w10b5w10b5w10b10w5b10w5b5w10b10w5b5w10b5w10b"
         "5w10b10w5b5w10b5w10b5w10b5w10",
         "147,66,61,34,21;"},
        {{u"Hello World", 24, 300, 200, 10, true, true},
         176,
         190,
         "w10b2w1b1w2b1w4b2w3b1w1b1w3b1w1b2w2b1w4b2w2b1w1b1w4b2w2b1w1b1w4b1w3b4w1b1w1b2w1b2w2b2w2b3"
         "w1b1w3b2w1b1w3b4w1b1w1b1w2b1w2b4w1b2w2b1w1b1w4b1w4b1w2b2w1b1w1b2w3b3w1b2w3b3w1b1w1b2w10",
         "30,152,116,28,17;"},
        {{u"1234567890123", 27, 300, 200, 10, true, true},
         321,
         190,
         "w10b10w20b2w2b2w2b5w2b2w5b2w2b2w2b5w5b5w2b5w2b2w5b2w2b2w5b5w2b2w5b5w5b2w2b2w2b2w5b2w2b2w2"
         "b5w5b5w2b2w2b5w2b2w5b5w5b2w2b5w2b2w5b2w2b2w2b5w5b5w5b5w2b2w2b2w2b2w5b5w2b2w20b10w10",
         "49,145,222,35,22;"},
        {{u"ABCDEFGHIJKLMNOP", 4, 80, 80, 0, true, true},
         246,
         80,
         "b1w2b1w1b2w1b2w1b1w1b2w1b1w1b1w2b1w1b2w1b1w1b2w1b1w2b1w1b2w1b2w1b2w1b1w2b1w1b1w1b1w1b1w1b"
         "2w2b1w1b2w1b2w1b1w1b2w2b1w1b1w1b1w1b2w1b2w2b1w1b1w1b1w1b1w1b1w2b2w1b2w1b2w1b1w1b1w2b2w1b1"
         "w1b1w1b2w1b1w2b2w1b1w1b1w1b1w1b2w2b2w1b1w1b2w1b1w1b1w1b1w2b2w1b1w1b2w1b1w1b1w2b2w1b2w1b2w"
         "1b1w1b1w2b1w1b1w1b1w1b2w1b1w2b2w1b2w1b1w1b2w1b1w2b1w1b1w1b2w1b2w1b1w2b1w1b2w1b2w1b1w1b1w2"
         "b1w1b1w2b1w1b2w1b2w1b1",
         "28,56,189,24,15;"},
        {{u"590123412345", 14, 1200, 800, 0, true, true},
         1092,
         800,
         "w109b10w10b10w30b10w10b20w10b10w20b30w10b20w20b20w20b10w20b20w10b40w10b10w20b30w10b10w10b"
         "10w10b10w10b20w20b20w10b20w10b20w20b10w40b10w10b10w10b30w20b10w20b30w10b10w30b10w20b10w10"
         "b10w33",
         "1,660,63,140,87;140,660,380,140,87;600,660,380,140,87;"},
    };
    ASSERT_EQ(TextFontProblem(), "");
    for (const auto& c : cases) {
        TGenerateOptions o;
        o.Width = c.in.width;
        o.Height = c.in.height;
        o.Border = c.in.border;
        o.ShowText = c.in.text;
        o.UseCheckSum = c.in.check;
        const TPictureLayout layout = LayoutBarcodePicture(c.in.code, c.in.type, o);
        const TBitmap img = GenerateBarcodePicture(layout);
        const TDrawing drawing = GenerateBarcodeDrawing(layout);
        const std::string what = std::to_string(c.in.type) + " " + std::to_string(c.in.width) +
                                 "x" + std::to_string(c.in.height);
        EXPECT_EQ(SizeOf(img), TSize(c.width, c.height)) << what;
        EXPECT_EQ(SizeOf(img), TSize(layout.Width, layout.Height)) << what;
        EXPECT_EQ(TSize(drawing.Width, drawing.Height), TSize(c.width, c.height)) << what;
        EXPECT_EQ(MiddleRuns(img), c.runs) << what;
        EXPECT_EQ(MiddleRuns(drawing), c.runs) << what;
        EXPECT_EQ(TextCells(drawing), c.texts) << what;
    }
}

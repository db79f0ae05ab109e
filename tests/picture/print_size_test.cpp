// Labels at a print size: lengths and colours as users write them, the
// contrast a scanner needs, and the pictures laid out from them.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/BarcodeError.h"
#include "picture/PrintLayout.h"
#include "picture/PrintSize.h"
#include "picture/RasterCanvas.h"

namespace {

TPrintLayout Layout(TBarcodeType type, const std::u16string& code, const TPrintOptions& o) {
    TBitmap none;
    TRasterCanvas measure(none);
    return LayoutPrintPicture(code, type, o, measure);
}

TPrintOptions At(double mm, int dpi) {
    TPrintOptions o;
    o.XDim = {mm, TLengthUnit::Millimetre};
    o.Dpi = dpi;
    return o;
}

bool White(TPixel p) {
    return p == PixelWhite;
}

} // namespace

TEST(PrintSize, LengthsBecomeWholeDots) {
    struct TCase {
        const char* Text;
        int Dpi;
        int Dots;
    };
    const TCase cases[] = {
        {"0.33mm", 300, 4},   {"0.33 MM", 600, 8}, {"10mil", 300, 3},    {"13mil", 203, 3},
        {"0.5mm", 203, 4},    {"1pt", 72, 1},      {"0.1mm", 96, 1},     {"2px", 1200, 2},
        {"3dot", 300, 3},     {"0.01in", 600, 6},  {"0.0001in", 300, 1}, {"1.016mm", 300, 12},
        {"7.5 mil", 1200, 9},
    };
    for (const TCase& c : cases) {
        std::string error;
        const auto length = ParseLength(c.Text, false, error);
        ASSERT_TRUE(length) << c.Text << ": " << error;
        EXPECT_EQ(WholeDots(LengthInDots(*length, c.Dpi)), c.Dots) << c.Text << " at " << c.Dpi;
    }
    std::string error;
    const auto modules = ParseLength("50x", true, error);
    ASSERT_TRUE(modules);
    EXPECT_EQ(LengthInDots(*modules, 300, 4), 200);
}

TEST(PrintSize, BadLengthsAreRefusedWithTheUnits) {
    for (const char* text :
         {"", "mm", "-1mm", "0.33", "1e3mm", "1..2mm", "3cm", "3 m m", "50x", "nanmm", "inf in"}) {
        std::string error;
        EXPECT_FALSE(ParseLength(text, false, error)) << text;
        EXPECT_NE(error.find("mm, mil, in, pt, px or dot"), std::string::npos) << text << error;
    }
    std::string error;
    EXPECT_TRUE(ParseLength("0", false, error)); // nothing needs no unit
}

TEST(PrintSize, ColoursByHexAndName) {
    struct TCase {
        const char* Text;
        std::optional<TRgba> Colour;
    };
    const TCase cases[] = {
        {"#000000", 0xFF000000},     {"#1a2B3c", 0xFF1A2B3C},       {"#11223380", 0x80112233},
        {"navy", 0xFF000080},        {"DarkSlateGray", 0xFF2F4F4F}, {"aliceblue", 0xFFF0F8FF},
        {"yellowgreen", 0xFF9ACD32}, {"transparent", 0x00000000},   {" white ", 0xFFFFFFFF},
        {"#12345", std::nullopt},    {"#12345g", std::nullopt},     {"blackish", std::nullopt},
        {"", std::nullopt},          {"#", std::nullopt},
    };
    for (const TCase& c : cases) {
        std::string error;
        EXPECT_EQ(ParseColour(c.Text, error), c.Colour) << c.Text;
        EXPECT_EQ(error.empty(), c.Colour.has_value()) << c.Text;
    }
}

TEST(PrintSize, ContrastAScannerNeeds) {
    struct TCase {
        const char* Fg;
        const char* Bg;
        const char* Problem; // a word of the refusal, or "" when the pair scans
    };
    const TCase cases[] = {
        {"black", "white", ""},
        {"navy", "#FFFFCC", ""},
        {"darkgreen", "transparent", ""},
        {"#00000080", "white", ""},   // half black over white paper is grey enough
        {"white", "black", "darker"}, // light bars on dark ground
        {"black", "black", "darker"},
        {"#D0D0D0", "white", "contrast"}, // a light grey reflects 63 %
        {"#404040", "#808080", "contrast"},
        {"red", "white", "red light"}, // invisible to laser scanners
        {"#00000020", "white", "contrast"},
    };
    for (const TCase& c : cases) {
        std::string error;
        const std::string problem =
            ContrastProblem(*ParseColour(c.Fg, error), *ParseColour(c.Bg, error));
        if (*c.Problem == 0)
            EXPECT_EQ(problem, "") << c.Fg << " on " << c.Bg;
        else
            EXPECT_NE(problem.find(c.Problem), std::string::npos)
                << c.Fg << " on " << c.Bg << ": " << problem;
    }
}

// The white beside the bars, counted in the middle row of the picture and
// divided by the X-dimension, is what the symbology's standard asks.
TEST(PrintLayout, QuietZonesAsTheStandardsAsk) {
    struct TCase {
        TBarcodeType Type;
        std::u16string Code;
        double Left, Right;
    };
    const TCase cases[] = {
        {bcCode_2_5_interleaved, u"123456", 10, 10},
        {bcCode_2_5_industrial, u"123456", 10, 10},
        {bcCode_2_5_matrix, u"123456", 10, 10},
        {bcCode39, u"ABC", 10, 10},
        {bcCode39Extended, u"abc", 10, 10},
        {bcCode128A, u"ABC", 10, 10},
        {bcCode128B, u"abc", 10, 10},
        {bcCode128C, u"1234", 10, 10},
        {bcCode93, u"ABC", 10, 10},
        {bcCode93Extended, u"abc", 10, 10},
        {bcCodeMSI, u"1234", 12, 12},
        {bcCodePostNet, u"12345", 38 / 3.0, 38 / 3.0}, // an eighth of an inch
        {bcCodeCodabar, u"A123B", 10, 10},
        {bcCodeEAN8, u"1234567", 7, 7},
        {bcCodeEAN13, u"590123412345", 11, 7},
        {bcCodeEAN13, u"590123412345+12", 11, 5}, // the add-on's own zone
        {bcCodeUPC_A, u"03600029145", 9, 9},
        {bcCodeUPC_E0, u"123456", 9, 7},
        {bcCodeUPC_E1, u"123456", 9, 7},
        {bcCodeUPC_Supp2, u"12", 7, 5},
        {bcCodeUPC_Supp5, u"12345", 7, 5},
        {bcCodeEAN128A, u"ABC", 10, 10},
        {bcCodeEAN128B, u"abc", 10, 10},
        {bcCodeEAN128C, u"1234", 10, 10},
        {bcCode128, u"Hello", 10, 10},
        {bcCodeGS1_128, u"(01)09501101530003", 10, 10},
        {bcCodeSSCC18, u"00614141123456789", 10, 10},
        {bcCodeITF14, u"0950110153000", 0, 0}, // its zones are inside the bearer bars
    };
    for (const bool text : {false, true})
        for (const TCase& c : cases) {
            TPrintOptions o = At(0.254, 300); // 3 dots
            o.ShowText = text;
            const TPrintLayout l = Layout(c.Type, c.Code, o);
            ASSERT_EQ(l.XDots, c.Type == bcCodeITF14 ? 4 : 3);
            const TBitmap b = PrintBitmap(l);
            const int y = l.Geometry.BarHeight / 2;
            int left = 0, right = 0;
            while (left < b.Width() && White(b.At(left, y)))
                ++left;
            while (right < b.Width() && White(b.At(b.Width() - 1 - right, y)))
                ++right;
            const auto name = BarcodeTypeName(c.Type);
            const std::string what = std::string(name.begin(), name.end()) + (text ? " text" : "");
            if (!text) { // exactly the standard's, rounded up to whole dots
                EXPECT_EQ(left, int(std::ceil(c.Left * l.XDots - 1e-9))) << what;
                EXPECT_EQ(right, int(std::ceil(c.Right * l.XDots - 1e-9))) << what;
            } else { // at least that: a digit outside the bars may need more
                EXPECT_GE(left, int(std::ceil(c.Left * l.XDots - 1e-9))) << what;
                EXPECT_GE(right, int(std::ceil(c.Right * l.XDots - 1e-9))) << what;
                EXPECT_LE(left, int(std::ceil(c.Left * l.XDots)) + 3 * l.XDots) << what;
            }
        }
}

TEST(PrintLayout, QuietZoneOptions) {
    struct TCase {
        std::optional<double> Modules;
        bool None;
        int Left, Right; // dots at 4 a module, without text
    };
    const TCase cases[] = {
        {std::nullopt, false, 44, 28}, {3, false, 12, 12}, {0, false, 0, 0}, {3, true, 0, 0}};
    for (const TCase& c : cases) {
        TPrintOptions o = At(0.33, 300);
        o.ShowText = false;
        o.QuietZone = c.Modules;
        o.NoQuietZone = c.None;
        const TPrintLayout l = Layout(bcCodeEAN13, u"590123412345", o);
        EXPECT_EQ(l.Geometry.QuietLeft, c.Left);
        EXPECT_EQ(l.Geometry.QuietRight, c.Right);
        EXPECT_EQ(l.Width, c.Left + 95 * 4 + c.Right);
    }
}

// Heights in dots: the standards' for EAN/UPC, 15 % of the width or a quarter
// inch for others, or what is asked; and the guard bars below the others.
TEST(PrintLayout, BarHeights) {
    struct TCase {
        TBarcodeType Type;
        std::u16string Code;
        std::optional<TLength> Height;
        int Dots;
    };
    const TCase cases[] = {
        {bcCodeEAN13, u"590123412345", std::nullopt, 277}, // 22.85 mm at 4 dots a 0.33 mm
        {bcCodeEAN8, u"1234567", std::nullopt, 221},       // 18.23 mm
        {bcCodeUPC_A, u"03600029145", std::nullopt, 277},
        {bcCode128, u"Hello", std::nullopt, 75}, // a quarter inch at 300 dpi
        // 15 % of the bars: start, 60 characters, check and stop of 4 dots a module
        {bcCode128, std::u16string(60, u'A'), std::nullopt, (11 * 62 + 13) * 4 * 15 / 100},
        {bcCodePostNet, u"12345", std::nullopt, 38}, // an eighth of an inch
        {bcCodeEAN13, u"590123412345", TLength{10, TLengthUnit::Millimetre}, 118},
        {bcCodeEAN13, u"590123412345", TLength{50, TLengthUnit::Module}, 200},
    };
    for (const TCase& c : cases) {
        TPrintOptions o = At(0.33, 300);
        o.BarHeight = c.Height;
        const TPrintLayout l = Layout(c.Type, c.Code, o);
        EXPECT_EQ(l.Geometry.BarHeight, c.Dots) << int(c.Type);
    }
}

TEST(PrintLayout, RefusesImpossibleSizes) {
    constexpr auto mm = TLengthUnit::Millimetre;
    struct TCase {
        int Dpi;
        TLength XDim;
        std::optional<TLength> Height;
        std::optional<TLength> TextSize;
        const char* Word;
    };
    const TCase cases[] = {
        {300, {0, mm}, std::nullopt, std::nullopt, "X-dimension"},
        {300, {5, mm}, std::nullopt, std::nullopt, "module"},
        {300, {0.33, mm}, TLength{0, TLengthUnit::Dot}, std::nullopt, "height"},
        {10000, {2, TLengthUnit::Dot}, TLength{4, TLengthUnit::Inch}, std::nullopt, "height"},
        {1200, {1, mm}, TLength{500, mm}, std::nullopt, "picture"},
        {300, {0.33, mm}, std::nullopt, TLength{0, TLengthUnit::Dot}, "text"},
    };
    for (const TCase& c : cases) {
        TPrintOptions o;
        o.Dpi = c.Dpi;
        o.XDim = c.XDim;
        o.BarHeight = c.Height;
        o.TextSize = c.TextSize;
        try {
            Layout(bcCodeEAN13, u"590123412345", o);
            ADD_FAILURE() << c.Word;
        } catch (const EBarcodeError& e) {
            EXPECT_NE(std::string(e.what()).find(c.Word), std::string::npos) << e.what();
        }
    }
}

// Colours: white becomes the ground, black the bars, the text's greys the
// bars' colour at their coverage; a transparent ground keeps the coverage as alpha.
TEST(PrintLayout, ColoursAndTransparency) {
    struct TCase {
        TRgba Fg, Bg;
        TPixel Black, White, HalfGrey;
    };
    const TCase cases[] = {
        {RgbaBlack, RgbaWhite, PixelBlack, PixelWhite, 0xFF7F7F7F},
        {0xFF000080, 0xFFFFFFCC, 0xFF000080, 0xFFFFFFCC, 0xFF7F7FA6},
        {RgbaBlack, RgbaTransparent, PixelBlack, 0x00000000, 0x80000000},
        {0xFF102030, 0x80FFFFFF, 0xFF102030, 0x80FFFFFF, 0xC05F6A75},
    };
    for (const TCase& c : cases) {
        TBitmap b(3, 1);
        b.At(0, 0) = PixelBlack;
        b.At(2, 0) = 0xFF7F7F7F;
        ColourPicture(b, c.Fg, c.Bg);
        EXPECT_EQ(b.At(0, 0), c.Black) << std::hex << c.Fg;
        EXPECT_EQ(b.At(1, 0), c.White) << std::hex << c.Fg;
        EXPECT_EQ(b.At(2, 0), c.HalfGrey) << std::hex << c.Fg;
    }
}

TEST(PrintLayout, QuarterTurnsClockwise) {
    // A 3 x 2 bitmap with its pixels numbered, turned: rows top to bottom.
    TBitmap b(3, 2);
    for (int i = 0; i < 6; ++i)
        b.At(i % 3, i / 3) = TPixel(i);
    struct TCase {
        int Turns;
        int Width;
        std::vector<TPixel> Pixels;
    };
    const TCase cases[] = {
        {0, 3, {0, 1, 2, 3, 4, 5}}, {1, 2, {3, 0, 4, 1, 5, 2}},  {2, 3, {5, 4, 3, 2, 1, 0}},
        {3, 2, {2, 5, 1, 4, 0, 3}}, {-1, 2, {2, 5, 1, 4, 0, 3}},
    };
    for (const TCase& c : cases) {
        const TBitmap t = TurnedBitmap(b, c.Turns);
        ASSERT_EQ(t.Width(), c.Width);
        std::vector<TPixel> pixels;
        for (int y = 0; y < t.Height(); ++y)
            for (int x = 0; x < t.Width(); ++x)
                pixels.push_back(t.At(x, y));
        EXPECT_EQ(pixels, c.Pixels) << c.Turns;
    }
}

TEST(PrintLayout, DeviationOfTheXDimension) {
    struct TCase {
        double Mm;
        int Dpi;
        bool Said;
    };
    const TCase cases[] = {{0.33, 300, false},
                           {0.33, 203, true},
                           {0.19, 203, true},
                           {0.254, 300, false},
                           {0.3, 96, true}};
    for (const TCase& c : cases) {
        EXPECT_EQ(XDimDeviation(At(c.Mm, c.Dpi), bcCode128).empty(), !c.Said)
            << c.Mm << " at " << c.Dpi;
    }
}

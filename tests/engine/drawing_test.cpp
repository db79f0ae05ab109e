// Drawing geometry, checked on a canvas with fixed font metrics.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/ZoBarcode.h"
#include "tests/engine/FakeCanvas.h"

namespace {

// An EAN-13 symbol at module 1 in the box (10, 5), 60 high, text font 8 points
// (the fake canvas makes every text 11 pixels high, so H1 = 11).
TZoBarcode Ean13(bool showText = true) {
    TZoBarcode bc;
    bc.SetBarCodeType(bcCodeEAN13);
    bc.SetBarCode(u"590123412345");
    bc.SetLeft(10);
    bc.SetTop(5);
    bc.SetHeight(60);
    bc.SetShowText(showText);
    bc.SetShowTextPosition(stpBottomCenter);
    return bc;
}

void ExpectContiguous(const std::vector<DrawnPolygon>& polys, int firstColumn) {
    int next = firstColumn;
    for (std::size_t i = 0; i < polys.size(); ++i) {
        EXPECT_EQ(polys[i].Left(), next) << "element " << i + 1;
        next = polys[i].Right() + 1;
    }
}

} // namespace

TEST(Drawing, Ean13ElementsGuardsAndDigitGroups) {
    TZoBarcode bc = Ean13();
    FakeCanvas canvas;
    bc.DrawBarcode(canvas);

    EXPECT_EQ(bc.ShowTextH1, 11);
    ASSERT_EQ(canvas.polygons.size(), 59u);
    // The bars start after the lead-in round(109 * 0.1) = 11 and are laid without gaps.
    ExpectContiguous(canvas.polygons, 10 + 11);
    EXPECT_EQ(canvas.polygons.back().Right(), 10 + 11 + 95 - 1);

    const int barBottom = 5 + (60 - 11) - 1;
    for (std::size_t i = 0; i < canvas.polygons.size(); ++i) {
        const int pos = static_cast<int>(i) + 1;
        const bool guard = pos <= 3 || (pos >= 28 && pos <= 32) || pos >= 57;
        const DrawnPolygon& p = canvas.polygons[i];
        EXPECT_EQ(p.Top(), 5) << pos;
        EXPECT_EQ(p.Bottom(), guard ? barBottom + 11 / 2 : barBottom) << pos;
        const bool space = pos % 2 == 0; // EAN alternates bar and space from a bar
        EXPECT_EQ(p.brush.Color, space ? clWhite : clBlack) << pos;
        EXPECT_EQ(p.pen.Color, p.brush.Color);
        EXPECT_EQ(p.pen.Width, 1);
    }

    // Digit groups: the first digit in the lead-in, then at U(3) and U(31).
    ASSERT_EQ(canvas.texts.size(), 3u);
    const int y = 5 + 60 - 11;
    EXPECT_EQ(canvas.texts[0].text, u"5");
    EXPECT_EQ(canvas.texts[0].x, 10 + 1);
    EXPECT_EQ(canvas.texts[1].text, u"901234");
    EXPECT_EQ(canvas.texts[1].x, 10 + (3 + 11) + 1);
    EXPECT_EQ(canvas.texts[2].text, u"123457");
    EXPECT_EQ(canvas.texts[2].x, 10 + (3 + 42 + 4 + 11) + 1);
    for (const DrawnText& t : canvas.texts) {
        EXPECT_EQ(t.y, y);
        EXPECT_EQ(t.brush.Color, clWhite);
    }
}

TEST(Drawing, Ean8AndUpcADigitGroupsStandAtTheirElementOffsets) {
    struct Case {
        TBarcodeType type;
        std::u16string code;
        std::vector<std::pair<std::u16string, int>> pieces; // text, element count before it
    };
    const Case cases[] = {
        {bcCodeEAN8, u"1234567", {{u"1234", 3}, {u"5670", 23}}},
        {bcCodeUPC_A, u"12345678901", {{u"1", -1}, {u"23456", 7}, {u"78901", 32}, {u"2", 59}}},
    };
    for (const Case& c : cases) {
        TZoBarcode bc;
        bc.SetBarCodeType(c.type);
        bc.SetBarCode(c.code);
        bc.SetHeight(50);
        FakeCanvas canvas;
        bc.DrawBarcode(canvas);
        ASSERT_EQ(canvas.texts.size(), c.pieces.size());
        for (std::size_t i = 0; i < c.pieces.size(); ++i) {
            EXPECT_EQ(canvas.texts[i].text, c.pieces[i].first);
            const int n = c.pieces[i].second;
            EXPECT_EQ(canvas.texts[i].x, n < 0 ? 1 : bc.WidthUpTo(n) + 1) << i;
        }
    }
}

TEST(Drawing, UpcAGuardsIncludeTheOuterDigits) {
    TZoBarcode bc;
    bc.SetBarCodeType(bcCodeUPC_A);
    bc.SetBarCode(u"12345678901");
    bc.SetHeight(50);
    FakeCanvas canvas;
    bc.DrawBarcode(canvas);
    const int longBottom = 50 - 11 - 1 + 5;
    for (int pos : {1, 7, 28, 32, 53, 59})
        EXPECT_EQ(canvas.polygons[pos - 1].Bottom(), longBottom);
    for (int pos : {8, 27, 33, 52})
        EXPECT_EQ(canvas.polygons[pos - 1].Bottom(), longBottom - 5);
}

TEST(Drawing, HiddenTextStillMeasuresAndLongGuardsStillReachBelow) {
    TZoBarcode bc = Ean13(false);
    FakeCanvas canvas;
    bc.DrawBarcode(canvas);
    EXPECT_TRUE(canvas.texts.empty());
    EXPECT_EQ(bc.ShowTextH1, 11);
    ASSERT_EQ(canvas.polygons.size(), 59u);
    ExpectContiguous(canvas.polygons, 10); // no lead-in without text
    EXPECT_EQ(canvas.polygons[3].Bottom(), 5 + 60 - 1);
    EXPECT_EQ(canvas.polygons[0].Bottom(), 5 + 60 - 1 + 5);
}

TEST(Drawing, ElementWidthsFollowTheModule) {
    TZoBarcode bc;
    bc.SetBarCodeType(bcCode_2_5_industrial);
    bc.SetBarCode(u"1");
    bc.SetModul(3);
    bc.SetShowText(false);
    bc.SetHeight(20);
    FakeCanvas canvas;
    bc.DrawBarcode(canvas);
    // "606050" starts: wide bar 6 px, narrow space 3 px, ...
    ASSERT_GE(canvas.polygons.size(), 3u);
    EXPECT_EQ(canvas.polygons[0].Left(), 0);
    EXPECT_EQ(canvas.polygons[0].Right(), 5);
    EXPECT_EQ(canvas.polygons[1].Left(), 6);
    EXPECT_EQ(canvas.polygons[1].Right(), 8);
    ExpectContiguous(canvas.polygons, 0);
    EXPECT_EQ(canvas.polygons.back().Right() + 1, bc.GetWidth());
}

TEST(Drawing, CanvasStateIsRestored) {
    TZoBarcode bc = Ean13();
    bc.SetAutoFontSize(true);
    FakeCanvas canvas;
    canvas.Font = TFont{u"Caller", 13, 0x00FF00, 2};
    canvas.Pen = TPen{0x0000FF, 4};
    canvas.Brush = TBrush{0x00FFFF, TBrushStyle::bsClear};
    const TFont font = canvas.Font;
    const TPen pen = canvas.Pen;
    const TBrush brush = canvas.Brush;
    bc.DrawBarcode(canvas);
    EXPECT_EQ(canvas.Font, font);
    EXPECT_EQ(canvas.Pen, pen);
    EXPECT_EQ(canvas.Brush, brush);

    // Also when the build refuses the text: then nothing is painted at all.
    bc.SetBarCode(u"not digits");
    FakeCanvas refused;
    EXPECT_THROW(bc.DrawBarcode(refused), EBarcodeError);
    EXPECT_TRUE(refused.polygons.empty());
    EXPECT_TRUE(refused.texts.empty());
}

TEST(Drawing, AutomaticFontSize) {
    // The fake text is size pixels per character.
    TZoBarcode ean13 = Ean13();
    ean13.SetAutoFontSize(true);
    FakeCanvas c1;
    ean13.DrawBarcode(c1);
    EXPECT_EQ(ean13.ShowTextFont().Size, 6); // 13 * 9 >= 109, 9 * 0.75 = 6.75
    EXPECT_EQ(ean13.ShowTextH1, 9);

    TZoBarcode ean8;
    ean8.SetBarCodeType(bcCodeEAN8);
    ean8.SetBarCode(u"1234567");
    ean8.SetHeight(60);
    ean8.SetAutoFontSize(true);
    FakeCanvas c2;
    ean8.DrawBarcode(c2);
    EXPECT_EQ(ean8.ShowTextFont().Size, 6); // 8 * 10 >= 77, 10 * 0.65 = 6.5

    TZoBarcode low = Ean13();
    low.SetHeight(15);
    low.SetAutoFontSize(true);
    FakeCanvas c3;
    low.DrawBarcode(c3);
    EXPECT_EQ(low.ShowTextFont().Size, 3); // 2 * (6 + 3) > 15: 6 halved
}

TEST(Drawing, AutomaticFontSizeEndsOnEmptyAndOnInvisibleTexts) {
    TZoBarcode bc;
    bc.SetBarCodeType(bcCode39); // text: an empty code is a symbol of start and stop
    bc.SetBarCode(u"");
    bc.SetHeight(1000);
    bc.SetAutoFontSize(true);
    FakeCanvas canvas;
    bc.DrawBarcode(canvas);
    EXPECT_EQ(bc.ShowTextFont().Size, 2 * 3 / 4);

    // A text the font draws with no width at all stops at the bound.
    bc.SetBarCodeType(bcCode_2_5_industrial);
    bc.SetBarCode(u"1");
    FakeCanvas invisible;
    invisible.charWidthPerPoint = 0;
    bc.DrawBarcode(invisible);
    EXPECT_EQ(bc.ShowTextFont().Size, TZoBarcode::MaxAutoFontSize * 3 / 4);
}

TEST(Drawing, AutomaticFontSizeIsNotCappedForShortTexts) {
    TZoBarcode bc;
    bc.SetBarCodeType(bcCode_2_5_industrial);
    bc.SetBarCode(u"1");
    bc.SetModul(10); // a wide symbol for a one-character text
    bc.SetHeight(1000);
    bc.SetAutoFontSize(true);
    FakeCanvas canvas;
    bc.DrawBarcode(canvas);
    EXPECT_EQ(bc.ShowTextFont().Size, bc.GetWidth() * 3 / 4);
}

TEST(Drawing, TextPositions) {
    // A one-character text made W + 5 wide.
    struct Case {
        TShowTextPosition pos;
        bool top;
        int dx; // relative to L, with text width W + 5
    };
    TZoBarcode probe;
    probe.SetBarCodeType(bcCode_2_5_industrial);
    probe.SetBarCode(u"1");
    const int w = probe.GetWidth();
    for (const Case& c : {Case{stpTopLeft, true, 0}, Case{stpBottomLeft, false, 0},
                          Case{stpTopRight, true, -5}, Case{stpBottomRight, false, -5},
                          Case{stpTopCenter, true, -2}, Case{stpBottomCenter, false, -2}}) {
        TZoBarcode bc;
        bc.SetBarCodeType(bcCode_2_5_industrial);
        bc.SetBarCode(u"1");
        bc.SetLeft(20);
        bc.SetTop(4);
        bc.SetHeight(40);
        bc.SetShowTextPosition(c.pos);
        bc.SetShowTextFont(TFont{u"X", w + 5, 0x0000FF, 0});
        FakeCanvas canvas;
        bc.DrawBarcode(canvas);
        ASSERT_EQ(canvas.texts.size(), 1u);
        EXPECT_EQ(canvas.texts[0].x, 20 + c.dx) << int(c.pos);
        EXPECT_EQ(canvas.texts[0].y, c.top ? 4 : 4 + 40 - (w + 5 + 3)) << int(c.pos);
        EXPECT_EQ(canvas.texts[0].font.Color, 0x0000FFu);
    }
}

TEST(Drawing, TextBackgroundIsWhiteWhateverTheSymbolColour) {
    TZoBarcode bc = Ean13();
    bc.SetColor(0x00FFFF);
    bc.SetColorBar(0x800000);
    FakeCanvas canvas;
    bc.DrawBarcode(canvas);
    for (const DrawnText& t : canvas.texts)
        EXPECT_EQ(t.brush.Color, clWhite);
    EXPECT_EQ(canvas.polygons[0].brush.Color, 0x800000u);
    EXPECT_EQ(canvas.polygons[1].brush.Color, 0x00FFFFu);
}

TEST(Drawing, ShortBarsCoverTheLowerHalfAndEndWithTheFullBars) {
    TZoBarcode bc;
    bc.SetBarCodeType(bcCodePostNet);
    bc.SetBarCode(u"1");
    bc.SetUseCheckSum(false);
    bc.SetTop(7);
    bc.SetHeight(41 + 11); // bar height h = 41 below an 11-pixel text band
    FakeCanvas canvas;
    bc.DrawBarcode(canvas);
    // "51" + "A1A1A15151" + "5": the frame bar, then three short bars of the digit 1.
    ASSERT_EQ(canvas.polygons.size(), 13u);
    const DrawnPolygon& full = canvas.polygons[0];
    const DrawnPolygon& half = canvas.polygons[2];
    EXPECT_EQ(full.Top(), 7);
    EXPECT_EQ(half.Top(), 7 + 20);
    EXPECT_EQ(half.Bottom(), full.Bottom());
    EXPECT_EQ(full.Bottom(), 7 + 41 - 1);
    EXPECT_EQ(half.brush.Color, clBlack);
}

// A code of one or two characters, its font grown to the symbol's width, starts
// many times taller than a low box: the font is halved until the text leaves
// the bars at least half the box, and text and bars stay inside it.
TEST(Drawing, ShortCodesKeepBarsOfHalfTheBoxAndTheTextInside) {
    struct Case {
        TBarcodeType type;
        std::u16string code;
        TRect rect;
    };
    const TRect window{10, 10, 280, 180}; // 300 x 200 with a border of 10
    const TRect low{10, 10, 280, 80};     // 300 x 100
    const Case cases[] = {
        {bcCode39, u"A", window},
        {bcCode128B, u"A", window},
        {bcCodeMSI, u"1", window},
        {bcCodePostNet, u"1", window}, // short bars
        {bcCodeUPC_Supp2, u"12", low},
        {bcCode128C, u"12", low},
        {bcCode_2_5_matrix, u"1", low},
        {bcCodeEAN8, u"1", low}, // long guard bars
        {bcCodeUPC_E0, u"425261", {0, 0, 300, 24}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(BarcodeTypeName(c.type)) + " " + ToUtf8(c.code));
        FakeCanvas canvas;
        TRect r = c.rect;
        int module = 2;
        DrawBarcodeInRect(c.code, c.type, canvas, r, module, TFont{}, true, true, stpBottomCenter,
                          true);
        const int height = r.Bottom - r.Top;
        ASSERT_FALSE(canvas.texts.empty());
        for (const DrawnText& t : canvas.texts) {
            const int size = t.font.Size;
            EXPECT_GE(t.y, r.Top);
            EXPECT_LE(t.y + size + 3, r.Bottom) << "size " << size;
            EXPECT_GE(t.x, r.Left);
            EXPECT_LE(t.x + static_cast<int>(t.text.size()) * size, r.Right);
        }
        ASSERT_FALSE(canvas.polygons.empty());
        int barRows = 0;
        for (const DrawnPolygon& p : canvas.polygons) {
            EXPECT_GE(p.Top(), r.Top);
            EXPECT_LE(p.Top(), p.Bottom());
            EXPECT_LT(p.Bottom(), r.Bottom);
            if (p.Top() == r.Top) barRows = std::max(barRows, p.Bottom() - p.Top() + 1);
        }
        EXPECT_GE(2 * barRows, height);
    }
}

// The automatic size is halved until a shown text takes at most half the box;
// a size within half after one halving, and a hidden text's size (it only sets
// how far the long guard bars reach down), stay as one halving left them.
TEST(Drawing, AutomaticFontSizeHalvesUntilAShownTextTakesHalfTheBox) {
    struct Case {
        bool showText;
        int height;
        int size; // EAN-13 at module 1: 13 characters reach 109 at 9 points, 0.75 of it is 6
    };
    const Case cases[] = {
        {true, 60, 6},  // 2 * 9 within 60: no halving
        {true, 15, 3},  // 2 * 9 > 15: halved once, 2 * 6 within 15
        {true, 10, 1},  // 2 * 6 still > 10: halved again
        {false, 10, 3}, // hidden: one halving only
        {true, 3, 0},   // nothing fits: halved down to 0
    };
    for (const Case& c : cases) {
        TZoBarcode bc = Ean13(c.showText);
        bc.SetHeight(c.height);
        bc.SetAutoFontSize(true);
        FakeCanvas canvas;
        bc.DrawBarcode(canvas);
        EXPECT_EQ(bc.ShowTextFont().Size, c.size) << c.showText << " " << c.height;
        EXPECT_EQ(bc.ShowTextH1, c.size + 3);
    }
}

// Where no font size leaves the bars their share, the text is left out as if
// hidden and the bars take the whole box; a font of the caller's own size is
// kept while it leaves a bar row.
TEST(Drawing, ABoxTooLowForTheTextGetsBarsOnly) {
    struct Case {
        bool autoSize;
        int fontSize;
        int height;
        bool text;
        int barRows;
    };
    const Case cases[] = {
        {true, 8, 5, false, 5},     // even size 0 is 3 high: more than half of 5
        {true, 8, 6, true, 3},      // size 0 fits half
        {false, 20, 15, false, 15}, // 23 high
        {false, 8, 11, false, 11},  // exactly the box: no bar row left
        {false, 8, 12, true, 1},
    };
    for (const Case& c : cases) {
        TZoBarcode bc;
        bc.SetBarCodeType(bcCode128B);
        bc.SetBarCode(u"A");
        bc.SetTop(4);
        bc.SetHeight(c.height);
        bc.SetAutoFontSize(c.autoSize);
        bc.SetShowTextFont(TFont{u"X", c.fontSize, clBlack, 0});
        FakeCanvas canvas;
        bc.DrawBarcode(canvas);
        SCOPED_TRACE(testing::Message() << "auto " << c.autoSize << " height " << c.height);
        EXPECT_EQ(!canvas.texts.empty(), c.text);
        ASSERT_FALSE(canvas.polygons.empty());
        EXPECT_EQ(canvas.polygons[0].Top(), 4);
        EXPECT_EQ(canvas.polygons[0].Bottom(), 4 + c.barRows - 1);
    }
}

// An add-on stands right of the main symbol: its digits above its bars, its
// bars from below them down to where the guards end.
TEST(Drawing, AddOnDigitsAboveItsBarsWhichEndWithTheGuards) {
    TZoBarcode bc = Ean13();
    bc.SetBarCode(u"590123412345+12");
    FakeCanvas canvas;
    bc.DrawBarcode(canvas);
    // 95 modules, a gap of 9, the add-on's 20; the lead-in round(143 * 0.1) = 14.
    ASSERT_EQ(canvas.polygons.size(), 59u + 9 + 13);
    EXPECT_EQ(bc.GetWidth(), 124 + 19);
    ExpectContiguous(canvas.polygons, 10 + 14);
    const int guardBottom = 5 + (60 - 11) - 1 + 11 / 2;
    for (std::size_t i = 68; i < canvas.polygons.size(); ++i) {
        EXPECT_EQ(canvas.polygons[i].Top(), 5 + 11) << i;
        EXPECT_EQ(canvas.polygons[i].Bottom(), guardBottom) << i;
    }
    EXPECT_EQ(canvas.polygons[0].Bottom(), guardBottom);
    EXPECT_EQ(canvas.polygons[3].Top(), 5);
    ASSERT_EQ(canvas.texts.size(), 4u);
    EXPECT_EQ(canvas.texts[0].text, u"5");
    EXPECT_EQ(canvas.texts[2].text, u"123457");
    EXPECT_EQ(canvas.texts[2].y, 5 + 60 - 11);
    // centred over the add-on's 20 modules: 10 + 14 + 104 + (20 - 16) / 2
    EXPECT_EQ(canvas.texts[3].text, u"12");
    EXPECT_EQ(canvas.texts[3].x, 130);
    EXPECT_EQ(canvas.texts[3].y, 5);
}

TEST(Drawing, AddOnTakesThePlaceOfTheRoomRightOfTheBars) {
    const struct {
        TBarcodeType type;
        std::u16string code;
        int width;
    } cases[] = {
        {bcCodeUPC_A, u"03600029145", 95 + 14 + 11}, // 15 %, then 10 % for the digit
        {bcCodeUPC_A, u"03600029145+12", 124 + 19},  // 15 % only
        {bcCodeUPC_E0, u"425261+12345", 107 + 16},   // the same for UPC-E
        {bcCodeEAN8, u"9638507+12", 67 + 9 + 20 + 14},
    };
    for (const auto& c : cases) {
        TZoBarcode bc;
        bc.SetBarCodeType(c.type);
        bc.SetBarCode(c.code);
        EXPECT_EQ(bc.GetWidth(), c.width) << ToUtf8(c.code);
    }
}

// ITF-14: bearer bars all round the bars and their quiet zones, five narrow
// bars (ten modules) thick; the text below them.
TEST(Drawing, Itf14BearerBarsFrameTheSymbol) {
    for (const bool showText : {true, false}) {
        TZoBarcode bc;
        bc.SetBarCodeType(bcCodeITF14);
        bc.SetBarCode(u"9501234567890");
        bc.SetHeight(80);
        bc.SetShowText(showText);
        bc.SetShowTextPosition(stpBottomCenter);
        FakeCanvas canvas;
        bc.DrawBarcode(canvas);
        // 20 + 8 + 7 * 32 + 9 + 20 modules of bars and quiet zones, 10 of frame each side
        EXPECT_EQ(bc.GetWidth(), 281 + 20);
        ASSERT_EQ(canvas.polygons.size(), 164u + 4);
        const std::vector<DrawnPolygon> bars(canvas.polygons.begin(), canvas.polygons.end() - 4);
        ExpectContiguous(bars, 10);
        EXPECT_EQ(bars.back().Right(), 290);
        const int bottom = showText ? 80 - 11 - 1 : 79;
        for (const DrawnPolygon& p : bars) {
            EXPECT_EQ(p.Top(), 10);
            EXPECT_EQ(p.Bottom(), bottom - 10);
        }
        const struct {
            int left, top, right, bottom;
        } frame[] = {{0, 0, 300, 9},
                     {0, bottom - 9, 300, bottom},
                     {0, 10, 9, bottom - 10},
                     {291, 10, 300, bottom - 10}};
        for (int i = 0; i < 4; ++i) {
            const DrawnPolygon& p = canvas.polygons[164 + static_cast<std::size_t>(i)];
            EXPECT_EQ(p.Left(), frame[i].left) << i;
            EXPECT_EQ(p.Top(), frame[i].top) << i;
            EXPECT_EQ(p.Right(), frame[i].right) << i;
            EXPECT_EQ(p.Bottom(), frame[i].bottom) << i;
            EXPECT_EQ(p.brush.Color, clBlack);
        }
        ASSERT_EQ(canvas.texts.size(), showText ? 1u : 0u);
        if (showText) {
            EXPECT_EQ(canvas.texts[0].text, u"95012345678903");
            EXPECT_EQ(canvas.texts[0].x, (301 - 14 * 8) / 2);
            EXPECT_EQ(canvas.texts[0].y, 80 - 11);
        }
    }
}

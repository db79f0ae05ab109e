// The component's data pipeline: text preparation, module widths, symbol
// widths and the module fit.
#include <gtest/gtest.h>

#include "engine/Rounding.h"
#include "engine/ZoBarcode.h"
#include "tests/BuildSymbol.h"

namespace {

TZoBarcode Make(TBarcodeType type, const std::u16string& text, bool check = true) {
    TZoBarcode bc;
    bc.SetBarCodeType(type);
    bc.SetBarCode(text);
    bc.SetUseCheckSum(check);
    return bc;
}

// The message of what op refuses, or "(no error)".
template <class Op> std::string ErrorOf(TZoBarcode& bc, Op op) {
    try {
        op(bc);
    } catch (const EBarcodeError& e) {
        return e.what();
    }
    return "(no error)";
}

std::string ErrorOf(TZoBarcode& bc) {
    return ErrorOf(bc, [](TZoBarcode& b) { b.BuildPattern(); });
}

class NullCanvas : public TCanvas {
public:
    int polygons = 0;
    int TextWidth(const std::u16string& t) override { return int(t.size()) * Font.Size; }
    int TextHeight(const std::u16string&) override { return Font.Size + 3; }
    void TextOut(int, int, const std::u16string&) override {}
    void Polygon(const std::vector<TPoint>&) override { ++polygons; }
};

// Runs a build for its side effects on Ratio and modules, whatever the encoder says.
void BuildIgnoringErrors(TZoBarcode& bc) {
    try {
        bc.BuildPattern();
    } catch (const EBarcodeError&) {
    }
}

} // namespace

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEvenDiv(150, 100), 2); // 1.5
    EXPECT_EQ(RoundHalfEvenDiv(450, 100), 4); // 4.5
    EXPECT_EQ(RoundHalfEvenDiv(1425, 100), 14);
    EXPECT_EQ(RoundHalfEvenDiv(1090, 100), 11);
    EXPECT_EQ(RoundHalfEvenDiv(250, 100), 2);
    EXPECT_EQ(RoundHalfEvenDiv(-250, 100), -2);
    EXPECT_EQ(RoundHalfEvenDiv(-251, 100), -3);
}

TEST(Component, DefaultsAfterConstruction) {
    TZoBarcode bc;
    EXPECT_EQ(bc.BarCodeType(), bcCodeEAN13);
    EXPECT_TRUE(bc.UseCheckSum());
    EXPECT_TRUE(bc.ShowText());
    EXPECT_FALSE(bc.AutoFontSize());
    EXPECT_EQ(bc.Modul(), 1);
    EXPECT_EQ(bc.Ratio(), 2.0);
    EXPECT_EQ(bc.ShowTextFont().Name, u"Arial");
    EXPECT_EQ(bc.ShowTextFont().Size, 8);
    EXPECT_EQ(bc.ShowTextPosition(), stpTopLeft);
    EXPECT_EQ(bc.Color(), 0xFFFFFFu);
    EXPECT_EQ(bc.ColorBar(), 0u);
}

TEST(Component, SetModulAcceptsOnlyOneTo49) {
    TZoBarcode bc;
    for (int rejected : {0, 50, -3}) {
        bc.SetModul(rejected);
        EXPECT_EQ(bc.Modul(), 1) << rejected;
    }
    bc.SetModul(49);
    EXPECT_EQ(bc.Modul(), 49);
}

TEST(Component, AssignLeavesCheckSumFontAndAutoSizeAlone) {
    TZoBarcode src = Make(bcCodeEAN8, u"1234567", false);
    src.SetHeight(77);
    src.SetTop(3);
    src.SetLeft(4);
    src.SetModul(5);
    src.SetRatio(2.5);
    src.SetShowText(false);
    src.SetShowTextPosition(stpBottomRight);
    src.SetColor(0x123456);
    src.SetColorBar(0x654321);
    src.SetAutoFontSize(true);
    src.SetShowTextFont(TFont{u"Courier", 20, 0x0000FF, 1});

    TZoBarcode dst;
    dst.Assign(src);
    EXPECT_EQ(dst.Height(), 77);
    EXPECT_EQ(dst.BarCode(), u"1234567");
    EXPECT_EQ(dst.Top(), 3);
    EXPECT_EQ(dst.Left(), 4);
    EXPECT_EQ(dst.Modul(), 5);
    EXPECT_EQ(dst.Ratio(), 2.5);
    EXPECT_EQ(dst.BarCodeType(), bcCodeEAN8);
    EXPECT_FALSE(dst.ShowText());
    EXPECT_EQ(dst.ShowTextPosition(), stpBottomRight);
    EXPECT_EQ(dst.Color(), 0x123456u);
    EXPECT_EQ(dst.ColorBar(), 0x654321u);
    EXPECT_TRUE(dst.UseCheckSum());
    EXPECT_FALSE(dst.AutoFontSize());
    EXPECT_EQ(dst.ShowTextFont(), TFont{});
}

TEST(Modules, WideClassRoundsHalvesToEven) {
    struct Case {
        int modul;
        double ratio;
        std::array<int, 4> classes;
    };
    for (const Case& c :
         {Case{3, 2.5, {3, 8, 12, 16}}, Case{1, 2.5, {1, 2, 3, 4}}, Case{1, 2.0, {1, 2, 3, 4}},
          Case{2, 2.0, {2, 4, 6, 8}}, Case{5, 3.0, {5, 15, 22, 30}}}) {
        TZoBarcode bc = Make(bcCode_2_5_industrial, u"12");
        bc.SetModul(c.modul);
        bc.SetRatio(c.ratio);
        bc.BuildPattern();
        EXPECT_EQ(bc.Modules(), c.classes) << c.modul << " x " << c.ratio;
    }
}

TEST(Modules, LargeModulesDoNotWrapRound) {
    TZoBarcode bc = Make(bcCode_2_5_industrial, u"12");
    bc.SetModul(49);
    bc.SetRatio(3.0);
    bc.BuildPattern();
    EXPECT_EQ(bc.Modules(), (std::array<int, 4>{49, 147, 220, 294}));
    EXPECT_GT(bc.GetWidth(), 0);
}

TEST(Modules, RatioIsClampedBySymbologyAndWrittenBack) {
    struct Case {
        TBarcodeType type;
        double in, out;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const Case& c :
         {Case{bcCode39, 1.0, 2.0}, Case{bcCode_2_5_industrial, 3.5, 3.0},
          Case{bcCode_2_5_interleaved, nan, 2.0}, Case{bcCode_2_5_matrix, 2.0, 2.25},
          Case{bcCode_2_5_matrix, 2.5, 2.5}, Case{bcCodeEAN13, 1.5, 2.0},
          Case{bcCodeUPC_Supp5, 4.0, 3.0}, Case{bcCodeCodabar, 0.0, 2.0},
          Case{bcCode128B, 1.0, 1.0}, Case{bcCode93, 5.0, 5.0}, Case{bcCodeMSI, 1.0, 1.0},
          Case{bcCodeEAN128C, 0.5, 0.5}}) {
        TZoBarcode bc = Make(c.type, u"1");
        bc.SetRatio(c.in);
        BuildIgnoringErrors(bc);
        EXPECT_EQ(bc.Ratio(), c.out) << int(c.type);
    }
    // Unclamped: the wide class may equal the narrow one.
    TZoBarcode bc = Make(bcCode128B, u"1");
    bc.SetRatio(1.0);
    BuildIgnoringErrors(bc);
    EXPECT_EQ(bc.Modules()[1], bc.Modules()[0]);
}

TEST(Modules, AbsurdRatiosOfUnclampedTypesStayNonNegative) {
    for (double r : {-3.0, std::numeric_limits<double>::infinity(),
                     std::numeric_limits<double>::quiet_NaN(), 1e300}) {
        TZoBarcode bc = Make(bcCode128A, u"A");
        bc.SetRatio(r);
        BuildIgnoringErrors(bc);
        for (int m : bc.Modules())
            EXPECT_GE(m, 0) << r;
    }
}

TEST(Pipeline, NumericTypesAreTrimmedAndChecked) {
    TZoBarcode bc = Make(bcCode_2_5_industrial, u" \t12 ");
    bc.BuildPattern();
    EXPECT_EQ(bc.BCText, u"12");

    TZoBarcode ean = Make(bcCodeEAN13, u" 123 ");
    ean.BuildPattern();
    EXPECT_EQ(ean.BCText, u"0000000001236");

    EXPECT_EQ(BuildSymbol(bcCodeEAN13, "12a").error, "Barcode must be numeric");
    EXPECT_EQ(BuildSymbol(bcCodeEAN13, "1 2").error, "Barcode must be numeric");
    EXPECT_EQ(BuildSymbol(bcCode_2_5_matrix, "\u0661").error,
              "Barcode must be numeric"); // Arabic-Indic one
}

TEST(Pipeline, WrongTypesFailAfterTheNumericCheck) {
    EXPECT_EQ(BuildSymbol(bcTypeUndefined, "12a").error, "Barcode must be numeric");
    EXPECT_EQ(BuildSymbol(bcTypeUndefined, "12").error, "TZoBarcode: wrong BarcodeType");
    EXPECT_EQ(BuildSymbol(static_cast<TBarcodeType>(255), "abc").error,
              "TZoBarcode: wrong BarcodeType");
    // the first value after the table's last row
    EXPECT_EQ(BuildSymbol(static_cast<TBarcodeType>(BarcodeTypeCount), "1").error,
              "TZoBarcode: wrong BarcodeType");
}

// A code of nothing but blanks and control characters is refused by every type
// of digits with one message, drawing included (the encoders would pad it to
// zeros); a type of text keeps the blanks as its data.
TEST(Pipeline, BlankCodesAreRefusedByTypesOfDigits) {
    const std::u16string blanks[] = {u"",   u" ",      u"   ",
                                     u"\t", u" \r\n ", std::u16string(u"\0\x1f", 2)};
    for (const TBCdata& row : BarcodeTypeTable) {
        if (row.Encoder == nullptr) continue;
        const std::string refusal =
            "The code holds only blanks, and " + ToUtf8(row.Name) + " takes digits";
        for (const std::u16string& blank : blanks)
            for (bool check : {true, false}) {
                SCOPED_TRACE(ToUtf8(row.Name) + " \"" + ToUtf8(blank) + "\"");
                TZoBarcode bc = Make(row.Type, blank, check);
                const std::string error = ErrorOf(bc);
                if (!row.num) {
                    EXPECT_NE(error, refusal);
                    continue;
                }
                EXPECT_EQ(error, refusal);
                NullCanvas canvas;
                TRect r{10, 10, 280, 180};
                int module = 0;
                EXPECT_THROW(DrawBarcodeInRect(blank, row.Type, canvas, r, module, TFont{}, true,
                                               true, stpBottomCenter, check),
                             EBarcodeError);
                EXPECT_EQ(canvas.polygons, 0);
                EXPECT_EQ(r, (TRect{10, 10, 280, 180}));
            }
    }
    EXPECT_EQ(BuildSymbol(bcCode128C, " 12 ").text, "12"); // digits among blanks still count
    EXPECT_EQ(BuildSymbol(bcCode39, " ").text, " ");
}

TEST(Pipeline, PatternCharactersOutsideTheAlphabetAreAnInternalError) {
    TZoBarcode bc = Make(bcCodeEAN13, u"1");
    bc.BuildPattern();
    for (char16_t c : std::u16string(u"49EZa ")) {
        try {
            bc.DecodePatternChar(c);
            ADD_FAILURE() << "accepted " << char(c);
        } catch (const EBarcodeError& e) {
            EXPECT_STREQ(e.what(), "TZoBarcode: internal Error");
        }
    }
    EXPECT_EQ(bc.DecodePatternChar(u'2'), std::make_pair(3, bkSpace));
    EXPECT_EQ(bc.DecodePatternChar(u'8'), std::make_pair(4, bkBar));
    EXPECT_EQ(bc.DecodePatternChar(u'A'), std::make_pair(1, bkShortBar));
}

TEST(Width, EanAndUpcTextAllowance) {
    TZoBarcode ean = Make(bcCodeEAN13, u"123456789012");
    EXPECT_EQ(ean.GetWidth(), 109);  // 95 + round(14.25)
    EXPECT_EQ(ean.WidthUpTo(3), 14); // 3 + round(10.9)
    EXPECT_EQ(ean.WidthUpTo(0), 11);
    EXPECT_EQ(ean.WidthUpTo(1000), 95 + 11);
    ean.SetShowText(false);
    EXPECT_EQ(ean.GetWidth(), 95);
    EXPECT_EQ(ean.WidthUpTo(3), 3);

    TZoBarcode upc = Make(bcCodeUPC_A, u"12345678901");
    EXPECT_EQ(upc.GetWidth(), 120); // 95 + 14, then + round(10.9)

    TZoBarcode ean8 = Make(bcCodeEAN8, u"1234567");
    EXPECT_EQ(ean8.GetWidth(), 67 + 10); // 10.05 rounds to 10

    // No allowance for the other types.
    TZoBarcode itf = Make(bcCode_2_5_interleaved, u"12");
    EXPECT_EQ(itf.GetWidth(), 4 + 14 + 4); // start, one pair, stop
}

TEST(Width, SetWidthTakesTheModuleBelowTheFirstThatReaches) {
    TZoBarcode bc = Make(bcCodeEAN13, u"123456789012");
    bc.SetWidth(290);
    EXPECT_EQ(bc.Modul(), 2); // 109, 218, 328
    bc.SetWidth(218);
    EXPECT_EQ(bc.Modul(), 1); // an exact fit at 2 still gets the module below
    bc.SetWidth(219);
    EXPECT_EQ(bc.Modul(), 2);
    bc.SetWidth(109);
    EXPECT_EQ(bc.Modul(), 1);
    bc.SetWidth(-5);
    EXPECT_EQ(bc.Modul(), 1);
    bc.SetWidth(1000000); // never reached: stops at the largest module
    EXPECT_EQ(bc.Modul(), TZoBarcode::MaxModul);
}

// Widths add up in 64 bits: a symbol no picture can hold is refused, not wrapped round.
TEST(Width, SymbolsTooWideToDrawAreRefused) {
    struct Case {
        double ratio;
        std::string error; // empty: measured
        int width;
    };
    for (const Case& c : {Case{2.0, "", 49 * (11 + 1000 * 11 + 11 + 13)},
                          Case{1e6,
                               "TZoBarcode: the symbol would be 4013147441 pixels wide; "
                               "a picture holds at most 1073741823.",
                               0}}) {
        TZoBarcode bc = Make(bcCode128B, std::u16string(1000, u'A'));
        bc.SetModul(49);
        bc.SetRatio(c.ratio);
        NullCanvas canvas;
        if (c.error.empty()) {
            EXPECT_EQ(bc.GetWidth(), c.width);
            continue;
        }
        EXPECT_EQ(ErrorOf(bc, [](TZoBarcode& b) { b.GetWidth(); }), c.error);
        EXPECT_THROW(bc.WidthUpTo(5000), EBarcodeError);
        EXPECT_EQ(ErrorOf(bc, [&](TZoBarcode& b) { b.DrawBarcode(canvas); }), c.error);
        EXPECT_EQ(canvas.polygons, 0);
        bc.SetWidth(300); // too wide already at module 1: the search ends there
        EXPECT_EQ(bc.Modul(), 1);
    }
}

TEST(Width, ErrorsOfTheBuildPassThroughWidthQueries) {
    TZoBarcode bc = Make(bcCodeEAN8, u"123456789");
    EXPECT_THROW(bc.GetWidth(), EBarcodeError);
    EXPECT_THROW(bc.WidthUpTo(3), EBarcodeError);
    EXPECT_THROW(bc.SetWidth(100), EBarcodeError);
    EXPECT_EQ(bc.BCText, u"123456789"); // keeps the trimmed input
}

TEST(TypeTable, FillsNamesReplacingTheList) {
    std::vector<std::u16string> list{u"old", u"entries"};
    EXPECT_EQ(FillBarcodeTypeNames(list, false), 23);
    ASSERT_EQ(list.size(), 23u);
    EXPECT_EQ(list.front(), u"Code_2_5_interleaved");
    EXPECT_EQ(list[14], u"CodeEAN13");
    EXPECT_EQ(list.back(), u"CodeEAN128C");
    EXPECT_EQ(FillBarcodeTypeNames(list, true), 24);
    EXPECT_EQ(list.back(), u"Undefined");
    EXPECT_EQ(BarcodeTypeName(static_cast<TBarcodeType>(200)), u"");
}

// --- drawing entry ---------------------------------------------------------

TEST(DrawingEntry, FitsTheModuleAndReportsTheWidth) {
    NullCanvas canvas;
    TRect r{5, 7, 295, 150};
    int module = 0;
    DrawBarcodeInRect(u"123456789012", bcCodeEAN13, canvas, r, module, TFont{}, true, true,
                      stpBottomCenter, true);
    EXPECT_EQ(r, (TRect{5, 7, 5 + 218, 150}));
    EXPECT_EQ(module, 1); // 0 comes back as the component's module
    EXPECT_EQ(canvas.polygons, 59);

    int two = 2;
    TRect wide{0, 0, 1000, 100};
    DrawBarcodeInRect(u"123456789012", bcCodeEAN13, canvas, wide, two, TFont{}, false, false,
                      stpBottomCenter, true);
    EXPECT_EQ(two, 2);
    EXPECT_EQ(wide.Right, 950); // module 10: the fit decides, not the argument
}

TEST(DrawingEntry, RefusalsLeaveRectAndCanvasAlone) {
    NullCanvas canvas;
    for (auto [type, text] :
         {std::pair{static_cast<TBarcodeType>(255), u"123"}, std::pair{bcCodeEAN13, u"12x"}}) {
        TRect r{10, 10, 280, 180};
        int module = 2;
        EXPECT_THROW(DrawBarcodeInRect(text, type, canvas, r, module, TFont{}, true, true,
                                       stpBottomCenter, true),
                     EBarcodeError);
        EXPECT_EQ(r, (TRect{10, 10, 280, 180}));
    }
    EXPECT_EQ(canvas.polygons, 0);
}

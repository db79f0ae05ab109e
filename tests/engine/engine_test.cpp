// The component's data pipeline: text preparation, module widths, symbol
// widths and the module fit, plus the two-of-five and EAN/UPC-A encoders.
#include <gtest/gtest.h>

#include <map>

#include "engine/Rounding.h"
#include "engine/ZoBarcode.h"
#include "symbologies/EanUpc.h"
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

// --- two of five -----------------------------------------------------------

TEST(TwoOfFive, Patterns) {
    struct Case {
        TBarcodeType type;
        std::u16string text;
        std::string pattern;
    };
    const Case cases[] = {
        {bcCode_2_5_interleaved, u"1234", "505060515050616060515051605"},
        {bcCode_2_5_interleaved, u"12", "50506051505061605"},
        {bcCode_2_5_interleaved, u"0", "50505050616150605"}, // 0 is 00110
        {bcCode_2_5_industrial, u"12", "60605060505050605060505060605060"},
        {bcCode_2_5_industrial, u"0", "6060505050606050605060"},
        {bcCode_2_5_matrix, u"12", "70505060506051506070505"},
        {bcCode_2_5_matrix, u"1234", "70505060506051506061505050606070505"},
        {bcCode_2_5_matrix, u"0", "70505050615070505"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BuildSymbol(c.type, ToUtf8(c.text), true).pattern, c.pattern) << ToUtf8(c.text);
        EXPECT_EQ(BuildSymbol(c.type, ToUtf8(c.text), false).pattern, c.pattern)
            << "check option changes nothing";
    }
}

TEST(TwoOfFive, LengthsPerDigit) {
    for (std::size_t n = 2; n <= 12; n += 2) {
        const std::u16string digits(n, u'7');
        EXPECT_EQ(BuildSymbol(bcCode_2_5_industrial, ToUtf8(digits)).pattern.size(), 12 + 10 * n);
        EXPECT_EQ(BuildSymbol(bcCode_2_5_matrix, ToUtf8(digits)).pattern.size(),
                  11 + 6 * n); // five elements and a gap
        EXPECT_EQ(BuildSymbol(bcCode_2_5_interleaved, ToUtf8(digits)).pattern.size(), 7 + 5 * n);
    }
}

TEST(TwoOfFive, InterleavedOddLengthGetsALeadingZeroInTheText) {
    TZoBarcode bc = Make(bcCode_2_5_interleaved, u"123");
    const std::u16string odd = bc.BuildPattern();
    EXPECT_EQ(bc.BCText, u"0123");
    EXPECT_EQ(odd, FromUtf8(BuildSymbol(bcCode_2_5_interleaved, "0123").pattern));

    TZoBarcode one = Make(bcCode_2_5_interleaved, u"7");
    one.BuildPattern();
    EXPECT_EQ(one.BCText, u"07");
}

// --- EAN-8, EAN-13, UPC-A --------------------------------------------------

TEST(EanUpc, CheckDigitModulo10) {
    EXPECT_EQ(CheckSumModulo10(u"590123412345"), u"5901234123457");
    EXPECT_EQ(CheckSumModulo10(u"123456789012"), u"1234567890128");
    EXPECT_EQ(CheckSumModulo10(u"000000000000"), u"0000000000000");
    EXPECT_EQ(CheckSumModulo10(u""), u"0");
}

TEST(EanUpc, WorkedExamples) {
    struct Case {
        TBarcodeType type;
        std::u16string in, text;
        std::string pattern;
    };
    const Case cases[] = {
        {bcCodeEAN13, u"123456789012", u"1234567890128",
         "50515160805170506253505152505050515270517150616060615152505"},
        {bcCodeEAN8, u"1234567", u"12345670", "5051615151608050526050505170505352517150505"},
        {bcCodeUPC_A, u"12345678901", u"123456789012",
         "50516151516080505260625050805050525151527051715061606061505"},
    };
    for (const Case& c : cases) {
        TZoBarcode bc = Make(c.type, c.in);
        EXPECT_EQ(ToUtf8(bc.BuildPattern()), c.pattern);
        EXPECT_EQ(bc.BCText, c.text);
    }
}

TEST(EanUpc, PaddingAndTheirOwnCheckDigits) {
    struct Case {
        TBarcodeType type;
        std::u16string in;
        bool check;
        std::u16string text;
    };
    const Case cases[] = {
        {bcCodeEAN13, u"0", true, u"0000000000000"},
        {bcCodeEAN8, u"0", false, u"00000000"},
        {bcCodeUPC_A, u"1234", true, u"000000012348"},
        {bcCodeEAN13, u"1234567890128", false, u"1234567890128"},
        {bcCodeEAN8, u"12345670", false, u"12345670"},
        {bcCodeUPC_A, u"12348", false, u"000000012348"},
    };
    for (const Case& c : cases) {
        TZoBarcode bc = Make(c.type, c.in, c.check);
        bc.BuildPattern();
        EXPECT_EQ(bc.BCText, c.text) << ToUtf8(c.in);
    }
}

TEST(EanUpc, Refusals) {
    struct Case {
        TBarcodeType type;
        std::u16string in;
        bool check;
        std::string message;
    };
    const Case cases[] = {
        {bcCodeEAN8, u"123456789", true,
         R"(Invalid length for barcode "EAN8" (must be 7 digits, current "123456789").)"},
        {bcCodeEAN8, u"123456789", false,
         R"(Invalid length for barcode "EAN8" (must be 8 digits, current "123456789").)"},
        {bcCodeEAN13, u"1234567890123", true,
         R"(Invalid length for barcode "EAN13" (must be 12 digits, current "1234567890123").)"},
        {bcCodeUPC_A, u"1234567890123", false,
         R"(Invalid length for barcode "UPC_A" (must be 12 digits, current "1234567890123").)"},
        // A wrong last digit would make a symbol that no scanner reads.
        {bcCodeEAN13, u"1234567890123", false,
         R"(Invalid check digit for barcode "EAN13" (must be 8, current "1234567890123").)"},
        {bcCodeEAN8, u"1234567", false,
         R"(Invalid check digit for barcode "EAN8" (must be 5, current "01234567").)"},
        {bcCodeUPC_A, u"123456789011", false,
         R"(Invalid check digit for barcode "UPC_A" (must be 2, current "123456789011").)"},
    };
    for (const Case& c : cases) {
        TZoBarcode bc = Make(c.type, c.in, c.check);
        EXPECT_EQ(ErrorOf(bc), c.message);
        EXPECT_EQ(bc.BCText, c.in) << "keeps the trimmed input";
    }
}

// DigitsWithCheckDigit is how long a whole code of the type is: with the
// check digit added, one digit fewer makes it and a whole code is too long;
// without, a whole code is taken as it is. Every other type says 0.
TEST(EanUpc, DigitsWithCheckDigitAreWhatTheSymbolHolds) {
    const std::map<TBarcodeType, int> lengths = {
        {bcCodeEAN8, 8}, {bcCodeEAN13, 13}, {bcCodeUPC_A, 12}};
    for (const TBarcodeType type : EncodableBarcodeTypes()) {
        const int n = DigitsWithCheckDigit(type);
        EXPECT_EQ(n, lengths.contains(type) ? lengths.at(type) : 0) << int(type);
        if (n == 0) continue;
        const TBuildResult made = BuildSymbol(type, std::string(std::size_t(n) - 1, '7'));
        ASSERT_TRUE(made.ok) << made.error;
        EXPECT_EQ(made.text.size(), std::size_t(n));
        EXPECT_FALSE(BuildSymbol(type, made.text).ok) << made.text;
        const TBuildResult verified = BuildSymbol(type, " " + made.text + "\t", false);
        EXPECT_TRUE(verified.ok) << verified.error;
        EXPECT_EQ(verified.text, made.text);
    }
    EXPECT_EQ(DigitsWithCheckDigit(TBarcodeType(200)), 0);
}

TEST(EanUpc, LeadingZeroMakesEan13LikeUpcA) {
    EXPECT_EQ(BuildSymbol(bcCodeEAN13, "0123456789012", false).pattern,
              BuildSymbol(bcCodeUPC_A, "123456789012", false).pattern);
}

TEST(EanUpc, EveryDigitIsSevenModules) {
    for (int d = 0; d <= 9; ++d)
        for (int set = 0; set < 3; ++set) {
            TZoBarcode bc = Make(bcCodeEAN13, u"1");
            bc.BuildPattern();
            int w = 0;
            for (const char16_t* p = EANDigitSets[set][d]; *p; ++p)
                w += bc.DecodePatternChar(*p).first;
            EXPECT_EQ(w, 7) << "set " << set << " digit " << d;
        }
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

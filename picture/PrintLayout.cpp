#include "picture/PrintLayout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "engine/BarcodeError.h"
#include "engine/ZoBarcode.h"
#include "picture/RasterCanvas.h"

namespace {

// The largest picture: as wide as the window's pictures may be, and at most
// half a gigabyte of bitmap.
constexpr int MaxPrintSide = 32767;
constexpr std::int64_t MaxPrintPixels = std::int64_t(1) << 26;

// Quiet zones in X: the EAN/UPC figures of GS1, the others' of their ISO and
// AIM standards. ITF-14 carries its ten X inside its bearer bars.
struct TQuietRow {
    TBarcodeType Type;
    double Left, Right;
};
constexpr TQuietRow QuietRows[] = {
    {bcCode_2_5_interleaved, 10, 10},
    {bcCode_2_5_industrial, 10, 10},
    {bcCode_2_5_matrix, 10, 10},
    {bcCode39, 10, 10},
    {bcCode39Extended, 10, 10},
    {bcCode128A, 10, 10},
    {bcCode128B, 10, 10},
    {bcCode128C, 10, 10},
    {bcCode93, 10, 10},
    {bcCode93Extended, 10, 10},
    {bcCodeMSI, 12, 12},
    {bcCodeCodabar, 10, 10},
    {bcCodeEAN8, 7, 7},
    {bcCodeEAN13, 11, 7},
    {bcCodeUPC_A, 9, 9},
    {bcCodeUPC_E0, 9, 7},
    {bcCodeUPC_E1, 9, 7},
    {bcCodeUPC_Supp2, 7, 5},
    {bcCodeUPC_Supp5, 7, 5},
    {bcCodeEAN128A, 10, 10},
    {bcCodeEAN128B, 10, 10},
    {bcCodeEAN128C, 10, 10},
    {bcCode128, 10, 10},
    {bcCodeGS1_128, 10, 10},
    {bcCodeSSCC18, 10, 10},
    {bcCodeITF14, 0, 0},
};
// After an add-on: its own right quiet zone.
constexpr double AddOnRightQuiet = 5;
// PostNet asks for an eighth of an inch clear each side, whatever the bars.
constexpr double PostNetQuietInches = 0.125;

// Bar heights in X: EAN/UPC at their nominal 22.85 mm (EAN-8 18.23 mm) for
// 0.33 mm, the add-ons 21.90 mm.
double StandardBarHeightInX(TBarcodeType type) {
    switch (type) {
    case bcCodeEAN13:
    case bcCodeUPC_A:
    case bcCodeUPC_E0:
    case bcCodeUPC_E1:
        return 22.85 / 0.33;
    case bcCodeEAN8:
        return 18.23 / 0.33;
    case bcCodeUPC_Supp2:
    case bcCodeUPC_Supp5:
        return 21.90 / 0.33;
    default:
        return 0; // by the symbol's width
    }
}
// Other symbols: 15 % of their width, at least a quarter of an inch; PostNet's
// tall bars an eighth of an inch.
constexpr double HeightShareOfWidth = 0.15;
constexpr double MinBarHeightInches = 0.25;
constexpr double PostNetHeightInches = 0.125;

// The font's size in X: EAN/UPC digits 8.3 X high, their 2.75 mm at 0.33 mm
// (Tahoma's digits are 0.77 of its size), other texts a little larger.
constexpr double EanTextSizeInX = 10.8;
constexpr double TextSizeInX = 10;

bool IsEanUpcFamily(TBarcodeType type) {
    const std::optional<TBCdata> row = BarcodeTypeRow(type);
    return (row && row->Text) || type == bcCodeUPC_Supp2 || type == bcCodeUPC_Supp5;
}

[[noreturn]] void Refuse(const std::string& message) {
    throw EBarcodeError(message);
}

std::string Dots(double dots, int dpi) {
    char s[80];
    std::snprintf(s, sizeof s, "%.3g mm (%.4g dots at %d dpi)", DotsInMillimetres(dots, dpi), dots,
                  dpi);
    return s;
}

// Pixel size of a font at points, as the canvases take it (96 dpi).
int FontPointsForPixels(double pixels) {
    return std::max(1, int(std::lround(pixels * 72.0 / 96.0)));
}

} // namespace

int ModulesPerX(TBarcodeType type) {
    return type == bcCodeITF14 ? 2 : 1;
}

TQuietZones StandardQuietZones(TBarcodeType type, bool addOn, int dpi, int xDots) {
    if (type == bcCodePostNet) {
        const double x = PostNetQuietInches * dpi / std::max(xDots, 1);
        return {x, x};
    }
    TQuietZones q;
    for (const TQuietRow& row : QuietRows)
        if (row.Type == type) q = {row.Left, row.Right};
    if (addOn) q.Right = AddOnRightQuiet;
    return q;
}

namespace {

// What the layout takes from the options as they are.
TPrintLayout LayoutOfOptions(const std::u16string& code, TBarcodeType type,
                             const TPrintOptions& o) {
    TPrintLayout l;
    l.Code = code;
    l.Type = type;
    l.ShowText = o.ShowText;
    l.UseCheckSum = o.UseCheckSum;
    l.Dpi = o.Dpi;
    l.QuarterTurns = ((o.QuarterTurns % 4) + 4) % 4;
    l.Foreground = o.Foreground;
    l.Background = o.Background;
    return l;
}

// The X-dimension asked and the one drawn, into l; gives the engine's module.
int LayOutXDimension(TPrintLayout& l, const TPrintOptions& o) {
    const int perX = ModulesPerX(l.Type);
    l.AskedXDots = LengthInDots(o.XDim, o.Dpi);
    if (!(l.AskedXDots > 0)) Refuse("The X-dimension must be more than nothing.");
    l.XDots = DrawnXDots(o, l.Type);
    const int module = l.XDots / perX;
    if (module > TZoBarcode::MaxModul)
        Refuse("An X-dimension of " + Dots(l.AskedXDots, o.Dpi) + " is more than the " +
               std::to_string(TZoBarcode::MaxModul * perX) + " dots a module may take.");
    return module;
}

// The text's font: of the size asked, or one that follows the X-dimension.
TFont PrintFont(const TPrintOptions& o, TBarcodeType type, int xDots) {
    const double em = o.TextSize ? LengthInDots(*o.TextSize, o.Dpi, xDots)
                                 : (IsEanUpcFamily(type) ? EanTextSizeInX : TextSizeInX) * xDots;
    if (!(em > 0) || em > 13000)
        Refuse("The text size must be more than nothing and less than 13,000 dots.");
    return TFont{u"Tahoma", FontPointsForPixels(em), clBlack, 0};
}

// Between the bars and the text line, whole dots.
int TextGapDots(const TPrintOptions& o, int xDots) {
    if (!o.TextGap) return 0;
    const double gap = LengthInDots(*o.TextGap, o.Dpi, xDots);
    if (gap > MaxPrintSide) Refuse("A text gap of " + Dots(gap, o.Dpi) + " is too large.");
    return int(std::lround(gap));
}

// What the symbol's pattern says about its sides: whether it ends in an
// add-on, and the white it begins and ends with.
struct TPatternSides {
    bool AddOn = false;
    int LeadingWhite = 0;
    int TrailingWhite = 0;
};

// Which symbol it is (an add-on?) decides the quiet zones: a first
// measurement with none.
TPatternSides PatternSides(const std::u16string& code, TBarcodeType type, bool useCheckSum,
                           int module) {
    TZoBarcode probe;
    probe.SetBarCode(code);
    probe.SetBarCodeType(type);
    probe.SetUseCheckSum(useCheckSum);
    probe.SetModul(module);
    const std::u16string pattern = probe.BuildPattern();
    // Spaces that begin or end a pattern (a gap after the last character) are
    // quiet zone already.
    const bool framed = BarcodeTypeRow(type) && BarcodeTypeRow(type)->Frame > 0;
    auto white = [&](auto from, auto to) {
        int w = 0;
        for (auto it = from; it != to && !framed; ++it) {
            const auto [width, kind] = probe.DecodePatternChar(*it);
            if (kind != bkSpace) break;
            w += width;
        }
        return w;
    };
    return {!probe.AddOn.empty(), white(pattern.begin(), pattern.end()),
            white(pattern.rbegin(), pattern.rend())};
}

// The quiet zones asked (or the standard's), less the white the pattern
// brings along.
void SetQuietZones(TSymbolGeometry& g, const TPrintOptions& o, TBarcodeType type, int xDots,
                   const TPatternSides& sides) {
    const TQuietZones q = StandardQuietZones(type, sides.AddOn, o.Dpi, xDots);
    const double left = o.QuietZone ? *o.QuietZone : q.Left;
    const double right = o.QuietZone ? *o.QuietZone : q.Right;
    g.QuietLeft = std::max(0, int(std::ceil(left * xDots - 1e-9)) - sides.LeadingWhite);
    g.QuietRight = std::max(0, int(std::ceil(right * xDots - 1e-9)) - sides.TrailingWhite);
}

// EAN's "<" and ">", into l; the quiet zones widen to hold them.
void AddQuietZoneMarks(TPrintLayout& l, TSymbolGeometry& g, bool addOn, TCanvas& measure) {
    if (l.Type == bcCodeEAN8 && !addOn) l.MarkLeft = u"<";
    if (l.Type == bcCodeEAN8 || l.Type == bcCodeEAN13) l.MarkRight = u">";
    const TFont saved = measure.Font;
    measure.Font = l.Font;
    if (!l.MarkLeft.empty())
        g.QuietLeft = std::max(g.QuietLeft, measure.TextWidth(l.MarkLeft) + l.XDots);
    if (!l.MarkRight.empty())
        g.QuietRight = std::max(g.QuietRight, measure.TextWidth(l.MarkRight) + l.XDots);
    measure.Font = saved;
}

// The bars' height in whole dots: as asked, the standard's, or a share of the
// symbol's width measured at geometry g.
int BarHeightDots(const TPrintLayout& l, TSymbolGeometry g, const TPrintOptions& o,
                  TCanvas& measure) {
    double height = 0;
    if (o.BarHeight) {
        height = LengthInDots(*o.BarHeight, o.Dpi, l.XDots);
    } else if (l.Type == bcCodePostNet) {
        height = PostNetHeightInches * o.Dpi;
    } else if (const double inX = StandardBarHeightInX(l.Type); inX > 0) {
        height = inX * l.XDots;
    } else {
        g.BarHeight = 1;
        const TSymbolExtent e =
            MeasureBarcodeAtModule(l.Code, l.Type, measure, g, l.Font, o.ShowText, o.UseCheckSum);
        const int bars = e.Width - e.Geometry.QuietLeft - e.Geometry.QuietRight;
        height = std::max(HeightShareOfWidth * bars, MinBarHeightInches * o.Dpi);
    }
    if (!(height >= 0.5) || height > MaxPrintSide)
        Refuse("A bar height of " + Dots(height, o.Dpi) + ": it must be 1 to " +
               std::to_string(MaxPrintSide) + " dots.");
    return WholeDots(height);
}

// The symbol measured at geometry g, into l; refused when the picture would
// be too large.
void MeasurePicture(TPrintLayout& l, const TSymbolGeometry& g, TCanvas& measure) {
    const TSymbolExtent e =
        MeasureBarcodeAtModule(l.Code, l.Type, measure, g, l.Font, l.ShowText, l.UseCheckSum);
    l.Geometry = e.Geometry;
    l.Width = e.Width;
    l.Height = e.Height;
    const std::optional<TBCdata> row = BarcodeTypeRow(l.Type);
    l.TextTop = g.BarHeight + 2 * (row ? row->Frame : 0) * g.Module + g.TextGap;
    if (l.Width > MaxPrintSide || l.Height > MaxPrintSide ||
        std::int64_t(l.Width) * l.Height > MaxPrintPixels)
        Refuse("The picture would be " + std::to_string(l.Width) + " x " +
               std::to_string(l.Height) + " dots; it may be at most " +
               std::to_string(MaxPrintSide) + " each way and " + std::to_string(MaxPrintPixels) +
               " dots in all.");
}

} // namespace

TPrintLayout LayoutPrintPicture(const std::u16string& code, TBarcodeType type,
                                const TPrintOptions& o, TCanvas& measure) {
    if (o.Dpi < 1) Refuse("The resolution must be at least 1 dpi.");
    TPrintLayout l = LayoutOfOptions(code, type, o);
    TSymbolGeometry g;
    g.Module = LayOutXDimension(l, o);
    l.Font = PrintFont(o, type, l.XDots);
    g.TextGap = TextGapDots(o, l.XDots);
    const TPatternSides sides = PatternSides(code, type, o.UseCheckSum, g.Module);
    if (!o.NoQuietZone) SetQuietZones(g, o, type, l.XDots, sides);
    if (o.QuietZoneMarks && o.ShowText) AddQuietZoneMarks(l, g, sides.AddOn, measure);
    g.BarHeight = BarHeightDots(l, g, o, measure);
    MeasurePicture(l, g, measure);
    return l;
}

void DrawPrintPicture(TCanvas& canvas, const TPrintLayout& l) {
    DrawBarcodeAtModule(l.Code, l.Type, canvas, 0, 0, l.Geometry, l.Font, l.ShowText,
                        l.UseCheckSum);
    if (l.MarkLeft.empty() && l.MarkRight.empty()) return;
    const TFont font = canvas.Font;
    const TBrush brush = canvas.Brush;
    canvas.Font = l.Font;
    canvas.Brush.Style = TBrushStyle::bsClear;
    // The marks' points stand on the quiet zones' outer edges.
    if (!l.MarkLeft.empty()) canvas.TextOut(0, l.TextTop, l.MarkLeft);
    if (!l.MarkRight.empty())
        canvas.TextOut(l.Width - canvas.TextWidth(l.MarkRight), l.TextTop, l.MarkRight);
    canvas.Font = font;
    canvas.Brush = brush;
}

void ColourPicture(TBitmap& bitmap, TRgba fg, TRgba bg) {
    if (fg == RgbaBlack && bg == RgbaWhite) return;
    // One colour per coverage: the foreground's share a of the pixel over the background.
    std::array<TPixel, 256> colours{};
    const double fa = AlphaOf(fg) / 255.0, ba = AlphaOf(bg) / 255.0;
    for (int cover = 0; cover < 256; ++cover) {
        const double f = fa * cover / 255.0;
        const double b = ba * (1.0 - f);
        const double a = f + b;
        TPixel p = 0;
        if (a > 0)
            for (int shift : {16, 8, 0}) {
                const double c = ((fg >> shift & 0xFF) * f + (bg >> shift & 0xFF) * b) / a;
                p |= TPixel(std::lround(c)) << shift;
            }
        colours[std::size_t(cover)] = p | TPixel(std::lround(a * 255.0)) << 24;
    }
    for (int y = 0; y < bitmap.Height(); ++y) {
        TPixel* row = bitmap.Row(y);
        for (int x = 0; x < bitmap.Width(); ++x)
            row[x] = colours[255 - (row[x] >> 8 & 0xFF)];
    }
}

TBitmap TurnedBitmap(const TBitmap& b, int quarterTurns) {
    const int turns = ((quarterTurns % 4) + 4) % 4;
    if (turns == 0) return b;
    const int w = b.Width(), h = b.Height();
    TBitmap out = turns == 2 ? TBitmap(w, h) : TBitmap(h, w);
    for (int y = 0; y < h; ++y) {
        const TPixel* row = b.Row(y);
        for (int x = 0; x < w; ++x) {
            // Clockwise: (x, y) goes to (h - 1 - y, x) for a quarter turn.
            if (turns == 1)
                out.At(h - 1 - y, x) = row[x];
            else if (turns == 2)
                out.At(w - 1 - x, h - 1 - y) = row[x];
            else
                out.At(y, w - 1 - x) = row[x];
        }
    }
    return out;
}

TBitmap PrintBitmap(const TPrintLayout& l) {
    TBitmap bitmap(l.Width, l.Height, PixelWhite);
    {
        TRasterCanvas canvas(bitmap);
        DrawPrintPicture(canvas, l);
    }
    ColourPicture(bitmap, l.Foreground, l.Background);
    return TurnedBitmap(bitmap, l.QuarterTurns);
}

int DrawnXDots(const TPrintOptions& o, TBarcodeType type) {
    const int perX = ModulesPerX(type);
    return WholeDots(LengthInDots(o.XDim, o.Dpi) / perX) * perX;
}

std::string XDimDeviation(const TPrintOptions& o, TBarcodeType type) {
    const double asked = LengthInDots(o.XDim, o.Dpi);
    const int drawn = DrawnXDots(o, type);
    const double off = (drawn - asked) / asked;
    if (!(asked > 0) || std::abs(off) <= 0.05) return {};
    char s[200];
    std::snprintf(s, sizeof s,
                  "the X-dimension drawn is %.3g mm (%d dot%s at %d dpi), %+.0f %% from the %.3g "
                  "mm asked",
                  DotsInMillimetres(drawn, o.Dpi), drawn, drawn == 1 ? "" : "s", o.Dpi, off * 100,
                  DotsInMillimetres(asked, o.Dpi));
    return s;
}

#include "ZoBarcode.h"

#include <algorithm>
#include <cmath>

#include "Rounding.h"

namespace {

bool IsEanUpcType(TBarcodeType t) {
    return t >= bcCodeEAN8 && t <= bcCodeUPC_E1;
}

// round(w * 0.15) and round(w * 0.1) with halves to even
int Percent(int w, int percent) {
    return static_cast<int>(RoundHalfEvenDiv(static_cast<std::int64_t>(w) * percent, 100));
}

std::u16string TrimBlanks(const std::u16string& s) {
    std::size_t first = 0;
    std::size_t last = s.size();
    while (first < last && s[first] <= u' ')
        ++first;
    while (last > first && s[last - 1] <= u' ')
        --last;
    return s.substr(first, last - first);
}

// Copy(s, first, len) with a 1-based first and out-of-range parts cut off.
std::u16string Piece(const std::u16string& s, int first, int len) {
    if (first < 1) first = 1;
    if (len <= 0 || static_cast<std::size_t>(first) > s.size()) return {};
    return s.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(len));
}

// Pattern positions (1-based, inclusive ranges) of the guard bars that reach into the text band.
struct GuardRange {
    int from, to;
};

std::vector<GuardRange> GuardBars(TBarcodeType t) {
    switch (t) {
    case bcCodeEAN8:
        return {{1, 3}, {20, 24}, {41, 43}};
    case bcCodeEAN13:
        return {{1, 3}, {28, 32}, {57, 59}};
    case bcCodeUPC_A:
        return {{1, 7}, {28, 32}, {53, 59}};
    case bcCodeUPC_E0:
    case bcCodeUPC_E1:
        return {{1, 3}, {28, 33}};
    default:
        return {};
    }
}

// Puts the caller's font, pen and brush back on every path out of a drawing.
class CanvasStateGuard {
public:
    explicit CanvasStateGuard(TCanvas& c) : canvas(c), font(c.Font), pen(c.Pen), brush(c.Brush) {}
    ~CanvasStateGuard() {
        canvas.Font = font;
        canvas.Pen = pen;
        canvas.Brush = brush;
    }
    CanvasStateGuard(const CanvasStateGuard&) = delete;
    CanvasStateGuard& operator=(const CanvasStateGuard&) = delete;

private:
    TCanvas& canvas;
    TFont font;
    TPen pen;
    TBrush brush;
};

} // namespace

TZoBarcode::TZoBarcode() {
    FShowTextFont.Name = u"Arial";
    FShowTextFont.Size = 8;
}

void TZoBarcode::Assign(const TZoBarcode& source) {
    FHeight = source.FHeight;
    FBarCode = source.FBarCode;
    FTop = source.FTop;
    FLeft = source.FLeft;
    FModul = source.FModul;
    FRatio = source.FRatio;
    FBarCodeType = source.FBarCodeType;
    FShowText = source.FShowText;
    FShowTextPosition = source.FShowTextPosition;
    FColor = source.FColor;
    FColorBar = source.FColorBar;
}

void TZoBarcode::SetModul(int v) {
    if (v >= 1 && v <= MaxModul) FModul = v;
}

void TZoBarcode::ComputeModules() {
    auto clamp = [this](double low) {
        if (!(FRatio >= low)) FRatio = low; // also catches NaN
        if (FRatio > 3.0) FRatio = 3.0;
    };
    switch (FBarCodeType) {
    case bcCode_2_5_interleaved:
    case bcCode_2_5_industrial:
    case bcCode39:
    case bcCode39Extended:
    case bcCodeCodabar:
    case bcCodeEAN8:
    case bcCodeEAN13:
    case bcCodeUPC_A:
    case bcCodeUPC_E0:
    case bcCodeUPC_E1:
    case bcCodeUPC_Supp2:
    case bcCodeUPC_Supp5:
        clamp(2.0);
        break;
    case bcCode_2_5_matrix:
        clamp(2.25);
        break;
    default:
        break;
    }
    // Unclamped types take any ratio; keep the wide class a sane, non-negative pixel count.
    double wide = std::nearbyint(static_cast<double>(FModul) * FRatio);
    if (!(wide >= 0.0)) wide = 0.0;
    wide = std::min(wide, 1.0e6);
    modules[0] = FModul;
    modules[1] = static_cast<int>(wide);
    modules[2] = modules[1] * 3 / 2;
    modules[3] = modules[1] * 2;
}

std::u16string TZoBarcode::BuildPattern() {
    BCText = FBarCode;
    ComputeModules();
    if (FBarCodeType < BarcodeTypeTable.size() && BarcodeTypeTable[FBarCodeType].num) {
        BCText = TrimBlanks(FBarCode);
        for (char16_t c : BCText)
            if (c < u'0' || c > u'9') throw EBarcodeError("Barcode must be numeric");
    }
    if (FBarCodeType > bcCodeEAN128C)
        throw EBarcodeError(FormatMessage("%s: wrong BarcodeType", {ClassName}));

    switch (FBarCodeType) {
    case bcCode_2_5_interleaved:
        return Code_2_5_interleaved();
    case bcCode_2_5_industrial:
        return Code_2_5_industrial();
    case bcCode_2_5_matrix:
        return Code_2_5_matrix();
    case bcCode39:
        return Code_39();
    case bcCode39Extended:
        return Code_39Extended();
    case bcCode128A:
    case bcCode128B:
    case bcCode128C:
    case bcCodeEAN128A:
    case bcCodeEAN128B:
    case bcCodeEAN128C:
        return Code_128();
    case bcCode93:
        return Code_93();
    case bcCode93Extended:
        return Code_93Extended();
    case bcCodeMSI:
        return Code_MSI();
    case bcCodePostNet:
        return Code_PostNet();
    case bcCodeCodabar:
        return Code_Codabar();
    case bcCodeEAN8:
        return Code_EAN8();
    case bcCodeEAN13:
        return Code_EAN13();
    case bcCodeUPC_A:
        return Code_UPC_A();
    case bcCodeUPC_E0:
        return Code_UPC_E0();
    case bcCodeUPC_E1:
        return Code_UPC_E1();
    case bcCodeUPC_Supp2:
        return Code_Supp2();
    case bcCodeUPC_Supp5:
        return Code_Supp5();
    default:
        break;
    }
    throw EBarcodeError(FormatMessage("%s: wrong BarcodeType", {ClassName}));
}

std::pair<int, TBarKind> TZoBarcode::DecodePatternChar(char16_t c) const {
    if (c >= u'0' && c <= u'3') return {modules[c - u'0'], bkSpace};
    if (c >= u'5' && c <= u'8') return {modules[c - u'5'], bkBar};
    if (c >= u'A' && c <= u'D') return {modules[c - u'A'], bkShortBar};
    throw EBarcodeError(FormatMessage("%s: internal Error", {ClassName}));
}

int TZoBarcode::PatternWidth(const std::u16string& pattern, std::size_t count) const {
    int w = 0;
    for (std::size_t i = 0; i < count && i < pattern.size(); ++i)
        w += DecodePatternChar(pattern[i]).first;
    return w;
}

bool TZoBarcode::HasLeadIn() const {
    return FShowText && IsEanUpcType(FBarCodeType);
}

int TZoBarcode::WidthOf(const std::u16string& pattern) {
    int w = PatternWidth(pattern, pattern.size());
    if (HasLeadIn()) w += Percent(w, 15);
    if (FShowText && (FBarCodeType == bcCodeUPC_A || FBarCodeType == bcCodeUPC_E0 ||
                      FBarCodeType == bcCodeUPC_E1))
        w += Percent(w, 10);
    return w;
}

int TZoBarcode::GetWidth() {
    return WidthOf(BuildPattern());
}

int TZoBarcode::WidthUpTo(int n) {
    const std::u16string pattern = BuildPattern();
    int x = n <= 0 ? 0 : PatternWidth(pattern, static_cast<std::size_t>(n));
    if (HasLeadIn()) x += Percent(GetWidth(), 10);
    return x;
}

void TZoBarcode::SetWidth(int v) {
    FModul = 1;
    while (GetWidth() < v) {
        // No module is tried beyond what SetModul accepts; a symbol too narrow even
        // then keeps the widest module (a pattern of zero width would otherwise never end).
        if (FModul == MaxModul) return;
        ++FModul;
    }
    if (FModul > 1) --FModul;
}

void TZoBarcode::DrawBarcode(TCanvas& canvas) {
    const std::u16string pattern = BuildPattern();
    const int w = WidthOf(pattern);
    CanvasStateGuard keep(canvas);
    PrepareTextFont(canvas, FAutoFontSize, w);
    if (FShowText) DrawCodeText(canvas, w);
    DrawBars(pattern, canvas, w);
}

void TZoBarcode::PrepareTextFont(TCanvas& canvas, bool autoSize, int w) {
    const TFont saved = canvas.Font;
    canvas.Font = FShowTextFont;
    if (autoSize) {
        canvas.Font.Size = 2;
        // An empty text never reaches the symbol's width: it keeps the smallest size.
        while (!BCText.empty() && canvas.TextWidth(BCText) < w &&
               canvas.Font.Size < MaxAutoFontSize)
            ++canvas.Font.Size;
        if (FBarCodeType == bcCodeEAN8 || FBarCodeType == bcCodeUPC_A)
            canvas.Font.Size = canvas.Font.Size * 65 / 100;
        else
            canvas.Font.Size = canvas.Font.Size * 3 / 4;
        if (2 * canvas.TextHeight(u"8") > FHeight) canvas.Font.Size = canvas.Font.Size / 2;
        FShowTextFont = canvas.Font;
    }
    ShowTextH1 = canvas.TextHeight(u"8");
    canvas.Font = saved;
}

void TZoBarcode::DrawCodeText(TCanvas& canvas, int w) {
    canvas.Font = FShowTextFont;
    canvas.Pen.Color = FShowTextFont.Color;
    canvas.Brush.Color = clWhite;

    const int l = FLeft;
    int x = l;
    switch (FShowTextPosition) {
    case stpTopRight:
    case stpBottomRight:
        x = l + w - canvas.TextWidth(BCText);
        break;
    case stpTopCenter:
    case stpBottomCenter:
        x = l + (w - canvas.TextWidth(BCText)) / 2;
        break;
    default:
        break;
    }
    const bool top = FShowTextPosition <= stpTopCenter;
    const int y = top ? FTop : FTop + FHeight - canvas.TextHeight(BCText);

    auto at = [&](int first, int len, int n) {
        canvas.TextOut(l + WidthUpTo(n) + 1, y, Piece(BCText, first, len));
    };
    switch (FBarCodeType) {
    case bcCodeEAN8:
        at(1, 4, 3);
        at(5, 4, 23);
        break;
    case bcCodeEAN13:
        canvas.TextOut(l + 1, y, Piece(BCText, 1, 1));
        at(2, 6, 3);
        at(8, 6, 31);
        break;
    case bcCodeUPC_A:
        canvas.TextOut(l + 1, y, Piece(BCText, 1, 1));
        at(2, 5, 7);
        at(7, 5, 32);
        at(12, 1, 59);
        break;
    case bcCodeUPC_E0:
    case bcCodeUPC_E1:
        canvas.TextOut(l + 1, y, Piece(BCText, 1, 1));
        at(2, 6, 4);
        at(8, 1, 34);
        break;
    default:
        canvas.TextOut(x, y, BCText);
        break;
    }
}

void TZoBarcode::DrawBars(const std::u16string& pattern, TCanvas& canvas, int w) {
    int x = HasLeadIn() ? Percent(w, 10) : 0;
    canvas.Pen.Width = 1;
    const std::vector<GuardRange> guards = GuardBars(FBarCodeType);
    const int h = FHeight - (FShowText ? ShowTextH1 : 0);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const auto [width, kind] = DecodePatternChar(pattern[i]);
        const TColor color = kind == bkSpace ? FColor : FColorBar;
        canvas.Pen.Color = color;
        canvas.Brush.Color = color;
        const int x1 = FLeft + x;
        const int y1 = kind == bkShortBar ? FTop + h / 2 : FTop;
        int y2 = FTop + h - 1;
        const int pos = static_cast<int>(i) + 1;
        for (const GuardRange& g : guards)
            if (pos >= g.from && pos <= g.to) y2 += ShowTextH1 / 2;
        const int x2 = x1 + width - 1;
        // A zero-width element (possible with a small ratio) covers no column at all.
        if (width > 0) canvas.Polygon({{x1, y1}, {x1, y2}, {x2, y2}, {x2, y1}});
        x += width;
    }
}

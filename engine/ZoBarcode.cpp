#include "engine/ZoBarcode.h"

#include <algorithm>
#include <cmath>

#include "engine/Rounding.h"

namespace {

// round(w * percent / 100) with halves to even
std::int64_t Percent(std::int64_t w, int percent) {
    return RoundHalfEvenDiv(w * percent, 100);
}

// Copy(s, first, len) with a 1-based first and out-of-range parts cut off.
std::u16string Piece(const std::u16string& s, int first, int len) {
    if (first < 1) first = 1;
    if (len <= 0 || static_cast<std::size_t>(first) > s.size()) return {};
    return s.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(len));
}

// Digits only, checked after trimming; an add-on's "+" once where the type
// takes one; GS1 data in brackets, where the type takes it, is its encoder's
// to check.
bool IsNumericText(const std::u16string& s, TTextSyntax syntax) {
    if (syntax == tsGs1 && !s.empty() && (s[0] == u'(' || s[0] == u'[')) return true;
    bool plus = false;
    for (char16_t c : s) {
        if (c == u'+' && syntax == tsAddOn && !plus) {
            plus = true;
            continue;
        }
        if (c < u'0' || c > u'9') return false;
    }
    return true;
}

// A width the canvas can take, or the refusal of a symbol too wide for any picture.
int CheckedWidth(std::int64_t w) {
    if (w > TZoBarcode::MaxWidth)
        throw EBarcodeError(FormatMessage(
            "%s: the symbol would be %s pixels wide; a picture holds at most %s.",
            {TZoBarcode::ClassName, std::to_string(w), std::to_string(TZoBarcode::MaxWidth)}));
    return static_cast<int>(w);
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

void TZoBarcode::SetQuietZones(int left, int right) {
    const bool on = left >= 0 && right >= 0;
    FQuietLeft = on ? left : -1;
    FQuietRight = on ? right : -1;
}

void TZoBarcode::SetModul(int v) {
    if (v >= 1 && v <= MaxModul) FModul = v;
}

void TZoBarcode::ComputeModules(const TRatioClamp& clamp) {
    if (clamp.Low > 0.0) {
        if (!(FRatio >= clamp.Low)) FRatio = clamp.Low; // also catches NaN
        if (FRatio > clamp.High) FRatio = clamp.High;
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
    Gs1Elements.clear();
    AddOn.clear();
    FAddOnFrom = 0;
    const std::optional<TBCdata> row = BarcodeTypeRow(FBarCodeType);
    ComputeModules(row ? row->Ratio : TRatioClamp{});
    if (row && row->num) {
        BCText = TrimmedCode(FBarCode);
        if (!IsNumericText(BCText, row->Syntax)) throw EBarcodeError("Barcode must be numeric");
    }
    if (!row || !row->Encoder)
        throw EBarcodeError(FormatMessage("%s: wrong BarcodeType", {ClassName}));
    // Trimmed to nothing, a code of digits would be drawn as zeros (the EAN and
    // UPC encoders pad it) or as a symbol that carries nothing.
    if (row->num && BCText.empty())
        throw EBarcodeError(
            FormatMessage("The code holds only blanks, and %s takes digits", {ToUtf8(row->Name)}));
    if (row->Syntax == tsAddOn) return WithAddOn(row->Encoder);
    return (this->*row->Encoder)();
}

std::pair<int, TBarKind> TZoBarcode::DecodePatternChar(char16_t c) const {
    if (c >= u'0' && c <= u'3') return {modules[c - u'0'], bkSpace};
    if (c >= u'5' && c <= u'8') return {modules[c - u'5'], bkBar};
    if (c >= u'A' && c <= u'D') return {modules[c - u'A'], bkShortBar};
    throw EBarcodeError(FormatMessage("%s: internal Error", {ClassName}));
}

std::int64_t TZoBarcode::PatternWidth(const std::u16string& pattern, std::size_t count) const {
    std::int64_t w = 0;
    for (std::size_t i = 0; i < count && i < pattern.size(); ++i)
        w += DecodePatternChar(pattern[i]).first;
    return w;
}

const TTextLayout* TZoBarcode::TextLayout() const {
    const std::optional<TBCdata> row = BarcodeTypeRow(FBarCodeType);
    return row ? row->Text : nullptr;
}

bool TZoBarcode::HasLeadIn() const {
    return FShowText && TextLayout() != nullptr;
}

int TZoBarcode::FrameWidth() const {
    const std::optional<TBCdata> row = BarcodeTypeRow(FBarCodeType);
    return row ? row->Frame * FModul : 0;
}

int TZoBarcode::LeadIn(int w) const {
    if (ExplicitQuietZones()) return FQuietLeft;
    return HasLeadIn() ? static_cast<int>(Percent(w, 10)) : 0;
}

std::int64_t TZoBarcode::FullWidth(const std::u16string& pattern) const {
    std::int64_t w = PatternWidth(pattern, pattern.size());
    if (ExplicitQuietZones()) return w + std::int64_t(FQuietLeft) + FQuietRight + 2 * FrameWidth();
    if (HasLeadIn()) {
        w += Percent(w, 15);
        // An add-on stands where the digit right of the bars would want room.
        if (TextLayout()->RightAllowance && FAddOnFrom == 0)
            w += Percent(w, 10); // computed on the widened w
    }
    return w + 2 * FrameWidth();
}

int TZoBarcode::GetWidth() {
    return CheckedWidth(FullWidth(BuildPattern()));
}

int TZoBarcode::WidthUpTo(int n) {
    const std::u16string pattern = BuildPattern();
    std::int64_t x = n <= 0 ? 0 : PatternWidth(pattern, static_cast<std::size_t>(n));
    if (ExplicitQuietZones())
        x += FQuietLeft;
    else if (HasLeadIn())
        x += Percent(CheckedWidth(FullWidth(pattern)), 10); // GetWidth without building again
    return CheckedWidth(x + FrameWidth());
}

void TZoBarcode::SetWidth(int v) {
    FModul = 1;
    // The pattern does not depend on the module: built once, only the widths
    // are worked out again for every module tried.
    const std::u16string pattern = BuildPattern();
    const std::optional<TBCdata> row = BarcodeTypeRow(FBarCodeType);
    // A module at which the symbol is too wide to draw ends the search like any
    // module that reaches v: the one below it is taken.
    while (FullWidth(pattern) < v) {
        // No module is tried beyond what SetModul accepts; a symbol too narrow even
        // then keeps the widest module (a pattern of zero width would otherwise never end).
        if (FModul == MaxModul) return;
        ++FModul;
        ComputeModules(row ? row->Ratio : TRatioClamp{});
    }
    if (FModul > 1) --FModul;
}

void TZoBarcode::DrawBarcode(TCanvas& canvas) {
    const std::u16string pattern = BuildPattern();
    const int w = CheckedWidth(FullWidth(pattern));
    CanvasStateGuard keep(canvas);
    const bool textFits = PrepareTextFont(canvas, FAutoFontSize, w);
    // A text with no room left is not drawn, as if it were hidden: the bars must
    // keep a positive height inside the box, or they are painted upwards out of it.
    const bool text = FShowText && textFits;
    if (text) DrawCodeText(canvas, w);
    DrawBars(pattern, canvas, w, text);
    if (FrameWidth() > 0) DrawFrame(canvas, w);
}

bool TZoBarcode::PrepareTextFont(TCanvas& canvas, bool autoSize, int w) {
    const TFont saved = canvas.Font;
    canvas.Font = FShowTextFont;
    if (autoSize) {
        canvas.Font.Size = 2;
        // An empty text never reaches the symbol's width: it keeps the smallest size.
        while (!BCText.empty() && canvas.TextWidth(BCText) < w &&
               canvas.Font.Size < MaxAutoFontSize)
            ++canvas.Font.Size;
        const TTextLayout* layout = TextLayout();
        canvas.Font.Size = canvas.Font.Size * (layout ? layout->AutoFontPercent : 75) / 100;
        if (2 * canvas.TextHeight(u"8") > FHeight) canvas.Font.Size = canvas.Font.Size / 2;
        // A shown text may take at most half the box: the bars are what a
        // scanner reads, and below half the height the picture is mostly text.
        // The size grew until the text was as wide as the symbol, so a code of
        // one or two characters starts many times taller than a low box, and the
        // one halving above left its bars a negative height. Every size that one
        // halving brought within half stays as it was. A hidden text keeps that
        // size: it only sets how far the long guard bars reach below the box.
        while (FShowText && 2 * canvas.TextHeight(u"8") > FHeight && canvas.Font.Size > 0)
            canvas.Font.Size = canvas.Font.Size / 2;
        FShowTextFont = canvas.Font;
    }
    ShowTextH1 = canvas.TextHeight(u"8");
    // A box only a few pixels high takes no text even at the smallest size; a
    // font of the caller's own size keeps its text as long as a bar row is left.
    const bool fits = autoSize ? 2 * ShowTextH1 <= FHeight : ShowTextH1 < FHeight;
    canvas.Font = saved;
    return fits;
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

    const TTextLayout* layout = TextLayout();
    if (!layout) {
        canvas.TextOut(x, y, BCText);
        return;
    }
    for (std::size_t i = 0; i < layout->PieceCount; ++i) {
        const TTextPiece& p = layout->Pieces[i];
        const std::u16string piece = Piece(BCText, p.First, p.Length);
        int at = l + WidthUpTo(p.After) + 1;
        if (p.After == TTextPiece::LeftOfTheBars)
            // In quiet zones of the caller's a module off the bars, as printed labels have it.
            at = ExplicitQuietZones()
                     ? std::max(l, l + FQuietLeft - FModul - canvas.TextWidth(piece))
                     : l + 1;
        canvas.TextOut(at, y, piece);
    }
    // An add-on's digits stand above its bars, centred over them.
    if (FAddOnFrom > 0) {
        const std::u16string addOn = AddOn;
        const int from = WidthUpTo(FAddOnFrom - 1);
        const int to = WidthUpTo(std::numeric_limits<int>::max());
        canvas.TextOut(l + from + (to - from - canvas.TextWidth(addOn)) / 2, FTop, addOn);
    }
}

void TZoBarcode::DrawBars(const std::u16string& pattern, TCanvas& canvas, int w, bool text) {
    const int frame = FrameWidth();
    int x = LeadIn(w) + frame;
    canvas.Pen.Width = 1;
    const TTextLayout* layout = TextLayout();
    const std::size_t longBars = layout ? layout->LongBarCount : 0;
    const int gap = text ? FTextGap : 0;
    const int h = FHeight - (text ? ShowTextH1 + gap : 0);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const auto [width, kind] = DecodePatternChar(pattern[i]);
        const TColor color = kind == bkSpace ? FColor : FColorBar;
        canvas.Pen.Color = color;
        canvas.Brush.Color = color;
        const int x1 = FLeft + x;
        int y1 = kind == bkShortBar ? FTop + h / 2 : FTop + frame;
        int y2 = FTop + h - 1 - frame;
        const int pos = static_cast<int>(i) + 1;
        for (std::size_t g = 0; g < longBars; ++g)
            if (pos >= layout->LongBars[g].From && pos <= layout->LongBars[g].To)
                y2 += gap + ShowTextH1 / 2;
        // An add-on leaves its text room above and reaches as low as the guards.
        if (FAddOnFrom > 0 && pos >= FAddOnFrom) {
            y1 = FTop + (text ? ShowTextH1 : 0);
            y2 = FTop + h - 1 + gap + ShowTextH1 / 2;
        }
        const int x2 = x1 + width - 1;
        // A zero-width element (possible with a small ratio) covers no column at all.
        if (width > 0) canvas.Polygon({{x1, y1}, {x1, y2}, {x2, y2}, {x2, y1}});
        x += width;
    }
}

void TZoBarcode::DrawFrame(TCanvas& canvas, int w) {
    // Bearer bars all round the bars and their quiet zones, the text outside.
    const int f = FrameWidth();
    const int h = FHeight - (FShowText ? ShowTextH1 + FTextGap : 0);
    const int left = FLeft + (ExplicitQuietZones() ? FQuietLeft : 0);
    const int right = FLeft + w - 1 - (ExplicitQuietZones() ? FQuietRight : 0);
    const int top = FTop;
    const int bottom = FTop + h - 1;
    canvas.Pen.Color = FColorBar;
    canvas.Brush.Color = FColorBar;
    auto box = [&canvas](int x1, int y1, int x2, int y2) {
        if (x2 >= x1 && y2 >= y1) canvas.Polygon({{x1, y1}, {x1, y2}, {x2, y2}, {x2, y1}});
    };
    box(left, top, right, top + f - 1);
    box(left, bottom - f + 1, right, bottom);
    box(left, top + f, left + f - 1, bottom - f);
    box(right - f + 1, top + f, right, bottom - f);
}

#include "engine/ZoBarCode_interface.h"

#include "engine/ZoBarcode.h"

std::optional<TBCdata> BarcodeTypeRow(TBarcodeType type) {
    if (type >= BarcodeTypeTable.size()) return std::nullopt;
    return BarcodeTypeTable[type];
}

int FillBarcodeTypeNames(std::vector<std::u16string>& list, bool withUndefined) {
    list.clear();
    // The window's list ends with the design's types: later ones are not offered there.
    for (std::size_t i = 0; i <= bcTypeUndefined; ++i)
        if (withUndefined || i != bcTypeUndefined) list.emplace_back(BarcodeTypeTable[i].Name);
    return static_cast<int>(list.size());
}

std::vector<TBarcodeType> EncodableBarcodeTypes() {
    std::vector<TBarcodeType> types;
    for (const TBCdata& row : BarcodeTypeTable)
        if (row.Encoder) types.push_back(row.Type);
    return types;
}

std::vector<std::u16string> BarcodeTypeAliases(TBarcodeType type) {
    const std::optional<TBCdata> row = BarcodeTypeRow(type);
    std::vector<std::u16string> names;
    if (!row) return names;
    const std::u16string_view all = row->Aliases;
    std::size_t from = 0;
    while (from < all.size()) {
        std::size_t to = all.find(u' ', from);
        if (to == std::u16string_view::npos) to = all.size();
        if (to > from) names.emplace_back(all.substr(from, to - from));
        from = to + 1;
    }
    return names;
}

std::u16string BarcodeTypeName(TBarcodeType type) {
    const std::optional<TBCdata> row = BarcodeTypeRow(type);
    return row ? row->Name : u"";
}

std::u16string TrimmedCode(std::u16string_view text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && text[first] <= u' ')
        ++first;
    while (last > first && text[last - 1] <= u' ')
        --last;
    return std::u16string(text.substr(first, last - first));
}

int DigitsWithCheckDigit(TBarcodeType type) {
    const std::optional<TBCdata> row = BarcodeTypeRow(type);
    return row && row->Check == ccOptional && row->Text ? row->Text->Digits : 0;
}

void DrawBarcodeInRect(const std::u16string& text, TBarcodeType type, TCanvas& canvas, TRect& rect,
                       int& module, const TFont& font, bool autoFontSize, bool showText,
                       TShowTextPosition textPosition, bool useCheckSum) {
    TZoBarcode bc;
    bc.SetBarCode(text);
    bc.SetBarCodeType(type);
    bc.SetUseCheckSum(useCheckSum);
    bc.SetShowText(showText);
    bc.SetShowTextFont(font);
    bc.SetAutoFontSize(autoFontSize);
    bc.SetShowTextPosition(textPosition);
    if (module != 0)
        bc.SetModul(module);
    else
        module = bc.Modul();
    bc.SetTop(rect.Top);
    bc.SetLeft(rect.Left);
    bc.SetHeight(rect.Bottom - rect.Top);
    // The fit decides the module used for drawing, whatever the argument asked for.
    bc.SetWidth(rect.Right - rect.Left);
    const int width = bc.GetWidth();
    rect.Right = rect.Left + width;
    bc.DrawBarcode(canvas);
}

namespace {

int FrameOf(TBarcodeType type) {
    const std::optional<TBCdata> row = BarcodeTypeRow(type);
    return row ? row->Frame : 0;
}

void SetUpAtModule(TZoBarcode& bc, const std::u16string& text, TBarcodeType type,
                   const TSymbolGeometry& g, const TFont& font, bool showText, bool useCheckSum,
                   int textLine) {
    if (g.Module < 1 || g.Module > TZoBarcode::MaxModul)
        throw EBarcodeError(
            FormatMessage("A module of %s pixels: the engine draws 1 to %s.",
                          {std::to_string(g.Module), std::to_string(TZoBarcode::MaxModul)}));
    bc.SetBarCode(text);
    bc.SetBarCodeType(type);
    bc.SetUseCheckSum(useCheckSum);
    bc.SetShowText(showText);
    bc.SetShowTextFont(font);
    bc.SetAutoFontSize(false);
    bc.SetShowTextPosition(stpBottomCenter);
    bc.SetModul(g.Module);
    bc.SetQuietZones(std::max(g.QuietLeft, 0), std::max(g.QuietRight, 0));
    bc.SetTextGap(g.TextGap);
    bc.SetHeight(std::max(g.BarHeight, 1) + 2 * FrameOf(type) * g.Module +
                 (showText ? bc.TextGap() + textLine : 0));
}

int TextLineOf(TCanvas& canvas, const TFont& font) {
    const TFont saved = canvas.Font;
    canvas.Font = font;
    const int h = canvas.TextHeight(u"8");
    canvas.Font = saved;
    return h;
}

} // namespace

TSymbolExtent MeasureBarcodeAtModule(const std::u16string& text, TBarcodeType type, TCanvas& canvas,
                                     const TSymbolGeometry& geometry, const TFont& font,
                                     bool showText, bool useCheckSum) {
    TSymbolExtent e;
    e.Geometry = geometry;
    e.Geometry.QuietLeft = std::max(geometry.QuietLeft, 0);
    e.Geometry.QuietRight = std::max(geometry.QuietRight, 0);
    e.Geometry.TextGap = std::max(geometry.TextGap, 0);
    e.Geometry.BarHeight = std::max(geometry.BarHeight, 1);
    e.TextLine = TextLineOf(canvas, font);
    TZoBarcode bc;
    SetUpAtModule(bc, text, type, e.Geometry, font, showText, useCheckSum, e.TextLine);
    const std::int64_t barsWidth = std::int64_t(bc.GetWidth()) - e.Geometry.QuietLeft -
                                   e.Geometry.QuietRight; // bearer bars included
    const std::optional<TBCdata> row = BarcodeTypeRow(type);
    const TTextLayout* layout = row ? row->Text : nullptr;
    if (showText) {
        const TFont saved = canvas.Font;
        canvas.Font = font;
        if (layout) {
            for (std::size_t i = 0; i < layout->PieceCount; ++i) {
                const TTextPiece& p = layout->Pieces[i];
                const std::u16string piece = bc.BCText.substr(
                    std::min(bc.BCText.size(), std::size_t(p.First - 1)), std::size_t(p.Length));
                const int room = canvas.TextWidth(piece) + geometry.Module;
                if (p.After == TTextPiece::LeftOfTheBars)
                    e.Geometry.QuietLeft = std::max(e.Geometry.QuietLeft, room);
                else if (bc.AddOn.empty() &&
                         bc.WidthUpTo(p.After) - e.Geometry.QuietLeft >= barsWidth)
                    e.Geometry.QuietRight = std::max(e.Geometry.QuietRight, room);
            }
        } else {
            const std::int64_t over = canvas.TextWidth(bc.BCText) -
                                      (barsWidth + e.Geometry.QuietLeft + e.Geometry.QuietRight);
            if (over > 0) {
                e.Geometry.QuietLeft += int((over + 1) / 2);
                e.Geometry.QuietRight += int((over + 1) / 2);
            }
        }
        canvas.Font = saved;
    }
    SetUpAtModule(bc, text, type, e.Geometry, font, showText, useCheckSum, e.TextLine);
    e.Width = bc.GetWidth();
    e.Height = bc.Height();
    const bool longBars = (layout && layout->LongBarCount > 0) || !bc.AddOn.empty();
    if (!showText && longBars) e.Height += e.TextLine / 2;
    return e;
}

void DrawBarcodeAtModule(const std::u16string& text, TBarcodeType type, TCanvas& canvas, int left,
                         int top, const TSymbolGeometry& geometry, const TFont& font, bool showText,
                         bool useCheckSum) {
    TZoBarcode bc;
    SetUpAtModule(bc, text, type, geometry, font, showText, useCheckSum, TextLineOf(canvas, font));
    bc.SetLeft(left);
    bc.SetTop(top);
    bc.DrawBarcode(canvas);
}

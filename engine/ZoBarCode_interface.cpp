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

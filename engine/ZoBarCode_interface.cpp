#include "ZoBarCode_interface.h"

#include "ZoBarcode.h"

const std::array<TBCdata, 24> BarcodeTypeTable = {{
    {u"Code_2_5_interleaved", true},
    {u"Code_2_5_industrial", true},
    {u"Code_2_5_matrix", true},
    {u"Code39", false},
    {u"Code39Extended", false},
    {u"Code128A", false},
    {u"Code128B", false},
    {u"Code128C", true},
    {u"Code93", false},
    {u"Code93Extended", false},
    {u"CodeMSI", true},
    {u"CodePostNet", true},
    {u"CodeCodabar", false},
    {u"CodeEAN8", true},
    {u"CodeEAN13", true},
    {u"CodeUPC_A", true},
    {u"CodeUPC_E0", true},
    {u"CodeUPC_E1", true},
    {u"CodeUPC_Supp2", true},
    {u"CodeUPC_Supp5", true},
    {u"CodeEAN128A", false},
    {u"CodeEAN128B", false},
    {u"CodeEAN128C", true},
    {u"Undefined", true},
}};

int FillBarcodeTypeNames(std::vector<std::u16string>& list, bool withUndefined) {
    list.clear();
    for (std::size_t i = 0; i < BarcodeTypeTable.size(); ++i)
        if (withUndefined || i != bcTypeUndefined) list.emplace_back(BarcodeTypeTable[i].Name);
    return static_cast<int>(list.size());
}

std::u16string BarcodeTypeName(TBarcodeType type) {
    return type < BarcodeTypeTable.size() ? BarcodeTypeTable[type].Name : u"";
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

// EAN-8, EAN-13, UPC-A and UPC-E with a 2- or 5-digit add-on after a "+":
// the main symbol, a gap, and the add-on as the supplements encode it.
#include "symbologies/EanUpc.h"
#include "symbologies/EncoderSupport.h"

namespace {

// The white between the main symbol and its add-on, in modules: 9 is within
// the 7 to 12 of EAN-8 and EAN-13 and the 9 to 12 of UPC-A and UPC-E, and
// readers look for an add-on no further than about 10 modules away
// (ZXing-C++ found none after a gap of 12).
constexpr int AddOnGap = 9;

} // namespace

std::u16string TZoBarcode::WithAddOn(TEncoder main) {
    const std::size_t plus = BCText.find(u'+');
    if (plus == std::u16string::npos) return (this->*main)();
    const std::u16string addOn = BCText.substr(plus + 1);
    // The main encoders pad a short code with zeros: nothing would be drawn as a symbol of zeros.
    if (plus == 0)
        throw EBarcodeError(FormatMessage("%s: no code before the add-on",
                                          {ToUtf8(BarcodeTypeName(BarCodeType()))}));
    if (addOn.size() != 2 && addOn.size() != 5)
        throw EBarcodeError(FormatMessage(
            "%s: an add-on is 2 or 5 digits; \"%s\" has %s",
            {ToUtf8(BarcodeTypeName(BarCodeType())), ToUtf8(addOn), std::to_string(addOn.size())}));
    BCText.resize(plus);
    std::u16string pattern = (this->*main)();
    const std::u16string mainText = BCText;
    BCText = addOn;
    const std::u16string addOnPattern = addOn.size() == 2 ? Code_Supp2() : Code_Supp5();
    // Spaces of one module each, whatever the ratio.
    pattern.append(static_cast<std::size_t>(AddOnGap), u'0');
    FAddOnFrom = static_cast<int>(pattern.size()) + 1;
    AddOn = addOn;
    // As scanners report the pair: the main digits, a blank, the add-on.
    BCText = mainText + u' ' + addOn;
    return pattern + addOnPattern;
}

// ITF-14: a GTIN-14 in interleaved two of five, wide elements 2.5 times the
// narrow ones, quiet zones inside a frame of bearer bars (drawn by the engine
// from the row's Frame).
#include "symbologies/Code25.h"
#include "symbologies/EanUpc.h"
#include "symbologies/EncoderSupport.h"

namespace {

// Each bar and space of the symbol is two elements of the pattern: narrow
// 1 + 1 modules, wide 4 + 1, where the row fixes the ratio at 4. So a wide
// element is exactly 2.5 narrow ones at every module, in whole pixels, and
// the symbol's X is two modules.
constexpr std::u16string_view NarrowBar = u"55";
constexpr std::u16string_view WideBar = u"65";
constexpr std::u16string_view NarrowSpace = u"00";
constexpr std::u16string_view WideSpace = u"10";
// Ten X of white each side, inside the bearer bars: five spaces of 4 modules.
constexpr std::u16string_view QuietZone = u"11111";

} // namespace

std::u16string TZoBarcode::Code_ITF14() {
    std::u16string digits = BCText;
    if (digits.size() == 13) {
        digits = CheckSumModulo10(digits);
    } else if (digits.size() == 14) {
        const int expected = Modulo10CheckDigit(digits.substr(0, 13));
        if (DigitValue(digits.back()) != expected)
            ThrowInvalidCheckDigit("ITF14", expected, digits);
    } else {
        throw EBarcodeError(
            FormatMessage("%s: a GTIN-14 is 13 digits, or 14 with its check digit; \"%s\" has %s",
                          {ToUtf8(BarcodeTypeName(BarCodeType())), ToUtf8(digits),
                           std::to_string(digits.size())}));
    }
    BCText = digits;
    std::u16string pattern(QuietZone);
    for (int i = 0; i < 2; ++i)
        pattern += std::u16string(NarrowBar) + std::u16string(NarrowSpace);
    for (std::size_t k = 0; k < digits.size(); k += 2)
        for (int j = 0; j < 5; ++j) {
            pattern += TwoOfFiveWide(digits[k], j) ? WideBar : NarrowBar;
            pattern += TwoOfFiveWide(digits[k + 1], j) ? WideSpace : NarrowSpace;
        }
    pattern += std::u16string(WideBar) + std::u16string(NarrowSpace) + std::u16string(NarrowBar);
    return pattern + std::u16string(QuietZone);
}

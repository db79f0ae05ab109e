// UPC-E0, UPC-E1 and the 2- and 5-digit supplements.
#include "UpcE.h"

#include "EanUpc.h"
#include "ZoBarcode.h"

const std::array<const char16_t*, 10> UPCEParityTable = {
    u"EEEooo", u"EEoEoo", u"EEooEo", u"EEoooE", u"EoEEoo",
    u"EooEEo", u"EoooEE", u"EoEoEo", u"EoEooE", u"EooEoE",
};

std::u16string ExpandUPC_E(const std::u16string& digits, char16_t ns) {
    const std::u16string s = PadAndCheckLength(digits, 6, false, "UPC_E");
    std::u16string body;
    switch (s[5]) {
    case u'0':
    case u'1':
    case u'2':
        body = s.substr(0, 2) + s[5] + u"0000" + s.substr(2, 3);
        break;
    case u'3':
        body = s.substr(0, 3) + u"00000" + s.substr(3, 2);
        break;
    case u'4':
        body = s.substr(0, 4) + u"00000" + s[4];
        break;
    default:
        body = s.substr(0, 5) + u"0000" + s[5];
        break;
    }
    return PrepareDigits(ns + body, 11, 12, false, true, "UPC_A");
}

int SuppCheckDigit(const std::u16string& digits) {
    int sum = 0;
    bool odd = true; // position 1 is the rightmost digit
    for (auto it = digits.rbegin(); it != digits.rend(); ++it, odd = !odd)
        sum += (*it - u'0') * (odd ? 3 : 9);
    return sum % 10;
}

namespace {

const char16_t* Digit(char16_t parity, char16_t digit, bool evenIsSetB = true) {
    const bool setB = (parity == u'E') == evenIsSetB;
    return EANDigitSets[setB ? EanSetB : EanSetA][digit - u'0'];
}

// ns '1' takes the complementary parities: the same table, sets swapped.
std::u16string EncodeUPC_E(std::u16string& text, char16_t ns, std::string_view typeName) {
    std::u16string digits = text;
    if (digits.size() == 6) digits += ExpandUPC_E(digits, ns)[11];
    digits = PadAndCheckLength(digits, 7, true, typeName);
    const int expected = ExpandUPC_E(digits.substr(0, 6), ns)[11] - u'0';
    if (digits[6] - u'0' != expected) ThrowInvalidCheckDigit(typeName, expected, digits);
    text = ns + digits;

    const char16_t* parity = UPCEParityTable[digits[6] - u'0'];
    std::u16string pattern = u"505";
    for (int i = 0; i < 6; ++i)
        pattern += Digit(parity[i], digits[i], ns == u'0');
    return pattern + u"050505";
}

} // namespace

std::u16string TZoBarcode::Code_UPC_E0() {
    return EncodeUPC_E(BCText, u'0', "UPC_E0");
}

std::u16string TZoBarcode::Code_UPC_E1() {
    return EncodeUPC_E(BCText, u'1', "UPC_E1");
}

std::u16string TZoBarcode::Code_Supp5() {
    BCText = PadAndCheckLength(BCText, 5, true, "UPC_Supp5");
    const char16_t* parity = UPCEParityTable[SuppCheckDigit(BCText)] + 1;
    std::u16string pattern = u"506";
    for (int i = 0; i < 5; ++i) {
        if (i > 0) pattern += u"05";
        pattern += Digit(parity[i], BCText[i]);
    }
    return pattern;
}

std::u16string TZoBarcode::Code_Supp2() {
    BCText = PadAndCheckLength(BCText, 2, true, "UPC_Supp2");
    static constexpr std::array<const char16_t*, 4> Supp2Parity = {u"oo", u"oE", u"Eo", u"EE"};
    const int value = (BCText[0] - u'0') * 10 + (BCText[1] - u'0');
    const char16_t* parity = Supp2Parity[value % 4];
    return u"506" + std::u16string(Digit(parity[0], BCText[0])) + u"05" +
           Digit(parity[1], BCText[1]);
}

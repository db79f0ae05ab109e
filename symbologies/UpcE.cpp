// UPC-E0, UPC-E1 and the 2- and 5-digit supplements.
#include "symbologies/UpcE.h"

#include <algorithm>

#include "symbologies/EanUpc.h"
#include "symbologies/EncoderSupport.h"

constexpr std::array<const char16_t*, 10> UPCEParityTable = {
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
    const int n = UpcALayout.Digits();
    return PrepareDigits(ns + body, n - 1, n, false, true, "UPC_A");
}

int SuppCheckDigit(const std::u16string& digits) {
    int sum = 0;
    bool odd = true; // position 1 is the rightmost digit
    for (auto it = digits.rbegin(); it != digits.rend(); ++it, odd = !odd)
        sum += DigitValue(*it) * (odd ? 3 : 9);
    return sum % 10;
}

namespace {

static_assert(std::all_of(UPCEParityTable.begin(), UPCEParityTable.end(), [](const char16_t* p) {
    const std::u16string_view v = Chars(p);
    return v.size() == 6 && v.find_first_not_of(u"Eo") == std::u16string_view::npos;
}));

// Even parity is set B, odd parity set A, unless the sets are swapped.
int SetOf(char16_t parity, bool swapped = false) {
    return (parity == u'E') != swapped ? EanSetB : EanSetA;
}

// ns '1' takes the complementary parities: the same table, sets swapped.
std::u16string EncodeUPC_E(std::u16string& text, char16_t ns, std::string_view typeName) {
    std::u16string digits = text;
    if (digits.size() == 6) digits += ExpandUPC_E(digits, ns)[11];
    digits = PadAndCheckLength(digits, 7, true, typeName);
    const int expected = DigitValue(ExpandUPC_E(digits.substr(0, 6), ns)[11]);
    if (DigitValue(digits[6]) != expected) ThrowInvalidCheckDigit(typeName, expected, digits);
    text = ns + digits;

    std::u16string sets;
    for (char16_t parity : std::u16string_view(UPCEParityTable[DigitValue(digits[6])]))
        sets += SetOf(parity, ns == u'1') == EanSetB ? u'B' : u'A';
    return EanUpcPattern(UpcELayout, text, sets);
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
        pattern += EanDigit(SetOf(parity[i]), BCText[i]);
    }
    return pattern;
}

std::u16string TZoBarcode::Code_Supp2() {
    BCText = PadAndCheckLength(BCText, 2, true, "UPC_Supp2");
    static constexpr std::array<const char16_t*, 4> Supp2Parity = {u"oo", u"oE", u"Eo", u"EE"};
    const int value = DigitValue(BCText[0]) * 10 + DigitValue(BCText[1]);
    const char16_t* parity = Supp2Parity[value % 4];
    return u"506" + std::u16string(EanDigit(SetOf(parity[0]), BCText[0])) + u"05" +
           EanDigit(SetOf(parity[1]), BCText[1]);
}

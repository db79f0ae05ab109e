// EAN-8, EAN-13 and UPC-A, and the digit preparation the UPC-E family shares.
#include "symbologies/EanUpc.h"

#include <algorithm>

#include "symbologies/EncoderSupport.h"

constexpr std::array<std::array<const char16_t*, 10>, 3> EANDigitSets = {{
    {u"2605", u"1615", u"1516", u"0805", u"0526", u"0625", u"0508", u"0706", u"0607", u"2506"},
    {u"0517", u"0616", u"1606", u"0535", u"1705", u"0715", u"3505", u"1525", u"2515", u"1507"},
    {u"7150", u"6160", u"6061", u"5350", u"5071", u"5170", u"5053", u"5251", u"5152", u"7051"},
}};

namespace {

// Standard EAN-13 first-digit parity rows: which set each of digits 2..7 takes.
constexpr std::array<const char16_t*, 10> EAN13ParityTable = {
    u"AAAAAA", u"AABABB", u"AABBAB", u"AABBBA", u"ABAABB",
    u"ABBAAB", u"ABBBAA", u"ABABAB", u"ABABBA", u"ABBABA",
};

// Seven modules a digit; sets A and B begin with a space, set C with a bar, and
// a set B digit is its set C digit read backwards.
constexpr bool AllDigitSets() {
    for (int d = 0; d < 10; ++d) {
        for (int set = EanSetA; set <= EanSetC; ++set)
            if (!IsElements(EANDigitSets[set][d], 4, 7, 3, set == EanSetC)) return false;
        const std::u16string_view b = EANDigitSets[EanSetB][d];
        const std::u16string_view c = EANDigitSets[EanSetC][d];
        for (std::size_t i = 0; i < 4; ++i)
            if (b[i] != c[3 - i]) return false;
    }
    return true;
}
static_assert(AllDigitSets(), "three sets of ten digits, seven modules each");
static_assert(std::all_of(EAN13ParityTable.begin(), EAN13ParityTable.end(), [](const char16_t* p) {
    const std::u16string_view v = Chars(p);
    return v.size() == 6 && v.find_first_not_of(u"AB") == std::u16string_view::npos;
}));
static_assert(Ean8Layout.Elements() == 43 && Ean13Layout.Elements() == 59 &&
              UpcALayout.Elements() == 59 && UpcELayout.Elements() == 33);

} // namespace

const char16_t* EanDigit(int set, char16_t digit) {
    return EANDigitSets[set][DigitValue(digit)];
}

int Modulo10CheckDigit(const std::u16string& digits) {
    int sum = 0;
    bool odd = true; // position 1 is the rightmost digit
    for (auto it = digits.rbegin(); it != digits.rend(); ++it, odd = !odd)
        sum += DigitValue(*it) * (odd ? 3 : 1);
    return Modulo10Complement(sum);
}

std::u16string CheckSumModulo10(const std::u16string& digits) {
    return digits + static_cast<char16_t>(u'0' + Modulo10CheckDigit(digits));
}

std::u16string PadAndCheckLength(const std::u16string& digits, int length, bool zeroPad,
                                 std::string_view typeName) {
    std::u16string result = digits;
    if (zeroPad && result.size() < static_cast<std::size_t>(length))
        result.insert(0, static_cast<std::size_t>(length) - result.size(), u'0');
    if (!typeName.empty() && result.size() != static_cast<std::size_t>(length))
        throw EBarcodeError(
            FormatMessage("Invalid length for barcode \"%s\" (must be %s digits, current \"%s\").",
                          {typeName, std::to_string(length), TextForMessage(result)}));
    return result;
}

void ThrowInvalidCheckDigit(std::string_view typeName, int expected, const std::u16string& digits) {
    throw EBarcodeError(
        FormatMessage("Invalid check digit for barcode \"%s\" (must be %s, current \"%s\").",
                      {typeName, std::to_string(expected), TextForMessage(digits)}));
}

std::u16string PrepareDigits(const std::u16string& digits, int lengthWithoutCheck,
                             int lengthWithCheck, bool zeroPad, bool addCheck,
                             std::string_view typeName) {
    if (addCheck) {
        const std::u16string body =
            PadAndCheckLength(digits, lengthWithoutCheck, zeroPad, typeName);
        return PadAndCheckLength(CheckSumModulo10(body), lengthWithCheck, false, typeName);
    }
    const std::u16string full = PadAndCheckLength(digits, lengthWithCheck, zeroPad, typeName);
    if (!full.empty()) {
        const int expected = Modulo10CheckDigit(full.substr(0, full.size() - 1));
        if (DigitValue(full.back()) != expected) ThrowInvalidCheckDigit(typeName, expected, full);
    }
    return full;
}

std::u16string EanUpcPattern(const TEanUpcLayout& layout, std::u16string_view digits,
                             std::u16string_view leftSets) {
    if (digits.size() != static_cast<std::size_t>(layout.Digits()) ||
        leftSets.size() != static_cast<std::size_t>(layout.LeftDigits))
        throw EBarcodeError(FormatMessage("%s: internal Error", {TZoBarcode::ClassName}));
    const std::u16string_view left = digits.substr(layout.TextOnlyBefore, layout.LeftDigits);
    const std::u16string_view right =
        digits.substr(layout.TextOnlyBefore + layout.LeftDigits, layout.RightDigits);
    std::u16string pattern(TEanUpcLayout::StartGuard);
    for (std::size_t i = 0; i < left.size(); ++i)
        pattern += EanDigit(leftSets[i] == u'A' ? EanSetA : EanSetB, left[i]);
    if (layout.RightDigits > 0) pattern += TEanUpcLayout::CentreGuard;
    for (char16_t d : right)
        pattern += EanDigit(EanSetC, d);
    pattern += layout.EndGuard;
    return pattern;
}

std::u16string TZoBarcode::Code_EAN8() {
    const int n = Ean8Layout.Digits();
    BCText = PrepareDigits(BCText, n - 1, n, true, UseCheckSum(), "EAN8");
    return EanUpcPattern(Ean8Layout, BCText, u"AAAA");
}

std::u16string TZoBarcode::Code_EAN13() {
    const int n = Ean13Layout.Digits();
    BCText = PrepareDigits(BCText, n - 1, n, true, UseCheckSum(), "EAN13");
    // The first digit has no bars: it is carried by the parities of the left half.
    return EanUpcPattern(Ean13Layout, BCText, EAN13ParityTable[DigitValue(BCText[0])]);
}

std::u16string TZoBarcode::Code_UPC_A() {
    const int n = UpcALayout.Digits();
    BCText = PrepareDigits(BCText, n - 1, n, true, UseCheckSum(), "UPC_A");
    return EanUpcPattern(UpcALayout, BCText, u"AAAAAA");
}

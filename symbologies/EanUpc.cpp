// EAN-8, EAN-13 and UPC-A, and the digit preparation the UPC-E family shares.
#include "EanUpc.h"

#include "ZoBarcode.h"

const std::array<std::array<const char16_t*, 10>, 3> EANDigitSets = {{
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

const char16_t* Digit(int set, char16_t digit) {
    return EANDigitSets[set][digit - u'0'];
}

} // namespace

int Modulo10CheckDigit(const std::u16string& digits) {
    int sum = 0;
    bool odd = true; // position 1 is the rightmost digit
    for (auto it = digits.rbegin(); it != digits.rend(); ++it, odd = !odd)
        sum += (*it - u'0') * (odd ? 3 : 1);
    const int r = sum % 10;
    return r == 0 ? 0 : 10 - r;
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
                          {typeName, std::to_string(length), ToUtf8(result)}));
    return result;
}

void ThrowInvalidCheckDigit(std::string_view typeName, int expected, const std::u16string& digits) {
    throw EBarcodeError(
        FormatMessage("Invalid check digit for barcode \"%s\" (must be %s, current \"%s\").",
                      {typeName, std::to_string(expected), ToUtf8(digits)}));
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
        if (full.back() - u'0' != expected) ThrowInvalidCheckDigit(typeName, expected, full);
    }
    return full;
}

namespace {

// Guard, the left half in the sets named per digit ('A' or 'B'), centre guard,
// the right half in set C, guard.
std::u16string GuardedHalves(std::u16string_view left, std::u16string_view leftSets,
                             std::u16string_view right) {
    std::u16string pattern = u"505";
    for (std::size_t i = 0; i < left.size(); ++i)
        pattern += Digit(leftSets[i] == u'A' ? EanSetA : EanSetB, left[i]);
    pattern += u"05050";
    for (char16_t d : right)
        pattern += Digit(EanSetC, d);
    return pattern + u"505";
}

} // namespace

std::u16string TZoBarcode::Code_EAN8() {
    BCText = PrepareDigits(BCText, 7, 8, true, UseCheckSum(), "EAN8");
    const std::u16string_view digits = BCText;
    return GuardedHalves(digits.substr(0, 4), u"AAAA", digits.substr(4, 4));
}

std::u16string TZoBarcode::Code_EAN13() {
    BCText = PrepareDigits(BCText, 12, 13, true, UseCheckSum(), "EAN13");
    // The first digit has no bars: it is carried by the parities of the left half.
    const std::u16string_view digits = BCText;
    return GuardedHalves(digits.substr(1, 6), EAN13ParityTable[digits[0] - u'0'],
                         digits.substr(7, 6));
}

std::u16string TZoBarcode::Code_UPC_A() {
    BCText = PrepareDigits(BCText, 11, 12, true, UseCheckSum(), "UPC_A");
    const std::u16string_view digits = BCText;
    return GuardedHalves(digits.substr(0, 6), u"AAAAAA", digits.substr(6, 6));
}

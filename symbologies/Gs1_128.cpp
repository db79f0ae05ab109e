// GS1-128: GS1 element strings in Code 128 with the code sets chosen for the
// shortest symbol; SSCC-18, its one element (00); and the EAN-128 types of
// one code set when they are given GS1 data in brackets.
#include "symbologies/Code128.h"
#include "symbologies/EanUpc.h"
#include "symbologies/EncoderSupport.h"
#include "symbologies/Gs1.h"

namespace {

std::string NameOf(TBarcodeType type) {
    return ToUtf8(BarcodeTypeName(type));
}

} // namespace

std::u16string TZoBarcode::Code_GS1_128() {
    Gs1Elements = ParseGs1Brackets(BCText, NameOf(BarCodeType()));
    BCText = Gs1Readable(Gs1Elements);
    return Code128Pattern(Code128ShortestValues(Gs1Code128Items(Gs1Elements)));
}

std::u16string TZoBarcode::Code_SSCC18() {
    const std::string name = NameOf(BarCodeType());
    std::u16string digits = BCText;
    if (digits.size() == 17)
        digits = CheckSumModulo10(digits);
    else if (digits.size() != 18)
        throw EBarcodeError(
            FormatMessage("%s: an SSCC is 17 digits, or 18 with its check digit; \"%s\" has %s",
                          {name, ToUtf8(digits), std::to_string(digits.size())}));
    Gs1Elements = {{u"00", digits}};
    CheckGs1Elements(Gs1Elements, name); // a given check digit must be right
    BCText = Gs1Readable(Gs1Elements);
    return Code128Pattern(Code128ShortestValues(Gs1Code128Items(Gs1Elements)));
}

std::u16string TZoBarcode::Gs1InOneSet(int set) {
    Gs1Elements = ParseGs1Brackets(BCText, NameOf(BarCodeType()));
    const std::vector<int> items = Gs1Code128Items(Gs1Elements);
    std::vector<int> values{Code128StartA + set};
    for (std::size_t i = 0; i < items.size();) {
        if (items[i] == Code128Fnc1Item) {
            values.push_back(Code128Fnc1);
            ++i;
            continue;
        }
        // The characters up to the next separator.
        std::size_t end = i;
        std::u16string run;
        while (end < items.size() && items[end] != Code128Fnc1Item)
            run += static_cast<char16_t>(items[end++]);
        if (set == cs128C) {
            for (std::size_t k = 0; k < run.size(); ++k)
                if (run[k] < u'0' || run[k] > u'9') ThrowCannotEncode(BarCodeType(), run, k);
            // A zero put in front, as for plain digits, would change the data.
            if (run.size() % 2 != 0)
                throw EBarcodeError(FormatMessage(
                    "%s: code set C carries digits in pairs, and \"%s\" has %s digits",
                    {NameOf(BarCodeType()), ToUtf8(run), std::to_string(run.size())}));
            for (std::size_t k = 0; k < run.size(); k += 2)
                values.push_back(*FindCode128C(run.substr(k, 2)));
        } else {
            for (std::size_t k = 0; k < run.size(); ++k) {
                const std::optional<int> v = FindCode128(run[k], static_cast<TCode128Set>(set));
                if (!v) ThrowCannotEncode(BarCodeType(), run, k);
                values.push_back(*v);
            }
        }
        i = end;
    }
    BCText = Gs1Readable(Gs1Elements);
    return Code128Pattern(values);
}

// MSI, PostNet and Codabar.
#include "symbologies/MsiPostNetCodabar.h"

#include <algorithm>

#include "symbologies/EncoderSupport.h"

constexpr std::array<const char16_t*, 10> MSITable = {
    u"51515151", u"51515160", u"51516051", u"51516060", u"51605151",
    u"51605160", u"51606051", u"51606060", u"60515151", u"60515160",
};

constexpr std::array<const char16_t*, 10> PostNetTable = {
    u"5151A1A1A1", u"A1A1A15151", u"A1A151A151", u"A1A15151A1", u"A151A1A151",
    u"A151A151A1", u"A15151A1A1", u"51A1A1A151", u"51A1A151A1", u"51A151A1A1",
};

constexpr std::array<TCodabarEntry, 20> CodabarTable = {{
    {u'1', u"5050615"}, {u'2', u"5051506"}, {u'3', u"6150505"}, {u'4', u"5060515"},
    {u'5', u"6050515"}, {u'6', u"5150506"}, {u'7', u"5150605"}, {u'8', u"5160505"},
    {u'9', u"6051505"}, {u'0', u"5050516"}, {u'-', u"5051605"}, {u'$', u"5061505"},
    {u':', u"6050606"}, {u'/', u"6060506"}, {u'.', u"6060605"}, {u'+', u"5060606"},
    {u'A', u"5061515"}, {u'B', u"5151506"}, {u'C', u"5051516"}, {u'D', u"5051615"},
}};

std::optional<int> FindCodabar(char16_t c) {
    return IndexOfChar(CodabarTable, c);
}

namespace {

// Four bits of a narrow and a wide element each.
static_assert(std::all_of(MSITable.begin(), MSITable.end(),
                          [](const char16_t* e) { return IsElements(e, 8, 12, 1); }),
              "ten digits of eight elements");
// Five bars, two of them full, each followed by a wide space.
static_assert(std::all_of(PostNetTable.begin(), PostNetTable.end(),
                          [](const char16_t* e) {
                              const std::u16string_view v = Chars(e);
                              return IsElements(e, 10, 15, 1) &&
                                     std::count(v.begin(), v.end(), u'5') == 2;
                          }),
              "ten digits of five bars");
// Seven elements, two or three of them wide.
static_assert(std::all_of(CodabarTable.begin(), CodabarTable.end(),
                          [](const TCodabarEntry& e) {
                              return IsElements(e.Pattern, 7, 9, 1) ||
                                     IsElements(e.Pattern, 7, 10, 1);
                          }),
              "20 characters of seven elements");

bool IsCodabarStartStop(char16_t c) {
    return c >= u'A' && c <= u'D';
}

} // namespace

std::u16string TZoBarcode::Code_MSI() {
    std::u16string pattern = u"60";
    for (char16_t c : BCText)
        pattern += MSITable[DigitValue(c)];
    if (UseCheckSum()) {
        int sum = 0;
        bool doubled = true; // the rightmost digit is doubled
        for (auto it = BCText.rbegin(); it != BCText.rend(); ++it, doubled = !doubled) {
            const int d = doubled ? 2 * DigitValue(*it) : DigitValue(*it);
            sum = (sum + d / 10 + d % 10) % 10;
        }
        pattern += MSITable[Modulo10Complement(sum)];
    }
    return pattern + u"515";
}

std::u16string TZoBarcode::Code_PostNet() {
    std::u16string pattern = u"51";
    int sum = 0;
    for (char16_t c : BCText) {
        pattern += PostNetTable[DigitValue(c)];
        sum = (sum + DigitValue(c)) % 10;
    }
    if (UseCheckSum()) pattern += PostNetTable[Modulo10Complement(sum)];
    return pattern + u"5";
}

std::u16string TZoBarcode::Code_Codabar() {
    // A symbol without its start and stop characters is one no scanner accepts.
    if (BCText.size() < 2 || !IsCodabarStartStop(BCText.front()) ||
        !IsCodabarStartStop(BCText.back()))
        throw EBarcodeError("CodeCodabar: the code must begin and end with A, B, C or D");
    std::u16string pattern;
    for (std::size_t i = 0; i < BCText.size(); ++i) {
        const std::optional<int> k = FindCodabar(BCText[i]);
        // A start/stop character inside the data would end the symbol there.
        const bool inside = i > 0 && i + 1 < BCText.size();
        if (!k || (inside && IsCodabarStartStop(BCText[i])))
            ThrowCannotEncode(BarCodeType(), BCText, i);
        pattern += CodabarTable[*k].Pattern;
        pattern += u'0';
    }
    return pattern;
}

// Interleaved, industrial and matrix two of five.
#include <algorithm>
#include <array>

#include "symbologies/Code25.h"
#include "symbologies/EncoderSupport.h"

namespace {

// Standard two-out-of-five digit table, '1' meaning a wide element.
constexpr std::array<const char16_t*, 10> TwoOfFiveTable = {
    u"00110", u"10001", u"01001", u"11000", u"00101",
    u"10100", u"01100", u"00011", u"10010", u"01010",
};

constexpr bool TwoOfFive(const char16_t* entry) {
    const std::u16string_view e = Chars(entry);
    return e.size() == 5 && std::count(e.begin(), e.end(), u'1') == 2 &&
           std::count(e.begin(), e.end(), u'0') == 3;
}
static_assert(std::all_of(TwoOfFiveTable.begin(), TwoOfFiveTable.end(), TwoOfFive),
              "five elements per digit, two of them wide");

bool Wide(char16_t digit, int element) {
    return TwoOfFiveTable[DigitValue(digit)][element] == u'1';
}

} // namespace

bool TwoOfFiveWide(char16_t digit, int element) {
    return Wide(digit, element);
}

std::u16string TZoBarcode::Code_2_5_interleaved() {
    // Pairs are the unit of this code: an odd-length text gets a leading zero,
    // kept in BCText so that the printed text is what the bars say.
    if (BCText.size() % 2 != 0) BCText.insert(BCText.begin(), u'0');
    std::u16string pattern = u"5050";
    for (std::size_t k = 0; k + 1 < BCText.size(); k += 2) {
        for (int j = 0; j < 5; ++j) {
            pattern += Wide(BCText[k], j) ? u'6' : u'5';
            pattern += Wide(BCText[k + 1], j) ? u'1' : u'0';
        }
    }
    return pattern + u"605";
}

std::u16string TZoBarcode::Code_2_5_industrial() {
    std::u16string pattern = u"606050";
    for (char16_t digit : BCText)
        for (int j = 0; j < 5; ++j)
            pattern += Wide(digit, j) ? u"60" : u"50";
    return pattern + u"605060";
}

std::u16string TZoBarcode::Code_2_5_matrix() {
    std::u16string pattern = u"705050";
    for (char16_t digit : BCText) {
        for (int j = 0; j < 5; ++j) {
            const bool wide = Wide(digit, j);
            if (j % 2 == 0)
                pattern += wide ? u'6' : u'5';
            else
                pattern += wide ? u'1' : u'0';
        }
        pattern += u'0';
    }
    return pattern + u"70505";
}

// Code 128 and EAN-128, each symbol in one code set.
#include "symbologies/Code128.h"

#include "symbologies/EncoderSupport.h"
#include "symbologies/Gs1.h"

constexpr std::array<TCode128Entry, 103> Code128Table = {{
    {u' ', u' ', u"00", u"212222"},    // 0
    {u'!', u'!', u"01", u"222122"},    // 1
    {u'"', u'"', u"02", u"222221"},    // 2
    {u'#', u'#', u"03", u"121223"},    // 3
    {u'$', u'$', u"04", u"121322"},    // 4
    {u'%', u'%', u"05", u"131222"},    // 5
    {u'&', u'&', u"06", u"122213"},    // 6
    {u'\'', u'\'', u"07", u"122312"},  // 7
    {u'(', u'(', u"08", u"132212"},    // 8
    {u')', u')', u"09", u"221213"},    // 9
    {u'*', u'*', u"10", u"221312"},    // 10
    {u'+', u'+', u"11", u"231212"},    // 11
    {u',', u',', u"12", u"112232"},    // 12
    {u'-', u'-', u"13", u"122132"},    // 13
    {u'.', u'.', u"14", u"122231"},    // 14
    {u'/', u'/', u"15", u"113222"},    // 15
    {u'0', u'0', u"16", u"123122"},    // 16
    {u'1', u'1', u"17", u"123221"},    // 17
    {u'2', u'2', u"18", u"223211"},    // 18
    {u'3', u'3', u"19", u"221132"},    // 19
    {u'4', u'4', u"20", u"221231"},    // 20
    {u'5', u'5', u"21", u"213212"},    // 21
    {u'6', u'6', u"22", u"223112"},    // 22
    {u'7', u'7', u"23", u"312131"},    // 23
    {u'8', u'8', u"24", u"311222"},    // 24
    {u'9', u'9', u"25", u"321122"},    // 25
    {u':', u':', u"26", u"321221"},    // 26
    {u';', u';', u"27", u"312212"},    // 27
    {u'<', u'<', u"28", u"322112"},    // 28
    {u'=', u'=', u"29", u"322211"},    // 29
    {u'>', u'>', u"30", u"212123"},    // 30
    {u'?', u'?', u"31", u"212321"},    // 31
    {u'@', u'@', u"32", u"232121"},    // 32
    {u'A', u'A', u"33", u"111323"},    // 33
    {u'B', u'B', u"34", u"131123"},    // 34
    {u'C', u'C', u"35", u"131321"},    // 35
    {u'D', u'D', u"36", u"112313"},    // 36
    {u'E', u'E', u"37", u"132113"},    // 37
    {u'F', u'F', u"38", u"132311"},    // 38
    {u'G', u'G', u"39", u"211313"},    // 39
    {u'H', u'H', u"40", u"231113"},    // 40
    {u'I', u'I', u"41", u"231311"},    // 41
    {u'J', u'J', u"42", u"112133"},    // 42
    {u'K', u'K', u"43", u"112331"},    // 43
    {u'L', u'L', u"44", u"132131"},    // 44
    {u'M', u'M', u"45", u"113123"},    // 45
    {u'N', u'N', u"46", u"113321"},    // 46
    {u'O', u'O', u"47", u"133121"},    // 47
    {u'P', u'P', u"48", u"313121"},    // 48
    {u'Q', u'Q', u"49", u"211331"},    // 49
    {u'R', u'R', u"50", u"231131"},    // 50
    {u'S', u'S', u"51", u"213113"},    // 51
    {u'T', u'T', u"52", u"213311"},    // 52
    {u'U', u'U', u"53", u"213131"},    // 53
    {u'V', u'V', u"54", u"311123"},    // 54
    {u'W', u'W', u"55", u"311321"},    // 55
    {u'X', u'X', u"56", u"331121"},    // 56
    {u'Y', u'Y', u"57", u"312113"},    // 57
    {u'Z', u'Z', u"58", u"312311"},    // 58
    {u'[', u'[', u"59", u"332111"},    // 59
    {u'\\', u'\\', u"60", u"314111"},  // 60
    {u']', u']', u"61", u"221411"},    // 61
    {u'^', u'^', u"62", u"431111"},    // 62
    {u'_', u'_', u"63", u"111224"},    // 63
    {u'\x00', u'`', u"64", u"111422"}, // 64
    {u'\x01', u'a', u"65", u"121124"}, // 65
    {u'\x02', u'b', u"66", u"121421"}, // 66
    {u'\x03', u'c', u"67", u"141122"}, // 67
    {u'\x04', u'd', u"68", u"141221"}, // 68
    {u'\x05', u'e', u"69", u"112214"}, // 69
    {u'\x06', u'f', u"70", u"112412"}, // 70
    {u'\x07', u'g', u"71", u"122114"}, // 71
    {u'\x08', u'h', u"72", u"122411"}, // 72
    {u'\x09', u'i', u"73", u"142112"}, // 73
    {u'\x0a', u'j', u"74", u"142211"}, // 74
    {u'\x0b', u'k', u"75", u"241211"}, // 75
    {u'\x0c', u'l', u"76", u"221114"}, // 76
    {u'\x0d', u'm', u"77", u"413111"}, // 77
    {u'\x0e', u'n', u"78", u"241112"}, // 78
    {u'\x0f', u'o', u"79", u"134111"}, // 79
    {u'\x10', u'p', u"80", u"111242"}, // 80
    {u'\x11', u'q', u"81", u"121142"}, // 81
    {u'\x12', u'r', u"82", u"121241"}, // 82
    {u'\x13', u's', u"83", u"114212"}, // 83
    {u'\x14', u't', u"84", u"124112"}, // 84
    {u'\x15', u'u', u"85", u"124211"}, // 85
    {u'\x16', u'v', u"86", u"411212"}, // 86
    {u'\x17', u'w', u"87", u"421112"}, // 87
    {u'\x18', u'x', u"88", u"421211"}, // 88
    {u'\x19', u'y', u"89", u"212141"}, // 89
    {u'\x1a', u'z', u"90", u"214121"}, // 90
    {u'\x1b', u'{', u"91", u"412121"}, // 91
    {u'\x1c', u'|', u"92", u"111143"}, // 92
    {u'\x1d', u'}', u"93", u"111341"}, // 93
    {u'\x1e', u'~', u"94", u"131141"}, // 94
    {u'\x1f', u' ', u"95", u"114113"}, // 95
    {u' ', u' ', u"96", u"114311"},    // 96
    {u' ', u' ', u"97", u"411113"},    // 97
    {u' ', u' ', u"98", u"411311"},    // 98
    {u' ', u' ', u"99", u"113141"},    // 99
    {u' ', u' ', u"  ", u"114131"},    // 100
    {u' ', u' ', u"  ", u"311141"},    // 101
    {u' ', u' ', u"  ", u"411131"},    // 102
}};

std::optional<int> FindCode128(char16_t c, TCode128Set set) {
    if (set == cs128C) return std::nullopt;
    for (std::size_t v = 0; v < Code128Table.size(); ++v)
        if ((set == cs128A ? Code128Table[v].A : Code128Table[v].B) == c)
            return static_cast<int>(v);
    return std::nullopt;
}

std::optional<int> FindCode128C(const std::u16string& pair) {
    // Value v carries the digits of v; the code changes and FNC1 above 99 none.
    const auto digit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
    if (pair.size() != 2 || !digit(pair[0]) || !digit(pair[1])) return std::nullopt;
    return DigitValue(pair[0]) * 10 + DigitValue(pair[1]);
}

namespace {

struct TCode128Start {
    int Value;
    const char16_t* Widths;
};

constexpr std::array<TCode128Start, 3> Code128Starts = {{
    {103, u"211412"},
    {104, u"211214"},
    {105, u"211232"},
}};

// The stop character and the termination bar.
constexpr const char16_t* Code128StopWidths = u"2331112";

// Six widths of eleven modules, the bars an even number of them; set C's
// column holds the two digits of the value, which FindCode128C relies on.
constexpr bool AllCode128Entries() {
    for (std::size_t v = 0; v < Code128Table.size(); ++v) {
        const TCode128Entry& e = Code128Table[v];
        if (!IsWidths(e.Widths, 6, 11)) return false;
        if ((e.Widths[0] + e.Widths[2] + e.Widths[4] - 3 * u'0') % 2 != 0) return false;
        const std::u16string_view c = Chars(e.C);
        const bool digits = c.size() == 2 && c[0] == u'0' + v / 10 && c[1] == u'0' + v % 10;
        if (digits != (v < 100)) return false;
    }
    return true;
}
static_assert(AllCode128Entries(), "103 entries of six widths, eleven modules");
constexpr bool AllCode128Starts() {
    for (const TCode128Start& s : Code128Starts)
        if (!IsWidths(s.Widths, 6, 11)) return false;
    return true;
}
static_assert(AllCode128Starts() && IsWidths(Code128StopWidths, 7, 13));

} // namespace

std::u16string Code128Pattern(const std::vector<int>& values) {
    if (values.empty() || values[0] < Code128StartA || values[0] > Code128StartA + 2)
        throw EBarcodeError(FormatMessage("%s: internal Error", {TZoBarcode::ClassName}));
    std::u16string widths = Code128Starts[values[0] - Code128StartA].Widths;
    int sum = values[0];
    int weight = 1;
    for (std::size_t i = 1; i < values.size(); ++i) {
        widths += Code128Table[values[i]].Widths;
        sum = (sum + values[i] * weight) % 103;
        weight = weight % 103 + 1; // only its residue matters; keeps it from overflowing
    }
    widths += Code128Table[sum % 103].Widths; // the start value alone is above 102
    widths += Code128StopWidths;
    return WidthsToPattern(widths);
}

std::u16string TZoBarcode::Code_128() {
    TCode128Set set = cs128A;
    bool gs1 = false;
    switch (BarCodeType()) {
    case bcCodeEAN128A:
        gs1 = true;
        [[fallthrough]];
    case bcCode128A:
        set = cs128A;
        break;
    case bcCodeEAN128B:
        gs1 = true;
        [[fallthrough]];
    case bcCode128B:
        set = cs128B;
        break;
    case bcCodeEAN128C:
        gs1 = true;
        [[fallthrough]];
    case bcCode128C:
        set = cs128C;
        break;
    default:
        throw EBarcodeError(FormatMessage("%s: wrong BarcodeType in Code_128", {ClassName}));
    }
    if (gs1 && IsGs1Bracketed(BCText)) return Gs1InOneSet(set);

    std::vector<int> values{Code128Starts[set].Value};
    // FNC1 in first place is what tells a scanner the symbol is GS1-128.
    if (gs1) values.push_back(Code128Fnc1);

    if (set == cs128C) {
        // Digits go in pairs: an odd count gets a leading zero, which the printed text shows.
        if (BCText.size() % 2 != 0) BCText.insert(BCText.begin(), u'0');
        for (std::size_t i = 0; i < BCText.size(); i += 2) {
            const std::optional<int> v = FindCode128C(BCText.substr(i, 2));
            if (!v) ThrowCannotEncode(BarCodeType(), BCText, i);
            values.push_back(*v);
        }
    } else {
        for (std::size_t i = 0; i < BCText.size(); ++i) {
            // In GS1 data a GS separates elements, and FNC1 is how the symbol says so:
            // scanners send it as GS, and GS itself is no GS1 data character.
            if (gs1 && BCText[i] == Gs1Separator) {
                values.push_back(Code128Fnc1);
                continue;
            }
            const std::optional<int> v = FindCode128(BCText[i], set);
            if (!v) ThrowCannotEncode(BarCodeType(), BCText, i);
            values.push_back(*v);
        }
    }
    return Code128Pattern(values);
}

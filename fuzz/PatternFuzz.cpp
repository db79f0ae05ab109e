// The pattern build of every type value (those of the enumeration and one
// beyond it) with either check option, any module and ratio and any text.
// What must hold: a pattern of the bar alphabet or an EBarcodeError; a pattern
// as long as the symbology makes one for the text it encodes (BCText); a Code
// 128 symbol that reads back as its text or its GS1 elements; the width the
// sum of the element widths (and the bearer bars).
#include "fuzz/FuzzSupport.h"

#include <cmath>
#include <limits>
#include <optional>

#include "engine/ZoBarcode.h"
#include "symbologies/Code39.h"
#include "symbologies/Code93.h"
#include "symbologies/EanUpc.h"
#include "symbologies/Gs1.h"
#include "symbologies/UpcE.h"
#include "tests/Code128Reading.h"

namespace {

bool InBarAlphabet(const std::u16string& p) {
    return p.find_first_not_of(u"01235678ABCD") == std::u16string::npos;
}

bool Digits(const std::u16string& s) {
    return s.find_first_not_of(u"0123456789") == std::u16string::npos;
}

std::size_t MappedLength(const std::array<const char16_t*, 128>& table, const std::u16string& s) {
    std::size_t n = 0;
    for (char16_t c : s)
        n += c < 128 ? std::u16string_view(table[c]).size() : 0;
    return n;
}

// The pattern length of the symbol for the text it encodes, from the
// symbologies' structure: start and stop, elements per character, check
// characters and separating spaces; none where the encoder chooses (Code 128
// with automatic code sets, GS1 data), which the reading back checks instead.
std::optional<std::size_t> ExpectedLength(TBarcodeType type, const std::u16string& text, bool check,
                                          bool gs1) {
    const std::size_t n = text.size();
    if (gs1) return std::nullopt;
    const std::size_t c = check ? 1 : 0;
    switch (type) {
    case bcCode_2_5_interleaved:
        return 4 + 5 * n + 3;
    case bcCode_2_5_industrial:
        return 6 + 10 * n + 6;
    case bcCode_2_5_matrix:
        return 6 + 6 * n + 5;
    case bcCode39:
        return 10 * (n + 2 + c) - 1;
    case bcCode39Extended:
        return 10 * (MappedLength(Code39ExtTable, text) + 2 + c) - 1;
    case bcCode128A:
    case bcCode128B:
        return 6 * (n + 2) + 7;
    case bcCode128C:
        return 6 * (n / 2 + 2) + 7;
    case bcCodeEAN128A:
    case bcCodeEAN128B:
        return 6 * (n + 3) + 7;
    case bcCodeEAN128C:
        return 6 * (n / 2 + 3) + 7;
    case bcCode93:
        return 6 * (n + 3) + 7;
    case bcCode93Extended:
        return 6 * (MappedLength(Code93ExtTable, text) + 3) + 7;
    case bcCodeMSI:
        return 2 + 8 * (n + c) + 3;
    case bcCodePostNet:
        return 2 + 10 * (n + c) + 1;
    case bcCodeCodabar:
        return 8 * n;
    case bcCodeEAN8:
        return Ean8Layout.Elements();
    case bcCodeEAN13:
        return Ean13Layout.Elements();
    case bcCodeUPC_A:
        return UpcALayout.Elements();
    case bcCodeUPC_E0:
    case bcCodeUPC_E1:
        return UpcELayout.Elements();
    case bcCodeUPC_Supp2:
        return 3 + 4 + 2 + 4;
    case bcCodeUPC_Supp5:
        return 3 + 5 * 4 + 4 * 2;
    case bcCodeITF14: // each element as two: quiet zones, start, 14 digits of 5, stop
        return 5 + 8 + 14 * 10 + 6 + 5;
    default:
        return std::nullopt;
    }
}

// An add-on's elements after the main symbol: the gap and the supplement.
std::size_t AddOnLength(const std::u16string& addOn) {
    return addOn.empty() ? 0 : 9 + (addOn.size() == 2 ? 3 + 4 + 2 + 4 : 3 + 5 * 4 + 4 * 2);
}

bool IsCode128Family(TBarcodeType type) {
    return (type >= bcCode128A && type <= bcCode128C) ||
           (type >= bcCodeEAN128A && type <= bcCodeEAN128C) || type == bcCode128 ||
           type == bcCodeGS1_128 || type == bcCodeSSCC18;
}

// What the encoded text itself must be: digits of the right count with the
// right check digit where the symbology fixes them.
void CheckEncodedText(TBarcodeType type, const std::u16string& text) {
    const auto digitsOf = [&](std::size_t count) {
        FUZZ_CHECK(text.size() == count && Digits(text), Shown(text));
    };
    switch (type) {
    case bcCode_2_5_interleaved:
    case bcCode128C:
    case bcCodeEAN128C:
        FUZZ_CHECK(text.size() % 2 == 0 && Digits(text), Shown(text));
        break;
    case bcCodeEAN8:
    case bcCodeEAN13:
    case bcCodeUPC_A:
        digitsOf(type == bcCodeEAN8 ? 8 : type == bcCodeEAN13 ? 13 : 12);
        FUZZ_CHECK(Modulo10CheckDigit(text.substr(0, text.size() - 1)) == text.back() - u'0',
                   Shown(text));
        break;
    case bcCodeUPC_E0:
    case bcCodeUPC_E1:
        digitsOf(8);
        FUZZ_CHECK(text[0] == (type == bcCodeUPC_E0 ? u'0' : u'1'), Shown(text));
        FUZZ_CHECK(ExpandUPC_E(text.substr(1, 6), text[0])[11] == text[7], Shown(text));
        break;
    case bcCodeUPC_Supp2:
        digitsOf(2);
        break;
    case bcCodeUPC_Supp5:
        digitsOf(5);
        break;
    case bcCodeITF14:
        digitsOf(14);
        FUZZ_CHECK(Modulo10CheckDigit(text.substr(0, 13)) == text.back() - u'0', Shown(text));
        break;
    case bcCodeSSCC18:
        FUZZ_CHECK(text.size() == 22 && text.starts_with(u"(00)") && Digits(text.substr(4)) &&
                       Modulo10CheckDigit(text.substr(4, 17)) == text.back() - u'0',
                   Shown(text));
        break;
    default:
        break;
    }
}

double RatioFrom(std::uint8_t a, std::uint8_t b) {
    static const double special[] = {std::numeric_limits<double>::quiet_NaN(),
                                     std::numeric_limits<double>::infinity(),
                                     -std::numeric_limits<double>::infinity(),
                                     -1.0,
                                     0.0,
                                     -0.0,
                                     0.5,
                                     1.0,
                                     2.0,
                                     2.25,
                                     2.5,
                                     3.0,
                                     3.5,
                                     1e6,
                                     1e300,
                                     std::numeric_limits<double>::denorm_min()};
    if (a < std::size(special)) return special[a];
    return a / 16.0 + b / 4096.0;
}

struct TBuild {
    bool Ok = false;
    std::u16string Pattern;
    std::u16string Text;
    std::string Error;
    std::vector<TGs1Element> Gs1;
    std::u16string AddOn;
};

TBuild Build(TZoBarcode& bc) {
    TBuild b;
    try {
        b.Pattern = bc.BuildPattern();
        b.Ok = true;
    } catch (const EBarcodeError& e) {
        b.Error = e.what();
    }
    b.Text = bc.BCText;
    b.Gs1 = bc.Gs1Elements;
    b.AddOn = bc.AddOn;
    return b;
}

// Above the widest a text allowance can make a symbol (15 %, then 10 % more).
std::int64_t Widened(std::int64_t w) {
    return w * 13 / 10 + 2;
}

} // namespace

FUZZ_TARGET(pattern) {
    TFuzzInput in(Data, Size);
    constexpr int beyond = static_cast<int>(BarcodeTypeCount);
    const int t = in.Pick(beyond + 1);
    const TBarcodeType type = static_cast<TBarcodeType>(t == beyond ? 255 : t);
    const unsigned flags = in.Byte();
    const bool check = in.Bit(flags, 0);
    const bool showText = in.Bit(flags, 1);
    const bool utf16 = in.Bit(flags, 2);
    const bool fit = in.Bit(flags, 3);
    const int modul = 1 + in.Pick(TZoBarcode::MaxModul);
    const std::uint8_t r1 = in.Byte();
    const double ratio = RatioFrom(r1, in.Byte());
    const std::string rest = in.Rest();
    std::u16string code;
    if (utf16) {
        for (std::size_t i = 0; i + 1 < rest.size(); i += 2)
            code += static_cast<char16_t>(std::uint8_t(rest[i]) | std::uint8_t(rest[i + 1]) << 8);
    } else {
        code = FromUtf8(rest);
    }

    TZoBarcode bc;
    bc.SetBarCodeType(type);
    bc.SetBarCode(code);
    bc.SetUseCheckSum(check);
    bc.SetShowText(showText);
    bc.SetModul(modul);
    bc.SetRatio(ratio);
    const TBuild b = Build(bc);
    const std::optional<TBCdata> row = BarcodeTypeRow(type);
    const std::string what = "type " + std::to_string(int(type)) + ", check " +
                             std::to_string(check) + ", code \"" + Shown(code) + "\"";

    // The same build again gives the same: nothing is kept between builds but
    // the clamped ratio.
    const TBuild again = Build(bc);
    FUZZ_CHECK(again.Ok == b.Ok && again.Pattern == b.Pattern && again.Text == b.Text &&
                   again.Error == b.Error && again.Gs1 == b.Gs1 && again.AddOn == b.AddOn,
               what);
    const std::array<int, 4>& m = bc.Modules();
    FUZZ_CHECK(m[0] == bc.Modul() && m[1] >= 0 && m[2] == m[1] * 3 / 2 && m[3] == m[1] * 2, what);

    if (!b.Ok) {
        FUZZ_CHECK(!b.Error.empty(), what);
        return;
    }
    FUZZ_CHECK(row && row->Encoder, what + ": a type without a symbology built a pattern");
    FUZZ_CHECK(!b.Pattern.empty() && InBarAlphabet(b.Pattern), what + " -> " + Shown(b.Pattern));
    // An add-on follows the main digits after a blank; GS1 data is printed
    // with its AIs in brackets and survives the way through a scanner.
    std::u16string main = b.Text;
    std::u16string given = TrimmedCode(code);
    if (!b.AddOn.empty()) {
        FUZZ_CHECK(row->Syntax == tsAddOn && Digits(b.AddOn) &&
                       (b.AddOn.size() == 2 || b.AddOn.size() == 5) &&
                       b.Text.ends_with(u' ' + b.AddOn) && given.ends_with(u'+' + b.AddOn),
                   what + " -> text " + Shown(b.Text));
        main.resize(main.size() - b.AddOn.size() - 1);
        given.resize(given.size() - b.AddOn.size() - 1);
    }
    if (!b.Gs1.empty()) {
        FUZZ_CHECK(row->Syntax != tsPlain || type == bcCodeSSCC18, what);
        FUZZ_CHECK(b.Text == Gs1Readable(b.Gs1), what + " -> text " + Shown(b.Text));
        FUZZ_CHECK(ParseGs1Transmission(Gs1Transmission(b.Gs1)) == b.Gs1, what);
    } else if (row->num) {
        FUZZ_CHECK(Digits(main), what + " -> text " + Shown(b.Text));
        FUZZ_CHECK(main.find(given) != std::u16string::npos, what + " -> text " + Shown(b.Text));
    } else {
        FUZZ_CHECK(b.Text == code, what + " -> text " + Shown(b.Text));
    }
    if (b.Gs1.empty() || type == bcCodeSSCC18) CheckEncodedText(type, main);
    const bool checkAdded = row->Check == ccAlways || (row->Check == ccOptional && check);
    const std::optional<std::size_t> length =
        ExpectedLength(type, main, checkAdded, !b.Gs1.empty() || type == bcCode128);
    FUZZ_CHECK(!length || b.Pattern.size() == *length + AddOnLength(b.AddOn),
               what + " -> text " + Shown(b.Text) + ", " + std::to_string(b.Pattern.size()) +
                   " elements");
    if (IsCode128Family(type)) {
        const TCode128Reading read = ReadCode128(b.Pattern);
        FUZZ_CHECK(read.Ok, what + ": " + read.Error);
        const bool gs1 = (type >= bcCodeEAN128A && type <= bcCodeEAN128C) ||
                         type == bcCodeGS1_128 || type == bcCodeSSCC18;
        FUZZ_CHECK(read.Gs1 == gs1, what);
        FUZZ_CHECK(read.Text == (b.Gs1.empty() ? b.Text : Gs1Transmission(b.Gs1).substr(3)),
                   what + " reads " + Shown(read.Text));
    }
    if (row->Check == ccNone || row->Check == ccAlways) {
        TZoBarcode other;
        other.SetBarCodeType(type);
        other.SetBarCode(code);
        other.SetUseCheckSum(!check);
        const TBuild o = Build(other);
        FUZZ_CHECK(o.Ok && o.Text == b.Text && o.Pattern == b.Pattern,
                   what + ": the check option changed the symbol");
    }

    // Widths: the sum of the elements, and the text allowance only for the
    // symbols that print their text in pieces.
    std::int64_t sum = 0;
    std::int64_t half = 0;
    for (std::size_t i = 0; i < b.Pattern.size(); ++i) {
        const auto [w, kind] = bc.DecodePatternChar(b.Pattern[i]);
        FUZZ_CHECK(w >= 0 && (kind == bkSpace) == (b.Pattern[i] <= u'3'), what);
        sum += w;
        if (i < b.Pattern.size() / 2) half = sum;
    }
    int width = 0;
    bool refused = false;
    try {
        width = bc.GetWidth();
    } catch (const EBarcodeError&) {
        refused = true;
    }
    const bool allowance = showText && row->Text;
    const int frame = row->Frame * bc.Modul(); // bearer bars left and right
    if (refused) {
        FUZZ_CHECK((allowance ? Widened(sum) : sum + 2 * frame) > TZoBarcode::MaxWidth,
                   what + ": width refused for " + std::to_string(sum));
        return;
    }
    if (!allowance) {
        FUZZ_CHECK(width == sum + 2 * frame,
                   what + ": width " + std::to_string(width) + ", elements " + std::to_string(sum));
        FUZZ_CHECK(bc.WidthUpTo(static_cast<int>(b.Pattern.size() / 2)) == half + frame, what);
    } else {
        FUZZ_CHECK(width >= sum && width <= Widened(sum), what);
    }
    if (fit && b.Pattern.size() <= 1000) { // every module up to 49 is tried: short symbols only
        const int wanted = static_cast<int>(sum % 5000);
        bc.SetWidth(wanted);
        FUZZ_CHECK(bc.Modul() >= 1 && bc.Modul() <= TZoBarcode::MaxModul, what);
    }
}

// Pictures of Generate, read back by zbarimg and ZXingReader for every type
// either of them can read: the decoded text must be the text the user typed
// (with the check digits the symbol adds), and the decoders must name the
// symbology the type draws.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <random>

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

#include "engine/BarcodeError.h"
#include "engine/ZoBarcode.h"
#include "picture/GeneratePicture.h"
#include "platform/QtConvert.h"
#include "symbologies/Gs1.h"
#include "tests/BuildSymbol.h"
#include "tests/ScanSupport.h"
#include "tests/symbologies/TestSeed.h"

namespace {

enum TReaders : unsigned { ByZbar = 1, ByZxing = 2, ByBoth = 3 };

struct TTypeInfo {
    int type;
    unsigned readers;
    const char* zbarName;
    const char* zxingName;
    bool gs1;
};

// zbar has no UPC-E with number system 1.
const TTypeInfo Types[] = {
    {bcCodeEAN13, ByBoth, "EAN-13", "EAN-13", false},
    {bcCodeEAN8, ByBoth, "EAN-8", "EAN-8", false},
    {bcCodeUPC_A, ByBoth, "UPC-A", "UPC-A", false},
    {bcCode_2_5_interleaved, ByBoth, "I2/5", "ITF", false},
    {bcCode39, ByBoth, "CODE-39", "Code39", false},
    {bcCode39Extended, ByBoth, "CODE-39", "Code39", false},
    {bcCode93, ByBoth, "CODE-93", "Code93", false},
    {bcCode93Extended, ByBoth, "CODE-93", "Code93", false},
    {bcCode128A, ByBoth, "CODE-128", "Code128", false},
    {bcCode128B, ByBoth, "CODE-128", "Code128", false},
    {bcCode128C, ByBoth, "CODE-128", "Code128", false},
    {bcCodeEAN128A, ByBoth, "CODE-128", "Code128", true},
    {bcCodeEAN128B, ByBoth, "CODE-128", "Code128", true},
    {bcCodeEAN128C, ByBoth, "CODE-128", "Code128", true},
    {bcCodeCodabar, ByBoth, "Codabar", "Codabar", false},
    {bcCodeUPC_E0, ByBoth, "UPC-E", "UPC-E", false},
    {bcCodeUPC_E1, ByZxing, "", "UPC-E", false},
    {bcCode128, ByBoth, "CODE-128", "Code128", false},
    {bcCodeGS1_128, ByBoth, "CODE-128", "Code128", true},
    {bcCodeSSCC18, ByBoth, "CODE-128", "Code128", true},
    {bcCodeITF14, ByBoth, "I2/5", "ITF", false},
};

const TTypeInfo& InfoOf(int type) {
    for (const TTypeInfo& t : Types)
        if (t.type == type) return t;
    throw std::logic_error("no scan info for type " + std::to_string(type));
}

std::string TypeName(int type) {
    return ToUtf8(BarcodeTypeName(static_cast<TBarcodeType>(type)));
}

const std::string Code39Values = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";

char Modulo43(const std::string& raw) {
    std::size_t sum = 0;
    for (char c : raw)
        sum += Code39Values.find(c);
    return Code39Values[sum % 43];
}

// The standard's full-ASCII reading of Code 39 data, from its rules; the
// decoders at hand report the raw characters only.
std::string FullAscii39(const std::string& raw) {
    std::string out;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (std::string_view("$%/+").find(c) == std::string_view::npos || i + 1 == raw.size()) {
            out += c;
            continue;
        }
        const char n = raw[++i];
        if (c == '$') out += static_cast<char>(n - 'A' + 1);
        if (c == '+') out += static_cast<char>(n - 'A' + 'a');
        if (c == '/') out += n == 'Z' ? ':' : static_cast<char>(n - 'A' + '!');
        if (c == '%') {
            if (n <= 'E')
                out += static_cast<char>(n - 'A' + 27);
            else if (n <= 'J')
                out += static_cast<char>(n - 'F' + ';');
            else if (n <= 'O')
                out += static_cast<char>(n - 'K' + '[');
            else if (n <= 'T')
                out += static_cast<char>(n - 'P' + '{');
            else
                out += n == 'U' ? '\0' : n == 'V' ? '@' : '`';
        }
    }
    return out;
}

QString ToQ(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The symbol's data as the decoders give it: GS1 elements as transmitted
// (GS between them, without the "]C1" they report apart), ISO 8859-1 bytes.
std::string SymbolData(int type, const std::string& code, bool check) {
    TZoBarcode bc;
    bc.SetBarCodeType(static_cast<TBarcodeType>(type));
    bc.SetBarCode(FromUtf8(code));
    bc.SetUseCheckSum(check);
    bc.BuildPattern();
    if (!bc.Gs1Elements.empty()) return ToUtf8(Gs1Transmission(bc.Gs1Elements).substr(3));
    std::string bytes;
    for (char16_t c : bc.BCText)
        bytes += static_cast<char>(c);
    return bytes;
}

// What one decoder must report for a picture of code.
std::string Expected(int type, const std::string& code, bool check, bool zxing) {
    const std::string encoded =
        ToQString(PrepareBarcode(ToU16(ToQ(code)), type, check).Text).toStdString();
    switch (type) {
    case bcCode128:
    case bcCodeGS1_128:
    case bcCodeSSCC18:
    case bcCodeEAN128A:
    case bcCodeEAN128B:
    case bcCodeEAN128C: {
        // An FNC1 that ends the data separates nothing: zbar leaves it out,
        // ZXing sends its GS.
        std::string data = SymbolData(type, code, check);
        if (!zxing && data.ends_with('\x1d')) data.pop_back();
        return data;
    }
    case bcCode39:
        return check ? code + Modulo43(code) : code;
    // by convention ZXing leaves out the start and stop characters
    case bcCodeCodabar:
        return zxing ? code.substr(1, code.size() - 2) : code;
    // A leading 0 makes an EAN-13 symbol a UPC-A one, which is read without it.
    case bcCodeEAN13:
        return encoded.starts_with('0') ? encoded.substr(1) : encoded;
    default:
        return encoded; // Code 128 C pads to pairs, UPC-E adds number system and check
    }
}

// The decoders name an EAN-13 symbol with a leading 0 UPC-A.
bool ReadsAsUpcA(int type, const std::string& code, bool check) {
    return type == bcCodeEAN13 && ToQString(PrepareBarcode(ToU16(ToQ(code)), type, check).Text)
                                      .startsWith(QLatin1Char('0'));
}

struct TScanCase {
    int type;
    std::string code;
    bool check = true;
    bool showText = true;
    int border = 10;
    unsigned readers = ByBoth; // zbar drops the FNC4 of characters above 127
};

void ExpectDecoded(const TTypeInfo& info, const TScanCase& c, const ScanResult& r, bool zxing) {
    const std::string name = ReadsAsUpcA(c.type, c.code, c.check) ? "UPC-A"
                             : zxing                              ? info.zxingName
                                                                  : info.zbarName;
    const std::string who =
        (zxing ? "ZXing " : "zbar ") + TypeName(c.type) + " \"" + Printable(c.code) + "\"";
    ASSERT_TRUE(r.ok) << who << " read nothing\n" << r.log;
    EXPECT_EQ(r.symbology, name) << who;
    if (c.type == bcCode39Extended) {
        std::string raw = r.text;
        if (c.check && !raw.empty()) {
            EXPECT_EQ(raw.back(), Modulo43(raw.substr(0, raw.size() - 1))) << who;
            raw.pop_back();
        }
        EXPECT_EQ(Printable(FullAscii39(raw)), Printable(c.code)) << who << " raw " << r.text;
    } else {
        EXPECT_EQ(Printable(r.text), Printable(Expected(c.type, c.code, c.check, zxing))) << who;
    }
    if (zxing) {
        // ]C1 is GS1-128, ]C0 plain Code 128. ZXing takes an FNC1 before a
        // lone letter for the ]C2 kind, which a one-character text is.
        const bool lone = info.gs1 && r.text.size() == 1 && (r.text[0] < '0' || r.text[0] > '9');
        if (info.zxingName == std::string("Code128") && !lone) {
            EXPECT_EQ(r.identifier, info.gs1 ? "]C1" : "]C0") << who;
        }
    } else if (info.zbarName == std::string("CODE-128")) {
        EXPECT_EQ(r.modifiers, info.gs1 ? "GS1" : "") << who;
    }
}

void ScanPicture(const TScanCase& c, const QImage& picture) {
    const TTypeInfo& info = InfoOf(c.type);
    const unsigned readers = info.readers & c.readers;
    if (readers & ByZbar) {
        // zbar loses one-pixel modules, which the fit gives to long codes. It reads
        // the picture at twice its size: every pixel doubled, so nothing is added or lost.
        const QImage doubled =
            picture.scaled(picture.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        ExpectDecoded(info, c, ScanWithZbar(doubled), false);
    }
    if (readers & ByZxing) ExpectDecoded(info, c, ScanWithZxing(picture), true);
}

void ScanBoth(const TScanCase& c) {
    TGenerateOptions o;
    o.UseCheckSum = c.check;
    o.ShowText = c.showText;
    o.Border = c.border;
    ScanPicture(c, GeneratedImage(ToQ(c.code), c.type, o));
}

class ScanFixed : public testing::TestWithParam<TScanCase> {};

TEST_P(ScanFixed, DecodersReadTheTypedText) {
    ScanBoth(GetParam());
}

void PrintTo(const TScanCase& c, std::ostream* os) {
    *os << TypeName(c.type) << " \"" << Printable(c.code) << "\"" << (c.check ? "" : " no check");
}

const std::string Nul(1, '\0');

INSTANTIATE_TEST_SUITE_P(
    ControlPunctuation, ScanFixed,
    testing::Values(
        TScanCase{bcCode39, "CODE-39 $/+%.", false}, TScanCase{bcCode39, "CODE-39", true},
        TScanCase{bcCode39Extended, "Code 39!", true},
        TScanCase{bcCode39Extended, Nul + "\t\r\n\x1b\x1f\x7f", false},
        TScanCase{bcCode39Extended, "#&'(),:;<=>?@[\\]^_`{|}~", false},
        TScanCase{bcCode93, "TEST93 $/+%.-"},
        TScanCase{bcCode93, "CODE 93 LONGER THAN TWENTY ONE", true, false, 0},
        TScanCase{bcCode93Extended, "Test 93!"}, TScanCase{bcCode93Extended, "\x01\x1b\t\r\n\x7f"},
        TScanCase{bcCode93Extended, "#&'(),:;<=>?@[\\]^_`{|}~"}, TScanCase{bcCode128A, "AB1"},
        TScanCase{bcCode128A, "TAB\tCR\rLF\n\x01\x1f"},
        TScanCase{bcCode128A, "!\"#$%&'()*+,-./:;<=>?@[\\]^_"}, TScanCase{bcCode128B, "Ab1"},
        TScanCase{bcCode128B, "Hello, {World}! `|~"}, TScanCase{bcCode128C, "1234"},
        TScanCase{bcCode128C, "0123456789", true, false, 30}, TScanCase{bcCodeEAN128A, "AB1"},
        TScanCase{bcCodeEAN128A, "10ABC\x1d"
                                 "21X"},
        TScanCase{bcCodeEAN128B, "10abc-1"}, TScanCase{bcCodeEAN128C, "0112345678901231"},
        TScanCase{bcCodeCodabar, "A123B"}, TScanCase{bcCodeCodabar, "C-$:/.+0123456789D"},
        TScanCase{bcCodeCodabar, "B12A", true, false}, TScanCase{bcCodeUPC_E0, "425261"},
        TScanCase{bcCodeUPC_E0, "1234505", false}, TScanCase{bcCodeUPC_E0, "123453"},
        TScanCase{bcCodeUPC_E0, "123454"}, TScanCase{bcCodeUPC_E1, "425261"},
        TScanCase{bcCodeUPC_E1, "123457", true, false, 0}));

INSTANTIATE_TEST_SUITE_P(
    LabelTypes, ScanFixed,
    testing::Values(
        TScanCase{bcCode128, "ABC1234567890"}, TScanCase{bcCode128, "Hello, World! 12345678"},
        TScanCase{bcCode128, "a\x01"
                             "b\t1234567\x7f"},
        TScanCase{bcCode128, "ORDER-2024-000123", true, false, 0},
        TScanCase{bcCode128, "Gr\u00fc\u00dfe caf\u00e9", true, true, 10, ByZxing},
        TScanCase{bcCode128, "\u00c0\u00c9\u00ce\u00d5\u00dc\u00e0\u00e9\u00ee\u00f5\u00fc12", true,
                  true, 10, ByZxing},
        TScanCase{bcCode128, "\u00a0\u00c0\u00fc\u00fc \u00fc\u00ff\x01", true, true, 10, ByZxing},
        TScanCase{bcCodeGS1_128, "(01)09520123456788(10)ABC123(21)4567"},
        TScanCase{bcCodeGS1_128, "(00)376104250021234569(01)09520123456788(17)261231(10)ABC123"},
        TScanCase{bcCodeGS1_128, "(10)abc123(21)X7", true, false},
        TScanCase{bcCodeGS1_128, "[400]PO(12)[10]X"}, TScanCase{bcCodeSSCC18, "37610425002123456"},
        TScanCase{bcCodeSSCC18, "376104250021234569", false},
        TScanCase{bcCodeEAN128A, "(01)09520123456788(10)ABC123(21)4567"},
        TScanCase{bcCodeEAN128B, "(01)09520123456788(10)abc123(21)4567"},
        TScanCase{bcCodeEAN128C, "(01)09520123456788(10)1234(21)4567"},
        TScanCase{bcCodeEAN128B, "10abc\x1d"
                                 "21x"},
        TScanCase{bcCodeITF14, "9501234567890"}, TScanCase{bcCodeITF14, "15400141288763", false},
        TScanCase{bcCodeITF14, "0001234560001", true, false, 0}));

INSTANTIATE_TEST_SUITE_P(
    EanUpcInterleaved, ScanFixed,
    testing::Values(
        TScanCase{bcCodeEAN13, "590123412345"}, TScanCase{bcCodeEAN13, "4006381333931", false},
        TScanCase{bcCodeEAN13, "978020137962", true, false, 0}, TScanCase{bcCodeEAN13, "1"},
        TScanCase{bcCodeEAN13, " 501234567890 ", true, true, 30}, TScanCase{bcCodeEAN8, "1234567"},
        TScanCase{bcCodeEAN8, "96385074", false, false, 5}, TScanCase{bcCodeUPC_A, "12345678901"},
        TScanCase{bcCodeUPC_A, "036000291452", false, true, 0},
        TScanCase{bcCode_2_5_interleaved, "123456"},
        TScanCase{bcCode_2_5_interleaved, "00123456789012", true, false},
        TScanCase{bcCode_2_5_interleaved, "1234567"}, // odd: a leading 0
        TScanCase{bcCode_2_5_interleaved, "12345678901234567890", true, true, 0}));

// EAN and UPC with add-ons, read by ZXing-C++ told to require the add-on: it
// reports the main digits and the add-on after a blank, and the identifier
// ]E3 (]E4, EAN-8's own, for EAN-8).
TEST(ScanAddOn, ZxingReadsMainAndAddOn) {
    const struct {
        int type;
        const char* code;
        ZXing::BarcodeFormat format;
        const char* identifier;
    } cases[] = {
        {bcCodeEAN13, "978030640615+51299", ZXing::BarcodeFormat::EAN13, "]E3"},
        {bcCodeEAN13, "590123412345+12", ZXing::BarcodeFormat::EAN13, "]E3"},
        {bcCodeUPC_A, "03600029145+12345", ZXing::BarcodeFormat::UPCA, "]E3"},
        {bcCodeUPC_A, "03600029145+12", ZXing::BarcodeFormat::UPCA, "]E3"},
        {bcCodeEAN8, "9638507+12", ZXing::BarcodeFormat::EAN8, "]E4"},
        {bcCodeUPC_E0, "425261+52495", ZXing::BarcodeFormat::UPCE, "]E3"},
        {bcCodeUPC_E1, "425261+00", ZXing::BarcodeFormat::UPCE, "]E3"},
    };
    for (const auto& c : cases)
        for (const bool showText : {true, false}) {
            SCOPED_TRACE(std::string(c.code) + (showText ? "" : " without text"));
            TGenerateOptions o;
            o.ShowText = showText;
            const QImage picture = WithQuietZone(GeneratedImage(ToQ(c.code), c.type, o))
                                       .convertToFormat(QImage::Format_Grayscale8);
            const ZXing::ImageView view(picture.constBits(), picture.width(), picture.height(),
                                        ZXing::ImageFormat::Lum,
                                        static_cast<int>(picture.bytesPerLine()));
            ZXing::DecodeHints hints;
            hints.setFormats(c.format).setTryRotate(false).setEanAddOnSymbol(
                ZXing::EanAddOnSymbol::Require);
            const ZXing::Result r = ZXing::ReadBarcode(view, hints);
            ASSERT_TRUE(r.isValid());
            EXPECT_EQ(
                r.text(),
                ToQString(PrepareBarcode(ToU16(ToQ(c.code)), c.type, true).Text).toStdString());
            EXPECT_EQ(r.symbologyIdentifier(), c.identifier);
        }
}

// Random codes of each type's own characters, and the widest filler character.
struct TAlphabet {
    int type;
    std::string chars;
    char widest;
    std::size_t shortest = 1; // Codabar: both decoders want two characters between start and stop
};

std::string AsciiRange(int from, int to) {
    std::string s;
    for (int c = from; c <= to; ++c)
        s += static_cast<char>(c);
    return s;
}

const TAlphabet Alphabets[] = {
    {bcCode39, Code39Values, 'A'},
    {bcCode39Extended, AsciiRange(0, 127), 'a'},
    {bcCode93, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%", 'A'},
    {bcCode93Extended, AsciiRange(0, 127), 'a'},
    {bcCode128A, AsciiRange(0, 95), 'A'},
    {bcCode128B, AsciiRange(32, 126), 'a'},
    {bcCode128C, "0123456789", '1'},
    {bcCodeEAN128A, AsciiRange(0, 95), 'A'},
    {bcCodeEAN128B, AsciiRange(32, 126), 'a'},
    {bcCodeEAN128C, "0123456789", '1'},
    {bcCodeCodabar, "0123456789-$:/.+", '/', 2},
    {bcCode128, AsciiRange(32, 126), 'a'},
};

// The Codabar text carries its own start and stop characters.
std::string Framed(int type, const std::string& body, char start = 'A', char stop = 'B') {
    return type == bcCodeCodabar ? start + body + stop : body;
}

// The longest code of filler characters whose picture still fits the 300-pixel bitmap.
std::size_t LongestThatFits(int type, char filler, int border) {
    TGenerateOptions o;
    o.Border = border;
    std::size_t n = 1;
    while (GeneratedImage(ToQ(Framed(type, std::string(n + 1, filler))), type, o).width() <=
           GenerateWidth)
        ++n;
    return n;
}

TEST(ScanLongest, LongestCodeThatFits) {
    for (const TAlphabet& a : Alphabets) {
        SCOPED_TRACE(TypeName(a.type));
        const std::size_t n = LongestThatFits(a.type, a.widest, 10);
        ScanBoth({a.type, Framed(a.type, std::string(n, a.widest))});
    }
}

TEST(ScanRandom, RandomCodePerType) {
    const unsigned seed = TestSeed();
    std::cout << "seed " << seed << " (BARCODEGEN_SEED=" << seed << " repeats it)\n";
    RecordProperty("seed", std::to_string(seed));
    std::mt19937 rng(seed);
    auto pick = [&rng](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
    for (const TAlphabet& a : Alphabets) {
        const int border = static_cast<int>(pick(31));
        // Sized by the widest character, so every draw fits the bitmap.
        const std::size_t longest = LongestThatFits(a.type, a.widest, border);
        std::string body(a.shortest + pick(std::max(longest, a.shortest) - a.shortest + 1), ' ');
        for (char& c : body)
            c = a.chars[pick(a.chars.size())];
        // A bracket first (after blanks) makes EAN-128 text GS1 data, which random text is not.
        const std::size_t first = body.find_first_not_of(' ');
        if (first != std::string::npos && (body[first] == '(' || body[first] == '[') &&
            (a.type == bcCodeEAN128A || a.type == bcCodeEAN128B))
            body[first] = 'A';
        const std::string code = Framed(a.type, body, "ABCD"[pick(4)], "ABCD"[pick(4)]);
        SCOPED_TRACE("seed " + std::to_string(seed));
        ScanBoth({a.type, code, rng() % 2 == 0, rng() % 2 == 0, border});
    }
    for (int type : {bcCodeUPC_E0, bcCodeUPC_E1}) {
        std::string six(6, '0');
        for (char& c : six)
            c = static_cast<char>('0' + pick(10));
        SCOPED_TRACE("seed " + std::to_string(seed));
        ScanBoth({type, six, true, rng() % 2 == 0, static_cast<int>(pick(31))});
    }
}

// Short codes in low boxes, drawn with the real font: the text, sized to the
// symbol's width, leaves the bars at least half the box; nothing is painted
// into the border above or below the box, and the symbol still reads.
TEST(ShortCodes, BarsKeepHalfTheBoxInThePicture) {
    struct Case {
        int type;
        std::string code;
        int width, height;
        bool readable; // by both decoders
    };
    const Case cases[] = {
        {bcCode39, "A", 300, 200, false},   {bcCode128B, "A", 300, 200, true},
        {bcCodeMSI, "1", 300, 200, false},  {bcCodeUPC_Supp2, "12", 300, 100, false},
        {bcCode128C, "12", 300, 100, true}, {bcCodeEAN128B, "A", 400, 80, false},
    };
    const auto dark = [](const QImage& p, int x, int y) { return qGray(p.pixel(x, y)) < 128; };
    for (const Case& c : cases) {
        SCOPED_TRACE(TypeName(c.type) + " \"" + c.code + "\" in " + std::to_string(c.width) + "x" +
                     std::to_string(c.height));
        TGenerateOptions o;
        o.Width = c.width;
        o.Height = c.height;
        const int b = o.Border;
        const int box = c.height - 3 * b; // the rectangle's height: top b, bottom H - 2b
        const QImage picture = GeneratedImage(ToQ(c.code), c.type, o);
        ASSERT_EQ(picture.height(), box + 2 * b);
        for (int y : {0, b - 1, b + box, picture.height() - 1})
            for (int x = 0; x < picture.width(); ++x)
                ASSERT_FALSE(dark(picture, x, y)) << "border row " << y << " column " << x;
        int x = b;
        while (x < picture.width() && !dark(picture, x, b))
            ++x;
        ASSERT_LT(x, picture.width()) << "no bar reaches the box's top";
        int rows = 0;
        while (rows < box && dark(picture, x, b + rows))
            ++rows;
        EXPECT_GE(2 * rows, box) << "bar column " << x;
        if (c.readable) ScanPicture({c.type, c.code}, picture);
    }
}

} // namespace

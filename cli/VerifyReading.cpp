#include "cli/VerifyReading.h"

// The text of a result as UTF-8 (the library's own switch for its next interface).
#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

#include "engine/BarcodeError.h"
#include "engine/ZoBarcode.h"

namespace {

using ZXing::BarcodeFormat;

struct TReader {
    BarcodeFormat format;   // None: ZXing-C++ has no reader for the type
    int fewest;             // the fewest symbol characters the reader accepts
    const char* identifier; // the symbology identifier it must carry (GS1 or not), or nullptr
};

// By type. The minimum lengths are the reader's own: it takes no interleaved
// two of five under 6 digits, no Code 39 under 2 characters (the check
// character counted) and no Codabar under 2 characters between start and stop.
constexpr TReader Readers[] = {
    {BarcodeFormat::ITF, 6, nullptr},     // two of five interleaved
    {BarcodeFormat::None, 0, nullptr},    // industrial
    {BarcodeFormat::None, 0, nullptr},    // matrix
    {BarcodeFormat::Code39, 2, nullptr},  // Code 39
    {BarcodeFormat::Code39, 2, nullptr},  // Code 39 extended
    {BarcodeFormat::Code128, 1, "]C0"},   // Code 128 A
    {BarcodeFormat::Code128, 1, "]C0"},   // B
    {BarcodeFormat::Code128, 1, "]C0"},   // C
    {BarcodeFormat::Code93, 1, nullptr},  // Code 93
    {BarcodeFormat::Code93, 1, nullptr},  // Code 93 extended
    {BarcodeFormat::None, 0, nullptr},    // MSI
    {BarcodeFormat::None, 0, nullptr},    // PostNet
    {BarcodeFormat::Codabar, 4, nullptr}, // Codabar, start and stop counted
    {BarcodeFormat::EAN8, 1, nullptr},    //
    {BarcodeFormat::EAN13, 1, nullptr},   //
    {BarcodeFormat::UPCA, 1, nullptr},    //
    {BarcodeFormat::UPCE, 1, nullptr},    // UPC-E0
    {BarcodeFormat::UPCE, 1, nullptr},    // UPC-E1
    {BarcodeFormat::None, 0, nullptr},    // supplement 2
    {BarcodeFormat::None, 0, nullptr},    // supplement 5
    {BarcodeFormat::Code128, 1, "]C1"},   // EAN-128 A: GS1
    {BarcodeFormat::Code128, 1, "]C1"},   // B
    {BarcodeFormat::Code128, 1, "]C1"},   // C
    {BarcodeFormat::None, 0, nullptr},    // Undefined
    {BarcodeFormat::Code128, 1, "]C0"},   // Code 128, code sets chosen
    {BarcodeFormat::Code128, 1, "]C1"},   // GS1-128
    {BarcodeFormat::Code128, 1, "]C1"},   // SSCC-18
    {BarcodeFormat::ITF, 6, nullptr},     // ITF-14
};
static_assert(std::size(Readers) == BarcodeTypeCount, "a reader for every type");

const TReader* ReaderOf(int type) {
    return type >= 0 && std::size_t(type) < std::size(Readers) &&
                   Readers[type].format != BarcodeFormat::None
               ? &Readers[type]
               : nullptr;
}

std::string NameOf(int type) {
    return ToUtf8(BarcodeTypeName(static_cast<TBarcodeType>(type & 0xFF)));
}

// The characters of the symbol as the reader counts them: Code 39 counts its
// check character, and Code 39 extended two characters for all but digits,
// capitals, blank, "-" and ".".
std::size_t SymbolLength(const TExpectedReading& e) {
    if (e.Type != bcCode39 && e.Type != bcCode39Extended) return e.Text.size();
    std::size_t n = e.UseCheckSum ? 1 : 0;
    for (const char16_t c : e.Text) {
        const bool plain = (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || c == u' ' ||
                           c == u'-' || c == u'.';
        n += e.Type == bcCode39Extended && !plain ? 2 : 1;
    }
    return n;
}

std::string Shown(const TGs1Element& e) {
    return TextForMessage(u"(" + e.Ai + u")" + e.Data);
}

std::string Gs1Problem(const std::string& symbol, const TExpectedReading& e, const TReading& r) {
    if (r.Identifier != "]C1")
        return symbol + " reads back with the identifier " + r.Identifier +
               ", not ]C1: no FNC1 marks its data as GS1 element strings";
    std::vector<TGs1Element> read;
    try {
        read = ParseGs1Transmission(r.Bytes);
    } catch (const EBarcodeError& error) {
        return symbol + " reads back as " + QuotedForMessage(r.Bytes) +
               ", which are no GS1 element strings: " + error.what();
    }
    for (std::size_t i = 0; i < std::max(read.size(), e.Gs1.size()); ++i) {
        if (i >= read.size()) return symbol + " reads back without " + Shown(e.Gs1[i]);
        if (i >= e.Gs1.size()) return symbol + " reads back " + Shown(read[i]) + ", never encoded";
        if (read[i] != e.Gs1[i])
            return symbol + " reads back " + Shown(read[i]) + " where " + Shown(e.Gs1[i]) +
                   " was encoded";
    }
    return {};
}

std::string AddOnProblem(const std::string& symbol, const TExpectedReading& e, const TReading& r) {
    const std::size_t blank = r.Bytes.rfind(u' ');
    if (blank == std::u16string::npos)
        return symbol + " reads back as " + QuotedForMessage(r.Bytes) + " without its add-on " +
               TextForMessage(e.AddOn);
    const std::u16string digits = r.Bytes.substr(0, blank), addOn = r.Bytes.substr(blank + 1);
    if (digits != e.Text)
        return symbol + " reads back as " + QuotedForMessage(digits) + ", not " +
               QuotedForMessage(e.Text);
    if (addOn != e.AddOn)
        return symbol + " reads back with the add-on " + QuotedForMessage(addOn) + ", not " +
               QuotedForMessage(e.AddOn);
    return {};
}

} // namespace

TExpectedReading ExpectedReading(std::u16string_view code, int type, bool useCheckSum) {
    TZoBarcode bc;
    bc.SetBarCode(std::u16string(code));
    bc.SetBarCodeType(static_cast<TBarcodeType>(type & 0xFF));
    bc.SetUseCheckSum(useCheckSum);
    bc.BuildPattern();
    TExpectedReading e{type, useCheckSum, bc.BCText, bc.Gs1Elements, bc.AddOn};
    // The prepared text shows an add-on after a blank, as the reader sends it.
    if (!e.AddOn.empty() && e.Text.ends_with(u' ' + e.AddOn))
        e.Text.resize(e.Text.size() - e.AddOn.size() - 1);
    return e;
}

std::string UnverifiableReason(const TExpectedReading& e) {
    const TReader* reader = ReaderOf(e.Type);
    if (!reader) return "ZXing-C++ cannot read " + NameOf(e.Type) + " symbols";
    if (SymbolLength(e) < std::size_t(reader->fewest))
        return "ZXing-C++ cannot read " + NameOf(e.Type) + " symbols of fewer than " +
               std::to_string(reader->fewest) + " characters";
    return {};
}

std::string ReadingProblem(const TExpectedReading& e, const TReading& r) {
    const TReader* reader = ReaderOf(e.Type);
    if (!reader) return "--verify: " + UnverifiableReason(e);
    const std::string name = NameOf(e.Type);
    if (r.Format.empty())
        return "--verify: ZXing-C++ reads no " + name + " symbol" +
               (e.AddOn.empty() ? "" : " with an add-on") + " in the picture";
    if (r.Format != ZXing::ToString(reader->format))
        return "--verify: the " + name + " symbol reads back as " + r.Format;
    const std::string symbol = "--verify: the " + name + " symbol";
    if (!e.Gs1.empty()) return Gs1Problem(symbol, e, r);
    if (!e.AddOn.empty()) return AddOnProblem(symbol, e, r);
    if (r.Bytes != e.Text)
        return symbol + " reads back as " + QuotedForMessage(r.Bytes) + ", not " +
               QuotedForMessage(e.Text);
    if (reader->identifier && r.Identifier != reader->identifier)
        return symbol + " reads back with the identifier " + r.Identifier + ", not " +
               reader->identifier;
    return {};
}

std::string ReadBackProblem(const std::uint8_t* luminance, int width, int height,
                            const TExpectedReading& e) {
    const TReader* reader = ReaderOf(e.Type);
    if (!reader) return "--verify: " + UnverifiableReason(e);
    const bool code39 = e.Type == bcCode39 || e.Type == bcCode39Extended;
    ZXing::DecodeHints hints;
    hints.setFormats(reader->format)
        .setTryRotate(false)
        .setTryDownscale(false)
        .setTryCode39ExtendedMode(e.Type == bcCode39Extended)
        // The reader then checks the modulo-43 character and leaves it out of the text.
        .setValidateCode39CheckSum(e.UseCheckSum && code39)
        .setValidateITFCheckSum(e.Type == bcCodeITF14)
        .setReturnCodabarStartEnd(true)
        // An add-on is looked for only where the symbol has one; required, a
        // symbol that lost it reads as nothing rather than as its main part.
        .setEanAddOnSymbol(e.AddOn.empty() ? ZXing::EanAddOnSymbol::Ignore
                                           : ZXing::EanAddOnSymbol::Require);
    const ZXing::Result result =
        ZXing::ReadBarcode({luminance, width, height, ZXing::ImageFormat::Lum}, hints);
    TReading reading;
    if (result.isValid()) {
        reading.Format = ZXing::ToString(result.format());
        for (const std::uint8_t byte : result.bytes())
            reading.Bytes += char16_t(byte);
        reading.Identifier = result.symbologyIdentifier();
    }
    return ReadingProblem(e, reading);
}

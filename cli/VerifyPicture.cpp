#include "cli/VerifyPicture.h"

// The text of a result as UTF-8 (the library's own switch for its next interface).
#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

#include "cli/LineText.h"
#include "cli/TypeNames.h"
#include "engine/BarcodeError.h"
#include "engine/ZoBarCode_interface.h"

namespace {

using ZXing::BarcodeFormat;

struct TReader {
    BarcodeFormat format;   // None: ZXing-C++ has no reader for the type
    int fewest;             // the fewest symbol characters the reader accepts
    const char* identifier; // the symbology identifier it must carry (GS1 or not), or nullptr
};

// By type index. The minimum lengths are the reader's own: it takes no
// interleaved two of five under 6 digits, no Code 39 under 2 characters (the
// check character counted) and no Codabar under 2 characters between start and stop.
constexpr TReader Readers[CliTypeCount] = {
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
};

const TReader* ReaderOf(int type) {
    return type >= 0 && type < CliTypeCount ? &Readers[type] : nullptr;
}

// The characters of the symbol as the reader counts them: Code 39 counts its
// check character, and Code 39 extended two characters for all but digits,
// capitals, blank, "-" and ".".
std::size_t SymbolLength(int type, std::u16string_view text, bool useCheckSum) {
    if (type != bcCode39 && type != bcCode39Extended) return text.size();
    std::size_t n = useCheckSum ? 1 : 0;
    for (const char16_t c : text) {
        const bool plain = (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || c == u' ' ||
                           c == u'-' || c == u'.';
        n += type == bcCode39Extended && !plain ? 2 : 1;
    }
    return n;
}

std::string Quoted(std::u16string_view text) {
    return '"' + EscapeForLine(text) + '"';
}

} // namespace

std::string UnverifiableReason(int type, std::u16string_view preparedText, bool useCheckSum) {
    const TReader* reader = ReaderOf(type);
    const std::string name = BarcodeTableName(type);
    if (!reader || reader->format == BarcodeFormat::None)
        return "ZXing-C++ cannot read " + name + " symbols";
    if (SymbolLength(type, preparedText, useCheckSum) < std::size_t(reader->fewest))
        return "ZXing-C++ cannot read " + name + " symbols of fewer than " +
               std::to_string(reader->fewest) + " characters";
    return {};
}

std::string VerifyProblem(const TGreyPicture& picture, int type, std::u16string_view preparedText,
                          bool useCheckSum) {
    const TReader* reader = ReaderOf(type);
    if (!reader || reader->format == BarcodeFormat::None)
        return UnverifiableReason(type, preparedText, useCheckSum);
    const ZXing::ImageView view(picture.Pixels.data(), picture.Width, picture.Height,
                                ZXing::ImageFormat::Lum);
    ZXing::DecodeHints hints;
    hints.setFormats(reader->format)
        .setTryRotate(false)
        .setTryDownscale(false)
        .setTryCode39ExtendedMode(type == bcCode39Extended)
        // The reader then checks the modulo-43 character and leaves it out of the text.
        .setValidateCode39CheckSum(useCheckSum && (type == bcCode39 || type == bcCode39Extended))
        .setReturnCodabarStartEnd(true);
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    const std::string name = BarcodeTableName(type);
    if (!result.isValid()) return "--verify: ZXing-C++ reads no " + name + " symbol in the picture";
    if (result.format() != reader->format)
        return "--verify: the " + name + " symbol reads back as " +
               std::string(ZXing::ToString(result.format()));
    // The reader's bytes are Latin-1: one character each.
    const ZXing::ByteArray& bytes = result.bytes();
    const std::u16string read(bytes.begin(), bytes.end());
    if (read != preparedText)
        return "--verify: the " + name + " symbol reads back as " + Quoted(read) + ", not " +
               Quoted(preparedText);
    if (reader->identifier && result.symbologyIdentifier() != reader->identifier)
        return "--verify: the " + name + " symbol reads back with the identifier " +
               result.symbologyIdentifier() + ", not " + reader->identifier;
    return {};
}

#include "VerifyPicture.h"

// The text of a result as UTF-8 (the library's own switch for its next interface).
#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "BarcodeCli.h"
#include "TypeNames.h"
#include "ZoBarCode_interface.h"

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
qsizetype SymbolLength(int type, const QString& text, bool useCheckSum) {
    if (type != bcCode39 && type != bcCode39Extended) return text.size();
    qsizetype n = useCheckSum ? 1 : 0;
    for (const QChar c : text) {
        const bool plain = (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || c == u' ' ||
                           c == u'-' || c == u'.';
        n += type == bcCode39Extended && !plain ? 2 : 1;
    }
    return n;
}

QString Quoted(const QString& text) {
    return u'"' + EscapeForLine(text) + u'"';
}

} // namespace

QString UnverifiableReason(int type, const QString& preparedText, bool useCheckSum) {
    const TReader* reader = ReaderOf(type);
    const QString name = BarcodeTableName(type);
    if (!reader || reader->format == BarcodeFormat::None)
        return QStringLiteral("ZXing-C++ cannot read %1 symbols").arg(name);
    if (SymbolLength(type, preparedText, useCheckSum) < reader->fewest)
        return QStringLiteral("ZXing-C++ cannot read %1 symbols of fewer than %2 characters")
            .arg(name)
            .arg(reader->fewest);
    return {};
}

QString VerifyProblem(const QImage& picture, int type, const QString& preparedText,
                      bool useCheckSum) {
    const TReader* reader = ReaderOf(type);
    if (!reader || reader->format == BarcodeFormat::None)
        return UnverifiableReason(type, preparedText, useCheckSum);
    // The reader works on luminance. Made here by the reader's own formula (a
    // barcode's greys are their own luminance): Qt's conversion to grey costs
    // forty times the reading.
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    const int w = rgb.width(), h = rgb.height();
    std::vector<std::uint8_t> luminance(std::size_t(w) * std::size_t(h));
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        std::uint8_t* out = luminance.data() + std::size_t(y) * std::size_t(w);
        if (y > 0 && std::memcmp(line, rgb.constScanLine(y - 1), std::size_t(w) * 4) == 0) {
            std::memcpy(out, out - w, std::size_t(w)); // most rows are the row above again
            continue;
        }
        for (int x = 0; x < w; ++x)
            out[x] = ZXing::RGBToLum(qRed(line[x]), qGreen(line[x]), qBlue(line[x]));
    }
    const ZXing::ImageView view(luminance.data(), w, h, ZXing::ImageFormat::Lum);
    ZXing::DecodeHints hints;
    hints.setFormats(reader->format)
        .setTryRotate(false)
        .setTryDownscale(false)
        .setTryCode39ExtendedMode(type == bcCode39Extended)
        // The reader then checks the modulo-43 character and leaves it out of the text.
        .setValidateCode39CheckSum(useCheckSum && (type == bcCode39 || type == bcCode39Extended))
        .setReturnCodabarStartEnd(true);
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    const QString name = BarcodeTableName(type);
    if (!result.isValid())
        return QStringLiteral("--verify: ZXing-C++ reads no %1 symbol in the picture").arg(name);
    if (result.format() != reader->format)
        return QStringLiteral("--verify: the %1 symbol reads back as %2")
            .arg(name, QLatin1String(ZXing::ToString(result.format())));
    const ZXing::ByteArray& bytes = result.bytes();
    const QString read = QString::fromLatin1(reinterpret_cast<const char*>(bytes.data()),
                                             static_cast<qsizetype>(bytes.size()));
    if (read != preparedText)
        return QStringLiteral("--verify: the %1 symbol reads back as %2, not %3")
            .arg(name, Quoted(read), Quoted(preparedText));
    if (reader->identifier && result.symbologyIdentifier() != reader->identifier)
        return QStringLiteral("--verify: the %1 symbol reads back with the identifier %2, not %3")
            .arg(name, QString::fromStdString(result.symbologyIdentifier()),
                 QLatin1String(reader->identifier));
    return {};
}

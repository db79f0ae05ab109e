#include "cli/VerifyPicture.h"

// The text of a result as UTF-8 (the library's own switch for its next interface).
#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>
#include <poppler/cpp/poppler-document.h>
#include <poppler/cpp/poppler-page-renderer.h>
#include <poppler/cpp/poppler-page.h>

#include <QPainter>
#include <QSvgRenderer>
#include <QtMath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <vector>

#include "cli/BarcodeCli.h"
#include "cli/TypeNames.h"
#include "engine/ZoBarCode_interface.h"
#include "picture/GeneratePicture.h"

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

namespace {

// The largest picture a file is read back at: the largest picture, with room
// for a PDF page that is up to a point larger at the highest resolution.
constexpr qint64 ReadBackMaxPixels = 2 * GenerateMaxPixels;

bool Readable(QSizeF size) {
    return size.width() >= 1 && size.height() >= 1 &&
           std::ceil(size.width()) * std::ceil(size.height()) <= double(ReadBackMaxPixels);
}

QImage RenderedSvg(const QByteArray& bytes, QString* problem) {
    QSvgRenderer renderer(bytes);
    const QSizeF box = renderer.viewBoxF().size();
    if (!renderer.isValid() || !Readable(box)) {
        *problem = QStringLiteral("cannot be drawn by Qt's SVG renderer");
        return {};
    }
    QImage picture(qCeil(box.width()), qCeil(box.height()), QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    renderer.render(&painter, QRectF(QPointF(0, 0), box));
    painter.end();
    return picture;
}

void IgnorePopplerMessage(const std::string&, void*) {}

QImage RenderedPdf(const QByteArray& bytes, int dpi, QString* problem) {
    *problem = QStringLiteral("cannot be rendered by poppler");
    if (bytes.size() > std::numeric_limits<int>::max()) return {};
    // Poppler makes some of its shared state on first use without a lock.
    static std::mutex popplerLock;
    const std::lock_guard<std::mutex> lock(popplerLock);
    // Its complaints about a broken file would only repeat our own message.
    poppler::set_debug_error_function(IgnorePopplerMessage, nullptr);
    const std::unique_ptr<poppler::document> document(
        poppler::document::load_from_raw_data(bytes.constData(), int(bytes.size())));
    if (!document || document->is_locked() || document->pages() < 1) return {};
    const std::unique_ptr<poppler::page> page(document->create_page(0));
    if (!page) return {};
    const poppler::rectf points = page->page_rect(poppler::media_box);
    if (!Readable(QSizeF(points.width(), points.height()) * dpi / 72.0)) return {};
    poppler::page_renderer renderer;
    renderer.set_render_hint(poppler::page_renderer::antialiasing, true);
    renderer.set_render_hint(poppler::page_renderer::text_antialiasing, true);
    renderer.set_image_format(poppler::image::format_argb32);
    const poppler::image rendered = renderer.render_page(page.get(), dpi, dpi);
    if (!rendered.is_valid() || rendered.format() != poppler::image::format_argb32) return {};
    problem->clear();
    return QImage(reinterpret_cast<const uchar*>(rendered.const_data()), rendered.width(),
                  rendered.height(), rendered.bytes_per_row(), QImage::Format_ARGB32)
        .convertToFormat(QImage::Format_RGB32); // a copy that outlives poppler's image
}

} // namespace

QImage WrittenPicture(const QByteArray& bytes, const QString& format, int dpi, QString* problem) {
    QString why;
    QImage picture;
    if (format == QLatin1String("SVG"))
        picture = RenderedSvg(bytes, &why);
    else if (format == QLatin1String("PDF"))
        picture = RenderedPdf(bytes, dpi, &why);
    else if ((picture = QImage::fromData(bytes, format.toLatin1().constData())).isNull())
        why = QStringLiteral("cannot be decoded");
    if (picture.isNull() && problem)
        *problem = QStringLiteral("--verify: the written %1 %2").arg(format, why);
    return picture;
}

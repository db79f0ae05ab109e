#include "cli/VerifyPicture.h"

// The luminance by the reader's own formula.
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

#include "picture/GeneratePicture.h"

QString VerifyProblem(const QImage& picture, const TExpectedReading& expected) {
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
    return QString::fromStdString(ReadBackProblem(luminance.data(), w, h, expected));
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

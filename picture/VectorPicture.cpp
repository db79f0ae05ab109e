#include "picture/VectorPicture.h"

#include <QBuffer>
#include <QFileDevice>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSvgGenerator>

QSize PdfPagePoints(QSize size, int dpi) {
    // Up to the next whole point: a page cut short by rounding loses the last bar.
    const auto points = [dpi](int pixels) { return int((qint64(pixels) * 72 + dpi - 1) / dpi); };
    return {points(size.width()), points(size.height())};
}

namespace {

// The generator gives every group the painter's font, although no text is
// left in the drawing; a preflight that sees a font name asks for the font.
QByteArray WithoutFontAttributes(const QByteArray& svg) {
    static const QRegularExpression font(
        QStringLiteral("\n?font-family=\"[^\"]*\" font-size=\"[^\"]*\" font-weight=\"[^\"]*\" "
                       "font-style=\"[^\"]*\" *\n?"));
    return QString::fromUtf8(svg).replace(font, QStringLiteral("\n")).toUtf8();
}

} // namespace

bool WriteBarcodeDrawing(QIODevice& device, const QString& format, QSize size, const QString& code,
                         int type, const TGenerateOptions& options, int dpi, QString* error) {
    auto fail = [&](const QString& message) {
        if (error) *error = message;
        return false;
    };
    if (format == QLatin1String("SVG")) {
        QByteArray drawing;
        QBuffer buffer(&drawing);
        buffer.open(QIODevice::WriteOnly);
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        // The resolution gives the document its printed size (width and height in mm).
        svg.setResolution(dpi);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(QStringLiteral("Barcode"));
        svg.setDescription(QStringLiteral("Drawn by barcodegen"));
        PaintBarcodePicture(svg, size, code, type, options);
        const QByteArray bytes = WithoutFontAttributes(drawing);
        if (device.write(bytes) != bytes.size()) return fail(device.errorString());
    } else if (format == QLatin1String("PDF")) {
        QPdfWriter pdf(&device);
        pdf.setCreator(QStringLiteral("barcodegen"));
        // At the resolution dpi one device unit is one pixel of the picture,
        // which lies in the page's top-left corner.
        pdf.setResolution(dpi);
        const QPageSize page(PdfPagePoints(size, dpi), QString(), QPageSize::ExactMatch);
        if (!pdf.setPageSize(page) || !pdf.setPageMargins(QMarginsF(0, 0, 0, 0)))
            return fail(QStringLiteral("a PDF page of %1 x %2 pixels at %3 dpi is not possible")
                            .arg(size.width())
                            .arg(size.height())
                            .arg(dpi));
        PaintBarcodePicture(pdf, size, code, type, options);
    } else {
        return fail(QStringLiteral("unknown drawing format \"%1\"").arg(format));
    }
    // Neither generator checks its writes: a file says itself whether they
    // failed (a buffer in memory cannot fail).
    if (auto* file = qobject_cast<QFileDevice*>(&device);
        file && (!file->flush() || file->error() != QFileDevice::NoError))
        return fail(file->errorString());
    return true;
}

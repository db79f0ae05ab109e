#include "VectorPicture.h"

#include <QPageSize>
#include <QPdfWriter>
#include <QSvgGenerator>

QSize PdfPagePoints(QSize size, int dpi) {
    // Up to the next whole point: a page cut short by rounding loses the last bar.
    const auto points = [dpi](int pixels) { return int((qint64(pixels) * 72 + dpi - 1) / dpi); };
    return {points(size.width()), points(size.height())};
}

bool WriteBarcodeDrawing(QIODevice& device, const QString& format, QSize size, const QString& code,
                         int type, const TGenerateOptions& options, int dpi, QString* error) {
    auto fail = [&](const QString& message) {
        if (error) *error = message;
        return false;
    };
    if (format == QLatin1String("SVG")) {
        QSvgGenerator svg;
        svg.setOutputDevice(&device);
        // The resolution gives the document its printed size (width and height in mm).
        svg.setResolution(dpi);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(QStringLiteral("Barcode"));
        svg.setDescription(QStringLiteral("Drawn by barcodegen"));
        PaintBarcodePicture(svg, size, code, type, options);
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
    return true;
}

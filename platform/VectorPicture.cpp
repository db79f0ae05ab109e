#include "VectorPicture.h"

#include <QFileDevice>
#include <QPageSize>
#include <QPdfWriter>
#include <QSvgGenerator>

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
        // At the resolution dpi one device unit is one pixel of the picture.
        pdf.setResolution(dpi);
        const QPageSize page(QSizeF(size.width(), size.height()) / dpi, QPageSize::Inch, QString(),
                             QPageSize::ExactMatch);
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

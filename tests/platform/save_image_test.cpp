// The picture writer keeps every pixel at the fewest bits per pixel.
#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

#include "SaveImage.h"

namespace {

// A picture of stripes in the given colours.
QImage Stripes(const QList<QRgb>& colours) {
    QImage img(static_cast<int>(colours.size()) * 3 + 5, 7, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, colours[(x + y) % colours.size()]);
    return img;
}

} // namespace

TEST(SaveImage, FewestBitsThatKeepEveryPixel) {
    QList<QRgb> many;
    for (int i = 0; i < 257; ++i)
        many << qRgb(i % 256, i / 256, 7);
    const struct {
        QList<QRgb> colours;
        QImage::Format format;
    } cases[] = {
        {{qRgb(255, 255, 255)}, QImage::Format_Mono},
        {{qRgb(255, 0, 0), qRgb(0, 0, 255)}, QImage::Format_Mono},
        {{qRgb(0, 0, 0), qRgb(128, 128, 128), qRgb(255, 255, 255)}, QImage::Format_Grayscale8},
        {{qRgb(0, 0, 0), qRgb(128, 128, 128), qRgb(255, 255, 0)}, QImage::Format_Indexed8},
        {many, QImage::Format_RGB32},
    };
    for (const auto& c : cases) {
        QImage picture = Stripes(c.colours);
        EXPECT_EQ(SmallestExactImage(picture).format(), c.format) << c.colours.size();
        for (const char* format : {"PNG", "BMP"}) {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            QString error;
            ASSERT_TRUE(WriteImage(picture, buffer, format, 150, &error)) << error.toStdString();
            QImage back;
            ASSERT_TRUE(back.loadFromData(bytes, format));
            EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), picture)
                << format << " " << c.colours.size();
            EXPECT_EQ(back.dotsPerMeterX(), 5906) << format; // 150 dpi
        }
    }
}

// The formats we write pictures in, one row each: the names a file's extension
// or --format gives a format, and which writer makes it. The command line
// offers every row; the window's Save as the images among them, through its
// own format codes (picexport/bpictool.h).
#pragma once

#include <QLatin1String>
#include <QString>
#include <QStringView>

#include <array>

struct TPictureFormat {
    QLatin1String Name; // what the writer takes: WriteImage's or WriteBarcodeDrawing's format
    // Lower case, without the dot; the first is the one we write. Every other
    // spelling (".jpe", ".jfif") is unknown everywhere, so a name means the
    // same format to the window and to the command line.
    std::array<QLatin1String, 2> Extensions;
    // A vector drawing, drawn anew from the code (picture/VectorPicture.h)
    // rather than encoded from the picture (picture/SaveImage.h).
    bool Drawing;
};

inline constexpr std::array<TPictureFormat, 5> PictureFormats{{
    {QLatin1String("PNG"), {QLatin1String("png")}, false},
    {QLatin1String("BMP"), {QLatin1String("bmp")}, false},
    {QLatin1String("JPEG"), {QLatin1String("jpg"), QLatin1String("jpeg")}, false},
    {QLatin1String("SVG"), {QLatin1String("svg")}, true},
    {QLatin1String("PDF"), {QLatin1String("pdf")}, true},
}};

// The row of a format name as the writers take it ("JPEG"); nullptr for none.
const TPictureFormat* PictureFormatNamed(QStringView name);

// The row an extension names, without its dot and in any case ("jpg",
// "JPEG"); nullptr for none.
const TPictureFormat* PictureFormatOfExtension(QStringView extension);

// The row of a file name's extension (picture/FileIO.h's ExtensionStart);
// nullptr when it has none or one we do not write.
const TPictureFormat* PictureFormatOfFile(const QString& fileName);

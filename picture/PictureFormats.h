// The formats we write pictures in, one row each: the names a file's extension
// or --format gives a format, and which writer makes it. The command line
// offers every row; the window's Save as through its own format codes
// (picexport/bpictool.h).
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

struct TPictureFormat {
    std::string_view Name; // "PNG", "BMP", "JPEG", "SVG", "PDF"
    // Lower case, without the dot; the first is the one we write. Every other
    // spelling (".jpe", ".jfif") is unknown everywhere, so a name means the
    // same format to the window and to the command line.
    std::array<std::string_view, 2> Extensions;
    // A vector drawing, drawn from the code (GenerateBarcodeDrawing) rather
    // than encoded from the bitmap.
    bool Drawing;
};

inline constexpr std::array<TPictureFormat, 5> PictureFormats{{
    {"PNG", {"png"}, false},
    {"BMP", {"bmp"}, false},
    {"JPEG", {"jpg", "jpeg"}, false},
    {"SVG", {"svg"}, true},
    {"PDF", {"pdf"}, true},
}};

// The row of a format name as the writers take it ("JPEG"); nullptr for none.
const TPictureFormat* PictureFormatNamed(std::string_view name);

// The row an extension names, without its dot and in any case ("jpg",
// "JPEG"), UTF-8; nullptr for none.
const TPictureFormat* PictureFormatOfExtension(std::string_view extension);

// Where the extension of a file name begins: its last "." after the last "/",
// or -1 when the last path component has no dot ("a.b/c" has none). In the
// name's own units, so a QString's index comes from its UTF-16.
std::ptrdiff_t ExtensionStart(std::string_view fileName);
std::ptrdiff_t ExtensionStart(std::u16string_view fileName);

// The row of a file name's extension; nullptr when it has none or one we do
// not write.
const TPictureFormat* PictureFormatOfFile(std::string_view fileName);
const TPictureFormat* PictureFormatOfFile(std::u16string_view fileName);

// The one picture writer of bitmaps: the command-line generator and the
// window's Save as both write through it.
#pragma once

#include <string>

#include "picture/Bitmap.h"
#include "picture/FileIO.h"
#include "picture/ImageWriters.h"
#include "picture/PictureFormats.h"

inline constexpr int DefaultDpi = 96;

// The file of picture in an image format (PNG and BMP at the fewest bits that
// keep every pixel, JPEG at jpegQuality, 0 to 100), with the resolution dpi.
// False with a message in error when it cannot, or when format is a drawing.
bool EncodeImage(const TPictureFormat& format, const TBitmap& picture, int dpi, TBytes& out,
                 std::string* error, int jpegQuality = 100);

// EncodeImage into fileName through WriteFileAtomically; the format is that of
// the extension when none is given, and must be an image.
bool SaveImageAtomically(const TBitmap& picture, const std::string& fileName, std::string* error,
                         const TPictureFormat* format = nullptr, int dpi = DefaultDpi);

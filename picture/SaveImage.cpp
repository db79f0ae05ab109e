#include "picture/SaveImage.h"

bool EncodeImage(const TPictureFormat& format, const TBitmap& picture, int dpi, TBytes& out,
                 std::string* error, int jpegQuality) {
    if (format.Name == "PNG") return EncodePng(picture, dpi, out, error);
    if (format.Name == "BMP") return EncodeBmp(picture, dpi, out, error);
    if (format.Name == "JPEG") return EncodeJpegAtQuality(picture, dpi, jpegQuality, out, error);
    if (error) *error = "unknown picture format \"" + std::string(format.Name) + "\"";
    return false;
}

bool SaveImageAtomically(const TBitmap& picture, const std::string& fileName, std::string* error,
                         const TPictureFormat* format, int dpi) {
    if (!format) {
        format = PictureFormatOfFile(fileName);
        if (!format || format->Drawing) {
            if (error) *error = fileName + ": unknown picture format (use .png, .bmp or .jpg)";
            return false;
        }
    }
    return WriteFileAtomically(
        fileName,
        [&](std::string& bytes, std::string* problem) {
            return EncodeImage(*format, picture, dpi, bytes, problem);
        },
        error);
}

// Small pieces the file writers share.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>

#include "picture/ImageWriters.h"

inline void AppendBigEndian32(TBytes& out, std::uint32_t v) {
    const char bytes[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    out.append(bytes, 4);
}

inline void AppendLittleEndian16(TBytes& out, std::uint16_t v) {
    const char bytes[2] = {char(v), char(v >> 8)};
    out.append(bytes, 2);
}

inline void AppendLittleEndian32(TBytes& out, std::uint32_t v) {
    const char bytes[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    out.append(bytes, 4);
}

inline bool Fail(std::string* error, std::string message) {
    if (error) *error = std::move(message);
    return false;
}

// Why a file cannot name this resolution, or an empty string.
inline std::string DpiProblem(int dpi) {
    if (dpi >= MinFileDpi && dpi <= MaxFileDpi) return {};
    return "a resolution of " + std::to_string(dpi) + " dpi cannot be written (" +
           std::to_string(MinFileDpi) + " to " + std::to_string(MaxFileDpi) + ")";
}

// Why a raster picture cannot be written, or an empty string.
inline std::string RasterProblem(const TBitmap& picture, int dpi) {
    return picture.IsNull() ? "the picture is empty" : DpiProblem(dpi);
}

// Dots per metre for dots per inch, as the PNG and BMP headers hold them,
// rounded to the nearest (for every dpi we write, the number Qt's writers give).
inline std::uint32_t DotsPerMetre(int dpi) {
    return std::uint32_t(std::lround(double(dpi) / 0.0254));
}

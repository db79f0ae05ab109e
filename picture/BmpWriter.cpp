#include <cstring>

#include "picture/IndexedPicture.h"
#include "picture/WriterSupport.h"

bool EncodeBmp(const TBitmap& original, int dpi, TBytes& out, std::string* error) {
    if (const std::string problem = RasterProblem(original, dpi); !problem.empty())
        return Fail(error, problem);
    const TBitmap bitmap = OnWhite(original);
    const TIndexedPicture picture = IndexPicture(bitmap);
    const TExactColours& colours = picture.Colours;
    const std::size_t w = std::size_t(picture.Width);
    const int h = picture.Height;

    std::vector<TPixel> palette = colours.Palette;
    int bits = 24;
    switch (colours.Depth) {
    case TPixelDepth::Mono:
        bits = 1;
        break;
    case TPixelDepth::Grey8: // every grey, indexed by its level as the bytes are
        bits = 8;
        palette.resize(256);
        for (std::uint32_t i = 0; i < 256; ++i)
            palette[i] = PixelBlack | i << 16 | i << 8 | i;
        break;
    case TPixelDepth::Palette8:
        bits = palette.size() <= 16 ? 4 : 8;
        break;
    case TPixelDepth::Rgb24:
    case TPixelDepth::Rgba32:
        palette.clear();
        break;
    }
    // Rows of whole 32-bit words.
    const std::size_t rowBytes = (w * std::size_t(bits) + 31) / 32 * 4;
    const std::size_t headers = 14 + 40 + 4 * palette.size();
    const std::size_t size = headers + rowBytes * std::size_t(h);
    if (size > 0xFFFFFFFFu) return Fail(error, "the picture is too large for a BMP file");

    TBytes bmp;
    bmp.reserve(size);
    bmp.append("BM", 2);
    AppendLittleEndian32(bmp, std::uint32_t(size));
    AppendLittleEndian32(bmp, 0); // reserved
    AppendLittleEndian32(bmp, std::uint32_t(headers));
    AppendLittleEndian32(bmp, 40); // the information header
    AppendLittleEndian32(bmp, std::uint32_t(w));
    AppendLittleEndian32(bmp, std::uint32_t(h)); // positive: the bottom row first
    AppendLittleEndian16(bmp, 1);                // planes
    AppendLittleEndian16(bmp, std::uint16_t(bits));
    AppendLittleEndian32(bmp, 0); // uncompressed
    AppendLittleEndian32(bmp, std::uint32_t(rowBytes * std::size_t(h)));
    AppendLittleEndian32(bmp, DotsPerMetre(dpi));
    AppendLittleEndian32(bmp, DotsPerMetre(dpi));
    AppendLittleEndian32(bmp, std::uint32_t(palette.size())); // colours used
    AppendLittleEndian32(bmp, std::uint32_t(palette.size())); // and all of them important
    for (const TPixel c : palette)
        AppendLittleEndian32(bmp, c & 0xFFFFFF); // blue, green, red, 0

    std::string row(rowBytes, '\0');
    auto* bytes = reinterpret_cast<std::uint8_t*>(row.data());
    for (int y = h - 1; y >= 0; --y) {
        // Rows equal to their neighbour below are those of the bitmap above them.
        if (y == h - 1 || !picture.SameAsAbove(y + 1)) {
            std::memset(bytes, 0, rowBytes);
            if (bits == 24) {
                const TPixel* line = bitmap.Row(y);
                for (std::size_t x = 0; x < w; ++x) {
                    bytes[3 * x] = std::uint8_t(line[x]);
                    bytes[3 * x + 1] = std::uint8_t(line[x] >> 8);
                    bytes[3 * x + 2] = std::uint8_t(line[x] >> 16);
                }
            } else {
                const std::uint8_t* index = picture.Row(y);
                for (std::size_t x = 0; x < w; ++x) {
                    if (bits == 1)
                        bytes[x >> 3] |= std::uint8_t(index[x] << (7 - (x & 7)));
                    else if (bits == 4)
                        bytes[x >> 1] |= std::uint8_t(index[x] << (x & 1 ? 0 : 4));
                    else
                        bytes[x] = index[x]; // Grey8's levels index the 256 greys
                }
            }
        }
        bmp.append(row);
    }
    out = std::move(bmp);
    return true;
}

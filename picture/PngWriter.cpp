#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <zlib.h>

#include "picture/IndexedPicture.h"
#include "picture/RowDeflate.h"
#include "picture/WriterSupport.h"

namespace {

void AppendChunk(TBytes& png, const char* type, const TBytes& data) {
    AppendBigEndian32(png, std::uint32_t(data.size()));
    const std::size_t start = png.size();
    png.append(type, 4);
    png.append(data);
    const auto* typed = reinterpret_cast<const Bytef*>(png.data() + start);
    AppendBigEndian32(png,
                      std::uint32_t(crc32(crc32(0, nullptr, 0), typed, uInt(4 + data.size()))));
}

// One raw deflate stream per thread, reset for every picture: setting one up
// clears a quarter of a megabyte.
struct TDeflater {
    z_stream stream{};
    bool ready = false;
    // Level 3 of zlib's usual matching; level 6 saves another 10 % at four
    // times the time. Memory level 6 keeps the hash table small, so resetting
    // it for every picture is cheap.
    TDeflater() : ready(deflateInit2(&stream, 3, Z_DEFLATED, -15, 6, Z_DEFAULT_STRATEGY) == Z_OK) {}
    ~TDeflater() {
        if (ready) deflateEnd(&stream);
    }
    TDeflater(const TDeflater&) = delete;
    TDeflater& operator=(const TDeflater&) = delete;
};

// zlib for the pictures with colours beyond a palette, which are more
// photograph than barcode and repeat in every way.
class TZlibRows {
public:
    TZlibRows(std::size_t rowLength, int rows, TBytes& stream) : rowBytes(rowLength), out(stream) {
        if (!deflater.ready || deflateReset(&z) != Z_OK) return;
        // Room for the worst case, which a picture never comes near: left
        // uncleared, so only the bytes deflate writes are touched.
        room = deflateBound(&z, uLong(rowBytes * std::size_t(rows)));
        buffer.reset(new Bytef[room]);
        z.next_out = buffer.get();
        z.avail_out = uInt(room);
    }
    bool Row(const std::uint8_t* row) {
        z.next_in = const_cast<Bytef*>(row); // zlib only reads it
        z.avail_in = uInt(rowBytes);
        return buffer && deflate(&z, Z_NO_FLUSH) == Z_OK && z.avail_in == 0;
    }
    bool Repeat(const std::uint8_t* row) { return Row(row); }
    bool Finish() {
        if (!buffer || deflate(&z, Z_FINISH) != Z_STREAM_END) return false;
        out.append(reinterpret_cast<const char*>(buffer.get()), z.total_out);
        return true;
    }

private:
    static thread_local TDeflater deflater;
    z_stream& z = deflater.stream;
    std::size_t rowBytes, room = 0;
    TBytes& out;
    std::unique_ptr<Bytef[]> buffer;
};
thread_local TDeflater TZlibRows::deflater;

// The rows of indexed pictures, which are the barcodes.
class TBarcodeRows {
public:
    TBarcodeRows(std::size_t rowBytes, int, TBytes& out) : rows(rowBytes, out) {}
    bool Row(const std::uint8_t* row) {
        rows.Row(row);
        return true;
    }
    bool Repeat(const std::uint8_t* row) {
        rows.RepeatRow(row);
        return true;
    }
    bool Finish() {
        rows.Finish();
        return true;
    }

private:
    TRowDeflate rows;
};

// The zlib stream of the rows that fill(y, filter, bytes) fills in, rowBytes
// each after the filter type (none unless fill sets another), compressed by
// TCompress. A row equal to the row above is not filled again: after a row
// without a filter it is that row's bytes once more, which a reader takes as
// they are (undoing the Up filter is a reader's one pass over every pixel of
// a barcode's bars); after a filtered row it takes the Up filter, all zeros.
// The two header bytes and the Adler-32 sum around the raw deflate stream are
// written here, the sum of a repeated row known without reading it again.
template <class TCompress, class TRowFill>
bool DeflateRows(const TIndexedPicture& picture, std::size_t rowBytes, const TRowFill& fill,
                 TBytes& out) {
    out += char(0x78); // deflate with a 32 KB window
    out += char(0x5E); // no dictionary, a fast level (and the header's check bits)
    const int h = picture.Height;
    TCompress compress(rowBytes + 1, h, out);
    // The filter byte, then the row's bytes.
    std::string row(rowBytes + 1, '\0'), upRow(rowBytes + 1, '\0');
    upRow[0] = 2;
    const uLong upSum = adler32(adler32(0, nullptr, 0),
                                reinterpret_cast<const Bytef*>(upRow.data()), uInt(upRow.size()));
    uLong sum = adler32(0, nullptr, 0), rowSum = 0;
    for (int y = 0; y < h; ++y) {
        const bool same = picture.SameAsAbove(y);
        if (!same) {
            row[0] = 0;
            fill(y, reinterpret_cast<std::uint8_t*>(row.data()),
                 reinterpret_cast<std::uint8_t*>(row.data() + 1));
            rowSum = adler32(adler32(0, nullptr, 0), reinterpret_cast<const Bytef*>(row.data()),
                             uInt(row.size()));
        }
        const bool up = same && row[0] != 0;
        const std::string& bytes = up ? upRow : row;
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
        if (!(same && !up ? compress.Repeat(data) : compress.Row(data))) return false;
        sum = adler32_combine(sum, up ? upSum : rowSum, z_off_t(bytes.size()));
    }
    if (!compress.Finish()) return false;
    AppendBigEndian32(out, std::uint32_t(sum));
    return true;
}

// The rows of the picture at its depth, deflated: bytes per row and the depth in bits.
bool DeflatedRows(const TBitmap& bitmap, const TIndexedPicture& picture, TBytes& idat,
                  int& bitDepth) {
    const std::size_t w = std::size_t(picture.Width);
    bitDepth = 8;
    switch (picture.Colours.Depth) {
    case TPixelDepth::Mono:
        bitDepth = 1;
        return DeflateRows<TBarcodeRows>(
            picture, (w + 7) / 8,
            [&](int y, std::uint8_t*, std::uint8_t* bytes) {
                std::memset(bytes, 0, (w + 7) / 8);
                const std::uint8_t* index = picture.Row(y);
                for (std::size_t x = 0; x < w; ++x)
                    bytes[x >> 3] |= std::uint8_t(index[x] << (7 - (x & 7)));
            },
            idat);
    case TPixelDepth::Grey8: // the bytes are the levels
    case TPixelDepth::Palette8:
        return DeflateRows<TBarcodeRows>(
            picture, w,
            [&](int y, std::uint8_t*, std::uint8_t* bytes) {
                std::memcpy(bytes, picture.Row(y), w);
            },
            idat);
    case TPixelDepth::Rgb24:
    case TPixelDepth::Rgba32: {
        const bool alpha = picture.Colours.Depth == TPixelDepth::Rgba32;
        const std::size_t bpp = alpha ? 4 : 3, rowBytes = w * bpp;
        // Colours beyond a palette are photographs or gradients more than
        // barcodes: each row takes the filter whose bytes sum to the least
        // magnitude, as most PNG writers choose.
        std::vector<std::uint8_t> above(rowBytes, 0), raw(rowBytes), trial(rowBytes);
        return DeflateRows<TZlibRows>(
            picture, rowBytes,
            [&](int y, std::uint8_t* filter, std::uint8_t* bytes) {
                const TPixel* line = bitmap.Row(y);
                std::uint8_t* p = raw.data();
                for (std::size_t x = 0; x < w; ++x) {
                    const TPixel c = line[x];
                    *p++ = std::uint8_t(c >> 16);
                    *p++ = std::uint8_t(c >> 8);
                    *p++ = std::uint8_t(c);
                    if (alpha) *p++ = std::uint8_t(c >> 24);
                }
                std::uint64_t best = UINT64_MAX;
                for (std::uint8_t type = 0; type < 5; ++type) {
                    std::uint64_t sum = 0;
                    for (std::size_t i = 0; i < rowBytes; ++i) {
                        const int a = i >= bpp ? raw[i - bpp] : 0, b = above[i],
                                  c = i >= bpp ? above[i - bpp] : 0;
                        int predicted = 0;
                        if (type == 1) predicted = a;
                        if (type == 2) predicted = b;
                        if (type == 3) predicted = (a + b) / 2;
                        if (type == 4) {
                            const int pa = std::abs(b - c), pb = std::abs(a - c),
                                      pc = std::abs(a + b - 2 * c);
                            predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
                        }
                        trial[i] = std::uint8_t(raw[i] - predicted);
                        sum += std::uint64_t(std::abs(int(std::int8_t(trial[i]))));
                    }
                    if (sum < best) {
                        best = sum;
                        *filter = type;
                        std::memcpy(bytes, trial.data(), rowBytes);
                    }
                }
                above.swap(raw);
            },
            idat);
    }
    }
    return false;
}

} // namespace

bool EncodePng(const TBitmap& bitmap, int dpi, TBytes& out, std::string* error) {
    if (const std::string problem = RasterProblem(bitmap, dpi); !problem.empty())
        return Fail(error, problem);
    const TIndexedPicture picture = IndexPicture(bitmap);
    const TExactColours& colours = picture.Colours;
    TBytes idat;
    int bitDepth = 8;
    if (!DeflatedRows(bitmap, picture, idat, bitDepth))
        return Fail(error, "the PNG data could not be compressed");

    TBytes png("\x89PNG\r\n\x1a\n", 8);
    TBytes header;
    AppendBigEndian32(header, std::uint32_t(picture.Width));
    AppendBigEndian32(header, std::uint32_t(picture.Height));
    const bool paletted =
        colours.Depth == TPixelDepth::Mono || colours.Depth == TPixelDepth::Palette8;
    const char colourType = paletted                              ? 3
                            : colours.Depth == TPixelDepth::Grey8 ? 0
                            : colours.Depth == TPixelDepth::Rgb24 ? 2
                                                                  : 6;
    // bit depth, colour type, deflate, adaptive filters, no interlace
    const char format[5] = {char(bitDepth), colourType, 0, 0, 0};
    header.append(format, 5);
    AppendChunk(png, "IHDR", header);
    if (paletted) {
        TBytes plte, trns;
        for (const TPixel c : colours.Palette) {
            const char entry[3] = {char(c >> 16), char(c >> 8), char(c)};
            plte.append(entry, 3);
            trns.push_back(char(c >> 24));
        }
        AppendChunk(png, "PLTE", plte);
        // Entries after the last that is not opaque need none.
        while (!trns.empty() && trns.back() == char(0xFF))
            trns.pop_back();
        if (!trns.empty()) AppendChunk(png, "tRNS", trns);
    }
    TBytes physical;
    AppendBigEndian32(physical, DotsPerMetre(dpi));
    AppendBigEndian32(physical, DotsPerMetre(dpi));
    physical.push_back(char(1)); // per metre
    AppendChunk(png, "pHYs", physical);
    AppendChunk(png, "IDAT", idat);
    AppendChunk(png, "IEND", {});
    out = std::move(png);
    return true;
}
